// The menu loop (see MenuTracker.h), TrackPopupMenu, the system menu and the
// menu bar's entry points.
#include <algorithm>

#include "platform/win/MenuTracker.h"
#include "platform/win/WindowSystem.h"

namespace vm {

namespace {

TMenuSystem& MS() {
  return TMenuSystem::Get();
}

constexpr UINT_PTR HoverTimer = 0xFFF7;
constexpr const char* MenuClass = "#32768";

bool Selectable(const TMenuItem& it) {
  return !(it.Type & MFT_SEPARATOR);
}

bool Enabled(const TMenuItem& it) {
  return !(it.State & MF_GRAYED) && !(it.State & MF_DISABLED);
}

}  // namespace

// One run of the loop. Its state lives in a TMenuTracker that the painting
// code can see (the pressed bar item, the keyboard cues).
struct TMenuLoop {
  TMenuTracker& T;
  bool PopupCall;  // TrackPopupMenu rather than the bar

  explicit TMenuLoop(TMenuTracker& t, bool popupCall) : T(t), PopupCall(popupCall) {}

  bool Notify() const { return !(T.Flags & TPM_NONOTIFY); }
  HWND Owner() const { return T.Owner; }

  TMenu* LevelMenu(std::size_t i) const {
    return i < T.Levels.size() ? MS().Find(T.Levels[i].Menu) : nullptr;
  }

  // ---- starting and ending ----

  void Enter(HMENU initMenu) {
    MS().Tracker = &T;
    SendMessage(Owner(), WM_ENTERMENULOOP, PopupCall ? 1 : 0, 0);
    if (IsWindow(Owner()) && Notify())
      SendMessage(Owner(), WM_INITMENU, WPARAM(reinterpret_cast<std::uintptr_t>(initMenu)), 0);
    T.CaptureWnd = Owner();
    SetCapture(Owner());
    if (THost* h = GetHost()) T.OpenedAt = h->Now();
  }

