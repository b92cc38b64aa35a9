#include "skin/subclass/AdapterKinds.h"

#include <memory>

#include "skin/frame/CtrlAdapter.h"
#include "skin/state/CommonData.h"
#include "skin/subclass/BtnWnd.h"
#include "skin/subclass/DialogWnd.h"
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
}

}  // namespace vm
