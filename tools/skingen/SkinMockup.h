// A picture of typical controls drawn from the generated skin, for judging the artwork
// the way users will see it: nine-part borders stretched to real control sizes,
// section gradients, caption buttons, check marks and menus.
#pragma once

#include <string>

#include "tools/skingen/SkinBitmaps.h"

namespace vm {

// Composes the sample window from the description text and the two bitmaps.
TRgbImage RenderMockup(const std::string& description, const TIndexedImage& master,
                       const TIndexedImage& huge);

}  // namespace vm
