// TsTimerSpeedButton: one arrow of a spin button. A windowless button painted
// from the skin section "SPEEDBUTTON_SMALL" (normal, hot and pressed looks
// with fades, its glyph over the face, an optional focus frame) that keeps
// clicking while it is held: the first repeat 400 ms after the press, then
// one every 100 ms, on the platform timers of the user-interface thread.
// Without a skin it is the platform's speed button.
#pragma once

#include <memory>
#include <string>

#include "skin/paint/pixels/PixelOps.h"
#include "skin/state/AnimatEvents.h"
#include "toolkit/SpeedButton.h"

namespace vm {

class TsCommonData;
class TsFadeTimer;
class TTimer;

// Members of a timer button's option set.
enum TnxTimeBtnState : unsigned { tbFocusRect = 1u << 0, tbAllowTimer = 1u << 1 };
using TnxTimeBtnStates = unsigned;

inline constexpr unsigned RepeatDelay = 400;
inline constexpr unsigned RepeatInterval = 100;

class TsTimerSpeedButton : public TSpeedButton {
 public:
  explicit TsTimerSpeedButton(TComponent* owner);
  ~TsTimerSpeedButton() override;
  std::string ClassName() const override { return "TsTimerSpeedButton"; }

  TsCommonData* SkinData() const { return skinData_.get(); }
  TnxTimeBtnStates TimeBtnState() const { return timeBtnState_; }
  void SetTimeBtnState(TnxTimeBtnStates value);
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  TnxAnimatEvents AnimatEvents() const { return animatEvents_; }
  void SetAnimatEvents(TnxAnimatEvents value) { animatEvents_ = value; }
  // The repeat timer (nullptr before the first press).
  TTimer* RepeatTimer() const { return repeatTimer_; }
  TsFadeTimer* FadeTimer() const { return fadeTimer_; }
  // 2 while pressed, 1 while the mouse is over it, else 0.
  int StateIndex() const;
  // Builds the cache in the current look.
  void PrepareCache();

  TMouseEvent OnPress;

  void WndProc(TMessage& message) override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  bool Skinned() const;
  void TimerExpired();
  void StopRepeat();
  void Fade(TnxAnimatEvent event, int direction);

  std::unique_ptr<TsCommonData> skinData_;
  TsFadeTimer* fadeTimer_ = nullptr;
  TTimer* repeatTimer_ = nullptr;
  TnxTimeBtnStates timeBtnState_ = tbAllowTimer;
  TsDisabledKind disabledKind_ = dkBlended;
  TnxAnimatEvents animatEvents_ = aeGlobalDef;
  bool held_ = false;
};

}  // namespace vm
