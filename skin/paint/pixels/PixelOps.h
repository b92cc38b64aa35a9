// Per-pixel operations on 24-bit bitmaps: colour blends, bitmap mixes,
// key-colour copies, grey conversion and the disabled look.
//
// Rectangles: unless a function says otherwise a source rectangle has
// INCLUSIVE Right and Bottom. It is clipped to its bitmap (Left, Top >= 0,
// Right <= width - 1, Bottom <= height - 1); when Left or Top is raised to 0
// the destination moves right or down by the same amount so the picture keeps
// its place. Destination pixels outside the destination bitmap are skipped.
// Nothing here ever reads or writes outside a bitmap, whatever the rectangle
// or point; no operation reports an error.
//
// Sources of the copies and colour blends may be 24- or 32-bit (the alpha
// byte is never used); the bitmap mixes and mask blends take 24-bit bitmaps
// only and leave others alone.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Types.h"
#include "skin/paint/pixels/BackgroundInfo.h"

namespace vm {

// Creates a top-down device-independent bitmap of that size (caller owns it).
std::unique_ptr<TBitmap> CreateBitmap24(int width, int height);
std::unique_ptr<TBitmap> CreateBitmap32(int width, int height);

// The bitmap turned a quarter: dst must be src.Height() wide and src.Width()
// high (other sizes leave it as it is). Clockwise, dst(x, y) = src(y,
// src.Height() - 1 - x); counter-clockwise, dst(x, y) = src(src.Width() - 1
// - y, x). Only colour bytes are copied: a 32-bit destination keeps its alpha.
void TurnClockwise(const TBitmap& src, TBitmap& dst);
void TurnCounterClockwise(const TBitmap& src, TBitmap& dst);

// Keeps percent % of each pixel in rect (inclusive bounds, clipped to the
// bitmap) and adds the colour for the rest: X = nearest(f * X + (1 - f) * c)
// with f = percent / 100.
void BlendRectWithColor(TBitmap& bitmap, TRect rect, int percent, TColor color);
// The same through one variant of the vector kernel (0 portable, 1 SSE2,
// 2 SSSE3, 3 AVX2; clamped to what the processor has), so that tests and
// benchmarks reach each of them. Blends the kernel cannot reproduce take the
// table at every level.
void BlendRectWithColorAtLevel(int level, TBitmap& bitmap, TRect rect, int percent, TColor color);

// Mixes the whole source into dest: (D * a + S * (255 - a) + 127) >> 8 per
// byte, a = the low byte of alpha. Nothing happens when the sizes differ or a
// bitmap is smaller than 2 x 2 or not 24-bit.
void MixBitmaps(TBitmap& dest, const TBitmap& source, std::uint32_t alpha);

// As MixBitmaps for sourceRect (Right and Bottom EXCLUSIVE) of the source,
// placed at destPoint; clipped to both bitmaps.
void MixBitmapRect(TBitmap& dest, const TBitmap& source, std::uint32_t alpha, TPoint destPoint,
                   TRect sourceRect);

// Copies sourceRect to (x, y) mixing D = nearest(S - fraction * (S - D)) per
// channel (fraction is the weight of what is already there). Source pixels of
// the key colour are skipped unless the key means no key.
void BlendBitmapRect(TBitmap& dest, int x, int y, TColor keyColor, double fraction,
                     TRect sourceRect, const TBitmap& source);

// Copies the whole source to (x, y), skipping pixels equal to the key colour.
void CopyBitmapWithKey(TBitmap& dest, const TBitmap& source, int x, int y, TColor keyColor);

// Copies sourceRect to (x, y), skipping pixels equal to the key colour.
void CopyRectWithKey(TBitmap& dest, const TBitmap& source, int x, int y, TColor keyColor,
                     TRect sourceRect);

// Copies sourceRect to (x, y). Key-coloured source pixels are skipped, or,
// when useBackground is set and the background is ready, replaced by the
// background pixel at (OffsetX + dx, OffsetY + dy) for destination (dx, dy);
// such a row stops at the background's right edge.
void CopyRectWithBackground(TBitmap& dest, const TBitmap& source, int x, int y, bool useBackground,
                            BackgroundInfo background, TColor keyColor, TRect sourceRect);

// Mask blending of one byte: clamp(((D - S) * M + S * 256) >> 8). Mask 0
// gives the source, 255 keeps almost all of the destination.
constexpr std::uint8_t MaskBlendByte(std::uint8_t d, std::uint8_t s, std::uint8_t m) {
  const int v = ((int(d) - int(s)) * int(m) + int(s) * 256) >> 8;
  return std::uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
}
// The light variant raises the mask to min(M + 100, 255) first.
constexpr std::uint8_t LightMask(std::uint8_t m) {
  return m > 155 ? 255 : std::uint8_t(m + 100);
}
constexpr std::uint8_t MaskBlendLightByte(std::uint8_t d, std::uint8_t s, std::uint8_t m) {
  return MaskBlendByte(d, s, LightMask(m));
}

// Blends `count` bytes of a row: d[i] = MaskBlendByte(d[i], s[i], m[i]).
void MaskBlendRow(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m, int count);
void MaskBlendLightRow(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m, int count);

// Blends the whole source into dest through the mask (all 24-bit), over the
// smallest of the three sizes.
void MaskBlend(TBitmap& dest, const TBitmap& source, const TBitmap& mask);
void MaskBlendLight(TBitmap& dest, const TBitmap& source, const TBitmap& mask);

// The same for a piece: sourceRect (Right and Bottom EXCLUSIVE) of source,
// blended with the mask at maskPoint (the mask pixel for source (sx, sy) is at
// maskPoint + (sx - sourceRect.Left, sy - sourceRect.Top)), written at
// destPoint. Clipped to all three bitmaps.
void MaskBlendRect(TBitmap& dest, TPoint destPoint, const TBitmap& source, TRect sourceRect,
                   const TBitmap& mask, TPoint maskPoint, bool light = false);

// Every pixel becomes (B + G + R) div 3 in all three channels.
void GreyBitmap(TBitmap& bitmap);
// The same, leaving pixels of the key colour untouched.
void GreyBitmapExceptKey(TBitmap& bitmap, TColor keyColor);

// The disabled look of a control's picture.
enum TsDisabledKindFlag : std::uint8_t { dkBlended = 1, dkGrayed = 2 };
using TsDisabledKind = std::uint8_t;  // a set of TsDisabledKindFlag bits

// dkGrayed greys the picture; dkBlended fades it toward what lies behind it:
// 60 % of the ready background at position (plus the background offsets), or
// else half-and-half with ParentColor or, when that is unset, controlColor.
void ShadeDisabled(TBitmap& bitmap, TsDisabledKind kind, TColor controlColor, TPoint position,
                   BackgroundInfo background);

// For two 24-bit bitmaps of equal size, writes
// clamp(((first - second) * a + second * 256) >> 8) per channel into the
// 32-bit target (its alpha byte is left alone). Nothing happens unless the
// target is 32-bit and first and second are 24-bit and of equal size; a
// target (or alpha bitmap) of another size is written only where it overlaps
// them, from the top-left corner.
void MixToBitmap32(TBitmap& target32, const TBitmap& first, const TBitmap& second,
                   std::uint8_t alpha);
// The same with a per-pixel alpha taken from alphaBitmap's byte at the same
// place (24-bit: each channel uses its own byte).
void MixToBitmap32(TBitmap& target32, const TBitmap& first, const TBitmap& second,
                   const TBitmap& alphaBitmap);

// Copies the ring of width borderWidth around the width x height area at
// (x, y) from source at (sourceX, sourceY): left, top, right and bottom strips.
// The inside is left untouched.
void CopyBorderRing(TBitmap& destination, int x, int y, int borderWidth, int sourceY, int sourceX,
                    const TBitmap& source, int height, int width);

}  // namespace vm
