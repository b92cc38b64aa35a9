#include "tools/demo/DemoButton.h"

#include "platform/gfx/SysColors.h"
#include "tools/demo/DemoEdit.h"
#include "tools/demo/DemoPaint.h"
#include "tools/demo/DemoWindowObject.h"

namespace vm::demo {

void TDemoButton::Register() {
  WNDCLASS wc;
  wc.style = 0;
  wc.lpfnWndProc = &TDemoButton::Proc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = clNone;
  wc.lpszClassName = ClassName;
  wc.cbWndExtra = WindowObjectBytes;
  RegisterClass(wc);
}

HWND TDemoButton::Create(HWND parent, int id, std::string_view caption, const TRect& b) {
  return CreateWindowEx(0, ClassName, caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP, b.Left, b.Top,
                        b.Width(), b.Height(), parent, id);
}

void TDemoButton::SetPressed(HWND hwnd, bool pressed) {
  if (pressed_ == pressed) return;
  pressed_ = pressed;
  InvalidateRect(hwnd, nullptr, false);
}

void TDemoButton::Click(HWND hwnd) {
  SendMessage(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), NotifyClicked),
              LPARAM(reinterpret_cast<std::intptr_t>(hwnd)));
}

void TDemoButton::Paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  TRect r;
  GetClientRect(hwnd, &r);
  FillRect(dc, &r, Sys(COLOR_BTNFACE));
  if (pressed_) {
    // Pushed in: a dark frame and a shadow line, the caption one pixel down.
    FrameRect(dc, &r, Sys(COLOR_3DDKSHADOW));
    TRect inner{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    FrameRect(dc, &inner, Sys(COLOR_BTNSHADOW));
  } else {
    DrawRaisedEdge(dc, r);
  }
  dc->SelectFont(TFont::Default());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, Sys(IsWindowEnabled(hwnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  TRect text = r;
  if (pressed_) text = text.Offset(1, 1);
  DrawText(dc, GetWindowText(hwnd), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (focused_) {
    // The focus mark: a dotted rectangle inside the edge.
    TRect f{r.Left + 4, r.Top + 4, r.Right - 4, r.Bottom - 4};
    for (int x = f.Left; x < f.Right; x += 2) {
      SetPixel(dc, x, f.Top, Sys(COLOR_BTNTEXT));
      SetPixel(dc, x, f.Bottom - 1, Sys(COLOR_BTNTEXT));
    }
    for (int y = f.Top; y < f.Bottom; y += 2) {
      SetPixel(dc, f.Left, y, Sys(COLOR_BTNTEXT));
      SetPixel(dc, f.Right - 1, y, Sys(COLOR_BTNTEXT));
    }
  }
  EndPaint(hwnd, &ps);
}

LRESULT TDemoButton::Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  TDemoButton* self = WindowObject<TDemoButton>(hwnd, msg, [] { return new TDemoButton; });
  if (!self) return DefWindowProc(hwnd, msg, w, l);

  switch (msg) {
    case WM_PAINT:
      self->Paint(hwnd);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      self->tracking_ = true;
      SetCapture(hwnd);
      self->SetPressed(hwnd, true);
      return 0;
    case WM_MOUSEMOVE:
      if (self->tracking_) {
        TRect r;
        GetClientRect(hwnd, &r);
        self->SetPressed(hwnd, r.Contains({GET_X_LPARAM(l), GET_Y_LPARAM(l)}));
      }
      return 0;
    case WM_LBUTTONUP:
      if (self->tracking_) {
        const bool click = self->pressed_;
        // Releasing the capture sends WM_CAPTURECHANGED, which resets the state.
        ReleaseCapture();
        self->tracking_ = false;
        self->SetPressed(hwnd, false);
        if (click) self->Click(hwnd);
      }
      return 0;
    case WM_CAPTURECHANGED:
      self->tracking_ = false;
      self->SetPressed(hwnd, self->keyDown_);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      self->focused_ = msg == WM_SETFOCUS;
      if (!self->focused_) {
        self->keyDown_ = false;
        self->SetPressed(hwnd, self->tracking_ && self->pressed_);
      }
      InvalidateRect(hwnd, nullptr, false);
      NotifyParent(hwnd, self->focused_ ? NotifySetFocus : NotifyKillFocus);
      return 0;
    case WM_KEYDOWN:
      if (w == VK_SPACE) {
        self->keyDown_ = true;
        self->SetPressed(hwnd, true);
        return 0;
      }
      if (w == VK_RETURN) {
        self->Click(hwnd);
        return 0;
      }
      return DefWindowProc(hwnd, msg, w, l);
    case WM_KEYUP:
      if (w == VK_SPACE && self->keyDown_) {
        self->keyDown_ = false;
        self->SetPressed(hwnd, false);
        self->Click(hwnd);
        return 0;
      }
      return DefWindowProc(hwnd, msg, w, l);
    case WM_SETTEXT:
    case WM_ENABLE: {
      LRESULT r = DefWindowProc(hwnd, msg, w, l);
      InvalidateRect(hwnd, nullptr, false);
      return r;
    }
    default:
      return DefWindowProc(hwnd, msg, w, l);
  }
}

}  // namespace vm::demo
