#include "toolkit/Icon.h"

#include <cstring>
#include <new>
#include <stdexcept>

#include "platform/gfx/BmpCodec.h"
#include "platform/gfx/PngCodec.h"
#include "platform/gfx/Stretch.h"
#include "platform/gfx/SysColors.h"
#include "platform/win/WinApi.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Canvas.h"
#include "toolkit/SysUtils.h"

namespace vm::tk {

namespace {

std::uint32_t GetLE(std::span<const std::uint8_t> b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= std::uint32_t(b[at + std::size_t(i)]) << (8 * i);
  return v;
}

void PutLE(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}

// A 32-bit copy with alpha: 32-bit sources keep theirs, 24-bit ones are
// opaque except where key (a resolved colour, or none) matches.
vm::TBitmap WithAlpha(const vm::TBitmap& src, bool useKey, TColor key) {
  vm::TBitmap out(src.Width(), src.Height(), vm::TPixelFormat::pf32bit);
  const int sb = src.BytesPerPixel();
  for (int y = 0; y < src.Height(); ++y) {
    const std::uint8_t* s = src.ScanLine(y);
    std::uint8_t* d = out.ScanLine(y);
    for (int x = 0; x < src.Width(); ++x, s += sb, d += 4) {
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
      d[3] = sb == 4 ? s[3] : 255;
      if (useKey && RGB(s[2], s[1], s[0]) == key) d[3] = 0;
    }
  }
  return out;
}

vm::TBitmap Scaled(const vm::TBitmap& src, int w, int h) {
  vm::TBitmap out(w, h, vm::TPixelFormat::pf32bit);
  StretchBitmapRect(out, 0, 0, w, h, src, 0, 0, src.Width(), src.Height(), TStretchMode::Halftone,
                    TRegion(TRect{0, 0, w, h}));
  return out;
}

// One .ico entry stored as a device-independent bitmap: header, palette, the
// colour rows (height / 2 of them), then the 1-bit AND mask.
vm::TBitmap ReadDibEntry(std::span<const std::uint8_t> dib) {
  if (dib.size() < 40) throw EInvalidGraphic("Значок повреждён: заголовок обрезан");
  const std::uint32_t headerSize = GetLE(dib, 0, 4);
  const std::int32_t width = std::int32_t(GetLE(dib, 4, 4));
  const std::int32_t height2 = std::int32_t(GetLE(dib, 8, 4));
  const int bitCount = int(GetLE(dib, 14, 2));
  const std::uint32_t compression = GetLE(dib, 16, 4);
  std::uint32_t colours = GetLE(dib, 32, 4);
  if (headerSize < 40 || headerSize > dib.size() || width <= 0 || width > 1024 || height2 <= 0 ||
      height2 % 2 != 0 || height2 / 2 > 1024)
    throw EInvalidGraphic("Значок повреждён: неверный заголовок");
  const std::int32_t height = height2 / 2;
  if (bitCount <= 8 && colours == 0) colours = 1u << bitCount;
  if (bitCount > 8) colours = 0;
  std::size_t paletteBytes =
      std::size_t(colours) * 4 + (compression == 3 && headerSize == 40 ? 12 : 0);
  std::size_t pixelOffset = headerSize + paletteBytes;
  if (pixelOffset > dib.size()) throw EInvalidGraphic("Значок повреждён: палитра обрезана");
  // The platform's BMP reader does the colour part: a file header in front
  // and the height halved.
  std::vector<std::uint8_t> bmp(14 + dib.size());
  bmp[0] = 'B';
  bmp[1] = 'M';
  PutLE(bmp, 2, std::uint32_t(bmp.size()), 4);
  PutLE(bmp, 10, std::uint32_t(14 + pixelOffset), 4);
  std::memcpy(bmp.data() + 14, dib.data(), dib.size());
  PutLE(bmp, 14 + 8, std::uint32_t(height), 4);
  vm::TBitmap colour;
  try {
    colour = ReadBmp(bmp, TBmpRowOrder::TopDown, nullptr, bitCount == 32);
  } catch (const TBmpError&) {
    throw EInvalidGraphic("Значок повреждён или имеет неверный формат");
  }
  vm::TBitmap out = WithAlpha(colour, false, 0);
  bool hasAlpha = false;
  if (bitCount == 32)
    for (int y = 0; y < height && !hasAlpha; ++y)
      for (int x = 0; x < width && !hasAlpha; ++x) hasAlpha = out.GetAlpha(x, y) != 0;
  if (hasAlpha) return out;
  const std::size_t xorStride = (std::size_t(width) * std::size_t(bitCount) + 31) / 32 * 4;
  const std::size_t andStride = (std::size_t(width) + 31) / 32 * 4;
  const std::size_t maskOffset = pixelOffset + xorStride * std::size_t(height);
  if (compression != 0 || maskOffset + andStride * std::size_t(height) > dib.size()) {
    // No usable mask: the picture is opaque.
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) out.SetAlpha(x, y, 255);
    return out;
  }
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = dib.data() + maskOffset + andStride * std::size_t(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      bool transparent = (row[x / 8] >> (7 - x % 8)) & 1;
      out.SetAlpha(x, y, transparent ? 0 : 255);
    }
  }
  return out;
}

