// The text-field subclass on a dialog's edits, list boxes and memos: their
// looks as golden pictures, changes made by the program painted as the same
// changes made with mouse and keyboard, the skinned bars while scrolling,
// the plain look given back, a skin without the section, and each kind's
// window destroyed while it paints.
#include "platform/gfx/SysColors.h"
#include "skin/state/ScrollPainter.h"
#include "skin/subclass/ComboBoxWnd.h"
#include "skin/subclass/EditWnd.h"
#include "skin/subclass/ListViewWnd.h"
#include "skin/subclass/ScrollWnd.h"
#include "tests/skin/subclass/FieldTestSupport.h"

namespace vm::test {
namespace {

class EditSubclass : public TFieldTest {
 protected:
  // A name field, a list box with a bar and a memo, as a dialog has them.
  void MakeFields() {
    MakeBackdrop(180, 176);
    name = Child(WC_EDIT, "Снимок.jpg", ES_AUTOHSCROLL | WS_TABSTOP, {10, 10, 160, 31},
                 WS_EX_CLIENTEDGE);
    list = Child(WC_LISTBOX, "", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                 {10, 40, 160, 100}, WS_EX_CLIENTEDGE);
    for (int i = 1; i <= 12; ++i) {
      const std::string item = "Папка " + std::to_string(i);
      SendMessage(list, LB_ADDSTRING, 0, LPARAM(reinterpret_cast<std::uintptr_t>(item.c_str())));
    }
    memo = Child(WC_EDIT, "Первая строка\r\nВторая\r\nТретья\r\nЧетвёртая\r\nПятая",
                 ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, {10, 110, 160, 166}, WS_EX_CLIENTEDGE);
    MouseAway();
  }
  void AttachAll() {
    for (HWND h : {name, list, memo})
      wnds.push_back(std::make_unique<TnxEditWnd>(h, true, "EDIT", nullptr, nullptr));
    Pump();
  }
  HWND name = nullptr, list = nullptr, memo = nullptr;
  std::vector<std::unique_ptr<TnxEditWnd>> wnds;
};

TEST_F(EditSubclass, FieldsPaintedFromTheSkinInTheirStates) {
  MakeFields();
  const TBitmap plainName = PieceOf(name);
  AttachAll();
  // The frame and bars come from the skin, the field is the section's colour.
  ASSERT_NE(dynamic_cast<TnxScrollWnd*>(wnds[0]->ScrollPainter()), nullptr);
  EXPECT_TRUE(dynamic_cast<TnxScrollWnd*>(wnds[1]->ScrollPainter())->CanPaint());
  const TBitmap all = Shot(dialog);
  CompareSubclassGolden("edit-kinds", all);
  EXPECT_EQ(all.GetPixel(150, 20), RGB(234, 242, 251));  // the name field's empty right end
  EXPECT_EQ(all.GetPixel(100, 95), RGB(234, 242, 251));  // right of the list's last item shown
  const TBitmap normal = PieceOf(name);
  EXPECT_FALSE(SamePicture(normal, plainName));
  EXPECT_EQ(wnds[0]->StateIndex(), 0);

  // Hot with the mouse over it, and back.
  const TPoint c = ScreenCentre(name);
  host.MouseMove(c.X, c.Y);
  Pump();
  EXPECT_EQ(wnds[0]->StateIndex(), 1);
  const TBitmap hot = PieceOf(name);
  MouseAway();
  EXPECT_EQ(wnds[0]->StateIndex(), 0);
  EXPECT_TRUE(SamePicture(PieceOf(name), normal));

  // Focused from the program: the hot look with the caret.
  SetFocus(name);
  Pump();
  EXPECT_EQ(wnds[0]->StateIndex(), 1);
  const TBitmap focused = PieceOf(name);
  SetFocus(list);
  Pump();
  EXPECT_TRUE(SamePicture(PieceOf(name), normal));

  // Disabled: the field half way to what lies around it, grey text.
  EnableWindow(name, false);
  Pump();
  EXPECT_EQ(wnds[0]->StateIndex(), 0);
  const TBitmap disabled = PieceOf(name);
  const TColor face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(
      disabled.GetPixel(140, 10),
      RGB((234 + GetRValue(face)) / 2, (242 + GetGValue(face)) / 2, (251 + GetBValue(face)) / 2))
      << "the section's colour and the dialog face, half each";
  CompareSubclassGolden("edit-states", Stack({plainName, normal, hot, focused, disabled}));
}

// Selection and scrolling made by the program reach the subclass only as
// messages to the control: they must repaint exactly as the user's do.
TEST_F(EditSubclass, ProgrammaticChangesPaintAsTheUsersDo) {
  MakeFields();
  AttachAll();
  // A word selected by a double click, then the same selection by EM_SETSEL.
  TRect r;
  GetWindowRect(name, &r);
  host.DoubleClick(r.Left + 12, r.Top + 10);
  Pump();
  const LRESULT sel = SendMessage(name, EM_GETSEL, 0, 0);
  ASSERT_NE(LOWORD(sel), HIWORD(sel)) << "the double click selected nothing";
  const TBitmap byMouse = PieceOf(name);
  SendMessage(name, EM_SETSEL, 0, 0);
  Pump();
  const TBitmap none = PieceOf(name);
  EXPECT_FALSE(SamePicture(none, byMouse));
  SendMessage(name, EM_SETSEL, LOWORD(sel), HIWORD(sel));
  Pump();
  EXPECT_TRUE(SamePicture(PieceOf(name), byMouse));

  // An item chosen with the mouse, with the arrow keys and by LB_SETCURSEL.
  GetWindowRect(list, &r);
  host.Click(r.Left + 30, r.Top + 2 + 3 * int(SendMessage(list, LB_GETITEMHEIGHT, 0, 0)) + 4);
  Pump();
  ASSERT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 3);
  const TBitmap clicked = PieceOf(list);
  SendMessage(list, LB_SETCURSEL, 0, 0);
  Pump();
  EXPECT_FALSE(SamePicture(PieceOf(list), clicked));
  for (int i = 0; i < 3; ++i) host.Key(VK_DOWN);
  Pump();
  ASSERT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 3);
  EXPECT_TRUE(SamePicture(PieceOf(list), clicked));
  SendMessage(list, LB_SETCURSEL, 0, 0);
  SendMessage(list, LB_SETCURSEL, 3, 0);
  Pump();
  EXPECT_TRUE(SamePicture(PieceOf(list), clicked));
}

