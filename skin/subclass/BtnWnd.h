// TnxBtnWnd: a platform push button painted from a skin section ("BUTTON"
// for the buttons the control adapter finds). It follows the button's own
// state (pushed, focused, enabled, default) and the mouse through the skin
// manager's hot window, and paints normal, hot and pressed looks, the focus
// frame around the caption and the disabled look over the parent's picture.
#pragma once

#include "skin/paint/pixels/BackgroundInfo.h"
#include "skin/subclass/MainWnd.h"

namespace vm {

class TnxBtnWnd : public TnxMainWnd {
 public:
  using TnxMainWnd::TnxMainWnd;

  void WndProc(TMessage& message) override;
  // The state the skin paints: 0 normal, 1 hot, 2 pressed.
  int StateIndex() const;

 protected:
  void PrepareCache() override;
  // The caption (and, in kinds that have one, the glyph) over the face in
  // the cache, with the focus frame.
  virtual void DrawCaption(TBitmap& cache, int state);
  // The platform reports the button pushed.
  bool Pushed() const;

 private:
  // Rebuilds the cache and copies it to dc (the window's own context when null).
  void Paint(HDC dc);
  // Redraw off, the base handler, redraw on, then a fresh paint.
  void QuietlyThenPaint(TMessage& message, bool throughBase);
  void RefillBorderCorners(int state, BackgroundInfo background);
};

}  // namespace vm
