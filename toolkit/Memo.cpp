#include "toolkit/Memo.h"

#include "platform/controls/Controls.h"

namespace vm {

TMemo::TMemo(TComponent* owner) : TCustomEdit(owner) {
  width_ = 185;
  height_ = 89;
  autoSelect_ = false;
  lines_->OnChange = [this] { LinesChanged(); };
}

void TMemo::CreateParams(TCreateParams& p) {
  TCustomEdit::CreateParams(p);
  p.Style &= ~DWORD(ES_AUTOHSCROLL);
  p.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
  if (!wordWrap_) p.Style |= ES_AUTOHSCROLL;
  if (wantReturns_) p.Style |= ES_WANTRETURN;
  if (alignment_ == taCenter) p.Style |= ES_CENTER;
  if (alignment_ == taRightJustify) p.Style |= ES_RIGHT;
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) p.Style |= WS_VSCROLL;
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) p.Style |= WS_HSCROLL;
  // The text lives in Lines while there is no window.
  p.Caption = lines_->Text();
  if (p.Caption.size() >= 2) p.Caption.resize(p.Caption.size() - 2);
}

void TMemo::CreateHandle() {
  TCustomEdit::CreateHandle();
}

void TMemo::LinesChanged() {
  if (syncing_) return;
  std::string text = lines_->Text();
  // No line break after the last line.
  if (text.size() >= 2) text.resize(text.size() - 2);
  syncing_ = true;
  try {
    SetText(text);
  } catch (...) {
    syncing_ = false;
    throw;
  }
  syncing_ = false;
}

void TMemo::Change() {
  if (!syncing_) {
    syncing_ = true;
    try {
      lines_->SetText(GetText());
    } catch (...) {
      syncing_ = false;
      throw;
    }
    syncing_ = false;
  }
  TCustomEdit::Change();
}

void TMemo::SetAlignment(TAlignment v) {
  if (v == alignment_) return;
  alignment_ = v;
  RecreateWnd();
}

void TMemo::SetScrollBars(TScrollStyle v) {
  if (v == scrollBars_) return;
  scrollBars_ = v;
  RecreateWnd();
}

void TMemo::SetWordWrap(bool v) {
  if (v == wordWrap_) return;
  wordWrap_ = v;
  RecreateWnd();
}

void TMemo::SetWantReturns(bool v) {
  if (v == wantReturns_) return;
  wantReturns_ = v;
  RecreateWnd();
}

}  // namespace vm
