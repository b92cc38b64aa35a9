#include "skin/data/MemIniFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <unordered_map>

#include "platform/base/Utf8.h"
#include "platform/gfx/Font.h"

namespace vm {

namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool IsAscii(std::string_view text) {
  // Eight bytes are tested at a time for a set high bit.
  std::uint64_t high = 0;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    high |= word;
  }
  for (; i < text.size(); ++i) high |= std::uint8_t(text[i]);
  return (high & 0x8080808080808080ull) == 0;
}

}  // namespace

TMemIniFile::TMemIniFile(std::string_view text, bool semicolonComments) {
  SetText(text, semicolonComments);
}

void TMemIniFile::SetText(std::string_view text, bool semicolonComments) {
  Parse(text, semicolonComments, SIZE_MAX, [](std::string_view s) { return std::string(s); });
}

void TMemIniFile::SetCp1251Text(std::string_view text, std::size_t maxSections) {
  // Descriptions are mostly pure ASCII; then nothing needs converting.
  if (IsAscii(text))
    Parse(text, false, maxSections, [](std::string_view s) { return std::string(s); });
  else
    Parse(text, false, maxSections, [](std::string_view s) { return Cp1251ToUtf8(s); });
}

namespace {

// The keys of one large section by name, for the check of each new key
// against the earlier ones: open addressing over key positions (0 = free).
// Small sections are scanned instead, which costs less than hashing.
class TKeyTable {
 public:
  // The position of `name` among `keys`, or -1.
  long Find(const std::vector<TMemIniFile::Key>& keys, std::string_view name) const {
    if (slots_.empty()) return -1;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t h = std::hash<std::string_view>()(name) & mask;; h = (h + 1) & mask) {
      const std::uint32_t at = slots_[h];
      if (at == 0) return -1;
      if (keys[at - 1].Name == name) return long(at - 1);
    }
  }
  // Adds keys[index], which is not yet in the table.
  void Add(const std::vector<TMemIniFile::Key>& keys, std::size_t index) {
    if ((count_ + 1) * 2 > slots_.size()) {
      slots_.assign(std::max<std::size_t>(64, slots_.size() * 2), 0);
      count_ = 0;
      for (std::size_t i = 0; i < index; ++i) Place(keys, i);
    }
    Place(keys, index);
  }

 private:
  void Place(const std::vector<TMemIniFile::Key>& keys, std::size_t index) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t h = std::hash<std::string_view>()(keys[index].Name) & mask;
    while (slots_[h] != 0) h = (h + 1) & mask;
    slots_[h] = std::uint32_t(index + 1);
    ++count_;
  }
  std::vector<std::uint32_t> slots_;
  std::size_t count_ = 0;
};

// Sections up to this many keys are scanned for a repeated key.
constexpr std::size_t ScannedKeys = 32;

}  // namespace

template <typename Convert>
void TMemIniFile::Parse(std::string_view text, bool semicolonComments, std::size_t maxSections,
                        Convert&& convert) {
  sections_.clear();
  sectionIndex_.clear();
  // Tables of the sections that outgrew a scan, by section position.
  std::unordered_map<std::size_t, TKeyTable> tables;
  std::size_t current = SIZE_MAX;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string_view trimmed = TrimBlanks(line);
    if (trimmed.empty()) continue;
    if (semicolonComments && trimmed.front() == ';') continue;
    if (trimmed.front() == '[' && trimmed.back() == ']' && trimmed.size() >= 2) {
      std::string name = convert(TrimBlanks(trimmed.substr(1, trimmed.size() - 2)));
      // A repeated section continues the first one.
      auto [it, added] = sectionIndex_.try_emplace(std::move(name), sections_.size());
      if (added) {
        if (sections_.size() >= maxSections) {
          sections_.clear();
          sectionIndex_.clear();
          throw ETooManySections("more than " + std::to_string(maxSections) + " sections");
        }
        sections_.push_back({it->first, {}});
        // Sections of a skin description hold a dozen keys or more.
        sections_.back().Keys.reserve(16);
      }
      current = it->second;
      continue;
    }
    if (current == SIZE_MAX) continue;  // keys before the first section belong nowhere
    // The value is everything after the first "=", blanks included: a
    // gradient of one blank means "no gradient".
    std::size_t eq = line.find('=');
    std::string name =
        convert(eq == std::string_view::npos ? trimmed : TrimBlanks(line.substr(0, eq)));
    // The first occurrence of a key is the one read; later ones are dropped.
    std::vector<Key>& keys = sections_[current].Keys;
    if (keys.size() <= ScannedKeys) {
      bool repeated = false;
      for (const Key& k : keys)
        if (k.Name == name) repeated = true;
      if (repeated) continue;
    } else if (tables[current].Find(keys, name) >= 0) {
      continue;
    }
    std::string value = eq == std::string_view::npos ? std::string() : convert(line.substr(eq + 1));
    keys.push_back({std::move(name), std::move(value)});
    if (keys.size() > ScannedKeys) tables[current].Add(keys, keys.size() - 1);
  }
}

