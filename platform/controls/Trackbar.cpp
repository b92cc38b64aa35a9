// The "msctls_trackbar32" window class: a slider over a range of whole
// numbers, in the classic look.
//
// Layout, along the track (x of a horizontal bar, y of a TBS_VERT one): the
// channel runs from ChannelMargin to the far end less ChannelMargin, and the
// thumb travels inside it, so the thumb's centre is at the channel's start
// plus half the thumb's width at the minimum and at its end less that at the
// maximum. Across the track the thumb, with the tick marks beside it, is
// centred in the client area; the channel (ChannelThickness) is centred on
// the thumb. Tick marks are TickLength long, TickGap beyond the thumb.
// TBM_GETCHANNELRECT, TBM_GETTHUMBRECT and TBM_GETTICPOS answer exactly
// what is painted.
//
// Every change the user makes is told to the parent in WM_HSCROLL (or
// WM_VSCROLL for a vertical bar) with a TB_* code in the low word and the
// control in lParam, after the position has changed: arrow keys, Page Up
// and Page Down, Home and End, a drag of the thumb (TB_THUMBTRACK while it
// moves, TB_THUMBPOSITION where it is let go) and a press on the channel
// beside the thumb, which pages toward the pointer and repeats while the
// button is held until the thumb reaches the pointer. TB_ENDTRACK closes
// each of these when the key or the button is released.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/Controls.h"

namespace vm {

namespace {

using namespace ctl;

constexpr int DefaultThumbLength = 20;
constexpr int MinThumbLength = 6;
constexpr int ChannelThickness = 4;
constexpr int ChannelMargin = 8;
constexpr int TickLength = 4;
constexpr int TickGap = 2;
constexpr int TickSpace = TickGap + TickLength;
// Automatic tick marks beyond this many would draw a solid bar (and cost
// memory for nothing on a huge range): the frequency is raised instead.
constexpr std::int64_t MaxAutoTicks = 10000;
constexpr UINT_PTR RepeatTimer = 1;

constexpr TColor Sys(int index) {
  return 0xFF000000u | TColor(index);
}

// Where everything lies for the current size, style and position.
struct TLayout {
  bool Vert = false;
  int Length = 0;                  // the thumb across the track
  int Width = 0;                   // the thumb along the track (odd, so a point has a tip)
  int ChanStart = 0, ChanEnd = 0;  // along
  int ThumbTop = 0, ChanTop = 0;   // across
  bool TicksBefore = false, TicksAfter = false;
  TRect Channel, Thumb;  // client coordinates
};

enum class TTrack { None, Thumb, Page };

class TTrackbar {
 public:
  explicit TTrackbar(HWND h) : h_(h) {}
  LRESULT Proc(UINT msg, WPARAM w, LPARAM l);
  int Depth = 0;
  bool Dead = false;

 private:
  DWORD Style() const { return DWORD(GetWindowLongPtr(h_, GWL_STYLE)); }
  std::int64_t Range() const { return std::max<std::int64_t>(0, std::int64_t(max_) - min_); }
  int Clamp(std::int64_t v) const {
    return int(std::clamp<std::int64_t>(v, min_, std::max(min_, max_)));
  }
  TLayout Layout() const;
  int Offset(const TLayout& g, std::int64_t value) const;
  int ValueAt(const TLayout& g, int thumbStart) const;
  std::vector<int> InnerTicks() const;
  int TickPos(const TLayout& g, int value) const {
    return g.ChanStart + g.Width / 2 + Offset(g, value);
  }

  void Invalidate() { InvalidateRect(h_, nullptr, false); }
  void SetRange(std::int64_t mn, std::int64_t mx, bool redraw);
  bool Step(int code);
  void Notify(int code);
  void PageStep();
  void EndTracking(bool fromRelease);

  void Paint(TDC& dc);
  void PaintThumb(TDC& dc, const TLayout& g, bool dithered);

