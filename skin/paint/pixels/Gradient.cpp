#include "skin/paint/pixels/Gradient.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace vm {

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

[[noreturn]] void ThrowNotInteger(std::string_view text) {
  throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

// The fields of a gradient text: runs of ';' are one separator and empty
// fields at either end do not count.
std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ';') ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] != ';') ++i;
    if (i > start) fields.push_back(text.substr(start, i - start));
  }
  return fields;
}

}  // namespace

std::int32_t StrToInt(std::string_view text) {
  std::string_view t = text;
  while (!t.empty() && IsSpace(t.front())) t.remove_prefix(1);
  while (!t.empty() && IsSpace(t.back())) t.remove_suffix(1);
  bool negative = false;
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  if (t.empty()) ThrowNotInteger(text);

  std::uint64_t value = 0;
  if (t.front() == '$') {
    // Hexadecimal takes up to 32 bits; $FFFFFFFF is -1 like any 32-bit pattern.
    t.remove_prefix(1);
    if (t.empty() || t.size() > 8) {
      // Allow leading zeros beyond eight digits.
      while (t.size() > 8 && t.front() == '0') t.remove_prefix(1);
      if (t.empty() || t.size() > 8) ThrowNotInteger(text);
    }
    for (char c : t) {
      int digit;
      if (c >= '0' && c <= '9')
        digit = c - '0';
      else if (c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
      else
        ThrowNotInteger(text);
      value = value * 16 + std::uint64_t(digit);
    }
    std::uint32_t bits = std::uint32_t(value);
    if (negative) bits = 0u - bits;
    return std::int32_t(bits);
  }

  for (char c : t) {
    if (c < '0' || c > '9') ThrowNotInteger(text);
    value = value * 10 + std::uint64_t(c - '0');
    if (value > 2147483648ull) ThrowNotInteger(text);
  }
  if (negative) return std::int32_t(-std::int64_t(value));
  if (value > 2147483647ull) ThrowNotInteger(text);
  return std::int32_t(value);
}

void ParseGradient(std::string_view text, TsGradArray& array) {
  const std::vector<std::string_view> fields = SplitFields(text);
  const std::size_t bands = fields.size() / 5;
  array.assign(bands, GradientItem{});
  for (std::size_t k = 0; k < bands; ++k) {
    GradientItem& item = array[k];
    item.Color1 = StrToInt(fields[5 * k]);
    item.Color2 = StrToInt(fields[5 * k + 1]);
    item.Percent = std::min(100, StrToInt(fields[5 * k + 2]));
    item.Mode = StrToInt(fields[5 * k + 3]);
  }
}

}  // namespace vm
