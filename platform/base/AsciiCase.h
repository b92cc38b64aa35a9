// Case folding for names the program compares without regard to case: ASCII
// for identifiers (section and key names, component and class names, file
// extensions), and a small Latin and Cyrillic fold for text the user reads
// (list searches, menu mnemonics, file names). Locale-free on purpose: the
// process locale must never change how a skin or a shortcut is matched.
#pragma once

#include <string>
#include <string_view>

namespace vm {

constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

inline std::string AsciiLowerCopy(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

inline std::string AsciiUpperCopy(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}

// Equal but for the case of ASCII letters.
constexpr bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

// One character folded to lower case: ASCII and Latin-1 capitals, Cyrillic
// А..Я and Ѐ..Џ (Ё among them). Everything else is itself.
constexpr char32_t FoldCase(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;  // Latin-1 capitals
  if (c >= 0x0410 && c <= 0x042F) return c + 32;           // А..Я
  if (c >= 0x0400 && c <= 0x040F) return c + 80;           // Ѐ..Џ
  return c;
}

}  // namespace vm
