#include "skin/paint/pixels/PixelOps.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/paint/pixels/Kernels.h"
#include "skin/paint/pixels/PieceClip.h"
#include "skin/paint/pixels/SharedAccessors.h"

namespace vm {

namespace {

using i64 = std::int64_t;

// A source rectangle with inclusive Right and Bottom, copied to (x, y).
TPiece InclusivePiece(const TRect& r, i64 x, i64 y) {
  TPiece p;
  p.X[0] = x;
  p.Y[0] = y;
  p.X[1] = r.Left;
  p.Y[1] = r.Top;
  p.W = i64(r.Right) - r.Left + 1;
  p.H = i64(r.Bottom) - r.Top + 1;
  return p;
}

inline std::uint8_t* PixelAt(TBitmap& b, i64 x, i64 y) {
  return b.ScanLine(int(y)) + x * b.BytesPerPixel();
}
inline const std::uint8_t* PixelAt(const TBitmap& b, i64 x, i64 y) {
  return b.ScanLine(int(y)) + x * b.BytesPerPixel();
}

// std::nearbyint in the default rounding mode (to nearest, halves to even)
// for |v| < 2^51, without a library call: adding 1.5 * 2^52 leaves no bits
// below the unit, so the sum is v rounded once, and taking it off is exact.
inline double NearestEven(double v) {
  constexpr double shift = 6755399441055744.0;
  return (v + shift) - shift;
}

inline int ClampByte(double v) {
  if (!(v >= 0)) return 0;
  if (v > 255) return 255;
  return int(v);
}

// Source pixel equal to the key colour (blue, green, red compared byte by byte).
inline bool IsKey(const std::uint8_t* s, std::uint8_t kb, std::uint8_t kg, std::uint8_t kr) {
  return s[0] == kb && s[1] == kg && s[2] == kr;
}

// The key of a copy: `use` false means every pixel is opaque.
struct TKey {
  bool Use = false;
  std::uint8_t B = 0, G = 0, R = 0;
  explicit TKey(TColor key) {
    if (IsNoKey(key)) return;
    Use = true;
    R = std::uint8_t(key & 0xFF);
    G = std::uint8_t((key >> 8) & 0xFF);
    B = std::uint8_t((key >> 16) & 0xFF);
  }
  bool Matches(const std::uint8_t* s) const { return Use && IsKey(s, B, G, R); }
};

}  // namespace

std::unique_ptr<TBitmap> CreateBitmap24(int width, int height) {
  return std::make_unique<TBitmap>(width, height, TPixelFormat::pf24bit);
}

std::unique_ptr<TBitmap> CreateBitmap32(int width, int height) {
  return std::make_unique<TBitmap>(width, height, TPixelFormat::pf32bit);
}

// ---------------------------------------------------------------- turns

namespace {

// dst row y is walked left to right while the source pointer steps by
// `step` bytes: a whole column of src, from the row and column `start`
// gives for each destination row.
template <class FStart>
void Turn(TBitmap& dst, std::ptrdiff_t step, FStart&& start) {
  const int dbpp = dst.BytesPerPixel();
  for (int y = 0; y < dst.Height(); ++y) {
    const std::uint8_t* s = start(y);
    std::uint8_t* d = dst.ScanLine(y);
    for (int x = 0; x < dst.Width(); ++x, d += dbpp, s += step) {
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
    }
  }
}

bool TurnSizes(const TBitmap& src, const TBitmap& dst) {
  return !src.Empty() && dst.Width() == src.Height() && dst.Height() == src.Width();
}

// Bytes from one source row to the next (negative for bottom-up bitmaps).
std::ptrdiff_t RowStep(const TBitmap& b) {
  return b.Height() > 1 ? b.ScanLine(1) - b.ScanLine(0) : 0;
}

}  // namespace

void TurnClockwise(const TBitmap& src, TBitmap& dst) {
  if (!TurnSizes(src, dst)) return;
  // dst(x, y) = src(y, H - 1 - x): up column y from the bottom row.
  const int bpp = src.BytesPerPixel(), h = src.Height();
  Turn(dst, -RowStep(src),
       [&](int y) { return src.ScanLine(h - 1) + std::size_t(y) * std::size_t(bpp); });
}

void TurnCounterClockwise(const TBitmap& src, TBitmap& dst) {
  if (!TurnSizes(src, dst)) return;
  // dst(x, y) = src(W - 1 - y, x): down column W - 1 - y from the top row.
  const int bpp = src.BytesPerPixel(), w = src.Width();
  Turn(dst, RowStep(src),
       [&](int y) { return src.ScanLine(0) + std::size_t(w - 1 - y) * std::size_t(bpp); });
}

// ---------------------------------------------------------------- blends

namespace {

// What a colour blend needs before it touches a pixel: the per-channel table
// of the floating-point results and, when the integer kernel reproduces it,
// the kernel's prepared lanes. Working it out costs about as much as blending
// a few thousand bytes, and repaints blend with the same colour and
// percentage again and again, so the last one is kept (per thread).
struct TColorBlendSetup {
  bool Valid = false;
  int Percent = 0;
  TColor Color = 0;
  bool Bytes24 = false;
  bool UseKernel = false;
  std::uint8_t Table[3][256] = {};
  TColorBlend Blend;
};

void PrepareColorBlend(TColorBlendSetup& s, int percent, TColor c, bool bytes24) {
  s.Valid = true;
  s.Percent = percent;
  s.Color = c;
  s.Bytes24 = bytes24;
  // The result of a channel depends only on its old value, so one table per
  // channel gives exactly the per-pixel floating-point result.
  const double f = percent / 100.0, g = 1 - f;
  const int channel[3] = {GetBValue(c), GetGValue(c), GetRValue(c)};
  for (int k = 0; k < 3; ++k)
    for (int v = 0; v < 256; ++v)
      s.Table[k][v] = std::uint8_t(ClampByte(NearestEven(f * v + g * channel[k])));

  // Fast path: away from the halves every rounding of the exact quotient
  // gives the floating-point byte, and at the halves (where N ends in 50)
  // the floating-point blend rounds either always up, always down or always
  // to even for most channels. A channel that matches one of the three for
  // every byte value takes that mode; any other (f * v + (1 - f) * c
  // computed in doubles lands a little above or below some halves and on
  // others) lists the byte values whose half rounds down. 24-bit rows then
  // go through the vectorised integer kernel; other bitmaps, and
  // percentages outside 0..100, use the table.
  bool useKernel = bytes24 && percent >= 0 && percent <= 100;
  THalfRounding mode[3] = {};
  TByteSet down[3] = {};
  for (int ch = 0; ch < 3 && useKernel; ++ch) {
    // The three roundings of every byte value against the table, in one
    // branch-free (vectorised) pass: ColorBlendByteRounded's arithmetic.
    const unsigned k50 = unsigned((100 - percent) * channel[ch]) + 50;
    unsigned wrongUp = 0, wrongDown = 0, wrongEven = 0;
    for (unsigned v = 0; v < 256; ++v) {
      const unsigned t = v * unsigned(percent) + k50, q = t / 100;
      const unsigned atHalf = q * 100 == t, want = s.Table[ch][v];
      wrongUp |= q ^ want;
      wrongDown |= (q - atHalf) ^ want;
      wrongEven |= (q - (atHalf & q)) ^ want;
    }
    // Up first: with no half at all every mode matches and rounding up
    // needs no correction step.
    const unsigned wrong[3] = {wrongUp, wrongDown, wrongEven};
    bool matched = false;
    for (int m = 0; m < 3 && !matched; ++m)
      if (wrong[m] == 0) mode[ch] = THalfRounding(m), matched = true;
    if (matched) continue;
    // Listed: every byte is the rounded-up quotient or one less.
    mode[ch] = THalfRounding::Listed;
    for (unsigned v = 0; v < 256 && useKernel; ++v) {
      const unsigned q = (v * unsigned(percent) + k50) / 100, want = s.Table[ch][v];
      if (want + 1 == q)
        down[ch][v >> 3] = std::uint8_t(down[ch][v >> 3] | (1u << (v & 7)));
      else
        useKernel = want == q;
    }
  }
  s.UseKernel = useKernel;
  if (useKernel) s.Blend = MakeColorBlend(std::uint16_t(percent), channel, mode, down);
}

// The prepared blend for this percentage and colour (the last one kept).
const TColorBlendSetup& ColorBlendSetup(int percent, TColor c, bool bytes24) {
  thread_local TColorBlendSetup last;
  if (!last.Valid || last.Percent != percent || last.Color != c || last.Bytes24 != bytes24)
    PrepareColorBlend(last, percent, c, bytes24);
  return last;
}

// level < 0: the processor's best, and the table where listed halves would
// have to be looked up byte by byte.
void BlendRectWithColorAt(int level, TBitmap& bitmap, TRect rect, int percent, TColor color) {
  TPiece p = InclusivePiece(rect, rect.Left, rect.Top);
  const TBitmap* bitmaps[1] = {&bitmap};
  if (!ClipPiece(p, bitmaps, 1)) return;

  const int bpp = bitmap.BytesPerPixel();
  const TColorBlendSetup& s = ColorBlendSetup(percent, ResolveColor(color), bpp == 3);
  const bool best = level < 0;
  if (best) level = ColorBlendLevels() - 1;
  if (s.UseKernel && (!best || !s.Blend.Listed || level >= 2)) {
    std::uint8_t* first = PixelAt(bitmap, p.X[0], p.Y[0]);
    const std::ptrdiff_t stride = p.H > 1 ? PixelAt(bitmap, p.X[0], p.Y[0] + 1) - first : 0;
    ColorBlendRunAtLevel(level, first, p.W * 3, p.H, stride, s.Blend);
    return;
  }
  for (i64 y = 0; y < p.H; ++y) {
    std::uint8_t* d = PixelAt(bitmap, p.X[0], p.Y[0] + y);
    for (i64 x = 0; x < p.W; ++x, d += bpp) {
      d[0] = s.Table[0][d[0]];
      d[1] = s.Table[1][d[1]];
      d[2] = s.Table[2][d[2]];
    }
  }
}

}  // namespace

void BlendRectWithColor(TBitmap& bitmap, TRect rect, int percent, TColor color) {
  BlendRectWithColorAt(-1, bitmap, rect, percent, color);
}

void BlendRectWithColorAtLevel(int level, TBitmap& bitmap, TRect rect, int percent, TColor color) {
  BlendRectWithColorAt(std::clamp(level, 0, ColorBlendLevels() - 1), bitmap, rect, percent, color);
}

void MixBitmaps(TBitmap& dest, const TBitmap& source, std::uint32_t alpha) {
  if (dest.Width() != source.Width() || dest.Height() != source.Height()) return;
  TnxFastSum24& sum = SharedFastSum24();
  if (!sum.Attach(source, dest)) return;
  sum.Weight = std::uint8_t(alpha & 0xFF);
  sum.DestLeft = sum.SourceLeft = 0;
  sum.DestTop = sum.SourceTop = 0;
  sum.DestRight = sum.SourceRight = dest.Width();
  sum.DestBottom = sum.SourceBottom = dest.Height();
  sum.Blend();
}

void MixBitmapRect(TBitmap& dest, const TBitmap& source, std::uint32_t alpha, TPoint destPoint,
                   TRect sourceRect) {
  TPiece p;
  p.X[0] = destPoint.X;
  p.Y[0] = destPoint.Y;
  p.X[1] = sourceRect.Left;
  p.Y[1] = sourceRect.Top;
  p.W = i64(sourceRect.Right) - sourceRect.Left;
  p.H = i64(sourceRect.Bottom) - sourceRect.Top;
  const TBitmap* bitmaps[2] = {&dest, &source};
  if (!ClipPiece(p, bitmaps, 2)) return;

  TnxFastSum24& sum = SharedFastSum24();
  if (!sum.Attach(source, dest)) return;
  sum.Weight = std::uint8_t(alpha & 0xFF);
  sum.DestLeft = std::int32_t(p.X[0]);
  sum.DestTop = std::int32_t(p.Y[0]);
  sum.DestRight = std::int32_t(p.X[0] + p.W);
  sum.DestBottom = std::int32_t(p.Y[0] + p.H);
  sum.SourceLeft = std::int32_t(p.X[1]);
  sum.SourceTop = std::int32_t(p.Y[1]);
  sum.SourceRight = std::int32_t(p.X[1] + p.W);
  sum.SourceBottom = std::int32_t(p.Y[1] + p.H);
  sum.Blend();
}

void BlendBitmapRect(TBitmap& dest, int x, int y, TColor keyColor, double fraction,
                     TRect sourceRect, const TBitmap& source) {
  TPiece p = InclusivePiece(sourceRect, x, y);
  const TBitmap* bitmaps[2] = {&dest, &source};
  if (!ClipPiece(p, bitmaps, 2)) return;

  const TKey key(keyColor);
  const int dbpp = dest.BytesPerPixel(), sbpp = source.BytesPerPixel();
  for (i64 j = 0; j < p.H; ++j) {
    std::uint8_t* d = PixelAt(dest, p.X[0], p.Y[0] + j);
    const std::uint8_t* s = PixelAt(source, p.X[1], p.Y[1] + j);
    for (i64 i = 0; i < p.W; ++i, d += dbpp, s += sbpp) {
      if (key.Matches(s)) continue;
      for (int c = 0; c < 3; ++c)
        d[c] = std::uint8_t(ClampByte(std::nearbyint(s[c] - fraction * (int(s[c]) - int(d[c])))));
    }
  }
}

// ---------------------------------------------------------------- key copies

namespace {

void CopyPieceWithKey(TBitmap& dest, const TBitmap& source, const TPiece& p, const TKey& key) {
  const int dbpp = dest.BytesPerPixel(), sbpp = source.BytesPerPixel();
  for (i64 j = 0; j < p.H; ++j) {
    std::uint8_t* d = PixelAt(dest, p.X[0], p.Y[0] + j);
    const std::uint8_t* s = PixelAt(source, p.X[1], p.Y[1] + j);
    if (!key.Use && dbpp == sbpp) {
      std::memmove(d, s, std::size_t(p.W * dbpp));
      continue;
    }
    for (i64 i = 0; i < p.W; ++i, d += dbpp, s += sbpp) {
      if (key.Matches(s)) continue;
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
    }
  }
}

}  // namespace

void CopyBitmapWithKey(TBitmap& dest, const TBitmap& source, int x, int y, TColor keyColor) {
  CopyRectWithKey(dest, source, x, y, keyColor,
                  TRect{0, 0, source.Width() - 1, source.Height() - 1});
}

void CopyRectWithKey(TBitmap& dest, const TBitmap& source, int x, int y, TColor keyColor,
                     TRect sourceRect) {
  TPiece p = InclusivePiece(sourceRect, x, y);
  const TBitmap* bitmaps[2] = {&dest, &source};
  if (!ClipPiece(p, bitmaps, 2)) return;
  CopyPieceWithKey(dest, source, p, TKey(keyColor));
}

void CopyRectWithBackground(TBitmap& dest, const TBitmap& source, int x, int y, bool useBackground,
                            BackgroundInfo background, TColor keyColor, TRect sourceRect) {
  TPiece p = InclusivePiece(sourceRect, x, y);
  const TBitmap* bitmaps[2] = {&dest, &source};
  if (!ClipPiece(p, bitmaps, 2)) return;
  const TKey key(keyColor);

  // The background is read through the shared reader that fits its format;
  // when neither attaches, key pixels are simply skipped.
  const std::uint8_t* bgStart = nullptr;
  std::ptrdiff_t bgStep = 0;
  int bgBpp = 0, bgW = 0, bgH = 0;
  if (useBackground && key.Use && background.Ready && background.Bitmap) {
    const TBitmap& bg = *background.Bitmap;
    if (bg.PixelFormat() == TPixelFormat::pf24bit) {
      TnxFast24& r = SharedFast24();
      if (r.Attach(bg))
        bgStart = r.Start, bgStep = r.RowStep, bgBpp = 3, bgW = r.Width, bgH = r.Height;
    } else {
      TnxFast32& r = SharedFast32();
      if (r.Attach(bg))
        bgStart = r.Start, bgStep = r.RowStep, bgBpp = 4, bgW = r.Width, bgH = r.Height;
    }
  }
  if (!bgStart) {
    CopyPieceWithKey(dest, source, p, key);
    return;
  }

  const int dbpp = dest.BytesPerPixel(), sbpp = source.BytesPerPixel();
  for (i64 j = 0; j < p.H; ++j) {
    const i64 dy = p.Y[0] + j;
    const i64 by = i64(background.OffsetY) + dy;
    const bool rowInside = by >= 0 && by < bgH;
    std::uint8_t* d = PixelAt(dest, p.X[0], dy);
    const std::uint8_t* s = PixelAt(source, p.X[1], p.Y[1] + j);
    for (i64 i = 0; i < p.W; ++i, d += dbpp, s += sbpp) {
      if (!key.Matches(s)) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
        continue;
      }
      // Key pixels take what lies behind them; past the background's edges
      // there is nothing to take and the destination stays as it is.
      const i64 bx = i64(background.OffsetX) + p.X[0] + i;
      if (!rowInside || bx < 0 || bx >= bgW) continue;
      const std::uint8_t* b = bgStart + by * bgStep + bx * bgBpp;
      d[0] = b[0];
      d[1] = b[1];
      d[2] = b[2];
    }
  }
}

