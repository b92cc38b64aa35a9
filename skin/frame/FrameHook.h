// The frame layer's part of the skin manager's window hook: a form of the
// program that is activated without a frame gets a run-time TsSkinProvider
// (owned by the form, without the skin chooser in its system menu), and every
// provider made this way is freed when the hook is removed, which gives each
// form its plain frame back.
//
// Other windows the hook sees (standard dialogs, pop-up menu windows) are
// none of the frame's business: they are handed on to FrameLayerWindowEvent,
// where the subclassing and menu layers plug in.
#pragma once

#include <functional>
#include <vector>

#include "platform/win/WinApi.h"

namespace vm {

class TsSkinManager;
class TsSkinProvider;
class TsWindowAnnouncer;
class TCustomForm;

// Sets the announcer's OnFormActivated and OnHookRemoved (and OnWindowEvent,
// forwarding to FrameLayerWindowEvent).
void InstallFrameLayer(TsWindowAnnouncer& announcer);

// The hook's events for windows that are not forms of the program: the
// activation of a standard dialog (when the manager's rules cover them) and
// the creation of other windows (pop-up menus). Set by the layers above.
extern std::function<void(TsSkinManager&, int code, WPARAM, LPARAM)> FrameLayerWindowEvent;

// What the hook does with an activated form (exposed for tests): true when a
// provider was made for it.
bool AttachRuntimeProvider(TsSkinManager& manager, TCustomForm* form);
// Frees every run-time provider made so far.
void FreeRuntimeProviders();
// The run-time providers alive now.
const std::vector<TsSkinProvider*>& RuntimeProviders();
// A provider going away leaves the list (TsSkinProvider's destructor).
void ForgetRuntimeProvider(TsSkinProvider* provider);

}  // namespace vm
