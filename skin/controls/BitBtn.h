// TsBitBtn: the skinned glyph button (a windowed button that takes the
// focus, can be the form's default or cancel button and closes a modal form
// with its ModalResult).
//
// While its skin state is skinned it paints itself completely into the
// state's cache: the section's background and border for the state (0
// normal, 1 hot, 2 pressed), the caption, the glyph (a strip of NumGlyphs
// cells, or an image of Images), the focus frame, then the disabled look;
// OnPaint sees the finished cache before it reaches the screen. Its window
// region leaves out the border's transparent corner pixels. Hover, press and
// release cross-fade when the section fades and AnimatEvents allow it.
// Without a skin it is the toolkit's plain bitmap button and only keeps
// raising OnMouseEnter and OnMouseLeave.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "skin/controls/GlyphButtonPaint.h"
#include "skin/state/CommonData.h"
#include "skin/state/FadeTimer.h"
#include "toolkit/BitBtn.h"

namespace vm {

class TRegion;

class TsBitBtn : public TBitBtn {
 public:
  explicit TsBitBtn(TComponent* owner);
  ~TsBitBtn() override;
  std::string ClassName() const override { return "TsBitBtn"; }

  TsCommonData* SkinData() const { return skinData_.get(); }

  // ---- glyph (the strip; NumGlyphs as set, see EffectiveGlyphCount) ----
  void SetGlyph(const tk::TBitmap* b);
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int n);
  // The strip read from its stored form (see GlyphData.h); bad data empties it.
  void LoadGlyphData(std::span<const std::uint8_t> data);

  // ---- published look ----
  TAlignment Alignment() const { return look_.Alignment; }
  void SetAlignment(TAlignment v);
  int Blend() const { return look_.Blend; }
  void SetBlend(int v);  // clamped to 0..100
  TsDisabledGlyphKind DisabledGlyphKind() const { return look_.DisabledGlyphKind; }
  void SetDisabledGlyphKind(TsDisabledGlyphKind v);
  TsDisabledKind DisabledKind() const { return look_.DisabledKind; }
  void SetDisabledKind(TsDisabledKind v);
  bool Down() const { return down_; }
  void SetDown(bool v);
  int FocusMargin() const { return focusMargin_; }
  void SetFocusMargin(int v) { focusMargin_ = v; }
  bool Grayed() const { return look_.Grayed; }
  void SetGrayed(bool v);
  int ImageIndex() const { return look_.ImageIndex; }
  void SetImageIndex(int v);
  tk::TImageList* Images() const { return images_.Get(); }
  void SetImages(tk::TImageList* v);
  bool ShowCaption() const { return look_.ShowCaption; }
  void SetShowCaption(bool v);
  bool ShowFocus() const { return showFocus_; }
  void SetShowFocus(bool v);
  bool DrawOverBorder() const { return look_.DrawOverBorder; }
  void SetDrawOverBorder(bool v);
  int TextOffset() const { return look_.TextOffset; }
  void SetTextOffset(int v);
  TAlignment TextAlignment() const { return look_.TextAlignment; }
  void SetTextAlignment(TAlignment v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  TsAnimatEvents AnimatEvents() const { return look_.AnimatEvents; }
  void SetAnimatEvents(TsAnimatEvents v) { look_.AnimatEvents = v; }

  TsPaintEvent OnPaint;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  // ---- state, for the ones that look at it ----
  // 0 normal, 1 hot, 2 pressed.
  int StateIndex() const;
  // The glyph and caption rectangles of the current state and caption.
  TRect GlyphRect();
  TRect CaptionRect();
  TsFadeTimer* FadeTimer() const { return fadeTimer_; }
  bool Skinned() const;

  void Loaded() override;
  void Invalidate() override;
  void WndProc(TMessage& message) override;

 private:
  void Changed();  // a look option changed: the cache is rebuilt
  void SkinCommand(TMessage& m);
  bool SkinnedMessage(TMessage& m);
  void PlainMessage(TMessage& m);
  void MouseEnter(TMessage& m);
  void MouseLeave(TMessage& m);
  void PaintTo(HDC given);
  // Makes the picture anew and forgets the pictures kept of other looks.
  void PrepareCache();
  // Paints the picture of the look the button is in now into the cache.
  void BuildPicture();
  // The look changed and nothing else did: the picture of the new look is
  // taken from the kept ones when it was made for what lies behind now, and
  // the picture shown so far is kept in its place.
  void SwitchLook();
  void DropKeptLooks();
  // State (0 normal, 1 hot, 2 pressed) and whether the glyph is drawn hot.
  int LookIndex() const;
  void PaintBorder(TBitmap& cache, int state, BackgroundInfo background, bool cutRegion);
  void PaintCaptionAndGlyph(TBitmap& cache, int state);
  TSize MeasureText(TDC& canvas, TSize glyph);
  void ApplyRegion();
  void RebuildStripFromImages();
  void StopFadeTimer() { StopFade(fadeTimer_); }
  std::uint32_t TextFlags() const;

  std::unique_ptr<TsCommonData> skinData_;
  TsGlyphButtonLook look_;
  int numGlyphs_ = 1;
  bool down_ = false;
  int focusMargin_ = 1;
  bool showFocus_ = true;
  bool wordWrap_ = true;
  TComponentLink<tk::TImageList> images_;
  TsFadeTimer* fadeTimer_ = nullptr;
  bool regionChanged_ = true;
  std::unique_ptr<TRegion> pendingRegion_;
  bool pressedByMouse_ = false;
  int forcedPushed_ = -1;  // while a press or release is being shown ahead of the platform
  TButtonLayout lastLayout_ = blGlyphLeft;
  int lastSpacing_ = 4;
  int lastState_ = -1;
  int lastLook_ = -1;
  bool paintedOnce_ = false;
  // Set by a hover change while the picture was otherwise up to date: the
  // repaint it causes may switch to a kept picture.
  bool hoverOnly_ = false;
  // What the kept pictures were made for; any other change drops them.
  struct TKeptKey {
    int Width = 0, Height = 0, Left = 0, Top = 0;
    bool Enabled = false, Focused = false;
    const TBitmap* Behind = nullptr;
    int BehindX = 0, BehindY = 0;
    bool BehindReady = false;
    TColor ParentColour = 0;
    bool operator==(const TKeptKey&) const = default;
  };
  TKeptKey KeyNow(BackgroundInfo& background) const;
  bool keyValid_ = false;
  TKeptKey keptKey_;
  // The parent's pixels behind the button when the key was taken: a picture
  // blended with them is stale once they differ.
  std::vector<std::uint8_t> behind_;
  static constexpr int kLooks = 6;
  TBitmap kept_[kLooks];
  unsigned keptLooks_ = 0;  // bit per look whose kept_ picture is valid
};

}  // namespace vm
