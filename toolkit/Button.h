// TButton: a push button over the platform's "Button" window class.
//
// Default makes it the form's default button: Enter anywhere on the form
// clicks it unless the focus is on another button (which then answers Enter
// itself). Cancel makes Escape click it. A ModalResult other than mrNone is
// given to the form when the button is clicked, which ends a modal form.
#pragma once

#include "toolkit/Form.h"
#include "toolkit/WinControl.h"

namespace vm {

class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* owner);
  std::string ClassName() const override { return "TButton"; }

  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v) { cancel_ = v; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult v) { modalResult_ = v; }

  void Click() override;
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  // Whether this button answers Enter now: it has the focus, or it is the
  // default button and the focus is on no other button.
  bool AnswersEnter();
  void UpdateDefaultStyle();

  bool default_ = false;
  bool cancel_ = false;
  TModalResult modalResult_ = mrNone;
};

}  // namespace vm
