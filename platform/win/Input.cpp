// Activation, focus, capture, mouse and keyboard input, cursors.
#include <algorithm>
#include <cstdlib>

#include "platform/win/WindowSystem.h"

namespace vm {

namespace {

TWindowSystem& WS() {
  return TWindowSystem::Get();
}
WPARAM WP(HWND h) {
  return WPARAM(reinterpret_cast<std::uintptr_t>(h));
}
LPARAM LP(HWND h) {
  return LPARAM(reinterpret_cast<std::uintptr_t>(h));
}

}  // namespace

// ---------------------------------------------------------------- activation

void TWindowSystem::ForgetInput(TWnd* w) {
  HWND h = w->Handle;
  if (Input.Capture == h) {
    Input.Capture = nullptr;
    if (Host) Host->GrabPointer(0);
  }
  if (Input.Focus == h) Input.Focus = nullptr;
  if (Input.TrackHwnd == h) Input.TrackHwnd = nullptr;
  if (Input.HoverTrack.Hwnd == h) Input.HoverTrack = {};
  if (Input.HoverHwnd == h) Input.HoverHwnd = nullptr;
  if (Input.Drag.Hwnd == h) Input.Drag = {};
  if (Input.ButtonTrack.Hwnd == h) Input.ButtonTrack = {};
  if (Input.Active == h) {
    Input.Active = nullptr;
    ActivateOther(w);
  }
}

void TWindowSystem::CancelModes(HWND top) {
  // The window that holds the mouse inside the leaving window first, then the window itself.
  if (TWnd* c = Find(Input.Capture); c && Top(c)->Handle == top && c->Handle != top)
    Send(c, WM_CANCELMODE, 0, 0);
  if (TWnd* t = Find(top)) Send(t, WM_CANCELMODE, 0, 0);
}

void TWindowSystem::ActivateApp(bool active, HWND except) {
  Input.AppActive = active;
  std::vector<HWND> tops;
  for (TWnd* t : TopLevels) tops.push_back(t->Handle);
  for (HWND h : tops)
    if (h != except) Send(h, WM_ACTIVATEAPP, active ? 1 : 0, 0);
}

bool TWindowSystem::Activate(TWnd* w, bool mouse) {
  w = Top(w);
  if (!w) return false;
  HWND h = w->Handle;
  if (Input.Active == h) {
    Raise(w);
    return true;
  }
  CBTACTIVATESTRUCT cas{mouse, Input.Active};
  if (CallHooks(WH_CBT, HCBT_ACTIVATE, WP(h), LPARAM(&cas)) != 0) return false;
  if (!(w = Find(h))) return false;

  HWND old = Input.Active;
  if (TWnd* o = Find(old)) {
    CancelModes(old);
    if ((o = Find(old))) Send(o, WM_NCACTIVATE, 0, 0);
    if ((o = Find(old))) Send(o, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, o->Minimized ? 1 : 0), LP(h));
    if (!(w = Find(h))) return false;
  }
  Input.Active = h;
  Raise(w);
  if (!Input.AppActive) ActivateApp(true, nullptr);
  if (!(w = Find(h)) || Input.Active != h) return false;
  Send(w, WM_NCACTIVATE, 1, 0);
  if (!(w = Find(h)) || Input.Active != h) return false;
  Send(w, WM_ACTIVATE, MAKEWPARAM(mouse ? WA_CLICKACTIVE : WA_ACTIVE, w->Minimized ? 1 : 0),
       LP(Find(old) ? old : nullptr));
  if (!(w = Find(h)) || Input.Active != h) return false;
  // The focus belongs inside the active window; when its procedure did not
  // put it there, the window itself takes it.
  TWnd* f = Find(Input.Focus);
  if (!w->Minimized && (!f || Top(f) != w)) DoSetFocus(h);
  if ((w = Find(h)) && Host && w->Native) Host->FocusNativeWindow(w->Native);
  return true;
}

void TWindowSystem::Deactivate() {
  HWND old = Input.Active;
  if (TWnd* o = Find(old)) {
    CancelModes(old);
    if ((o = Find(old))) Send(o, WM_NCACTIVATE, 0, 0);
    if ((o = Find(old))) Send(o, WM_ACTIVATE, WA_INACTIVE, 0);
  }
  Input.Active = nullptr;
  if (Input.AppActive) ActivateApp(false, nullptr);
  if (TWnd* f = Find(Input.Focus)) {
    Input.Focus = nullptr;
    Send(f, WM_KILLFOCUS, 0, 0);
  }
  Input.Focus = nullptr;
}

