// TsTrackBar: the skinned slider. The platform's track bar window keeps the
// range, the position, the tick marks and the thumb and channel rectangles
// and handles the keyboard and the dragging; while a skin is active this
// class paints the whole face from the section "TRACKBAR" instead:
// background, channel ("SLIDERCHANNEL"), tick marks ("TICKHORZ" /
// "TICKVERT") and thumb ("SLIDERMASK" / "SLIDERVMASK") in one of three
// states (normal, hot, pressed), with cross-fades between them.
//
// A tick without its image is a small classic 3D mark; a skin without the
// channel or the thumb image, like no skin at all, leaves the whole control
// to the platform's painting, so that it can always be worked.
// OnUserChange follows every position change the user makes through the
// window (after OnChange), never one set from code.
#pragma once

#include <memory>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/state/AnimatEvents.h"
#include "toolkit/TrackBar.h"

namespace vm {

class TsCommonData;
class TsFadeTimer;

class TsTrackBar : public TTrackBar {
 public:
  explicit TsTrackBar(TComponent* owner);
  ~TsTrackBar() override;
  std::string ClassName() const override { return "TsTrackBar"; }

  TsCommonData* SkinData() const { return skinData_.get(); }
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind value);
  bool ShowFocus() const { return showFocus_; }
  void SetShowFocus(bool value);
  TnxAnimatEvents AnimatEvents() const { return animatEvents_; }
  void SetAnimatEvents(TnxAnimatEvents value) { animatEvents_ = value; }

  TNotifyEvent OnUserChange;

  // The thumb's state: 2 while the left button holds it, 1 while the control
  // is active (focused or under the mouse), else 0.
  int ThumbState() const;
  // Whether the left button went down on the thumb and is still held.
  bool ThumbPressed() const { return thumbPressed_; }
  // The step between automatic tick marks at the last painting.
  double LastTickStep() const { return lastTickStep_; }
  // The fade running now, or nullptr.
  TsFadeTimer* FadeTimer() const { return fadeTimer_; }
  // The pixels of the tick marks along the track at the last painting.
  const std::vector<int>& TickPositions() const { return tickPositions_; }

  // Builds the cache in the current look (background, focus frame, channel,
  // ticks, thumb and the disabled shading; the border comes at the copy).
  void PrepareCache();

  void WndProc(TMessage& message) override;
  void Loaded() override;

 protected:
  void CreateWnd() override;

 private:
  bool Skinned() const;
  bool Interactive() const;
  TRect ChannelRect() const;
  TRect ThumbRect() const;
  void PaintChannel(TBitmap& cache, const TRect& channel, int state);
  void PaintTicks(TBitmap& cache, const TRect& channel, const TRect& thumb, int state);
  void PaintTick(TBitmap& cache, TPoint at, int maskIndex, int state);
  void PaintThumb(TBitmap& cache, const TRect& thumb, int state);
  void PaintToWindow(HDC dc);
  void Fade(TnxAnimatEvent event, int direction);
  void StopFading();
  void SaveHints();
  void RestoreHints();
  bool HandleCommand(TMessage& message);

  std::unique_ptr<TsCommonData> skinData_;
  TsFadeTimer* fadeTimer_ = nullptr;
  std::unique_ptr<TBitmap> spare_;
  TsDisabledKind disabledKind_ = dkBlended;
  bool showFocus_ = false;
  TnxAnimatEvents animatEvents_ = aeGlobalDef;
  bool thumbPressed_ = false;
  bool hintsSaved_ = false;
  double lastTickStep_ = 0;
  std::vector<int> tickPositions_;
};

}  // namespace vm
