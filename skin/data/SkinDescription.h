// The rules of the skin description file "Options.dat": how a key's value is
// recognised as a mask, how each mask form is laid out, how the section keys
// are read with their defaults and PARENTCLASS inheritance, and the skin-wide
// values of GLOBALINFO.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "skin/data/MemIniFile.h"
#include "skin/data/SkinData.h"
#include "skin/data/SkinTypes.h"

namespace vm {

// A value of the description that cannot be read, with the section and key
// it stands under.
class ESkinValueError : public EConvertError {
 public:
  ESkinValueError(std::string section, std::string key, std::string value,
                  const std::string& detail)
      : EConvertError("[" + section + "] " + key + ": " + detail),
        Section(std::move(section)),
        Key(std::move(key)),
        Value(std::move(value)),
        Detail(detail) {}
  std::string Section, Key, Value, Detail;
};

// What a description value defines.
enum class TsMaskForm {
  None,        // not a mask (colours, numbers, gradients, ...)
  Glyph,       // "@..."
  Border,      // "^..."
  Texture,     // "~..."
  OwnImage,    // "!FILE.BMP!count!masktype!imgtype[!WL!WT!WR!WB]"
  BitmapFile,  // "FILE.BMP": the whole file, 3 states, MaskType 1
  Hash,        // "... (L,T,R,B) (count,masktype,border,stretch)" containing "#"
};

// Recognises the kind of a value (the key MASTERBITMAP is never a mask; the
// caller skips it).
TsMaskForm MaskFormOf(std::string_view value);
// True when the value, upper-cased, names a JPEG pattern (".JPG" / ".JPEG").
bool IsPatternValue(std::string_view value);

// A mask parsed from its text. Image file names are returned for the forms
// that need one (OwnImage, BitmapFile); the loader then fills Image and R.
struct TsParsedMask {
  TsMaskData Mask;
  std::string FileName;  // OwnImage and BitmapFile forms
};

// Parses the fixed-column and word forms. Throws EConvertError when a number
// field does not parse, or when a "!" value has five to seven words. The
// "^" form derives missing border widths; "#" applies its clamps.
TsParsedMask ParseMaskValue(std::string_view propertyName, std::string_view value);
// Fills WL..WB of a border mask whose four widths are all 0: BorderWidth when
// not 0, else a third of one state picture.
void DeriveBorderWidths(TsMaskData& mask);

// The n-th word (from 1) of `text`, words being maximal runs of characters not
// in `delimiters`; empty when missing.
std::string ExtractWord(int n, std::string_view text, std::string_view delimiters);
int WordCount(std::string_view text, std::string_view delimiters);

// Reads one section's keys with inheritance and defaults. Parses both
// gradients (ParseGradient errors propagate). COLOR is resolved to RGB.
TsGeneralData ReadSectionData(const TMemIniFile& ini, const std::string& section);

// The section keys of a whole description, indexed once: every section's own
// value of each key a section record reads, and its PARENTCLASS chain. Reading
// all sections through it gives what ReadSectionData gives for each, without
// looking names up again for every key and every parent.
class TsSectionKeyIndex {
 public:
  explicit TsSectionKeyIndex(const TMemIniFile& ini);
  // The record of section `index` of ini.Sections(), as ReadSectionData.
  TsGeneralData Read(std::size_t index) const;

  enum Slot : int;

 private:
  friend TsGeneralData ReadSectionData(const TMemIniFile&, const std::string&);
  // `index` past the last section reads as a section without keys.
  TsGeneralData Read(std::size_t index, const std::string& name) const;
  void Resolve(const std::vector<std::size_t>& parent);

  const TMemIniFile& ini_;
  std::vector<const std::string*> values_;  // section-major, one per slot
  // Each slot's inherited value, section-major: the first usable value on
  // the section's PARENTCLASS chain (integers already parsed), or none.
  struct Resolved {
    const std::string* Text = nullptr;
    int Integer = 0;
  };
  std::vector<Resolved> resolved_;
};
// The skin-wide values of GLOBALINFO. Throws EConvertError for a
// SHADOW1OFFSET, SHADOW1BLUR or SHADOW1TRANSPARENCY that is not an integer.
void ReadGlobalInfo(const TMemIniFile& ini, TsSkinData& data);

// Inherited reads, exactly as the section keys use them. The parent chain
// stops at a section naming itself and at any section already visited.
int ReadInheritedInt(const TMemIniFile& ini, std::string_view section, std::string_view key,
                     int defaultValue);
std::string ReadInheritedString(const TMemIniFile& ini, std::string_view section,
                                std::string_view key, const std::string& defaultValue);
bool ReadInheritedBool(const TMemIniFile& ini, std::string_view section, std::string_view key,
                       bool defaultValue);

}  // namespace vm
