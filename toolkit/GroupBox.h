// TGroupBox: a framed container with a caption, over the platform's
// "Button" class in its group-box style. Children are laid out inside the
// frame, below the caption.
#pragma once

#include "toolkit/WinControl.h"

namespace vm {

class TGroupBox : public TWinControl {
 public:
  explicit TGroupBox(TComponent* owner);
  std::string ClassName() const override { return "TGroupBox"; }

 protected:
  void CreateParams(TCreateParams& params) override;
  TRect AdjustClientRect() override;
};

}  // namespace vm
