// Dialog navigation with the real "Button" and "Static" classes: Tab order,
// arrow keys in a group, Enter for the default button, Escape, mnemonics
// and the default button's look following the focus.
#include "tests/platform/controls/ControlTestSupport.h"

namespace vm::test {
namespace {

class DialogNavTest : public TControlTest {
 protected:
  void SetUp() override {
    TControlTest::SetUp();
    // The parent navigates like a dialog; its procedure keeps DM_SETDEFID's id.
    SetWindowLongPtr(parent, GWL_EXSTYLE,
                     GetWindowLongPtr(parent, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    ParentLog().Handler = [](HWND h, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
      if (m == DM_GETDEFID || m == DM_SETDEFID || m == WM_NEXTDLGCTL) return DefDlgProc(h, m, w, l);
      return std::nullopt;
    };
    // Created in the order they are seen: creation order is the tab order.
    label = Make("Static", "&Имя:", SS_LEFT | WS_GROUP, 10, 10, 60, 20, 10);
    name = Make("Button", "Имя-кнопка", BS_PUSHBUTTON | WS_TABSTOP, 80, 10, 100, 24, 11);
    radio1 =
        Make("Button", "&Один", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 10, 60, 80, 20, 21);
    radio2 = Make("Button", "&Два", BS_AUTORADIOBUTTON, 10, 80, 80, 20, 22);
    radio3 = Make("Button", "&Три", BS_AUTORADIOBUTTON, 10, 100, 80, 20, 23);
    check = Make("Button", "&Сетка", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 10, 140, 120, 20, 30);
    ok = Make("Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 110, 200, 80, 24, IDOK);
    cancel = Make("Button", "Отмена", BS_PUSHBUTTON | WS_TABSTOP, 200, 200, 80, 24, IDCANCEL);
    SendMessage(radio1, BM_SETCHECK, BST_CHECKED, 0);
    SetFocus(name);
    Pump();
    ParentLog().Messages.clear();
  }
  std::vector<int> CommandIds() {
    std::vector<int> out;
    for (const TParentMsg& m : ParentLog().Messages)
      if (m.Msg == WM_COMMAND && HIWORD(m.W) == BN_CLICKED) out.push_back(LOWORD(m.W));
    return out;
  }
  bool LooksDefault(HWND b) {
    return (SendMessage(b, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) != 0;
  }

  HWND ok = nullptr, cancel = nullptr, check = nullptr, radio1 = nullptr, radio2 = nullptr,
       radio3 = nullptr, label = nullptr, name = nullptr;
};

TEST_F(DialogNavTest, TabWalksTheTabStopsInZOrderAndShiftTabGoesBack) {
  std::vector<HWND> order;
  for (int i = 0; i < 6; ++i) {
    Key(VK_TAB);
    order.push_back(GetFocus());
  }
  // The radio group is one stop (its first button), the label none; it wraps around.
  EXPECT_EQ(order, (std::vector<HWND>{radio1, check, ok, cancel, name, radio1}));
  Chord({VK_SHIFT}, VK_TAB);
  EXPECT_EQ(GetFocus(), name);
  EXPECT_EQ(GetNextDlgTabItem(parent, name, true), cancel);
  // A disabled or hidden control is skipped.
  EnableWindow(check, false);
  ShowWindow(ok, SW_HIDE);
  EXPECT_EQ(GetNextDlgTabItem(parent, radio1, false), cancel);
  // Nothing reached the buttons as a key: Tab was the dialog's.
  EXPECT_TRUE(CommandIds().empty());
}

TEST_F(DialogNavTest, ArrowsMoveWithinTheGroupAndCheckAutoRadioButtons) {
  SetFocus(radio1);
  Key(VK_DOWN);
  EXPECT_EQ(GetFocus(), radio2);
  EXPECT_EQ(SendMessage(radio2, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
  Key(VK_DOWN);
  Key(VK_DOWN);  // wraps within the group, never leaving it for the check box
  EXPECT_EQ(GetFocus(), radio1);
  Key(VK_UP);
  EXPECT_EQ(GetFocus(), radio3);
  EXPECT_EQ(GetNextDlgGroupItem(parent, radio3, false), radio1);
  EXPECT_EQ(GetNextDlgGroupItem(parent, check, false), check);  // a group of one
}

TEST_F(DialogNavTest, EnterClicksTheDefaultButtonEscapeCancelsAndTheLookFollowsTheFocus) {
  Key(VK_RETURN);  // the focused push button is the default while it has the focus
  SetFocus(check);
  Key(VK_RETURN);  // back to the dialog's default button
  Key(VK_ESCAPE);
  EXPECT_EQ(CommandIds(), (std::vector<int>{11, IDOK, IDCANCEL}));
  // Tabbing onto Cancel gives it the default look, away from it gives it back.
  SetFocus(ok);
  Key(VK_TAB);
  EXPECT_EQ(GetFocus(), cancel);
  EXPECT_TRUE(LooksDefault(cancel));
  EXPECT_FALSE(LooksDefault(ok));
  Key(VK_TAB);
  Key(VK_TAB);
  EXPECT_EQ(GetFocus(), radio1);
  EXPECT_TRUE(LooksDefault(ok));
  EXPECT_FALSE(LooksDefault(cancel));
  // DM_SETDEFID moves the default; Enter follows it. A disabled default does nothing.
  SendMessage(parent, DM_SETDEFID, IDCANCEL, 0);
  EXPECT_TRUE(LooksDefault(cancel));
  EXPECT_FALSE(LooksDefault(ok));
  ParentLog().Messages.clear();
  Key(VK_RETURN);
  EnableWindow(cancel, false);
  Key(VK_RETURN);
  Key(VK_ESCAPE);  // nor does a disabled Cancel
  EXPECT_EQ(CommandIds(), (std::vector<int>{IDCANCEL}));
}

TEST_F(DialogNavTest, MnemonicsClickButtonsAndLabelsFocusTheirControl) {
  // Alt+С: on a Russian layout the key of Latin C types Cyrillic с.
  host.KeyDown(VK_MENU);
  host.KeyDown('C', U'с');
  host.KeyUp('C');
  host.KeyUp(VK_MENU);
  Pump();
  EXPECT_EQ(GetFocus(), check);
  EXPECT_EQ(SendMessage(check, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
  // A plain letter works too where the focused control takes no characters.
  Type("д");
  EXPECT_EQ(GetFocus(), radio2);
  EXPECT_EQ(SendMessage(radio2, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
  // A label's mnemonic goes on to the control after it.
  Type("и");
  EXPECT_EQ(GetFocus(), name);
  // A letter nobody has is left alone.
  ParentLog().Messages.clear();
  Type("ж");
  EXPECT_TRUE(CommandIds().empty());
  EXPECT_EQ(GetFocus(), name);
}

TEST_F(DialogNavTest, WmNextDlgCtlAndTheLoopOutsideADialog) {
  SendMessage(parent, WM_NEXTDLGCTL, WPARAM(reinterpret_cast<std::uintptr_t>(cancel)), 1);
  EXPECT_EQ(GetFocus(), cancel);
  SendMessage(parent, WM_NEXTDLGCTL, 1, 0);  // previous
  EXPECT_EQ(GetFocus(), ok);
  // IsDialogMessage leaves messages of other windows and unknown messages alone.
  MSG m;
  m.hwnd = ok;
  m.message = WM_MOUSEMOVE;
  EXPECT_FALSE(IsDialogMessage(parent, &m));
  HWND other = CreateWindowEx(0, "ControlTestParent", "x", WS_POPUP, 0, 0, 10, 10, nullptr);
  m.hwnd = other;
  m.message = WM_KEYDOWN;
  m.wParam = VK_TAB;
  EXPECT_FALSE(IsDialogMessage(parent, &m));
  EXPECT_FALSE(IsDialogMessage(parent, nullptr));
  // Without WS_EX_CONTROLPARENT the loop does not navigate: Tab reaches the control.
  SetWindowLongPtr(parent, GWL_EXSTYLE,
                   GetWindowLongPtr(parent, GWL_EXSTYLE) & ~WS_EX_CONTROLPARENT);
  SetFocus(ok);
  Key(VK_TAB);
  EXPECT_EQ(GetFocus(), ok);
}

}  // namespace
}  // namespace vm::test