// ---------------------------------------------------------------- mask blend

void MaskBlendRow(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m, int count) {
  MaskBytes(d, s, m, count);
}

void MaskBlendLightRow(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m, int count) {
  MaskBytesLight(d, s, m, count);
}

void MaskBlendRect(TBitmap& dest, TPoint destPoint, const TBitmap& source, TRect sourceRect,
                   const TBitmap& mask, TPoint maskPoint, bool light) {
  if (!Is24(dest) || !Is24(source) || !Is24(mask)) return;
  TPiece p;
  p.X[0] = destPoint.X;
  p.Y[0] = destPoint.Y;
  p.X[1] = sourceRect.Left;
  p.Y[1] = sourceRect.Top;
  p.X[2] = maskPoint.X;
  p.Y[2] = maskPoint.Y;
  p.W = i64(sourceRect.Right) - sourceRect.Left;
  p.H = i64(sourceRect.Bottom) - sourceRect.Top;
  const TBitmap* bitmaps[3] = {&dest, &source, &mask};
  if (!ClipPiece(p, bitmaps, 3)) return;
  const bool aliased = &dest == &source || &dest == &mask;
  for (i64 j = 0; j < p.H; ++j) {
    std::uint8_t* d = PixelAt(dest, p.X[0], p.Y[0] + j);
    const std::uint8_t* s = PixelAt(source, p.X[1], p.Y[1] + j);
    const std::uint8_t* m = PixelAt(mask, p.X[2], p.Y[2] + j);
    if (aliased) {
      for (i64 i = 0; i < p.W * 3; ++i)
        d[i] = light ? MaskBlendLightByte(d[i], s[i], m[i]) : MaskBlendByte(d[i], s[i], m[i]);
    } else if (light) {
      MaskBytesLight(d, s, m, p.W * 3);
    } else {
      MaskBytes(d, s, m, p.W * 3);
    }
  }
}

