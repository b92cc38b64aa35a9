// Menu handles and their items: creation, editing, queries and states.
#include <algorithm>
#include <cstring>

#include "platform/base/Utf8.h"
#include "platform/win/MenuState.h"
#include "platform/win/WindowSystem.h"

namespace vm {

TWindowState<struct TMenuWindow>& MenuWindows();

TMenuSystem& TMenuSystem::Get() {
  // Registered with the window system before the first menu exists, so a
  // reset forgets every menu.
  static bool registered = (MenuWindows(), true);
  (void)registered;
  return TWindowSystem::Get().Menus;
}

struct TMenuWindow {};  // a window with a menu bar or a system menu

// A window's menu bar and system menu go with the window, as on the
// platform; resetting the window system forgets every menu.
TWindowState<TMenuWindow>& MenuWindows() {
  static TWindowState<TMenuWindow> state(
      "menus",
      [](HWND h, TMenuWindow&) {
        TMenuSystem& ms = TMenuSystem::Get();
        auto bar = ms.Bars.find(h);
        if (bar != ms.Bars.end()) {
          HMENU m = bar->second;
          ms.Bars.erase(bar);
          ms.Destroy(m);
        }
        auto sys = ms.SystemMenus.find(h);
        if (sys != ms.SystemMenus.end()) ms.Destroy(sys->second);
      },
      [] {
        TMenuSystem& ms = TMenuSystem::Get();
        ms.Menus.clear();
        ms.Accels.clear();
        ms.Bars.clear();
        ms.SystemMenus.clear();
        ms.Tracker = nullptr;
      });
  return state;
}

void TMenuSystem::Track(HWND hwnd) {
  MenuWindows().Get(hwnd);
}

TMenu* TMenuSystem::Find(HMENU h) const {
  auto it = Menus.find(reinterpret_cast<std::uintptr_t>(h));
  return it == Menus.end() ? nullptr : it->second.get();
}

HMENU TMenuSystem::New(bool popup) {
  auto m = std::make_unique<TMenu>();
  m->Handle = reinterpret_cast<HMENU>(NextMenu);
  NextMenu += 4;  // never reused within a run
  m->Popup = popup;
  HMENU h = m->Handle;
  Menus.emplace(reinterpret_cast<std::uintptr_t>(h), std::move(m));
  return h;
}

void TMenuSystem::Destroy(HMENU h) {
  TMenu* m = Find(h);
  if (!m) return;
  // Taken out first, so a menu listed as its own descendant cannot loop.
  std::vector<HMENU> subs;
  for (const TMenuItem& it : m->Items)
    if (it.SubMenu) subs.push_back(it.SubMenu);
  if (m->BarOf) {
    HWND w = m->BarOf;
    auto b = Bars.find(w);
    if (b != Bars.end() && b->second == h) Bars.erase(b);
  }
  if (m->SystemOf) {
    auto s = SystemMenus.find(m->SystemOf);
    if (s != SystemMenus.end() && s->second == h) SystemMenus.erase(s);
  }
  Menus.erase(reinterpret_cast<std::uintptr_t>(h));
  for (HMENU s : subs) Destroy(s);
}

namespace {

TMenuSystem& MS() {
  return TMenuSystem::Get();
}

bool IsSubMenuOf(HMENU root, HMENU candidate, int depth = 0) {
  if (root == candidate) return true;
  TMenu* m = MS().Find(root);
  if (!m || depth > 64) return false;
  for (const TMenuItem& it : m->Items)
    if (it.SubMenu && IsSubMenuOf(it.SubMenu, candidate, depth + 1)) return true;
  return false;
}

// The item a set of MF_ flags describes. A sub-menu that would contain its
// own parent is refused: the menu would loop forever when opened.
bool ItemFromFlags(HMENU menu, UINT flags, UINT_PTR id, std::string_view text, TMenuItem* out) {
  TMenuItem it;
  if (flags & MF_POPUP) {
    HMENU sub = reinterpret_cast<HMENU>(id);
    if (!MS().Find(sub) || IsSubMenuOf(sub, menu)) return false;
    it.SubMenu = sub;
  } else {
    it.Id = UINT(id);
  }
  if (flags & MF_SEPARATOR) {
    it.Type = MFT_SEPARATOR;
  } else if (flags & MF_OWNERDRAW) {
    it.Type = MFT_OWNERDRAW;
    // The platform passes the item data where the text would go.
    it.Data = 0;
  } else {
    it.Type = MFT_STRING;
    it.Text = std::string(text);
  }
  it.Type |= flags & (MF_MENUBREAK | MF_MENUBARBREAK | MF_RIGHTJUSTIFY);
  // MF_DEFAULT is not taken from these flags, as on the platform: the
  // default item is SetMenuDefaultItem's or MENUITEMINFO's to give.
  it.State = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE);
  *out = std::move(it);
  return true;
}

int PositionOf(TMenu* m, UINT item, bool byPosition) {
  if (byPosition) return item < m->Items.size() ? int(item) : -1;
  for (std::size_t i = 0; i < m->Items.size(); ++i)
    if (!m->Items[i].SubMenu && m->Items[i].Id == item) return int(i);
  return -1;
}

// Something changed the look of a menu: the bar it is shown in is laid out
// again and painted with the next paint (a menu filled item by item paints
// once), an open pop-up window repaints.
void Changed(TMenu* m) {
  if (!m) return;
  if (m->BarOf) MenuBarChanged(m->BarOf);
  if (m->Window) {
    HWND w = m->Window;
    LayoutPopupMenu(m, GetWindow(w, GW_OWNER));
    InvalidateRect(w, nullptr, true);
  }
}

}  // namespace

