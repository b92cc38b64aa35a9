// PNG files through libpng: screenshots, previews and golden pictures of tests.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"

namespace vm {

class TPngError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Encodes a bitmap: 24-bit bitmaps as RGB, 32-bit bitmaps as RGBA.
std::vector<std::uint8_t> EncodePng(const TBitmap& bmp);
void SavePngFile(const std::string& path, const TBitmap& bmp);

// Decodes any PNG (palette, grey, 16-bit, interlaced, with or without alpha)
// into a top-down bitmap of the given format; alpha is kept only in 32-bit
// bitmaps. Throws TPngError for damaged files or sizes above the bitmap limits.
TBitmap DecodePng(std::span<const std::uint8_t> file, TPixelFormat format = TPixelFormat::pf24bit);
TBitmap LoadPngFile(const std::string& path, TPixelFormat format = TPixelFormat::pf24bit);

}  // namespace vm
