// Accelerator tables: keys that choose menu commands without opening a menu.
//
// Virtual-key entries match on the key's virtual-key code, which the hosts
// derive from the first keyboard layout (group 0): Ctrl+O keeps choosing
// "Open" while a Russian layout types "щ" on that key.
#include <algorithm>

#include "platform/win/MenuState.h"
#include "platform/win/WindowSystem.h"

namespace vm {

namespace {

bool Down(int vk) {
  return (GetKeyState(vk) & 0x8000) != 0;
}

const std::vector<ACCEL>* Table(HACCEL h) {
  auto& all = TMenuSystem::Get().Accels;
  auto it = all.find(reinterpret_cast<std::uintptr_t>(h));
  return it == all.end() ? nullptr : &it->second;
}

bool Matches(const ACCEL& a, const MSG& m) {
  bool alt = Down(VK_MENU);
  if (a.fVirt & FVIRTKEY) {
    if (m.message != WM_KEYDOWN && m.message != WM_SYSKEYDOWN) return false;
    if (int(a.key) != int(m.wParam & 0xFF)) return false;
    return bool(a.fVirt & FSHIFT) == Down(VK_SHIFT) &&
           bool(a.fVirt & FCONTROL) == Down(VK_CONTROL) && bool(a.fVirt & FALT) == alt;
  }
  if (m.message != WM_CHAR && m.message != WM_SYSCHAR) return false;
  return WPARAM(a.key) == m.wParam && bool(a.fVirt & FALT) == (m.message == WM_SYSCHAR);
}

// Finds cmd in a menu; sends WM_INITMENU for the menu (and WM_INITMENUPOPUP
// for the sub-menu holding the item, as opening it would) and answers the
// item's state afterwards, or -1 when the menu has no such command.
UINT InitAndState(HWND hwnd, HMENU menu, UINT cmd, bool system) {
  TMenuSystem& ms = TMenuSystem::Get();
  TMenu* owner = nullptr;
  if (!FindMenuItem(ms.Find(menu), cmd, false, &owner)) return UINT(-1);
  SendMessage(hwnd, WM_INITMENU, WPARAM(reinterpret_cast<std::uintptr_t>(menu)), 0);
  if (owner && owner->Handle != menu) {
    HMENU sub = owner->Handle;
    // The sub-menu's position in the menu that holds it.
    int pos = 0;
    for (auto& [key, m] : ms.Menus)
      for (std::size_t i = 0; i < m->Items.size(); ++i)
        if (m->Items[i].SubMenu == sub) pos = int(i);
    SendMessage(hwnd, WM_INITMENUPOPUP, WPARAM(reinterpret_cast<std::uintptr_t>(sub)),
                MAKELPARAM(pos, system ? 1 : 0));
  }
  return GetMenuState(menu, cmd, MF_BYCOMMAND);
}

}  // namespace

HACCEL CreateAcceleratorTable(const ACCEL* entries, int count) {
  if (!entries || count <= 0) return nullptr;
  TMenuSystem& ms = TMenuSystem::Get();
  HACCEL h = reinterpret_cast<HACCEL>(ms.NextAccel);
  ms.NextAccel += 4;
  ms.Accels[reinterpret_cast<std::uintptr_t>(h)] = std::vector<ACCEL>(entries, entries + count);
  return h;
}

bool DestroyAcceleratorTable(HACCEL table) {
  return TMenuSystem::Get().Accels.erase(reinterpret_cast<std::uintptr_t>(table)) > 0;
}

int CopyAcceleratorTable(HACCEL table, ACCEL* out, int count) {
  const std::vector<ACCEL>* t = Table(table);
  if (!t) return 0;
  if (!out) return int(t->size());
  int n = std::min(count, int(t->size()));
  std::copy_n(t->begin(), std::max(n, 0), out);
  return std::max(n, 0);
}

int TranslateAccelerator(HWND hwnd, HACCEL table, const MSG* msg) {
  if (!msg || !IsWindow(hwnd)) return 0;
  const std::vector<ACCEL>* t = Table(table);
  if (!t) return 0;
  UINT m = msg->message;
  if (m != WM_KEYDOWN && m != WM_SYSKEYDOWN && m != WM_CHAR && m != WM_SYSCHAR) return 0;
  auto it = std::find_if(t->begin(), t->end(), [&](const ACCEL& a) { return Matches(a, *msg); });
  if (it == t->end()) return 0;
  UINT cmd = it->cmd;

  // The command's menu item is brought up to date first; a disabled item's
  // key is taken but does nothing, and nothing runs while the mouse is
  // captured or the window is disabled.
  bool blocked = GetCapture() != nullptr || !IsWindowEnabled(hwnd);
  HMENU bar = (GetWindowLongPtr(hwnd, GWL_STYLE) & WS_CHILD) ? nullptr : GetMenu(hwnd);
  HMENU sys = nullptr;
  auto sysIt = TMenuSystem::Get().SystemMenus.find(hwnd);
  if (sysIt != TMenuSystem::Get().SystemMenus.end()) sys = sysIt->second;
  UINT sysState = UINT(-1), state = UINT(-1);
  if (!blocked && sys) sysState = InitAndState(hwnd, sys, cmd, true);
  if (!blocked && sysState == UINT(-1) && bar) state = InitAndState(hwnd, bar, cmd, false);
  if (blocked || !IsWindow(hwnd)) return 1;
  if (sysState != UINT(-1)) {
    if (!(sysState & (MF_DISABLED | MF_GRAYED))) SendMessage(hwnd, WM_SYSCOMMAND, cmd, 0x00010000);
    return 1;
  }
  if (state != UINT(-1) && (IsIconic(hwnd) || (state & (MF_DISABLED | MF_GRAYED)))) return 1;
  SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(int(cmd), 1), 0);
  return 1;
}

}  // namespace vm
