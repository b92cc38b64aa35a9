// TsSpinEdit: a skinned field for a whole number. Only the digits can be
// typed (anything else printable is refused with a beep). The arrows, the up
// and down arrow keys and the mouse wheel step Value by Increment within
// MinValue..MaxValue (no limit when the two are equal). What is typed stays
// as typed until the focus moves to another control of the same window;
// then a number out of range is brought into it. An empty text, or one that
// is not a number, reads as MinValue and is left alone.
#pragma once

#include <cstdint>
#include <string>

#include "skin/controls/BaseSpinEdit.h"

namespace vm {

class TsSpinEdit : public TsBaseSpinEdit {
 public:
  explicit TsSpinEdit(TComponent* owner);
  std::string ClassName() const override { return "TsSpinEdit"; }

  int MinValue() const { return minValue_; }
  void SetMinValue(int v) { minValue_ = v; }
  int MaxValue() const { return maxValue_; }
  void SetMaxValue(int v) { maxValue_ = v; }
  int Increment() const { return increment_; }
  void SetIncrement(int v) { increment_ = v; }
  // The text as a number; MinValue when it is empty or not a number.
  int Value() const;
  // Writes the value, brought into the range, as the text.
  void SetValue(int v);
  // The value brought into the range (unchanged when MinValue == MaxValue).
  int CheckValue(std::int64_t v) const;

  void UpClick(TComponent* sender) override;
  void DownClick(TComponent* sender) override;
  bool IsValidChar(char32_t key) const override;

  void WndProc(TMessage& message) override;

 protected:
  void DoExit() override;

 private:
  void Step(std::int64_t steps);

  int minValue_ = 0;
  int maxValue_ = 0;
  int increment_ = 1;
  bool focusStaysInWindow_ = false;
};

}  // namespace vm
