// velmora-demo: a small window on the X display that shows the platform
// layer at work (frame and caption, a menu bar whose "Открыть…" runs the
// open-picture dialog, a text field taking Latin and Cyrillic input, a
// button).
//
//   velmora-demo [--display NAME] [--record FILE] [--shot FILE.png]
//     --record  mirror the field's text into FILE after every change
//     --shot    save a PNG of the window when it closes
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "platform/host/x11/X11Host.h"
#include "platform/win/WinApi.h"
#include "tools/demo/DemoEdit.h"
#include "tools/demo/DemoMainWindow.h"

using namespace vm;

namespace {

void Usage() {
  std::fprintf(stderr, "usage: velmora-demo [--display NAME] [--record FILE] [--shot FILE.png]\n");
}

// Tab and Shift+Tab move the focus among the window's tab stops; Alt with an
// underlined letter goes to the field ("Type here") or clicks "Clear".
bool Navigate(const MSG& msg, HWND main) {
  if (msg.message == WM_SYSCHAR) {
    const auto c = char32_t(msg.wParam);
    if (c == U't' || c == U'T') {
      SetFocus(GetDlgItem(main, demo::TDemoMainWindow::IdEdit));
      return true;
    }
    if (c == U'c' || c == U'C') {
      SendMessage(main, WM_COMMAND, MAKEWPARAM(demo::TDemoMainWindow::IdClear, demo::NotifyClicked),
                  LPARAM(reinterpret_cast<std::intptr_t>(
                      GetDlgItem(main, demo::TDemoMainWindow::IdClear))));
      return true;
    }
    return false;
  }
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB) return false;
  HWND focus = GetFocus();
  if (!focus || !IsChild(main, focus)) return false;
  const bool back = GetKeyState(VK_SHIFT) < 0;
  HWND next = focus;
  for (;;) {
    next = GetWindow(next, back ? GW_HWNDPREV : GW_HWNDNEXT);
    if (!next) next = GetWindow(focus, back ? GW_HWNDLAST : GW_HWNDFIRST);
    if (!next || next == focus) return true;
    if ((GetWindowLongPtr(next, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(next) &&
        IsWindowEnabled(next))
      break;
  }
  SetFocus(next);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const char* display = nullptr;
  demo::TDemoOptions options;
  for (int i = 1; i < argc; ++i) {
    auto value = [&](const char* name) -> const char* {
      if (std::strcmp(argv[i], name) != 0) return nullptr;
      if (i + 1 >= argc) {
        std::fprintf(stderr, "velmora-demo: %s needs a value\n", name);
        std::exit(2);
      }
      return argv[++i];
    };
    if (const char* v = value("--display")) {
      display = v;
    } else if (const char* r = value("--record")) {
      options.RecordFile = r;
    } else if (const char* s = value("--shot")) {
      options.ShotFile = s;
    } else if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
      Usage();
      return 0;
    } else {
      std::fprintf(stderr, "velmora-demo: unknown option %s\n", argv[i]);
      Usage();
      return 2;
    }
  }

  try {
    TX11Host host(display);
    SetHost(&host);
    // Windows go before the host they live on, however main is left.
    struct TDetach {
      ~TDetach() { SetHost(nullptr); }
    } detach;
    demo::TDemoMainWindow::Register();
    HWND main = demo::TDemoMainWindow::Create(options);
    ShowWindow(main, SW_SHOW);
    UpdateWindow(main);
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0)) {
      if (TranslateAccelerator(main, demo::TDemoMainWindow::Accelerators(), &msg)) continue;
      if (Navigate(msg, main)) continue;
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
    return int(msg.wParam);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velmora-demo: %s\n", e.what());
    return 1;
  }
}
