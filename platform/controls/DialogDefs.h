// Names and numbers of dialog windows and message boxes: the "#32770" class,
// its extra bytes, dialog styles and the MessageBox flags, as the platform
// numbers them.
#pragma once

#include <cstdint>

#include "platform/win/WinDefs.h"

namespace vm {

// A dialog procedure's answer: non-zero when it handled the message.
using INT_PTR = std::intptr_t;

// The class of dialog windows.
inline constexpr const char* WC_DIALOG = "#32770";

// Extra bytes of a dialog: the message result a dialog procedure leaves for
// the message it handled, then the dialog's own record.
inline constexpr int DWLP_MSGRESULT = 0;
inline constexpr int DLGWINDOWEXTRA = 2 * int(sizeof(LONG_PTR));

// Dialog styles (the low bits of a dialog window's style).
inline constexpr DWORD DS_SETFONT = 0x0040;
inline constexpr DWORD DS_MODALFRAME = 0x0080;
inline constexpr DWORD DS_CENTER = 0x0800;

// MessageBox buttons.
inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_RETRYCANCEL = 0x00000005;
inline constexpr UINT MB_TYPEMASK = 0x0000000F;
// Icons.
inline constexpr UINT MB_ICONHAND = 0x00000010;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONSTOP = MB_ICONHAND;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONASTERISK = 0x00000040;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_ICONMASK = 0x000000F0;
// The default button.
inline constexpr UINT MB_DEFBUTTON1 = 0x00000000;
inline constexpr UINT MB_DEFBUTTON2 = 0x00000100;
inline constexpr UINT MB_DEFBUTTON3 = 0x00000200;
inline constexpr UINT MB_DEFMASK = 0x00000F00;
// Modality and placement.
inline constexpr UINT MB_APPLMODAL = 0x00000000;
inline constexpr UINT MB_SYSTEMMODAL = 0x00001000;
inline constexpr UINT MB_TASKMODAL = 0x00002000;
inline constexpr UINT MB_SETFOREGROUND = 0x00010000;
inline constexpr UINT MB_TOPMOST = 0x00040000;

// Control ids of a message box's children, as the platform numbers them, so
// that a subclass can find each one.
inline constexpr int IDC_MSGBOX_ICON = 0x0014;
inline constexpr int IDC_MSGBOX_TEXT = 0xFFFF;

}  // namespace vm
