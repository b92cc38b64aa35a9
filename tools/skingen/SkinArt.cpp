#include "tools/skingen/SkinArt.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>

namespace vm {

namespace {

// The shape of the skin being painted, for the one call of PaintSkinCell or
// PaintHugeButtonCell that is running.
const TSkinShape* currentShape = nullptr;

struct TShapeScope {
  explicit TShapeScope(const TSkinShape& shape) { currentShape = &shape; }
  ~TShapeScope() { currentShape = nullptr; }
};

// A rounded rectangle whose radius follows the skin's roundness.
TShape Rounded(float x0, float y0, float x1, float y1, float radius) {
  const float k = currentShape ? currentShape->Roundness : 1.0f;
  if (k == 1.0f) return RoundRect(x0, y0, x1, y1, radius);
  const float most = std::max(0.0f, std::min(x1 - x0, y1 - y0) / 2);
  return RoundRect(x0, y0, x1, y1, std::min(radius * k, most));
}

bool Glossy() {
  return !currentShape || currentShape->Glossy;
}

// The skin's colours. The window colour and text colour are the ones the
// description gives GLOBALINFO, so that soft edges blend into what lies behind.
const TRgbF WindowColor = Rgb(210, 227, 250);
const TRgbF CaptionColor = Rgb(206, 224, 248);
const TRgbF MenuColor = Rgb(250, 250, 250);
const TRgbF FrameOutline = Rgb(79, 115, 168);
const TRgbF GlyphColor = Rgb(62, 88, 128);
const TRgbF White = Rgb(255, 255, 255);
const TRgbF Black = Rgb(0, 0, 0);

// Face colours of a push-button look in three states: outline, then the upper half
// (top, bottom) and the lower half (top, bottom) of a glossy two-band face.
struct TFace {
  TRgbF Outline;
  TRgbF Top0, Top1, Bottom0, Bottom1;
  float Shine;  // opacity of the white inner rim
};

TFace FaceOf(int state) {
  switch (state) {
    case 0:
      return {Rgb(125, 157, 201), Rgb(252, 253, 255), Rgb(229, 239, 252),
              Rgb(208, 224, 246), Rgb(228, 240, 255), 0.75f};
    case 1:
      return {Rgb(221, 177, 92),  Rgb(255, 253, 236), Rgb(255, 239, 186),
              Rgb(255, 217, 115), Rgb(255, 238, 168), 0.7f};
    default:
      return {Rgb(184, 128, 58), Rgb(249, 207, 146), Rgb(246, 184, 106),
              Rgb(242, 152, 58), Rgb(251, 196, 112), 0.0f};
  }
}

// A rounded push-button face filling (x0, y0)-(x1, y1). split is where the lower band
// starts, as a fraction of the height. vertical = false turns the bands sideways.
void Button(TRaster& r, float x0, float y0, float x1, float y1, float radius, int state,
            float split = 0.47f, bool vertical = true, float flat = 0) {
  const TFace f = FaceOf(state);
  r.Fill(Rounded(x0, y0, x1, y1, radius), Solid(f.Outline));
  const float a = vertical ? y0 + 1 : x0 + 1, b = vertical ? y1 - 1 : x1 - 1;
  // flat keeps the lower band's first colour for a while, so that a middle strip
  // that painters tile stays one colour.
  std::vector<TStop> stops{{0, f.Top0},
                           {split - 0.001f, f.Top1},
                           {split, f.Bottom0},
                           {split + flat, f.Bottom0},
                           {1, f.Bottom1}};
  if (!Glossy()) {
    // One smooth face from the light top to the deeper bottom, still one colour
    // over the strip painters tile.
    const TRgbF middle = Mix(f.Top1, f.Bottom0, 0.5f);
    stops = {{0, f.Top0}, {split, middle}, {split + flat, middle}, {1, f.Bottom0}};
  }
  TPaint face = vertical ? VGradient(a, b, stops) : HGradient(a, b, stops);
  r.Fill(Rounded(x0 + 1, y0 + 1, x1 - 1, y1 - 1, std::max(radius - 1, 0.0f)), face);
  if (f.Shine > 0) {
    r.Fill(Subtract(Rounded(x0 + 1, y0 + 1, x1 - 1, y1 - 1, std::max(radius - 1, 0.0f)),
                    Rounded(x0 + 2, y0 + 2, x1 - 2, y1 - 2, std::max(radius - 2, 0.0f))),
           Solid(White), f.Shine * 0.6f);
  } else {
    // Pressed: a soft inner shadow along the top instead of the white rim.
    r.Fill(Subtract(Rounded(x0 + 1, y0 + 1, x1 - 1, y1 - 1, std::max(radius - 1, 0.0f)),
                    Rounded(x0 + 1, y0 + 2, x1 - 1, y1 - 1, std::max(radius - 1, 0.0f))),
           Solid(Rgb(150, 90, 30)), 0.35f);
  }
}

TRgbF GlyphTone(int state) {
  return state == 0 ? GlyphColor : state == 1 ? Rgb(52, 72, 104) : Rgb(40, 48, 64);
}

// Background of a caption button: nothing in the normal state (the caption shows
// through), a warm face when hot, a deeper one when pressed. The large buttons are
// as high as the whole caption strip, so their face keeps clear of the window's
// outline and light rim along the top.
void CaptionButtonBack(TRaster& r, int state, int w, int h) {
  if (state == 0) return;
  if (w >= 20)
    Button(r, 1, 2, w - 1.0f, h - 1.0f, 3, state);
  else
    Button(r, 0, 0, float(w), float(h), 3, state);
}

// Caption button symbols, drawn in a box of size s centred in the cell.
void CloseSymbol(TRaster& r, float cx, float cy, float s, TRgbF c) {
  const float d = s * 0.5f, t = s >= 7.5f ? 1.15f : 0.95f;
  r.Fill(
      Union(Capsule(cx - d, cy - d, cx + d, cy + d, t), Capsule(cx - d, cy + d, cx + d, cy - d, t)),
      Solid(c));
}

void MaxSymbol(TRaster& r, float x, float y, float w, float h, TRgbF c) {
  const float t = 1.0f;
  r.Fill(Subtract(Rounded(x, y, x + w, y + h, 0.5f),
                  Rounded(x + t, y + 2 * t, x + w - t, y + h - t, 0)),
         Solid(c));
}

void MinSymbol(TRaster& r, float x, float y, float w, TRgbF c) {
  r.Fill(Rounded(x, y, x + w, y + 2, 0.3f), Solid(c));
}

void RestoreSymbol(TRaster& r, float x, float y, float s, TRgbF c) {
  // Two overlapping windows: the back one up and right, the front one hiding it.
  const float w = s - 2, h = s - 3;
  const TShape front = Rounded(x, y + s - h, x + w, y + s, 0);
  r.Fill(Subtract(Subtract(Rounded(x + 2, y, x + s, y + h, 0.5f),
                           Rounded(x + 3, y + 2, x + s - 1, y + h - 1, 0)),
                  front),
         Solid(c));
  MaxSymbol(r, x, y + s - h, w, h, c);
}

void HelpSymbol(TRaster& r, float cx, float cy, float s, TRgbF c) {
  const float t = std::max(0.85f, s * 0.1f);
  const float rad = s * 0.26f;
  const float top = cy - s * 0.42f + rad;
  // Upper hook of the question mark: an arc from the left round to below the centre.
  TShape hook = Capsule(cx, top + rad, cx, top + rad + s * 0.16f, t);
  TShape arc =
      Intersect(Subtract(Circle(cx, top, rad + t), Circle(cx, top, rad - t)),
                [=](float x, float y) { return (x < cx - 0.2f * rad && y > top) ? 1.0f : -1.0f; });
  r.Fill(Union(arc, hook), Solid(c));
  r.Fill(Circle(cx, cy + s * 0.40f, t * 1.1f), Solid(c));
}

void TitleGlyph(TRaster& r, const std::string& kind, int state, int w, int h) {
  CaptionButtonBack(r, state, w, h);
  const TRgbF c = GlyphTone(state);
  const float s = w >= 20 ? 9.0f : 8.0f;
  const float x = std::floor((w - s) / 2), y = std::floor((h - s) / 2);
  if (kind == "close") CloseSymbol(r, w / 2.0f, h / 2.0f, s * 0.85f, c);
  if (kind == "max") MaxSymbol(r, x, y, s, s - 1, c);
  if (kind == "min") MinSymbol(r, x + 1, y + s - 2, s - 2, c);
  if (kind == "norm") RestoreSymbol(r, x, y, s, c);
  if (kind == "help") HelpSymbol(r, w / 2.0f, h / 2.0f, s + 1, c);
}

// Check box: outlined square with a soft inner well.
void CheckBoxFrame(TRaster& r, int state, int n) {
  const TRgbF outline = state == 0   ? Rgb(112, 138, 176)
                        : state == 1 ? Rgb(206, 160, 80)
                                     : Rgb(180, 120, 50);
  r.Fill(Rounded(0, 0, float(n), float(n), 0.6f), Solid(outline));
  r.Fill(Rounded(1, 1, n - 1.0f, n - 1.0f, 0), Solid(White));
  std::vector<TStop> well;
  if (state == 0)
    well = {{0, Rgb(203, 215, 232)}, {1, Rgb(246, 249, 253)}};
  else if (state == 1)
    well = {{0, Rgb(250, 214, 140)}, {1, Rgb(255, 246, 214)}};
  else
    well = {{0, Rgb(240, 170, 90)}, {1, Rgb(252, 220, 160)}};
  r.Fill(Rounded(2, 2, n - 2.0f, n - 2.0f, 0), VGradient(2, n - 2.0f, well));
}

void CheckMark(TRaster& r, float ox, float oy, float n, TRgbF c) {
  const float k = n / 13.0f;
  r.Fill(Polyline({ox + 3.3f * k, oy + 6.6f * k, ox + 5.4f * k, oy + 8.9f * k, ox + 9.8f * k,
                   oy + 3.9f * k},
                  1.05f * std::max(k, 0.85f)),
         Solid(c));
}

void RadioFrame(TRaster& r, int state, int n) {
  const float c = n / 2.0f;
  const TRgbF outline = state == 0   ? Rgb(112, 138, 176)
                        : state == 1 ? Rgb(206, 160, 80)
                                     : Rgb(180, 120, 50);
  r.Fill(Circle(c, c, c - 0.1f), Solid(outline));
  r.Fill(Circle(c, c, c - 1.1f), Solid(White));
  std::vector<TStop> well;
  if (state == 0)
    well = {{0, Rgb(203, 215, 232)}, {1, Rgb(246, 249, 253)}};
  else if (state == 1)
    well = {{0, Rgb(250, 214, 140)}, {1, Rgb(255, 246, 214)}};
  else
    well = {{0, Rgb(240, 170, 90)}, {1, Rgb(252, 220, 160)}};
  r.Fill(Circle(c, c, c - 2.0f), VGradient(2, n - 2.0f, well));
}

// A flat frame: outline colour, optional fill inside.
void Frame(TRaster& r, int w, int h, TRgbF outline, const TPaint& fill, float radius = 0) {
  r.Fill(Rounded(0, 0, float(w), float(h), radius), Solid(outline));
  r.Fill(Rounded(1, 1, w - 1.0f, h - 1.0f, std::max(radius - 1, 0.0f)), fill);
}

void Arrow(TRaster& r, int state, int w, int h, int dir) {
  // Drawn pointing down, then turned: 0 down, 1 up, 2 right, 3 left.
  TRaster a(w, h);
  const float cx = w / 2.0f, cy = h / 2.0f + 0.5f;
  a.Fill(Polygon({cx - 3.5f, cy - 2.0f, cx + 3.5f, cy - 2.0f, cx, cy + 1.8f}),
         Solid(GlyphTone(state)));
  if (dir == 1) a = a.FlippedVertically();
  if (dir == 2) a = a.Transposed();
  if (dir == 3) a = a.Transposed().FlippedHorizontally();
  r = a;
}

void Tab(TRaster& r, int state, int n) {
  // Upper tab: rounded top corners, open bottom edge.
  const TRgbF outline = Rgb(141, 178, 227);
  std::vector<TStop> face;
  if (state == 0)
    face = {{0, Rgb(248, 251, 255)}, {1, Rgb(215, 230, 250)}};
  else if (state == 1)
    face = {{0, Rgb(255, 250, 230)}, {1, Rgb(255, 226, 150)}};
  else
    face = {{0, White}, {1, Rgb(245, 249, 255)}};
  r.Fill(Rounded(0, 0, float(n), n + 3.0f, 2.5f), Solid(outline));
  r.Fill(Rounded(1, 1, n - 1.0f, n + 3.0f, 1.5f), VGradient(1, float(n), face));
  if (state == 1) r.Fill(Rounded(1, 0, n - 1.0f, 2, 0.5f), Solid(Rgb(255, 183, 0)), 0.8f);
}

}  // namespace

TRgbF SkinMatte(const std::string& image) {
  static const std::map<std::string, TRgbF> mattes{{"form", FrameOutline},
                                                   {"bclose", CaptionColor},
                                                   {"bmax", CaptionColor},
                                                   {"bnorm", CaptionColor},
                                                   {"bmin", CaptionColor},
                                                   {"bhelp", CaptionColor},
                                                   {"sclose", CaptionColor},
                                                   {"smax", CaptionColor},
                                                   {"snorm", CaptionColor},
                                                   {"smin", CaptionColor},
                                                   {"shelp", CaptionColor},
                                                   {"titlebtn", CaptionColor},
                                                   {"check", MenuColor},
                                                   {"menu", MenuColor},
                                                   {"arrowleft", Rgb(225, 236, 251)},
                                                   {"arrowright", Rgb(225, 236, 251)},
                                                   {"arrowup", Rgb(225, 236, 251)},
                                                   {"arrowdown", Rgb(225, 236, 251)},
                                                   {"comboarrow", Rgb(225, 236, 251)},
                                                   {"hint", Rgb(240, 240, 248)},
                                                   {"edit", Rgb(234, 243, 251)},
                                                   {"thumbh", Rgb(244, 244, 240)},
                                                   {"thumbv", Rgb(244, 244, 240)}};
  auto it = mattes.find(image);
  return it == mattes.end() ? WindowColor : it->second;
}

TRaster PaintSkinCell(const std::string& image, int state, int w, int h, const TSkinShape& shape) {
  const TShapeScope scope(shape);
  TRaster r(w, h);
  const float W = float(w), H = float(h);

  if (image == "title") {
    // Caption strip: rounded top corners, a dark outline with a light rim inside,
    // a faint gloss across the top, and two bottom rows that double as the status
    // bar's top edge (so they are uniform across columns 1..10).
    r.Fill(Rounded(0, 0, W, H + 6, 5), Solid(FrameOutline));
    r.Fill(Subtract(Rounded(1, 1, W - 1, H + 6, 4), Rounded(2, 2, W - 2, H + 6, 3)), Solid(White),
           0.85f);
    // Clear the inside so the caption gradient shows through.
    TRaster cut(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const bool inside = Rounded(2, 2, W - 2, H + 6, 3)(x + 0.5f, y + 0.5f) < 0;
        if (inside) r.At(x, y) = {};
      }
    r.Fill(Rounded(2, 2, W - 2, 5, 0), Solid(White), 0.35f);
    for (int x = 1; x < w - 1; ++x) {
      r.At(x, h - 2) = {153, 182, 222, 1};
      r.At(x, h - 1) = {236, 243, 252, 1};
    }
    r.At(0, h - 2) = r.At(0, h - 1) = {FrameOutline.R, FrameOutline.G, FrameOutline.B, 1};
    r.At(w - 1, h - 2) = r.At(w - 1, h - 1) = {FrameOutline.R, FrameOutline.G, FrameOutline.B, 1};
    return r;
  }
  if (image == "form") {
    // Window frame: outline, light rim, body in the window colour; rounded corners.
    r.Fill(Rounded(0, 0, W, H, 4.5f), Solid(FrameOutline));
    r.Fill(Rounded(1, 1, W - 1, H - 1, 3.5f), Solid(Rgb(228, 238, 252)));
    r.Fill(Rounded(2, 2, W - 2, H - 2, 2.5f), Solid(Rgb(197, 216, 243)));
    r.Fill(Rounded(3, 3, W - 3, H - 3, 1.5f), Solid(WindowColor));
    return r;
  }
  if (image == "edit") {
    r.Fill(Rounded(0, 0, W, H, 0), Solid(Rgb(171, 193, 222)));
    r.At(1, 1) = {234, 243, 251, 1};
    return r;
  }
  if (image == "channel") {
    // Sunken groove: shadow on top, light below; also used as a menu separator.
    for (int x = 0; x < w; ++x) {
      r.At(x, 0) = {150, 171, 199, 1};
      r.At(x, 1) = {226, 233, 243, 1};
      r.At(x, 2) = {255, 255, 255, 1};
    }
    r.At(0, 1) = {150, 171, 199, 1};
    r.At(w - 1, 1) = {255, 255, 255, 1};
    return r;
  }
  if (image == "menu") {
    Frame(r, w, h, Rgb(151, 163, 181), Solid(MenuColor));
    return r;
  }
  if (image == "tickh" || image == "tickv") {
    r.Fill(Rounded(0, 0, W, H, 0), Solid(Rgb(112, 138, 176)));
    return r;
  }
  if (image == "thumbh" || image == "thumbv") {
    // Horizontal thumb points down; the vertical one is the same picture turned.
    const int tw = image == "thumbh" ? w : h, th = image == "thumbh" ? h : w;
    TRaster t(tw, th);
    const float TW = float(tw), TH = float(th);
    const TFace f = FaceOf(state == 0 ? 0 : 1);
    const float body = TH - 6;
    const TRgbF outline = state == 0 ? Rgb(96, 128, 176) : Rgb(196, 146, 60);
    TShape outer =
        Union(Rounded(0, 0, TW, body, 2), Polygon({0, body - 2.5f, TW, body - 2.5f, TW / 2, TH}));
    TShape inner = Union(Rounded(1, 1, TW - 1, body - 1, 1),
                         Polygon({1, body - 2.5f, TW - 1, body - 2.5f, TW / 2, TH - 1.6f}));
    t.Fill(outer, Solid(outline));
    t.Fill(inner, HGradient(1, TW - 1, {{0, f.Top0}, {0.45f, f.Top1}, {1, f.Bottom0}}));
    t.Fill(Capsule(2, 2.5f, 2, body - 3, 0.5f), Solid(White), 0.6f);
    r = image == "thumbh" ? t : t.Transposed();
    return r;
  }
  if (image == "menuitem") {
    // Highlight frame of a menu item; its inside is the section's warm gradient.
    const TRgbF outline = state == 0   ? Rgb(170, 190, 220)
                          : state == 1 ? Rgb(226, 184, 98)
                                       : Rgb(194, 130, 52);
    r.Fill(Subtract(Rounded(0, 0, W, H, 2), Rounded(1, 1, W - 1, H - 1, 1.2f)), Solid(outline));
    if (state != 2)
      r.Fill(Subtract(Rounded(1, 1, W - 1, H - 1, 1.2f), Rounded(2, 2, W - 2, H - 2, 0)),
             Solid(White), 0.55f);
    return r;
  }
  if (image == "button") {
    Button(r, 0, 0, W, H, 3, state, 10.0f / 21.0f);
    return r;
  }
  if (image == "bclose" || image == "sclose") return TitleGlyph(r, "close", state, w, h), r;
  if (image == "bmax" || image == "smax") return TitleGlyph(r, "max", state, w, h), r;
  if (image == "bnorm" || image == "snorm") return TitleGlyph(r, "norm", state, w, h), r;
  if (image == "bmin" || image == "smin") return TitleGlyph(r, "min", state, w, h), r;
  if (image == "bhelp" || image == "shelp") return TitleGlyph(r, "help", state, w, h), r;
  if (image == "titlebtn") {
    if (state == 0)
      r.Fill(Subtract(Rounded(0.5f, 0.5f, W - 0.5f, H - 0.5f, 3),
                      Rounded(1.5f, 1.5f, W - 1.5f, H - 1.5f, 2)),
             Solid(White), 0.6f);
    else
      Button(r, 0, 0, W, H, 3, state);
    return r;
  }
  if (image == "boxchecked" || image == "boxunchecked" || image == "boxgrayed" ||
      image == "smallchecked" || image == "smallunchecked" || image == "smallgrayed") {
    CheckBoxFrame(r, state, w);
    if (image.ends_with("checked") && !image.ends_with("unchecked"))
      CheckMark(r, 0, 0, W, state == 0 ? Rgb(33, 70, 140) : Rgb(40, 60, 100));
    if (image.ends_with("grayed"))
      r.Fill(Rounded(3, 3, W - 3, H - 3, 0.5f),
             VGradient(3, H - 3, {{0, Rgb(100, 140, 200)}, {1, Rgb(60, 95, 150)}}));
    return r;
  }
  if (image == "radiochecked" || image == "radiounchecked") {
    RadioFrame(r, state, w);
    if (image == "radiochecked") {
      const float c = W / 2;
      r.Fill(Circle(c, c, 2.9f),
             VGradient(c - 3, c + 3, {{0, Rgb(110, 150, 210)}, {1, Rgb(30, 65, 130)}}));
      r.Fill(Circle(c - 0.8f, c - 0.9f, 0.9f), Solid(White), 0.6f);
    }
    return r;
  }
  if (image == "check") {
    // Menu check mark on a small framed square (frame 1 is the selected item).
    if (state > 0)
      Frame(r, w, h, state == 1 ? Rgb(226, 184, 98) : Rgb(194, 130, 52), Solid(Rgb(255, 227, 150)),
            1.5f);
    else
      Frame(r, w, h, Rgb(160, 180, 210), Solid(Rgb(236, 243, 252)), 1.5f);
    CheckMark(r, -0.2f, 0.3f, W, Rgb(33, 60, 110));
    return r;
  }
  if (image == "grip") {
    // Size grip: a triangle of dots with light shadows.
    for (int row = 0; row < 4; ++row)
      for (int col = 0; col < 4; ++col) {
        if (row + col < 3) continue;
        const int x = col * 3, y = row * 3;
        r.Put(x + 1, y + 1, White);
        r.Put(x + 2, y + 2, White, 0.6f);
        r.Put(x, y, Rgb(111, 140, 180));
        r.Put(x + 1, y, Rgb(140, 164, 198));
        r.Put(x, y + 1, Rgb(140, 164, 198));
      }
    return r;
  }
  if (image == "arrowdown" || image == "comboarrow") return Arrow(r, state, w, h, 0), r;
  if (image == "arrowup") return Arrow(r, state, w, h, 1), r;
  if (image == "arrowright") return Arrow(r, state, w, h, 2), r;
  if (image == "arrowleft") return Arrow(r, state, w, h, 3), r;
  if (image == "scrollbtn" || image == "smallbtn" || image == "combobtn") {
    if (image == "combobtn" && state == 0) {
      Frame(r, w, h, Rgb(190, 208, 232),
            VGradient(1, H - 1, {{0, Rgb(250, 252, 255)}, {1, Rgb(221, 234, 251)}}), 1.5f);
      return r;
    }
    Button(r, 0, 0, W, H, 2, state, 0.45f);
    return r;
  }
  if (image == "sliderh") return Button(r, 0, 0, W, H, 2.5f, state, 0.5f), r;
  if (image == "sliderv") return Button(r, 0, 0, W, H, 2.5f, state, 0.5f, false), r;
  if (image == "trackh" || image == "trackv") {
    const bool horz = image == "trackh";
    std::vector<TStop> s = state == 0 ? std::vector<TStop>{{0, Rgb(219, 230, 245)},
                                                           {0.5f, Rgb(236, 242, 251)},
                                                           {1, Rgb(227, 236, 249)}}
                                      : std::vector<TStop>{{0, Rgb(176, 198, 229)},
                                                           {0.5f, Rgb(196, 213, 238)},
                                                           {1, Rgb(186, 206, 235)}};
    r.Fill(Rounded(0, 0, W, H, 0), horz ? VGradient(0, H, s) : HGradient(0, W, s));
    // A hairline along both long edges.
    const TRgbF edge = Rgb(200, 215, 236);
    for (int i = 0; i < (horz ? w : h); ++i) {
      if (horz)
        r.Put(i, 0, edge), r.Put(i, h - 1, edge);
      else
        r.Put(0, i, edge), r.Put(w - 1, i, edge);
    }
    return r;
  }
  if (image == "divider") {
    for (int y = 0; y < h; ++y) {
      const float a = (y == 0 || y == h - 1) ? 0.45f : 1.0f;
      r.Put(0, y, Rgb(152, 175, 208), a);
      r.Put(1, y, Rgb(152, 175, 208), a);
      r.Put(2, y, White, a);
    }
    return r;
  }
  if (image == "panel" || image == "panellow" || image == "splitter") {
    const bool low = image == "panellow";
    const TRgbF light = White, dark = Rgb(150, 175, 210);
    r.Fill(Rounded(0, 0, W, H, 0), Solid(image == "splitter" ? Rgb(214, 229, 250) : WindowColor));
    for (int i = 0; i < w; ++i)
      r.Put(i, 0, low ? dark : light), r.Put(i, h - 1, low ? light : dark);
    for (int i = 1; i < h - 1; ++i)
      r.Put(0, i, low ? dark : light), r.Put(w - 1, i, low ? light : dark);
    if (image == "splitter") r.Put(2, 2, Rgb(120, 148, 190)), r.Put(3, 3, White);
    return r;
  }
  if (image == "gauge") {
    Frame(r, w, h, Rgb(142, 165, 198),
          VGradient(1, H - 1, {{0, Rgb(214, 224, 238)}, {1, Rgb(247, 249, 253)}}), 2);
    return r;
  }
  if (image == "progressh" || image == "progressv") {
    std::vector<TStop> s{{0, Rgb(214, 246, 200)},
                         {0.45f, Rgb(150, 220, 120)},
                         {0.46f, Rgb(86, 180, 60)},
                         {1, Rgb(140, 214, 110)}};
    r.Fill(Rounded(0, 0, W, H, 2), Solid(Rgb(70, 140, 60)));
    r.Fill(Rounded(1, 1, W - 1, H - 1, 1),
           image == "progressh" ? VGradient(1, H - 1, s) : HGradient(1, W - 1, s));
    return r;
  }
  if (image == "page") {
    Frame(r, w, h, Rgb(141, 178, 227), VGradient(1, H - 1, {{0, White}, {1, Rgb(236, 243, 252)}}),
          1);
    return r;
  }
  if (image == "tabtop" || image == "tabbottom" || image == "tableft" || image == "tabright") {
    TRaster t(w, h);
    Tab(t, state, w);
    if (image == "tabbottom") t = t.FlippedVertically();
    if (image == "tableft") t = t.Transposed();
    if (image == "tabright") t = t.Transposed().FlippedHorizontally();
    return t;
  }
  if (image == "hint") {
    Frame(r, w, h, Rgb(118, 118, 118), VGradient(1, H - 1, {{0, White}, {1, Rgb(228, 229, 240)}}),
          2.5f);
    return r;
  }
  if (image == "groupbox") {
    r.Fill(Subtract(Rounded(0, 0, W, H, 3), Rounded(1, 1, W - 1, H - 1, 2)),
           Solid(Rgb(171, 193, 222)));
    r.Fill(Subtract(Rounded(1, 1, W - 1, H - 1, 2), Rounded(2, 2, W - 2, H - 2, 1)), Solid(White),
           0.7f);
    return r;
  }
  if (image == "comboframe") {
    const TRgbF outline = state == 0   ? Rgb(171, 193, 222)
                          : state == 1 ? Rgb(128, 160, 206)
                                       : Rgb(101, 140, 196);
    Frame(r, w, h, outline, Solid(White), 0);
    return r;
  }
  if (image == "bartitle") {
    r.Fill(Rounded(0, 0, W, H + 4, 3), Solid(Rgb(101, 147, 207)));
    r.Fill(Rounded(1, 1, W - 1, H + 4, 2),
           VGradient(1, H, {{0, Rgb(227, 239, 255)}, {1, Rgb(175, 210, 255)}}));
    return r;
  }
  if (image == "toolbtn") {
    if (state == 0)
      r.Fill(Subtract(Rounded(0, 0, W, H, 2), Rounded(1, 1, W - 1, H - 1, 1)),
             Solid(Rgb(160, 185, 220)), 0.8f);
    else
      Button(r, 0, 0, W, H, 2, state, 0.45f);
    return r;
  }
  if (image == "colheader") {
    std::vector<TStop> s =
        state == 0   ? std::vector<TStop>{{0, White}, {1, Rgb(228, 238, 252)}}
        : state == 1 ? std::vector<TStop>{{0, Rgb(255, 250, 230)}, {1, Rgb(255, 225, 150)}}
                     : std::vector<TStop>{{0, Rgb(210, 225, 245)}, {1, Rgb(190, 210, 240)}};
    r.Fill(Rounded(0, 0, W, H, 0), VGradient(0, H, s));
    for (int y = 1; y < h - 1; ++y) r.Put(w - 2, y, Rgb(197, 210, 228)), r.Put(w - 1, y, White);
    for (int x = 0; x < w; ++x)
      r.Put(x, h - 2, Rgb(197, 210, 228)), r.Put(x, h - 1, Rgb(176, 195, 222));
    return r;
  }
  if (image == "griph") {
    r.Fill(Rounded(0, 0, W, H, 0), Solid(Rgb(214, 229, 250)));
    for (int y = 1; y < h - 1; y += 3)
      for (int x = 1; x < w - 1; x += 3)
        r.Put(x + 1, y + 1, White), r.Put(x, y, Rgb(100, 130, 175));
    return r;
  }
  if (image == "toolbar") {
    Frame(r, w, h, Rgb(158, 190, 229),
          VGradient(1, H - 1, {{0, Rgb(227, 239, 255)}, {1, Rgb(190, 218, 255)}}), 2.5f);
    return r;
  }
  throw std::runtime_error("skin art: nothing paints image " + image);
}

TRaster PaintHugeButtonCell(int state, const TSkinShape& shape) {
  const TShapeScope scope(shape);
  TRaster r(96, 96);
  // The middle rows 47 and 48 are tiled by painters: keep them one colour.
  Button(r, 2, 2, 94, 94, 12, state, 0.42f, true, 0.16f);
  // A broad soft highlight over the upper band makes the large face read as glass.
  if (state != 2 && Glossy())
    r.Fill(Rounded(6, 4, 90, 40, 9), VGradient(4, 40, {{0, White}, {1, White}}), 0.25f);
  // Soft drop shadow under the face, visible only through the mask's grey levels.
  TRaster shadow(96, 96);
  shadow.Fill(Rounded(2, 4, 94, 96, 12), Solid(Black), 0.18f);
  for (int y = 0; y < 96; ++y)
    for (int x = 0; x < 96; ++x) {
      TRgbaF& d = r.At(x, y);
      const TRgbaF& s = shadow.At(x, y);
      if (d.A < 1 && s.A > 0) {
        const float outA = d.A + s.A * (1 - d.A);
        const float k = s.A * (1 - d.A);
        d.R = (d.R * d.A + s.R * k) / outA;
        d.G = (d.G * d.A + s.G * k) / outA;
        d.B = (d.B * d.A + s.B * k) / outA;
        d.A = outA;
      }
    }
  return r;
}

}  // namespace vm
