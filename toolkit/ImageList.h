// TImageList: a component holding a row of equally sized images (toolbar
// and menu glyphs) over the platform's image list (platform/gfx/ImageList.h),
// which List() hands out without copying.
//
// Add takes a TBitmap as wide as one or more images (one image per whole
// item width; a narrower or lower bitmap gives one padded image) with an optional mask bitmap
// (non-black = transparent); AddMasked makes every pixel of one colour
// transparent. Changing Width or Height empties the list, as its images no
// longer fit. Draw with Enabled false draws the image greyed (each visible
// pixel's grey value lightened halfway to white).
#pragma once

#include <functional>
#include <string>

#include "platform/gfx/ImageList.h"
#include "toolkit/Component.h"

namespace vm::tk {

class TBitmap;
class TCanvas;

class TImageList : public TComponent {
 public:
  explicit TImageList(TComponent* owner = nullptr);
  ~TImageList() override;

  std::string ClassName() const override { return "TImageList"; }

  int Width() const { return list_.Width(); }
  int Height() const { return list_.Height(); }
  // At least 1; a new size clears the list.
  void SetWidth(int width);
  void SetHeight(int height);
  int Count() const { return list_.Count(); }

  // Both return the index of the first image added; a null or empty image
  // raises EInvalidOperation.
  int Add(const TBitmap* image, const TBitmap* mask = nullptr);
  int AddMasked(const TBitmap* image, TColor maskColor);
  // Index out of range raises EInvalidOperation ("List index out of bounds").
  void Delete(int index);
  void Clear();
  // Copies one image into bitmap (resized to the list's item size, pf24bit;
  // transparent pixels become the list's BkColor or black).
  void GetBitmap(int index, TBitmap& bitmap) const;

  // Draws an image with its top-left at (x, y); an index out of range draws nothing.
  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;

  vm::TImageList& List() { return list_; }
  const vm::TImageList& List() const { return list_; }

  std::function<void()> OnChange;

 private:
  void CheckIndex(int index) const;
  void Changed() {
    if (OnChange) OnChange();
  }

  vm::TImageList list_;
};

}  // namespace vm::tk
