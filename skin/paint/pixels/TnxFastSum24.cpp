#include "skin/paint/pixels/TnxFastSum24.h"

#include <algorithm>

#include "skin/paint/pixels/Kernels.h"
#include "skin/paint/pixels/PieceClip.h"

namespace vm {

using i64 = std::int64_t;

bool TnxFastSum24::Attach(const TBitmap& source, TBitmap& dest) {
  if (source.Width() < 2 || source.Height() < 2 || dest.Width() < 2 || dest.Height() < 2 ||
      !Is24(source) || !Is24(dest)) {
    Width = 0;
    return false;
  }
  Source = &source;
  Dest = &dest;
  Width = std::min(source.Width(), dest.Width());
  Height = std::min(source.Height(), dest.Height());
  SourceStart = source.Start();
  DestStart = dest.Start();
  SourceRowStep = source.RowStep();
  DestRowStep = dest.RowStep();
  return true;
}

void TnxFastSum24::Blend() {
  if (!Source || !Dest || Width == 0) return;
  // Callers set both rectangles; they are cut to both bitmaps here so that a
  // rectangle reaching outside can never make the walk leave a bitmap.
  TPiece p;
  p.X[0] = DestLeft;
  p.Y[0] = DestTop;
  p.X[1] = SourceLeft;
  p.Y[1] = SourceTop;
  p.W = i64(DestRight) - DestLeft;
  p.H = i64(DestBottom) - DestTop;
  const TBitmap* bitmaps[2] = {Dest, Source};
  if (!ClipPiece(p, bitmaps, 2)) return;

  const unsigned w = Weight;
  const i64 bytes = p.W * 3;
  const bool aliased = Source == Dest;
  if (aliased) {
    // One bitmap blended into itself: rows and bytes in the blender's own
    // backward order, which decides what an overlapping source reads.
    for (i64 y = p.H - 1; y >= 0; --y) {
      std::uint8_t* d = DestStart + (p.Y[0] + y) * DestRowStep + p.X[0] * 3;
      const std::uint8_t* s = SourceStart + (p.Y[1] + y) * SourceRowStep + p.X[1] * 3;
      BlendBytesBackwardAliased(d, s, bytes, w);
    }
    return;
  }
  // Separate bitmaps: every byte is independent, so the rows go in the
  // destination's memory order, which the processor's prefetch follows.
  // When the source is stored the other way up, its rows are met in falling
  // memory order, which the prefetch does not follow: the next source row
  // is asked for while this one is blended.
  const bool down = DestRowStep > 0;
  const bool against = (SourceRowStep > 0) != down;
  for (i64 k = 0; k < p.H; ++k) {
    const i64 y = down ? k : p.H - 1 - k;
    std::uint8_t* d = DestStart + (p.Y[0] + y) * DestRowStep + p.X[0] * 3;
    const std::uint8_t* s = SourceStart + (p.Y[1] + y) * SourceRowStep + p.X[1] * 3;
    if (against && k + 1 < p.H) {
      const std::uint8_t* next = s + (down ? SourceRowStep : -SourceRowStep);
      for (i64 at = 0; at < bytes; at += 64) __builtin_prefetch(next + at);
    }
    BlendBytes(d, s, bytes, w);
  }
}

}  // namespace vm
