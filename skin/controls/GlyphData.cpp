#include "skin/controls/GlyphData.h"

#include <cstdlib>
#include <exception>

#include "platform/gfx/BmpCodec.h"

namespace vm {

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
         (std::uint32_t(p[3]) << 24);
}

std::int32_t Le16s(const std::uint8_t* p) {
  return std::int16_t(std::uint16_t(p[0] | (p[1] << 8)));
}

// Whether the file's header declares a size a glyph can have. Checked before
// decoding, so that a compressed file cannot make the decoder allocate a
// picture of absurd size from a few bytes.
bool SensibleSize(std::span<const std::uint8_t> file) {
  constexpr std::size_t FileHeader = 14;
  if (file.size() < FileHeader + 12 || file[0] != 'B' || file[1] != 'M') return false;
  const std::uint8_t* info = file.data() + FileHeader;
  const std::uint32_t headerSize = Le32(info);
  std::int64_t w = 0, h = 0;
  if (headerSize == 12) {
    w = Le16s(info + 4);
    h = Le16s(info + 6);
  } else {
    if (file.size() < FileHeader + 16) return false;
    w = std::int32_t(Le32(info + 4));
    h = std::int32_t(Le32(info + 8));
  }
  h = std::llabs(h);
  return w > 0 && h > 0 && w <= MaxGlyphSide && h <= MaxGlyphSide && w * h <= MaxGlyphPixels;
}

}  // namespace

TBitmap ReadGlyphData(std::span<const std::uint8_t> data) {
  if (data.size() < 4) return TBitmap();
  const std::uint32_t count = Le32(data.data());
  if (count > data.size() - 4) return TBitmap();  // truncated
  const std::span<const std::uint8_t> file = data.subspan(4, count);
  if (!SensibleSize(file)) return TBitmap();
  try {
    return ReadBmp(file, TBmpRowOrder::TopDown);
  } catch (const std::exception&) {
    return TBitmap();
  }
}

std::vector<std::uint8_t> WriteGlyphData(const TBitmap& glyph) {
  const std::vector<std::uint8_t> file = WriteBmp24(glyph);
  std::vector<std::uint8_t> data;
  data.reserve(file.size() + 4);
  const auto n = std::uint32_t(file.size());
  for (int i = 0; i < 4; ++i) data.push_back(std::uint8_t(n >> (8 * i)));
  data.insert(data.end(), file.begin(), file.end());
  return data;
}

}  // namespace vm
