#include "skin/frame/TitleButtons.h"

#include <algorithm>

#include "skin/frame/TitleMasks.h"
#include "skin/paint/pixels/PixelOps.h"

namespace vm {

TsTitleButton::TsTitleButton(TsTitleButtons* collection) : collection_(collection) {}

void TsTitleButton::SetGlyph(const tk::TBitmap& value) {
  glyph_.Assign(value);
  Changed();
}

void TsTitleButton::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  Changed();
}

void TsTitleButton::SetUseSkinData(bool value) {
  if (value == useSkinData_) return;
  useSkinData_ = value;
  Changed();
}

void TsTitleButton::Changed() {
  if (collection_) collection_->Notify(this);
}

int TsTitleButton::Index() const {
  return collection_ ? collection_->IndexOf(this) : -1;
}

int TsTitleButton::ButtonWidth(const TsSkinModel* skin, int titleButtonMask) const {
  const int cell =
      skin ? TitleMaskCell(*skin, titleButtonMask, TitleButtonFallback).cx : TitleButtonFallback.cx;
  return std::max(glyph_.Width() + 2, cell);
}

void TsTitleButton::DrawGlyph(TBitmap& cache, bool pressed) const {
  const TBitmap& g = glyph_.Image();
  if (g.Empty()) return;
  const TRect& r = Data.Rect;
  const int x0 = r.Left + (r.Width() - g.Width()) / 2 + (pressed ? 1 : 0);
  const int y0 = r.Top + (r.Height() - g.Height()) / 2 + (pressed ? 1 : 0);
  // Only the button's own rectangle (and the cache) may be painted.
  const TRect clip = r.Intersect({0, 0, cache.Width(), cache.Height()});
  const TRect to = Bounds(x0, y0, g.Width(), g.Height()).Intersect(clip);
  if (to.IsEmpty()) return;
  // The glyph's bottom-left pixel is its transparent colour.
  const TColor key = g.GetPixel(0, g.Height() - 1) & 0xFFFFFF;
  CopyRectWithKey(cache, g, to.Left, to.Top, key,
                  TRect{to.Left - x0, to.Top - y0, to.Right - 1 - x0, to.Bottom - 1 - y0});
}

TsTitleButton* TsTitleButtons::Add() {
  items_.push_back(std::make_unique<TsTitleButton>(this));
  TsTitleButton* b = items_.back().get();
  Notify(nullptr);
  return b;
}

TsTitleButton* TsTitleButtons::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[std::size_t(index)].get();
}

void TsTitleButtons::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
  Notify(nullptr);
}

void TsTitleButtons::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Notify(nullptr);
}

int TsTitleButtons::IndexOf(const TsTitleButton* button) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == button) return int(i);
  return -1;
}

void TsTitleButtons::UpdateMasks(int titleButtonMask) {
  for (auto& b : items_) b->Data.MaskIndex = b->UseSkinData() ? titleButtonMask : -1;
}

}  // namespace vm