const TMemIniFile::Section* TMemIniFile::FindSection(std::string_view name) const {
  auto it = sectionIndex_.find(name);
  return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

int TMemIniFile::SectionIndexOf(std::string_view name) const {
  auto it = sectionIndex_.find(name);
  return it == sectionIndex_.end() ? -1 : int(it->second);
}

const TMemIniFile::Key* TMemIniFile::FindKey(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  if (!s) return nullptr;
  for (const Key& k : s->Keys)
    if (k.Name == key) return &k;
  return nullptr;
}

const std::string* TMemIniFile::FindValue(std::string_view section, std::string_view key) const {
  const Key* k = FindKey(section, key);
  return k ? &k->Value : nullptr;
}

std::vector<std::string> TMemIniFile::ReadSections() const {
  std::vector<std::string> names;
  names.reserve(sections_.size());
  for (const Section& s : sections_) names.push_back(s.Name);
  return names;
}

std::vector<std::string> TMemIniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> names;
  if (const Section* s = FindSection(section))
    for (const Key& k : s->Keys) names.push_back(k.Name);
  return names;
}

bool TMemIniFile::SectionExists(std::string_view section) const {
  return FindSection(section) != nullptr;
}

bool TMemIniFile::ValueExists(std::string_view section, std::string_view key) const {
  return FindKey(section, key) != nullptr;
}

std::string TMemIniFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
  const Key* k = FindKey(section, key);
  return k ? k->Value : std::string(defaultValue);
}

int TMemIniFile::ReadInteger(std::string_view section, std::string_view key,
                             int defaultValue) const {
  const Key* k = FindKey(section, key);
  int value;
  if (k && TryStrToInt(k->Value, value)) return value;
  return defaultValue;
}

double TMemIniFile::ReadFloat(std::string_view section, std::string_view key,
                              double defaultValue) const {
  const Key* k = FindKey(section, key);
  double value;
  if (k && TryStrToFloatPoint(k->Value, value)) return value;
  return defaultValue;
}

bool TryStrToInt(std::string_view text, int& value) {
  std::string_view s = TrimBlanks(text);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  } else if (s.size() > 1 && s[0] == '$') {
    base = 16;
    s.remove_prefix(1);
  }
  if (s.empty()) return false;
  std::uint64_t magnitude = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
  if (ec != std::errc() || end != s.data() + s.size()) return false;
  if (base == 16) {
    // Hexadecimal texts write the 32-bit pattern: $FFFFFFFF is -1.
    if (magnitude > 0xFFFFFFFFull) return false;
    std::int32_t bits = std::int32_t(std::uint32_t(magnitude));
    value = negative ? -bits : bits;
    if (negative && bits == INT32_MIN) return false;
    return true;
  }
  if (negative) {
    if (magnitude > 0x80000000ull) return false;
    value = int(-std::int64_t(magnitude));
  } else {
    if (magnitude > 0x7FFFFFFFull) return false;
    value = int(magnitude);
  }
  return true;
}

int ParseIntValue(std::string_view text) {
  int value;
  if (!TryStrToInt(text, value))
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  return value;
}

bool TryStrToFloatPoint(std::string_view text, double& value) {
  std::string_view s = TrimBlanks(text);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  return ec == std::errc() && end == s.data() + s.size() && std::isfinite(value);
}

namespace {

// Unicode code points of bytes 0x80..0xFF in code page 1251 (0 = unassigned).
constexpr char16_t Cp1251High[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

}  // namespace

std::string Cp1251ToUtf8(std::string_view text) {
  // Skin descriptions are mostly pure ASCII, which needs no conversion.
  if (IsAscii(text)) return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    auto b = std::uint8_t(ch);
    if (b < 0x80) {
      out += ch;
    } else {
      char16_t cp = Cp1251High[b - 0x80];
      AppendUtf8(out, cp ? cp : 0xFFFD);
    }
  }
  return out;
}

std::string Utf8ToCp1251(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    auto b = std::uint8_t(text[i]);
    char32_t cp;
    std::size_t len;
    if (b < 0x80) {
      cp = b;
      len = 1;
    } else if ((b & 0xE0) == 0xC0) {
      cp = b & 0x1F;
      len = 2;
    } else if ((b & 0xF0) == 0xE0) {
      cp = b & 0x0F;
      len = 3;
    } else if ((b & 0xF8) == 0xF0) {
      cp = b & 0x07;
      len = 4;
    } else {
      out += '?';
      ++i;
      continue;
    }
    if (i + len > text.size()) {
      out += '?';
      break;
    }
    bool bad = false;
    for (std::size_t k = 1; k < len; ++k) {
      auto c = std::uint8_t(text[i + k]);
      if ((c & 0xC0) != 0x80) bad = true;
      cp = (cp << 6) | (c & 0x3F);
    }
    i += bad ? 1 : len;
    if (bad) {
      out += '?';
      continue;
    }
    if (cp < 0x80) {
      out += char(cp);
      continue;
    }
    char mapped = '?';
    for (int k = 0; k < 128; ++k)
      if (Cp1251High[k] == cp) mapped = char(0x80 + k);
    out += mapped;
  }
  return out;
}

}  // namespace vm
