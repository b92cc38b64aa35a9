#include "app/MainEdits.h"

#include <sys/stat.h>
#include <cmath>
#include <exception>
#include <fstream>
#include <iterator>

#include "platform/base/FileBytes.h"
#include "app/SafeFile.h"
#include "app/Values.h"
#include "platform/base/Exceptions.h"

namespace vm::app {

void TShownPicture::LoadFromFile(const std::string& path) {
  std::vector<std::uint8_t> data;
  TBitmap pixels = ReadPictureFile(path, data);
  data_ = std::move(data);
  pixels_ = std::move(pixels);
}

TJpegLimits PictureLimits() {
  return TJpegLimits{};
}

TBitmap ReadPictureFile(const std::string& path, std::vector<std::uint8_t>& data) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) throw Exception("Файл не найден: \"" + path + "\"");
  std::vector<std::uint8_t> bytes = ReadWholeFile(path);
  try {
    TBitmap pixels = DecodeJpeg(bytes, PictureLimits());
    data = std::move(bytes);
    return pixels;
  } catch (const TJpegError& e) {
    throw Exception("Не удалось прочитать изображение JPEG \"" + path +
                    "\": " + JpegFaultText(e.Fault()));
  }
}

TPixelSize ProportionalSize(int width, int height, std::int32_t requestedLength,
                            std::int32_t requestedWidth) {
  if (width <= 0 || height <= 0) throw Exception("Нет изображения для изменения размеров");
  double factor =
      height > width ? double(requestedLength) / height : double(requestedWidth) / width;
  // nearbyint rounds half to even in the default rounding mode.
  auto side = [&](int from) {
    double v = std::nearbyint(from * factor);
    if (!(v >= 1)) return 1.0;  // also catches a NaN
    return v;
  };
  double w = side(width), h = side(height);
  if (w > 1e9 || h > 1e9 || w * h > double(MaxBitmapPixels))
    throw Exception("Изображение " + std::to_string(std::int64_t(w)) + " x " +
                    std::to_string(std::int64_t(h)) + " слишком велико");
  return {int(w), int(h)};
}

std::vector<std::uint8_t> Recompress(const TBitmap& pixels, int quality) {
  if (pixels.Empty()) throw Exception("Нет изображения для сжатия");
  return EncodeJpeg(pixels, quality);
}

std::vector<std::uint8_t> EncodeSampled(const TBitmap& pixels, int newWidth, int newHeight,
                                        int quality) {
  const int W = pixels.Width(), H = pixels.Height();
  if (pixels.Empty() || newWidth <= 0 || newHeight <= 0)
    throw Exception("Нет изображения для изменения размеров");
  const int bpp = pixels.BytesPerPixel();
  // Byte offsets of each column's source pixel, computed once.
  std::vector<std::size_t> column(std::size_t(newWidth), 0);
  for (int x = 0; x < newWidth; ++x) {
    std::int64_t sx = ((2 * std::int64_t(x) + 1) * W - 1) / (2 * std::int64_t(newWidth));
    column[std::size_t(x)] = std::size_t(sx) * std::size_t(bpp);
  }
  std::vector<std::uint8_t> row(std::size_t(newWidth) * 3);
  TJpegEncoder encoder;
  encoder.Begin(newWidth, newHeight, quality);
  std::int64_t lastSy = -1;
  for (int y = 0; y < newHeight; ++y) {
    std::int64_t sy = ((2 * std::int64_t(y) + 1) * H - 1) / (2 * std::int64_t(newHeight));
    if (sy != lastSy) {  // a repeated source row reuses the row already built
      const std::uint8_t* src = pixels.ScanLine(int(sy));
      std::uint8_t* out = row.data();
      for (std::size_t off : column) {
        out[0] = src[off];
        out[1] = src[off + 1];
        out[2] = src[off + 2];
        out += 3;
      }
      lastSy = sy;
    }
    encoder.WriteRow(row);
  }
  return encoder.Finish();
}

namespace {

void RunRecompression(TPictureView& view) {
  std::vector<std::uint8_t> data = Recompress(view.ShownPixels(), Quality);
  WriteFileSafely(WorkCopyPath(), data);
  data.clear();
  data.shrink_to_fit();
  view.LoadFromFile(WorkCopyPath());
  PendingQuality = false;
}

void RunResize(TPictureView& view) {
  std::exception_ptr failure;
  try {
    const TBitmap& shown = view.ShownPixels();
    TPixelSize size =
        ProportionalSize(shown.Width(), shown.Height(), RequestedLength, RequestedWidth);
    std::vector<std::uint8_t> data = EncodeSampled(shown, size.Width, size.Height, 90);
    WriteFileSafely(ResizeWritePath(), data);
    PendingResize = false;
  } catch (...) {
    failure = std::current_exception();
  }
  // The view follows the work copy in every case. After a failed write the
  // reload shows what the work copy held before; when that reload fails too,
  // the first error is the one reported.
  try {
    view.LoadFromFile(WorkCopyPath());
  } catch (...) {
    if (!failure) throw;
  }
  if (failure) std::rethrow_exception(failure);
}

}  // namespace

void RunPendingEdits(TPictureView& view) {
  if (PendingQuality) RunRecompression(view);
  if (PendingResize) RunResize(view);
}

}  // namespace vm::app