TMenuItem* FindMenuItem(TMenu* menu, UINT item, bool byPosition, TMenu** owner, int* index) {
  if (!menu) return nullptr;
  if (byPosition) {
    if (item >= menu->Items.size()) return nullptr;
    if (owner) *owner = menu;
    if (index) *index = int(item);
    return &menu->Items[item];
  }
  // By command: the menu's own items first, then depth-first through the sub-menus.
  std::vector<std::pair<TMenu*, int>> stack{{menu, 0}};
  for (int guard = 0; guard < 100000 && !stack.empty(); ++guard) {
    auto [m, i] = stack.back();
    stack.pop_back();
    for (; i < int(m->Items.size()); ++i) {
      TMenuItem& it = m->Items[std::size_t(i)];
      bool match = it.SubMenu ? UINT(reinterpret_cast<std::uintptr_t>(it.SubMenu)) == item
                              : it.Id == item && !(it.Type & MFT_SEPARATOR);
      if (match) {
        if (owner) *owner = m;
        if (index) *index = i;
        return &it;
      }
      if (it.SubMenu && stack.size() < 64)
        if (TMenu* sub = MS().Find(it.SubMenu)) {
          stack.push_back({m, i + 1});
          stack.push_back({sub, 0});
          break;
        }
    }
  }
  return nullptr;
}

std::string MenuLabel(const std::string& text) {
  std::size_t tab = text.find('\t');
  return tab == std::string::npos ? text : text.substr(0, tab);
}

