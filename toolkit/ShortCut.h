// Keyboard shortcuts of menu items: a virtual key in the low byte and the
// modifiers in the high bits, and their text as a menu shows it ("Ctrl+O").
//
// The key is the platform's virtual key, which the hosts take from the first
// keyboard layout: Ctrl+O stays Ctrl+O while a Russian layout types "щ" on
// that key.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "toolkit/Control.h"

namespace vm {

using TShortCut = std::uint16_t;
inline constexpr TShortCut scNone = 0;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;

// A shortcut from a virtual key ('O', VK_F5, ...) and the modifiers held.
TShortCut ShortCut(int key, TShiftState shift);
// The key and the modifiers of a shortcut.
void ShortCutToKey(TShortCut shortCut, int& key, TShiftState& shift);
// "Ctrl+O", "Shift+Ctrl+S", "F5", "Del"; an empty text for scNone.
std::string ShortCutToText(TShortCut shortCut);
// The reverse of ShortCutToText (case ignored); scNone for a text it does not know.
TShortCut TextToShortCut(std::string_view text);

}  // namespace vm
