#include "skin/subclass/HotWindow.h"

#include <unordered_map>

#include "skin/data/SkinManager.h"
#include "skin/state/SkinCommand.h"

namespace vm {

namespace {

// One hot window per manager; a freed manager's entry goes with it, so a new
// manager at the same address starts with none.
class THotWindows : public TComponent {
 public:
  // Keyed by the manager's component part: the notification of a manager
  // being freed comes when only that part is left.
  std::unordered_map<const TComponent*, HWND> Windows;

  HWND Get(const TsSkinManager* m) const {
    auto it = Windows.find(static_cast<const TComponent*>(m));
    return it == Windows.end() ? nullptr : it->second;
  }
  void Put(TsSkinManager* m, HWND h) {
    auto [it, added] = Windows.emplace(static_cast<const TComponent*>(m), h);
    if (added)
      FreeNotification(m);
    else
      it->second = h;
  }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove) Windows.erase(component);
  }
};

THotWindows& Records() {
  // Never freed: managers may still be alive when static objects go.
  static THotWindows* records = new THotWindows;
  return *records;
}

}  // namespace

HWND HotWindow(const TsSkinManager* manager) {
  return manager ? Records().Get(manager) : nullptr;
}

void SetHotWindow(TsSkinManager* manager, HWND window) {
  if (!manager) return;
  const HWND previous = Records().Get(manager);
  if (previous == window) return;
  Records().Put(manager, window);
  // The previous window may be gone: the send to a stale handle does nothing.
  if (previous) SendCommandToWindow(previous, CmdMouseLeave);
  if (window) SendCommandToWindow(window, CmdMouseEnter);
}

}  // namespace vm
