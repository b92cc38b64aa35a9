// Keyboard translation: X keysyms and keycodes to the platform's virtual-key
// codes, and decoding of the UTF-8 text the input method produces.
//
// Virtual keys come from the keysym of layout group 0 (the first layout), so
// shortcuts such as Ctrl+S keep working while a Russian layout is active. A
// key whose group-0 keysym is not Latin (a Russian-only keymap) falls back to
// the key's position on a PC keyboard, as the platform's own layouts do.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace vm {

// The virtual key the platform reports for keys that only carry a character
// (a keysym bound on the fly, as xdotool does for text it types).
constexpr int VkPacket = 0xE7;

// Virtual key of a group-0 keysym, or 0 when the keysym has none.
int VirtualKeyFromKeysym(unsigned long keysym);
// Virtual key of a PC keyboard's alphanumeric key by its evdev X keycode
// (keycode 38 is the key labelled A), or 0.
int VirtualKeyFromKeycode(unsigned keycode);
// The platform's scan code of an evdev X keycode: the PC set-1 code in the
// low byte, plus 0x100 for keys the platform flags as extended (right-hand
// Ctrl and Alt, the cursor block, keypad Enter and Divide, the Windows keys).
int ScanCodeFromKeycode(unsigned keycode);

// The Unicode code point a keysym stands for, or 0 (function keys, modifiers).
// Covers Unicode keysyms (0x01000000 + code point), Latin-1 and Cyrillic.
std::uint32_t CodePointFromKeysym(unsigned long keysym);

// Code points of UTF-8 text. Malformed sequences (stray continuation bytes,
// overlong forms, surrogates, values past U+10FFFF, cut-off endings) each
// become U+FFFD, so nothing is read past the end.
std::vector<std::uint32_t> DecodeUtf8(std::string_view text);

}  // namespace vm
