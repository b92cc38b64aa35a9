// Dialog windows: the "#32770" class, its procedure chain and the modal loop.
//
// A dialog here is built in code: CreateDialogWindow makes the empty window,
// the caller creates the child controls, RunModalDialog sends WM_INITDIALOG
// and runs the nested loop until EndDialog. Every child is an ordinary
// window of a standard class, so a subclass can find and take over each one.
// The dialog procedure follows the platform's contract: it answers TRUE for
// a message it handled, and the message's result is what it left in
// DWLP_MSGRESULT (messages that answer directly, such as WM_CTLCOLOR* and
// WM_INITDIALOG, return its answer as it is).
#pragma once

#include <functional>
#include <string_view>

#include "platform/controls/DialogDefs.h"
#include "platform/win/WinApi.h"

namespace vm {

using DLGPROC = std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)>;

void RegisterDialogClass();

// Makes a hidden dialog window owned by owner (may be nullptr) with the given
// client size, placed at the centre of its owner (of the work area when it has
// none) and kept on the screen. style adds to WS_POPUP | WS_CAPTION |
// WS_SYSMENU | DS_MODALFRAME.
HWND CreateDialogWindow(HWND owner, std::string_view caption, int clientWidth, int clientHeight,
                        DLGPROC proc, DWORD style = 0);

// Resizes the dialog so its client area is the given size and centres it again.
void SetDialogClientSize(HWND dlg, int clientWidth, int clientHeight);

// Sends WM_INITDIALOG (lParam initParam), shows the dialog with its owner
// disabled and runs a nested message loop (dialog keys through
// IsDialogMessage, timers keep firing, the owner hears WM_ENTERIDLE) until
// EndDialog; then enables the owner, destroys the dialog, activates the owner
// again and returns EndDialog's result. A WM_QUIT arriving meanwhile ends the
// dialog with IDCANCEL and is posted again for the outer loop. Returns -1
// when dlg is not a dialog.
INT_PTR RunModalDialog(HWND dlg, LPARAM initParam = 0);

// Ends a modal dialog with a result; the loop returns it at its next turn.
bool EndDialog(HWND dlg, INT_PTR result);

// Whether the window is a dialog running its modal loop.
bool IsModalDialogRunning(HWND dlg);

// Places a window at the centre of another (of the work area when nullptr),
// kept inside the work area.
void CenterWindowOn(HWND window, HWND on);

}  // namespace vm
