// libFuzzer target for the PNG reader: any input decodes within the bitmap
// limits or throws TPngError.
#include <cstdint>
#include <cstdlib>

#include "platform/gfx/PngCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vm;
  try {
    const TBitmap bmp =
        DecodePng({data, size}, size % 2 ? TPixelFormat::pf32bit : TPixelFormat::pf24bit);
    if (bmp.Empty() || std::int64_t(bmp.Width()) * bmp.Height() > MaxBitmapPixels) std::abort();
  } catch (const TPngError&) {
  }
  return 0;
}
