#include "toolkit/ImageList.h"

#include <cstdint>
#include <vector>

#include "platform/gfx/DC.h"
#include "platform/gfx/SysColors.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Canvas.h"
#include "toolkit/SysUtils.h"

namespace vm::tk {

TImageList::TImageList(TComponent* owner) : TComponent(owner), list_(16, 16) {}

TImageList::~TImageList() = default;

void TImageList::SetWidth(int width) {
  width = std::max(width, 1);
  if (width == list_.Width()) return;
  TColor bk = list_.BkColor();
  list_ = vm::TImageList(width, list_.Height());
  list_.SetBkColor(bk);
  Changed();
}

void TImageList::SetHeight(int height) {
  height = std::max(height, 1);
  if (height == list_.Height()) return;
  TColor bk = list_.BkColor();
  list_ = vm::TImageList(list_.Width(), height);
  list_.SetBkColor(bk);
  Changed();
}

int TImageList::Add(const TBitmap* image, const TBitmap* mask) {
  if (!image || image->Empty())
    throw EInvalidOperation("Пустой рисунок нельзя добавить в список изображений");
  int index = list_.Add(image->Image(), mask && !mask->Empty() ? &mask->Image() : nullptr);
  Changed();
  return index;
}

int TImageList::AddMasked(const TBitmap* image, TColor maskColor) {
  if (!image || image->Empty())
    throw EInvalidOperation("Пустой рисунок нельзя добавить в список изображений");
  int index = list_.AddMasked(image->Image(), ColorToRGB(maskColor));
  Changed();
  return index;
}

void TImageList::CheckIndex(int index) const {
  if (index < 0 || index >= list_.Count())
    throw EInvalidOperation("Номер в списке изображений вне границ (" + std::to_string(index) +
                            ")");
}

void TImageList::Delete(int index) {
  CheckIndex(index);
  list_.Delete(index);
  Changed();
}

void TImageList::Clear() {
  if (list_.Count() == 0) return;
  list_.Clear();
  Changed();
}

void TImageList::GetBitmap(int index, TBitmap& bitmap) const {
  CheckIndex(index);
  vm::TBitmap out(list_.Width(), list_.Height(), vm::TPixelFormat::pf24bit);
  if (list_.BkColor() != clNone) out.Fill(ColorToRGB(list_.BkColor()));
  list_.Draw(out, 0, 0, index);
  bitmap.TakeImage(std::move(out));
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
  if (index < 0 || index >= list_.Count()) return;
  TDC* dc = canvas.Handle();
  if (!dc) return;
  if (enabled) {
    list_.Draw(*dc, x, y, index);
  } else {
    // Disabled: each opaque pixel a light grey of its own brightness. The
    // greys are composed in memory and copied with black, which none of them
    // is (they are all at least 127), left out where the image is transparent.
    const int w = list_.Width(), h = list_.Height();
    const std::vector<std::uint8_t> opaque = list_.Shape(index, [](TColor) { return true; });
    vm::TBitmap greys(w, h, vm::TPixelFormat::pf24bit);
    greys.Fill(0);
    const vm::TBitmap& image = list_.Image(index);
    const int bpp = image.BytesPerPixel();
    for (int j = 0; j < h; ++j) {
      const std::uint8_t* o = opaque.data() + std::size_t(j) * std::size_t(w);
      const std::uint8_t* p = image.ScanLine(j);
      std::uint8_t* g = greys.ScanLine(j);
      for (int i = 0; i < w; ++i, p += bpp, g += 3) {
        if (!o[i]) continue;
        const int grey = (p[2] * 77 + p[1] * 151 + p[0] * 28) >> 8;
        g[0] = g[1] = g[2] = std::uint8_t((grey + 255) / 2);
      }
    }
    dc->TransparentBlt(x, y, w, h, greys, 0, 0, RGB(0, 0, 0));
  }
  if (canvas.OnChange) canvas.OnChange();
}

}  // namespace vm::tk
