// The list view subclass on a report list with its column header and on the
// open dialog's file list: their looks as golden pictures, the header's hot
// and pressed columns, a selection made by the program painted as one made
// with mouse and keyboard, the skinned bars while scrolling, the list's own
// colour kept for its program and given back, column resizing still working,
// and a skin without the section.
#include "platform/gfx/SysColors.h"
#include "skin/subclass/ComboBoxWnd.h"
#include "skin/subclass/ListViewWnd.h"
#include "skin/subclass/ScrollWnd.h"
#include "tests/skin/subclass/FieldTestSupport.h"

namespace vm::test {
namespace {

class ListViewSubclass : public TFieldTest {
 protected:
  void MakeLists() {
    MakeBackdrop(240, 200);
    report = Child(WC_LISTVIEW, "", LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP,
                   {10, 10, 230, 110}, WS_EX_CLIENTEDGE);
    AddColumn(report, "Имя", 120, LVCFMT_LEFT);
    AddColumn(report, "Размер", 76, LVCFMT_RIGHT);
    for (int i = 0; i < 14; ++i) {
      const std::string name = "снимок" + std::to_string(i + 1) + ".jpg";
      const std::string size = std::to_string(120 + 17 * i) + " КБ";
      LVITEM it;
      it.mask = LVIF_TEXT;
      it.iItem = i;
      it.pszText = const_cast<char*>(name.c_str());
      SendMessage(report, LVM_INSERTITEM, 0, LPARAM(reinterpret_cast<std::uintptr_t>(&it)));
      it.iSubItem = 1;
      it.pszText = const_cast<char*>(size.c_str());
      SendMessage(report, LVM_SETITEMTEXT, WPARAM(i),
                  LPARAM(reinterpret_cast<std::uintptr_t>(&it)));
    }
    files = Child(WC_LISTVIEW, "", LVS_LIST | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP,
                  {10, 120, 230, 190}, WS_EX_CLIENTEDGE);
    for (int i = 0; i < 9; ++i) {
      const std::string name = "фото" + std::to_string(i + 1) + ".jpg";
      LVITEM it;
      it.mask = LVIF_TEXT;
      it.iItem = i;
      it.pszText = const_cast<char*>(name.c_str());
      SendMessage(files, LVM_INSERTITEM, 0, LPARAM(reinterpret_cast<std::uintptr_t>(&it)));
    }
    MouseAway();
  }
  static void AddColumn(HWND lv, const char* text, int width, int fmt) {
    LVCOLUMN c;
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    c.fmt = fmt;
    c.cx = width;
    c.pszText = const_cast<char*>(text);
    const HWND header = reinterpret_cast<HWND>(SendMessage(lv, LVM_GETHEADER, 0, 0));
    SendMessage(lv, LVM_INSERTCOLUMN, WPARAM(SendMessage(header, HDM_GETITEMCOUNT, 0, 0)),
                LPARAM(reinterpret_cast<std::uintptr_t>(&c)));
  }
  void AttachAll() {
    reportWnd = std::make_unique<TnxListViewWnd>(report, true, "EDIT", nullptr, nullptr);
    filesWnd = std::make_unique<TnxListViewWnd>(files, true, "EDIT", nullptr, nullptr);
    Pump();
  }
  HWND Header() const { return reinterpret_cast<HWND>(SendMessage(report, LVM_GETHEADER, 0, 0)); }
  TPoint ColumnPoint(int column, int dx) {
    TRect r, c;
    GetWindowRect(Header(), &r);
    SendMessage(Header(), HDM_GETITEMRECT, WPARAM(column),
                LPARAM(reinterpret_cast<std::uintptr_t>(&c)));
    return {r.Left + c.Left + dx, r.Top + c.Height() / 2};
  }
  void Select(HWND lv, int i) {
    LVITEM it;
    it.state = it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessage(lv, LVM_SETITEMSTATE, WPARAM(i), LPARAM(reinterpret_cast<std::uintptr_t>(&it)));
  }
  HWND report = nullptr, files = nullptr;
  std::unique_ptr<TnxListViewWnd> reportWnd, filesWnd;
};

TEST_F(ListViewSubclass, ListsAndHeaderFromTheSkin) {
  MakeLists();
  const TBitmap plain = PieceOf(report);
  const LRESULT own = SendMessage(report, LVM_GETBKCOLOR, 0, 0);
  AttachAll();
  ASSERT_NE(reportWnd->HeaderWnd(), nullptr);
  EXPECT_EQ(reportWnd->HeaderWnd()->SkinData()->SkinSection(), "COLHEADER");
  EXPECT_EQ(filesWnd->HeaderWnd()->Handle(),
            reinterpret_cast<HWND>(SendMessage(files, LVM_GETHEADER, 0, 0)));
  EXPECT_TRUE(dynamic_cast<TnxScrollWnd*>(reportWnd->ScrollPainter())->CanPaint());
  // The list's program still hears its own colour.
  EXPECT_EQ(SendMessage(report, LVM_GETBKCOLOR, 0, 0), own);
  const TBitmap all = Shot(dialog);
  CompareSubclassGolden("listview-kinds", all);
  const TRect place = PlaceOf(files, 0);
  EXPECT_EQ(all.GetPixel(place.Right - 8, place.Bottom - 8), RGB(234, 242, 251));
  const TBitmap normal = PieceOf(report);
  EXPECT_FALSE(SamePicture(normal, plain));

  // The header: a hot column under the mouse, a pressed one while held.
  TnxHeaderWnd& header = *reportWnd->HeaderWnd();
  const TPoint second = ColumnPoint(1, 30);
  host.MouseMove(second.X, second.Y);
  Pump();
  EXPECT_EQ(header.HotColumn(), 1);
  const TBitmap hot = PieceOf(report);
  const TPoint first = ColumnPoint(0, 40);
  host.MouseMove(first.X, first.Y);
  host.MouseDown();
  Pump();
  EXPECT_EQ(header.PressedColumn(), 0);
  const TBitmap pressed = PieceOf(report);
  host.MouseUp();
  MouseAway();
  EXPECT_EQ(header.PressedColumn(), -1);
  EXPECT_EQ(header.HotColumn(), -1);
  // Focused with an item chosen.
  SetFocus(report);
  Select(report, 2);
  Pump();
  const TBitmap focused = PieceOf(report);
  CompareSubclassGolden("listview-states", Stack({plain, normal, hot, pressed, focused}));
}

TEST_F(ListViewSubclass, ProgrammaticChangesPaintAsTheUsersDo) {
  MakeLists();
  AttachAll();
  // The third file chosen with the mouse, with the arrow keys, by the program.
  TRect r;
  SendMessage(files, LVM_GETITEMRECT, 2, LPARAM(reinterpret_cast<std::uintptr_t>(&r)));
  TPoint o{0, 0};
  ClientToScreen(files, &o);
  host.Click(o.X + r.Left + 10, o.Y + r.Top + r.Height() / 2);
  Pump();
  ASSERT_EQ(SendMessage(files, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 2);
  const TBitmap clicked = PieceOf(files);
  Select(files, 0);
  Pump();
  EXPECT_FALSE(SamePicture(PieceOf(files), clicked));
  host.Key(VK_DOWN);
  host.Key(VK_DOWN);
  Pump();
  ASSERT_EQ(SendMessage(files, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 2);
  EXPECT_TRUE(SamePicture(PieceOf(files), clicked));
  Select(files, 0);
  Select(files, 2);
  Pump();
  EXPECT_TRUE(SamePicture(PieceOf(files), clicked));

  // Scrolled by the program and by the keyboard: the skinned thumb follows,
  // and what shows is what a full repaint shows.
  const TBitmap top = PieceOf(report);
  SendMessage(report, WM_VSCROLL, SB_PAGEDOWN, 0);
  Pump();
  EXPECT_GT(GetScrollPos(report, SB_VERT), 0);
  const TBitmap paged = PieceOf(report);
  EXPECT_FALSE(SamePicture(paged, top));
  RedrawWindow(report, nullptr, nullptr,
               RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_TRUE(SamePicture(PieceOf(report), paged));
  SetFocus(report);
  host.Key(VK_END);
  Pump();
  const TBitmap end = PieceOf(report);
  RedrawWindow(report, nullptr, nullptr,
               RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_TRUE(SamePicture(PieceOf(report), end));
  CompareSubclassGolden("listview-scrolled", Stack({paged, end}));
}

// The header still resizes its columns with the mouse, and the list hears of it.
TEST_F(ListViewSubclass, ColumnsStillResize) {
  MakeLists();
  AttachAll();
  const int before = int(SendMessage(report, LVM_GETCOLUMNWIDTH, 0, 0));
  const TPoint divider = ColumnPoint(0, before);
  host.Drag(divider, {divider.X + 24, divider.Y});
  Pump();
  EXPECT_EQ(SendMessage(report, LVM_GETCOLUMNWIDTH, 0, 0), before + 24);
  EXPECT_EQ(reportWnd->HeaderWnd()->PressedColumn(), -1) << "a resize presses no column";
  const TBitmap resized = PieceOf(report);
  RedrawWindow(report, nullptr, nullptr,
               RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_TRUE(SamePicture(PieceOf(report), resized));
}

// The colour the program sets while the skin shows its own is kept, answered
// and put back with the plain look when the subclass lets go; a skin without
// the section leaves the list plain.
TEST_F(ListViewSubclass, OwnColourAndPlainLookGivenBack) {
  MakeLists();
  const TBitmap plain = Shot(dialog);
  AttachAll();
  SendMessage(report, LVM_SETBKCOLOR, 0, LPARAM(RGB(255, 250, 200)));
  EXPECT_EQ(SendMessage(report, LVM_GETBKCOLOR, 0, 0), LRESULT(RGB(255, 250, 200)));
  const TRect place = PlaceOf(report, 0);
  EXPECT_EQ(Shot(dialog).GetPixel(place.Left + 150, place.Bottom - 6), RGB(234, 242, 251));
  const HWND header = Header();
  reportWnd.reset();
  filesWnd.reset();
  for (HWND h : {report, files, header}) EXPECT_EQ(SubclassOf(h), nullptr);
  EXPECT_EQ(Shot(dialog).GetPixel(place.Left + 150, place.Bottom - 6), RGB(255, 250, 200));
  SendMessage(report, LVM_SETBKCOLOR, 0, LPARAM(0xFF000000u | COLOR_WINDOW));
  EXPECT_TRUE(SamePicture(Shot(dialog), plain));
  LoadEditedSkin([](std::string o) { return ReplaceAll(o, "[EDIT]", "[NOEDIT]"); });
  AttachAll();
  EXPECT_FALSE(reportWnd->Skinned());
  EXPECT_TRUE(SamePicture(Shot(dialog), plain));
}

}  // namespace
}  // namespace vm::test

namespace vm::test {
namespace {

// The dialog kinds registry makes these subclasses for a platform dialog's
// children, with the dialog mode the provider sets while it walks them; there
// is no platform tree control, so tree views get none.
TEST_F(ListViewSubclass, DialogKindsMakeTheseSubclasses) {
  MakeLists();
  HWND name = Child(WC_EDIT, "", ES_AUTOHSCROLL, {10, 10, 100, 31}, WS_EX_CLIENTEDGE);
  HWND combo = Child(WC_COMBOBOX, "", CBS_DROPDOWNLIST, {110, 10, 230, 100});
  EXPECT_TRUE(HasSubclassKind(nkEdit));
  EXPECT_TRUE(HasSubclassKind(nkComboBox));
  EXPECT_TRUE(HasSubclassKind(nkListView));
  EXPECT_FALSE(HasSubclassKind(nkTreeView));
  SkinningDialogChildren = true;
  std::unique_ptr<TnxMainWnd> e = MakeSubclass(nkEdit, name, "EDIT", nullptr);
  std::unique_ptr<TnxMainWnd> c = MakeSubclass(nkComboBox, combo, "COMBOBOX", nullptr);
  std::unique_ptr<TnxMainWnd> l = MakeSubclass(nkListView, report, "EDIT", nullptr);
  SkinningDialogChildren = false;
  EXPECT_NE(dynamic_cast<TnxEditWnd*>(e.get()), nullptr);
  EXPECT_NE(dynamic_cast<TnxComboBoxWnd*>(c.get()), nullptr);
  EXPECT_NE(dynamic_cast<TnxListViewWnd*>(l.get()), nullptr);
  for (const auto* w : {e.get(), c.get(), l.get()}) {
    EXPECT_TRUE(w->DlgMode());
    EXPECT_FALSE(w->HookedControl());
    EXPECT_EQ(SendCommandToWindow(w->Handle(), CmdQueryHandled), 1);
  }
  EXPECT_EQ(MakeSubclass(nkTreeView, files, "EDIT", nullptr), nullptr);
}

}  // namespace
}  // namespace vm::test

#include <fstream>

#include "platform/controls/DialogDefs.h"
#include "platform/controls/FileDialog.h"

namespace vm::test {
namespace {

// The open picture dialog, the main customer of these kinds: its file list,
// name field and type and folder fields taken by the kinds the dialog
// provider gives them (its push buttons too), as a picture; the list still
// chooses and the type field still drops.
TEST_F(ListViewSubclass, OpenPictureDialogChildren) {
  MakeBackdrop(60, 40);
  // A fixed folder: the folder field shows its depth.
  const fs::path folder = "/tmp/velmora-i21d-dialog";
  fs::remove_all(folder);
  fs::create_directories(folder / "Отпуск");
  for (const char* n : {"a.jpg", "b.jpg", "Ёлка.jpg"}) std::ofstream(folder / n) << "x";
  TFileDialogParams p;
  p.Owner = dialog->Handle();
  p.Filter = "Рисунки JPEG|*.jpg;*.jpeg|Все файлы|*.*";
  p.InitialDir = folder.string();
  TBitmap shot;
  std::vector<std::unique_ptr<TnxMainWnd>> taken;
  bool done = false;
  host.SetIdleHandler([&]() {
    HWND box = GetActiveWindow();
    if (done || !box || GetClassName(box) != WC_DIALOG) return false;
    done = true;
    EnumChildWindows(box, [&](HWND c) {
      const std::string cls = GetClassName(c);
      const TnxKind kind = cls == WC_EDIT       ? nkEdit
                           : cls == WC_COMBOBOX ? nkComboBox
                           : cls == WC_LISTVIEW ? nkListView
                           : cls == WC_BUTTON   ? nkPushButton
                                                : nkKindCount;
      const char* section = kind == nkComboBox     ? "COMBOBOX"
                            : kind == nkPushButton ? "BUTTON"
                                                   : "EDIT";
      if (kind != nkKindCount && GetParent(c) == box)
        taken.push_back(MakeSubclass(kind, c, section, nullptr));
      return true;
    });
    HWND list = GetDlgItem(box, IDC_FD_LIST);
    LVITEM item;
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessage(list, LVM_SETITEMSTATE, 1, LPARAM(reinterpret_cast<std::uintptr_t>(&item)));
    SendMessage(GetDlgItem(box, IDC_FD_TYPE), CB_SHOWDROPDOWN, 1, 0);
    Pump();
    EXPECT_TRUE(SendMessage(GetDlgItem(box, IDC_FD_TYPE), CB_GETDROPPEDSTATE, 0, 0));
    SendMessage(GetDlgItem(box, IDC_FD_TYPE), CB_SHOWDROPDOWN, 0, 0);
    Pump();
    shot = host.WindowShot(GetHostWindow(box));
    host.Key(VK_ESCAPE);
    return true;
  });
  RunFileDialog(p);
  host.SetIdleHandler(nullptr);
  fs::remove_all(folder);
  EXPECT_EQ(taken.size(), 7u);  // folder, list, name, type, Up, Open, Cancel
  taken.clear();
  CompareSubclassGolden("open-dialog-children", shot);
}

}  // namespace
}  // namespace vm::test
