// Registers the standard window classes. Each class file offers its own
// Register...Class function; this list calls them all. Registering a class
// that exists already is refused by the window system and changes nothing,
// so the list may run once per host or test.
#include "platform/controls/Controls.h"

#include "platform/controls/Dialog.h"

namespace vm {

void RegisterStandardControls() {
  RegisterButtonClass();
  RegisterStaticClass();
  RegisterScrollBarClass();
  RegisterListBoxClass();
  RegisterComboBoxClass();
  RegisterHeaderClass();
  RegisterListViewClass();
  RegisterToolTipsClass();
  RegisterToolbarClass();
  RegisterPopupMenuClass();
  RegisterDialogClass();
  RegisterEditClass();
  RegisterTrackbarClass();
  RegisterStatusBarClass();
  RegisterUpDownClass();
}

}  // namespace vm
