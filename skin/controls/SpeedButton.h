// TsSpeedButton: the skinned window-less tool button. It can stay down (a
// GroupIndex, or ButtonStyle tbsCheck), open a DropdownMenu from its 16-pixel
// arrow part (tbsDropDown), or stand in a tool bar as a separator or a
// divider line. While skinned it paints itself into its skin state's cache
// (section "SPEEDBUTTON" by default); hover, press and release cross-fade
// through its animation timer while its parent shows it as the animating
// child. Without a skin it is the toolkit's plain speed button that keeps
// raising OnMouseEnter and OnMouseLeave.
#pragma once

#include <memory>
#include <string>

#include "skin/controls/GlyphButtonPaint.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/state/CommonData.h"
#include "skin/state/FadeTimer.h"
#include "toolkit/PopupMenu.h"
#include "toolkit/SpeedButton.h"

namespace vm {

enum TsButtonStyle {
  tbsButton,
  tbsCheck,
  tbsDropDown,
  tbsSeparator,
  tbsDivider,
  tbsTextButton,
};

class TsSpeedButton : public TSpeedButton {
 public:
  explicit TsSpeedButton(TComponent* owner);
  ~TsSpeedButton() override;
  std::string ClassName() const override { return "TsSpeedButton"; }

  TsCommonData* SkinData() const { return skinData_.get(); }
  bool Skinned() const;

  // ---- published look ----
  TAlignment Alignment() const { return look_.Alignment; }
  void SetAlignment(TAlignment v);
  int Blend() const { return look_.Blend; }
  void SetBlend(int v);  // clamped to 0..100
  TsButtonStyle ButtonStyle() const { return buttonStyle_; }
  void SetButtonStyle(TsButtonStyle v);
  TsDisabledGlyphKind DisabledGlyphKind() const { return look_.DisabledGlyphKind; }
  void SetDisabledGlyphKind(TsDisabledGlyphKind v);
  TsDisabledKind DisabledKind() const { return look_.DisabledKind; }
  void SetDisabledKind(TsDisabledKind v);
  tk::TPopupMenu* DropdownMenu() const { return dropdownMenu_.Get(); }
  void SetDropdownMenu(tk::TPopupMenu* v) { dropdownMenu_.Set(v); }
  bool Grayed() const { return look_.Grayed; }
  void SetGrayed(bool v);
  int ImageIndex() const { return look_.ImageIndex; }
  void SetImageIndex(int v);
  tk::TImageList* Images() const { return images_.Get(); }
  void SetImages(tk::TImageList* v);
  bool ShowCaption() const { return look_.ShowCaption; }
  void SetShowCaption(bool v);
  bool DrawOverBorder() const { return look_.DrawOverBorder; }
  void SetDrawOverBorder(bool v);
  int TextOffset() const { return look_.TextOffset; }
  void SetTextOffset(int v);
  TAlignment TextAlignment() const { return look_.TextAlignment; }
  void SetTextAlignment(TAlignment v);
  TsAnimatEvents AnimatEvents() const { return look_.AnimatEvents; }
  void SetAnimatEvents(TsAnimatEvents v) { look_.AnimatEvents = v; }
  // NumGlyphs as set (a count the picture cannot hold paints as one cell).
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int n);

  TsPaintEvent OnPaint;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  // Down, or checked by a tbsCheck click.
  bool IsDown() const;
  // 0 normal, 1 hot, 2 pressed.
  int StateIndex() const;
  // Whether the drop-down menu is showing.
  bool MenuShowing() const { return menuShowing_; }
  TsAnimTimer* AnimTimer() const { return animTimer_.get(); }
  // The glyph and caption rectangles of the current state.
  void LayoutRects(TRect& glyph, TRect& caption);

  void Loaded() override;
  void Invalidate() override;
  void WndProc(TMessage& message) override;

 protected:
  void Paint() override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  // What a derived button draws over its face, glyph and caption, before the
  // disabled look (nothing here).
  virtual void PaintOver(TBitmap& /*cache*/, int /*state*/) {}
  // The colour the engine's two parent colours hold while the button paints
  // its picture (KeyColor: unset).
  virtual TColor PaintingParentColour() const { return KeyColor; }

 private:
  void ResetColours() const;
  void Changed();
  void SkinCommand(TMessage& m);
  void PrepareCache();
  void PaintFace(TBitmap& cache, int state, BackgroundInfo background);
  void PaintDropDown(TBitmap& cache, BackgroundInfo background);
  void PaintCaptionAndGlyph(TBitmap& cache, int state);
  void FadeTo(bool halfSteps, TnxAnimatEvent event);
  void StopAnimation();
  void RepaintThroughParent();
  void DoMouseEnter(TMessage& m);
  void DoMouseLeave(TMessage& m);
  bool DropDown(int x);
  int DropWidth() const { return buttonStyle_ == tbsDropDown ? 16 : 0; }

  std::unique_ptr<TsCommonData> skinData_;
  TsGlyphButtonLook look_;
  TsButtonStyle buttonStyle_ = tbsButton;
  int numGlyphs_ = 1;
  bool checked_ = false;
  bool menuShowing_ = false;
  bool quietInvalidate_ = false;
  TButtonLayout lastLayout_ = blGlyphLeft;
  TComponentLink<tk::TImageList> images_;
  TComponentLink<tk::TPopupMenu> dropdownMenu_;
  std::unique_ptr<TsAnimTimer> animTimer_;
};

}  // namespace vm
