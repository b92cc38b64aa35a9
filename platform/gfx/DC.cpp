#include "platform/gfx/DC.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/gfx/RowFill.h"
#include "platform/gfx/SysColors.h"

namespace vm {
namespace {

// Stands for "no clip region" where a region is needed to combine with.
constexpr int Far = 1 << 29;
const TRect Everything{-Far, -Far, Far, Far};

std::uint8_t ApplyRop(std::uint32_t rop, std::uint8_t d, std::uint8_t s, std::uint8_t p) {
  switch (rop) {
    case SRCPAINT:
      return std::uint8_t(d | s);
    case SRCAND:
      return std::uint8_t(d & s);
    case SRCINVERT:
      return std::uint8_t(d ^ s);
    case NOTSRCCOPY:
      return std::uint8_t(~s);
    case DSTINVERT:
      return std::uint8_t(~d);
    case PATCOPY:
      return p;
    case BLACKNESS:
      return 0;
    case WHITENESS:
      return 0xFF;
    default:
      return s;  // SRCCOPY
  }
}

bool KnownRop(std::uint32_t rop) {
  switch (rop) {
    case SRCCOPY:
    case SRCPAINT:
    case SRCAND:
    case SRCINVERT:
    case NOTSRCCOPY:
    case DSTINVERT:
    case PATCOPY:
    case BLACKNESS:
    case WHITENESS:
      return true;
    default:
      return false;
  }
}

// Coordinates are kept within ±2^29 when converted, so that sums and
// differences of two (and twice one) stay inside 32 bits; nothing that far out
// is ever on a bitmap.
std::int32_t Saturate(std::int64_t v) {
  return std::int32_t(std::clamp<std::int64_t>(v, -(std::int64_t(1) << 29), std::int64_t(1) << 29));
}

// Lines longer than this are first cut to the clip bounds so that drawing
// never walks billions of invisible pixels. Shorter lines keep their exact
// pixels wherever their ends are.
constexpr int LongLine = 1 << 14;

// Cuts segment p-e to the rectangle grown by two pixels (Liang-Barsky);
// false when nothing of it is inside. The cut ends are rounded to pixels.
bool ClipLongLine(TPoint& p, TPoint& e, const TRect& r) {
  const double x0 = p.X, y0 = p.Y, dx = double(e.X) - p.X, dy = double(e.Y) - p.Y;
  double t0 = 0, t1 = 1;
  const double lo[2] = {r.Left - 2.0, r.Top - 2.0}, hi[2] = {r.Right + 2.0, r.Bottom + 2.0};
  const double start[2] = {x0, y0}, dir[2] = {dx, dy};
  for (int k = 0; k < 2; ++k) {
    if (dir[k] == 0) {
      if (start[k] < lo[k] || start[k] > hi[k]) return false;
      continue;
    }
    double ta = (lo[k] - start[k]) / dir[k], tb = (hi[k] - start[k]) / dir[k];
    if (ta > tb) std::swap(ta, tb);
    t0 = std::max(t0, ta);
    t1 = std::min(t1, tb);
    if (t0 > t1) return false;
  }
  const TPoint np{int(std::lround(x0 + t0 * dx)), int(std::lround(y0 + t0 * dy))};
  // An end that was cut moves one pixel on, so the last visible pixel is drawn.
  TPoint ne{int(std::lround(x0 + t1 * dx)), int(std::lround(y0 + t1 * dy))};
  if (t1 < 1) {
    ne.X += dx > 0 ? 1 : dx < 0 ? -1 : 0;
    ne.Y += dy > 0 ? 1 : dy < 0 ? -1 : 0;
  }
  p = np;
  e = ne;
  return true;
}

bool UsesSource(std::uint32_t rop) {
  return rop != DSTINVERT && rop != PATCOPY && rop != BLACKNESS && rop != WHITENESS;
}

}  // namespace

TDC::TDC(TBitmap& target)
    : target_(&target),
      visible_(TRect{0, 0, target.Width(), target.Height()}),
      wholeBitmap_(true) {}

TDC::TDC(TBitmap& target, TPoint deviceOrigin, const TRegion& visible)
    : target_(&target), deviceOrigin_(deviceOrigin), visible_(visible) {}

void TDC::ResetOnBitmap(TBitmap& target, TPoint deviceOrigin, const TRegion& bitmapVisible) {
  target_ = &target;
  deviceOrigin_ = deviceOrigin;
  visible_ = bitmapVisible;
  visible_.Offset(-deviceOrigin.X, -deviceOrigin.Y);
  wholeBitmap_ = false;
  state_ = TState();
  saved_.clear();  // keeps its room for the next saves
  painted_ = {};
  nextClipId_ = 1;
  InvalidateClip();
}

void TDC::ClipChanged() {
  state_.ClipId = nextClipId_++;
}

void TDC::SetDeviceOrigin(TPoint p) {
  deviceOrigin_ = p;
  InvalidateClip();
}

void TDC::SetVisibleRegion(const TRegion& deviceRgn) {
  visible_ = deviceRgn;
  wholeBitmap_ = false;
  InvalidateClip();
}

TPoint TDC::SetViewportOrg(TPoint p) {
  const TPoint old = state_.ViewportOrg;
  state_.ViewportOrg = p;
  return old;
}

TPoint TDC::OffsetViewportOrg(int dx, int dy) {
  return SetViewportOrg({state_.ViewportOrg.X + dx, state_.ViewportOrg.Y + dy});
}

TPoint TDC::SetWindowOrg(TPoint p) {
  const TPoint old = state_.WindowOrg;
  state_.WindowOrg = p;
  return old;
}

TPoint TDC::OffsetWindowOrg(int dx, int dy) {
  return SetWindowOrg({state_.WindowOrg.X + dx, state_.WindowOrg.Y + dy});
}

TPoint TDC::LPtoDP(TPoint p) const {
  return {Saturate(std::int64_t(p.X) - state_.WindowOrg.X + state_.ViewportOrg.X),
          Saturate(std::int64_t(p.Y) - state_.WindowOrg.Y + state_.ViewportOrg.Y)};
}

TPoint TDC::DPtoLP(TPoint p) const {
  return {Saturate(std::int64_t(p.X) + state_.WindowOrg.X - state_.ViewportOrg.X),
          Saturate(std::int64_t(p.Y) + state_.WindowOrg.Y - state_.ViewportOrg.Y)};
}

TPoint TDC::LogicalToBitmap(TPoint p) const {
  const TPoint d = LPtoDP(p);
  return {Saturate(std::int64_t(d.X) + deviceOrigin_.X),
          Saturate(std::int64_t(d.Y) + deviceOrigin_.Y)};
}

TRect TDC::LogicalToBitmap(const TRect& r) const {
  const TPoint a = LogicalToBitmap(TPoint{r.Left, r.Top});
  const TPoint b = LogicalToBitmap(TPoint{r.Right, r.Bottom});
  return {a.X, a.Y, b.X, b.Y};
}

TPoint TDC::BitmapToLogical(TPoint p) const {
  return DPtoLP({Saturate(std::int64_t(p.X) - deviceOrigin_.X),
                 Saturate(std::int64_t(p.Y) - deviceOrigin_.Y)});
}

const TRegion& TDC::EffectiveClip() const {
  const TSize size{target_->Width(), target_->Height()};
  if (size != clipForSize_) {
    clipValid_ = spareValid_ = false;
    clipForSize_ = size;
  }
  if (clipValid_ && effectiveId_ == state_.ClipId) return effective_;
  if (spareValid_ && spareId_ == state_.ClipId) {
    // Back to the clip of an outer saved state, still computed.
    std::swap(effective_, spare_);
    std::swap(effectiveId_, spareId_);
    spareValid_ = clipValid_;
    clipValid_ = true;
    clipBounds_ = effective_.Bounds();
    return effective_;
  }
  if (clipValid_) {
    std::swap(effective_, spare_);
    spareId_ = effectiveId_;
    spareValid_ = true;
  }
  if (wholeBitmap_) visible_ = TRegion(TRect{0, 0, size.cx, size.cy});
  const TRect onBitmap{-deviceOrigin_.X, -deviceOrigin_.Y, size.cx - deviceOrigin_.X,
                       size.cy - deviceOrigin_.Y};
  // Rectangles are cut directly; only two complex regions are combined.
  if (!state_.Clip) {
    effective_ = visible_;
  } else if (state_.Clip->Complexity() != COMPLEXREGION) {
    effective_ = visible_;
    effective_.Intersect(state_.Clip->Bounds());
  } else if (visible_.Complexity() != COMPLEXREGION) {
    effective_ = *state_.Clip;
    effective_.Intersect(visible_.Bounds());
  } else {
    effective_ = visible_;
    effective_.Intersect(*state_.Clip);
  }
  const TRect b = effective_.Bounds();
  if (b.Intersect(onBitmap) != b) effective_.Intersect(onBitmap);
  effective_.Offset(deviceOrigin_.X, deviceOrigin_.Y);
  clipBounds_ = effective_.Bounds();
  effectiveId_ = state_.ClipId;
  clipValid_ = true;
  return effective_;
}

void TDC::NotePainted(const TRect& bitmapArea) const {
  EffectiveClip();
  const TRect r = bitmapArea.Intersect(clipBounds_);
  painted_ = painted_.Union(r);
}

int TDC::IntersectClipRect(const TRect& r) {
  const TPoint a = LPtoDP({r.Left, r.Top}), b = LPtoDP({r.Right, r.Bottom});
  const TRect d{a.X, a.Y, b.X, b.Y};
  if (state_.Clip)
    state_.Clip->Intersect(d);
  else
    state_.Clip = TRegion(d);
  ClipChanged();
  return ClipComplexity();
}

int TDC::ExcludeClipRect(const TRect& r) {
  const TPoint a = LPtoDP({r.Left, r.Top}), b = LPtoDP({r.Right, r.Bottom});
  const TRect d{a.X, a.Y, b.X, b.Y};
  if (!state_.Clip) state_.Clip = TRegion(Everything);
  state_.Clip->Subtract(d);
  ClipChanged();
  return ClipComplexity();
}

int TDC::SelectClipRgn(const TRegion* deviceRgn, int mode) {
  if (mode < RGN_AND || mode > RGN_COPY) return RGN_ERROR;
  if (!deviceRgn) {
    if (mode != RGN_COPY) return RGN_ERROR;
    state_.Clip.reset();
  } else if (mode == RGN_COPY) {
    state_.Clip = *deviceRgn;
  } else {
    const TRegion current = state_.Clip ? *state_.Clip : TRegion(Everything);
    state_.Clip = TRegion::Combine(current, *deviceRgn, mode);
  }
  ClipChanged();
  return ClipComplexity();
}

int TDC::OffsetClipRgn(int dx, int dy) {
  if (state_.Clip) {
    state_.Clip->Offset(dx, dy);
    ClipChanged();
  }
  return ClipComplexity();
}

TRect TDC::ClipBox() const {
  const TRect b = EffectiveClip().Bounds();
  if (b.IsEmpty()) return {};
  const TPoint a = BitmapToLogical({b.Left, b.Top});
  return {a.X, a.Y, a.X + b.Width(), a.Y + b.Height()};
}

bool TDC::RectVisible(const TRect& r) const {
  return EffectiveClip().Intersects(LogicalToBitmap(r));
}

bool TDC::PtVisible(TPoint p) const {
  return EffectiveClip().Contains(LogicalToBitmap(p));
}

int TDC::SaveDC() {
  saved_.push_back(state_);
  return int(saved_.size());
}

bool TDC::RestoreDC(int level) {
  const int depth = int(saved_.size());
  const int target = level < 0 ? depth + level + 1 : level;
  if (level == 0 || target < 1 || target > depth) return false;
  state_ = std::move(saved_[std::size_t(target - 1)]);
  saved_.resize(std::size_t(target - 1));
  return true;
}

TColor TDC::SetTextColor(TColor c) {
  return std::exchange(state_.TextColor, c);
}
TColor TDC::SetBkColor(TColor c) {
  return std::exchange(state_.BkColor, c);
}
int TDC::SetBkMode(int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return std::exchange(state_.BkMode, mode);
}
TColor TDC::SetPenColor(TColor c) {
  return std::exchange(state_.PenColor, c);
}
TColor TDC::SetBrushColor(TColor c) {
  return std::exchange(state_.BrushColor, c);
}
int TDC::SetStretchBltMode(int mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return std::exchange(state_.StretchMode, mode);
}

std::shared_ptr<const TFont> TDC::SelectFont(std::shared_ptr<const TFont> font) {
  return std::exchange(state_.Font, std::move(font));
}

const TFont& TDC::CurrentFont() const {
  // The default font is shared and lives for the whole run.
  return state_.Font ? *state_.Font : *TFont::Default();
}

template <class F>
void TDC::ForEachSpan(const TRect& bitmapArea, F&& f) const {
  if (bitmapArea.IsEmpty()) return;
  NotePainted(bitmapArea);
  for (const TRect& clip : EffectiveClip().Rects()) {
    if (clip.Top >= bitmapArea.Bottom) break;  // bands are sorted by top
    const TRect q = clip.Intersect(bitmapArea);
    if (!q.IsEmpty()) f(q);
  }
}

void TDC::FillRect(const TRect& r, TColor c) {
  if (r.IsEmpty()) return;
  const TColor rgb = ColorToRGB(c);
  const std::uint8_t b = std::uint8_t(GetBValue(rgb)), g = std::uint8_t(GetGValue(rgb)),
                     rr = std::uint8_t(GetRValue(rgb));
  const int bpp = target_->BytesPerPixel();
  const std::ptrdiff_t step = target_->RowStep();
  // Each clipped rectangle goes to the row kernel whole: stores only, no row
  // read back (32-bit rows keep their alpha bytes).
  ForEachSpan(LogicalToBitmap(r), [&](const TRect& q) {
    std::uint8_t* first = target_->ScanLine(q.Top) + std::size_t(q.Left) * std::size_t(bpp);
    if (bpp == 3)
      FillRows24(first, step, q.Height(), std::size_t(q.Width()), b, g, rr);
    else
      FillRows32(first, step, q.Height(), std::size_t(q.Width()), b, g, rr);
  });
}

void TDC::FillRgn(const TRegion& logicalRgn, TColor c) {
  for (const TRect& r : logicalRgn.Rects()) FillRect(r, c);
}

void TDC::FrameRect(const TRect& r, TColor c) {
  if (r.IsEmpty()) return;
  FillRect({r.Left, r.Top, r.Right, r.Top + 1}, c);
  FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom}, c);
  FillRect({r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1}, c);
  FillRect({r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1}, c);
}

