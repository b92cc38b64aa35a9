#include "platform/gfx/DC.h"

#include <gtest/gtest.h>

#include "platform/gfx/SysColors.h"

namespace vm {
namespace {

constexpr TColor Guard = RGB(0x12, 0x34, 0x56);
constexpr TColor Red = RGB(255, 0, 0);

// Every pixel inside `painted` (bitmap coordinates) has colour c, every other
// pixel is still the guard colour.
void ExpectOnly(const TBitmap& bmp, const TRegion& painted, TColor c) {
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x)
      ASSERT_EQ(bmp.GetPixel(x, y), painted.Contains(x, y) ? c : Guard) << "at " << x << "," << y;
}

TEST(DC, FillHonoursOriginsVisibleRegionAndClipInBothRowOrders) {
  for (bool bottomUp : {false, true}) {
    TBitmap bmp(40, 30, TPixelFormat::pf24bit, bottomUp);
    bmp.Fill(Guard);
    // A child window at (10, 5) of 20 x 15 whose right part is covered by a sibling.
    TRegion visible(TRect{0, 0, 20, 15});
    visible.Subtract(TRect{15, 0, 20, 8});
    TDC dc(bmp, {10, 5}, visible);
    dc.SetViewportOrg({2, 3});  // paint code moved its origin
    dc.FillRect({-100, -100, 100, 100}, Red);
    TRegion expected = visible;
    expected.Offset(10, 5);
    ExpectOnly(bmp, expected, Red);

    bmp.Fill(Guard);
    dc.IntersectClipRect({0, 0, 4, 4});  // logical: device (2,3)-(6,7), bitmap (12,8)-(16,12)
    dc.FillRect({-100, -100, 100, 100}, Red);
    ExpectOnly(bmp, TRegion(TRect{12, 8, 16, 12}), Red);
    EXPECT_EQ(dc.ClipBox(), (TRect{0, 0, 4, 4}));
  }
}

TEST(DC, SaveAndRestoreRoundTripStateButNotWindowSystemPart) {
  TBitmap bmp(20, 20);
  bmp.Fill(Guard);
  TDC dc(bmp);
  dc.SetTextColor(Red);
  const int level = dc.SaveDC();
  EXPECT_EQ(level, 1);
  dc.SetTextColor(clWhite);
  dc.SetViewportOrg({5, 5});
  dc.ExcludeClipRect({0, 0, 3, 3});
  dc.SetBkMode(TRANSPARENT);
  EXPECT_EQ(dc.SaveDC(), 2);
  dc.IntersectClipRect({0, 0, 1, 1});
  {
    TDCSaver saver(dc);
    dc.SetStretchBltMode(HALFTONE);
  }
  EXPECT_EQ(dc.StretchBltMode(), BLACKONWHITE);
  EXPECT_TRUE(dc.RestoreDC(-1));  // back to depth 1 with the excluded corner
  dc.FillRect({-5, -5, 15, 15}, Red);
  TRegion expected(TRect{0, 0, 20, 20});
  expected.Subtract(TRect{5, 5, 8, 8});
  ExpectOnly(bmp, expected, Red);
  EXPECT_TRUE(dc.RestoreDC(level));
  EXPECT_EQ(dc.TextColor(), Red);
  EXPECT_EQ(dc.BkMode(), OPAQUE);
  EXPECT_EQ(dc.ViewportOrg(), (TPoint{0, 0}));
  EXPECT_FALSE(dc.GetClipRgn().has_value());
  EXPECT_EQ(dc.SaveDepth(), 0);
  EXPECT_FALSE(dc.RestoreDC(-1));  // nothing left to restore
  EXPECT_FALSE(dc.RestoreDC(3));
}

TEST(DC, EffectiveClipFollowsRestoresAndWindowSystemChanges) {
  TBitmap bmp(30, 20);
  TDC dc(bmp, {2, 2}, TRegion(TRect{0, 0, 20, 12}));
  const TRegion outer = dc.EffectiveClip();
  dc.SaveDC();
  dc.IntersectClipRect({0, 0, 5, 5});
  EXPECT_EQ(dc.EffectiveClip(), TRegion(TRect{2, 2, 7, 7}));
  dc.SaveDC();
  dc.ExcludeClipRect({1, 1, 2, 2});
  EXPECT_EQ(dc.EffectiveClip().Complexity(), COMPLEXREGION);
  dc.RestoreDC(-1);
  EXPECT_EQ(dc.EffectiveClip(), TRegion(TRect{2, 2, 7, 7}));
  dc.RestoreDC(-1);
  EXPECT_EQ(dc.EffectiveClip(), outer);
  // A clip kept from before a change of the visible region or origin is not
  // used again after it.
  dc.SaveDC();
  dc.IntersectClipRect({0, 0, 5, 5});
  dc.EffectiveClip();
  dc.SetVisibleRegion(TRegion(TRect{0, 0, 3, 3}));
  EXPECT_EQ(dc.EffectiveClip(), TRegion(TRect{2, 2, 5, 5}));
  dc.RestoreDC(-1);
  EXPECT_EQ(dc.EffectiveClip(), TRegion(TRect{2, 2, 5, 5}));
  dc.SetDeviceOrigin({10, 10});
  EXPECT_EQ(dc.EffectiveClip(), TRegion(TRect{10, 10, 13, 13}));
  // Whatever lies off the bitmap is cut, at any origin.
  dc.SetDeviceOrigin({28, 18});
  EXPECT_EQ(dc.EffectiveClip(), TRegion(TRect{28, 18, 30, 20}));
  // Made new for another bitmap, nothing of the old state is left.
  TBitmap other(8, 8);
  dc.IntersectClipRect({0, 0, 1, 1});
  dc.SaveDC();
  dc.ResetOnBitmap(other, {1, 1}, TRegion(TRect{0, 0, 8, 8}));
  EXPECT_EQ(dc.SaveDepth(), 0);
  EXPECT_FALSE(dc.GetClipRgn());
  EXPECT_EQ(dc.VisibleRegion(), TRegion(TRect{-1, -1, 7, 7}));  // device coordinates
  EXPECT_EQ(dc.EffectiveClip(), TRegion(TRect{0, 0, 8, 8}));
  EXPECT_EQ(dc.ClipBox(), (TRect{-1, -1, 7, 7}));
}

TEST(DC, FillRectWritesExactlyItsPixelsAtEveryWidth) {
  for (TPixelFormat format : {TPixelFormat::pf24bit, TPixelFormat::pf32bit}) {
    TBitmap bmp(140, 3, format);
    for (int w = 0; w <= 130; ++w) {
      bmp.Fill(Guard);
      if (format == TPixelFormat::pf32bit)
        for (int x = 0; x < 140; ++x) bmp.SetAlpha(x, 1, std::uint8_t(x));
      TDC dc(bmp);
      dc.FillRect({w % 5, 1, w % 5 + w, 2}, Red);
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 140; ++x) {
          const bool in = y == 1 && x >= w % 5 && x < w % 5 + w;
          ASSERT_EQ(bmp.GetPixel(x, y), in ? Red : Guard) << "width " << w << " at " << x;
          if (format == TPixelFormat::pf32bit && y == 1) {
            ASSERT_EQ(bmp.GetAlpha(x, y), x);
          }
        }
    }
  }
}

