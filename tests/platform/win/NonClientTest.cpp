// The pop-up rule and the host window kinds it chooses, and hover hit tests
// asked of the window.
#include <gtest/gtest.h>

#include "WinTestSupport.h"

namespace vm::test {
namespace {

class NonClientTest : public TWinTest {
 protected:
  void TearDown() override {
    TWinTest::TearDown();
    UnregisterClass("tooltips_class32");
  }
  THostWindowKind KindOf(HWND h) { return host.Native(GetHostWindow(h))->Params.Kind; }
};

TEST_F(NonClientTest, OnePopupRuleChoosesTheHostKind) {
  HWND owner = MakeTop();
  ShowWindow(owner, SW_SHOW);
  WNDCLASS wc;
  wc.lpszClassName = "tooltips_class32";
  wc.lpfnWndProc = &RecordingProc;
  RegisterClass(wc);
  const DWORD menuEx = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  // A bordered owned pop-up (a menu, a drop-down list) is no dialog to the desktop.
  HWND menu = CreateWindowEx(menuEx, "TestWindow", "", WS_POPUP | WS_BORDER, 0, 0, 50, 50, owner);
  HWND framed = CreateWindowEx(WS_EX_TOOLWINDOW, "TestWindow", "", WS_POPUP | WS_DLGFRAME, 0, 0, 50,
                               50, owner);
  HWND hint =
      CreateWindowEx(menuEx, "TOOLTIPS_CLASS32", "", WS_POPUP | WS_BORDER, 0, 0, 50, 20, owner);
  HWND label = CreateWindowEx(menuEx, "TestWindow", "", WS_POPUP, 0, 0, 50, 20, owner);
  // Without the extended styles a caption-less pop-up is an ordinary window
  // (a borderless form must be able to get the keyboard from the desktop).
  HWND borderless = CreateWindowEx(0, "TestWindow", "", WS_POPUP, 0, 0, 50, 50, owner);
  HWND plain = CreateWindowEx(0, "TestWindow", "", WS_POPUP, 0, 0, 50, 50, nullptr);
  HWND dialog =
      CreateWindowEx(menuEx, "TestWindow", "", WS_POPUP | WS_CAPTION, 0, 0, 50, 50, owner);
  EXPECT_EQ(KindOf(menu), THostWindowKind::PopupMenu);
  EXPECT_EQ(KindOf(framed), THostWindowKind::PopupMenu);
  EXPECT_EQ(KindOf(hint), THostWindowKind::Tooltip);
  EXPECT_EQ(KindOf(label), THostWindowKind::Tooltip);  // frameless: a hint
  EXPECT_EQ(KindOf(borderless), THostWindowKind::Dialog);
  EXPECT_EQ(KindOf(plain), THostWindowKind::Normal);
  EXPECT_EQ(KindOf(dialog), THostWindowKind::Dialog);
  EXPECT_TRUE(IsPopupWindow(menu));
  EXPECT_TRUE(IsPopupWindow(hint));
  EXPECT_FALSE(IsPopupWindow(borderless));
  EXPECT_FALSE(IsPopupWindow(dialog));
  EXPECT_FALSE(IsPopupWindow(MakeChild(owner, 0, 0, 5, 5, WS_VISIBLE | WS_POPUP)));

  // Changing the owner or the style keeps the rule.
  SetWindowLongPtr(menu, GWLP_HWNDPARENT, 0);
  EXPECT_EQ(KindOf(menu), THostWindowKind::PopupMenu);
  SetWindowLongPtr(borderless, GWL_EXSTYLE, WS_EX_TOPMOST);  // now a frameless floating label
  EXPECT_EQ(KindOf(borderless), THostWindowKind::Tooltip);
  SetWindowLongPtr(borderless, GWL_EXSTYLE, 0);
  EXPECT_EQ(KindOf(borderless), THostWindowKind::Dialog);

  // Activation never moves to a pop-up: closing the active window activates
  // the next ordinary one below the shown menu.
  HWND other = MakeTop(600, 100, 200, 100);
  ShowWindow(other, SW_SHOW);
  ShowWindow(owner, SW_SHOW);
  ShowWindow(menu, SW_SHOWNA);
  ASSERT_EQ(GetActiveWindow(), owner);
  DestroyWindow(owner);
  EXPECT_EQ(GetActiveWindow(), other);
}

LRESULT SkinnedHitTest(HWND h, UINT m, WPARAM w, LPARAM l) {
  Log().push_back({h, m, w, l});
  if (m == WM_NCHITTEST) {
    // A skinned frame: a caption drawn over the whole top 40 pixels.
    TRect r;
    GetWindowRect(h, &r);
    if (GET_Y_LPARAM(l) - r.Top < 40) return HTCAPTION;
  }
  return DefWindowProc(h, m, w, l);
}

TEST_F(NonClientTest, HoverOverTheFrameReportsTheWindowsOwnHitTest) {
  HWND h = MakeTop(100, 100, 300, 200);
  SetWindowProc(h, &SkinnedHitTest);
  ShowWindow(h, SW_SHOW);
  Pump();
  // 30 pixels down is client area to the classic frame but caption to the skin.
  host.MouseMove(200, 130);
  Pump();
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_HOVER | TME_NONCLIENT;
  tme.hwndTrack = h;
  tme.dwHoverTime = 100;
  ASSERT_TRUE(TrackMouseEvent(&tme));
  Log().clear();
  host.AdvanceClock(150);
  Pump();
  std::vector<WPARAM> hovers;
  for (const TLogged& e : Log())
    if (e.Msg == WM_NCMOUSEHOVER) hovers.push_back(e.W);
  EXPECT_EQ(hovers, std::vector<WPARAM>{WPARAM(HTCAPTION)});
}

}  // namespace
}  // namespace vm::test
