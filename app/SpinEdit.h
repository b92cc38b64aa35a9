// TSpinEdit: a single-line field for a whole number within a range.
//
// Only the digits 0 to 9 can be typed (anything else is refused with a
// beep). The text is brought into MinValue..MaxValue only when the focus
// moves from the field to another control of its window, so what is typed
// stays as typed until then (also while the window is closed); an empty
// text, or one too long to be a number, is left alone. The up and down
// arrow keys, the mouse wheel and a pair of arrow buttons at the field's
// right edge (a TUpDown on the same parent, made when the field is put on
// it) step the value by Increment. With MinValue equal to MaxValue nothing is
// clamped.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "toolkit/Edit.h"
#include "toolkit/UpDown.h"

namespace vm::app {

class TSpinEdit : public TEdit {
 public:
  explicit TSpinEdit(TComponent* owner);
  std::string ClassName() const override { return "TSpinEdit"; }

  int MinValue() const { return minValue_; }
  void SetMinValue(int v);
  int MaxValue() const { return maxValue_; }
  void SetMaxValue(int v);
  int Increment() const { return increment_; }
  void SetIncrement(int v);
  // The arrow buttons (nullptr until the field has a parent).
  TUpDown* Arrows() const { return arrows_; }
  // The text as a number; MinValue when it is empty or not a number.
  int Value() const;
  // Writes the value, clamped, as the text.
  void SetValue(int v);
  // The value brought into the range (unchanged when MinValue == MaxValue).
  int CheckValue(int v) const;

  void SetParent(TWinControl* parent) override;
  void WndProc(TMessage& message) override;

 protected:
  bool DoKeyDown(int& key, TShiftState shift) override;
  bool DoKeyPress(char32_t& key) override;
  void DoExit() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void Step(std::int64_t steps);
  void ArrowsRange();

  int minValue_ = 0;
  int maxValue_ = 0;
  int increment_ = 1;
  TUpDown* arrows_ = nullptr;
  bool focusStaysInWindow_ = false;
};

// A decimal whole number that fits a signed 32-bit integer (surrounding
// blanks allowed), or nothing.
std::optional<std::int32_t> ParseInt32(const std::string& text);

// As ParseInt32, but a text that is not such a number raises EConvertError
// with a message that quotes it.
std::int32_t StrToInt(const std::string& text);

}  // namespace vm::app
