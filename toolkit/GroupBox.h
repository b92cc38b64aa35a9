// TGroupBox: a framed container with a caption, over the platform's
// "Button" class in its group-box style. Children are laid out inside the
// frame, below the caption. The platform's group box paints only its frame
// and caption, leaving its inside to what lies behind; as a container on a
// form whose window clips its children, it fills its inside with Color.
#pragma once

#include "toolkit/WinControl.h"

namespace vm {

class TGroupBox : public TWinControl {
 public:
  explicit TGroupBox(TComponent* owner);
  std::string ClassName() const override { return "TGroupBox"; }
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  TRect AdjustClientRect() override;
};

}  // namespace vm
