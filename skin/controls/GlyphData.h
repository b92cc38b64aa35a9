// The stored form of a button glyph: a 32-bit little-endian byte count
// followed by a complete bitmap file ("BM" header). Form files keep glyphs
// this way; the program embeds its own glyphs in it.
//
// Reading never fails: data that is truncated, is not a bitmap file, or
// declares a picture larger than a glyph can sensibly be gives an empty
// picture, so a damaged glyph leaves a button without one and nothing more.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/gfx/Bitmap.h"

namespace vm {

// The largest side a stored glyph may declare, and the most pixels it may hold.
inline constexpr int MaxGlyphSide = 4096;
inline constexpr std::int64_t MaxGlyphPixels = 4096 * 1024;

// The picture of stored glyph data (24-bit, rows top-down), or an empty
// bitmap for bad data.
TBitmap ReadGlyphData(std::span<const std::uint8_t> data);
// The stored form of a picture: its 24-bit bitmap file behind the count.
std::vector<std::uint8_t> WriteGlyphData(const TBitmap& glyph);

}  // namespace vm