namespace {

void PutRGB(std::uint8_t* p, TColor rgb) {
  p[0] = std::uint8_t(GetBValue(rgb));
  p[1] = std::uint8_t(GetGValue(rgb));
  p[2] = std::uint8_t(GetRValue(rgb));
}

// The pattern row for bitmap row y, rotated so that its top bit is the bit of
// bitmap column x; phase is the bitmap point of the pattern's (0, 0).
std::uint8_t PatternBits(const TPattern8& pattern, TPoint phase, int x, int y) {
  const std::uint8_t row = pattern[(y - phase.Y) & 7];
  const int shift = (x - phase.X) & 7;
  return std::uint8_t((row << shift) | (row >> ((8 - shift) & 7)));
}

}  // namespace

void TDC::FillPattern(const TRect& r, const TPattern8& pattern, TPoint origin, TColor fg,
                      TColor bg) {
  if (r.IsEmpty() || fg == CLR_NONE) return;
  const TColor f = ColorToRGB(fg);
  const bool opaque = bg != CLR_NONE;
  const TColor b = opaque ? ColorToRGB(bg) : 0;
  const TPoint phase = LogicalToBitmap(origin);
  const int bpp = target_->BytesPerPixel();
  ForEachSpan(LogicalToBitmap(r), [&](const TRect& q) {
    for (int y = q.Top; y < q.Bottom; ++y) {
      std::uint8_t* p = target_->ScanLine(y) + std::size_t(q.Left) * bpp;
      // An opaque pattern repeats every eight rows: later rows are copies.
      if (opaque && bpp == 3 && y >= q.Top + 8) {
        std::memcpy(p, target_->ScanLine(y - 8) + std::size_t(q.Left) * bpp,
                    std::size_t(q.Width()) * 3);
        continue;
      }
      std::uint8_t bits = PatternBits(pattern, phase, q.Left, y);
      for (int x = q.Left; x < q.Right; ++x, p += bpp) {
        if (bits & 0x80)
          PutRGB(p, f);
        else if (opaque)
          PutRGB(p, b);
        bits = std::uint8_t((bits << 1) | (bits >> 7));
      }
    }
  });
}

