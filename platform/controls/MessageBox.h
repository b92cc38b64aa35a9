// The message box: a modal "#32770" dialog with an icon, a text and a row of
// buttons, sized to its text and centred on its owner.
#pragma once

#include <string_view>

#include "platform/controls/DialogDefs.h"
#include "platform/win/WinApi.h"

namespace vm {

// Shows the box and returns the id of the button chosen (IDOK, IDCANCEL,
// IDYES, IDNO, IDABORT, IDRETRY, IDIGNORE). Escape and the close button
// answer IDCANCEL where the box has a Cancel button, IDOK in a box with OK
// alone, and do nothing otherwise. An empty caption becomes "Ошибка".
int MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type);

// The system sound that goes with a message box type (MB_ICON* bits).
bool MessageBeep(UINT type);

// The stock icons of message boxes (MB_ICONHAND, MB_ICONQUESTION,
// MB_ICONEXCLAMATION, MB_ICONASTERISK), 32 × 32, drawn once and kept for the
// run; nullptr for other values.
HICON MessageBoxIcon(UINT iconType);

}  // namespace vm
