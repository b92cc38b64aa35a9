#include "skin/paint/pixels/CanvasOps.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>
#include <vector>

#include "TestBitmaps.h"
#include "platform/gfx/SysColors.h"
#include "skin/paint/pixels/Colors.h"

namespace vm {
namespace {

using test::Filled;
using test::Guard;
using test::OutsideIs;

// Compares a bitmap with a picture of one letter per pixel.
void ExpectPicture(const TBitmap& b, const std::vector<std::string>& rows,
                   const std::map<char, TColor>& colors) {
  ASSERT_EQ(int(rows.size()), b.Height());
  for (int y = 0; y < b.Height(); ++y) {
    std::string actual;
    for (int x = 0; x < b.Width(); ++x) {
      char letter = '?';
      for (const auto& [k, c] : colors)
        if (b.GetPixel(x, y) == c) letter = k;
      actual += letter;
    }
    EXPECT_EQ(actual, rows[std::size_t(y)]) << "row " << y;
  }
}

class CanvasOps : public ::testing::TestWithParam<bool> {
 protected:
  bool Up() const { return GetParam(); }
};

TEST_P(CanvasOps, FillRectSolidResolvesAndRestoresState) {
  TBitmap b = Filled(6, 5, Up());
  TDC dc(b);
  dc.SetPenColor(RGB(1, 2, 3));
  dc.SetBrushColor(RGB(4, 5, 6));
  FillRectSolid(dc, TRect{1, 2, 4, 4}, clWindowText);
  EXPECT_EQ(b.GetPixel(1, 2), ColorToRGB(clWindowText));
  EXPECT_EQ(b.GetPixel(3, 3), ColorToRGB(clWindowText));
  EXPECT_TRUE(OutsideIs(b, TRect{1, 2, 4, 4}, Guard));
  EXPECT_EQ(dc.PenColor(), RGB(1, 2, 3));
  EXPECT_EQ(dc.BrushColor(), RGB(4, 5, 6));
  EXPECT_EQ(dc.SaveDepth(), 0);
  FillRectSolid(dc, TRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, RGB(9, 9, 9));
  EXPECT_TRUE(OutsideIs(b, TRect{}, RGB(9, 9, 9)));
}

TEST_P(CanvasOps, Paint3DFrameDrawsNestedFramesAndConsumesWidth) {
  const TColor light = RGB(255, 255, 255), dark = RGB(0, 0, 0);
  TBitmap b = Filled(7, 6, Up());
  TDC dc(b);
  dc.SetPenColor(RGB(7, 7, 7));
  TRect r{1, 1, 6, 5};
  int width = 2;
  Paint3DFrame(dc, r, light, dark, width);
  ExpectPicture(b,
                {
                    ".......",
                    ".LLLLD.",
                    ".LLLDD.",
                    ".LDDDD.",
                    ".DDDDD.",
                    ".......",
                },
                {{'.', Guard}, {'L', light}, {'D', dark}});
  EXPECT_EQ(width, 0);
  EXPECT_EQ(r, (TRect{3, 3, 4, 3}));
  EXPECT_EQ(dc.PenColor(), RGB(7, 7, 7));

  // One frame; the light colour may be a system colour.
  TBitmap c = Filled(5, 4, Up());
  TDC dc2(c);
  TRect r2{0, 0, 5, 4};
  int one = 1;
  Paint3DFrame(dc2, r2, clWindow, dark, one);
  ExpectPicture(c,
                {
                    "LLLLD",
                    "L...D",
                    "L...D",
                    "DDDDD",
                },
                {{'.', Guard}, {'L', ColorToRGB(clWindow)}, {'D', dark}});
  EXPECT_EQ(r2, (TRect{1, 1, 4, 3}));

  // Frames past the middle turn inside out and repaint the outer ones, as
  // drawing every frame does; a huge width still ends quickly.
  TBitmap d = Filled(3, 3, Up());
  TDC dc3(d);
  TRect r3{0, 0, 3, 3};
  int huge = INT_MAX;
  Paint3DFrame(dc3, r3, light, dark, huge);
  EXPECT_EQ(huge, 0);
  EXPECT_EQ(r3.Left, INT_MAX);
  ExpectPicture(d,
                {
                    "DLL",
                    "DDL",
                    "DLL",
                },
                {{'.', Guard}, {'L', light}, {'D', dark}});
  // Huge rectangles around the bitmap cost only the frames that can show.
  TBitmap e = Filled(4, 4, Up());
  TDC dc4(e);
  for (TRect big : {TRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, TRect{0, -2000000000, 2, 2000000000},
                    TRect{-2000000000, 1, 2000000000, 2}}) {
    int w = INT_MAX;
    Paint3DFrame(dc4, big, light, dark, w);
    EXPECT_EQ(w, 0);
  }
  TBitmap f = Filled(4, 4, Up());
  TDC dc5(f);
  TRect ring{-1000000, -1000000, 1000002, 1000002};
  int thick = 1000000;
  Paint3DFrame(dc5, ring, light, dark, thick);
  EXPECT_EQ(ring, (TRect{0, 0, 2, 2}));
  // The last frames' right and bottom lines cross the bitmap; their top and
  // left lines lie outside it.
  ExpectPicture(f,
                {
                    "..DD",
                    "..DD",
                    "DDDD",
                    "DDDD",
                },
                {{'.', Guard}, {'L', light}, {'D', dark}});
}

// Every frame drawn one by one, as the frames are defined.
void NaiveFrames(TDC& dc, TRect r, TColor light, TColor dark, int width) {
  --r.Right;
  --r.Bottom;
  for (; width > 0; --width) {
    const TPoint a[3] = {{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}};
    dc.SetPenColor(light);
    dc.Polyline(a, 3);
    const TPoint b[3] = {{r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left - 1, r.Bottom}};
    dc.SetPenColor(dark);
    dc.Polyline(b, 3);
    r = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  }
}

TEST_P(CanvasOps, Paint3DFrameSkipsOnlyInvisibleFrames) {
  const TColor light = RGB(250, 250, 250), dark = RGB(5, 5, 5);
  // Rectangles around, across and beside the bitmap (and its clip box).
  for (int l = -4; l <= 12; l += 2)
    for (int t = -5; t <= 10; t += 3)
      for (int w = 1; w <= 12; w += 3)
        for (int h = 1; h <= 12; h += 4)
          for (int width = 1; width <= 9; width += 2)
            for (bool clip : {false, true}) {
              TBitmap a = Filled(6, 5, Up()), b = Filled(6, 5, Up());
              TDC dca(a), dcb(b);
              if (clip) {
                dca.IntersectClipRect(TRect{1, 2, 4, 4});
                dcb.IntersectClipRect(TRect{1, 2, 4, 4});
              }
              TRect r{l, t, l + w, t + h};
              int n = width;
              Paint3DFrame(dca, r, light, dark, n);
              NaiveFrames(dcb, TRect{l, t, l + w, t + h}, light, dark, width);
              ASSERT_TRUE(a.SamePixels(b))
                  << l << "," << t << " " << w << "x" << h << " width " << width << "\n"
                  << test::Dump(a) << test::Dump(b);
              EXPECT_EQ(r, (TRect{l + width, t + width, l + w - width, t + h - width}));
            }
}

TEST_P(CanvasOps, Paint3DFrameBesideTheBitmapSkipsAHugeWidthAtOnce) {
  // A billion frames of rectangles beside a small bitmap are counted, not
  // walked. Only 400 of them, from a known one on, can cross the bitmap
  // (the others have all four lines beyond it), so drawing just those one by
  // one gives the expected picture.
  const TColor light = RGB(250, 250, 250), dark = RGB(5, 5, 5);
  const int billion = 1000000000;
  struct Case {
    TRect Far;
    int FirstVisible;
  };
  for (const Case& c :
       {Case{{100, 0, 300, 4}, 0}, Case{{0, 100, 6, 300}, 0}, Case{{-300, -300, -100, 2}, 0},
        Case{{-300, 1, 300, 3}, 0}, Case{{100, 100, billion, billion}, billion - 400},
        Case{{-billion, 2, -100, 3}, billion - 400}}) {
    TBitmap a = Filled(6, 4, Up()), b = Filled(6, 4, Up());
    TDC dca(a), dcb(b);
    TRect r = c.Far;
    int width = billion;
    Paint3DFrame(dca, r, light, dark, width);
    const int k = c.FirstVisible;
    NaiveFrames(dcb, TRect{c.Far.Left + k, c.Far.Top + k, c.Far.Right - k, c.Far.Bottom - k}, light,
                dark, 400);
    EXPECT_TRUE(a.SamePixels(b)) << test::Dump(a) << test::Dump(b);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(r, (TRect{c.Far.Left + billion, c.Far.Top + billion, c.Far.Right - billion,
                        c.Far.Bottom - billion}));
  }
}

TEST_P(CanvasOps, PaintDottedFrame) {
  TBitmap b = Filled(11, 9, Up());
  TDC dc(b);
  PaintDottedFrame(dc, TRect{2, 2, 8, 7});
  ExpectPicture(b,
                {
                    "...........",
                    ".W..W..W...",
                    "..B..B..B..",
                    "...........",
                    ".W.....W...",
                    "..B.....B..",
                    ".W..W..W...",
                    "..B..B..B..",
                    "...........",
                },
                {{'.', Guard}, {'W', clWhite}, {'B', clBlack}});
  // Any rectangle, however large, only costs the visible part.
  TBitmap c = Filled(4, 4, Up());
  TDC dc2(c);
  PaintDottedFrame(dc2, TRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX});
  PaintDottedFrame(dc2, TRect{-7, -7, 1000000000, 2});
  EXPECT_EQ(c.GetPixel(2, 2), clBlack);
  EXPECT_EQ(c.GetPixel(1, 1), clWhite);
}

TEST_P(CanvasOps, PaintDottedFrameMatchesEveryDot) {
  // The clip-limited loops give what drawing every dot gives.
  auto naive = [](TDC& dc, const TRect& r) {
    for (int i = 0; i <= (r.Right - r.Left) / 3; ++i) {
      dc.SetPixel(r.Left + 3 * i, r.Top, clBlack);
      dc.SetPixel(r.Left + 3 * i - 1, r.Top - 1, clWhite);
      dc.SetPixel(r.Left + 3 * i, r.Bottom, clBlack);
      dc.SetPixel(r.Left + 3 * i - 1, r.Bottom - 1, clWhite);
    }
    for (int j = 0; j <= (r.Bottom - r.Top) / 3; ++j) {
      dc.SetPixel(r.Left, r.Top + 3 * j, clBlack);
      dc.SetPixel(r.Left - 1, r.Top + 3 * j - 1, clWhite);
      dc.SetPixel(r.Right, r.Top + 3 * j, clBlack);
      dc.SetPixel(r.Right - 1, r.Top + 3 * j - 1, clWhite);
    }
  };
  for (int l = -20; l <= 8; l += 3)
    for (int t = -17; t <= 8; t += 4)
      for (int w = 0; w <= 40; w += 7)
        for (int h = 0; h <= 30; h += 5)
          for (bool clip : {false, true}) {
            TBitmap a = Filled(8, 7, Up()), b = Filled(8, 7, Up());
            TDC dca(a), dcb(b);
            if (clip) {
              dca.IntersectClipRect(TRect{2, 1, 6, 5});
              dcb.IntersectClipRect(TRect{2, 1, 6, 5});
            }
            PaintDottedFrame(dca, TRect{l, t, l + w, t + h});
            naive(dcb, TRect{l, t, l + w, t + h});
            ASSERT_TRUE(a.SamePixels(b)) << l << "," << t << " " << w << "x" << h;
          }
  // Frames longer than one masked fill (85 dots), through a clip of several
  // rectangles with gaps, starting at each place modulo 3.
  const TRegion holes =
      TRegion::FromRects({TRect{0, 0, 700, 40}, TRect{3, 40, 250, 330}, TRect{260, 60, 697, 331}});
  for (int l = -4; l <= -2; ++l) {
    TBitmap a = Filled(700, 340, Up()), b = Filled(700, 340, Up());
    TDC dca(a), dcb(b);
    dca.SelectClipRgn(&holes);
    dcb.SelectClipRgn(&holes);
    PaintDottedFrame(dca, TRect{l, l + 1, 698, 330});
    naive(dcb, TRect{l, l + 1, 698, 330});
    ASSERT_TRUE(a.SamePixels(b)) << l;
    // Whole masked runs are noted as painted, gaps of the clip included.
    const TRect painted = dca.PaintedBounds(), need = dcb.PaintedBounds();
    EXPECT_TRUE(painted.Left <= need.Left && painted.Top <= need.Top &&
                painted.Right >= need.Right && painted.Bottom >= need.Bottom);
  }
}

TEST_P(CanvasOps, ImageListItemToBitmap) {
  TImageList list(3, 2);
  TBitmap strip = Filled(6, 2, !Up(), RGB(10, 20, 30));
  const TColor green = RGB(0, 255, 0);
  strip.SetPixel(4, 1, green);  // item 1, pixel (1, 1)
  EXPECT_EQ(list.AddMasked(strip, green), 0);
  EXPECT_EQ(list.Count(), 2);

  TBitmap b(1, 1, TPixelFormat::pf32bit, Up());
  ImageListItemToBitmap(b, list, 1);
  EXPECT_EQ(b.Width(), 3);
  EXPECT_EQ(b.Height(), 2);
  EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(b.GetPixel(1, 1), KeyColor);  // transparent: the fill shows
  EXPECT_EQ(b.GetPixel(0, 0), RGB(10, 20, 30));
  EXPECT_EQ(b.GetPixel(2, 1), RGB(10, 20, 30));

  list.SetBkColor(RGB(1, 2, 3));
  ImageListItemToBitmap(b, list, 1);
  EXPECT_EQ(b.GetPixel(1, 1), RGB(1, 2, 3));
  ImageListItemToBitmap(b, list, 5);  // no such item: just the fill
  EXPECT_TRUE(OutsideIs(b, TRect{}, RGB(1, 2, 3)));

  // An unmasked item covers everything; a mask bitmap marks transparent pixels.
  TImageList plain(2, 2);
  TBitmap img = Filled(2, 2, Up(), RGB(50, 60, 70));
  TBitmap mask = Filled(2, 2, Up(), clBlack);
  mask.SetPixel(0, 1, clWhite);
  plain.Add(img);
  plain.Add(img, &mask);
  TBitmap target = Filled(4, 4, Up());
  plain.Draw(target, 2, -1, 0);
  plain.Draw(target, 0, 1, 1);
  EXPECT_EQ(target.GetPixel(2, 0), RGB(50, 60, 70));
  EXPECT_EQ(target.GetPixel(0, 2), Guard);
  EXPECT_EQ(target.GetPixel(1, 2), RGB(50, 60, 70));
  EXPECT_FALSE(plain.Draw(target, 0, 0, -1));
  plain.Delete(0);
  EXPECT_EQ(plain.Count(), 1);
  EXPECT_TRUE(plain.IsTransparent(0, 0, 1));
}

INSTANTIATE_TEST_SUITE_P(BothRowOrders, CanvasOps, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "BottomUp" : "TopDown"; });

}  // namespace
}  // namespace vm
