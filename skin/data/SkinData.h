// TsSkinData: the skin-wide values of the loaded skin (section GLOBALINFO of
// its description) and whether the skin is currently announced to the windows.
#pragma once

#include <cstdint>
#include <string>

#include "platform/gfx/Types.h"

namespace vm {

class TsSkinData {
 public:
  // Folder of the current skin's files, ending in a backslash; for a packed
  // skin the skin directory; empty for a stored skin.
  std::string SkinPath;
  // True while a loaded skin has been announced to the windows; false during a
  // skin change and while skinning is off.
  bool Active = false;

  double Version = 0;
  std::string Author;
  std::string Description;
  TColor Shadow1Color = 0;
  std::int32_t Shadow1Offset = 0;
  std::int32_t Shadow1Blur = -1;
  std::int32_t Shadow1Transparency = 0;
  TColor BorderColor = 0;  // painters treat magenta as "no colour"
  std::int32_t BISpacing = 0;

  // Back to the values of an empty model (SkinPath and Active are kept).
  void ResetGlobals();
};

}  // namespace vm
