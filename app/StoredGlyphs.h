// The main window's button glyphs as the program carries them: in the stored
// glyph form (a 32-bit byte count, then a 24-bit bitmap file), embedded from
// app/glyphs/*.glyph at build time; and the program icon at the two sizes a
// window shows, embedded from app/glyphs/icon16.bgra and icon32.bgra (rows
// top to bottom, B, G, R, A a pixel). tools/glyphdata wrote those files from
// the drawing code in Glyphs.cpp; the program itself never draws them.
#pragma once

#include <cstdint>
#include <span>

#include "app/Glyphs.h"

namespace vm::app {

std::span<const std::uint8_t> StoredGlyphData(TGlyph glyph);

// The stored icon's bytes for size 16 or 32 (empty for any other size).
std::span<const std::uint8_t> StoredIconData(int size);
// The stored icon as the 32-bit picture MakeProgramIconWithAlpha(size)
// draws; drawn when no stored form of that size exists.
TBitmap StoredProgramIcon(int size);

}  // namespace vm::app
