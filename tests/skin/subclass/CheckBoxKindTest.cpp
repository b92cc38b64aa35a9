// The check box kind: the skin's glyphs for every check state and button
// type, the platform's layouts (left text, push-like), hot, pressed, focus
// and disabled looks, and a program's changes (BM_SETCHECK, BM_CLICK, an
// arrow key in a radio group) painted exactly as the user's.
#include "tests/skin/subclass/KindsTestSupport.h"

#include "platform/controls/ControlDefs.h"
#include "skin/subclass/CheckBoxWnd.h"

namespace vm::test {
namespace {

class CheckBoxKind : public TKindsTest {
 protected:
  // Three check boxes, three radio buttons in a group, a left-text box and
  // a push-like box, all skinned.
  void MakeBoxes() {
    MakeBackdrop(220, 100);
    box = Child(WC_BUTTON, "Сетка", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 6, 4, 100, 17, 10);
    third = Child(WC_BUTTON, "Третье", BS_AUTO3STATE | WS_TABSTOP, 6, 24, 100, 17, 11);
    dimmed = Child(WC_BUTTON, "Нельзя", BS_AUTOCHECKBOX | WS_TABSTOP, 6, 44, 100, 17, 12);
    radio1 =
        Child(WC_BUTTON, "Один", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 112, 4, 100, 17, 21);
    radio2 = Child(WC_BUTTON, "Два", BS_AUTORADIOBUTTON, 112, 24, 100, 17, 22);
    radio3 = Child(WC_BUTTON, "Три", BS_AUTORADIOBUTTON, 112, 44, 100, 17, 23);
    leftText = Child(WC_BUTTON, "Слева", BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP | WS_GROUP, 6,
                     66, 100, 17, 30);
    pushLike = Child(WC_BUTTON, "Нажата", BS_AUTOCHECKBOX | BS_PUSHLIKE | WS_TABSTOP, 112, 64, 100,
                     24, 31);
    SendMessage(box, BM_SETCHECK, BST_CHECKED, 0);
    SendMessage(third, BM_SETCHECK, BST_INDETERMINATE, 0);
    SendMessage(dimmed, BM_SETCHECK, BST_CHECKED, 0);
    EnableWindow(dimmed, false);
    SendMessage(radio1, BM_SETCHECK, BST_CHECKED, 0);
    SendMessage(pushLike, BM_SETCHECK, BST_CHECKED, 0);
    for (HWND h : {box, third, dimmed, radio1, radio2, radio3, leftText, pushLike})
      wnds.push_back(dynamic_cast<TnxCheckBoxWnd*>(Skin(nkCheckBox, h, "CHECKBOX")));
    host.MouseMove(218, 98);
    Pump();
  }
  HWND box = nullptr, third = nullptr, dimmed = nullptr, radio1 = nullptr, radio2 = nullptr,
       radio3 = nullptr, leftText = nullptr, pushLike = nullptr;
  std::vector<TnxCheckBoxWnd*> wnds;
};

TEST_F(CheckBoxKind, GlyphsAndLayoutsAsPictures) {
  MakeBoxes();
  for (TnxCheckBoxWnd* w : wnds) ASSERT_NE(w, nullptr);
  EXPECT_EQ(wnds[0]->GlyphName(), "BOXCHECKED");
  EXPECT_EQ(wnds[1]->GlyphName(), "BOXGRAYED");
  EXPECT_EQ(wnds[3]->GlyphName(), "RADIOCHECKED");
  EXPECT_EQ(wnds[4]->GlyphName(), "RADIOUNCHECKED");
  CompareSubclassGolden("checkboxes", Shot(dialog));

  // Under the mouse the glyph shows its hot frame; held down its pressed one.
  const TBitmap normal = Shot(dialog);
  const TPoint c = CentreOf(radio2);
  host.MouseMove(c.X, c.Y);
  Pump();
  EXPECT_EQ(wnds[4]->StateIndex(), 1);
  const TBitmap hot = Shot(dialog);
  CompareSubclassGolden("checkbox-hot", CutWindow(hot, radio2));
  host.MouseDown();
  Pump();
  EXPECT_EQ(wnds[4]->StateIndex(), 2);
  CompareSubclassGolden("checkbox-pressed", CutWindow(Shot(dialog), radio2));
  host.MouseUp();
  host.MouseMove(218, 98);
  Pump();
  // The click checked it, unchecked the first radio, and left the focus frame.
  EXPECT_EQ(SendMessage(radio2, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
  EXPECT_EQ(SendMessage(radio1, BM_GETCHECK, 0, 0), LRESULT(BST_UNCHECKED));
  EXPECT_EQ(wnds[3]->GlyphName(), "RADIOUNCHECKED");
  CompareSubclassGolden("checkbox-focused", CutWindow(Shot(dialog), radio2));
  (void)normal;
}

TEST_F(CheckBoxKind, AProgramsChangeShowsAsTheUsers) {
  MakeBoxes();
  std::vector<int> clicks;
  probe->Probe = [&](TMessage& m) {
    if (m.Msg == WM_COMMAND && HIWORD(m.WParam) == BN_CLICKED) clicks.push_back(LOWORD(m.WParam));
    return false;
  };
  const TBitmap before = Shot(dialog);
  // The mouse unchecks the box ...
  const TPoint c = CentreOf(box);
  host.Click(c.X, c.Y);
  host.MouseMove(218, 98);
  Pump();
  const TBitmap byMouse = Shot(dialog);
  EXPECT_FALSE(SamePicture(CutWindow(byMouse, box), CutWindow(before, box)));
  // ... BM_CLICK checks it again (focused now) and unchecks it: the same
  // picture as the mouse's.
  SendMessage(box, BM_CLICK, 0, 0);
  const TBitmap checkedFocused = Shot(dialog);
  EXPECT_FALSE(SamePicture(CutWindow(checkedFocused, box), CutWindow(byMouse, box)));
  SendMessage(box, BM_CLICK, 0, 0);
  EXPECT_TRUE(SamePicture(Shot(dialog), byMouse));
  EXPECT_EQ(clicks, (std::vector<int>{10, 10, 10}));
  // BM_SETCHECK alone repaints too.
  SendMessage(box, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_TRUE(SamePicture(Shot(dialog), checkedFocused));

  // The arrow keys in the radio group move the check as clicks do.
  SetWindowLongPtr(dialog->Handle(), GWL_EXSTYLE,
                   GetWindowLongPtr(dialog->Handle(), GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  SetFocus(radio1);
  Pump();
  const TBitmap first = Shot(dialog);
  MSG key{};
  key.hwnd = radio1;
  key.message = WM_KEYDOWN;
  key.wParam = VK_DOWN;
  EXPECT_TRUE(IsDialogMessage(dialog->Handle(), &key));
  Pump();
  EXPECT_EQ(GetFocus(), radio2);
  EXPECT_EQ(SendMessage(radio2, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
  const TBitmap byKey = Shot(dialog);
  EXPECT_FALSE(SamePicture(CutWindow(byKey, radio1), CutWindow(first, radio1)));
  // Clicking the second radio from the first gives the same picture.
  SetFocus(radio1);
  SendMessage(radio1, BM_CLICK, 0, 0);
  Pump();
  EXPECT_TRUE(SamePicture(Shot(dialog), first));
  const TPoint r2 = CentreOf(radio2);
  host.Click(r2.X, r2.Y);
  host.MouseMove(218, 98);
  Pump();
  EXPECT_TRUE(SamePicture(Shot(dialog), byKey));

  // Disabling and enabling repaint: the glyph greyed, then as before.
  const TBitmap on = Shot(dialog);
  EnableWindow(box, false);
  const TBitmap off = Shot(dialog);
  EXPECT_FALSE(SamePicture(CutWindow(off, box), CutWindow(on, box)));
  EnableWindow(box, true);
  EXPECT_TRUE(SamePicture(Shot(dialog), on));
}

TEST_F(CheckBoxKind, RadioGreyedFallsBackToTheUncheckedRadioGreyed) {
  MakeBoxes();
  // A three-state box turned into a radio button keeps its third state.
  SendMessage(third, BM_SETSTYLE, BS_RADIOBUTTON, 1);
  Pump();
  EXPECT_EQ(wnds[1]->GlyphName(), "RADIOGRAYED");
  const TBitmap shot = Shot(dialog);
  // The built-in skin has no RADIOGRAYED: the unchecked radio, in grey.
  TBitmap glyph = CutWindow(shot, third);
  int coloured = 0, grey = 0;
  for (int y = 0; y < glyph.Height(); ++y)
    for (int x = 0; x < 13; ++x) {
      const TColor p = glyph.GetPixel(x, y);
      if (p == dialog->Backdrop.GetPixel(6 + x, 24 + y)) continue;
      ++(GetRValue(p) == GetGValue(p) && GetGValue(p) == GetBValue(p) ? grey : coloured);
    }
  EXPECT_GT(grey, 20);
  EXPECT_EQ(coloured, 0);
}

}  // namespace
}  // namespace vm::test
