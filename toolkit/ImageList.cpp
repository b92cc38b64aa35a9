#include "toolkit/ImageList.h"

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
    const vm::TBitmap& image = list_.Image(index);
    for (int j = 0; j < list_.Height(); ++j)
      for (int i = 0; i < list_.Width(); ++i) {
        if (list_.IsTransparent(index, i, j)) continue;
        TColor c = image.GetPixel(i, j);
        int grey = (GetRValue(c) * 77 + GetGValue(c) * 151 + GetBValue(c) * 28) >> 8;
        int light = (grey + 255) / 2;
        dc->SetPixel(x + i, y + j, RGB(light, light, light));
      }
  }
  if (canvas.OnChange) canvas.OnChange();
}

}  // namespace vm::tk
