#include "platform/gfx/Bitmap.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/gfx/SysColors.h"

namespace vm {
namespace {

TEST(Bitmap, RowStepAndStartAgreeInBothOrders) {
  for (bool bottomUp : {false, true}) {
    for (auto fmt : {TPixelFormat::pf24bit, TPixelFormat::pf32bit}) {
      TBitmap bmp(5, 3, fmt, bottomUp);
      const int bpp = bmp.BytesPerPixel();
      EXPECT_EQ(bmp.Stride() % 4, 0);
      EXPECT_EQ(bmp.RowStep(), bmp.ScanLine(1) - bmp.ScanLine(0));
      bmp.SetPixel(4, 2, RGB(1, 2, 3));
      const std::uint8_t* p = bmp.Start() + 2 * bmp.RowStep() + 4 * bpp;
      EXPECT_EQ(p[0], 3);
      EXPECT_EQ(p[1], 2);
      EXPECT_EQ(p[2], 1);
      EXPECT_EQ(bmp.GetPixel(4, 2), RGB(1, 2, 3));
      // Bottom-up storage keeps the last row first in memory.
      EXPECT_EQ(bmp.Data() == bmp.ScanLine(2), bottomUp);
    }
  }
}

TEST(Bitmap, OutOfRangeAccessIsIgnored) {
  TBitmap bmp(2, 2);
  bmp.SetPixel(-1, 0, clWhite);
  bmp.SetPixel(2, 0, clWhite);
  bmp.SetPixel(0, 2, clWhite);
  EXPECT_EQ(bmp.GetPixel(5, 5), 0u);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(bmp.GetPixel(x, y), 0u);
}

TEST(Bitmap, ImpossibleSizesAreRefusedBeforeAllocating) {
  EXPECT_THROW(TBitmap(-1, 5), std::invalid_argument);
  EXPECT_THROW(TBitmap(MaxBitmapSide + 1, 1), std::invalid_argument);
  EXPECT_THROW(TBitmap(60000, 60000), std::invalid_argument);
  TBitmap zero(0, 7);
  EXPECT_TRUE(zero.Empty());
  EXPECT_EQ(zero.Start(), nullptr);
}

TEST(Bitmap, ChangingThePixelFormatConvertsThePixels) {
  for (bool bottomUp : {false, true}) {
    // 5 pixels a row: the 24-bit rows carry padding, the 32-bit ones do not.
    TBitmap bmp(5, 3, TPixelFormat::pf32bit, bottomUp);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) {
        bmp.SetPixel(x, y, RGB(x * 40 + 1, y * 70 + 2, x + y + 3));
        bmp.SetAlpha(x, y, std::uint8_t(200 + x));
      }
    bmp.SetPixelFormat(TPixelFormat::pf24bit);
    ASSERT_EQ(bmp.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(bmp.BottomUp(), bottomUp);
    EXPECT_EQ(bmp.Width(), 5);
    EXPECT_EQ(bmp.Height(), 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x)
        EXPECT_EQ(bmp.GetPixel(x, y), RGB(x * 40 + 1, y * 70 + 2, x + y + 3));
    // Back to 32 bits: same colours, alpha 0 (the old alpha is gone).
    bmp.SetPixelFormat(TPixelFormat::pf32bit);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(bmp.GetPixel(x, y), RGB(x * 40 + 1, y * 70 + 2, x + y + 3));
        EXPECT_EQ(bmp.GetAlpha(x, y), 0);
      }
  }
  TBitmap empty;
  empty.SetPixelFormat(TPixelFormat::pf32bit);
  EXPECT_TRUE(empty.Empty());
  EXPECT_EQ(empty.PixelFormat(), TPixelFormat::pf32bit);
}

TEST(SysColors, ResolvesSystemColoursOnly) {
  EXPECT_EQ(ColorToRGB(clWindow), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(ColorToRGB(0x00123456), 0x00123456u);
  EXPECT_EQ(ColorToRGB(0x01123456), 0x00123456u);
}

}  // namespace
}  // namespace vm
