#include "skin/state/WindowAnnouncer.h"

#include "skin/state/CommonData.h"
#include "skin/state/MenuPainter.h"
#include "skin/state/SkinCommand.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

namespace vm {

namespace {

LPARAM ManagerValue(TsSkinManager& m) {
  return reinterpret_cast<LPARAM>(&m);
}

bool Registered(const TComponent* c) {
  for (const TComponent* f : SkinnedForms())
    if (f == c) return true;
  return false;
}

}  // namespace

bool FormWantsFrame(const TsSkinManager& manager, const TCustomForm& form) {
  const TsSkinningRules rules = manager.SkinningRules();
  if (form.ClassName() == "TMessageForm") return (rules & srStdDialogs) != 0;
  return (rules & srStdForms) && form.Tag() != EngineTag;
}

TsWindowAnnouncer::TsWindowAnnouncer() : previous_(SkinAnnouncer()) {
  SetSkinAnnouncer(this);
}

TsWindowAnnouncer::~TsWindowAnnouncer() {
  if (hook_) UnhookWindowsHookEx(hook_);
  if (SkinAnnouncer() == this) SetSkinAnnouncer(previous_);
}

TsFrameOwner* TsWindowAnnouncer::FrameOf(TCustomForm* form) {
  if (!form) return nullptr;
  return reinterpret_cast<TsFrameOwner*>(::vm::SendCommand(form, CmdGetFormFrame));
}

void TsWindowAnnouncer::Deliver(TCustomForm* form, int command, LPARAM value) {
  TControlRef alive(form);
  TMessage m;
  m.Msg = SM_NIRVEXCMD;
  m.WParam = MakeSkinCommand(command);
  m.LParam = value;
  // A form whose window is not made yet still keeps skin state: it hears the
  // command through its own procedure.
  if (form->HandleAllocated())
    SendMessage(form->Handle(), m.Msg, m.WParam, m.LParam);
  else
    form->Perform(m.Msg, m.WParam, m.LParam);
  if (!alive || form->IsDestroying()) return;
  if (PassOn)
    PassOn(form, m);
  else
    BroadcastToControls(form, m);
  // The toolkit makes no MDI client windows, so an MDI parent has none to tell.
}

void TsWindowAnnouncer::SendCommand(TsSkinManager& manager, int command) {
  SendToForms(manager, command);
  if (OnCommandSent) OnCommandSent(manager, command);
}

void TsWindowAnnouncer::SendToForms(TsSkinManager& manager, int command) {
  const LPARAM value = ManagerValue(manager);
  if (Application) {
    for (int i = Application->ComponentCount() - 1; i >= 0; --i) {
      // Receivers may have freed components: once the index is out of the
      // list the whole sending ends, the registry included.
      if (i >= Application->ComponentCount()) return;
      auto* form = dynamic_cast<TCustomForm*>(Application->Components(i));
      if (!form || form->IsDestroying() || form->IsLoading() || form->FormStyle() == fsMDIChild)
        continue;
      if (QueryControl(form, CmdQueryHandled)) continue;
      Deliver(form, command, value);
    }
  }
  // The registry may change while forms are told; each form is checked again
  // right before it is reached.
  std::vector<std::pair<TComponent*, TControlRef>> registry;
  for (TComponent* c : SkinnedForms())
    if (auto* form = dynamic_cast<TCustomForm*>(c)) registry.emplace_back(c, TControlRef(form));
  for (auto& [component, ref] : registry) {
    auto* form = static_cast<TCustomForm*>(ref.Get());
    if (!form || !Registered(component) || form->IsDestroying()) continue;
    Deliver(form, command, value);
  }
}

std::vector<TControlRef> TsWindowAnnouncer::ManagerForms(TsSkinManager& manager) {
  std::vector<TControlRef> forms;
  for (TComponent* c : SkinnedForms()) {
    auto* form = dynamic_cast<TCustomForm*>(c);
    if (!form || form->IsDestroying() || !form->Visible() || form->Parent() ||
        form->FormStyle() == fsMDIChild || !form->HandleAllocated())
      continue;
    TsFrameOwner* frame = FrameOf(form);
    if (frame && frame->FrameManager() == &manager) forms.emplace_back(form);
  }
  return forms;
}

void TsWindowAnnouncer::SetFormsRedraw(TsSkinManager& manager, bool on) {
  for (TControlRef& ref : ManagerForms(manager))
    if (auto* form = static_cast<TCustomForm*>(ref.Get()); form && form->HandleAllocated())
      SendMessage(form->Handle(), WM_SETREDRAW, on ? 1 : 0, 0);
}

void TsWindowAnnouncer::RefreshForms(TsSkinManager& manager) {
  const TnxSkinChanging& effect = manager.AnimEffects().SkinChanging;
  for (TControlRef& ref : ManagerForms(manager)) {
    auto* form = static_cast<TCustomForm*>(ref.Get());
    if (!form) continue;
    if (effect.Active) {
      if (TsFrameOwner* frame = FrameOf(form))
        frame->PlaySkinChangeAnimation(PlatformMajorVersion < 6 ? effect.Time : 0);
    }
    if (!ref || !form->HandleAllocated()) continue;
    HWND h = form->Handle();
    SendMessage(h, WM_SETREDRAW, 1, 0);
    if (PlatformMajorVersion < 6) SetWindowRgn(h, nullptr, false);
    if (TsFrameOwner* frame = FrameOf(form)) frame->RefreshFrame();
    if (!ref || !IsWindow(h)) continue;
    RedrawWindow(h, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_NOERASE);
  }
}

LRESULT TsWindowAnnouncer::HookProc(int code, WPARAM w, LPARAM l) {
  TsSkinManager* manager = hookManager_;
  if (manager && !IsSkinSwitchingOff()) {
    try {
      HWND h = reinterpret_cast<HWND>(w);
      auto* form =
          code == HCBT_ACTIVATE ? dynamic_cast<TCustomForm*>(TWinControl::FindControl(h)) : nullptr;
      if (form) {
        if (OnFormActivated && FormWantsFrame(*manager, *form)) OnFormActivated(*manager, form);
      } else if (OnWindowEvent) {
        OnWindowEvent(*manager, code, w, l);
      }
    } catch (const std::exception&) {
      // A window that cannot be skinned keeps the platform's look.
    }
  }
  return CallNextHookEx(hook_, code, w, l);
}

void TsWindowAnnouncer::InstallHook(TsSkinManager& manager) {
  hookManager_ = &manager;
  if (hook_) return;
  hook_ = SetWindowsHookEx(WH_CBT,
                           [this](int code, WPARAM w, LPARAM l) { return HookProc(code, w, l); });
}

void TsWindowAnnouncer::RemoveHook(TsSkinManager& manager) {
  if (hook_) UnhookWindowsHookEx(hook_);
  hook_ = nullptr;
  hookManager_ = nullptr;
  if (OnHookRemoved) OnHookRemoved(manager);
}

void TsWindowAnnouncer::ResetMenuPainter(TsSkinManager& manager) {
  if (TsMenuPainter* painter = MenuPainter(&manager)) painter->ResetBorderWidth();
  if (OnResetMenuPainter) OnResetMenuPainter(manager);
}

void TsWindowAnnouncer::SkinnedPopupsChanged(TsSkinManager& manager) {
  if (TsMenuPainter* painter = MenuPainter(&manager)) painter->Rehook();
  if (OnSkinnedPopupsChanged) OnSkinnedPopupsChanged(manager);
}

}  // namespace vm
