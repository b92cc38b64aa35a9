// TsMenuWindow: the skinned look's hold on a pop-up menu window ("#32768").
//
// The menu painter draws a pop-up menu's border and background itself, from
// the picture it keeps for the menu being shown. The window's own procedure
// would erase the client area and draw the plain border over that, so a
// subclass sits in front of it: erasing is suppressed, the non-client paint
// is suppressed while the painter's picture has the window's size, and the
// window's going drops the painter's picture. One per window; it frees
// itself with its window.
#pragma once

#include "platform/win/WinApi.h"

namespace vm {

class TsMenuWindow {
 public:
  // Subclasses the window once (a window already held keeps its subclass).
  static TsMenuWindow* Attach(HWND window);
  static TsMenuWindow* Find(HWND window);
  // Gives every held window its own procedure back.
  static void DetachAll();

  HWND Handle() const { return handle_; }
  ~TsMenuWindow();
  TsMenuWindow(const TsMenuWindow&) = delete;
  TsMenuWindow& operator=(const TsMenuWindow&) = delete;

 private:
  explicit TsMenuWindow(HWND window);
  LRESULT Proc(HWND h, UINT msg, WPARAM w, LPARAM l);

  HWND handle_ = nullptr;
  WNDPROC mine_;
  WNDPROC previous_;
};

}  // namespace vm