void TWindowSystem::ActivateOther(TWnd* leaving) {
  auto usable = [&](TWnd* t) {
    return t && t != leaving && Visible(t) && !(t->Style & WS_DISABLED) && !t->Minimized &&
           !IsTransientPopup(t->Style, t->ExStyle);
  };
  TWnd* next = Find(leaving->Owner);
  if (!usable(next)) {
    next = nullptr;
    for (TWnd* t : TopLevels)
      if (usable(t)) {
        next = t;
        break;
      }
  }
  if (next) {
    Activate(next, false);
    return;
  }
  if (Input.Active == leaving->Handle) {
    HWND h = leaving->Handle;
    CancelModes(h);
    if (TWnd* l = Find(h)) Send(l, WM_NCACTIVATE, 0, 0);
    if (TWnd* l = Find(h)) Send(l, WM_ACTIVATE, WA_INACTIVE, 0);
    if (Input.Active == h) Input.Active = nullptr;
    if (TWnd* f = Find(Input.Focus); f && Top(f)->Handle == h) {
      Input.Focus = nullptr;
      Send(f, WM_KILLFOCUS, 0, 0);
    }
  }
}

HWND TWindowSystem::DoSetFocus(HWND h) {
  HWND old = Input.Focus;
  if (h == old) return old;
  if (h) {
    TWnd* w = Find(h);
    if (!w) return nullptr;
    if (CallHooks(WH_CBT, HCBT_SETFOCUS, WP(h), LP(old)) != 0) return nullptr;
    if (!(w = Find(h))) return nullptr;
    TWnd* top = Top(w);
    if (top->Minimized) return nullptr;
    if (top->Handle != Input.Active) {
      if (!Activate(top, false)) return nullptr;
      if (!Find(h)) return nullptr;
      if (Input.Focus == h) return old;
    }
  } else if (CallHooks(WH_CBT, HCBT_SETFOCUS, 0, LP(old)) != 0) {
    return nullptr;
  }
  HWND prev = Input.Focus;
  Input.Focus = h;
  if (TWnd* o = Find(prev)) Send(o, WM_KILLFOCUS, WP(h), 0);
  if (Input.Focus != h) return prev;  // someone moved the focus again meanwhile
  if (TWnd* w = Find(h)) Send(w, WM_SETFOCUS, WP(Find(prev) ? prev : nullptr), 0);
  return prev;
}

// ---------------------------------------------------------------- public: focus, activation,
// capture

HWND GetFocus() {
  return WS().Find(WS().Input.Focus) ? WS().Input.Focus : nullptr;
}

HWND SetFocus(HWND hwnd) {
  if (hwnd && !IsWindow(hwnd)) return nullptr;
  return WS().DoSetFocus(hwnd);
}

HWND GetActiveWindow() {
  return WS().Find(WS().Input.Active) ? WS().Input.Active : nullptr;
}

HWND SetActiveWindow(HWND hwnd) {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(hwnd);
  if (!w || w->Parent) return nullptr;
  HWND old = GetActiveWindow();
  return ws.Activate(w, false) ? old : nullptr;
}

HWND GetForegroundWindow() {
  return WS().Input.AppActive ? GetActiveWindow() : nullptr;
}

bool SetForegroundWindow(HWND hwnd) {
  TWnd* w = WS().Find(hwnd);
  return w && WS().Activate(w, false);
}

HWND GetCapture() {
  return WS().Find(WS().Input.Capture) ? WS().Input.Capture : nullptr;
}

HWND SetCapture(HWND hwnd) {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(hwnd);
  if (!w) return nullptr;
  HWND old = GetCapture();
  ws.Input.Capture = hwnd;
  if (ws.Host) ws.Host->GrabPointer(ws.Top(w)->Native);
  if (old && old != hwnd) ws.Send(old, WM_CAPTURECHANGED, 0, LP(hwnd));
  return old;
}

bool ReleaseCapture() {
  TWindowSystem& ws = WS();
  HWND old = GetCapture();
  ws.Input.Capture = nullptr;
  if (ws.Host) ws.Host->GrabPointer(0);
  if (old) ws.Send(old, WM_CAPTURECHANGED, 0, 0);
  return true;
}

