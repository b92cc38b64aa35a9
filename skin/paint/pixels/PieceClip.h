// Clipping of a piece copied between bitmaps that move together (internal to
// the painting core).
#pragma once

#include <algorithm>
#include <cstdint>

#include "platform/gfx/Bitmap.h"

namespace vm {

// A copy between up to three bitmaps that move together: the pixel at
// offset (i, j) of the piece lies at (X[k] + i, Y[k] + j) in bitmap k.
struct TPiece {
  std::int64_t X[3] = {};
  std::int64_t Y[3] = {};
  std::int64_t W = 0;
  std::int64_t H = 0;
};

// Cuts a piece so that it lies inside every bitmap given: a negative position
// moves every other position on by the same amount and shrinks the piece;
// then the piece is cut at each bitmap's right and bottom edge. Positions are
// 64-bit so no rectangle or point, however far out, can overflow.
inline bool ClipPiece(TPiece& p, const TBitmap* const* bitmaps, int count) {
  for (int k = 0; k < count; ++k) {
    if (p.X[k] < 0) {
      const std::int64_t d = -p.X[k];
      for (int j = 0; j < count; ++j) p.X[j] += d;
      p.W -= d;
    }
    if (p.Y[k] < 0) {
      const std::int64_t d = -p.Y[k];
      for (int j = 0; j < count; ++j) p.Y[j] += d;
      p.H -= d;
    }
  }
  for (int k = 0; k < count; ++k) {
    p.W = std::min(p.W, std::int64_t(bitmaps[k]->Width()) - p.X[k]);
    p.H = std::min(p.H, std::int64_t(bitmaps[k]->Height()) - p.Y[k]);
  }
  return p.W > 0 && p.H > 0;
}

inline bool Is24(const TBitmap& b) {
  return b.PixelFormat() == TPixelFormat::pf24bit;
}

}  // namespace vm
