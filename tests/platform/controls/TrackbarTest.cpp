#include <gtest/gtest.h>

#include <vector>

#include "ControlTestSupport.h"
#include "platform/gfx/SysColors.h"

namespace vm::test {
namespace {

struct TScroll {
  UINT Msg;
  int Code;
  int Pos;
};

class TrackbarTest : public TControlTest {
 protected:
  // A 200 x 45 bar with tick marks below: thumb 20 long and 11 wide, channel
  // from x = 8 to 192 at y = 17..21, thumb travel 173 pixels over 0..100.
  HWND MakeBar(DWORD style = TBS_AUTOTICKS | WS_TABSTOP, int w = 200, int h = 45) {
    return Make(TRACKBAR_CLASS, "", style, 10, 10, w, h, 5);
  }
  std::vector<TScroll> Received() {
    std::vector<TScroll> out;
    for (const TParentMsg& m : ParentLog().Messages)
      if (m.Msg == WM_HSCROLL || m.Msg == WM_VSCROLL) {
        EXPECT_EQ(m.L, LPARAM(reinterpret_cast<std::uintptr_t>(bar)));
        out.push_back({m.Msg, LOWORD(m.W), std::int16_t(HIWORD(m.W))});
      }
    return out;
  }
  std::vector<int> Codes() {
    std::vector<int> out;
    for (const TScroll& s : Received()) out.push_back(s.Code);
    return out;
  }
  int Pos() { return int(SendMessage(bar, TBM_GETPOS)); }
  TRect ThumbRect() {
    TRect r;
    SendMessage(bar, TBM_GETTHUMBRECT, 0, LPARAM(reinterpret_cast<std::uintptr_t>(&r)));
    return r;
  }
  TRect ChannelRect() {
    TRect r;
    SendMessage(bar, TBM_GETCHANNELRECT, 0, LPARAM(reinterpret_cast<std::uintptr_t>(&r)));
    return r;
  }

