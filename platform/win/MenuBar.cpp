// The menu bar of a window: attaching it, its place in the non-client area,
// item rectangles and hit testing.
#include "platform/win/MenuTracker.h"
#include "platform/win/WindowSystem.h"

namespace vm {

namespace {

TMenuSystem& MS() {
  return TMenuSystem::Get();
}

// The non-client area changed size: the client is recomputed and the frame repainted.
void FrameChanged(HWND hwnd) {
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace

bool AttachMenuBar(HWND hwnd, HMENU menu) {
  TWindowSystem& ws = TWindowSystem::Get();
  TWnd* w = ws.Find(hwnd);
  if (!w || (w->Style & WS_CHILD)) return false;
  TMenu* m = nullptr;
  if (menu) {
    m = MS().Find(menu);
    if (!m) return false;
    if (m->BarOf && m->BarOf != hwnd) {
      // A menu is the bar of one window at a time.
      MS().Bars.erase(m->BarOf);
    }
  }
  auto it = MS().Bars.find(hwnd);
  if (it != MS().Bars.end()) {
    if (TMenu* old = MS().Find(it->second)) old->BarOf = nullptr;
    MS().Bars.erase(it);
  }
  if (m) {
    m->BarOf = hwnd;
    MS().Bars[hwnd] = menu;
    TMenuSystem::Track(hwnd);
  }
  return true;
}

bool SetMenu(HWND hwnd, HMENU menu) {
  if (!AttachMenuBar(hwnd, menu)) return false;
  FrameChanged(hwnd);
  return true;
}

HMENU GetMenu(HWND hwnd) {
  if (!IsWindow(hwnd)) return nullptr;
  auto it = MS().Bars.find(hwnd);
  if (it == MS().Bars.end() || !MS().Find(it->second)) return nullptr;
  return it->second;
}

namespace {

// Items that changed width may change the number of rows: the frame is then
// measured again (which repaints it). True when that happened.
bool RemeasureMenuBar(HWND hwnd, TWnd* w) {
  TRect bar = MenuBarRect(w);
  int clientTop = w->Client.Top;
  TFrameMetrics fm = FrameMetrics(w->Style, w->ExStyle);
  if (bar.Bottom + fm.ClientEdge != clientTop && bar.Bottom > 0) {
    FrameChanged(hwnd);
    return true;
  }
  return false;
}

}  // namespace

bool DrawMenuBar(HWND hwnd) {
  TWindowSystem& ws = TWindowSystem::Get();
  TWnd* w = ws.Find(hwnd);
  if (!w || !GetMenu(hwnd)) return false;
  if (RemeasureMenuBar(hwnd, w)) return true;
  if (!ws.Visible(w)) return true;
  w->NcUpdate = true;
  ws.NcPaint(w);
  return true;
}

void MenuBarChanged(HWND hwnd) {
  TWindowSystem& ws = TWindowSystem::Get();
  TWnd* w = ws.Find(hwnd);
  if (!w || !GetMenu(hwnd) || RemeasureMenuBar(hwnd, w)) return;
  if (ws.Visible(w)) w->NcUpdate = true;
}

bool GetMenuItemRect(HWND hwnd, HMENU menu, UINT pos, TRect* rect) {
  TMenu* m = MS().Find(menu);
  if (!m || !rect || pos >= m->Items.size()) return false;
  TWindowSystem& ws = TWindowSystem::Get();
  if (m->BarOf && (m->BarOf == hwnd || !hwnd)) {
    TWnd* w = ws.Find(m->BarOf);
    if (!w) return false;
    LayoutMenuBar(m, w->Handle, MenuBarRect(w));
    TPoint o = ws.WindowOrigin(w);
    *rect = m->Items[pos].Rect.Offset(o.X, o.Y);
    return true;
  }
  if (m->Window) {
    TPoint o{0, 0};
    ClientToScreen(m->Window, &o);
    *rect = m->Items[pos].Rect.Offset(o.X, o.Y);
    return true;
  }
  return false;
}

int MenuItemFromPoint(HWND hwnd, HMENU menu, TPoint screen) {
  TMenu* m = MS().Find(menu);
  if (!m) return -1;
  for (std::size_t i = 0; i < m->Items.size(); ++i) {
    TRect r;
    if (GetMenuItemRect(hwnd, menu, UINT(i), &r) && r.Contains(screen)) return int(i);
  }
  return -1;
}

// ---- What DefWindowProc asks of the menus ----

int MenuBarHeight(HWND hwnd, int windowWidth, DWORD style, DWORD exStyle) {
  HMENU bar = GetMenu(hwnd);
  if (!bar || (style & WS_CHILD)) return 0;
  TFrameMetrics fm = FrameMetrics(style, exStyle);
  return MenuBarHeightFor(bar, hwnd, windowWidth - 2 * fm.Border);
}

bool MenuBarHitTest(HWND hwnd, TPoint windowPt) {
  TWnd* w = TWindowSystem::Get().Find(hwnd);
  return w && MenuBarRect(w).Contains(windowPt);
}

void MenuSysCommand(HWND hwnd, WPARAM cmd, LPARAM lp) {
  if ((cmd & 0xFFF0) == SC_MOUSEMENU)
    TMenuTracker::TrackBarByMouse(hwnd, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)},
                                  (cmd & 0xF) == WPARAM(HTSYSMENU));
  else if ((cmd & 0xFFF0) == SC_KEYMENU)
    TMenuTracker::TrackBarByKey(hwnd, std::uint32_t(lp));
}

void MenuContextMenu(HWND hwnd, LPARAM screenPos) {
  if (screenPos == LPARAM(-1)) return;
  LRESULT hit = SendMessage(hwnd, WM_NCHITTEST, 0, screenPos);
  if (hit == HTCAPTION || hit == HTSYSMENU)
    TMenuTracker::TrackSystemMenuAt(hwnd, {GET_X_LPARAM(screenPos), GET_Y_LPARAM(screenPos)});
}

}  // namespace vm
