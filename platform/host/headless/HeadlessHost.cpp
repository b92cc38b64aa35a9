#include "platform/host/headless/HeadlessHost.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/gfx/PngCodec.h"
#include "platform/gfx/SysColors.h"
#include "platform/host/HostKeys.h"

namespace vm {

namespace {

// Copies the overlapping part of src into dst at the same coordinates.
void CopyOverlap(const TBitmap& src, TBitmap& dst, const TRect& area) {
  TRect r = area.Intersect(Rect(0, 0, src.Width(), src.Height()))
                .Intersect(Rect(0, 0, dst.Width(), dst.Height()));
  if (r.IsEmpty()) return;
  int bpp = src.BytesPerPixel();
  if (bpp != dst.BytesPerPixel()) {
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) dst.SetPixel(x, y, src.GetPixel(x, y));
    return;
  }
  for (int y = r.Top; y < r.Bottom; ++y)
    std::memcpy(dst.ScanLine(y) + std::size_t(r.Left) * bpp,
                src.ScanLine(y) + std::size_t(r.Left) * bpp, std::size_t(r.Width()) * bpp);
}

struct TKeyOf {
  int Vk = 0;
  bool Shift = false;
};

// The US keyboard key that types an ASCII character (Vk 0: none).
TKeyOf KeyForChar(std::uint32_t c) {
  if (c >= 'a' && c <= 'z') return {int(c - 'a' + 'A'), false};
  if (c >= 'A' && c <= 'Z') return {int(c), true};
  if (c >= '0' && c <= '9') return {int(c), false};
  static const char shiftedDigits[] = ")!@#$%^&*(";
  for (int i = 0; i < 10; ++i)
    if (c == std::uint32_t(shiftedDigits[i])) return {'0' + i, true};
  switch (c) {
    case ' ':
      return {VK_SPACE, false};
    case '\r':
    case '\n':
      return {VK_RETURN, false};
    case '\t':
      return {VK_TAB, false};
    case 0x08:
      return {VK_BACK, false};
    case 0x1B:
      return {VK_ESCAPE, false};
    case ';':
      return {VK_OEM_1, false};
    case ':':
      return {VK_OEM_1, true};
    case '=':
      return {VK_OEM_PLUS, false};
    case '+':
      return {VK_OEM_PLUS, true};
    case ',':
      return {VK_OEM_COMMA, false};
    case '<':
      return {VK_OEM_COMMA, true};
    case '-':
      return {VK_OEM_MINUS, false};
    case '_':
      return {VK_OEM_MINUS, true};
    case '.':
      return {VK_OEM_PERIOD, false};
    case '>':
      return {VK_OEM_PERIOD, true};
    case '/':
      return {VK_OEM_2, false};
    case '?':
      return {VK_OEM_2, true};
    case '`':
      return {VK_OEM_3, false};
    case '~':
      return {VK_OEM_3, true};
    case '[':
      return {VK_OEM_4, false};
    case '{':
      return {VK_OEM_4, true};
    case '\\':
      return {VK_OEM_5, false};
    case '|':
      return {VK_OEM_5, true};
    case ']':
      return {VK_OEM_6, false};
    case '}':
      return {VK_OEM_6, true};
    case '\'':
      return {VK_OEM_7, false};
    case '"':
      return {VK_OEM_7, true};
  }
  return {};
}

// The character a key types on the US keyboard (0: none).
std::uint32_t CharForKey(int vk, bool shift, bool control) {
  if (vk >= 'A' && vk <= 'Z') {
    if (control) return std::uint32_t(vk - 'A' + 1);  // Ctrl+letter types a control character
    return std::uint32_t(shift ? vk : vk - 'A' + 'a');
  }
  if (control) return 0;
  for (std::uint32_t c = 0x20; c < 0x7F; ++c) {
    TKeyOf k = KeyForChar(c);
    if (k.Vk == vk && k.Shift == shift && !(c >= 'A' && c <= 'Z')) return c;
  }
  switch (vk) {
    case VK_RETURN:
      return '\r';
    case VK_TAB:
      return '\t';
    case VK_BACK:
      return 0x08;
    case VK_ESCAPE:
      return 0x1B;
  }
  return 0;
}

std::vector<std::uint32_t> DecodeUtf8(std::string_view s) {
  std::vector<std::uint32_t> out;
  std::size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    std::uint32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    bool ok = len > 0 && i + std::size_t(len) <= s.size();
    for (int k = 1; ok && k < len; ++k) {
      unsigned char cc = static_cast<unsigned char>(s[i + std::size_t(k)]);
      if ((cc & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (!ok) {
      out.push_back(0xFFFD);  // a broken sequence types the replacement character
      ++i;
      continue;
    }
    out.push_back(cp);
    i += std::size_t(len);
  }
  return out;
}

}  // namespace

THeadlessHost::THeadlessHost(TSize screen)
    : screen_(screen), workArea_(Rect(0, 0, screen.cx, screen.cy)) {
  if (screen.cx <= 0 || screen.cy <= 0 || screen.cx > MaxBitmapSide || screen.cy > MaxBitmapSide)
    throw std::invalid_argument("headless host: impossible screen size");
}

THeadlessHost::~THeadlessHost() = default;

THeadlessHost::TNative* THeadlessHost::Find(THostWindow window) {
  for (TNative& n : windows_)
    if (n.Id == window) return &n;
  return nullptr;
}

const THeadlessHost::TNative* THeadlessHost::Native(THostWindow window) const {
  for (const TNative& n : windows_)
    if (n.Id == window) return &n;
  return nullptr;
}

THostWindow THeadlessHost::CreateNativeWindow(const THostWindowParams& params) {
  TNative n;
  n.Id = nextId_++;
  n.Params = params;
  n.Title = params.Title;
  n.Shown.Reset(std::max(params.Bounds.Width(), 0), std::max(params.Bounds.Height(), 0),
                TPixelFormat::pf24bit);
  windows_.push_back(std::move(n));
  zorder_.insert(zorder_.begin(), windows_.back().Id);
  return windows_.back().Id;
}

void THeadlessHost::DestroyNativeWindow(THostWindow window) {
  windows_.erase(std::remove_if(windows_.begin(), windows_.end(),
                                [&](const TNative& n) { return n.Id == window; }),
                 windows_.end());
  zorder_.erase(std::remove(zorder_.begin(), zorder_.end(), window), zorder_.end());
  if (focused_ == window) focused_ = 0;
  if (grab_ == window) grab_ = 0;
  if (pointerWindow_ == window) pointerWindow_ = 0;
  if (pressGrab_ == window) pressGrab_ = 0;
}

void THeadlessHost::ShowNativeWindow(THostWindow window, bool visible) {
  if (TNative* n = Find(window)) {
    n->Visible = visible;
    n->Minimized = false;
    // Showing maps the window raised, as the X11 host does: a pop-up made
    // long before it is shown (a combo box's list) comes up above the
    // windows raised since it was made, not behind its own dialog.
    if (visible) RaiseNativeWindow(window);
  }
}

void THeadlessHost::MoveNativeWindow(THostWindow window, const TRect& bounds) {
  TNative* n = Find(window);
  if (!n) return;
  if (bounds.Width() != n->Shown.Width() || bounds.Height() != n->Shown.Height()) {
    TBitmap resized(std::max(bounds.Width(), 0), std::max(bounds.Height(), 0),
                    TPixelFormat::pf24bit);
    CopyOverlap(n->Shown, resized, Rect(0, 0, resized.Width(), resized.Height()));
    n->Shown = std::move(resized);
  }
  n->Params.Bounds = bounds;
}

void THeadlessHost::MinimizeNativeWindow(THostWindow window) {
  if (TNative* n = Find(window)) n->Minimized = true;
}

void THeadlessHost::RaiseNativeWindow(THostWindow window) {
  auto it = std::find(zorder_.begin(), zorder_.end(), window);
  if (it == zorder_.end()) return;
  zorder_.erase(it);
  zorder_.insert(zorder_.begin(), window);
}

void THeadlessHost::FocusNativeWindow(THostWindow window) {
  // As on a real display, only a window on the screen can take the keyboard
  // focus; a request for a hidden one is dropped.
  if (const TNative* n = Find(window); n && n->Visible) focused_ = window;
}

void THeadlessHost::SetNativeTitle(THostWindow window, const std::string& utf8) {
  if (TNative* n = Find(window)) n->Title = utf8;
}

void THeadlessHost::SetNativeIcon(THostWindow window, const TBitmap& icon) {
  if (TNative* n = Find(window)) n->Icon = icon;
}

void THeadlessHost::SetNativeShape(THostWindow window, const std::vector<TRect>& rects) {
  if (TNative* n = Find(window)) n->Shape = rects;
}

void THeadlessHost::SetNativeTransientFor(THostWindow window, THostWindow owner) {
  if (TNative* n = Find(window)) n->Params.TransientFor = owner;
}

void THeadlessHost::SetNativeKind(THostWindow window, THostWindowKind kind) {
  if (TNative* n = Find(window)) n->Params.Kind = kind;
}

void THeadlessHost::Present(THostWindow window, const TBitmap& store,
                            const std::vector<TRect>& dirty) {
  TNative* n = Find(window);
  if (!n) return;
  if (n->Shown.Width() != store.Width() || n->Shown.Height() != store.Height())
    n->Shown.Reset(store.Width(), store.Height(), TPixelFormat::pf24bit);
  lastPresentedWindow_ = window;
  lastPresented_.clear();
  for (const TRect& r : dirty) {
    TRect c = r.Intersect(Rect(0, 0, store.Width(), store.Height()));
    if (c.IsEmpty()) continue;
    CopyOverlap(store, n->Shown, c);
    lastPresented_.push_back(c);
    ++presentedRects_;
    presentedPixels_ += std::uint64_t(c.Width()) * std::uint64_t(c.Height());
  }
}

void THeadlessHost::SetNativeCursor(THostWindow window, THostCursor cursor) {
  if (TNative* n = Find(window)) n->Cursor = cursor;
}

void THeadlessHost::PumpEvents() {
  // Events queued while delivering wait for the next pump. The two lists
  // trade their room, so pumping allocates nothing once both have grown.
  std::vector<THostEvent> batch = std::move(spare_);
  batch.clear();
  batch.swap(pending_);
  for (const THostEvent& ev : batch)
    if (sink_) sink_->HostEvent(ev);
  spare_ = std::move(batch);
}

bool THeadlessHost::WaitEvents(int timeoutMs) {
  if (!pending_.empty()) {
    PumpEvents();
    return true;
  }
  ++idleCount_;
  if (idle_) {
    TIdleHandler handler = idle_;  // the handler may replace itself
    if (handler()) {
      // It acted: whatever it queued is delivered, and the loop looks again.
      if (pending_.empty()) return false;
      PumpEvents();
      return true;
    }
  }
  if (timeoutMs < 0)
    throw std::logic_error(
        "headless host: the message loop would wait forever (no input queued, no timer set)");
  // Nothing will ever arrive by itself: time jumps to the deadline.
  clock_ += std::uint64_t(timeoutMs);
  return false;
}

// ---------------------------------------------------------------- input

THostWindow THeadlessHost::WindowAt(TPoint p) const {
  for (THostWindow id : zorder_) {
    const TNative* n = Native(id);
    if (!n || !n->Visible || n->Minimized || !n->Params.Bounds.Contains(p)) continue;
    if (!n->Shape.empty()) {
      TPoint local{p.X - n->Params.Bounds.Left, p.Y - n->Params.Bounds.Top};
      bool inside = false;
      for (const TRect& r : n->Shape) inside |= r.Contains(local);
      if (!inside) continue;
    }
    return id;
  }
  return 0;
}

std::uint32_t THeadlessHost::State() const {
  return buttons_ | (shift_ ? HostShift : 0) | (control_ ? HostControl : 0) | (alt_ ? HostAlt : 0);
}

void THeadlessHost::Queue(THostEvent ev) {
  ev.Time = clock_;
  ev.State = State();
  pending_.push_back(ev);
}

void THeadlessHost::MouseMove(int x, int y) {
  pointer_ = {x, y};
  THostWindow under = WindowAt(pointer_);
  // While the pointer is grabbed it stays with the grabbing window; the leave
  // comes when the grab ends (MouseUp).
  if (!grab_ && !pressGrab_) LeaveIfOutside(under);
  THostEvent ev;
  ev.Kind = THostEvent::TKind::MouseMove;
  ev.Window = grab_ ? grab_ : pressGrab_ ? pressGrab_ : under;
  ev.ScreenPos = pointer_;
  if (ev.Window) Queue(ev);
}

void THeadlessHost::MouseDown(THostButton button) {
  THostEvent ev;
  ev.Kind = THostEvent::TKind::ButtonDown;
  ev.Button = button;
  ev.Window = grab_ ? grab_ : pressGrab_ ? pressGrab_ : WindowAt(pointer_);
  ev.ScreenPos = pointer_;
  if (ev.Window) Queue(ev);
  // As on a real display, the window pressed on keeps the pointer until the
  // last button is released.
  if (!buttons_) pressGrab_ = ev.Window;
  buttons_ |= HostButtonBit(button);
}

void THeadlessHost::MouseUp(THostButton button) {
  buttons_ &= ~HostButtonBit(button);
  THostEvent ev;
  ev.Kind = THostEvent::TKind::ButtonUp;
  ev.Button = button;
  ev.Window = grab_ ? grab_ : pressGrab_ ? pressGrab_ : WindowAt(pointer_);
  ev.ScreenPos = pointer_;
  if (!buttons_) pressGrab_ = 0;
  // A release is delivered even outside every window: the button is up.
  Queue(ev);
  if (!grab_ && !pressGrab_) LeaveIfOutside(WindowAt(pointer_));
}

void THeadlessHost::LeaveIfOutside(THostWindow under) {
  if (pointerWindow_ && !under) {
    THostEvent leave;
    leave.Kind = THostEvent::TKind::MouseLeave;
    leave.Window = pointerWindow_;
    leave.ScreenPos = pointer_;
    Queue(leave);
  }
  pointerWindow_ = under;
}

void THeadlessHost::Click(int x, int y, THostButton button) {
  MouseMove(x, y);
  MouseDown(button);
  MouseUp(button);
}

void THeadlessHost::DoubleClick(int x, int y) {
  Click(x, y);
  Click(x, y);
}

void THeadlessHost::Drag(TPoint from, TPoint to, int steps) {
  steps = std::max(steps, 1);
  MouseMove(from.X, from.Y);
  MouseDown();
  for (int i = 1; i <= steps; ++i)
    MouseMove(from.X + (to.X - from.X) * i / steps, from.Y + (to.Y - from.Y) * i / steps);
  MouseUp();
}

void THeadlessHost::Wheel(int delta) {
  THostEvent ev;
  ev.Kind = THostEvent::TKind::Wheel;
  ev.WheelDelta = delta;
  ev.Window = WindowAt(pointer_);
  ev.ScreenPos = pointer_;
  Queue(ev);
}

void THeadlessHost::KeyDown(int vk, std::uint32_t codePoint) {
  if (vk == VK_SHIFT || vk == VK_LSHIFT || vk == VK_RSHIFT) shift_ = true;
  if (vk == VK_CONTROL || vk == VK_LCONTROL || vk == VK_RCONTROL) control_ = true;
  if (vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU) alt_ = true;
  THostEvent ev;
  ev.Kind = THostEvent::TKind::KeyDown;
  ev.VirtualKey = vk;
  ev.Window = focused_;
  Queue(ev);
  if (codePoint) {
    THostEvent ch;
    ch.Kind = THostEvent::TKind::Char;
    ch.CodePoint = codePoint;
    ch.Window = focused_;
    Queue(ch);
  }
}

void THeadlessHost::KeyUp(int vk) {
  if (vk == VK_SHIFT || vk == VK_LSHIFT || vk == VK_RSHIFT) shift_ = false;
  if (vk == VK_CONTROL || vk == VK_LCONTROL || vk == VK_RCONTROL) control_ = false;
  if (vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU) alt_ = false;
  THostEvent ev;
  ev.Kind = THostEvent::TKind::KeyUp;
  ev.VirtualKey = vk;
  ev.Window = focused_;
  Queue(ev);
}

void THeadlessHost::Key(int vk) {
  KeyDown(vk, CharForKey(vk, shift_, control_));
  KeyUp(vk);
}

void THeadlessHost::Type(std::string_view utf8) {
  for (std::uint32_t cp : DecodeUtf8(utf8)) {
    TKeyOf k = cp < 0x80 ? KeyForChar(cp) : TKeyOf{};
    if (!k.Vk) {
      THostEvent ch;
      ch.Kind = THostEvent::TKind::Char;
      ch.CodePoint = cp;
      ch.Window = focused_;
      Queue(ch);
      continue;
    }
    bool pressShift = k.Shift && !shift_;
    if (pressShift) KeyDown(VK_SHIFT);
    KeyDown(k.Vk, cp == '\n' ? '\r' : cp);
    KeyUp(k.Vk);
    if (pressShift) KeyUp(VK_SHIFT);
  }
}

void THeadlessHost::RequestClose(THostWindow window) {
  THostEvent ev;
  ev.Kind = THostEvent::TKind::Close;
  ev.Window = window;
  Queue(ev);
}

void THeadlessHost::DesktopFocus(THostWindow window) {
  if (focused_ && focused_ != window) {
    THostEvent out;
    out.Kind = THostEvent::TKind::FocusOut;
    out.Window = focused_;
    Queue(out);
  }
  focused_ = window;
  if (window) {
    RaiseNativeWindow(window);
    THostEvent in;
    in.Kind = THostEvent::TKind::FocusIn;
    in.Window = window;
    Queue(in);
  }
}

// ---------------------------------------------------------------- pictures

std::vector<THostWindow> THeadlessHost::ZOrder() const {
  std::vector<THostWindow> out;
  for (THostWindow id : zorder_)
    if (const TNative* n = Native(id); n && n->Visible && !n->Minimized) out.push_back(id);
  return out;
}

TBitmap THeadlessHost::WindowShot(THostWindow window) const {
  const TNative* n = Native(window);
  return n ? n->Shown : TBitmap();
}

TBitmap THeadlessHost::Screenshot() const {
  TBitmap screen(screen_.cx, screen_.cy, TPixelFormat::pf24bit);
  screen.Fill(GetSysColor(COLOR_BACKGROUND));
  std::vector<THostWindow> order = ZOrder();
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    const TNative* n = Native(*it);
    const TRect& b = n->Params.Bounds;
    std::vector<TRect> parts = n->Shape;
    if (parts.empty()) parts.push_back(Rect(0, 0, n->Shown.Width(), n->Shown.Height()));
    for (const TRect& part : parts) {
      TRect local = part.Intersect(Rect(0, 0, n->Shown.Width(), n->Shown.Height()));
      TRect onScreen = local.Offset(b.Left, b.Top).Intersect(Rect(0, 0, screen_.cx, screen_.cy));
      if (onScreen.IsEmpty()) continue;
      for (int y = onScreen.Top; y < onScreen.Bottom; ++y)
        std::memcpy(screen.ScanLine(y) + std::size_t(onScreen.Left) * 3,
                    n->Shown.ScanLine(y - b.Top) + std::size_t(onScreen.Left - b.Left) * 3,
                    std::size_t(onScreen.Width()) * 3);
    }
  }
  return screen;
}

void THeadlessHost::SaveScreenshotPng(const std::string& path) const {
  SavePngFile(path, Screenshot());
}

void THeadlessHost::SaveWindowPng(THostWindow window, const std::string& path) const {
  SavePngFile(path, WindowShot(window));
}

}  // namespace vm
