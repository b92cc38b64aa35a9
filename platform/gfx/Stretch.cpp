#include "platform/gfx/Stretch.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace vm {
namespace {

// The part of the clip that lies on the bitmap and inside r, in bitmap coordinates.
TRegion ClipOnBitmap(const TBitmap& dst, const TRegion& clip, const TRect& r) {
  TRegion area(r.Intersect(TRect{0, 0, dst.Width(), dst.Height()}));
  if (area.IsEmpty()) return area;
  return area.Intersect(clip);
}

// Copies count pixels between rows of possibly different formats. With four
// channels on both sides alpha travels along; otherwise only B, G, R.
void CopyPixels(std::uint8_t* d, int dbpp, const std::uint8_t* s, int sbpp, int count) {
  if (dbpp == sbpp) {
    std::memmove(d, s, std::size_t(count) * dbpp);
    return;
  }
  for (int i = 0; i < count; ++i, d += dbpp, s += sbpp) {
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
  }
}

// Weights of the source pixels that make up one destination pixel along one
// axis: source indexes First .. First + Count - 1 (absolute, in the source
// bitmap) with weights summing to WeightOne.
constexpr int WeightBits = 12;
constexpr int WeightOne = 1 << WeightBits;

struct TTap {
  int First = 0;
  int Count = 0;  // 0: no source pixel lies inside the source bitmap
  int Offset = 0;
};

struct TWeights {
  std::vector<TTap> Taps;  // one per destination index, from the first visible one
  std::vector<std::int32_t> W;
};

// Turns raw non-negative coverages into integer weights summing exactly to
// WeightOne, so that a flat colour stays exactly that colour.
void Normalise(std::int32_t* w, const std::int64_t* raw, int n) {
  std::int64_t total = 0;
  for (int i = 0; i < n; ++i) total += raw[i];
  int sum = 0, biggest = 0;
  for (int i = 0; i < n; ++i) {
    w[i] = std::int32_t(raw[i] * WeightOne / total);
    sum += w[i];
    if (raw[i] > raw[biggest]) biggest = i;
  }
  w[biggest] += WeightOne - sum;
}

// Builds the taps of destination indexes [from, to) of a destination extent dn
// mapped onto source indexes [s0, s0 + sn), mirrored when flip is set. Source
// indexes outside [0, srcLimit) carry no weight.
TWeights BuildWeights(int from, int to, int dn, int s0, int sn, bool flip, int srcLimit) {
  TWeights tw;
  tw.Taps.resize(std::size_t(std::max(0, to - from)));
  // Scratch lists reused for every destination index: a side strip of a
  // window frame stretches over hundreds of pixels, one allocation each added up.
  std::vector<std::int64_t> raw, keep;
  std::vector<int> idx;
  raw.reserve(8);
  keep.reserve(8);
  idx.reserve(8);
  tw.W.reserve(tw.Taps.size() * 2);
  for (int i = from; i < to; ++i) {
    raw.clear();
    idx.clear();
    // Destination index as seen from the source side (mirroring reverses it).
    const int di = flip ? dn - 1 - i : i;
    if (sn >= dn) {
      // Shrinking: coverage of [di * sn, (di + 1) * sn) by [j * dn, (j + 1) * dn).
      const std::int64_t lo = std::int64_t(di) * sn, hi = lo + sn;
      for (std::int64_t j = lo / dn; j * dn < hi; ++j) {
        const std::int64_t a = std::max(lo, j * dn), b = std::min(hi, (j + 1) * dn);
        if (b > a) {
          idx.push_back(int(j));
          raw.push_back(b - a);
        }
      }
    } else {
      // Enlarging: linear interpolation between the two nearest source centres.
      // Centre of di in source units, times 2 * dn: (2 di + 1) sn - dn.
      const std::int64_t c = (2 * std::int64_t(di) + 1) * sn - dn, den = 2 * std::int64_t(dn);
      std::int64_t j0 = c >= 0 ? c / den : -((-c + den - 1) / den);
      std::int64_t frac = c - j0 * den;  // 0 .. den - 1
      if (j0 < 0) {
        j0 = 0;
        frac = 0;
      }
      if (j0 >= sn - 1) {
        j0 = sn - 1;
        frac = 0;
      }
      idx.push_back(int(j0));
      raw.push_back(den - frac);
      if (frac > 0) {
        idx.push_back(int(j0 + 1));
        raw.push_back(frac);
      }
    }
    // Keep the taps that fall on the source bitmap; they are consecutive.
    keep.clear();
    int first = -1;
    for (std::size_t k = 0; k < idx.size(); ++k) {
      const int abs = s0 + idx[k];
      if (abs < 0 || abs >= srcLimit || raw[k] == 0) continue;
      if (first < 0) first = abs;
      keep.push_back(raw[k]);
    }
    TTap& tap = tw.Taps[std::size_t(i - from)];
    if (keep.empty()) continue;
    tap.First = first;
    tap.Count = int(keep.size());
    tap.Offset = int(tw.W.size());
    tw.W.resize(tw.W.size() + keep.size());
    Normalise(tw.W.data() + tap.Offset, keep.data(), tap.Count);
  }
  return tw;
}

struct TAxis {
  int D0, DN;  // destination start and extent (normalised to positive)
  int S0, SN;  // source start and extent (normalised to positive)
  bool Flip;   // mirrored along this axis
};

TAxis NormaliseAxis(int d, int dn, int s, int sn) {
  TAxis a{d, dn, s, sn, false};
  if (a.DN < 0) {
    a.D0 += a.DN;
    a.DN = -a.DN;
    a.Flip = !a.Flip;
  }
  if (a.SN < 0) {
    a.S0 += a.SN;
    a.SN = -a.SN;
    a.Flip = !a.Flip;
  }
  return a;
}

void StretchNearest(TBitmap& dst, const TBitmap& src, const TAxis& ax, const TAxis& ay,
                    const TRegion& area) {
  const TRect vb = area.Bounds();
  const int dbpp = dst.BytesPerPixel(), sbpp = src.BytesPerPixel();
  const int channels = (dbpp == 4 && sbpp == 4) ? 4 : 3;
  // Source column of every visible destination column (-1: off the source).
  std::vector<int> cols(static_cast<std::size_t>(vb.Width()));
  for (int x = vb.Left; x < vb.Right; ++x) {
    int i = x - ax.D0;
    if (ax.Flip) i = ax.DN - 1 - i;
    const int j = ax.S0 + int((2 * std::int64_t(i) + 1) * ax.SN / (2 * std::int64_t(ax.DN)));
    cols[std::size_t(x - vb.Left)] = (j >= 0 && j < src.Width()) ? j * sbpp : -1;
  }
  for (const TRect& r : area.Rects()) {
    for (int y = r.Top; y < r.Bottom; ++y) {
      int i = y - ay.D0;
      if (ay.Flip) i = ay.DN - 1 - i;
      const int j = ay.S0 + int((2 * std::int64_t(i) + 1) * ay.SN / (2 * std::int64_t(ay.DN)));
      if (j < 0 || j >= src.Height()) continue;
      const std::uint8_t* srow = src.ScanLine(j);
      std::uint8_t* d = dst.ScanLine(y) + std::size_t(r.Left) * dbpp;
      const int* col = cols.data() + (r.Left - vb.Left);
      for (int x = r.Left; x < r.Right; ++x, d += dbpp, ++col) {
        if (*col < 0) continue;
        const std::uint8_t* s = srow + *col;
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
        if (channels == 4) d[3] = s[3];
      }
    }
  }
}

void StretchSmooth(TBitmap& dst, const TBitmap& src, const TAxis& ax, const TAxis& ay,
                   const TRegion& area) {
  const TRect vb = area.Bounds();
  const int dbpp = dst.BytesPerPixel(), sbpp = src.BytesPerPixel();
  const int channels = (dbpp == 4 && sbpp == 4) ? 4 : 3;
  const TWeights wx =
      BuildWeights(vb.Left - ax.D0, vb.Right - ax.D0, ax.DN, ax.S0, ax.SN, ax.Flip, src.Width());
  const TWeights wy =
      BuildWeights(vb.Top - ay.D0, vb.Bottom - ay.D0, ay.DN, ay.S0, ay.SN, ay.Flip, src.Height());
  // Source columns the visible part needs.
  int c0 = src.Width(), c1 = 0;
  for (const TTap& t : wx.Taps)
    if (t.Count) {
      c0 = std::min(c0, t.First);
      c1 = std::max(c1, t.First + t.Count);
    }
  if (c0 >= c1) return;
  const int span = (c1 - c0) * channels;
  std::vector<std::uint32_t> acc(static_cast<std::size_t>(span));
  std::vector<std::uint16_t> row(static_cast<std::size_t>(span));

  for (int y = vb.Top; y < vb.Bottom; ++y) {
    const TTap& ty = wy.Taps[std::size_t(y - vb.Top)];
    if (!ty.Count) continue;
    // Vertical pass: weighted sum of the source rows over the needed columns.
    std::fill(acc.begin(), acc.end(), 0u);
    for (int k = 0; k < ty.Count; ++k) {
      const std::uint32_t w = std::uint32_t(wy.W[std::size_t(ty.Offset + k)]);
      const std::uint8_t* s = src.ScanLine(ty.First + k) + std::size_t(c0) * sbpp;
      std::uint32_t* a = acc.data();
      if (channels == sbpp) {
        for (int n = 0; n < span; ++n) a[n] += w * s[n];
      } else {
        for (int x = c0; x < c1; ++x, s += sbpp, a += 3) {
          a[0] += w * s[0];
          a[1] += w * s[1];
          a[2] += w * s[2];
        }
      }
    }
    // Down to 8.8 fixed point so the horizontal pass fits in 32 bits.
    for (int n = 0; n < span; ++n)
      row[std::size_t(n)] = std::uint16_t((acc[std::size_t(n)] + 8) >> 4);

    // Horizontal pass, only over the visible pieces of this row.
    for (const TRect& r : area.Rects()) {
      if (y < r.Top || y >= r.Bottom) continue;
      std::uint8_t* d = dst.ScanLine(y) + std::size_t(r.Left) * dbpp;
      for (int x = r.Left; x < r.Right; ++x, d += dbpp) {
        const TTap& tx = wx.Taps[std::size_t(x - vb.Left)];
        if (!tx.Count) continue;
        std::uint32_t sum[4] = {1u << 19, 1u << 19, 1u << 19, 1u << 19};
        const std::uint16_t* s = row.data() + std::size_t(tx.First - c0) * channels;
        const std::int32_t* w = wx.W.data() + tx.Offset;
        for (int k = 0; k < tx.Count; ++k, s += channels)
          for (int ch = 0; ch < channels; ++ch) sum[ch] += std::uint32_t(w[k]) * s[ch];
        for (int ch = 0; ch < channels; ++ch) d[ch] = std::uint8_t(std::min(sum[ch] >> 20, 255u));
      }
    }
  }
}

// Coordinates this far out cannot touch any bitmap; refusing them keeps every
// sum below free of integer overflow.
constexpr int Reach = 1 << 29;
bool Reasonable(std::initializer_list<int> values) {
  for (int v : values)
    if (v < -Reach || v > Reach) return false;
  return true;
}

}  // namespace

