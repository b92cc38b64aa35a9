// The per-window object of the demo's window classes: created on
// WM_NCCREATE, kept in the window's first extra slot (the class registers
// WindowObjectBytes of cbWndExtra; GWLP_USERDATA stays free for whoever
// creates the window) and freed on WM_NCDESTROY.
#pragma once

#include "platform/win/WinApi.h"

namespace vm::demo {

inline constexpr int WindowObjectBytes = int(sizeof(LONG_PTR));

// Returns the object of hwnd for this message, or null when there is none:
// before creation, when make() gives none, and from WM_NCDESTROY on (the
// object is freed there, so the caller must not touch it any more).
template <class T, class Make>
T* WindowObject(HWND hwnd, UINT msg, Make make) {
  T* self = reinterpret_cast<T*>(GetWindowLongPtr(hwnd, 0));
  if (msg == WM_NCCREATE && !self) {
    self = make();
    SetWindowLongPtr(hwnd, 0, reinterpret_cast<LONG_PTR>(self));
    return nullptr;  // creation itself is the default handling's
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtr(hwnd, 0, 0);
    delete self;
    return nullptr;
  }
  return self;
}

// WM_COMMAND to the parent: the control's identifier and code, the control itself in lParam.
inline void NotifyParent(HWND control, int code) {
  SendMessage(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
              LPARAM(reinterpret_cast<std::intptr_t>(control)));
}

}  // namespace vm::demo
