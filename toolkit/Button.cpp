#include "toolkit/Button.h"

#include "platform/controls/Controls.h"

namespace vm {

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  tabStop_ = true;
  width_ = 75;
  height_ = 25;
  // The platform button reports clicks itself (BN_CLICKED).
  controlStyle_ &= ~csClickEvents;
}

void TButton::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_BUTTON);
  p.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool v) {
  if (v == default_) return;
  default_ = v;
  UpdateDefaultStyle();
}

bool TButton::AnswersEnter() {
  if (Focused()) return true;
  if (!default_) return false;
  HWND focus = GetFocus();
  TWinControl* f = TWinControl::FindControl(focus);
  if (dynamic_cast<TButton*>(f)) return false;
  // A platform button window (not the toolkit's) with the focus answers Enter itself.
  if (focus && !f && (SendMessage(focus, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)) return false;
  return true;
}

void TButton::UpdateDefaultStyle() {
  if (!HandleAllocated()) return;
  // An owner-drawn face shows the role itself.
  if ((GetWindowLongPtr(Handle(), GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW) {
    Invalidate();
    return;
  }
  bool look = default_ || Focused();
  SendMessage(Handle(), BM_SETSTYLE, look ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, 1);
}

void TButton::Click() {
  const std::uint64_t me = Serial();
  if (modalResult_ != mrNone) {
    if (TCustomForm* f = GetParentForm()) f->SetModalResult(modalResult_);
  }
  if (ControlAlive(this, me)) TWinControl::Click();
}

void TButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      if (HIWORD(m.WParam) == BN_CLICKED) Click();
      return;
    case CM_DIALOGKEY: {
      int key = int(m.WParam);
      TShiftState shift = TShiftState(m.LParam);
      bool mine = (key == VK_RETURN && AnswersEnter()) || (key == VK_ESCAPE && cancel_);
      if (mine && !(shift & (ssCtrl | ssAlt)) && CanFocus()) {
        Click();
        m.Result = 1;
        return;
      }
      m.Result = 0;
      return;
    }
    default:
      break;
  }
  TWinControl::WndProc(m);
}

}  // namespace vm
