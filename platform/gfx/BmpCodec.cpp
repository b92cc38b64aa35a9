#include "platform/gfx/BmpCodec.h"
#include "platform/base/FileBytes.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <unordered_map>

namespace vm {
namespace {

constexpr std::uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3,
                        BI_ALPHABITFIELDS = 6;

std::uint16_t U16(const std::uint8_t* p) {
  return std::uint16_t(p[0] | (p[1] << 8));
}
std::uint32_t U32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
         (std::uint32_t(p[3]) << 24);
}
std::int32_t I32(const std::uint8_t* p) {
  return std::int32_t(U32(p));
}

[[noreturn]] void Fail(const std::string& what) {
  throw TBmpError("BMP: " + what);
}

// One channel of a bit-field pixel, scaled to 0..255.
struct TField {
  std::uint32_t Mask = 0;
  int Shift = 0;
  std::uint32_t Max = 0;

  explicit TField(std::uint32_t mask = 0) : Mask(mask) {
    if (!mask) return;
    Shift = std::countr_zero(mask);
    Max = mask >> Shift;
  }
  std::uint8_t Get(std::uint32_t v) const {
    if (!Mask) return 0;
    const std::uint32_t raw = (v & Mask) >> Shift;
    return std::uint8_t((std::uint64_t(raw) * 255 + Max / 2) / Max);
  }
};

// Paints the bitmap in palette colour 0 before run-length data that may skip pixels.
void FillIndex0(TBitmap& bmp, const std::vector<TColor>& palette) {
  bmp.Fill(palette.empty() ? 0 : palette[0]);
}

// Reads run-length data. Without a bitmap it only checks the stream (every
// pixel inside the picture, every palette index valid, an end mark present)
// and measures it, so a malformed file costs no pixel memory.
class TRleDecoder {
 public:
  TRleDecoder(const std::uint8_t* data, std::size_t size, int width, int height,
              const std::vector<TColor>& palette, bool four, TBitmap* bmp)
      : begin_(data),
        p_(data),
        end_(data + size),
        w_(width),
        h_(height),
        bmp_(bmp),
        palette_(palette),
        four_(four) {}

  // Returns the bytes up to and including the end-of-bitmap mark.
  std::size_t Run() {
    // Run-length files are always stored bottom-up: the first row decoded is the bottom one.
    int x = 0, row = 0;
    for (;;) {
      const std::uint8_t count = Next(), value = Next();
      if (count > 0) {
        // A run is checked once and then written straight into its row.
        const std::uint8_t first = four_ ? std::uint8_t(value >> 4) : value;
        const std::uint8_t second = four_ ? std::uint8_t(value & 0xF) : value;
        CheckIndex(first);
        if (count > 1) CheckIndex(second);
        CheckSpan(x, row, count);
        if (bmp_) {
          std::uint8_t* p = Pixel(x, row);
          const TColor c[2] = {palette_[first], palette_[count > 1 ? second : first]};
          for (int i = 0; i < count; ++i, p += 3) {
            const TColor k = c[i & 1];
            p[0] = std::uint8_t(GetBValue(k));
            p[1] = std::uint8_t(GetGValue(k));
            p[2] = std::uint8_t(GetRValue(k));
          }
        }
        x += count;
        continue;
      }
      if (value == 0) {  // end of line
        x = 0;
        ++row;
      } else if (value == 1) {  // end of bitmap
        return std::size_t(p_ - begin_);
      } else if (value == 2) {  // move right and up
        x += Next();
        row += Next();
        // The cursor may rest on the right edge (an end of line follows),
        // never beyond the picture.
        if (x > w_ || row >= h_)
          Fail("run-length move to " + std::to_string(x) + ", " + std::to_string(row) +
               " leaves the " + std::to_string(w_) + " x " + std::to_string(h_) + " picture");
      } else {  // absolute run of value pixels, padded to 16 bits
        const int n = value;
        const int bytes = four_ ? (n + 1) / 2 : n;
        CheckSpan(x, row, n);
        if (end_ - p_ < bytes) Fail("run-length data ends before the end-of-bitmap mark");
        std::uint8_t* p = bmp_ ? Pixel(x, row) : nullptr;
        for (int i = 0; i < n; ++i) {
          const std::uint8_t b = p_[four_ ? i / 2 : i];
          const std::uint8_t idx = !four_    ? b
                                   : (i & 1) ? std::uint8_t(b & 0xF)
                                             : std::uint8_t(b >> 4);
          CheckIndex(idx);
          if (p) {
            const TColor k = palette_[idx];
            p[0] = std::uint8_t(GetBValue(k));
            p[1] = std::uint8_t(GetGValue(k));
            p[2] = std::uint8_t(GetRValue(k));
            p += 3;
          }
        }
        p_ += bytes;
        x += n;
        if (bytes & 1) Next();
      }
      // An end of line after the top row ends the picture; the end mark may be missing.
      if (row >= h_) return std::size_t(p_ - begin_);
    }
  }

