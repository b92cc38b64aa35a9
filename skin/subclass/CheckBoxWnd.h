// TnxCheckBoxWnd: a platform check box, three-state box or radio button
// painted from a skin section ("CHECKBOX"): its square or round glyph from
// the skin's GLOBALINFO images (BOXCHECKED, BOXUNCHECKED, BOXGRAYED for the
// third state, RADIOCHECKED, RADIOUNCHECKED; RADIOGRAYED when the skin has
// one, else the unchecked radio greyed), in its normal, hot (mouse over) and
// pressed frame, beside the caption in the section's font colours, placed as
// the platform places them (left text, vertical alignment, multi-line), with
// the dotted focus frame around the caption while the button has the focus.
// A disabled button shows its glyph greyed and its caption in the disabled
// colour; a push-like one is painted as a skinned push button ("BUTTON"),
// pressed while checked.
//
// The check, the pushed state and the focus are read from the button
// (BM_GETCHECK, BM_GETSTATE) whenever it paints, and every message that
// changes them (BM_SETCHECK, BM_SETSTATE, BM_CLICK, the mouse, Space, focus)
// repaints it, so a program's change shows exactly as the user's.
#pragma once

#include "skin/subclass/SkinPaintWnd.h"

namespace vm {

class TnxCheckBoxWnd : public TnxSkinPaintWnd {
 public:
  using TnxSkinPaintWnd::TnxSkinPaintWnd;

  // The glyph's frame: 2 pressed, 1 hot, 0 normal (and disabled).
  int StateIndex() const;
  // The GLOBALINFO image name for the button's type and check.
  std::string GlyphName() const;

 protected:
  void PaintContent(TBitmap& cache, const BackgroundInfo& background) override;
  TRect ItemRect() const override;
  bool ChangesLook(UINT message) const override;

 private:
  bool PushLike() const;
  bool Radio() const;
  void PaintGlyph(TBitmap& cache, TPoint at, bool enabled);
  void PaintPushLike(TBitmap& cache, const BackgroundInfo& background);
  TRect DrawLabel(TDC& canvas, TRect area, std::uint32_t flags, bool enabled, bool hot);
};

}  // namespace vm
