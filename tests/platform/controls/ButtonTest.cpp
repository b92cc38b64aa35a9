#include "ControlTestSupport.h"

namespace vm::test {
namespace {

class ButtonTest : public TControlTest {
 protected:
  WPARAM State(HWND b) { return WPARAM(SendMessage(b, BM_GETSTATE)); }
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
