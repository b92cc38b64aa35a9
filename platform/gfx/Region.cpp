#include "platform/gfx/Region.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>

namespace vm {
namespace {

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
// A region that spilled to the heap returns to its inline storage when it
// shrinks to a few rectangles and its buffer is at least this large; smaller
// buffers are kept so that a region that grows and shrinks on every repaint
// does not allocate each time.
constexpr std::uint32_t kShrinkHeapFrom = 1024;

TRect* Allocate(std::uint32_t n) {
  return std::allocator<TRect>().allocate(n);
}
void Deallocate(TRect* p, std::uint32_t n) {
  std::allocator<TRect>().deallocate(p, n);
}

// The index just past the band that starts at rects[i].
inline std::size_t BandEnd(const TRect* rects, std::size_t i, std::size_t n) {
  const std::int32_t top = rects[i].Top;
  std::size_t j = i + 1;
  while (j < n && rects[j].Top == top) ++j;
  return j;
}

// The first rectangle whose band reaches below y. Bands are sorted and
// disjoint, so Bottom never decreases along the list.
inline std::size_t FirstBandBelow(const TRect* rects, std::size_t n, std::int32_t y) {
  return std::size_t(
      std::partition_point(rects, rects + n, [y](const TRect& r) { return r.Bottom <= y; }) -
      rects);
}

// The first rectangle whose band starts at or below y.
inline std::size_t FirstBandFrom(const TRect* rects, std::size_t n, std::int32_t y) {
  return std::size_t(
      std::partition_point(rects, rects + n, [y](const TRect& r) { return r.Top < y; }) - rects);
}

// Ends the band written at rects[start, n): when it continues the previous
// band downwards with the same columns, the previous band grows instead.
inline void EndBand(TRect* rects, std::size_t& n, std::size_t& prev, std::size_t start) {
  if (n == start) return;
  if (prev != kNone && start - prev == n - start && rects[prev].Bottom == rects[start].Top) {
    const TRect* p = rects + prev;
    const TRect* c = rects + start;
    const std::size_t count = n - start;
    std::size_t k = 0;
    while (k < count && p[k].Left == c[k].Left && p[k].Right == c[k].Right) ++k;
    if (k == count) {
      const std::int32_t bottom = c->Bottom;
      for (k = 0; k < count; ++k) rects[prev + k].Bottom = bottom;
      n = start;
      return;
    }
  }
  prev = start;
}

// Writes the bands of src[0, n) clipped to q to dst and returns how many
// rectangles it wrote; bands cut to the same rows and columns merge. dst may
// be src: every rectangle is written at or before the place it was read from.
std::size_t ClipBands(const TRect* src, std::size_t n, const TRect& q, TRect* dst) {
  std::size_t out = 0, prev = kNone;
  for (std::size_t i = 0, e; i < n; i = e) {
    e = BandEnd(src, i, n);
    const std::int32_t top = std::max(src[i].Top, q.Top),
                       bottom = std::min(src[i].Bottom, q.Bottom);
    const std::size_t start = out;
    for (std::size_t k = i; k < e; ++k) {
      const std::int32_t left = std::max(src[k].Left, q.Left),
                         right = std::min(src[k].Right, q.Right);
      if (left < right) dst[out++] = {left, top, right, bottom};
    }
    EndBand(dst, out, prev, start);
  }
  return out;
}

// Where a combination is built before it is copied into the target region:
// one buffer per thread, grown on demand and kept, so that combining regions
// allocates nothing once the largest result has been seen. The buffer itself
// is plain data, so regions combined by destructors that run after the
// thread's own clean-up (objects destroyed at thread or process exit) find
// it empty and use a buffer of their own instead of a freed one.
struct TScratch {
  TRect* P = nullptr;
  std::size_t Cap = 0;
  bool OwnerGone = false;
};
thread_local TScratch tScratch;

// Frees the thread's buffer when the thread ends.
struct TScratchOwner {
  ~TScratchOwner() {
    if (tScratch.P) Deallocate(tScratch.P, std::uint32_t(tScratch.Cap));
    tScratch = {nullptr, 0, true};
  }
  void Touch() {}
};
thread_local TScratchOwner tScratchOwner;

struct TOut {
  TRect* P = tScratch.P;
  std::size_t Cap = tScratch.Cap;
  std::size_t N = 0;
  std::size_t Prev = kNone;
  bool Owned = false;  // P is this combination's own buffer, not the thread's

