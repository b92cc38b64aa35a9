// Per-window state of a feature built on the window system (today the menus
// that windows own): instead of fields in the window record and lines in its
// destruction, a feature registers once and keeps one state object per
// window, created on first use and freed with the window.
//
//   // In the feature's file: one registration for the run.
//   TWindowState<TMenuWindow>& MenuWindows() {
//     static TWindowState<TMenuWindow> state("menus", [](HWND h, TMenuWindow& m) {
//       ...  // clean-up when the window goes
//     });
//     return state;
//   }
//   ...
//   TMenuWindow* menus = MenuWindows().Get(hwnd);  // created on first use
//
// The clean-up runs for each window that has state of the feature when the
// window is destroyed: after WM_NCDESTROY, while the handle is still valid
// (so it may still kill timers or release the capture); the state is freed
// right after. Resetting the window system (SetHost) destroys every window
// (so the clean-ups run as usual) and then calls each feature's reset
// function, for state the feature keeps outside windows.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "platform/win/WinDefs.h"

namespace vm {

using TWindowFeatureId = int;

struct TWindowFeatureHooks {
  // Clean-up for one window that has state of the feature (see above).
  std::function<void(HWND)> OnDestroy;
  // Called when the window system is reset: every window is gone.
  std::function<void()> OnReset;
};

// Registers a feature and returns its id. Features live for the whole run;
// register each once (a function-local static, as above).
TWindowFeatureId RegisterWindowFeature(std::string_view name, TWindowFeatureHooks hooks = {});

// The state slot of a feature in a window; nullptr for a stale window or an unknown id.
std::shared_ptr<void>* WindowFeatureSlot(HWND hwnd, TWindowFeatureId id);

// Typed access to one feature's per-window state.
template <class T>
class TWindowState {
 public:
  using TCleanUp = std::function<void(HWND, T&)>;
  explicit TWindowState(std::string_view name, TCleanUp onDestroy = {},
                        std::function<void()> onReset = {}) {
    TWindowFeatureHooks hooks;
    hooks.OnReset = std::move(onReset);
    if (onDestroy) {
      hooks.OnDestroy = [this, clean = std::move(onDestroy)](HWND h) {
        if (T* s = Find(h)) clean(h, *s);
      };
    }
    id_ = RegisterWindowFeature(name, std::move(hooks));
  }
  TWindowState(const TWindowState&) = delete;
  TWindowState& operator=(const TWindowState&) = delete;

  // The window's state, or nullptr when it has none yet (or the window is gone).
  T* Find(HWND hwnd) const {
    std::shared_ptr<void>* slot = WindowFeatureSlot(hwnd, id_);
    return slot && *slot ? static_cast<T*>(slot->get()) : nullptr;
  }
  // The window's state, made (value-initialised) on first use; nullptr for a stale window.
  T* Get(HWND hwnd) {
    std::shared_ptr<void>* slot = WindowFeatureSlot(hwnd, id_);
    if (!slot) return nullptr;
    if (!*slot) *slot = std::make_shared<T>();
    return static_cast<T*>(slot->get());
  }
  // Frees the window's state now (no clean-up call).
  void Drop(HWND hwnd) {
    if (std::shared_ptr<void>* slot = WindowFeatureSlot(hwnd, id_)) slot->reset();
  }
  TWindowFeatureId Id() const { return id_; }

 private:
  TWindowFeatureId id_ = -1;
};

}  // namespace vm
