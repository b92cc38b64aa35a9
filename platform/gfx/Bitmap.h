// Device-independent bitmaps of 24 bits (B, G, R) and 32 bits (B, G, R, A).
//
// Rows may be stored top-down or bottom-up. Callers reach pixels through the
// address of row 0 (Start) and the signed distance between row 0 and row 1
// (RowStep): pixel (x, y) is at Start() + y * RowStep() + x * BytesPerPixel().
// Skin images read from BMP files are bottom-up, so both orders matter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "platform/gfx/Types.h"

namespace vm {

enum class TPixelFormat { pf24bit, pf32bit };

// Pixel bytes are default-initialised: growing the storage does not write
// zeros first, so a reader that fills every pixel anyway pays once.
template <class T>
struct TNoFillAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = TNoFillAllocator<U>;
  };
  TNoFillAllocator() = default;
  template <class U>
  TNoFillAllocator(const TNoFillAllocator<U>&) noexcept {}
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

class TBitmap {
 public:
  TBitmap() = default;
  // Creates a bitmap of the given size; pixels start black (alpha 0).
  // Throws std::invalid_argument for negative sizes or sizes too large to hold.
  TBitmap(int width, int height, TPixelFormat format = TPixelFormat::pf24bit,
          bool bottomUp = false);

  // A bitmap whose pixels are left unwritten (only the row padding is
  // zeroed), for readers that write every pixel themselves.
  static TBitmap Unfilled(int width, int height, TPixelFormat format = TPixelFormat::pf24bit,
                          bool bottomUp = false);

  TBitmap(const TBitmap&);
  TBitmap& operator=(const TBitmap&);
  TBitmap(TBitmap&&) noexcept;
  TBitmap& operator=(TBitmap&&) noexcept;
  ~TBitmap() = default;

  int Width() const { return width_; }
  int Height() const { return height_; }
  TPixelFormat PixelFormat() const { return format_; }
  int BytesPerPixel() const { return format_ == TPixelFormat::pf24bit ? 3 : 4; }
  bool BottomUp() const { return bottomUp_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }

  // Bytes of one stored row, padded to a multiple of 4 as on the platform.
  int Stride() const { return stride_; }
  // Address of row 1 minus address of row 0; negative for bottom-up storage.
  std::ptrdiff_t RowStep() const { return bottomUp_ ? -std::ptrdiff_t(stride_) : stride_; }
  std::uint8_t* Start() { return Empty() ? nullptr : ScanLine(0); }
  const std::uint8_t* Start() const { return Empty() ? nullptr : ScanLine(0); }
  std::uint8_t* ScanLine(int y) {
    return data_.data() + std::size_t(bottomUp_ ? height_ - 1 - y : y) * std::size_t(stride_);
  }
  const std::uint8_t* ScanLine(int y) const {
    return data_.data() + std::size_t(bottomUp_ ? height_ - 1 - y : y) * std::size_t(stride_);
  }

  // Changes the size; contents become black.
  void SetSize(int width, int height);
  // Converts the pixels to the format: 24 to 32 bits gives every pixel alpha
  // 0, 32 to 24 bits drops the alpha byte. Colours and row order are kept.
  void SetPixelFormat(TPixelFormat format);
  // Changes size, format and row order; contents become black.
  void Reset(int width, int height, TPixelFormat format, bool bottomUp = false);

  // Checked single-pixel access as $00BBGGRR (alpha ignored); for tests and
  // rare uses, never for inner loops. Out-of-range reads give 0, writes do nothing.
  TColor GetPixel(int x, int y) const;
  void SetPixel(int x, int y, TColor c);
  // Alpha byte of a 32-bit bitmap (0 for 24-bit).
  std::uint8_t GetAlpha(int x, int y) const;
  void SetAlpha(int x, int y, std::uint8_t a);

  // Fills the whole bitmap with a resolved colour (alpha of 32-bit pixels untouched).
  void Fill(TColor c);

  // Raw storage in memory order (bottom row first for bottom-up bitmaps).
  std::uint8_t* Data() { return data_.data(); }
  const std::uint8_t* Data() const { return data_.data(); }
  std::size_t DataSize() const { return data_.size(); }

  bool SamePixels(const TBitmap& other) const;

 private:
  int width_ = 0;
  int height_ = 0;
  int stride_ = 0;
  TPixelFormat format_ = TPixelFormat::pf24bit;
  bool bottomUp_ = false;
  std::vector<std::uint8_t, TNoFillAllocator<std::uint8_t>> data_;

  void Allocate(int width, int height, TPixelFormat format, bool bottomUp, bool fill);
};

// The largest bitmap side the program accepts anywhere; larger requests are
// refused before any allocation.
constexpr int MaxBitmapSide = 1 << 16;
// The largest number of pixels of one bitmap (a 16384 x 16384 picture).
constexpr std::int64_t MaxBitmapPixels = std::int64_t(1) << 28;

}  // namespace vm
