// The list box's procedure, shared with the combo box, whose drop-down
// ("ComboLBox") is a list box that reports to the combo box instead of its
// parent and is drawn, when owner-drawn, by the combo box's parent. Internal
// to platform/controls.
#pragma once

#include "platform/controls/ControlDefs.h"
#include "platform/win/WinApi.h"

namespace vm::ctl {

LRESULT ListBoxProc(HWND h, UINT msg, WPARAM w, LPARAM l);

// Makes a list the drop-down of a combo box: notifications and owner-draw
// requests go out in the combo box's name. In this mode the list follows
// the pointer without a button held, and a click or Enter ends the choice:
// the list sends the combo box CBN_SELENDOK-style word through WM_COMMAND
// with code ComboListChosen (Escape: ComboListCancelled).
void AttachListToCombo(HWND list, HWND combo);
inline constexpr UINT ComboListChosen = 0x7F01;
inline constexpr UINT ComboListCancelled = 0x7F02;

}  // namespace vm::ctl
