// The main window's button glyphs as the program carries them: in the stored
// glyph form (a 32-bit byte count, then a 24-bit bitmap file), embedded from
// app/glyphs/*.glyph at build time. tools/glyphdata wrote those files from
// the drawing code in Glyphs.cpp; the program itself never draws them.
#pragma once

#include <cstdint>
#include <span>

#include "app/Glyphs.h"

namespace vm::app {

std::span<const std::uint8_t> StoredGlyphData(TGlyph glyph);

}  // namespace vm::app
