#include "app/Glyphs.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

namespace vm::app {

namespace {

struct TRgb {
  float R, G, B;
};

constexpr TRgb Rgb(int r, int g, int b) {
  return {float(r), float(g), float(b)};
}

// The palette every glyph draws from.
constexpr TRgb Ink = Rgb(38, 56, 92);  // outlines
constexpr TRgb Blue = Rgb(52, 112, 196);
constexpr TRgb SkyBlue = Rgb(150, 196, 240);
constexpr TRgb Gold = Rgb(244, 194, 66);
constexpr TRgb DarkGold = Rgb(196, 140, 36);
constexpr TRgb Green = Rgb(64, 160, 78);
constexpr TRgb DarkGreen = Rgb(36, 110, 52);
constexpr TRgb Red = Rgb(204, 62, 50);
constexpr TRgb White = Rgb(252, 252, 252);
constexpr TRgb Steel = Rgb(150, 160, 172);
constexpr TRgb Wood = Rgb(166, 108, 62);
constexpr TRgb Face = Rgb(216, 220, 226);  // what edge pixels are blended with

using TShape = std::function<bool(float x, float y)>;

// A canvas in shape units (the glyph's 32 x 32 design space) rendered at
// `size` pixels, with 4 x 4 samples per pixel for the edges.
class TPainter {
 public:
  explicit TPainter(int size) : size_(size), rgb_(std::size_t(size * size)), alpha_(rgb_.size()) {}

  void Fill(const TShape& inside, TRgb c) {
    const float unit = 32.0f / float(size_);
    for (int py = 0; py < size_; ++py)
      for (int px = 0; px < size_; ++px) {
        int hits = 0;
        for (int sy = 0; sy < 4; ++sy)
          for (int sx = 0; sx < 4; ++sx)
            hits += inside((float(px) + (float(sx) + 0.5f) / 4) * unit,
                           (float(py) + (float(sy) + 0.5f) / 4) * unit);
        if (hits == 0) continue;
        float a = float(hits) / 16;
        std::size_t i = std::size_t(py * size_ + px);
        TRgb& d = rgb_[i];
        d.R = d.R * (1 - a) + c.R * a;
        d.G = d.G * (1 - a) + c.G * a;
        d.B = d.B * (1 - a) + c.B * a;
        alpha_[i] = alpha_[i] * (1 - a) + a;
      }
  }

  // Opaque pixels keep their colour; the others are blended over `under`,
  // and nearly empty ones become `empty` when it is given.
  TBitmap Result(TRgb under, const TColor* empty) const {
    TBitmap bmp(size_, size_);
    for (int y = 0; y < size_; ++y) {
      std::uint8_t* row = bmp.ScanLine(y);
      for (int x = 0; x < size_; ++x) {
        std::size_t i = std::size_t(y * size_ + x);
        float a = alpha_[i];
        std::uint8_t* p = row + x * 3;
        if (empty && a < 0.08f) {
          p[0] = std::uint8_t((*empty >> 16) & 0xFF);
          p[1] = std::uint8_t((*empty >> 8) & 0xFF);
          p[2] = std::uint8_t(*empty & 0xFF);
          continue;
        }
        // rgb_ already holds colour x alpha over black.
        auto mix = [&](float c, float u) {
          return std::uint8_t(std::clamp(std::lround(c + u * (1 - a)), 0L, 255L));
        };
        p[0] = mix(rgb_[i].B, under.B);
        p[1] = mix(rgb_[i].G, under.G);
        p[2] = mix(rgb_[i].R, under.R);
      }
    }
    return bmp;
  }

  // A 32-bit picture with straight alpha (B, G, R, A), for icons.
  TBitmap ResultWithAlpha() const {
    TBitmap bmp(size_, size_, TPixelFormat::pf32bit);
    for (int y = 0; y < size_; ++y) {
      std::uint8_t* row = bmp.ScanLine(y);
      for (int x = 0; x < size_; ++x) {
        std::size_t i = std::size_t(y * size_ + x);
        float a = alpha_[i];
        std::uint8_t* p = row + x * 4;
        auto unmix = [&](float c) {
          return std::uint8_t(a <= 0 ? 0 : std::clamp(std::lround(c / a), 0L, 255L));
        };
        p[0] = unmix(rgb_[i].B);
        p[1] = unmix(rgb_[i].G);
        p[2] = unmix(rgb_[i].R);
        p[3] = std::uint8_t(std::clamp(std::lround(a * 255), 0L, 255L));
      }
    }
    return bmp;
  }

