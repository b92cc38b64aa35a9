#include "skin/data/SkinData.h"

namespace vm {

void TsSkinData::ResetGlobals() {
  Version = 0;
  Author.clear();
  Description.clear();
  Shadow1Color = 0;
  Shadow1Offset = 0;
  Shadow1Blur = -1;
  Shadow1Transparency = 0;
  BorderColor = 0;
  BISpacing = 0;
}

}  // namespace vm
