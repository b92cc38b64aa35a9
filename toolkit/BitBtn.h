// TBitBtn: a push button with a glyph beside its caption.
//
// The face is the classic push button drawn by the toolkit (the platform
// button is owner-drawn): glyph and caption placed by Layout, Margin and
// Spacing, a glyph strip of NumGlyphs pictures for up, disabled, down and hot
// (the pointer over the button), the strip's bottom-left pixel transparent.
// Kind gives a standard button its caption, modal result and Default/Cancel
// role; bkClose closes the form.
#pragma once

#include "toolkit/Button.h"
#include "toolkit/ButtonGlyph.h"

namespace vm {

enum TBitBtnKind {
  bkCustom,
  bkOK,
  bkCancel,
  bkHelp,
  bkYes,
  bkNo,
  bkClose,
  bkAbort,
  bkRetry,
  bkIgnore,
  bkAll
};

class TBitBtn : public TButton {
 public:
  explicit TBitBtn(TComponent* owner);
  std::string ClassName() const override { return "TBitBtn"; }

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
  TBitBtnKind Kind() const { return kind_; }
  void SetKind(TBitBtnKind v);
  bool MouseInControl() const { return mouseInControl_; }

  void Click() override;
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  // Paints the face for an owner-draw request of the platform button.
  virtual void DrawItem(const DRAWITEMSTRUCT& item);

 private:
  TButtonGlyph glyph_;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  TBitBtnKind kind_ = bkCustom;
  bool mouseInControl_ = false;
};

}  // namespace vm