 private:
  int size_;
  std::vector<TRgb> rgb_;
  std::vector<float> alpha_;
};

// Shapes in design units.
TShape RoundRect(float l, float t, float r, float b, float radius) {
  return [=](float x, float y) {
    if (x < l || x > r || y < t || y > b) return false;
    float cx = std::clamp(x, l + radius, r - radius), cy = std::clamp(y, t + radius, b - radius);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
  };
}
TShape Rect(float l, float t, float r, float b) {
  return RoundRect(l, t, r, b, 0);
}
TShape Circle(float cx, float cy, float radius) {
  return [=](float x, float y) {
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
  };
}
TShape Polygon(std::vector<std::pair<float, float>> pts) {
  return [pts = std::move(pts)](float x, float y) {
    bool in = false;
    for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
      auto [xi, yi] = pts[i];
      auto [xj, yj] = pts[j];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
    }
    return in;
  };
}
// A line of the given width with round ends.
TShape Line(float x1, float y1, float x2, float y2, float width) {
  return [=](float x, float y) {
    float dx = x2 - x1, dy = y2 - y1;
    float t = std::clamp(((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    float ex = x1 + t * dx - x, ey = y1 + t * dy - y;
    return ex * ex + ey * ey <= width * width / 4;
  };
}
// A ring between two radii, limited to angles [from, to] in degrees (0 to the
// right, growing clockwise on screen).
TShape Arc(float cx, float cy, float inner, float outer, float from, float to) {
  return [=](float x, float y) {
    float d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
    if (d2 < inner * inner || d2 > outer * outer) return false;
    float a = std::atan2(y - cy, x - cx) * 180.0f / std::numbers::pi_v<float>;
    if (a < from) a += 360;
    return a >= from && a <= to;
  };
}

// Fills a shape with an outline: the shape grown by `w` in ink, then itself.
void Outlined(TPainter& p, const std::function<TShape(float)>& shape, TRgb fill, TRgb ink,
              float w = 1.1f) {
  p.Fill(shape(w), ink);
  p.Fill(shape(0), fill);
}

void DrawOpen(TPainter& p) {
  // Back of the folder with its tab, then the open front leaning forward.
  Outlined(
      p,
      [](float g) {
        return Polygon({{3 - g, 7 - g},
                        {12 + g * .4f, 7 - g},
                        {15 + g * .4f, 10 - g},
                        {27 + g, 10 - g},
                        {27 + g, 26 + g},
                        {3 - g, 26 + g}});
      },
      DarkGold, Ink);
  p.Fill(Rect(6, 13, 25, 15), White);
  Outlined(
      p,
      [](float g) {
        return Polygon({{8 - g, 15 - g}, {30.5f + g, 15 - g}, {26 + g, 26 + g}, {3 - g, 26 + g}});
      },
      Gold, Ink);
}

void DrawSave(TPainter& p) {
  Outlined(
      p,
      [](float g) {
        return Polygon({{4 - g, 4 - g},
                        {24 + g * .4f, 4 - g},
                        {28 + g, 8 - g * .4f},
                        {28 + g, 28 + g},
                        {4 - g, 28 + g}});
      },
      Blue, Ink);
  // The label and the metal shutter.
  Outlined(
      p, [](float g) { return RoundRect(8 - g, 4 - g, 23 + g, 14 + g, 1); }, White, Ink, 0.9f);
  p.Fill(Rect(10, 7, 21, 8), SkyBlue);
  p.Fill(Rect(10, 10, 18, 11), SkyBlue);
  Outlined(
      p, [](float g) { return RoundRect(9 - g, 19 - g, 23 + g, 28 + g, 1); }, Steel, Ink, 0.9f);
  p.Fill(Rect(18, 21, 21, 26.5f), Ink);
}

void DrawResize(TPainter& p) {
  // A large dashed frame, a small picture in its corner and an arrow between.
  for (float s = 4; s < 28; s += 5) {
    p.Fill(Rect(s, 3, std::min(s + 3, 29.0f), 4.6f), Ink);
    p.Fill(Rect(27.4f, s, 29, std::min(s + 3, 29.0f)), Ink);
  }
  Outlined(
      p, [](float g) { return Rect(3 - g, 17 - g, 15 + g, 29 + g); }, SkyBlue, Ink);
  p.Fill(Polygon({{4, 28}, {8, 22}, {11, 25}, {12.5f, 23.5f}, {14, 28}}), Green);
  p.Fill(Circle(11, 20.5f, 1.6f), Gold);
  p.Fill(Line(13, 19, 22.5f, 9.5f, 3), Red);
  p.Fill(Polygon({{25.5f, 6.5f}, {25.5f, 16}, {16, 6.5f}}), Red);
}

void DrawQuality(TPainter& p) {
  // A photograph above a slider whose knob sits near the top of its scale.
  Outlined(
      p, [](float g) { return RoundRect(3 - g, 3 - g, 29 + g, 21 + g, 1.5f); }, SkyBlue, Ink);
  p.Fill(Circle(22, 8.5f, 3), Gold);
  p.Fill(Polygon({{3.5f, 20.5f}, {11, 10}, {17, 17}, {20, 14}, {28.5f, 20.5f}}), Green);
  p.Fill(Polygon({{11, 10}, {13.2f, 13}, {8.9f, 13}}), White);
  p.Fill(RoundRect(3, 24.5f, 29, 27.5f, 1.5f), Ink);
  p.Fill(RoundRect(4, 25.3f, 22, 26.7f, 0.7f), Blue);
  Outlined(
      p, [](float g) { return Circle(22, 26, 3.2f + g); }, White, Ink);
}

void DrawUndo(TPainter& p) {
  // An arrow turning back: most of a ring from its top round to the upper
  // left, the head at the top pointing left into the gap.
  Outlined(
      p, [](float g) { return Arc(17, 18, 6 - g, 11 + g, -90, 140 + g * 8); }, Green, DarkGreen);
  Outlined(
      p,
      [](float g) {
        return Polygon({{18 + g, 2 - g * 1.6f}, {18 + g, 17 + g * 1.6f}, {7.5f - g * 1.8f, 9.5f}});
      },
      Green, DarkGreen);
}

void DrawAbout(TPainter& p) {
  Outlined(
      p, [](float g) { return Circle(16, 16, 13 + g); }, Blue, Ink);
  p.Fill(Circle(16, 9.3f, 2.4f), White);
  p.Fill(RoundRect(13.8f, 13, 18.2f, 24.5f, 1), White);
  p.Fill(Rect(12, 13, 18.2f, 15), White);
  p.Fill(Rect(12, 22.5f, 20, 24.5f), White);
}

void DrawExit(TPainter& p) {
  // A door frame, the door swung open, and an arrow leading out.
  Outlined(
      p, [](float g) { return Rect(4 - g, 3 - g, 20 + g, 29 + g); }, Rgb(64, 52, 44), Ink);
  Outlined(
      p,
      [](float g) {
        return Polygon({{4 - g, 3 - g}, {13 + g, 6 - g}, {13 + g, 31 + g}, {4 - g, 29 + g}});
      },
      Wood, Ink);
  p.Fill(Circle(11, 17.5f, 1.2f), Gold);
  Outlined(
      p,
      [](float g) {
        return Polygon({{15 - g, 14 - g},
                        {22 - g * .4f, 14 - g},
                        {22 - g * .4f, 9 - g * 2},
                        {30 + g * 1.6f, 17},
                        {22 - g * .4f, 25 + g * 2},
                        {22 - g * .4f, 20 + g},
                        {15 - g, 20 + g}});
      },
      Red, Rgb(120, 30, 24));
}

}  // namespace

TBitmap MakeGlyph(TGlyph glyph) {
  TPainter p(GlyphSize);
  switch (glyph) {
    case TGlyph::Open:
      DrawOpen(p);
      break;
    case TGlyph::Save:
      DrawSave(p);
      break;
    case TGlyph::Resize:
      DrawResize(p);
      break;
    case TGlyph::Quality:
      DrawQuality(p);
      break;
    case TGlyph::Undo:
      DrawUndo(p);
      break;
    case TGlyph::About:
      DrawAbout(p);
      break;
    case TGlyph::Exit:
      DrawExit(p);
      break;
  }
  TBitmap bmp = p.Result(Face, &GlyphTransparent);
  // The bottom-left pixel names the transparent colour, whatever is drawn.
  bmp.SetPixel(0, GlyphSize - 1, GlyphTransparent);
  return bmp;
}

namespace {

TPainter PaintProgramIcon(int size) {
  TPainter p(std::clamp(size, 16, 256));
  const TShape frame = RoundRect(4, 4, 28, 28, 3);
  Outlined(
      p, [](float g) { return RoundRect(1.5f - g, 1.5f - g, 30.5f + g, 30.5f + g, 5 + g); }, White,
      Ink, 1.0f);
  p.Fill(frame, SkyBlue);
  p.Fill(Rect(4, 4, 28, 12), Rgb(112, 168, 228));
  p.Fill(Circle(21.5f, 10, 3.4f), Gold);
  p.Fill([&](float x, float y) { return frame(x, y) && y > 25.5f - 6 * std::sin(x / 5.0f); },
         Green);
  p.Fill(Polygon({{4, 24}, {12, 12}, {20, 24}}), Blue);
  p.Fill(Polygon({{12, 12}, {14.4f, 15.6f}, {9.6f, 15.6f}}), White);
  p.Fill([&](float x, float y) { return frame(x, y) && y > 26 - 3 * std::sin(x / 4.0f + 1); },
         DarkGreen);
  return p;
}

}  // namespace

TBitmap MakeProgramIcon(int size, TColor background) {
  TRgb under{float(background & 0xFF), float((background >> 8) & 0xFF),
             float((background >> 16) & 0xFF)};
  return PaintProgramIcon(size).Result(under, nullptr);
}

TBitmap MakeProgramIconWithAlpha(int size) {
  return PaintProgramIcon(size).ResultWithAlpha();
}

}  // namespace vm::app
