#include "app/Glyphs.h"

#include <set>

#include <gtest/gtest.h>

namespace vm::app {
namespace {

constexpr TGlyph AllGlyphs[] = {TGlyph::Open, TGlyph::Save,  TGlyph::Resize, TGlyph::Quality,
                                TGlyph::Undo, TGlyph::About, TGlyph::Exit};

TEST(Glyphs, AreDistinct32x32PicturesOnAMagentaKey) {
  std::set<std::vector<TColor>> seen;
  for (TGlyph g : AllGlyphs) {
    TBitmap b = MakeGlyph(g);
    ASSERT_EQ(b.Width(), 32);
    ASSERT_EQ(b.Height(), 32);
    EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(b.GetPixel(0, 31), GlyphTransparent);
    std::vector<TColor> pixels;
    int drawn = 0, dark = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        TColor c = b.GetPixel(x, y);
        pixels.push_back(c);
        if (c == GlyphTransparent) continue;
        ++drawn;
        int luma = (int(c & 0xFF) * 3 + int((c >> 8) & 0xFF) * 6 + int((c >> 16) & 0xFF)) / 10;
        dark += luma < 110;
      }
    // Enough of the square is drawn, with dark contours that stand out on a
    // light face of either kind.
    EXPECT_GT(drawn, 32 * 32 / 4) << int(g);
    EXPECT_GT(dark, 40) << int(g);
    EXPECT_TRUE(seen.insert(pixels).second) << int(g);
  }
}

TEST(Glyphs, ProgramIconIsOpaqueAtEverySize) {
  for (int size : {16, 32, 48, 64}) {
    TBitmap icon = MakeProgramIcon(size, 0x00FFFFFF);
    ASSERT_EQ(icon.Width(), size);
    ASSERT_EQ(icon.Height(), size);
    EXPECT_EQ(icon.GetPixel(0, 0), 0x00FFFFFFu);  // the rounded corner shows the background
    EXPECT_NE(icon.GetPixel(size / 2, size / 2), 0x00FFFFFFu);
  }
  EXPECT_EQ(MakeProgramIcon(0, 0).Width(), 16);
  EXPECT_EQ(MakeProgramIcon(-5, 0).Height(), 16);
}

}  // namespace
}  // namespace vm::app
