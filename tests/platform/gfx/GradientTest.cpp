#include "platform/gfx/Gradient.h"

#include <gtest/gtest.h>

#include "platform/gfx/DC.h"

namespace vm {
namespace {

TRIVERTEX V(int x, int y, TColor c) {
  return {
      x, y, COLOR16(GetRValue(c) * 256), COLOR16(GetGValue(c) * 256), COLOR16(GetBValue(c) * 256),
      0};
}

// The five-vertex, four-triangle fill the skin's gradients use.
bool FourTriangles(TDC& dc, int w, int h, TColor tl, TColor tr, TColor bl, TColor br, TColor mid) {
  const TRIVERTEX v[5] = {V(0, 0, tl), V(w, 0, tr), V(0, h, bl), V(w, h, br), V(w / 2, h / 2, mid)};
  const GRADIENT_TRIANGLE t[4] = {{0, 1, 4}, {1, 3, 4}, {0, 2, 4}, {2, 3, 4}};
  return dc.GradientFill(v, 5, t, 4, GRADIENT_FILL_TRIANGLE);
}

TEST(Gradient, FourTrianglesCoverEveryPixelOnceAndKeepFlatColour) {
  for (bool bottomUp : {false, true}) {
    TBitmap bmp(23, 17, TPixelFormat::pf24bit, bottomUp);
    bmp.Fill(RGB(1, 2, 3));
    TDC dc(bmp);
    const TColor c = RGB(10, 200, 99);
    ASSERT_TRUE(FourTriangles(dc, 23, 17, c, c, c, c, c));
    for (int y = 0; y < 17; ++y)
      for (int x = 0; x < 23; ++x) ASSERT_EQ(bmp.GetPixel(x, y), c) << x << "," << y;
  }
}

TEST(Gradient, SharedEdgesAreFilledExactlyOnce) {
  // With an XOR-like test: fill each triangle separately into a counter.
  const int w = 16, h = 12;
  std::vector<int> count(w * h);
  const TRIVERTEX v[5] = {V(0, 0, 0), V(w, 0, 0), V(0, h, 0), V(w, h, 0), V(5, 7, 0)};
  const GRADIENT_TRIANGLE t[4] = {{0, 1, 4}, {1, 3, 4}, {0, 2, 4}, {2, 3, 4}};
  for (const auto& tri : t) {
    TBitmap bmp(w, h);
    bmp.Fill(clWhite);
    ASSERT_TRUE(GradientFillBitmap(bmp, TRegion(TRect{0, 0, w, h}), 0, 0, v, 5, &tri, 1,
                                   GRADIENT_FILL_TRIANGLE));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) count[y * w + x] += bmp.GetPixel(x, y) == clBlack;
  }
  for (int i = 0; i < w * h; ++i) EXPECT_EQ(count[i], 1) << i % w << "," << i / w;
}

TEST(Gradient, InterpolatesBetweenCornersAndRejectsBadMeshes) {
  TBitmap bmp(64, 64);
  TDC dc(bmp);
  ASSERT_TRUE(FourTriangles(dc, 64, 64, RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255),
                            RGB(255, 255, 255), RGB(128, 128, 128)));
  // Top row dark, bottom row light, monotonic down the middle column.
  EXPECT_LT(GetRValue(bmp.GetPixel(32, 0)), 8);
  EXPECT_GT(GetRValue(bmp.GetPixel(32, 63)), 247);
  for (int y = 1; y < 64; ++y)
    EXPECT_GE(GetRValue(bmp.GetPixel(32, y)), GetRValue(bmp.GetPixel(32, y - 1)));

  const TRIVERTEX v[3] = {V(0, 0, 0), V(5, 0, 0), V(0, 5, 0)};
  const GRADIENT_TRIANGLE bad = {0, 1, 3};
  bmp.Fill(clWhite);
  EXPECT_FALSE(dc.GradientFill(v, 3, &bad, 1, GRADIENT_FILL_TRIANGLE));
  EXPECT_FALSE(dc.GradientFill(v, 3, &bad, 1, 7));
  EXPECT_EQ(bmp.GetPixel(0, 0), clWhite);
  // Huge coordinates are refused rather than overflowing.
  const TRIVERTEX far[3] = {V(0, 0, 0), V(2000000000, 0, 0), V(0, 5, 0)};
  const GRADIENT_TRIANGLE t = {0, 1, 2};
  EXPECT_FALSE(dc.GradientFill(far, 3, &t, 1, GRADIENT_FILL_TRIANGLE));
}

TEST(Gradient, RectanglesRunLeftToRightOrTopToBottom) {
  TBitmap bmp(11, 3);
  bmp.Fill(RGB(1, 2, 3));
  TDC dc(bmp);
  dc.SetViewportOrg({1, 0});
  const TRIVERTEX v[2] = {V(0, 0, RGB(0, 0, 0)), V(10, 3, RGB(250, 0, 0))};
  const GRADIENT_RECT r = {0, 1};
  ASSERT_TRUE(dc.GradientFill(v, 2, &r, 1, GRADIENT_FILL_RECT_H));
  EXPECT_EQ(bmp.GetPixel(0, 0), RGB(1, 2, 3));  // left of the origin: untouched
  EXPECT_EQ(bmp.GetPixel(1, 0), RGB(0, 0, 0));
  EXPECT_EQ(bmp.GetPixel(6, 2), RGB(125, 0, 0));
  ASSERT_TRUE(dc.GradientFill(v, 2, &r, 1, GRADIENT_FILL_RECT_V));
  EXPECT_EQ(bmp.GetPixel(5, 0), RGB(0, 0, 0));
  EXPECT_EQ(bmp.GetPixel(5, 2), RGB(166, 0, 0));
}

}  // namespace
}  // namespace vm
