#include "platform/gfx/ImageList.h"

#include <algorithm>

#include "platform/gfx/DC.h"
#include "platform/gfx/SysColors.h"

namespace vm {

TImageList::TImageList(int width, int height)
    : width_(std::clamp(width, 1, MaxBitmapSide)), height_(std::clamp(height, 1, MaxBitmapSide)) {}

int TImageList::AddItem(const TBitmap& image, int left, const TBitmap* mask, bool useKey,
                        TColor key) {
  TItem item{TBitmap(width_, height_), TBitmap()};
  const bool masked = useKey || mask;
  if (masked) {
    item.Mask = TBitmap(width_, height_);
    item.Mask.Fill(clWhite);  // padding is transparent
  }
  const TColor k = key & 0xFFFFFF;
  for (int y = 0; y < std::min(height_, image.Height()); ++y)
    for (int x = 0; x < width_ && left + x < image.Width(); ++x) {
      const TColor c = image.GetPixel(left + x, y);
      bool transparent = false;
      if (useKey)
        transparent = c == k;
      else if (mask)
        transparent =
            mask->GetPixel(left + x, y) != 0 || left + x >= mask->Width() || y >= mask->Height();
      if (masked) item.Mask.SetPixel(x, y, transparent ? clWhite : clBlack);
      if (!transparent) item.Image.SetPixel(x, y, c);
    }
  items_.push_back(std::move(item));
  return int(items_.size()) - 1;
}

int TImageList::Add(const TBitmap& image, const TBitmap* mask) {
  const int count = std::max(1, image.Width() / width_);
  const int first = Count();
  for (int i = 0; i < count; ++i) AddItem(image, i * width_, mask, false, 0);
  return first;
}

int TImageList::AddMasked(const TBitmap& image, TColor maskColor) {
  const int count = std::max(1, image.Width() / width_);
  const int first = Count();
  const TColor key = ColorToRGB(maskColor);
  for (int i = 0; i < count; ++i) AddItem(image, i * width_, nullptr, true, key);
  return first;
}

void TImageList::Delete(int index) {
  if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
}

bool TImageList::IsTransparent(int index, int x, int y) const {
  const TItem& item = items_.at(std::size_t(index));
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return true;
  return !item.Mask.Empty() && item.Mask.GetPixel(x, y) != 0;
}

bool TImageList::Draw(TDC& dc, int x, int y, int index) const {
  if (index < 0 || index >= Count()) return false;
  const TItem& item = items_[std::size_t(index)];
  if (item.Mask.Empty()) return dc.BitBlt(x, y, width_, height_, item.Image, 0, 0, SRCCOPY);
  // The platform's transparent draw: the mask keeps the destination where it
  // is white and clears it where it is black; the image (black where
  // transparent) is then OR-ed in.
  return dc.BitBlt(x, y, width_, height_, item.Mask, 0, 0, SRCAND) &&
         dc.BitBlt(x, y, width_, height_, item.Image, 0, 0, SRCPAINT);
}

bool TImageList::Draw(TBitmap& target, int x, int y, int index) const {
  TDC dc(target);
  return Draw(dc, x, y, index);
}

}  // namespace vm
