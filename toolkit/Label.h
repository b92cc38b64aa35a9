// TLabel: a line (or lines) of text without a window of its own.
//
// AutoSize (on by default) fits the bounds to the text whenever the caption
// or the font changes: one line as wide as the text, or, with WordWrap, the
// current width and as many lines as the text needs. An "&" before a letter
// underlines it and makes Alt+letter move the focus to FocusControl ("&&"
// is an ampersand); ShowAccelChar off shows the text as it is. Transparent
// leaves the parent's pixels behind the text; otherwise the label fills its
// bounds with Color first.
#pragma once

#include "toolkit/GraphicControl.h"

namespace vm {

class TWinControl;

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner);
  std::string ClassName() const override { return "TLabel"; }

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool v);
  TWinControl* FocusControl() const;
  void SetFocusControl(TWinControl* c);

  void WndProc(TMessage& message) override;

 protected:
  void Paint() override;
  void TextChanged() override;
  void FontChanged() override;
  // Fits the bounds to the text (when AutoSize is on).
  void AdjustBounds();
  // The DrawText flags for the current properties.
  std::uint32_t TextFlags() const;

 private:
  bool autoSize_ = true;
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool transparent_ = false;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
  TControlRef focusControl_;
};

// Whether ch is the "&" mnemonic of text (case ignored, Latin and Cyrillic).
bool IsAccel(char32_t ch, const std::string& text);

}  // namespace vm