 private:
  std::uint8_t Next() {
    if (p_ >= end_) Fail("run-length data ends before the end-of-bitmap mark");
    return *p_++;
  }
  void CheckIndex(std::uint8_t idx) const {
    if (idx >= palette_.size()) Fail("palette index " + std::to_string(idx) + " out of range");
  }
  // Pixels x .. x + count - 1 of a row must lie inside the picture.
  void CheckSpan(int x, int row, int count) const {
    if (x + count > w_ || row >= h_)
      Fail("run-length pixel " + std::to_string(x + count - 1) + ", " + std::to_string(row) +
           " outside the " + std::to_string(w_) + " x " + std::to_string(h_) + " picture");
  }
  // The first byte of pixel x of a row counted from the bottom (24 bits).
  std::uint8_t* Pixel(int x, int row) const { return bmp_->ScanLine(h_ - 1 - row) + 3 * x; }

  const std::uint8_t* begin_;
  const std::uint8_t* p_;
  const std::uint8_t* end_;
  int w_, h_;
  TBitmap* bmp_;
  const std::vector<TColor>& palette_;
  bool four_;
};

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(std::uint8_t(v));
  out.push_back(std::uint8_t(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
}

void PutHeaders(std::vector<std::uint8_t>& out, int w, int h, int bits, std::uint32_t paletteCount,
                std::uint32_t imageSize) {
  const std::uint32_t offset = 14 + 40 + paletteCount * 4;
  out.push_back('B');
  out.push_back('M');
  Put32(out, offset + imageSize);
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, 40);
  Put32(out, std::uint32_t(w));
  Put32(out, std::uint32_t(h));
  Put16(out, 1);
  Put16(out, std::uint16_t(bits));
  Put32(out, BI_RGB);
  Put32(out, imageSize);
  Put32(out, 3780);  // 96 pixels per inch
  Put32(out, 3780);
  Put32(out, paletteCount);
  Put32(out, 0);
}

}  // namespace

bool PeekBmpSize(std::span<const std::uint8_t> head, std::int64_t& width, std::int64_t& height) {
  const std::uint8_t* f = head.data();
  if (head.size() < 14 + 12 || f[0] != 'B' || f[1] != 'M') return false;
  const std::uint32_t headerSize = U32(f + 14);
  if (headerSize == 12) {
    width = U16(f + 18);
    height = U16(f + 20);
    return true;
  }
  if (headerSize < 40 || head.size() < 14 + 12) return false;
  width = I32(f + 18);
  height = I32(f + 22);
  if (height < 0) height = -height;
  return true;
}

