// The hot window of a skin manager: the one subclassed window the mouse is
// over. Changing it tells the old window that the mouse left (command 30) and
// the new one that it entered (command 29), so moving from one skinned button
// straight onto another gives exactly one leave and one enter.
//
// The manager itself lives in skin/data, which knows no windows; the record
// is kept here, one per manager, and forgotten when the manager is freed.
#pragma once

#include "platform/win/WinApi.h"

namespace vm {

class TsSkinManager;

// The manager's hot window, or nullptr (also for a null manager).
HWND HotWindow(const TsSkinManager* manager);
// Nothing when window is already the hot one; otherwise stores it, sends
// command 30 to the previous window (if any) and command 29 to the new one.
void SetHotWindow(TsSkinManager* manager, HWND window);

}  // namespace vm