bool TrackMouseEvent(TRACKMOUSEEVENT* tme) {
  TWindowSystem& ws = WS();
  if (!tme) return false;
  if (tme->dwFlags & TME_QUERY) {
    HWND h = ws.Input.TrackHwnd ? ws.Input.TrackHwnd : ws.Input.HoverTrack.Hwnd;
    bool nc = ws.Input.TrackHwnd ? ws.Input.TrackNonClient : ws.Input.HoverTrack.NonClient;
    DWORD flags = 0;
    if (ws.Input.TrackHwnd) flags |= TME_LEAVE;
    if (ws.Input.HoverTrack.Hwnd == h && h) flags |= TME_HOVER;
    if (h && nc) flags |= TME_NONCLIENT;
    tme->dwFlags = flags;
    tme->hwndTrack = h;
    tme->dwHoverTime = ws.Input.HoverTrack.Time;
    return true;
  }
  if (!IsWindow(tme->hwndTrack)) return false;
  bool nonClient = (tme->dwFlags & TME_NONCLIENT) != 0;
  if (tme->dwFlags & TME_CANCEL) {
    if ((tme->dwFlags & TME_LEAVE) && ws.Input.TrackHwnd == tme->hwndTrack &&
        ws.Input.TrackNonClient == nonClient)
      ws.Input.TrackHwnd = nullptr;
    if ((tme->dwFlags & TME_HOVER) && ws.Input.HoverTrack.Hwnd == tme->hwndTrack)
      ws.Input.HoverTrack = {};
    return true;
  }
  bool over = ws.Input.HoverHwnd == tme->hwndTrack && ws.Input.HoverClient != nonClient;
  if (tme->dwFlags & TME_HOVER) {
    ws.Input.HoverTrack = {};
    if (over) {
      UINT time = tme->dwHoverTime == HOVER_DEFAULT ? 400 : tme->dwHoverTime;
      ws.Input.HoverTrack = {tme->hwndTrack, nonClient, time, (ws.Host ? ws.Host->Now() : 0) + time,
                             ws.Input.CursorPos};
    }
  }
  if (tme->dwFlags & TME_LEAVE) {
    // Asking while the pointer is already elsewhere gets the leave at once.
    if (!over) {
      ws.Post(tme->hwndTrack, nonClient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
    } else {
      ws.Input.TrackHwnd = tme->hwndTrack;
      ws.Input.TrackNonClient = nonClient;
    }
  }
  return true;
}

void TWindowSystem::HoverTick() {
  if (!Input.HoverTrack.Hwnd || !Host || Host->Now() < Input.HoverTrack.Deadline) return;
  HWND h = Input.HoverTrack.Hwnd;
  bool nc = Input.HoverTrack.NonClient;
  Input.HoverTrack = {};
  TWnd* w = Find(h);
  if (!w) return;
  if (nc) {
    // The window's own answer counts (a skinned frame answers WM_NCHITTEST itself).
    LRESULT hit = Send(w, WM_NCHITTEST, 0, MAKELPARAM(Input.CursorPos.X, Input.CursorPos.Y));
    if (!Find(h)) return;
    Post(h, WM_NCMOUSEHOVER, WPARAM(hit), MAKELPARAM(Input.CursorPos.X, Input.CursorPos.Y));
  } else {
    TPoint o = ClientOrigin(w);
    Post(h, WM_MOUSEHOVER, MouseKeyState(),
         MAKELPARAM(Input.CursorPos.X - o.X, Input.CursorPos.Y - o.Y));
  }
}

std::int16_t GetKeyState(int vk) {
  std::uint8_t s = WS().Input.KeyState[vk & 0xFF];
  return std::int16_t(((s & 0x80) ? 0x8000 : 0) | (s & 1));
}

std::int16_t GetAsyncKeyState(int vk) {
  return std::int16_t((WS().Input.KeyState[vk & 0xFF] & 0x80) ? 0x8000 : 0);
}

bool GetCursorPos(TPoint* p) {
  if (!p) return false;
  *p = WS().Input.CursorPos;
  return true;
}

HCURSOR LoadCursor(void* instance, int id) {
  if (instance) return nullptr;  // only the stock cursors exist
  switch (id) {
    case IDC_ARROW:
    case IDC_IBEAM:
    case IDC_WAIT:
    case IDC_CROSS:
    case IDC_UPARROW:
    case IDC_SIZENWSE:
    case IDC_SIZENESW:
    case IDC_SIZEWE:
    case IDC_SIZENS:
    case IDC_SIZEALL:
    case IDC_NO:
    case IDC_HAND:
    case IDC_APPSTARTING:
    case IDC_HELP:
      return reinterpret_cast<HCURSOR>(std::uintptr_t(id));
  }
  return nullptr;
}

void TWindowSystem::SetCursorShape(HCURSOR c) {
  Input.Cursor = c;
  if (!Host) return;
  TWnd* over = Find(Input.Capture);
  if (!over) over = Find(Input.HoverHwnd);
  if (!over) return;
  THostCursor shape = THostCursor::Arrow;
  switch (int(reinterpret_cast<std::uintptr_t>(c))) {
    case IDC_IBEAM:
      shape = THostCursor::IBeam;
      break;
    case IDC_WAIT:
      shape = THostCursor::Wait;
      break;
    case IDC_CROSS:
      shape = THostCursor::Cross;
      break;
    case IDC_SIZENWSE:
      shape = THostCursor::SizeNWSE;
      break;
    case IDC_SIZENESW:
      shape = THostCursor::SizeNESW;
      break;
    case IDC_SIZEWE:
      shape = THostCursor::SizeWE;
      break;
    case IDC_SIZENS:
      shape = THostCursor::SizeNS;
      break;
    case IDC_SIZEALL:
      shape = THostCursor::SizeAll;
      break;
    case IDC_NO:
      shape = THostCursor::No;
      break;
    case IDC_HAND:
      shape = THostCursor::Hand;
      break;
    case IDC_APPSTARTING:
      shape = THostCursor::AppStarting;
      break;
    case IDC_HELP:
      shape = THostCursor::Help;
      break;
    default:
      break;
  }
  Host->SetNativeCursor(Top(over)->Native, shape);
}

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR old = WS().Input.Cursor;
  if (cursor != old) WS().SetCursorShape(cursor);
  return old;
}

