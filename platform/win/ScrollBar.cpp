// The scroll-bar engine: values, layout, classic painting and mouse tracking
// of a window's own scroll bars and of "ScrollBar" controls.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "platform/gfx/ClassicDraw.h"
#include "platform/gfx/SysColors.h"
#include "platform/win/WindowSystem.h"

namespace vm {

namespace {

TWindowSystem& WS() {
  return TWindowSystem::Get();
}
LPARAM LP(HWND h) {
  return LPARAM(reinterpret_cast<std::uintptr_t>(h));
}
TColor Sys(int index) {
  return GetSysColor(index);
}

// The repeat timer is a timer of the tracked window with a callback, so the
// window procedure never sees it; the id is out of the way of a program's own.
constexpr UINT_PTR RepeatTimerId = 0xFFF0;
constexpr int MinThumb = 8;
// Dragged this many bar widths away across the bar, the thumb goes back to
// where the drag began (and returns when the pointer comes back).
constexpr int SnapBackWidths = 8;

// The last position the thumb can reach: the page must fit before the end.
std::int64_t MaxPos(const TScrollBarData& d) {
  std::int64_t last = std::int64_t(d.Max) - std::max(d.Page - 1, 0);
  return std::max<std::int64_t>(last, d.Min);
}

bool Scrollable(const TScrollBarData& d) {
  return MaxPos(d) > d.Min;
}

void Normalize(TScrollBarData& d) {
  if (d.Max < d.Min) d.Max = d.Min;
  std::int64_t count = std::int64_t(d.Max) - d.Min + 1;
  d.Page = int(std::clamp<std::int64_t>(d.Page, 0, std::min<std::int64_t>(count, INT_MAX)));
  d.Pos = int(std::clamp<std::int64_t>(d.Pos, d.Min, MaxPos(d)));
}

// A bar's values, or the ones it starts with: 0..100 for a window's own
// bars, 0..0 for a scroll bar control.
TScrollBarData StartValues(int bar) {
  TScrollBarData d;
  if (bar == SB_CTL) d.Max = 0;
  return d;
}

TScrollBarData ValuesOf(const TScrollBars& bars, HWND h, int bar) {
  if (const TScrollBarData* have = bars.Find(h, bar)) return *have;
  return StartValues(bar);
}

bool IsVertical(const TWnd* w, int bar) {
  return bar == SB_VERT || (bar == SB_CTL && (w->Style & SBS_VERT));
}

int Along(const TScrollLayout& l, TPoint p) {
  return l.Vertical ? p.Y - l.Bar.Top : p.X - l.Bar.Left;
}

// A rectangle of the bar from offset a to offset b along it.
TRect Span(const TScrollLayout& l, int a, int b) {
  if (l.Vertical) return {l.Bar.Left, l.Bar.Top + a, l.Bar.Right, l.Bar.Top + b};
  return {l.Bar.Left + a, l.Bar.Top, l.Bar.Left + b, l.Bar.Bottom};
}

// The code a press on a part sends.
int CodeOf(TScrollPart part) {
  switch (part) {
    case TScrollPart::LineUp:
      return SB_LINEUP;
    case TScrollPart::PageUp:
      return SB_PAGEUP;
    case TScrollPart::PageDown:
      return SB_PAGEDOWN;
    case TScrollPart::LineDown:
      return SB_LINEDOWN;
    default:
      return SB_ENDSCROLL;
  }
}

void SendScroll(HWND h, int bar, int code, int pos) {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(h);
  if (!w) return;
  UINT msg = IsVertical(w, bar) ? WM_VSCROLL : WM_HSCROLL;
  bool thumb = code == SB_THUMBTRACK || code == SB_THUMBPOSITION;
  WPARAM wp = MAKEWPARAM(code, thumb ? pos : 0);
  if (bar != SB_CTL) {
    ws.Send(w, msg, wp, 0);
    return;
  }
  // A control reports to its parent (or, standing alone, to its owner).
  HWND to = w->Parent ? w->Parent->Handle : w->Owner;
  if (ws.Find(to)) ws.Send(to, msg, wp, LP(h));
}

// ---- Classic drawing ----

void RaisedButton(TDC& dc, TRect r) {
  if (!r.IsEmpty()) DrawEdge(&dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
}

void ArrowButton(TDC& dc, TRect r, std::uint32_t part, bool pressed, bool disabled) {
  if (r.IsEmpty()) return;
  DrawFrameControl(&dc, &r, DFC_SCROLL,
                   part | (pressed ? DFCS_PUSHED : 0) | (disabled ? DFCS_INACTIVE : 0));
}

// The classic track: every other pixel lighter, in a checkerboard that keeps
// its phase wherever the bar is.
void Track(TDC& dc, const TRect& r, bool pressed) {
  if (r.IsEmpty()) return;
  if (pressed) {
    dc.FillRect(r, Sys(COLOR_3DDKSHADOW));
    return;
  }
  dc.FillPattern(r, CheckerPattern, {0, 0}, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_SCROLLBAR));
}

void PaintBar(TDC& dc, HWND h, int bar, const TScrollLayout& l, const TScrollBarData& d,
              bool windowDisabled) {
  if (l.Bar.IsEmpty()) return;
  const TScrollBars::TTrack& t = WS().ScrollBars.Tracking();
  bool tracked = t.Hwnd == h && t.Bar == bar;
  auto pressed = [&](TScrollPart p) { return tracked && t.Part == p && t.Over; };
  bool allOff = windowDisabled || (d.Disabled & ESB_DISABLE_BOTH) == ESB_DISABLE_BOTH;
  ArrowButton(dc, Span(l, 0, l.Arrow), l.Vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT,
              pressed(TScrollPart::LineUp), allOff || (d.Disabled & ESB_DISABLE_LTUP));
  ArrowButton(dc, Span(l, l.Length - l.Arrow, l.Length),
              l.Vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT, pressed(TScrollPart::LineDown),
              allOff || (d.Disabled & ESB_DISABLE_RTDN));
  int trackEnd = l.Length - l.Arrow;
  if (trackEnd <= l.Arrow) return;
  if (!l.ThumbSize) {
    Track(dc, Span(l, l.Arrow, trackEnd), false);
    return;
  }
  int thumbEnd = l.ThumbStart + l.ThumbSize;
  // A held page part shows dark until the button goes up.
  Track(dc, Span(l, l.Arrow, l.ThumbStart), pressed(TScrollPart::PageUp));
  Track(dc, Span(l, thumbEnd, trackEnd), pressed(TScrollPart::PageDown));
  RaisedButton(dc, Span(l, l.ThumbStart, thumbEnd));
}

// Shows or hides a window's own bar(s) through its style bits; true when the
// frame changed.
bool ShowOwnBar(HWND h, int bar, bool show) {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(h);
  if (!w) return false;
  DWORD bits = bar == SB_VERT ? WS_VSCROLL : bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL | WS_HSCROLL;
  DWORD style = show ? (w->Style | bits) : (w->Style & ~bits);
  if (style == w->Style) return false;
  w->Style = style;
  ws.SetPos(w, nullptr, 0, 0, 0, 0,
            SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

int SetInfo(HWND h, int bar, const SCROLLINFO& si, bool redraw) {
  TWindowSystem& ws = WS();
  if (!ws.Find(h) || bar < SB_HORZ || bar > SB_CTL) return 0;
  TScrollBarData& d = ws.ScrollBars.Get(h, bar);
  TScrollBarData old = d;
  if (si.fMask & SIF_PAGE) d.Page = int(std::min<UINT>(si.nPage, INT_MAX));
  if (si.fMask & SIF_RANGE) {
    d.Min = si.nMin;
    d.Max = si.nMax;
  }
  if (si.fMask & SIF_POS) d.Pos = si.nPos;
  Normalize(d);
  bool can = Scrollable(d);
  // Nothing to scroll: SIF_DISABLENOSCROLL turns both arrows off. Something
  // to scroll again: a new range (not a page alone) turns them back on,
  // whoever turned them off.
  if (si.fMask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL)) {
    if (!can && (si.fMask & SIF_DISABLENOSCROLL))
      d.Disabled = ESB_DISABLE_BOTH;
    else if (can && (si.fMask & SIF_ALL) != SIF_PAGE)
      d.Disabled = ESB_ENABLE_BOTH;
  }
  bool changed = d.Min != old.Min || d.Max != old.Max || d.Page != old.Page || d.Pos != old.Pos ||
                 d.Disabled != old.Disabled;
  int pos = d.Pos;
  bool frame = false;
  // A window's own bar appears when there is something to scroll and goes
  // away when there is not, unless the program asked to keep it, disabled.
  if (bar != SB_CTL && (si.fMask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL)))
    frame = ShowOwnBar(h, bar, can || (si.fMask & SIF_DISABLENOSCROLL));
  if (redraw && changed && !frame) RedrawScrollBar(h, bar);
  return pos;
}

bool GetInfo(HWND h, int bar, SCROLLINFO* si) {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(h);
  if (!si || !w || bar < SB_HORZ || bar > SB_CTL) return false;
  // A window that never had a bar of its own has no values to give.
  if (bar != SB_CTL && !(w->Style & (WS_HSCROLL | WS_VSCROLL)) && !ws.ScrollBars.Find(h, SB_HORZ) &&
      !ws.ScrollBars.Find(h, SB_VERT))
    return false;
  TScrollBarData d = ValuesOf(ws.ScrollBars, h, bar);
  if (si->fMask & SIF_RANGE) {
    si->nMin = d.Min;
    si->nMax = d.Max;
  }
  if (si->fMask & SIF_PAGE) si->nPage = UINT(d.Page);
  if (si->fMask & SIF_POS) si->nPos = d.Pos;
  if (si->fMask & SIF_TRACKPOS) {
    const TScrollBars::TTrack& t = ws.ScrollBars.Tracking();
    bool dragging = t.Hwnd == h && t.Bar == bar && t.Part == TScrollPart::Thumb;
    si->nTrackPos = dragging ? t.TrackPos : d.Pos;
  }
  return (si->fMask & SIF_ALL) != 0;
}

bool EnableArrows(HWND h, int bar, UINT arrows) {
  TWindowSystem& ws = WS();
  if (!ws.Find(h)) return false;
  TScrollBarData& d = ws.ScrollBars.Get(h, bar);
  arrows &= ESB_DISABLE_BOTH;
  if (d.Disabled == arrows) return false;
  d.Disabled = arrows;
  const TScrollBars::TTrack& t = ws.ScrollBars.Tracking();
  if (t.Hwnd == h && t.Bar == bar && arrows) ws.ScrollBars.Abandon();
  RedrawScrollBar(h, bar);
  return true;
}

}  // namespace

// ---------------------------------------------------------------- state

TScrollBarData& TScrollBars::Get(HWND h, int bar) {
  TPerWindow& pw = windows_[h];
  if (!pw.Used[bar]) pw.Bars[bar] = StartValues(bar);
  pw.Used[bar] = true;
  return pw.Bars[bar];
}

const TScrollBarData* TScrollBars::Find(HWND h, int bar) const {
  auto it = windows_.find(h);
  if (it == windows_.end() || !it->second.Used[bar]) return nullptr;
  return &it->second.Bars[bar];
}

void TScrollBars::Forget(HWND h) {
  windows_.erase(h);
  if (track_.Hwnd == h) track_ = {};
}

void TScrollBars::Clear() {
  windows_.clear();
  track_ = {};
}

// ---------------------------------------------------------------- layout and painting

TScrollLayout ScrollLayout(HWND h, int bar) {
  TWindowSystem& ws = WS();
  TScrollLayout l;
  TWnd* w = ws.Find(h);
  if (!w || bar < SB_HORZ || bar > SB_CTL) return l;
  l.Vertical = IsVertical(w, bar);
  if (bar == SB_CTL) {
    l.Bar = Rect(0, 0, w->Client.Width(), w->Client.Height());
  } else {
    TFrameMetrics m = FrameMetrics(w->Style, w->ExStyle);
    const TRect& c = w->Client;
    if (bar == SB_VERT && m.VScroll) l.Bar = {c.Right, c.Top, c.Right + m.VScroll, c.Bottom};
    if (bar == SB_HORZ && m.HScroll) l.Bar = {c.Left, c.Bottom, c.Right, c.Bottom + m.HScroll};
  }
  if (l.Bar.IsEmpty()) {
    l.Bar = {};
    return l;
  }
  l.Length = l.Vertical ? l.Bar.Height() : l.Bar.Width();
  l.Arrow = std::min(GetSystemMetrics(l.Vertical ? SM_CYVSCROLL : SM_CXHSCROLL), l.Length / 2);
  TScrollBarData d = ValuesOf(ws.ScrollBars, h, bar);
  int track = l.Length - 2 * l.Arrow;
  bool off = (d.Disabled & ESB_DISABLE_BOTH) == ESB_DISABLE_BOTH ||
             (bar == SB_CTL && (w->Style & WS_DISABLED));
  if (off || !Scrollable(d) || track <= 0) return l;
  std::int64_t count = std::int64_t(d.Max) - d.Min + 1;
  int thumb = d.Page ? int(std::int64_t(track) * d.Page / count)
                     : GetSystemMetrics(l.Vertical ? SM_CYVTHUMB : SM_CXHTHUMB);
  thumb = std::max(thumb, MinThumb);
  if (thumb > track) return l;
  const TScrollBars::TTrack& t = ws.ScrollBars.Tracking();
  int pos = t.Hwnd == h && t.Bar == bar && t.Part == TScrollPart::Thumb ? t.TrackPos : d.Pos;
  std::int64_t span = MaxPos(d) - d.Min;
  l.ThumbSize = thumb;
  l.ThumbStart = l.Arrow + int(std::int64_t(track - thumb) * (std::int64_t(pos) - d.Min) / span);
  return l;
}

TScrollPart ScrollHitPart(const TScrollLayout& l, TPoint p) {
  if (!l.Bar.Contains(p)) return TScrollPart::None;
  int a = Along(l, p);
  if (a < l.Arrow) return TScrollPart::LineUp;
  if (a >= l.Length - l.Arrow) return TScrollPart::LineDown;
  if (!l.ThumbSize) return TScrollPart::None;
  if (a < l.ThumbStart) return TScrollPart::PageUp;
  if (a >= l.ThumbStart + l.ThumbSize) return TScrollPart::PageDown;
  return TScrollPart::Thumb;
}

void PaintWindowScrollBars(const TWnd* w, TDC& dc) {
  TWindowSystem& ws = WS();
  for (int bar : {SB_HORZ, SB_VERT}) {
    TScrollLayout l = ScrollLayout(w->Handle, bar);
    if (l.Bar.IsEmpty()) continue;
    PaintBar(dc, w->Handle, bar, l, ValuesOf(ws.ScrollBars, w->Handle, bar), false);
  }
}

void RedrawScrollBar(HWND h, int bar) {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(h);
  if (!w || !ws.Visible(w)) return;
  if (bar == SB_CTL) {
    InvalidateRect(h, nullptr, false);
    return;
  }
  // Through WM_NCPAINT, so a window that paints its own frame paints its bars
  // too; on the next paint, so that many changes in a row (a list filling
  // up) paint the frame once, and never before a parent that still has to
  // repaint over it.
  w->NcUpdate = true;
}

// ---------------------------------------------------------------- tracking

bool TScrollBars::BeginTrack(HWND h, int bar, TPoint screen) {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(h);
  if (!w) return false;
  if (track_.Hwnd) Abandon();
  TScrollLayout l = ScrollLayout(h, bar);
  TPoint o = bar == SB_CTL ? ws.ClientOrigin(w) : ws.WindowOrigin(w);
  TPoint p{screen.X - o.X, screen.Y - o.Y};
  TScrollPart part = ScrollHitPart(l, p);
  TScrollBarData d;
  if (const TScrollBarData* have = Find(h, bar)) d = *have;
  if (part == TScrollPart::None) return false;
  if (bar == SB_CTL && (w->Style & WS_DISABLED)) return false;
  if ((d.Disabled & ESB_DISABLE_BOTH) == ESB_DISABLE_BOTH) return false;
  if (part == TScrollPart::LineUp && (d.Disabled & ESB_DISABLE_LTUP)) return false;
  if (part == TScrollPart::LineDown && (d.Disabled & ESB_DISABLE_RTDN)) return false;
  SetCapture(h);
  if (!ws.Find(h) || ws.Input.Capture != h) return false;
  track_ = {};
  track_.Hwnd = h;
  track_.Bar = bar;
  track_.Part = part;
  track_.Pointer = screen;
  if (part == TScrollPart::Thumb) {
    track_.GrabOffset = Along(l, p) - l.ThumbStart;
    track_.StartPos = track_.TrackPos = d.Pos;
    RedrawScrollBar(h, bar);
    return true;
  }
  track_.Over = true;
  RedrawScrollBar(h, bar);
  SetTimer(h, RepeatTimerId, ScrollRepeatDelay, &TScrollBars::RepeatTick);
  SendCode(CodeOf(part));
  return true;
}

void TScrollBars::SendCode(int code) {
  if (!track_.Hwnd) return;
  SendScroll(track_.Hwnd, track_.Bar, code, track_.TrackPos);
}

void TScrollBars::UpdateOver() {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(track_.Hwnd);
  if (!w) return;
  TScrollLayout l = ScrollLayout(track_.Hwnd, track_.Bar);
  TPoint o = track_.Bar == SB_CTL ? ws.ClientOrigin(w) : ws.WindowOrigin(w);
  TPoint p{track_.Pointer.X - o.X, track_.Pointer.Y - o.Y};
  // A held page part stops once the thumb has come to the pointer.
  bool over = ScrollHitPart(l, p) == track_.Part;
  if (over == track_.Over) return;
  track_.Over = over;
  RedrawScrollBar(track_.Hwnd, track_.Bar);
}

void TScrollBars::DragThumb() {
  TWindowSystem& ws = WS();
  HWND h = track_.Hwnd;
  TWnd* w = ws.Find(h);
  if (!w) return;
  TScrollLayout l = ScrollLayout(h, track_.Bar);
  TScrollBarData d;
  if (const TScrollBarData* have = Find(h, track_.Bar)) d = *have;
  TPoint o = track_.Bar == SB_CTL ? ws.ClientOrigin(w) : ws.WindowOrigin(w);
  TPoint p{track_.Pointer.X - o.X, track_.Pointer.Y - o.Y};
  int room = l.Length - 2 * l.Arrow - l.ThumbSize;
  int across = l.Vertical ? p.X : p.Y;
  int lo = l.Vertical ? l.Bar.Left : l.Bar.Top, hi = l.Vertical ? l.Bar.Right : l.Bar.Bottom;
  int distance = across < lo ? lo - across : across >= hi ? across - hi + 1 : 0;
  int pos = track_.StartPos;
  if (l.ThumbSize && room > 0 && distance <= SnapBackWidths * (hi - lo)) {
    int a = std::clamp(Along(l, p) - track_.GrabOffset - l.Arrow, 0, room);
    std::int64_t span = MaxPos(d) - d.Min;
    pos = int(d.Min + (std::int64_t(a) * span + room / 2) / room);
  }
  if (pos == track_.TrackPos) return;
  track_.TrackPos = pos;
  RedrawScrollBar(h, track_.Bar);
  SendCode(SB_THUMBTRACK);
}

void TScrollBars::RepeatTick(HWND h, UINT, UINT_PTR, DWORD) {
  TWindowSystem& ws = WS();
  TScrollBars& self = ws.ScrollBars;
  TTrack& t = self.track_;
  if (t.Hwnd != h || ws.Input.Capture != h || t.Part == TScrollPart::Thumb ||
      t.Part == TScrollPart::None) {
    KillTimer(h, RepeatTimerId);
    if (t.Hwnd == h) self.Abandon();
    return;
  }
  if (!t.Repeating) {
    t.Repeating = true;
    SetTimer(h, RepeatTimerId, ScrollRepeatInterval, &TScrollBars::RepeatTick);
  }
  self.UpdateOver();
  if (t.Hwnd == h && t.Over) self.SendCode(CodeOf(t.Part));
}

void TScrollBars::Finish() {
  TWindowSystem& ws = WS();
  HWND h = track_.Hwnd;
  int bar = track_.Bar;
  KillTimer(h, RepeatTimerId);
  // The final position goes out while the track position can still be read.
  if (track_.Part == TScrollPart::Thumb) SendCode(SB_THUMBPOSITION);
  if (track_.Hwnd != h) return;  // the handler ended it (destroyed the window, took capture)
  track_ = {};
  if (ws.Input.Capture == h) ReleaseCapture();
  RedrawScrollBar(h, bar);
  SendScroll(h, bar, SB_ENDSCROLL, 0);
}

void TScrollBars::Abandon() {
  HWND h = track_.Hwnd;
  int bar = track_.Bar;
  track_ = {};
  if (!WS().Find(h)) return;
  KillTimer(h, RepeatTimerId);
  RedrawScrollBar(h, bar);
}

bool TScrollBars::TrackEvent(const THostEvent& ev) {
  if (!track_.Hwnd) return false;
  TWindowSystem& ws = WS();
  if (ws.Input.Capture != track_.Hwnd || !ws.Find(track_.Hwnd)) {
    Abandon();
    return false;
  }
  using K = THostEvent::TKind;
  switch (ev.Kind) {
    case K::MouseMove:
      track_.Pointer = ev.ScreenPos;
      if (track_.Part == TScrollPart::Thumb)
        DragThumb();
      else
        UpdateOver();
      return true;
    case K::ButtonUp:
      if (ev.Button != THostButton::Left) return true;
      track_.Pointer = ev.ScreenPos;
      if (track_.Part == TScrollPart::Thumb) DragThumb();
      if (track_.Hwnd) Finish();
      return true;
    case K::ButtonDown:
    case K::Wheel:
      return true;  // other buttons and the wheel wait until the bar lets go
    default:
      return false;
  }
}

// ---------------------------------------------------------------- public API

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* si, bool redraw) {
  if (!si || !IsWindow(hwnd)) return 0;
  if (bar == SB_CTL) return int(SendMessage(hwnd, SBM_SETSCROLLINFO, redraw, LPARAM(si)));
  if (bar != SB_HORZ && bar != SB_VERT) return 0;
  return SetInfo(hwnd, bar, *si, redraw);
}

