#include "skin/paint/SectionPaint.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/gfx/Region.h"
#include "platform/gfx/Stretch.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/MaskPaint.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/paint/pixels/Gradient.h"
#include "skin/paint/pixels/PixelOps.h"

namespace vm {

namespace {

// Leaves the two engine-wide colours unset when an entry point returns, on
// every path.
struct TEngineColorsReset {
  ~TEngineColorsReset() {
    KeyFillColor = KeyColor;
    ParentColor = KeyColor;
  }
};

// How PaintBorderItem's background differs from a section item's.
struct TBackgroundRules {
  bool LookupByName = true;    // -1 texture indexes are looked up by name
  bool UseParentColor = true;  // ParentColor may stand in for the background copy
  bool WholeTilePass = true;   // state 0 runs the whole-tile texture pass
};

// The texture chosen for one state: a pattern, a mask, or nothing.
struct TTexture {
  const TsMaskData* Mask = nullptr;
  const TBitmap* Pattern = nullptr;
  bool Exists() const { return Mask || Pattern; }
};

void FillRectColor(TBitmap& bitmap, const TRect& rect, TColor color) {
  const TRect r = rect.Intersect(TRect{0, 0, bitmap.Width(), bitmap.Height()});
  if (r.IsEmpty()) return;
  const TColor c = ResolveColor(color);
  const std::uint8_t b = std::uint8_t(GetBValue(c)), g = std::uint8_t(GetGValue(c)),
                     red = std::uint8_t(GetRValue(c));
  const int bpp = bitmap.BytesPerPixel();
  // One row by pixels, the others copied from it.
  std::uint8_t* row = bitmap.ScanLine(r.Top) + r.Left * bpp;
  std::uint8_t* p = row;
  for (int x = r.Left; x < r.Right; ++x, p += bpp) p[0] = b, p[1] = g, p[2] = red;
  const std::size_t bytes = std::size_t(r.Width()) * std::size_t(bpp);
  for (int y = r.Top + 1; y < r.Bottom; ++y) {
    std::uint8_t* q = bitmap.ScanLine(y) + r.Left * bpp;
    if (bpp == 3) {
      std::memcpy(q, row, bytes);
    } else {
      // Keep the alpha bytes of a 32-bit target.
      for (int x = 0; x < r.Width(); ++x) q[x * 4] = b, q[x * 4 + 1] = g, q[x * 4 + 2] = red;
    }
  }
}

// Copies the part of the background behind rect (its top-left at
// (OffsetX + position.X, OffsetY + position.Y)) into rect.
void CopyBehind(TBitmap& bitmap, const TRect& rect, const BackgroundInfo& background,
                TPoint position) {
  if (!background.Bitmap) return;
  const TRegion clip(rect.Intersect(TRect{0, 0, bitmap.Width(), bitmap.Height()}));
  CopyBitmapRect(bitmap, rect.Left, rect.Top, rect.Width(), rect.Height(), *background.Bitmap,
                 background.OffsetX + position.X, background.OffsetY + position.Y, clip);
}

TTexture FindTexture(const TsSkinManager& m, int sectionIndex, std::string_view sectionName,
                     int given, const char* key, bool lookupByName) {
  TTexture t;
  int index = given;
  if (index == -1 && lookupByName) {
    index = m.FindMaskIndex(sectionIndex, sectionName, key);
  } else if (m.IsValidMaskIndex(index) && m.ma[std::size_t(index)].MaskType != 0) {
    // A given index whose mask has a mask half is not a background texture.
    index = -1;
  }
  if (m.IsValidMaskIndex(index)) {
    t.Mask = &m.ma[std::size_t(index)];
    return t;
  }
  if (!lookupByName) return t;
  const int p = m.FindPatternIndex(sectionIndex, sectionName, key);
  if (m.IsValidPatternIndex(p) && m.pa[std::size_t(p)].Image &&
      !m.pa[std::size_t(p)].Image->Empty())
    t.Pattern = m.pa[std::size_t(p)].Image.get();
  return t;
}

// Colour, texture and gradient of one state, composed into rect.
//
// rect may reach outside the bitmap: textures are laid from its own top-left
// (so that cutting it never shifts them) and paint only what lies inside; the
// other layers work on the part inside.
void PaintOpaque(TBitmap& bitmap, const TRect& fullRect, const TsStateLook& look,
                 const TTexture& texture, const BackgroundInfo& background) {
  const TRect rect = fullRect.Intersect(TRect{0, 0, bitmap.Width(), bitmap.Height()});
  if (rect.IsEmpty()) return;
  bool painted = false;
  if (look.ImagePercent > 0 && texture.Exists()) {
    TRect rest = AllPainted;
    if (texture.Pattern) {
      rest = DrawTexture(bitmap, fullRect, texture.Pattern, tmTile, TsMaskData{});
    } else if (texture.Mask->MaskType >= 1) {
      rest =
          TileMaskedTexture(bitmap, fullRect, background, texture.Mask->StretchMode, *texture.Mask);
    } else {
      rest = DrawTexture(bitmap, fullRect, texture.Mask->Image.get(), texture.Mask->StretchMode,
                         *texture.Mask);
    }
    if (rest != AllPainted) FillRectColor(bitmap, rest, look.Color);
    painted = true;
  }
  if (look.GradientPercent > 0) {
    const bool hasGradient = look.Gradient && !look.Gradient->empty();
    if (painted) {
      TBitmap grad(rect.Width(), rect.Height());
      const TRect whole{0, 0, rect.Width(), rect.Height()};
      if (hasGradient) {
        PaintGradient(grad, whole, *look.Gradient);
      } else {
        grad.Fill(look.Color);
      }
      const std::uint32_t w = PercentToWeight(look.ImagePercent);
      MixBitmapRect(bitmap, grad, w * 0x010101u, TPoint{rect.Left, rect.Top}, whole);
    } else if (hasGradient) {
      PaintGradient(bitmap, rect, *look.Gradient);
      painted = true;
    } else {
      FillRectColor(bitmap, rect, look.Color);
      painted = true;
    }
  }
  const int s = look.ImagePercent + look.GradientPercent;
  if (s == 0) {
    FillRectColor(bitmap, rect,
                  (ParentColor != KeyColor && look.Transparency != 0) ? ParentColor : look.Color);
    return;
  }
  if (s <= 99) {
    // A texture strength without a texture lays nothing down; start from the
    // colour so that the blend below does not mix in stale pixels.
    if (!painted) FillRectColor(bitmap, rect, look.Color);
    BlendRectWithColor(bitmap, TRect{rect.Left, rect.Top, rect.Right - 1, rect.Bottom - 1}, s,
                       look.Color);
  } else if (!painted) {
    FillRectColor(bitmap, rect, look.Color);
  }
}

void PaintBackground(int sectionIndex, std::string_view sectionName, BackgroundInfo background,
                     TColor customColour, int hotTexture, int texture, TsSkinManager* manager,
                     TBitmap& bitmap, TPoint position, TRect rect, int state,
                     const TBackgroundRules& rules) {
  TsSkinManager* m = PaintManager(manager);
  if (!m || !m->IsValidSectionIndex(sectionIndex)) return;
  if (bitmap.Empty() || bitmap.PixelFormat() != TPixelFormat::pf24bit) return;
  // Only the part inside the bitmap is painted; what lies behind it and the
  // textures keep their places (textures are laid from rect's own top-left).
  const TRect inside = rect.Intersect(TRect{0, 0, bitmap.Width(), bitmap.Height()});
  if (inside.IsEmpty()) return;
  const TPoint insidePosition{position.X + (inside.Left - rect.Left),
                              position.Y + (inside.Top - rect.Top)};
  const TsGeneralData& gd = m->gd[std::size_t(sectionIndex)];
  if (sectionName.empty()) sectionName = gd.SectionName;

  TsStateLook look = TsStateLook::Of(gd, state);
  if (customColour != KeyColor) {
    look.Color = ResolveColor(customColour);
    look.ImagePercent = 0;
    look.GradientPercent = 0;
    look.Transparency = 0;
  }
  TTexture tex;
  if (look.ImagePercent > 0)
    tex = FindTexture(*m, sectionIndex, sectionName, state == 0 ? texture : hotTexture,
                      look.PatternKey, rules.LookupByName);

  const bool ready = background.Ready && background.Bitmap && !background.Bitmap->Empty();
  const int t = look.Transparency;
  if (ready && t > 0) {
    // The own layers of the part inside, painted as if the whole rect were
    // there (its top-left may lie left of or above the temporary bitmap).
    TBitmap own;
    if (t < 100) {
      own.Reset(inside.Width(), inside.Height(), TPixelFormat::pf24bit);
      PaintOpaque(own, rect.Offset(-inside.Left, -inside.Top), look, tex, background);
    }
    // Painting into the background bitmap itself: what lies behind is
    // already there, and a colour fill would overwrite it.
    if (background.Bitmap != &bitmap) {
      if (rules.UseParentColor && ParentColor != KeyColor) {
        FillRectColor(bitmap, inside, ParentColor);
      } else {
        CopyBehind(bitmap, inside, background, insidePosition);
      }
    }
    if (t < 100) {
      const std::uint32_t w = PercentToWeight(t);
      MixBitmapRect(bitmap, own, w * 0x010101u, TPoint{inside.Left, inside.Top},
                    TRect{0, 0, inside.Width(), inside.Height()});
    }
  } else {
    PaintOpaque(bitmap, rect, look, tex, background);
  }

  if (state == 0 && rules.WholeTilePass) {
    // Textures with a mask half and whole-tile mode go over the finished
    // background, their leftovers showing it.
    auto masked = [&](int given, const char* key) -> const TsMaskData* {
      int index = given;
      if (index == -1 && rules.LookupByName)
        index = m->FindMaskIndex(sectionIndex, sectionName, key);
      if (!m->IsValidMaskIndex(index)) return nullptr;
      const TsMaskData& md = m->ma[std::size_t(index)];
      return md.MaskType >= 1 ? &md : nullptr;
    };
    const TsMaskData* md = masked(texture, "PATTERN");
    if (!md) md = masked(hotTexture, "HOTPATTERN");
    if (md && md->StretchMode == tmWholeTiles)
      TileMaskedTexture(bitmap, rect, background, tmWholeTiles, *md);
  }
}

}  // namespace

TsStateLook TsStateLook::Of(const TsGeneralData& gd, int state) {
  TsStateLook l;
  if (state == 0) {
    l.Color = ResolveColor(gd.Color);
    l.ImagePercent = gd.ImagePercent;
    l.GradientPercent = gd.GradientPercent;
    l.Transparency = gd.Transparency;
    l.Gradient = &gd.GradientArray;
    l.PatternKey = "PATTERN";
  } else {
    l.Color = ResolveColor(gd.HotColor);
    l.ImagePercent = gd.HotImagePercent;
    l.GradientPercent = gd.HotGradientPercent;
    l.Transparency = gd.HotTransparency;
    l.Gradient = &gd.HotGradientArray;
    l.PatternKey = "HOTPATTERN";
  }
  // Percentages outside 0..100 in a skin description count as their limits.
  l.ImagePercent = std::clamp(l.ImagePercent, 0, 100);
  l.GradientPercent = std::clamp(l.GradientPercent, 0, 100);
  l.Transparency = std::clamp(l.Transparency, 0, 100);
  return l;
}

TsSkinManager* PaintManager(TsSkinManager* manager) {
  return manager ? manager : DefaultManager();
}

bool RectInsideBitmap(const TBitmap& bitmap, const TRect& rect) {
  return !rect.IsEmpty() && rect.Left >= 0 && rect.Top >= 0 && rect.Right <= bitmap.Width() &&
         rect.Bottom <= bitmap.Height();
}

void PaintSectionBackground(int sectionIndex, std::string_view sectionName,
                            BackgroundInfo background, TColor customColour, int hotTexture,
                            int texture, TsSkinManager* manager, TBitmap& bitmap, TPoint position,
                            TRect rect, int state) {
  PaintBackground(sectionIndex, sectionName, background, customColour, hotTexture, texture, manager,
                  bitmap, position, rect, state, TBackgroundRules{});
}

void PaintCornerImages(int sectionIndex, std::string_view sectionName, TsSkinManager* manager,
                       TBitmap& bitmap, TRect rect, int state) {
  TsSkinManager* m = PaintManager(manager);
  if (!m || !m->IsValidSectionIndex(sectionIndex)) return;
  if (sectionName.empty()) sectionName = m->gd[std::size_t(sectionIndex)].SectionName;
  static const char* const keys[4] = {"IMGTOPLEFT", "IMGTOPRIGHT", "IMGBTMLEFT", "IMGBTMRIGHT"};
  for (int corner = 0; corner < 4; ++corner) {
    const int index = m->FindMaskIndex(sectionIndex, sectionName, keys[corner]);
    if (!m->IsValidMaskIndex(index)) continue;
    const TsMaskData& md = m->ma[std::size_t(index)];
    const TMaskFrame f = TMaskFrame::Of(md);
    if (!f.Valid) continue;
    const bool right = corner == 1 || corner == 3, bottom = corner >= 2;
    const TPoint at{right ? rect.Right - f.W : rect.Left, bottom ? rect.Bottom - f.H : rect.Top};
    PaintStateImage(bitmap, at, state, md, 1);
  }
}

void PaintSectionBorder(int borderIndex, TsSkinManager* manager, TBitmap& bitmap, TPoint position,
                        TRect rect, int state, bool fillCentre, bool useBackground,
                        BackgroundInfo background) {
  TsSkinManager* m = PaintManager(manager);
  if (!m || !m->IsValidMaskIndex(borderIndex)) return;
  background.OffsetX += position.X;
  background.OffsetY += position.Y;
  PaintNinePart(bitmap, rect, fillCentre, useBackground, state, m->ma[std::size_t(borderIndex)],
                background);
}

void PaintSectionItem(int sectionIndex, std::string_view sectionName, BackgroundInfo background,
                      int hotTexture, int texture, TsSkinManager* manager, TBitmap& bitmap,
                      TPoint position, TRect rect, int state, bool fillCentre) {
  TEngineColorsReset reset;
  if (!RectInsideBitmap(bitmap, rect)) return;
  TsSkinManager* m = PaintManager(manager);
  if (!m || !m->IsValidSectionIndex(sectionIndex)) return;
  if (sectionName.empty()) sectionName = m->gd[std::size_t(sectionIndex)].SectionName;
  PaintSectionBackground(sectionIndex, sectionName, background, KeyColor, hotTexture, texture, m,
                         bitmap, position, rect, state);
  PaintCornerImages(sectionIndex, sectionName, m, bitmap, rect, state);
  PaintSectionBorder(m->FindMaskIndex(sectionIndex, sectionName, "BORDERSMASK"), m, bitmap,
                     position, rect, state, fillCentre, true, background);
}

void PaintSectionToDC(int sectionIndex, std::string_view sectionName, BackgroundInfo background,
                      TsSkinManager* manager, TDC& dc, TPoint position, TRect rect, int state,
                      bool fillCentre) {
  TEngineColorsReset reset;
  if (rect.IsEmpty() || rect.Left < 0 || rect.Top < 0) return;
  TBitmap temp(rect.Width(), rect.Height());
  PaintSectionItem(sectionIndex, sectionName, background, -1, -1, manager, temp, position,
                   TRect{0, 0, rect.Width(), rect.Height()}, state, fillCentre);
  dc.BitBlt(rect.Left, rect.Top, rect.Width(), rect.Height(), temp, 0, 0, SRCCOPY);
}

void PaintBorderItem(int sectionIndex, int borderIndex, int texture, TsSkinManager* manager,
                     TBitmap& bitmap, TPoint position, TRect rect, int state, bool fillCentre,
                     BackgroundInfo background, std::string_view sectionName, int hotTexture) {
  TEngineColorsReset reset;
  if (!RectInsideBitmap(bitmap, rect)) return;
  TBackgroundRules rules;
  rules.LookupByName = false;
  rules.UseParentColor = false;
  rules.WholeTilePass = false;
  PaintBackground(sectionIndex, sectionName, background, KeyColor, hotTexture, texture, manager,
                  bitmap, position, rect, state, rules);
  PaintSectionBorder(borderIndex, manager, bitmap, position, rect, state, fillCentre, true,
                     background);
}

void RefillCornerPieces(TBitmap& picture, const TsMaskData& border, int state, int corners,
                        BackgroundInfo background) {
  if (picture.Empty() || picture.PixelFormat() != TPixelFormat::pf24bit) return;
  TsMaskData md = border;
  if (md.ImageCount == 0 && md.Image && !md.Image->Empty()) {
    md.ImageCount = 3;
    md.MaskType = 1;
    md.R = TRect{0, 0, md.Image->Width(), md.Image->Height()};
  }
  const TBitmap* source = MaskSourceBitmap(md);
  const TMaskFrame f = TMaskFrame::Of(md);
  if (!source || !f.Valid) return;
  const int fx = md.R.Left + f.ClampState(state) * md.R.Width() / md.ImageCount;
  const int bl = std::max<int>(md.WL, 0), bt = std::max<int>(md.WT, 0);
  const int br = std::max<int>(md.WR, 0), bb = std::max<int>(md.WB, 0);
  const int pw = picture.Width(), ph = picture.Height();
  const int frameBottom = md.R.Top + f.H;
  struct TPiece {
    int Bit;
    TRect Dest;
    TPoint Source;
  };
  const TPiece pieces[4] = {
      {cnTopLeft, Bounds(0, 0, bl, bt), {fx, md.R.Top}},
      {cnBottomLeft, Bounds(0, ph - bb, bl, bb), {fx, frameBottom - bb}},
      {cnTopRight, Bounds(pw - br, 0, br, bt), {fx + f.W - br, md.R.Top}},
      {cnBottomRight, Bounds(pw - br, ph - bb, br, bb), {fx + f.W - br, frameBottom - bb}},
  };
  const bool ready = background.Ready && background.Bitmap && !background.Bitmap->Empty();
  const TBitmap* back = ParentColor == KeyColor && ready ? background.Bitmap : nullptr;
  // Key pixels of the corners take what lies behind (within the background
  // alone), else the parent's colour, else the key fill colour, else stay.
  TColor fill = KeyColor;
  if (ParentColor != KeyColor)
    fill = ResolveColor(ParentColor);
  else if (KeyFillColor != KeyColor)
    fill = ResolveColor(KeyFillColor);
  else if (!back)
    return;
  const std::uint8_t fb = GetBValue(fill), fg = GetGValue(fill), fr = GetRValue(fill);
  const std::uint8_t kb = GetBValue(KeyColor), kg = GetGValue(KeyColor), kr = GetRValue(KeyColor);
  const int sbpp = source->BytesPerPixel(), bbpp = back ? back->BytesPerPixel() : 0;
  for (const TPiece& piece : pieces) {
    if (!(corners & piece.Bit)) continue;
    // Destination columns and rows that lie in the picture, the source and
    // (when it is taken) the background.
    const std::int64_t toSourceX = std::int64_t(piece.Source.X) - piece.Dest.Left;
    const std::int64_t toSourceY = std::int64_t(piece.Source.Y) - piece.Dest.Top;
    std::int64_t left = std::max<std::int64_t>({piece.Dest.Left, 0, -toSourceX});
    std::int64_t right =
        std::min<std::int64_t>({piece.Dest.Right, pw, source->Width() - toSourceX});
    std::int64_t top = std::max<std::int64_t>({piece.Dest.Top, 0, -toSourceY});
    std::int64_t bottom =
        std::min<std::int64_t>({piece.Dest.Bottom, ph, source->Height() - toSourceY});
    if (back) {
      left = std::max<std::int64_t>(left, -std::int64_t(background.OffsetX));
      right = std::min<std::int64_t>(right, back->Width() - std::int64_t(background.OffsetX));
      top = std::max<std::int64_t>(top, -std::int64_t(background.OffsetY));
      bottom = std::min<std::int64_t>(bottom, back->Height() - std::int64_t(background.OffsetY));
    }
    if (left >= right) continue;
    for (std::int64_t y = top; y < bottom; ++y) {
      std::uint8_t* d = picture.ScanLine(int(y)) + left * 3;
      const std::uint8_t* s = source->ScanLine(int(y + toSourceY)) + (left + toSourceX) * sbpp;
      if (back) {
        const std::uint8_t* b =
            back->ScanLine(int(y + background.OffsetY)) + (left + background.OffsetX) * bbpp;
        for (std::int64_t x = left; x < right; ++x, d += 3, s += sbpp, b += bbpp)
          if (s[0] == kb && s[1] == kg && s[2] == kr) d[0] = b[0], d[1] = b[1], d[2] = b[2];
        continue;
      }
      for (std::int64_t x = left; x < right; ++x, d += 3, s += sbpp)
        if (s[0] == kb && s[1] == kg && s[2] == kr) d[0] = fb, d[1] = fg, d[2] = fr;
    }
  }
}

}  // namespace vm
