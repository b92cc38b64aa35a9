// The caret: a blinking block shown inverted over the window's pixels.
#include <algorithm>

#include "platform/win/WindowSystem.h"

namespace vm {

namespace {
TWindowSystem& WS() {
  return TWindowSystem::Get();
}
}  // namespace

TRegion TWindowSystem::CaretRegion() {
  TWnd* w = Find(Caret.Hwnd);
  if (!w || !Visible(w)) return {};
  TPoint o = OriginInTop(w);
  TRegion r(Bounds(o.X + w->Client.Left + Caret.Pos.X, o.Y + w->Client.Top + Caret.Pos.Y,
                   Caret.Width, Caret.Height));
  r.Intersect(VisibleRegion(w, true, (w->Style & WS_CLIPCHILDREN) != 0));
  return r;
}

void TWindowSystem::SetCaretOn(bool on) {
  if (Caret.On == on) return;
  Caret.On = on;
  // The caret's pixels go to the screen again, with or without the caret.
  if (TWnd* w = Find(Caret.Hwnd)) Top(w)->Dirty.Union(CaretRegion());
}

void TWindowSystem::CaretTick() {
  if (!Caret.Hwnd || Caret.HideCount > 0 || !Host) return;
  std::uint64_t now = Host->Now();
  if (now < Caret.NextToggle) return;
  SetCaretOn(!Caret.On);
  Caret.NextToggle = now + CaretBlinkMs;
}

void TWindowSystem::RemoveCaret() {
  SetCaretOn(false);
  Caret = TCaret{};
}

bool CreateCaret(HWND hwnd, void* bitmap, int width, int height) {
  (void)bitmap;  // shaped carets are not used: the caret is always a solid block
  TWindowSystem& ws = WS();
  if (!ws.Find(hwnd)) return false;
  ws.RemoveCaret();
  ws.Caret.Hwnd = hwnd;
  ws.Caret.Width = width > 0 ? width : GetSystemMetrics(SM_CXBORDER);
  ws.Caret.Height = height > 0 ? height : GetSystemMetrics(SM_CYBORDER);
  return true;
}

bool DestroyCaret() {
  if (!WS().Caret.Hwnd) return false;
  WS().RemoveCaret();
  return true;
}

bool ShowCaret(HWND hwnd) {
  TWindowSystem& ws = WS();
  auto& c = ws.Caret;
  if (!c.Hwnd || (hwnd && hwnd != c.Hwnd) || c.HideCount == 0) return false;
  if (--c.HideCount == 0) {
    ws.SetCaretOn(true);
    c.NextToggle = (ws.Host ? ws.Host->Now() : 0) + ws.CaretBlinkMs;
  }
  return true;
}

bool HideCaret(HWND hwnd) {
  TWindowSystem& ws = WS();
  auto& c = ws.Caret;
  if (!c.Hwnd || (hwnd && hwnd != c.Hwnd)) return false;
  ++c.HideCount;
  ws.SetCaretOn(false);
  return true;
}

bool SetCaretPos(int x, int y) {
  TWindowSystem& ws = WS();
  auto& c = ws.Caret;
  if (!c.Hwnd) return false;
  if (c.Pos == TPoint{x, y}) return true;
  ws.SetCaretOn(false);
  c.Pos = {x, y};
  // A moved caret shows at once and starts its blink again, as while typing.
  if (c.HideCount == 0) {
    ws.SetCaretOn(true);
    c.NextToggle = (ws.Host ? ws.Host->Now() : 0) + ws.CaretBlinkMs;
  }
  return true;
}

bool GetCaretPos(TPoint* p) {
  if (!p || !WS().Caret.Hwnd) return false;
  *p = WS().Caret.Pos;
  return true;
}

UINT GetCaretBlinkTime() {
  return WS().CaretBlinkMs;
}

bool SetCaretBlinkTime(UINT ms) {
  if (ms == 0) return false;
  WS().CaretBlinkMs = ms;
  return true;
}

}  // namespace vm