void TDC::InvertPattern(const TRect& r, const TPattern8& pattern, TPoint origin) {
  if (r.IsEmpty()) return;
  const TPoint phase = LogicalToBitmap(origin);
  const int bpp = target_->BytesPerPixel();
  ForEachSpan(LogicalToBitmap(r), [&](const TRect& q) {
    for (int y = q.Top; y < q.Bottom; ++y) {
      std::uint8_t* p = target_->ScanLine(y) + std::size_t(q.Left) * bpp;
      std::uint8_t bits = PatternBits(pattern, phase, q.Left, y);
      for (int x = q.Left; x < q.Right; ++x, p += bpp) {
        if (bits & 0x80) {
          p[0] = std::uint8_t(~p[0]);
          p[1] = std::uint8_t(~p[1]);
          p[2] = std::uint8_t(~p[2]);
        }
        bits = std::uint8_t((bits << 1) | (bits >> 7));
      }
    }
  });
}

void TDC::FillMasked(int x, int y, int w, int h, const std::uint8_t* mask, std::ptrdiff_t stride,
                     TColor c) {
  if (!mask || w <= 0 || h <= 0) return;
  const TColor rgb = ColorToRGB(c);
  const TPoint d = LogicalToBitmap(TPoint{x, y});
  const int bpp = target_->BytesPerPixel();
  ForEachSpan(TRect{d.X, d.Y, d.X + w, d.Y + h}, [&](const TRect& q) {
    for (int yy = q.Top; yy < q.Bottom; ++yy) {
      const std::uint8_t* m = mask + (yy - d.Y) * stride + (q.Left - d.X);
      std::uint8_t* p = target_->ScanLine(yy) + std::size_t(q.Left) * bpp;
      for (int xx = q.Left; xx < q.Right; ++xx, p += bpp, ++m)
        if (*m) PutRGB(p, rgb);
    }
  });
}