TEST(DC, SelectClipRgnIsInDeviceCoordinatesAndCombines) {
  TBitmap bmp(20, 20);
  bmp.Fill(Guard);
  TDC dc(bmp, {4, 4}, TRegion(TRect{0, 0, 12, 12}));
  dc.SetViewportOrg({100, 100});  // must not move a device-coordinate region
  TRegion rgn(TRect{0, 0, 6, 6});
  EXPECT_EQ(dc.SelectClipRgn(&rgn), SIMPLEREGION);
  TRegion more(TRect{8, 8, 30, 30});
  EXPECT_EQ(dc.SelectClipRgn(&more, RGN_OR), COMPLEXREGION);
  dc.FillRect({-200, -200, 200, 200}, Red);
  ExpectOnly(bmp, TRegion::FromRects({{4, 4, 10, 10}, {12, 12, 16, 16}}), Red);
  EXPECT_EQ(dc.SelectClipRgn(nullptr), SIMPLEREGION);
  EXPECT_EQ(dc.SelectClipRgn(nullptr, RGN_AND), RGN_ERROR);
}

TEST(DC, PixelsAndPolylineSkipLastPointAndClip) {
  TBitmap bmp(10, 10);
  bmp.Fill(Guard);
  TDC dc(bmp);
  EXPECT_EQ(dc.SetPixel(3, 3, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(dc.GetPixel(3, 3), RGB(1, 2, 3));
  EXPECT_EQ(dc.GetPixel(10, 3), CLR_INVALID);
  EXPECT_EQ(dc.SetPixel(-1, 0, Red), CLR_INVALID);
  // System colours are resolved.
  EXPECT_EQ(dc.SetPixel(0, 0, clWindow), GetSysColor(COLOR_WINDOW));

  bmp.Fill(Guard);
  dc.SetPenColor(Red);
  const TPoint square[] = {{1, 1}, {5, 1}, {5, 5}, {1, 5}, {1, 1}};
  dc.Polyline(square, 5);
  TRegion outline(TRect{1, 1, 6, 6});
  outline.Subtract(TRect{2, 2, 5, 5});
  ExpectOnly(bmp, outline, Red);  // closed, since the last point repeats the first

  bmp.Fill(Guard);
  dc.MoveTo(0, 8);
  dc.LineTo(4, 8);  // (4, 8) excluded
  ExpectOnly(bmp, TRegion(TRect{0, 8, 4, 9}), Red);
  // A line running off the bitmap draws only its visible part.
  dc.MoveTo(-50, -50);
  dc.LineTo(50, 50);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(bmp.GetPixel(i, i), Red);
  // Very long lines are cut to the bitmap first and still hit the same pixels.
  bmp.Fill(Guard);
  dc.MoveTo(-1000000, -1000000);
  dc.LineTo(1000000, 1000000);
  const TPoint across[] = {{-3000000, 4}, {3000000, 4}};
  dc.Polyline(across, 2);
  TRegion drawn(TRect{0, 4, 10, 5});
  for (int i = 0; i < 10; ++i) drawn.Union(TRect{i, i, i + 1, i + 1});
  ExpectOnly(bmp, drawn, Red);
}

TEST(DC, PolygonFillsInsideItsOutline) {
  // A small arrow glyph: solid black inside, red outline.
  TBitmap bmp(9, 5);
  bmp.Fill(Guard);
  TDC dc(bmp);
  dc.SetBrushColor(clBlack);
  dc.SetPenColor(Red);
  const TPoint up[] = {{1, 4}, {7, 4}, {4, 1}};
  dc.Polygon(up, 3);
  const char* expect[5] = {".........", "....r....", "...rkr...", "..rkkkr..", ".rrrrrrr."};
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 9; ++x) {
      const TColor c = expect[y][x] == 'r' ? Red : expect[y][x] == 'k' ? clBlack : Guard;
      EXPECT_EQ(bmp.GetPixel(x, y), c) << x << "," << y;
    }
  // Hollow brush: outline only; hollow pen: inside only.
  bmp.Fill(Guard);
  dc.SetBrushColor(CLR_NONE);
  dc.Polygon(up, 3);
  EXPECT_EQ(bmp.GetPixel(4, 3), Guard);
  EXPECT_EQ(bmp.GetPixel(4, 4), Red);
  bmp.Fill(Guard);
  dc.SetBrushColor(clBlack);
  dc.SetPenColor(CLR_NONE);
  dc.Rectangle({2, 1, 6, 4});
  ExpectOnly(bmp, TRegion(TRect{2, 1, 6, 4}), clBlack);
}

TEST(DC, BitBltCopiesBetweenOrdersAndOverlapsAndCombines) {
  TBitmap src(6, 4, TPixelFormat::pf32bit, true);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) src.SetPixel(x, y, RGB(x * 10, y * 10, 7));
  TBitmap dst(10, 10);
  dst.Fill(Guard);
  TDC dc(dst);
  // Source partly off its bitmap: only the part that exists is copied.
  EXPECT_TRUE(dc.BitBlt(2, 2, 10, 10, src, -1, 1));
  TRegion copied(TRect{3, 2, 9, 5});
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x)
      EXPECT_EQ(dst.GetPixel(x, y),
                copied.Contains(x, y) ? RGB((x - 3) * 10, (y - 1) * 10, 7) : Guard);

  // Overlapping copy inside one bitmap behaves as if read first.
  TBitmap strip(8, 1);
  for (int x = 0; x < 8; ++x) strip.SetPixel(x, 0, RGB(x, 0, 0));
  TDC sdc(strip);
  sdc.BitBlt(2, 0, 6, 1, sdc, 0, 0);
  for (int x = 2; x < 8; ++x) EXPECT_EQ(strip.GetPixel(x, 0), RGB(x - 2, 0, 0));

  TBitmap one(1, 1);
  one.SetPixel(0, 0, RGB(0x0F, 0xF0, 0x33));
  TBitmap t(1, 1);
  TDC tdc(t);
  t.SetPixel(0, 0, RGB(0xFF, 0x0F, 0x30));
  tdc.BitBlt(0, 0, 1, 1, one, 0, 0, SRCAND);
  EXPECT_EQ(t.GetPixel(0, 0), RGB(0x0F, 0x00, 0x30));
  tdc.BitBlt(0, 0, 1, 1, one, 0, 0, SRCINVERT);
  EXPECT_EQ(t.GetPixel(0, 0), RGB(0x00, 0xF0, 0x03));
  tdc.BitBlt(0, 0, 1, 1, one, 0, 0, SRCPAINT);
  EXPECT_EQ(t.GetPixel(0, 0), RGB(0x0F, 0xF0, 0x33));
  tdc.SetBrushColor(RGB(9, 8, 7));
  EXPECT_TRUE(BitBlt(&tdc, 0, 0, 1, 1, nullptr, 0, 0, PATCOPY));
  EXPECT_EQ(t.GetPixel(0, 0), RGB(9, 8, 7));
  EXPECT_FALSE(tdc.BitBlt(0, 0, 1, 1, one, 0, 0, 0x12345678));
}

