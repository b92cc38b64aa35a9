// The standard window classes of the platform layer.
//
// RegisterStandardControls() registers every class below; calling it again
// changes nothing. Each class keeps its per-window object in the window's
// extra bytes, never in GWLP_USERDATA, which belongs to the application.
// The classes' names, styles, messages and notifications are in
// ControlDefs.h.
#pragma once

#include "platform/controls/ControlDefs.h"

namespace vm {

void RegisterStandardControls();

// One per window class file.
void RegisterButtonClass();
void RegisterStaticClass();
void RegisterScrollBarClass();
void RegisterListBoxClass();
void RegisterComboBoxClass();
void RegisterHeaderClass();
void RegisterListViewClass();
void RegisterToolTipsClass();
void RegisterToolbarClass();
void RegisterPopupMenuClass();  // "#32768", the window of an open pop-up menu (PopupMenu.cpp).
void RegisterEditClass();
void RegisterTrackbarClass();
void RegisterStatusBarClass();
void RegisterUpDownClass();

}  // namespace vm
