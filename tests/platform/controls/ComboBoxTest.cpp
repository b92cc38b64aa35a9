#include <string>
#include <vector>

#include "ControlTestSupport.h"

namespace vm::test {
namespace {

class ComboBoxTest : public TControlTest {
 protected:
  static LPARAM Str(const char* s) { return LPARAM(reinterpret_cast<std::uintptr_t>(s)); }
  HWND Combo(DWORD style = CBS_DROPDOWNLIST, int x = 10, int y = 10, int w = 120, int h = 120,
             int id = 100) {
    HWND c = Make(WC_COMBOBOX, "", style | WS_TABSTOP | WS_VSCROLL, x, y, w, h, id);
    for (const char* t : {"Красный", "Orange", "Yellow", "Green", "Blue", "Indigo", "Violet"})
      SendMessage(c, CB_ADDSTRING, 0, Str(t));
    return c;
  }
  HWND ListOf(HWND combo) {
    HWND found = nullptr;
    EnumWindows([&](HWND w) {
      if (GetClassName(w) == WC_COMBOLBOX && GetWindow(w, GW_OWNER) == parent) found = w;
      return found == nullptr;
    });
    (void)combo;
    return found;
  }
  std::string Text(HWND h) { return GetWindowText(h); }
  std::vector<UINT> Notes(HWND from) {
    std::vector<UINT> out;
    for (const TParentMsg& m : ParentLog().Messages)
      if (m.Msg == WM_COMMAND && m.L == LPARAM(reinterpret_cast<std::uintptr_t>(from)))
        out.push_back(HIWORD(m.W));
    return out;
  }
  bool Dropped(HWND c) { return SendMessage(c, CB_GETDROPPEDSTATE) != 0; }
  // Screen point of item i of an open drop-down.
  TPoint ItemOnScreen(HWND list, int i) {
    TRect r;
    SendMessage(list, LB_GETITEMRECT, WPARAM(i), LPARAM(&r));
    return Screen(list, 20, (r.Top + r.Bottom) / 2);
  }
};

TEST_F(ComboBoxTest, TheFieldIsOneLineAndTheListIsAnOwnedPopUp) {
  HWND c = Combo();
  TRect r;
  GetWindowRect(c, &r);
  EXPECT_EQ(r.Height(), SendMessage(c, CB_GETITEMHEIGHT, WPARAM(-1)) + 8);
  HWND list = ListOf(c);
  ASSERT_NE(list, nullptr);
  DWORD style = DWORD(GetWindowLongPtr(list, GWL_STYLE));
  EXPECT_EQ(style & (WS_POPUP | WS_BORDER), WS_POPUP | WS_BORDER);
  EXPECT_FALSE(IsWindowVisible(list));
  EXPECT_EQ(SendMessage(c, CB_GETCOUNT), 7);
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL), CB_ERR);
  EXPECT_EQ(SendMessage(c, CB_SETCURSEL, 2), 2);
  EXPECT_EQ(Text(c), "Yellow");
  EXPECT_EQ(SendMessage(c, CB_SETCURSEL, 70), CB_ERR);
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL), CB_ERR);
  // Deleting items before the chosen one keeps the choice on its item.
  SendMessage(c, CB_SETCURSEL, 3);
  SendMessage(c, CB_DELETESTRING, 0);
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL), 2);
  EXPECT_EQ(Text(c), "Green");
  std::string buf(32, '\0');
  EXPECT_EQ(SendMessage(c, CB_GETLBTEXT, 0, Str(buf.data())), 6);
  EXPECT_EQ(std::string(buf.c_str()), "Orange");
  EXPECT_EQ(SendMessage(c, CB_FINDSTRINGEXACT, WPARAM(-1), Str("BLUE")), 3);
  // Destroying the combo box takes its list along.
  DestroyWindow(c);
  EXPECT_FALSE(IsWindow(list));
}

