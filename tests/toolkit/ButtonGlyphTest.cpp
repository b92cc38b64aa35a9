// A button glyph drawn as blits: the picture with its transparent colour left
// out, and the engraved look of a disabled button without its own picture,
// which follows the glyph when the glyph changes.
#include <gtest/gtest.h>

#include "platform/gfx/DC.h"
#include "platform/gfx/SysColors.h"
#include "toolkit/ButtonGlyph.h"

namespace vm {
namespace {

constexpr TColor Key = RGB(255, 0, 255), Face = RGB(1, 2, 3);

// A 8 x 8 picture: key colour around a dark square at (left, 2)-(left + 3, 5).
void Paint(tk::TBitmap& b, int left, TColor square) {
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      b.Image().SetPixel(x, y, (x >= left && x < left + 3 && y >= 2 && y < 5) ? square : Key);
}

TEST(ButtonGlyph, PicturesSkipTheirKeyAndEngravingsFollowTheGlyph) {
  TButtonGlyph glyph;
  tk::TBitmap source(8, 8);
  Paint(source, 2, RGB(0, 0, 90));
  glyph.SetGlyph(&source);
  tk::TFont font;
  TBitmap target(20, 20, TPixelFormat::pf24bit);
  auto draw = [&](TButtonState state) {
    target.Fill(Face);
    TDC dc(target);
    glyph.Draw(&dc, Rect(0, 0, 20, 20), {}, "", blGlyphLeft, -1, -1, state, font);
  };
  // Up: the square at (6 + 2, 6 + 2), nothing of the key colour.
  draw(bsUp);
  EXPECT_EQ(target.GetPixel(8, 8), RGB(0, 0, 90));
  EXPECT_EQ(target.GetPixel(7, 8), Face);
  EXPECT_EQ(target.GetPixel(6, 6), Face);
  // Disabled: the shadow colour on the square, the light colour one pixel
  // down and right of it.
  draw(bsDisabled);
  const TColor shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
  EXPECT_EQ(target.GetPixel(8, 8), shadow);
  EXPECT_EQ(target.GetPixel(11, 11), light);
  EXPECT_EQ(target.GetPixel(7, 8), Face);
  // A glyph changed in place moves its engraving with it.
  Paint(*glyph.Glyph(), 4, RGB(0, 0, 90));
  glyph.Glyph()->Modify();
  draw(bsDisabled);
  EXPECT_EQ(target.GetPixel(8, 8), Face);
  EXPECT_EQ(target.GetPixel(10, 8), shadow);
  // A light picture leaves no engraving at all.
  Paint(*glyph.Glyph(), 4, RGB(250, 250, 250));
  glyph.Glyph()->Modify();
  draw(bsDisabled);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(target.GetPixel(x, y), Face) << x << "," << y;
}

}  // namespace
}  // namespace vm
