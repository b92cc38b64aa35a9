#include <memory>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "platform/gfx/ImageList.h"

namespace vm::test {
namespace {

class ListViewTest : public TControlTest {
 protected:
  HWND View(DWORD style, int x = 10, int y = 10, int w = 300, int h = 150, int id = 100) {
    return Make(WC_LISTVIEW, "", style | WS_TABSTOP, x, y, w, h, id, WS_EX_CLIENTEDGE);
  }
  void Column(HWND lv, int at, const char* text, int width, int fmt = LVCFMT_LEFT) {
    LVCOLUMN c;
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    c.pszText = const_cast<char*>(text);
    c.cx = width;
    c.fmt = fmt;
    SendMessage(lv, LVM_INSERTCOLUMN, WPARAM(at), LPARAM(&c));
  }
  int Item(HWND lv, int at, const std::string& text, int image = -1, LPARAM param = 0) {
    LVITEM it;
    it.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    it.iItem = at;
    it.pszText = const_cast<char*>(text.c_str());
    it.iImage = image;
    it.lParam = param;
    return int(SendMessage(lv, LVM_INSERTITEM, 0, LPARAM(&it)));
  }
  void Sub(HWND lv, int item, int sub, const char* text) {
    LVITEM it;
    it.mask = LVIF_TEXT;
    it.iItem = item;
    it.iSubItem = sub;
    it.pszText = const_cast<char*>(text);
    SendMessage(lv, LVM_SETITEM, 0, LPARAM(&it));
  }
  std::string Text(HWND lv, int item, int sub = 0) {
    char buf[64] = {};
    LVITEM it;
    it.iSubItem = sub;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    SendMessage(lv, LVM_GETITEMTEXT, WPARAM(item), LPARAM(&it));
    return buf;
  }
  std::vector<int> Selected(HWND lv) {
    std::vector<int> out;
    for (int i = -1; (i = int(SendMessage(lv, LVM_GETNEXTITEM, WPARAM(i), LVNI_SELECTED))) >= 0;)
      out.push_back(i);
    return out;
  }
  int Focused(HWND lv) { return int(SendMessage(lv, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED)); }
  TPoint LabelPoint(HWND lv, int i) {
    TRect r;
    r.Left = LVIR_LABEL;
    SendMessage(lv, LVM_GETITEMRECT, WPARAM(i), LPARAM(&r));
    return {r.Left + 3, (r.Top + r.Bottom) / 2};
  }
  void ClickItem(HWND lv, int i) {
    TPoint p = LabelPoint(lv, i);
    Click(lv, p.X, p.Y);
  }
};

// The parent's notifications, copied while the structures are alive.
struct TNote {
  UINT Code;
  int Item;
  UINT NewState, OldState;
  int Key;
};

std::vector<TNote>& NotesLog() {
  static std::vector<TNote> log;
  return log;
}

std::optional<LRESULT> Record(HWND, UINT m, WPARAM, LPARAM l) {
  if (m != WM_NOTIFY) return std::nullopt;
  auto* hdr = reinterpret_cast<const NMHDR*>(l);
  if (GetClassName(hdr->hwndFrom) != WC_LISTVIEW) return std::nullopt;
  TNote n{hdr->code, -1, 0, 0, 0};
  if (hdr->code == LVN_ITEMCHANGED || hdr->code == LVN_ITEMCHANGING) {
    auto* nm = reinterpret_cast<const NMLISTVIEW*>(l);
    n.Item = nm->iItem;
    n.NewState = nm->uNewState;
    n.OldState = nm->uOldState;
  } else if (hdr->code == NM_CLICK || hdr->code == NM_DBLCLK) {
    n.Item = reinterpret_cast<const NMITEMACTIVATE*>(l)->iItem;
  } else if (hdr->code == LVN_KEYDOWN) {
    n.Key = reinterpret_cast<const NMLVKEYDOWN*>(l)->wVKey;
  }
  NotesLog().push_back(n);
  return std::nullopt;
}

int CountOf(UINT code) {
  int n = 0;
  for (const TNote& x : NotesLog()) n += x.Code == code;
  return n;
}

TEST_F(ListViewTest, ReportColumnsItemsAndTheirTexts) {
  HWND lv = View(LVS_REPORT);
  Column(lv, 0, "Имя", 120);
  Column(lv, 1, "Размер", 80, LVCFMT_RIGHT);
  HWND header = reinterpret_cast<HWND>(SendMessage(lv, LVM_GETHEADER));
  ASSERT_TRUE(IsWindow(header));
  EXPECT_EQ(GetClassName(header), WC_HEADER);
  EXPECT_EQ(SendMessage(header, HDM_GETITEMCOUNT), 2);
  EXPECT_TRUE(IsWindowVisible(header));
  EXPECT_EQ(Item(lv, 0, "photo.jpg", -1, 42), 0);
  EXPECT_EQ(Item(lv, 0, "album", -1, 7), 0);
  EXPECT_EQ(Item(lv, 99, "last.bmp"), 2);  // beyond the end: appended
  Sub(lv, 1, 1, "1 234 КБ");
  EXPECT_EQ(Text(lv, 1), "photo.jpg");
  EXPECT_EQ(Text(lv, 1, 1), "1 234 КБ");
  EXPECT_EQ(Text(lv, 0, 1), "");
  // A short buffer gets a whole character less, never half of one.
  char small[6] = {};
  LVITEM it;
  it.mask = LVIF_TEXT | LVIF_PARAM;
  it.iItem = 1;
  it.iSubItem = 1;
  it.pszText = small;
  it.cchTextMax = 6;
  ASSERT_EQ(SendMessage(lv, LVM_GETITEM, 0, LPARAM(&it)), 1);
  EXPECT_EQ(std::string(small), "1 234");
  EXPECT_EQ(it.lParam, 42);
  it.iItem = 17;
  EXPECT_EQ(SendMessage(lv, LVM_GETITEM, 0, LPARAM(&it)), 0);
  LVFINDINFO fi;
  fi.flags = LVFI_PARAM;
  fi.lParam = 7;
  EXPECT_EQ(SendMessage(lv, LVM_FINDITEM, WPARAM(-1), LPARAM(&fi)), 0);
  fi.flags = LVFI_STRING | LVFI_PARTIAL;
  fi.psz = "PHO";
  EXPECT_EQ(SendMessage(lv, LVM_FINDITEM, WPARAM(-1), LPARAM(&fi)), 1);
  EXPECT_EQ(SendMessage(lv, LVM_DELETEITEM, 0), 1);
  EXPECT_EQ(SendMessage(lv, LVM_DELETEITEM, 5), 0);
  EXPECT_EQ(SendMessage(lv, LVM_GETITEMCOUNT), 2);
  EXPECT_EQ(Text(lv, 0), "photo.jpg");
  // Dragging the header's divider widens the column; the rows follow.
  TRect hr;
  SendMessage(header, HDM_GETITEMRECT, 0, LPARAM(&hr));
  Press(header, hr.Right, 5);
  MoveTo(header, hr.Right + 30, 5);
  Release();
  EXPECT_EQ(SendMessage(lv, LVM_GETCOLUMNWIDTH, 0), 150);
}

TEST_F(ListViewTest, MouseSelectionTellsEveryChange) {
  NotesLog().clear();
  ParentLog().Handler = &Record;
  HWND lv = View(LVS_REPORT | LVS_SHOWSELALWAYS);
  Column(lv, 0, "Name", 150);
  for (int i = 0; i < 6; ++i) Item(lv, i, "file" + std::to_string(i));
  NotesLog().clear();
  ClickItem(lv, 2);
  EXPECT_EQ(Selected(lv), std::vector<int>{2});
  EXPECT_EQ(Focused(lv), 2);
  EXPECT_EQ(GetFocus(), lv);
  ASSERT_GE(NotesLog().size(), 3u);
  EXPECT_EQ(CountOf(NM_CLICK), 1);
  bool sawSelected = false;
  for (const TNote& n : NotesLog())
    if (n.Code == LVN_ITEMCHANGED && n.Item == 2 && (n.NewState & LVIS_SELECTED) &&
        !(n.OldState & LVIS_SELECTED))
      sawSelected = true;
  EXPECT_TRUE(sawSelected);
  host.KeyDown(VK_CONTROL);
  ClickItem(lv, 4);
  host.KeyUp(VK_CONTROL);
  EXPECT_EQ(Selected(lv), (std::vector<int>{2, 4}));
  host.KeyDown(VK_SHIFT);
  ClickItem(lv, 0);
  host.KeyUp(VK_SHIFT);
  EXPECT_EQ(Selected(lv), (std::vector<int>{0, 1, 2, 3, 4}));
  // A click on empty space lets go of everything.
  Click(lv, 200, 120);
  EXPECT_TRUE(Selected(lv).empty());
  host.AdvanceClock(1000);
  TPoint p = LabelPoint(lv, 3);
  TPoint s = Screen(lv, p.X, p.Y);
  host.DoubleClick(s.X, s.Y);
  Pump();
  EXPECT_EQ(CountOf(NM_DBLCLK), 1);
  EXPECT_EQ(CountOf(LVN_ITEMACTIVATE), 1);
  // With LVS_SINGLESEL a second item replaces the first, Ctrl or not.
  HWND single = View(LVS_REPORT | LVS_SINGLESEL, 10, 170, 300, 100, 101);
  Column(single, 0, "Name", 150);
  for (int i = 0; i < 3; ++i) Item(single, i, "x" + std::to_string(i));
  ClickItem(single, 0);
  host.KeyDown(VK_CONTROL);
  ClickItem(single, 2);
  host.KeyUp(VK_CONTROL);
  EXPECT_EQ(Selected(single), std::vector<int>{2});
}

TEST_F(ListViewTest, KeysMoveTheFocusAndTellTheParent) {
  NotesLog().clear();
  ParentLog().Handler = &Record;
  HWND lv = View(LVS_REPORT);
  Column(lv, 0, "Name", 150);
  for (int i = 0; i < 40; ++i) Item(lv, i, (i % 2 ? "b" : "a") + std::to_string(i));
  SetFocus(lv);
  Key(VK_DOWN);  // nothing focused yet: the first item
  EXPECT_EQ(Selected(lv), std::vector<int>{0});
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(Selected(lv), std::vector<int>{2});
  Key(VK_END);
  EXPECT_EQ(Focused(lv), 39);
  int perPage = int(SendMessage(lv, LVM_GETCOUNTPERPAGE));
  EXPECT_EQ(SendMessage(lv, LVM_GETTOPINDEX), 40 - perPage);
  host.KeyDown(VK_SHIFT);
  Key(VK_UP);
  Key(VK_UP);
  host.KeyUp(VK_SHIFT);
  EXPECT_EQ(Selected(lv), (std::vector<int>{37, 38, 39}));
  Key(VK_HOME);
  EXPECT_EQ(SendMessage(lv, LVM_GETTOPINDEX), 0);
  Type("b");
  EXPECT_EQ(Focused(lv), 1);
  Type("b");
  EXPECT_EQ(Focused(lv), 3);
  NotesLog().clear();
  Key(VK_RETURN);
  EXPECT_EQ(CountOf(LVN_KEYDOWN), 1);
  EXPECT_EQ(CountOf(NM_RETURN), 1);
  EXPECT_EQ(NotesLog().front().Key, VK_RETURN);
}

TEST_F(ListViewTest, AListOfTwoThousandItemsScrollsByColumns) {
  HWND lv = View(LVS_LIST | LVS_SINGLESEL);
  for (int i = 0; i < 2000; ++i) Item(lv, i, "IMG_" + std::to_string(10000 + i) + ".jpg");
  EXPECT_EQ(SendMessage(lv, LVM_GETITEMCOUNT), 2000);
  EXPECT_TRUE(GetWindowLongPtr(lv, GWL_STYLE) & WS_HSCROLL);
  EXPECT_FALSE(GetWindowLongPtr(lv, GWL_STYLE) & WS_VSCROLL);
  // Items run down the first column, then the next.
  TRect a, b;
  a.Left = b.Left = LVIR_BOUNDS;
  SendMessage(lv, LVM_GETITEMRECT, 0, LPARAM(&a));
  SendMessage(lv, LVM_GETITEMRECT, 1, LPARAM(&b));
  EXPECT_EQ(b.Left, a.Left);
  EXPECT_EQ(b.Top, a.Bottom);
  SetFocus(lv);
  Key(VK_END);
  EXPECT_EQ(Selected(lv), std::vector<int>{1999});
  TRect last;
  last.Left = LVIR_BOUNDS;
  SendMessage(lv, LVM_GETITEMRECT, 1999, LPARAM(&last));
  TRect c;
  GetClientRect(lv, &c);
  EXPECT_GE(last.Left, 0);
  EXPECT_LE(last.Right, c.Right);
  Key(VK_HOME);
  SendMessage(lv, LVM_GETITEMRECT, 0, LPARAM(&a));
  EXPECT_EQ(a.Left, 0);
  int perColumn = int(a.Height() ? c.Height() / a.Height() : 0);
  Key(VK_RIGHT);  // one column on
  EXPECT_EQ(Selected(lv), std::vector<int>{perColumn});
  SendMessage(lv, LVM_DELETEALLITEMS);
  EXPECT_EQ(SendMessage(lv, LVM_GETITEMCOUNT), 0);
  EXPECT_FALSE(GetWindowLongPtr(lv, GWL_STYLE) & WS_HSCROLL);
}

TEST_F(ListViewTest, Looks) {
  auto icons = std::make_unique<TImageList>(16, 16);
  for (TColor c : {RGB(230, 180, 40), RGB(40, 120, 200)}) {
    TBitmap b(16, 16);
    b.Fill(RGB(255, 0, 255));
    TDC dc(b);
    dc.FillRect(Rect(2, 3, 14, 13), c);
    dc.FrameRect(Rect(2, 3, 14, 13), RGB(0, 0, 0));
    icons->AddMasked(b, RGB(255, 0, 255));
  }
  HWND report = View(LVS_REPORT | LVS_SHOWSELALWAYS, 10, 10, 250, 110, 100);
  SendMessage(report, LVM_SETIMAGELIST, LVSIL_SMALL, LPARAM(icons.get()));
  Column(report, 0, "Имя", 130);
  Column(report, 1, "Размер", 90, LVCFMT_RIGHT);
  const char* names[] = {"Отпуск", "Море.jpg", "Горы.jpg", "Лес.bmp"};
  for (int i = 0; i < 4; ++i) {
    Item(report, i, names[i], i == 0 ? 0 : 1);
    if (i) Sub(report, i, 1, (std::to_string(100 * i + 17) + " КБ").c_str());
  }
  HWND list = View(LVS_LIST, 270, 10, 120, 110, 101);
  SendMessage(list, LVM_SETIMAGELIST, LVSIL_SMALL, LPARAM(icons.get()));
  for (int i = 0; i < 9; ++i) Item(list, i, "a" + std::to_string(i) + ".jpg", 1);
  ClickItem(list, 4);
  ClickItem(report, 1);
  Golden("listview-states", ShotOf(Rect(0, 0, 400, 130)));
  DestroyWindow(report);
  DestroyWindow(list);
}

}  // namespace
}  // namespace vm::test
