// Colour helpers of the painting core: resolving system colours, the key
// colour rules, and the colour arithmetic (mixing, saturation and hue shifts)
// that skin colours go through.
#pragma once

#include <cstdint>

#include "platform/gfx/Types.h"

namespace vm {

// The transparent key colour of skin images (magenta). The same value marks a
// colour variable that holds no colour.
constexpr TColor KeyColor = 0x00FF00FF;

// A key colour above $FEFFFFFF means "no key": every pixel is opaque.
constexpr bool IsNoKey(TColor key) {
  return key > 0xFEFFFFFFu;
}

// Resolves a system colour ($FFxxxxxx) to $00BBGGRR; any other colour keeps
// its low three bytes and loses its top byte.
TColor ResolveColor(TColor c);

// Turns a percentage into a byte weight: clamp(percent * 255 div 100), so
// 50 gives 127, 100 gives 255, anything below 0 gives 0.
std::uint8_t PercentToWeight(int percent);

// Mixes two colours per channel as nearest(fraction * (a - b) + b), halves to
// even; fraction is the weight of a. The top byte of a is kept unless a is a
// system colour (then it is resolved and its top byte is 0).
TColor MixColors(TColor a, TColor b, double fraction);

// Moves every channel toward the grey (R + G + B) / 3 by amount percent
// (100 gives grey; negative amounts push away from grey), rounded half to even
// and limited to 0..255. Amount 0 returns the colour as given.
TColor ChangeSaturation(TColor color, int amount);

// Rotates the hue of a colour by degrees (any sign; the resulting hue is taken
// modulo 360). Greys (saturation 0) are returned as given.
TColor ChangeHue(int degrees, TColor color);

}  // namespace vm
