// Comparing item texts the way lists do: without regard to case, for Latin
// and Cyrillic letters alike, on UTF-8 text (invalid bytes compare as
// themselves). Sorted lists, type-ahead and string searches of the list
// controls use it. Internal to platform/controls.
#pragma once

#include <string_view>

#include "platform/base/AsciiCase.h"

namespace vm::ctl {

// The code point at byte i and the byte after it; invalid bytes are taken
// one at a time as their own value.
char32_t DecodeAt(std::string_view s, std::size_t& i);
// A letter's lower-case form (ASCII, Latin-1, Cyrillic); other code points unchanged.
using vm::FoldCase;
// <0, 0 or >0, ignoring case.
int CompareNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
// The first code point of a text, folded (0 for an empty text).
char32_t FirstFolded(std::string_view text);

}  // namespace vm::ctl
