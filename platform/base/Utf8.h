// UTF-8, the encoding of every text in memory. One decoder for the whole
// program: strict (overlong forms, surrogates and values past U+10FFFF are
// not characters), and never throws. Where bytes are not valid UTF-8 the
// caller chooses what they mean: Utf8ToUtf32 shows them as U+FFFD, and
// comparisons see each such byte as its own value above the Unicode range
// (IsInvalidUtf8), so it never equals a character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vm {

inline constexpr char32_t InvalidUtf8Base = 0x110000;

constexpr bool IsInvalidUtf8(char32_t c) {
  return c >= InvalidUtf8Base;
}

// The character at s[i], moving i past it; an invalid byte moves i by one and
// comes back as InvalidUtf8Base + the byte. i must be below s.size().
char32_t NextUtf8(std::string_view s, std::size_t& i);

// UTF-8 to code points; invalid bytes become U+FFFD (one for each maximal
// invalid piece), never an exception.
std::u32string Utf8ToUtf32(std::string_view s);
// The same into out, which keeps its room (no allocation once it has grown).
void Utf8ToUtf32(std::string_view s, std::u32string& out);
std::string Utf32ToUtf8(std::u32string_view s);
// Appends one code point (U+0000..U+10FFFF, not a surrogate) as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

constexpr bool IsUtf8Continuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The start of the character after the one at i (s.size() at the end), and
// of the one before i (0 at the start); stray continuation bytes are stepped
// over as part of the character before them.
std::size_t NextUtf8Start(std::string_view s, std::size_t i);
std::size_t PrevUtf8Start(std::string_view s, std::size_t i);

// The longest prefix of s of at most n bytes that does not end inside a
// character: cutting a text to a buffer never leaves half a character.
std::size_t Utf8PrefixLength(std::string_view s, std::size_t n);

}  // namespace vm
