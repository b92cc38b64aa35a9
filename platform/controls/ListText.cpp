#include "platform/controls/ListText.h"
#include "platform/base/Utf8.h"

namespace vm::ctl {

char32_t DecodeAt(std::string_view s, std::size_t& i) {
  // A stray byte or a sequence cut short: one byte, as itself.
  const char32_t c = NextUtf8(s, i);
  return IsInvalidUtf8(c) ? c - InvalidUtf8Base : c;
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