TBitmap ReadBmp(std::span<const std::uint8_t> file, TBmpRowOrder order, TBmpInfo* info,
                bool keepAlpha) {
  const std::uint8_t* f = file.data();
  const std::uint64_t size = file.size();
  if (size < 14 + 12) Fail("file too short for the headers");
  if (f[0] != 'B' || f[1] != 'M') Fail("missing \"BM\" signature");
  const std::uint64_t pixelOffset = U32(f + 10);
  const std::uint64_t headerSize = U32(f + 14);
  if (headerSize < 12) Fail("header size " + std::to_string(headerSize) + " too small");
  if (14 + headerSize > size) Fail("header runs past the end of the file");
  if (14 + headerSize > pixelOffset) Fail("pixel data starts inside the header");
  if (headerSize != 12 && headerSize < 40)
    Fail("unknown header size " + std::to_string(headerSize));

  const std::uint8_t* h = f + 14;
  std::int64_t width, height;
  int planes, bits;
  std::uint32_t compression = BI_RGB, colorsUsed = 0;
  const bool core = headerSize == 12;
  if (core) {
    width = U16(h + 4);
    height = U16(h + 6);
    planes = U16(h + 8);
    bits = U16(h + 10);
  } else {
    width = I32(h + 4);
    height = I32(h + 8);
    planes = U16(h + 12);
    bits = U16(h + 14);
    compression = U32(h + 16);
    colorsUsed = U32(h + 32);
  }
  if (planes != 1) Fail("plane count " + std::to_string(planes) + " is not 1");
  if (width <= 0) Fail("width " + std::to_string(width) + " is not positive");
  if (height == 0 || height == std::numeric_limits<std::int32_t>::min())
    Fail("height " + std::to_string(height) + " is not possible");
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width > MaxBitmapSide || height > MaxBitmapSide || width * height > MaxBitmapPixels)
    Fail("size " + std::to_string(width) + " x " + std::to_string(height) + " is too large");
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    Fail("unsupported bit count " + std::to_string(bits));
  switch (compression) {
    case BI_RGB:
      break;
    case BI_RLE8:
      if (bits != 8) Fail("RLE8 needs 8 bits per pixel");
      break;
    case BI_RLE4:
      if (bits != 4) Fail("RLE4 needs 4 bits per pixel");
      break;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS:
      if (bits != 16 && bits != 32) Fail("bit fields need 16 or 32 bits per pixel");
      break;
    default:
      Fail("unsupported compression " + std::to_string(compression));
  }
  const bool rle = compression == BI_RLE8 || compression == BI_RLE4;
  if (rle && topDown) Fail("run-length data cannot be stored top-down");

  // Bit-field masks: inside a 52/56/108/124-byte header, or after a 40-byte one.
  std::uint64_t tableStart = 14 + headerSize;
  TField red, green, blue, alpha;
  if (bits == 16) {
    red = TField(0x7C00);
    green = TField(0x03E0);
    blue = TField(0x001F);
  } else if (bits == 32) {
    red = TField(0x00FF0000);
    green = TField(0x0000FF00);
    blue = TField(0x000000FF);
    alpha = TField(0xFF000000);
  }
  if (compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS) {
    const int maskCount = compression == BI_ALPHABITFIELDS ? 4 : 3;
    const std::uint8_t* m;
    if (headerSize >= 40 + 4 * std::uint64_t(maskCount)) {
      m = h + 40;
    } else {
      if (tableStart + 4 * maskCount > size || tableStart + 4 * maskCount > pixelOffset)
        Fail("bit-field masks run past the pixel data");
      m = f + tableStart;
      tableStart += 4 * maskCount;
    }
    red = TField(U32(m));
    green = TField(U32(m + 4));
    blue = TField(U32(m + 8));
    alpha = TField(maskCount == 4 || headerSize >= 56 ? U32(m + 12) : 0);
  }

  TBmpInfo local;
  TBmpInfo& inf = info ? *info : local;
  inf = TBmpInfo{};
  inf.Width = int(width);
  inf.Height = int(height);
  inf.BitCount = bits;
  inf.TopDownFile = topDown;
  inf.Compression = compression;

  if (bits <= 8) {
    const std::uint64_t maxColors = std::uint64_t(1) << bits;
    if (colorsUsed > maxColors)
      Fail("palette of " + std::to_string(colorsUsed) + " colours for " + std::to_string(bits) +
           " bits");
    const std::uint64_t count = colorsUsed ? colorsUsed : maxColors;
    const int entry = core ? 3 : 4;
    if (tableStart + count * entry > std::min<std::uint64_t>(size, pixelOffset))
      Fail("palette runs past the pixel data");
    inf.Palette.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i) {
      const std::uint8_t* e = f + tableStart + i * entry;
      inf.Palette.push_back(RGB(e[2], e[1], e[0]));
    }
  }

  // The pixel data must be able to describe the picture before memory is
  // spent on it, so a small file never costs a large allocation.
  const std::uint64_t stride = ((std::uint64_t(width) * bits + 31) / 32) * 4;
  if (rle) {
    if (pixelOffset >= size) Fail("run-length data missing");
    // The whole stream is checked before memory is spent on it. Runs give at
    // most 255 pixels per two bytes; allow twice that, counting only the bytes
    // up to the end mark (padding after it describes no pixels).
    const std::uint64_t dataBytes =
        TRleDecoder(f + pixelOffset, std::size_t(size - pixelOffset), int(width), int(height),
                    inf.Palette, compression == BI_RLE4, nullptr)
            .Run();
    if (std::uint64_t(width) * std::uint64_t(height) >
        std::max<std::uint64_t>(65536, dataBytes * 256))
      Fail("run-length data of " + std::to_string(dataBytes) + " bytes cannot fill " +
           std::to_string(width) + " x " + std::to_string(height) + " pixels");
  } else if (pixelOffset + stride * std::uint64_t(height) > size) {
    Fail("pixel array truncated: needs " + std::to_string(stride * std::uint64_t(height)) +
         " bytes, file holds " + std::to_string(size > pixelOffset ? size - pixelOffset : 0));
  }

  const bool alphaOut = keepAlpha && bits == 32;
  const bool bottomUp = order == TBmpRowOrder::AsFile ? !topDown : order == TBmpRowOrder::BottomUp;
  // Every pixel is written below (run-length pictures are filled first).
  TBitmap bmp = TBitmap::Unfilled(
      int(width), int(height), alphaOut ? TPixelFormat::pf32bit : TPixelFormat::pf24bit, bottomUp);
  const int w = int(width), hh = int(height);
  const std::vector<TColor>& pal = inf.Palette;

  if (rle) {
    FillIndex0(bmp, pal);
    TRleDecoder(f + pixelOffset, std::size_t(size - pixelOffset), w, hh, pal,
                compression == BI_RLE4, &bmp)
        .Run();
    return bmp;
  }

  const int obpp = bmp.BytesPerPixel();
  // Palette pictures go through a 256-entry table of ready pixel bytes; an
  // index past the palette is caught by one comparison per pixel.
  // Entries are 4 bytes so that all but a row's last pixel are one 32-bit
  // store, the spare byte being overwritten by the next pixel.
  std::uint8_t lut[256][4] = {};
  const unsigned palSize = unsigned(pal.size());
  for (unsigned i = 0; i < palSize && i < 256; ++i) {
    lut[i][0] = std::uint8_t(GetBValue(pal[i]));
    lut[i][1] = std::uint8_t(GetGValue(pal[i]));
    lut[i][2] = std::uint8_t(GetRValue(pal[i]));
  }
  auto badIndex = [&](unsigned idx) {
    Fail("palette index " + std::to_string(idx) + " out of range (palette has " +
         std::to_string(pal.size()) + " colours)");
  };
  for (int r = 0; r < hh; ++r) {
    const std::uint8_t* s = f + pixelOffset + std::uint64_t(r) * stride;
    const int y = topDown ? r : hh - 1 - r;
    std::uint8_t* d = bmp.ScanLine(y);
    if (bits == 8) {
      std::uint8_t* const last = d + std::ptrdiff_t(w - 1) * obpp;
      for (; d < last; d += obpp, ++s) {
        const unsigned idx = *s;
        if (idx >= palSize) badIndex(idx);
        std::memcpy(d, lut[idx], 4);
      }
      if (w > 0) {
        if (*s >= palSize) badIndex(*s);
        std::memcpy(d, lut[*s], 3);
      }
    } else if (bits < 8) {
      const int perByte = 8 / bits;
      const unsigned mask = (1u << bits) - 1;
      for (int x = 0; x < w;) {
        const unsigned byte = *s++;
        for (int k = 1; k <= perByte && x < w; ++k, ++x, d += obpp) {
          const unsigned idx = (byte >> (8 - bits * k)) & mask;
          if (idx >= palSize) badIndex(idx);
          std::memcpy(d, lut[idx], 3);
        }
      }
    } else if (bits == 24 && obpp == 3) {
      std::memcpy(d, s, std::size_t(w) * 3);
    } else if (bits == 24) {
      for (int x = 0; x < w; ++x, d += obpp, s += 3) std::memcpy(d, s, 3);
    } else {
      const int bpp = bits / 8;
      for (int x = 0; x < w; ++x, d += obpp, s += bpp) {
        const std::uint32_t v = bpp == 2 ? U16(s) : U32(s);
        d[0] = blue.Get(v);
        d[1] = green.Get(v);
        d[2] = red.Get(v);
        if (alphaOut) d[3] = alpha.Get(v);
      }
    }
  }
  return bmp;
}

