#include "platform/gfx/Gradient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

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

// The triangle fill as it was written first, one inside test per pixel of
// the bounding box: the span-wise fill must give the same bytes.
void ReferenceTriangles(TBitmap& bmp, const TRegion& clip, const TRIVERTEX* v,
                        const GRADIENT_TRIANGLE* t, int count) {
  struct TV {
    std::int64_t X, Y;
    double C[3];
  };
  auto edge = [](const TV& a, const TV& b, std::int64_t px, std::int64_t py) {
    return (b.X - a.X) * (py - a.Y) - (b.Y - a.Y) * (px - a.X);
  };
  auto owns = [](const TV& a, const TV& b) {
    return b.Y - a.Y < 0 || (b.Y - a.Y == 0 && b.X - a.X > 0);
  };
  auto byte = [](double c) { return std::uint8_t(int(std::clamp(c, 0.0, 65535.0)) >> 8); };
  auto vert = [&](std::uint32_t i) {
    return TV{2 * std::int64_t(v[i].x),
              2 * std::int64_t(v[i].y),
              {double(v[i].Red), double(v[i].Green), double(v[i].Blue)}};
  };
  TRegion area(TRect{0, 0, bmp.Width(), bmp.Height()});
  area.Intersect(clip);
  for (int i = 0; i < count; ++i) {
    TV v0 = vert(t[i].Vertex1), v1 = vert(t[i].Vertex2), v2 = vert(t[i].Vertex3);
    std::int64_t area2 = edge(v0, v1, v2.X, v2.Y);
    if (area2 == 0) continue;
    if (area2 < 0) {
      std::swap(v1, v2);
      area2 = -area2;
    }
    const bool own0 = owns(v1, v2), own1 = owns(v2, v0), own2 = owns(v0, v1);
    const double inv = 1.0 / double(area2);
    for (const TRect& r : area.Rects())
      for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) {
          const std::int64_t px = 2 * x + 1, py = 2 * y + 1;
          const std::int64_t w0 = edge(v1, v2, px, py), w1 = edge(v2, v0, px, py),
                             w2 = edge(v0, v1, px, py);
          if (w0 < 0 || w1 < 0 || w2 < 0) continue;
          if ((w0 == 0 && !own0) || (w1 == 0 && !own1) || (w2 == 0 && !own2)) continue;
          const double f1 = double(w1) * inv, f2 = double(w2) * inv;
          double c[3];
          for (int k = 0; k < 3; ++k)
            c[k] = v0.C[k] + f1 * (v1.C[k] - v0.C[k]) + f2 * (v2.C[k] - v0.C[k]);
          std::uint8_t* p = bmp.ScanLine(y) + std::size_t(x) * bmp.BytesPerPixel();
          p[0] = byte(c[2]);
          p[1] = byte(c[1]);
          p[2] = byte(c[0]);
        }
  }
}

TEST(Gradient, SpanWiseTrianglesMatchThePerPixelInsideTest) {
  // Random triangles of every shape (slivers, edges through pixel centres,
  // vertices off the bitmap), 24- and 32-bit, clipped by a region of
  // several rectangles.
  unsigned seed = 12345;
  auto next = [&](int n) {
    seed = seed * 1103515245u + 12345u;
    return int((seed >> 8) % unsigned(n));
  };
  TRegion clip(TRect{0, 0, 40, 13});
  clip.Union(TRect{5, 13, 33, 31});
  clip.Union(TRect{20, 31, 40, 36});
  for (int round = 0; round < 400; ++round) {
    TRIVERTEX v[6];
    for (auto& vx : v) {
      const int spread = round % 3 == 0 ? 8 : 60;
      vx = TRIVERTEX{next(spread) - spread / 4, next(spread) - spread / 4, COLOR16(next(65536)),
                     COLOR16(next(65536)),      COLOR16(next(65536)),      0};
    }
    if (round % 5 == 0) v[1].y = v[0].y;  // a horizontal edge
    if (round % 7 == 0) v[2].x = v[0].x;  // a vertical one
    const GRADIENT_TRIANGLE t[2] = {{0, 1, 2}, {3, 4, 5}};
    for (TPixelFormat format : {TPixelFormat::pf24bit, TPixelFormat::pf32bit}) {
      TBitmap want(40, 36, format), got(40, 36, format);
      want.Fill(RGB(7, 8, 9));
      got.Fill(RGB(7, 8, 9));
      ReferenceTriangles(want, clip, v, t, 2);
      ASSERT_TRUE(GradientFillBitmap(got, clip, 0, 0, v, 6, t, 2, GRADIENT_FILL_TRIANGLE));
      for (int y = 0; y < 36; ++y)
        ASSERT_EQ(0, std::memcmp(want.ScanLine(y), got.ScanLine(y),
                                 std::size_t(40 * want.BytesPerPixel())))
            << "round " << round << " row " << y;
    }
  }
}

}  // namespace
}  // namespace vm