TEST_F(ComboBoxTest, AClickOpensTheListAndAClickOnAnItemChooses) {
  HWND c = Combo();
  HWND list = ListOf(c);
  Click(c, 30, 8);
  EXPECT_TRUE(Dropped(c));
  EXPECT_TRUE(IsWindowVisible(list));
  EXPECT_EQ(GetFocus(), c);
  TRect cr, lr;
  GetWindowRect(c, &cr);
  GetWindowRect(list, &lr);
  EXPECT_EQ(lr.Top, cr.Bottom);
  EXPECT_EQ(lr.Left, cr.Left);
  EXPECT_EQ(lr.Width(), cr.Width());
  EXPECT_EQ(Notes(c), (std::vector<UINT>{CBN_SETFOCUS, CBN_DROPDOWN}));
  // The list follows the pointer without a button held.
  TPoint p = ItemOnScreen(list, 4);
  host.MouseMove(p.X, p.Y);
  Pump();
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL), 4);
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL), CB_ERR);  // not chosen yet
  host.Click(p.X, p.Y);
  Pump();
  EXPECT_FALSE(Dropped(c));
  EXPECT_FALSE(IsWindowVisible(list));
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL), 4);
  EXPECT_EQ(Text(c), "Blue");
  EXPECT_EQ(Notes(c), (std::vector<UINT>{CBN_SETFOCUS, CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP,
                                         CBN_SELCHANGE}));
  EXPECT_EQ(GetCapture(), nullptr);
  // Pressing on the field, dragging into the list and letting go there chooses too.
  ParentLog().Messages.clear();
  host.AdvanceClock(1000);
  Press(c, 30, 8);
  EXPECT_TRUE(Dropped(c));
  p = ItemOnScreen(list, 1);
  host.MouseMove(p.X, p.Y);
  host.MouseUp();
  Pump();
  EXPECT_FALSE(Dropped(c));
  EXPECT_EQ(Text(c), "Orange");
}

TEST_F(ComboBoxTest, EscapeClickOutsideAndFocusLossCloseWithoutAChoice) {
  HWND c = Combo();
  HWND other = Make(WC_LISTBOX, "", 0, 200, 10, 80, 60, 101);
  SendMessage(c, CB_SETCURSEL, 1);
  SetFocus(c);
  Key(VK_F4);
  EXPECT_TRUE(Dropped(c));
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(SendMessage(ListOf(c), LB_GETCURSEL), 3);
  ParentLog().Messages.clear();
  Key(VK_ESCAPE);
  EXPECT_FALSE(Dropped(c));
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL), 1);
  EXPECT_EQ(Notes(c), (std::vector<UINT>{CBN_SELENDCANCEL, CBN_CLOSEUP}));
  // Alt+Down opens, Enter takes the item the keys moved to.
  host.KeyDown(VK_MENU);
  host.Key(VK_DOWN);
  host.KeyUp(VK_MENU);
  Pump();
  EXPECT_TRUE(Dropped(c));
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_FALSE(Dropped(c));
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL), 2);
  // A click elsewhere closes the list; it does not reach the window under it.
  Key(VK_F4);
  ParentLog().Messages.clear();
  Click(other, 10, 10);
  EXPECT_FALSE(Dropped(c));
  EXPECT_EQ(GetFocus(), c);
  EXPECT_EQ(Notes(c), (std::vector<UINT>{CBN_SELENDCANCEL, CBN_CLOSEUP}));
  // The focus going elsewhere closes it too.
  Key(VK_F4);
  EXPECT_TRUE(Dropped(c));
  SetFocus(other);
  EXPECT_FALSE(Dropped(c));
  EXPECT_FALSE(IsWindowVisible(ListOf(c)));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ComboBoxTest, KeysOfAClosedFieldChooseDirectly) {
  HWND c = Combo(CBS_DROPDOWNLIST | CBS_SORT);
  SetFocus(c);
  Key(VK_DOWN);
  EXPECT_EQ(Text(c), "Blue");  // sorted: Blue, Green, Indigo, Orange, Violet, Yellow, Красный
  Key(VK_DOWN);
  EXPECT_EQ(Text(c), "Green");
  Key(VK_UP);
  EXPECT_EQ(Text(c), "Blue");
  Type("y");
  EXPECT_EQ(Text(c), "Yellow");
  Type("к");
  EXPECT_EQ(Text(c), "Красный");
  Key(VK_DOWN);  // at the end: stays
  EXPECT_EQ(Text(c), "Красный");
  EXPECT_EQ(Commands(c, CBN_SELCHANGE), 5);
  EXPECT_FALSE(Dropped(c));
}