  void Leave() {
    CloseLevelsFrom(0);
    SelectTop(-1);
    if (IsWindow(Owner())) SendMessage(Owner(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    if (GetCapture() == T.CaptureWnd) ReleaseCapture();
    if (IsWindow(Owner())) SendMessage(Owner(), WM_EXITMENULOOP, PopupCall ? 1 : 0, 0);
    if (MS().Tracker == &T) MS().Tracker = nullptr;
    if (T.Bar && IsWindow(Owner())) DrawMenuBar(Owner());
  }

  // ---- selection ----

  void MenuSelect(HMENU menu, int index, bool system, bool mouse) {
    TMenu* m = MS().Find(menu);
    if (!m || !IsWindow(Owner())) return;
    if (index < 0 || std::size_t(index) >= m->Items.size()) {
      SendMessage(Owner(), WM_MENUSELECT, MAKEWPARAM(0xFFFF, system ? MF_SYSMENU : 0),
                  LPARAM(reinterpret_cast<std::uintptr_t>(menu)));
      return;
    }
    const TMenuItem& it = m->Items[std::size_t(index)];
    UINT flags = (it.State & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT)) |
                 (it.Type & (MF_SEPARATOR | MF_OWNERDRAW));
    if (it.SubMenu) flags |= MF_POPUP;
    if (system) flags |= MF_SYSMENU;
    if (mouse) flags |= MF_MOUSESELECT;
    UINT id = it.SubMenu ? UINT(index) : it.Id;
    SendMessage(Owner(), WM_MENUSELECT, MAKEWPARAM(int(id & 0xFFFF), int(flags)),
                LPARAM(reinterpret_cast<std::uintptr_t>(menu)));
  }

  void SelectItem(std::size_t level, int index, bool mouse) {
    TMenu* m = LevelMenu(level);
    if (!m) return;
    if (index >= int(m->Items.size())) index = -1;
    TMenuTracker::TLevel& lv = T.Levels[level];
    if (lv.Sel == index) return;
    if (lv.Sel >= 0 && std::size_t(lv.Sel) < m->Items.size())
      m->Items[std::size_t(lv.Sel)].State &= ~MFS_HILITE;
    lv.Sel = index;
    if (index >= 0) m->Items[std::size_t(index)].State |= MFS_HILITE;
    if (lv.Window) InvalidateRect(lv.Window, nullptr, true);
    if (index >= 0) MenuSelect(lv.Menu, index, lv.System, mouse);
  }

  void SelectTop(int top) {
    if (!T.BarMode || top == T.TopSel) return;
    TMenu* bar = MS().Find(T.Bar);
    auto hilite = [&](int t, bool on) {
      if (t < 0 || std::size_t(t) >= T.Tops.size() || !bar) return;
      int bi = T.Tops[std::size_t(t)].BarIndex;
      if (bi < 0 || std::size_t(bi) >= bar->Items.size()) return;
      if (on)
        bar->Items[std::size_t(bi)].State |= MFS_HILITE;
      else
        bar->Items[std::size_t(bi)].State &= ~MFS_HILITE;
    };
    hilite(T.TopSel, false);
    T.TopSel = top;
    hilite(T.TopSel, true);
    if (T.Bar && IsWindow(Owner())) DrawMenuBar(Owner());
    if (top >= 0) {
      const TMenuTracker::TTop& t = T.Tops[std::size_t(top)];
      if (t.System)
        MenuSelect(t.Menu, -1, true, false);
      else
        MenuSelect(T.Bar, t.BarIndex, false, false);
    }
  }

  // ---- opening and closing pop-up windows ----

  TRect Place(TSize size, TPoint at, UINT flags, const TRect* exclude, const TRect* flipFrom) {
    TRect screen = Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    int x = at.X, y = at.Y;
    if (flags & TPM_CENTERALIGN)
      x -= size.cx / 2;
    else if (flags & TPM_RIGHTALIGN)
      x -= size.cx;
    if (flags & TPM_VCENTERALIGN)
      y -= size.cy / 2;
    else if (flags & TPM_BOTTOMALIGN)
      y -= size.cy;
    if (flipFrom) {
      // A sub-menu that does not fit on the right opens on the parent's left.
      if (x + size.cx > screen.Right) x = flipFrom->Left - size.cx + 3;
    } else if (x + size.cx > screen.Right) {
      x = std::max(at.X - size.cx, screen.Right - size.cx);
      if (exclude && exclude->Width() > 0) x = screen.Right - size.cx;
    }
    if (y + size.cy > screen.Bottom) {
      // Above the anchor when there is room, else as low as fits.
      int above = exclude && !exclude->IsEmpty() ? exclude->Top - size.cy : at.Y - size.cy;
      y = above >= screen.Top ? above : screen.Bottom - size.cy;
    }
    x = std::max(x, screen.Left);
    y = std::max(y, screen.Top);
    TRect r = Bounds(x, y, size.cx, size.cy);
    if (exclude && !exclude->IsEmpty() && !flipFrom && !r.Intersect(*exclude).IsEmpty()) {
      if (flags & TPM_VERTICAL)
        r = r.Offset(0, (exclude->Bottom + size.cy <= screen.Bottom ? exclude->Bottom
                                                                    : exclude->Top - size.cy) -
                            r.Top);
      else
        r = r.Offset(
            (exclude->Right + size.cx <= screen.Right ? exclude->Right : exclude->Left - size.cx) -
                r.Left,
            0);
    }
    return r;
  }

  // Opens a pop-up menu window; false when it could not be shown.
  bool Open(HMENU menu, int parentIndex, bool system, TPoint at, UINT flags, const TRect* exclude,
            const TRect* flipFrom) {
    TMenu* m = MS().Find(menu);
    if (!m || m->Window) return false;
    if (Notify() && IsWindow(Owner()))
      SendMessage(Owner(), WM_INITMENUPOPUP, WPARAM(reinterpret_cast<std::uintptr_t>(menu)),
                  MAKELPARAM(std::max(parentIndex, 0), system ? 1 : 0));
    if (!(m = MS().Find(menu)) || !IsWindow(Owner()) || T.Done) return false;
    if (m->Items.empty()) return false;
    for (TMenuItem& it : m->Items) it.State &= ~MFS_HILITE;
    LayoutPopupMenu(m, Owner());
    int frame = 2 * GetSystemMetrics(SM_CXDLGFRAME);
    TSize size{m->Size.cx + frame, m->Size.cy + frame};
    TRect r = Place(size, at, flags, exclude, flipFrom);
    HWND w = CreateWindowEx(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_TOPMOST, MenuClass, "",
                            WS_POPUP | WS_BORDER | WS_CLIPSIBLINGS, r.Left, r.Top, r.Width(),
                            r.Height(), Owner(), 0, menu);
    if (!w) return false;
    if (!(m = MS().Find(menu))) {
      DestroyWindow(w);
      return false;
    }
    m->Window = w;
    T.Levels.push_back({menu, w, -1, system});
    SetWindowPos(w, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(w);
    return true;
  }

  void CloseLevelsFrom(std::size_t k) {
    T.HoverLevel = -1;
    while (T.Levels.size() > k) {
      TMenuTracker::TLevel lv = T.Levels.back();
      T.Levels.pop_back();
      if (TMenu* m = MS().Find(lv.Menu)) {
        for (TMenuItem& it : m->Items) it.State &= ~MFS_HILITE;
        m->Window = nullptr;
      }
      if (lv.Window) DestroyWindow(lv.Window);
      if (Notify() && IsWindow(Owner()))
        SendMessage(Owner(), WM_UNINITMENUPOPUP, WPARAM(reinterpret_cast<std::uintptr_t>(lv.Menu)),
                    lv.System ? LPARAM(MF_SYSMENU) << 16 : 0);
    }
    if (T.BarMode && T.Bar && IsWindow(Owner())) DrawMenuBar(Owner());  // the pressed look
  }

  // Opens the sub-menu of the selected item of a level, beside it.
  bool OpenSub(std::size_t level, bool selectFirst) {
    TMenu* m = LevelMenu(level);
    if (!m) return false;
    int sel = T.Levels[level].Sel;
    if (sel < 0 || std::size_t(sel) >= m->Items.size()) return false;
    const TMenuItem& it = m->Items[std::size_t(sel)];
    if (!it.SubMenu || !Enabled(it)) return false;
    if (T.Levels.size() > level + 1 && T.Levels[level + 1].Menu == it.SubMenu) {
      if (selectFirst) SelectNext(level + 1, +1);
      return true;
    }
    CloseLevelsFrom(level + 1);
    TRect wr;
    GetWindowRect(T.Levels[level].Window, &wr);
    TPoint p{it.Rect.Right, it.Rect.Top};
    ClientToScreen(T.Levels[level].Window, &p);
    int frame = GetSystemMetrics(SM_CXDLGFRAME);
    TPoint at{wr.Right - frame, p.Y - frame};
    bool system = T.Levels[level].System;
    if (!Open(it.SubMenu, sel, system, at, 0, nullptr, &wr)) return false;
    if (selectFirst) SelectNext(T.Levels.size() - 1, +1);
    return true;
  }

  // Opens the drop-down of the selected bar entry.
  bool OpenTop(bool selectFirst) {
    if (!T.BarMode || T.TopSel < 0) return false;
    const TMenuTracker::TTop top = T.Tops[std::size_t(T.TopSel)];
    CloseLevelsFrom(0);
    if (!top.Menu) return false;
    TRect wr;
    GetWindowRect(Owner(), &wr);
    TPoint at;
    TRect exclude;
    if (top.System) {
      TFrameMetrics fm = FrameMetrics(GetWindowLongPtr(Owner(), GWL_STYLE),
                                      GetWindowLongPtr(Owner(), GWL_EXSTYLE));
      at = {wr.Left + fm.Border, wr.Top + fm.Border + fm.Caption};
      exclude = Bounds(wr.Left + fm.Border, wr.Top + fm.Border, 1, fm.Caption);
    } else {
      TMenu* bar = MS().Find(T.Bar);
      if (!bar || std::size_t(top.BarIndex) >= bar->Items.size()) return false;
      TRect ir = bar->Items[std::size_t(top.BarIndex)].Rect.Offset(wr.Left, wr.Top);
      at = {ir.Left, ir.Bottom};
      exclude = ir;
    }
    if (!Open(top.Menu, top.BarIndex, top.System, at, 0, &exclude, nullptr)) {
      if (T.BarMode && T.Bar) DrawMenuBar(Owner());
      return false;
    }
    if (T.Bar) DrawMenuBar(Owner());  // the item now looks pressed
    if (selectFirst) SelectNext(0, +1);
    return true;
  }

  // Moves a level's selection to the next (dir +1) or previous item,
  // skipping separators and wrapping around.
  void SelectNext(std::size_t level, int dir) {
    TMenu* m = LevelMenu(level);
    if (!m || m->Items.empty()) return;
    int n = int(m->Items.size());
    int cur = T.Levels[level].Sel;
    int i = cur < 0 ? (dir > 0 ? -1 : n) : cur;
    for (int step = 0; step < n; ++step) {
      i = ((i + dir) % n + n) % n;
      if (Selectable(m->Items[std::size_t(i)])) {
        SelectItem(level, i, false);
        return;
      }
    }
  }

  // ---- choosing ----

  void Choose(std::size_t level, int index) {
    TMenu* m = LevelMenu(level);
    if (!m || index < 0 || std::size_t(index) >= m->Items.size()) return;
    const TMenuItem& it = m->Items[std::size_t(index)];
    if (it.SubMenu) {
      SelectItem(level, index, false);
      OpenSub(level, true);
      return;
    }
    if (!Selectable(it)) return;
    if (!Enabled(it)) {
      T.Done = true;  // chosen from the keyboard: the menu closes without a command
      return;
    }
    T.Chosen = true;
    T.Command = it.Id;
    T.SystemCommand = T.Levels[level].System;
    T.Done = true;
  }

  // ---- mouse ----

  // Where a screen point falls: a level and an item (-1: in the level's
  // window but on no item), or the bar (level -1, item = top index), or
  // nowhere (level -2).
  struct THit {
    int Level = -2;
    int Item = -1;
  };

  THit HitTest(TPoint screen) {
    for (std::size_t k = T.Levels.size(); k-- > 0;) {
      TRect wr;
      if (!GetWindowRect(T.Levels[k].Window, &wr) || !wr.Contains(screen)) continue;
      TPoint c = screen;
      ScreenToClient(T.Levels[k].Window, &c);
      TMenu* m = LevelMenu(k);
      int item = -1;
      if (m)
        for (std::size_t i = 0; i < m->Items.size(); ++i)
          if (m->Items[i].Rect.Contains(c)) item = int(i);
      return {int(k), item};
    }
    if (T.BarMode) {
      TRect wr;
      GetWindowRect(Owner(), &wr);
      TPoint w{screen.X - wr.Left, screen.Y - wr.Top};
      if (TMenu* bar = MS().Find(T.Bar))
        for (std::size_t t = 0; t < T.Tops.size(); ++t) {
          int bi = T.Tops[t].BarIndex;
          if (bi >= 0 && std::size_t(bi) < bar->Items.size() &&
              bar->Items[std::size_t(bi)].Rect.Contains(w) &&
              !(bar->Items[std::size_t(bi)].Type & MFT_SEPARATOR))
            return {-1, int(t)};
        }
      LRESULT hit = SendMessage(Owner(), WM_NCHITTEST, 0, MAKELPARAM(screen.X, screen.Y));
      if (hit == HTSYSMENU)
        for (std::size_t t = 0; t < T.Tops.size(); ++t)
          if (T.Tops[t].System) return {-1, int(t)};
    }
    return {};
  }

  void StartHover(std::size_t level) {
    T.HoverLevel = int(level);
    SetTimer(T.Levels[level].Window, HoverTimer, MenuShowDelay);
  }

  void HoverDue(HWND window) {
    KillTimer(window, HoverTimer);
    int level = T.HoverLevel;
    T.HoverLevel = -1;
    if (level < 0 || std::size_t(level) >= T.Levels.size() ||
        T.Levels[std::size_t(level)].Window != window)
      return;
    std::size_t lv = std::size_t(level);
    TMenu* m = LevelMenu(lv);
    int sel = T.Levels[lv].Sel;
    if (m && sel >= 0 && m->Items[std::size_t(sel)].SubMenu)
      OpenSub(lv, false);
    else
      CloseLevelsFrom(lv + 1);
  }

  void MouseMove(TPoint p) {
    THit h = HitTest(p);
    if (h.Level == -1) {
      // Over the bar: with a drop-down open, the one under the pointer opens instead.
      if (h.Item != T.TopSel) {
        bool wasOpen = !T.Levels.empty();
        SelectTop(h.Item);
        if (wasOpen) OpenTop(false);
      }
      return;
    }
    if (h.Level < 0) {
      // Nowhere: the deepest selection goes, unless it holds an open sub-menu.
      if (!T.Levels.empty()) {
        std::size_t last = T.Levels.size() - 1;
        TMenu* m = LevelMenu(last);
        int sel = T.Levels[last].Sel;
        if (m && sel >= 0 && !m->Items[std::size_t(sel)].SubMenu) SelectItem(last, -1, true);
      }
      return;
    }
    std::size_t lv = std::size_t(h.Level);
    TMenu* m = LevelMenu(lv);
    if (!m) return;
    if (h.Item < 0 || !Selectable(m->Items[std::size_t(h.Item)])) {
      if (T.Levels.size() == lv + 1) SelectItem(lv, -1, true);
      return;
    }
    if (T.Levels[lv].Sel == h.Item) {
      // Back on the item whose sub-menu is open: deeper menus close, that one stays.
      if (T.Levels.size() > lv + 2) CloseLevelsFrom(lv + 2);
      if (T.Levels.size() > lv + 1) SelectItem(lv + 1, -1, true);
      return;
    }
    SelectItem(lv, h.Item, true);
    // Sub-menus open, and other sub-menus close, once the pointer rests.
    bool hasSub = m->Items[std::size_t(h.Item)].SubMenu != nullptr;
    if (hasSub || T.Levels.size() > lv + 1) StartHover(lv);
  }

  void ButtonDown(TPoint p) {
    THit h = HitTest(p);
    if (h.Level == -2) {
      T.Done = true;  // a click outside every menu cancels
      return;
    }
    if (h.Level == -1) {
      const TMenuTracker::TTop& top = T.Tops[std::size_t(h.Item)];
      if (h.Item == T.TopSel && !T.Levels.empty()) {
        if (top.System) {
          // A second click on the icon soon after the first closes the window.
          THost* host = GetHost();
          if (host && host->Now() - T.OpenedAt <= GetDoubleClickTime()) {
            T.Chosen = true;
            T.Command = UINT(SC_CLOSE);
            T.SystemCommand = true;
          }
        }
        T.Done = true;  // a click on the open bar item closes the menu
        return;
      }
      SelectTop(h.Item);
      OpenTop(false);
      return;
    }
    std::size_t lv = std::size_t(h.Level);
    if (h.Item >= 0) {
      TMenu* m = LevelMenu(lv);
      if (m && m->Items[std::size_t(h.Item)].SubMenu) {
        SelectItem(lv, h.Item, true);
        OpenSub(lv, false);
      }
    }
  }

  // A bar entry without a drop-down is a command of its own: releasing the
  // button on it, Enter or its mnemonic chooses it. A disabled one stays
  // selected under the mouse and closes the menu from the keyboard.
  bool ChooseTop(int top, bool keyboard) {
    if (!T.BarMode || top < 0 || std::size_t(top) >= T.Tops.size()) return false;
    const TMenuTracker::TTop& t = T.Tops[std::size_t(top)];
    TMenu* bar = MS().Find(T.Bar);
    if (t.Menu || t.System || !bar || t.BarIndex < 0 ||
        std::size_t(t.BarIndex) >= bar->Items.size())
      return false;
    const TMenuItem& it = bar->Items[std::size_t(t.BarIndex)];
    if (!Selectable(it)) return false;
    if (!Enabled(it)) {
      if (keyboard) T.Done = true;
      return true;
    }
    T.Chosen = true;
    T.Command = it.Id;
    T.SystemCommand = false;
    T.Done = true;
    return true;
  }

  void ButtonUp(TPoint p) {
    THit h = HitTest(p);
    if (h.Level == -1 && h.Item == T.TopSel && T.Levels.empty()) {
      ChooseTop(h.Item, false);
      return;
    }
    if (h.Level < 0 || h.Item < 0) return;
    std::size_t lv = std::size_t(h.Level);
    TMenu* m = LevelMenu(lv);
    if (!m) return;
    const TMenuItem& it = m->Items[std::size_t(h.Item)];
    if (it.SubMenu || !Selectable(it) || !Enabled(it)) return;  // stays open
    Choose(lv, h.Item);
  }

  // ---- keyboard ----

  void MoveTop(int dir) {
    if (!T.BarMode || T.Tops.empty()) return;
    bool wasOpen = !T.Levels.empty();
    int n = int(T.Tops.size());
    int t = T.TopSel;
    for (int step = 0; step < n; ++step) {
      t = ((t + dir) % n + n) % n;
      break;
    }
    SelectTop(t);
    if (wasOpen) OpenTop(true);
  }

  void Key(int vk) {
    T.Keyboard = true;
    std::size_t depth = T.Levels.size();
    bool rtl = false;
    (void)rtl;
    switch (vk) {
      case VK_UP:
      case VK_DOWN:
        if (depth == 0) {
          if (T.BarMode) OpenTop(true);
          return;
        }
        SelectNext(depth - 1, vk == VK_DOWN ? +1 : -1);
        return;
      case VK_RIGHT:
        if (depth > 0 && OpenSub(depth - 1, true)) return;
        MoveTop(+1);
        return;
      case VK_LEFT:
        if (depth > 1) {
          CloseLevelsFrom(depth - 1);
          return;
        }
        MoveTop(-1);
        return;
      case VK_RETURN:
        if (depth == 0) {
          if (T.BarMode && !OpenTop(true)) ChooseTop(T.TopSel, true);
          return;
        }
        if (T.Levels[depth - 1].Sel < 0) return;
        Choose(depth - 1, T.Levels[depth - 1].Sel);
        return;
      case VK_ESCAPE:
        if (depth > 1 || (depth == 1 && T.BarMode)) {
          CloseLevelsFrom(depth - 1);
          return;
        }
        T.Done = true;
        return;
      case VK_MENU:
      case VK_F10:
        T.Done = true;
        return;
    }
  }

  // A typed character: the item with that mnemonic in the deepest open menu
  // (or on the bar). Several items with one letter are stepped through.
  void Char(std::uint32_t ch) {
    T.Keyboard = true;
    char32_t key = FoldCase(char32_t(ch));
    if (T.Levels.empty()) {
      if (!T.BarMode) return;
      TMenu* bar = MS().Find(T.Bar);
      for (std::size_t t = 0; bar && t < T.Tops.size(); ++t) {
        int bi = T.Tops[t].BarIndex;
        if (bi >= 0 && MenuMnemonic(bar->Items[std::size_t(bi)].Text) == key) {
          SelectTop(int(t));
          if (!OpenTop(true)) ChooseTop(int(t), true);
          return;
        }
      }
      MenuChar(ch, T.Bar, false);
      return;
    }
    std::size_t lv = T.Levels.size() - 1;
    TMenu* m = LevelMenu(lv);
    if (!m) return;
    std::vector<int> matches;
    for (std::size_t i = 0; i < m->Items.size(); ++i)
      if (Selectable(m->Items[i]) && !(m->Items[i].Type & MFT_OWNERDRAW) &&
          MenuMnemonic(m->Items[i].Text) == key)
        matches.push_back(int(i));
    if (matches.size() == 1) {
      SelectItem(lv, matches[0], false);
      Choose(lv, matches[0]);
      return;
    }
    if (matches.size() > 1) {
      int cur = T.Levels[lv].Sel;
      auto next = std::upper_bound(matches.begin(), matches.end(), cur);
      SelectItem(lv, next == matches.end() ? matches[0] : *next, false);
      return;
    }
    MenuChar(ch, T.Levels[lv].Menu, T.Levels[lv].System);
  }

  void MenuChar(std::uint32_t ch, HMENU menu, bool system) {
    if (!IsWindow(Owner())) return;
    UINT kind = system ? MF_SYSMENU : (T.Levels.empty() ? 0 : MF_POPUP);
    LRESULT r = SendMessage(Owner(), WM_MENUCHAR, MAKEWPARAM(int(ch & 0xFFFF), int(kind)),
                            LPARAM(reinterpret_cast<std::uintptr_t>(menu)));
    int index = int(LOWORD(std::uintptr_t(r)));
    switch (HIWORD(std::uintptr_t(r))) {
      case MNC_CLOSE:
        T.Done = true;
        break;
      case MNC_EXECUTE:
      case MNC_SELECT:
        if (!T.Levels.empty() && T.Levels.back().Menu == menu) {
          std::size_t lv = T.Levels.size() - 1;
          SelectItem(lv, index, false);
          if (HIWORD(std::uintptr_t(r)) == MNC_EXECUTE) Choose(lv, index);
        }
        break;
    }
  }

  // ---- the loop ----

  void Run() {
    while (!T.Done) {
      if (!IsWindow(Owner()) || GetCapture() != T.CaptureWnd) break;
      MSG m;
      if (!PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE)) {
        // The owner hears WM_ENTERIDLE once per idle spell, then the loop waits.
        ModalWaitMessage(Owner(), MSGF_MENU, T.Levels.empty() ? nullptr : T.Levels.back().Window);
        continue;
      }
      PeekMessage(&m, nullptr, 0, 0, PM_REMOVE);
      if (m.message == WM_QUIT) {
        PostQuitMessage(int(m.wParam));
        break;
      }
      Handle(m);
    }
  }

  void Handle(MSG& m) {
    if (m.message == WM_TIMER && m.wParam == HoverTimer) {
      for (const auto& lv : T.Levels)
        if (lv.Window == m.hwnd) {
          HoverDue(m.hwnd);
          return;
        }
    }
    if ((m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) ||
        (m.message >= WM_NCMOUSEMOVE && m.message <= WM_NCMBUTTONDBLCLK)) {
      UINT msg =
          m.message >= WM_MOUSEFIRST ? m.message : m.message + (WM_MOUSEMOVE - WM_NCMOUSEMOVE);
      switch (msg) {
        case WM_MOUSEMOVE:
          MouseMove(m.pt);
          break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
          ButtonDown(m.pt);
          break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
          ButtonUp(m.pt);
          break;
      }
      return;  // the menu takes every mouse message while it is open
    }
    switch (m.message) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN: {
        int vk = int(m.wParam);
        if (vk == VK_UP || vk == VK_DOWN || vk == VK_LEFT || vk == VK_RIGHT || vk == VK_RETURN ||
            vk == VK_ESCAPE || vk == VK_MENU || vk == VK_F10) {
          Key(vk);
          return;
        }
        TranslateMessage(&m);
        return;
      }
      case WM_CHAR:
      case WM_SYSCHAR:
        if (m.wParam >= 0x20) Char(std::uint32_t(m.wParam));
        return;
      case WM_KEYUP:
      case WM_SYSKEYUP:
      case WM_DEADCHAR:
      case WM_SYSDEADCHAR:
        return;
    }
    TranslateMessage(&m);
    DispatchMessage(&m);
  }

