// TComboBox: a drop-down list over the platform's "ComboBox" class (the list
// style: the text is always one of the items). Items is the list, ItemIndex
// the chosen line; OnChange follows a choice by the user.
#pragma once

#include <memory>

#include "toolkit/StringList.h"
#include "toolkit/WinControl.h"

namespace vm {

class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TComponent* owner);
  std::string ClassName() const override { return "TComboBox"; }

  TStringList* Items() const { return items_.get(); }
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int i);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int n) { dropDownCount_ = n < 1 ? 1 : n; }
  std::string GetText() const override;

  TNotifyEvent OnChange;
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;

 private:
  void ItemsChanged();

  std::unique_ptr<TStringList> items_ = std::make_unique<TStringList>();
  int itemIndex_ = -1;
  int dropDownCount_ = 8;
};

}  // namespace vm
