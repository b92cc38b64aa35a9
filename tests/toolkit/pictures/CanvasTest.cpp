#include "toolkit/Canvas.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <span>
#include <utility>
#include <vector>

#include "platform/gfx/Font.h"
#include "platform/win/WinApi.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Colors.h"
#include "toolkit/SysUtils.h"

namespace vm::tk {
namespace {

// A white bitmap to draw on.
struct Sheet {
  TBitmap bmp;
  TCanvas& c;
  explicit Sheet(int w = 20, int h = 20) : bmp(w, h), c(bmp.Canvas()) { bmp.Image().Fill(clWhite); }
  TColor At(int x, int y) const { return bmp.Image().GetPixel(x, y); }
  int Count(TColor colour) const {
    int n = 0;
    for (int y = 0; y < bmp.Height(); ++y)
      for (int x = 0; x < bmp.Width(); ++x) n += At(x, y) == colour;
    return n;
  }
};

TEST(Canvas, BrushFillsAndFramesWithExclusiveEdges) {
  Sheet s;
  s.c.Brush().SetColor(clBtnFace);  // a system colour is resolved
  s.c.FillRect({2, 3, 6, 5});
  EXPECT_EQ(s.At(2, 3), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(s.At(5, 4), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(s.At(6, 4), clWhite);
  EXPECT_EQ(s.At(5, 5), clWhite);
  EXPECT_EQ(s.Count(GetSysColor(COLOR_BTNFACE)), 8);
  s.c.Brush().SetColor(clRed);
  s.c.FrameRect({10, 10, 14, 13});
  EXPECT_EQ(s.Count(clRed), 10);  // the 4 x 3 outline
  EXPECT_EQ(s.At(11, 11), clWhite);
  s.c.Brush().SetStyle(bsClear);
  s.c.FillRect({0, 0, 20, 20});
  EXPECT_EQ(s.Count(clRed), 10);
}

TEST(Canvas, RectangleWithWideAndClearPens) {
  Sheet s;
  s.c.Pen().SetColor(clNavy);
  s.c.Brush().SetColor(clYellow);
  s.c.Rectangle(1, 1, 6, 5);
  EXPECT_EQ(s.Count(clNavy), 14);  // 5 x 4 outline
  EXPECT_EQ(s.Count(clYellow), 6);
  s.c.Pen().SetWidth(3);
  s.c.Rectangle(8, 8, 18, 16);
  EXPECT_EQ(s.At(8, 8), clNavy);
  EXPECT_EQ(s.At(10, 10), clNavy);
  EXPECT_EQ(s.At(11, 11), clYellow);
  EXPECT_EQ(s.At(14, 12), clYellow);
  EXPECT_EQ(s.At(15, 12), clNavy);
  EXPECT_EQ(s.At(18, 12), clWhite);
  EXPECT_EQ(s.Count(clYellow), 6 + 4 * 2);
  s.c.Pen().SetStyle(psClear);
  s.c.Brush().SetColor(clLime);
  s.c.Rectangle(0, 17, 4, 20);
  EXPECT_EQ(s.Count(clLime), 12);
}

TEST(Canvas, LinesLeaveOutTheirLastPointAndFollowThePenStyle) {
  Sheet s(40, 10);
  s.c.Pen().SetColor(clBlack);
  s.c.MoveTo(0, 0);
  s.c.LineTo(10, 0);
  EXPECT_EQ(s.Count(clBlack), 10);
  EXPECT_EQ(s.At(10, 0), clWhite);
  EXPECT_EQ(s.c.PenPos(), (TPoint{10, 0}));
  s.c.Pen().SetStyle(psDot);
  s.c.MoveTo(0, 2);
  s.c.LineTo(12, 2);
  for (int x = 0; x < 12; ++x) EXPECT_EQ(s.At(x, 2), (x / 3) % 2 ? clWhite : clBlack) << x;
  // A wide pen stamps a square on every point.
  s.c.Pen().SetStyle(psSolid);
  s.c.Pen().SetWidth(3);
  s.c.MoveTo(20, 5);
  s.c.LineTo(25, 5);
  EXPECT_EQ(s.At(19, 4), clBlack);
  EXPECT_EQ(s.At(25, 6), clBlack);  // the square of the last drawn point, 24
  EXPECT_EQ(s.At(26, 6), clWhite);
  EXPECT_EQ(s.At(22, 7), clWhite);
  // A line to a point far away ends quickly and draws the visible part.
  s.c.Pen().SetWidth(1);
  s.c.Pen().SetStyle(psDash);
  s.c.MoveTo(0, 9);
  s.c.LineTo(2000000000, 9);
  // 18-pixel dashes and 6-pixel gaps from x = 0: 0..17 on, 18..23 off, 24..41 on.
  EXPECT_EQ(s.At(17, 9), clBlack);
  EXPECT_EQ(s.At(20, 9), clWhite);
  EXPECT_EQ(s.At(39, 9), clBlack);
  s.c.Pen().SetStyle(psClear);
  s.c.MoveTo(0, 8);
  s.c.LineTo(40, 8);
  EXPECT_EQ(s.At(5, 8), clWhite);
}

// Patterned one-pixel lines are drawn a run or a row of the clip at a time;
// they must set exactly the pixels that drawing point by point sets: a
// Bresenham walk leaving out the last point, the pattern running on from
// segment to segment.
void PatternByPoint(vm::TDC& dc, TPoint a, TPoint b, std::span<const int> pattern, int& phase,
                    TColor colour) {
  int period = 0;
  for (int p : pattern) period += p;
  int x = a.X, y = a.Y;
  const int dx = std::abs(b.X - x), dy = -std::abs(b.Y - y);
  const int sx = x < b.X ? 1 : -1, sy = y < b.Y ? 1 : -1;
  int err = dx + dy;
  while (x != b.X || y != b.Y) {
    int pos = phase, i = 0;
    while (pos >= pattern[std::size_t(i)]) pos -= pattern[std::size_t(i++)];
    phase = (phase + 1) % period;
    if (i % 2 == 0) dc.SetPixel(x, y, colour);
    const int e2 = 2 * err;
    if (e2 >= dy) err += dy, x += sx;
    if (e2 <= dx) err += dx, y += sy;
  }
}

TEST(Canvas, PatternedLinesMatchDrawingPointByPointThroughAClip) {
  const int dash[] = {18, 6}, dot[] = {3, 3}, dashDot[] = {9, 6, 3, 6};
  const std::pair<TPenStyle, std::span<const int>> styles[] = {
      {psDash, dash}, {psDot, dot}, {psDashDot, dashDot}};
  // A clip of three rectangles with gaps, the view origin moved, and paths
  // of level, upright and slanted segments both ways, some longer than one
  // masked run (256 points), some leaving the bitmap (none so far beyond it
  // that the walk is cut short).
  const vm::TRegion clip = vm::TRegion::FromRects(
      {TRect{0, 0, 600, 30}, TRect{5, 30, 290, 200}, TRect{300, 45, 598, 210}});
  const std::vector<std::vector<TPoint>> paths = {
      {{2, 3}, {590, 3}, {590, 190}, {4, 190}, {4, 2}},
      {{-4, 20}, {598, 20}, {300, 1}, {300, 213}},
      {{10, 10}, {500, 180}, {20, 170}, {21, 12}, {580, 13}},
      {{595, 205}, {1, 1}, {7, 199}, {7, 199}, {400, 60}}};
  for (const auto& [style, pattern] : styles)
    for (const auto& path : paths) {
      Sheet s(600, 210), want(600, 210);
      vm::TDC& dc = *s.c.Handle();
      vm::TDC& ref = *want.c.Handle();
      for (vm::TDC* d : {&dc, &ref}) {
        d->SelectClipRgn(&clip);
        d->SetViewportOrg({3, -2});
      }
      s.c.Pen().SetColor(clRed);
      s.c.Pen().SetStyle(style);
      s.c.MoveTo(path[0].X, path[0].Y);
      int phase = 0;
      for (std::size_t i = 1; i < path.size(); ++i) {
        s.c.LineTo(path[i].X, path[i].Y);
        PatternByPoint(ref, path[i - 1], path[i], pattern, phase, clRed);
      }
      ASSERT_TRUE(s.bmp.Image().SamePixels(want.bmp.Image()))
          << int(style) << " from " << path[0].X << "," << path[0].Y;
      const TRect painted = dc.PaintedBounds(), need = ref.PaintedBounds();
      EXPECT_TRUE(painted.Left <= need.Left && painted.Top <= need.Top &&
                  painted.Right >= need.Right && painted.Bottom >= need.Bottom);
    }
}

TEST(Canvas, TextUsesFontColourAndBrushBackground) {
  PinFontConfiguration();
  Sheet s(120, 30);
  s.c.Font().SetColor(clBlue);
  s.c.Brush().SetColor(clYellow);
  TSize ext = s.c.TextExtent("Кб Wj");
  EXPECT_GT(ext.cx, 10);
  EXPECT_EQ(ext.cy, s.c.TextHeight("x"));
  s.c.TextOut(4, 2, "Кб Wj");
  EXPECT_EQ(s.c.PenPos(), (TPoint{4 + ext.cx, 2}));
  int inside = 0, ink = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 120; ++x) {
      bool in = x >= 4 && x < 4 + ext.cx && y >= 2 && y < 2 + ext.cy;
      TColor c = s.At(x, y);
      if (!in) {
        EXPECT_EQ(c, clWhite) << x << "," << y;
      }
      if (in && c != clYellow) ++ink;
      inside += in;
    }
  EXPECT_GT(ink, 10);
  EXPECT_LT(ink, inside);
  // A clear brush: no background box.
  Sheet t(120, 30);
  t.c.Brush().SetStyle(bsClear);
  t.c.TextOut(4, 2, "Wj");
  EXPECT_EQ(t.Count(clYellow), 0);
  EXPECT_GT(120 * 30 - t.Count(clWhite), 5);
  // TextRect fills its rectangle and cuts the text to it.
  Sheet r(120, 30);
  r.c.Brush().SetColor(clLime);
  r.c.TextRect({10, 5, 20, 25}, 0, 5, "WWWWWWWW");
  EXPECT_EQ(r.At(10, 5), clLime);
  for (int y = 0; y < 30; ++y) {
    EXPECT_EQ(r.At(9, y), clWhite);
    EXPECT_EQ(r.At(20, y), clWhite);
  }
}

TEST(Canvas, FontSizeHeightAndChanges) {
  TFont f;
  EXPECT_EQ(f.Name(), "Tahoma");
  EXPECT_EQ(f.Height(), -11);
  EXPECT_EQ(f.Size(), 8);
  int changes = 0;
  f.OnChange = [&] { ++changes; };
  f.SetSize(12);
  EXPECT_EQ(f.Height(), -16);
  f.SetSize(12);
  f.SetStyle(fsBold | fsItalic);
  EXPECT_TRUE(f.PlatformFont()->Desc().Bold);
  EXPECT_EQ(changes, 2);
  TFont g;
  g.OnChange = [&] { ++changes; };
  g.Assign(f);
  g.Assign(f);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(g.Style(), fsBold | fsItalic);
  EXPECT_EQ(g.PlatformFont(), f.PlatformFont());  // one shared face
  g.SetCharset(RUSSIAN_CHARSET);
  g.SetName("");  // ignored: a font always has a name
  EXPECT_EQ(g.Name(), "Tahoma");
}

TEST(Canvas, FontHandlesFollowTheDescription) {
  HFONT old;
  {
    TFont f;
    f.SetName("Times New Roman");
    HFONT h = f.Handle();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(f.Handle(), h);
    vm::TFontDesc d;
    ASSERT_TRUE(GetFontDesc(h, &d));
    EXPECT_EQ(d.Family, "Times New Roman");
    f.SetColor(clRed);  // not part of the face: the handle stays
    EXPECT_EQ(f.Handle(), h);
    f.SetStyle(fsUnderline);
    EXPECT_FALSE(GetFontDesc(h, &d));  // the old handle is gone
    old = f.Handle();
    ASSERT_TRUE(GetFontDesc(old, &d));
    EXPECT_TRUE(d.Underline);
    // Taking a handle's description.
    f.SetHandle(GetStockFont(DEFAULT_GUI_FONT));
    EXPECT_EQ(f.Name(), "Tahoma");
    EXPECT_EQ(f.Height(), -11);
    EXPECT_EQ(f.Style(), 0u);
    old = f.Handle();
    f.SetHandle(nullptr);  // unknown: nothing changes
    EXPECT_EQ(f.Handle(), old);
  }
  vm::TFontDesc d;
  EXPECT_FALSE(GetFontDesc(old, &d));  // freed with the font
}

TEST(Canvas, PixelsCopiesAndMissingContext) {
  Sheet s(10, 10);
  s.c.SetPixels(2, 3, clMaroon);
  EXPECT_EQ(s.c.Pixels(2, 3), clMaroon);
  EXPECT_EQ(s.c.Pixels(-1, 3), CLR_INVALID);
  EXPECT_EQ(s.c.Pixels(10, 0), CLR_INVALID);
  Sheet d(10, 10);
  d.c.CopyRect({0, 0, 4, 4}, s.c, {1, 2, 3, 4});  // 2 x 2 doubled
  EXPECT_EQ(d.At(2, 2), clMaroon);
  EXPECT_EQ(d.At(3, 3), clMaroon);
  EXPECT_EQ(d.At(1, 1), clWhite);
  d.c.SetCopyMode(DSTINVERT);
  d.c.CopyRect({0, 0, 1, 1}, s.c, {0, 0, 1, 1});
  EXPECT_EQ(d.At(0, 0), clBlack);

  TCanvas detached;
  EXPECT_FALSE(detached.HandleAllocated());
  EXPECT_THROW(detached.FillRect({0, 0, 1, 1}), EInvalidOperation);
  EXPECT_NO_THROW(detached.Draw(0, 0, nullptr));
  TDC dc(s.bmp.Image());
  detached.SetHandle(&dc);
  detached.Brush().SetColor(clTeal);
  detached.FillRect({0, 0, 1, 1});
  EXPECT_EQ(s.At(0, 0), clTeal);
  detached.SetHandle(nullptr);
  EXPECT_THROW(detached.LineTo(1, 1), EInvalidOperation);
}

}  // namespace
}  // namespace vm::tk
