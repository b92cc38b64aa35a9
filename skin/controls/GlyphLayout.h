// Where a glyph button puts its glyph and its caption, and which cell of a
// glyph strip counts.
//
// The arithmetic of the bitmap button and of the speed button is the same
// scheme with small differences (the speed button's drop-down part, its
// caption widened by TextOffset); both are kept here as plain functions of
// the sizes, so that they can be checked without a window. All divisions
// truncate toward zero.
#pragma once

#include "platform/gfx/Types.h"
#include "toolkit/ButtonGlyph.h"
#include "toolkit/Control.h"

namespace vm {

// Width of the drop-down part of a tbsDropDown speed button.
inline constexpr int DropDownWidth = 16;

struct TGlyphLayoutInput {
  int Width = 0;  // the control (or client) size
  int Height = 0;
  TSize Glyph;               // one cell of the glyph (0 x 0 without one)
  TSize Text;                // the measured caption (0 x 0 when none is shown)
  int Margin = -1;           // -1 centres
  int Spacing = 4;           // -1 shares the space out
  bool CaptionShown = true;  // ShowCaption on and the caption not empty
  TAlignment Alignment = taCenter;
  TButtonLayout Layout = blGlyphLeft;
  bool Pressed = false;
};

// The glyph rectangle of a bitmap button.
TRect BitBtnGlyphRect(const TGlyphLayoutInput& in);
// The caption rectangle of a bitmap button, in client coordinates (its
// client area is the whole control); left and right layouts exchange when
// the control reads right to left.
TRect BitBtnCaptionRect(const TGlyphLayoutInput& in, bool rightToLeft = false);

// Glyph and caption of a speed button; dropDown is the drop-down part's
// width (0 or DropDownWidth).
void SpeedButtonRects(const TGlyphLayoutInput& in, int dropDown, int textOffset, TRect& glyph,
                      TRect& caption);

// The number of cells a strip of that width really has: a count below 1, or
// more cells than the picture has columns, counts as 1.
int EffectiveGlyphCount(int numGlyphs, int glyphWidth);

}  // namespace vm
