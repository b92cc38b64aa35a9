// TRadioButton: a radio button over the platform's "Button" class. Checking
// one unchecks the other radio buttons of the same parent; OnClick follows
// when it becomes checked.
#pragma once

#include "toolkit/WinControl.h"

namespace vm {

class TRadioButton : public TWinControl {
 public:
  explicit TRadioButton(TComponent* owner);
  std::string ClassName() const override { return "TRadioButton"; }

  bool Checked() const { return checked_; }
  void SetChecked(bool v);

  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;

 private:
  bool checked_ = false;
};

}  // namespace vm
