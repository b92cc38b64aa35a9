// TsTimerSpeedButton: one arrow of a spin button. A skinned speed button
// (section "SPEEDBUTTON_SMALL", not flat, transparent) that keeps clicking
// while it is held: the first repeat 400 ms after the press, then one every
// 100 ms, on the platform timers of the user-interface thread. It paints on
// the field's window colour and can show a dotted focus frame inside.
#pragma once

#include <string>

#include "skin/controls/SpeedButton.h"

namespace vm {

class TTimer;

// Members of a timer button's option set.
enum TnxTimeBtnState : unsigned { tbFocusRect = 1u << 0, tbAllowTimer = 1u << 1 };
using TnxTimeBtnStates = unsigned;

inline constexpr unsigned RepeatDelay = 400;
inline constexpr unsigned RepeatInterval = 100;

class TsTimerSpeedButton : public TsSpeedButton {
 public:
  explicit TsTimerSpeedButton(TComponent* owner);
  ~TsTimerSpeedButton() override;
  std::string ClassName() const override { return "TsTimerSpeedButton"; }

  TnxTimeBtnStates TimeBtnState() const { return timeBtnState_; }
  void SetTimeBtnState(TnxTimeBtnStates value);
  // The repeat timer (nullptr before the first press).
  TTimer* RepeatTimer() const { return repeatTimer_; }

  TMouseEvent OnPress;

  void WndProc(TMessage& message) override;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void PaintOver(TBitmap& cache, int state) override;
  TColor PaintingParentColour() const override;

 private:
  void TimerExpired();
  void StopRepeat();

  TTimer* repeatTimer_ = nullptr;
  TnxTimeBtnStates timeBtnState_ = tbAllowTimer;
  bool held_ = false;
};

}  // namespace vm