TEST_F(ComboBoxTest, AListThatWouldLeaveTheScreenOpensAboveAndScrolls) {
  // The parent sits low on the screen; the combo at its bottom.
  SetWindowPos(parent, nullptr, 50, 900, 400, 120, SWP_NOZORDER);
  HWND c = Combo(CBS_DROPDOWNLIST, 10, 80, 120, 100);
  for (int i = 0; i < 20; ++i) SendMessage(c, CB_ADDSTRING, 0, Str("More"));
  HWND list = ListOf(c);
  Click(c, 30, 8);
  TRect cr, lr;
  GetWindowRect(c, &cr);
  GetWindowRect(list, &lr);
  EXPECT_EQ(lr.Bottom, cr.Top);
  EXPECT_TRUE(GetWindowLongPtr(list, GWL_STYLE) & WS_VSCROLL);
  // Its scroll bar works while the list holds the mouse, and the list stays open.
  int top = int(SendMessage(list, LB_GETTOPINDEX));
  host.Click(lr.Right - 8, lr.Bottom - 6);
  Pump();
  EXPECT_TRUE(Dropped(c));
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX), top + 1);
  EXPECT_EQ(GetCapture(), list);
  Key(VK_ESCAPE);
  EXPECT_FALSE(Dropped(c));
}

TEST_F(ComboBoxTest, DestroyedWhileOpenOrFromItsOwnNotification) {
  HWND c = Combo();
  HWND list = ListOf(c);
  Click(c, 30, 8);
  ASSERT_TRUE(Dropped(c));
  DestroyWindow(c);
  EXPECT_FALSE(IsWindow(list));
  EXPECT_EQ(GetCapture(), nullptr);
  ParentLog().Handler = [](HWND, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_COMMAND && HIWORD(w) == CBN_SELENDOK) DestroyWindow(reinterpret_cast<HWND>(l));
    return std::nullopt;
  };
  HWND c2 = Combo();
  SetFocus(c2);
  Key(VK_F4);
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_FALSE(IsWindow(c2));
}

TEST_F(ComboBoxTest, Looks) {
  HWND closed = Combo(CBS_DROPDOWNLIST, 10, 10, 120, 100, 100);
  SendMessage(closed, CB_SETCURSEL, 0);
  HWND off = Combo(CBS_DROPDOWNLIST, 140, 10, 100, 100, 101);
  SendMessage(off, CB_SETCURSEL, 1);
  EnableWindow(off, false);
  HWND open = Combo(CBS_DROPDOWNLIST, 10, 50, 120, 90, 102);
  SendMessage(open, CB_SETCURSEL, 2);
  SetFocus(closed);
  Click(open, 30, 8);
  TPoint p = ItemOnScreen(ListOf(open), 3);
  host.MouseMove(p.X, p.Y);
  Pump();
  TBitmap screen = host.Screenshot();
  TBitmap out(260, 160);
  TDC dc(out);
  dc.BitBlt(0, 0, 260, 160, TDC(screen), 50, 50);
  Golden("combobox-states", out);
}

}  // namespace
}  // namespace vm::test

namespace vm::test {
namespace {

TEST_F(ComboBoxTest, AnEditFieldTakesTypingAndShowsTheChoice) {
  WNDCLASS edit;
  if (!GetClassInfo("Edit", &edit)) GTEST_SKIP() << "no Edit class in this build";
  HWND c = Combo(CBS_DROPDOWN);
  HWND field = GetWindow(c, GW_CHILD);
  ASSERT_TRUE(IsWindow(field));
  EXPECT_EQ(GetClassName(field), "Edit");
  SetFocus(c);
  EXPECT_EQ(GetFocus(), field);
  Type("Gre");
  EXPECT_EQ(Text(c), "Gre");
  EXPECT_GE(Commands(c, CBN_EDITCHANGE), 3);
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL), CB_ERR);
  // The keys of the list still work from the field.
  Key(VK_F4);
  EXPECT_TRUE(Dropped(c));
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_FALSE(Dropped(c));
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL), 0);
  EXPECT_EQ(Text(c), "Красный");
  EXPECT_EQ(Commands(c, CBN_SELCHANGE), 1);
  // A typed text that names an item shows that item when the list opens.
  SetWindowText(c, "blue");
  Key(VK_F4);
  EXPECT_EQ(SendMessage(ListOf(c), LB_GETCURSEL), 4);
  Key(VK_ESCAPE);
  EXPECT_EQ(Text(c), "blue");
}

}  // namespace
}  // namespace vm::test

