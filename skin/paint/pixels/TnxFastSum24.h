// The two-bitmap blender behind every fade and see-through mix:
// D = (D * Weight + S * (255 - Weight) + 127) >> 8 per byte.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/gfx/Bitmap.h"

namespace vm {

class TnxFastSum24 {
 public:
  const TBitmap* Source = nullptr;
  TBitmap* Dest = nullptr;
  std::int32_t Width = 0;   // the smaller width of the two
  std::int32_t Height = 0;  // the smaller height of the two
  const std::uint8_t* SourceStart = nullptr;
  std::uint8_t* DestStart = nullptr;
  std::ptrdiff_t SourceRowStep = 0;
  std::ptrdiff_t DestRowStep = 0;
  std::uint8_t Weight = 0;  // weight of the destination
  // Destination and source rectangles of the same size; Right/Bottom exclusive.
  std::int32_t DestLeft = 0, DestTop = 0, DestRight = 0, DestBottom = 0;
  std::int32_t SourceLeft = 0, SourceTop = 0, SourceRight = 0, SourceBottom = 0;

  // Fails when either bitmap is narrower or lower than 2 pixels or not 24-bit;
  // otherwise records both bitmaps, the smaller size, starts and row steps.
  bool Attach(const TBitmap& source, TBitmap& dest);

  // Blends the source rectangle into the destination rectangle, rows from the
  // bottom up and bytes from the right end of each row backwards (which
  // decides the result only when a bitmap is blended into itself). The
  // destination rectangle, with the source rectangle moving along, is first
  // cut to both bitmaps, so no rectangle can make it leave a bitmap.
  void Blend();
};

}  // namespace vm