void TDC::FillColumns(const TRect& r, std::span<const TColor> colours) {
  if (r.IsEmpty() || colours.size() < std::size_t(r.Width())) return;
  const TRect area = LogicalToBitmap(r);
  const int bpp = target_->BytesPerPixel();
  ForEachSpan(area, [&](const TRect& q) {
    const std::size_t rowBytes = std::size_t(q.Width()) * std::size_t(bpp);
    const std::uint8_t* first = nullptr;
    for (int y = q.Top; y < q.Bottom; ++y) {
      std::uint8_t* p = target_->ScanLine(y) + std::size_t(q.Left) * bpp;
      // 32-bit rows keep their own alpha bytes, so each is composed anew.
      if (first && bpp == 3) {
        std::memcpy(p, first, rowBytes);
        continue;
      }
      first = p;
      for (int x = q.Left; x < q.Right; ++x, p += bpp)
        PutRGB(p, ColorToRGB(colours[std::size_t(x - area.Left)]));
    }
  });
}

void TDC::TransparentBlt(int x, int y, int w, int h, const TBitmap& src, int sx, int sy,
                         TColor key) {
  if (w <= 0 || h <= 0 || src.Empty()) return;
  const TBitmap* from = &src;
  TBitmap copy;
  if (&src == target_) {
    copy = src;
    from = &copy;
  }
  const TColor k = ColorToRGB(key);
  const std::uint8_t kb = std::uint8_t(GetBValue(k)), kg = std::uint8_t(GetGValue(k)),
                     kr = std::uint8_t(GetRValue(k));
  const TPoint d = LogicalToBitmap(TPoint{x, y});
  // The part of the destination whose source pixels exist.
  TRect area{d.X, d.Y, d.X + w, d.Y + h};
  area = area.Intersect(
      TRect{d.X - sx, d.Y - sy, d.X - sx + from->Width(), d.Y - sy + from->Height()});
  const int dbpp = target_->BytesPerPixel(), sbpp = from->BytesPerPixel();
  ForEachSpan(area, [&](const TRect& q) {
    for (int yy = q.Top; yy < q.Bottom; ++yy) {
      const std::uint8_t* s = from->ScanLine(yy - d.Y + sy) + std::size_t(q.Left - d.X + sx) * sbpp;
      std::uint8_t* p = target_->ScanLine(yy) + std::size_t(q.Left) * dbpp;
      for (int xx = q.Left; xx < q.Right; ++xx, p += dbpp, s += sbpp)
        if (s[0] != kb || s[1] != kg || s[2] != kr) {
          p[0] = s[0];
          p[1] = s[1];
          p[2] = s[2];
        }
    }
  });
}

