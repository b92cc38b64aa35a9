#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "ControlTestSupport.h"

namespace vm::test {
namespace {

struct TScrollMsg {
  UINT Msg;
  int Code;
  int Pos;
  HWND From;
};

// The parent moves its bars as programs do: every request moves the position
// by a line or a page, the thumb by its track position.
std::optional<LRESULT> MoveBar(HWND, UINT m, WPARAM w, LPARAM l) {
  if (m != WM_VSCROLL && m != WM_HSCROLL) return std::nullopt;
  HWND bar = reinterpret_cast<HWND>(l);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(bar, SB_CTL, &si);
  int pos = si.nPos;
  switch (LOWORD(w)) {
    case SB_LINEUP:
      --pos;
      break;
    case SB_LINEDOWN:
      ++pos;
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
    case SB_TOP:
      pos = si.nMin;
      break;
    case SB_BOTTOM:
      pos = si.nMax;
      break;
  }
  SetScrollPos(bar, SB_CTL, pos, true);
  return 0;
}

class ScrollBarControlTest : public TControlTest {
 protected:
  void SetUp() override {
    TControlTest::SetUp();
    ParentLog().Handler = &MoveBar;
    // A vertical bar of 100 lines in pages of 10 at (10, 10), 16 x 150: its
    // track is 118 pixels, the thumb 11 of them.
    vbar = Make("ScrollBar", "", WS_TABSTOP | SBS_VERT, 10, 10, 16, 150, 7);
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMax = 99;
    si.nPage = 10;
    SetScrollInfo(vbar, SB_CTL, &si, true);
    Pump();
  }
  // What the parent heard from its bars, in order.
  std::vector<TScrollMsg> Received() {
    std::vector<TScrollMsg> out;
    for (const TParentMsg& m : ParentLog().Messages)
      if (m.Msg == WM_VSCROLL || m.Msg == WM_HSCROLL)
        out.push_back({m.Msg, LOWORD(m.W), HIWORD(m.W), reinterpret_cast<HWND>(m.L)});
    return out;
  }
  std::vector<int> Codes() {
    std::vector<int> out;
    for (const TScrollMsg& m : Received()) out.push_back(m.Code);
    return out;
  }

