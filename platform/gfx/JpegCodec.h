// JPEG decoding to 24-bit bitmaps and encoding of 24-bit bitmaps, through
// libjpeg-turbo. Every library error becomes a TJpegError with the library's
// message. Decoding enforces limits of its own (pixel count, memory, number of
// progressive scans), because the library trusts the file's header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"

namespace vm {

class TJpegError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TJpegLimits {
  std::int64_t MaxPixels = MaxBitmapPixels;  // width x height
  long MaxMemory = 512L << 20;               // the library's working memory
  int MaxScans = 200;                        // progressive scans
};

struct TJpegInfo {
  int Width = 0;
  int Height = 0;
  int Components = 0;
  bool Progressive = false;
};

// Reads only the header.
TJpegInfo ReadJpegInfo(std::span<const std::uint8_t> file);
// Decodes to a top-down 24-bit bitmap. Greyscale, YCbCr, RGB, CMYK and YCCK
// files are accepted; 12-bit files are reported as unsupported.
TBitmap DecodeJpeg(std::span<const std::uint8_t> file, const TJpegLimits& limits = {});
TBitmap LoadJpegFile(const std::string& path, const TJpegLimits& limits = {});
// Encodes with the library's defaults at a quality of 1-100 (clamped), baseline
// tables, colour, sequential.
std::vector<std::uint8_t> EncodeJpeg(const TBitmap& bitmap, int quality);
void SaveJpegFile(const std::string& path, const TBitmap& bitmap, int quality);

}  // namespace vm
