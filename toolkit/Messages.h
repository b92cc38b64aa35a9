// Messages of the toolkit: the message record every control procedure takes,
// the procedure type a control's WindowProc holds, and the toolkit's own
// internal messages.
//
// Internal messages live in the private application range, in 0xA000..0xA0FF,
// below the skin command 0xA100:
//   0xA000..0xA07F  CM_*  control messages the toolkit sends between controls
//                         (state changes, mouse entering and leaving, dialog keys)
//   0xA080..0xA0FF  CN_*  notifications a parent window reflects to the child
//                         control they are about (WM_COMMAND, WM_NOTIFY, scrolling,
//                         colour queries, owner drawing)
// A control never receives these from the window system; only toolkit code
// sends them, by Perform or SendMessage.
#pragma once

#include <functional>

#include "platform/win/WinDefs.h"

namespace vm {

// One message as a control's procedure sees it. Handlers set Result.
struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// A control's window procedure (TControl::WindowProc). Replacing it hooks
// every message of the control; calling the saved previous one chains.
using TWndMethod = std::function<void(TMessage&)>;

inline constexpr UINT CM_BASE = 0xA000;
inline constexpr UINT CM_ACTIVATE = CM_BASE + 0;
inline constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
inline constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 2;
inline constexpr UINT CM_VISIBLECHANGED = CM_BASE + 3;
inline constexpr UINT CM_COLORCHANGED = CM_BASE + 4;
inline constexpr UINT CM_FONTCHANGED = CM_BASE + 5;
inline constexpr UINT CM_TEXTCHANGED = CM_BASE + 6;
inline constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 7;
inline constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
inline constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 9;
inline constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 10;
inline constexpr UINT CM_MOUSEENTER = CM_BASE + 11;  // LParam: the control entered
inline constexpr UINT CM_MOUSELEAVE = CM_BASE + 12;  // LParam: the control left
inline constexpr UINT CM_DIALOGKEY = CM_BASE + 13;   // WParam: virtual key; Result 1 = used
inline constexpr UINT CM_DIALOGCHAR = CM_BASE + 14;  // WParam: character; Result 1 = used
inline constexpr UINT CM_WANTSPECIALKEY =
    CM_BASE + 15;                                  // WParam: key; Result 1 = the control takes it
inline constexpr UINT CM_HINTSHOW = CM_BASE + 16;  // LParam: THintInfo*; Result 1 = no hint
inline constexpr UINT CM_CONTROLCHANGE = CM_BASE + 17;  // WParam: control; LParam: 1 inserted
inline constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 18;
inline constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 19;
inline constexpr UINT CM_FOCUSCHANGED = CM_BASE + 20;  // LParam: the control taking the focus
inline constexpr UINT CM_ENTER = CM_BASE + 21;
inline constexpr UINT CM_EXIT = CM_BASE + 22;
inline constexpr UINT CM_CURSORCHANGED = CM_BASE + 23;
inline constexpr UINT CM_BORDERCHANGED = CM_BASE + 24;
inline constexpr UINT CM_RELEASE = CM_BASE + 25;  // posted: the form frees itself
inline constexpr UINT CM_INVOKE = CM_BASE + 26;   // posted to the application window
inline constexpr UINT CM_HITTEST = CM_BASE + 27;  // LParam: point; Result 1 = the control is hit
inline constexpr UINT CM_BUTTONPRESSED = CM_BASE + 28;  // WParam: group index; LParam: the button
inline constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 29;
inline constexpr UINT CM_DOUBLEBUFFEREDCHANGED = CM_BASE + 30;
static_assert(CM_DOUBLEBUFFEREDCHANGED < CM_BASE + 0x80);

inline constexpr UINT CN_BASE = 0xA080;
inline constexpr UINT CN_COMMAND = CN_BASE + 0;
inline constexpr UINT CN_NOTIFY = CN_BASE + 1;
inline constexpr UINT CN_HSCROLL = CN_BASE + 2;
inline constexpr UINT CN_VSCROLL = CN_BASE + 3;
inline constexpr UINT CN_CTLCOLOREDIT = CN_BASE + 4;
inline constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + 5;
inline constexpr UINT CN_CTLCOLORBTN = CN_BASE + 6;
inline constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + 7;
inline constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + 8;
inline constexpr UINT CN_DRAWITEM = CN_BASE + 9;
inline constexpr UINT CN_MEASUREITEM = CN_BASE + 10;
inline constexpr UINT CN_KEYDOWN = CN_BASE + 11;
inline constexpr UINT CN_CHAR = CN_BASE + 12;
static_assert(CN_CHAR < 0xA100, "the skin command 0xA100 stays free");

}  // namespace vm
