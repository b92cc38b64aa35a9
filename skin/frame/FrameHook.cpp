#include "skin/frame/FrameHook.h"

#include <algorithm>

#include "skin/data/SkinManager.h"
#include "skin/frame/SkinProvider.h"
#include "skin/state/SkinCommand.h"
#include "skin/state/WindowAnnouncer.h"
#include "toolkit/Form.h"

namespace vm {

std::function<void(TsSkinManager&, int, WPARAM, LPARAM)> FrameLayerWindowEvent;

namespace {

std::vector<TsSkinProvider*>& Providers() {
  static std::vector<TsSkinProvider*> list;
  return list;
}

}  // namespace

const std::vector<TsSkinProvider*>& RuntimeProviders() {
  return Providers();
}

void ForgetRuntimeProvider(TsSkinProvider* provider) {
  auto& list = Providers();
  list.erase(std::remove(list.begin(), list.end(), provider), list.end());
}

bool AttachRuntimeProvider(TsSkinManager& manager, TCustomForm* form) {
  if (!form || form->IsDestroying() || form->IsLoading()) return false;
  const std::string cls = form->ClassName();
  if (cls == "TApplication" || cls == "TQRStandardPreview") return false;
  // A form that already has a frame answers command 7.
  if (QueryControl(form, CmdQueryHandled)) return false;
  for (TsSkinProvider* p : Providers())
    if (p->FrameForm() == form) return false;
  if (!FormWantsFrame(manager, *form)) return false;
  auto* provider = Create<TsSkinProvider>(form);
  if (provider->Inactive()) {
    delete provider;
    return false;
  }
  provider->MakeSkinMenu = false;
  Providers().push_back(provider);
  return true;
}

void FreeRuntimeProviders() {
  // Each provider leaves the list as it goes.
  while (!Providers().empty()) delete Providers().back();
}

void InstallFrameLayer(TsWindowAnnouncer& announcer) {
  // Handlers other layers set before are kept and run too.
  auto activated = announcer.OnFormActivated;
  announcer.OnFormActivated = [activated](TsSkinManager& manager, TCustomForm* form) {
    AttachRuntimeProvider(manager, form);
    if (activated) activated(manager, form);
  };
  auto removed = announcer.OnHookRemoved;
  announcer.OnHookRemoved = [removed](TsSkinManager& manager) {
    FreeRuntimeProviders();
    if (removed) removed(manager);
  };
  auto other = announcer.OnWindowEvent;
  announcer.OnWindowEvent = [other](TsSkinManager& manager, int code, WPARAM w, LPARAM l) {
    if (other) other(manager, code, w, l);
    // Standard dialogs are handed on only when the rules cover them.
    if (code == HCBT_ACTIVATE && !(manager.SkinningRules() & srStdDialogs)) return;
    if (FrameLayerWindowEvent) FrameLayerWindowEvent(manager, code, w, l);
  };
}

}  // namespace vm
