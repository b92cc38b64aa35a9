// The "ScrollBar" control: a bar of its own (SBS_HORZ / SBS_VERT) that
// reports to its parent with WM_HSCROLL / WM_VSCROLL and lParam = the
// control. Values, painting and mouse tracking are the window system's
// scroll-bar engine, the same one a window's own bars use; this procedure
// adds the keyboard and the size box styles.
#include "platform/controls/ControlSupport.h"
#include "platform/controls/Controls.h"
#include "platform/gfx/ClassicDraw.h"
#include "platform/win/WinApi.h"

namespace vm {

namespace {

bool IsSizeBox(HWND h) {
  return (GetWindowLongPtr(h, GWL_STYLE) & (SBS_SIZEBOX | SBS_SIZEGRIP)) != 0;
}

int KeyCode(WPARAM vk) {
  switch (int(vk)) {
    case VK_UP:
    case VK_LEFT:
      return SB_LINEUP;
    case VK_DOWN:
    case VK_RIGHT:
      return SB_LINEDOWN;
    case VK_PRIOR:
      return SB_PAGEUP;
    case VK_NEXT:
      return SB_PAGEDOWN;
    case VK_HOME:
      return SB_TOP;
    case VK_END:
      return SB_BOTTOM;
  }
  return -1;
}

LRESULT ScrollBarProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case SBM_SETPOS:
    case SBM_GETPOS:
    case SBM_SETRANGE:
    case SBM_GETRANGE:
    case SBM_ENABLE_ARROWS:
    case SBM_SETRANGEREDRAW:
    case SBM_SETSCROLLINFO:
    case SBM_GETSCROLLINFO:
      return ScrollBarControlMessage(h, msg, w, l);
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (dc) {
        if (IsSizeBox(h)) {
          TRect r;
          GetClientRect(h, &r);
          DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
        } else {
          PaintScrollBarControl(h, dc);
        }
      }
      EndPaint(h, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the bar covers its whole client area
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (IsSizeBox(h)) {
        // Dragging the grip sizes the window it belongs to.
        HWND top = GetAncestor(h, GA_ROOT);
        if (top && top != h) SendMessage(top, WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, 0);
        return 0;
      }
      if (GetWindowLongPtr(h, GWL_STYLE) & WS_TABSTOP) SetFocus(h);
      TPoint p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      ClientToScreen(h, &p);
      TrackScrollBarControl(h, p);
      return 0;
    }
    case WM_SETCURSOR:
      if (IsSizeBox(h) && LOWORD(l) == HTCLIENT) {
        SetCursor(LoadCursor(nullptr, IDC_SIZENWSE));
        return 1;
      }
      break;
    case WM_KEYDOWN: {
      int code = KeyCode(w);
      if (code < 0 || IsSizeBox(h)) break;
      if (NotifyScrollBarControl(h, code) && IsWindow(h)) NotifyScrollBarControl(h, SB_ENDSCROLL);
      return 0;
    }
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_ENABLE:
      ScrollBarControlMessage(h, msg, w, l);
      InvalidateRect(h, nullptr, false);
      return 0;
    case WM_SIZE:
      InvalidateRect(h, nullptr, false);
      return 0;
  }
  return DefWindowProc(h, msg, w, l);
}

}  // namespace

void RegisterScrollBarClass() {
  ctl::RegisterControlClass("ScrollBar", &ScrollBarProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                            clNone);
}

}  // namespace vm
