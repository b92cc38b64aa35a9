#include "platform/gfx/Region.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace vm {
namespace {

// One horizontal band: [Top, Bottom) with sorted, disjoint, non-touching
// column spans stored as pairs (left, right).
struct TBand {
  std::int32_t Top;
  std::int32_t Bottom;
  std::vector<std::int32_t> Spans;
};

// Splits a canonical rectangle list into its bands.
std::vector<TBand> ToBands(const std::vector<TRect>& rects) {
  std::vector<TBand> bands;
  for (const TRect& r : rects) {
    if (bands.empty() || bands.back().Top != r.Top) bands.push_back({r.Top, r.Bottom, {}});
    bands.back().Spans.push_back(r.Left);
    bands.back().Spans.push_back(r.Right);
  }
  return bands;
}

// The spans of a region in the row band [y0, y1), which lies inside one band
// of the region or outside all of them.
const std::vector<std::int32_t>* SpansAt(const std::vector<TBand>& bands, std::size_t& cursor,
                                         std::int32_t y0) {
  while (cursor < bands.size() && bands[cursor].Bottom <= y0) ++cursor;
  if (cursor < bands.size() && bands[cursor].Top <= y0) return &bands[cursor].Spans;
  return nullptr;
}

// Combines two span lists with a boolean operation on "inside a" / "inside b".
template <class Op>
void CombineSpans(const std::vector<std::int32_t>* a, const std::vector<std::int32_t>* b, Op op,
                  std::vector<std::int32_t>& out) {
  out.clear();
  static const std::vector<std::int32_t> none;
  const std::vector<std::int32_t>& sa = a ? *a : none;
  const std::vector<std::int32_t>& sb = b ? *b : none;
  std::size_t ia = 0, ib = 0;
  bool inA = false, inB = false, inOut = false;
  // Walk the edges of both lists in order; each edge toggles its list's state.
  while (ia < sa.size() || ib < sb.size()) {
    std::int32_t x;
    if (ib >= sb.size() || (ia < sa.size() && sa[ia] <= sb[ib]))
      x = sa[ia];
    else
      x = sb[ib];
    while (ia < sa.size() && sa[ia] == x) {
      inA = !inA;
      ++ia;
    }
    while (ib < sb.size() && sb[ib] == x) {
      inB = !inB;
      ++ib;
    }
    const bool now = op(inA, inB);
    if (now != inOut) {
      // A span that ends exactly where the previous one ended would touch it; merge.
      if (now && !out.empty() && out.back() == x)
        out.pop_back();
      else
        out.push_back(x);
      inOut = now;
    }
  }
}

template <class Op>
std::vector<TRect> CombineRects(const std::vector<TRect>& a, const std::vector<TRect>& b, Op op) {
  const std::vector<TBand> ba = ToBands(a), bb = ToBands(b);
  std::vector<std::int32_t> ys;
  ys.reserve(2 * (ba.size() + bb.size()));
  for (const TBand& band : ba) ys.insert(ys.end(), {band.Top, band.Bottom});
  for (const TBand& band : bb) ys.insert(ys.end(), {band.Top, band.Bottom});
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

  std::vector<TBand> out;
  std::vector<std::int32_t> spans;
  std::size_t ca = 0, cb = 0;
  for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
    const std::int32_t y0 = ys[i], y1 = ys[i + 1];
    CombineSpans(SpansAt(ba, ca, y0), SpansAt(bb, cb, y0), op, spans);
    if (spans.empty()) continue;
    if (!out.empty() && out.back().Bottom == y0 && out.back().Spans == spans)
      out.back().Bottom = y1;  // same columns as the band above: grow it
    else
      out.push_back({y0, y1, spans});
  }
  std::vector<TRect> rects;
  for (const TBand& band : out)
    for (std::size_t k = 0; k + 1 < band.Spans.size(); k += 2)
      rects.push_back({band.Spans[k], band.Top, band.Spans[k + 1], band.Bottom});
  return rects;
}

}  // namespace

TRegion::TRegion(const TRect& r) {
  if (!r.IsEmpty()) rects_.push_back(r);
}

TRegion TRegion::FromRects(std::span<const TRect> rects) {
  TRegion result;
  for (const TRect& r : rects) result.Union(r);
  return result;
}

int TRegion::Complexity() const {
  if (rects_.empty()) return NULLREGION;
  return rects_.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

TRect TRegion::Bounds() const {
  if (rects_.empty()) return {};
  TRect b{rects_.front().Left, rects_.front().Top, rects_.front().Right, rects_.back().Bottom};
  for (const TRect& r : rects_) {
    b.Left = std::min(b.Left, r.Left);
    b.Right = std::max(b.Right, r.Right);
  }
  return b;
}

bool TRegion::Contains(TPoint p) const {
  for (const TRect& r : rects_) {
    if (r.Top > p.Y) break;
    if (r.Contains(p)) return true;
  }
  return false;
}

bool TRegion::Intersects(const TRect& q) const {
  if (q.IsEmpty()) return false;
  for (const TRect& r : rects_) {
    if (r.Top >= q.Bottom) break;
    if (!r.Intersect(q).IsEmpty()) return true;
  }
  return false;
}

TRegion& TRegion::Union(const TRegion& o) {
  if (o.rects_.empty()) return *this;
  if (rects_.empty()) {
    rects_ = o.rects_;
    return *this;
  }
  rects_ = CombineRects(rects_, o.rects_, [](bool a, bool b) { return a || b; });
  return *this;
}

TRegion& TRegion::Intersect(const TRegion& o) {
  rects_ = CombineRects(rects_, o.rects_, [](bool a, bool b) { return a && b; });
  return *this;
}

TRegion& TRegion::Intersect(const TRect& q) {
  // Cutting by one rectangle keeps the banded form except that bands may
  // become equal neighbours; the general path re-merges them.
  if (q.IsEmpty()) {
    rects_.clear();
    return *this;
  }
  const TRect b = Bounds();
  if (b.Left >= q.Left && b.Top >= q.Top && b.Right <= q.Right && b.Bottom <= q.Bottom)
    return *this;
  return Intersect(TRegion(q));
}

TRegion& TRegion::Subtract(const TRegion& o) {
  if (o.rects_.empty() || rects_.empty()) return *this;
  rects_ = CombineRects(rects_, o.rects_, [](bool a, bool b) { return a && !b; });
  return *this;
}

TRegion& TRegion::Xor(const TRegion& o) {
  rects_ = CombineRects(rects_, o.rects_, [](bool a, bool b) { return a != b; });
  return *this;
}

TRegion& TRegion::Offset(int dx, int dy) {
  for (TRect& r : rects_) r = r.Offset(dx, dy);
  return *this;
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

}  // namespace vm
