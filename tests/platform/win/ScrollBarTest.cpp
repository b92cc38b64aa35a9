#include <gtest/gtest.h>

#include "WinTestSupport.h"
#include "platform/gfx/SysColors.h"

namespace vm::test {
namespace {

// Scrolls the way a program does: every request moves the position, the
// thumb's track position is taken while it is dragged.
LRESULT ScrollerProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Log().push_back({h, m, w, l});
  if (m == WM_VSCROLL || m == WM_HSCROLL) {
    int bar = m == WM_VSCROLL ? SB_VERT : SB_HORZ;
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    GetScrollInfo(h, bar, &si);
    int pos = si.nPos;
    switch (LOWORD(w)) {
      case SB_LINEUP:
        pos -= 1;
        break;
      case SB_LINEDOWN:
        pos += 1;
        break;
      case SB_PAGEUP:
        pos -= int(si.nPage);
        break;
      case SB_PAGEDOWN:
        pos += int(si.nPage);
        break;
      case SB_THUMBTRACK:
        pos = si.nTrackPos;
        break;
    }
    SetScrollPos(h, bar, pos, true);
    return 0;
  }
  return DefWindowProc(h, m, w, l);
}

class ScrollBarTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    WNDCLASS wc;
    wc.lpszClassName = "Scroller";
    wc.lpfnWndProc = &ScrollerProc;
    wc.hbrBackground = RGB(255, 255, 255);
    RegisterClass(wc);
    // A frameless window: its vertical bar is window x 100..116, y 0..200,
    // arrows 0..16 and 184..200, a 168-pixel track between them.
    win = CreateWindowEx(0, "Scroller", "", WS_POPUP | WS_VSCROLL | WS_VISIBLE, 100, 100, 116, 200,
                         nullptr);
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = 99;
    si.nPage = 20;  // thumb 168 * 20 / 100 = 33 pixels, last position 80
    SetScrollInfo(win, SB_VERT, &si, true);
    Pump();
    Log().clear();
  }
  void TearDown() override {
    TWinTest::TearDown();
    UnregisterClass("Scroller");
  }
  // Requests the window received, in order.
  std::vector<int> Codes(UINT msg = WM_VSCROLL) {
    std::vector<int> out;
    for (const TLogged& e : Log())
      if (e.Hwnd == win && e.Msg == msg) out.push_back(LOWORD(e.W));
    return out;
  }
  // A point of the vertical bar: y along it, window coordinates.
  void Press(int y) {
    host.MouseMove(208, 100 + y);
    host.MouseDown();
    Pump();
  }
  void MoveTo(int x, int y) {
    host.MouseMove(100 + x, 100 + y);
    Pump();
  }
  void Release() {
    host.MouseUp();
    Pump();
  }
  void Wait(int ms) {
    host.AdvanceClock(std::uint64_t(ms));
    Pump();
  }
  // The repeat interval passing n times (a timer fires once per wait, however long).
  void Repeats(int n) {
    for (int i = 0; i < n; ++i) Wait(int(ScrollRepeatInterval));
  }
  int Pos() { return GetScrollPos(win, SB_VERT); }

  HWND win = nullptr;
};

