// Registers the standard window classes. Each class file offers its own
// Register...Class function; this list calls them all once.
#include "platform/controls/Controls.h"

namespace vm {

void RegisterStandardControls() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  // One line per window class file, e.g. RegisterButtonClass();
}

}  // namespace vm
