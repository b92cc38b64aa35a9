#include "toolkit/Bitmap.h"

#include <cstring>
#include <istream>
#include <new>
#include <stdexcept>

#include "platform/gfx/BmpCodec.h"
#include "platform/gfx/Stretch.h"
#include "platform/gfx/SysColors.h"
#include "toolkit/SysUtils.h"

namespace vm::tk {

namespace {

vm::TPixelFormat StoreFormat(TPixelFormat f) {
  return f == pf32bit ? vm::TPixelFormat::pf32bit : vm::TPixelFormat::pf24bit;
}

void CheckSize(int width, int height) {
  if (width > MaxBitmapSide || height > MaxBitmapSide ||
      std::int64_t(width) * std::int64_t(height) > MaxBitmapPixels)
    throw EInvalidGraphicOperation("Точечный рисунок слишком велик: " + std::to_string(width) +
                                   " x " + std::to_string(height));
}

// Copies the overlapping top-left part of src into dst pixel by pixel; either
// may be 24 or 32 bits. Alpha: copied between 32-bit bitmaps, opaque (255)
// for a 32-bit copy of a 24-bit picture.
void CopyPixels(vm::TBitmap& dst, const vm::TBitmap& src) {
  const int w = std::min(dst.Width(), src.Width());
  const int h = std::min(dst.Height(), src.Height());
  const int sb = src.BytesPerPixel(), db = dst.BytesPerPixel();
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* s = src.ScanLine(y);
    std::uint8_t* d = dst.ScanLine(y);
    if (sb == db) {
      std::memcpy(d, s, std::size_t(w) * std::size_t(sb));
      continue;
    }
    for (int x = 0; x < w; ++x, s += sb, d += db) {
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
      if (db == 4) d[3] = 255;
    }
  }
}

void PutLE(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}

// A bottom-up 32-bit BMP with its alpha (BITMAPINFOHEADER, no compression).
std::vector<std::uint8_t> WriteBmp32(const vm::TBitmap& bmp) {
  const std::size_t row = std::size_t(bmp.Width()) * 4;
  const std::size_t pixels = row * std::size_t(bmp.Height());
  std::vector<std::uint8_t> out(54 + pixels);
  out[0] = 'B';
  out[1] = 'M';
  PutLE(out, 2, std::uint32_t(out.size()), 4);
  PutLE(out, 10, 54, 4);
  PutLE(out, 14, 40, 4);
  PutLE(out, 18, std::uint32_t(bmp.Width()), 4);
  PutLE(out, 22, std::uint32_t(bmp.Height()), 4);
  PutLE(out, 26, 1, 2);
  PutLE(out, 28, 32, 2);
  PutLE(out, 34, std::uint32_t(pixels), 4);
  PutLE(out, 38, 3780, 4);  // 96 pixels per inch
  PutLE(out, 42, 3780, 4);
  for (int y = 0; y < bmp.Height(); ++y)
    std::memcpy(out.data() + 54 + std::size_t(bmp.Height() - 1 - y) * row, bmp.ScanLine(y), row);
  return out;
}

}  // namespace

TBitmap::TBitmap() : format_(pfDevice) {}

TBitmap::TBitmap(int width, int height, TPixelFormat format) : format_(format) {
  SetSize(width, height);
}

TBitmap::~TBitmap() = default;

void TBitmap::Resize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == image_.Width() && height == image_.Height()) return;
  CheckSize(width, height);
  vm::TBitmap next(width, height, StoreFormat(format_));
  CopyPixels(next, image_);
  image_ = std::move(next);
  Changed();
}

void TBitmap::SetWidth(int width) {
  Resize(width, image_.Height());
}

void TBitmap::SetHeight(int height) {
  Resize(image_.Width(), height);
}

void TBitmap::SetSize(int width, int height) {
  Resize(width, height);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == format_) return;
  vm::TPixelFormat store = StoreFormat(format);
  if (store != image_.PixelFormat()) {
    vm::TBitmap next(image_.Width(), image_.Height(), store);
    CopyPixels(next, image_);
    image_ = std::move(next);
  }
  format_ = format;
  Changed();
}

std::uint8_t* TBitmap::ScanLine(int y) {
  if (y < 0 || y >= image_.Height())
    throw EInvalidGraphicOperation("Номер строки вне точечного рисунка");
  return image_.ScanLine(y);
}

const std::uint8_t* TBitmap::ScanLine(int y) const {
  if (y < 0 || y >= image_.Height())
    throw EInvalidGraphicOperation("Номер строки вне точечного рисунка");
  return image_.ScanLine(y);
}

TCanvas& TBitmap::Canvas() {
  if (!canvas_) {
    canvas_ = std::make_unique<TCanvas>();
    canvas_->SetOwnedHandle(std::make_unique<TDC>(image_));
    canvas_->OnChange = [this] { Changed(); };
  }
  return *canvas_;
}

void TBitmap::TakeImage(vm::TBitmap&& image) {
  image_ = std::move(image);
  format_ = image_.PixelFormat() == vm::TPixelFormat::pf32bit ? pf32bit : pf24bit;
  Changed();
}

vm::TBitmap TBitmap::ReleaseImage() {
  vm::TBitmap out = std::move(image_);
  image_ = vm::TBitmap();
  Changed();
  return out;
}

