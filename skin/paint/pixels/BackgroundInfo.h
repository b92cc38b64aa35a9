// What lies behind a surface being painted: usually the parent control's
// cache bitmap and where the surface sits in it.
#pragma once

#include <cstdint>

#include "platform/gfx/Bitmap.h"

namespace vm {

// A plain value record, passed by value. Painting code adds a sub-item's
// position to OffsetX/OffsetY before passing it on, so that pixel (x, y) of
// the item reads the background at (OffsetX + x, OffsetY + y).
struct BackgroundInfo {
  const TBitmap* Bitmap = nullptr;  // not owned
  std::int32_t OffsetX = 0;
  std::int32_t OffsetY = 0;
  // Bitmap holds a valid picture; when 0 the other fields are not used and
  // callers fall back to a solid colour.
  std::uint8_t Ready = 0;
};

}  // namespace vm