void AppendEntry(std::vector<std::uint8_t>& file, std::size_t dirEntry, const vm::TBitmap& img) {
  const int w = img.Width(), h = img.Height();
  const std::size_t xorBytes = std::size_t(w) * 4 * std::size_t(h);
  const std::size_t andStride = (std::size_t(w) + 31) / 32 * 4;
  const std::size_t size = 40 + xorBytes + andStride * std::size_t(h);
  const std::size_t at = file.size();
  file.resize(at + size, 0);
  file[dirEntry] = std::uint8_t(w >= 256 ? 0 : w);
  file[dirEntry + 1] = std::uint8_t(h >= 256 ? 0 : h);
  PutLE(file, dirEntry + 4, 1, 2);
  PutLE(file, dirEntry + 6, 32, 2);
  PutLE(file, dirEntry + 8, std::uint32_t(size), 4);
  PutLE(file, dirEntry + 12, std::uint32_t(at), 4);
  PutLE(file, at, 40, 4);
  PutLE(file, at + 4, std::uint32_t(w), 4);
  PutLE(file, at + 8, std::uint32_t(2 * h), 4);
  PutLE(file, at + 12, 1, 2);
  PutLE(file, at + 14, 32, 2);
  PutLE(file, at + 20, std::uint32_t(xorBytes + andStride * std::size_t(h)), 4);
  for (int y = 0; y < h; ++y) {
    std::uint8_t* dst = file.data() + at + 40 + std::size_t(h - 1 - y) * std::size_t(w) * 4;
    std::memcpy(dst, img.ScanLine(y), std::size_t(w) * 4);
    std::uint8_t* mask = file.data() + at + 40 + xorBytes + std::size_t(h - 1 - y) * andStride;
    for (int x = 0; x < w; ++x)
      if (img.GetAlpha(x, y) == 0) mask[x / 8] |= std::uint8_t(0x80 >> (x % 8));
  }
}

}  // namespace

TIcon::~TIcon() {
  FreeHandles();
}

void TIcon::FreeHandles() {
  if (handle_) DestroyIcon(handle_);
  if (smallHandle_) DestroyIcon(smallHandle_);
  handle_ = smallHandle_ = nullptr;
}

void TIcon::SetWidth(int) {
  throw EInvalidGraphicOperation("Размер значка задаёт его содержимое, его нельзя изменить");
}

void TIcon::SetHeight(int) {
  throw EInvalidGraphicOperation("Размер значка задаёт его содержимое, его нельзя изменить");
}

void TIcon::SetPictures(vm::TBitmap smallImage, vm::TBitmap largeImage) {
  const int lw = GetSystemMetrics(SM_CXICON), lh = GetSystemMetrics(SM_CYICON);
  const int sw = GetSystemMetrics(SM_CXSMICON), sh = GetSystemMetrics(SM_CYSMICON);
  if (largeImage.Empty() && !smallImage.Empty()) largeImage = Scaled(smallImage, lw, lh);
  // The small icon is always of the system's small size; the large one keeps
  // its own (the window system scales it where it is shown).
  if (smallImage.Empty() && !largeImage.Empty()) smallImage = Scaled(largeImage, sw, sh);
  if (!smallImage.Empty() && (smallImage.Width() != sw || smallImage.Height() != sh))
    smallImage = Scaled(smallImage, sw, sh);
  FreeHandles();
  large_ = std::move(largeImage);
  small_ = std::move(smallImage);
  Changed();
}

void TIcon::SetImages(const vm::TBitmap& smallImage, const vm::TBitmap& largeImage) {
  SetPictures(smallImage.Empty() ? vm::TBitmap() : WithAlpha(smallImage, false, 0),
              largeImage.Empty() ? vm::TBitmap() : WithAlpha(largeImage, false, 0));
}

void TIcon::SetImages(const TBitmap* smallImage, const TBitmap* largeImage) {
  auto convert = [](const TBitmap* b) {
    if (!b || b->Empty()) return vm::TBitmap();
    return WithAlpha(b->Image(), b->Transparent(), ColorToRGB(b->TransparentColor()));
  };
  SetPictures(convert(smallImage), convert(largeImage));
}

HICON TIcon::Handle() {
  if (!handle_ && !large_.Empty()) handle_ = CreateIconFromBitmap(large_);
  return handle_;
}

HICON TIcon::SmallHandle() {
  if (!smallHandle_ && !small_.Empty()) smallHandle_ = CreateIconFromBitmap(small_);
  return smallHandle_;
}

