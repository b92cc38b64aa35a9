// TnxBitBtnWnd: a bitmap button (a toolkit TBitBtn, or a platform push
// button showing a bitmap or an icon) painted from a skin section
// ("BUTTON") as the push-button subclass paints it: the face in its normal,
// hot and pressed looks, the disabled look over the parent's picture and
// the focus frame, with the button's glyph beside its caption, placed by
// the button's Layout, Margin and Spacing (the glyph left of the caption,
// both centred, for a platform button), the glyph strip's disabled, down
// and hot pictures used where the strip has them.
#pragma once

#include "skin/subclass/BtnWnd.h"

namespace vm {

class TnxBitBtnWnd : public TnxBtnWnd {
 public:
  using TnxBtnWnd::TnxBtnWnd;

 protected:
  void DrawCaption(TBitmap& cache, int state) override;
};

}  // namespace vm