void TDC::DrawAlphaImage(const TRect& r, const TBitmap& image) {
  if (r.IsEmpty() || image.Empty() || image.PixelFormat() != TPixelFormat::pf32bit) return;
  const TRect area = LogicalToBitmap(r);
  const std::int64_t w = r.Width(), h = r.Height(), iw = image.Width(), ih = image.Height();
  const int bpp = target_->BytesPerPixel();
  ForEachSpan(area, [&](const TRect& q) {
    for (int y = q.Top; y < q.Bottom; ++y) {
      const std::int64_t sy = (2 * std::int64_t(y - area.Top) + 1) * ih / (2 * h);
      const std::uint8_t* row = image.ScanLine(int(sy));
      std::uint8_t* d = target_->ScanLine(y) + std::size_t(q.Left) * bpp;
      for (int x = q.Left; x < q.Right; ++x, d += bpp) {
        const std::int64_t sx = (2 * std::int64_t(x - area.Left) + 1) * iw / (2 * w);
        const std::uint8_t* s = row + sx * 4;
        const int a = s[3];
        if (a == 0) continue;
        if (a == 255) {
          d[0] = s[0];
          d[1] = s[1];
          d[2] = s[2];
          continue;
        }
        for (int c = 0; c < 3; ++c) d[c] = std::uint8_t((s[c] * a + d[c] * (255 - a) + 127) / 255);
      }
    }
  });
}