TEST_F(ScrollBarTest, ValuesAreKeptInsideTheRangeAndThePage) {
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = 95;  // past the last position a whole page allows
  EXPECT_EQ(SetScrollInfo(win, SB_VERT, &si, false), 80);
  EXPECT_EQ(SetScrollPos(win, SB_VERT, -7, false), 80);  // returns the previous position
  EXPECT_EQ(Pos(), 0);
  // A page larger than the range shrinks to it; a maximum below the minimum is raised to it.
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
  si.nMin = 10;
  si.nMax = 5;
  si.nPage = 1000;
  SetScrollInfo(win, SB_VERT, &si, false);
  SCROLLINFO got;
  got.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(win, SB_VERT, &got));
  EXPECT_EQ(got.nMin, 10);
  EXPECT_EQ(got.nMax, 10);
  EXPECT_EQ(got.nPage, 1u);
  EXPECT_EQ(got.nPos, 10);
  EXPECT_EQ(got.nTrackPos, 10);
  // Extreme values do not overflow the arithmetic of the last position.
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = INT32_MIN;
  si.nMax = INT32_MAX;
  si.nPage = 0xFFFFFFFFu;
  si.nPos = 5;
  SetScrollInfo(win, SB_VERT, &si, true);
  got.fMask = SIF_ALL;
  GetScrollInfo(win, SB_VERT, &got);
  EXPECT_EQ(got.nPage, UINT(INT32_MAX));
  EXPECT_EQ(got.nPos, 1);  // the largest page still leaves 2^31 + 1 positions
  Pump();
  // A fresh bar has the platform's defaults; stale handles are refused.
  HWND other = CreateWindowEx(0, "Scroller", "", WS_POPUP | WS_HSCROLL, 0, 0, 50, 50, nullptr);
  int mn = -1, mx = -1;
  EXPECT_TRUE(GetScrollRange(other, SB_HORZ, &mn, &mx));
  EXPECT_EQ(mn, 0);
  EXPECT_EQ(mx, 100);
  DestroyWindow(other);
  EXPECT_FALSE(GetScrollRange(other, SB_HORZ, &mn, &mx));
  EXPECT_EQ(SetScrollInfo(other, SB_HORZ, &si, true), 0);
  EXPECT_EQ(SetScrollInfo(win, 7, &si, true), 0);
}

