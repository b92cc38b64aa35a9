// TButtonGlyph: the picture and caption of a speed button or glyph button.
//
// The glyph bitmap holds NumGlyphs (1 to 4) pictures side by side, for the
// states up, disabled, down and exclusive (held down, or hot on a flat
// button). A state without its own picture uses the first one; a disabled
// button without a disabled picture shows the first one engraved. The
// bitmap's bottom-left pixel is the transparent colour. Glyph and caption are
// placed together by Layout, Margin (the glyph's distance from its edge, -1
// to centre both) and Spacing (between glyph and caption).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Bitmap.h"
#include "toolkit/Control.h"

namespace vm {

enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TButtonGlyph {
 public:
  TButtonGlyph();
  TButtonGlyph(const TButtonGlyph&) = delete;
  TButtonGlyph& operator=(const TButtonGlyph&) = delete;

  tk::TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(const tk::TBitmap* bitmap);
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int n);
  // The size of one picture (0 x 0 without a glyph).
  TSize GlyphSize() const;

  // Where the glyph and the caption go inside client.
  void Calculate(HDC dc, const TRect& client, const std::string& caption, TButtonLayout layout,
                 int margin, int spacing, TPoint& glyphPos, TRect& textRect) const;
  // Draws both; offset moves them (a pressed button's one pixel). Returns the caption's rectangle.
  TRect Draw(HDC dc, const TRect& client, TPoint offset, const std::string& caption,
             TButtonLayout layout, int margin, int spacing, TButtonState state,
             const tk::TFont& font) const;

  std::function<void()> OnChange;

 private:
  void DrawPicture(HDC dc, TPoint at, TButtonState state) const;

  // The engraved shape of the first picture (one byte a pixel, non-zero where
  // it is drawn), kept until the glyph or its transparent colour changes.
  const std::vector<std::uint8_t>& EngraveMask(TSize size, TColor key) const;

  std::unique_ptr<tk::TBitmap> glyph_;
  int numGlyphs_ = 1;
  mutable std::vector<std::uint8_t> engraveMask_;
  mutable bool engraveValid_ = false;
  mutable TSize engraveSize_;
  mutable TColor engraveKey_ = 0;
};

}  // namespace vm
