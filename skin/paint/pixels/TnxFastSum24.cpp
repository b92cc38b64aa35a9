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
  for (i64 y = p.H - 1; y >= 0; --y) {
    std::uint8_t* d = DestStart + (p.Y[0] + y) * DestRowStep + p.X[0] * 3;
    const std::uint8_t* s = SourceStart + (p.Y[1] + y) * SourceRowStep + p.X[1] * 3;
    if (aliased)
      BlendBytesBackwardAliased(d, s, bytes, w);
    else
      BlendBytes(d, s, bytes, w);
  }
}

}  // namespace vm
