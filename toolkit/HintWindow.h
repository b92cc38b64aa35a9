// THintWindow: the small window that shows a control's hint near the pointer.
// A pop-up without a frame of the desktop's (a tooltip to the host), with a
// one-pixel frame and the text in the info colours.
#pragma once

#include <string>

#include "toolkit/CustomControl.h"

namespace vm {

class THintWindow : public TCustomControl {
 public:
  explicit THintWindow(TComponent* owner);
  std::string ClassName() const override { return "THintWindow"; }

  // Shows text in the rectangle (screen coordinates) without taking the focus.
  virtual void ActivateHint(TRect rect, const std::string& text);
  void ReleaseHandle();
  // The rectangle (from 0, 0) text needs, lines broken at maxWidth.
  virtual TRect CalcHintRect(int maxWidth, const std::string& text);
  bool Active() const;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
};

}  // namespace vm