TBitmap LoadBmpFile(const std::string& path, TBmpRowOrder order, TBmpInfo* info) {
  std::vector<std::uint8_t> data;
  try {
    // No BMP the program accepts comes near 2 GiB; refuse before allocating.
    data = ReadWholeFile(path, std::uint64_t(1) << 31);
  } catch (const EFileReadError& e) {
    throw TBmpError("BMP: " + e.Message());
  }
  return ReadBmp(data, order, info);
}

std::vector<std::uint8_t> WriteBmp24(const TBitmap& bmp) {
  if (bmp.Empty()) throw TBmpError("BMP: cannot write an empty bitmap");
  const int w = bmp.Width(), h = bmp.Height();
  const std::uint32_t stride = std::uint32_t((w * 3 + 3) & ~3);
  const std::uint32_t imageSize = stride * std::uint32_t(h);
  std::vector<std::uint8_t> out;
  out.reserve(54 + imageSize);
  PutHeaders(out, w, h, 24, 0, imageSize);
  const int bpp = bmp.BytesPerPixel();
  for (int y = h - 1; y >= 0; --y) {
    const std::uint8_t* s = bmp.ScanLine(y);
    for (int x = 0; x < w; ++x, s += bpp) out.insert(out.end(), {s[0], s[1], s[2]});
    out.insert(out.end(), stride - std::uint32_t(w) * 3, 0);
  }
  return out;
}

