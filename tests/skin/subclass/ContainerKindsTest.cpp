// Group boxes, panels and size grips: the frame and caption of a group box
// painted without covering the controls that lie over it, its caption
// height answered to command 27, a dialog panel's section and caption, a
// transparent panel showing the dialog through it (and to its own skinned
// children), and the skin's grip in a size box.
#include "tests/skin/subclass/KindsTestSupport.h"

#include "platform/controls/ControlDefs.h"
#include "platform/controls/DialogDefs.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/subclass/GroupBoxWnd.h"
#include "skin/subclass/SizeGripWnd.h"
#include "toolkit/Panel.h"

namespace vm::test {
namespace {

class ContainerKinds : public TKindsTest {};

TEST_F(ContainerKinds, GroupBoxPanelsAndGripAsPictures) {
  MakeBackdrop(240, 110);
  HWND group = Child(WC_BUTTON, "Размер", BS_GROUPBOX, 6, 4, 110, 60);
  // A check box over the box, as a dialog has it: its sibling, made after it.
  HWND inside = Child(WC_BUTTON, "Внутри", BS_AUTOCHECKBOX, 14, 24, 90, 17);
  // A toolkit panel's window, as a message form holds one.
  auto* tpanel = Create<TPanel>(dialog);
  tpanel->SetParent(dialog);
  tpanel->SetBounds(124, 4, 110, 40);
  tpanel->SetCaption("Панель");
  HWND panel = tpanel->Handle();
  HWND nested = Child(WC_DIALOG, "", 0, 124, 50, 110, 40);
  ASSERT_NE(nested, nullptr);
  HWND nestedText = CreateWindowEx(0, WC_STATIC, "Во вложенном", WS_CHILD | WS_VISIBLE | SS_LEFT, 4,
                                   4, 100, 14, nested, 0);
  HWND grip = Child("ScrollBar", "", SBS_SIZEGRIP, 6, 72, 20, 20);
  HWND bar = Child("ScrollBar", "", SBS_HORZ, 30, 72, 80, 17);
  auto* box = dynamic_cast<TnxGroupBoxWnd*>(Skin(nkGroupBox, group, "GROUPBOX"));
  ASSERT_NE(box, nullptr);
  Skin(nkCheckBox, inside, "CHECKBOX");
  Skin(nkDialogPanel, panel, "PANEL");
  Skin(nkTransparentPanel, nested, "CHECKBOX");
  Skin(nkStaticText, nestedText, "CHECKBOX");
  Skin(nkSizeGrip, grip, "CHECKBOX");
  Skin(nkSizeGrip, bar, "CHECKBOX");
  host.MouseMove(238, 108);
  const TBitmap shot = Shot(dialog);
  CompareSubclassGolden("containers", shot);
  // The caption's height, for the frame strips a skinned parent leaves alone.
  EXPECT_EQ(SendCommandToWindow(group, CmdGetCaptionHeight), box->CaptionHeight());
  EXPECT_GT(box->CaptionHeight(), 8);
  // The inside of the box is the picture behind it, and the check box over
  // it is painted (the box did not paint over its sibling).
  EXPECT_EQ(shot.GetPixel(60, 55), dialog->Backdrop.GetPixel(60, 55));
  // The nested dialog shows the picture behind it around its text.
  EXPECT_EQ(shot.GetPixel(230, 86), dialog->Backdrop.GetPixel(230, 86));
  // A scroll bar proper is not a grip: it keeps the platform's bar.
  EXPECT_TRUE(dynamic_cast<TnxSizeGripWnd*>(SubclassOf(grip))->Skinned());
  EXPECT_FALSE(dynamic_cast<TnxSizeGripWnd*>(SubclassOf(bar))->Skinned());
  // No magenta of the skin's images reaches the screen.
  EXPECT_EQ(CountColour(shot, TRect{0, 0, 240, 110}, KeyColor), 0);
}

}  // namespace
}  // namespace vm::test
