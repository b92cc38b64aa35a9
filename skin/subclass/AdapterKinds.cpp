#include "skin/subclass/AdapterKinds.h"

#include <memory>

#include "skin/frame/CtrlAdapter.h"
#include "skin/state/CommonData.h"
#include "skin/subclass/BitBtnWnd.h"
#include "skin/subclass/BtnWnd.h"
#include "skin/subclass/CheckBoxWnd.h"
#include "skin/subclass/ComboBoxWnd.h"
#include "skin/subclass/DialogWnd.h"
#include "skin/subclass/DlgPanelWnd.h"
#include "skin/subclass/EditWnd.h"
#include "skin/subclass/GroupBoxWnd.h"
#include "skin/subclass/IconWnd.h"
#include "skin/subclass/ListViewWnd.h"
#include "skin/subclass/ScrollWnd.h"
#include "skin/subclass/SizeGripWnd.h"
#include "skin/subclass/SpinWnd.h"
#include "skin/subclass/StaticWnd.h"
#include "skin/subclass/StatusBarWnd.h"
#include "skin/subclass/SubclassKinds.h"
#include "skin/subclass/ToolBarWnd.h"
#include "skin/subclass/TransPanelWnd.h"

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

template <class T>
void RegisterAdapted(TThirdPartyKind kind) {
  RegisterAdapterSubclass(
      kind, [](HWND window, TsCommonData& data) -> std::unique_ptr<TnxAdapterSubclass> {
        return std::make_unique<TAdapted<T>>(window, data);
      });
}

}  // namespace

void RegisterAdapterSubclasses() {
  // The skinned controls' scroll bars (a memo's) come from this layer too.
  RegisterScrollWnd();
  RegisterAdapted<TnxBtnWnd>(tpButton);
  // The kinds a platform dialog's children get.
  RegisterSubclassClass<TnxBtnWnd>(nkPushButton);
  RegisterSubclassClass<TnxDialogWnd>(nkDialogFrame);

  // Text fields, lists and combo boxes: edits, memos and list boxes of the
  // ThirdEdits list, combo boxes, list views; in a platform dialog also its
  // edits, list boxes and combo box lists ("combolbox"), combo boxes
  // (also "comboboxex32") and list views. There is no platform tree control,
  // so tree views have no subclass.
  RegisterAdapted<TnxEditWnd>(tpEdit);
  RegisterAdapted<TnxComboBoxWnd>(tpComboBox);
  RegisterAdapted<TnxListViewWnd>(tpListView);
  RegisterSubclassClass<TnxEditWnd>(nkEdit);
  RegisterSubclassClass<TnxComboBoxWnd>(nkComboBox);
  RegisterSubclassClass<TnxListViewWnd>(nkListView);

  // Statics, check boxes, group boxes, panels, size grips, spin buttons,
  // tool and status bars and bitmap buttons: the dialog kinds, and the
  // class lists of the toolkit's controls of those kinds.
  RegisterSubclassClass<TnxStaticWnd>(nkStaticText);
  RegisterSubclassClass<TnxIconWnd>(nkIcon);
  RegisterSubclassClass<TnxCheckBoxWnd>(nkCheckBox);
  RegisterSubclassClass<TnxGroupBoxWnd>(nkGroupBox);
  RegisterSubclassClass<TnxSizeGripWnd>(nkSizeGrip);
  RegisterSubclassClass<TnxTransPanelWnd>(nkTransparentPanel);
  RegisterSubclassClass<TnxDlgPanelWnd>(nkDialogPanel);
  RegisterSubclassClass<TnxSpinWnd>(nkSpinButtons);
  RegisterSubclassClass<TnxToolBarWnd>(nkToolBar);
  RegisterSubclassClass<TnxStatusBarWnd>(nkStatusBar);
  RegisterSubclassClass<TnxBitBtnWnd>(nkBitBtn);
  RegisterAdapted<TnxCheckBoxWnd>(tpCheckBox);
  RegisterAdapted<TnxGroupBoxWnd>(tpGroupBox);
  RegisterAdapted<TnxDlgPanelWnd>(tpPanel);
  RegisterAdapted<TnxToolBarWnd>(tpToolBar);
  RegisterAdapted<TnxStatusBarWnd>(tpStatusBar);
  RegisterAdapted<TnxBitBtnWnd>(tpBitBtn);
}

}  // namespace vm
