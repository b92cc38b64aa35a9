// Feeds arbitrary text to the gradient parser and paints whatever it accepts
// into small bitmaps of both row orders, with rectangles taken from the input.
// Conversion errors are fine; crashes and sanitizer reports are not.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "skin/paint/pixels/Gradient.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first 8 bytes, when present, place the painted rectangle.
  std::int16_t r[4] = {0, 0, 40, 30};
  if (size >= sizeof r) {
    std::memcpy(r, data, sizeof r);
    data += sizeof r;
    size -= sizeof r;
  }
  vm::TsGradArray array;
  try {
    vm::ParseGradient(std::string_view(reinterpret_cast<const char*>(data), size), array);
  } catch (const vm::EConvertError&) {
  }
  for (bool bottomUp : {false, true}) {
    vm::TBitmap bitmap(40, 30, vm::TPixelFormat::pf24bit, bottomUp);
    vm::PaintGradient(bitmap, {r[0], r[1], r[2], r[3]}, array);
  }
  return 0;
}