TEST_F(ScrollBarTest, TheBarComesAndGoesWithWhatThereIsToScroll) {
  TRect c;
  GetClientRect(win, &c);
  EXPECT_EQ(c.Width(), 100);
  SetScrollRange(win, SB_VERT, 0, 0, true);  // nothing to scroll: the bar goes
  EXPECT_FALSE(GetWindowLongPtr(win, GWL_STYLE) & WS_VSCROLL);
  GetClientRect(win, &c);
  EXPECT_EQ(c.Width(), 116);
  EXPECT_EQ(SendMessage(win, WM_NCHITTEST, 0, MAKELPARAM(208, 150)), HTCLIENT);
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE;
  si.nMax = 49;
  si.nPage = 10;
  SetScrollInfo(win, SB_VERT, &si, true);
  EXPECT_TRUE(GetWindowLongPtr(win, GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(SendMessage(win, WM_NCHITTEST, 0, MAKELPARAM(208, 150)), HTVSCROLL);
  // Asked to stay, the bar stays but is disabled: a click on it does nothing.
  si.fMask = SIF_PAGE | SIF_DISABLENOSCROLL;
  si.nPage = 50;
  SetScrollInfo(win, SB_VERT, &si, true);
  EXPECT_TRUE(GetWindowLongPtr(win, GWL_STYLE) & WS_VSCROLL);
  Pump();
  Log().clear();
  Press(190);
  Release();
  EXPECT_TRUE(Codes().empty());
  EXPECT_EQ(GetCapture(), nullptr);
  ShowScrollBar(win, SB_BOTH, true);
  EXPECT_TRUE(GetWindowLongPtr(win, GWL_STYLE) & WS_HSCROLL);
  EXPECT_EQ(SendMessage(win, WM_NCHITTEST, 0, MAKELPARAM(150, 292)), HTHSCROLL);
}

TEST_F(ScrollBarTest, AHeldArrowRepeatsAfterTheDelayWhileThePointerStaysOnIt) {
  Press(190);  // the down arrow
  EXPECT_EQ(Codes(), std::vector<int>{SB_LINEDOWN});
  EXPECT_EQ(GetCapture(), win);
  Wait(int(ScrollRepeatDelay) - 1);
  EXPECT_EQ(Codes().size(), 1u);
  Wait(1);
  EXPECT_EQ(Codes().size(), 2u);
  Repeats(3);
  EXPECT_EQ(Codes().size(), 5u);
  // Off the arrow the repeat pauses; back on it, it goes on.
  MoveTo(108, 100);
  Repeats(4);
  EXPECT_EQ(Codes().size(), 5u);
  MoveTo(108, 195);
  Repeats(1);
  EXPECT_EQ(Codes().size(), 6u);
  Release();
  EXPECT_EQ(Codes().back(), SB_ENDSCROLL);
  EXPECT_EQ(Pos(), 6);
  EXPECT_EQ(GetCapture(), nullptr);
  Repeats(10);
  EXPECT_EQ(Codes().size(), 7u);
  // The up arrow sends the other way; a disabled arrow does nothing.
  EnableScrollBar(win, SB_VERT, ESB_DISABLE_DOWN);
  Log().clear();
  Press(5);
  Release();
  Press(190);
  Release();
  EXPECT_EQ(Codes(), (std::vector<int>{SB_LINEUP, SB_ENDSCROLL}));
  EXPECT_EQ(Pos(), 5);
}

TEST_F(ScrollBarTest, AHeldPageClickStopsWhenTheThumbReachesThePointer) {
  // Thumb at 16..49; the pointer on the track at 100 is below it.
  Press(100);
  EXPECT_EQ(Codes(), std::vector<int>{SB_PAGEDOWN});
  EXPECT_EQ(Pos(), 20);
  Wait(int(ScrollRepeatDelay));
  EXPECT_EQ(Pos(), 40);
  // Now the thumb is at 16 + 135 * 40 / 80 = 83..116: it lies under the pointer.
  Repeats(5);
  EXPECT_EQ(Pos(), 40);
  Release();
  EXPECT_EQ(Codes(), (std::vector<int>{SB_PAGEDOWN, SB_PAGEDOWN, SB_ENDSCROLL}));
  Log().clear();
  Press(60);  // above the thumb
  Release();
  EXPECT_EQ(Codes(), (std::vector<int>{SB_PAGEUP, SB_ENDSCROLL}));
  EXPECT_EQ(Pos(), 20);
}

TEST_F(ScrollBarTest, DraggingTheThumbTracksAndEndsWithItsPosition) {
  std::vector<int> tracked;
  Press(30);  // 14 pixels into the thumb (16..49)
  EXPECT_TRUE(Codes().empty());
  MoveTo(108, 57);  // 27 of 135 pixels of travel: position 16
  SCROLLINFO si;
  si.fMask = SIF_POS | SIF_TRACKPOS;
  GetScrollInfo(win, SB_VERT, &si);
  EXPECT_EQ(si.nTrackPos, 16);
  MoveTo(108, 400);  // beyond the end: the last position
  GetScrollInfo(win, SB_VERT, &si);
  EXPECT_EQ(si.nTrackPos, 80);
  // Far off to the side the thumb goes back to where it was; it comes again with the pointer.
  MoveTo(-300, 100);
  GetScrollInfo(win, SB_VERT, &si);
  EXPECT_EQ(si.nTrackPos, 0);
  MoveTo(90, 57);
  for (const TLogged& e : Log())
    if (e.Msg == WM_VSCROLL) tracked.push_back(HIWORD(e.W));
  EXPECT_EQ(tracked, (std::vector<int>{16, 80, 0, 16}));
  Release();
  ASSERT_GE(Codes().size(), 2u);
  EXPECT_EQ(Codes()[Codes().size() - 2], SB_THUMBPOSITION);
  EXPECT_EQ(Codes().back(), SB_ENDSCROLL);
  EXPECT_EQ(Pos(), 16);
  si.fMask = SIF_TRACKPOS;
  GetScrollInfo(win, SB_VERT, &si);
  EXPECT_EQ(si.nTrackPos, 16);  // no drag: the track position is the position
}

// Destroys its window from inside the first scroll request.
LRESULT DestroyingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_VSCROLL) {
    DestroyWindow(h);
    return 0;
  }
  return DefWindowProc(h, m, w, l);
}

