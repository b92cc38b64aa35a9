// The engine-wide accessor instances: one blender, two 24-bit readers and one
// 32-bit reader. Each is created on first use (a function-local static) and
// freed at program exit. Every operation attaches them afresh, so their state
// is only meaningful within one call; they make the painting operations
// non-reentrant, which is fine because all painting runs on the UI thread.
#pragma once

#include "skin/paint/pixels/TnxFast24.h"
#include "skin/paint/pixels/TnxFast32.h"
#include "skin/paint/pixels/TnxFastSum24.h"

namespace vm {

TnxFastSum24& SharedFastSum24();
TnxFast24& SharedFast24();        // the first 24-bit reader
TnxFast24& SharedFast24Second();  // the second 24-bit reader
TnxFast32& SharedFast32();

}  // namespace vm
