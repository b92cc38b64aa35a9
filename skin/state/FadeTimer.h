// Fades between two looks of a skinned control.
//
// When a control changes its look (the mouse enters, leaves, presses) it can
// cross-fade from the picture it showed to the new one instead of jumping.
// The section decides whether it fades and in how many steps (FadingEnabled,
// FadingIterations). TsFadeTimer draws each blended frame straight onto the
// control's window; TsAnimTimer has the control repaint itself for each frame
// while its parent shows it as the animating child. Both run on the platform
// timers (10 ms) of the user-interface thread.
//
// A fade frame at step s of n mixes the picture taken before the change with
// the control's freshly built cache: MixBitmaps with the old picture's weight
// clamp(255 - s * 256 div n). The last step (weight 0) shows the cache itself.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gfx/Bitmap.h"
#include "platform/win/WinApi.h"
#include "toolkit/Control.h"
#include "toolkit/Timer.h"

namespace vm {

class TsCommonData;

// ---- Engine-wide switches of the animations ----

// All fades and animations switched off: looks change at once.
extern bool AnimationsOff;
// Fading held back for a while (a bulk repaint); a skin change in progress
// holds it back too (IsSkinChanging).
extern bool FadingSuspended;
bool IsFadingSuspended();
// A window that mirrors the skinned windows (a magnifier, for example): it
// hears command 3 (CmdRefresh) after every frame drawn. nullptr when none.
extern HWND CompanionWindow;
void NotifyCompanion();

// The weight of the old picture at step `step` of `stepCount` (stepCount > 0).
int FadeWeight(int step, int stepCount);
// Writes the frame of that step into `frame`: a copy of start mixed with the
// cache. `frame` is resized to the start picture; nothing is mixed when the
// sizes of start and cache differ (the frame is then the new cache).
void MakeFadeFrame(TBitmap& frame, const TBitmap& start, const TBitmap& cache, int step,
                   int stepCount);

// A look that fades but is no control of its own: a piece of a window the
// engine paints itself, such as a caption button on a frame. It gives the
// picture the fade heads for and shows each frame where it belongs.
class TsFadeTarget {
 public:
  virtual ~TsFadeTarget() = default;
  // The new look, taken afresh for every frame; nullptr ends the fade.
  virtual const TBitmap* FadeTargetPicture() = 0;
  // Shows one frame; false when it cannot be shown any more (the window
  // went), which ends the fade.
  virtual bool ShowFadeFrame(const TBitmap& frame) = 0;
};

class TsFadeTimer : public TTimer {
 public:
  // Made by StartFade, owned by the control it fades; disabled.
  explicit TsFadeTimer(TComponent* owner);
  ~TsFadeTimer() override;
  std::string ClassName() const override { return "TsFadeTimer"; }

  // 0: idle; 1 or 2: running. Not 0 enables the timer (a negative Step is
  // raised to 1 first), 0 disables it.
  std::uint8_t FadeDirection() const { return fadeDirection_; }
  void SetFadeDirection(std::uint8_t direction);

  // Takes the look before the change and works out the steps (see StartFade).
  void PrepareFade(TsCommonData& state);

  TsCommonData* OwnerState() const;
  int StepCount = 0;
  int Step = 0;
  std::unique_ptr<TBitmap> StartPicture;
  // The frame drawn last, while it is on the screen (empty before the first).
  const TBitmap& LastFrame() const { return frame_; }

  // One tick of the fade (what the platform timer calls).
  void Tick();

  // Fades a target element (key: which element of the target, not 0) from
  // start to the target's picture in stepCount steps: the first frame is
  // shown at once, one more at every tick, the last being the new look
  // itself. A fade of the same element restarted mid-way starts from the
  // frame on the screen. A fade of another element is ended first.
  void StartTargetFade(TsFadeTarget& target, int key, TBitmap start, int stepCount);
  // Ends a target fade (nothing more is shown).
  void StopTargetFade();
  // The element a target fade runs for, 0 when none.
  int TargetKey() const { return targetKey_; }

 private:
  void ShowFrame(TControl* control);
  void TargetTick();

  std::uint8_t fadeDirection_ = 0;
  TsCommonData* ownerState_ = nullptr;
  TControlRef control_;  // the control of ownerState_; gone means never touch it
  TBitmap frame_;
  bool frameShown_ = false;
  TsFadeTarget* target_ = nullptr;
  int targetKey_ = 0;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

class TsAnimTimer : public TTimer {
 public:
  // Made by the control that animates, disabled, not busy.
  explicit TsAnimTimer(TComponent* owner);
  ~TsAnimTimer() override;
  std::string ClassName() const override { return "TsAnimTimer"; }

  // Binds the state and takes its step count; the caller fills StartPicture
  // and enables the timer.
  void PrepareAnimation(TsCommonData& state);

  bool Busy = false;
  std::unique_ptr<TBitmap> StartPicture;
  std::unique_ptr<TBitmap> FramePicture;
  TsCommonData* OwnerState() const;
  int StepCount = 0;
  int Step = 0;

  void Tick();

 private:
  bool Finished();

  TsCommonData* ownerState_ = nullptr;
  TControlRef control_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// The entry point of a control whose look changes. Nothing when the state is
// not skinned. With animate, when nothing switches fading off and the cache
// holds the current look, the cache is marked stale and the fade starts;
// otherwise a running fade stops and the control repaints at once.
void RepaintWithFade(TsFadeTimer*& timer, TsCommonData& state, bool halfSteps, int direction,
                     bool animate);
// Starts (or restarts) the fade of the state's control: the look before the
// change is taken, command 23 (CmdFadePrepare) lets the control rebuild its
// cache in the new look, and the timer runs in `direction`. Nothing when the
// section does not fade.
void StartFade(TsFadeTimer*& timer, TsCommonData& state, bool halfSteps, int direction);
// Stops and frees the timer (unless it is already being destroyed).
void StopFade(TsFadeTimer*& timer);

}  // namespace vm