TColor TDC::SetPixel(int x, int y, TColor c) {
  const TPoint p = LogicalToBitmap(TPoint{x, y});
  if (!EffectiveClip().Contains(p)) return CLR_INVALID;
  const TColor rgb = ColorToRGB(c);
  target_->SetPixel(p.X, p.Y, rgb);
  NotePainted({p.X, p.Y, p.X + 1, p.Y + 1});
  return rgb;
}

TColor TDC::GetPixel(int x, int y) const {
  const TPoint p = LogicalToBitmap(TPoint{x, y});
  if (!EffectiveClip().Contains(p)) return CLR_INVALID;
  return target_->GetPixel(p.X, p.Y);
}

void TDC::DrawLine(TPoint a, TPoint b) {
  // Bresenham from a towards b; b itself is left for the next segment.
  if (state_.PenColor == CLR_NONE) return;
  const TColor rgb = ColorToRGB(state_.PenColor);
  const TRegion& clip = EffectiveClip();
  const TRect bounds = clip.Bounds();
  const bool simple = clip.Complexity() == SIMPLEREGION;
  TPoint p = LogicalToBitmap(a);
  TPoint e = LogicalToBitmap(b);
  if (bounds.IsEmpty()) return;
  if (std::max(std::abs(e.X - p.X), std::abs(e.Y - p.Y)) > LongLine && !ClipLongLine(p, e, bounds))
    return;
  NotePainted(
      {std::min(p.X, e.X), std::min(p.Y, e.Y), std::max(p.X, e.X) + 1, std::max(p.Y, e.Y) + 1});
  const int dx = std::abs(e.X - p.X), dy = -std::abs(e.Y - p.Y);
  const int sx = p.X < e.X ? 1 : -1, sy = p.Y < e.Y ? 1 : -1;
  int err = dx + dy;
  while (p != e) {
    if (simple ? bounds.Contains(p) : clip.Contains(p)) target_->SetPixel(p.X, p.Y, rgb);
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      p.X += sx;
    }
    if (e2 <= dx) {
      err += dx;
      p.Y += sy;
    }
  }
}

void TDC::Polyline(const TPoint* points, int count) {
  if (!points || count < 2) return;
  for (int i = 0; i + 1 < count; ++i) DrawLine(points[i], points[i + 1]);
}

void TDC::MoveTo(int x, int y) {
  state_.Pen = {x, y};
}

void TDC::LineTo(int x, int y) {
  DrawLine(state_.Pen, {x, y});
  state_.Pen = {x, y};
}

