// A small window with child windows on the headless host, driven by clicks
// and keys the way a user would, checked on the screenshot's pixels.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/gfx/SysColors.h"
#include "platform/host/headless/HeadlessHost.h"
#include "platform/win/WinApi.h"

namespace vm {
namespace {

constexpr int IdButton = 1, IdEdit = 2, IdPanel = 3;
constexpr TColor ButtonUp = RGB(200, 200, 200), ButtonDown = RGB(90, 90, 90);
constexpr TColor Green = RGB(0, 160, 0), Blue = RGB(0, 0, 200);
constexpr TColor Ink = RGB(0, 0, 0), Paper = RGB(255, 255, 255);

struct TState {
  bool Pressed = false;
  int Clicks = 0;
  std::u32string Text;
  int Closes = 0;
} gState;

// A push button: pressed look while the mouse holds it, a command to the
// parent when released over it.
LRESULT ButtonProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_LBUTTONDOWN:
      SetCapture(h);
      gState.Pressed = true;
      InvalidateRect(h, nullptr, false);
      return 0;
    case WM_LBUTTONUP: {
      bool was = gState.Pressed && GetCapture() == h;
      ReleaseCapture();
      gState.Pressed = false;
      InvalidateRect(h, nullptr, false);
      TRect r;
      GetClientRect(h, &r);
      if (was && r.Contains({GET_X_LPARAM(l), GET_Y_LPARAM(l)}))
        SendMessage(GetParent(h), WM_COMMAND, MAKEWPARAM(IdButton, 0),
                    LPARAM(reinterpret_cast<std::uintptr_t>(h)));
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      TRect r;
      GetClientRect(h, &r);
      dc->FillRect(r, gState.Pressed ? ButtonDown : ButtonUp);
      EndPaint(h, &ps);
      return 0;
    }
  }
  return DefWindowProc(h, m, w, l);
}

// An edit-like box: takes the focus on a click and shows one 6 x 10 block per
// character typed; Backspace removes the last one.
LRESULT EditProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_LBUTTONDOWN:
      SetFocus(h);
      return 0;
    case WM_CHAR:
      if (w == 0x08) {
        if (!gState.Text.empty()) gState.Text.pop_back();
      } else if (w >= 0x20) {
        gState.Text.push_back(char32_t(w));
      }
      InvalidateRect(h, nullptr, true);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      for (std::size_t i = 0; i < gState.Text.size(); ++i)
        dc->FillRect(Bounds(4 + int(i) * 8, 4, 6, 10), Ink);
      EndPaint(h, &ps);
      return 0;
    }
  }
  return DefWindowProc(h, m, w, l);
}

LRESULT PanelProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    TRect r;
    GetClientRect(h, &r);
    dc->FillRect(r, gState.Clicks % 2 ? Blue : Green);
    EndPaint(h, &ps);
    return 0;
  }
  return DefWindowProc(h, m, w, l);
}

LRESULT MainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_COMMAND && LOWORD(w) == IdButton) {
    ++gState.Clicks;
    InvalidateRect(GetDlgItem(h, IdPanel), nullptr, false);
    return 0;
  }
  if (m == WM_CLOSE) ++gState.Closes;
  return DefWindowProc(h, m, w, l);
}

class HeadlessWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gState = {};
    SetHost(&host);
    auto reg = [](const char* name, TWndProcFn proc, TColor bg) {
      WNDCLASS wc;
      wc.lpszClassName = name;
      wc.lpfnWndProc = proc;
      wc.hbrBackground = bg;
      wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
      RegisterClass(wc);
    };
    reg("ITMain", &MainProc, GetSysColor(COLOR_BTNFACE));
    reg("ITButton", &ButtonProc, clNone);
    reg("ITEdit", &EditProc, Paper);
    reg("ITPanel", &PanelProc, clNone);
    main = CreateWindowEx(0, "ITMain", "Headless test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 50,
                          50, 320, 240, nullptr);
    ASSERT_NE(main, nullptr);
    button =
        CreateWindowEx(0, "ITButton", "", WS_CHILD | WS_VISIBLE, 20, 20, 80, 30, main, IdButton);
    edit = CreateWindowEx(WS_EX_CLIENTEDGE, "ITEdit", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 20,
                          70, 200, 24, main, IdEdit);
    panel =
        CreateWindowEx(0, "ITPanel", "", WS_CHILD | WS_VISIBLE, 20, 110, 100, 50, main, IdPanel);
    ShowWindow(main, SW_SHOW);
    UpdateWindow(main);
    ProcessPendingMessages();
  }
  void TearDown() override {
    SetHost(nullptr);
    for (const char* c : {"ITMain", "ITButton", "ITEdit", "ITPanel"}) UnregisterClass(c);
  }

  // Screen position of a child's client point.
  TPoint At(HWND h, int x, int y) {
    TPoint p{x, y};
    ClientToScreen(h, &p);
    return p;
  }
  TColor ScreenPixel(TPoint p) { return host.Screenshot().GetPixel(p.X, p.Y); }
  void Save(const char* name) {
    if (const char* dir = std::getenv("VELMORA_BINARY_DIR"))
      host.SaveScreenshotPng(std::string(dir) + "/" + name);
  }

  THeadlessHost host;
  HWND main = nullptr, button = nullptr, edit = nullptr, panel = nullptr;
};

