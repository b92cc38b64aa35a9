// The combo box subclass on a dialog's selection and edit combo boxes: the
// looks of field, button and list as golden pictures, the list opened by the
// program painted as the one opened with the mouse, a choice made with the
// keyboard painted as one made by the program, the inner edit and the list
// skinned once, the plain look given back, a skin without the section; and
// the control adapter's fields.
#include "skin/subclass/ComboBoxWnd.h"
#include "skin/subclass/EditWnd.h"
#include "tests/skin/subclass/FieldTestSupport.h"
#include "toolkit/ComboBox.h"
#include "toolkit/ListBox.h"

namespace vm::test {
namespace {

class ComboSubclass : public TFieldTest {
 protected:
  // The file dialog's type field and a name field with a list.
  void MakeCombos() {
    MakeBackdrop(200, 76);
    types = Child(WC_COMBOBOX, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, {10, 10, 190, 150});
    for (const char* s : {"Все файлы (*.*)", "JPEG (*.jpg)", "Точечные рисунки (*.bmp)",
                          "PNG (*.png)", "GIF (*.gif)", "TIFF (*.tif)"})
      SendMessage(types, CB_ADDSTRING, 0, LPARAM(reinterpret_cast<std::uintptr_t>(s)));
    SendMessage(types, CB_SETCURSEL, 1, 0);
    names = Child(WC_COMBOBOX, "", CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, {10, 42, 190, 160});
    SetWindowText(names, "отпуск.jpg");
    for (const char* s : {"отпуск.jpg", "море.jpg", "горы.jpg"})
      SendMessage(names, CB_ADDSTRING, 0, LPARAM(reinterpret_cast<std::uintptr_t>(s)));
    MouseAway();
  }
  void AttachAll() {
    typesWnd = std::make_unique<TnxComboBoxWnd>(types, true, "COMBOBOX", nullptr, nullptr);
    namesWnd = std::make_unique<TnxComboBoxWnd>(names, true, "COMBOBOX", nullptr, nullptr);
    Pump();
  }
  TPoint ButtonCentre(HWND h, const TnxComboBoxWnd& w) {
    const TRect b = w.ButtonRect();
    TRect r;
    GetWindowRect(h, &r);
    return {r.Left + b.Left + b.Width() / 2, r.Top + b.Top + b.Height() / 2};
  }
  static HWND DroppedList() {
    const HWND c = GetCapture();
    return c && GetClassName(c) == WC_COMBOLBOX ? c : nullptr;
  }
  TBitmap ListShot(HWND list) {
    Pump();
    return host.WindowShot(GetHostWindow(list));
  }
  HWND types = nullptr, names = nullptr;
  std::unique_ptr<TnxComboBoxWnd> typesWnd, namesWnd;
};

TEST_F(ComboSubclass, FieldButtonAndListFromTheSkin) {
  MakeCombos();
  const TBitmap plain = PieceOf(types);
  AttachAll();
  EXPECT_EQ(typesWnd->EditWnd(), nullptr);
  ASSERT_NE(namesWnd->EditWnd(), nullptr);
  EXPECT_EQ(namesWnd->EditWnd()->SkinData()->SkinSection(), "COMBOBOX");
  const TBitmap all = Shot(dialog);
  CompareSubclassGolden("combo-kinds", all);
  // The edit field's text lies on the section's white, as its field does.
  const TRect e = PlaceOf(namesWnd->EditWnd()->Handle(), 0);
  EXPECT_EQ(all.GetPixel(e.Right - 3, e.Top + 2), RGB(255, 255, 255));
  const TBitmap normal = PieceOf(types);
  EXPECT_FALSE(SamePicture(normal, plain));
  EXPECT_EQ(typesWnd->StateIndex(), 0);

  // The mouse over the field, then over the button.
  TRect r;
  GetWindowRect(types, &r);
  host.MouseMove(r.Left + 20, r.Top + 8);
  Pump();
  EXPECT_EQ(typesWnd->StateIndex(), 1);
  EXPECT_EQ(typesWnd->ButtonState(), 0);
  const TBitmap hot = PieceOf(types);
  const TPoint b = ButtonCentre(types, *typesWnd);
  host.MouseMove(b.X, b.Y);
  Pump();
  EXPECT_EQ(typesWnd->ButtonState(), 1);
  const TBitmap hotButton = PieceOf(types);
  // Dropped by the button: the pressed button, the list skinned below.
  host.Click(b.X, b.Y);
  Pump();
  ASSERT_TRUE(SendMessage(types, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(typesWnd->ButtonState(), 2);
  ASSERT_NE(typesWnd->ListWnd(), nullptr);
  EXPECT_EQ(typesWnd->ListWnd()->Handle(), DroppedList());
  const TBitmap dropped = PieceOf(types);
  const TBitmap list = ListShot(typesWnd->ListWnd()->Handle());
  host.Key(VK_ESCAPE);
  MouseAway();
  // Focused with the list up: the choice selected as the plain field shows it.
  EXPECT_EQ(GetFocus(), types);
  const TBitmap focused = PieceOf(types);
  SetFocus(names);
  EnableWindow(types, false);
  Pump();
  EXPECT_EQ(typesWnd->StateIndex(), 0);
  const TBitmap disabled = PieceOf(types);
  CompareSubclassGolden("combo-states",
                        Stack({plain, normal, hot, hotButton, dropped, focused, disabled}));
  CompareSubclassGolden("combo-list", list);
}

TEST_F(ComboSubclass, ProgrammaticChangesPaintAsTheUsersDo) {
  MakeCombos();
  AttachAll();
  // Opened with the mouse, closed with Escape, opened by the program.
  const TPoint b = ButtonCentre(types, *typesWnd);
  host.Click(b.X, b.Y);
  Pump();
  const TBitmap byMouse = PieceOf(types);
  ASSERT_NE(typesWnd->ListWnd(), nullptr);
  const HWND list = typesWnd->ListWnd()->Handle();
  const TBitmap listByMouse = ListShot(list);
  host.Key(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(SendMessage(types, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_FALSE(SamePicture(PieceOf(types), byMouse));
  SendMessage(types, CB_SHOWDROPDOWN, 1, 0);
  Pump();
  EXPECT_TRUE(SamePicture(PieceOf(types), byMouse));
  EXPECT_TRUE(SamePicture(ListShot(list), listByMouse));
  // The highlighted item moved by the arrow keys, and by LB_SETCURSEL.
  host.Key(VK_DOWN);
  Pump();
  const TBitmap keyed = ListShot(list);
  EXPECT_FALSE(SamePicture(keyed, listByMouse));
  SendMessage(list, LB_SETCURSEL, 1, 0);
  Pump();
  EXPECT_TRUE(SamePicture(ListShot(list), listByMouse));
  SendMessage(list, LB_SETCURSEL, 2, 0);
  Pump();
  EXPECT_TRUE(SamePicture(ListShot(list), keyed));
  SendMessage(types, CB_SHOWDROPDOWN, 0, 0);
  host.MouseMove(b.X, b.Y + 40);
  Pump();
  // A choice made with the arrow key in the closed field, and by CB_SETCURSEL.
  host.Key(VK_DOWN);
  Pump();
  ASSERT_EQ(SendMessage(types, CB_GETCURSEL, 0, 0), 2);
  const TBitmap chosen = PieceOf(types);
  SendMessage(types, CB_SETCURSEL, 0, 0);
  Pump();
  EXPECT_FALSE(SamePicture(PieceOf(types), chosen));
  SendMessage(types, CB_SETCURSEL, 2, 0);
  Pump();
  EXPECT_TRUE(SamePicture(PieceOf(types), chosen));
  // An edit combo box opened with F4 in its edit: its list is skinned too.
  SetFocus(namesWnd->EditWnd()->Handle());
  host.Key(VK_F4);
  Pump();
  ASSERT_TRUE(SendMessage(names, CB_GETDROPPEDSTATE, 0, 0));
  ASSERT_NE(namesWnd->ListWnd(), nullptr);
  EXPECT_TRUE(namesWnd->ListWnd()->Skinned());
  host.Key(VK_ESCAPE);
  Pump();
}

TEST_F(ComboSubclass, PartsAlreadySkinnedAreNotTakenTwice) {
  MakeCombos();
  HWND inner = nullptr;
  EnumChildWindows(names, [&](HWND c) {
    inner = c;
    return false;
  });
  ASSERT_NE(inner, nullptr);
  auto first = std::make_unique<TnxEditWnd>(inner, true, "EDIT", nullptr, nullptr);
  const TBitmap edited = PieceOf(names);
  AttachAll();
  EXPECT_EQ(namesWnd->EditWnd(), nullptr);
  EXPECT_EQ(SubclassOf(inner), first.get());
  // The edit skinned as "EDIT" shows the combo box's field colours.
  const TRect e = PlaceOf(inner, 0);
  const TRect n = PlaceOf(names);
  EXPECT_EQ(edited.GetPixel(e.Right - 3 - n.Left, e.Top + 2 - n.Top), RGB(234, 242, 251));
  EXPECT_EQ(Shot(dialog).GetPixel(e.Right - 3, e.Top + 2), RGB(255, 255, 255));
  namesWnd.reset();
  EXPECT_EQ(SubclassOf(inner), first.get()) << "the combo box let go of what it did not take";
}

TEST_F(ComboSubclass, DetachingAndMissingSectionGiveThePlainLook) {
  MakeCombos();
  const TBitmap plain = Shot(dialog);
  AttachAll();
  SendMessage(types, CB_SHOWDROPDOWN, 1, 0);
  SendMessage(types, CB_SHOWDROPDOWN, 0, 0);
  ASSERT_NE(typesWnd->ListWnd(), nullptr);
  const HWND list = typesWnd->ListWnd()->Handle();
  const HWND inner = namesWnd->EditWnd()->Handle();
  SetFocus(dialog->Handle());  // opening the list focused the field
  EXPECT_FALSE(SamePicture(Shot(dialog), plain));
  typesWnd.reset();
  namesWnd.reset();
  for (HWND h : {types, names, list, inner}) EXPECT_EQ(SubclassOf(h), nullptr);
  EXPECT_TRUE(SamePicture(Shot(dialog), plain));
  // A skin without the combo box's section: attached, and plain.
  LoadEditedSkin([](std::string o) { return ReplaceAll(o, "[COMBOBOX]", "[NOCOMBOBOX]"); });
  AttachAll();
  EXPECT_FALSE(typesWnd->Skinned());
  for (HWND h : {types, names}) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  EXPECT_TRUE(SamePicture(Shot(dialog), plain));
}

// The control adapter gives the toolkit's combo box, list box and edit of a
// form (the ThirdComboBoxes and ThirdEdits lists) these subclasses.
TEST_F(ComboSubclass, AdapterSkinsTheToolkitsFields) {
  MakeBackdrop(200, 120);
  auto* combo = Create<TComboBox>(dialog);
  combo->SetParent(dialog);
  combo->SetBounds(10, 10, 180, 21);
  combo->Items()->Add("Первый");
  combo->Items()->Add("Второй");
  combo->SetItemIndex(0);
  auto* box = Create<TListBox>(dialog);
  box->SetParent(dialog);
  box->SetBounds(10, 40, 180, 70);
  box->Items()->Add("Строка");
  Pump();
  const TBitmap plain = Shot(dialog);
  {
    TnxCtrlAdapter adapter(dialog);
    adapter.AddAllItems();
    ASSERT_EQ(adapter.ItemCount(), 2);
    auto* c = dynamic_cast<TnxComboBoxWnd*>(SubclassOf(combo->Handle()));
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->HookedControl());
    EXPECT_TRUE(c->Skinned());
    auto* l = dynamic_cast<TnxEditWnd*>(SubclassOf(box->Handle()));
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->SkinData()->SkinSection(), "EDIT");
    const TBitmap skinned = Shot(dialog);
    EXPECT_FALSE(SamePicture(skinned, plain));
    CompareSubclassGolden("adapted-fields", skinned);
    // The controls keep working: a choice by the keyboard reaches the control.
    combo->SetFocus();
    host.Key(VK_DOWN);
    Pump();
    EXPECT_EQ(combo->ItemIndex(), 1);
  }
  EXPECT_EQ(SubclassOf(combo->Handle()), nullptr);
  EXPECT_EQ(SubclassOf(box->Handle()), nullptr);
}

}  // namespace
}  // namespace vm::test
