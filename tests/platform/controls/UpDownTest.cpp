#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlTestSupport.h"

namespace vm::test {
namespace {

// What the parent heard, in order: "delta <pos> <delta>", "pos <pos>", "end".
class UpDownTest : public TControlTest {
 protected:
  void SetUp() override {
    TControlTest::SetUp();
    ParentLog().Handler = [this](HWND, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
      if (m == WM_NOTIFY) {
        const auto* nm = reinterpret_cast<const NMUPDOWN*>(l);
        if (nm->hdr.code != UDN_DELTAPOS) return std::nullopt;
        EXPECT_EQ(nm->hdr.hwndFrom, ud);
        heard.push_back("delta " + std::to_string(nm->iPos) + " " + std::to_string(nm->iDelta));
        return refuse ? 1 : 0;
      }
      if (m == WM_VSCROLL || m == WM_HSCROLL) {
        EXPECT_EQ(l, LPARAM(reinterpret_cast<std::uintptr_t>(ud)));
        std::string prefix = m == WM_HSCROLL ? "h" : "";
        if (LOWORD(w) == SB_THUMBPOSITION)
          heard.push_back(prefix + "pos " + std::to_string(HIWORD(w)));
        else if (LOWORD(w) == SB_ENDSCROLL)
          heard.push_back(prefix + "end");
      }
      return std::nullopt;
    };
  }
  // An edit 80 x 21 at (10, 10) with a 16-wide up-down attached on its right.
  void MakePair(DWORD extra = UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS) {
    edit = Make(WC_EDIT, "", WS_TABSTOP | ES_AUTOHSCROLL, 10, 10, 80, 21, 1, WS_EX_CLIENTEDGE);
    ud = Make(UPDOWN_CLASS, "", extra, 0, 0, 16, 30, 2);
    SendMessage(ud, UDM_SETBUDDY, WPARAM(reinterpret_cast<std::uintptr_t>(edit)));
    Pump();
  }
  TRect RectIn(HWND h) {
    TRect r;
    GetWindowRect(h, &r);
    TPoint p{r.Left, r.Top};
    ScreenToClient(parent, &p);
    return Bounds(p.X, p.Y, r.Width(), r.Height());
  }
  int Pos(bool* error = nullptr) {
    return int(SendMessage(ud, UDM_GETPOS32, 0, LPARAM(reinterpret_cast<std::uintptr_t>(error))));
  }
  void Range(int mn, int mx) { SendMessage(ud, UDM_SETRANGE32, WPARAM(mn), LPARAM(mx)); }

