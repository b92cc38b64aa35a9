// Spin buttons, tool bars and status bars: the arrows' hot and pressed
// looks followed from the mouse and the keys while the control keeps its
// stepping; tool bar buttons hot, pressed, checked and disabled with their
// images and texts; a status bar's parts, texts and grip; a program's
// changes repainting as the user's.
#include "tests/skin/subclass/KindsTestSupport.h"

#include "platform/controls/ControlDefs.h"
#include "platform/gfx/ImageList.h"
#include "skin/subclass/SpinWnd.h"
#include "skin/subclass/ToolBarWnd.h"

namespace vm::test {
namespace {

class BarKinds : public TKindsTest {};

TEST_F(BarKinds, SpinButtonsFollowTheMouseAndTheKeys) {
  MakeBackdrop(80, 40);
  HWND edit = Child(WC_EDIT, "5", WS_BORDER, 6, 6, 40, 22);
  HWND spin = Child(UPDOWN_CLASS, "", UDS_SETBUDDYINT | UDS_ARROWKEYS, 46, 6, 16, 22);
  SendMessage(spin, UDM_SETBUDDY, WPARAM(edit), 0);
  SendMessage(spin, UDM_SETPOS32, 0, 5);
  auto* wnd = dynamic_cast<TnxSpinWnd*>(Skin(nkSpinButtons, spin, "SPEEDBUTTON_SMALL"));
  ASSERT_NE(wnd, nullptr);
  host.MouseMove(78, 38);
  const TBitmap normal = Shot(dialog);
  CompareSubclassGolden("spin-normal", CutWindow(normal, spin));
  TRect r;
  GetWindowRect(spin, &r);
  host.MouseMove(r.Left + 8, r.Top + 4);
  Pump();
  EXPECT_EQ(wnd->HotArrow(), 1);
  EXPECT_EQ(wnd->ArrowState(1), 1);
  const TBitmap hot = Shot(dialog);
  CompareSubclassGolden("spin-hot", CutWindow(hot, spin));
  host.MouseDown();
  Pump();
  EXPECT_EQ(wnd->PressedArrow(), 1);
  EXPECT_EQ(SendMessage(spin, UDM_GETPOS32, 0, 0), 6);  // the control still steps
  CompareSubclassGolden("spin-pressed", CutWindow(Shot(dialog), spin));
  host.MouseUp();
  Pump();
  EXPECT_EQ(wnd->PressedArrow(), 0);
  EXPECT_TRUE(SamePicture(CutWindow(Shot(dialog), spin), CutWindow(hot, spin)));
  host.MouseMove(78, 38);
  Pump();
  EXPECT_EQ(wnd->HotArrow(), 0);
  // The down arrow key held in the control: pressed look, one step down.
  SetFocus(spin);
  SendMessage(spin, WM_KEYDOWN, VK_DOWN, 0);
  Pump();
  EXPECT_EQ(wnd->PressedArrow(), 2);
  EXPECT_EQ(SendMessage(spin, UDM_GETPOS32, 0, 0), 5);
  SendMessage(spin, WM_KEYUP, VK_DOWN, 0);
  Pump();
  EXPECT_EQ(wnd->PressedArrow(), 0);
  EXPECT_TRUE(SamePicture(CutWindow(Shot(dialog), spin), CutWindow(normal, spin)));
  // Disabled: greyed arrows, no hot look.
  EnableWindow(spin, false);
  const TBitmap off = Shot(dialog);
  EXPECT_FALSE(SamePicture(CutWindow(off, spin), CutWindow(normal, spin)));
  EnableWindow(spin, true);
  EXPECT_TRUE(SamePicture(CutWindow(Shot(dialog), spin), CutWindow(normal, spin)));
}

TEST_F(BarKinds, ToolBarAndStatusBarAsPictures) {
  MakeBackdrop(220, 84);
  HWND tools = Child(WC_TOOLBAR, "", TBSTYLE_FLAT | CCS_NORESIZE | CCS_NODIVIDER, 0, 0, 220, 40);
  TImageList images(16, 16);
  TBitmap strip(48, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 48; ++x)
      strip.SetPixel(x, y,
                     (x % 16 - 8) * (x % 16 - 8) + (y - 8) * (y - 8) < 30
                         ? RGB(x * 5, 200 - x * 3, 60 + y * 8)
                         : RGB(255, 0, 255));
  images.AddMasked(strip, RGB(255, 0, 255));
  SendMessage(tools, TB_SETIMAGELIST, 0, LPARAM(reinterpret_cast<std::uintptr_t>(&images)));
  TBBUTTON buttons[5];
  const char* texts[5] = {"Открыть", "Сохранить", "", "Сетка", "Нет"};
  for (int i = 0; i < 5; ++i) {
    buttons[i].iBitmap = i == 2 ? 0 : i % 3;
    buttons[i].idCommand = 100 + i;
    buttons[i].iString = std::intptr_t(texts[i]);
  }
  buttons[2].fsStyle = TBSTYLE_SEP;
  buttons[3].fsStyle = TBSTYLE_CHECK;
  buttons[3].fsState = TBSTATE_ENABLED | TBSTATE_CHECKED;
  buttons[4].fsState = 0;
  SendMessage(tools, TB_ADDBUTTONS, 5, LPARAM(reinterpret_cast<std::uintptr_t>(buttons)));
  HWND status =
      Child(STATUSCLASSNAME, "", SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN, 0, 62, 220, 22);
  const int rights[3] = {80, 150, -1};
  SendMessage(status, SB_SETPARTS, 3, LPARAM(reinterpret_cast<std::uintptr_t>(rights)));
  SendMessage(status, SB_SETTEXT, 0, LPARAM(reinterpret_cast<std::uintptr_t>("Готово")));
  SendMessage(status, SB_SETTEXT, 1, LPARAM(reinterpret_cast<std::uintptr_t>("\t125 КБ")));
  SendMessage(status, SB_SETTEXT, 2 | SBT_NOBORDERS,
              LPARAM(reinterpret_cast<std::uintptr_t>("\t\t100%")));
  auto* bar = dynamic_cast<TnxToolBarWnd*>(Skin(nkToolBar, tools, "TOOLBAR"));
  ASSERT_NE(bar, nullptr);
  Skin(nkStatusBar, status, "STATUSBAR");
  host.MouseMove(218, 52);
  const TBitmap normal = Shot(dialog);
  CompareSubclassGolden("bars", normal);
  EXPECT_EQ(bar->ButtonState(3), 2);  // checked
  EXPECT_EQ(bar->ButtonState(4), 0);  // disabled

  // Hot and pressed buttons; the click still reaches the parent.
  int commands = 0;
  probe->Probe = [&](TMessage& m) {
    if (m.Msg == WM_COMMAND && LOWORD(m.WParam) == 100) ++commands;
    return false;
  };
  TRect item;
  SendMessage(tools, TB_GETITEMRECT, 0, LPARAM(reinterpret_cast<std::uintptr_t>(&item)));
  TPoint at{item.Left + item.Width() / 2, item.Top + item.Height() / 2};
  ClientToScreen(tools, &at);
  host.MouseMove(at.X, at.Y);
  Pump();
  EXPECT_EQ(bar->HotButton(), 0);
  EXPECT_EQ(bar->ButtonState(0), 1);
  const TBitmap hot = Shot(dialog);
  host.MouseDown();
  Pump();
  EXPECT_EQ(bar->ButtonState(0), 2);
  CompareSubclassGolden("toolbar-pressed", Cut(Shot(dialog), item));
  host.MouseUp();
  Pump();
  EXPECT_EQ(commands, 1);
  EXPECT_TRUE(SamePicture(Shot(dialog), hot));
  host.MouseMove(218, 52);
  Pump();
  EXPECT_TRUE(SamePicture(Shot(dialog), normal));
  // A program's check and a new status text repaint skinned.
  SendMessage(tools, TB_CHECKBUTTON, 103, 0);
  EXPECT_EQ(bar->ButtonState(3), 0);
  EXPECT_FALSE(SamePicture(Shot(dialog), normal));
  SendMessage(tools, TB_CHECKBUTTON, 103, 1);
  EXPECT_TRUE(SamePicture(Shot(dialog), normal));
  SendMessage(status, SB_SETTEXT, 0, LPARAM(reinterpret_cast<std::uintptr_t>("Открыто")));
  EXPECT_FALSE(SamePicture(Shot(dialog), normal));
  SendMessage(status, SB_SETTEXT, 0, LPARAM(reinterpret_cast<std::uintptr_t>("Готово")));
  EXPECT_TRUE(SamePicture(Shot(dialog), normal));
}

}  // namespace
}  // namespace vm::test
