// The main window's button glyphs and the program icon, drawn in code.
//
// Each glyph is a 32 x 32 24-bit bitmap whose bottom-left pixel is the
// transparent colour (magenta). Shapes are anti-aliased; their edge pixels are
// blended with a light neutral face colour between a grey button face and the
// light-blue skin, so they sit cleanly on either.
#pragma once

#include "platform/gfx/Bitmap.h"

namespace vm::app {

enum class TGlyph { Open, Save, Resize, Quality, Undo, About, Exit };

constexpr int GlyphSize = 32;
constexpr TColor GlyphTransparent = 0x00FF00FF;  // magenta, $00BBGGRR

TBitmap MakeGlyph(TGlyph glyph);

// The program icon at size x size (16 to 256), fully opaque; `background`
// fills what lies outside its rounded frame.
TBitmap MakeProgramIcon(int size, TColor background);

// The same icon as a 32-bit picture whose alpha leaves the outside clear
// (window icons, the launcher's icon files).
TBitmap MakeProgramIconWithAlpha(int size);

}  // namespace vm::app
