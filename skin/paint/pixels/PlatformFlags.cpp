#include "skin/paint/pixels/PlatformFlags.h"

namespace vm {

bool IsNTFamily = false;

}  // namespace vm