  HWND bar = nullptr;
};

TEST_F(TrackbarTest, RangePositionSizesAndTicks) {
  bar = MakeBar();
  EXPECT_EQ(SendMessage(bar, TBM_GETRANGEMIN), 0);
  EXPECT_EQ(SendMessage(bar, TBM_GETRANGEMAX), 100);
  EXPECT_EQ(SendMessage(bar, TBM_GETLINESIZE), 1);
  EXPECT_EQ(SendMessage(bar, TBM_GETPAGESIZE), 20);  // a fifth of the range
  SendMessage(bar, TBM_SETPOS, 1, 250);
  EXPECT_EQ(Pos(), 100);
  SendMessage(bar, TBM_SETPOS, 1, -5);
  EXPECT_EQ(Pos(), 0);
  // The 16-bit range is signed; a range that excludes the position pulls it in.
  SendMessage(bar, TBM_SETRANGE, 1, MAKELONG(-10, 40));
  EXPECT_EQ(SendMessage(bar, TBM_GETRANGEMIN), -10);
  EXPECT_EQ(SendMessage(bar, TBM_GETRANGEMAX), 40);
  EXPECT_EQ(SendMessage(bar, TBM_GETPAGESIZE), 10);
  SendMessage(bar, TBM_SETRANGEMIN, 1, 20);
  EXPECT_EQ(Pos(), 20);
  SendMessage(bar, TBM_SETRANGEMAX, 1, 100000);  // 32 bits
  EXPECT_EQ(SendMessage(bar, TBM_GETRANGEMAX), 100000);
  // Once set, the page stays what it was set to.
  EXPECT_EQ(SendMessage(bar, TBM_SETPAGESIZE, 0, 7), 19996);
  SendMessage(bar, TBM_SETRANGE, 1, MAKELONG(0, 100));
  EXPECT_EQ(SendMessage(bar, TBM_GETPAGESIZE), 7);
  // -1 goes back to the automatic page, which follows the range again.
  EXPECT_EQ(SendMessage(bar, TBM_SETPAGESIZE, 0, -1), 7);
  EXPECT_EQ(SendMessage(bar, TBM_GETPAGESIZE), 20);
  SendMessage(bar, TBM_SETRANGE, 1, MAKELONG(0, 50));
  EXPECT_EQ(SendMessage(bar, TBM_GETPAGESIZE), 10);
  SendMessage(bar, TBM_SETRANGE, 1, MAKELONG(0, 100));
  EXPECT_EQ(SendMessage(bar, TBM_SETLINESIZE, 0, 3), 1);
  EXPECT_EQ(SendMessage(bar, TBM_GETLINESIZE), 3);

  // Tick marks: both ends always, the automatic ones every Frequency, and
  // the ones set by hand, each once and in order.
  EXPECT_EQ(SendMessage(bar, TBM_GETNUMTICS), 101);
  SendMessage(bar, TBM_SETTICFREQ, 25, 0);
  EXPECT_EQ(SendMessage(bar, TBM_GETNUMTICS), 5);
  EXPECT_TRUE(SendMessage(bar, TBM_SETTIC, 0, 60));
  EXPECT_TRUE(SendMessage(bar, TBM_SETTIC, 0, 50));   // already an automatic one
  EXPECT_TRUE(SendMessage(bar, TBM_SETTIC, 0, 100));  // an end
  EXPECT_FALSE(SendMessage(bar, TBM_SETTIC, 0, 101));
  EXPECT_EQ(SendMessage(bar, TBM_GETNUMTICS), 6);
  std::vector<int> tics;
  for (WPARAM i = 0; i < 4; ++i) tics.push_back(int(SendMessage(bar, TBM_GETTIC, i)));
  EXPECT_EQ(tics, (std::vector<int>{25, 50, 60, 75}));
  EXPECT_EQ(SendMessage(bar, TBM_GETTIC, 4), -1);
  const auto* ptics = reinterpret_cast<const DWORD*>(SendMessage(bar, TBM_GETPTICS));
  ASSERT_NE(ptics, nullptr);
  EXPECT_EQ(ptics[2], 60u);
  // Pixel positions: the thumb's centre at that value. 50 is half the
  // travel (86.5, to the even 86) past the centre at the minimum (8 + 5).
  EXPECT_EQ(SendMessage(bar, TBM_GETTICPOS, 1), 8 + 5 + 86);
  EXPECT_EQ(SendMessage(bar, TBM_GETTICPOS, 9), -1);
  SendMessage(bar, TBM_CLEARTICS, 1);
  EXPECT_EQ(SendMessage(bar, TBM_GETNUMTICS), 5);

  // No tick marks: none counted. A huge range with automatic ticks every 1
  // stays bounded instead of making billions.
  HWND plain = Make(TRACKBAR_CLASS, "", TBS_NOTICKS | TBS_AUTOTICKS, 10, 60, 200, 30, 6);
  EXPECT_EQ(SendMessage(plain, TBM_GETNUMTICS), 0);
  HWND huge = Make(TRACKBAR_CLASS, "", TBS_AUTOTICKS, 10, 100, 200, 30, 7);
  SendMessage(huge, TBM_SETRANGEMIN, 0, INT32_MIN);
  SendMessage(huge, TBM_SETRANGEMAX, 0, INT32_MAX);
  EXPECT_LE(SendMessage(huge, TBM_GETNUMTICS), 10002);
  SendMessage(huge, TBM_SETPOS, 1, INT32_MAX);
  EXPECT_EQ(SendMessage(huge, TBM_GETPOS), INT32_MAX);
  Pump();  // paints without overflow
  // A range whose maximum lies below its minimum keeps the position at the minimum.
  SendMessage(huge, TBM_SETRANGEMAX, 0, INT32_MIN + 5);
  SendMessage(huge, TBM_SETRANGEMIN, 0, 0);
  EXPECT_EQ(SendMessage(huge, TBM_GETPOS), 0);
  Pump();
}

TEST_F(TrackbarTest, RectanglesAreWhatIsPainted) {
  bar = MakeBar();
  Pump();
  EXPECT_EQ(ChannelRect(), Rect(8, 17, 192, 21));
  EXPECT_EQ(ThumbRect(), Rect(8, 9, 19, 29));
  EXPECT_EQ(SendMessage(bar, TBM_GETTHUMBLENGTH), 20);
  SendMessage(bar, TBM_SETPOS, 1, 100);
  EXPECT_EQ(ThumbRect(), Rect(181, 9, 192, 29));
  SendMessage(bar, TBM_SETPOS, 1, 50);
  EXPECT_EQ(ThumbRect().Left, 8 + 86);
  Pump();
  // On screen (the bar at 10, 10 of the parent): the thumb's light top-left
  // corner, its dark right edge, the point's tip, the channel's shadow top
  // edge and a tick mark below the thumb's tip.
  const TBitmap shot = Shot();
  const TRect t = ThumbRect().Offset(10, 10);
  EXPECT_EQ(shot.GetPixel(t.Left, t.Top), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(shot.GetPixel(t.Right - 1, t.Top + 3), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(shot.GetPixel(t.Left + 5, t.Bottom - 1), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(shot.GetPixel(t.Left + 5, t.Bottom), GetSysColor(COLOR_BTNFACE));
  const TRect c = ChannelRect().Offset(10, 10);
  EXPECT_EQ(shot.GetPixel(c.Left + 2, c.Top), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(shot.GetPixel(c.Left + 2, c.Bottom - 1), GetSysColor(COLOR_BTNHIGHLIGHT));
  const int tick = int(SendMessage(bar, TBM_GETTICPOS, 49)) + 10;  // the tick at 50
  EXPECT_EQ(tick, t.Left + 5);
  EXPECT_EQ(shot.GetPixel(tick, t.Bottom + 1), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(shot.GetPixel(tick, t.Bottom + 2), GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(shot.GetPixel(tick, t.Bottom + 2 + 3), GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(shot.GetPixel(tick, t.Bottom + 2 + 4), GetSysColor(COLOR_BTNFACE));

  // A fixed thumb length is kept even where it does not fit: a 19-high bar
  // without ticks and a 23-long thumb cuts 2 pixels at each side.
  HWND fixed = Make(TRACKBAR_CLASS, "", TBS_NOTICKS | TBS_FIXEDLENGTH, 10, 60, 258, 19, 6);
  SendMessage(fixed, TBM_SETTHUMBLENGTH, 23);
  TRect r;
  SendMessage(fixed, TBM_GETTHUMBRECT, 0, LPARAM(reinterpret_cast<std::uintptr_t>(&r)));
  EXPECT_EQ(r, Rect(8, -2, 19, 21));
  // Without TBS_FIXEDLENGTH the length follows the height and the set one is only kept.
  SendMessage(bar, TBM_SETTHUMBLENGTH, 30);
  EXPECT_EQ(SendMessage(bar, TBM_GETTHUMBLENGTH), 20);

  // A vertical bar: the thumb lies across, the channel's rectangle comes
  // back with x and y exchanged.
  HWND vert = Make(TRACKBAR_CLASS, "", TBS_VERT | TBS_BOTH | TBS_AUTOTICKS, 250, 10, 45, 150, 8);
  SendMessage(vert, TBM_GETTHUMBRECT, 0, LPARAM(reinterpret_cast<std::uintptr_t>(&r)));
  EXPECT_EQ(r, Rect(12, 8, 32, 19));  // (45 - (6 + 20 + 6)) / 2 spare, then 6 for the ticks
  SendMessage(vert, TBM_GETCHANNELRECT, 0, LPARAM(reinterpret_cast<std::uintptr_t>(&r)));
  EXPECT_EQ(r, Rect(8, 20, 142, 24));
}

TEST_F(TrackbarTest, KeysMoveTheThumbAndTellTheParent) {
  bar = MakeBar();
  EXPECT_EQ(SendMessage(bar, WM_GETDLGCODE), DLGC_WANTARROWS);
  SetFocus(bar);
  SendMessage(bar, TBM_SETPOS, 1, 50);
  Key(VK_RIGHT);
  Key(VK_UP);  // up is toward the minimum, as left is
  Key(VK_NEXT);
  Key(VK_PRIOR);
  Key(VK_END);
  Key(VK_RIGHT);  // already at the end: nothing moves, nothing is said but the end of the track
  Key(VK_HOME);
  const std::vector<TScroll> got = Received();
  EXPECT_EQ(Codes(), (std::vector<int>{TB_LINEDOWN, TB_ENDTRACK, TB_LINEUP, TB_ENDTRACK,
                                       TB_PAGEDOWN, TB_ENDTRACK, TB_PAGEUP, TB_ENDTRACK, TB_BOTTOM,
                                       TB_ENDTRACK, TB_ENDTRACK, TB_TOP, TB_ENDTRACK}));
  for (const TScroll& s : got) EXPECT_EQ(s.Msg, UINT(WM_HSCROLL));
  EXPECT_EQ(Pos(), 0);
  // The parent reads the new position when it hears the code.
  std::vector<int> seen;
  ParentLog().Handler = [&](HWND, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_HSCROLL && LOWORD(w) != TB_ENDTRACK) seen.push_back(Pos());
    return std::nullopt;
  };
  Key(VK_NEXT);
  Key(VK_DOWN);
  EXPECT_EQ(seen, (std::vector<int>{20, 21}));
  // A vertical bar reports WM_VSCROLL; down goes toward the maximum.
  DestroyWindow(bar);
  ParentLog().Messages.clear();
  bar = MakeBar(TBS_VERT | WS_TABSTOP, 45, 150);
  SetFocus(bar);
  Key(VK_DOWN);
  ASSERT_FALSE(Received().empty());
  EXPECT_EQ(Received()[0].Msg, UINT(WM_VSCROLL));
  EXPECT_EQ(Pos(), 1);
}

TEST_F(TrackbarTest, DraggingTheThumb) {
  bar = MakeBar();
  Pump();
  Press(bar, 13, 15);  // inside the thumb, 5 pixels from its left edge
  EXPECT_EQ(GetFocus(), bar);
  EXPECT_TRUE(Received().empty());
  MoveTo(bar, 13 + 173 / 4, 40);  // a quarter of the travel, below the bar: still dragging
  EXPECT_EQ(Pos(), 25);
  MoveTo(bar, 13 + 173 / 4, 40);  // no movement, no message
  MoveTo(bar, 400, 15);           // far past the end
  EXPECT_EQ(Pos(), 100);
  MoveTo(bar, 13 + 173 / 2, 15);
  Release();
  const std::vector<TScroll> got = Received();
  ASSERT_EQ(got.size(), 5u);
  EXPECT_EQ(got[0].Code, TB_THUMBTRACK);
  EXPECT_EQ(got[0].Pos, 25);
  EXPECT_EQ(got[1].Code, TB_THUMBTRACK);
  EXPECT_EQ(got[1].Pos, 100);
  EXPECT_EQ(got[2].Code, TB_THUMBTRACK);
  EXPECT_EQ(got[2].Pos, 50);
  EXPECT_EQ(got[3].Code, TB_THUMBPOSITION);
  EXPECT_EQ(got[3].Pos, 50);
  EXPECT_EQ(got[4].Code, TB_ENDTRACK);
  EXPECT_EQ(GetCapture(), nullptr);
  // After the release the pointer moves the thumb no more.
  MoveTo(bar, 20, 15);
  EXPECT_EQ(Pos(), 50);
}

TEST_F(TrackbarTest, HoldingTheButtonOnTheChannelPagesUntilTheThumbIsThere) {
  bar = MakeBar();
  SendMessage(bar, TBM_SETPAGESIZE, 0, 10);
  Pump();
  // The pointer over the value 70 (its thumb would start at 8 + 121).
  Press(bar, 8 + 121 + 5, 19);
  EXPECT_EQ(Pos(), 10);
  EXPECT_EQ(Codes(), (std::vector<int>{TB_PAGEDOWN}));
  host.AdvanceClock(ScrollRepeatDelay - 1);
  Pump();
  EXPECT_EQ(Pos(), 10);
  host.AdvanceClock(1);
  Pump();
  EXPECT_EQ(Pos(), 20);
  for (int i = 0; i < 10; ++i) {
    host.AdvanceClock(ScrollRepeatInterval);
    Pump();
  }
  // 70 has the thumb under the pointer: no further page.
  EXPECT_EQ(Pos(), 70);
  Release();
  EXPECT_EQ(Codes().back(), TB_ENDTRACK);
  EXPECT_EQ(Codes().size(), 8u);
  host.AdvanceClock(1000);
  Pump();
  EXPECT_EQ(Pos(), 70);
  // A press before the thumb pages toward the minimum, and the thumb is not shown held.
  ParentLog().Messages.clear();
  Press(bar, 2, 19);
  EXPECT_EQ(Pos(), 60);
  Release();
  EXPECT_EQ(Codes(), (std::vector<int>{TB_PAGEUP, TB_ENDTRACK}));
}

TEST_F(TrackbarTest, AParentThatDestroysTheBarWhileItPagesIsSafe) {
  bar = MakeBar();
  Pump();
  ParentLog().Handler = [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_HSCROLL && IsWindow(bar) && Pos() >= 40) DestroyWindow(bar);
    return std::nullopt;
  };
  Press(bar, 190, 19);
  for (int i = 0; i < 5; ++i) {
    host.AdvanceClock(ScrollRepeatDelay);
    Pump();
  }
  Release();
  EXPECT_FALSE(IsWindow(bar));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(TrackbarTest, Looks) {
  // Left: horizontal with automatic ticks every 10 below; below it one with
  // ticks on top, one without ticks and the focus, a disabled one. Right: a
  // vertical bar with ticks on both sides and one with ticks on the left.
  bar = Make(TRACKBAR_CLASS, "", TBS_AUTOTICKS, 10, 10, 200, 45, 1);
  SendMessage(bar, TBM_SETTICFREQ, 10);
  SendMessage(bar, TBM_SETPOS, 1, 30);
  HWND top = Make(TRACKBAR_CLASS, "", TBS_AUTOTICKS | TBS_TOP, 10, 60, 200, 45, 2);
  SendMessage(top, TBM_SETTICFREQ, 20);
  SendMessage(top, TBM_SETPOS, 1, 100);
  HWND focused = Make(TRACKBAR_CLASS, "", TBS_NOTICKS | WS_TABSTOP, 10, 110, 200, 30, 3);
  SendMessage(focused, TBM_SETPOS, 1, 65);
  SetFocus(focused);
  HWND off = Make(TRACKBAR_CLASS, "", TBS_AUTOTICKS, 10, 145, 200, 45, 4);
  SendMessage(off, TBM_SETTICFREQ, 25);
  SendMessage(off, TBM_SETPOS, 1, 50);
  EnableWindow(off, false);
  HWND both = Make(TRACKBAR_CLASS, "", TBS_VERT | TBS_BOTH | TBS_AUTOTICKS, 220, 10, 45, 180, 5);
  SendMessage(both, TBM_SETTICFREQ, 20);
  SendMessage(both, TBM_SETPOS, 1, 40);
  HWND left = Make(TRACKBAR_CLASS, "", TBS_VERT | TBS_LEFT | TBS_AUTOTICKS, 270, 10, 45, 180, 6);
  SendMessage(left, TBM_SETTICFREQ, 50);
  SendMessage(left, TBM_SETTIC, 0, 10);
  Golden("trackbar-states", ShotOf(Rect(0, 0, 325, 200)));
  // The thumb held by the mouse.
  Press(bar, 8 + 52 + 5, 15);
  Golden("trackbar-thumb-held", ShotOf(Rect(10, 10, 210, 55)));
  Release();
}

}  // namespace
}  // namespace vm::test