  TOut() = default;
  TOut(const TOut&) = delete;
  TOut& operator=(const TOut&) = delete;
  ~TOut() {
    if (Owned) Deallocate(P, std::uint32_t(Cap));
  }
  void Ensure(std::size_t extra) {
    if (N + extra <= Cap) return;
    const std::size_t cap = std::max<std::size_t>({2 * Cap, N + extra, 64});
    TRect* p = Allocate(std::uint32_t(cap));
    if (N) std::memcpy(static_cast<void*>(p), P, N * sizeof(TRect));
    if (Owned) {
      Deallocate(P, std::uint32_t(Cap));
    } else if (P) {
      Deallocate(tScratch.P, std::uint32_t(tScratch.Cap));
      tScratch.P = nullptr;
      tScratch.Cap = 0;
    }
    if (tScratch.OwnerGone) {
      // The thread is ending: a buffer of this combination's own.
      Owned = true;
    } else {
      tScratchOwner.Touch();  // registers the clean-up on first use
      tScratch.P = p;
      tScratch.Cap = cap;
    }
    P = p;
    Cap = cap;
  }
  void Put(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
    P[N++] = {l, t, r, b};
  }
  // Copies the columns of one band for the rows [top, bottom).
  void CopyBand(const TRect* s, const TRect* e, std::int32_t top, std::int32_t bottom) {
    Ensure(std::size_t(e - s));
    const std::size_t start = N;
    for (; s != e; ++s) Put(s->Left, top, s->Right, bottom);
    EndBand(P, N, Prev, start);
  }
};

// The combinations. Band() writes the columns of one band of the result from
// one band of each operand (at most the sum of their column counts); KeepA and
// KeepB tell whether rows covered by only one operand stay in the result.
struct TOpAnd {
  static constexpr bool KeepA = false, KeepB = false;
  static void Band(TOut& out, const TRect* a, const TRect* ae, const TRect* b, const TRect* be,
                   std::int32_t y0, std::int32_t y1) {
    while (a != ae && b != be) {
      const std::int32_t l = std::max(a->Left, b->Left), r = std::min(a->Right, b->Right);
      if (l < r) out.Put(l, y0, r, y1);
      if (a->Right < b->Right)
        ++a;
      else if (b->Right < a->Right)
        ++b;
      else
        ++a, ++b;
    }
  }
};

struct TOpOr {
  static constexpr bool KeepA = true, KeepB = true;
  static void Band(TOut& out, const TRect* a, const TRect* ae, const TRect* b, const TRect* be,
                   std::int32_t y0, std::int32_t y1) {
    // Merge by Left; a column that touches or overlaps the open one extends it.
    bool open = false;
    std::int32_t l = 0, r = 0;
    while (a != ae || b != be) {
      const TRect* c = (b == be || (a != ae && a->Left <= b->Left)) ? a++ : b++;
      if (open && c->Left <= r) {
        r = std::max(r, c->Right);
        continue;
      }
      if (open) out.Put(l, y0, r, y1);
      open = true;
      l = c->Left;
      r = c->Right;
    }
    if (open) out.Put(l, y0, r, y1);
  }
};

struct TOpDiff {
  static constexpr bool KeepA = true, KeepB = false;
  static void Band(TOut& out, const TRect* a, const TRect* ae, const TRect* b, const TRect* be,
                   std::int32_t y0, std::int32_t y1) {
    for (; a != ae; ++a) {
      while (b != be && b->Right <= a->Left) ++b;
      std::int32_t x = a->Left;
      for (const TRect* c = b; c != be && c->Left < a->Right; ++c) {
        if (c->Left > x) out.Put(x, y0, c->Left, y1);
        x = std::max(x, c->Right);
      }
      if (x < a->Right) out.Put(x, y0, a->Right, y1);
    }
  }
};

struct TOpXor {
  static constexpr bool KeepA = true, KeepB = true;
  static void Band(TOut& out, const TRect* a, const TRect* ae, const TRect* b, const TRect* be,
                   std::int32_t y0, std::int32_t y1) {
    // Walk the column edges of both bands in order; each toggles its operand.
    // Edges of one band are strictly increasing (columns neither touch nor
    // overlap), so the result changes at most once per x and its columns never
    // touch either.
    const std::size_t na = 2 * std::size_t(ae - a), nb = 2 * std::size_t(be - b);
    auto edge = [](const TRect* r, std::size_t e) {
      return e & 1 ? r[e >> 1].Right : r[e >> 1].Left;
    };
    std::size_t ea = 0, eb = 0;
    bool in = false;
    std::int32_t left = 0;
    while (ea < na || eb < nb) {
      std::int32_t x;
      if (eb >= nb || (ea < na && edge(a, ea) <= edge(b, eb)))
        x = edge(a, ea);
      else
        x = edge(b, eb);
      bool inA = ea & 1, inB = eb & 1;  // inside before this edge
      if (ea < na && edge(a, ea) == x) inA = !inA, ++ea;
      if (eb < nb && edge(b, eb) == x) inB = !inB, ++eb;
      const bool now = inA != inB;
      if (now == in) continue;
      if (now)
        left = x;
      else
        out.Put(left, y0, x, y1);
      in = now;
    }
  }
};

}  // namespace

TRegion::TRegion(const TRect& r) noexcept {
  if (r.IsEmpty()) return;
  Data()[0] = r;
  size_ = 1;
  bounds_ = r;
}

TRegion::TRegion(const TRegion& o) : size_(0), capacity_(kInlineRects) {
  Assign(o.Data(), o.size_);
}

TRegion::TRegion(TRegion&& o) noexcept : size_(o.size_), bounds_(o.bounds_) {
  if (o.heap_) {
    heap_ = o.heap_;
    capacity_ = o.capacity_;
    o.heap_ = nullptr;
    o.capacity_ = kInlineRects;
  } else if (size_) {
    std::memcpy(inline_, o.inline_, size_ * sizeof(TRect));
  }
  o.Clear();
}

TRegion& TRegion::operator=(const TRegion& o) {
  if (this != &o) Assign(o.Data(), o.size_);
  return *this;
}

TRegion& TRegion::operator=(TRegion&& o) noexcept {
  if (this == &o) return *this;
  if (o.heap_) {
    FreeHeap();
    heap_ = o.heap_;
    capacity_ = o.capacity_;
    o.heap_ = nullptr;
    o.capacity_ = kInlineRects;
  } else if (o.size_) {
    // Small contents are copied, so that a buffer this region holds is kept.
    std::memcpy(static_cast<void*>(Data()), o.inline_, o.size_ * sizeof(TRect));
  }
  size_ = o.size_;
  bounds_ = o.bounds_;
  o.Clear();
  return *this;
}

TRegion::~TRegion() {
  FreeHeap();
}

void TRegion::FreeHeap() {
  if (!heap_) return;
  Deallocate(heap_, capacity_);
  heap_ = nullptr;
  capacity_ = kInlineRects;
}

void TRegion::Reserve(std::uint32_t n) {
  if (n <= capacity_) return;
  const std::uint32_t cap = std::max(n, capacity_ * 2);
  TRect* p = Allocate(cap);
  if (size_) std::memcpy(static_cast<void*>(p), Data(), size_ * sizeof(TRect));
  FreeHeap();
  heap_ = p;
  capacity_ = cap;
}

void TRegion::Assign(const TRect* rects, std::uint32_t n) {
  size_ = 0;
  if (heap_ && n <= kInlineRects && capacity_ >= kShrinkHeapFrom) FreeHeap();
  Reserve(n);
  if (n) std::memcpy(static_cast<void*>(Data()), rects, n * sizeof(TRect));
  size_ = n;
  ComputeBounds();
}

void TRegion::ComputeBounds() {
  if (!size_) {
    bounds_ = {};
    return;
  }
  const TRect* r = Data();
  TRect b{r[0].Left, r[0].Top, r[0].Right, r[size_ - 1].Bottom};
  for (std::uint32_t i = 1; i < size_; ++i) {
    b.Left = std::min(b.Left, r[i].Left);
    b.Right = std::max(b.Right, r[i].Right);
  }
  bounds_ = b;
}

TRegion TRegion::FromRects(std::span<const TRect> rects) {
  TRegion result;
  for (const TRect& r : rects) result.Union(r);
  return result;
}

int TRegion::Complexity() const {
  if (!size_) return NULLREGION;
  return size_ == 1 ? SIMPLEREGION : COMPLEXREGION;
}

std::span<const TRect> TRegion::RectsInRows(int top, int bottom) const {
  if (top >= bottom) return {};
  const TRect* r = Data();
  const std::size_t first = FirstBandBelow(r, size_, top);
  const std::size_t last = first + FirstBandFrom(r + first, size_ - first, bottom);
  return {r + first, first < last ? last - first : 0};
}

bool TRegion::Contains(TPoint p) const {
  if (!bounds_.Contains(p)) return false;
  const TRect* r = Data();
  for (std::size_t i = FirstBandBelow(r, size_, p.Y); i < size_ && r[i].Top <= p.Y; ++i) {
    if (r[i].Left > p.X) return false;
    if (p.X < r[i].Right) return true;
  }
  return false;
}

bool TRegion::Intersects(const TRect& q) const {
  if (q.IsEmpty() || bounds_.Intersect(q).IsEmpty()) return false;
  const TRect* r = Data();
  for (std::size_t i = FirstBandBelow(r, size_, q.Top); i < size_ && r[i].Top < q.Bottom; ++i)
    if (r[i].Left < q.Right && q.Left < r[i].Right) return true;
  return false;
}

// One pass over the bands of both regions, top to bottom: rows covered by one
// region only are copied or dropped as Op says, rows covered by both combine
// band by band. Each result band is merged into the one above when it
// continues it with the same columns, which keeps the canonical form.
template <class Op>
void TRegion::Sweep(const TRegion& o) {
  const TRect* a = Data();
  const TRect* b = o.Data();
  const std::size_t na = size_, nb = o.size_;
  TOut out;
  std::size_t ia = 0, ib = 0;
  std::size_t ea = BandEnd(a, 0, na), eb = BandEnd(b, 0, nb);
  std::int32_t ybot = std::min(a[0].Top, b[0].Top);  // rows above ybot are done
  while (ia < na && ib < nb) {
    const std::int32_t aTop = a[ia].Top, aBot = a[ia].Bottom;
    const std::int32_t bTop = b[ib].Top, bBot = b[ib].Bottom;
    std::int32_t ytop;
    if (aTop < bTop) {
      if constexpr (Op::KeepA) {
        const std::int32_t top = std::max(aTop, ybot), bot = std::min(aBot, bTop);
        if (top < bot) out.CopyBand(a + ia, a + ea, top, bot);
      }
      ytop = bTop;
    } else if (bTop < aTop) {
      if constexpr (Op::KeepB) {
        const std::int32_t top = std::max(bTop, ybot), bot = std::min(bBot, aTop);
        if (top < bot) out.CopyBand(b + ib, b + eb, top, bot);
      }
      ytop = aTop;
    } else {
      ytop = aTop;
    }
    ybot = std::min(aBot, bBot);
    if (ybot > ytop) {
      out.Ensure((ea - ia) + (eb - ib));
      const std::size_t start = out.N;
      Op::Band(out, a + ia, a + ea, b + ib, b + eb, ytop, ybot);
      EndBand(out.P, out.N, out.Prev, start);
    }
    if (aBot == ybot && (ia = ea) < na) ea = BandEnd(a, ia, na);
    if (bBot == ybot && (ib = eb) < nb) eb = BandEnd(b, ib, nb);
  }
  if constexpr (Op::KeepA) {
    for (; ia < na; ia = ea) {
      ea = BandEnd(a, ia, na);
      out.CopyBand(a + ia, a + ea, std::max(ybot, a[ia].Top), a[ia].Bottom);
    }
  }
  if constexpr (Op::KeepB) {
    for (; ib < nb; ib = eb) {
      eb = BandEnd(b, ib, nb);
      out.CopyBand(b + ib, b + eb, std::max(ybot, b[ib].Top), b[ib].Bottom);
    }
  }
  Assign(out.P, std::uint32_t(out.N));
}

TRegion& TRegion::Union(const TRegion& o) {
  if (o.IsEmpty() || this == &o) return *this;
  if (IsEmpty()) return *this = o;
  const TRect ob = o.bounds_, tb = bounds_;
  if (size_ == 1 && tb.Intersect(ob) == ob) return *this;
  if (o.size_ == 1 && ob.Intersect(tb) == tb) return *this = o;
  Sweep<TOpOr>(o);
  return *this;
}

TRegion& TRegion::Intersect(const TRegion& o) {
  if (this == &o) return *this;
  if (IsEmpty() || o.IsEmpty() || bounds_.Intersect(o.bounds_).IsEmpty()) {
    Clear();
    return *this;
  }
  if (o.size_ == 1) return Intersect(o.bounds_);
  if (size_ == 1) {
    // The other region clipped to this one's rectangle, read straight from it.
    const TRect q = bounds_;
    const std::span<const TRect> rows = o.RectsInRows(q.Top, q.Bottom);
    if (rows.size() <= capacity_) {
      size_ = std::uint32_t(ClipBands(rows.data(), rows.size(), q, Data()));
      ComputeBounds();
      return *this;
    }
    // More rows than room: clip into the per-thread buffer, so that a small
    // result still stays inline.
    TOut out;
    out.Ensure(rows.size());
    Assign(out.P, std::uint32_t(ClipBands(rows.data(), rows.size(), q, out.P)));
    return *this;
  }
  Sweep<TOpAnd>(o);
  return *this;
}

TRegion& TRegion::Intersect(const TRect& rect) {
  const TRect q = rect;  // rect may be this region's own bounds
  if (IsEmpty()) return *this;
  if (q.IsEmpty() || bounds_.Intersect(q).IsEmpty()) {
    Clear();
    return *this;
  }
  if (bounds_.Intersect(q) == bounds_) return *this;
  const std::span<const TRect> rows = RectsInRows(q.Top, q.Bottom);
  size_ = std::uint32_t(ClipBands(rows.data(), rows.size(), q, Data()));
  ComputeBounds();
  return *this;
}

TRegion& TRegion::Subtract(const TRegion& o) {
  if (IsEmpty() || o.IsEmpty() || bounds_.Intersect(o.bounds_).IsEmpty()) return *this;
  if (this == &o || (o.size_ == 1 && o.bounds_.Intersect(bounds_) == bounds_)) {
    Clear();
    return *this;
  }
  Sweep<TOpDiff>(o);
  return *this;
}

TRegion& TRegion::Xor(const TRegion& o) {
  if (this == &o) {
    Clear();
    return *this;
  }
  if (o.IsEmpty()) return *this;
  if (IsEmpty()) return *this = o;
  Sweep<TOpXor>(o);
  return *this;
}

TRegion& TRegion::Offset(int dx, int dy) {
  if (IsEmpty() || (dx == 0 && dy == 0)) return *this;
  using Lim = std::numeric_limits<std::int32_t>;
  const auto fits = [](std::int64_t v) { return v >= Lim::min() && v <= Lim::max(); };
  if (fits(std::int64_t(bounds_.Left) + dx) && fits(std::int64_t(bounds_.Right) + dx) &&
      fits(std::int64_t(bounds_.Top) + dy) && fits(std::int64_t(bounds_.Bottom) + dy)) {
    TRect* r = Data();
    for (std::uint32_t i = 0; i < size_; ++i) r[i] = r[i].Offset(dx, dy);
    bounds_ = bounds_.Offset(dx, dy);
    return *this;
  }
  // Part of the region would leave the coordinate range: clamp, drop what
  // became empty and rebuild, since columns cut away may make bands equal.
  const auto clamp = [](std::int64_t v) {
    return std::int32_t(std::clamp<std::int64_t>(v, Lim::min(), Lim::max()));
  };
  std::vector<TRect> moved;
  moved.reserve(size_);
  for (const TRect& r : Rects())
    moved.push_back({clamp(std::int64_t(r.Left) + dx), clamp(std::int64_t(r.Top) + dy),
                     clamp(std::int64_t(r.Right) + dx), clamp(std::int64_t(r.Bottom) + dy)});
  return *this = FromRects(moved);
}

TRegion TRegion::Combine(const TRegion& a, const TRegion& b, int mode) {
  TRegion r = a;
  switch (mode) {
    case RGN_AND:
      return r.Intersect(b);
    case RGN_OR:
      return r.Union(b);
    case RGN_XOR:
      return r.Xor(b);
    case RGN_DIFF:
      return r.Subtract(b);
    case RGN_COPY:
      return r;
    default:
      throw std::invalid_argument("unknown region combination mode " + std::to_string(mode));
  }
}

bool operator==(const TRegion& a, const TRegion& b) {
  if (a.size_ != b.size_) return false;
  const TRect* p = a.Data();
  const TRect* q = b.Data();
  for (std::uint32_t i = 0; i < a.size_; ++i)
    if (!(p[i] == q[i])) return false;
  return true;
}

}  // namespace vm