  HWND edit = nullptr;
  HWND ud = nullptr;
  std::vector<std::string> heard;
  bool refuse = false;
};

using Heard = std::vector<std::string>;

TEST_F(UpDownTest, TheBuddyIsAttachedNarrowedAndShowsThePosition) {
  MakePair();
  EXPECT_EQ(SendMessage(ud, UDM_GETBUDDY), LRESULT(reinterpret_cast<std::uintptr_t>(edit)));
  EXPECT_EQ(RectIn(edit), Rect(10, 10, 74, 31));
  EXPECT_EQ(RectIn(ud), Rect(74, 10, 90, 31));
  EXPECT_EQ(GetWindowText(edit), "0");
  int mn = -1, mx = -1;
  SendMessage(ud, UDM_GETRANGE32, WPARAM(reinterpret_cast<std::uintptr_t>(&mn)),
              LPARAM(reinterpret_cast<std::uintptr_t>(&mx)));
  EXPECT_EQ(mn, 0);
  EXPECT_EQ(mx, 100);

  // The size fields of the photo program: 10..40000, digit groups in the text.
  Range(10, 40000);
  EXPECT_EQ(GetWindowText(edit), "10");  // the position was pulled into the range
  EXPECT_EQ(SendMessage(ud, UDM_SETPOS32, 0, 1024), 10);
  EXPECT_EQ(GetWindowText(edit),
            "1\xC2\xA0"
            "024");
  bool error = true;
  EXPECT_EQ(Pos(&error), 1024);
  EXPECT_FALSE(error);
  SendMessage(ud, UDM_SETPOS32, 0, 99999);
  EXPECT_EQ(GetWindowText(edit),
            "40\xC2\xA0"
            "000");

  // What is typed is read back: plain digits, groups with spaces, a number
  // outside the range (clamped); not a number is an error that keeps the position.
  SetWindowText(edit, "768");
  EXPECT_EQ(Pos(&error), 768);
  SetWindowText(edit, " 12 345 ");
  EXPECT_EQ(Pos(&error), 12345);
  SetWindowText(edit, "5");
  EXPECT_EQ(Pos(&error), 10);
  EXPECT_TRUE(error);  // pulled into the range: not what was typed
  for (const char* bad : {"", "abc", "12a", "1  2", "-", "99999999999", "1..2", " 1 000x"}) {
    SetWindowText(edit, bad);
    EXPECT_EQ(Pos(&error), 10) << bad;
    EXPECT_TRUE(error) << bad;
    EXPECT_NE(HIWORD(WPARAM(SendMessage(ud, UDM_GETPOS))), 0) << bad;
  }
  SetWindowText(edit, "-7");
  EXPECT_EQ(Pos(&error), 10);
  EXPECT_TRUE(error);
  SetWindowText(edit, "10");
  EXPECT_EQ(Pos(&error), 10);
  EXPECT_FALSE(error);
  // Without a buddy showing the number there is nothing to read: an error too.
  HWND lone =
      CreateWindowEx(0, UPDOWN_CLASS, "", WS_CHILD | WS_VISIBLE, 200, 10, 16, 20, parent, 5);
  SendMessage(lone, UDM_SETPOS32, 0, 50);
  EXPECT_EQ(SendMessage(lone, UDM_GETPOS32, 0, LPARAM(reinterpret_cast<std::uintptr_t>(&error))),
            50);
  EXPECT_TRUE(error);
  EXPECT_EQ(SendMessage(lone, UDM_GETPOS), MAKELONG(50, 1));
  EXPECT_EQ(SendMessage(lone, UDM_GETPOS32), 50);  // a null flag pointer is fine

  // The 16-bit messages: the range as (maximum, minimum) in one LPARAM.
  SendMessage(ud, UDM_SETRANGE, 0, MAKELONG(300, -300));
  EXPECT_EQ(SendMessage(ud, UDM_GETRANGE), MAKELONG(300, -300));
  EXPECT_EQ(SendMessage(ud, UDM_SETPOS, 0, MAKELONG(-1000, 0)), 10);
  EXPECT_EQ(GetWindowText(edit), "-300");
  EXPECT_EQ(LOWORD(WPARAM(SendMessage(ud, UDM_GETPOS))), std::uint16_t(-300));
  // Base 16.
  SendMessage(ud, UDM_SETPOS32, 0, 255);
  EXPECT_EQ(SendMessage(ud, UDM_SETBASE, 16), 10);
  EXPECT_EQ(GetWindowText(edit), "0xFF");
  SetWindowText(edit, "0x1f");
  EXPECT_EQ(Pos(), 31);
  EXPECT_EQ(SendMessage(ud, UDM_SETBASE, 8), 0);  // refused
  EXPECT_EQ(SendMessage(ud, UDM_GETBASE), 16);

  // Without digit groups; and a buddy on the left.
  HWND plain = Make(WC_EDIT, "", 0, 10, 50, 80, 21, 3);
  HWND left =
      Make(UPDOWN_CLASS, "", UDS_SETBUDDYINT | UDS_ALIGNLEFT | UDS_NOTHOUSANDS, 0, 0, 18, 10, 4);
  SendMessage(left, UDM_SETBUDDY, WPARAM(reinterpret_cast<std::uintptr_t>(plain)));
  SendMessage(left, UDM_SETRANGE32, 0, 100000);
  SendMessage(left, UDM_SETPOS32, 0, 12345);
  EXPECT_EQ(GetWindowText(plain), "12345");
  EXPECT_EQ(RectIn(left), Rect(10, 50, 28, 71));
  EXPECT_EQ(RectIn(plain), Rect(28, 50, 90, 71));
  // UDS_AUTOBUDDY takes the window made just before it.
  HWND third = Make(WC_EDIT, "", 0, 10, 80, 60, 21, 5);
  HWND autoUd = Make(UPDOWN_CLASS, "", UDS_AUTOBUDDY | UDS_SETBUDDYINT, 70, 80, 16, 21, 6);
  EXPECT_EQ(SendMessage(autoUd, UDM_GETBUDDY), LRESULT(reinterpret_cast<std::uintptr_t>(third)));
  EXPECT_EQ(GetWindowText(third), "0");
}

TEST_F(UpDownTest, AClickStepsAfterAskingTheParent) {
  MakePair();
  Range(10, 40000);
  SendMessage(ud, UDM_SETPOS32, 0, 1024);
  heard.clear();
  Click(ud, 8, 3);  // the upper half
  EXPECT_EQ(heard, (Heard{"delta 1024 1", "pos 1025", "end"}));
  EXPECT_EQ(GetWindowText(edit),
            "1\xC2\xA0"
            "025");
  EXPECT_EQ(GetFocus(), edit);  // working on the number means working in its field
  heard.clear();
  Click(ud, 8, 18);
  EXPECT_EQ(heard, (Heard{"delta 1025 -1", "pos 1024", "end"}));

  // A refused step changes nothing and tells nothing more.
  refuse = true;
  heard.clear();
  Click(ud, 8, 3);
  EXPECT_EQ(heard, (Heard{"delta 1024 1", "end"}));
  EXPECT_EQ(Pos(), 1024);
  refuse = false;

  // Stepping continues from what was typed: below the range it comes back
  // to the minimum, above it to the maximum.
  SetWindowText(edit, "5");
  heard.clear();
  Click(ud, 8, 3);
  EXPECT_EQ(heard, (Heard{"delta 10 1", "pos 10", "end"}));
  SetWindowText(edit, "99999");
  Click(ud, 8, 18);
  EXPECT_EQ(Pos(), 40000);
  // At the end nothing moves and the parent is not asked.
  heard.clear();
  Click(ud, 8, 3);
  EXPECT_EQ(heard, (Heard{"end"}));
  EXPECT_EQ(GetWindowText(edit),
            "40\xC2\xA0"
            "000");
}

TEST_F(UpDownTest, HoldingAnArrowRepeatsAndSpeedsUp) {
  MakePair();
  Range(0, 100000);
  Press(ud, 8, 3);
  EXPECT_EQ(Pos(), 1);
  host.AdvanceClock(ScrollRepeatDelay - 1);
  Pump();
  EXPECT_EQ(Pos(), 1);
  host.AdvanceClock(1);
  Pump();
  EXPECT_EQ(Pos(), 2);
  host.AdvanceClock(ScrollRepeatInterval);
  Pump();
  EXPECT_EQ(Pos(), 3);
  // Off the arrow the repeat pauses (the arrow no longer looks pressed); back on, it goes on.
  MoveTo(ud, 8, 40);
  host.AdvanceClock(ScrollRepeatInterval * 4);
  Pump();
  EXPECT_EQ(Pos(), 3);
  MoveTo(ud, 8, 4);
  host.AdvanceClock(ScrollRepeatInterval);
  Pump();
  EXPECT_EQ(Pos(), 4);
  // Two seconds after the press the steps become 5, after five seconds 20.
  host.AdvanceClock(2000 - (ScrollRepeatDelay + ScrollRepeatInterval * 6));
  Pump();
  const int before = Pos();
  host.AdvanceClock(ScrollRepeatInterval);
  Pump();
  EXPECT_EQ(Pos(), before + 5);
  host.AdvanceClock(3000);
  Pump();
  const int later = Pos();
  host.AdvanceClock(ScrollRepeatInterval);
  Pump();
  EXPECT_EQ(Pos(), later + 20);
  Release();
  const int released = Pos();
  host.AdvanceClock(1000);
  Pump();
  EXPECT_EQ(Pos(), released);
  EXPECT_EQ(heard.back(), "end");

  // A table of one step of 10 from the start.
  const UDACCEL tens[] = {{0, 10}};
  EXPECT_TRUE(SendMessage(ud, UDM_SETACCEL, 1, LPARAM(reinterpret_cast<std::uintptr_t>(tens))));
  UDACCEL got[4];
  EXPECT_EQ(SendMessage(ud, UDM_GETACCEL, 4, LPARAM(reinterpret_cast<std::uintptr_t>(got))), 1);
  EXPECT_EQ(got[0].nInc, 10u);
  SendMessage(ud, UDM_SETPOS32, 0, 500);
  Click(ud, 8, 18);
  EXPECT_EQ(Pos(), 490);
  EXPECT_FALSE(SendMessage(ud, UDM_SETACCEL, 0, LPARAM(reinterpret_cast<std::uintptr_t>(tens))));
}

TEST_F(UpDownTest, WrapReversedRangesAndHorizontalArrows) {
  MakePair(UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_WRAP);
  Range(1, 3);
  SendMessage(ud, UDM_SETPOS32, 0, 3);
  Click(ud, 8, 3);
  EXPECT_EQ(Pos(), 1);
  Click(ud, 8, 18);
  EXPECT_EQ(Pos(), 3);
  // A step of 5 stops at the end first, then wraps.
  const UDACCEL fives[] = {{0, 5}};
  SendMessage(ud, UDM_SETACCEL, 1, LPARAM(reinterpret_cast<std::uintptr_t>(fives)));
  Range(0, 12);
  SendMessage(ud, UDM_SETPOS32, 0, 9);
  Click(ud, 8, 3);
  EXPECT_EQ(Pos(), 12);
  Click(ud, 8, 3);
  EXPECT_EQ(Pos(), 0);
  DestroyWindow(ud);
  DestroyWindow(edit);

  // Maximum below minimum: the up arrow counts down.
  MakePair();
  Range(100, 0);
  SendMessage(ud, UDM_SETPOS32, 0, 50);
  heard.clear();
  Click(ud, 8, 3);
  EXPECT_EQ(Pos(), 49);
  EXPECT_EQ(heard.front(), "delta 50 -1");
  DestroyWindow(ud);

  // Across: the right arrow goes up, and the parent hears WM_HSCROLL.
  ud = Make(UPDOWN_CLASS, "", UDS_HORZ | UDS_ARROWKEYS, 100, 100, 40, 16, 9);
  heard.clear();
  Click(ud, 30, 8);
  EXPECT_EQ(heard, (Heard{"delta 0 1", "hpos 1", "hend"}));
  Click(ud, 5, 8);
  EXPECT_EQ(Pos(), 0);
  SetFocus(ud);
  Key(VK_RIGHT);
  Key(VK_UP);
  EXPECT_EQ(Pos(), 2);
}

TEST_F(UpDownTest, ArrowKeysInTheBuddy) {
  MakePair();
  SetFocus(edit);
  Key(VK_UP);
  Key(VK_UP);
  Key(VK_DOWN);
  EXPECT_EQ(Pos(), 1);
  EXPECT_EQ(heard, (Heard{"delta 0 1", "pos 1", "end", "delta 1 1", "pos 2", "end", "delta 2 -1",
                          "pos 1", "end"}));
  // Other keys and characters are the edit's own.
  Key(VK_END);
  Type("5");
  EXPECT_EQ(GetWindowText(edit), "15");
  EXPECT_EQ(Pos(), 15);
  // A held key repeats, shows its arrow pressed and ends the track on release.
  heard.clear();
  host.KeyDown(VK_UP);
  host.KeyDown(VK_UP);
  Pump();
  EXPECT_EQ(heard, (Heard{"delta 15 1", "pos 16", "delta 16 1", "pos 17"}));
  host.KeyUp(VK_UP);
  Pump();
  EXPECT_EQ(heard.back(), "end");

  // Gone up-down: the edit's keys are its own again, nothing dangles.
  DestroyWindow(ud);
  Key(VK_UP);
  Key(VK_END);
  Type("0");
  EXPECT_EQ(GetWindowText(edit), "170");
  // The buddy going first leaves an up-down that still steps, with nobody to show it.
  MakePair();
  DestroyWindow(edit);
  Click(ud, 8, 3);
  EXPECT_EQ(Pos(), 1);
  SetFocus(ud);
  Key(VK_UP);
  EXPECT_EQ(Pos(), 2);
  // Without UDS_ARROWKEYS the buddy's keys are left alone.
  DestroyWindow(ud);
  MakePair(UDS_SETBUDDYINT | UDS_ALIGNRIGHT);
  SetFocus(edit);
  Key(VK_UP);
  EXPECT_EQ(Pos(), 0);
}

TEST_F(UpDownTest, Looks) {
  // A field with its arrows, the same with the up arrow held, a disabled
  // pair, and a horizontal pair of arrows.
  MakePair();
  Range(10, 40000);
  SendMessage(ud, UDM_SETPOS32, 0, 1024);
  HWND e2 = Make(WC_EDIT, "", ES_AUTOHSCROLL, 10, 40, 80, 21, 11, WS_EX_CLIENTEDGE);
  HWND u2 = Make(UPDOWN_CLASS, "", UDS_SETBUDDYINT | UDS_ALIGNRIGHT, 0, 0, 16, 21, 12);
  SendMessage(u2, UDM_SETBUDDY, WPARAM(reinterpret_cast<std::uintptr_t>(e2)));
  SendMessage(u2, UDM_SETRANGE32, 10, 40000);
  SendMessage(u2, UDM_SETPOS32, 0, 768);
  HWND e3 = Make(WC_EDIT, "", ES_AUTOHSCROLL, 10, 70, 80, 21, 13, WS_EX_CLIENTEDGE);
  HWND u3 = Make(UPDOWN_CLASS, "", UDS_SETBUDDYINT | UDS_ALIGNRIGHT, 0, 0, 16, 21, 14);
  SendMessage(u3, UDM_SETBUDDY, WPARAM(reinterpret_cast<std::uintptr_t>(e3)));
  EnableWindow(e3, false);
  EnableWindow(u3, false);
  Make(UPDOWN_CLASS, "", UDS_HORZ, 100, 10, 32, 16, 15);
  ud = u2;
  Press(u2, 8, 3);
  Golden("updown-states", ShotOf(Rect(0, 0, 140, 100)));
  Release();
}

}  // namespace
}  // namespace vm::test