void MaskBlend(TBitmap& dest, const TBitmap& source, const TBitmap& mask) {
  MaskBlendRect(dest, {0, 0}, source, TRect{0, 0, source.Width(), source.Height()}, mask, {0, 0},
                false);
}

void MaskBlendLight(TBitmap& dest, const TBitmap& source, const TBitmap& mask) {
  MaskBlendRect(dest, {0, 0}, source, TRect{0, 0, source.Width(), source.Height()}, mask, {0, 0},
                true);
}

// ---------------------------------------------------------------- grey

namespace {

void Grey(TBitmap& bitmap, const TKey& key) {
  const int bpp = bitmap.BytesPerPixel();
  for (int y = 0; y < bitmap.Height(); ++y) {
    std::uint8_t* d = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x, d += bpp) {
      if (key.Matches(d)) continue;
      const std::uint8_t v = std::uint8_t((d[0] + d[1] + d[2]) / 3);
      d[0] = d[1] = d[2] = v;
    }
  }
}

}  // namespace

void GreyBitmap(TBitmap& bitmap) {
  Grey(bitmap, TKey(0xFFFFFFFF));
}

void GreyBitmapExceptKey(TBitmap& bitmap, TColor keyColor) {
  Grey(bitmap, TKey(keyColor));
}

void ShadeDisabled(TBitmap& bitmap, TsDisabledKind kind, TColor controlColor, TPoint position,
                   BackgroundInfo background) {
  if (bitmap.Empty()) return;
  if (kind & dkGrayed) GreyBitmap(bitmap);
  if (!(kind & dkBlended)) return;
  if (background.Ready && background.Bitmap) {
    const i64 left = i64(background.OffsetX) + position.X;
    const i64 top = i64(background.OffsetY) + position.Y;
    // Positions beyond the 32-bit range cannot lie inside any bitmap.
    if (left < INT32_MIN || top < INT32_MIN || left + bitmap.Width() > INT32_MAX ||
        top + bitmap.Height() > INT32_MAX)
      return;
    BlendBitmapRect(
        bitmap, 0, 0, 0xFFFFFFFF, 0.4,
        TRect{std::int32_t(left), std::int32_t(top), std::int32_t(left + bitmap.Width() - 1),
              std::int32_t(top + bitmap.Height() - 1)},
        *background.Bitmap);
  } else {
    const TColor c = ParentColor != KeyColor ? ParentColor : controlColor;
    BlendRectWithColor(bitmap, TRect{0, 0, bitmap.Width(), bitmap.Height()}, 50, c);
  }
}

