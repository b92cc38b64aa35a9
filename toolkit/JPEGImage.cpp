#include "toolkit/JPEGImage.h"

#include <cstring>
#include <new>
#include <stdexcept>

#include "platform/gfx/DC.h"
#include "platform/gfx/JpegCodec.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Canvas.h"
#include "toolkit/SysUtils.h"

namespace vm::tk {

namespace {

std::string FaultText(const TJpegError& e) {
  return JpegFaultText(e.Fault());
}

std::string DecodeFailure(const std::string& reason) {
  return "Не удалось прочитать изображение JPEG: " + reason;
}

}  // namespace

TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::SetWidth(int) {
  throw EInvalidGraphicOperation(
      "Размер изображения JPEG задаёт его содержимое, его нельзя изменить");
}

void TJPEGImage::SetHeight(int) {
  throw EInvalidGraphicOperation(
      "Размер изображения JPEG задаёт его содержимое, его нельзя изменить");
}

void TJPEGImage::SetCompressionQuality(int quality) {
  quality_ = quality < 1 ? 1 : (quality > 100 ? 100 : quality);
}

std::span<const std::uint8_t> TJPEGImage::Data() const {
  if (!data_) return {};
  return {data_->data(), data_->size()};
}

void TJPEGImage::LoadFromBytes(std::vector<std::uint8_t> bytes) {
  TJpegInfo info;
  try {
    info = ReadJpegInfo(bytes);
  } catch (const TJpegError& e) {
    throw EInvalidGraphic(DecodeFailure(FaultText(e)));
  }
  const TJpegLimits limits;
  if (info.Width <= 0 || info.Height <= 0 || info.Width > MaxBitmapSide ||
      info.Height > MaxBitmapSide ||
      std::int64_t(info.Width) * std::int64_t(info.Height) > limits.MaxPixels)
    throw EInvalidGraphic(DecodeFailure("изображение " + std::to_string(info.Width) + " × " +
                                        std::to_string(info.Height) +
                                        " пикселей слишком велико для программы"));
  data_ = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
  width_ = info.Width;
  height_ = info.Height;
  pixels_ = vm::TBitmap();
  decodeError_.clear();
  drawReported_ = false;
  Changed();
}

void TJPEGImage::LoadFromFile(const std::string& fileName) {
  std::vector<std::uint8_t> bytes = ReadFileBytes(fileName);
  try {
    LoadFromBytes(std::move(bytes));
  } catch (const EInvalidGraphic& e) {
    throw EInvalidGraphic(e.Message() + " (файл \"" + fileName + "\")");
  }
}

void TJPEGImage::LoadFromStream(std::istream& stream) {
  LoadFromBytes(ReadStreamBytes(stream));
}

void TJPEGImage::DIBNeeded() {
  if (!pixels_.Empty() || !data_) return;
  if (!decodeError_.empty()) throw EInvalidGraphic(decodeError_);
  try {
    pixels_ = DecodeJpeg(*data_);
  } catch (const TJpegError& e) {
    decodeError_ = DecodeFailure(FaultText(e));
  } catch (const std::bad_alloc&) {
    decodeError_ = DecodeFailure("недостаточно памяти для распаковки");
  } catch (const std::invalid_argument&) {
    decodeError_ = DecodeFailure("данные изображения повреждены");
  }
  if (!decodeError_.empty()) throw EInvalidGraphic(decodeError_);
}

const vm::TBitmap& TJPEGImage::Pixels() {
  DIBNeeded();
  return pixels_;
}

void TJPEGImage::JPEGNeeded() {
  if (data_) return;
  if (pixels_.Empty()) throw EInvalidGraphicOperation("Нельзя сохранить пустое изображение JPEG");
  std::vector<std::uint8_t> bytes;
  try {
    bytes = EncodeJpeg(pixels_, quality_);
  } catch (const TJpegError& e) {
    throw EInvalidGraphicOperation("Не удалось сжать изображение в JPEG: " + FaultText(e));
  }
  data_ = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
  width_ = pixels_.Width();
  height_ = pixels_.Height();
}

void TJPEGImage::Compress() {
  DIBNeeded();
  if (pixels_.Empty()) throw EInvalidGraphicOperation("Нельзя сжать пустое изображение JPEG");
  // Dropping the shared bytes first makes JPEGNeeded encode the pixels.
  TData old = std::move(data_);
  data_.reset();
  try {
    JPEGNeeded();
  } catch (...) {
    data_ = std::move(old);
    throw;
  }
  decodeError_.clear();
  drawReported_ = false;
  Changed();
}

std::vector<std::uint8_t> TJPEGImage::SaveToBytes() {
  JPEGNeeded();
  return *data_;
}

void TJPEGImage::SaveToStream(std::ostream& stream) {
  JPEGNeeded();
  WriteStreamBytes(stream, data_->data(), data_->size());
}

void TJPEGImage::Assign(const TGraphic& source) {
  if (&source == this) return;
  if (auto* j = dynamic_cast<const TJPEGImage*>(&source)) {
    vm::TBitmap pixels = j->pixels_;  // copied first: a failed copy changes nothing
    data_ = j->data_;
    width_ = j->width_;
    height_ = j->height_;
    pixels_ = std::move(pixels);
    quality_ = j->quality_;
    decodeError_ = j->decodeError_;
    drawReported_ = j->drawReported_;
    Changed();
    return;
  }
  if (auto* b = dynamic_cast<const TBitmap*>(&source)) {
    const vm::TBitmap& src = b->Image();
    vm::TBitmap pixels(src.Width(), src.Height(), vm::TPixelFormat::pf24bit);
    const int bpp = src.BytesPerPixel();
    for (int y = 0; y < src.Height(); ++y) {
      const std::uint8_t* s = src.ScanLine(y);
      std::uint8_t* d = pixels.ScanLine(y);
      if (bpp == 3) {
        std::memcpy(d, s, std::size_t(src.Width()) * 3);
      } else {
        for (int x = 0; x < src.Width(); ++x, s += bpp, d += 3) {
          d[0] = s[0];
          d[1] = s[1];
          d[2] = s[2];
        }
      }
    }
    data_.reset();
    pixels_ = std::move(pixels);
    width_ = pixels_.Width();
    height_ = pixels_.Height();
    decodeError_.clear();
    drawReported_ = false;
    Changed();
    return;
  }
  AssignError(source);
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect) {
  TDC* dc = canvas.Handle();
  if (!dc || rect.IsEmpty()) return;
  if (pixels_.Empty()) {
    if (!data_) return;
    if (!decodeError_.empty()) {
      if (drawReported_) return;
      drawReported_ = true;
      throw EInvalidGraphic(decodeError_);
    }
    try {
      DIBNeeded();
    } catch (...) {
      drawReported_ = true;
      throw;
    }
  }
  if (rect.Width() == pixels_.Width() && rect.Height() == pixels_.Height())
    dc->BitBlt(rect.Left, rect.Top, rect.Width(), rect.Height(), pixels_, 0, 0, SRCCOPY);
  else
    dc->StretchBlt(rect.Left, rect.Top, rect.Width(), rect.Height(), pixels_, 0, 0, pixels_.Width(),
                   pixels_.Height(), SRCCOPY);
}

}  // namespace vm::tk
