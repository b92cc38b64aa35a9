// TListBox: a list of texts over the platform's "ListBox" class. Items is
// the list; ItemIndex the selected line (-1: none). OnClick follows a change
// of the selection by the user, OnDblClick a double click on a line.
#pragma once

#include <memory>

#include "toolkit/StringList.h"
#include "toolkit/WinControl.h"

namespace vm {

class TListBox : public TWinControl {
 public:
  explicit TListBox(TComponent* owner);
  std::string ClassName() const override { return "TListBox"; }

  TStringList* Items() const { return items_.get(); }
  int ItemIndex() const;
  void SetItemIndex(int i);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool v);

  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;

 private:
  void ItemsChanged();

  std::unique_ptr<TStringList> items_ = std::make_unique<TStringList>();
  int itemIndex_ = -1;
  bool sorted_ = false;
};

}  // namespace vm
