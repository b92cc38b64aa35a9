#include <string>
#include <vector>

#include "ControlTestSupport.h"

namespace vm::test {
namespace {

class ListBoxTest : public TControlTest {
 protected:
  HWND List(DWORD style, int x = 10, int y = 10, int w = 150, int h = 100, int id = 100) {
    return Make(WC_LISTBOX, "", style, x, y, w, h, id, WS_EX_CLIENTEDGE);
  }
  static LPARAM Str(const char* s) { return LPARAM(reinterpret_cast<std::uintptr_t>(s)); }
  void Add(HWND lb, std::initializer_list<const char*> texts) {
    for (const char* t : texts) SendMessage(lb, LB_ADDSTRING, 0, Str(t));
  }
  std::string Text(HWND lb, int i) {
    LRESULT n = SendMessage(lb, LB_GETTEXTLEN, WPARAM(i));
    if (n < 0) return "<err>";
    std::string s(std::size_t(n) + 1, '\0');
    SendMessage(lb, LB_GETTEXT, WPARAM(i), Str(s.data()));
    s.resize(std::size_t(n));
    return s;
  }
  std::vector<std::string> Texts(HWND lb) {
    std::vector<std::string> out;
    for (int i = 0; i < int(SendMessage(lb, LB_GETCOUNT)); ++i) out.push_back(Text(lb, i));
    return out;
  }
  int Height(HWND lb) { return int(SendMessage(lb, LB_GETITEMHEIGHT)); }
  // The middle of item i in the list's client coordinates.
  TPoint ItemPoint(HWND lb, int i) {
    TRect r;
    SendMessage(lb, LB_GETITEMRECT, WPARAM(i), LPARAM(&r));
    return {r.Left + 20, (r.Top + r.Bottom) / 2};
  }
  void ClickItem(HWND lb, int i) {
    TPoint p = ItemPoint(lb, i);
    Click(lb, p.X, p.Y);
  }
  int CurSel(HWND lb) { return int(SendMessage(lb, LB_GETCURSEL)); }
  int Top(HWND lb) { return int(SendMessage(lb, LB_GETTOPINDEX)); }
  std::vector<int> Selected(HWND lb) {
    int n = int(SendMessage(lb, LB_GETSELCOUNT));
    std::vector<int> out(std::size_t(std::max(n, 0)));
    SendMessage(lb, LB_GETSELITEMS, WPARAM(n), LPARAM(out.data()));
    return out;
  }
  void Fill(HWND lb, int n) {
    for (int i = 0; i < n; ++i) {
      std::string s = "Item " + std::to_string(100 + i);
      SendMessage(lb, LB_ADDSTRING, 0, Str(s.c_str()));
    }
  }
};

TEST_F(ListBoxTest, SortedListsOrderTextsWithoutRegardToCase) {
  HWND lb = List(LBS_SORT | LBS_NOTIFY);
  Add(lb, {"яблоко", "banana", "Апельсин", "apple", "Banana", "Ёлка", "ель", "Cherry"});
  // Latin before Cyrillic, case ignored; equal texts keep the order they came in.
  EXPECT_EQ(Texts(lb), (std::vector<std::string>{"apple", "banana", "Banana", "Cherry", "Апельсин",
                                                 "ель", "яблоко", "Ёлка"}));
  // Inserting at a place ignores the order; beyond the end is refused.
  EXPECT_EQ(SendMessage(lb, LB_INSERTSTRING, 1, Str("zzz")), 1);
  EXPECT_EQ(SendMessage(lb, LB_INSERTSTRING, 99, Str("x")), LB_ERR);
  EXPECT_EQ(SendMessage(lb, LB_INSERTSTRING, WPARAM(-1), Str("last")), 9);
  EXPECT_EQ(Text(lb, 1), "zzz");
  // Searches: a prefix from after an item round the end, or the whole text.
  EXPECT_EQ(SendMessage(lb, LB_FINDSTRING, WPARAM(-1), Str("BAN")), 2);
  EXPECT_EQ(SendMessage(lb, LB_FINDSTRING, 2, Str("ban")), 3);
  EXPECT_EQ(SendMessage(lb, LB_FINDSTRING, 3, Str("ban")), 2);  // round the end
  EXPECT_EQ(SendMessage(lb, LB_FINDSTRING, WPARAM(-1), Str("апел")), 5);
  EXPECT_EQ(SendMessage(lb, LB_FINDSTRINGEXACT, WPARAM(-1), Str("BANANA")), 2);
  EXPECT_EQ(SendMessage(lb, LB_FINDSTRINGEXACT, WPARAM(-1), Str("ban")), LB_ERR);
  EXPECT_EQ(SendMessage(lb, LB_FINDSTRING, 500, Str("zz")), 1);  // a bad start searches all
  // Selecting by text does not notify; neither does LB_SETCURSEL.
  EXPECT_EQ(SendMessage(lb, LB_SELECTSTRING, WPARAM(-1), Str("cher")), 4);
  EXPECT_EQ(CurSel(lb), 4);
  EXPECT_EQ(SendMessage(lb, LB_SETCURSEL, WPARAM(-1)), LB_ERR);
  EXPECT_EQ(CurSel(lb), -1);
  EXPECT_EQ(Commands(lb, LBN_SELCHANGE), 0);
  // Texts that are not valid UTF-8 are kept and compared byte by byte, never a crash.
  Add(lb, {"\xff\xfe broken", "\xd0"});
  EXPECT_EQ(SendMessage(lb, LB_GETCOUNT), 12);
  EXPECT_EQ(Text(lb, 99), "<err>");
}

TEST_F(ListBoxTest, TheSelectionFollowsItsItemWhenOthersComeAndGo) {
  HWND lb = List(0);
  Add(lb, {"a", "b", "c", "d"});
  SendMessage(lb, LB_SETCURSEL, 2);
  SendMessage(lb, LB_SETITEMDATA, 2, 0xC0FFEE);
  SendMessage(lb, LB_INSERTSTRING, 0, Str("first"));
  EXPECT_EQ(CurSel(lb), 3);
  EXPECT_EQ(SendMessage(lb, LB_GETITEMDATA, 3), 0xC0FFEE);
  EXPECT_EQ(SendMessage(lb, LB_DELETESTRING, 1), 4);  // returns what is left
  EXPECT_EQ(CurSel(lb), 2);
  EXPECT_EQ(Text(lb, 2), "c");
  EXPECT_EQ(SendMessage(lb, LB_DELETESTRING, 2), 3);  // the chosen item itself
  EXPECT_EQ(CurSel(lb), -1);
  EXPECT_EQ(SendMessage(lb, LB_DELETESTRING, 3), LB_ERR);
  EXPECT_EQ(SendMessage(lb, LB_DELETESTRING, WPARAM(-1)), LB_ERR);
  EXPECT_EQ(SendMessage(lb, LB_GETITEMDATA, 7), LB_ERR);
  SendMessage(lb, LB_RESETCONTENT);
  EXPECT_EQ(SendMessage(lb, LB_GETCOUNT), 0);
  EXPECT_EQ(CurSel(lb), -1);
}

TEST_F(ListBoxTest, MouseChoosesAndDoubleClickTells) {
  HWND lb = List(LBS_NOTIFY);
  Add(lb, {"one", "two", "three", "four"});
  ClickItem(lb, 1);
  EXPECT_EQ(CurSel(lb), 1);
  EXPECT_EQ(GetFocus(), lb);
  EXPECT_EQ(Commands(lb, LBN_SELCHANGE), 1);
  EXPECT_EQ(Commands(lb, LBN_SETFOCUS), 1);
  host.AdvanceClock(1000);
  ClickItem(lb, 1);  // the same item again: nothing changed, nothing told
  EXPECT_EQ(Commands(lb, LBN_SELCHANGE), 1);
  host.AdvanceClock(1000);
  TPoint p = ItemPoint(lb, 2);
  TPoint s = Screen(lb, p.X, p.Y);
  host.DoubleClick(s.X, s.Y);
  Pump();
  EXPECT_EQ(CurSel(lb), 2);
  EXPECT_EQ(Commands(lb, LBN_DBLCLK), 1);
  // Dragging with the button down walks the selection along.
  host.AdvanceClock(1000);
  Press(lb, 20, ItemPoint(lb, 0).Y);
  MoveTo(lb, 20, ItemPoint(lb, 3).Y);
  EXPECT_EQ(CurSel(lb), 3);
  Release();
  EXPECT_EQ(GetCapture(), nullptr);
  // Below the last item a click chooses nothing.
  Click(lb, 20, 90);
  EXPECT_EQ(CurSel(lb), 3);
  // Without LBS_NOTIFY the parent hears only of the focus.
  HWND quiet = List(0, 170, 10, 100, 100, 101);
  Add(quiet, {"x", "y"});
  ClickItem(quiet, 1);
  EXPECT_EQ(CurSel(quiet), 1);
  EXPECT_EQ(Commands(quiet, LBN_SELCHANGE), 0);
  EXPECT_EQ(Commands(quiet, LBN_SETFOCUS), 1);
  EXPECT_EQ(Commands(lb, LBN_KILLFOCUS), 1);
}

TEST_F(ListBoxTest, KeysMoveTheSelectionAndKeepItInView) {
  HWND lb = List(LBS_NOTIFY | WS_VSCROLL);
  Fill(lb, 30);
  SetFocus(lb);
  int shown = 0;
  {
    TRect c;
    GetClientRect(lb, &c);
    shown = c.Height() / Height(lb);
  }
  Key(VK_DOWN);  // nothing chosen yet: the first key chooses the first item
  EXPECT_EQ(CurSel(lb), 0);
  Key(VK_DOWN);
  EXPECT_EQ(CurSel(lb), 1);
  Key(VK_NEXT);
  EXPECT_EQ(CurSel(lb), shown);
  EXPECT_EQ(Top(lb), 1);  // the chosen item is the last one shown
  Key(VK_END);
  EXPECT_EQ(CurSel(lb), 29);
  EXPECT_EQ(Top(lb), 30 - shown);
  Key(VK_HOME);
  EXPECT_EQ(CurSel(lb), 0);
  EXPECT_EQ(Top(lb), 0);
  Key(VK_UP);  // at the top already
  EXPECT_EQ(CurSel(lb), 0);
  EXPECT_EQ(Commands(lb, LBN_SELCHANGE), 5);
  // Type-ahead: a letter goes to the next item that starts with it, round the end.
  HWND fruits = List(LBS_SORT, 170, 10, 100, 100, 101);
  Add(fruits, {"Банан", "apple", "Brazil", "avocado", "бузина", "cherry"});
  SetFocus(fruits);
  Type("a");
  EXPECT_EQ(CurSel(fruits), 0);
  Type("a");
  EXPECT_EQ(CurSel(fruits), 1);
  Type("A");
  EXPECT_EQ(CurSel(fruits), 0);
  Type("б");  // a Cyrillic letter typed through the input method
  EXPECT_EQ(Text(fruits, CurSel(fruits)), "Банан");
  Type("Б");
  EXPECT_EQ(Text(fruits, CurSel(fruits)), "бузина");
  Type("q");  // no such item: nothing moves
  EXPECT_EQ(Text(fruits, CurSel(fruits)), "бузина");
}

TEST_F(ListBoxTest, MultipleAndExtendedSelection) {
  HWND multi = List(LBS_MULTIPLESEL | LBS_NOTIFY);
  Add(multi, {"a", "b", "c", "d", "e"});
  ClickItem(multi, 1);
  ClickItem(multi, 3);
  EXPECT_EQ(Selected(multi), (std::vector<int>{1, 3}));
  ClickItem(multi, 1);  // a click toggles
  EXPECT_EQ(Selected(multi), std::vector<int>{3});
  Key(VK_DOWN);  // the keys move the focus only; space toggles
  Key(VK_DOWN);
  Key(VK_DOWN);
  Key(VK_SPACE);
  EXPECT_EQ(Selected(multi), (std::vector<int>{3, 4}));
  EXPECT_EQ(SendMessage(multi, LB_GETCARETINDEX), 4);
  EXPECT_EQ(SendMessage(multi, LB_SETCURSEL, 1), LB_ERR);  // single selection only
  SendMessage(multi, LB_SETSEL, 1, -1);
  EXPECT_EQ(SendMessage(multi, LB_GETSELCOUNT), 5);

  HWND ext = List(LBS_EXTENDEDSEL | LBS_NOTIFY, 170, 10, 100, 100, 101);
  Add(ext, {"a", "b", "c", "d", "e", "f"});
  ClickItem(ext, 1);
  host.KeyDown(VK_SHIFT);
  ClickItem(ext, 3);
  host.KeyUp(VK_SHIFT);
  EXPECT_EQ(Selected(ext), (std::vector<int>{1, 2, 3}));
  host.KeyDown(VK_CONTROL);
  ClickItem(ext, 5);
  ClickItem(ext, 2);
  host.KeyUp(VK_CONTROL);
  EXPECT_EQ(Selected(ext), (std::vector<int>{1, 3, 5}));
  ClickItem(ext, 0);  // a plain click starts again
  EXPECT_EQ(Selected(ext), std::vector<int>{0});
  host.KeyDown(VK_SHIFT);
  Key(VK_DOWN);
  Key(VK_DOWN);
  host.KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(Selected(ext), (std::vector<int>{0, 1, 2}));
  // Dragging selects the range from where the press began.
  Press(ext, 20, ItemPoint(ext, 4).Y);
  MoveTo(ext, 20, ItemPoint(ext, 2).Y);
  Release();
  EXPECT_EQ(Selected(ext), (std::vector<int>{2, 3, 4}));
}

// The anchor as the platform keeps it: none at first; clicks set it in
// every kind of list; keys move it in single and extended lists, not in
// multiple ones; LB_SETSEL sets it (and the caret) when it selects.
TEST_F(ListBoxTest, TheAnchorFollowsClicksKeysAndSetSel) {
  auto anchor = [](HWND lb) { return int(SendMessage(lb, LB_GETANCHORINDEX)); };
  auto caret = [](HWND lb) { return int(SendMessage(lb, LB_GETCARETINDEX)); };
  HWND single = List(0, 10, 10, 100, 80, 1);
  HWND multi = List(LBS_MULTIPLESEL, 120, 10, 100, 80, 2);
  HWND ext = List(LBS_EXTENDEDSEL, 230, 10, 100, 80, 3);
  for (HWND lb : {single, multi, ext}) {
    Fill(lb, 4);
    EXPECT_EQ(anchor(lb), LB_ERR);
    ClickItem(lb, 1);
    EXPECT_EQ(anchor(lb), 1);
    EXPECT_EQ(caret(lb), 1);
    Key(VK_DOWN);
    EXPECT_EQ(caret(lb), 2);
  }
  EXPECT_EQ(anchor(single), 2);
  EXPECT_EQ(anchor(multi), 1);
  EXPECT_EQ(anchor(ext), 2);
  // Shift+Down in an extended list grows the range from the anchor.
  host.KeyDown(VK_SHIFT);
  Key(VK_DOWN);
  host.KeyUp(VK_SHIFT);
  EXPECT_EQ(anchor(ext), 2);
  EXPECT_EQ(Selected(ext), (std::vector<int>{2, 3}));
  // A range selected by message leaves the anchor; LB_SETSEL moves it.
  HWND fresh = List(LBS_MULTIPLESEL, 10, 100, 100, 80, 4);
  Fill(fresh, 4);
  SendMessage(fresh, LB_SELITEMRANGE, 1, MAKELPARAM(1, 2));
  EXPECT_EQ(anchor(fresh), LB_ERR);
  EXPECT_EQ(SendMessage(fresh, LB_SETSEL, 1, 3), LB_OKAY);
  EXPECT_EQ(anchor(fresh), 3);
  EXPECT_EQ(caret(fresh), 3);
  SendMessage(fresh, LB_SETSEL, 0, 1);
  EXPECT_EQ(anchor(fresh), 3);
  EXPECT_EQ(SendMessage(fresh, LB_SETSEL, 1, 9), LB_ERR);
  EXPECT_EQ(anchor(fresh), 3);
  SendMessage(fresh, LB_RESETCONTENT);
  EXPECT_EQ(anchor(fresh), LB_ERR);
  // Item data: TRUE when set, LB_ERR for an item that is not there.
  EXPECT_EQ(SendMessage(single, LB_SETITEMDATA, 2, 77), 1);
  EXPECT_EQ(SendMessage(single, LB_GETITEMDATA, 2), 77);
  EXPECT_EQ(SendMessage(single, LB_SETITEMDATA, 4, 77), LB_ERR);
  EXPECT_EQ(SendMessage(single, LB_SETITEMDATA, WPARAM(-2), 77), LB_ERR);
}

TEST_F(ListBoxTest, ScrollBarWheelAndTopIndex) {
  HWND lb = List(WS_VSCROLL);
  Add(lb, {"a", "b"});
  // Everything fits: no bar.
  EXPECT_FALSE(GetWindowLongPtr(lb, GWL_STYLE) & WS_VSCROLL);
  Fill(lb, 40);
  EXPECT_TRUE(GetWindowLongPtr(lb, GWL_STYLE) & WS_VSCROLL);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(lb, SB_VERT, &si);
  TRect c;
  GetClientRect(lb, &c);
  int shown = c.Height() / Height(lb);
  EXPECT_EQ(si.nMax, 41);
  EXPECT_EQ(int(si.nPage), shown);
  // The wheel: three lines a notch; the bar's arrow: one.
  MoveTo(lb, 20, 20);
  SetFocus(lb);
  host.Wheel(-WHEEL_DELTA);
  Pump();
  EXPECT_EQ(Top(lb), 3);
  TRect wr;
  GetWindowRect(lb, &wr);
  host.MouseMove(wr.Right - 4, wr.Bottom - 6);  // the down arrow inside the client edge
  host.MouseDown();
  Pump();
  host.MouseUp();
  Pump();
  EXPECT_EQ(Top(lb), 4);
  EXPECT_EQ(GetScrollPos(lb, SB_VERT), 4);
  // The top index cannot leave the last page short.
  EXPECT_EQ(SendMessage(lb, LB_SETTOPINDEX, 41), LB_OKAY);
  EXPECT_EQ(Top(lb), 42 - shown);
  EXPECT_EQ(SendMessage(lb, LB_SETTOPINDEX, 42), LB_ERR);
  // Points and rectangles of items.
  TRect r;
  SendMessage(lb, LB_GETITEMRECT, 41, LPARAM(&r));
  EXPECT_EQ(r.Bottom, shown * Height(lb));
  LRESULT hit = SendMessage(lb, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, r.Top + 1));
  EXPECT_EQ(LOWORD(hit), 41);
  EXPECT_EQ(HIWORD(hit), 0);
  hit = SendMessage(lb, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 500));
  EXPECT_EQ(HIWORD(hit), 1);
  SendMessage(lb, LB_RESETCONTENT);
  EXPECT_FALSE(GetWindowLongPtr(lb, GWL_STYLE) & WS_VSCROLL);
}

