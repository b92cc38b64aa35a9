#include "skin/state/FadeTimer.h"

#include <algorithm>

#include "skin/data/SkinCommands.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/pixels/Kernels.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/state/CommonData.h"
#include "skin/state/SkinCommand.h"
#include "toolkit/Application.h"
#include "toolkit/WinControl.h"

namespace vm {

bool AnimationsOff = false;
bool FadingSuspended = false;
HWND CompanionWindow = nullptr;

bool IsFadingSuspended() {
  return FadingSuspended || IsSkinChanging();
}

void NotifyCompanion() {
  if (CompanionWindow) SendCommandToWindow(CompanionWindow, CmdRefresh, 0);
}

int FadeWeight(int step, int stepCount) {
  if (stepCount <= 0) return 0;
  const long long w = 255 - (static_cast<long long>(step) * 256) / stepCount;
  return int(std::clamp<long long>(w, 0, 255));
}

void MakeFadeFrame(TBitmap& frame, const TBitmap& start, const TBitmap& cache, int step,
                   int stepCount) {
  const int w = FadeWeight(step, stepCount);
  // Weight 0 is the new look itself, and a picture of another size cannot
  // be mixed: the frame is the cache then.
  if (w == 0 || start.Width() != cache.Width() || start.Height() != cache.Height()) {
    frame = cache;
    return;
  }
  // Two 24-bit pictures laid out alike blend as one run of bytes straight
  // into the frame: every byte is mixed on its own, so this gives
  // MixBitmaps' bytes without copying the start picture first or walking
  // rows (a button-sized frame is mostly that walk).
  if (start.PixelFormat() == TPixelFormat::pf24bit &&
      cache.PixelFormat() == TPixelFormat::pf24bit && start.BottomUp() == cache.BottomUp() &&
      start.Stride() == cache.Stride() && start.DataSize() == cache.DataSize() &&
      start.Width() >= 2 && start.Height() >= 2 && &frame != &start && &frame != &cache) {
    if (frame.Width() != start.Width() || frame.Height() != start.Height() ||
        frame.PixelFormat() != start.PixelFormat() || frame.BottomUp() != start.BottomUp())
      frame =
          TBitmap::Unfilled(start.Width(), start.Height(), start.PixelFormat(), start.BottomUp());
    BlendBytesTo(frame.Data(), start.Data(), cache.Data(), std::int64_t(frame.DataSize()),
                 unsigned(w));
    return;
  }
  frame = start;
  MixBitmaps(frame, cache, std::uint32_t(w));
}

namespace {

bool Terminating() {
  return Application && Application->Terminated();
}

const TsGeneralData* SectionOf(const TsCommonData& state) {
  TsSkinManager* m = state.GetSkinManager();
  if (!m || !m->IsValidSectionIndex(state.SectionIndex)) return nullptr;
  return &m->gd[std::size_t(state.SectionIndex)];
}

// Copies a frame onto the control: a windowed control's own window, a
// windowless one's place in its parent's window.
void DrawFrameOn(TControl* control, const TBitmap& frame) {
  HWND window = nullptr;
  int x = 0, y = 0;
  if (auto* wc = dynamic_cast<TWinControl*>(control)) {
    if (!wc->HandleAllocated()) return;
    window = wc->Handle();
  } else {
    TWinControl* parent = control->Parent();
    if (!parent || !parent->HandleAllocated()) return;
    window = parent->Handle();
    x = control->Left();
    y = control->Top();
  }
  TScopedDC dc(window);
  if (!dc.Dc()) return;
  TDCSaver saver(*dc.Dc());
  dc.Dc()->BitBlt(x, y, control->Width(), control->Height(), frame, 0, 0, SRCCOPY);
}

}  // namespace

// ---------------------------------------------------------------------------
// TsFadeTimer

TsFadeTimer::TsFadeTimer(TComponent* owner) : TTimer(owner) {
  SetEnabled(false);
  SetInterval(10);
  SetOnTimer([this](TComponent*) { Tick(); });
}

TsFadeTimer::~TsFadeTimer() {
  *alive_ = false;
}

TsCommonData* TsFadeTimer::OwnerState() const {
  return control_.Get() ? ownerState_ : nullptr;
}

void TsFadeTimer::SetFadeDirection(std::uint8_t direction) {
  fadeDirection_ = direction;
  if (direction != 0 && Step < 0) Step = 1;
  SetEnabled(direction != 0);
}

void TsFadeTimer::PrepareFade(TsCommonData& state) {
  ownerState_ = &state;
  control_.Set(state.OwnerControl());
  // The look before the change. While a fade runs that is the frame on the
  // screen, not the cache: the cache already holds the look the interrupted
  // fade was heading for, and starting from it would jump.
  const TBitmap* cache = state.CacheBmp.get();
  if (fadeDirection_ != 0 && frameShown_ && cache && frame_.Width() == cache->Width() &&
      frame_.Height() == cache->Height())
    StartPicture = std::make_unique<TBitmap>(frame_);
  else
    StartPicture = cache ? std::make_unique<TBitmap>(*cache) : std::make_unique<TBitmap>();
  frameShown_ = false;
  SetInterval(10);
  const TsGeneralData* gd = SectionOf(state);
  StepCount = gd ? gd->FadingIterations : 0;
  if (fadeDirection_ == 1)
    StepCount = Step;
  else if (fadeDirection_ == 2)
    StepCount = StepCount - Step;
}

void TsFadeTimer::Tick() {
  if (IsDestroying()) return;
  if (target_) {
    TargetTick();
    return;
  }
  const std::shared_ptr<bool> alive = alive_;
  TControl* control = control_.Get();
  if (!ownerState_ || !control || control->IsDestroying() || Terminating()) {
    SetFadeDirection(0);
    return;
  }
  if (Step > StepCount || Step < 0) {
    // Finished: the control repaints in its look and stops the fade.
    SendCommand(control, CmdUpdate);
    return;
  }
  if (fadeDirection_ != 1 && fadeDirection_ != 2) return;
  if (StepCount == 0) return;
  if (!control->Enabled()) {
    SetEnabled(false);
    StepCount = 0;
    ownerState_->Repaint();
    return;
  }
  ShowFrame(control);
  if (!*alive) return;
  ++Step;
}

void TsFadeTimer::ShowFrame(TControl* control) {
  const std::shared_ptr<bool> alive = alive_;
  const TBitmap* cache = ownerState_->CacheBmp.get();
  if (!cache || !StartPicture) return;
  MakeFadeFrame(frame_, *StartPicture, *cache, Step, StepCount);
  // The control may show the frame itself (an answer other than 0).
  const LRESULT answer = SendCommand(control, CmdFadeFrame, reinterpret_cast<LPARAM>(&frame_));
  if (!*alive || control_.Get() != control || control->IsDestroying()) return;
  if (answer == 0) DrawFrameOn(control, frame_);
  frameShown_ = true;
  NotifyCompanion();
}

void TsFadeTimer::StartTargetFade(TsFadeTarget& target, int key, TBitmap start, int stepCount) {
  if (target_ && (target_ != &target || targetKey_ != key)) StopTargetFade();
  // A fade restarted mid-way starts from what is on the screen.
  if (target_ && frameShown_ && frame_.Width() == start.Width() &&
      frame_.Height() == start.Height())
    start = frame_;
  ownerState_ = nullptr;
  control_.Set(nullptr);
  target_ = &target;
  targetKey_ = key;
  StartPicture = std::make_unique<TBitmap>(std::move(start));
  Step = 0;
  StepCount = stepCount;
  SetInterval(10);
  fadeDirection_ = 1;
  SetEnabled(true);
  TargetTick();
}

void TsFadeTimer::StopTargetFade() {
  target_ = nullptr;
  targetKey_ = 0;
  Step = StepCount = 0;
  StartPicture.reset();
  frame_ = TBitmap();
  frameShown_ = false;
  fadeDirection_ = 0;
  SetEnabled(false);
}

void TsFadeTimer::TargetTick() {
  const std::shared_ptr<bool> alive = alive_;
  const TBitmap* picture = target_->FadeTargetPicture();
  if (!picture || !StartPicture) {
    StopTargetFade();
    return;
  }
  ++Step;
  if (Step >= StepCount)
    frame_ = *picture;
  else
    MakeFadeFrame(frame_, *StartPicture, *picture, Step, StepCount);
  const bool shown = target_->ShowFadeFrame(frame_);
  if (!*alive || !target_) return;
  frameShown_ = true;
  if (!shown || Step >= StepCount) StopTargetFade();
}

// ---------------------------------------------------------------------------
// TsAnimTimer

TsAnimTimer::TsAnimTimer(TComponent* owner) : TTimer(owner) {
  SetEnabled(false);
  SetInterval(10);
  SetOnTimer([this](TComponent*) { Tick(); });
}

TsAnimTimer::~TsAnimTimer() {
  *alive_ = false;
}

TsCommonData* TsAnimTimer::OwnerState() const {
  return control_.Get() ? ownerState_ : nullptr;
}

void TsAnimTimer::PrepareAnimation(TsCommonData& state) {
  ownerState_ = &state;
  control_.Set(state.OwnerControl());
  SetInterval(10);
  const TsGeneralData* gd = SectionOf(state);
  StepCount = gd ? gd->FadingIterations : 0;
}

bool TsAnimTimer::Finished() {
  TControl* control = control_.Get();
  if (!ownerState_ || !control || control->IsDestroying() || Terminating()) return true;
  if (Step >= 0 && Step <= StepCount) return false;
  SendCommand(control, CmdUpdate);
  return true;
}

void TsAnimTimer::Tick() {
  if (IsDestroying()) return;
  const std::shared_ptr<bool> alive = alive_;
  if (Finished()) return;
  if (!*alive) return;
  TControl* control = control_.Get();
  if (Busy || !control || control->IsDestroying() || StepCount == 0 || Step < 0) {
    ++Step;
    return;
  }
  Busy = true;
  const TBitmap* cache = ownerState_->CacheBmp.get();
  if (!FramePicture) FramePicture = std::make_unique<TBitmap>();
  if (StartPicture && cache)
    MakeFadeFrame(*FramePicture, *StartPicture, *cache, Step, StepCount);
  else if (cache)
    *FramePicture = *cache;
  // The control paints FramePicture while its parent shows it as the
  // animating child.
  TWinControl* parent = control->Parent();
  TControlRef parentRef(parent);
  if (parent) SendCommand(parent, CmdSetAnimatingChild, reinterpret_cast<LPARAM>(control));
  if (!*alive || control_.Get() != control) return;
  SendCommand(control, CmdSetPaintSuspended, 0, 0);
  if (!*alive || control_.Get() != control) return;
  control->Repaint();
  if (!*alive) return;
  if (parentRef.Get()) SendCommand(parentRef.Get(), CmdSetAnimatingChild, 0);
  if (!*alive) return;
  NotifyCompanion();
  if (!*alive) return;
  ++Step;
  Busy = false;
}

// ---------------------------------------------------------------------------
// Entry points

void RepaintWithFade(TsFadeTimer*& timer, TsCommonData& state, bool halfSteps, int direction,
                     bool animate) {
  if (!state.IsSkinned()) return;
  const TsGeneralData* gd = SectionOf(state);
  const bool cacheReady = state.CacheBmp && !state.CacheBmp->Empty() && !state.CacheInvalid;
  if (animate && !AnimationsOff && gd && gd->FadingEnabled && !IsFadingSuspended() && cacheReady) {
    state.CacheInvalid = true;
    StartFade(timer, state, halfSteps, direction);
    return;
  }
  state.CacheInvalid = true;
  StopFade(timer);
  state.Repaint();
}

void StartFade(TsFadeTimer*& timer, TsCommonData& state, bool halfSteps, int direction) {
  const TsGeneralData* gd = SectionOf(state);
  TControl* control = state.OwnerControl();
  if (!gd || !gd->FadingEnabled || !control) return;
  if (timer) {
    timer->Step = gd->FadingIterations;
  } else {
    timer = Create<TsFadeTimer>(control);
    timer->Step = 1;
  }
  timer->PrepareFade(state);
  if (halfSteps) timer->StepCount /= 2;
  if (timer->Step >= timer->StepCount || timer->Step <= 0) timer->Step = 1;
  // The control rebuilds its cache in the new look. It may go away while it
  // does, and the timer it owns with it.
  TControlRef alive(control);
  SendCommand(control, CmdFadePrepare);
  if (!alive.Get() || control->IsDestroying()) return;
  timer->SetFadeDirection(std::uint8_t(direction));
}

void StopFade(TsFadeTimer*& timer) {
  if (!timer) return;
  TsFadeTimer* t = timer;
  timer = nullptr;
  if (t->IsDestroying()) return;
  t->SetFadeDirection(0);
  delete t;
}

}  // namespace vm
