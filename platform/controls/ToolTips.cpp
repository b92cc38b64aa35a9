// The "tooltips_class32" control: a small owned pop-up that shows a tool's
// hint once the pointer has rested over the tool for the initial delay,
// moves on to the next tool it is led to, and goes away when the pointer
// leaves, on a click or after its pop delay. It learns of the mouse from
// TTM_RELAYEVENT or by subclassing the tool's window (TTF_SUBCLASS). Every
// delay is a window timer, so it runs on the host's clock.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/Controls.h"
#include "platform/gfx/SysColors.h"

namespace vm {

namespace {

constexpr UINT_PTR ShowTimer = 1;
constexpr UINT_PTR PopTimer = 2;
constexpr UINT_PTR LeaveTimer = 3;
// How often a hint checks that the pointer is still over its tool.
constexpr UINT LeaveCheck = 100;
constexpr int PadX = 4, PadY = 2;

struct TTool {
  UINT Flags = 0;
  HWND Hwnd = nullptr;
  UINT_PTR Id = 0;
  TRect Rect;
  std::string Text;
  bool Callback = false;
  LPARAM Param = 0;
  WNDPROC Mine, Previous;  // TTF_SUBCLASS
  HWND Window() const { return (Flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(Id) : Hwnd; }
};

LRESULT Relay(HWND tip, HWND from, UINT msg, WPARAM w, LPARAM l) {
  MSG m;
  m.hwnd = from;
  m.message = msg;
  m.wParam = w;
  m.lParam = l;
  return SendMessage(tip, TTM_RELAYEVENT, 0, LPARAM(&m));
}

class TToolTip {
 public:
  explicit TToolTip(HWND h) : h_(h) {}
  LRESULT Proc(UINT msg, WPARAM w, LPARAM l);
  int Depth = 0;
  bool Dead = false;

 private:
  int Find(HWND hwnd, UINT_PTR id) const;
  int ToolAt(HWND window, TPoint client) const;
  void OnMouse(const MSG& m);
  void Show();
  void Hide();
  void Forget(int i);
  std::string TextOf(int i);
  std::shared_ptr<const TFont> Font() const;
  void Paint();