bool GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* si) {
  if (!si || !IsWindow(hwnd)) return false;
  if (bar == SB_CTL) return SendMessage(hwnd, SBM_GETSCROLLINFO, 0, LPARAM(si)) != 0;
  return GetInfo(hwnd, bar, si);
}

int SetScrollPos(HWND hwnd, int bar, int pos, bool redraw) {
  if (!IsWindow(hwnd)) return 0;
  if (bar == SB_CTL) return int(SendMessage(hwnd, SBM_SETPOS, WPARAM(pos), redraw));
  if (bar != SB_HORZ && bar != SB_VERT) return 0;
  int old = GetScrollPos(hwnd, bar);
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetInfo(hwnd, bar, si, redraw);
  return old;
}

int GetScrollPos(HWND hwnd, int bar) {
  if (!IsWindow(hwnd)) return 0;
  if (bar == SB_CTL) return int(SendMessage(hwnd, SBM_GETPOS, 0, 0));
  SCROLLINFO si;
  si.fMask = SIF_POS;
  return GetInfo(hwnd, bar, &si) ? si.nPos : 0;
}

bool SetScrollRange(HWND hwnd, int bar, int min, int max, bool redraw) {
  if (!IsWindow(hwnd)) return false;
  if (bar == SB_CTL) {
    SendMessage(hwnd, redraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, WPARAM(min), LPARAM(max));
    return true;
  }
  if (bar != SB_HORZ && bar != SB_VERT) return false;
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  si.nMin = min;
  si.nMax = max;
  SetInfo(hwnd, bar, si, redraw);
  return true;
}

