// TIcon: the program's icon, held as a large and a small 32-bit picture with
// alpha (32 x 32 and 16 x 16 on this platform, GetSystemMetrics(SM_CXICON)
// and SM_CXSMICON). It is made from the program's own bitmaps (SetImages or
// Assign of a TBitmap; a transparent bitmap's key colour becomes fully
// transparent), or read from an .ico file. A missing size is scaled from the
// other (smoothly), so Handle() and SmallHandle() always give both icons for
// WM_SETICON; a small picture of another size is scaled to the small size.
// The platform icons are made on first use and freed with the
// TIcon or when its pictures change.
//
// Files and streams are .ico files: reading takes entries stored as PNG or as
// device-independent bitmaps of any depth the BMP reader knows (with their
// AND masks); writing stores each size as a 32-bit entry with its mask.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/win/WinDefs.h"
#include "toolkit/Graphic.h"

namespace vm::tk {

class TBitmap;

class TIcon : public TGraphic {
 public:
  TIcon() = default;
  ~TIcon() override;

  std::string ClassName() const override { return "TIcon"; }

  bool Empty() const override { return large_.Empty(); }
  int Width() const override { return large_.Width(); }
  int Height() const override { return large_.Height(); }
  // An icon's sizes are those of its pictures: both raise EInvalidGraphicOperation.
  void SetWidth(int width) override;
  void SetHeight(int height) override;

  // Either may be null or empty (the other is then scaled to its size); both
  // empty make the icon empty.
  void SetImages(const TBitmap* smallImage, const TBitmap* largeImage);
  void SetImages(const vm::TBitmap& smallImage, const vm::TBitmap& largeImage);
  const vm::TBitmap& LargeImage() const { return large_; }
  const vm::TBitmap& SmallImage() const { return small_; }

  // Platform icons of the two sizes (nullptr for an empty icon).
  HICON Handle();
  HICON SmallHandle();

  void LoadFromFile(const std::string& fileName) override;
  void LoadFromStream(std::istream& stream) override;
  void SaveToStream(std::ostream& stream) override;
  void LoadFromBytes(std::span<const std::uint8_t> bytes);
  std::vector<std::uint8_t> SaveToBytes() const;

  // Takes a TIcon, or a TBitmap as the large picture.
  void Assign(const TGraphic& source) override;

 protected:
  // The size closest to rect's (alpha-blended, scaled when it differs).
  void Draw(TCanvas& canvas, const TRect& rect) override;

 private:
  void SetPictures(vm::TBitmap smallImage, vm::TBitmap largeImage);
  void FreeHandles();

  vm::TBitmap large_;  // 32-bit with alpha
  vm::TBitmap small_;
  HICON handle_ = nullptr;
  HICON smallHandle_ = nullptr;
};

}  // namespace vm::tk