HCURSOR GetCursor() {
  return WS().Input.Cursor;
}

UINT GetDoubleClickTime() {
  return 500;
}

// ---------------------------------------------------------------- host events

void TWindowSystem::HostEvent(const THostEvent& ev) {
  // The host calls in here from its own event loop: nothing unwinds into it.
  std::uint64_t dcMark = Paint.NextDCSerial;
  try {
    HostEventUnguarded(ev);
  } catch (...) {
    ReleaseDCsFrom(dcMark);
    ReportException(std::current_exception());
  }
}

void TWindowSystem::HostEventUnguarded(const THostEvent& ev) {
  using K = THostEvent::TKind;
  auto byNative = [&](THostWindow n) -> TWnd* {
    if (!n) return nullptr;
    for (TWnd* t : TopLevels)
      if (t->Native == n) return t;
    return nullptr;
  };
  switch (ev.Kind) {
    case K::MouseMove:
    case K::ButtonDown:
    case K::ButtonUp:
    case K::Wheel:
    case K::MouseLeave:
    case K::KeyDown:
    case K::KeyUp:
    case K::Char:
      Input.RawInput.push_back(ev);
      return;
    case K::Close:
      if (TWnd* w = byNative(ev.Window); w && !(w->Style & WS_DISABLED))
        Post(w->Handle, WM_CLOSE, 0, 0);
      return;
    case K::FocusIn: {
      TWnd* w = byNative(ev.Window);
      if (!w) return;
      Input.FocusOutPending = nullptr;
      // A window disabled by a modal dialog hands the activation to the dialog.
      if (w->Style & WS_DISABLED)
        for (TWnd* t : TopLevels)
          if (t->Owner == w->Handle && Visible(t) && !(t->Style & WS_DISABLED)) {
            w = t;
            break;
          }
      if (!(w->Style & WS_DISABLED) && Input.Active != w->Handle) Activate(w, false);
      return;
    }
    case K::FocusOut:
      if (TWnd* w = byNative(ev.Window); w && w->Handle == Input.Active)
        Input.FocusOutPending = w->Handle;
      return;
    case K::Configure:
      if (TWnd* w = byNative(ev.Window)) {
        if (w->Rect == ev.Bounds) return;
        Input.SuppressHostMove = true;
        SetPos(w, nullptr, ev.Bounds.Left, ev.Bounds.Top, ev.Bounds.Width(), ev.Bounds.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
        Input.SuppressHostMove = false;
      }
      return;
    case K::Expose:
      if (TWnd* w = byNative(ev.Window))
        w->Dirty.Union(ev.ExposeRect.Intersect(Rect(0, 0, w->Width(), w->Height())));
      return;
    case K::Minimized:
      if (TWnd* w = byNative(ev.Window); w && !w->Minimized) {
        w->Minimized = true;
        w->Style |= WS_MINIMIZE;
        Send(w, WM_SIZE, SIZE_MINIMIZED, 0);
      }
      return;
    case K::Restored:
      if (TWnd* w = byNative(ev.Window); w && w->Minimized) {
        w->Minimized = false;
        w->Style &= ~WS_MINIMIZE;
        HWND h = w->Handle;
        Send(w, WM_SIZE, w->Maximized ? SIZE_MAXIMIZED : SIZE_RESTORED,
             MAKELPARAM(w->Client.Width(), w->Client.Height()));
        if ((w = Find(h)))
          Invalidate(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      }
      return;
  }
}

void TWindowSystem::AfterPump() {
  if (Input.FocusOutPending) {
    Input.FocusOutPending = nullptr;
    Deactivate();
  }
}

bool TWindowSystem::ProcessRawInput() {
  if (Input.RawInput.empty()) return false;
  THostEvent ev = Input.RawInput.front();
  Input.RawInput.pop_front();
  using K = THostEvent::TKind;
  std::uint64_t dcMark = Paint.NextDCSerial;
  try {
    if (ev.Kind == K::KeyDown || ev.Kind == K::KeyUp || ev.Kind == K::Char)
      KeyEvent(ev);
    else
      MouseEvent(ev);
  } catch (...) {
    // A procedure that throws on WM_SETCURSOR or WM_MOUSEACTIVATE loses that
    // one event, not the loop.
    ReleaseDCsFrom(dcMark);
    ReportException(std::current_exception());
  }
  return true;
}

WPARAM TWindowSystem::MouseKeyState() const {
  WPARAM s = 0;
  if (Input.KeyState[VK_LBUTTON] & 0x80) s |= MK_LBUTTON;
  if (Input.KeyState[VK_RBUTTON] & 0x80) s |= MK_RBUTTON;
  if (Input.KeyState[VK_MBUTTON] & 0x80) s |= MK_MBUTTON;
  if (Input.KeyState[VK_XBUTTON1] & 0x80) s |= MK_XBUTTON1;
  if (Input.KeyState[VK_XBUTTON2] & 0x80) s |= MK_XBUTTON2;
  if (Input.KeyState[VK_SHIFT] & 0x80) s |= MK_SHIFT;
  if (Input.KeyState[VK_CONTROL] & 0x80) s |= MK_CONTROL;
  return s;
}

TWnd* TWindowSystem::TopAt(const THostEvent& ev) const {
  auto inside = [&](TWnd* t) {
    if (!(t->Style & WS_VISIBLE) || t->Minimized || !t->Rect.Contains(ev.ScreenPos)) return false;
    return !t->WindowRgn ||
           t->WindowRgn->Contains(ev.ScreenPos.X - t->Rect.Left, ev.ScreenPos.Y - t->Rect.Top);
  };
  if (ev.Window) {
    for (TWnd* t : TopLevels)
      if (t->Native == ev.Window) return inside(t) ? t : nullptr;
    return nullptr;
  }
  for (TWnd* t : TopLevels)
    if (inside(t)) return t;
  return nullptr;
}

TWnd* TWindowSystem::ChildAt(TWnd* top, TPoint screen, LRESULT* hit) {
  TWnd* w = top;
  for (;;) {
    TPoint o = ClientOrigin(w);
    TPoint pc{screen.X - o.X, screen.Y - o.Y};
    if (!w->Client.Offset(-w->Client.Left, -w->Client.Top).Contains(pc)) break;
    TWnd* found = nullptr;
    for (TWnd* c : w->Children) {
      if (!(c->Style & WS_VISIBLE) || !c->Rect.Contains(pc)) continue;
      if (c->WindowRgn && !c->WindowRgn->Contains(pc.X - c->Rect.Left, pc.Y - c->Rect.Top))
        continue;
      found = c;
      break;
    }
    // A disabled child does not take the mouse: its parent gets it.
    if (!found || (found->Style & WS_DISABLED)) break;
    w = found;
  }
  HWND h = w->Handle;
  LRESULT ht = Send(w, WM_NCHITTEST, 0, MAKELPARAM(screen.X, screen.Y));
  while (ht == HTTRANSPARENT) {
    TWnd* cur = Find(h);
    if (!cur || !cur->Parent) break;
    w = cur->Parent;
    h = w->Handle;
    ht = Send(w, WM_NCHITTEST, 0, MAKELPARAM(screen.X, screen.Y));
  }
  *hit = ht;
  return Find(h);
}

void TWindowSystem::UpdateHover(HWND h, bool client) {
  if (Input.TrackHwnd && (Input.TrackHwnd != h || client == Input.TrackNonClient)) {
    Post(Input.TrackHwnd, Input.TrackNonClient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
    Input.TrackHwnd = nullptr;
  }
  if (Input.HoverTrack.Hwnd && (Input.HoverTrack.Hwnd != h || client == Input.HoverTrack.NonClient))
    Input.HoverTrack = {};
  Input.HoverHwnd = h;
  Input.HoverClient = client;
  // Moving more than the hover rectangle starts the rest time again.
  if (Input.HoverTrack.Hwnd && (std::abs(Input.CursorPos.X - Input.HoverTrack.Anchor.X) > 2 ||
                                std::abs(Input.CursorPos.Y - Input.HoverTrack.Anchor.Y) > 2)) {
    Input.HoverTrack.Anchor = Input.CursorPos;
    Input.HoverTrack.Deadline = (Host ? Host->Now() : 0) + Input.HoverTrack.Time;
  }
}

bool TWindowSystem::HandleDrag(const THostEvent& ev) {
  using K = THostEvent::TKind;
  if (ScrollBars.TrackEvent(ev)) return true;
  if (Input.Drag.Hwnd) {
    TWnd* w = Find(Input.Drag.Hwnd);
    if (!w || Input.Capture != Input.Drag.Hwnd) {
      Input.Drag = {};
      return false;
    }
    if (ev.Kind == K::MouseMove) {
      int dx = ev.ScreenPos.X - Input.Drag.Start.X, dy = ev.ScreenPos.Y - Input.Drag.Start.Y;
      TRect r = Input.Drag.StartRect;
      int minW = Input.Drag.MinTrack.X, minH = Input.Drag.MinTrack.Y;
      switch (Input.Drag.Hit) {
        case HTCAPTION:
          r = r.Offset(dx, dy);
          break;
        case HTLEFT:
          r.Left = std::min(r.Left + dx, r.Right - minW);
          break;
        case HTRIGHT:
          r.Right = std::max(r.Right + dx, r.Left + minW);
          break;
        case HTTOP:
          r.Top = std::min(r.Top + dy, r.Bottom - minH);
          break;
        case HTBOTTOM:
          r.Bottom = std::max(r.Bottom + dy, r.Top + minH);
          break;
        case HTTOPLEFT:
          r.Left = std::min(r.Left + dx, r.Right - minW);
          r.Top = std::min(r.Top + dy, r.Bottom - minH);
          break;
        case HTTOPRIGHT:
          r.Right = std::max(r.Right + dx, r.Left + minW);
          r.Top = std::min(r.Top + dy, r.Bottom - minH);
          break;
        case HTBOTTOMLEFT:
          r.Left = std::min(r.Left + dx, r.Right - minW);
          r.Bottom = std::max(r.Bottom + dy, r.Top + minH);
          break;
        case HTBOTTOMRIGHT:
          r.Right = std::max(r.Right + dx, r.Left + minW);
          r.Bottom = std::max(r.Bottom + dy, r.Top + minH);
          break;
      }
      if (Input.Drag.Hit != HTCAPTION) {
        // The edge being dragged stops at the largest size too.
        bool left = Input.Drag.Hit == HTLEFT || Input.Drag.Hit == HTTOPLEFT ||
                    Input.Drag.Hit == HTBOTTOMLEFT;
        bool top =
            Input.Drag.Hit == HTTOP || Input.Drag.Hit == HTTOPLEFT || Input.Drag.Hit == HTTOPRIGHT;
        if (r.Width() > Input.Drag.MaxTrack.X) {
          if (left)
            r.Left = r.Right - Input.Drag.MaxTrack.X;
          else
            r.Right = r.Left + Input.Drag.MaxTrack.X;
        }
        if (r.Height() > Input.Drag.MaxTrack.Y) {
          if (top)
            r.Top = r.Bottom - Input.Drag.MaxTrack.Y;
          else
            r.Bottom = r.Top + Input.Drag.MaxTrack.Y;
        }
      }
      // The window may still adjust the rectangle (snapping to edges, fixed ratios).
      HWND h = w->Handle;
      Send(w, Input.Drag.Hit == HTCAPTION ? WM_MOVING : WM_SIZING,
           Input.Drag.Hit == HTCAPTION ? 0 : WPARAM(Input.Drag.Hit - HTLEFT + 1), LPARAM(&r));
      if (!(w = Find(h)) || Input.Drag.Hwnd != h) return true;
      if (w->Parent) {
        TPoint o = ClientOrigin(w->Parent);
        r = r.Offset(-o.X, -o.Y);
      }
      SetPos(w, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
      return true;
    }
    if (ev.Kind == K::ButtonUp && ev.Button == THostButton::Left) {
      HWND h = Input.Drag.Hwnd;
      Input.Drag = {};
      ReleaseCapture();
      Send(h, WM_EXITSIZEMOVE, 0, 0);
      return true;
    }
    return ev.Kind != K::MouseLeave;
  }
  if (Input.ButtonTrack.Hwnd) {
    TWnd* w = Find(Input.ButtonTrack.Hwnd);
    if (!w || Input.Capture != Input.ButtonTrack.Hwnd) {
      Input.ButtonTrack = {};
      return false;
    }
    TPoint o = WindowOrigin(w);
    bool over = CaptionButtonRect(w, Input.ButtonTrack.Hit)
                    .Contains({ev.ScreenPos.X - o.X, ev.ScreenPos.Y - o.Y});
    if (ev.Kind == K::MouseMove) {
      if (over != Input.ButtonTrack.Pressed) {
        Input.ButtonTrack.Pressed = over;
        NcPaintButton(w, Input.ButtonTrack.Hit);
      }
      return true;
    }
    if (ev.Kind == K::ButtonUp && ev.Button == THostButton::Left) {
      HWND h = Input.ButtonTrack.Hwnd;
      LRESULT hit = Input.ButtonTrack.Hit;
      Input.ButtonTrack = {};
      ReleaseCapture();
      if (TWnd* x = Find(h)) NcPaintButton(x, hit);
      if (over) {
        WPARAM sc = hit == HTCLOSE       ? SC_CLOSE
                    : hit == HTMINBUTTON ? SC_MINIMIZE
                    : IsZoomed(h)        ? SC_RESTORE
                                         : SC_MAXIMIZE;
        Send(h, WM_SYSCOMMAND, sc, MAKELPARAM(ev.ScreenPos.X, ev.ScreenPos.Y));
      }
      return true;
    }
    return ev.Kind != K::MouseLeave;
  }
  return false;
}

void TWindowSystem::MouseEvent(const THostEvent& ev) {
  using K = THostEvent::TKind;
  Input.CursorPos = ev.ScreenPos;
  static constexpr int buttonVk[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_XBUTTON1, VK_XBUTTON2};
  int bi = int(ev.Button);
  if (ev.Kind == K::ButtonDown) {
    Input.KeyState[buttonVk[bi]] |= 0x80;
    Input.AltAlone = false;  // Alt held over a click does not open the keyboard menu
  }
  if (ev.Kind == K::ButtonUp) Input.KeyState[buttonVk[bi]] &= ~0x80;
  if (ev.Kind == K::MouseLeave) {
    if (!Input.Capture) UpdateHover(nullptr, false);
    return;
  }
  if (HandleDrag(ev)) return;

  // The window the pointer is over, for hit testing and leave tracking.
  LRESULT hit = HTNOWHERE;
  TWnd* top = TopAt(ev);
  TWnd* under = top ? ChildAt(top, ev.ScreenPos, &hit) : nullptr;
  HWND underH = under ? under->Handle : nullptr;
  UpdateHover(underH, hit == HTCLIENT);

  if (ev.Kind == K::Wheel) {
    // The wheel goes to the focus window; DefWindowProc passes it up.
    TWnd* t = Find(Input.Focus);
    if (!t) t = Find(Input.Active);
    if (t)
      Post(t->Handle, WM_MOUSEWHEEL, MAKEWPARAM(int(MouseKeyState()), ev.WheelDelta),
           MAKELPARAM(ev.ScreenPos.X, ev.ScreenPos.Y));
    return;
  }

  UINT msg = WM_MOUSEMOVE;
  WPARAM xbutton = 0;
  if (ev.Kind != K::MouseMove) {
    bool down = ev.Kind == K::ButtonDown;
    switch (ev.Button) {
      case THostButton::Left:
        msg = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        break;
      case THostButton::Right:
        msg = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        break;
      case THostButton::Middle:
        msg = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        break;
      case THostButton::X1:
        msg = down ? WM_XBUTTONDOWN : WM_XBUTTONUP, xbutton = XBUTTON1;
        break;
      case THostButton::X2:
        msg = down ? WM_XBUTTONDOWN : WM_XBUTTONUP, xbutton = XBUTTON2;
        break;
    }
  }

  TWnd* target;
  if (TWnd* cap = Find(Input.Capture)) {
    // The captured window gets every mouse message as a client message.
    target = cap;
    hit = HTCLIENT;
  } else {
    target = under;
    if (!target) return;
    if (Top(target)->Style & WS_DISABLED) {
      // A window disabled behind a modal dialog: the click brings the dialog forward.
      if (ev.Kind == K::ButtonDown)
        for (TWnd* t : TopLevels)
          if (t->Owner == Top(target)->Handle && Visible(t) && !(t->Style & WS_DISABLED)) {
            Activate(t, true);
            break;
          }
      return;
    }
    HWND th = target->Handle;
    Send(target, WM_SETCURSOR, WP(th), MAKELPARAM(int(hit), int(msg)));
    if (!(target = Find(th))) return;
  }
  HWND th = target->Handle;

  if (ev.Kind == K::ButtonDown) {
    TWnd* t = Top(target);
    if (!Input.Capture && t->Handle != Input.Active) {
      LRESULT ma = Send(target, WM_MOUSEACTIVATE, WP(t->Handle), MAKELPARAM(int(hit), int(msg)));
      if ((ma == MA_ACTIVATE || ma == MA_ACTIVATEANDEAT) && Find(t->Handle)) Activate(t, true);
      if (ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT) return;
      if (!(target = Find(th))) return;
    }
    if (hit == HTCLIENT) {
      // Every ancestor hears about a click in a child, unless a window opts out.
      for (TWnd* c = target; c->Parent && !(c->ExStyle & WS_EX_NOPARENTNOTIFY); c = c->Parent) {
        TPoint o = ClientOrigin(c->Parent);
        HWND ch = c->Handle, ph = c->Parent->Handle;
        Send(ph, WM_PARENTNOTIFY, MAKEWPARAM(int(msg), int(xbutton)),
             MAKELPARAM(ev.ScreenPos.X - o.X, ev.ScreenPos.Y - o.Y));
        if (!Find(ch) || !Find(ph) || !(c = Find(ch))) break;
      }
      if (!(target = Find(th))) return;
    }
    // Double clicks: same window and button, soon enough, close enough.
    bool wantsDouble = hit != HTCLIENT || (target->Class->Info.style & CS_DBLCLKS);
    // The event's own time stamp counts, not the time it is processed.
    std::uint64_t now = ev.Time ? ev.Time : Host ? Host->Now() : 0;
    bool isDouble =
        wantsDouble && !Input.LastWasDouble && Input.LastClickHwnd == th &&
        Input.LastClickMsg == msg && now - Input.LastClickTime <= GetDoubleClickTime() &&
        std::abs(ev.ScreenPos.X - Input.LastClickPos.X) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
        std::abs(ev.ScreenPos.Y - Input.LastClickPos.Y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    Input.LastClickHwnd = th;
    Input.LastClickMsg = msg;
    Input.LastClickTime = now;
    Input.LastClickPos = ev.ScreenPos;
    Input.LastWasDouble = isDouble;
    if (isDouble) msg += 2;  // WM_xBUTTONDOWN + 2 = WM_xBUTTONDBLCLK
  }

  if (hit == HTCLIENT) {
    TPoint o = ClientOrigin(target);
    Post(th, msg, MouseKeyState() | (xbutton << 16),
         MAKELPARAM(ev.ScreenPos.X - o.X, ev.ScreenPos.Y - o.Y));
  } else {
    // Non-client messages keep the platform's distance: WM_NCMOUSEMOVE = WM_MOUSEMOVE - 0x160.
    Post(th, msg - (WM_MOUSEMOVE - WM_NCMOUSEMOVE), WPARAM(hit) | (xbutton << 16),
         MAKELPARAM(ev.ScreenPos.X, ev.ScreenPos.Y));
  }
}

void TWindowSystem::KeyEvent(const THostEvent& ev) {
  using K = THostEvent::TKind;
  bool alt = (Input.KeyState[VK_MENU] & 0x80) != 0;
  bool ctrl = (Input.KeyState[VK_CONTROL] & 0x80) != 0;
  if (ev.Kind == K::Char) {
    TWnd* t = Find(Input.Focus);
    if (!t) t = Find(Input.Active);
    if (t) Post(t->Handle, alt && !ctrl ? WM_SYSCHAR : WM_CHAR, ev.CodePoint, 1);
    return;
  }
  int vk = ev.VirtualKey & 0xFF;
  bool down = ev.Kind == K::KeyDown;
  bool wasDown = (Input.KeyState[vk] & 0x80) != 0;
  auto setKey = [&](int k) {
    if (down) {
      if (!(Input.KeyState[k] & 0x80)) Input.KeyState[k] ^= 1;  // toggle state flips on each press
      Input.KeyState[k] |= 0x80;
    } else {
      Input.KeyState[k] &= ~0x80;
    }
  };
  setKey(vk);
  if (vk == VK_LSHIFT || vk == VK_RSHIFT) setKey(VK_SHIFT);
  if (vk == VK_LCONTROL || vk == VK_RCONTROL) setKey(VK_CONTROL);
  if (vk == VK_LMENU || vk == VK_RMENU) setKey(VK_MENU);
  bool isAlt = vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU;
  if (down && isAlt && !wasDown) Input.AltAlone = true;
  if (down && !isAlt) Input.AltAlone = false;
  alt = (Input.KeyState[VK_MENU] & 0x80) != 0;
  ctrl = (Input.KeyState[VK_CONTROL] & 0x80) != 0;

  bool sys = (alt && !ctrl) || vk == VK_F10 || (isAlt && !ctrl);
  TWnd* t = Find(Input.Focus);
  if (!t) {
    t = Find(Input.Active);
    sys = true;  // keys with no focus window go to the active window as system keys
  }
  if (!t) return;
  LPARAM lp = 1 | (LPARAM(ev.ScanCode & 0xFF) << 16);
  if (alt) lp |= KF_ALTDOWN_BIT;
  if (down) {
    if (wasDown) lp |= KF_REPEAT_BIT;
  } else {
    lp |= KF_REPEAT_BIT | KF_UP_BIT;
  }
  lp = LPARAM(std::int32_t(std::uint32_t(lp)));  // the platform's lParam is 32 bits, sign-extended
  UINT msg = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  std::uint32_t tid = 0;
  if (down) {
    // Text that the host produced for this key is handed out by TranslateMessage.
    std::vector<std::uint32_t> text;
    while (!Input.RawInput.empty() && Input.RawInput.front().Kind == K::Char) {
      text.push_back(Input.RawInput.front().CodePoint);
      Input.RawInput.pop_front();
    }
    if (!text.empty()) {
      tid = Queue.NextTranslateId++;
      if (Queue.PendingText.size() > 256)
        Queue.PendingText.erase(Queue.PendingText.begin());  // never translated
      Queue.PendingText[tid] = std::move(text);
    }
  }
  Post(t->Handle, msg, WPARAM(vk), lp, tid);
}

}  // namespace vm
