#include "platform/gfx/Stretch.h"

#include <gtest/gtest.h>

#include "platform/gfx/DC.h"

namespace vm {
namespace {

const TRegion All(TRect{-10000, -10000, 10000, 10000});

// A bitmap whose pixel (x, y) encodes its own position.
TBitmap Numbered(int w, int h, bool bottomUp = false) {
  TBitmap b(w, h, TPixelFormat::pf24bit, bottomUp);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, RGB(x, y, 200));
  return b;
}

TEST(Stretch, NearestDropsAndRepeatsAtPixelCentres) {
  const TBitmap src = Numbered(5, 3, true);
  TBitmap dst(10, 2);
  StretchBitmapRect(dst, 0, 0, 10, 2, src, 0, 0, 5, 3, TStretchMode::Nearest, All);
  // Columns repeat twice; rows: (2y + 1) * 3 div 4 = 0, 2.
  for (int x = 0; x < 10; ++x) {
    EXPECT_EQ(dst.GetPixel(x, 0), RGB(x / 2, 0, 200));
    EXPECT_EQ(dst.GetPixel(x, 1), RGB(x / 2, 2, 200));
  }
  TBitmap small(2, 1);
  StretchBitmapRect(small, 0, 0, 2, 1, src, 0, 0, 5, 3, TStretchMode::Nearest, All);
  // (2x + 1) * 5 div 4: columns 1 and 3; row 3 div 2 = 1.
  EXPECT_EQ(small.GetPixel(0, 0), RGB(1, 1, 200));
  EXPECT_EQ(small.GetPixel(1, 0), RGB(3, 1, 200));
}

TEST(Stretch, MirroringWithNegativeSizes) {
  const TBitmap src = Numbered(4, 1);
  TBitmap dst(4, 1);
  // Destination extends left from x = 4: the picture comes out reversed.
  StretchBitmapRect(dst, 4, 0, -4, 1, src, 0, 0, 4, 1, TStretchMode::Nearest, All);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.GetPixel(x, 0), RGB(3 - x, 0, 200));
  TBitmap dst2(4, 1);
  StretchBitmapRect(dst2, 4, 0, -4, 1, src, 0, 0, 4, 1, TStretchMode::Halftone, All);
  EXPECT_TRUE(dst2.SamePixels(dst));
}

TEST(Stretch, HalftoneAveragesAreasAndKeepsFlatColour) {
  // 4 x 1: 0, 100, 200, 40 -> 2 x 1 area averages 50 and 120.
  TBitmap src(4, 1);
  const int v[] = {0, 100, 200, 40};
  for (int x = 0; x < 4; ++x) src.SetPixel(x, 0, RGB(v[x], v[x], v[x]));
  TBitmap dst(2, 1);
  StretchBitmapRect(dst, 0, 0, 2, 1, src, 0, 0, 4, 1, TStretchMode::Halftone, All);
  EXPECT_EQ(dst.GetPixel(0, 0), RGB(50, 50, 50));
  EXPECT_EQ(dst.GetPixel(1, 0), RGB(120, 120, 120));
  // 3 -> 2: each output covers one and a half inputs.
  TBitmap s3(3, 1);
  for (int x = 0; x < 3; ++x) s3.SetPixel(x, 0, RGB(x * 90, 0, 0));
  TBitmap d2(2, 1);
  StretchBitmapRect(d2, 0, 0, 2, 1, s3, 0, 0, 3, 1, TStretchMode::Halftone, All);
  EXPECT_EQ(d2.GetPixel(0, 0), RGB(30, 0, 0));   // (0 + 0.5 * 90) / 1.5
  EXPECT_EQ(d2.GetPixel(1, 0), RGB(150, 0, 0));  // (0.5 * 90 + 180) / 1.5

  // Any size change of a flat picture stays exactly flat, in both modes.
  TBitmap flat(37, 23, TPixelFormat::pf32bit, true);
  flat.Fill(RGB(201, 3, 77));
  for (auto mode : {TStretchMode::Nearest, TStretchMode::Halftone})
    for (TSize sz : {TSize{5, 4}, TSize{37, 23}, TSize{101, 67}, TSize{1, 90}}) {
      TBitmap out(sz.cx, sz.cy);
      StretchBitmapRect(out, 0, 0, sz.cx, sz.cy, flat, 0, 0, 37, 23, mode, All);
      for (int y = 0; y < sz.cy; ++y)
        for (int x = 0; x < sz.cx; ++x) ASSERT_EQ(out.GetPixel(x, y), RGB(201, 3, 77));
    }
}

TEST(Stretch, EnlargingSmoothlyInterpolates) {
  TBitmap src(2, 1);
  src.SetPixel(0, 0, RGB(0, 0, 0));
  src.SetPixel(1, 0, RGB(200, 200, 200));
  TBitmap dst(8, 1);
  StretchBitmapRect(dst, 0, 0, 8, 1, src, 0, 0, 2, 1, TStretchMode::Halftone, All);
  int prev = -1;
  for (int x = 0; x < 8; ++x) {
    const int r = GetRValue(dst.GetPixel(x, 0));
    EXPECT_GE(r, prev);
    prev = r;
  }
  EXPECT_EQ(GetRValue(dst.GetPixel(0, 0)), 0);
  EXPECT_EQ(GetRValue(dst.GetPixel(7, 0)), 200);
  EXPECT_GT(GetRValue(dst.GetPixel(3, 0)), 0);
  EXPECT_LT(GetRValue(dst.GetPixel(3, 0)), 200);
}

TEST(Stretch, ClipsToBothBitmapsAndTheClipRegion) {
  const TBitmap src = Numbered(4, 4);
  const TColor guard = RGB(1, 2, 3);
  for (auto mode : {TStretchMode::Nearest, TStretchMode::Halftone}) {
    TBitmap dst(6, 6);
    dst.Fill(guard);
    // Source rectangle hangs two pixels off the left of the source; destination
    // hangs off the top of dst; the clip removes the last column.
    StretchBitmapRect(dst, 0, -2, 6, 8, src, -2, 0, 6, 8, mode, TRegion(TRect{0, 0, 5, 6}));
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 6; ++x) {
        const bool written = x >= 2 && x < 5 && y + 2 < 4;
        if (written)
          EXPECT_EQ(dst.GetPixel(x, y), RGB(x - 2, y + 2, 200));
        else
          EXPECT_EQ(dst.GetPixel(x, y), guard) << x << "," << y;
      }
  }
}

TEST(Stretch, DCUsesItsStretchModeAndOrigin) {
  TBitmap src(2, 1);
  src.SetPixel(0, 0, RGB(0, 0, 0));
  src.SetPixel(1, 0, RGB(100, 100, 100));
  TBitmap dst(3, 1);
  TDC dc(dst);
  dc.SetViewportOrg({1, 0});
  EXPECT_EQ(SetStretchBltMode(&dc, COLORONCOLOR), BLACKONWHITE);
  EXPECT_TRUE(dc.StretchBlt(0, 0, 1, 1, src, 0, 0, 2, 1));
  EXPECT_EQ(dst.GetPixel(1, 0), RGB(100, 100, 100));  // column (2*0+1)*2 div 2 = 1
  dc.SetStretchBltMode(HALFTONE);
  EXPECT_TRUE(dc.StretchBlt(0, 0, 1, 1, src, 0, 0, 2, 1));
  EXPECT_EQ(dst.GetPixel(1, 0), RGB(50, 50, 50));
  EXPECT_EQ(dst.GetPixel(0, 0), RGB(0, 0, 0));
}

}  // namespace
}  // namespace vm
