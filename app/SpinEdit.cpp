#include "app/SpinEdit.h"

#include <algorithm>
#include <charconv>

#include "platform/controls/MessageBox.h"
#include "platform/base/Exceptions.h"

namespace vm::app {

std::optional<std::int32_t> ParseInt32(const std::string& text) {
  std::size_t b = text.find_first_not_of(" \t");
  if (b == std::string::npos) return std::nullopt;
  std::size_t e = text.find_last_not_of(" \t") + 1;
  const char* first = text.data() + b;
  const char* last = text.data() + e;
  if (*first == '+') ++first;  // from_chars takes a minus sign only
  std::int32_t v = 0;
  auto [end, ec] = std::from_chars(first, last, v, 10);
  if (ec != std::errc() || end != last || first == last) return std::nullopt;
  return v;
}

std::int32_t StrToInt(const std::string& text) {
  if (auto v = ParseInt32(text)) return *v;
  throw EConvertError("«" + text + "» не является целым числом");
}

TSpinEdit::TSpinEdit(TComponent* owner) : TEdit(owner) {
  SetNumbersOnly(true);
}

void TSpinEdit::SetMinValue(int v) {
  minValue_ = v;
  ArrowsRange();
}

void TSpinEdit::SetMaxValue(int v) {
  maxValue_ = v;
  ArrowsRange();
}

void TSpinEdit::SetIncrement(int v) {
  increment_ = v;
  if (arrows_) arrows_->SetIncrement(v);
}

void TSpinEdit::ArrowsRange() {
  if (!arrows_) return;
  // Without a range of its own the field counts without limit.
  const bool open = minValue_ == maxValue_;
  arrows_->SetMin(open ? INT32_MIN : std::min(minValue_, maxValue_));
  arrows_->SetMax(open ? INT32_MAX : std::max(minValue_, maxValue_));
}

void TSpinEdit::SetParent(TWinControl* parent) {
  TEdit::SetParent(parent);
  if (!parent) {
    if (arrows_) arrows_->SetParent(nullptr);
    return;
  }
  if (!arrows_) {
    // The arrows take the right end of the field's bounds; the keys are the
    // field's own, which steps from what is typed.
    arrows_ = Create<TUpDown>(Owner() ? Owner() : parent);
    FreeNotification(arrows_);
    arrows_->SetThousands(false);
    arrows_->SetArrowKeys(false);
    arrows_->SetIncrement(increment_);
    ArrowsRange();
    arrows_->SetPosition(Value());
    arrows_->SetBounds(Left() + Width() - 17, Top(), 17, Height());
  }
  // The associate shows the arrows' position; the text stays as it was.
  const std::string text = GetText();
  arrows_->SetParent(parent);
  arrows_->SetAssociate(this);
  if (GetText() != text) SetText(text);
}

void TSpinEdit::Notification(TComponent* component, TOperation operation) {
  TEdit::Notification(component, operation);
  if (operation == TOperation::opRemove && component == arrows_) arrows_ = nullptr;
}

int TSpinEdit::Value() const {
  return ParseInt32(GetText()).value_or(minValue_);
}

int TSpinEdit::CheckValue(int v) const {
  if (minValue_ == maxValue_) return v;
  return std::clamp(v, minValue_, std::max(minValue_, maxValue_));
}

void TSpinEdit::SetValue(int v) {
  SetText(std::to_string(CheckValue(v)));
}

void TSpinEdit::Step(std::int64_t steps) {
  if (ReadOnly()) {
    MessageBeep(0);
    return;
  }
  std::int64_t v = std::int64_t(Value()) + steps * increment_;
  v = std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX);
  SetValue(int(v));
  SelectAll();
}

void TSpinEdit::WndProc(TMessage& message) {
  if (message.Msg == WM_KILLFOCUS) {
    // Where the focus goes decides whether the field is left (DoExit).
    HWND to = reinterpret_cast<HWND>(message.WParam);
    focusStaysInWindow_ =
        to && HandleAllocated() && GetAncestor(to, GA_ROOT) == GetAncestor(Handle(), GA_ROOT);
  }
  if (message.Msg == WM_MOUSEWHEEL) {
    // Whole notches only; the division truncates toward zero.
    Step(GET_WHEEL_DELTA_WPARAM(message.WParam) / WHEEL_DELTA);
    message.Result = 0;
    return;
  }
  TEdit::WndProc(message);
}

bool TSpinEdit::DoKeyDown(int& key, TShiftState shift) {
  if (TEdit::DoKeyDown(key, shift)) return true;
  if (key == VK_UP) Step(1);
  if (key == VK_DOWN) Step(-1);
  return false;
}

bool TSpinEdit::DoKeyPress(char32_t& key) {
  if (TEdit::DoKeyPress(key)) return true;
  const bool digit = key >= '0' && key <= '9';
  const bool control = key < 0x20 && key != '\r';
  if (digit || control) return false;
  MessageBeep(0);
  key = 0;
  return true;
}

void TSpinEdit::DoExit() {
  // The field is left when the focus moves to another control of its
  // window. A window that closes, or another window taking the focus, leaves
  // the text as typed: the field still has the focus of its own window.
  // Only a number out of range changes: an empty text reads as MinValue,
  // which is in range, so it stays empty.
  if (focusStaysInWindow_) {
    const int v = Value();
    if (CheckValue(v) != v) SetValue(v);
  }
  focusStaysInWindow_ = false;
  TEdit::DoExit();
}

}  // namespace vm::app