std::string MenuShortcut(const std::string& text) {
  std::size_t tab = text.find('\t');
  return tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

char32_t MenuMnemonic(const std::string& text) {
  std::string label = MenuLabel(text);
  for (std::size_t i = 0; i + 1 < label.size(); ++i) {
    if (label[i] != '&') continue;
    if (label[i + 1] == '&') {
      ++i;  // "&&" is a literal ampersand
      continue;
    }
    // Decode the UTF-8 character after the ampersand.
    std::size_t at = i + 1;
    const char32_t cp = NextUtf8(label, at);
    return IsInvalidUtf8(cp) ? 0 : FoldCase(cp);
  }
  return 0;
}

// ---------------------------------------------------------------- handles

HMENU CreateMenu() {
  return MS().New(false);
}

HMENU CreatePopupMenu() {
  return MS().New(true);
}

bool DestroyMenu(HMENU menu) {
  TMenu* m = MS().Find(menu);
  if (!m) return false;
  HWND bar = m->BarOf;
  MS().Destroy(menu);
  if (bar) SetMenu(bar, nullptr);
  return true;
}

bool IsMenu(HMENU menu) {
  return MS().Find(menu) != nullptr;
}

// ---------------------------------------------------------------- editing

bool AppendMenu(HMENU menu, UINT flags, UINT_PTR idNewItem, std::string_view text) {
  TMenu* m = MS().Find(menu);
  if (!m) return false;
  return InsertMenu(menu, UINT(m->Items.size()), flags | MF_BYPOSITION, idNewItem, text);
}

bool InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, std::string_view text) {
  TMenu* m = MS().Find(menu);
  if (!m) return false;
  TMenuItem it;
  if (!ItemFromFlags(menu, flags, idNewItem, text, &it)) return false;
  std::size_t pos = m->Items.size();
  if (flags & MF_BYPOSITION) {
    pos = std::min<std::size_t>(position, m->Items.size());
  } else {
    TMenu* owner = nullptr;
    int index = -1;
    if (FindMenuItem(m, position, false, &owner, &index)) {
      // The new item goes into the menu that holds the named one.
      if (it.SubMenu && IsSubMenuOf(it.SubMenu, owner->Handle)) return false;
      m = owner;
      pos = std::size_t(index);
    }
  }
  m->Items.insert(m->Items.begin() + std::ptrdiff_t(pos), std::move(it));
  Changed(m);
  return true;
}

bool InsertMenuItem(HMENU menu, UINT item, bool byPosition, const MENUITEMINFO& info) {
  TMenu* m = MS().Find(menu);
  if (!m) return false;
  std::size_t pos = m->Items.size();
  if (byPosition) {
    pos = std::min<std::size_t>(item, m->Items.size());
  } else {
    TMenu* owner = nullptr;
    int index = -1;
    if (FindMenuItem(m, item, false, &owner, &index)) {
      m = owner;
      pos = std::size_t(index);
    }
  }
  m->Items.insert(m->Items.begin() + std::ptrdiff_t(pos), TMenuItem{});
  if (!SetMenuItemInfo(m->Handle, UINT(pos), true, info)) {
    m->Items.erase(m->Items.begin() + std::ptrdiff_t(pos));
    return false;
  }
  Changed(m);
  return true;
}

bool ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, std::string_view text) {
  TMenu* owner = nullptr;
  TMenuItem* old = FindMenuItem(MS().Find(menu), position, flags & MF_BYPOSITION, &owner);
  if (!old) return false;
  TMenuItem it;
  if (!ItemFromFlags(owner->Handle, flags, idNewItem, text, &it)) return false;
  // A sub-menu replaced by something else is destroyed, as the platform does.
  HMENU dropped = old->SubMenu != it.SubMenu ? old->SubMenu : nullptr;
  it.Data = old->Data;
  it.State |= old->State & MFS_DEFAULT;  // the default item stays the default
  *old = std::move(it);
  if (dropped) MS().Destroy(dropped);
  Changed(owner);
  return true;
}

bool RemoveMenu(HMENU menu, UINT position, UINT flags) {
  TMenu* owner = nullptr;
  int index = -1;
  if (!FindMenuItem(MS().Find(menu), position, flags & MF_BYPOSITION, &owner, &index)) return false;
  owner->Items.erase(owner->Items.begin() + index);
  Changed(owner);
  return true;
}

bool DeleteMenu(HMENU menu, UINT position, UINT flags) {
  TMenu* owner = nullptr;
  int index = -1;
  TMenuItem* it = FindMenuItem(MS().Find(menu), position, flags & MF_BYPOSITION, &owner, &index);
  if (!it) return false;
  HMENU sub = it->SubMenu;
  owner->Items.erase(owner->Items.begin() + index);
  if (sub) MS().Destroy(sub);
  Changed(owner);
  return true;
}

