#include "platform/controls/ListText.h"

namespace vm::ctl {

char32_t DecodeAt(std::string_view s, std::size_t& i) {
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char b = byte(i);
  int extra = b < 0x80             ? 0
              : (b & 0xE0) == 0xC0 ? 1
              : (b & 0xF0) == 0xE0 ? 2
              : (b & 0xF8) == 0xF0 ? 3
                                   : -1;
  // ASCII, a stray byte or a sequence cut short: one byte, as itself.
  if (extra <= 0 || i + std::size_t(extra) >= s.size()) {
    ++i;
    return b;
  }
  char32_t c = b & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    unsigned char n = byte(i + std::size_t(k));
    if ((n & 0xC0) != 0x80) {
      ++i;
      return b;
    }
    c = (c << 6) | (n & 0x3F);
  }
  i += std::size_t(extra) + 1;
  return c;
}

char32_t FoldCase(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;  // Latin-1 capitals
  if (c >= 0x0410 && c <= 0x042F) return c + 32;           // А..Я
  if (c >= 0x0400 && c <= 0x040F) return c + 80;           // Ѐ..Џ, Ё among them
  return c;
}

int CompareNoCase(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    char32_t x = FoldCase(DecodeAt(a, i)), y = FoldCase(DecodeAt(b, j));
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  std::size_t i = 0, j = 0;
  while (j < prefix.size()) {
    if (i >= text.size()) return false;
    if (FoldCase(DecodeAt(text, i)) != FoldCase(DecodeAt(prefix, j))) return false;
  }
  return true;
}

char32_t FirstFolded(std::string_view text) {
  if (text.empty()) return 0;
  std::size_t i = 0;
  return FoldCase(DecodeAt(text, i));
}

}  // namespace vm::ctl
