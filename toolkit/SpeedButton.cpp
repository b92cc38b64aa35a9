#include "toolkit/SpeedButton.h"

#include "platform/gfx/ClassicDraw.h"
#include "platform/gfx/SysColors.h"
#include "toolkit/WinControl.h"

namespace vm {

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
  width_ = 23;
  height_ = 22;
  // Clicks are decided here (a group button clicks on release even when it stays down).
  controlStyle_ = (controlStyle_ & ~csClickEvents) | csCaptureMouse | csDoubleClicks;
  glyph_.OnChange = [this] { Invalidate(); };
}

namespace {
int gMouseInControl = 0;
}  // namespace

TSpeedButton::~TSpeedButton() {
  if (mouseInControl_) --gMouseInControl;
}

int TSpeedButton::CountMouseInControl() {
  return gMouseInControl;
}

void TSpeedButton::SetMouseInControl(bool v) {
  if (v == mouseInControl_) return;
  mouseInControl_ = v;
  gMouseInControl += v ? 1 : -1;
}

void TSpeedButton::SetFlat(bool v) {
  if (v == flat_) return;
  flat_ = v;
  Invalidate();
}

void TSpeedButton::SetGroupIndex(int v) {
  if (v == groupIndex_) return;
  groupIndex_ = v;
  UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool v) {
  if (v == allowAllUp_) return;
  allowAllUp_ = v;
  UpdateExclusive();
}

void TSpeedButton::SetTransparent(bool v) {
  if (v == transparent_) return;
  transparent_ = v;
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout v) {
  if (v == layout_) return;
  layout_ = v;
  Invalidate();
}

void TSpeedButton::SetMargin(int v) {
  if (v == margin_ || v < -1) return;
  margin_ = v;
  Invalidate();
}

void TSpeedButton::SetSpacing(int v) {
  if (v == spacing_) return;
  spacing_ = v;
  Invalidate();
}

void TSpeedButton::SetState(TButtonState s) {
  if (s == state_) return;
  state_ = s;
  Invalidate();
}

void TSpeedButton::SetDown(bool v) {
  if (groupIndex_ == 0) v = false;
  if (v == down_) return;
  // The one down button of a group goes up only when another goes down,
  // unless the group allows all up.
  if (down_ && !allowAllUp_) return;
  down_ = v;
  SetState(v ? bsExclusive : bsUp);
  Invalidate();
  if (v) UpdateExclusive();
}

void TSpeedButton::UpdateExclusive() {
  if (groupIndex_ == 0 || !parent_) return;
  parent_->Perform(CM_BUTTONPRESSED, WPARAM(groupIndex_),
                   LPARAM(reinterpret_cast<std::intptr_t>(static_cast<TControl*>(this))));
}

void TSpeedButton::Click() {
  TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  const std::uint64_t me = Serial();
  TGraphicControl::MouseDown(button, shift, x, y);
  if (!ControlAlive(this, me)) return;
  if (button != mbLeft || !Enabled()) return;
  if (!down_) SetState(bsDown);
  dragging_ = true;
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  const std::uint64_t me = Serial();
  TGraphicControl::MouseMove(shift, x, y);
  if (!ControlAlive(this, me) || !dragging_) return;
  bool inside = ClientRect().Contains({x, y});
  if (down_)
    SetState(bsExclusive);
  else
    SetState(inside ? bsDown : bsUp);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const std::uint64_t me = Serial();
  TGraphicControl::MouseUp(button, shift, x, y);
  if (!ControlAlive(this, me) || !dragging_ || button != mbLeft) return;
  dragging_ = false;
  bool inside = ClientRect().Contains({x, y});
  if (groupIndex_ == 0) {
    SetState(bsUp);
    if (inside) Click();
    return;
  }
  if (inside) {
    SetDown(!down_);
    if (!ControlAlive(this, me)) return;
  }
  SetState(down_ ? bsExclusive : bsUp);
  if (inside) Click();
}

void TSpeedButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_BUTTONPRESSED: {
      auto* sender = reinterpret_cast<TControl*>(m.LParam);
      if (int(m.WParam) == groupIndex_ && sender != this) {
        if (auto* other = dynamic_cast<TSpeedButton*>(sender); other && other->down_ && down_) {
          down_ = false;
          SetState(bsUp);
        }
        if (auto* other = dynamic_cast<TSpeedButton*>(sender)) allowAllUp_ = other->allowAllUp_;
      }
      return;
    }
    case CM_MOUSEENTER:
      if (!IsMouseMessageForSelf(m)) break;
      SetMouseInControl(true);
      if (flat_ && Enabled()) Invalidate();
      break;
    case CM_MOUSELEAVE:
      if (!IsMouseMessageForSelf(m)) break;
      SetMouseInControl(false);
      if (flat_ && Enabled()) Invalidate();
      break;
    case CM_ENABLEDCHANGED:
      if (!Enabled()) dragging_ = false;
      break;
    default:
      break;
  }
  TGraphicControl::WndProc(m);
}

void TSpeedButton::Paint() {
  HDC dc = PaintDC();
  TRect r = ClientRect();
  TButtonState look = Enabled() ? state_ : bsDisabled;
  if (!Enabled() && down_ && groupIndex_ != 0) look = bsDisabled;
  bool pressed = state_ == bsDown || state_ == bsExclusive;
  if (flat_) {
    if (!transparent_ || down_) {
      dc->FillRect(r, down_ && !dragging_ ? GetSysColor(COLOR_3DLIGHT) : ColorToRGB(Color()));
    }
    if (Enabled() && (pressed || mouseInControl_)) {
      TRect e = r;
      DrawEdge(dc, &e, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
  } else {
    TRect e = r;
    DrawFrameControl(dc, &e, DFC_BUTTON,
                     DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0));
    if (state_ == bsExclusive && !dragging_) dc->FillRect(e, GetSysColor(COLOR_3DLIGHT));
  }
  TRect inner = Rect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
  TPoint offset = pressed ? TPoint{1, 1} : TPoint{0, 0};
  glyph_.Draw(dc, inner, offset, Caption(), layout_, margin_, spacing_, look, *Font());
}

}  // namespace vm
