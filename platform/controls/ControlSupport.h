// What every standard control shares: its object in the window, notifying
// the parent, the font, the colours asked of the parent, and the classic
// drawing of edges, focus rectangles and grey text. Internal to
// platform/controls.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "platform/controls/ControlDefs.h"
#include "platform/gfx/ClassicDraw.h"
#include "platform/gfx/DC.h"
#include "platform/gfx/SysColors.h"
#include "platform/win/WinApi.h"

namespace vm::ctl {

// ---- The control object ----
// The object lives in the window's extra bytes at offset 0; the class
// reserves them (cbWndExtra), GWLP_USERDATA stays the application's.
void SetObject(HWND h, void* object);
void* ObjectOf(HWND h);
template <class T>
T* Object(HWND h) {
  return static_cast<T*>(ObjectOf(h));
}

// Hands a message to the control object T kept in the window. The object is
// made at WM_NCCREATE (onCreate(object) runs once it is stored) and freed
// after WM_NCDESTROY; when that arrives while the object is still inside one
// of its own messages, it is freed as the outermost one returns. T has a
// T(HWND) constructor, Depth and Dead members and Proc(msg, w, l).
template <class T, class OnCreate>
LRESULT DispatchToObject(HWND h, UINT msg, WPARAM w, LPARAM l, OnCreate onCreate) {
  T* obj = Object<T>(h);
  if (msg == WM_NCCREATE && !obj) {
    obj = new T(h);
    SetObject(h, obj);
    onCreate(obj);
  }
  if (!obj) return DefWindowProc(h, msg, w, l);
  if (msg == WM_NCDESTROY) {
    SetObject(h, nullptr);
    if (obj->Depth)
      obj->Dead = true;
    else
      delete obj;
    return DefWindowProc(h, msg, w, l);
  }
  ++obj->Depth;
  LRESULT r = obj->Proc(msg, w, l);
  if (--obj->Depth == 0 && obj->Dead) delete obj;
  return r;
}
template <class T>
LRESULT DispatchToObject(HWND h, UINT msg, WPARAM w, LPARAM l) {
  return DispatchToObject<T>(h, msg, w, l, [](T*) {});
}

// Registers a control class: CS_DBLCLKS and friends, room for the object,
// the stock cursor given (the arrow unless told otherwise). Returns false
// when the name is taken (already registered).
bool RegisterControlClass(const char* name, WNDPROC proc, UINT style, TColor background,
                          int cursor = IDC_ARROW);

// ---- Talking to the parent ----
// WM_COMMAND with the control's id and a notification code.
void NotifyCommand(HWND h, UINT code);
// WM_NOTIFY with the header filled in (hwndFrom, idFrom, code); returns the answer.
LRESULT NotifyParent(HWND h, NMHDR* header, UINT code);
// Asks the parent for colours (WM_CTLCOLOR*, the convention of WinDefs.h).
// The DC starts with the defaults given; the parent may change its colours
// and answer the background. Returns the background to fill with.
TColor AskColors(HWND h, UINT msg, HDC dc, TColor defaultText, TColor defaultBack);

// The font selected by WM_SETFONT, or the default GUI font.
std::shared_ptr<const TFont> FontOf(HWND h);

// ---- Classic drawing (edges, frame controls and the focus rectangle are
// platform/gfx/ClassicDraw.h's) ----
// Text drawn in the disabled look: highlight copy one pixel down-right,
// shadow copy on top.
void GrayText(TDC& dc, std::string_view text, TRect r, std::uint32_t flags);

// ---- Text ----
// Byte offsets of UTF-8 character boundaries.
std::size_t NextChar(std::string_view s, std::size_t i);
std::size_t PrevChar(std::string_view s, std::size_t i);
// Whether the key is held now (the message's time).
bool KeyDown(int vk);

}  // namespace vm::ctl
