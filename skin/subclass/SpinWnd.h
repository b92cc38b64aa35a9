// TnxSpinWnd: a platform up-down control painted from a skin section
// ("SPEEDBUTTON_SMALL"): each of its two arrow buttons is the section's item
// in its own state (hot under the pointer, pressed while the mouse or an
// arrow key holds it) with a small arrow in the section's font colour,
// shifted a pixel while pressed and greyed while the control is disabled.
//
// The control keeps its stepping, repeat timer, buddy and notifications.
// Which arrow is held is not something the control tells: it is followed
// from the messages the control gets (the press, moves while it holds the
// mouse, the release, a lost capture, the arrow keys) after the control
// has handled each of them.
#pragma once

#include "skin/subclass/SkinPaintWnd.h"

namespace vm {

class TnxSpinWnd : public TnxSkinPaintWnd {
 public:
  using TnxSkinPaintWnd::TnxSkinPaintWnd;

  // 0 none, 1 the up (right) arrow, 2 the down (left) arrow.
  int HotArrow() const { return hot_; }
  int PressedArrow() const { return pressedOver_ ? pressed_ : 0; }
  // The state an arrow's item is painted in.
  int ArrowState(int arrow) const;

 protected:
  void PaintContent(TBitmap& cache, const BackgroundInfo& background) override;
  TRect ItemRect() const override { return TRect{}; }
  bool HandleMessage(TMessage& message) override;

 private:
  bool Horizontal() const;
  TRect ArrowRect(int arrow) const;
  int ArrowAt(TPoint client) const;
  void SetArrows(int hot, int pressed, bool over);

  int hot_ = 0;
  int pressed_ = 0;
  bool pressedOver_ = false;
  bool byKey_ = false;
};

}  // namespace vm
