// DefWindowProc: what a window does with a message its procedure passes on.
#include <algorithm>
#include <cstring>

#include "platform/gfx/SysColors.h"
#include "platform/win/MenuState.h"
#include "platform/win/WindowSystem.h"

namespace vm {

namespace {

TWindowSystem& WS() {
  return TWindowSystem::Get();
}
HDC AsDC(WPARAM w) {
  return reinterpret_cast<HDC>(w);
}

// Copies at most size - 1 bytes without cutting a UTF-8 sequence in half.
LRESULT CopyText(const std::string& text, char* buf, std::size_t size) {
  if (!buf || size == 0) return 0;
  std::size_t n = std::min(text.size(), size - 1);
  if (n < text.size())
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(buf, text.data(), n);
  buf[n] = '\0';
  return LRESULT(n);
}

HCURSOR CursorForHit(LRESULT hit) {
  switch (hit) {
    case HTLEFT:
    case HTRIGHT:
      return LoadCursor(nullptr, IDC_SIZEWE);
    case HTTOP:
    case HTBOTTOM:
      return LoadCursor(nullptr, IDC_SIZENS);
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
      return LoadCursor(nullptr, IDC_SIZENWSE);
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
      return LoadCursor(nullptr, IDC_SIZENESW);
  }
  return LoadCursor(nullptr, IDC_ARROW);
}

void PrintWindow(TWnd* w, HDC dc, LPARAM flags) {
  TWindowSystem& ws = WS();
  HWND h = w->Handle;
  if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(h)) return;
  if (flags & PRF_NONCLIENT) PaintClassicFrame(w, *dc, w->ActiveLook, 0);
  if (!(w = ws.Find(h))) return;
  TRect client = w->Client;
  int saved = dc->SaveDC();
  dc->OffsetViewportOrg(client.Left, client.Top);
  dc->IntersectClipRect(Rect(0, 0, client.Width(), client.Height()));
  if (flags & PRF_ERASEBKGND)
    ws.Send(w, WM_ERASEBKGND, WPARAM(reinterpret_cast<std::uintptr_t>(dc)), 0);
  if ((flags & PRF_CLIENT) && (w = ws.Find(h)))
    ws.Send(w, WM_PRINTCLIENT, WPARAM(reinterpret_cast<std::uintptr_t>(dc)), flags);
  if ((flags & PRF_CHILDREN) && (w = ws.Find(h))) {
    std::vector<HWND> kids;
    for (TWnd* c : w->Children) kids.push_back(c->Handle);
    // Bottom to top, so the children above are printed last.
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
      TWnd* c = ws.Find(*it);
      if (!c || !(c->Style & WS_VISIBLE)) continue;
      int s = dc->SaveDC();
      dc->OffsetViewportOrg(c->Rect.Left, c->Rect.Top);
      dc->IntersectClipRect(Rect(0, 0, c->Width(), c->Height()));
      ws.Send(c, WM_PRINT, WPARAM(reinterpret_cast<std::uintptr_t>(dc)), flags & ~PRF_CHECKVISIBLE);
      dc->RestoreDC(s);
    }
  }
  dc->RestoreDC(saved);
}

