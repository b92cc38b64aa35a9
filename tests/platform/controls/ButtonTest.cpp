#include <memory>
#include <string>

#include "ControlTestSupport.h"
#include "platform/controls/Dialog.h"

namespace vm::test {
namespace {

class ButtonTest : public TControlTest {
 protected:
  WPARAM State(HWND b) { return WPARAM(SendMessage(b, BM_GETSTATE)); }

  // One line per message a subclass of a button sees ("b1 BM_SETSTATE 1"),
  // and the parent's BN_CLICKED in the same stream ("parent BN_CLICKED b1").
  struct TSpy {
    std::vector<std::string> Seen;
    std::vector<std::pair<HWND, std::string>> Names;
    std::string NameOf(HWND h) const {
      for (const auto& [w, n] : Names)
        if (w == h) return n;
      return "?";
    }
  };
  std::shared_ptr<TSpy> spy = std::make_shared<TSpy>();

  void Watch(HWND h, const std::string& name) {
    spy->Names.push_back({h, name});
    auto previous = std::make_shared<WNDPROC>();
    auto s = spy;
    WNDPROC mine = WNDPROC::FromClosure([s, name, previous](HWND hw, UINT m, WPARAM w,
                                                            LPARAM l) -> LRESULT {
      const char* what = nullptr;
      switch (m) {
        case WM_LBUTTONDOWN:
          what = "WM_LBUTTONDOWN";
          break;
        case WM_LBUTTONUP:
          what = "WM_LBUTTONUP";
          break;
        case BM_SETSTATE:
          what = "BM_SETSTATE";
          break;
        case BM_SETCHECK:
          what = "BM_SETCHECK";
          break;
        case BM_CLICK:
          what = "BM_CLICK";
          break;
        case WM_SETFOCUS:
          what = "WM_SETFOCUS";
          break;
      }
      if (what)
        s->Seen.push_back(name + " " + what +
                          (m == BM_SETSTATE || m == BM_SETCHECK ? " " + std::to_string(w) : ""));
      return CallWindowProc(*previous, hw, m, w, l);
    });
    *previous = SetWindowProc(h, mine);
    ParentLog().Handler = [s](HWND, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
      if (m == WM_COMMAND && HIWORD(w) == BN_CLICKED)
        s->Seen.push_back("parent BN_CLICKED " + s->NameOf(reinterpret_cast<HWND>(l)));
      return std::nullopt;
    };
  }
  void Wait() { host.AdvanceClock(GetDoubleClickTime() + 1); }
};

TEST_F(ButtonTest, MouseClickIsPressInsideAndReleaseInside) {
  HWND b = Make(WC_BUTTON, "OK", BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 75, 23);
  Press(b, 10, 10);
  // Held: pushed, focused, the mouse captured; nothing clicked yet.
  EXPECT_EQ(State(b), BST_PUSHED | BST_FOCUS);
  EXPECT_EQ(GetCapture(), b);
  EXPECT_EQ(GetFocus(), b);
  EXPECT_EQ(Commands(b, BN_CLICKED), 0);
  Release();
  EXPECT_EQ(State(b), BST_FOCUS);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Commands(b, BN_CLICKED), 1);
  // The notification carries the control id.
  for (const TParentMsg& m : ParentLog().Messages) {
    if (m.Msg == WM_COMMAND) {
      EXPECT_EQ(LOWORD(m.W), 100);
    }
  }
}

TEST_F(ButtonTest, LeavingWhileHeldPopsUpAndReleasingOutsideDoesNotClick) {
  HWND b = Make(WC_BUTTON, "OK", BS_PUSHBUTTON, 10, 10, 75, 23);
  Press(b, 5, 5);
  MoveTo(b, 100, 5);  // outside, still captured
  EXPECT_EQ(State(b) & BST_PUSHED, 0u);
  MoveTo(b, 70, 20);  // back inside
  EXPECT_EQ(State(b) & BST_PUSHED, BST_PUSHED);
  MoveTo(b, -3, 5);
  Release();
  EXPECT_EQ(Commands(b, BN_CLICKED), 0);
  EXPECT_EQ(State(b) & BST_PUSHED, 0u);
  // A press that starts elsewhere and is released over the button is no click either.
  HWND other = Make(WC_BUTTON, "Other", BS_PUSHBUTTON, 100, 10, 75, 23, 101);
  Press(other, 5, 5);
  MoveTo(b, 5, 5);
  Release();
  EXPECT_EQ(Commands(b, BN_CLICKED), 0);
  EXPECT_EQ(Commands(other, BN_CLICKED), 0);
}

TEST_F(ButtonTest, SpaceClicksOnReleaseAndLosingFocusCancels) {
  HWND b = Make(WC_BUTTON, "OK", BS_PUSHBUTTON, 10, 10, 75, 23);
  HWND c = Make(WC_BUTTON, "Cancel", BS_PUSHBUTTON, 100, 10, 75, 23, 101);
  SetFocus(b);
  host.KeyDown(VK_SPACE, ' ');
  Pump();
  EXPECT_EQ(State(b), BST_PUSHED | BST_FOCUS);
  host.KeyUp(VK_SPACE);
  Pump();
  EXPECT_EQ(Commands(b, BN_CLICKED), 1);
  EXPECT_EQ(State(b), BST_FOCUS);
  // Space held, focus moves away, Space released on the other button: no click anywhere.
  host.KeyDown(VK_SPACE, ' ');
  Pump();
  SetFocus(c);
  EXPECT_EQ(State(b), 0u);
  host.KeyUp(VK_SPACE);
  Pump();
  EXPECT_EQ(Commands(b, BN_CLICKED), 1);
  EXPECT_EQ(Commands(c, BN_CLICKED), 0);
}

TEST_F(ButtonTest, CheckBoxesToggleAndClampTheirState) {
  HWND autoBox = Make(WC_BUTTON, "Auto", BS_AUTOCHECKBOX, 10, 10, 100, 17, 1);
  HWND manual = Make(WC_BUTTON, "Manual", BS_CHECKBOX, 10, 30, 100, 17, 2);
  HWND three = Make(WC_BUTTON, "Three", BS_AUTO3STATE, 10, 50, 100, 17, 3);
  Click(autoBox, 3, 3);
  EXPECT_EQ(SendMessage(autoBox, BM_GETCHECK), LRESULT(BST_CHECKED));
  Click(autoBox, 3, 3);
  EXPECT_EQ(SendMessage(autoBox, BM_GETCHECK), LRESULT(BST_UNCHECKED));
  // A manual box only reports the click; the parent decides.
  Click(manual, 3, 3);
  EXPECT_EQ(SendMessage(manual, BM_GETCHECK), LRESULT(BST_UNCHECKED));
  EXPECT_EQ(Commands(manual, BN_CLICKED), 1);
  // Three states in turn.
  std::vector<LRESULT> seen;
  for (int i = 0; i < 3; ++i) {
    Click(three, 3, 3);
    seen.push_back(SendMessage(three, BM_GETCHECK));
  }
  EXPECT_EQ(seen, (std::vector<LRESULT>{1, 2, 0}));
  // "Indeterminate" on a two-state box means checked; nonsense values too.
  SendMessage(manual, BM_SETCHECK, BST_INDETERMINATE);
  EXPECT_EQ(SendMessage(manual, BM_GETCHECK), LRESULT(BST_CHECKED));
  SendMessage(three, BM_SETCHECK, 77);
  EXPECT_EQ(SendMessage(three, BM_GETCHECK), LRESULT(BST_CHECKED));
  // Push buttons have no check.
  HWND push = Make(WC_BUTTON, "Push", BS_PUSHBUTTON, 200, 10, 75, 23, 4);
  SendMessage(push, BM_SETCHECK, BST_CHECKED);
  EXPECT_EQ(SendMessage(push, BM_GETCHECK), 0);
  EXPECT_EQ(State(push) & 3, 0u);
}

TEST_F(ButtonTest, AutoRadioButtonsCheckOneOfTheirGroup) {
  HWND a = Make(WC_BUTTON, "A", BS_AUTORADIOBUTTON | WS_GROUP, 10, 10, 100, 17, 1);
  HWND b = Make(WC_BUTTON, "B", BS_AUTORADIOBUTTON, 10, 30, 100, 17, 2);
  HWND c = Make(WC_BUTTON, "C", BS_AUTORADIOBUTTON, 10, 50, 100, 17, 3);
  HWND d = Make(WC_BUTTON, "D", BS_AUTORADIOBUTTON | WS_GROUP, 10, 80, 100, 17, 4);
  SendMessage(d, BM_SETCHECK, BST_CHECKED);
  Click(a, 3, 3);
  Click(c, 3, 3);
  EXPECT_EQ(SendMessage(a, BM_GETCHECK), 0);
  EXPECT_EQ(SendMessage(b, BM_GETCHECK), 0);
  EXPECT_EQ(SendMessage(c, BM_GETCHECK), 1);
  EXPECT_EQ(SendMessage(d, BM_GETCHECK), 1) << "another group is left alone";
  // Clicking the checked one keeps it checked and still notifies (after the
  // double-click time, or it would be a double click).
  host.AdvanceClock(GetDoubleClickTime() + 1);
  Click(c, 3, 3);
  EXPECT_EQ(SendMessage(c, BM_GETCHECK), 1);
  EXPECT_EQ(Commands(c, BN_CLICKED), 2);
  // BM_CLICK does the same as the mouse.
  SendMessage(b, BM_CLICK);
  EXPECT_EQ(SendMessage(b, BM_GETCHECK), 1);
  EXPECT_EQ(SendMessage(c, BM_GETCHECK), 0);
}

// A subclass sees a click by the mouse, by BM_CLICK and by Space as the same
// messages to the button itself, the check changing by BM_SETCHECK, and the
// parent hears BN_CLICKED once, last.
TEST_F(ButtonTest, EveryKindOfClickIsTheSameMessagesToTheButton) {
  HWND box = Make(WC_BUTTON, "Box", BS_AUTOCHECKBOX, 10, 10, 100, 17, 1);
  SetFocus(box);
  Watch(box, "box");
  const std::vector<std::string> click{"box WM_LBUTTONDOWN", "box BM_SETSTATE 1",
                                       "box WM_LBUTTONUP",   "box BM_SETSTATE 0",
                                       "box BM_SETCHECK 1",  "parent BN_CLICKED box"};
  Click(box, 3, 3);
  EXPECT_EQ(spy->Seen, click);
  spy->Seen.clear();
  SendMessage(box, BM_SETCHECK, BST_UNCHECKED);
  spy->Seen.clear();
  SendMessage(box, BM_CLICK);
  std::vector<std::string> byMessage{"box BM_CLICK"};
  byMessage.insert(byMessage.end(), click.begin(), click.end());
  EXPECT_EQ(spy->Seen, byMessage);
  EXPECT_EQ(GetCapture(), nullptr);

  // Space: pushed and holding the mouse until released, then the same click.
  SendMessage(box, BM_SETCHECK, BST_UNCHECKED);
  spy->Seen.clear();
  host.KeyDown(VK_SPACE, ' ');
  Pump();
  EXPECT_EQ(GetCapture(), box);
  EXPECT_EQ(State(box) & BST_PUSHED, BST_PUSHED);
  EXPECT_EQ(spy->Seen, (std::vector<std::string>{"box BM_SETSTATE 1"}));
  host.KeyUp(VK_SPACE);
  Pump();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(spy->Seen, (std::vector<std::string>{"box BM_SETSTATE 1", "box BM_SETSTATE 0",
                                                 "box BM_SETCHECK 1", "parent BN_CLICKED box"}));
}

TEST_F(ButtonTest, AutoRadioGroupsRunBetweenGroupMarksInChildOrder) {
  // Two groups; a check box inside the first is not a radio button and stays.
  HWND a = Make(WC_BUTTON, "A", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 10, 10, 80, 17, 1);
  HWND box = Make(WC_BUTTON, "Box", BS_AUTOCHECKBOX, 10, 30, 80, 17, 2);
  HWND b = Make(WC_BUTTON, "B", BS_AUTORADIOBUTTON, 10, 50, 80, 17, 3);
  HWND c = Make(WC_BUTTON, "C", BS_AUTORADIOBUTTON | WS_GROUP, 10, 80, 80, 17, 4);
  HWND d = Make(WC_BUTTON, "D", BS_AUTORADIOBUTTON, 10, 100, 80, 17, 5);
  SendMessage(box, BM_SETCHECK, BST_CHECKED);
  SendMessage(c, BM_SETCHECK, BST_CHECKED);
  SendMessage(a, BM_SETCHECK, BST_CHECKED);
  for (auto [h, name] : {std::pair{a, "a"}, {b, "b"}, {c, "c"}, {d, "d"}}) Watch(h, name);
  // A click by the mouse on an unfocused radio button: its own press takes
  // the focus, so the focus does not click it a second time.
  Click(b, 3, 3);
  EXPECT_EQ(spy->Seen,
            (std::vector<std::string>{"b WM_LBUTTONDOWN", "b WM_SETFOCUS", "b BM_SETSTATE 1",
                                      "b WM_LBUTTONUP", "b BM_SETSTATE 0", "b BM_SETCHECK 1",
                                      "a BM_SETCHECK 0", "parent BN_CLICKED b"}));
  EXPECT_EQ(SendMessage(box, BM_GETCHECK), 1);
  EXPECT_EQ(SendMessage(c, BM_GETCHECK), 1);
  // The checked radio button carries the group's tab stop.
  EXPECT_TRUE(GetWindowLongPtr(b, GWL_STYLE) & WS_TABSTOP);
  EXPECT_FALSE(GetWindowLongPtr(a, GWL_STYLE) & WS_TABSTOP);
  // BM_SETCHECK checking an automatic radio button clears the rest of its
  // group, hidden and disabled members too.
  EnableWindow(c, false);
  SendMessage(d, BM_SETCHECK, BST_CHECKED);
  EXPECT_EQ(SendMessage(c, BM_GETCHECK), 0);
  EXPECT_EQ(SendMessage(b, BM_GETCHECK), 1);
  // The focus reaching an unchecked automatic radio button from outside (a
  // program, Tab) clicks it; a checked one or a manual one is left alone.
  spy->Seen.clear();
  SetFocus(a);
  EXPECT_EQ(spy->Seen, (std::vector<std::string>{"a WM_SETFOCUS", "a BM_SETCHECK 1",
                                                 "b BM_SETCHECK 0", "parent BN_CLICKED a"}));
  spy->Seen.clear();
  SetFocus(box);
  SetFocus(a);
  EXPECT_EQ(spy->Seen, (std::vector<std::string>{"a WM_SETFOCUS"}));
}

// Arrow keys in a dialog's radio group: the focus moves and clicks the next
// automatic radio button once; the one it leaves is unchecked by BM_SETCHECK.
TEST_F(ButtonTest, ArrowsInARadioGroupClickOnceInChildOrder) {
  SetWindowLongPtr(parent, GWL_EXSTYLE,
                   GetWindowLongPtr(parent, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  HWND a = Make(WC_BUTTON, "A", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 10, 10, 80, 17, 1);
  HWND b = Make(WC_BUTTON, "B", BS_AUTORADIOBUTTON, 10, 30, 80, 17, 2);
  HWND c = Make(WC_BUTTON, "C", BS_AUTORADIOBUTTON, 10, 50, 80, 17, 3);
  HWND ok = Make(WC_BUTTON, "OK", BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 10, 80, 75, 23, IDOK);
  SendMessage(a, BM_SETCHECK, BST_CHECKED);
  SetFocus(a);
  for (auto [h, name] : {std::pair{a, "a"}, {b, "b"}, {c, "c"}}) Watch(h, name);
  Key(VK_DOWN);
  EXPECT_EQ(GetFocus(), b);
  // Every other automatic radio button of the group is told, from the next round to the first.
  EXPECT_EQ(spy->Seen,
            (std::vector<std::string>{"b WM_SETFOCUS", "b BM_SETCHECK 1", "c BM_SETCHECK 0",
                                      "a BM_SETCHECK 0", "parent BN_CLICKED b"}));
  spy->Seen.clear();
  Key(VK_UP);
  Key(VK_UP);  // wraps round to the group's last button, never to OK
  EXPECT_EQ(GetFocus(), c);
  EXPECT_EQ(SendMessage(c, BM_GETCHECK), 1);
  EXPECT_EQ(SendMessage(a, BM_GETCHECK), 0);
  EXPECT_EQ(SendMessage(b, BM_GETCHECK), 0);
  int clicks = 0;
  for (const std::string& line : spy->Seen) clicks += line.rfind("parent BN_CLICKED", 0) == 0;
  EXPECT_EQ(clicks, 2);
  // Space on a radio button: pushed and holding the mouse while held.
  host.KeyDown(VK_SPACE, ' ');
  Pump();
  EXPECT_EQ(GetCapture(), c);
  EXPECT_EQ(State(c) & BST_PUSHED, BST_PUSHED);
  host.KeyUp(VK_SPACE);
  Pump();
  EXPECT_EQ(State(c) & BST_PUSHED, 0u);
  EXPECT_EQ(GetCapture(), nullptr);
  (void)ok;
}

TEST_F(ButtonTest, BmSetStyleChangesOnlyTheTypeAndOwnerDrawnButtonsStayOwnerDrawn) {
  const DWORD extra = BS_NOTIFY | BS_MULTILINE | BS_LEFT | BS_TOP | BS_BITMAP;
  HWND b = Make(WC_BUTTON, "OK", BS_PUSHBUTTON | extra, 10, 10, 75, 23, 1);
  SendMessage(b, BM_SETSTYLE, BS_DEFPUSHBUTTON | BS_CENTER | WS_DISABLED, 1);
  DWORD style = DWORD(GetWindowLongPtr(b, GWL_STYLE));
  EXPECT_EQ(style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(style & 0xFFF0u, extra) << "the bits above the type stay as they were";
  EXPECT_TRUE(IsWindowEnabled(b));
  // Dialog navigation moving the default look keeps them too.
  SetWindowLongPtr(parent, GWL_EXSTYLE,
                   GetWindowLongPtr(parent, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  HWND other = Make(WC_BUTTON, "Other", BS_PUSHBUTTON | WS_TABSTOP | extra, 100, 10, 75, 23, 2);
  HWND owner = Make(WC_BUTTON, "", BS_OWNERDRAW | WS_TABSTOP, 200, 10, 75, 23, 3);
  EXPECT_EQ(SendMessage(owner, WM_GETDLGCODE), DLGC_BUTTON);
  SetFocus(other);
  SendMessage(parent, WM_NEXTDLGCTL, 0, 0);  // on to the owner-drawn button
  EXPECT_EQ(GetFocus(), owner);
  SendMessage(parent, WM_NEXTDLGCTL, 1, 0);  // and back
  SendMessage(parent, WM_NEXTDLGCTL, WPARAM(reinterpret_cast<std::uintptr_t>(b)), 1);
  EXPECT_EQ(DWORD(GetWindowLongPtr(other, GWL_STYLE)) & 0xFFF0u, extra);
  EXPECT_EQ(DWORD(GetWindowLongPtr(b, GWL_STYLE)) & 0xFFF0u, extra);
  EXPECT_EQ(DWORD(GetWindowLongPtr(owner, GWL_STYLE)) & BS_TYPEMASK, BS_OWNERDRAW);
}

// A parent that destroys the button in any notification of a click (press,
// release, the click itself, the focus) ends the click quietly.
TEST_F(ButtonTest, ButtonsDestroyedInsideTheirOwnNotificationsEndQuietly) {
  for (UINT code : {BN_HILITE, BN_UNHILITE, BN_CLICKED, BN_SETFOCUS}) {
    for (int how = 0; how < 3; ++how) {
      HWND r = Make(WC_BUTTON, "R", BS_AUTORADIOBUTTON | BS_NOTIFY | WS_GROUP, 10, 10, 80, 17, 1);
      HWND s = Make(WC_BUTTON, "S", BS_AUTORADIOBUTTON | BS_NOTIFY, 10, 30, 80, 17, 2);
      SendMessage(s, BM_SETCHECK, BST_CHECKED);
      ParentLog().Handler = [code](HWND, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
        if (m == WM_COMMAND && HIWORD(w) == code) DestroyWindow(reinterpret_cast<HWND>(l));
        return std::nullopt;
      };
      if (how == 0) {
        Click(r, 3, 3);
      } else if (how == 1) {
        SendMessage(r, BM_CLICK);
      } else {
        SetFocus(r);
        if (IsWindow(r)) {
          host.KeyDown(VK_SPACE, ' ');
          host.KeyUp(VK_SPACE);
          Pump();
        }
      }
      EXPECT_FALSE(IsWindow(r)) << "code " << code << " way " << how;
      EXPECT_EQ(GetCapture(), nullptr);
      ParentLog().Handler = nullptr;
      DestroyWindow(s);
      Wait();
    }
  }
  // Messages to a destroyed button answer 0; nonsense arguments are refused.
  HWND b = Make(WC_BUTTON, "B", BS_PUSHBUTTON, 10, 10, 75, 23, 1);
  EXPECT_EQ(SendMessage(b, BM_SETIMAGE, 99, 1234), 0);
  EXPECT_EQ(SendMessage(b, BM_GETIMAGE, 99, 0), 0);
  EXPECT_EQ(SendMessage(b, BM_SETIMAGE, IMAGE_ICON, 0), 0);
  DestroyWindow(b);
  EXPECT_EQ(SendMessage(b, BM_GETSTATE), 0);
  EXPECT_EQ(SendMessage(b, BM_CLICK), 0);
}

TEST_F(ButtonTest, DialogCodesFollowTheTypeAndBmSetStyle) {
  HWND b = Make(WC_BUTTON, "OK", BS_PUSHBUTTON, 10, 10, 75, 23);
  EXPECT_EQ(SendMessage(b, WM_GETDLGCODE), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
  SendMessage(b, BM_SETSTYLE, BS_DEFPUSHBUTTON, 1);
  EXPECT_EQ(SendMessage(b, WM_GETDLGCODE), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
  // The window styles in the high word survive.
  EXPECT_TRUE(GetWindowLongPtr(b, GWL_STYLE) & WS_VISIBLE);
  EXPECT_TRUE(GetWindowLongPtr(b, GWL_STYLE) & WS_CHILD);
  HWND r = Make(WC_BUTTON, "R", BS_AUTORADIOBUTTON, 10, 40, 75, 17, 2);
  EXPECT_EQ(SendMessage(r, WM_GETDLGCODE), DLGC_BUTTON | DLGC_RADIOBUTTON);
  HWND c = Make(WC_BUTTON, "C", BS_AUTOCHECKBOX, 10, 60, 75, 17, 3);
  EXPECT_EQ(SendMessage(c, WM_GETDLGCODE), DLGC_BUTTON);
  HWND g = Make(WC_BUTTON, "G", BS_GROUPBOX, 100, 40, 75, 60, 4);
  EXPECT_EQ(SendMessage(g, WM_GETDLGCODE), DLGC_STATIC);
}

TEST_F(ButtonTest, DisabledButtonsIgnoreClicksAndBmSetStateShowsPushed) {
  HWND b = Make(WC_BUTTON, "OK", BS_PUSHBUTTON, 10, 10, 75, 23);
  EnableWindow(b, false);
  Click(b, 5, 5);
  SendMessage(b, BM_CLICK);
  EXPECT_EQ(Commands(b, BN_CLICKED), 0);
  EnableWindow(b, true);
  SendMessage(b, BM_SETSTATE, 1);
  EXPECT_EQ(State(b), BST_PUSHED);
  SendMessage(b, BM_SETSTATE, 0);
  EXPECT_EQ(State(b), 0u);
  EXPECT_EQ(Commands(b, BN_CLICKED), 0);
}

TEST_F(ButtonTest, AParentMayDestroyTheButtonInItsClickHandler) {
  HWND b = Make(WC_BUTTON, "Close", BS_PUSHBUTTON, 10, 10, 75, 23);
  ParentLog().Handler = [&](HWND, UINT msg, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
    if (msg == WM_COMMAND && HIWORD(w) == BN_CLICKED) DestroyWindow(reinterpret_cast<HWND>(l));
    return std::nullopt;
  };
  Click(b, 5, 5);
  EXPECT_FALSE(IsWindow(b));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ButtonTest, OwnerDrawAsksTheParentWithTheState) {
  HWND b = Make(WC_BUTTON, "", BS_OWNERDRAW, 10, 10, 40, 20, 7);
  std::vector<UINT> states;
  ParentLog().Handler = [&](HWND, UINT msg, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (msg != WM_DRAWITEM) return std::nullopt;
    auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
    EXPECT_EQ(dis->CtlType, ODT_BUTTON);
    EXPECT_EQ(dis->CtlID, 7u);
    EXPECT_EQ(dis->rcItem, Rect(0, 0, 40, 20));
    dis->hDC->FillRect(dis->rcItem,
                       (dis->itemState & ODS_SELECTED) ? RGB(255, 0, 0) : RGB(0, 0, 255));
    states.push_back(dis->itemState);
    return 1;
  };
  InvalidateRect(b, nullptr, true);
  Pump();
  Press(b, 5, 5);
  ASSERT_GE(states.size(), 2u);
  EXPECT_EQ(states.back(), ODS_SELECTED | ODS_FOCUS);
  EXPECT_EQ(Shot().GetPixel(15, 15), RGB(255, 0, 0));
  Release();
  EXPECT_EQ(states.back(), UINT(ODS_FOCUS));
  EXPECT_EQ(Shot().GetPixel(15, 15), RGB(0, 0, 255));
  EXPECT_EQ(Commands(b, BN_CLICKED), 1);
}

TEST_F(ButtonTest, TwoQuickClicksAreTwoClicksOnEveryPushButton) {
  // The second press of a double click is a press: plain, notifying and
  // owner-drawn buttons click twice; those that notify also say it was double.
  HWND plain = Make(WC_BUTTON, "OK", BS_PUSHBUTTON, 10, 10, 75, 23, 101);
  HWND notify = Make(WC_BUTTON, "OK", BS_PUSHBUTTON | BS_NOTIFY, 100, 10, 75, 23, 102);
  HWND drawn = Make(WC_BUTTON, "", BS_OWNERDRAW, 200, 10, 40, 20, 103);
  for (HWND b : {plain, notify, drawn}) {
    host.AdvanceClock(GetDoubleClickTime() + 1);
    Click(b, 5, 5);
    host.AdvanceClock(10);
    Click(b, 5, 5);
    EXPECT_EQ(Commands(b, BN_CLICKED), 2);
    EXPECT_EQ(State(b) & BST_PUSHED, 0u);
    EXPECT_EQ(GetCapture(), nullptr);
  }
  EXPECT_EQ(Commands(plain, BN_DOUBLECLICKED), 0);
  EXPECT_EQ(Commands(notify, BN_DOUBLECLICKED), 1);
  EXPECT_EQ(Commands(drawn, BN_DOUBLECLICKED), 1);
  // A radio button reports the double click and is not clicked again.
  HWND radio = Make(WC_BUTTON, "A", BS_RADIOBUTTON, 10, 50, 75, 17, 104);
  host.AdvanceClock(GetDoubleClickTime() + 1);
  Click(radio, 5, 5);
  host.AdvanceClock(10);
  Click(radio, 5, 5);
  EXPECT_EQ(Commands(radio, BN_CLICKED), 1);
  EXPECT_EQ(Commands(radio, BN_DOUBLECLICKED), 1);
}

TEST_F(ButtonTest, ParentColoursReachTheCheckBoxText) {
  HWND c = Make(WC_BUTTON, "HIL", BS_AUTOCHECKBOX, 10, 10, 100, 17);
  ParentLog().Handler = [&](HWND, UINT msg, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (msg != WM_CTLCOLORSTATIC) return std::nullopt;
    reinterpret_cast<HDC>(w)->SetTextColor(RGB(200, 0, 0));
    return CtlColorResult(RGB(0, 128, 0));
  };
  InvalidateRect(c, nullptr, true);
  TBitmap shot = ShotOf(Rect(10, 10, 110, 27));
  EXPECT_EQ(shot.GetPixel(99, 1), RGB(0, 128, 0));
  bool red = false;
  for (int y = 0; y < shot.Height(); ++y)
    for (int x = 17; x < 60; ++x) {
      // Red text over green: glyph pixels are mostly red (the stems fully).
      const TColor c = shot.GetPixel(x, y);
      red |= GetRValue(c) > 150 && GetGValue(c) < 40 && GetBValue(c) < 40;
    }
  EXPECT_TRUE(red);
}

// Every kind of button in its states, side by side: normal, pushed, focused,
// default, disabled; check boxes and radio buttons unchecked, checked,
// indeterminate, disabled; a group box.
TEST_F(ButtonTest, GoldenPicture) {
  int y = 8;
  auto push = [&](const char* text, DWORD style, WPARAM state, bool focus, bool enabled) {
    static int x = 0;
    HWND b = Make(WC_BUTTON, text, style, 8 + (x % 4) * 84, y, 75, 23, 200 + x);
    ++x;
    if (state) SendMessage(b, BM_SETSTATE, 1);
    if (focus) SetFocus(b);
    if (!enabled) EnableWindow(b, false);
    return b;
  };
  push("Обычная", BS_PUSHBUTTON, 0, false, true);
  push("Нажатая", BS_PUSHBUTTON, 1, false, true);
  push("&Default", BS_DEFPUSHBUTTON, 0, false, true);
  push("Нет", BS_PUSHBUTTON, 0, false, false);
  y = 40;
  const char* names[] = {"Флажок", "Checked", "Mixed", "Disabled"};
  for (int i = 0; i < 4; ++i) {
    HWND c = Make(WC_BUTTON, names[i], BS_AUTO3STATE, 8 + i * 84, y, 80, 17, 300 + i);
    SendMessage(c, BM_SETCHECK, WPARAM(i == 3 ? 1 : i));
    if (i == 3) EnableWindow(c, false);
  }
  y = 64;
  for (int i = 0; i < 4; ++i) {
    HWND r = Make(WC_BUTTON, names[i], BS_RADIOBUTTON, 8 + i * 84, y, 80, 17, 400 + i);
    SendMessage(r, BM_SETCHECK, WPARAM(i == 1 || i == 3));
    if (i == 2) SendMessage(r, BM_SETSTATE, 1);
    if (i == 3) EnableWindow(r, false);
  }
  Make(WC_BUTTON, "Группа", BS_GROUPBOX, 8, 90, 160, 60, 500);
  HWND inGroup = Make(WC_BUTTON, "В группе", BS_AUTOCHECKBOX, 18, 110, 100, 17, 501);
  HWND focused = Make(WC_BUTTON, "Фокус", BS_PUSHBUTTON, 180, 100, 75, 23, 502);
  SetFocus(focused);
  (void)inGroup;
  Golden("button", ShotOf(Rect(0, 0, 344, 160)));
}

}  // namespace
}  // namespace vm::test