bool GetScrollRange(HWND hwnd, int bar, int* min, int* max) {
  if (!IsWindow(hwnd) || !min || !max) return false;
  if (bar == SB_CTL) {
    SendMessage(hwnd, SBM_GETRANGE, WPARAM(reinterpret_cast<std::uintptr_t>(min)), LPARAM(max));
    return true;
  }
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  if (!GetInfo(hwnd, bar, &si)) return false;
  *min = si.nMin;
  *max = si.nMax;
  return true;
}

bool ShowScrollBar(HWND hwnd, int bar, bool show) {
  if (!IsWindow(hwnd)) return false;
  if (bar == SB_CTL) {
    ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
    return true;
  }
  if (bar != SB_HORZ && bar != SB_VERT && bar != SB_BOTH) return false;
  ShowOwnBar(hwnd, bar, show);
  return true;
}

bool EnableScrollBar(HWND hwnd, UINT bar, UINT arrows) {
  if (!IsWindow(hwnd)) return false;
  if (bar == UINT(SB_CTL)) return SendMessage(hwnd, SBM_ENABLE_ARROWS, arrows, 0) != 0;
  if (bar == UINT(SB_BOTH)) {
    bool a = EnableArrows(hwnd, SB_HORZ, arrows);
    bool b = EnableArrows(hwnd, SB_VERT, arrows);
    return a || b;
  }
  if (bar != UINT(SB_HORZ) && bar != UINT(SB_VERT)) return false;
  return EnableArrows(hwnd, int(bar), arrows);
}

