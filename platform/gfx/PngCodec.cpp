#include "platform/gfx/PngCodec.h"
#include "platform/base/FileBytes.h"

#include <png.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace vm {
namespace {

std::vector<std::uint8_t> ReadPngFile(const std::string& path) {
  try {
    return ReadWholeFile(path);
  } catch (const EFileReadError& e) {
    throw TPngError("PNG: " + e.Message());
  }
}

// Frees libpng's reading state on every path out.
struct TImageGuard {
  png_image& Image;
  ~TImageGuard() { png_image_free(&Image); }
};

}  // namespace

std::vector<std::uint8_t> EncodePng(const TBitmap& bmp) {
  if (bmp.Empty()) throw TPngError("PNG: cannot write an empty bitmap");
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(bmp.Width());
  image.height = png_uint_32(bmp.Height());
  image.format = bmp.PixelFormat() == TPixelFormat::pf32bit ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
  // The buffer starts at the first row in memory; a negative stride tells
  // libpng that this is the bottom row.
  const png_int_32 stride = bmp.BottomUp() ? -png_int_32(bmp.Stride()) : png_int_32(bmp.Stride());
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, bmp.Data(), stride, nullptr))
    throw TPngError(std::string("PNG: ") + image.message);
  std::vector<std::uint8_t> out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, bmp.Data(), stride, nullptr))
    throw TPngError(std::string("PNG: ") + image.message);
  out.resize(size);
  return out;
}

void SavePngFile(const std::string& path, const TBitmap& bmp) {
  const std::vector<std::uint8_t> data = EncodePng(bmp);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw TPngError("PNG: cannot create \"" + path + "\"");
  out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
  out.close();
  if (!out) throw TPngError("PNG: cannot write \"" + path + "\"");
}

TBitmap DecodePng(std::span<const std::uint8_t> file, TPixelFormat format) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  TImageGuard guard{image};
  if (!png_image_begin_read_from_memory(&image, file.data(), file.size()))
    throw TPngError(std::string("PNG: ") + image.message);
  if (image.width == 0 || image.height == 0 || image.width > png_uint_32(MaxBitmapSide) ||
      image.height > png_uint_32(MaxBitmapSide) ||
      std::int64_t(image.width) * image.height > MaxBitmapPixels)
    throw TPngError("PNG: size " + std::to_string(image.width) + " x " +
                    std::to_string(image.height) + " is too large");
  // Deflate packs at most 1032 bytes into one, so the file must hold at least
  // 1/1032 of the filtered rows its header declares: a file too small for its
  // size is refused before the memory for it is taken. The rows' size depends
  // on the colour type and bit depth of the header (IHDR is the first chunk,
  // right after the signature; libpng has checked it).
  if (file.size() < 33) throw TPngError("PNG: file too short for its header");
  const std::uint8_t bitDepth = file[24], colourType = file[25], interlace = file[28];
  const int channels = colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
  const std::uint64_t rowBits = std::uint64_t(image.width) * std::uint64_t(channels * bitDepth);
  // Interlaced passes have their own (shorter) rows: count their pixels only.
  const std::uint64_t rawBytes =
      interlace ? (rowBits * image.height + 7) / 8 : ((rowBits + 7) / 8 + 1) * image.height;
  if (rawBytes > std::uint64_t(file.size()) * 1032)
    throw TPngError("PNG: " + std::to_string(file.size()) + " bytes cannot hold " +
                    std::to_string(image.width) + " x " + std::to_string(image.height) + " pixels");
  image.format = format == TPixelFormat::pf32bit ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
  TBitmap bmp(int(image.width), int(image.height), format, false);
  if (!png_image_finish_read(&image, nullptr, bmp.Data(), png_int_32(bmp.Stride()), nullptr))
    throw TPngError(std::string("PNG: ") + image.message);
  return bmp;
}

TBitmap LoadPngFile(const std::string& path, TPixelFormat format) {
  const std::vector<std::uint8_t> data = ReadPngFile(path);
  try {
    return DecodePng(data, format);
  } catch (const TPngError& e) {
    throw TPngError(std::string(e.what()) + " (\"" + path + "\")");
  }
}

}  // namespace vm