TEST_F(HeadlessWindowTest, ClicksAndKeysReachTheChildrenAndShowOnScreen) {
  Save("integration-platform-start.png");
  EXPECT_EQ(ScreenPixel(At(panel, 50, 25)), Green);
  EXPECT_EQ(ScreenPixel(At(button, 40, 15)), ButtonUp);
  EXPECT_EQ(ScreenPixel(At(edit, 100, 12)), Paper);
  // Outside the window the desktop shows.
  EXPECT_EQ(ScreenPixel({10, 10}), GetSysColor(COLOR_BACKGROUND));
  // The frame's active caption starts at the caption colour.
  TRect wr;
  GetWindowRect(main, &wr);
  EXPECT_EQ(ScreenPixel({wr.Left + 4, wr.Top + 4}), GetSysColor(COLOR_ACTIVECAPTION));

  // Press and hold: the button looks pressed; release over it: one command.
  TPoint b = At(button, 40, 15);
  host.MouseMove(b.X, b.Y);
  host.MouseDown();
  ProcessPendingMessages();
  EXPECT_EQ(ScreenPixel(b), ButtonDown);
  host.MouseUp();
  ProcessPendingMessages();
  EXPECT_EQ(ScreenPixel(b), ButtonUp);
  EXPECT_EQ(gState.Clicks, 1);
  EXPECT_EQ(ScreenPixel(At(panel, 50, 25)), Blue);

  // Pressed, dragged away and released outside: captured, but no command.
  host.Drag(b, {b.X + 150, b.Y + 150});
  ProcessPendingMessages();
  EXPECT_EQ(gState.Clicks, 1);
  EXPECT_EQ(GetCapture(), nullptr);

  // Typing goes to the focused edit: Latin, Cyrillic, then a Backspace.
  TPoint e = At(edit, 100, 12);
  host.Click(e.X, e.Y);
  ProcessPendingMessages();
  EXPECT_EQ(GetFocus(), edit);
  host.Type("ab Жё");
  host.Key(VK_BACK);
  ProcessPendingMessages();
  EXPECT_EQ(gState.Text, U"ab Ж");
  Save("integration-platform-typed.png");
  TBitmap shot = host.Screenshot();
  for (int i = 0; i < 6; ++i) {
    TPoint cell = At(edit, 4 + i * 8 + 3, 9);
    EXPECT_EQ(shot.GetPixel(cell.X, cell.Y), i < 4 ? Ink : Paper) << "cell " << i;
  }
}

TEST_F(HeadlessWindowTest, CaptionDragMovesAndCloseButtonCloses) {
  TRect before;
  GetWindowRect(main, &before);
  TPoint grip{before.Left + 60, before.Top + 10};
  host.Drag(grip, {grip.X + 30, grip.Y + 20}, 3);
  ProcessPendingMessages();
  TRect after;
  GetWindowRect(main, &after);
  EXPECT_EQ(after, before.Offset(30, 20));
  // The screen follows: the old top-left corner shows the desktop again.
  EXPECT_EQ(ScreenPixel({before.Left + 1, before.Top + 1}), GetSysColor(COLOR_BACKGROUND));
  EXPECT_EQ(ScreenPixel(At(panel, 50, 25)), Green);

  // The close button: pressed and released over it sends SC_CLOSE, then WM_CLOSE.
  TPoint close{after.Right - 4 - 2 - 8, after.Top + 4 + 2 + 7};
  EXPECT_EQ(SendMessage(main, WM_NCHITTEST, 0, MAKELPARAM(close.X, close.Y)), HTCLOSE);
  host.Click(close.X, close.Y);
  ProcessPendingMessages();
  EXPECT_EQ(gState.Closes, 1);
  EXPECT_FALSE(IsWindow(main));
  EXPECT_FALSE(IsWindow(panel));
  EXPECT_TRUE(host.ZOrder().empty());
}

}  // namespace
}  // namespace vm
