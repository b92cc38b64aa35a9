#include "toolkit/ButtonGlyph.h"

#include <algorithm>

#include "platform/gfx/SysColors.h"

namespace vm {

TButtonGlyph::TButtonGlyph() : glyph_(std::make_unique<tk::TBitmap>()) {
  glyph_->OnChange = [this](tk::TGraphic*) {
    engraveValid_ = false;
    if (OnChange) OnChange();
  };
}

void TButtonGlyph::SetGlyph(const tk::TBitmap* bitmap) {
  engraveValid_ = false;
  if (bitmap)
    glyph_->Assign(*bitmap);
  else
    glyph_->SetSize(0, 0);
  // A strip of square pictures tells how many it holds.
  if (bitmap && !bitmap->Empty() && bitmap->Height() > 0 && bitmap->Width() % bitmap->Height() == 0)
    SetNumGlyphs(std::clamp(bitmap->Width() / bitmap->Height(), 1, 4));
  if (OnChange) OnChange();
}

void TButtonGlyph::SetNumGlyphs(int n) {
  n = std::clamp(n, 1, 4);
  if (n == numGlyphs_) return;
  numGlyphs_ = n;
  engraveValid_ = false;
  if (OnChange) OnChange();
}

TSize TButtonGlyph::GlyphSize() const {
  if (glyph_->Empty()) return {};
  return {glyph_->Width() / numGlyphs_, glyph_->Height()};
}

void TButtonGlyph::Calculate(HDC dc, const TRect& client, const std::string& caption,
                             TButtonLayout layout, int margin, int spacing, TPoint& glyphPos,
                             TRect& textRect) const {
  TSize g = GlyphSize();
  TSize t{};
  if (!caption.empty()) {
    TRect calc = Rect(0, 0, client.Width(), 0);
    dc->DrawText(caption, calc, DT_CALCRECT | DT_SINGLELINE);
    t = {calc.Width(), calc.Height()};
  }
  if (spacing < 0) spacing = 4;
  int gap = (g.cx > 0 && t.cx > 0) ? spacing : 0;
  int w = client.Width(), h = client.Height();
  bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
  int along = horizontal ? w : h;
  int content = horizontal ? g.cx + gap + t.cx : g.cy + gap + t.cy;
  int start = margin < 0 ? (along - content) / 2 : margin;
  TPoint gp, tp;
  if (horizontal) {
    gp.Y = (h - g.cy) / 2;
    tp.Y = (h - t.cy) / 2;
    if (layout == blGlyphLeft) {
      gp.X = start;
      tp.X = start + g.cx + gap;
    } else {
      gp.X = w - start - g.cx;
      tp.X = gp.X - gap - t.cx;
    }
  } else {
    gp.X = (w - g.cx) / 2;
    tp.X = (w - t.cx) / 2;
    if (layout == blGlyphTop) {
      gp.Y = start;
      tp.Y = start + g.cy + gap;
    } else {
      gp.Y = h - start - g.cy;
      tp.Y = gp.Y - gap - t.cy;
    }
  }
  glyphPos = {client.Left + gp.X, client.Top + gp.Y};
  textRect = Bounds(client.Left + tp.X, client.Top + tp.Y, t.cx, t.cy);
}

const std::vector<std::uint8_t>& TButtonGlyph::EngraveMask(TSize size, TColor key) const {
  if (engraveValid_ && engraveSize_ == size && engraveKey_ == key) return engraveMask_;
  // Only the picture's dark pixels make the engraved shape: light areas (a
  // label, a highlight, a letter) stay the button's face, so the picture
  // keeps its detail.
  const TBitmap& image = glyph_->Image();
  engraveMask_.assign(std::size_t(size.cx) * std::size_t(size.cy), 0);
  for (int y = 0; y < size.cy; ++y) {
    const std::uint8_t* p = image.ScanLine(y);
    const int bpp = image.BytesPerPixel();
    for (int x = 0; x < size.cx; ++x, p += bpp) {
      const TColor c = RGB(p[2], p[1], p[0]);
      const bool dark = (p[2] * 77 + p[1] * 150 + p[0] * 29) >> 8 < 192;
      engraveMask_[std::size_t(y) * std::size_t(size.cx) + std::size_t(x)] = c != key && dark;
    }
  }
  engraveValid_ = true;
  engraveSize_ = size;
  engraveKey_ = key;
  return engraveMask_;
}

void TButtonGlyph::DrawPicture(HDC dc, TPoint at, TButtonState state) const {
  TSize g = GlyphSize();
  if (g.cx <= 0 || g.cy <= 0) return;
  const TColor key = ColorToRGB(glyph_->TransparentColor());
  int cell = int(state);
  if (cell >= numGlyphs_) {
    if (state == bsDisabled) {
      // The first picture engraved: its shape in the light colour one pixel
      // down and right, then in the shadow colour.
      const std::vector<std::uint8_t>& mask = EngraveMask(g, key);
      dc->FillMasked(at.X + 1, at.Y + 1, g.cx, g.cy, mask.data(), g.cx,
                     GetSysColor(COLOR_BTNHIGHLIGHT));
      dc->FillMasked(at.X, at.Y, g.cx, g.cy, mask.data(), g.cx, GetSysColor(COLOR_BTNSHADOW));
      return;
    }
    cell = 0;
  }
  dc->TransparentBlt(at.X, at.Y, g.cx, g.cy, glyph_->Image(), cell * g.cx, 0, key);
}

TRect TButtonGlyph::Draw(HDC dc, const TRect& client, TPoint offset, const std::string& caption,
                         TButtonLayout layout, int margin, int spacing, TButtonState state,
                         const tk::TFont& font) const {
  dc->SelectFont(font.PlatformFont());
  TPoint gp;
  TRect tr;
  Calculate(dc, client, caption, layout, margin, spacing, gp, tr);
  gp = {gp.X + offset.X, gp.Y + offset.Y};
  tr = tr.Offset(offset.X, offset.Y);
  DrawPicture(dc, gp, state);
  if (caption.empty()) return tr;
  dc->SetBkMode(TRANSPARENT);
  std::uint32_t flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  if (state == bsDisabled) {
    TRect lit = tr.Offset(1, 1);
    dc->SetTextColor(GetSysColor(COLOR_BTNHIGHLIGHT));
    dc->DrawText(caption, lit, flags);
    dc->SetTextColor(GetSysColor(COLOR_BTNSHADOW));
  } else {
    dc->SetTextColor(font.Color());
  }
  TRect r = tr;
  dc->DrawText(caption, r, flags);
  return tr;
}

}  // namespace vm
