// A push button in the classic look. It presses while the left button is
// held over it, follows the pointer while captured, and tells its parent
// with WM_COMMAND (NotifyClicked) when released over it. Space or Enter
// click it when it has the focus. "&" in the caption underlines the next
// letter.
#pragma once

#include <string_view>

#include "platform/win/WinApi.h"

namespace vm::demo {

class TDemoButton {
 public:
  static constexpr const char* ClassName = "VelmoraDemoButton";
  static void Register();
  static HWND Create(HWND parent, int id, std::string_view caption, const TRect& bounds);

 private:
  TDemoButton() = default;
  static LRESULT Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  void Paint(HWND hwnd);
  void SetPressed(HWND hwnd, bool pressed);
  void Click(HWND hwnd);

  bool tracking_ = false;  // left button went down on us; we hold the capture
  bool pressed_ = false;   // drawn pushed in
  bool keyDown_ = false;   // Space held
  bool focused_ = false;
};

}  // namespace vm::demo
