// The description file (Options.dat) of the built-in skin, generated from the same
// layout table that places the pictures, so mask strings and bitmaps always agree.
#pragma once

#include <string>
#include <vector>

#include "tools/skingen/SkinLayout.h"

namespace vm {

// Section names in file order (64).
const std::vector<std::string>& SkinSectionOrder();

// The whole description text: upper-case names, CR LF line endings, an empty line
// between sections, no comments.
std::string BuildDescription(const TSkinLayout& layout);

}  // namespace vm
