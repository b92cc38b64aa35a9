// libFuzzer target for the JPEG decoder, through the calls a picture takes
// when it is opened (header probe, full decode with the program's limits) and
// when the file dialog previews it (scaled decode). Any input either decodes
// to the size its header declares or throws TJpegError; nothing else may
// happen. What decodes must also survive the encoder.
#include <cstdint>
#include <cstdlib>

#include "platform/gfx/JpegCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vm;
  const std::span<const std::uint8_t> file(data, size);
  TJpegInfo info;
  try {
    info = ReadJpegInfo(file);
  } catch (const TJpegError&) {
    return 0;  // a file whose header cannot be read decodes nowhere
  }
  try {
    const TBitmap bmp =
        DecodeJpeg(file, {}, size % 2 ? TPixelFormat::pf32bit : TPixelFormat::pf24bit);
    if (bmp.Width() != info.Width || bmp.Height() != info.Height) std::abort();
    // Touch the last byte of every row so that a short buffer would be noticed.
    unsigned sum = 0;
    for (int y = 0; y < bmp.Height(); ++y) sum += bmp.ScanLine(y)[bmp.Stride() - 1];
    if (sum == 0xFFFFFFFFu) std::abort();
    if (std::int64_t(bmp.Width()) * bmp.Height() <= 4096) {
      const TBitmap again = DecodeJpeg(EncodeJpeg(bmp, int(size % 100) + 1));
      if (again.Width() != bmp.Width() || again.Height() != bmp.Height()) std::abort();
    }
  } catch (const TJpegError&) {
  }
  try {
    const int box = int(size % 97) + 1;
    const TJpegPreview preview = DecodeJpegScaled(file, box, box);
    const int d = preview.ScaleDenom;
    if (preview.Width != info.Width || preview.Height != info.Height ||
        preview.Bitmap.Width() != (info.Width + d - 1) / d ||
        preview.Bitmap.Height() != (info.Height + d - 1) / d)
      std::abort();
  } catch (const TJpegError&) {
  }
  return 0;
}
