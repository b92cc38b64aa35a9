// TnxToolBarWnd: a platform tool bar painted from a skin section ("TOOLBAR"
// for a form's tool bar; a dialog's wrapping tool bar gets "BAR", another one
// "CHECKBOX", which shows the dialog behind it): the section's item over the
// bar, each button's hot, pressed or checked face from the skin's
// "TOOLBUTTON" section, its image from the bar's image list (greyed when the
// button is disabled, a pixel lower and righter while it is down), its text
// in the section's font colours, and separators as etched lines in the
// skin's border colour.
//
// The bar keeps its layout, clicks, check groups, hints and notifications;
// the buttons and their states are read from it (TB_BUTTONCOUNT,
// TB_GETBUTTON, TB_GETITEMRECT, TB_GETBUTTONTEXT). The button the mouse is
// over and the one it holds down are followed from the mouse messages the
// bar gets, after the bar has handled them.
#pragma once

#include "skin/subclass/SkinPaintWnd.h"

namespace vm {

class TnxToolBarWnd : public TnxSkinPaintWnd {
 public:
  using TnxSkinPaintWnd::TnxSkinPaintWnd;

  // Indexes of the button under the pointer and of the one held down (-1 none).
  int HotButton() const { return hot_; }
  int PressedButton() const { return pressedOver_ ? pressed_ : -1; }
  // The state a button's face is painted in: 2 down or checked, 1 hot, 0 normal.
  int ButtonState(int index) const;

 protected:
  void PaintContent(TBitmap& cache, const BackgroundInfo& background) override;
  bool ChangesLook(UINT message) const override;
  bool HandleMessage(TMessage& message) override;

 private:
  int ButtonAt(TPoint client) const;
  void SetButtons(int hot, int pressed, bool over);
  void PaintButton(TBitmap& cache, TDC& dc, int index, const BackgroundInfo& background);

  int hot_ = -1;
  int pressed_ = -1;
  bool pressedOver_ = false;
};

}  // namespace vm