TEST_F(ListBoxTest, HeightIsAWholeNumberOfItemsUnlessAskedOtherwise) {
  HWND lb = List(0, 10, 10, 100, 100);
  TRect c;
  GetClientRect(lb, &c);
  EXPECT_EQ(c.Height() % Height(lb), 0);
  EXPECT_GT(c.Height(), 100 - 4 - Height(lb));
  HWND free = List(LBS_NOINTEGRALHEIGHT, 120, 10, 100, 100, 101);
  GetClientRect(free, &c);
  EXPECT_EQ(c.Height(), 96);
}

// Owner-drawn items: measured and drawn by the parent, ordered and deleted with its help.
struct TOwnerLog {
  std::vector<UINT> Measured, Drawn, Deleted;
  std::vector<UINT> DrawnStates;
};

TOwnerLog& Owner() {
  static TOwnerLog log;
  return log;
}

std::optional<LRESULT> OwnerHandler(HWND, UINT m, WPARAM, LPARAM l) {
  switch (m) {
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
      Owner().Measured.push_back(mis->itemID);
      mis->itemHeight = 10 + UINT(mis->itemData % 3) * 5;  // 10, 15 or 20
      return 1;
    }
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(l);
      Owner().Drawn.push_back(UINT(dis->itemData));
      Owner().DrawnStates.push_back(dis->itemState);
      dis->hDC->FillRect(dis->rcItem,
                         (dis->itemState & ODS_SELECTED) ? RGB(200, 0, 0) : RGB(0, 0, 200));
      return 1;
    }
    case WM_COMPAREITEM: {
      auto* cis = reinterpret_cast<COMPAREITEMSTRUCT*>(l);
      return cis->itemData1 < cis->itemData2 ? -1 : cis->itemData1 > cis->itemData2 ? 1 : 0;
    }
    case WM_DELETEITEM:
      Owner().Deleted.push_back(UINT(reinterpret_cast<DELETEITEMSTRUCT*>(l)->itemData));
      return 1;
  }
  return std::nullopt;
}