  HWND vbar = nullptr;
};

TEST_F(ScrollBarControlTest, TheParentHearsEveryRequestWithTheControlInLParam) {
  Press(vbar, 8, 145);  // the down arrow
  host.AdvanceClock(ScrollRepeatDelay);
  Pump();
  Release();
  EXPECT_EQ(Codes(), (std::vector<int>{SB_LINEDOWN, SB_LINEDOWN, SB_ENDSCROLL}));
  for (const TScrollMsg& m : Received()) {
    EXPECT_EQ(m.Msg, UINT(WM_VSCROLL));
    EXPECT_EQ(m.From, vbar);
  }
  EXPECT_EQ(GetScrollPos(vbar, SB_CTL), 2);
  // A horizontal bar reports WM_HSCROLL; its thumb drags.
  HWND hbar = CreateWindowEx(0, "ScrollBar", "", WS_CHILD | WS_VISIBLE | SBS_HORZ, 40, 10, 200, 16,
                             parent, 8);
  SetScrollRange(hbar, SB_CTL, 0, 152, true);  // page 0: a 16-pixel thumb, 1 pixel a position
  Pump();
  ParentLog().Messages.clear();
  Press(hbar, 20, 8);
  TPoint p{60, 8};
  ClientToScreen(hbar, &p);
  host.MouseMove(p.X, p.Y);
  Pump();
  Release();
  ASSERT_EQ(Received().size(), 3u);
  EXPECT_EQ(Received()[0].Msg, UINT(WM_HSCROLL));
  EXPECT_EQ(Received()[0].Code, SB_THUMBTRACK);
  EXPECT_EQ(Received()[0].Pos, 40);
  EXPECT_EQ(Received()[1].Code, SB_THUMBPOSITION);
  EXPECT_EQ(Received()[2].Code, SB_ENDSCROLL);
  EXPECT_EQ(GetScrollPos(hbar, SB_CTL), 40);
}

TEST_F(ScrollBarControlTest, ValuesGoThroughTheControlsMessages) {
  // A subclass sees SetScrollInfo arrive as SBM_SETSCROLLINFO and may change it.
  static WNDPROC previous;
  previous = SetWindowProc(
      vbar, +[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == SBM_SETSCROLLINFO) {
          SCROLLINFO si = *reinterpret_cast<const SCROLLINFO*>(l);
          si.nPos += 1;
          return CallWindowProc(previous, h, m, w, LPARAM(&si));
        }
        return CallWindowProc(previous, h, m, w, l);
      });
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = 41;
  EXPECT_EQ(SetScrollInfo(vbar, SB_CTL, &si, true), 42);
  SetWindowProc(vbar, previous);
  EXPECT_EQ(SendMessage(vbar, SBM_GETPOS), 42);
  EXPECT_EQ(SendMessage(vbar, SBM_SETPOS, 95, 1), 42);
  EXPECT_EQ(SendMessage(vbar, SBM_GETPOS), 90);  // the last position of a 10-line page
  EXPECT_EQ(SendMessage(vbar, SBM_SETRANGE, 200, 300), 90);
  int mn = 0, mx = 0;
  SendMessage(vbar, SBM_GETRANGE, WPARAM(reinterpret_cast<std::uintptr_t>(&mn)),
              LPARAM(reinterpret_cast<std::uintptr_t>(&mx)));
  EXPECT_EQ(mn, 200);
  EXPECT_EQ(mx, 300);
  EXPECT_EQ(GetScrollPos(vbar, SB_CTL), 200);
  SendMessage(vbar, SBM_GETRANGE, 0, 0);  // null pointers are ignored
  // Both arrows off: nothing reacts.
  EXPECT_TRUE(EnableScrollBar(vbar, SB_CTL, ESB_DISABLE_BOTH));
  EXPECT_FALSE(EnableScrollBar(vbar, SB_CTL, ESB_DISABLE_BOTH));
  Press(vbar, 8, 145);
  Release();
  EXPECT_TRUE(Received().empty());
}

TEST_F(ScrollBarControlTest, KeysScrollAFocusedBar) {
  Press(vbar, 8, 100);  // a click gives a tab-stop bar the focus
  Release();
  EXPECT_EQ(GetFocus(), vbar);
  ParentLog().Messages.clear();
  host.Key(VK_DOWN);
  host.Key(VK_NEXT);
  host.Key(VK_END);
  host.Key(VK_HOME);
  Pump();
  EXPECT_EQ(Codes(), (std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL, SB_PAGEDOWN, SB_ENDSCROLL,
                                       SB_BOTTOM, SB_ENDSCROLL, SB_TOP, SB_ENDSCROLL}));
  EXPECT_EQ(GetScrollPos(vbar, SB_CTL), 0);
  // A disabled bar takes no clicks.
  EnableWindow(vbar, false);
  ParentLog().Messages.clear();
  Press(vbar, 8, 5);
  Release();
  EXPECT_TRUE(Received().empty());
}