TEST_F(EditSubclass, SkinnedBarsFollowTheScrolling) {
  MakeFields();
  const TBitmap plain = PieceOf(list);
  AttachAll();
  const TBitmap top = PieceOf(list);
  // Scrolled by the program, by the keyboard and by the wheel: the bar's
  // thumb moves, and what shows is what a full repaint shows.
  SendMessage(list, WM_VSCROLL, SB_PAGEDOWN, 0);
  Pump();
  EXPECT_GT(GetScrollPos(list, SB_VERT), 0);
  const TBitmap paged = PieceOf(list);
  EXPECT_FALSE(SamePicture(paged, top));
  RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  EXPECT_TRUE(SamePicture(PieceOf(list), paged));
  SetFocus(list);
  host.Key(VK_END);
  Pump();
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 11);
  const TBitmap end = PieceOf(list);
  RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  EXPECT_TRUE(SamePicture(PieceOf(list), end));
  // The bar is the skin's, not the platform's, at every position.
  SCROLLBARINFO info;
  ASSERT_TRUE(GetScrollBarInfo(list, OBJID_VSCROLL, &info));
  const TRect place = PlaceOf(list);
  const int bx = info.rcScrollBar.Left - dialog->Left() - place.Left + 4;
  EXPECT_NE(end.GetPixel(bx, 30), plain.GetPixel(bx, 30));
  CompareSubclassGolden("edit-list-scrolled", Stack({top, paged, end}));
}