bool GetScrollBarInfo(HWND hwnd, long idObject, SCROLLBARINFO* info) {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(hwnd);
  if (!w || !info || (idObject != OBJID_HSCROLL && idObject != OBJID_VSCROLL)) return false;
  const int bar = idObject == OBJID_HSCROLL ? SB_HORZ : SB_VERT;
  *info = SCROLLBARINFO{};
  const TScrollLayout l = ScrollLayout(hwnd, bar);
  if (l.Bar.IsEmpty()) {
    info->rgstate[0] = STATE_SYSTEM_INVISIBLE;
    return true;
  }
  TRect window;
  GetWindowRect(hwnd, &window);
  info->rcScrollBar = l.Bar.Offset(window.Left, window.Top);
  info->dxyLineButton = l.Arrow;
  if (l.ThumbSize) {
    info->xyThumbTop = l.ThumbStart;
    info->xyThumbBottom = l.ThumbStart + l.ThumbSize;
  } else {
    info->rgstate[0] = STATE_SYSTEM_UNAVAILABLE;
  }
  const TScrollBars::TTrack& t = ws.ScrollBars.Tracking();
  if (t.Hwnd == hwnd && t.Bar == bar && t.Part != TScrollPart::None &&
      (t.Over || t.Part == TScrollPart::Thumb))
    info->rgstate[int(t.Part)] |= STATE_SYSTEM_PRESSED;
  return true;
}

