#include <gtest/gtest.h>

#include "WinTestSupport.h"

namespace vm::test {
namespace {

// Paints a picture that depends on the content offset in its props "ox" and
// "oy", so that a scrolled view can be compared with a fresh one; records
// every WM_PAINT's update rectangle.
std::vector<TRect>& PaintRects() {
  static std::vector<TRect> rects;
  return rects;
}

TColor ContentAt(int x, int y) {
  return RGB((x * 5) & 255, (y * 3) & 255, ((x + y) / 7 % 2) * 200);
}

LRESULT ContentProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Log().push_back({h, m, w, l});
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    PaintRects().push_back(ps.rcPaint);
    int ox = int(GetProp(h, "ox")), oy = int(GetProp(h, "oy"));
    TRect r = ps.rcPaint;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) dc->SetPixel(x, y, ContentAt(x + ox, y + oy));
    EndPaint(h, &ps);
    return 0;
  }
  if (m == WM_ERASEBKGND) return 1;
  return DefWindowProc(h, m, w, l);
}

class ScrollWindowTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    WNDCLASS wc;
    wc.lpszClassName = "Content";
    wc.lpfnWndProc = &ContentProc;
    RegisterClass(wc);
    top = CreateWindowEx(0, "Content", "", WS_POPUP | WS_VISIBLE, 100, 100, 200, 150, nullptr);
    Pump();
    PaintRects().clear();
  }
  void TearDown() override {
    TWinTest::TearDown();
    UnregisterClass("Content");
  }
  // Scrolls the content of h by (dx, dy) the way a program does: the offset
  // changes, the pixels move, the rest is painted.
  int Scroll(HWND h, int dx, int dy, const TRect* r = nullptr, UINT flags = SW_INVALIDATE) {
    SetProp(h, "ox", GetProp(h, "ox") - dx);
    SetProp(h, "oy", GetProp(h, "oy") - dy);
    return ScrollWindowEx(h, dx, dy, r, nullptr, nullptr, nullptr, flags);
  }
  // Whether what h shows in its client area is its content at the current offset.
  bool ShowsContent(HWND h, TRect part = {}) {
    const TBitmap* store = GetWindowStore(GetAncestor(h, GA_ROOT));
    TPoint o{0, 0};
    MapWindowPoints(h, GetAncestor(h, GA_ROOT), &o, 1);
    TRect c;
    GetClientRect(h, &c);
    if (part.IsEmpty()) part = c;
    int ox = int(GetProp(h, "ox")), oy = int(GetProp(h, "oy"));
    for (int y = part.Top; y < part.Bottom; ++y)
      for (int x = part.Left; x < part.Right; ++x)
        if (store->GetPixel(o.X + x, o.Y + y) != ContentAt(x + ox, y + oy)) return false;
    return true;
  }
  HWND top = nullptr;
};

TEST_F(ScrollWindowTest, PixelsMoveAndOnlyTheUncoveredStripIsPainted) {
  TRegion update;
  TRect bounds;
  SetProp(top, "oy", 12);
  int kind = ScrollWindowEx(top, 0, -12, nullptr, nullptr, &update, &bounds, SW_INVALIDATE);
  EXPECT_EQ(kind, SIMPLEREGION);
  EXPECT_EQ(bounds, Rect(0, 138, 200, 150));
  EXPECT_EQ(update, TRegion(Rect(0, 138, 200, 150)));
  Pump();
  EXPECT_EQ(PaintRects(), std::vector<TRect>{Rect(0, 138, 200, 150)});
  EXPECT_TRUE(ShowsContent(top));
  // Diagonally: an L of two strips.
  PaintRects().clear();
  Scroll(top, 7, 5);
  Pump();
  EXPECT_TRUE(ShowsContent(top));
  ASSERT_EQ(PaintRects().size(), 1u);
  EXPECT_EQ(PaintRects()[0], Rect(0, 0, 200, 150));  // the bounds of the L
  // Only a part of the window: the rest stays as it is.
  PaintRects().clear();
  TRect part = Rect(50, 40, 150, 100);
  ScrollWindowEx(top, -20, 0, &part, nullptr, &update, nullptr, SW_INVALIDATE);
  EXPECT_EQ(update, TRegion(Rect(130, 40, 150, 100)));
  // Nothing to move or a move beyond the window: no crash, all of it or nothing uncovered.
  EXPECT_EQ(ScrollWindowEx(top, 0, 0, nullptr, nullptr, &update, nullptr, SW_INVALIDATE),
            NULLREGION);
  EXPECT_EQ(ScrollWindowEx(top, INT32_MAX, INT32_MIN, nullptr, nullptr, &update, nullptr, 0),
            SIMPLEREGION);
  EXPECT_EQ(update, TRegion(Rect(0, 0, 200, 150)));
  EXPECT_EQ(ScrollWindowEx(nullptr, 1, 1, nullptr, nullptr, nullptr, nullptr, 0), RGN_ERROR);
}