// ---------------------------------------------------------------- 32-bit mix

namespace {

bool MixFits(const TBitmap& target32, const TBitmap& first, const TBitmap& second) {
  return target32.PixelFormat() == TPixelFormat::pf32bit && Is24(first) && Is24(second) &&
         first.Width() == second.Width() && first.Height() == second.Height();
}

}  // namespace

void MixToBitmap32(TBitmap& target32, const TBitmap& first, const TBitmap& second,
                   std::uint8_t alpha) {
  if (!MixFits(target32, first, second)) return;
  const int w = std::min(target32.Width(), first.Width());
  const int h = std::min(target32.Height(), first.Height());
  const std::uint16_t a = alpha, ia = std::uint16_t(256 - alpha);
  for (int y = 0; y < h; ++y) {
    std::uint8_t* t = target32.ScanLine(y);
    const std::uint8_t* f = first.ScanLine(y);
    const std::uint8_t* s = second.ScanLine(y);
    for (int x = 0; x < w; ++x, t += 4, f += 3, s += 3)
      for (int c = 0; c < 3; ++c) t[c] = std::uint8_t(std::uint16_t(f[c] * a + s[c] * ia) >> 8);
  }
}

void MixToBitmap32(TBitmap& target32, const TBitmap& first, const TBitmap& second,
                   const TBitmap& alphaBitmap) {
  if (!MixFits(target32, first, second)) return;
  const int w = std::min({target32.Width(), first.Width(), alphaBitmap.Width()});
  const int h = std::min({target32.Height(), first.Height(), alphaBitmap.Height()});
  const int abpp = alphaBitmap.BytesPerPixel();
  for (int y = 0; y < h; ++y) {
    std::uint8_t* t = target32.ScanLine(y);
    const std::uint8_t* f = first.ScanLine(y);
    const std::uint8_t* s = second.ScanLine(y);
    const std::uint8_t* a = alphaBitmap.ScanLine(y);
    for (int x = 0; x < w; ++x, t += 4, f += 3, s += 3, a += abpp)
      for (int c = 0; c < 3; ++c)
        t[c] = std::uint8_t(std::uint16_t(f[c] * a[c] + s[c] * std::uint16_t(256 - a[c])) >> 8);
  }
}

