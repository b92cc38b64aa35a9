// Scrolling a window's contents: the pixels move inside the backing store and
// only what the move could not fill is painted again.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win/WindowSystem.h"

namespace vm {

namespace {

TWindowSystem& WS() {
  return TWindowSystem::Get();
}

TRegion Shifted(TRegion r, int dx, int dy) {
  r.Offset(dx, dy);
  return r;
}

// The pixels a child covers, in its parent's client coordinates.
TRegion Coverage(const TWnd* c) {
  TRegion r(c->Rect);
  if (c->WindowRgn) r.Intersect(Shifted(*c->WindowRgn, c->Rect.Left, c->Rect.Top));
  return r;
}

// Copies the pixels of dest (store coordinates) from (x - dx, y - dy). The
// sources are read before anything is written, so overlapping moves are exact.
void MovePixels(TBitmap& store, const TRegion& dest, int dx, int dy) {
  if (dest.IsEmpty()) return;
  TRect b = dest.Bounds();
  TRect src = b.Offset(-dx, -dy);
  const int bpp = store.BytesPerPixel();
  const std::size_t row = std::size_t(src.Width()) * std::size_t(bpp);
  std::vector<std::uint8_t> copy(row * std::size_t(src.Height()));
  for (int y = 0; y < src.Height(); ++y)
    std::memcpy(copy.data() + std::size_t(y) * row,
                store.ScanLine(src.Top + y) + std::size_t(src.Left) * std::size_t(bpp), row);
  for (const TRect& r : dest.Rects())
    for (int y = r.Top; y < r.Bottom; ++y) {
      const std::uint8_t* from = copy.data() + std::size_t(y - b.Top) * row +
                                 std::size_t(r.Left - b.Left) * std::size_t(bpp);
      std::memcpy(store.ScanLine(y) + std::size_t(r.Left) * std::size_t(bpp), from,
                  std::size_t(r.Width()) * std::size_t(bpp));
    }
}

}  // namespace

int ScrollWindowEx(HWND hwnd, int dx, int dy, const TRect* r, const TRect* clip, TRegion* update,
                   TRect* updateRect, UINT flags) {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(hwnd);
  if (!w) return RGN_ERROR;
  // Far beyond any window: keeps every rectangle below within integer range.
  constexpr int Far = 1 << 24;
  dx = std::clamp(dx, -Far, Far);
  dy = std::clamp(dy, -Far, Far);
  const TRect client = Rect(0, 0, w->Client.Width(), w->Client.Height());
  const TRect area = r ? r->Intersect(client) : client;
  const TRect target = (clip ? clip->Intersect(client) : client).Intersect(area);
  const bool kids = (flags & SW_SCROLLCHILDREN) != 0;

  // What the window shows of its client, in client coordinates. Children
  // that stay where they are keep their pixels: they are no source and no target.
  TRegion vis;
  if (ws.Visible(w)) {
    vis = ws.VisibleRegion(w, {.Client = true, .ClipChildren = !kids});
    TPoint o = ws.OriginInTop(w);
    vis.Offset(-(o.X + w->Client.Left), -(o.Y + w->Client.Top));
  }
  TRegion moved = vis;
  moved.Intersect(area);
  moved.Offset(dx, dy);
  moved.Intersect(target);
  moved.Intersect(vis);
  if (!moved.IsEmpty() && (dx || dy)) {
    TWnd* top = ws.Top(w);
    TPoint o = ws.OriginInTop(w);
    TRegion inStore = Shifted(moved, o.X + w->Client.Left, o.Y + w->Client.Top);
    MovePixels(top->Store, inStore, dx, dy);
    top->Dirty.Union(inStore);
  }

  TRegion uncovered(target);
  uncovered.Subtract(moved);
  if (!kids)
    for (const TWnd* c : w->Children)
      if (c->Style & WS_VISIBLE) uncovered.Subtract(Coverage(c));
  if (!dx && !dy) uncovered.Clear();

  // What was still waiting to be painted moves along with the pixels.
  if (!w->Update.IsEmpty() && (dx || dy)) {
    TRegion pending = w->Update;
    pending.Intersect(area);
    pending.Offset(dx, dy);
    pending.Intersect(target);
    w->Update.Subtract(target);
    w->Update.Union(pending);
  }

  if (kids && (dx || dy)) {
    // Children in the scrolled rectangle ride along. What of them lies
    // outside it was not among the moved pixels: it is painted again, and so
    // is the parent where they were.
    std::vector<HWND> list;
    for (TWnd* c : w->Children)
      if (!r || c->Rect.Intersect(area) != TRect{}) list.push_back(c->Handle);
    for (HWND k : list) {
      TWnd* c = ws.Find(k);
      if (!c) continue;
      TRegion before = Coverage(c);
      ws.SetPos(c, nullptr, c->Rect.Left + dx, c->Rect.Top + dy, 0, 0,
                SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
      if (!(c = ws.Find(k)) || !(w = ws.Find(hwnd))) continue;
      if (!(c->Style & WS_VISIBLE)) continue;
      TRegion stale = Coverage(c);
      stale.Subtract(moved);
      before.Subtract(area);
      stale.Union(before);
      stale.Intersect(client);
      if (!stale.IsEmpty()) ws.Invalidate(w, &stale, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    if (!(w = ws.Find(hwnd))) return RGN_ERROR;
  }

  if ((flags & SW_INVALIDATE) && !uncovered.IsEmpty())
    ws.Invalidate(w, &uncovered,
                  RDW_INVALIDATE | ((flags & SW_ERASE) ? RDW_ERASE : 0) |
                      (kids ? RDW_ALLCHILDREN : RDW_NOCHILDREN));
  if (update) *update = uncovered;
  if (updateRect) *updateRect = uncovered.Bounds();
  return uncovered.Complexity();
}

bool ScrollWindow(HWND hwnd, int dx, int dy, const TRect* r, const TRect* clip) {
  UINT flags = SW_INVALIDATE | SW_ERASE | (r ? 0 : SW_SCROLLCHILDREN);
  return ScrollWindowEx(hwnd, dx, dy, r, clip, nullptr, nullptr, flags) != RGN_ERROR;
}

}  // namespace vm