  HWND h_;
  int min_ = 0, max_ = 100, pos_ = 0;
  int line_ = 1, page_ = 20;
  bool pageSet_ = false;  // until TBM_SETPAGESIZE the page is a fifth of the range
  int thumbLength_ = DefaultThumbLength;
  int freq_ = 1;
  std::vector<int> tics_;  // set by TBM_SETTIC, sorted
  std::vector<DWORD> ticsOut_;
  TTrack track_ = TTrack::None;
  int grab_ = 0;           // where in the thumb (along) the drag took hold
  int pageCode_ = 0;       // TB_PAGEUP or TB_PAGEDOWN while paging
  int pointAlong_ = 0;     // the pointer along the track while paging
  bool keyTrack_ = false;  // a navigation key went down; its release ends the track
};

TLayout TTrackbar::Layout() const {
  TLayout g;
  TRect c;
  GetClientRect(h_, &c);
  const DWORD st = Style();
  g.Vert = (st & TBS_VERT) != 0;
  const int along = g.Vert ? c.Height() : c.Width();
  const int across = g.Vert ? c.Width() : c.Height();
  const bool ticks = !(st & TBS_NOTICKS);
  g.TicksBefore = ticks && (st & (TBS_BOTH | TBS_TOP));
  g.TicksAfter = ticks && ((st & TBS_BOTH) || !(st & TBS_TOP));
  const int before = g.TicksBefore ? TickSpace : 0;
  const int after = g.TicksAfter ? TickSpace : 0;
  if (st & TBS_FIXEDLENGTH)
    g.Length = thumbLength_;
  else
    g.Length = std::clamp(across - before - after - 4, MinThumbLength, DefaultThumbLength);
  g.Width = (g.Length / 2) | 1;
  const int margin = std::clamp((along - g.Width) / 2, 0, ChannelMargin);
  g.ChanStart = margin;
  g.ChanEnd = std::max(along - margin, margin + g.Width);
  // Centred as a block; a thumb longer than the bar is cut equally at both
  // sides, so the channel stays in the middle.
  g.ThumbTop = (across - (before + g.Length + after)) / 2 + before;
  g.ChanTop = g.ThumbTop + (g.Length - ChannelThickness) / 2;
  const int thumbStart = g.ChanStart + Offset(g, pos_);
  if (g.Vert) {
    g.Channel = Rect(g.ChanTop, g.ChanStart, g.ChanTop + ChannelThickness, g.ChanEnd);
    g.Thumb = Rect(g.ThumbTop, thumbStart, g.ThumbTop + g.Length, thumbStart + g.Width);
  } else {
    g.Channel = Rect(g.ChanStart, g.ChanTop, g.ChanEnd, g.ChanTop + ChannelThickness);
    g.Thumb = Rect(thumbStart, g.ThumbTop, thumbStart + g.Width, g.ThumbTop + g.Length);
  }
  return g;
}

// The thumb's distance from the channel's start for a value: the travel
// shared out over the range, to the nearest pixel.
int TTrackbar::Offset(const TLayout& g, std::int64_t value) const {
  const std::int64_t range = Range();
  const int travel = g.ChanEnd - g.ChanStart - g.Width;
  if (range <= 0 || travel <= 0) return 0;
  const std::int64_t v = std::clamp<std::int64_t>(value - min_, 0, range);
  return int(std::nearbyint(double(v) * travel / double(range)));
}

int TTrackbar::ValueAt(const TLayout& g, int thumbStart) const {
  const std::int64_t range = Range();
  const int travel = g.ChanEnd - g.ChanStart - g.Width;
  if (range <= 0 || travel <= 0) return min_;
  const double v = std::nearbyint(double(thumbStart - g.ChanStart) * double(range) / travel);
  return Clamp(std::int64_t(min_) + std::int64_t(std::clamp(v, -1.0, double(range) + 1.0)));
}

// The tick marks between the two ends (which always have one), in order.
std::vector<int> TTrackbar::InnerTicks() const {
  std::vector<int> out;
  for (int t : tics_)
    if (t > min_ && t < max_) out.push_back(t);
  if (Style() & TBS_AUTOTICKS) {
    const std::int64_t range = Range();
    std::int64_t f = std::max(1, freq_);
    f = std::max(f, (range + MaxAutoTicks - 1) / MaxAutoTicks);
    for (std::int64_t v = std::int64_t(min_) + f; v < max_; v += f) out.push_back(int(v));
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
  }
  return out;
}

void TTrackbar::SetRange(std::int64_t mn, std::int64_t mx, bool redraw) {
  min_ = int(std::clamp<std::int64_t>(mn, INT32_MIN, INT32_MAX));
  max_ = int(std::clamp<std::int64_t>(mx, INT32_MIN, INT32_MAX));
  if (!pageSet_) page_ = int(std::max<std::int64_t>(1, Range() / 5));
  pos_ = Clamp(pos_);
  if (redraw) Invalidate();
}

void TTrackbar::Notify(int code) {
  HWND parent = GetParent(h_);
  if (!parent) return;
  const int hi = (code == TB_THUMBTRACK || code == TB_THUMBPOSITION) ? pos_ : 0;
  SendMessage(parent, (Style() & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, hi),
              LPARAM(reinterpret_cast<std::uintptr_t>(h_)));
}

// One step of the keyboard or of paging. Tells the parent only when the
// position moved.
bool TTrackbar::Step(int code) {
  std::int64_t v = pos_;
  switch (code) {
    case TB_LINEUP:
      v -= line_;
      break;
    case TB_LINEDOWN:
      v += line_;
      break;
    case TB_PAGEUP:
      v -= page_;
      break;
    case TB_PAGEDOWN:
      v += page_;
      break;
    case TB_TOP:
      v = min_;
      break;
    case TB_BOTTOM:
      v = max_;
      break;
  }
  const int nv = Clamp(v);
  if (nv == pos_) return false;
  pos_ = nv;
  Invalidate();
  Notify(code);
  return true;
}

// A page toward the held pointer, unless the thumb has reached it.
void TTrackbar::PageStep() {
  const TLayout g = Layout();
  const int start = g.Vert ? g.Thumb.Top : g.Thumb.Left;
  const int end = g.Vert ? g.Thumb.Bottom : g.Thumb.Right;
  const bool reached = pageCode_ == TB_PAGEUP ? pointAlong_ >= start : pointAlong_ < end;
  if (reached || !Step(pageCode_)) KillTimer(h_, RepeatTimer);
}

void TTrackbar::EndTracking(bool fromRelease) {
  const TTrack was = track_;
  if (was == TTrack::None) return;
  track_ = TTrack::None;
  KillTimer(h_, RepeatTimer);
  if (fromRelease && GetCapture() == h_) ReleaseCapture();
  Invalidate();
  if (was == TTrack::Thumb) Notify(TB_THUMBPOSITION);
  if (!Dead) Notify(TB_ENDTRACK);
}

// ---- Painting ----

void TTrackbar::Paint(TDC& dc) {
  TRect c;
  GetClientRect(h_, &c);
  TDCSaver save(dc);
  const TColor back = AskColors(h_, WM_CTLCOLORSTATIC, &dc, Sys(COLOR_BTNTEXT), Sys(COLOR_BTNFACE));
  dc.FillRect(c, back);
  const TLayout g = Layout();
  const DWORD st = Style();
  const bool enabled = IsWindowEnabled(h_);

  if (g.TicksBefore || g.TicksAfter) {
    const TColor tick = enabled ? dc.TextColor() : Sys(COLOR_BTNSHADOW);
    const int gap = (g.Length - ChannelThickness) / 2 + TickGap;
    auto mark = [&](int along) {
      auto line = [&](int across) {
        dc.FillRect(g.Vert ? Rect(across, along, across + TickLength, along + 1)
                           : Rect(along, across, along + 1, across + TickLength),
                    tick);
      };
      if (g.TicksBefore) line(g.ChanTop - gap - TickLength);
      if (g.TicksAfter) line(g.ChanTop + ChannelThickness + gap);
    };
    mark(TickPos(g, min_));
    for (int t : InnerTicks()) mark(TickPos(g, t));
    mark(TickPos(g, max_));
  }

  TRect channel = g.Channel;
  DrawEdge(&dc, &channel, EDGE_SUNKEN, BF_RECT);

  if (!(st & TBS_NOTHUMB)) PaintThumb(dc, g, track_ == TTrack::Thumb || !enabled);
  if (GetFocus() == h_) DrawFocusRect(&dc, &c);
}

// The thumb: a raised block, pointing at the tick marks when they are on one
// side only. Drawn in the shape of a horizontal bar's thumb pointing down,
// with x along the track and y across; a vertical bar's thumb is the same
// shape mirrored over its diagonal, which keeps the light edges at the top
// and left. A held or disabled thumb has a dithered face.
void TTrackbar::PaintThumb(TDC& dc, const TLayout& g, bool dithered) {
  const int W = g.Width, L = g.Length;
  if (W <= 0 || L <= 0) return;
  // The shape is composed in memory, one colour number per pixel in the
  // device's orientation (0: left as it is), and drawn with one masked fill
  // per colour; a later put overwrites an earlier one, as drawing would.
  constexpr std::uint8_t face = 1, light = 2, shadow = 3, dark = 4;
  const TColor colours[5] = {CLR_NONE, GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNHIGHLIGHT),
                             GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_3DDKSHADOW)};
  const int dw = g.Vert ? L : W, dh = g.Vert ? W : L;
  std::vector<std::uint8_t> shape(std::size_t(dw) * std::size_t(dh), 0);
  auto put = [&](int x, int y, std::uint8_t col) {
    if (x < 0 || y < 0 || x >= W || y >= L) return;
    shape[g.Vert ? std::size_t(x) * std::size_t(dw) + std::size_t(y)
                 : std::size_t(y) * std::size_t(dw) + std::size_t(x)] = col;
  };
  auto fill = [&](int y, int x0, int x1) {
    for (int x = x0; x <= x1; ++x) {
      const bool odd = ((g.Thumb.Left + g.Thumb.Top + x + y) & 1) != 0;
      put(x, y, dithered && odd ? light : face);
    }
  };
  const DWORD st = Style();
  const int P = std::min(W / 2, L - 1);  // rows of the point
  if ((st & TBS_BOTH) || P <= 0) {
    for (int y = 0; y < L; ++y) fill(y, 0, W - 1);
    for (int x = 0; x < W - 1; ++x) put(x, 0, light);
    for (int y = 0; y < L - 1; ++y) put(0, y, light);
    for (int y = 1; y < L - 1; ++y) put(W - 2, y, shadow);
    for (int x = 1; x < W - 1; ++x) put(x, L - 2, shadow);
    for (int y = 0; y < L; ++y) put(W - 1, y, dark);
    for (int x = 0; x < W; ++x) put(x, L - 1, dark);
  } else if (st & TBS_TOP) {
    // Point at the top (toward tick marks above, or left of a vertical bar).
    for (int r = 0; r < P; ++r) fill(r, P - r, W - 1 - P + r);
    for (int y = P; y < L; ++y) fill(y, 0, W - 1);
    for (int r = 0; r < P; ++r)
      if (W - 2 - P + r > P - r) put(W - 2 - P + r, r, shadow);
    for (int y = P; y < L - 1; ++y) put(W - 2, y, shadow);
    for (int x = 1; x < W - 1; ++x) put(x, L - 2, shadow);
    for (int r = 0; r < P; ++r) put(W - 1 - P + r, r, dark);
    for (int y = P; y < L; ++y) put(W - 1, y, dark);
    for (int x = 0; x < W; ++x) put(x, L - 1, dark);
    for (int r = 0; r < P; ++r) put(P - r, r, light);
    for (int y = P; y < L - 1; ++y) put(0, y, light);
  } else {
    // Point at the bottom (toward tick marks below, or right of a vertical bar).
    const int body = L - P;
    for (int y = 0; y < body; ++y) fill(y, 0, W - 1);
    for (int k = 0; k < P; ++k) fill(body + k, k + 1, W - 2 - k);
    for (int x = 0; x < W - 1; ++x) put(x, 0, light);
    for (int y = 0; y < body; ++y) put(0, y, light);
    for (int k = 0; k < P; ++k) put(k + 1, body + k, light);
    for (int y = 1; y < body; ++y) put(W - 2, y, shadow);
    for (int k = 0; W - 3 - k > k + 1; ++k) put(W - 3 - k, body + k, shadow);
    for (int y = 0; y < body; ++y) put(W - 1, y, dark);
    for (int k = 0; k < P; ++k) put(W - 2 - k, body + k, dark);
  }
  std::vector<std::uint8_t> mask(shape.size());
  for (std::uint8_t col = face; col <= dark; ++col) {
    for (std::size_t i = 0; i < shape.size(); ++i) mask[i] = shape[i] == col;
    dc.FillMasked(g.Thumb.Left, g.Thumb.Top, dw, dh, mask.data(), dw, colours[col]);
  }
}