void CopyBitmapRect(TBitmap& dst, int dx, int dy, int w, int h, const TBitmap& src, int sx, int sy,
                    const TRegion& clip) {
  if (w <= 0 || h <= 0 || src.Empty() || dst.Empty()) return;
  if (!Reasonable({dx, dy, w, h, sx, sy})) return;
  // Cut the source rectangle to the source bitmap, moving the destination along.
  if (sx < 0) {
    dx -= sx;
    w += sx;
    sx = 0;
  }
  if (sy < 0) {
    dy -= sy;
    h += sy;
    sy = 0;
  }
  w = std::min(w, src.Width() - sx);
  h = std::min(h, src.Height() - sy);
  if (w <= 0 || h <= 0) return;
  // The clip's rectangles are cut to the target one by one: no region is
  // built for a copy.
  const TRect target =
      TRect{dx, dy, dx + w, dy + h}.Intersect(TRect{0, 0, dst.Width(), dst.Height()});
  if (target.IsEmpty() || !clip.Intersects(target)) return;

  const TBitmap* from = &src;
  TBitmap copy;
  if (&src == &dst) {
    // Overlapping copies inside one bitmap read from a snapshot of the source part.
    copy = TBitmap(w, h, src.PixelFormat());
    CopyBitmapRect(copy, 0, 0, w, h, src, sx, sy, TRegion(TRect{0, 0, w, h}));
    from = &copy;
    sx = sy = 0;
  }
  const int dbpp = dst.BytesPerPixel(), sbpp = from->BytesPerPixel();
  for (const TRect& c : clip.Rects()) {
    if (c.Top >= target.Bottom) break;  // bands are sorted by top
    const TRect r = c.Intersect(target);
    if (r.IsEmpty()) continue;
    for (int y = r.Top; y < r.Bottom; ++y)
      CopyPixels(dst.ScanLine(y) + std::size_t(r.Left) * dbpp, dbpp,
                 from->ScanLine(y - dy + sy) + std::size_t(r.Left - dx + sx) * sbpp, sbpp,
                 r.Width());
  }
}

void StretchBitmapRect(TBitmap& dst, int dx, int dy, int dw, int dh, const TBitmap& src, int sx,
                       int sy, int sw, int sh, TStretchMode mode, const TRegion& clip) {
  if (dw == 0 || dh == 0 || sw == 0 || sh == 0 || src.Empty() || dst.Empty()) return;
  if (!Reasonable({dx, dy, dw, dh, sx, sy, sw, sh})) return;
  const TAxis ax = NormaliseAxis(dx, dw, sx, sw), ay = NormaliseAxis(dy, dh, sy, sh);
  const TRegion area = ClipOnBitmap(dst, clip, TRect{ax.D0, ay.D0, ax.D0 + ax.DN, ay.D0 + ay.DN});
  if (area.IsEmpty()) return;
  if (&src == &dst) {
    // Read from a copy so that written pixels are never read again.
    const TBitmap snapshot = src;
    StretchBitmapRect(dst, dx, dy, dw, dh, snapshot, sx, sy, sw, sh, mode, clip);
    return;
  }
  if (mode == TStretchMode::Nearest)
    StretchNearest(dst, src, ax, ay, area);
  else
    StretchSmooth(dst, src, ax, ay, area);
}

}  // namespace vm