void TDC::Polygon(const TPoint* points, int count) {
  if (!points || count < 2) return;
  if (state_.BrushColor != CLR_NONE && count >= 3) {
    // Even-odd scan conversion in bitmap coordinates, sampling each pixel at
    // its own integer point (left and top edges inside), so a one-pixel
    // outline drawn afterwards covers the boundary on every side.
    std::vector<TPoint> p(static_cast<std::size_t>(count));
    int top = INT32_MAX, bottom = INT32_MIN;
    for (int i = 0; i < count; ++i) {
      p[std::size_t(i)] = LogicalToBitmap(points[i]);
      top = std::min(top, p[std::size_t(i)].Y);
      bottom = std::max(bottom, p[std::size_t(i)].Y);
    }
    const TRect bounds = EffectiveClip().Bounds();
    {
      int left = INT32_MAX, right = INT32_MIN;
      for (const TPoint& q : p) {
        left = std::min(left, q.X);
        right = std::max(right, q.X);
      }
      NotePainted({left, top, right + 1, bottom + 1});
    }
    top = std::max(top, bounds.Top);
    bottom = std::min(bottom, bounds.Bottom);
    const TColor rgb = ColorToRGB(state_.BrushColor);
    const TRegion& clip = EffectiveClip();
    std::vector<double> xs;
    for (int y = top; y < bottom; ++y) {
      const double cy = y;
      xs.clear();
      for (int i = 0; i < count; ++i) {
        const TPoint& a = p[std::size_t(i)];
        const TPoint& b = p[std::size_t((i + 1) % count)];
        if ((a.Y <= cy) == (b.Y <= cy)) continue;  // edge does not cross this row
        xs.push_back(a.X + (cy - a.Y) * double(b.X - a.X) / double(b.Y - a.Y));
      }
      std::sort(xs.begin(), xs.end());
      for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
        // Pixels x with xs[k] <= x < xs[k + 1].
        const double from = std::ceil(xs[k]), to = std::ceil(xs[k + 1]);
        const TRect span{int(std::max(from, double(bounds.Left))), y,
                         int(std::min(to, double(bounds.Right))), y + 1};
        for (const TRect& c : clip.Rects()) {
          const TRect q = c.Intersect(span);
          for (int x = q.Left; x < q.Right; ++x) target_->SetPixel(x, y, rgb);
        }
      }
    }
  }
  for (int i = 0; i < count; ++i) DrawLine(points[i], points[(i + 1) % count]);
}

void TDC::Rectangle(const TRect& r) {
  if (r.IsEmpty()) return;
  if (state_.BrushColor != CLR_NONE) FillRect(r, state_.BrushColor);
  if (state_.PenColor != CLR_NONE) FrameRect(r, state_.PenColor);
}

