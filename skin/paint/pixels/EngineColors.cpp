#include "skin/paint/pixels/EngineColors.h"

#include "skin/paint/pixels/Colors.h"

namespace vm {

TColor KeyFillColor = KeyColor;
TColor ParentColor = KeyColor;

}  // namespace vm
