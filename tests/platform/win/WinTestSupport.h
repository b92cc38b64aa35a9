// Shared set-up for the window system tests: a headless host attached for
// the test's lifetime, a message log and a class whose procedure records.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/host/headless/HeadlessHost.h"
#include "platform/win/WinApi.h"

namespace vm::test {

struct TLogged {
  HWND Hwnd;
  UINT Msg;
  WPARAM W;
  LPARAM L;
};

// Every message a recording window receives, in order.
inline std::vector<TLogged>& Log() {
  static std::vector<TLogged> log;
  return log;
}

// Messages of the log, optionally only those of one window and in a set.
inline std::vector<UINT> Messages(HWND only = nullptr, std::vector<UINT> keep = {}) {
  std::vector<UINT> out;
  for (const TLogged& e : Log()) {
    if (only && e.Hwnd != only) continue;
    if (!keep.empty() && std::find(keep.begin(), keep.end(), e.Msg) == keep.end()) continue;
    out.push_back(e.Msg);
  }
  return out;
}

inline LRESULT RecordingProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  Log().push_back({h, msg, w, l});
  return DefWindowProc(h, msg, w, l);
}

class TWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetHost(&host);
    Log().clear();
    WNDCLASS wc;
    wc.lpszClassName = "TestWindow";
    wc.lpfnWndProc = &RecordingProc;
    wc.hbrBackground = RGB(0x20, 0x40, 0x60);
    RegisterClass(wc);
    wc.lpszClassName = "TestDblClk";
    wc.style = CS_DBLCLKS;
    RegisterClass(wc);
  }
  void TearDown() override {
    SetHost(nullptr);
    UnregisterClass("TestWindow");
    UnregisterClass("TestDblClk");
  }

  HWND MakeTop(int x = 100, int y = 100, int w = 300, int h = 200,
               DWORD style = WS_OVERLAPPEDWINDOW, std::string_view cls = "TestWindow") {
    return CreateWindowEx(0, cls, "Top", style, x, y, w, h, nullptr);
  }
  HWND MakeChild(HWND parent, int x, int y, int w, int h, DWORD style = WS_VISIBLE, int id = 0,
                 std::string_view cls = "TestWindow") {
    return CreateWindowEx(0, cls, "", WS_CHILD | style, x, y, w, h, parent, id);
  }
  void Pump() { ProcessPendingMessages(); }

  THeadlessHost host;
};

}  // namespace vm::test