LRESULT SysCommand(TWnd* w, WPARAM cmd, LPARAM l) {
  TWindowSystem& ws = WS();
  HWND h = w->Handle;
  switch (cmd & 0xFFF0) {
    case SC_MOVE:
    case SC_SIZE: {
      if (w->Maximized || w->Minimized) return 0;
      LRESULT hit = (cmd & 0xFFF0) == SC_MOVE ? HTCAPTION : LRESULT(HTLEFT + (cmd & 0xF) - 1);
      if ((cmd & 0xFFF0) == SC_SIZE && ((cmd & 0xF) == 0 || (cmd & 0xF) > 8)) return 0;
      ws.Send(w, WM_ENTERSIZEMOVE, 0, 0);
      if (!(w = ws.Find(h))) return 0;
      // A host that moves windows itself (a window manager) is asked first;
      // otherwise the drag follows the mouse through the capture.
      if (hit == HTCAPTION && !w->Parent && ws.Host &&
          ws.Host->BeginNativeMove(w->Native, ws.Input.CursorPos)) {
        ws.Send(w, WM_EXITSIZEMOVE, 0, 0);
        return 0;
      }
      MINMAXINFO mmi = ws.MinMaxInfo(w);
      if (!(w = ws.Find(h))) return 0;
      SetCapture(h);
      ws.Input.Drag.Hwnd = h;
      ws.Input.Drag.Hit = hit;
      ws.Input.Drag.Start = ws.Input.CursorPos;
      TPoint o = ws.WindowOrigin(w);
      ws.Input.Drag.StartRect = Bounds(o.X, o.Y, w->Width(), w->Height());
      ws.Input.Drag.MinTrack = mmi.ptMinTrackSize;
      ws.Input.Drag.MaxTrack = mmi.ptMaxTrackSize;
      return 0;
    }
    case SC_MINIMIZE:
      ShowWindow(h, SW_MINIMIZE);
      return 0;
    case SC_MAXIMIZE:
      ShowWindow(h, SW_MAXIMIZE);
      return 0;
    case SC_RESTORE:
      ShowWindow(h, SW_RESTORE);
      return 0;
    case SC_CLOSE:
      if (w->Class->Info.style & CS_NOCLOSE) return 0;
      ws.Send(w, WM_CLOSE, 0, 0);
      return 0;
    case SC_KEYMENU:
    case SC_MOUSEMENU:
      MenuSysCommand(h, cmd, l);
      return 0;
  }
  return 0;
}

}  // namespace

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCT*>(lp);
      if (cs && cs->lpszName) w->Text = cs->lpszName;
      return 1;
    }
    case WM_NCCALCSIZE:
      if (lp) {
        if (wp) {
          auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(lp);
          int width = p->rgrc[0].Width();
          p->rgrc[0] = ClientFromWindow(w->Style, w->ExStyle, p->rgrc[0]);
          p->rgrc[0].Top = std::min(
              p->rgrc[0].Top + MenuBarHeight(hwnd, width, w->Style, w->ExStyle), p->rgrc[0].Bottom);
        } else {
          auto* r = reinterpret_cast<TRect*>(lp);
          int width = r->Width();
          *r = ClientFromWindow(w->Style, w->ExStyle, *r);
          r->Top = std::min(r->Top + MenuBarHeight(hwnd, width, w->Style, w->ExStyle), r->Bottom);
        }
      }
      return 0;
    case WM_NCHITTEST: {
      TPoint o = ws.WindowOrigin(w);
      TPoint p{GET_X_LPARAM(lp) - o.X, GET_Y_LPARAM(lp) - o.Y};
      LRESULT hit = ClassicHitTest(w, p);
      if (hit == HTBORDER && MenuBarHitTest(hwnd, p)) return HTMENU;
      return hit;
    }
    case WM_NCPAINT: {
      // The frame is drawn through a window context that leaves the client
      // alone. A region in wp (screen coordinates; 1 stands for the whole
      // frame) narrows the context to it: a title button that changed its
      // look is drawn, and presented, alone.
      HDC dc;
      if (wp > 1) {
        TRegion part = *reinterpret_cast<const TRegion*>(wp);
        const TPoint c = ws.ClientOrigin(w);
        part.Offset(-c.X, -c.Y);
        dc = ws.MakeDC(w, {.Client = false}, &part);
      } else {
        dc = ws.MakeDC(w, {.Client = false});
      }
      dc->ExcludeClipRect(w->Client);
      LRESULT pressed = ws.Input.ButtonTrack.Hwnd == hwnd && ws.Input.ButtonTrack.Pressed
                            ? ws.Input.ButtonTrack.Hit
                            : 0;
      PaintClassicFrame(w, *dc, w->ActiveLook, pressed);
      ws.ReleaseDCInternal(w, dc);
      return 0;
    }
    case WM_NCACTIVATE:
      // The caption changes colour at once; this paints the frame directly
      // rather than through WM_NCPAINT, as the platform does.
      w->ActiveLook = wp != 0;
      if (ws.Visible(w) && w->Client != Rect(0, 0, w->Width(), w->Height())) {
        HDC dc = ws.MakeDC(w, {.Client = false});
        dc->ExcludeClipRect(w->Client);
        PaintClassicFrame(w, *dc, w->ActiveLook, 0);
        ws.ReleaseDCInternal(w, dc);
      }
      return 1;
    case WM_ERASEBKGND: {
      TColor bg = w->Class->Info.hbrBackground;
      if (bg == clNone || !wp) return 0;
      HDC dc = AsDC(wp);
      dc->FillRect(dc->ClipBox(), bg);
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINT:
      if (wp) PrintWindow(w, AsDC(wp), lp);
      return 0;
    case WM_SETREDRAW:
      // The platform's own trick: redraw off simply clears WS_VISIBLE, without
      // hiding anything; the caller repaints when it turns redraw back on.
      if (bool(wp) != bool(w->Style & WS_VISIBLE)) {
        w->Style ^= WS_VISIBLE;
        ws.TreeChanged();
      }
      return 0;
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(lp);
      w->Text = text ? text : "";
      if (!w->Parent && ws.Host && w->Native) ws.Host->SetNativeTitle(w->Native, w->Text);
      if ((w->Style & WS_CAPTION) == WS_CAPTION && ws.Visible(w)) {
        w->NcUpdate = true;
        ws.NcPaint(w);
      }
      return 1;
    }
    case WM_GETTEXT:
      return CopyText(w->Text, reinterpret_cast<char*>(lp), std::size_t(wp));
    case WM_GETTEXTLENGTH:
      return LRESULT(w->Text.size());
    case WM_SETFONT:
      w->Font = reinterpret_cast<HFONT>(wp);
      if (LOWORD(lp)) InvalidateRect(hwnd, nullptr, true);
      return 0;
    case WM_GETFONT:
      return LRESULT(reinterpret_cast<std::uintptr_t>(w->Font));
    case WM_SETICON: {
      HICON old = wp == ICON_BIG ? w->IconBig : w->IconSmall;
      HICON icon = reinterpret_cast<HICON>(lp);
      (wp == ICON_BIG ? w->IconBig : w->IconSmall) = icon;
      if (!w->Parent && ws.Host && w->Native) {
        HICON shown = w->IconBig ? w->IconBig : w->IconSmall;
        const TBitmap* bmp = GetIconBitmap(shown);
        ws.Host->SetNativeIcon(w->Native, bmp ? *bmp : TBitmap());
      }
      if (ws.Visible(w)) ws.NcPaint(w);
      return LRESULT(reinterpret_cast<std::uintptr_t>(old));
    }
    case WM_GETICON:
      return LRESULT(reinterpret_cast<std::uintptr_t>(wp == ICON_BIG ? w->IconBig : w->IconSmall));
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_WINDOWPOSCHANGED: {
      auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
      if (!pos) return 0;
      if (!(pos->flags & SWP_NOCLIENTMOVE))
        ws.Send(w, WM_MOVE, 0,
                MAKELPARAM(w->Rect.Left + w->Client.Left, w->Rect.Top + w->Client.Top));
      if ((w = ws.Find(hwnd)) && !(pos->flags & SWP_NOCLIENTSIZE))
        ws.Send(w, WM_SIZE, w->Maximized ? SIZE_MAXIMIZED : SIZE_RESTORED,
                MAKELPARAM(w->Client.Width(), w->Client.Height()));
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE && !HIWORD(wp)) SetFocus(hwnd);
      return 0;
    case WM_MOUSEACTIVATE:
      if (w->Parent) {
        LRESULT r = ws.Send(w->Parent, WM_MOUSEACTIVATE, wp, lp);
        if (r) return r;
      }
      return MA_ACTIVATE;
    case WM_SETCURSOR: {
      if (w->Parent && ws.Send(w->Parent, WM_SETCURSOR, wp, lp)) return 1;
      if (!(w = ws.Find(hwnd))) return 0;
      LRESULT hit = LRESULT(std::int16_t(LOWORD(lp)));
      if (hit == HTCLIENT) {
        if (HCURSOR c = w->Class->Info.hCursor) {
          SetCursor(c);
          return 1;
        }
        return 0;
      }
      if (hit == HTERROR) return 0;
      SetCursor(CursorForHit(w->Style & WS_THICKFRAME ? hit : HTCLIENT));
      return 1;
    }
    case WM_MOUSEWHEEL:
      if (w->Parent) return ws.Send(w->Parent, msg, wp, lp);
      return 0;
    case WM_NCLBUTTONDOWN: {
      LRESULT hit = LRESULT(wp);
      if (!w->Parent && ws.Input.Active != hwnd) ws.Activate(w, true);
      if (!(w = ws.Find(hwnd))) return 0;
      if (hit == HTCAPTION)
        return ws.Send(w, WM_SYSCOMMAND, WPARAM(SC_MOVE) | WPARAM(HTCAPTION), lp);
      if (hit == HTMENU) return ws.Send(w, WM_SYSCOMMAND, SC_MOUSEMENU, lp);
      if (hit == HTSYSMENU && (w->Style & WS_SYSMENU))
        return ws.Send(w, WM_SYSCOMMAND, SC_MOUSEMENU | WPARAM(HTSYSMENU), lp);
      if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT)
        return ws.Send(w, WM_SYSCOMMAND, SC_SIZE | WPARAM(hit - HTLEFT + 1), lp);
      if (hit == HTCLOSE || hit == HTMINBUTTON || hit == HTMAXBUTTON) {
        if (hit == HTMINBUTTON && !(w->Style & WS_MINIMIZEBOX)) return 0;
        if (hit == HTMAXBUTTON && !(w->Style & WS_MAXIMIZEBOX)) return 0;
        if (hit == HTCLOSE && (w->Class->Info.style & CS_NOCLOSE)) return 0;
        // Only a button the platform draws is tracked: a frame that draws its
        // own (and took WS_SYSMENU away) may pass its presses on unhandled.
        if (CaptionButtonRect(w, hit).IsEmpty()) return 0;
        SetCapture(hwnd);
        ws.Input.ButtonTrack = {hwnd, hit, true};
        if ((w = ws.Find(hwnd))) ws.NcPaintButton(w, hit);
      }
      if (hit == HTHSCROLL || hit == HTVSCROLL)
        ws.ScrollBars.BeginTrack(hwnd, hit == HTHSCROLL ? SB_HORZ : SB_VERT,
                                 {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (ws.ScrollBars.Tracking().Hwnd == hwnd) ws.ScrollBars.Abandon();
      return 0;
    case WM_NCLBUTTONDBLCLK:
      // A quick second press on a scroll bar presses it again.
      if (wp == HTHSCROLL || wp == HTVSCROLL) {
        ws.ScrollBars.BeginTrack(hwnd, wp == HTHSCROLL ? SB_HORZ : SB_VERT,
                                 {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
      }
      if (wp == HTCAPTION && (w->Style & WS_MAXIMIZEBOX))
        return ws.Send(w, WM_SYSCOMMAND, w->Maximized ? SC_RESTORE : SC_MAXIMIZE, lp);
      if (wp == HTSYSMENU) return ws.Send(w, WM_SYSCOMMAND, SC_CLOSE, lp);
      return 0;
    case WM_SYSCOMMAND:
      return SysCommand(w, wp, lp);
    case WM_NEXTDLGCTL:
      NextDlgCtl(hwnd, wp, lp);
      return 0;
    case WM_SYSKEYDOWN:
      if (wp == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000)) {
        // Shift+F10 asks for the context menu of the focus window.
        ws.Send(w, WM_CONTEXTMENU, WPARAM(reinterpret_cast<std::uintptr_t>(hwnd)), LPARAM(-1));
        return 0;
      }
      if (wp == VK_F4 && (GetKeyState(VK_MENU) & 0x8000)) {
        TWnd* top = ws.Top(w);
        ws.Send(top, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    case WM_SYSKEYUP:
      // Alt pressed and released alone, or F10, opens the keyboard menu.
      if (((wp == VK_MENU || wp == VK_LMENU || wp == VK_RMENU) && ws.Input.AltAlone) ||
          (wp == VK_F10 && !(GetKeyState(VK_SHIFT) & 0x8000))) {
        ws.Input.AltAlone = false;
        ws.Send(ws.Top(w), WM_SYSCOMMAND, SC_KEYMENU, 0);
      }
      return 0;
    case WM_SYSCHAR:
      if (wp != '\r' && wp != 0x1B) ws.Send(ws.Top(w), WM_SYSCOMMAND, SC_KEYMENU, LPARAM(wp));
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR: {
      // The system colours (see the convention in WinDefs.h).
      bool field = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
      TColor bg = GetSysColor(field                         ? COLOR_WINDOW
                              : msg == WM_CTLCOLORSCROLLBAR ? COLOR_SCROLLBAR
                                                            : COLOR_BTNFACE);
      if (HDC dc = AsDC(wp)) {
        dc->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
        dc->SetBkColor(bg);
      }
      return CtlColorResult(bg);
    }
    case WM_RBUTTONUP: {
      // The context menu request goes out on the release, in screen coordinates.
      TPoint p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      ClientToScreen(hwnd, &p);
      ws.Send(w, WM_CONTEXTMENU, WPARAM(reinterpret_cast<std::uintptr_t>(hwnd)),
              MAKELPARAM(p.X, p.Y));
      return 0;
    }
    case WM_NCRBUTTONUP:
      ws.Send(w, WM_CONTEXTMENU, WPARAM(reinterpret_cast<std::uintptr_t>(hwnd)), lp);
      return 0;
    case WM_KEYUP:
      if (wp == WPARAM(VK_APPS))
        ws.Send(w, WM_CONTEXTMENU, WPARAM(reinterpret_cast<std::uintptr_t>(hwnd)), LPARAM(-1));
      return 0;
    case WM_CONTEXTMENU:
      // Unanswered, the request travels up to the parent (wParam still names
      // the window it started in); on a top-level window's caption it opens
      // the system menu.
      if (w->Parent) return ws.Send(w->Parent, WM_CONTEXTMENU, wp, lp);
      MenuContextMenu(hwnd, lp);
      return 0;
    case WM_CANCELMODE:
      // Ends whatever mouse mode the window runs: capture, frame drags, title buttons.
      if (ws.Input.Drag.Hwnd == hwnd) ws.Input.Drag = {};
      if (ws.Input.ButtonTrack.Hwnd == hwnd) {
        const LRESULT hit = ws.Input.ButtonTrack.Hit;
        ws.Input.ButtonTrack = {};
        ws.NcPaintButton(w, hit);
      }
      if (ws.Input.Capture == hwnd) ReleaseCapture();
      return 0;
  }
  return 0;
}

}  // namespace vm
