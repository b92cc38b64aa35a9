// TnxStatusBarWnd: a platform status bar painted from a skin section
// ("STATUSBAR"): the section's item over the whole bar, each part's text
// (left, and after tabs centred and right-aligned, as the bar lays them out)
// in the section's font colours, a divider in the skin's border colour
// after every part that has borders, owner-drawn parts drawn by the owner
// into the skinned picture, the simple text over the whole bar in simple
// mode, and the skin's grip image in the corner of a bar with a size grip.
//
// Parts, texts and modes are read from the bar (SB_GETPARTS, SB_GETRECT,
// SB_GETTEXT, SB_ISSIMPLE); every message that changes them repaints it.
#pragma once

#include "skin/subclass/SkinPaintWnd.h"

namespace vm {

class TnxStatusBarWnd : public TnxSkinPaintWnd {
 public:
  using TnxSkinPaintWnd::TnxSkinPaintWnd;

 protected:
  void PaintContent(TBitmap& cache, const BackgroundInfo& background) override;
  bool ChangesLook(UINT message) const override;

 private:
  // The grip's image (GLOBALINFO's, else the form section's), or -1.
  int GripMask() const;
  void PaintPart(TBitmap& cache, TDC& dc, int part, TRect r, bool divider);
};

}  // namespace vm
