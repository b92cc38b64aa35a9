// The skinned edit and spin edit on the headless host: looks in every state
// under no skin, the built-in skin and an edited skin folder; typing,
// clamping, stepping and repeating while an arrow is held; a skin switch
// while an arrow is hot or pressed; a skin without the sections they use.
#include <gtest/gtest.h>

#include "platform/controls/Controls.h"
#include "skin/controls/Edit.h"
#include "skin/controls/SpinButton.h"
#include "skin/controls/SpinEdit.h"
#include "skin/controls/TimerSpeedButton.h"
#include "skin/state/CommonData.h"
#include "tests/skin/controls/ControlsTestSupport.h"
#include "toolkit/Colors.h"
#include "toolkit/Timer.h"

namespace vm::test {
namespace {

class SpinEditTest : public TControlsTest {
 protected:
  // The size dialog's field: 71 x 21, range 10 to 40000, Tahoma 8 point.
  TsSpinEdit* MakeSpin(TForm* form, int left, int top, int value = 1024) {
    auto* e = new TsSpinEdit(form);
    e->SetName("Spin" + std::to_string(++count));
    e->SetBounds(left, top, 71, 21);
    e->SetParentFont(false);
    e->Font()->SetName("Tahoma");
    e->Font()->SetHeight(-11);
    e->SetMinValue(10);
    e->SetMaxValue(40000);
    e->SetValue(value);
    e->SetParent(form);
    return e;
  }
  TsEdit* MakeEdit(TForm* form, int left, int top) {
    auto* e = new TsEdit(form);
    e->SetName("Edit" + std::to_string(++count));
    e->SetBounds(left, top, 71, 21);
    e->SetParent(form);
    return e;
  }
  TPoint ArrowCentre(TsSpinEdit* e, bool up) {
    TControl* b = up ? static_cast<TControl*>(e->Button()->UpButton()) : e->Button()->DownButton();
    return b->ClientToScreen({b->Width() / 2, b->Height() / 2});
  }
  void Settle() {
    for (int i = 0; i < 30; ++i) {
      host.AdvanceClock(10);
      Pump();
    }
  }
  // Normal, up arrow hot, up arrow pressed, focused, disabled; one row each.
  TBitmap States(TForm* form, TsSpinEdit* e, TsEdit* other) {
    const int w = e->Width(), h = e->Height();
    TBitmap out(w, h * 5);
    auto grab = [&](int row) {
      Settle();
      TBitmap s = Shot(form);
      CopyBitmapRect(out, 0, row * h, w, h, s, e->Left(), e->Top(),
                     TRegion(TRect{0, 0, out.Width(), out.Height()}));
    };
    other->SetFocus();
    host.MouseMove(form->Width() - 1, form->Height() - 1);
    grab(0);
    const TPoint up = ArrowCentre(e, true);
    host.MouseMove(up.X, up.Y);
    grab(1);
    host.MouseDown();
    grab(2);
    host.MouseUp();
    host.MouseMove(form->Width() - 1, form->Height() - 1);
    e->SetFocus();
    grab(3);
    other->SetFocus();
    e->SetEnabled(false);
    grab(4);
    e->SetEnabled(true);
    return out;
  }
  int count = 0;
};

TEST_F(SpinEditTest, LooksInEveryStateUnderEachSkin) {
  TForm* form = MakeForm(200, 40);
  form->SetColor(clBtnFace);
  TsSpinEdit* e = MakeSpin(form, 10, 10);
  TsEdit* other = MakeEdit(form, 110, 10);
  CompareGolden("spinedit-plain", States(form, e, other));
  LoadBuiltinSkin();
  CompareGolden("spinedit-builtin", States(form, e, other));
  LoadEditedSkin([](std::string o) {
    return ReplaceAll(o, "COLOR=16511722", "COLOR=" + std::to_string(RecolouredFace));
  });
  CompareGolden("spinedit-recoloured", States(form, e, other));
}

// The arrows fit the field: 18 x 17 at x = 49, the up arrow 8 high; the
// text stops short of them.
TEST_F(SpinEditTest, ArrowsSitInsideTheField) {
  TForm* form = MakeForm(200, 40);
  TsSpinEdit* e = MakeSpin(form, 10, 10);
  Pump();
  EXPECT_EQ(e->Button()->Left(), 49);
  EXPECT_EQ(e->Button()->Top(), 0);
  EXPECT_EQ(e->Button()->Width(), 18);
  EXPECT_EQ(e->Button()->Height(), 17);
  EXPECT_EQ(e->Button()->UpButton()->Height(), 8);
  EXPECT_EQ(e->Button()->DownButton()->Top(), 8);
  EXPECT_EQ(e->Button()->DownButton()->Height(), 9);
  TRect text;
  SendMessage(e->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
  EXPECT_LE(text.Right, 49);
}

// Typing: digits only (a beep for the rest), the range applied when the
// focus moves to another control, an empty field left empty.
TEST_F(SpinEditTest, TypedAndClamped) {
  TForm* form = MakeForm(200, 40);
  TsSpinEdit* e = MakeSpin(form, 10, 10);
  TsEdit* other = MakeEdit(form, 110, 10);
  e->SetFocus();
  e->SelectAll();
  const auto beeps = host.BeepCount();
  host.Type("a+-.,5");
  Pump();
  EXPECT_EQ(e->GetText(), "5");
  EXPECT_EQ(host.BeepCount(), beeps + 5);
  other->SetFocus();
  EXPECT_EQ(e->GetText(), "10");
  e->SetFocus();
  e->SelectAll();
  host.Type("99999");
  Pump();
  other->SetFocus();
  EXPECT_EQ(e->GetText(), "40000");
  e->SetFocus();
  e->SelectAll();
  host.Key(VK_DELETE);
  Pump();
  other->SetFocus();
  EXPECT_EQ(e->GetText(), "");
  EXPECT_EQ(e->Value(), 10);
  // The up-arrow key steps from the reading; the wheel by whole notches.
  e->SetFocus();
  host.Key(VK_UP);
  Pump();
  EXPECT_EQ(e->GetText(), "11");
  SendMessage(e->Handle(), WM_MOUSEWHEEL, WPARAM(120) << 16, 0);
  EXPECT_EQ(e->GetText(), "12");
  SendMessage(e->Handle(), WM_MOUSEWHEEL, WPARAM(60) << 16, 0);
  EXPECT_EQ(e->GetText(), "12");
  // Read-only: the arrows beep and change nothing.
  e->SetReadOnly(true);
  const auto before = host.BeepCount();
  host.Key(VK_UP);
  Pump();
  EXPECT_EQ(e->GetText(), "12");
  EXPECT_EQ(host.BeepCount(), before + 1);
  // EditorEnabled off: no printable character and no backspace.
  e->SetReadOnly(false);
  e->SetEditorEnabled(false);
  host.Type("7");
  host.Key(VK_BACK);
  Pump();
  EXPECT_EQ(e->GetText(), "12");
}

// Without a range the arrows count without limit, and stepping past the
// integers stops at their end instead of wrapping.
TEST_F(SpinEditTest, NoRangeCountsWithoutLimit) {
  TForm* form = MakeForm(200, 40);
  auto* e = new TsSpinEdit(form);
  e->SetBounds(10, 10, 71, 21);
  e->SetParent(form);
  EXPECT_EQ(e->GetText(), "");
  EXPECT_EQ(e->Value(), 0);
  e->SetValue(-5);
  EXPECT_EQ(e->GetText(), "-5");
  e->SetIncrement(1000000000);
  e->SetValue(2147483000);
  e->UpClick(e);
  EXPECT_EQ(e->GetText(), "2147483647");
  std::vector<std::string> calls;
  e->OnUpClick = [&](TComponent*) { calls.push_back("up"); };
  e->UpClick(e);
  EXPECT_EQ(calls, std::vector<std::string>{"up"});
  EXPECT_EQ(e->GetText(), "2147483647");
}

// Holding the up arrow: the first repeat after 400 ms, then one every
// 100 ms; releasing over it adds the ordinary click.
TEST_F(SpinEditTest, RepeatsWhileHeld) {
  TForm* form = MakeForm(200, 40);
  TsSpinEdit* e = MakeSpin(form, 10, 10, 100);
  Pump();
  const TPoint up = ArrowCentre(e, true);
  host.MouseMove(up.X, up.Y);
  host.MouseDown();
  Pump();
  EXPECT_EQ(e->GetText(), "100");
  EXPECT_TRUE(e->Focused()) << "a press on an arrow gives the field the focus";
  host.AdvanceClock(399);
  Pump();
  EXPECT_EQ(e->GetText(), "100");
  host.AdvanceClock(1);
  Pump();
  EXPECT_EQ(e->GetText(), "101");
  for (int i = 0; i < 3; ++i) {
    host.AdvanceClock(100);
    Pump();
  }
  EXPECT_EQ(e->GetText(), "104");
  host.MouseUp();
  Pump();
  EXPECT_EQ(e->GetText(), "105");
  host.AdvanceClock(1000);
  Pump();
  EXPECT_EQ(e->GetText(), "105") << "the repeat ends with the release";
  // Released outside the arrow: the repeats stay, no extra click.
  host.MouseDown();
  Pump();
  host.AdvanceClock(400);
  Pump();
  host.MouseMove(up.X + 100, up.Y);
  host.MouseUp();
  Pump();
  EXPECT_EQ(e->GetText(), "106");
  // The down arrow likewise, clamped at the minimum.
  e->SetValue(11);
  const TPoint down = ArrowCentre(e, false);
  host.Click(down.X, down.Y);
  host.Click(down.X, down.Y);
  Pump();
  EXPECT_EQ(e->GetText(), "10");
}

// A skin change and skinning off while an arrow is hot or held: the repeat
// goes on as the user holds it, no fade is left behind, the plain look
// without a skin.
TEST_F(SpinEditTest, SkinSwitchWhileHotOrPressed) {
  TForm* form = MakeForm(200, 40);
  TsSpinEdit* e = MakeSpin(form, 10, 10, 100);
  TsTimerSpeedButton* upButton = e->Button()->UpButton();
  LoadBuiltinSkin();
  Settle();
  const TPoint up = ArrowCentre(e, true);
  host.MouseMove(up.X, up.Y);
  Pump();
  EXPECT_EQ(upButton->StateIndex(), 1);
  LoadEditedSkin([](std::string o) { return o; });
  Settle();
  EXPECT_EQ(upButton->AnimTimer(), nullptr);
  host.MouseDown();
  Pump();
  EXPECT_EQ(upButton->StateIndex(), 2);
  manager->SetActive(false);
  Settle();
  host.MouseUp();
  Settle();
  EXPECT_EQ(e->GetText(), "101");  // released before the first repeat: the click alone
  EXPECT_FALSE(upButton->SkinData()->IsSkinned(true));
  const TBitmap plain = Shot(form);
  EXPECT_EQ(plain.GetPixel(e->Left() + 2, e->Top() + 2), ColorToRGB(clWindow));
  manager->SetActive(true);
  Settle();
  EXPECT_NE(Shot(form).GetPixel(e->Left() + 2, e->Top() + 2), ColorToRGB(clWindow));
}

// A skin without the arrows' section leaves the arrows plain and the field
// skinned; without the field's section the field is plain too.
TEST_F(SpinEditTest, SkinWithoutItsSectionsLeavesThePlainLook) {
  TForm* form = MakeForm(200, 40);
  TsSpinEdit* e = MakeSpin(form, 10, 10);
  LoadBuiltinSkin();
  LoadEditedSkin([](std::string o) { return ReplaceAll(o, "[SPEEDBUTTON_SMALL]", "[NOSMALL]"); });
  Settle();
  EXPECT_FALSE(e->Button()->UpButton()->SkinData()->IsSkinned());
  EXPECT_TRUE(e->SkinData()->IsSkinned());
  CompareGolden("spinedit-noarrowsection", Shot(form));
  LoadEditedSkin([](std::string o) { return ReplaceAll(o, "[EDIT]", "[NOEDIT]"); });
  Settle();
  EXPECT_FALSE(e->SkinData()->IsSkinned());
  CompareGolden("spinedit-noeditsection", Shot(form));
  // Still worked as ever.
  const TPoint up = ArrowCentre(e, true);
  host.Click(up.X, up.Y);
  Pump();
  EXPECT_EQ(e->GetText(), "1025");
}

// The edit's colours follow the section and the focus; its own colour stays
// with CustomColor; a disabled edit shows its password characters dimmed;
// without a border there is no frame to paint.
TEST_F(SpinEditTest, EditColoursAndDisabledLook) {
  TForm* form = MakeForm(200, 60);
  form->SetColor(clBtnFace);
  TsEdit* a = MakeEdit(form, 10, 10);
  TsEdit* b = MakeEdit(form, 110, 10);
  a->SetColor(clWhite);
  LoadBuiltinSkin();
  Shot(form);
  EXPECT_EQ(a->Color(), RGB(234, 242, 251));
  b->SkinData()->SetCustomColor(true);
  b->SetColor(clWhite);
  Shot(form);
  EXPECT_EQ(b->Color(), clWhite);
  LoadEditedSkin([](std::string o) {
    return ReplaceAll(o, "[EDIT]\r\nCOLOR=16511722\r\nHOTCOLOR=16511722",
                      "[EDIT]\r\nCOLOR=16511722\r\nHOTCOLOR=13421823");
  });
  a->SetFocus();
  Shot(form);
  EXPECT_EQ(a->Color(), TColor(13421823));
  b->SkinData()->SetCustomColor(false);
  b->SetFocus();
  Shot(form);
  EXPECT_EQ(a->Color(), RGB(234, 242, 251)) << "left: back to the normal colour";
  a->SetPasswordChar('*');
  a->SetText("secret");
  a->SetEnabled(false);
  auto* bare = MakeEdit(form, 10, 35);
  bare->SetBorderStyle(bsNone);
  EXPECT_EQ(bare->FrameWidth(), 0);
  CompareGolden("edit-disabled-password", Shot(form));
}

}  // namespace
}  // namespace vm::test