// ---------------------------------------------------------------- queries

int GetMenuItemCount(HMENU menu) {
  TMenu* m = MS().Find(menu);
  return m ? int(m->Items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int pos) {
  TMenu* m = MS().Find(menu);
  if (!m || pos < 0 || std::size_t(pos) >= m->Items.size()) return UINT(-1);
  const TMenuItem& it = m->Items[std::size_t(pos)];
  return it.SubMenu ? UINT(-1) : it.Id;
}

HMENU GetSubMenu(HMENU menu, int pos) {
  TMenu* m = MS().Find(menu);
  if (!m || pos < 0 || std::size_t(pos) >= m->Items.size()) return nullptr;
  return m->Items[std::size_t(pos)].SubMenu;
}

bool GetMenuItemInfo(HMENU menu, UINT item, bool byPosition, MENUITEMINFO* info) {
  TMenuItem* it = FindMenuItem(MS().Find(menu), item, byPosition);
  if (!it || !info) return false;
  if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) info->fType = it->Type;
  if (info->fMask & MIIM_STATE) info->fState = it->State;
  if (info->fMask & MIIM_ID) info->wID = it->Id;
  if (info->fMask & MIIM_SUBMENU) info->hSubMenu = it->SubMenu;
  if (info->fMask & MIIM_DATA) info->dwItemData = it->Data;
  if (info->fMask & (MIIM_STRING | MIIM_TYPE)) info->dwTypeData = it->Text;
  return true;
}

bool SetMenuItemInfo(HMENU menu, UINT item, bool byPosition, const MENUITEMINFO& info) {
  TMenu* owner = nullptr;
  TMenuItem* it = FindMenuItem(MS().Find(menu), item, byPosition, &owner);
  if (!it) return false;
  if (info.fMask & MIIM_SUBMENU) {
    if (info.hSubMenu && (!MS().Find(info.hSubMenu) || IsSubMenuOf(info.hSubMenu, owner->Handle)))
      return false;
  }
  if (info.fMask & (MIIM_TYPE | MIIM_FTYPE)) it->Type = info.fType;
  if (info.fMask & (MIIM_STRING | MIIM_TYPE)) {
    if (!(it->Type & (MFT_SEPARATOR | MFT_OWNERDRAW)) || (info.fMask & MIIM_STRING))
      it->Text = info.dwTypeData;
  }
  if (info.fMask & MIIM_STATE)
    it->State = info.fState & (MFS_GRAYED | MFS_CHECKED | MFS_HILITE | MFS_DEFAULT);
  if (info.fMask & MIIM_ID) it->Id = info.wID;
  if (info.fMask & MIIM_SUBMENU) it->SubMenu = info.hSubMenu;
  if (info.fMask & MIIM_DATA) it->Data = info.dwItemData;
  Changed(owner);
  return true;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  TMenuItem* it = FindMenuItem(MS().Find(menu), item, flags & MF_BYPOSITION);
  if (!it) return UINT(-1);
  UINT state =
      (it->State & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT)) |
      (it->Type & (MF_SEPARATOR | MF_OWNERDRAW | MF_MENUBREAK | MF_MENUBARBREAK | MF_RIGHTJUSTIFY));
  if (it->SubMenu) {
    int n = GetMenuItemCount(it->SubMenu);
    state = (UINT(std::clamp(n, 0, 255)) << 8) | (state & 0xFF) | MF_POPUP;
  }
  return state;
}

int GetMenuString(HMENU menu, UINT item, char* buffer, int maxCount, UINT flags) {
  TMenuItem* it = FindMenuItem(MS().Find(menu), item, flags & MF_BYPOSITION);
  if (!it) return 0;
  const std::string& t = it->Text;
  if (!buffer) return int(t.size());
  if (maxCount <= 0) return 0;
  std::size_t n = std::min(t.size(), std::size_t(maxCount - 1));
  if (n < t.size())
    while (n > 0 && (static_cast<unsigned char>(t[n]) & 0xC0) == 0x80) --n;
  std::memcpy(buffer, t.data(), n);
  buffer[n] = '\0';
  return int(n);
}

