// TMemIniFile: an INI text held in memory. Section names and key names are
// kept in file order; values are everything after the first "=". Lines may end
// with CR LF or LF. Lines starting with ";" are comments when asked for.
//
// Names are matched case-sensitively at this level (the skin description
// writes them in upper case). A repeated section continues the first one; a
// repeated key keeps its first value, as the first occurrence is the one read.
#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "skin/paint/pixels/Gradient.h"  // EConvertError

namespace vm {

// A description with more sections than its reader accepts.
class ETooManySections : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TMemIniFile {
 public:
  struct Key {
    std::string Name;
    std::string Value;
  };
  struct Section {
    std::string Name;
    std::vector<Key> Keys;
  };

  TMemIniFile() = default;
  // `text` is UTF-8 (convert code page 1251 first). With `semicolonComments`
  // lines whose first non-blank character is ";" are skipped.
  explicit TMemIniFile(std::string_view text, bool semicolonComments = false);
  void SetText(std::string_view text, bool semicolonComments = false);
  // As SetText for text in code page 1251 (skin descriptions): names and
  // values are converted one by one, so no converted copy of the whole text
  // is made. More than `maxSections` distinct sections throws
  // ETooManySections before they are stored.
  void SetCp1251Text(std::string_view text, std::size_t maxSections = SIZE_MAX);

  std::vector<std::string> ReadSections() const;
  std::vector<std::string> ReadSection(std::string_view section) const;
  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // The default when the key is missing or its value is not an integer.
  int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
  // A number with a point as decimal separator, whatever the locale; the
  // default when missing or not a number.
  double ReadFloat(std::string_view section, std::string_view key, double defaultValue) const;

  const std::vector<Section>& Sections() const { return sections_; }
  // The position of a section in Sections(), or -1.
  int SectionIndexOf(std::string_view name) const;
  // The stored value of a key, or nullptr when the key is missing.
  const std::string* FindValue(std::string_view section, std::string_view key) const;

 private:
  template <typename Convert>
  void Parse(std::string_view text, bool semicolonComments, std::size_t maxSections,
             Convert&& convert);
  const Section* FindSection(std::string_view name) const;
  const Key* FindKey(std::string_view section, std::string_view key) const;

  std::vector<Section> sections_;
  std::map<std::string, std::size_t, std::less<>> sectionIndex_;  // name -> position
};

// Integer text as the description writes it: optional blanks, optional sign,
// decimal digits, or hexadecimal after "0x", "0X" or "$". Returns false when
// the text is not such an integer or does not fit 32 bits.
bool TryStrToInt(std::string_view text, int& value);
// As TryStrToInt, but throws EConvertError naming the text.
int ParseIntValue(std::string_view text);
// Decimal number with a point as separator; false when not a number.
bool TryStrToFloatPoint(std::string_view text, double& value);

// Code page 1251 (the skin files' text) to UTF-8, and back (characters that
// the code page lacks become "?").
std::string Cp1251ToUtf8(std::string_view text);
std::string Utf8ToCp1251(std::string_view text);

}  // namespace vm
