// The two engine-wide painting colours shared by section painting and the
// disabled look. Both hold KeyColor (magenta) when unset. They are set and
// reset by the painting of one control on the user-interface thread.
#pragma once

#include "platform/gfx/Types.h"

namespace vm {

// Written into magenta pixels of masked border corners and into texture
// leftovers when no ready background exists.
extern TColor KeyFillColor;
// The plain colour of what lies behind the item being painted, when known;
// used instead of copying the background bitmap and by ShadeDisabled.
extern TColor ParentColor;

}  // namespace vm
