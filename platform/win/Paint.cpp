// Update regions, device contexts on the backing store, painting order and
// presenting, icons.
#include <algorithm>
#include <span>

#include "platform/win/WindowSystem.h"

namespace vm {

namespace {

TWindowSystem& WS() {
  return TWindowSystem::Get();
}
WPARAM WP(HDC dc) {
  return WPARAM(reinterpret_cast<std::uintptr_t>(dc));
}

TRegion Offsetted(TRegion r, int dx, int dy) {
  r.Offset(dx, dy);
  return r;
}

// The pixels a window covers in its parent's client coordinates.
TRegion Coverage(const TWnd* c) {
  if (!c->WindowRgn) return TRegion(c->Rect);
  TRegion r = Offsetted(*c->WindowRgn, c->Rect.Left, c->Rect.Top);
  r.Intersect(c->Rect);
  return r;
}

// kept ∩ r into out. A kept region of one rectangle, or a rectangle that
// lies within one band of it (a caption button, a small update), is cut
// directly without copying or combining the whole kept region.
void CutToRect(TRegion& out, const TRegion& kept, const TRect& r) {
  if (kept.Complexity() != COMPLEXREGION) {
    out = TRegion(kept.Bounds().Intersect(r));
    return;
  }
  constexpr int MaxParts = 8;
  TRect parts[MaxParts];
  int n = 0;
  bool oneBand = true;
  int bandTop = 0;
  bool inBand = false;
  for (const TRect& k : kept.Rects()) {
    if (k.Top >= r.Bottom) break;  // bands are sorted by top
    if (k.Bottom <= r.Top) continue;
    if (inBand && k.Top != bandTop) {
      oneBand = false;
      break;
    }
    inBand = true;
    bandTop = k.Top;
    const TRect q = k.Intersect(r);
    if (q.IsEmpty()) continue;
    if (n == MaxParts) {
      oneBand = false;
      break;
    }
    parts[n++] = q;
  }
  if (!oneBand) {
    // From the rectangle: only the kept region's rows under it are read,
    // and a small result stays inside the context's own region.
    out = TRegion(r);
    out.Intersect(kept);
  } else if (n <= 1) {
    out = TRegion(n ? parts[0] : TRect{});
  } else {
    // Pieces of one band keep their order and their gaps: already canonical.
    out = TRegion::FromRects(std::span<const TRect>(parts, std::size_t(n)));
  }
}

// kept narrowed by rgn moved by offset into kept's coordinates: kept ∩ rgn,
// or kept less rgn when exclude is set. A rectangle to keep is cut by
// CutToRect; only a complex region is combined with the whole kept region.
void Narrow(TRegion& out, const TRegion& kept, const TRegion& rgn, TPoint offset, bool exclude) {
  if (!exclude && rgn.Complexity() != COMPLEXREGION) {
    CutToRect(out, kept, rgn.Bounds().Offset(offset.X, offset.Y));
    return;
  }
  TRegion moved = rgn;
  moved.Offset(offset.X, offset.Y);
  out = kept;
  if (exclude)
    out.Subtract(moved);
  else
    out.Intersect(moved);
}

// Calls f for each child of w that still exists when its turn comes, the
// bottom one first. The handles wait on a stack shared by nested calls, so a
// handler may destroy windows or change the tree, and once the stack has
// grown nothing is allocated.
template <class F>
void ForEachChildBottomUp(TWnd* w, F&& f) {
  TWindowSystem& ws = WS();
  std::vector<HWND>& stack = ws.Paint.ChildStack;
  struct TPop {
    std::vector<HWND>& Stack;
    std::size_t Base;
    ~TPop() { Stack.resize(Base); }
  } pop{stack, stack.size()};
  for (TWnd* c : w->Children) stack.push_back(c->Handle);
  for (std::size_t i = stack.size(); i > pop.Base; --i)
    if (TWnd* c = ws.Find(stack[i - 1])) f(c);
}

}  // namespace

TPoint TWindowSystem::PartOrigin(const TWnd* w, bool client) const {
  const TPoint o = OriginInTop(w);
  return client ? TPoint{o.X + w->Client.Left, o.Y + w->Client.Top} : o;
}

TRegion TWindowSystem::VisibleRegion(TWnd* w, TDCFlags flags) const {
  TRegion rgn;
  VisibleRegion(w, flags, rgn);
  return rgn;
}

void TWindowSystem::VisibleRegion(TWnd* w, TDCFlags flags, TRegion& rgn) const {
  const bool client = flags.Client;
  if (!Visible(w)) {
    rgn.Clear();
    return;
  }
  TWnd* top = Top(w);
  TPoint o = OriginInTop(w);
  TRect r = client ? w->Client.Offset(o.X, o.Y) : Bounds(o.X, o.Y, w->Width(), w->Height());
  rgn = TRegion(r);  // keeps a buffer rgn holds
  if (w->WindowRgn) rgn.Intersect(Offsetted(*w->WindowRgn, o.X, o.Y));
  for (const TWnd* c = w; c->Parent; c = c->Parent) {
    const TWnd* p = c->Parent;
    TPoint po = OriginInTop(p);
    rgn.Intersect(p->Client.Offset(po.X, po.Y));
    if (p->WindowRgn) rgn.Intersect(Offsetted(*p->WindowRgn, po.X, po.Y));
    if (c->Style & WS_CLIPSIBLINGS) {
      TPoint pc{po.X + p->Client.Left, po.Y + p->Client.Top};
      for (const TWnd* s : p->Children) {
        if (s == c) break;  // only the siblings above
        if (s->Style & WS_VISIBLE) rgn.Subtract(Offsetted(Coverage(s), pc.X, pc.Y));
      }
    }
    if (rgn.IsEmpty()) return;
  }
  rgn.Intersect(Rect(0, 0, top->Width(), top->Height()));
  if (flags.ClipChildren) {
    TPoint cc{o.X + w->Client.Left, o.Y + w->Client.Top};
    for (const TWnd* ch : w->Children)
      if (ch->Style & WS_VISIBLE) rgn.Subtract(Offsetted(Coverage(ch), cc.X, cc.Y));
  }
}

const TRegion& TWindowSystem::CachedVisibleRegion(TWnd* w, TDCFlags flags) const {
  TWnd::TVisibleCache& c = w->Visible[(flags.Client ? 1 : 0) | (flags.ClipChildren ? 2 : 0)];
  if (c.Generation != TreeGeneration) {
    VisibleRegion(w, flags, c.Region);  // into the cache's own buffer
    c.Generation = TreeGeneration;
  }
  return c.Region;
}

void TWindowSystem::Invalidate(TWnd* w, const TRegion* clientRgn, UINT flags) {
  if (!Visible(w)) return;
  TRect clientBounds = Rect(0, 0, w->Client.Width(), w->Client.Height());
  TRegion r(clientBounds);
  if (clientRgn) r.Intersect(*clientRgn);
  if (flags & RDW_INVALIDATE) {
    if (!r.IsEmpty()) {
      w->Update.Union(r);
      if ((flags & RDW_ERASE) && !(flags & RDW_NOERASE)) w->UpdateErase = true;
    }
    if ((flags & RDW_FRAME) && !(flags & RDW_NOFRAME)) w->NcUpdate = true;
    if (flags & RDW_INTERNALPAINT) w->InternalPaint = true;
  }
  bool children =
      (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(w->Style & WS_CLIPCHILDREN));
  if (!children) return;
  // The children get the part of the region they lie under, in their own
  // client coordinates; a part over a child's frame repaints the frame too.
  const TRegion& area = r;  // the client area itself when no region is given
  TRegion part;
  for (TWnd* c : w->Children) {
    if (!(c->Style & WS_VISIBLE)) continue;
    if (c->WindowRgn) {
      part = area;
      part.Intersect(Coverage(c));
    } else {
      CutToRect(part, area, c->Rect);
    }
    if (part.IsEmpty()) continue;
    part.Offset(-c->Rect.Left - c->Client.Left, -c->Rect.Top - c->Client.Top);
    UINT childFlags = flags;
    // Any of the part outside the child's client area lies on its frame.
    const TRect b = part.Bounds();
    if (b.Intersect(Rect(0, 0, c->Client.Width(), c->Client.Height())) != b &&
        (flags & RDW_INVALIDATE))
      childFlags |= RDW_FRAME;
    Invalidate(c, clientRgn ? &part : nullptr, childFlags | RDW_ALLCHILDREN);
  }
}

void TWindowSystem::Validate(TWnd* w, const TRegion* clientRgn, UINT flags) {
  if (clientRgn)
    w->Update.Subtract(*clientRgn);
  else
    w->Update.Clear();
  if (w->Update.IsEmpty()) w->UpdateErase = false;
  if (flags & RDW_NOINTERNALPAINT) w->InternalPaint = false;
  if ((flags & RDW_NOFRAME) || (!clientRgn && (flags & RDW_FRAME))) w->NcUpdate = false;
  if (flags & RDW_ALLCHILDREN)
    for (TWnd* c : w->Children) Validate(c, nullptr, flags);
}

void TWindowSystem::NcPaint(TWnd* w, const TRegion* screenRgn) {
  // A frame still owed whole is painted whole.
  if (w->NcUpdate || !screenRgn) {
    w->NcUpdate = false;
    Send(w, WM_NCPAINT, 1, 0);
    return;
  }
  Send(w, WM_NCPAINT, WPARAM(reinterpret_cast<std::uintptr_t>(screenRgn)), 0);
}

void TWindowSystem::NcPaintButton(TWnd* w, LRESULT hit) {
  const TRect button = CaptionButtonRect(w, hit);
  if (button.IsEmpty()) {
    NcPaint(w);
    return;
  }
  const TPoint o = WindowOrigin(w);
  const TRegion screen(button.Offset(o.X, o.Y));
  NcPaint(w, &screen);
}

void TWindowSystem::EraseNow(TWnd* w, bool children) {
  if (!Visible(w)) return;
  HWND h = w->Handle;
  if (w->NcUpdate) {
    NcPaint(w);
    if (!(w = Find(h))) return;
  }
  if (w->UpdateErase && !w->Update.IsEmpty()) {
    w->UpdateErase = false;
    TRegion upd = w->Update;
    HDC dc = MakeDC(w, TDCFlags::Of(w, true), &upd);
    try {
      Send(w, WM_ERASEBKGND, WP(dc), 0);
    } catch (...) {
      ReleaseDCInternal(Find(h), dc);
      throw;
    }
    if (!(w = Find(h))) {
      for (auto it = Paint.LiveDCs.begin(); it != Paint.LiveDCs.end(); ++it)
        if (it->Dc.get() == dc) {
          RecycleDC(it);
          break;
        }
      return;
    }
    ReleaseDCInternal(w, dc);
  }
  if (!children) return;
  ForEachChildBottomUp(w, [&](TWnd* c) { EraseNow(c, true); });
}

void TWindowSystem::UpdateNow(TWnd* w, bool children) {
  if (!Visible(w)) return;
  HWND h = w->Handle;
  if (w->NcUpdate) {
    // The frame first, then WM_PAINT (whose BeginPaint erases).
    NcPaint(w);
    if (!(w = Find(h))) return;
  }
  if (!w->Update.IsEmpty() || w->InternalPaint) {
    MSG m;
    m.hwnd = h;
    m.message = WM_PAINT;
    DispatchMessage(&m);
    if (!(w = Find(h))) return;
  }
  if (!children) return;
  // Bottom children first, so those above paint last.
  ForEachChildBottomUp(w, [&](TWnd* c) { UpdateNow(c, true); });
}

void TWindowSystem::InvalidateParentArea(TWnd* w, const TRect& rectInParent) {
  TWnd* p = w->Parent;
  if (!p) return;
  TRegion r(rectInParent);
  Invalidate(p, &r, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

HDC TWindowSystem::MakeDC(TWnd* w, TDCFlags flags, const TRegion* clipClient) {
  TWnd* top = Top(w);
  const TRegion& kept = CachedVisibleRegion(w, flags);
  const TPoint origin = PartOrigin(w, flags.Client);
  if (!clipClient) return HandOutDC(w->Handle, top->Store, origin, kept);
  TRegion& part = Paint.ScratchRgn;
  Narrow(part, kept, *clipClient, PartOrigin(w, true), false);
  return HandOutDC(w->Handle, top->Store, origin, part);
}

HDC TWindowSystem::HandOutDC(HWND h, TBitmap& target, TPoint origin, const TRegion& visible) {
  std::unique_ptr<TDC> dc;
  if (!Paint.FreeDCs.empty()) {
    dc = std::move(Paint.FreeDCs.back());
    Paint.FreeDCs.pop_back();
  } else {
    dc = std::make_unique<TDC>(target);
  }
  dc->ResetOnBitmap(target, origin, visible);
  TPaintPart::TDCRec rec;
  rec.Hwnd = h;
  rec.Serial = Paint.NextDCSerial++;
  rec.Dc = std::move(dc);
  HDC out = rec.Dc.get();
  Paint.LiveDCs.push_back(std::move(rec));
  return out;
}

void TWindowSystem::RecycleDC(std::vector<TPaintPart::TDCRec>::iterator it) {
  std::unique_ptr<TDC> dc = std::move(it->Dc);
  Paint.LiveDCs.erase(it);
  if (Paint.FreeDCs.size() >= TPaintPart::MaxFreeDCs) return;
  // Nothing of the last use stays referenced (fonts, the window's store).
  dc->ResetOnBitmap(Paint.ScreenBits, {}, TRegion());
  if (Paint.FreeDCs.capacity() < TPaintPart::MaxFreeDCs)
    Paint.FreeDCs.reserve(TPaintPart::MaxFreeDCs);
  Paint.FreeDCs.push_back(std::move(dc));
}

void TWindowSystem::ReleaseDCInternal(TWnd* w, HDC dc) {
  for (auto it = Paint.LiveDCs.begin(); it != Paint.LiveDCs.end(); ++it)
    if (it->Dc.get() == dc) {
      // Only what the context reached and actually drew goes to the host.
      const TRect painted = dc->PaintedBounds();
      if (TWnd* top = w ? Top(w) : nullptr; top && !painted.IsEmpty()) {
        const TRegion& vis = dc->VisibleRegion();  // device coordinates
        const TPoint d = dc->DeviceOrigin();
        if (vis.Complexity() != COMPLEXREGION) {
          const TRect drawn = vis.Bounds().Offset(d.X, d.Y).Intersect(painted);
          if (!drawn.IsEmpty()) top->Dirty.Union(drawn);
        } else {
          TRegion& drawn = Paint.ScratchRgn;
          drawn = vis;
          drawn.Offset(d.X, d.Y);
          drawn.Intersect(painted);
          top->Dirty.Union(drawn);
        }
      }
      RecycleDC(it);
      return;
    }
}

void TWindowSystem::ForgetPaint(HWND h) {
  if (Paint.Caret.Hwnd == h) RemoveCaret();
  std::erase_if(Paint.LiveDCs, [&](const TPaintPart::TDCRec& rec) { return rec.Hwnd == h; });
}

void TWindowSystem::ReleaseDCsFrom(std::uint64_t serial) {
  std::vector<HDC> stale;
  for (const TPaintPart::TDCRec& rec : Paint.LiveDCs)
    if (rec.Serial >= serial) stale.push_back(rec.Dc.get());
  for (HDC dc : stale)
    for (const TPaintPart::TDCRec& rec : Paint.LiveDCs)
      if (rec.Dc.get() == dc) {
        ReleaseDCInternal(Find(rec.Hwnd), dc);
        break;
      }
}

namespace {

// Inverts the pixels of a region of a 24-bit store (the caret).
void InvertRegion(TBitmap& store, const TRegion& rgn) {
  for (const TRect& r0 : rgn.Rects()) {
    TRect r = r0.Intersect(Rect(0, 0, store.Width(), store.Height()));
    for (int y = r.Top; y < r.Bottom; ++y) {
      std::uint8_t* p = store.ScanLine(y) + std::size_t(r.Left) * 3;
      for (int i = 0; i < r.Width() * 3; ++i) p[i] = std::uint8_t(~p[i]);
    }
  }
}

}  // namespace

void TWindowSystem::Present() {
  if (!Host) return;
  TWnd* caretTop = Paint.Caret.On ? Top(Find(Paint.Caret.Hwnd)) : nullptr;
  for (TWnd* t : TopLevels) {
    if (t->Dirty.IsEmpty() || !(t->Style & WS_VISIBLE) || !t->Native) continue;
    // Only the damaged rectangles go to the host, through a list kept for
    // every present.
    std::vector<TRect>& rects = Paint.PresentRects;
    rects.assign(t->Dirty.Rects().begin(), t->Dirty.Rects().end());
    t->Dirty.Clear();
    if (t != caretTop) {
      Host->Present(t->Native, t->Store, rects);
      continue;
    }
    TRegion caret = CaretRegion();
    InvertRegion(t->Store, caret);
    Host->Present(t->Native, t->Store, rects);
    InvertRegion(t->Store, caret);
  }
}

// ---------------------------------------------------------------- public API

bool InvalidateRect(HWND hwnd, const TRect* r, bool erase) {
  TWnd* w = WS().Find(hwnd);
  if (!w) return false;
  TRegion rgn;
  if (r) rgn = TRegion(*r);
  WS().Invalidate(w, r ? &rgn : nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
  return true;
}

bool InvalidateRgn(HWND hwnd, const TRegion* rgn, bool erase) {
  TWnd* w = WS().Find(hwnd);
  if (!w) return false;
  WS().Invalidate(w, rgn, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
  return true;
}

bool ValidateRect(HWND hwnd, const TRect* r) {
  TWnd* w = WS().Find(hwnd);
  if (!w) return false;
  TRegion rgn;
  if (r) rgn = TRegion(*r);
  WS().Validate(w, r ? &rgn : nullptr, 0);
  return true;
}

bool ValidateRgn(HWND hwnd, const TRegion* rgn) {
  TWnd* w = WS().Find(hwnd);
  if (!w) return false;
  WS().Validate(w, rgn, 0);
  return true;
}

bool GetUpdateRect(HWND hwnd, TRect* r, bool erase) {
  TWnd* w = WS().Find(hwnd);
  if (!w) return false;
  if (r) *r = w->Update.Bounds();
  bool any = !w->Update.IsEmpty();
  if (any && erase) WS().EraseNow(w, false);
  return any;
}

int GetUpdateRgn(HWND hwnd, TRegion* rgn, bool erase) {
  TWnd* w = WS().Find(hwnd);
  if (!w) return RGN_ERROR;
  if (rgn) *rgn = w->Update;
  int c = w->Update.Complexity();
  if (c != NULLREGION && erase) WS().EraseNow(w, false);
  return c;
}

bool UpdateWindow(HWND hwnd) {
  TWnd* w = WS().Find(hwnd);
  if (!w) return false;
  WS().UpdateNow(w, true);
  return true;
}

bool RedrawWindow(HWND hwnd, const TRect* r, const TRegion* rgn, UINT flags) {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(hwnd);
  if (!w) return false;
  TRegion area;
  const TRegion* part = nullptr;
  if (rgn) {
    area = *rgn;
    part = &area;
  } else if (r) {
    area = TRegion(*r);
    part = &area;
  }
  if (flags & RDW_INVALIDATE) ws.Invalidate(w, part, flags);
  if (flags & RDW_VALIDATE) ws.Validate(w, part, flags);
  if (!(w = ws.Find(hwnd))) return true;
  bool children = (flags & RDW_ALLCHILDREN) != 0;
  if (flags & RDW_UPDATENOW)
    ws.UpdateNow(w, children);
  else if (flags & RDW_ERASENOW)
    ws.EraseNow(w, children);
  return true;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(hwnd);
  if (!w) return nullptr;
  if (w->NcUpdate) {
    ws.NcPaint(w);
    if (!(w = ws.Find(hwnd))) return nullptr;
  }
  TRegion upd = std::move(w->Update);
  bool erase = w->UpdateErase;
  w->Update.Clear();
  w->UpdateErase = false;
  w->InternalPaint = false;
  HDC dc = ws.MakeDC(w, TDCFlags::Of(w, true), &upd);
  PAINTSTRUCT local;
  if (!ps) ps = &local;
  ps->hdc = dc;
  ps->rcPaint = upd.Bounds();
  ps->fErase = false;
  if (erase && !upd.IsEmpty()) {
    try {
      ps->fErase = ws.Send(w, WM_ERASEBKGND, WP(dc), 0) == 0;
    } catch (...) {
      ws.ReleaseDCInternal(ws.Find(hwnd), dc);
      ps->hdc = nullptr;
      throw;
    }
  }
  return dc;
}

bool EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
  if (!ps) return false;
  TWindowSystem& ws = WS();
  ws.ReleaseDCInternal(ws.Find(hwnd), ps->hdc);
  return true;
}

HDC GetDC(HWND hwnd) {
  TWindowSystem& ws = WS();
  if (!hwnd) {
    // The screen context: a real context for measuring, on a scratch pixel.
    TSize screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return ws.HandOutDC(nullptr, ws.Paint.ScreenBits, TPoint{0, 0},
                        TRegion(Rect(0, 0, screen.cx, screen.cy)));
  }
  TWnd* w = ws.Find(hwnd);
  if (!w) return nullptr;
  return ws.MakeDC(w, TDCFlags::Of(w, true));
}

HDC GetWindowDC(HWND hwnd) {
  TWnd* w = WS().Find(hwnd);
  if (!w) return nullptr;
  return WS().MakeDC(w, TDCFlags::Of(w, false));
}

HDC GetDCEx(HWND hwnd, const TRegion* screenRgn, DWORD flags) {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(hwnd);
  if (!w) return nullptr;
  bool client = !(flags & DCX_WINDOW);
  bool clipChildren = (flags & DCX_CLIPCHILDREN) || (w->Style & WS_CLIPCHILDREN);
  if (!screenRgn || !(flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN)))
    return ws.MakeDC(w, {client, clipChildren});
  // The region narrows the window's visible region; both are taken into
  // top-level window coordinates.
  TWnd* top = ws.Top(w);
  const TRegion& kept = ws.CachedVisibleRegion(w, {client, clipChildren});
  const TPoint topOrigin = ws.WindowOrigin(top);
  TRegion vis;
  Narrow(vis, kept, *screenRgn, {-topOrigin.X, -topOrigin.Y}, !(flags & DCX_INTERSECTRGN));
  return ws.HandOutDC(hwnd, top->Store, ws.PartOrigin(w, client), vis);
}

HWND WindowFromDC(HDC dc) {
  if (!dc) return nullptr;
  TWindowSystem& ws = WS();
  for (const auto& rec : ws.Paint.LiveDCs)
    if (rec.Dc.get() == dc) return ws.Find(rec.Hwnd) ? rec.Hwnd : nullptr;
  return nullptr;
}

int ReleaseDC(HWND hwnd, HDC dc) {
  TWindowSystem& ws = WS();
  for (const auto& rec : ws.Paint.LiveDCs)
    if (rec.Dc.get() == dc) {
      ws.ReleaseDCInternal(ws.Find(rec.Hwnd), dc);
      return 1;
    }
  (void)hwnd;
  return 0;
}

void PresentWindows() {
  WS().Present();
}

THostWindow GetHostWindow(HWND hwnd) {
  TWnd* w = WS().Find(hwnd);
  return w && !w->Parent ? w->Native : 0;
}

const TBitmap* GetWindowStore(HWND hwnd) {
  TWnd* w = WS().Find(hwnd);
  return w && !w->Parent ? &w->Store : nullptr;
}

// ---------------------------------------------------------------- icons

HICON CreateIconFromBitmap(const TBitmap& image) {
  if (image.Empty()) return nullptr;
  auto bmp = std::make_shared<TBitmap>(image.Width(), image.Height(), TPixelFormat::pf32bit);
  bool alpha = image.PixelFormat() == TPixelFormat::pf32bit;
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x) {
      bmp->SetPixel(x, y, image.GetPixel(x, y));
      bmp->SetAlpha(x, y, alpha ? image.GetAlpha(x, y) : 255);
    }
  TWindowSystem& ws = WS();
  std::uintptr_t id = ws.Paint.NextIcon++;
  ws.Paint.Icons.emplace(id, std::move(bmp));
  return reinterpret_cast<HICON>(id);
}

bool DestroyIcon(HICON icon) {
  return WS().Paint.Icons.erase(reinterpret_cast<std::uintptr_t>(icon)) != 0;
}

const TBitmap* GetIconBitmap(HICON icon) {
  auto it = WS().Paint.Icons.find(reinterpret_cast<std::uintptr_t>(icon));
  return it == WS().Paint.Icons.end() ? nullptr : it->second.get();
}

bool DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy) {
  const TBitmap* bmp = GetIconBitmap(icon);
  if (!dc || !bmp) return false;
  if (cx <= 0) cx = bmp->Width();
  if (cy <= 0) cy = bmp->Height();
  dc->DrawAlphaImage(Bounds(x, y, cx, cy), *bmp);
  return true;
}

}  // namespace vm
