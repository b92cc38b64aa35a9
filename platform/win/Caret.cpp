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
  TWnd* w = Find(Paint.Caret.Hwnd);
  if (!w || !Visible(w)) return {};
  TPoint o = OriginInTop(w);
  TRegion r(Bounds(o.X + w->Client.Left + Paint.Caret.Pos.X,
                   o.Y + w->Client.Top + Paint.Caret.Pos.Y, Paint.Caret.Width, Paint.Caret.Height));
  r.Intersect(VisibleRegion(w, TDCFlags::Of(w, true)));
  return r;
}

void TWindowSystem::SetCaretOn(bool on) {
  if (Paint.Caret.On == on) return;
  Paint.Caret.On = on;
  // The caret's pixels go to the screen again, with or without the caret.
  if (TWnd* w = Find(Paint.Caret.Hwnd)) Top(w)->Dirty.Union(CaretRegion());
}

void TWindowSystem::CaretTick() {
  if (!Paint.Caret.Hwnd || Paint.Caret.HideCount > 0 || !Host) return;
  std::uint64_t now = Host->Now();
  if (now < Paint.Caret.NextToggle) return;
  SetCaretOn(!Paint.Caret.On);
  Paint.Caret.NextToggle = now + Paint.CaretBlinkMs;
}

void TWindowSystem::RemoveCaret() {
  SetCaretOn(false);
  Paint.Caret = TPaintPart::TCaret{};
}

bool CreateCaret(HWND hwnd, void* bitmap, int width, int height) {
  (void)bitmap;  // shaped carets are not used: the caret is always a solid block
  TWindowSystem& ws = WS();
  if (!ws.Find(hwnd)) return false;
  ws.RemoveCaret();
  ws.Paint.Caret.Hwnd = hwnd;
  ws.Paint.Caret.Width = width > 0 ? width : GetSystemMetrics(SM_CXBORDER);
  ws.Paint.Caret.Height = height > 0 ? height : GetSystemMetrics(SM_CYBORDER);
  return true;
}

bool DestroyCaret() {
  if (!WS().Paint.Caret.Hwnd) return false;
  WS().RemoveCaret();
  return true;
}

bool ShowCaret(HWND hwnd) {
  TWindowSystem& ws = WS();
  auto& c = ws.Paint.Caret;
  if (!c.Hwnd || (hwnd && hwnd != c.Hwnd) || c.HideCount == 0) return false;
  if (--c.HideCount == 0) {
    ws.SetCaretOn(true);
    c.NextToggle = (ws.Host ? ws.Host->Now() : 0) + ws.Paint.CaretBlinkMs;
  }
  return true;
}

bool HideCaret(HWND hwnd) {
  TWindowSystem& ws = WS();
  auto& c = ws.Paint.Caret;
  if (!c.Hwnd || (hwnd && hwnd != c.Hwnd)) return false;
  ++c.HideCount;
  ws.SetCaretOn(false);
  return true;
}

bool SetCaretPos(int x, int y) {
  TWindowSystem& ws = WS();
  auto& c = ws.Paint.Caret;
  if (!c.Hwnd) return false;
  if (c.Pos == TPoint{x, y}) return true;
  ws.SetCaretOn(false);
  c.Pos = {x, y};
  // A moved caret shows at once and starts its blink again, as while typing.
  if (c.HideCount == 0) {
    ws.SetCaretOn(true);
    c.NextToggle = (ws.Host ? ws.Host->Now() : 0) + ws.Paint.CaretBlinkMs;
  }
  return true;
}

bool GetCaretPos(TPoint* p) {
  if (!p || !WS().Paint.Caret.Hwnd) return false;
  *p = WS().Paint.Caret.Pos;
  return true;
}

UINT GetCaretBlinkTime() {
  return WS().Paint.CaretBlinkMs;
}

bool SetCaretBlinkTime(UINT ms) {
  if (ms == 0) return false;
  WS().Paint.CaretBlinkMs = ms;
  return true;
}

}  // namespace vm