bool TDC::Blit(int x, int y, int w, int h, const TBitmap& src, int bsx, int bsy, int sw, int sh,
               std::uint32_t rop, bool stretch) {
  if (!KnownRop(rop)) return false;
  w = Saturate(w);
  h = Saturate(h);
  const TPoint d = LogicalToBitmap(TPoint{x, y});
  const TRegion& clip = EffectiveClip();
  NotePainted({std::min(d.X, d.X + w), std::min(d.Y, d.Y + h), std::max(d.X, d.X + w),
               std::max(d.Y, d.Y + h)});
  // Mirrored copies (a negative size) go through the stretch path even at 1:1.
  if (stretch && (w != sw || h != sh || w < 0 || h < 0)) {
    const TStretchMode mode =
        state_.StretchMode == HALFTONE ? TStretchMode::Halftone : TStretchMode::Nearest;
    if (rop == SRCCOPY) {
      StretchBitmapRect(*target_, d.X, d.Y, w, h, src, bsx, bsy, sw, sh, mode, clip);
      return true;
    }
    if (UsesSource(rop)) {
      // Scale into a scratch bitmap first, then combine it like a block copy.
      const int aw = std::abs(w), ah = std::abs(h);
      if (aw == 0 || ah == 0) return true;
      TBitmap scaled(aw, ah, src.PixelFormat());
      StretchBitmapRect(scaled, w < 0 ? aw : 0, h < 0 ? ah : 0, w, h, src, bsx, bsy, sw, sh, mode,
                        TRegion(TRect{0, 0, aw, ah}));
      const TPoint l = BitmapToLogical({std::min(d.X, d.X + w), std::min(d.Y, d.Y + h)});
      return Blit(l.X, l.Y, aw, ah, scaled, 0, 0, aw, ah, rop, false);
    }
  }
  if (w <= 0 || h <= 0) return true;
  if (rop == SRCCOPY) {
    CopyBitmapRect(*target_, d.X, d.Y, w, h, src, bsx, bsy, clip);
    return true;
  }
  // Other raster operations, byte by byte on B, G and R.
  TRect area{d.X, d.Y, d.X + w, d.Y + h};
  const bool useSrc = UsesSource(rop);
  if (useSrc)
    area = area.Intersect(
        TRect{d.X - bsx, d.Y - bsy, d.X - bsx + src.Width(), d.Y - bsy + src.Height()});
  const TBitmap* from = &src;
  TBitmap copy;
  if (useSrc && &src == target_) {
    copy = src;
    from = &copy;
  }
  const TColor brush = ColorToRGB(state_.BrushColor);
  const std::uint8_t pat[3] = {std::uint8_t(GetBValue(brush)), std::uint8_t(GetGValue(brush)),
                               std::uint8_t(GetRValue(brush))};
  const int dbpp = target_->BytesPerPixel(), sbpp = from->BytesPerPixel();
  for (const TRect& c : clip.Rects()) {
    const TRect q = c.Intersect(area);
    for (int yy = q.Top; yy < q.Bottom; ++yy) {
      std::uint8_t* p = target_->ScanLine(yy) + std::size_t(q.Left) * dbpp;
      const std::uint8_t* s =
          useSrc ? from->ScanLine(yy - d.Y + bsy) + std::size_t(q.Left - d.X + bsx) * sbpp : pat;
      for (int xx = q.Left; xx < q.Right; ++xx, p += dbpp) {
        for (int ch = 0; ch < 3; ++ch) p[ch] = ApplyRop(rop, p[ch], s[ch], pat[ch]);
        if (useSrc) s += sbpp;
      }
    }
  }
  return true;
}

bool TDC::BitBlt(int x, int y, int w, int h, const TDC& src, int sx, int sy, std::uint32_t rop) {
  const TPoint s = src.LogicalToBitmap(TPoint{sx, sy});
  return Blit(x, y, w, h, *src.target_, s.X, s.Y, w, h, rop, false);
}

bool TDC::BitBlt(int x, int y, int w, int h, const TBitmap& src, int sx, int sy,
                 std::uint32_t rop) {
  return Blit(x, y, w, h, src, sx, sy, w, h, rop, false);
}

bool TDC::StretchBlt(int x, int y, int w, int h, const TDC& src, int sx, int sy, int sw, int sh,
                     std::uint32_t rop) {
  const TPoint s = src.LogicalToBitmap(TPoint{sx, sy});
  return Blit(x, y, w, h, *src.target_, s.X, s.Y, sw, sh, rop, true);
}

bool TDC::StretchBlt(int x, int y, int w, int h, const TBitmap& src, int sx, int sy, int sw, int sh,
                     std::uint32_t rop) {
  return Blit(x, y, w, h, src, sx, sy, sw, sh, rop, true);
}

bool TDC::GradientFill(const TRIVERTEX* vertices, std::uint32_t vertexCount, const void* mesh,
                       std::uint32_t meshCount, std::uint32_t mode) {
  const TPoint o = LogicalToBitmap(TPoint{0, 0});
  if (vertices) {
    // The mesh lies within its vertices' bounds (plus the pixel each touches).
    std::int64_t l = INT32_MAX, t = INT32_MAX, r = INT32_MIN, b = INT32_MIN;
    for (std::uint32_t i = 0; i < vertexCount; ++i) {
      l = std::min<std::int64_t>(l, vertices[i].x);
      t = std::min<std::int64_t>(t, vertices[i].y);
      r = std::max<std::int64_t>(r, vertices[i].x);
      b = std::max<std::int64_t>(b, vertices[i].y);
    }
    if (vertexCount)
      NotePainted({Saturate(l + o.X - 1), Saturate(t + o.Y - 1), Saturate(r + o.X + 1),
                   Saturate(b + o.Y + 1)});
  }
  return GradientFillBitmap(*target_, EffectiveClip(), o.X, o.Y, vertices, vertexCount, mesh,
                            meshCount, mode);
}

}  // namespace vm
