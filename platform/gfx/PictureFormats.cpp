#include "platform/gfx/PictureFormats.h"

#include <stdexcept>

#include "platform/base/AsciiCase.h"
#include "platform/gfx/BmpCodec.h"
#include "platform/gfx/JpegCodec.h"

namespace vm {
namespace {

const std::vector<TPictureFormat>& Table() {
  static const std::vector<TPictureFormat> formats{
      {TPictureKind::Bmp, {"bmp"}, "Bitmaps", true},
      {TPictureKind::Ico, {"ico"}, "Icons", false},
      {TPictureKind::Jpeg, {"jpg", "jpeg"}, "JPEG Image File", true},
  };
  return formats;
}

}  // namespace

std::span<const TPictureFormat> PictureFormats() {
  return Table();
}

const TPictureFormat* PictureFormatOf(TPictureKind kind) {
  for (const TPictureFormat& f : Table())
    if (f.Kind == kind) return &f;
  return nullptr;
}

const TPictureFormat* PictureFormatByExtension(std::string_view extension) {
  if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
  for (const TPictureFormat& f : Table())
    for (std::string_view e : f.Extensions)
      if (SameTextAscii(e, extension)) return &f;
  return nullptr;
}

TPictureKind SniffPicture(std::span<const std::uint8_t> b) {
  if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return TPictureKind::Jpeg;
  if (b.size() >= 2 && b[0] == 'B' && b[1] == 'M') return TPictureKind::Bmp;
  // An icon directory: reserved 0, type 1, at least one image.
  if (b.size() >= 6 && b[0] == 0 && b[1] == 0 && b[2] == 1 && b[3] == 0 && (b[4] | b[5]) != 0)
    return TPictureKind::Ico;
  return TPictureKind::Unknown;
}

TBitmap DecodePicturePreview(std::span<const std::uint8_t> bytes, TPictureKind kind, int boxW,
                             int boxH, int& fullW, int& fullH) {
  switch (kind) {
    case TPictureKind::Jpeg: {
      TJpegPreview p = DecodeJpegScaled(bytes, boxW, boxH);
      fullW = p.Width;
      fullH = p.Height;
      return std::move(p.Bitmap);
    }
    case TPictureKind::Bmp: {
      TBitmap picture = ReadBmp(bytes, TBmpRowOrder::TopDown);
      fullW = picture.Width();
      fullH = picture.Height();
      return picture;
    }
    case TPictureKind::Ico:
    case TPictureKind::Unknown:
      break;
  }
  throw std::invalid_argument("no preview for this kind of picture");
}

}  // namespace vm
