// TnxSizeGripWnd: a platform size box ("ScrollBar" with SBS_SIZEBOX or
// SBS_SIZEGRIP) painted from a skin section ("CHECKBOX"): the skin's grip
// image (GLOBALINFO's GRIPIMAGE, else the form section's) in the box's
// bottom-right corner over what lies behind it. Dragging it still sizes the
// window it belongs to. A scroll bar proper keeps the platform's bar.
#pragma once

#include "skin/subclass/SkinPaintWnd.h"

namespace vm {

class TnxSizeGripWnd : public TnxSkinPaintWnd {
 public:
  using TnxSkinPaintWnd::TnxSkinPaintWnd;

  bool Skinned() const override;

 protected:
  void PaintContent(TBitmap& cache, const BackgroundInfo& background) override;
};

}  // namespace vm
