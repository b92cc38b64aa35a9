#include "toolkit/RadioButton.h"

#include "platform/controls/Controls.h"

namespace vm {

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner) {
  width_ = 113;
  height_ = 17;
  controlStyle_ &= ~csClickEvents;
}

void TRadioButton::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_BUTTON);
  p.Style |= BS_RADIOBUTTON;
}

void TRadioButton::CreateHandle() {
  TWinControl::CreateHandle();
  if (HandleAllocated()) SendMessage(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : 0, 0);
}

void TRadioButton::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  tabStop_ = v;
  if (HandleAllocated()) SendMessage(Handle(), BM_SETCHECK, v ? BST_CHECKED : 0, 0);
  if (!v) return;
  if (parent_) {
    for (int i = 0; i < parent_->ControlCount(); ++i)
      if (auto* r = dynamic_cast<TRadioButton*>(parent_->Controls(i)); r && r != this)
        r->SetChecked(false);
  }
  Click();
}

void TRadioButton::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    if (HIWORD(m.WParam) == BN_CLICKED) SetChecked(true);
    return;
  }
  if (m.Msg == WM_SETFOCUS) {
    // Arriving by the arrow keys checks it, as a radio group does.
    TWinControl::WndProc(m);
    if (GetKeyState(VK_LBUTTON) >= 0 && !checked_ &&
        (GetKeyState(VK_UP) < 0 || GetKeyState(VK_DOWN) < 0 || GetKeyState(VK_LEFT) < 0 ||
         GetKeyState(VK_RIGHT) < 0))
      SetChecked(true);
    return;
  }
  TWinControl::WndProc(m);
}

}  // namespace vm
