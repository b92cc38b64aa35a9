#include "toolkit/UpDown.h"

#include <algorithm>

#include "platform/controls/Controls.h"

namespace vm {

TUpDown::TUpDown(TComponent* owner) : TWinControl(owner) {
  width_ = 16;
  height_ = 24;
  controlStyle_ &= ~csClickEvents;
}

TUpDown::~TUpDown() {
  if (associate_) RemoveFreeNotification(associate_);
}

void TUpDown::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, UPDOWN_CLASS);
  p.Style |= UDS_SETBUDDYINT;
  p.Style |= alignButton_ == udRight ? UDS_ALIGNRIGHT : UDS_ALIGNLEFT;
  if (arrowKeys_) p.Style |= UDS_ARROWKEYS;
  if (wrap_) p.Style |= UDS_WRAP;
  if (!thousands_) p.Style |= UDS_NOTHOUSANDS;
  if (orientation_ == udHorizontal) p.Style |= UDS_HORZ;
}

void TUpDown::CreateHandle() {
  TWinControl::CreateHandle();
  if (!HandleAllocated()) return;
  HWND h = Handle();
  SendMessage(h, UDM_SETRANGE32, WPARAM(std::intptr_t(min_)), max_);
  SetIncrement(increment_);
  SendMessage(h, UDM_SETPOS32, 0, position_);
  if (associate_)
    SendMessage(h, UDM_SETBUDDY, WPARAM(reinterpret_cast<std::uintptr_t>(associate_->Handle())), 0);
}

void TUpDown::SendRange() {
  if (!HandleAllocated()) return;
  SendMessage(Handle(), UDM_SETRANGE32, WPARAM(std::intptr_t(min_)), max_);
  position_ = int(SendMessage(Handle(), UDM_GETPOS32, 0, 0));
}

void TUpDown::SetAssociate(TWinControl* v) {
  if (v == this) v = nullptr;
  if (v == associate_) return;
  if (associate_) RemoveFreeNotification(associate_);
  associate_ = v;
  if (v) FreeNotification(v);
  if (HandleAllocated()) {
    HWND buddy = v ? v->Handle() : nullptr;
    SendMessage(Handle(), UDM_SETBUDDY, WPARAM(reinterpret_cast<std::uintptr_t>(buddy)), 0);
  }
}

void TUpDown::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == associate_) {
    associate_ = nullptr;
    if (HandleAllocated()) SendMessage(Handle(), UDM_SETBUDDY, 0, 0);
  }
}

void TUpDown::SetMin(int v) {
  if (v == min_) return;
  min_ = v;
  SendRange();
}

void TUpDown::SetMax(int v) {
  if (v == max_) return;
  max_ = v;
  SendRange();
}

int TUpDown::Position() const {
  if (HandleAllocated())
    position_ = int(SendMessage(const_cast<TUpDown*>(this)->Handle(), UDM_GETPOS32, 0, 0));
  return position_;
}

void TUpDown::SetPosition(int v) {
  v = std::clamp(v, std::min(min_, max_), std::max(min_, max_));
  // A change made in code is asked for like a step of the arrows (not while
  // the stored properties are read): OnChanging may refuse it.
  if (v != Position() && !IsLoading() && !IsDesigning() && !CanChange()) return;
  position_ = v;
  if (HandleAllocated()) SendMessage(Handle(), UDM_SETPOS32, 0, position_);
}

void TUpDown::SetIncrement(int v) {
  increment_ = std::max(v, 1);
  if (!HandleAllocated()) return;
  UDACCEL accel;
  accel.nSec = 0;
  accel.nInc = UINT(increment_);
  SendMessage(Handle(), UDM_SETACCEL, 1, LPARAM(reinterpret_cast<std::uintptr_t>(&accel)));
}

void TUpDown::SetWrap(bool v) {
  if (v == wrap_) return;
  Position();  // keep what the window has before it goes
  wrap_ = v;
  RecreateWnd();
}

void TUpDown::SetArrowKeys(bool v) {
  if (v == arrowKeys_) return;
  Position();
  arrowKeys_ = v;
  RecreateWnd();
}

void TUpDown::SetThousands(bool v) {
  if (v == thousands_) return;
  Position();
  thousands_ = v;
  RecreateWnd();
}

void TUpDown::SetAlignButton(TUDAlignButton v) {
  if (v == alignButton_) return;
  Position();
  alignButton_ = v;
  RecreateWnd();
}

void TUpDown::SetOrientation(TUDOrientation v) {
  if (v == orientation_) return;
  Position();
  orientation_ = v;
  if (!IsLoading()) SetBounds(left_, top_, height_, width_);
  RecreateWnd();
}

bool TUpDown::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TUpDown::Click(TUDBtnType button) {
  if (OnClick) OnClick(this, button);
}

void TUpDown::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY: {
      const auto* nm = reinterpret_cast<const NMUPDOWN*>(m.LParam);
      if (nm && nm->hdr.code == UDN_DELTAPOS) {
        lastDelta_ = nm->iDelta;
        m.Result = CanChange() ? 0 : 1;
        return;
      }
      break;
    }
    case CN_HSCROLL:
    case CN_VSCROLL:
      if (LOWORD(m.WParam) == SB_THUMBPOSITION) {
        Position();
        Click(lastDelta_ > 0 ? btNext : btPrev);
      }
      m.Result = 0;
      return;
  }
  TWinControl::WndProc(m);
}

}  // namespace vm
