#include "toolkit/CheckBox.h"

#include "platform/controls/Controls.h"

namespace vm {

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  width_ = 97;
  height_ = 17;
  tabStop_ = true;
  controlStyle_ &= ~csClickEvents;
}

void TCheckBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_BUTTON);
  // The toolkit keeps the state; the window only shows it.
  p.Style |= BS_3STATE;
}

void TCheckBox::CreateHandle() {
  TWinControl::CreateHandle();
  if (HandleAllocated()) SendMessage(Handle(), BM_SETCHECK, WPARAM(state_), 0);
}

void TCheckBox::SetState(TCheckBoxState s) {
  if (s == state_) return;
  state_ = s;
  if (HandleAllocated()) SendMessage(Handle(), BM_SETCHECK, WPARAM(s), 0);
  Click();
}

void TCheckBox::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    if (HIWORD(m.WParam) == BN_CLICKED) {
      switch (state_) {
        case cbUnchecked:
          SetState(cbChecked);
          break;
        case cbChecked:
          SetState(allowGrayed_ ? cbGrayed : cbUnchecked);
          break;
        case cbGrayed:
          SetState(cbUnchecked);
          break;
      }
    }
    return;
  }
  TWinControl::WndProc(m);
}

}  // namespace vm
