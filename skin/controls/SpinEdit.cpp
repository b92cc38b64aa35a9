#include "skin/controls/SpinEdit.h"

#include <algorithm>

#include "platform/controls/MessageBox.h"
#include "toolkit/SysUtils.h"

namespace vm {

TsSpinEdit::TsSpinEdit(TComponent* owner) : TsBaseSpinEdit(owner) {}

int TsSpinEdit::Value() const {
  return ParseInt32(GetText()).value_or(minValue_);
}

int TsSpinEdit::CheckValue(std::int64_t v) const {
  // Stepping beyond the integers stops at their ends rather than wrapping.
  v = std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX);
  if (minValue_ == maxValue_) return int(v);
  if (v < minValue_) return minValue_;
  if (v > maxValue_) return maxValue_;
  return int(v);
}

void TsSpinEdit::SetValue(int v) {
  SetText(std::to_string(CheckValue(v)));
}

void TsSpinEdit::Step(std::int64_t steps) {
  if (ReadOnly()) {
    MessageBeep(0);
    return;
  }
  SetText(std::to_string(CheckValue(std::int64_t(Value()) + steps * increment_)));
}

void TsSpinEdit::UpClick(TComponent*) {
  if (ReadOnly()) {
    MessageBeep(0);
  } else if (OnUpClick) {
    OnUpClick(this);
  } else {
    Step(1);
  }
}

void TsSpinEdit::DownClick(TComponent*) {
  if (ReadOnly()) {
    MessageBeep(0);
  } else if (OnDownClick) {
    OnDownClick(this);
  } else {
    Step(-1);
  }
}

bool TsSpinEdit::IsValidChar(char32_t key) const {
  const bool valid = (key >= U'0' && key <= U'9') || (key < 0x20 && key != U'\r');
  if (!EditorEnabled()) return valid && key < 0x20 && key != 8;
  return valid;
}

void TsSpinEdit::WndProc(TMessage& m) {
  if (m.Msg == WM_KILLFOCUS) {
    // Where the focus goes decides whether the field is left (DoExit).
    HWND to = reinterpret_cast<HWND>(m.WParam);
    focusStaysInWindow_ =
        to && HandleAllocated() && GetAncestor(to, GA_ROOT) == GetAncestor(Handle(), GA_ROOT);
  }
  if (m.Msg == WM_MOUSEWHEEL) {
    // Whole notches only; the division truncates toward zero.
    Step(GET_WHEEL_DELTA_WPARAM(m.WParam) / WHEEL_DELTA);
    m.Result = 1;
    return;
  }
  TsBaseSpinEdit::WndProc(m);
}

void TsSpinEdit::DoExit() {
  // The field is left when the focus moves to another control of its
  // window; a window that closes, or another window taking the focus, leaves
  // the text as typed (the field keeps the focus of its own window). Only a
  // number out of range changes: an empty text reads as MinValue, which is
  // in range, so it stays empty.
  if (focusStaysInWindow_) {
    const int v = Value();
    if (CheckValue(v) != v) SetValue(v);
  }
  focusStaysInWindow_ = false;
  TsBaseSpinEdit::DoExit();
}

}  // namespace vm
