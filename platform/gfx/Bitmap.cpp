#include "platform/gfx/Bitmap.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace vm {

TBitmap::TBitmap(int width, int height, TPixelFormat format, bool bottomUp) {
  Reset(width, height, format, bottomUp);
}

TBitmap::TBitmap(const TBitmap&) = default;
TBitmap& TBitmap::operator=(const TBitmap&) = default;

TBitmap::TBitmap(TBitmap&& o) noexcept
    : width_(o.width_),
      height_(o.height_),
      stride_(o.stride_),
      format_(o.format_),
      bottomUp_(o.bottomUp_),
      data_(std::move(o.data_)) {
  o.width_ = o.height_ = o.stride_ = 0;
}

TBitmap& TBitmap::operator=(TBitmap&& o) noexcept {
  if (this != &o) {
    width_ = o.width_;
    height_ = o.height_;
    stride_ = o.stride_;
    format_ = o.format_;
    bottomUp_ = o.bottomUp_;
    data_ = std::move(o.data_);
    o.width_ = o.height_ = o.stride_ = 0;
  }
  return *this;
}

void TBitmap::Reset(int width, int height, TPixelFormat format, bool bottomUp) {
  Allocate(width, height, format, bottomUp, true);
}

TBitmap TBitmap::Unfilled(int width, int height, TPixelFormat format, bool bottomUp) {
  TBitmap b;
  b.Allocate(width, height, format, bottomUp, false);
  return b;
}

void TBitmap::Allocate(int width, int height, TPixelFormat format, bool bottomUp, bool fill) {
  if (width < 0 || height < 0 || width > MaxBitmapSide || height > MaxBitmapSide ||
      std::int64_t(width) * height > MaxBitmapPixels) {
    throw std::invalid_argument("bitmap size " + std::to_string(width) + " x " +
                                std::to_string(height) + " is not possible");
  }
  format_ = format;
  bottomUp_ = bottomUp;
  if (width == 0 || height == 0) width = height = 0;
  width_ = width;
  height_ = height;
  stride_ = (width * BytesPerPixel() + 3) & ~3;
  const std::size_t bytes = std::size_t(stride_) * std::size_t(height_);
  if (fill) {
    data_.assign(bytes, 0);
    return;
  }
  data_.clear();
  data_.resize(bytes);
  const std::size_t used = std::size_t(width_) * std::size_t(BytesPerPixel());
  if (used < std::size_t(stride_))
    for (int row = 0; row < height_; ++row)
      std::memset(data_.data() + std::size_t(row) * std::size_t(stride_) + used, 0,
                  std::size_t(stride_) - used);
}

void TBitmap::SetSize(int width, int height) {
  Reset(width, height, format_, bottomUp_);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == format_) return;
  TBitmap converted(width_, height_, format, bottomUp_);
  const int srcBpp = BytesPerPixel(), dstBpp = converted.BytesPerPixel();
  // Rows keep their stored order, so both bitmaps are walked in memory order.
  for (int row = 0; row < height_; ++row) {
    const std::uint8_t* s = data_.data() + std::size_t(row) * std::size_t(stride_);
    std::uint8_t* d = converted.data_.data() + std::size_t(row) * std::size_t(converted.stride_);
    // Colour bytes are kept; a new alpha byte starts at 0 (the constructor
    // zeroed it) and an old one is dropped.
    for (int x = 0; x < width_; ++x, s += srcBpp, d += dstBpp) {
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
    }
  }
  *this = std::move(converted);
}

TColor TBitmap::GetPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const std::uint8_t* p = ScanLine(y) + x * BytesPerPixel();
  return RGB(p[2], p[1], p[0]);
}

void TBitmap::SetPixel(int x, int y, TColor c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  std::uint8_t* p = ScanLine(y) + x * BytesPerPixel();
  p[0] = std::uint8_t(GetBValue(c));
  p[1] = std::uint8_t(GetGValue(c));
  p[2] = std::uint8_t(GetRValue(c));
}

std::uint8_t TBitmap::GetAlpha(int x, int y) const {
  if (format_ != TPixelFormat::pf32bit || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return ScanLine(y)[x * 4 + 3];
}

void TBitmap::SetAlpha(int x, int y, std::uint8_t a) {
  if (format_ != TPixelFormat::pf32bit || x < 0 || y < 0 || x >= width_ || y >= height_) return;
  ScanLine(y)[x * 4 + 3] = a;
}

void TBitmap::Fill(TColor c) {
  const std::uint8_t b = std::uint8_t(GetBValue(c)), g = std::uint8_t(GetGValue(c)),
                     r = std::uint8_t(GetRValue(c));
  const int bpp = BytesPerPixel();
  for (int y = 0; y < height_; ++y) {
    std::uint8_t* p = ScanLine(y);
    for (int x = 0; x < width_; ++x, p += bpp) {
      p[0] = b;
      p[1] = g;
      p[2] = r;
    }
  }
}

bool TBitmap::SamePixels(const TBitmap& o) const {
  if (width_ != o.width_ || height_ != o.height_ || format_ != o.format_) return false;
  const std::size_t rowBytes = std::size_t(width_) * BytesPerPixel();
  for (int y = 0; y < height_; ++y)
    if (std::memcmp(ScanLine(y), o.ScanLine(y), rowBytes) != 0) return false;
  return true;
}

}  // namespace vm