  void Finish() {
    bool chosen = T.Chosen;
    UINT cmd = T.Command;
    bool sys = T.SystemCommand;
    TPoint pt = GetMessagePos();
    Leave();
    if (!chosen || !IsWindow(Owner()) || (T.Flags & TPM_RETURNCMD)) return;
    if (sys)
      PostMessage(Owner(), WM_SYSCOMMAND, cmd, MAKELPARAM(pt.X, pt.Y));
    else
      PostMessage(Owner(), WM_COMMAND, MAKEWPARAM(int(cmd & 0xFFFF), 0), 0);
  }
};

// ---------------------------------------------------------------- the system menu

namespace {

enum : UINT { SysRestore, SysMove, SysSize, SysMinimize, SysMaximize, SysClose };

HMENU BuildSystemMenu(HWND hwnd) {
  HMENU m = CreatePopupMenu();
  DWORD style = DWORD(GetWindowLongPtr(hwnd, GWL_STYLE));
  bool full = (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)) != 0;
  if (full) AppendMenu(m, MF_STRING, SC_RESTORE, "&Восстановить");
  AppendMenu(m, MF_STRING, SC_MOVE, "&Переместить");
  if (full) {
    AppendMenu(m, MF_STRING, SC_SIZE, "Р&азмер");
    AppendMenu(m, MF_STRING, SC_MINIMIZE, "&Свернуть");
    AppendMenu(m, MF_STRING, SC_MAXIMIZE, "Р&азвернуть");
    AppendMenu(m, MF_SEPARATOR, 0);
  }
  AppendMenu(m, MF_STRING, SC_CLOSE, "&Закрыть\tAlt+F4");
  SetMenuDefaultItem(m, SC_CLOSE, 0);
  if (TMenu* rec = TMenuSystem::Get().Find(m)) rec->SystemOf = hwnd;
  return m;
}

// Items enabled from what the window can do right now.
void RefreshSystemMenu(HWND hwnd, HMENU m) {
  DWORD style = DWORD(GetWindowLongPtr(hwnd, GWL_STYLE));
  bool max = IsZoomed(hwnd), min = IsIconic(hwnd);
  WNDCLASS wc;
  bool noClose = GetClassInfo(GetClassName(hwnd), &wc) && (wc.style & CS_NOCLOSE);
  auto set = [&](WPARAM sc, bool on) { EnableMenuItem(m, UINT(sc), on ? MF_ENABLED : MF_GRAYED); };
  set(SC_RESTORE, max || min);
  set(SC_MOVE, !max);
  set(SC_SIZE, (style & WS_THICKFRAME) && !max && !min);
  set(SC_MINIMIZE, (style & WS_MINIMIZEBOX) && !min);
  set(SC_MAXIMIZE, (style & WS_MAXIMIZEBOX) && !max);
  set(SC_CLOSE, !noClose);
}

HWND TopOf(HWND h) {
  HWND top = GetAncestor(h, GA_ROOT);
  return top ? top : h;
}

bool HasSystemMenu(HWND hwnd) {
  DWORD style = DWORD(GetWindowLongPtr(hwnd, GWL_STYLE));
  return (style & WS_SYSMENU) && (style & WS_CAPTION) == WS_CAPTION;
}

// The bar's entries: the system menu first (when the window has one), then
// every item of the menu bar.
void FillTops(TMenuTracker& t, HWND hwnd) {
  if (HasSystemMenu(hwnd)) {
    HMENU sys = GetSystemMenu(hwnd, false);
    RefreshSystemMenu(hwnd, sys);
    t.Tops.push_back({sys, true, -1});
  }
  if (TMenu* bar = TMenuSystem::Get().Find(t.Bar))
    for (std::size_t i = 0; i < bar->Items.size(); ++i)
      if (!(bar->Items[i].Type & MFT_SEPARATOR))
        t.Tops.push_back({bar->Items[i].SubMenu, false, int(i)});
}

int FirstBarTop(const TMenuTracker& t) {
  for (std::size_t i = 0; i < t.Tops.size(); ++i)
    if (!t.Tops[i].System) return int(i);
  return t.Tops.empty() ? -1 : 0;
}

}  // namespace

