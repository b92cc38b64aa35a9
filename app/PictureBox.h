// TPictureBox: the main window's scroll box around the picture view.
//
// Besides what every scroll box does, it scrolls the way a picture viewer
// does: the wheel scrolls down and up, Shift+wheel left and right; with the
// focus in the box the arrow keys move by a line, Page Up and Page Down by a
// page, Home and End to the top and the bottom (with Ctrl: to the left and
// the right edge). A click on the picture puts the focus into the box.
#pragma once

#include "toolkit/ScrollBox.h"

namespace vm::app {

class TPictureBox : public TScrollBox {
 public:
  explicit TPictureBox(TComponent* owner);
  // Skinning treats it as the scroll box it is.
  std::string ClassName() const override { return "TScrollBox"; }

  // Scrolls by wheel notches (WHEEL_DELTA each; positive: up or left).
  void ScrollWheel(int delta, bool horizontal);
  void WndProc(TMessage& message) override;

 protected:
  bool DoKeyDown(int& key, TShiftState shift) override;

 private:
  int wheelRest_ = 0;
  bool wheelHorizontal_ = false;
};

}  // namespace vm::app
