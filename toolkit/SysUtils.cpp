#include "toolkit/SysUtils.h"

#include <charconv>

namespace vm {

std::optional<std::int32_t> ParseInt32(const std::string& text) {
  std::size_t b = text.find_first_not_of(" \t");
  if (b == std::string::npos) return std::nullopt;
  std::size_t e = text.find_last_not_of(" \t") + 1;
  const char* first = text.data() + b;
  const char* last = text.data() + e;
  if (*first == '+') ++first;  // from_chars takes a minus sign only
  std::int32_t v = 0;
  auto [end, ec] = std::from_chars(first, last, v, 10);
  if (ec != std::errc() || end != last || first == last) return std::nullopt;
  return v;
}

}  // namespace vm
