#include "toolkit/Label.h"

#include "platform/base/AsciiCase.h"
#include "platform/base/Utf8.h"
#include "platform/gfx/SysColors.h"
#include "toolkit/WinControl.h"

namespace vm {

namespace {

constexpr TColor BtnHighlight = 0xFF000000u | COLOR_BTNHIGHLIGHT;
constexpr TColor BtnShadow = 0xFF000000u | COLOR_BTNSHADOW;

}  // namespace

bool IsAccel(char32_t ch, const std::string& text) {
  std::u32string t = Utf8ToUtf32(text);
  for (std::size_t i = 0; i + 1 < t.size(); ++i) {
    if (t[i] != U'&') continue;
    if (t[i + 1] == U'&') {
      ++i;
      continue;
    }
    return FoldCase(t[i + 1]) == FoldCase(ch);
  }
  return false;
}

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  width_ = 65;
  height_ = 17;
  controlStyle_ |= csReplicatable | csOpaque;
  parentColor_ = true;
}

TWinControl* TLabel::FocusControl() const {
  return static_cast<TWinControl*>(focusControl_.Get());
}

void TLabel::SetFocusControl(TWinControl* c) {
  focusControl_.Set(c);
}

void TLabel::SetAutoSize(bool v) {
  if (v == autoSize_) return;
  autoSize_ = v;
  AdjustBounds();
}

void TLabel::SetAlignment(TAlignment v) {
  if (v == alignment_) return;
  alignment_ = v;
  Invalidate();
}

void TLabel::SetLayout(TTextLayout v) {
  if (v == layout_) return;
  layout_ = v;
  Invalidate();
}

void TLabel::SetTransparent(bool v) {
  if (v == transparent_) return;
  transparent_ = v;
  if (v)
    controlStyle_ &= ~csOpaque;
  else
    controlStyle_ |= csOpaque;
  Invalidate();
}

void TLabel::SetWordWrap(bool v) {
  if (v == wordWrap_) return;
  wordWrap_ = v;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetShowAccelChar(bool v) {
  if (v == showAccelChar_) return;
  showAccelChar_ = v;
  AdjustBounds();
  Invalidate();
}

std::uint32_t TLabel::TextFlags() const {
  std::uint32_t flags = DT_EXPANDTABS;
  if (alignment_ == taCenter) flags |= DT_CENTER;
  if (alignment_ == taRightJustify) flags |= DT_RIGHT;
  if (wordWrap_) flags |= DT_WORDBREAK;
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  return flags;
}

void TLabel::TextChanged() {
  AdjustBounds();
  Invalidate();
}

void TLabel::FontChanged() {
  AdjustBounds();
  Invalidate();
}

void TLabel::AdjustBounds() {
  if (!autoSize_ || IsLoading()) return;
  TBitmap scratch;
  scratch.Reset(1, 1, TPixelFormat::pf24bit);
  TDC dc(scratch);
  dc.SelectFont(Font()->PlatformFont());
  std::string text = Caption();
  // An empty label keeps the height of one line.
  if (text.empty() || (showAccelChar_ && text == "&")) text += ' ';
  TRect r = Rect(0, 0, wordWrap_ ? width_ : 0, 0);
  dc.DrawText(text, r, TextFlags() | DT_CALCRECT);
  int left = left_;
  // A right-aligned single line keeps its right edge.
  if (!wordWrap_ && alignment_ == taRightJustify) left = left_ + width_ - r.Width();
  // Wrapped text keeps the width it is wrapped to.
  SetBounds(left, top_, wordWrap_ ? width_ : r.Width(), r.Height());
}

void TLabel::Paint() {
  tk::TCanvas* c = Canvas();
  TRect cr = ClientRect();
  if (!transparent_) {
    c->Brush().SetColor(Color());
    c->FillRect(cr);
  }
  HDC dc = PaintDC();
  dc->SelectFont(Font()->PlatformFont());
  dc->SetBkMode(TRANSPARENT);
  std::uint32_t flags = TextFlags();
  std::string text = Caption();
  TRect r = cr;
  if (layout_ != tlTop) {
    TRect calc = Rect(0, 0, cr.Width(), 0);
    dc->DrawText(text, calc, flags | DT_CALCRECT);
    int dy = layout_ == tlCenter ? (cr.Height() - calc.Height()) / 2 : cr.Height() - calc.Height();
    r = r.Offset(0, dy);
  }
  if (!Enabled()) {
    // The classic engraved look of disabled text.
    TRect lit = r.Offset(1, 1);
    dc->SetTextColor(BtnHighlight);
    dc->DrawText(text, lit, flags);
    dc->SetTextColor(BtnShadow);
    dc->DrawText(text, r, flags);
    return;
  }
  dc->SetTextColor(Font()->Color());
  dc->DrawText(text, r, flags);
}

void TLabel::WndProc(TMessage& m) {
  if (m.Msg == CM_DIALOGCHAR) {
    TWinControl* target = FocusControl();
    if (target && Enabled() && showAccelChar_ && IsAccel(char32_t(m.WParam), Caption()) &&
        target->CanFocus()) {
      target->SetFocus();
      m.Result = 1;
      return;
    }
    m.Result = 0;
    return;
  }
  TGraphicControl::WndProc(m);
}

}  // namespace vm
