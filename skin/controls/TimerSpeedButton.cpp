#include "skin/controls/TimerSpeedButton.h"

#include "platform/gfx/SysColors.h"
#include "skin/paint/pixels/CanvasOps.h"
#include "toolkit/Colors.h"
#include "toolkit/Timer.h"
#include "toolkit/WinControl.h"

namespace vm {

TsTimerSpeedButton::TsTimerSpeedButton(TComponent* owner) : TsSpeedButton(owner) {
  SkinData()->SetSkinSection("SPEEDBUTTON_SMALL");
  SkinData()->ResolveSection();
  SetFlat(false);
  SetTransparent(true);
}

TsTimerSpeedButton::~TsTimerSpeedButton() {
  delete repeatTimer_;
  repeatTimer_ = nullptr;
}

void TsTimerSpeedButton::SetTimeBtnState(TnxTimeBtnStates value) {
  if (value == timeBtnState_) return;
  timeBtnState_ = value;
  SkinData()->CacheInvalid = true;
  Invalidate();
}

TColor TsTimerSpeedButton::PaintingParentColour() const {
  // The arrows sit on a field: what shows through them is the window colour.
  return ColorToRGB(clWindow);
}

void TsTimerSpeedButton::PaintOver(TBitmap& cache, int state) {
  if (!(timeBtnState_ & tbFocusRect)) return;
  const int shift = state == 2 ? 1 : 0;
  TDC dc(cache);
  PaintDottedFrame(
      dc, TRect{3 + shift, 3 + shift, cache.Width() - 4 + shift, cache.Height() - 4 + shift});
}

void TsTimerSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TControlRef self(this);
  if (OnPress) OnPress(this, button, shift, x, y);
  if (!self) return;
  TsSpeedButton::MouseDown(button, shift, x, y);
  if (!self || button != mbLeft || !Enabled()) return;
  held_ = true;
  if (timeBtnState_ & tbAllowTimer) {
    if (!repeatTimer_) {
      repeatTimer_ = new TTimer(nullptr);
      repeatTimer_->SetOnTimer([this](TComponent*) { TimerExpired(); });
    }
    repeatTimer_->SetEnabled(false);
    repeatTimer_->SetInterval(RepeatDelay);
    repeatTimer_->SetEnabled(true);
  }
}

void TsTimerSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    held_ = false;
    StopRepeat();
  }
  // Shown released, then the ordinary click when released over the button.
  TsSpeedButton::MouseUp(button, shift, x, y);
}

void TsTimerSpeedButton::StopRepeat() {
  if (repeatTimer_) repeatTimer_->SetEnabled(false);
}

void TsTimerSpeedButton::TimerExpired() {
  repeatTimer_->SetInterval(RepeatInterval);
  // Only while the press still holds the mouse (a lost capture ends it).
  TWinControl* parent = Parent();
  if (!held_ || !parent || !parent->HandleAllocated() || GetCapture() != parent->Handle()) {
    held_ = false;
    StopRepeat();
    return;
  }
  try {
    Click();
  } catch (...) {
    StopRepeat();
    throw;
  }
}

void TsTimerSpeedButton::WndProc(TMessage& m) {
  if (m.Msg == CM_ENABLEDCHANGED && !Enabled()) {
    held_ = false;
    StopRepeat();
  }
  TsSpeedButton::WndProc(m);
}

}  // namespace vm
