// TsSpinButton: the pair of arrow buttons of a spin edit, a small window
// inside the edit. The up arrow takes the upper half, the down arrow the
// rest; a press on either gives the keyboard focus to the edit it serves
// (FocusControl), and their clicks arrive as OnUpClick and OnDownClick. The
// arrows are drawn over the edit's own picture, so the skin's transparent
// corners show the field behind them.
#pragma once

#include <memory>
#include <string>

#include "toolkit/Bitmap.h"
#include "toolkit/ComponentLink.h"
#include "toolkit/WinControl.h"

namespace vm {

class TsTimerSpeedButton;

class TsSpinButton : public TWinControl {
 public:
  explicit TsSpinButton(TComponent* owner);
  ~TsSpinButton() override;
  std::string ClassName() const override { return "TsSpinButton"; }

  TsTimerSpeedButton* UpButton() const { return upButton_; }
  TsTimerSpeedButton* DownButton() const { return downButton_; }
  // The arrow that shows the focus frame while the spin button has the focus.
  TsTimerSpeedButton* FocusedButton() const { return focusedButton_; }
  // The glyphs given by the program; empty ones are drawn (below).
  tk::TBitmap* UpGlyph() const { return upGlyph_.get(); }
  void SetUpGlyph(const tk::TBitmap* value);
  tk::TBitmap* DownGlyph() const { return downGlyph_.get(); }
  void SetDownGlyph(const tk::TBitmap* value);
  TWinControl* FocusControl() const { return static_cast<TWinControl*>(focusControl_.Get()); }
  void SetFocusControl(TWinControl* value);
  // Draws the default arrows (9 x 5 triangles, black with an outline in the
  // focus control's font colour) where no glyph was given.
  void UpdateDefaultGlyphs();

  TNotifyEvent OnUpClick;
  TNotifyEvent OnDownClick;

  void SetBounds(int left, int top, int width, int height) override;
  void WndProc(TMessage& message) override;
  void Loaded() override;

 private:
  void AdjustArrows();
  void ArrowClick(TComponent* sender);
  void ArrowPress(TComponent* sender, TMouseButton button);
  void SetFocusedButton(TsTimerSpeedButton* button);
  void ShowFocusFrame(bool show);

  TsTimerSpeedButton* upButton_ = nullptr;
  TsTimerSpeedButton* downButton_ = nullptr;
  TsTimerSpeedButton* focusedButton_ = nullptr;
  std::unique_ptr<tk::TBitmap> upGlyph_;
  std::unique_ptr<tk::TBitmap> downGlyph_;
  TControlRef focusControl_;
};

}  // namespace vm