TEST_F(ScrollBarTest, AWindowGoingAwayMidTrackEndsTheTracking) {
  WNDCLASS wc;
  wc.lpszClassName = "Destroying";
  wc.lpfnWndProc = &DestroyingProc;
  RegisterClass(wc);
  HWND doomed = CreateWindowEx(0, "Destroying", "", WS_POPUP | WS_VSCROLL | WS_VISIBLE, 300, 300,
                               116, 200, nullptr);
  Pump();
  host.MouseMove(408, 490);
  host.MouseDown();
  Pump();
  EXPECT_FALSE(IsWindow(doomed));
  EXPECT_EQ(GetCapture(), nullptr);
  host.AdvanceClock(1000);
  host.MouseUp();
  Pump();
  // Losing the capture to someone else ends a track quietly too.
  Press(190);
  ReleaseCapture();
  Log().clear();
  Repeats(10);
  EXPECT_TRUE(Codes().empty());
  Release();
  EXPECT_TRUE(Codes().empty());
  UnregisterClass("Destroying");
}

TEST_F(ScrollBarTest, TheBarIsPaintedWithItsStates) {
  const TBitmap* store = GetWindowStore(win);
  ASSERT_NE(store, nullptr);
  TColor face = ColorToRGB(GetSysColor(COLOR_BTNFACE));
  TColor light = ColorToRGB(GetSysColor(COLOR_BTNHIGHLIGHT));
  // The track is a checkerboard of the scroll-bar colour and white: two
  // neighbours differ there and not on the thumb (16..49).
  auto checkered = [&](int y) {
    return store->GetPixel(108, y) != store->GetPixel(109, y) &&
           (store->GetPixel(108, y) == light || store->GetPixel(109, y) == light);
  };
  EXPECT_EQ(store->GetPixel(108, 30), face);
  EXPECT_EQ(store->GetPixel(109, 30), face);
  EXPECT_TRUE(checkered(100));
  Press(120);
  EXPECT_EQ(store->GetPixel(108, 150), ColorToRGB(GetSysColor(COLOR_3DDKSHADOW)));
  Release();
  EXPECT_TRUE(checkered(150));
  // The thumb follows the position.
  SetScrollPos(win, SB_VERT, 80, true);
  Pump();
  EXPECT_EQ(store->GetPixel(108, 170), face);
  EXPECT_TRUE(checkered(140));
  // A pressed arrow goes flat: its raised edge becomes a plain shadow line.
  TColor shadow = ColorToRGB(GetSysColor(COLOR_BTNSHADOW));
  EXPECT_NE(store->GetPixel(100, 184), shadow);
  Press(190);
  EXPECT_EQ(store->GetPixel(100, 184), shadow);
  Release();
  EXPECT_NE(store->GetPixel(100, 184), shadow);
}

}  // namespace
}  // namespace vm::test

namespace vm::test {
namespace {

// A child's frame drawn at once must not be lost under its parent's later
// repaint of the same place: moving the child, or its bar changing, while
// the parent (without WS_CLIPCHILDREN) still owes a repaint there.
TEST_F(ScrollBarTest, AChildFrameSurvivesItsParentsRepaint) {
  HWND parent =
      CreateWindowEx(0, "TestWindow", "", WS_POPUP | WS_VISIBLE, 400, 100, 300, 200, nullptr);
  HWND child = CreateWindowEx(0, "Scroller", "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL, 10,
                              10, 100, 100, parent);
  Pump();
  const TBitmap* store = GetWindowStore(parent);
  TColor frame = ColorToRGB(GetSysColor(COLOR_WINDOWFRAME));
  SetWindowPos(child, nullptr, 15, 15, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SetScrollPos(child, SB_VERT, 50, true);
  Pump();
  EXPECT_EQ(store->GetPixel(15, 50), frame);   // the left border
  EXPECT_EQ(store->GetPixel(60, 114), frame);  // the bottom border
  // The bar's arrow is there too (its face, not the parent's background).
  EXPECT_EQ(store->GetPixel(105, 20), ColorToRGB(GetSysColor(COLOR_BTNFACE)));
}

}  // namespace
}  // namespace vm::test
