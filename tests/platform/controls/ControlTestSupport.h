// Shared set-up for the control tests: a headless host, the standard classes,
// a visible parent window that records what its controls tell it, helpers
// that drive the mouse and keyboard in a control's own coordinates, and
// golden pictures.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/PngCodec.h"
#include "platform/host/headless/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "tests/support/Golden.h"

namespace vm::test {

struct TParentMsg {
  UINT Msg;
  WPARAM W;
  LPARAM L;
};

// What the parent window received (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM,
// WM_HSCROLL, WM_VSCROLL, WM_CTLCOLOR*), and an optional handler that may
// answer a message before the default handling.
struct TParentLog {
  std::vector<TParentMsg> Messages;
  std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> Handler;
};

inline TParentLog& ParentLog() {
  static TParentLog log;
  return log;
}

inline LRESULT ParentProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  TParentLog& log = ParentLog();
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_LBUTTONDOWN:
      log.Messages.push_back({msg, w, l});
      break;
  }
  if (log.Handler) {
    auto handler = log.Handler;
    if (auto r = handler(h, msg, w, l)) return *r;
  }
  return DefWindowProc(h, msg, w, l);
}

class TControlTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { PinFontConfiguration(); }
  void SetUp() override {
    SetHost(&host);
    RegisterStandardControls();
    ParentLog() = {};
    WNDCLASS wc;
    wc.lpszClassName = "ControlTestParent";
    wc.lpfnWndProc = &ParentProc;
    wc.hbrBackground = 0xFF000000u | 15;  // COLOR_BTNFACE
    RegisterClass(wc);
    parent = CreateWindowEx(0, "ControlTestParent", "Controls", WS_POPUP | WS_VISIBLE, 50, 50, 400,
                            300, nullptr);
    Pump();
  }
  void TearDown() override {
    SetHost(nullptr);
    UnregisterClass("ControlTestParent");
    ParentLog() = {};
  }

  HWND Make(std::string_view cls, std::string_view text, DWORD style, int x, int y, int w, int h,
            int id = 100, DWORD exStyle = 0) {
    return CreateWindowEx(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                          id);
  }
  void Pump() { ProcessPendingMessages(); }

  TPoint Screen(HWND h, int x, int y) {
    TPoint p{x, y};
    ClientToScreen(h, &p);
    return p;
  }
  void MoveTo(HWND h, int x, int y) {
    TPoint p = Screen(h, x, y);
    host.MouseMove(p.X, p.Y);
    Pump();
  }
  void Press(HWND h, int x, int y) {
    MoveTo(h, x, y);
    host.MouseDown();
    Pump();
  }
  void Release() {
    host.MouseUp();
    Pump();
  }
  void Click(HWND h, int x, int y) {
    Press(h, x, y);
    Release();
  }
  void Key(int vk) {
    host.Key(vk);
    Pump();
  }
  void Type(std::string_view text) {
    host.Type(text);
    Pump();
  }
  // A key with modifiers held (VK_CONTROL, VK_SHIFT).
  void Chord(std::initializer_list<int> mods, int vk) {
    for (int m : mods) host.KeyDown(m);
    host.Key(vk);
    for (int m : mods) host.KeyUp(m);
    Pump();
  }

  // WM_COMMAND notifications with the given code from the control.
  int Commands(HWND from, UINT code) {
    int n = 0;
    for (const TParentMsg& m : ParentLog().Messages)
      if (m.Msg == WM_COMMAND && HIWORD(m.W) == code &&
          m.L == LPARAM(reinterpret_cast<std::uintptr_t>(from)))
        ++n;
    return n;
  }
  int Count(UINT msg) {
    int n = 0;
    for (const TParentMsg& m : ParentLog().Messages) n += m.Msg == msg;
    return n;
  }

  // The parent window's pixels as presented.
  TBitmap Shot() {
    Pump();
    return host.WindowShot(GetHostWindow(parent));
  }
  TBitmap ShotOf(const TRect& r) {
    TBitmap all = Shot();
    TBitmap out(r.Width(), r.Height());
    TDC dc(out);
    dc.BitBlt(0, 0, r.Width(), r.Height(), all, r.Left, r.Top);
    return out;
  }

  // Compares with tests/platform/controls/golden/<name>.png; VELMORA_UPDATE_GOLDEN=1 rewrites it.
  void Golden(const std::string& name, const TBitmap& actual) {
    namespace fs = std::filesystem;
    const char* src = std::getenv("VELMORA_SOURCE_DIR");
    const fs::path root = src ? fs::path(src) : fs::current_path();
    if (const char* bin = std::getenv("VELMORA_BINARY_DIR")) {
      const fs::path dir = fs::path(bin) / "golden-actual";
      fs::create_directories(dir);
      SavePngFile((dir / (name + ".png")).string(), actual);
    }
    const fs::path file = root / "tests/platform/controls/golden" / (name + ".png");
    test::ExpectGolden(actual, file, name);
  }

  THeadlessHost host;
  HWND parent = nullptr;
};

}  // namespace vm::test