// ---------------------------------------------------------------- border ring

void CopyBorderRing(TBitmap& destination, int x, int y, int borderWidth, int sourceY, int sourceX,
                    const TBitmap& source, int height, int width) {
  if (borderWidth <= 0 || width <= 0 || height <= 0) return;
  const TKey noKey(0xFFFFFFFF);
  const TBitmap* bitmaps[2] = {&destination, &source};
  const i64 bw = std::min<i64>(borderWidth, std::max(width, height));
  // Left, top, right and bottom strips, as (offset x, offset y, width, height)
  // inside the area.
  const i64 strips[4][4] = {{0, 0, std::min<i64>(bw, width), height},
                            {0, 0, width, std::min<i64>(bw, height)},
                            {std::max<i64>(width - bw, 0), 0, std::min<i64>(bw, width), height},
                            {0, std::max<i64>(height - bw, 0), width, std::min<i64>(bw, height)}};
  for (const auto& s : strips) {
    TPiece p;
    p.X[0] = i64(x) + s[0];
    p.Y[0] = i64(y) + s[1];
    p.X[1] = i64(sourceX) + s[0];
    p.Y[1] = i64(sourceY) + s[1];
    p.W = s[2];
    p.H = s[3];
    if (ClipPiece(p, bitmaps, 2)) CopyPieceWithKey(destination, source, p, noKey);
  }
}

}  // namespace vm
