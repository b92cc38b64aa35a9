// Small drawing helpers shared by the demo's windows: classic 3-D edges and
// UTF-8 conversion of edited text.
#pragma once

#include <string>
#include <string_view>

#include "platform/gfx/DC.h"

namespace vm::demo {

// The platform's two-pixel edges: raised for buttons, sunken for fields.
void DrawRaisedEdge(HDC dc, const TRect& r);
void DrawSunkenEdge(HDC dc, const TRect& r);

// Colour of a system colour index, resolved.
TColor Sys(int index);

std::string Utf8FromCodePoints(std::u32string_view text);

}  // namespace vm::demo
