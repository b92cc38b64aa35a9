// What a form's caption buttons and system menu may offer right now, decided
// from the form's border style and icons, its window state and whether it has
// a system menu. The caption buttons and the skinned system menu use the same
// answers, so a button and its menu item are never out of step.
#pragma once

#include "toolkit/Form.h"

namespace vm {

enum TsFormWindowState { fwsNormal, fwsMinimized, fwsMaximized };

// The state of the form's window; a form without a window yet is normal.
TsFormWindowState FormWindowState(const TCustomForm& form);

struct TsFormAvailability {
  bool MaximizeEnabled = false;
  bool MinimizeEnabled = false;
  bool MoveEnabled = false;
  bool RestoreEnabled = false;
  bool SizeEnabled = false;
  bool MaximizeShown = false;
  bool MinimizeShown = false;
  bool RestoreItemShown = false;
  bool SizeItemShown = false;
  bool HelpShown = false;
  bool CloseShown = false;
};

// systemMenuPresent: the form had the system-menu style, which the skinned
// frame took away to draw the buttons itself. A multi-document child is
// recognised by the form's FormStyle.
TsFormAvailability FormAvailability(const TCustomForm& form, bool systemMenuPresent);

// The same from the raw facts (the form's window state passed explicitly).
TsFormAvailability FormAvailability(TFormBorderStyle style, TBorderIcons icons,
                                    TsFormWindowState state, bool mdiChild, bool systemMenuPresent);

}  // namespace vm
