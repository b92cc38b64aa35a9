// The classic drawing primitives: edge colours and corners, the sides and
// adjustments of DrawEdge, frame controls in their states, the focus
// rectangle's self-inverse dots. Guard pixels around every target catch
// writes outside the rectangle.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/gfx/ClassicDraw.h"
#include "platform/gfx/PngCodec.h"
#include "platform/gfx/SysColors.h"

namespace vm {
namespace {

constexpr TColor Guard = RGB(1, 2, 3);

struct TCanvas {
  TBitmap Bits{40, 40};
  TDC Dc{Bits};
  TCanvas() { Dc.FillRect(Rect(0, 0, 40, 40), Guard); }
  TColor At(int x, int y) const { return Bits.GetPixel(x, y); }
  // Every pixel outside r still holds the guard colour.
  bool GuardIntactOutside(const TRect& r) const {
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x)
        if (!r.Contains({x, y}) && At(x, y) != Guard) return false;
    return true;
  }
};

TColor Sys(int i) {
  return GetSysColor(i);
}

TEST(ClassicDrawTest, EdgesHaveTheirColourOrderAndCornerOwnership) {
  struct TCase {
    std::uint32_t Edge, Flags;
    int OuterTL, OuterBR, InnerTL, InnerBR;
  };
  for (TCase t : {
           TCase{EDGE_RAISED, 0, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT,
                 COLOR_BTNSHADOW},
           TCase{EDGE_SUNKEN, 0, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW,
                 COLOR_3DLIGHT},
           TCase{EDGE_RAISED, BF_SOFT, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT,
                 COLOR_BTNSHADOW},
           TCase{EDGE_SUNKEN, BF_SOFT, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW,
                 COLOR_3DLIGHT},
           TCase{EDGE_ETCHED, 0, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT,
                 COLOR_BTNSHADOW},
           TCase{EDGE_BUMP, 0, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
           TCase{EDGE_RAISED, BF_FLAT, COLOR_BTNSHADOW, COLOR_BTNSHADOW, COLOR_BTNFACE,
                 COLOR_BTNFACE},
           TCase{EDGE_SUNKEN, BF_MONO, COLOR_WINDOWFRAME, COLOR_WINDOWFRAME, COLOR_WINDOW,
                 COLOR_WINDOW},
       }) {
    TCanvas c;
    TRect r = Rect(5, 5, 25, 20);
    ASSERT_TRUE(DrawEdge(&c.Dc, &r, t.Edge, BF_RECT | t.Flags));
    std::string what = std::to_string(t.Edge) + "/" + std::to_string(t.Flags);
    EXPECT_EQ(r, Rect(5, 5, 25, 20)) << what;  // no BF_ADJUST: unchanged
    EXPECT_EQ(c.At(10, 5), Sys(t.OuterTL)) << what;
    EXPECT_EQ(c.At(5, 10), Sys(t.OuterTL)) << what;
    EXPECT_EQ(c.At(10, 19), Sys(t.OuterBR)) << what;
    EXPECT_EQ(c.At(24, 10), Sys(t.OuterBR)) << what;
    // The bottom-right colour owns the two shared corners.
    EXPECT_EQ(c.At(24, 5), Sys(t.OuterBR)) << what;
    EXPECT_EQ(c.At(5, 19), Sys(t.OuterBR)) << what;
    EXPECT_EQ(c.At(5, 5), Sys(t.OuterTL)) << what;
    EXPECT_EQ(c.At(10, 6), Sys(t.InnerTL)) << what;
    EXPECT_EQ(c.At(23, 10), Sys(t.InnerBR)) << what;
    EXPECT_EQ(c.At(23, 6), Sys(t.InnerBR)) << what;
    EXPECT_EQ(c.At(10, 10), Guard) << what;  // no BF_MIDDLE: the inside is left alone
    EXPECT_TRUE(c.GuardIntactOutside(Rect(5, 5, 25, 20))) << what;
  }
}

TEST(ClassicDrawTest, PartialSidesMiddleAndAdjust) {
  TCanvas c;
  TRect r = Rect(5, 5, 25, 20);
  // Top and left only: the top line runs the full width when the right side is not drawn.
  ASSERT_TRUE(DrawEdge(&c.Dc, &r, EDGE_SUNKEN, BF_TOPLEFT | BF_MIDDLE | BF_ADJUST));
  EXPECT_EQ(r, Rect(7, 7, 25, 20));  // shrunk on the drawn sides only
  EXPECT_EQ(c.At(24, 5), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(c.At(5, 19), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(c.At(24, 19), Sys(COLOR_BTNFACE));  // the middle reaches the undrawn edges
  EXPECT_EQ(c.At(7, 7), Sys(COLOR_BTNFACE));
  EXPECT_TRUE(c.GuardIntactOutside(Rect(5, 5, 25, 20)));

  // One ring only shrinks by one; a rectangle smaller than the edge stays sane.
  TRect one = Rect(30, 30, 35, 35);
  DrawEdge(&c.Dc, &one, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
  EXPECT_EQ(one, Rect(31, 31, 34, 34));
  TRect tiny = Rect(2, 30, 4, 31);
  DrawEdge(&c.Dc, &tiny, EDGE_RAISED, BF_RECT | BF_ADJUST | BF_MIDDLE);
  EXPECT_GE(tiny.Width(), 0);
  EXPECT_GE(tiny.Height(), 0);
  TRect empty;
  EXPECT_TRUE(DrawEdge(&c.Dc, &empty, EDGE_RAISED, BF_RECT));
  EXPECT_FALSE(DrawEdge(nullptr, &empty, EDGE_RAISED, BF_RECT));
  EXPECT_FALSE(DrawEdge(&c.Dc, nullptr, EDGE_RAISED, BF_RECT));
}

TEST(ClassicDrawTest, FrameControlsShowTheirStates) {
  // Check box: sunken edge, white field, the mark only when checked.
  TCanvas c;
  TRect box = Bounds(2, 2, 13, 13);
  DrawFrameControl(&c.Dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK);
  EXPECT_EQ(c.At(2, 2), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(c.At(8, 8), Sys(COLOR_WINDOW));
  int unchecked = 0, checked = 0;
  for (int y = 4; y < 13; ++y)
    for (int x = 4; x < 13; ++x) unchecked += c.At(x, y) == Sys(COLOR_WINDOWTEXT);
  DrawFrameControl(&c.Dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  for (int y = 4; y < 13; ++y)
    for (int x = 4; x < 13; ++x) checked += c.At(x, y) == Sys(COLOR_WINDOWTEXT);
  EXPECT_EQ(unchecked, 0);
  EXPECT_EQ(checked, 21);  // seven columns of three
  // Disabled: grey field and grey mark.
  DrawFrameControl(&c.Dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE);
  EXPECT_EQ(c.At(4, 4), Sys(COLOR_BTNFACE));
  EXPECT_TRUE(c.GuardIntactOutside(Bounds(2, 2, 13, 13)));

  // Radio button: round (corners untouched), a dot when checked.
  TCanvas r;
  TRect radio = Bounds(10, 10, 12, 12);
  DrawFrameControl(&r.Dc, &radio, DFC_BUTTON, DFCS_BUTTONRADIO);
  EXPECT_EQ(r.At(10, 10), Guard);
  EXPECT_EQ(r.At(21, 21), Guard);
  EXPECT_EQ(r.At(15, 15), Sys(COLOR_WINDOW));
  DrawFrameControl(&r.Dc, &radio, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
  EXPECT_EQ(r.At(15, 15), Sys(COLOR_WINDOWTEXT));
  EXPECT_EQ(r.At(16, 16), Sys(COLOR_WINDOWTEXT));
  EXPECT_EQ(r.At(15, 10), Sys(COLOR_BTNSHADOW));  // top of the outer ring
  EXPECT_EQ(r.At(15, 21), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_TRUE(r.GuardIntactOutside(Bounds(10, 10, 12, 12)));

  // Push button: raised soft, sunken soft when pushed; the inside is returned on request.
  TCanvas p;
  TRect push = Bounds(4, 4, 30, 20);
  DrawFrameControl(&p.Dc, &push, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
  EXPECT_EQ(push, Bounds(6, 6, 26, 16));
  EXPECT_EQ(p.At(4, 4), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(p.At(33, 23), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(p.At(15, 15), Sys(COLOR_BTNFACE));
  push = Bounds(4, 4, 30, 20);
  DrawFrameControl(&p.Dc, &push, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
  EXPECT_EQ(push, Bounds(4, 4, 30, 20));  // no DFCS_ADJUSTRECT: unchanged
  EXPECT_EQ(p.At(4, 4), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(p.At(5, 5), Sys(COLOR_BTNSHADOW));
  EXPECT_TRUE(p.GuardIntactOutside(Bounds(4, 4, 30, 20)));
  EXPECT_FALSE(DrawFrameControl(&p.Dc, &push, 99, 0));
}

TEST(ClassicDrawTest, ScrollArrowsPointTheirWayAndMoveWhenPushed) {
  // The arrow's darkest rows: up has its apex (one pixel) above its base (seven).
  auto inkRows = [](const TCanvas& c, const TRect& r) {
    std::vector<int> rows;
    for (int y = r.Top + 2; y < r.Bottom - 2; ++y) {
      int n = 0;
      for (int x = r.Left + 2; x < r.Right - 2; ++x) n += c.At(x, y) == Sys(COLOR_BTNTEXT);
      if (n) rows.push_back(n);
    }
    return rows;
  };
  TCanvas c;
  TRect up = Bounds(0, 0, 16, 16), down = Bounds(20, 0, 16, 16);
  DrawFrameControl(&c.Dc, &up, DFC_SCROLL, DFCS_SCROLLUP);
  DrawFrameControl(&c.Dc, &down, DFC_SCROLL, DFCS_SCROLLDOWN);
  EXPECT_EQ(inkRows(c, up), (std::vector<int>{1, 3, 5, 7}));
  EXPECT_EQ(inkRows(c, down), (std::vector<int>{7, 5, 3, 1}));
  // Pushed: flat frame, the arrow one pixel down and right.
  auto apex = [&](const TRect& r) {
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (c.At(x, y) == Sys(COLOR_BTNTEXT)) return TPoint{x, y};
    return TPoint{-1, -1};
  };
  TPoint before = apex(up);
  DrawFrameControl(&c.Dc, &up, DFC_SCROLL, DFCS_SCROLLUP | DFCS_PUSHED);
  TPoint after = apex(up);
  EXPECT_EQ(after.X, before.X + 1);
  EXPECT_EQ(after.Y, before.Y + 1);
  EXPECT_EQ(c.At(0, 0), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(c.At(15, 15), Sys(COLOR_BTNSHADOW));
  // Inactive: embossed, no black ink.
  DrawFrameControl(&c.Dc, &up, DFC_SCROLL, DFCS_SCROLLUP | DFCS_INACTIVE);
  EXPECT_TRUE(inkRows(c, up).empty());
  // The size grip: its ridges run from the bottom-right corner.
  TCanvas g;
  TRect grip = Bounds(10, 10, 16, 16);
  DrawFrameControl(&g.Dc, &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  EXPECT_EQ(g.At(25, 25), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(g.At(24, 25), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(g.At(10, 10), Sys(COLOR_BTNFACE));
  EXPECT_TRUE(g.GuardIntactOutside(grip));
}

TEST(ClassicDrawTest, TheFocusRectangleIsDottedAndUndoesItself) {
  TCanvas c;
  c.Dc.FillRect(Rect(0, 0, 40, 40), RGB(200, 100, 50));
  TBitmap before = c.Bits;
  TRect r = Rect(5, 5, 20, 12);
  ASSERT_TRUE(DrawFocusRect(&c.Dc, &r));
  const TColor inv = RGB(55, 155, 205);
  EXPECT_EQ(c.At(5, 5), inv);  // starts at the corner
  EXPECT_EQ(c.At(6, 5), RGB(200, 100, 50));
  EXPECT_EQ(c.At(7, 5), inv);
  EXPECT_EQ(c.At(5, 7), inv);
  EXPECT_EQ(c.At(10, 8), RGB(200, 100, 50));  // the inside is untouched
  int changed = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) changed += c.At(x, y) != before.GetPixel(x, y);
  EXPECT_EQ(changed, 20);  // half of the 40 ring pixels
  DrawFocusRect(&c.Dc, &r);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(c.At(x, y), before.GetPixel(x, y)) << x << "," << y;
  // Degenerate rectangles: a one-pixel line is drawn once, never twice over.
  TRect line = Rect(5, 30, 15, 31);
  DrawFocusRect(&c.Dc, &line);
  DrawFocusRect(&c.Dc, &line);
  EXPECT_EQ(c.At(5, 30), RGB(200, 100, 50));
}

// A sheet of every primitive, written for a look (VELMORA_SHOT_DIR).
TEST(ClassicDrawTest, SheetForTheEye) {
  const char* dir = std::getenv("VELMORA_SHOT_DIR");
  if (!dir) GTEST_SKIP() << "set VELMORA_SHOT_DIR to write the sheet";
  TBitmap b(260, 120);
  TDC dc(b);
  dc.FillRect(Rect(0, 0, 260, 120), Sys(COLOR_BTNFACE));
  int x = 4;
  for (std::uint32_t e : {EDGE_RAISED, EDGE_SUNKEN, EDGE_ETCHED, EDGE_BUMP}) {
    TRect r = Bounds(x, 4, 28, 20);
    DrawEdge(&dc, &r, e, BF_RECT);
    x += 32;
  }
  x = 4;
  for (std::uint32_t s : {0u, DFCS_CHECKED, DFCS_INACTIVE | DFCS_CHECKED, DFCS_PUSHED}) {
    TRect r = Bounds(x, 30, 13, 13);
    DrawFrameControl(&dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | s);
    r = Bounds(x + 16, 30, 13, 13);
    DrawFrameControl(&dc, &r, DFC_BUTTON, DFCS_BUTTONRADIO | s);
    x += 34;
  }
  x = 4;
  for (std::uint32_t s :
       {DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT,
        DFCS_SCROLLUP | DFCS_PUSHED, DFCS_SCROLLDOWN | DFCS_INACTIVE, DFCS_SCROLLSIZEGRIP}) {
    TRect r = Bounds(x, 50, 16, 16);
    DrawFrameControl(&dc, &r, DFC_SCROLL, s);
    x += 20;
  }
  x = 4;
  for (std::uint32_t s :
       {DFCS_CAPTIONCLOSE, DFCS_CAPTIONMIN, DFCS_CAPTIONMAX, DFCS_CAPTIONRESTORE, DFCS_CAPTIONHELP,
        DFCS_CAPTIONCLOSE | DFCS_PUSHED, DFCS_CAPTIONMAX | DFCS_INACTIVE}) {
    TRect r = Bounds(x, 72, 16, 14);
    DrawFrameControl(&dc, &r, DFC_CAPTION, s);
    x += 20;
  }
  TRect push = Bounds(4, 92, 75, 23);
  DrawFrameControl(&dc, &push, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
  TRect focus = push;
  focus = Rect(focus.Left + 2, focus.Top + 2, focus.Right - 2, focus.Bottom - 2);
  DrawFocusRect(&dc, &focus);
  push = Bounds(84, 92, 75, 23);
  DrawFrameControl(&dc, &push, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
  x = 170;
  for (std::uint32_t s : {DFCS_MENUARROW, DFCS_MENUCHECK, DFCS_MENUBULLET}) {
    TRect r = Bounds(x, 96, 13, 13);
    DrawFrameControl(&dc, &r, DFC_MENU, s);
    x += 16;
  }
  // Three times enlarged, pixel for pixel, so single pixels can be judged.
  TBitmap big(b.Width() * 3, b.Height() * 3);
  for (int y = 0; y < big.Height(); ++y)
    for (int x = 0; x < big.Width(); ++x) big.SetPixel(x, y, b.GetPixel(x / 3, y / 3));
  SavePngFile(std::string(dir) + "/classic-draw.png", big);
}

}  // namespace
}  // namespace vm