  HWND h_;
  std::vector<TTool> tools_;
  int current_ = -1;
  bool shown_ = false;
  bool suppressed_ = false;  // after a click or the pop delay, until the pointer leaves the tool
  bool active_ = true;
  TPoint rest_{-100000, -100000};
  UINT initial_ = 500, autopop_ = 5000, reshow_ = 100;
  int maxWidth_ = -1;
  HFONT font_ = nullptr;
  std::string shownText_;
};

std::shared_ptr<const TFont> TToolTip::Font() const {
  if (font_)
    if (auto f = GetFontObject(font_)) return f;
  return TFont::Default();
}

int TToolTip::Find(HWND hwnd, UINT_PTR id) const {
  for (std::size_t i = 0; i < tools_.size(); ++i)
    if (tools_[i].Hwnd == hwnd && tools_[i].Id == id) return int(i);
  return -1;
}

int TToolTip::ToolAt(HWND window, TPoint client) const {
  for (std::size_t i = 0; i < tools_.size(); ++i) {
    const TTool& t = tools_[i];
    if (t.Window() != window) continue;
    if ((t.Flags & TTF_IDISHWND) || t.Rect.Contains(client)) return int(i);
  }
  return -1;
}

std::string TToolTip::TextOf(int i) {
  if (i < 0 || i >= int(tools_.size())) return {};
  if (!tools_[std::size_t(i)].Callback) return tools_[std::size_t(i)].Text;
  // The tool's window is asked each time.
  NMTTDISPINFO di;
  di.hdr.hwndFrom = h_;
  di.hdr.idFrom = tools_[std::size_t(i)].Id;
  di.hdr.code = TTN_GETDISPINFO;
  di.lParam = tools_[std::size_t(i)].Param;
  di.uFlags = tools_[std::size_t(i)].Flags;
  HWND to = tools_[std::size_t(i)].Hwnd;
  if (to) SendMessage(to, WM_NOTIFY, di.hdr.idFrom, LPARAM(&di));
  di.szText[sizeof di.szText - 1] = '\0';
  if (di.lpszText && di.lpszText != LPSTR_TEXTCALLBACK) return di.lpszText;
  return di.szText;
}

void TToolTip::Show() {
  KillTimer(h_, ShowTimer);
  if (!active_ || suppressed_ || current_ < 0) return;
  std::string text = TextOf(current_);
  if (!IsWindow(h_) || current_ < 0 || text.empty()) return;
  shownText_ = text;
  // As large as the text, below the pointer, on the screen.
  TBitmap scratch(1, 1);
  TDC measure(scratch);
  measure.SelectFont(Font());
  TRect r{0, 0, maxWidth_ > 0 ? maxWidth_ : 2000, 0};
  std::uint32_t flags =
      DT_CALCRECT | DT_NOPREFIX | (maxWidth_ > 0 ? std::uint32_t(DT_WORDBREAK) : 0u);
  measure.DrawText(text, r, flags);
  int width = r.Width() + 2 * PadX + 2, height = r.Height() + 2 * PadY + 2;
  TPoint p;
  GetCursorPos(&p);
  TRect work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  int x = std::clamp(p.X, work.Left, std::max(work.Left, work.Right - width));
  int y = p.Y + 20;
  if (y + height > work.Bottom) y = std::max(work.Top, p.Y - height - 2);
  NMHDR hdr;
  hdr.hwndFrom = h_;
  hdr.idFrom = tools_[std::size_t(current_)].Id;
  hdr.code = TTN_SHOW;
  if (HWND to = tools_[std::size_t(current_)].Hwnd)
    SendMessage(to, WM_NOTIFY, hdr.idFrom, LPARAM(&hdr));
  if (!IsWindow(h_)) return;
  SetWindowPos(h_, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(h_, nullptr, true);
  shown_ = true;
  SetTimer(h_, PopTimer, autopop_);
}

void TToolTip::Hide() {
  KillTimer(h_, PopTimer);
  if (!shown_) return;
  shown_ = false;
  ShowWindow(h_, SW_HIDE);
  if (current_ >= 0 && current_ < int(tools_.size())) {
    NMHDR hdr;
    hdr.hwndFrom = h_;
    hdr.idFrom = tools_[std::size_t(current_)].Id;
    hdr.code = TTN_POP;
    if (HWND to = tools_[std::size_t(current_)].Hwnd)
      SendMessage(to, WM_NOTIFY, hdr.idFrom, LPARAM(&hdr));
  }
}

void TToolTip::OnMouse(const MSG& m) {
  switch (m.message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
      // A click puts the hint away until the pointer moves to another tool.
      KillTimer(h_, ShowTimer);
      Hide();
      suppressed_ = current_ >= 0;
      return;
    case WM_MOUSEMOVE:
      break;
    default:
      return;
  }
  TPoint client{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
  TPoint screen = client;
  ClientToScreen(m.hwnd, &screen);
  int tool = ToolAt(m.hwnd, client);
  if (tool != current_) {
    bool wasShown = shown_;
    Hide();
    current_ = tool;
    suppressed_ = false;
    rest_ = screen;
    KillTimer(h_, ShowTimer);
    if (tool < 0) {
      KillTimer(h_, LeaveTimer);
      return;
    }
    // From one hint to the next the wait is short.
    SetTimer(h_, ShowTimer, wasShown ? reshow_ : initial_);
    SetTimer(h_, LeaveTimer, LeaveCheck);
    return;
  }
  if (tool >= 0 && !shown_ && !suppressed_ && screen != rest_) {
    // The pointer must rest: a move starts the wait again.
    rest_ = screen;
    SetTimer(h_, ShowTimer, initial_);
  }
}

void TToolTip::Forget(int i) {
  TTool& t = tools_[std::size_t(i)];
  if ((t.Flags & TTF_SUBCLASS) && IsWindow(t.Window()) && GetWindowProc(t.Window()) == t.Mine)
    SetWindowProc(t.Window(), t.Previous);
  if (i == current_) {
    Hide();
    current_ = -1;
  } else if (i < current_) {
    --current_;
  }
  tools_.erase(tools_.begin() + i);
}

void TToolTip::Paint() {
  TPaintDC paint(h_);
  HDC dc = paint.Dc();
  if (!dc) return;
  TRect c;
  GetClientRect(h_, &c);
  dc->FillRect(c, GetSysColor(COLOR_INFOBK));
  dc->FrameRect(c, GetSysColor(COLOR_WINDOWFRAME));
  dc->SelectFont(Font());
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(GetSysColor(COLOR_INFOTEXT));
  TRect t{c.Left + 1 + PadX, c.Top + 1 + PadY, c.Right - 1 - PadX, c.Bottom - 1 - PadY};
  dc->DrawText(shownText_, t, DT_NOPREFIX | (maxWidth_ > 0 ? std::uint32_t(DT_WORDBREAK) : 0u));
}

LRESULT TToolTip::Proc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(w);
      return 0;
    case WM_GETFONT:
      return LRESULT(reinterpret_cast<std::uintptr_t>(font_));
    case WM_TIMER:
      if (w == ShowTimer) {
        Show();
      } else if (w == PopTimer) {
        Hide();
        suppressed_ = true;
      } else if (w == LeaveTimer) {
        // Left the tool without a move reaching us (another window, the desktop)?
        TPoint p;
        GetCursorPos(&p);
        HWND under = WindowFromPoint(p);
        bool still = false;
        if (current_ >= 0) {
          const TTool& t = tools_[std::size_t(current_)];
          TPoint c = p;
          ScreenToClient(t.Window(), &c);
          still = (under == t.Window() || under == h_) &&
                  ((t.Flags & TTF_IDISHWND) || t.Rect.Contains(c));
        }
        if (!still) {
          KillTimer(h_, ShowTimer);
          KillTimer(h_, LeaveTimer);
          Hide();
          current_ = -1;
          suppressed_ = false;
        }
      }
      return 0;
    case WM_DESTROY:
      for (int i = int(tools_.size()) - 1; i >= 0; --i) Forget(i);
      return 0;

    case TTM_ACTIVATE:
      active_ = w != 0;
      if (!active_) Hide();
      return 0;
    case TTM_SETDELAYTIME: {
      int ms = GET_X_LPARAM(l);
      if (w == TTDT_AUTOMATIC) {
        initial_ = ms < 0 ? 500 : UINT(ms);
        autopop_ = initial_ * 10;
        reshow_ = initial_ / 5;
      } else if (w == TTDT_INITIAL) {
        initial_ = ms < 0 ? 500 : UINT(ms);
      } else if (w == TTDT_AUTOPOP) {
        autopop_ = ms < 0 ? 5000 : UINT(ms);
      } else if (w == TTDT_RESHOW) {
        reshow_ = ms < 0 ? 100 : UINT(ms);
      }
      return 0;
    }
    case TTM_GETDELAYTIME:
      return w == TTDT_AUTOPOP ? autopop_ : w == TTDT_RESHOW ? reshow_ : initial_;
    case TTM_ADDTOOL: {
      auto* ti = reinterpret_cast<const TOOLINFO*>(l);
      if (!ti || Find(ti->hwnd, ti->uId) >= 0) return 0;
      TTool t;
      t.Flags = ti->uFlags;
      t.Hwnd = ti->hwnd;
      t.Id = ti->uId;
      t.Rect = ti->rect;
      t.Param = ti->lParam;
      t.Callback = ti->lpszText == LPSTR_TEXTCALLBACK;
      if (!t.Callback && ti->lpszText) t.Text = ti->lpszText;
      if ((t.Flags & TTF_SUBCLASS) && IsWindow(t.Window())) {
        // The tool's own mouse messages reach the hint first. The closure holds
        // handles only, so it outlives either window safely.
        HWND tip = h_;
        auto previous = std::make_shared<WNDPROC>();
        t.Mine = WNDPROC::FromClosure([tip, previous](HWND h, UINT m, WPARAM w, LPARAM l) {
          if ((m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || m == WM_NCLBUTTONDOWN ||
              m == WM_NCRBUTTONDOWN)
            if (IsWindow(tip)) Relay(tip, h, m, w, l);
          return CallWindowProc(*previous, h, m, w, l);
        });
        t.Previous = SetWindowProc(t.Window(), t.Mine);
        *previous = t.Previous;
      }
      tools_.push_back(std::move(t));
      return 1;
    }
    case TTM_DELTOOL: {
      auto* ti = reinterpret_cast<const TOOLINFO*>(l);
      int i = ti ? Find(ti->hwnd, ti->uId) : -1;
      if (i >= 0) Forget(i);
      return 0;
    }
    case TTM_NEWTOOLRECT: {
      auto* ti = reinterpret_cast<const TOOLINFO*>(l);
      int i = ti ? Find(ti->hwnd, ti->uId) : -1;
      if (i >= 0) tools_[std::size_t(i)].Rect = ti->rect;
      return 0;
    }
    case TTM_UPDATETIPTEXT: {
      auto* ti = reinterpret_cast<const TOOLINFO*>(l);
      int i = ti ? Find(ti->hwnd, ti->uId) : -1;
      if (i < 0) return 0;
      TTool& t = tools_[std::size_t(i)];
      t.Callback = ti->lpszText == LPSTR_TEXTCALLBACK;
      t.Text = !t.Callback && ti->lpszText ? ti->lpszText : "";
      if (i == current_ && shown_) {
        // A hint on screen takes its new text at once.
        shown_ = false;
        Show();
      }
      return 0;
    }
    case TTM_GETTEXT: {
      auto* ti = reinterpret_cast<TOOLINFO*>(l);
      int i = ti ? Find(ti->hwnd, ti->uId) : -1;
      if (i < 0 || !ti->lpszText || ti->lpszText == LPSTR_TEXTCALLBACK) return 0;
      std::string text = TextOf(i);
      std::size_t n = std::min(text.size(), std::size_t(std::max<WPARAM>(w, 1) - 1));
      std::memcpy(ti->lpszText, text.data(), n);
      ti->lpszText[n] = '\0';
      return LRESULT(n);
    }
    case TTM_GETTOOLINFO: {
      auto* ti = reinterpret_cast<TOOLINFO*>(l);
      int i = ti ? Find(ti->hwnd, ti->uId) : -1;
      if (i < 0) return 0;
      ti->uFlags = tools_[std::size_t(i)].Flags;
      ti->rect = tools_[std::size_t(i)].Rect;
      ti->lParam = tools_[std::size_t(i)].Param;
      return 1;
    }
    case TTM_GETTOOLCOUNT:
      return LRESULT(tools_.size());
    case TTM_SETMAXTIPWIDTH: {
      int old = maxWidth_;
      maxWidth_ = int(l);
      return old;
    }
    case TTM_POP:
      KillTimer(h_, ShowTimer);
      Hide();
      return 0;
    case TTM_RELAYEVENT:
      if (auto* m = reinterpret_cast<const MSG*>(l); m && IsWindow(m->hwnd)) OnMouse(*m);
      return 0;
  }
  return DefWindowProc(h_, msg, w, l);
}

LRESULT Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  return ctl::DispatchToObject<TToolTip>(h, msg, w, l, [&](TToolTip*) {
    // A hint is a borderless, never activated pop-up of the tool-window kind,
    // which the desktop leaves unmanaged; its frame is painted inside.
    SetWindowLongPtr(h, GWL_STYLE,
                     (GetWindowLongPtr(h, GWL_STYLE) | LONG_PTR(WS_POPUP)) &
                         ~LONG_PTR(WS_CAPTION | WS_THICKFRAME | WS_CHILD));
    SetWindowLongPtr(h, GWL_EXSTYLE,
                     GetWindowLongPtr(h, GWL_EXSTYLE) | LONG_PTR(WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
  });
}

}  // namespace

void RegisterToolTipsClass() {
  ctl::RegisterControlClass(WC_TOOLTIPS, &Proc, CS_SAVEBITS, clNone);
}

}  // namespace vm