TEST_F(ScrollWindowTest, APartStillWaitingToBePaintedMovesAlong) {
  TRect stale = Rect(20, 20, 60, 40);
  InvalidateRect(top, &stale, false);  // not painted yet: its pixels are old
  Scroll(top, 0, 30);
  TRegion pending;
  GetUpdateRgn(top, &pending, false);
  EXPECT_EQ(pending, TRegion::FromRects({Rect(0, 0, 200, 30), Rect(20, 50, 60, 70)}));
  Pump();
  EXPECT_TRUE(ShowsContent(top));
}

TEST_F(ScrollWindowTest, PixelsFromUnderASiblingArePaintedAgain) {
  HWND view = CreateWindowEx(0, "Content", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 10, 10, 150,
                             100, top);
  // A sibling above the view hides its top-right corner.
  HWND cover = CreateWindowEx(0, "TestWindow", "", WS_CHILD | WS_VISIBLE, 120, 0, 60, 40, top);
  BringWindowToTop(cover);
  Pump();
  PaintRects().clear();
  Scroll(view, -15, 20);
  TRegion pending;
  GetUpdateRgn(view, &pending, false);
  // The strip at the top, and below the cover what came from under it.
  TRegion expected(Rect(0, 0, 150, 20));
  expected.Union(Rect(95, 20, 135, 50));
  expected.Union(Rect(135, 0, 150, 100));  // the strip at the right
  EXPECT_EQ(pending, expected);
  Pump();
  TRect visible = Rect(0, 30, 150, 100);  // below the cover
  EXPECT_TRUE(ShowsContent(view, visible));
  EXPECT_TRUE(ShowsContent(view, Rect(0, 0, 110, 30)));
}

TEST_F(ScrollWindowTest, ChildrenRideAlongOnlyWhenAsked) {
  HWND inside = CreateWindowEx(0, "TestWindow", "", WS_CHILD | WS_VISIBLE, 60, 50, 20, 20, top);
  HWND outside = CreateWindowEx(0, "TestWindow", "", WS_CHILD | WS_VISIBLE, 170, 120, 20, 20, top);
  Pump();
  TRect area = Rect(0, 0, 100, 100);
  Scroll(top, 0, 10, &area, SW_INVALIDATE);
  TRect r;
  GetWindowRect(inside, &r);
  EXPECT_EQ(r.Top, 150);  // without SW_SCROLLCHILDREN the child stays
  Scroll(top, 5, 10, &area, SW_INVALIDATE | SW_SCROLLCHILDREN);
  GetWindowRect(inside, &r);
  EXPECT_EQ(r, Bounds(165, 160, 20, 20));
  GetWindowRect(outside, &r);
  EXPECT_EQ(r, Bounds(270, 220, 20, 20));  // not in the rectangle: stays
  Pump();
  const TBitmap* store = GetWindowStore(top);
  TColor childColour = RGB(0x20, 0x40, 0x60);
  EXPECT_EQ(store->GetPixel(70, 65), childColour);
  EXPECT_NE(store->GetPixel(65, 55), childColour);  // where it was: content again
  EXPECT_TRUE(ShowsContent(top, Rect(0, 0, 60, 50)));
}

}  // namespace
}  // namespace vm::test

namespace vm::test {
namespace {

TEST_F(ScrollWindowTest, WindowFromPointFindsTheDeepestVisibleWindow) {
  HWND child = CreateWindowEx(0, "TestWindow", "", WS_CHILD | WS_VISIBLE, 10, 10, 80, 60, top);
  HWND inner = CreateWindowEx(0, "TestWindow", "", WS_CHILD | WS_VISIBLE, 5, 5, 20, 20, child);
  HWND hidden = CreateWindowEx(0, "TestWindow", "", WS_CHILD, 50, 5, 20, 20, child);
  EXPECT_EQ(WindowFromPoint({100 + 10 + 5 + 1, 100 + 10 + 5 + 1}), inner);
  EXPECT_EQ(WindowFromPoint({100 + 10 + 50 + 1, 100 + 10 + 5 + 1}),
            child);  // hidden: looked through
  EXPECT_EQ(WindowFromPoint({100 + 150, 100 + 100}), top);
  EXPECT_EQ(WindowFromPoint({5, 5}), nullptr);
  EXPECT_EQ(ChildWindowFromPoint(child, {51, 6}), hidden);  // hidden children count here
  EXPECT_EQ(ChildWindowFromPoint(child, {40, 40}), child);
  EXPECT_EQ(ChildWindowFromPoint(child, {400, 40}), nullptr);
}

}  // namespace
}  // namespace vm::test
