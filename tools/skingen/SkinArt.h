// The pictures of the built-in light-blue skin, painted from code.
#pragma once

#include <string>

#include "tools/skingen/Raster.h"

namespace vm {

// The shape choices a skin painted from this artwork may make: how round its
// corners are (radii times Roundness) and whether faces are two-band glass or
// one smooth gradient.
struct TSkinShape {
  float Roundness = 1.0f;
  bool Glossy = true;
};

// Paints state cell `state` (0 normal, 1 hot, 2 pressed or selected) of the named
// image of the skin layout into a transparent w x h raster.
TRaster PaintSkinCell(const std::string& image, int state, int w, int h,
                      const TSkinShape& shape = {});

// The colour an element is normally drawn on. Pictures without a mask row cannot
// carry partial transparency, so their soft edges are pre-blended with it.
TRgbF SkinMatte(const std::string& image);

// State cell of the large button picture BUTTONHUGE.BMP (96 x 96 per state).
TRaster PaintHugeButtonCell(int state, const TSkinShape& shape = {});

}  // namespace vm
