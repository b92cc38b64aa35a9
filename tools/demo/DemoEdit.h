// A single-line text field: shows what is typed, with a blinking caret that
// the arrow keys, Home, End and a click move; Backspace and Delete remove.
// It tells its parent about every change with WM_COMMAND (NotifyChange in
// the high word, its identifier in the low word, itself in lParam), and when
// it gets or loses the keyboard focus (NotifySetFocus, NotifyKillFocus).
#pragma once

#include <string>

#include "platform/win/WinApi.h"

namespace vm::demo {

// Notification codes in the high word of WM_COMMAND's wParam, the
// platform's values for an edit's change and a button's click.
constexpr int NotifyChange = 0x0300;
constexpr int NotifyClicked = 0;
// Focus changes, the platform's values for an edit (the button uses the same).
constexpr int NotifySetFocus = 0x0100;
constexpr int NotifyKillFocus = 0x0200;

class TDemoEdit {
 public:
  static constexpr const char* ClassName = "VelmoraDemoEdit";
  static void Register();
  static HWND Create(HWND parent, int id, const TRect& bounds);

  // The text as UTF-8 (empty for a window that is not such a field).
  static std::string Text(HWND edit);
  static void Clear(HWND edit);

 private:
  TDemoEdit() = default;
  static LRESULT Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  static TDemoEdit* Of(HWND hwnd);

  void Paint(HWND hwnd);
  void Insert(HWND hwnd, char32_t c);
  void Changed(HWND hwnd, bool notify);
  int CaretFromX(HWND hwnd, int x);
  void RestartBlink(HWND hwnd);

  std::u32string text_;
  std::size_t caret_ = 0;  // index into text_
  int scroll_ = 0;         // pixels of text hidden at the left
  bool focused_ = false;
  bool caretOn_ = false;
};

}  // namespace vm::demo