int KeyCode(WPARAM vk) {
  switch (int(vk)) {
    case VK_LEFT:
    case VK_UP:
      return TB_LINEUP;
    case VK_RIGHT:
    case VK_DOWN:
      return TB_LINEDOWN;
    case VK_PRIOR:
      return TB_PAGEUP;
    case VK_NEXT:
      return TB_PAGEDOWN;
    case VK_HOME:
      return TB_TOP;
    case VK_END:
      return TB_BOTTOM;
  }
  return -1;
}

LRESULT TTrackbar::Proc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel
    case WM_PAINT: {
      TPaintDC paint(h_);
      if (HDC dc = paint.Dc()) Paint(*dc);
      return 0;
    }
    case WM_PRINTCLIENT:
      if (w) Paint(*reinterpret_cast<HDC>(w));
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_SIZE:
    case WM_STYLECHANGED:
      Invalidate();
      return 0;
    case WM_ENABLE:
      if (!w) EndTracking(true);
      Invalidate();
      return 0;
    case WM_CANCELMODE:
      EndTracking(true);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(l) != h_) EndTracking(false);
      return 0;

    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (GetFocus() != h_) SetFocus(h_);
      if (Dead || track_ != TTrack::None) return 0;
      const TLayout g = Layout();
      const TPoint p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      const int along = g.Vert ? p.Y : p.X;
      const int start = g.Vert ? g.Thumb.Top : g.Thumb.Left;
      const int end = g.Vert ? g.Thumb.Bottom : g.Thumb.Right;
      if (!(Style() & TBS_NOTHUMB) && g.Thumb.Contains(p)) {
        track_ = TTrack::Thumb;
        grab_ = along - start;
        SetCapture(h_);
        Invalidate();
        return 0;
      }
      if (along >= start && along < end) return 0;  // beside the thumb, not before or after it
      track_ = TTrack::Page;
      pageCode_ = along < start ? TB_PAGEUP : TB_PAGEDOWN;
      pointAlong_ = along;
      SetCapture(h_);
      if (Step(pageCode_) && !Dead && track_ == TTrack::Page)
        SetTimer(h_, RepeatTimer, ScrollRepeatDelay);
      return 0;
    }
    case WM_MOUSEMOVE: {
      if (track_ == TTrack::None) return 0;
      const TLayout g = Layout();
      const int along = g.Vert ? GET_Y_LPARAM(l) : GET_X_LPARAM(l);
      if (track_ == TTrack::Page) {
        pointAlong_ = along;
        return 0;
      }
      const int v = ValueAt(g, along - grab_);
      if (v != pos_) {
        pos_ = v;
        Invalidate();
        Notify(TB_THUMBTRACK);
      }
      return 0;
    }
    case WM_LBUTTONUP:
      EndTracking(true);
      return 0;
    case WM_TIMER:
      if (w != RepeatTimer) break;
      if (track_ != TTrack::Page) {
        KillTimer(h_, RepeatTimer);
        return 0;
      }
      SetTimer(h_, RepeatTimer, ScrollRepeatInterval);
      PageStep();
      return 0;
    case WM_KEYDOWN: {
      const int code = KeyCode(w);
      if (code < 0) break;
      keyTrack_ = true;
      Step(code);
      return 0;
    }
    case WM_KEYUP:
      if (KeyCode(w) < 0 || !keyTrack_) break;
      keyTrack_ = false;
      Notify(TB_ENDTRACK);
      return 0;

    case TBM_GETPOS:
      return pos_;
    case TBM_GETRANGEMIN:
      return min_;
    case TBM_GETRANGEMAX:
      return max_;
    case TBM_SETPOS:
      pos_ = Clamp(std::int64_t(l));
      if (w) Invalidate();
      return 0;
    case TBM_SETRANGE:
      SetRange(std::int16_t(LOWORD(WPARAM(l))), std::int16_t(HIWORD(WPARAM(l))), w != 0);
      return 0;
    case TBM_SETRANGEMIN:
      SetRange(std::int64_t(l), max_, w != 0);
      return 0;
    case TBM_SETRANGEMAX:
      SetRange(min_, std::int64_t(l), w != 0);
      return 0;
    case TBM_SETTIC: {
      const std::int64_t t = l;
      if (t < min_ || t > max_) return 0;
      if (t > min_ && t < max_) {
        auto at = std::lower_bound(tics_.begin(), tics_.end(), int(t));
        if (at == tics_.end() || *at != t) tics_.insert(at, int(t));
        Invalidate();
      }
      return 1;
    }
    case TBM_CLEARTICS:
      tics_.clear();
      if (w) Invalidate();
      return 0;
    case TBM_SETTICFREQ:
      freq_ = std::max(1, int(std::min<WPARAM>(w, INT32_MAX)));
      Invalidate();
      return 0;
    case TBM_GETNUMTICS:
      if (Style() & TBS_NOTICKS) return 0;
      return LRESULT(InnerTicks().size()) + 2;
    case TBM_GETTIC: {
      const std::vector<int> t = InnerTicks();
      return w < t.size() ? LRESULT(t[w]) : -1;
    }
    case TBM_GETTICPOS: {
      const std::vector<int> t = InnerTicks();
      return w < t.size() ? LRESULT(TickPos(Layout(), t[w])) : -1;
    }
    case TBM_GETPTICS: {
      const std::vector<int> t = InnerTicks();
      ticsOut_.assign(t.begin(), t.end());
      return ticsOut_.empty() ? 0 : LRESULT(reinterpret_cast<std::uintptr_t>(ticsOut_.data()));
    }
    case TBM_SETPAGESIZE: {
      // -1 goes back to the automatic page: a fifth of the range, following it.
      const int old = page_;
      pageSet_ = int(l) != -1;
      page_ = pageSet_ ? int(l) : int(std::max<std::int64_t>(1, Range() / 5));
      return old;
    }
    case TBM_GETPAGESIZE:
      return page_;
    case TBM_SETLINESIZE: {
      const int old = line_;
      line_ = int(l);
      return old;
    }
    case TBM_GETLINESIZE:
      return line_;
    case TBM_SETTHUMBLENGTH:
      thumbLength_ = std::clamp(int(std::min<WPARAM>(w, 1000)), 1, 1000);
      Invalidate();
      return 0;
    case TBM_GETTHUMBLENGTH:
      return Layout().Length;
    case TBM_GETTHUMBRECT:
      if (auto* r = reinterpret_cast<TRect*>(l)) *r = Layout().Thumb;
      return 0;
    case TBM_GETCHANNELRECT:
      if (auto* r = reinterpret_cast<TRect*>(l)) {
        const TLayout g = Layout();
        *r = g.Vert ? Rect(g.Channel.Top, g.Channel.Left, g.Channel.Bottom, g.Channel.Right)
                    : g.Channel;
      }
      return 0;
  }
  return DefWindowProc(h_, msg, w, l);
}

LRESULT Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  return DispatchToObject<TTrackbar>(h, msg, w, l);
}

}  // namespace

void RegisterTrackbarClass() {
  RegisterControlClass(TRACKBAR_CLASS, &Proc, 0, clNone);
}

}  // namespace vm
