// Fast reader of a 24-bit bitmap: row start and signed row step computed once.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/gfx/Bitmap.h"

namespace vm {

class TnxFast24 {
 public:
  const TBitmap* Bitmap = nullptr;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::ptrdiff_t RowStep = 0;  // address of row 1 minus address of row 0
  const std::uint8_t* Start = nullptr;

  // Fails (false, Width 0) for a bitmap narrower or lower than 2 pixels or not
  // 24-bit; otherwise records size, start and row step.
  bool Attach(const TBitmap& bitmap);

  // The pixel as $00BBGGRR. No bounds check: 0 <= x < Width, 0 <= y < Height.
  TColor Pixel(int x, int y) const {
    const std::uint8_t* p = Start + y * RowStep + std::ptrdiff_t(x) * 3;
    return TColor(p[2]) | (TColor(p[1]) << 8) | (TColor(p[0]) << 16);
  }
};

}  // namespace vm