HMENU GetSystemMenu(HWND hwnd, bool revert) {
  if (!IsWindow(hwnd)) return nullptr;
  TMenuSystem& ms = TMenuSystem::Get();
  auto it = ms.SystemMenus.find(hwnd);
  if (revert) {
    if (it != ms.SystemMenus.end()) DestroyMenu(it->second);
    return nullptr;
  }
  if (it != ms.SystemMenus.end() && ms.Find(it->second)) return it->second;
  HMENU m = BuildSystemMenu(hwnd);
  ms.SystemMenus[hwnd] = m;
  TMenuSystem::Track(hwnd);
  return m;
}

// ---------------------------------------------------------------- entry points

bool TMenuTracker::ShowCues() {
  TMenuTracker* t = TMenuSystem::Get().Tracker;
  return t && t->Keyboard;
}

namespace {

// Runs a loop to its end, leaving everything as it was even when a window
// procedure throws inside it.
int RunLoop(TMenuTracker& t, bool popupCall, HMENU initMenu,
            const std::function<bool(TMenuLoop&)>& start) {
  if (TMenuSystem::Get().Tracker) return 0;  // one menu at a time
  TMenuLoop loop(t, popupCall);
  try {
    loop.Enter(initMenu);
    if (start(loop) && !t.Done) loop.Run();
  } catch (...) {
    loop.Leave();
    throw;
  }
  loop.Finish();
  return t.Chosen ? int(t.Command) : 0;
}

}  // namespace

