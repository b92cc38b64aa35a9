#include "toolkit/Edit.h"

#include "platform/controls/Controls.h"

namespace vm {

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  width_ = 121;
  height_ = 21;
  tabStop_ = true;
  color_ = clWindow;
  parentColor_ = false;
  controlStyle_ &= ~csClickEvents;
}

void TCustomEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_EDIT);
  p.Style |= ES_AUTOHSCROLL;
  if (readOnly_) p.Style |= ES_READONLY;
  if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateHandle() {
  TWinControl::CreateHandle();
  if (HandleAllocated()) SendMessage(Handle(), EM_LIMITTEXT, WPARAM(maxLength_), 0);
}

void TCustomEdit::SetMaxLength(int v) {
  if (v < 0) v = 0;
  if (v == maxLength_) return;
  maxLength_ = v;
  if (HandleAllocated()) SendMessage(Handle(), EM_LIMITTEXT, WPARAM(v), 0);
}

void TCustomEdit::SetReadOnly(bool v) {
  if (v == readOnly_) return;
  readOnly_ = v;
  if (HandleAllocated()) SendMessage(Handle(), EM_SETREADONLY, v ? 1 : 0, 0);
}

void TCustomEdit::SetBorderStyle(TBorderStyle v) {
  if (v == borderStyle_) return;
  borderStyle_ = v;
  RecreateWnd();
}

int TCustomEdit::SelStart() const {
  if (!HandleAllocated()) return 0;
  DWORD start = 0, end = 0;
  SendMessage(const_cast<TCustomEdit*>(this)->Handle(), EM_GETSEL,
              WPARAM(reinterpret_cast<std::uintptr_t>(&start)),
              LPARAM(reinterpret_cast<std::intptr_t>(&end)));
  return int(start);
}

int TCustomEdit::SelLength() const {
  if (!HandleAllocated()) return 0;
  DWORD start = 0, end = 0;
  SendMessage(const_cast<TCustomEdit*>(this)->Handle(), EM_GETSEL,
              WPARAM(reinterpret_cast<std::uintptr_t>(&start)),
              LPARAM(reinterpret_cast<std::intptr_t>(&end)));
  return int(end) - int(start);
}

void TCustomEdit::SetSelStart(int v) {
  SendMessage(Handle(), EM_SETSEL, WPARAM(v), LPARAM(v));
}

void TCustomEdit::SetSelLength(int v) {
  int start = SelStart();
  SendMessage(Handle(), EM_SETSEL, WPARAM(start), LPARAM(start + v));
}

void TCustomEdit::SelectAll() {
  if (HandleAllocated()) SendMessage(Handle(), EM_SETSEL, 0, -1);
}

bool TCustomEdit::Modified() const {
  return HandleAllocated() &&
         SendMessage(const_cast<TCustomEdit*>(this)->Handle(), EM_GETMODIFY, 0, 0) != 0;
}

void TCustomEdit::SetModified(bool v) {
  if (HandleAllocated()) SendMessage(Handle(), EM_SETMODIFY, v ? 1 : 0, 0);
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::TextChanged() {
  TWinControl::TextChanged();
  // A multi-line edit does not announce a text set by WM_SETTEXT (no
  // EN_CHANGE), so the change the program made is announced here.
  if (HandleAllocated() && (GetWindowLongPtr(Handle(), GWL_STYLE) & ES_MULTILINE)) Change();
}

void TCustomEdit::DoEnter() {
  // Entered by Tab (not by a click, which places the caret): the whole text is chosen.
  if (autoSelect_ && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
  TWinControl::DoEnter();
}

void TCustomEdit::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    if (HIWORD(m.WParam) == EN_CHANGE) Change();
    return;
  }
  if (m.Msg == CM_TEXTCHANGED) {
    const std::uint64_t me = Serial();
    TWinControl::WndProc(m);
    // The window reports its own changes (EN_CHANGE); without one, the text
    // set in code is the change.
    if (ControlAlive(this, me) && !HandleAllocated()) Change();
    return;
  }
  TWinControl::WndProc(m);
}

void TEdit::SetNumbersOnly(bool v) {
  if (v == numbersOnly_) return;
  numbersOnly_ = v;
  if (HandleAllocated()) {
    LONG_PTR style = GetWindowLongPtr(Handle(), GWL_STYLE);
    SetWindowLongPtr(Handle(), GWL_STYLE, v ? (style | ES_NUMBER) : (style & ~LONG_PTR(ES_NUMBER)));
  }
}

void TEdit::CreateParams(TCreateParams& p) {
  TCustomEdit::CreateParams(p);
  if (numbersOnly_) p.Style |= ES_NUMBER;
}

}  // namespace vm