TEST_F(ListBoxTest, OwnerDrawnItemsWithoutStrings) {
  Owner() = {};
  ParentLog().Handler = &OwnerHandler;
  HWND lb = List(LBS_OWNERDRAWVARIABLE | LBS_SORT | LBS_NOTIFY, 10, 10, 100, 60);
  for (std::uintptr_t d : {7u, 3u, 5u, 1u}) SendMessage(lb, LB_ADDSTRING, 0, LPARAM(d));
  // Sorted by the owner's comparison; each item measured once with its data.
  EXPECT_EQ(SendMessage(lb, LB_GETITEMDATA, 0), 1);
  EXPECT_EQ(SendMessage(lb, LB_GETITEMDATA, 3), 7);
  EXPECT_EQ(Owner().Measured.size(), 4u);
  EXPECT_EQ(SendMessage(lb, LB_GETITEMHEIGHT, 0), 15);  // data 1
  EXPECT_EQ(SendMessage(lb, LB_GETITEMHEIGHT, 1), 10);  // data 3
  TRect r;
  SendMessage(lb, LB_GETITEMRECT, 2, LPARAM(&r));
  EXPECT_EQ(r.Top, 25);
  EXPECT_EQ(r.Bottom, 45);  // data 5: 20 high
  // Text look-ups find items by their data.
  EXPECT_EQ(SendMessage(lb, LB_FINDSTRING, WPARAM(-1), LPARAM(5)), 2);
  Owner().Drawn.clear();
  ClickItem(lb, 1);
  Pump();
  ASSERT_FALSE(Owner().Drawn.empty());
  bool sawSelectedFocus = false;
  for (std::size_t i = 0; i < Owner().Drawn.size(); ++i)
    if (Owner().Drawn[i] == 3 &&
        (Owner().DrawnStates[i] & (ODS_SELECTED | ODS_FOCUS)) == (ODS_SELECTED | ODS_FOCUS))
      sawSelectedFocus = true;
  EXPECT_TRUE(sawSelectedFocus);
  SendMessage(lb, LB_DELETESTRING, 0);
  SendMessage(lb, LB_RESETCONTENT);
  EXPECT_EQ(Owner().Deleted, (std::vector<UINT>{1, 7, 5, 3}));
}

