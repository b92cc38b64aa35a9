#include "skin/subclass/AdapterKinds.h"

#include <memory>

#include "skin/frame/CtrlAdapter.h"
#include "skin/state/CommonData.h"
#include "skin/subclass/BtnWnd.h"
#include "skin/subclass/ComboBoxWnd.h"
#include "skin/subclass/DialogWnd.h"
#include "skin/subclass/EditWnd.h"
#include "skin/subclass/ListViewWnd.h"
#include "skin/subclass/ScrollWnd.h"
#include "skin/subclass/SubclassKinds.h"

namespace vm {

namespace {

// A subclass object as the adapter holds it.
template <class T>
class TAdapted : public TnxAdapterSubclass {
 public:
  TAdapted(HWND window, TsCommonData& data)
      : wnd_(std::make_unique<T>(window, true, data.SkinSection(), nullptr, &data)) {}
  bool Detached() const override { return wnd_->Detached(); }

 private:
  std::unique_ptr<T> wnd_;
};

}  // namespace

void RegisterAdapterSubclasses() {
  // The skinned controls' scroll bars (a memo's) come from this layer too.
  RegisterScrollWnd();
  RegisterAdapterSubclass(
      tpButton, [](HWND window, TsCommonData& data) -> std::unique_ptr<TnxAdapterSubclass> {
        return std::make_unique<TAdapted<TnxBtnWnd>>(window, data);
      });
  // The kinds a platform dialog's children get.
  RegisterSubclassClass<TnxBtnWnd>(nkPushButton);
  RegisterSubclassClass<TnxDialogWnd>(nkDialogFrame);

  // Text fields, lists and combo boxes: edits, memos and list boxes of the
  // ThirdEdits list, combo boxes, list views; in a platform dialog also its
  // edits, list boxes and combo box lists ("combolbox"), combo boxes
  // (also "comboboxex32") and list views. There is no platform tree control,
  // so tree views have no subclass.
  RegisterAdapterSubclass(
      tpEdit, [](HWND window, TsCommonData& data) -> std::unique_ptr<TnxAdapterSubclass> {
        return std::make_unique<TAdapted<TnxEditWnd>>(window, data);
      });
  RegisterAdapterSubclass(
      tpComboBox, [](HWND window, TsCommonData& data) -> std::unique_ptr<TnxAdapterSubclass> {
        return std::make_unique<TAdapted<TnxComboBoxWnd>>(window, data);
      });
  RegisterAdapterSubclass(
      tpListView, [](HWND window, TsCommonData& data) -> std::unique_ptr<TnxAdapterSubclass> {
        return std::make_unique<TAdapted<TnxListViewWnd>>(window, data);
      });
  RegisterSubclassClass<TnxEditWnd>(nkEdit);
  RegisterSubclassClass<TnxComboBoxWnd>(nkComboBox);
  RegisterSubclassClass<TnxListViewWnd>(nkListView);
}

}  // namespace vm
