// TsWindowAnnouncer: the window side of the skin manager. The manager (in
// skin/data, which knows no windows) calls it at each step of a skin change;
// it delivers the skin commands to the program's forms and their controls,
// switches the redrawing of the skinned forms off and on, redraws them at the
// end and keeps the thread hook that gives activated forms their frames.
//
// Sending a command walks the application's components from the last to the
// first, then the registry of skinned forms, so a form that is in the
// registry but does not answer command 7 hears a command twice.
//
// The frame and subclassing layers plug in through the public handlers: what
// the hook does with an activated form or another window, how a form passes a
// command on to its controls, and the reset of the menu painter.
#pragma once

#include <functional>

#include "platform/win/WinApi.h"
#include "skin/data/SkinManager.h"
#include "toolkit/Control.h"
#include "toolkit/Messages.h"

namespace vm {

class TCustomForm;
class TsFrameOwner;

// Whether the manager's rules give an activated form a frame: a message form
// under the standard-dialogs rule, any other form under the standard-forms
// rule unless it is one of the engine's own (EngineTag).
bool FormWantsFrame(const TsSkinManager& manager, const TCustomForm& form);

class TsWindowAnnouncer : public TsSkinAnnouncer {
 public:
  // Becomes the process's announcer (SetSkinAnnouncer); leaves when destroyed.
  TsWindowAnnouncer();
  ~TsWindowAnnouncer() override;
  TsWindowAnnouncer(const TsWindowAnnouncer&) = delete;
  TsWindowAnnouncer& operator=(const TsWindowAnnouncer&) = delete;

  void SendCommand(TsSkinManager& manager, int command) override;
  void SetFormsRedraw(TsSkinManager& manager, bool on) override;
  void RefreshForms(TsSkinManager& manager) override;
  void InstallHook(TsSkinManager& manager) override;
  void RemoveHook(TsSkinManager& manager) override;
  void ResetMenuPainter(TsSkinManager& manager) override;
  void SkinnedPopupsChanged(TsSkinManager& manager) override;

  bool HookInstalled() const { return hook_ != nullptr; }

  // The hook saw a form of the program activated: a message form while the
  // manager's rules cover standard dialogs, any other form not marked with
  // Tag -98 while they cover standard forms.
  std::function<void(TsSkinManager&, TCustomForm*)> OnFormActivated;
  // Every other hook event (dialog and pop-up menu windows): code, wParam, lParam.
  std::function<void(TsSkinManager&, int, WPARAM, LPARAM)> OnWindowEvent;
  // A command has been sent to the forms: windows that keep skin state
  // outside the forms (the platform dialogs the hook handed on) hear it here.
  std::function<void(TsSkinManager&, int command)> OnCommandSent;
  // The hook was removed: the handlers free what they keep for windows.
  std::function<void(TsSkinManager&)> OnHookRemoved;
  // Passes a command the form got on to its controls; without a handler the
  // controls are walked (BroadcastToControls).
  std::function<void(TCustomForm*, TMessage&)> PassOn;
  // Resets the cached border width of the menu painter; the manager's
  // registered painter (MenuPainter.h) is reset as well.
  std::function<void(TsSkinManager&)> OnResetMenuPainter;
  // The manager's SkinnedPopups changed.
  std::function<void(TsSkinManager&)> OnSkinnedPopupsChanged;

  // The major version of the window system: from 6 on the skin-change
  // animation runs with time 0 and window regions are kept.
  int PlatformMajorVersion = 6;

  // The frame of a form (its answer to command 4), or nullptr.
  static TsFrameOwner* FrameOf(TCustomForm* form);

 private:
  void Deliver(TCustomForm* form, int command, LPARAM value);
  // The forms of the application, then the registry of skinned forms.
  void SendToForms(TsSkinManager& manager, int command);
  // Registered, visible, parentless, not MDI-child forms whose frame uses the manager.
  std::vector<TControlRef> ManagerForms(TsSkinManager& manager);
  LRESULT HookProc(int code, WPARAM w, LPARAM l);

  HHOOK hook_ = nullptr;
  TsSkinManager* hookManager_ = nullptr;
  TsSkinAnnouncer* previous_ = nullptr;
};

}  // namespace vm
