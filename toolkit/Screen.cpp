#include "toolkit/Screen.h"

#include <algorithm>

#include "toolkit/Form.h"

namespace vm {

TScreen* Screen = nullptr;

TScreen::TScreen(TComponent* owner) : TComponent(owner) {
  if (!Screen) Screen = this;
}

TScreen::~TScreen() {
  if (cursor_ != crDefault) ::vm::SetCursor(CursorHandle(crDefault));
  if (Screen == this) Screen = nullptr;
}

TCustomForm* TScreen::Forms(int index) const {
  if (index < 0 || index >= int(forms_.size())) return nullptr;
  return forms_[std::size_t(index)];
}

TWinControl* TScreen::ActiveControl() const {
  return activeForm_ ? activeForm_->ActiveControl() : nullptr;
}

void TScreen::AddForm(TCustomForm* f) {
  forms_.push_back(f);
}

void TScreen::RemoveForm(TCustomForm* f) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end());
  if (activeForm_ == f) activeForm_ = nullptr;
}

void TScreen::SetActiveForm(TCustomForm* f) {
  if (f == activeForm_) return;
  TCustomForm* old = activeForm_;
  activeForm_ = f;
  if (old) {
    std::uint64_t s = f ? f->Serial() : 0;
    old->DoDeactivate();
    if (f && (!ControlAlive(f, s) || activeForm_ != f)) return;
  }
  if (f) f->DoActivate();
}

HCURSOR TScreen::CursorHandle(TCursor c) {
  int id = IDC_ARROW;
  switch (c) {
    case crCross:
      id = IDC_CROSS;
      break;
    case crIBeam:
      id = IDC_IBEAM;
      break;
    case crSizeNESW:
      id = IDC_SIZENESW;
      break;
    case crSizeNS:
      id = IDC_SIZENS;
      break;
    case crSizeNWSE:
      id = IDC_SIZENWSE;
      break;
    case crSizeWE:
      id = IDC_SIZEWE;
      break;
    case crUpArrow:
      id = IDC_UPARROW;
      break;
    case crHourGlass:
      id = IDC_WAIT;
      break;
    case crNo:
      id = IDC_NO;
      break;
    case crAppStart:
      id = IDC_APPSTARTING;
      break;
    case crHelp:
      id = IDC_HELP;
      break;
    case crHandPoint:
      id = IDC_HAND;
      break;
    case crSizeAll:
      id = IDC_SIZEALL;
      break;
    default:
      break;
  }
  return LoadCursor(nullptr, id);
}

void TScreen::SetCursor(TCursor c) {
  if (c == cursor_) return;
  cursor_ = c;
  // Shown at once, without waiting for the pointer to move.
  ::vm::SetCursor(CursorHandle(c));
}

int TScreen::Width() const {
  return GetSystemMetrics(SM_CXSCREEN);
}

int TScreen::Height() const {
  return GetSystemMetrics(SM_CYSCREEN);
}

TRect TScreen::WorkAreaRect() const {
  TRect r;
  if (!SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0)) r = Rect(0, 0, Width(), Height());
  return r;
}

}  // namespace vm