std::string GetMenuText(HMENU menu, UINT item, UINT flags) {
  TMenuItem* it = FindMenuItem(MS().Find(menu), item, flags & MF_BYPOSITION);
  return it ? it->Text : std::string();
}

// ---------------------------------------------------------------- states

UINT EnableMenuItem(HMENU menu, UINT item, UINT enable) {
  TMenu* owner = nullptr;
  TMenuItem* it = FindMenuItem(MS().Find(menu), item, enable & MF_BYPOSITION, &owner);
  if (!it) return UINT(-1);
  UINT old = it->State & (MF_GRAYED | MF_DISABLED);
  it->State = (it->State & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
  if (old != (it->State & (MF_GRAYED | MF_DISABLED))) Changed(owner);
  return old;
}

UINT CheckMenuItem(HMENU menu, UINT item, UINT check) {
  TMenu* owner = nullptr;
  TMenuItem* it = FindMenuItem(MS().Find(menu), item, check & MF_BYPOSITION, &owner);
  if (!it) return UINT(-1);
  UINT old = it->State & MF_CHECKED;
  it->State = (it->State & ~MF_CHECKED) | (check & MF_CHECKED);
  if (old != (it->State & MF_CHECKED)) Changed(owner);
  return old;
}

bool CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
  TMenu* m = MS().Find(menu);
  if (!m) return false;
  bool byPos = flags & MF_BYPOSITION;
  TMenu* owner = m;
  int a = -1, b = -1, c = -1;
  if (byPos) {
    a = int(first), b = int(last), c = int(check);
  } else {
    TMenu* o1 = nullptr;
    TMenu* o2 = nullptr;
    if (!FindMenuItem(m, first, false, &o1, &a) || !FindMenuItem(m, last, false, &o2, &b) ||
        o1 != o2)
      return false;
    owner = o1;
    for (int i = std::min(a, b); i <= std::max(a, b); ++i)
      if (owner->Items[std::size_t(i)].Id == check) c = i;
  }
  if (a > b) std::swap(a, b);
  if (a < 0 || b >= int(owner->Items.size()) || c < a || c > b) return false;
  for (int i = a; i <= b; ++i) {
    TMenuItem& it = owner->Items[std::size_t(i)];
    if (it.SubMenu || (it.Type & MFT_SEPARATOR)) continue;
    if (i == c) {
      it.State |= MFS_CHECKED;
      it.Type |= MFT_RADIOCHECK;
    } else {
      it.State &= ~MFS_CHECKED;
    }
  }
  Changed(owner);
  return true;
}

bool HiliteMenuItem(HWND hwnd, HMENU menu, UINT item, UINT hilite) {
  TMenu* owner = nullptr;
  TMenuItem* it = FindMenuItem(MS().Find(menu), item, hilite & MF_BYPOSITION, &owner);
  if (!it) return false;
  it->State = (it->State & ~MF_HILITE) | (hilite & MF_HILITE);
  if (owner->BarOf == hwnd) DrawMenuBar(hwnd);
  return true;
}

bool SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition) {
  TMenu* m = MS().Find(menu);
  if (!m) return false;
  int pos = item == UINT(-1) ? -1 : PositionOf(m, item, byPosition != 0);
  if (item != UINT(-1) && pos < 0) return false;
  for (std::size_t i = 0; i < m->Items.size(); ++i) {
    TMenuItem& it = m->Items[i];
    it.State = int(i) == pos ? (it.State | MFS_DEFAULT) : (it.State & ~MFS_DEFAULT);
  }
  Changed(m);
  return true;
}

UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags) {
  (void)flags;
  TMenu* m = MS().Find(menu);
  if (!m) return UINT(-1);
  for (std::size_t i = 0; i < m->Items.size(); ++i)
    if (m->Items[i].State & MFS_DEFAULT) return byPosition ? UINT(i) : m->Items[i].Id;
  return UINT(-1);
}

}  // namespace vm
