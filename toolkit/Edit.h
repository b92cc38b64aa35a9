// TEdit: a one-line text field over the platform's "Edit" class.
//
// MaxLength limits what can be typed (0: no limit), ReadOnly shows the text
// without letting it change, NumbersOnly accepts only the digits 0 to 9 as
// typed characters, AutoSelect selects the whole text when the field is
// entered by the keyboard. OnChange follows every change of the text, typed
// or set.
#pragma once

#include "toolkit/Form.h"
#include "toolkit/WinControl.h"

namespace vm {

class TCustomEdit : public TWinControl {
 public:
  explicit TCustomEdit(TComponent* owner);
  std::string ClassName() const override { return "TCustomEdit"; }

  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle v);

  int SelStart() const;
  void SetSelStart(int v);
  int SelLength() const;
  void SetSelLength(int v);
  void SelectAll();
  void Clear() { SetText(""); }
  bool Modified() const;
  void SetModified(bool v);

  TNotifyEvent OnChange;
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  virtual void Change();
  void DoEnter() override;
  void TextChanged() override;

  int maxLength_ = 0;
  bool readOnly_ = false;
  TBorderStyle borderStyle_ = bsSingle;
  bool autoSelect_ = true;
};

class TEdit : public TCustomEdit {
 public:
  explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
  std::string ClassName() const override { return "TEdit"; }

  bool NumbersOnly() const { return numbersOnly_; }
  void SetNumbersOnly(bool v);
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool v) { autoSelect_ = v; }

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  bool numbersOnly_ = false;
};

}  // namespace vm
