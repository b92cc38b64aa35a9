// TnxTransPanelWnd: a window that only holds other controls (a dialog nested
// in a platform dialog, a folder browser's pane) painted from a skin section
// ("CHECKBOX", which lets everything behind it show): its client shows what
// lies behind it, so the skinned dialog's face runs on under its controls.
// Its cache answers skin command 5, so its own skinned children see through
// to the dialog as well.
#pragma once

#include "skin/subclass/SkinPaintWnd.h"

namespace vm {

class TnxTransPanelWnd : public TnxSkinPaintWnd {
 public:
  using TnxSkinPaintWnd::TnxSkinPaintWnd;

 protected:
  void PaintContent(TBitmap& cache, const BackgroundInfo& background) override;
};

}  // namespace vm