// Destroys the list from inside its own notification.
std::optional<LRESULT> DestroyOnSelChange(HWND, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_COMMAND && HIWORD(w) == LBN_SELCHANGE) DestroyWindow(reinterpret_cast<HWND>(l));
  return std::nullopt;
}

TEST_F(ListBoxTest, AListDestroyedByItsOwnNotificationDoesNotCrash) {
  ParentLog().Handler = &DestroyOnSelChange;
  HWND lb = List(LBS_NOTIFY | WS_VSCROLL);
  Fill(lb, 20);
  ClickItem(lb, 2);
  EXPECT_FALSE(IsWindow(lb));
  Release();
  HWND lb2 = List(LBS_NOTIFY | WS_VSCROLL);
  Fill(lb2, 20);
  SetFocus(lb2);
  Key(VK_END);
  EXPECT_FALSE(IsWindow(lb2));
}

TEST_F(ListBoxTest, Looks) {
  HWND lb = List(LBS_NOTIFY | WS_VSCROLL, 10, 10, 140, 110);
  Add(lb, {"Первый", "Второй", "Третий", "Fourth", "Fifth", "Sixth", "Seventh", "Eighth", "Ninth"});
  HWND ext = List(LBS_EXTENDEDSEL, 160, 10, 100, 110, 101);
  Add(ext, {"Alpha", "Beta", "Gamma", "Delta"});
  HWND off = List(0, 270, 10, 100, 110, 102);
  Add(off, {"Disabled", "Chosen"});
  SendMessage(off, LB_SETCURSEL, 1);
  EnableWindow(off, false);
  ClickItem(ext, 0);
  host.KeyDown(VK_CONTROL);
  ClickItem(ext, 2);
  host.KeyUp(VK_CONTROL);
  ClickItem(lb, 1);
  Golden("listbox-states", ShotOf(Rect(0, 0, 380, 130)));
}

}  // namespace
}  // namespace vm::test