void TMenuTracker::TrackBarByMouse(HWND hwnd, TPoint screen, bool systemMenu) {
  hwnd = TopOf(hwnd);
  TMenuTracker t;
  t.Owner = hwnd;
  t.BarMode = true;
  t.Bar = GetMenu(hwnd);
  FillTops(t, hwnd);
  if (t.Tops.empty()) return;
  HMENU init = t.Bar ? t.Bar : GetSystemMenu(hwnd, false);
  if (systemMenu) init = GetSystemMenu(hwnd, false);
  RunLoop(t, false, init, [&](TMenuLoop& loop) {
    TMenuLoop::THit h;
    if (systemMenu) {
      for (std::size_t i = 0; i < t.Tops.size(); ++i)
        if (t.Tops[i].System) h = {-1, int(i)};
    } else {
      h = loop.HitTest(screen);
    }
    if (h.Level != -1) return false;
    loop.SelectTop(h.Item);
    loop.OpenTop(false);
    return true;
  });
}

void TMenuTracker::TrackBarByKey(HWND hwnd, std::uint32_t key) {
  hwnd = TopOf(hwnd);
  TMenuTracker t;
  t.Owner = hwnd;
  t.BarMode = true;
  t.Keyboard = true;
  t.Bar = GetMenu(hwnd);
  FillTops(t, hwnd);
  if (t.Tops.empty()) return;
  if (key == 0 && !t.Bar) return;  // Alt alone on a window without a menu bar
  bool system = key == ' ';
  if (system && !HasSystemMenu(hwnd)) return;
  if (key != 0 && !system) {
    // A mnemonic of the bar, else the window hears about the character.
    TMenu* bar = TMenuSystem::Get().Find(t.Bar);
    bool found = false;
    for (std::size_t i = 0; bar && i < t.Tops.size(); ++i)
      if (t.Tops[i].BarIndex >= 0 &&
          MenuMnemonic(bar->Items[std::size_t(t.Tops[i].BarIndex)].Text) == FoldCase(char32_t(key)))
        found = true;
    if (!found) {
      SendMessage(hwnd, WM_MENUCHAR, MAKEWPARAM(int(key & 0xFFFF), 0),
                  LPARAM(reinterpret_cast<std::uintptr_t>(t.Bar)));
      return;
    }
  }
  HMENU init = system || !t.Bar ? GetSystemMenu(hwnd, false) : t.Bar;
  RunLoop(t, false, init, [&](TMenuLoop& loop) {
    if (system) {
      for (std::size_t i = 0; i < t.Tops.size(); ++i)
        if (t.Tops[i].System) loop.SelectTop(int(i));
      return loop.OpenTop(true);
    } else if (key != 0) {
      loop.Char(key);
    } else {
      loop.SelectTop(FirstBarTop(t));
    }
    return true;
  });
}

