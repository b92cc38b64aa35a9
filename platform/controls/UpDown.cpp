// The "msctls_updown32" window class: a pair of arrow buttons that step a
// whole-number position, usually beside an edit field (its buddy).
//
// The up arrow (the right one with UDS_HORZ) moves toward the range's
// maximum, the other toward its minimum; a range given with its maximum
// below its minimum therefore counts down on the up arrow. A new control's
// range is 0 to 100 with the position at 0. Each step is first offered to
// the parent as UDN_DELTAPOS (the position and the proposed change; a
// non-zero answer refuses it); then the position changes, a UDS_SETBUDDYINT
// buddy shows it, and the parent hears WM_VSCROLL (WM_HSCROLL with UDS_HORZ)
// with SB_THUMBPOSITION and the position in the high word, the control in
// lParam. Releasing the arrow sends SB_ENDSCROLL. A step past an end stops
// at the end; with UDS_WRAP a step from the end goes on at the other end.
//
// An arrow held with the mouse steps at once, again after ScrollRepeatDelay
// and then every ScrollRepeatInterval while the pointer stays on it; how far
// each step goes follows the acceleration table (UDM_SETACCEL) by how long
// the arrow has been held. With UDS_ARROWKEYS the Up and Down keys in the
// buddy (or in the control when it has the focus) step the same way.
//
// With UDS_SETBUDDYINT the buddy's text is the position's truth as far as
// the user is concerned: before each step and on UDM_GETPOS the number
// typed there is read back (UDM_GETPOS flags an error unless the position
// is that number, as typed and within the range) (decimal with or without group separators, or
// hexadecimal in base 16), so stepping continues from what was typed and
// brings a value outside the range back into it. UDS_ALIGNRIGHT and
// UDS_ALIGNLEFT move the control onto the buddy's right or left edge, at
// the buddy's height, and narrow the buddy by the control's width.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/Controls.h"