namespace vm::test {
namespace {

TEST_F(ComboBoxTest, AnEditFieldsFocusIsTheCombosOnceEachWay) {
  HWND c = Combo(CBS_DROPDOWN);
  HWND other = Make(WC_BUTTON, "Другая", BS_PUSHBUTTON | WS_TABSTOP, 200, 10, 80, 24, 7);
  HWND field = GetWindow(c, GW_CHILD);
  ParentLog().Messages.clear();
  SetFocus(c);
  EXPECT_EQ(GetFocus(), field);
  EXPECT_EQ(Notes(c), (std::vector<UINT>{CBN_SETFOCUS}));
  Click(field, 5, 5);
  SetFocus(other);
  EXPECT_EQ(Notes(c), (std::vector<UINT>{CBN_SETFOCUS, CBN_KILLFOCUS}));
  // An open list closes without a choice before the focus is reported lost.
  SetFocus(field);
  SendMessage(c, CB_SHOWDROPDOWN, 1);
  ParentLog().Messages.clear();
  SetFocus(other);
  EXPECT_FALSE(Dropped(c));
  EXPECT_EQ(Notes(c), (std::vector<UINT>{CBN_SELENDCANCEL, CBN_CLOSEUP, CBN_KILLFOCUS}));
}

TEST_F(ComboBoxTest, TheEditShowsANewChoiceAfterTheParentHearsOfIt) {
  HWND c = Combo(CBS_DROPDOWN);
  SetFocus(c);
  // Characters and keys sent to the combo box are its edit's.
  SendMessage(c, WM_CHAR, 'Z');
  SendMessage(c, WM_CHAR, 'x');
  EXPECT_EQ(Text(c), "Zx");
  SendMessage(c, WM_KEYDOWN, VK_HOME);
  SendMessage(c, WM_CHAR, 'a');
  EXPECT_EQ(Text(c), "aZx");
  std::vector<std::string> seen;
  ParentLog().Handler = [&](HWND, UINT msg, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
    if (msg == WM_COMMAND && HIWORD(w) == CBN_SELCHANGE)
      seen.push_back(GetWindowText(reinterpret_cast<HWND>(l)));
    return std::nullopt;
  };
  ParentLog().Messages.clear();
  Key(VK_DOWN);
  EXPECT_EQ(seen, (std::vector<std::string>{"aZx"}));
  EXPECT_EQ(Text(c), "Красный");
  // Filling the edit with the choice is not the user's editing.
  EXPECT_EQ(Notes(c), (std::vector<UINT>{CBN_SELCHANGE}));
  ParentLog().Handler = nullptr;
}

TEST_F(ComboBoxTest, DroppedWidthAndFieldHeightAnswerAsThePlatform) {
  HWND c = Combo(CBS_DROPDOWNLIST, 10, 10, 120);
  EXPECT_EQ(SendMessage(c, CB_GETDROPPEDWIDTH), 120);
  EXPECT_EQ(SendMessage(c, CB_SETDROPPEDWIDTH, 200), 200);
  EXPECT_EQ(SendMessage(c, CB_SETDROPPEDWIDTH, 0), 200);   // 0 changes nothing
  EXPECT_EQ(SendMessage(c, CB_SETDROPPEDWIDTH, 50), 120);  // narrower: the field's width
  EXPECT_EQ(SendMessage(c, CB_GETDROPPEDWIDTH), 120);
  EXPECT_EQ(SendMessage(c, CB_SETDROPPEDWIDTH, 40000), CB_ERR);
  EXPECT_EQ(SendMessage(c, CB_SETDROPPEDWIDTH, WPARAM(-5)), 120);
  HWND simple = Combo(CBS_SIMPLE, 150, 10, 100, 100, 101);
  EXPECT_EQ(SendMessage(simple, CB_SETDROPPEDWIDTH, 200), CB_ERR);
  // The field's height answers the height set; nonsense heights are refused.
  EXPECT_EQ(SendMessage(c, CB_SETITEMHEIGHT, WPARAM(-1), 20), 20);
  EXPECT_EQ(SendMessage(c, CB_GETITEMHEIGHT, WPARAM(-1)), 20);
  TRect r;
  GetWindowRect(c, &r);
  EXPECT_EQ(r.Height(), 28);
  EXPECT_EQ(SendMessage(c, CB_SETITEMHEIGHT, WPARAM(-1), 0), CB_ERR);
  EXPECT_EQ(SendMessage(c, CB_SETITEMHEIGHT, WPARAM(-1), -4), CB_ERR);
  EXPECT_EQ(SendMessage(c, CB_GETITEMHEIGHT, WPARAM(-1)), 20);
  EXPECT_EQ(SendMessage(c, CB_SETITEMHEIGHT, 0, 300), CB_ERR);
}

}  // namespace
}  // namespace vm::test
