// A list of equally sized images, each with an optional transparency mask,
// as toolbars, menus and glyph buttons use it.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Types.h"

namespace vm {

class TDC;

class TImageList {
 public:
  // Item size; both at least 1 (smaller values are raised to 1).
  TImageList(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Count() const { return int(items_.size()); }

  // Background colour drawn under transparent pixels by ImageListItemToBitmap
  // style users; clNone (magenta) means the list has none.
  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor c) { bkColor_ = c; }

  // Adds the images of a strip: a bitmap as wide as several items gives one
  // image per whole item width (at least one; narrower or lower bitmaps are
  // padded with black). mask, when given, marks transparent pixels with a
  // non-black pixel at the same place, as on the platform. Returns the index
  // of the first added image.
  int Add(const TBitmap& image, const TBitmap* mask = nullptr);
  // The same, with every pixel of maskColor transparent.
  int AddMasked(const TBitmap& image, TColor maskColor);
  void Delete(int index);
  void Clear() { items_.clear(); }

  // The image and mask of an item (mask white = transparent, black = opaque;
  // an item without a mask is opaque). Index must be valid.
  const TBitmap& Image(int index) const { return items_.at(std::size_t(index)).Image; }
  bool HasMask(int index) const { return !items_.at(std::size_t(index)).Mask.Empty(); }
  bool IsTransparent(int index, int x, int y) const;
  // One byte per pixel of item index, row j at j * Width(): 1 where the pixel
  // is opaque and keep(its colour) holds, 0 elsewhere. Read row by row; for
  // drawing an image's shape in one colour with TDC::FillMasked.
  template <class F>
  std::vector<std::uint8_t> Shape(int index, F&& keep) const;

  // Draws item index with its top-left corner at (x, y) in logical
  // coordinates, leaving the destination under transparent pixels as it was.
  // Returns false for an invalid index.
  bool Draw(TDC& dc, int x, int y, int index) const;
  bool Draw(TBitmap& target, int x, int y, int index) const;

 private:
  struct TItem {
    TBitmap Image;  // transparent pixels are black, so the image can be OR-ed in
    TBitmap Mask;   // empty, or white where transparent
  };
  int AddItem(const TBitmap& image, int left, const TBitmap* mask, bool useKey, TColor key);

  int width_;
  int height_;
  TColor bkColor_ = clNone;
  std::vector<TItem> items_;
};

template <class F>
std::vector<std::uint8_t> TImageList::Shape(int index, F&& keep) const {
  const TItem& item = items_.at(std::size_t(index));
  std::vector<std::uint8_t> shape(std::size_t(width_) * std::size_t(height_));
  const int ibpp = item.Image.BytesPerPixel(), mbpp = item.Mask.BytesPerPixel();
  for (int y = 0; y < height_; ++y) {
    const std::uint8_t* p = item.Image.ScanLine(y);
    const std::uint8_t* m = item.Mask.Empty() ? nullptr : item.Mask.ScanLine(y);
    std::uint8_t* out = shape.data() + std::size_t(y) * std::size_t(width_);
    for (int x = 0; x < width_; ++x, p += ibpp) {
      const bool opaque = !m || (m[0] | m[1] | m[2]) == 0;
      if (m) m += mbpp;
      out[x] = opaque && keep(RGB(p[2], p[1], p[0])) ? 1 : 0;
    }
  }
  return shape;
}

}  // namespace vm