LRESULT ScrollBarControlMessage(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  TWindowSystem& ws = WS();
  if (!ws.Find(hwnd)) return 0;
  auto pos = [&] {
    const TScrollBarData* d = ws.ScrollBars.Find(hwnd, SB_CTL);
    return d ? d->Pos : 0;
  };
  switch (msg) {
    case SBM_SETPOS: {
      int old = pos();
      SCROLLINFO si;
      si.fMask = SIF_POS;
      si.nPos = int(w);
      SetInfo(hwnd, SB_CTL, si, l != 0);
      return old;
    }
    case SBM_GETPOS:
      return pos();
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
      int old = pos();
      SCROLLINFO si;
      si.fMask = SIF_RANGE;
      si.nMin = int(w);
      si.nMax = int(l);
      SetInfo(hwnd, SB_CTL, si, msg == SBM_SETRANGEREDRAW);
      return old;
    }
    case SBM_GETRANGE: {
      SCROLLINFO si;
      si.fMask = SIF_RANGE;
      GetInfo(hwnd, SB_CTL, &si);
      if (auto* mn = reinterpret_cast<int*>(w)) *mn = si.nMin;
      if (auto* mx = reinterpret_cast<int*>(l)) *mx = si.nMax;
      return 0;
    }
    case SBM_ENABLE_ARROWS: {
      // Both arrows on or off enable or disable the control itself.
      const UINT arrows = UINT(w) & ESB_DISABLE_BOTH;
      const bool changed = EnableArrows(hwnd, SB_CTL, arrows);
      if (arrows == ESB_DISABLE_BOTH || arrows == ESB_ENABLE_BOTH)
        EnableWindow(hwnd, arrows == ESB_ENABLE_BOTH);
      return changed ? 1 : 0;
    }
    case WM_ENABLE:
      // And the control enabled or disabled turns both arrows on or off.
      EnableArrows(hwnd, SB_CTL, w ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
      return 0;
    case SBM_SETSCROLLINFO:
      if (!l) return pos();
      return SetInfo(hwnd, SB_CTL, *reinterpret_cast<const SCROLLINFO*>(l), w != 0);
    case SBM_GETSCROLLINFO:
      return GetInfo(hwnd, SB_CTL, reinterpret_cast<SCROLLINFO*>(l)) ? 1 : 0;
  }
  return 0;
}

