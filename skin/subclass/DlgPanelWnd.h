// TnxDlgPanelWnd: a panel (a form's plain panel, a panel inside a dialog)
// painted from a skin section ("PANEL"): the section's item over the whole
// window and the panel's caption centred in it in the section's font
// colours (the disabled colour when the panel is disabled). Its controls are
// its children and paint over it as before; its cache answers skin command
// 5, so skinned children see the panel behind them.
#pragma once

#include "skin/subclass/SkinPaintWnd.h"

namespace vm {

class TnxDlgPanelWnd : public TnxSkinPaintWnd {
 public:
  using TnxSkinPaintWnd::TnxSkinPaintWnd;

 protected:
  void PaintContent(TBitmap& cache, const BackgroundInfo& background) override;
};

}  // namespace vm
