#include "toolkit/ListBox.h"

#include <algorithm>

#include "platform/controls/Controls.h"

namespace vm {

TListBox::TListBox(TComponent* owner) : TWinControl(owner) {
  width_ = 121;
  height_ = 97;
  tabStop_ = true;
  color_ = clWindow;
  controlStyle_ &= ~csClickEvents;
  items_->OnChange = [this] { ItemsChanged(); };
}

void TListBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_LISTBOX);
  p.Style |= LBS_NOTIFY | LBS_HASSTRINGS | WS_VSCROLL | LBS_NOINTEGRALHEIGHT;
  if (sorted_) p.Style |= LBS_SORT;
  p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListBox::CreateHandle() {
  TWinControl::CreateHandle();
  ItemsChanged();
}

void TListBox::ItemsChanged() {
  if (sorted_) {
    std::vector<std::string> sorted = items_->Items();
    std::stable_sort(sorted.begin(), sorted.end());
    if (sorted != items_->Items()) {
      TStringList tmp;
      for (auto& s : sorted) tmp.Add(s);
      items_->Assign(tmp);  // comes back here once, sorted
      return;
    }
  }
  itemIndex_ = std::min(itemIndex_, items_->Count() - 1);
  if (!HandleAllocated()) return;
  HWND h = Handle();
  SendMessage(h, LB_RESETCONTENT, 0, 0);
  for (const std::string& s : items_->Items())
    SendMessage(h, LB_ADDSTRING, 0, LPARAM(reinterpret_cast<std::intptr_t>(s.c_str())));
  SendMessage(h, LB_SETCURSEL, WPARAM(itemIndex_), 0);
}

int TListBox::ItemIndex() const {
  return itemIndex_;
}

void TListBox::SetItemIndex(int i) {
  if (i < -1 || i >= items_->Count()) i = -1;
  itemIndex_ = i;
  if (HandleAllocated()) SendMessage(Handle(), LB_SETCURSEL, WPARAM(i), 0);
}

void TListBox::SetSorted(bool v) {
  if (v == sorted_) return;
  sorted_ = v;
  ItemsChanged();
}

void TListBox::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    switch (HIWORD(m.WParam)) {
      case LBN_SELCHANGE:
        itemIndex_ = int(SendMessage(Handle(), LB_GETCURSEL, 0, 0));
        Click();
        break;
      case LBN_DBLCLK:
        DblClick();
        break;
      default:
        break;
    }
    return;
  }
  TWinControl::WndProc(m);
}

}  // namespace vm
