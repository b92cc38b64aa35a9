// TBitmap: a picture held as platform pixels, with a canvas to draw on it.
//
// The pixels are a vm::TBitmap (platform/gfx/Bitmap.h) that this object owns:
// Image() hands it out by reference, so the skin engine's painters and the
// platform's blits work on the same pixels without a copy, and TakeImage /
// ReleaseImage move a platform bitmap in or out. The canvas draws on the same
// store through a device context, and changes made through either show up in
// both. ScanLine(y) is row y from the top whatever the row order.
//
// PixelFormat: pf24bit (B, G, R) and pf32bit (B, G, R, A). pfDevice is the
// display's own format: the window system's stores are 24-bit, so a pfDevice
// bitmap keeps 24-bit pixels and reports pfDevice. Changing the format keeps
// the picture; changing the size keeps the overlapping part and makes the
// rest black.
//
// Files and streams are BMP: any BMP the platform reader takes can be loaded
// (a 32-bit file gives pf32bit with its alpha, every other depth pf24bit);
// 24-bit and pfDevice bitmaps are written as 24-bit files, 32-bit ones as
// 32-bit files with their alpha. An empty bitmap writes nothing and an empty
// stream loads an empty bitmap.
//
// Transparent drawing: with Transparent set, pixels of TransparentColor leave
// the canvas below unchanged. The colour is the bottom-left pixel's unless
// TransparentMode is tmFixed.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "toolkit/Canvas.h"
#include "toolkit/Graphic.h"

namespace vm::tk {

enum TPixelFormat { pfDevice, pf24bit, pf32bit };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap : public TGraphic {
 public:
  TBitmap();
  TBitmap(int width, int height, TPixelFormat format = pf24bit);
  ~TBitmap() override;

  std::string ClassName() const override { return "TBitmap"; }

  bool Empty() const override { return image_.Empty(); }
  int Width() const override { return image_.Width(); }
  int Height() const override { return image_.Height(); }
  // Negative sizes are taken as 0; sizes beyond MaxBitmapSide or
  // MaxBitmapPixels raise EInvalidGraphicOperation.
  void SetWidth(int width) override;
  void SetHeight(int height) override;
  void SetSize(int width, int height);

  TPixelFormat PixelFormat() const { return format_; }
  void SetPixelFormat(TPixelFormat format);

  // Row y from the top; EInvalidGraphicOperation outside 0..Height-1.
  std::uint8_t* ScanLine(int y);
  const std::uint8_t* ScanLine(int y) const;

  TCanvas& Canvas();

  // The platform pixels (no copy).
  vm::TBitmap& Image() { return image_; }
  const vm::TBitmap& Image() const { return image_; }
  const vm::TBitmap* DecodedPixels() override { return &image_; }
  // Moves a platform bitmap in (its 32-bit or 24-bit format becomes
  // pf32bit or pf24bit) or out (this bitmap is then empty).
  void TakeImage(vm::TBitmap&& image);
  vm::TBitmap ReleaseImage();

  TColor TransparentColor() const;
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode mode);

  void LoadFromFile(const std::string& fileName) override;
  void LoadFromStream(std::istream& stream) override;
  void SaveToStream(std::ostream& stream) override;
  // Reads BMP bytes held in memory.
  void LoadFromBytes(std::span<const std::uint8_t> bytes);
  std::vector<std::uint8_t> SaveToBytes() const;

  // Takes a TBitmap (pixels, format, transparency) or a TJPEGImage (its
  // decoded pixels, as pf24bit); other kinds raise EConvertError.
  void Assign(const TGraphic& source) override;

  // Called by the canvas after drawing and by code that wrote pixels through
  // ScanLine or Image(): marks the picture modified and fires OnChange.
  void Modify() { Changed(); }

 protected:
  void Draw(TCanvas& canvas, const TRect& rect) override;

 private:
  void Resize(int width, int height);

  vm::TBitmap image_;
  TPixelFormat format_ = pf24bit;
  TColor transparentColor_ = clNone;
  TTransparentMode transparentMode_ = tmAuto;
  std::unique_ptr<TCanvas> canvas_;
};

}  // namespace vm::tk
