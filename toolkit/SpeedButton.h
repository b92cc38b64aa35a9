// TSpeedButton: a windowless button, usually on a tool bar.
//
// It never takes the focus. Flat buttons show their edge only while the
// pointer is over them (or while down). Buttons with the same non-zero
// GroupIndex on one parent work together: pressing one puts it Down and
// releases the others; AllowAllUp lets a press release the one that is down.
#pragma once

#include "toolkit/ButtonGlyph.h"
#include "toolkit/GraphicControl.h"

namespace vm {

class TSpeedButton : public TGraphicControl {
 public:
  explicit TSpeedButton(TComponent* owner);
  ~TSpeedButton() override;
  std::string ClassName() const override { return "TSpeedButton"; }

  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int v);
  bool Down() const { return down_; }
  void SetDown(bool v);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);

  tk::TBitmap* Glyph() const { return glyph_.Glyph(); }
  void SetGlyph(const tk::TBitmap* b) { glyph_.SetGlyph(b); }
  int NumGlyphs() const { return glyph_.NumGlyphs(); }
  void SetNumGlyphs(int n) { glyph_.SetNumGlyphs(n); }
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout v);
  int Margin() const { return margin_; }
  void SetMargin(int v);
  int Spacing() const { return spacing_; }
  void SetSpacing(int v);

  // The look it is drawn in now.
  TButtonState State() const { return state_; }
  bool MouseInControl() const { return mouseInControl_; }
  // How many speed buttons of the process show the pointer over them now: a
  // search for buttons that missed their leave is spared while none does.
  static int CountMouseInControl();

  void Click() override;
  void WndProc(TMessage& message) override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

  // Sets the look (a drop-down button shows down while its menu is open).
  void SetState(TButtonState s);

 private:
  // Releases the other down buttons of the group.
  void UpdateExclusive();
  void SetMouseInControl(bool v);

  bool flat_ = false;
  int groupIndex_ = 0;
  bool down_ = false;
  bool allowAllUp_ = false;
  bool transparent_ = true;
  TButtonGlyph glyph_;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  TButtonState state_ = bsUp;
  bool dragging_ = false;
  bool mouseInControl_ = false;
};

}  // namespace vm
