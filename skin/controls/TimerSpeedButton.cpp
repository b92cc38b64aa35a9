#include "skin/controls/TimerSpeedButton.h"

#include "platform/gfx/SysColors.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/MaskPaint.h"
#include "skin/paint/pixels/CanvasOps.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/state/CommonData.h"
#include "skin/state/ControlPaint.h"
#include "skin/state/FadeTimer.h"
#include "skin/state/SkinCommand.h"
#include "toolkit/Colors.h"
#include "toolkit/Timer.h"
#include "toolkit/WinControl.h"

namespace vm {

namespace {

constexpr int SpeedButtonType = 92;

}  // namespace

TsTimerSpeedButton::TsTimerSpeedButton(TComponent* owner) : TSpeedButton(owner) {
  skinData_ = std::make_unique<TsCommonData>(this, true);
  skinData_->ControlType = SpeedButtonType;
  skinData_->SetSkinSection("SPEEDBUTTON_SMALL");
  skinData_->ResolveSection();
  SetFlat(false);
  SetTransparent(true);
}

TsTimerSpeedButton::~TsTimerSpeedButton() {
  StopFade(fadeTimer_);
  delete repeatTimer_;
  repeatTimer_ = nullptr;
}

void TsTimerSpeedButton::SetTimeBtnState(TnxTimeBtnStates value) {
  if (value == timeBtnState_) return;
  timeBtnState_ = value;
  skinData_->CacheInvalid = true;
  Invalidate();
}

bool TsTimerSpeedButton::Skinned() const {
  return skinData_->IsSkinned() && !skinData_->IsPaintSuspended();
}

int TsTimerSpeedButton::StateIndex() const {
  if (!Enabled()) return 0;
  if (State() == bsDown || State() == bsExclusive) return 2;
  return skinData_->MouseAbove ? 1 : 0;
}

void TsTimerSpeedButton::Fade(TnxAnimatEvent event, int direction) {
  RepaintWithFade(fadeTimer_, *skinData_, event == aeMouseDown || event == aeMouseUp, direction,
                  AnimatesOn(animatEvents_, event));
}

void TsTimerSpeedButton::PrepareCache() {
  TsCommonData& data = *skinData_;
  data.PrepareCache();
  TBitmap& cache = *data.CacheBmp;
  if (cache.Empty() || !data.IsSkinned()) return;
  const int state = StateIndex();
  // The arrows sit on a field: what shows through their corners is the
  // window colour, not the form's face.
  KeyFillColor = ColorToRGB(clWindow);
  vm::ParentColor = ColorToRGB(clWindow);
  const BackgroundInfo background = data.GetParentBackground();
  const TRect all{0, 0, cache.Width(), cache.Height()};
  PaintControlItem(data, background, true, true, &cache, {Left(), Top()}, all, state);
  KeyFillColor = KeyColor;
  vm::ParentColor = KeyColor;
  // The glyph, centred, one pixel down and right while pressed.
  if (tk::TBitmap* glyph = Glyph(); glyph && !glyph->Empty()) {
    const vm::TBitmap& g = glyph->Image();
    const int gw = g.Width() / std::max(NumGlyphs(), 1), gh = g.Height();
    const int shift = state == 2 ? 1 : 0;
    const int x = (cache.Width() - gw) / 2 + shift, y = (cache.Height() - gh) / 2 + shift;
    PaintGlyph(g, cache, TRect{x, y, x + gw, y + gh}, state == 2, 0, state, dkBlended | dkGrayed,
               false, Enabled(), std::max(NumGlyphs(), 1));
  }
  if (timeBtnState_ & tbFocusRect) {
    const int shift = state == 2 ? 1 : 0;
    TDC dc(cache);
    PaintDottedFrame(
        dc, TRect{3 + shift, 3 + shift, cache.Width() - 4 + shift, cache.Height() - 4 + shift});
  }
  if (!Enabled()) {
    vm::ParentColor = ColorToRGB(clWindow);
    ShadeDisabled(cache, disabledKind_, ColorToRGB(clWindow), {Left(), Top()}, background);
    vm::ParentColor = KeyColor;
  }
  data.CacheInvalid = false;
}

void TsTimerSpeedButton::Paint() {
  if (!Skinned()) {
    TSpeedButton::Paint();
    return;
  }
  // A fade shows its own frames.
  if (fadeTimer_ && fadeTimer_->FadeDirection() != 0 && !skinData_->CacheInvalid) {
    const TBitmap& frame = fadeTimer_->LastFrame();
    if (!frame.Empty()) {
      PaintDC()->BitBlt(0, 0, frame.Width(), frame.Height(), frame, 0, 0, SRCCOPY);
      return;
    }
  }
  if (skinData_->CacheInvalid || !skinData_->CacheBmp || skinData_->CacheBmp->Width() != Width() ||
      skinData_->CacheBmp->Height() != Height())
    PrepareCache();
  const TBitmap& cache = *skinData_->CacheBmp;
  PaintDC()->BitBlt(0, 0, cache.Width(), cache.Height(), cache, 0, 0, SRCCOPY);
}

void TsTimerSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TControlRef self(this);
  if (OnPress) OnPress(this, button, shift, x, y);
  if (!self) return;
  TSpeedButton::MouseDown(button, shift, x, y);
  if (!self || button != mbLeft || !Enabled()) return;
  held_ = true;
  if (Skinned()) Fade(aeMouseDown, 1);
  if (!self) return;
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
  TControlRef self(this);
  const bool wasHeld = held_ && button == mbLeft;
  if (button == mbLeft) {
    held_ = false;
    StopRepeat();
  }
  // Shown released, then the ordinary click when released over the button.
  TSpeedButton::MouseUp(button, shift, x, y);
  if (self && wasHeld && Skinned()) Fade(aeMouseUp, 2);
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
  TsCommonData& data = *skinData_;
  TControlRef self(this);
  if (m.Msg == SM_NIRVEXCMD) {
    switch (CommandOf(m.WParam)) {
      case CmdNewSkin:
      case CmdRemoveSkin:
      case CmdRefresh:
        StopFade(fadeTimer_);
        data.HandleMessage(m);
        if (self) Invalidate();
        return;
      case CmdUpdate:
        StopFade(fadeTimer_);
        data.CacheInvalid = true;
        Invalidate();
        return;
      case CmdFadePrepare:
        PrepareCache();
        return;
      default:
        break;
    }
    if (data.HandleMessage(m)) return;
    TSpeedButton::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case CM_MOUSEENTER:
      if (m.LParam != 0 && m.LParam != reinterpret_cast<LPARAM>(this)) break;
      TSpeedButton::WndProc(m);
      if (!self || !Enabled() || data.MouseAbove) return;
      data.MouseAbove = true;
      if (Skinned()) Fade(aeMouseEnter, 1);
      return;
    case CM_MOUSELEAVE:
      if (m.LParam != 0 && m.LParam != reinterpret_cast<LPARAM>(this)) break;
      TSpeedButton::WndProc(m);
      if (!self || !data.MouseAbove) return;
      data.MouseAbove = false;
      if (Skinned()) Fade(aeMouseLeave, 2);
      return;
    case CM_ENABLEDCHANGED:
      if (!Enabled()) {
        held_ = false;
        StopRepeat();
        StopFade(fadeTimer_);
      }
      data.CacheInvalid = true;
      break;
    default:
      break;
  }
  if (data.HandleMessage(m)) return;
  if (self) TSpeedButton::WndProc(m);
}

}  // namespace vm