void TMenuTracker::TrackSystemMenuAt(HWND hwnd, TPoint screen) {
  hwnd = TopOf(hwnd);
  if (!HasSystemMenu(hwnd)) return;
  HMENU sys = GetSystemMenu(hwnd, false);
  RefreshSystemMenu(hwnd, sys);
  TMenuTracker t;
  t.Owner = hwnd;
  RunLoop(t, true, sys,
          [&](TMenuLoop& loop) { return loop.Open(sys, 0, true, screen, 0, nullptr, nullptr); });
}

int TMenuTracker::TrackPopup(HMENU menu, UINT flags, int x, int y, HWND hwnd,
                             const TPMPARAMS* params) {
  if (!IsMenu(menu) || !IsWindow(hwnd) || GetMenuItemCount(menu) <= 0) return 0;
  TMenuTracker t;
  t.Owner = TopOf(hwnd);
  t.Flags = flags;
  TRect exclude = params ? params->rcExclude : TRect{};
  int r = RunLoop(t, true, menu, [&](TMenuLoop& loop) {
    return loop.Open(menu, 0, false, {x, y}, flags, params ? &exclude : nullptr, nullptr);
  });
  if (flags & TPM_RETURNCMD) return r;
  return t.Chosen ? 1 : 0;
}

int TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND hwnd, const TPMPARAMS* params) {
  return TMenuTracker::TrackPopup(menu, flags, x, y, hwnd, params);
}

int TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND hwnd,
                   const TRect* ignored) {
  (void)reserved;
  (void)ignored;
  return TMenuTracker::TrackPopup(menu, flags, x, y, hwnd, nullptr);
}

bool EndMenu() {
  TMenuTracker* t = TMenuSystem::Get().Tracker;
  if (!t) return false;
  t->Done = true;
  return true;
}

HMENU GetTrackedMenu() {
  TMenuTracker* t = TMenuSystem::Get().Tracker;
  if (!t) return nullptr;
  if (!t->Levels.empty()) return t->Levels.back().Menu;
  return t->Bar;
}

bool MenuBarItemOpen(HMENU bar, int index) {
  TMenuTracker* t = TMenuSystem::Get().Tracker;
  return t && t->BarMode && t->Bar == bar && t->TopSel >= 0 && !t->Levels.empty() &&
         t->Tops[std::size_t(t->TopSel)].BarIndex == index;
}

}  // namespace vm
