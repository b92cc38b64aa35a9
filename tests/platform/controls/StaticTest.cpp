#include "ControlTestSupport.h"

namespace vm::test {
namespace {

class StaticTest : public TControlTest {};

TEST_F(StaticTest, ClicksGoThroughUnlessItNotifies) {
  HWND plain = Make(WC_STATIC, "Plain", SS_LEFT, 10, 10, 80, 15, 1);
  HWND notify = Make(WC_STATIC, "Notify", SS_LEFT | SS_NOTIFY, 10, 40, 80, 15, 2);
  Click(plain, 5, 5);
  // The parent got the click itself (in its own coordinates), no notification.
  EXPECT_EQ(Count(WM_LBUTTONDOWN), 1);
  EXPECT_EQ(Commands(plain, STN_CLICKED), 0);
  Click(notify, 5, 5);
  EXPECT_EQ(Commands(notify, STN_CLICKED), 1);
  EXPECT_EQ(Count(WM_LBUTTONDOWN), 1);
  host.DoubleClick(Screen(notify, 5, 5).X, Screen(notify, 5, 5).Y);
  Pump();
  EXPECT_EQ(Commands(notify, STN_DBLCLK), 1);
  EXPECT_EQ(SendMessage(notify, WM_GETDLGCODE), DLGC_STATIC);
  EnableWindow(notify, false);
  EXPECT_EQ(Commands(notify, STN_DISABLE), 1);
}

TEST_F(StaticTest, ImagesAreCopiedAndIconsKept) {
  HWND s = Make(WC_STATIC, "", SS_BITMAP, 10, 10, 20, 20);
  {
    TBitmap bmp(4, 3);
    bmp.Fill(RGB(10, 200, 30));
    SendMessage(s, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(reinterpret_cast<std::uintptr_t>(&bmp)));
  }  // the caller's bitmap is gone; the control shows its copy
  TBitmap shot = ShotOf(Rect(10, 10, 30, 30));
  EXPECT_EQ(shot.GetPixel(3, 2), RGB(10, 200, 30));
  EXPECT_NE(shot.GetPixel(4, 2), RGB(10, 200, 30));
  TBitmap iconBits(8, 8, TPixelFormat::pf32bit);
  iconBits.Fill(RGB(250, 0, 0));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) iconBits.SetAlpha(x, y, 255);
  HICON icon = CreateIconFromBitmap(iconBits);
  HWND i = Make(WC_STATIC, "", SS_ICON | SS_CENTERIMAGE, 40, 10, 16, 16);
  EXPECT_EQ(SendMessage(i, STM_SETICON, WPARAM(reinterpret_cast<std::uintptr_t>(icon))), 0);
  EXPECT_EQ(SendMessage(i, STM_GETICON), LRESULT(reinterpret_cast<std::uintptr_t>(icon)));
  TBitmap ishot = ShotOf(Rect(40, 10, 56, 26));
  EXPECT_EQ(ishot.GetPixel(4, 4), RGB(250, 0, 0));
  EXPECT_NE(ishot.GetPixel(1, 1), RGB(250, 0, 0));
  // Unknown image kinds change nothing.
  EXPECT_EQ(SendMessage(i, STM_SETIMAGE, 9, 1234), 0);
  DestroyIcon(icon);
}

// Text alignments with and without "&", a disabled text, every rectangle and
// frame kind, etched lines and a sunken text.
TEST_F(StaticTest, GoldenPicture) {
  Make(WC_STATIC, "&Слева", SS_LEFT, 8, 8, 100, 15, 1);
  Make(WC_STATIC, "По &центру", SS_CENTER, 8, 26, 100, 15, 2);
  Make(WC_STATIC, "Справа", SS_RIGHT, 8, 44, 100, 15, 3);
  Make(WC_STATIC, "A&&B no&prefix", SS_LEFT | SS_NOPREFIX, 8, 62, 100, 15, 4);
  HWND off = Make(WC_STATIC, "Недоступно", SS_LEFT, 8, 80, 100, 15, 5);
  EnableWindow(off, false);
  Make(WC_STATIC, "Перенос длинного текста по словам", SS_LEFT, 8, 98, 100, 30, 6);
  Make(WC_STATIC, "Рамка", SS_LEFT | SS_SUNKEN, 8, 132, 100, 17, 7);
  const DWORD kinds[] = {SS_BLACKRECT, SS_GRAYRECT,   SS_WHITERECT,  SS_BLACKFRAME,
                         SS_GRAYFRAME, SS_WHITEFRAME, SS_ETCHEDFRAME};
  for (int i = 0; i < 7; ++i) Make(WC_STATIC, "", kinds[i], 120 + i * 24, 8, 20, 20, 10 + i);
  Make(WC_STATIC, "", SS_ETCHEDHORZ, 120, 40, 160, 2, 20);
  Make(WC_STATIC, "", SS_ETCHEDVERT, 120, 50, 2, 60, 21);
  Golden("static", ShotOf(Rect(0, 0, 300, 156)));
}

}  // namespace
}  // namespace vm::test