// Detaching (the subclass freed, or its window's skin removed) gives the
// platform's look back; a new skin takes it again.
TEST_F(EditSubclass, DetachingGivesThePlainLookBack) {
  MakeFields();
  const TBitmap plain = Shot(dialog);
  AttachAll();
  const TBitmap skinned = Shot(dialog);
  ASSERT_FALSE(SamePicture(plain, skinned));
  // Command 2 from the manager: plain, still attached; command 1 and 3: skinned.
  const LPARAM mgr = reinterpret_cast<LPARAM>(manager.get());
  for (HWND h : {name, list, memo})
    SendMessage(h, SM_NIRVEXCMD, MakeSkinCommand(CmdRemoveSkin), mgr);
  EXPECT_TRUE(SamePicture(Shot(dialog), plain));
  for (HWND h : {name, list, memo}) {
    EXPECT_EQ(dynamic_cast<TnxEditWnd*>(SubclassOf(h))->Detached(), false);
    SendMessage(h, SM_NIRVEXCMD, MakeSkinCommand(CmdNewSkin), mgr);
    SendMessage(h, SM_NIRVEXCMD, MakeSkinCommand(CmdRefresh), mgr);
  }
  EXPECT_TRUE(SamePicture(Shot(dialog), skinned));
  // Skinning off: plain; on: skinned.
  manager->SetActive(false);
  for (HWND h : {name, list, memo}) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
  EXPECT_TRUE(SamePicture(Shot(dialog), plain));
  manager->SetActive(true);
  for (HWND h : {name, list, memo}) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
  EXPECT_TRUE(SamePicture(Shot(dialog), skinned));
  // Freed: the windows' own procedures, no subclass, the plain look.
  wnds.clear();
  for (HWND h : {name, list, memo}) {
    EXPECT_EQ(SubclassOf(h), nullptr);
    EXPECT_FALSE(QueryWindow(h, CmdQueryHandled));
  }
  EXPECT_TRUE(SamePicture(Shot(dialog), plain));
  // The fields still work as fields.
  SetFocus(name);
  SendMessage(name, EM_SETSEL, 0, 0);
  host.Type("x");
  Pump();
  EXPECT_EQ(GetWindowText(name), "xСнимок.jpg");
}

TEST_F(EditSubclass, SkinWithoutTheSectionsLeavesThePlainLook) {
  MakeFields();
  const TBitmap plain = Shot(dialog);
  LoadEditedSkin([](std::string o) { return ReplaceAll(o, "[EDIT]", "[NOEDIT]"); });
  AttachAll();
  EXPECT_FALSE(wnds[0]->Skinned());
  EXPECT_TRUE(QueryWindow(name, CmdQueryHandled)) << "still the engine's window";
  EXPECT_TRUE(SamePicture(Shot(dialog), plain));
  wnds.clear();
  // Without the bars' sections: the frame from the skin, the platform's bars.
  LoadEditedSkin([](std::string o) { return ReplaceAll(o, "[SCROLLSLIDERV]", "[NOSLIDER]"); });
  AttachAll();
  EXPECT_FALSE(dynamic_cast<TnxScrollWnd*>(wnds[1]->ScrollPainter())->CanPaint());
  const TBitmap framed = Shot(dialog);
  SCROLLBARINFO info;
  ASSERT_TRUE(GetScrollBarInfo(list, OBJID_VSCROLL, &info));
  const TRect bar = info.rcScrollBar.Offset(-dialog->Left(), -dialog->Top());
  for (int y = bar.Top; y < bar.Bottom; ++y)
    for (int x = bar.Left; x < bar.Right; ++x)
      ASSERT_EQ(framed.GetPixel(x, y), plain.GetPixel(x, y)) << x << "," << y;
  const TRect place = PlaceOf(list, 0);
  EXPECT_NE(framed.GetPixel(place.Left, place.Top + 20),
            plain.GetPixel(place.Left, place.Top + 20));
  CompareSubclassGolden("edit-nobarsections", Crop(framed, PlaceOf(list)));
}

// Each kind's window destroyed by its parent while the subclass (or its
// painter) asks what lies behind it, in the middle of painting.
TEST_F(EditSubclass, WindowDestroyedInsideItsOwnPaint) {
  auto* form = MakeBackdrop<TDestroyingForm>(240, 120);
  auto check = [&](HWND h, std::unique_ptr<TnxMainWnd> wnd) {
    form->Victim = h;
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    Pump();
    EXPECT_FALSE(IsWindow(h));
    EXPECT_TRUE(wnd->Detached());
  };
  HWND field = Child(WC_EDIT, "текст", ES_AUTOHSCROLL, {10, 10, 160, 31}, WS_EX_CLIENTEDGE);
  check(field, std::make_unique<TnxEditWnd>(field, false, "EDIT", nullptr, nullptr));
  HWND combo = Child(WC_COMBOBOX, "", CBS_DROPDOWN, {10, 10, 190, 100});
  check(combo, std::make_unique<TnxComboBoxWnd>(combo, false, "COMBOBOX", nullptr, nullptr));
  HWND lv = Child(WC_LISTVIEW, "", LVS_REPORT, {10, 10, 230, 110}, WS_EX_CLIENTEDGE);
  check(lv, std::make_unique<TnxListViewWnd>(lv, false, "EDIT", nullptr, nullptr));
  Shot(dialog);
}

}  // namespace
}  // namespace vm::test