namespace {

// One entry's picture: PNG or a device-independent bitmap.
vm::TBitmap ReadEntry(std::span<const std::uint8_t> bytes, std::size_t entry) {
  const std::size_t size = GetLE(bytes, entry + 8, 4), offset = GetLE(bytes, entry + 12, 4);
  if (offset > bytes.size() || size > bytes.size() - offset || size < 8)
    throw EInvalidGraphic("Значок повреждён: изображение за пределами файла");
  std::span<const std::uint8_t> data = bytes.subspan(offset, size);
  if (!(data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G'))
    return ReadDibEntry(data);
  // The size in the PNG header is checked before anything is decoded.
  auto be32 = [&](std::size_t at) {
    return (std::uint32_t(data[at]) << 24) | (std::uint32_t(data[at + 1]) << 16) |
           (std::uint32_t(data[at + 2]) << 8) | std::uint32_t(data[at + 3]);
  };
  if (size < 24 || be32(16) == 0 || be32(16) > 1024 || be32(20) == 0 || be32(20) > 1024)
    throw EInvalidGraphic("Значок повреждён: неверный размер изображения PNG");
  try {
    return DecodePng(data, vm::TPixelFormat::pf32bit);
  } catch (const std::exception&) {
    throw EInvalidGraphic("Значок повреждён или имеет неверный формат");
  }
}

}  // namespace

void TIcon::LoadFromBytes(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 6 || GetLE(bytes, 0, 2) != 0 || GetLE(bytes, 2, 2) != 1)
    throw EInvalidGraphic("Файл не является значком");
  const std::size_t count = GetLE(bytes, 4, 2);
  if (count == 0 || 6 + 16 * count > bytes.size())
    throw EInvalidGraphic("Значок повреждён: список изображений обрезан");
  // The entries are chosen from the directory (width 0 meaning 256, deeper
  // colour winning a tie), and only the chosen ones are decoded: the small
  // icon is an entry of exactly the small size, if there is one; the large
  // one is the other entry nearest the system size (a larger one winning over
  // a smaller one at the same distance), or the small entry when it is alone.
  const int lw = GetSystemMetrics(SM_CXICON), sw = GetSystemMetrics(SM_CXSMICON);
  auto width = [&](std::size_t i) {
    int w = bytes[6 + 16 * i];
    return w == 0 ? 256 : w;
  };
  auto depth = [&](std::size_t i) { return int(GetLE(bytes, 6 + 16 * i + 6, 2)); };
  auto distance = [](int a, int b) { return a >= b ? 2 * (a - b) : 2 * (b - a) + 1; };
  std::size_t small = count;
  for (std::size_t i = 0; i < count; ++i)
    if (width(i) == sw && (small == count || depth(i) > depth(small))) small = i;
  std::size_t large = count;
  for (std::size_t i = 0; i < count; ++i) {
    if (i == small) continue;
    if (large == count) {
      large = i;
      continue;
    }
    int d = distance(width(i), lw), best = distance(width(large), lw);
    if (d < best || (d == best && depth(i) > depth(large))) large = i;
  }
  if (large == count) large = small;
  vm::TBitmap largeImage = ReadEntry(bytes, 6 + 16 * large);
  vm::TBitmap smallImage;
  if (small == large)
    smallImage = largeImage;
  else if (small < count)
    smallImage = ReadEntry(bytes, 6 + 16 * small);
  SetPictures(std::move(smallImage), std::move(largeImage));
}

void TIcon::LoadFromFile(const std::string& fileName) {
  LoadFromBytes(ReadFileBytes(fileName));
}

void TIcon::LoadFromStream(std::istream& stream) {
  LoadFromBytes(ReadStreamBytes(stream));
}

std::vector<std::uint8_t> TIcon::SaveToBytes() const {
  if (large_.Empty()) throw EInvalidGraphicOperation("Нельзя сохранить пустой значок");
  std::vector<std::uint8_t> file(6 + 32, 0);
  PutLE(file, 2, 1, 2);
  PutLE(file, 4, 2, 2);
  AppendEntry(file, 6, small_);
  AppendEntry(file, 22, large_);
  return file;
}

void TIcon::SaveToStream(std::ostream& stream) {
  std::vector<std::uint8_t> bytes = SaveToBytes();
  WriteStreamBytes(stream, bytes.data(), bytes.size());
}

void TIcon::Assign(const TGraphic& source) {
  if (&source == this) return;
  if (auto* i = dynamic_cast<const TIcon*>(&source)) {
    SetPictures(i->small_, i->large_);
    return;
  }
  if (auto* b = dynamic_cast<const TBitmap*>(&source)) {
    SetImages(nullptr, b);
    return;
  }
  AssignError(source);
}

void TIcon::Draw(TCanvas& canvas, const TRect& rect) {
  TDC* dc = canvas.Handle();
  if (!dc || large_.Empty() || rect.IsEmpty()) return;
  const bool useSmall = rect.Width() <= small_.Width() && rect.Height() <= small_.Height();
  const vm::TBitmap& img = useSmall ? small_ : large_;
  // Blended like DrawIconEx, with the same nearest-pixel rule, over the part
  // that can be painted only: a huge StretchDraw costs no more than the
  // visible area.
  dc->DrawAlphaImage(rect, img);
}

}  // namespace vm::tk
