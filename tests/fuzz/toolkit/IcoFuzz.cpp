// libFuzzer target for the icon file reader: any input either gives an icon
// whose two pictures are 32-bit and at most 1024 pixels a side, or throws
// EInvalidGraphic; what was read survives the writer and the reader again.
#include <cstdint>
#include <cstdlib>

#include "toolkit/Icon.h"
#include "toolkit/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vm;
  tk::TIcon icon;
  try {
    icon.LoadFromBytes({data, size});
  } catch (const EInvalidGraphic&) {
    return 0;
  }
  const TBitmap& large = icon.LargeImage();
  const TBitmap& small = icon.SmallImage();
  if (large.Empty() || small.Empty() || large.BytesPerPixel() != 4 || small.BytesPerPixel() != 4 ||
      large.Width() > 1024 || large.Height() > 1024)
    std::abort();
  tk::TIcon again;
  again.LoadFromBytes(icon.SaveToBytes());
  if (!again.LargeImage().SamePixels(large) || !again.SmallImage().SamePixels(small)) std::abort();
  return 0;
}