TColor TBitmap::TransparentColor() const {
  if (transparentMode_ == tmFixed) return transparentColor_;
  if (image_.Empty()) return clNone;
  return image_.GetPixel(0, image_.Height() - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
  if (transparentMode_ == tmFixed && color == transparentColor_) return;
  transparentColor_ = color;
  transparentMode_ = tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  if (mode == transparentMode_) return;
  transparentMode_ = mode;
  Changed();
}

void TBitmap::LoadFromBytes(std::span<const std::uint8_t> bytes) {
  vm::TBitmap loaded;
  if (!bytes.empty()) {
    try {
      loaded = ReadBmp(bytes, TBmpRowOrder::TopDown, nullptr, true);
    } catch (const TBmpError&) {
      throw EInvalidGraphic("Точечный рисунок повреждён или имеет неверный формат");
    } catch (const std::bad_alloc&) {
      throw EInvalidGraphic("Точечный рисунок слишком велик для памяти");
    } catch (const std::invalid_argument&) {
      throw EInvalidGraphic("Точечный рисунок повреждён или имеет неверный формат");
    }
  }
  image_ = std::move(loaded);
  format_ = image_.PixelFormat() == vm::TPixelFormat::pf32bit ? pf32bit : pf24bit;
  Changed();
}

void TBitmap::LoadFromFile(const std::string& fileName) {
  LoadFromBytes(ReadFileBytes(fileName));
}

void TBitmap::LoadFromStream(std::istream& stream) {
  LoadFromBytes(ReadStreamBytes(stream));
}

std::vector<std::uint8_t> TBitmap::SaveToBytes() const {
  if (image_.Empty()) return {};
  return format_ == pf32bit ? WriteBmp32(image_) : WriteBmp24(image_);
}

void TBitmap::SaveToStream(std::ostream& stream) {
  std::vector<std::uint8_t> bytes = SaveToBytes();
  WriteStreamBytes(stream, bytes.data(), bytes.size());
}

void TBitmap::Assign(const TGraphic& source) {
  if (&source == this) return;
  if (auto* b = dynamic_cast<const TBitmap*>(&source)) {
    image_ = b->image_;
    format_ = b->format_;
    transparentColor_ = b->transparentColor_;
    transparentMode_ = b->transparentMode_;
    SetTransparent(b->Transparent());
    Changed();
    return;
  }
  // Any other kind that has one picture (a JPEG image): its pixels, as a
  // 24-bit bitmap. Decoding may fill the source's cache, hence the cast.
  if (const vm::TBitmap* pixels = const_cast<TGraphic&>(source).DecodedPixels()) {
    if (pixels->Empty()) {
      image_ = vm::TBitmap();
    } else {
      vm::TBitmap copy(pixels->Width(), pixels->Height(), vm::TPixelFormat::pf24bit);
      CopyPixels(copy, *pixels);
      image_ = std::move(copy);
    }
    format_ = pf24bit;
    Changed();
    return;
  }
  AssignError(source);
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
  TDC* dc = canvas.Handle();
  if (!dc || image_.Empty() || rect.IsEmpty()) return;
  const bool same = rect.Width() == image_.Width() && rect.Height() == image_.Height();
  if (!Transparent()) {
    if (same)
      dc->BitBlt(rect.Left, rect.Top, rect.Width(), rect.Height(), image_, 0, 0, SRCCOPY);
    else
      dc->StretchBlt(rect.Left, rect.Top, rect.Width(), rect.Height(), image_, 0, 0, image_.Width(),
                     image_.Height(), SRCCOPY);
    return;
  }
  // Transparent: the picture at its drawn size with key pixels black, and a
  // mask that is white under key pixels; the canvas is AND-ed with the mask
  // and OR-ed with the picture, so it shows through where the key colour was.
  // Only the part that can be painted is prepared, so a huge StretchDraw
  // costs no more than the visible area.
  const TRect part = rect.Intersect(dc->ClipBox());
  if (part.IsEmpty()) return;
  const int w = part.Width(), h = part.Height();
  vm::TBitmap picture(w, h, vm::TPixelFormat::pf24bit);
  StretchBitmapRect(picture, rect.Left - part.Left, rect.Top - part.Top, rect.Width(),
                    rect.Height(), image_, 0, 0, image_.Width(), image_.Height(),
                    TStretchMode::Nearest, TRegion(TRect{0, 0, w, h}));
  vm::TBitmap mask(w, h, vm::TPixelFormat::pf24bit);
  const TColor key = ColorToRGB(TransparentColor());
  const std::uint8_t kb = std::uint8_t(GetBValue(key)), kg = std::uint8_t(GetGValue(key)),
                     kr = std::uint8_t(GetRValue(key));
  for (int y = 0; y < h; ++y) {
    std::uint8_t* p = picture.ScanLine(y);
    std::uint8_t* m = mask.ScanLine(y);
    for (int x = 0; x < w; ++x, p += 3, m += 3) {
      if (p[0] == kb && p[1] == kg && p[2] == kr) {
        p[0] = p[1] = p[2] = 0;
        m[0] = m[1] = m[2] = 255;
      }
    }
  }
  dc->BitBlt(part.Left, part.Top, w, h, mask, 0, 0, SRCAND);
  dc->BitBlt(part.Left, part.Top, w, h, picture, 0, 0, SRCPAINT);
}

}  // namespace vm::tk