void PaintScrollBarControl(HWND hwnd, HDC dc) {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(hwnd);
  if (!w || !dc) return;
  TScrollLayout l = ScrollLayout(hwnd, SB_CTL);
  PaintBar(*dc, hwnd, SB_CTL, l, ValuesOf(ws.ScrollBars, hwnd, SB_CTL),
           (w->Style & WS_DISABLED) != 0);
}

bool TrackScrollBar(HWND hwnd, int bar, TPoint screen) {
  if (bar != SB_HORZ && bar != SB_VERT && bar != SB_CTL) return false;
  return WS().ScrollBars.BeginTrack(hwnd, bar, screen);
}

bool TrackScrollBarControl(HWND hwnd, TPoint screen) {
  return WS().ScrollBars.BeginTrack(hwnd, SB_CTL, screen);
}

bool NotifyScrollBarControl(HWND hwnd, int code) {
  // An arrow that is off does not scroll from the keyboard either.
  const TScrollBarData d = ValuesOf(WS().ScrollBars, hwnd, SB_CTL);
  const bool up = code == SB_LINEUP || code == SB_PAGEUP || code == SB_TOP;
  const bool down = code == SB_LINEDOWN || code == SB_PAGEDOWN || code == SB_BOTTOM;
  if ((up && (d.Disabled & ESB_DISABLE_LTUP)) || (down && (d.Disabled & ESB_DISABLE_RTDN)))
    return false;
  SendScroll(hwnd, SB_CTL, code, GetScrollPos(hwnd, SB_CTL));
  return true;
}

}  // namespace vm
