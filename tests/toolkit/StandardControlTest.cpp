// Components over the platform's window classes: their properties reach the
// windows, and what the user does there comes back as properties and events.
#include <gtest/gtest.h>

#include "platform/controls/Controls.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/CheckBox.h"
#include "toolkit/ComboBox.h"
#include "toolkit/GroupBox.h"
#include "toolkit/Layout.h"
#include "toolkit/ListBox.h"
#include "toolkit/RadioButton.h"

namespace vm::test {
namespace {

class StandardControlTest : public TToolkitTest {
 protected:
  TForm* Shown() {
    TForm* f = MakeForm(100, 100, 300, 200);
    f->Show();
    Pump();
    return f;
  }
};

TEST_F(StandardControlTest, CheckBoxCyclesItsStatesAndShowsThemInItsWindow) {
  TForm* f = Shown();
  auto* c = Place<TCheckBox>(f, f, "CheckBox1", {10, 10, 120, 17},
                             [](TCheckBox& x) { x.SetCaption("Пропорции"); });
  EXPECT_EQ(GetClassName(c->Handle()), "TCheckBox");
  EXPECT_EQ(GetWindowText(c->Handle()), "Пропорции");
  int clicks = 0;
  c->OnClick = [&](TComponent*) { ++clicks; };
  ClickAt(c, 5, 8);
  EXPECT_TRUE(c->Checked());
  EXPECT_EQ(SendMessage(c->Handle(), BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
  ClickAt(c, 5, 8);
  EXPECT_EQ(c->State(), cbUnchecked);
  c->SetAllowGrayed(true);
  ClickAt(c, 5, 8);
  ClickAt(c, 5, 8);
  EXPECT_EQ(c->State(), cbGrayed);
  EXPECT_EQ(SendMessage(c->Handle(), BM_GETCHECK, 0, 0), LRESULT(BST_INDETERMINATE));
  EXPECT_EQ(clicks, 4);
  c->SetChecked(true);  // set by the program: OnClick too
  EXPECT_EQ(clicks, 5);
  // Its colour and font reach what the platform paints.
  c->SetColor(RGB(250, 220, 0));
  Pump();
  PresentWindows();
  TPoint far = At(c, 115, 1);
  EXPECT_EQ(host.Screenshot().GetPixel(far.X, far.Y), RGB(250, 220, 0));
  // The state survives a new window.
  c->RecreateWnd();
  EXPECT_EQ(SendMessage(c->Handle(), BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
}

TEST_F(StandardControlTest, RadioButtonsOfAParentAreCheckedOneAtATime) {
  TForm* f = Shown();
  auto* g = Place<TGroupBox>(f, f, "GroupBox1", {10, 10, 200, 120},
                             [](TGroupBox& x) { x.SetCaption("Размер"); });
  auto* a = Place<TRadioButton>(f, g, "RadioButton1", {8, 20, 150, 17});
  auto* b = Place<TRadioButton>(f, g, "RadioButton2", {8, 44, 150, 17});
  auto* outside = Place<TRadioButton>(f, f, "RadioButton3", {220, 10, 70, 17});
  outside->SetChecked(true);
  a->SetChecked(true);
  ClickAt(b, 5, 8);
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(outside->Checked());  // another parent, another group
  EXPECT_EQ(SendMessage(a->Handle(), BM_GETCHECK, 0, 0), LRESULT(BST_UNCHECKED));
  EXPECT_EQ(SendMessage(b->Handle(), BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
  // An aligned child of the group box stays inside its frame, below the caption.
  auto* inner = Put<TBox>(g, 0, 0, 10, 10);
  inner->SetAlign(alClient);
  EXPECT_GT(inner->Top(), 8);
  EXPECT_EQ(inner->Left(), 2);
  EXPECT_EQ(inner->Left() + inner->Width(), 198);
}

TEST_F(StandardControlTest, ListBoxItemsReachTheWindowAndAClickSelects) {
  TForm* f = Shown();
  auto* l = Place<TListBox>(f, f, "ListBox1", {10, 10, 150, 120});
  l->Items()->Add("первый");
  l->Items()->Add("второй");
  l->Items()->Add("третий");
  EXPECT_EQ(SendMessage(l->Handle(), LB_GETCOUNT, 0, 0), 3);
  int clicks = 0;
  l->OnClick = [&](TComponent*) { ++clicks; };
  l->SetItemIndex(2);
  EXPECT_EQ(SendMessage(l->Handle(), LB_GETCURSEL, 0, 0), 2);
  TRect item;
  SendMessage(l->Handle(), LB_GETITEMRECT, 1, LPARAM(reinterpret_cast<std::intptr_t>(&item)));
  ClickAt(l, item.Left + 5, item.Top + 2);
  EXPECT_EQ(l->ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  l->Items()->Delete(1);
  EXPECT_EQ(SendMessage(l->Handle(), LB_GETCOUNT, 0, 0), 2);
  l->SetItemIndex(7);  // out of range: nothing selected
  EXPECT_EQ(l->ItemIndex(), -1);
  EXPECT_THROW(l->Items()->Strings(5), std::out_of_range);
  l->SetSorted(true);
  l->Items()->Add("а");
  EXPECT_EQ(l->Items()->Strings(0), "а");
}

TEST_F(StandardControlTest, ComboBoxKeepsItsChoice) {
  TForm* f = Shown();
  auto* c = Place<TComboBox>(f, f, "ComboBox1", {10, 10, 150, 21});
  c->Items()->SetText("JPEG Image File (*.jpg)\nJPEG Image File (*.jpeg)\n");
  EXPECT_EQ(c->Items()->Count(), 2);
  c->SetItemIndex(1);
  EXPECT_EQ(c->GetText(), "JPEG Image File (*.jpeg)");
  EXPECT_EQ(SendMessage(c->Handle(), CB_GETCURSEL, 0, 0), 1);
  int changes = 0;
  c->OnChange = [&](TComponent*) { ++changes; };
  c->SetFocus();
  host.Key(VK_UP);
  Pump();
  EXPECT_EQ(c->ItemIndex(), 0);
  EXPECT_EQ(changes, 1);
}

}  // namespace
}  // namespace vm::test
