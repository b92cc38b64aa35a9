// TnxGroupBoxWnd: a platform group box painted from a skin section
// ("GROUPBOX"): the section's frame from half the caption's height down,
// the caption at the platform's place (8 pixels in, or centred or right by
// the alignment bits) in the section's font colours on what lies behind the
// box, the frame line left out behind it.
//
// The controls of a dialog's group lie over the box as its siblings, not as
// its children, so for a plain window only the frame's strips and the
// caption band are copied to the screen, as the platform paints only its
// frame; a toolkit group box holds its controls as children and is painted
// whole. The caption's height is answered to skin command 27, which the
// cache copies of a skinned parent use to leave the box's inside alone.
#pragma once

#include "skin/subclass/SkinPaintWnd.h"

namespace vm {

class TnxGroupBoxWnd : public TnxSkinPaintWnd {
 public:
  using TnxSkinPaintWnd::TnxSkinPaintWnd;
  ~TnxGroupBoxWnd() override;

  // The height of the caption's font, where the frame starts at its half.
  int CaptionHeight() const;

 protected:
  void PaintContent(TBitmap& cache, const BackgroundInfo& background) override;
  TRect ItemRect() const override;
  void CopyCache(TDC& dc, const TBitmap& cache) override;
  bool HandleMessage(TMessage& message) override;
  // The platform paints only the frame of a box, so giving it back its own
  // look repaints what lies under it as well.
  void CleanUp() override;
};

}  // namespace vm