TEST(DC, WholeBitmapContextFollowsResizes) {
  TBitmap bmp(4, 4);
  TDC dc(bmp);
  EXPECT_EQ(dc.ClipBox(), (TRect{0, 0, 4, 4}));
  bmp.SetSize(9, 6);
  bmp.Fill(Guard);
  dc.FillRect({0, 0, 100, 100}, Red);
  ExpectOnly(bmp, TRegion(TRect{0, 0, 9, 6}), Red);
  bmp.SetSize(2, 2);
  dc.FillRect({0, 0, 100, 100}, Red);  // must not write past the smaller bitmap
  EXPECT_EQ(dc.VisibleRegion(), TRegion(TRect{0, 0, 2, 2}));
}

TEST(DC, DrawingOutsideEverythingIsHarmless) {
  TBitmap bmp(4, 4);
  bmp.Fill(Guard);
  TDC dc(bmp, {1000, 1000}, TRegion(TRect{0, 0, 50, 50}));
  dc.FillRect({0, 0, 50, 50}, Red);
  dc.BitBlt(0, 0, 50, 50, bmp, 0, 0);
  dc.StretchBlt(0, 0, 50, 50, bmp, 0, 0, 4, 4);
  const TPoint line[] = {{0, 0}, {49, 49}};
  dc.Polyline(line, 2);
  dc.TextOut(0, 0, "hidden");
  ExpectOnly(bmp, TRegion(), Red);
  EXPECT_EQ(dc.ClipBox(), TRect{});
  // Extreme coordinates with moved origins neither overflow nor miss the bitmap.
  TDC whole(bmp);
  whole.SetViewportOrg({5, 5});
  whole.SetWindowOrg({-7, -7});
  whole.FillRect({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, Red);
  ExpectOnly(bmp, TRegion(TRect{0, 0, 4, 4}), Red);
  const TPoint far[] = {{INT32_MIN, 0}, {INT32_MAX, 0}};
  whole.Polyline(far, 2);
  EXPECT_FALSE(dc.RectVisible({0, 0, 50, 50}));
}

}  // namespace
}  // namespace vm