namespace vm {

namespace {

using namespace ctl;

constexpr UINT_PTR RepeatTimer = 1;
constexpr int DefaultWidth = 16;
// Digit groups are separated by a no-break space, as Russian writes numbers.
constexpr std::string_view GroupSeparator = "\xC2\xA0";

enum class TArrow { None, Up, Down };

// ---- Numbers in the buddy ----

std::string Format(int value, int base, bool groups) {
  if (base == 16) {
    static const char digits[] = "0123456789ABCDEF";
    std::uint32_t v = std::uint32_t(value);
    std::string hex;
    do {
      hex.insert(hex.begin(), digits[v & 15]);
      v >>= 4;
    } while (v);
    return "0x" + hex;
  }
  const bool negative = value < 0;
  std::string digits = std::to_string(negative ? -std::int64_t(value) : std::int64_t(value));
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (groups && i > 0 && (digits.size() - i) % 3 == 0) out += GroupSeparator;
    out += digits[i];
  }
  return negative ? "-" + out : out;
}

// A whole number in the buddy's text; false for anything else (empty,
// letters, too large for 32 bits).
bool Parse(std::string_view s, int base, int* out) {
  auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
  bool negative = false;
  if (base != 16 && !s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (base == 16 && s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s.remove_prefix(2);
  std::int64_t v = 0;
  int digits = 0;
  bool lastWasDigit = false;
  while (!s.empty()) {
    const char c = s.front();
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d >= 0) {
      v = v * base + d;
      if (v > (base == 16 ? std::int64_t(UINT32_MAX) : std::int64_t(INT32_MAX) + 1)) return false;
      ++digits;
      lastWasDigit = true;
      s.remove_prefix(1);
      continue;
    }
    // Group separators only between digits.
    if (base != 16 && lastWasDigit && (c == ' ' || s.starts_with(GroupSeparator))) {
      s.remove_prefix(c == ' ' ? 1 : GroupSeparator.size());
      lastWasDigit = false;
      continue;
    }
    return false;
  }
  if (digits == 0 || !lastWasDigit) return false;
  if (base == 16) {
    *out = int(std::uint32_t(v));
    return true;
  }
  if (negative) v = -v;
  if (v > INT32_MAX || v < INT32_MIN) return false;
  *out = int(v);
  return true;
}

class TUpDown {
 public:
  explicit TUpDown(HWND h) : h_(h) {}
  ~TUpDown() { Unhook(); }
  TUpDown(const TUpDown&) = delete;
  TUpDown& operator=(const TUpDown&) = delete;
  LRESULT Proc(UINT msg, WPARAM w, LPARAM l);
  int Depth = 0;
  bool Dead = false;

 private:
  DWORD Style() const { return DWORD(GetWindowLongPtr(h_, GWL_STYLE)); }
  bool Horz() const { return (Style() & UDS_HORZ) != 0; }
  int Lo() const { return std::min(min_, max_); }
  int Hi() const { return std::max(min_, max_); }
  TRect ArrowRect(TArrow a) const;
  TArrow ArrowAt(TPoint p) const;
  int Increment(DWORD heldMs) const;

  bool ReadBuddy(int* value) const;
  bool SyncFromBuddy(int* raw);
  void WriteBuddy();
  void SetBuddy(HWND buddy);
  void Align();
  void Hook();
  void Unhook();

  bool Step(TArrow a, DWORD heldMs);
  void SendScroll(int code);
  void EndPress(bool fromRelease);
  void SetPos(std::int64_t v);
  void Paint(TDC& dc);

  HWND h_;
  int min_ = 0, max_ = 100, pos_ = 0;
  int base_ = 10;
  std::vector<UDACCEL> accel_{{0, 1}, {2, 5}, {5, 20}};
  HWND buddy_ = nullptr;
  HWND hooked_ = nullptr;  // the buddy whose keys we listen to
  WNDPROC hookMine_;
  std::shared_ptr<WNDPROC> hookPrevious_;
  TArrow pressed_ = TArrow::None;
  bool byMouse_ = false;  // pressed by the mouse (else by a key)
  bool over_ = false;     // the pointer is on the pressed arrow
  DWORD pressStart_ = 0;
};

TRect TUpDown::ArrowRect(TArrow a) const {
  TRect c;
  GetClientRect(h_, &c);
  if (Horz()) {
    const int mid = c.Width() / 2;
    return a == TArrow::Up ? Rect(mid, 0, c.Right, c.Bottom) : Rect(0, 0, mid, c.Bottom);
  }
  const int mid = c.Height() / 2;
  return a == TArrow::Up ? Rect(0, 0, c.Right, mid) : Rect(0, mid, c.Right, c.Bottom);
}

TArrow TUpDown::ArrowAt(TPoint p) const {
  if (ArrowRect(TArrow::Up).Contains(p)) return TArrow::Up;
  if (ArrowRect(TArrow::Down).Contains(p)) return TArrow::Down;
  return TArrow::None;
}

int TUpDown::Increment(DWORD heldMs) const {
  std::int64_t inc = 1;
  for (const UDACCEL& a : accel_)
    if (std::uint64_t(a.nSec) * 1000 <= heldMs) inc = a.nInc;
  return int(std::min<std::int64_t>(inc, INT32_MAX));
}

bool TUpDown::ReadBuddy(int* value) const {
  if (!(Style() & UDS_SETBUDDYINT) || !buddy_ || !IsWindow(buddy_)) return false;
  return Parse(GetWindowText(buddy_), base_, value);
}

// Takes the number in the buddy as the position (clamped); *raw is the
// number as typed. False when the buddy holds no number.
bool TUpDown::SyncFromBuddy(int* raw) {
  int v = 0;
  if (!ReadBuddy(&v)) return false;
  pos_ = std::clamp(v, Lo(), Hi());
  if (raw) *raw = v;
  return true;
}

void TUpDown::WriteBuddy() {
  if (!(Style() & UDS_SETBUDDYINT) || !buddy_ || !IsWindow(buddy_)) return;
  const std::string text = Format(pos_, base_, !(Style() & UDS_NOTHOUSANDS));
  if (GetWindowText(buddy_) != text) SetWindowText(buddy_, text);
}

void TUpDown::SetPos(std::int64_t v) {
  pos_ = int(std::clamp<std::int64_t>(v, Lo(), Hi()));
  WriteBuddy();
}

void TUpDown::SetBuddy(HWND buddy) {
  Unhook();
  buddy_ = buddy && IsWindow(buddy) && buddy != h_ ? buddy : nullptr;
  if (!buddy_) return;
  Align();
  if (Style() & UDS_ARROWKEYS) Hook();
  WriteBuddy();
}

void TUpDown::Align() {
  const DWORD st = Style();
  if (!(st & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT)) || !buddy_) return;
  TRect b, me;
  GetWindowRect(buddy_, &b);
  GetWindowRect(h_, &me);
  // Attached already (the same buddy again, or a new window of this control
  // put back where the old one was): the buddy was narrowed once, not again.
  const bool onEdge = (st & UDS_ALIGNRIGHT) ? me.Left == b.Right : me.Right == b.Left;
  if (onEdge && me.Top == b.Top) {
    if (me.Height() != b.Height()) {
      TPoint p{me.Left, me.Top};
      if (HWND parent = GetParent(h_)) ScreenToClient(parent, &p);
      SetWindowPos(h_, nullptr, p.X, p.Y, me.Width(), b.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return;
  }
  const int w = std::min(me.Width() > 0 ? me.Width() : DefaultWidth, b.Width());
  auto place = [](HWND h, int screenX, int screenY, int cx, int cy) {
    TPoint p{screenX, screenY};
    if (HWND parent = GetParent(h)) ScreenToClient(parent, &p);
    SetWindowPos(h, nullptr, p.X, p.Y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
  };
  if (st & UDS_ALIGNRIGHT) {
    place(buddy_, b.Left, b.Top, b.Width() - w, b.Height());
    place(h_, b.Right - w, b.Top, w, b.Height());
  } else {
    place(buddy_, b.Left + w, b.Top, b.Width() - w, b.Height());
    place(h_, b.Left, b.Top, w, b.Height());
  }
}

// Listens to the buddy's Up and Down keys. The hook holds only the
// control's handle, so it never reaches a freed control; the keys are handed
// on as the control's own key messages.
void TUpDown::Hook() {
  HWND me = h_;
  auto previous = std::make_shared<WNDPROC>();
  hookMine_ = WNDPROC::FromClosure([me, previous](HWND hw, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if ((m == WM_KEYDOWN || m == WM_KEYUP) && (w == WPARAM(VK_UP) || w == WPARAM(VK_DOWN)) &&
        IsWindow(me) && IsWindowEnabled(me)) {
      SendMessage(me, m, w, l);
      return 0;
    }
    return CallWindowProc(*previous, hw, m, w, l);
  });
  *previous = SetWindowProc(buddy_, hookMine_);
  hookPrevious_ = previous;
  hooked_ = buddy_;
}

void TUpDown::Unhook() {
  if (!hooked_) return;
  RemoveWindowProc(hooked_, hookMine_, *hookPrevious_);
  hooked_ = nullptr;
  hookMine_ = nullptr;
  hookPrevious_.reset();
}

void TUpDown::SendScroll(int code) {
  HWND parent = GetParent(h_);
  if (!parent) return;
  SendMessage(parent, Horz() ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(code, pos_),
              LPARAM(reinterpret_cast<std::uintptr_t>(h_)));
}

// One step of the arrow; false when nothing moved (at an end, or refused).
bool TUpDown::Step(TArrow a, DWORD heldMs) {
  int current = pos_;
  SyncFromBuddy(&current);
  std::int64_t delta = Increment(heldMs);
  if ((a == TArrow::Down) != (min_ > max_)) delta = -delta;
  std::int64_t target = std::int64_t(current) + delta;
  const bool wrap = (Style() & UDS_WRAP) != 0;
  if (target > Hi()) target = wrap && current >= Hi() ? Lo() : Hi();
  if (target < Lo()) target = wrap && current <= Lo() ? Hi() : Lo();
  if (target == current) return false;
  NMUPDOWN nm;
  nm.iPos = pos_;
  nm.iDelta = int(delta);
  if (NotifyParent(h_, &nm.hdr, UDN_DELTAPOS) != 0 || Dead) return false;
  SetPos(target);
  SendScroll(SB_THUMBPOSITION);
  return true;
}

void TUpDown::EndPress(bool fromRelease) {
  if (pressed_ == TArrow::None) return;
  const bool mouse = byMouse_;
  pressed_ = TArrow::None;
  byMouse_ = false;
  KillTimer(h_, RepeatTimer);
  if (mouse && fromRelease && GetCapture() == h_) ReleaseCapture();
  InvalidateRect(h_, nullptr, false);
  if (!Dead) SendScroll(SB_ENDSCROLL);
}

// One arrow button: a raised face (flat with a shadow frame while held) and
// a solid triangle sized to the button, as small buttons of the classic look
// have them: 5 pixels wide in a 16 x 10 half.
void DrawArrowButton(TDC& dc, TRect r, TArrow a, bool horz, bool pushed, bool enabled) {
  if (r.IsEmpty()) return;
  if (pushed) {
    dc.FillRect(r, GetSysColor(COLOR_BTNFACE));
    dc.FrameRect(r, GetSysColor(COLOR_BTNSHADOW));
  } else {
    TRect edge = r;
    DrawEdge(&dc, &edge, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  }
  const int innerW = r.Width() - 4, innerH = r.Height() - 4;
  // t rows of the triangle, 2t - 1 pixels across at its base; it grows
  // with the button, a third of the button's shorter side beyond 3 rows.
  const int along = horz ? innerW : innerH, across = horz ? innerH : innerW;
  const int t = std::max(
      1, std::min({along / 2, (across + 1) / 2, std::max(3, std::min(along, across) / 3)}));
  const int base = 2 * t - 1;
  int x0 = r.Left + (r.Width() - (horz ? t : base)) / 2;
  int y0 = r.Top + (r.Height() - (horz ? base : t)) / 2;
  if (pushed) {
    ++x0;
    ++y0;
  }
  auto triangle = [&](int dx, int dy, TColor c) {
    for (int k = 0; k < t; ++k) {
      // Row k from the tip: 2k + 1 pixels.
      if (!horz) {
        const int y = a == TArrow::Up ? y0 + k : y0 + t - 1 - k;
        dc.FillRect(Rect(x0 + t - 1 - k + dx, y + dy, x0 + t + k + dx, y + dy + 1), c);
      } else {
        const int x = a == TArrow::Up ? x0 + t - 1 - k : x0 + k;
        dc.FillRect(Rect(x + dx, y0 + t - 1 - k + dy, x + dx + 1, y0 + t + k + dy), c);
      }
    }
  };
  if (enabled) {
    triangle(0, 0, GetSysColor(COLOR_BTNTEXT));
  } else {
    // Disabled: engraved, a light copy below and right of a grey one.
    triangle(1, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    triangle(0, 0, GetSysColor(COLOR_BTNSHADOW));
  }
}

void TUpDown::Paint(TDC& dc) {
  const bool enabled = IsWindowEnabled(h_);
  const bool horz = Horz();
  for (TArrow a : {TArrow::Up, TArrow::Down})
    DrawArrowButton(dc, ArrowRect(a), a, horz, pressed_ == a && (!byMouse_ || over_), enabled);
}

TArrow KeyArrow(WPARAM vk, bool horz) {
  if (vk == WPARAM(VK_UP) || (horz && vk == WPARAM(VK_RIGHT))) return TArrow::Up;
  if (vk == WPARAM(VK_DOWN) || (horz && vk == WPARAM(VK_LEFT))) return TArrow::Down;
  return TArrow::None;
}

LRESULT TUpDown::Proc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_CREATE: {
      const LRESULT r = DefWindowProc(h_, msg, w, l);
      // The buddy is the sibling made just before: a new child goes below its
      // siblings, so that is the one just above in z-order.
      if (Style() & UDS_AUTOBUDDY) SetBuddy(GetWindow(h_, GW_HWNDPREV));
      return r;
    }
    case WM_DESTROY:
      Unhook();
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      TPaintDC paint(h_);
      if (HDC dc = paint.Dc()) Paint(*dc);
      return 0;
    }
    case WM_PRINTCLIENT:
      if (w) Paint(*reinterpret_cast<HDC>(w));
      return 0;
    case WM_GETDLGCODE:
      return (Style() & UDS_ARROWKEYS) ? DLGC_WANTARROWS : 0;
    case WM_SIZE:
      InvalidateRect(h_, nullptr, false);
      return 0;
    case WM_ENABLE:
      if (!w) EndPress(true);
      InvalidateRect(h_, nullptr, false);
      return 0;
    case WM_CANCELMODE:
      EndPress(true);
      return 0;
    case WM_CAPTURECHANGED:
      if (byMouse_ && reinterpret_cast<HWND>(l) != h_) EndPress(false);
      return 0;

    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const TArrow a = ArrowAt({GET_X_LPARAM(l), GET_Y_LPARAM(l)});
      if (a == TArrow::None || pressed_ != TArrow::None) return 0;
      // Stepping a number means working in its field: the buddy takes the focus.
      if (buddy_ && IsWindow(buddy_) && IsWindowEnabled(buddy_) && GetFocus() != buddy_)
        SetFocus(buddy_);
      if (Dead) return 0;
      pressed_ = a;
      byMouse_ = true;
      over_ = true;
      pressStart_ = GetTickCount();
      SetCapture(h_);
      InvalidateRect(h_, nullptr, false);
      Step(a, 0);
      if (!Dead && pressed_ == a) SetTimer(h_, RepeatTimer, ScrollRepeatDelay);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (byMouse_ && pressed_ != TArrow::None) {
        const bool over = ArrowRect(pressed_).Contains({GET_X_LPARAM(l), GET_Y_LPARAM(l)});
        if (over != over_) {
          over_ = over;
          InvalidateRect(h_, nullptr, false);
        }
      }
      return 0;
    case WM_LBUTTONUP:
      if (byMouse_) EndPress(true);
      return 0;
    case WM_TIMER:
      if (w != RepeatTimer) break;
      if (pressed_ == TArrow::None || !byMouse_) {
        KillTimer(h_, RepeatTimer);
        return 0;
      }
      SetTimer(h_, RepeatTimer, ScrollRepeatInterval);
      if (over_) Step(pressed_, GetTickCount() - pressStart_);
      return 0;
    case WM_KEYDOWN: {
      const TArrow a = (Style() & UDS_ARROWKEYS) ? KeyArrow(w, Horz()) : TArrow::None;
      if (a == TArrow::None) break;
      if (byMouse_) return 0;  // the mouse holds an arrow already
      if (pressed_ != a) {
        pressed_ = a;
        pressStart_ = GetTickCount();
        InvalidateRect(h_, nullptr, false);
      }
      Step(a, GetTickCount() - pressStart_);
      return 0;
    }
    case WM_KEYUP:
      if (!byMouse_ && pressed_ != TArrow::None && KeyArrow(w, Horz()) == pressed_) {
        EndPress(true);
        return 0;
      }
      break;

    case UDM_SETRANGE:
      max_ = std::int16_t(LOWORD(WPARAM(l)));
      min_ = std::int16_t(HIWORD(WPARAM(l)));
      if (pos_ != std::clamp(pos_, Lo(), Hi())) SetPos(pos_);
      return 0;
    case UDM_GETRANGE:
      return MAKELONG(max_, min_);
    case UDM_SETRANGE32:
      min_ = int(std::intptr_t(w));
      max_ = int(l);
      if (pos_ != std::clamp(pos_, Lo(), Hi())) SetPos(pos_);
      return 0;
    case UDM_GETRANGE32:
      if (auto* p = reinterpret_cast<int*>(w)) *p = min_;
      if (auto* p = reinterpret_cast<int*>(l)) *p = max_;
      return 0;
    case UDM_SETPOS: {
      const int old = pos_;
      SetPos(std::int16_t(LOWORD(WPARAM(l))));
      return old;
    }
    case UDM_SETPOS32: {
      const int old = pos_;
      SetPos(std::int64_t(int(l)));
      return old;
    }
    case UDM_GETPOS:
    case UDM_GETPOS32: {
      // The position is read back from a UDS_SETBUDDYINT buddy. As on the
      // platform, the answer is flagged an error unless it is that number
      // and lay in the range: no number-showing buddy, a text that is no
      // number (the position stays) or a number pulled into the range.
      int raw = pos_;
      const bool read =
          (Style() & UDS_SETBUDDYINT) && buddy_ && IsWindow(buddy_) && SyncFromBuddy(&raw);
      const bool error = !read || raw != pos_;
      if (msg == UDM_GETPOS) return MAKELONG(pos_, error ? 1 : 0);
      if (auto* e = reinterpret_cast<bool*>(l)) *e = error;
      return pos_;
    }
    case UDM_SETBUDDY: {
      HWND old = buddy_;
      SetBuddy(reinterpret_cast<HWND>(w));
      return LRESULT(reinterpret_cast<std::uintptr_t>(old));
    }
    case UDM_GETBUDDY:
      return LRESULT(reinterpret_cast<std::uintptr_t>(buddy_));
    case UDM_SETACCEL: {
      const auto* a = reinterpret_cast<const UDACCEL*>(l);
      if (!a || w == 0 || w > 1024) return 0;
      accel_.assign(a, a + w);
      std::stable_sort(accel_.begin(), accel_.end(),
                       [](const UDACCEL& x, const UDACCEL& y) { return x.nSec < y.nSec; });
      return 1;
    }
    case UDM_GETACCEL:
      if (auto* a = reinterpret_cast<UDACCEL*>(l))
        std::copy_n(accel_.begin(), std::min<std::size_t>(w, accel_.size()), a);
      return LRESULT(accel_.size());
    case UDM_SETBASE: {
      if (w != 10 && w != 16) return 0;
      const int old = base_;
      base_ = int(w);
      WriteBuddy();
      return old;
    }
    case UDM_GETBASE:
      return base_;
  }
  return DefWindowProc(h_, msg, w, l);
}

LRESULT Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  return DispatchToObject<TUpDown>(h, msg, w, l);
}

}  // namespace

void RegisterUpDownClass() {
  RegisterControlClass(UPDOWN_CLASS, &Proc, 0, clNone);
}

}  // namespace vm
