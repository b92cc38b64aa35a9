#include "toolkit/ComboBox.h"

#include <algorithm>

#include "platform/controls/Controls.h"

namespace vm {

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
  width_ = 145;
  height_ = 21;
  tabStop_ = true;
  color_ = clWindow;
  controlStyle_ &= ~csClickEvents;
  items_->OnChange = [this] { ItemsChanged(); };
}

void TComboBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_COMBOBOX);
  p.Style |= CBS_DROPDOWNLIST | WS_VSCROLL;
  // The window's height includes the list when it drops down.
  p.Height = height_ + dropDownCount_ * 16;
}

void TComboBox::CreateHandle() {
  TWinControl::CreateHandle();
  ItemsChanged();
}

void TComboBox::ItemsChanged() {
  itemIndex_ = std::min(itemIndex_, items_->Count() - 1);
  if (!HandleAllocated()) return;
  HWND h = Handle();
  SendMessage(h, CB_RESETCONTENT, 0, 0);
  for (const std::string& s : items_->Items())
    SendMessage(h, CB_ADDSTRING, 0, LPARAM(reinterpret_cast<std::intptr_t>(s.c_str())));
  SendMessage(h, CB_SETCURSEL, WPARAM(itemIndex_), 0);
}

void TComboBox::SetItemIndex(int i) {
  if (i < -1 || i >= items_->Count()) i = -1;
  itemIndex_ = i;
  if (HandleAllocated()) SendMessage(Handle(), CB_SETCURSEL, WPARAM(i), 0);
}

std::string TComboBox::GetText() const {
  return itemIndex_ >= 0 ? items_->Strings(itemIndex_) : std::string();
}

void TComboBox::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    if (HIWORD(m.WParam) == CBN_SELCHANGE) {
      itemIndex_ = int(SendMessage(Handle(), CB_GETCURSEL, 0, 0));
      if (OnChange) OnChange(this);
    }
    return;
  }
  TWinControl::WndProc(m);
}

}  // namespace vm
