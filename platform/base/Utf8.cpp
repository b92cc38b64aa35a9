#include "platform/base/Utf8.h"

namespace vm {
namespace {

// The length a lead byte announces: 1 for ASCII, 2..4 for a lead, 0 for a
// continuation byte or a byte that never starts a character.
int AnnouncedLength(unsigned char c) {
  if (c < 0x80) return 1;
  if ((c & 0xE0) == 0xC0) return 2;
  if ((c & 0xF0) == 0xE0) return 3;
  if ((c & 0xF8) == 0xF0) return 4;
  return 0;
}

}  // namespace

char32_t NextUtf8(std::string_view s, std::size_t& i) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const unsigned char c = p[i];
  const int len = AnnouncedLength(c);
  if (len == 1) {
    ++i;
    return c;
  }
  const auto invalid = [&] {
    ++i;
    return InvalidUtf8Base + c;
  };
  if (len == 0 || i + std::size_t(len) > s.size()) return invalid();
  char32_t cp = c & (0x7F >> len);
  for (int k = 1; k < len; ++k) {
    const unsigned char n = p[i + std::size_t(k)];
    if ((n & 0xC0) != 0x80) return invalid();
    cp = (cp << 6) | (n & 0x3F);
  }
  static constexpr char32_t Min[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < Min[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return invalid();
  i += std::size_t(len);
  return cp;
}

std::u32string Utf8ToUtf32(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  Utf8ToUtf32(s, out);
  return out;
}

void Utf8ToUtf32(std::string_view s, std::u32string& out) {
  out.clear();
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t at = i;
    const char32_t c = NextUtf8(s, i);
    if (!IsInvalidUtf8(c)) {
      out.push_back(c);
      continue;
    }
    // One replacement for a lead byte and the continuation bytes it announced.
    out.push_back(0xFFFD);
    const int len = AnnouncedLength(static_cast<unsigned char>(s[at]));
    for (int k = 1; k < len && i < s.size() && IsUtf8Continuation(s[i]); ++k) ++i;
  }
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(char(c));
  } else if (c < 0x800) {
    out.push_back(char(0xC0 | (c >> 6)));
    out.push_back(char(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(char(0xE0 | (c >> 12)));
    out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(char(0x80 | (c & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (c >> 18)));
    out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(char(0x80 | (c & 0x3F)));
  }
}

std::string Utf32ToUtf8(std::u32string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char32_t c : s) AppendUtf8(out, (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) ? 0xFFFD : c);
  return out;
}

std::size_t NextUtf8Start(std::string_view s, std::size_t i) {
  if (i >= s.size()) return s.size();
  ++i;
  while (i < s.size() && IsUtf8Continuation(s[i])) ++i;
  return i;
}

std::size_t PrevUtf8Start(std::string_view s, std::size_t i) {
  if (i == 0) return 0;
  if (i > s.size()) return s.size();
  --i;
  while (i > 0 && IsUtf8Continuation(s[i])) --i;
  return i;
}

std::size_t Utf8PrefixLength(std::string_view s, std::size_t n) {
  if (n >= s.size()) return s.size();
  while (n > 0 && IsUtf8Continuation(s[n])) --n;
  return n;
}

}  // namespace vm
