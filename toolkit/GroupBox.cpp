#include "toolkit/GroupBox.h"

#include <algorithm>

#include "platform/controls/Controls.h"

namespace vm {

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner) {
  width_ = 185;
  height_ = 105;
  controlStyle_ |= csAcceptsControls;
}

void TGroupBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_BUTTON);
  p.Style |= BS_GROUPBOX;
}

void TGroupBox::WndProc(TMessage& m) {
  if (m.Msg == WM_ERASEBKGND && m.WParam) {
    reinterpret_cast<HDC>(m.WParam)->FillRect(ClientRect(), color_);
    m.Result = 1;
    return;
  }
  TWinControl::WndProc(m);
}

TRect TGroupBox::AdjustClientRect() {
  TRect r = ClientRect();
  // The caption line's height in the control's font sets the top of the room.
  int caption = std::max(-Font()->Height(), 8) + 4;
  return Rect(r.Left + 2, r.Top + caption, std::max(r.Left + 2, r.Right - 2),
              std::max(r.Top + caption, r.Bottom - 2));
}

}  // namespace vm
