// libFuzzer target for the BMP reader: any input either decodes to a bitmap of
// the size the header declares or throws TBmpError; nothing else may happen.
#include <cstdint>
#include <cstdlib>

#include "platform/gfx/BmpCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vm;
  for (TBmpRowOrder order : {TBmpRowOrder::AsFile, TBmpRowOrder::TopDown}) {
    try {
      TBmpInfo info;
      const TBitmap bmp = ReadBmp({data, size}, order, &info, order == TBmpRowOrder::TopDown);
      if (bmp.Width() != info.Width || bmp.Height() != info.Height) std::abort();
      // Touch every pixel so that a short buffer would be noticed.
      unsigned sum = 0;
      for (int y = 0; y < bmp.Height(); ++y) sum += bmp.ScanLine(y)[bmp.Stride() - 1];
      if (sum == 0xFFFFFFFFu) std::abort();
      // What was read must survive the writer and the reader again.
      if (std::int64_t(bmp.Width()) * bmp.Height() <= 4096) {
        const TBitmap again = ReadBmp(WriteBmp24(bmp));
        TBitmap plain(bmp.Width(), bmp.Height());
        for (int y = 0; y < bmp.Height(); ++y)
          for (int x = 0; x < bmp.Width(); ++x) plain.SetPixel(x, y, bmp.GetPixel(x, y));
        if (!again.SamePixels(plain)) std::abort();
      }
    } catch (const TBmpError&) {
    }
  }
  return 0;
}