std::vector<std::uint8_t> WriteBmp8(const TBitmap& bmp) {
  if (bmp.Empty()) throw TBmpError("BMP: cannot write an empty bitmap");
  const int w = bmp.Width(), h = bmp.Height();
  std::vector<TColor> palette;
  std::unordered_map<TColor, std::uint8_t> index;
  std::vector<std::uint8_t> pixels(std::size_t(w) * std::size_t(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const TColor c = bmp.GetPixel(x, y);
      auto it = index.find(c);
      if (it == index.end()) {
        if (palette.size() == 256) throw TBmpError("BMP: more than 256 colours for an 8-bit file");
        it = index.emplace(c, std::uint8_t(palette.size())).first;
        palette.push_back(c);
      }
      pixels[std::size_t(y) * w + x] = it->second;
    }
  const std::uint32_t stride = std::uint32_t((w + 3) & ~3);
  const std::uint32_t imageSize = stride * std::uint32_t(h);
  std::vector<std::uint8_t> out;
  out.reserve(54 + 4 * palette.size() + imageSize);
  PutHeaders(out, w, h, 8, std::uint32_t(palette.size()), imageSize);
  for (TColor c : palette)
    out.insert(out.end(), {std::uint8_t(GetBValue(c)), std::uint8_t(GetGValue(c)),
                           std::uint8_t(GetRValue(c)), 0});
  for (int y = h - 1; y >= 0; --y) {
    const std::uint8_t* row = pixels.data() + std::size_t(y) * w;
    out.insert(out.end(), row, row + w);
    out.insert(out.end(), stride - std::uint32_t(w), 0);
  }
  return out;
}

void SaveBmpFile(const std::string& path, const TBitmap& bmp, int bitCount) {
  if (bitCount != 8 && bitCount != 24)
    throw TBmpError("BMP: cannot write " + std::to_string(bitCount) + " bits per pixel");
  const std::vector<std::uint8_t> data = bitCount == 8 ? WriteBmp8(bmp) : WriteBmp24(bmp);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw TBmpError("BMP: cannot create \"" + path + "\"");
  out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
  out.close();
  if (!out) throw TBmpError("BMP: cannot write \"" + path + "\"");
}

}  // namespace vm
