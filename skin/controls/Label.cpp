#include "skin/controls/Label.h"

namespace vm {

void TsLabel::SetUseSkinColor(bool value) {
  if (value == useSkinColor_) return;
  useSkinColor_ = value;
  Invalidate();
}

bool TsLabel::SkinRemoved() {
  if (!useSkinColor_) return false;
  SetFontColorQuietly(clWindowText);
  return true;
}

}  // namespace vm
