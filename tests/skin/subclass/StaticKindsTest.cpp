// The static kinds on a skinned picture: text in the skin's font colour over
// what lies behind it, the platform's layout kept, icons and bitmaps over
// the picture, frames and sunken borders in the skin's border colour; text
// changes repaint, and freeing the subclass gives the classic look back.
#include "tests/skin/subclass/KindsTestSupport.h"

#include "platform/controls/ControlDefs.h"
#include "platform/controls/MessageBox.h"
#include "platform/gfx/SysColors.h"
#include "skin/subclass/IconWnd.h"
#include "skin/subclass/StaticWnd.h"

namespace vm::test {
namespace {

class StaticKinds : public TKindsTest {};

TEST_F(StaticKinds, TextIconsAndFramesAsPictures) {
  MakeBackdrop(200, 96);
  HWND left = Child(WC_STATIC, "&Имя файла:", SS_LEFT, 6, 4, 90, 14);
  HWND centred = Child(WC_STATIC, "По центру", SS_CENTER, 100, 4, 94, 14);
  HWND wrapped = Child(WC_STATIC, "Длинная подпись в две строки", SS_LEFT, 6, 22, 90, 28);
  HWND dimmed = Child(WC_STATIC, "Недоступно", SS_RIGHT, 100, 22, 94, 14);
  EnableWindow(dimmed, false);
  HWND etched = Child(WC_STATIC, "", SS_ETCHEDHORZ, 100, 44, 94, 2);
  HWND icon = Child(WC_STATIC, "", SS_ICON, 6, 54, 34, 34);
  SendMessage(icon, STM_SETICON, WPARAM(MessageBoxIcon(MB_ICONWARNING)), 0);
  TBitmap picture(24, 18);
  for (int y = 0; y < 18; ++y)
    for (int x = 0; x < 24; ++x) picture.SetPixel(x, y, RGB(x * 10, 120, y * 14));
  HWND preview = Child(WC_STATIC, "", SS_BITMAP | SS_CENTERIMAGE | SS_SUNKEN, 100, 52, 60, 40);
  SendMessage(preview, STM_SETIMAGE, IMAGE_BITMAP,
              LPARAM(reinterpret_cast<std::uintptr_t>(&picture)));
  const TBitmap plain = Shot(dialog);
  for (HWND h : {left, centred, wrapped, dimmed, etched})
    ASSERT_NE(dynamic_cast<TnxStaticWnd*>(Skin(nkStaticText, h, "CHECKBOX")), nullptr);
  for (HWND h : {icon, preview})
    ASSERT_NE(dynamic_cast<TnxIconWnd*>(Skin(nkIcon, h, "CHECKBOX")), nullptr);
  const TBitmap skinned = Shot(dialog);
  CompareSubclassGolden("statics", skinned);
  // Between the letters the gradient shows through, not the classic face.
  const TColor face = GetSysColor(COLOR_BTNFACE);
  for (HWND h : {left, centred, wrapped, dimmed, preview})
    EXPECT_EQ(CountColour(CutWindow(skinned, h), TRect{0, 0, 200, 200}, face), 0);
  EXPECT_EQ(skinned.GetPixel(102, 5), dialog->Backdrop.GetPixel(102, 5));

  // A text change repaints skinned; the object follows the window's text.
  SetWindowText(left, "Папка:");
  const TBitmap changed = Shot(dialog);
  EXPECT_EQ(SubclassOf(left)->WndText(), "Папка:");
  EXPECT_FALSE(SamePicture(CutWindow(changed, left), CutWindow(skinned, left)));
  EXPECT_EQ(CountColour(CutWindow(changed, left), TRect{0, 0, 200, 200}, face), 0);
  SetWindowText(left, "&Имя файла:");
  EXPECT_TRUE(SamePicture(Shot(dialog), skinned));

  // Freed: the classic statics again, pixel for pixel.
  subclasses.clear();
  for (HWND h : {left, centred, wrapped, dimmed, etched, icon, preview})
    InvalidateRect(h, nullptr, true);
  EXPECT_TRUE(SamePicture(Shot(dialog), plain));
}

TEST_F(StaticKinds, TheLayoutIsThePlatformsOwn) {
  // The flags the platform writes each text type with.
  EXPECT_EQ(TnxStaticWnd::TextFlags(SS_LEFT), DT_EXPANDTABS | DT_LEFT | DT_WORDBREAK);
  EXPECT_EQ(TnxStaticWnd::TextFlags(SS_SIMPLE | SS_NOPREFIX),
            DT_EXPANDTABS | DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(TnxStaticWnd::TextFlags(SS_CENTER | SS_CENTERIMAGE),
            DT_EXPANDTABS | DT_CENTER | DT_SINGLELINE | DT_VCENTER);
  EXPECT_EQ(TnxStaticWnd::TextFlags(SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS),
            DT_EXPANDTABS | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_END_ELLIPSIS);
  // A static that notifies keeps doing so under the subclass.
  MakeBackdrop(120, 30);
  HWND s = Child(WC_STATIC, "Щелчок", SS_LEFT | SS_NOTIFY, 4, 4, 100, 16, 7);
  int clicks = 0;
  probe->Probe = [&](TMessage& m) {
    if (m.Msg == WM_COMMAND && LOWORD(m.WParam) == 7 && HIWORD(m.WParam) == STN_CLICKED) ++clicks;
    return false;
  };
  Skin(nkStaticText, s, "CHECKBOX");
  const TPoint c = CentreOf(s);
  host.Click(c.X, c.Y);
  Pump();
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace vm::test