TEST_F(ScrollBarControlTest, StartsEmptyAndTurnsOffAsThePlatform) {
  // A new control scrolls nothing (0..0); a window's own bars start at 0..100.
  HWND fresh = Make("ScrollBar", "", SBS_HORZ | WS_TABSTOP, 40, 10, 150, 16, 9);
  int mn = -1, mx = -1;
  EXPECT_TRUE(GetScrollRange(fresh, SB_CTL, &mn, &mx));
  EXPECT_EQ(mn, 0);
  EXPECT_EQ(mx, 0);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  EXPECT_TRUE(GetScrollInfo(fresh, SB_CTL, &si));
  EXPECT_EQ(si.nMax, 0);
  HWND barred = Make("Static", "", WS_VSCROLL, 40, 40, 100, 100, 10);
  EXPECT_TRUE(GetScrollInfo(barred, SB_HORZ, &si));
  EXPECT_EQ(si.nMax, 100);
  // A window without bars has no values until a program gives it some.
  HWND bare = Make("Static", "", 0, 150, 40, 100, 100, 11);
  EXPECT_FALSE(GetScrollInfo(bare, SB_VERT, &si));
  EXPECT_FALSE(GetScrollInfo(bare, SB_HORZ, &si));
  si.fMask = SIF_RANGE;
  si.nMin = 0;
  si.nMax = 5;
  SetScrollInfo(bare, SB_VERT, &si, false);
  si.fMask = SIF_RANGE;
  EXPECT_TRUE(GetScrollInfo(bare, SB_VERT, &si));
  EXPECT_EQ(si.nMax, 5);

  // Both arrows off disable the control; both on enable it again.
  EXPECT_TRUE(EnableScrollBar(vbar, SB_CTL, ESB_DISABLE_BOTH));
  EXPECT_FALSE(IsWindowEnabled(vbar));
  EXPECT_TRUE(EnableScrollBar(vbar, SB_CTL, ESB_ENABLE_BOTH));
  EXPECT_TRUE(IsWindowEnabled(vbar));
  EnableScrollBar(vbar, SB_CTL, ESB_DISABLE_UP);
  EXPECT_TRUE(IsWindowEnabled(vbar));
  EnableScrollBar(vbar, SB_CTL, ESB_ENABLE_BOTH);

  // Nothing left to scroll with SIF_DISABLENOSCROLL: the arrows are off for
  // the mouse and the keyboard alike, until a range brings them back.
  Press(vbar, 8, 100);
  Release();
  ASSERT_EQ(GetFocus(), vbar);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = 9;
  si.nPage = 10;
  SetScrollInfo(vbar, SB_CTL, &si, true);
  ParentLog().Messages.clear();
  Key(VK_DOWN);
  Press(vbar, 8, 145);
  Release();
  EXPECT_TRUE(Received().empty());
  si.fMask = SIF_PAGE;  // a page alone does not turn them back on
  si.nPage = 5;
  SetScrollInfo(vbar, SB_CTL, &si, true);
  Key(VK_DOWN);
  EXPECT_TRUE(Received().empty());
  si.fMask = SIF_RANGE;
  si.nMax = 99;
  SetScrollInfo(vbar, SB_CTL, &si, true);
  Key(VK_DOWN);
  EXPECT_EQ(Codes(), (std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL}));
}

TEST_F(ScrollBarControlTest, Looks) {
  // Left to right: normal, at the end, disabled window, down arrow held, page held; a size grip.
  DestroyWindow(vbar);
  std::vector<HWND> bars;
  for (int i = 0; i < 5; ++i) {
    HWND b = CreateWindowEx(0, "ScrollBar", "", WS_CHILD | WS_VISIBLE | SBS_VERT, 10 + 24 * i, 10,
                            16, 100, parent, 10 + i);
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMax = 99;
    si.nPage = 25;
    si.nPos = i == 1 ? 75 : 20;
    SetScrollInfo(b, SB_CTL, &si, true);
    bars.push_back(b);
  }
  EnableWindow(bars[2], false);
  HWND h = CreateWindowEx(0, "ScrollBar", "", WS_CHILD | WS_VISIBLE | SBS_HORZ, 10, 120, 136, 16,
                          parent, 20);
  SetScrollRange(h, SB_CTL, 0, 9, true);
  EnableScrollBar(h, SB_CTL, ESB_DISABLE_LEFT);
  CreateWindowEx(0, "ScrollBar", "", WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP, 150, 120, 16, 16, parent,
                 21);
  Press(bars[3], 8, 95);
  Golden("scrollbar-states-arrow-held", ShotOf(Rect(0, 0, 180, 146)));
  Release();
  Press(bars[4], 8, 80);
  Golden("scrollbar-states", ShotOf(Rect(0, 0, 180, 146)));
  Release();
}

}  // namespace
}  // namespace vm::test
