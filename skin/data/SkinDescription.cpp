#include "skin/data/SkinDescription.h"

#include <algorithm>

#include "platform/gfx/SysColors.h"
#include "skin/data/SkinConvertor.h"

namespace vm {

namespace {

// Characters `first`..`first + count - 1` (1-based columns) of a value; the
// part that lies beyond its end is missing, as with a copy of a short text.
std::string_view Columns(std::string_view value, std::size_t first, std::size_t count) {
  if (first - 1 >= value.size()) return {};
  return value.substr(first - 1, count);
}

std::int16_t Field16(std::string_view value, std::size_t first, std::size_t count) {
  return std::int16_t(ParseIntValue(Columns(value, first, count)));
}

bool ContainsUpper(std::string_view value, std::string_view what) {
  return UpperCaseAscii(value).find(what) != std::string::npos;
}

void ParseRect(std::string_view value, TsMaskData& m) {
  m.R.Left = ParseIntValue(Columns(value, 2, 4));
  m.R.Top = ParseIntValue(Columns(value, 7, 4));
  m.R.Right = ParseIntValue(Columns(value, 12, 4));
  m.R.Bottom = ParseIntValue(Columns(value, 17, 4));
}

}  // namespace

TsMaskForm MaskFormOf(std::string_view value) {
  if (value.empty()) return TsMaskForm::None;
  switch (value.front()) {
    case '!':
      return TsMaskForm::OwnImage;
    case '@':
      return TsMaskForm::Glyph;
    case '^':
      return TsMaskForm::Border;
    case '~':
      return TsMaskForm::Texture;
    default:
      break;
  }
  if (value.find('#') == std::string_view::npos)
    return ContainsUpper(value, ".BMP") ? TsMaskForm::BitmapFile : TsMaskForm::None;
  return value == "#" ? TsMaskForm::None : TsMaskForm::Hash;
}

bool IsPatternValue(std::string_view value) {
  std::string upper = UpperCaseAscii(value);
  return upper.find(".JPG") != std::string::npos || upper.find(".JPEG") != std::string::npos;
}

int WordCount(std::string_view text, std::string_view delimiters) {
  int count = 0;
  bool inWord = false;
  for (char c : text) {
    bool delim = delimiters.find(c) != std::string_view::npos;
    if (!delim && !inWord) ++count;
    inWord = !delim;
  }
  return count;
}

std::string ExtractWord(int n, std::string_view text, std::string_view delimiters) {
  int count = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && delimiters.find(text[i]) != std::string_view::npos) ++i;
    if (i >= text.size()) break;
    std::size_t start = i;
    while (i < text.size() && delimiters.find(text[i]) == std::string_view::npos) ++i;
    if (++count == n) return std::string(text.substr(start, i - start));
  }
  return {};
}

void DeriveBorderWidths(TsMaskData& m) {
  if (m.WL != 0 || m.WT != 0 || m.WR != 0 || m.WB != 0) return;
  if (m.BorderWidth != 0) {
    m.WL = m.WT = m.WR = m.WB = m.BorderWidth;
    return;
  }
  // An image count of 0 cannot divide; it counts as one picture.
  int count = m.ImageCount > 0 ? m.ImageCount : 1;
  int rows = m.MaskType >= 0 ? m.MaskType + 1 : 1;
  m.WL = m.WR = std::int16_t((m.R.Right - m.R.Left) / (count * 3));
  m.WT = m.WB = std::int16_t((m.R.Bottom - m.R.Top) / (rows * 3));
}

TsParsedMask ParseMaskValue(std::string_view propertyName, std::string_view value) {
  TsParsedMask result;
  TsMaskData& m = result.Mask;
  m.PropertyName = std::string(propertyName);
  switch (MaskFormOf(value)) {
    case TsMaskForm::Glyph:
      ParseRect(value, m);
      m.ImageCount = Field16(value, 22, 1);
      m.MaskType = Field16(value, 24, 1);
      m.ImgType = itisaGlyph;
      break;
    case TsMaskForm::Border:
      ParseRect(value, m);
      m.WL = Field16(value, 22, 4);
      m.WT = Field16(value, 27, 4);
      m.WR = Field16(value, 32, 4);
      m.WB = Field16(value, 37, 4);
      m.ImageCount = Field16(value, 42, 1);
      m.MaskType = Field16(value, 44, 1);
      m.StretchMode = Field16(value, 46, 1);
      m.BorderWidth = Field16(value, 48, 1);
      m.ImgType = itisaBorder;
      DeriveBorderWidths(m);
      break;
    case TsMaskForm::Texture:
      ParseRect(value, m);
      m.StretchMode = Field16(value, 22, 2);
      m.MaskType = value.size() >= 25 ? Field16(value, 25, 1) : 0;
      m.ImageCount = 1;
      m.ImgType = itisaTexture;
      break;
    case TsMaskForm::OwnImage: {
      int words = WordCount(value, "!");
      if (words > 4 && words < 8)
        throw EConvertError("Mask \"" + std::string(value) + "\" has " + std::to_string(words) +
                            " fields; 4 or 8 expected");
      result.FileName = ExtractWord(1, value, "!");
      m.ImageCount = std::int16_t(ParseIntValue(ExtractWord(2, value, "!")));
      m.MaskType = std::int16_t(ParseIntValue(ExtractWord(3, value, "!")));
      int type = ParseIntValue(ExtractWord(4, value, "!"));
      m.ImgType = TnxImgType(std::clamp(type, 0, 2));
      if (words >= 8) {
        m.WL = std::int16_t(ParseIntValue(ExtractWord(5, value, "!")));
        m.WT = std::int16_t(ParseIntValue(ExtractWord(6, value, "!")));
        m.WR = std::int16_t(ParseIntValue(ExtractWord(7, value, "!")));
        m.WB = std::int16_t(ParseIntValue(ExtractWord(8, value, "!")));
      }
      m.StretchMode = 4;
      break;
    }
    case TsMaskForm::BitmapFile:
      result.FileName = std::string(value);
      m.ImageCount = 3;
      m.MaskType = 1;
      m.ImgType = itisaBorder;
      break;
    case TsMaskForm::Hash: {
      const std::string_view wordDelims = " ()";
      const std::string_view listDelims = ", ";
      std::string rect = ExtractWord(2, value, wordDelims);
      std::string counts = ExtractWord(3, value, wordDelims);
      m.R.Left = ParseIntValue(ExtractWord(1, rect, listDelims));
      m.R.Top = ParseIntValue(ExtractWord(2, rect, listDelims));
      m.R.Right = ParseIntValue(ExtractWord(3, rect, listDelims));
      m.R.Bottom = ParseIntValue(ExtractWord(4, rect, listDelims));
      int count = ParseIntValue(ExtractWord(1, counts, listDelims));
      int maskType = ParseIntValue(ExtractWord(2, counts, listDelims));
      std::string border = ExtractWord(3, counts, listDelims);
      std::string stretch = ExtractWord(4, counts, listDelims);
      m.ImageCount = std::int16_t(std::max(count, 1));
      m.MaskType = std::int16_t(std::max(maskType, 0));
      m.BorderWidth = std::int16_t(border.empty() ? 0 : std::max(ParseIntValue(border), 0));
      std::string upperProp = UpperCaseAscii(propertyName);
      if (upperProp == "PATTERN" || upperProp == "HOTPATTERN") {
        m.ImgType = itisaTexture;
        m.StretchMode = 0;
      } else {
        m.ImgType = itisaBorder;
        m.StretchMode = std::int16_t(stretch.empty() ? 1 : ParseIntValue(stretch));
      }
      DeriveBorderWidths(m);
      break;
    }
    case TsMaskForm::None:
      throw EConvertError("\"" + std::string(value) + "\" is not a mask");
  }
  return result;
}

// --- section keys -------------------------------------------------------

namespace {

// Follows a key up the PARENTCLASS chain: the first section on the chain whose
// value `usable` accepts wins. The chain ends at a missing, empty or "?"
// parent, at a section naming itself, and at a section already visited (a
// longer loop would otherwise never end).
template <typename Usable>
const std::string* FindInherited(const TMemIniFile& ini, std::string_view section,
                                 std::string_view key, Usable&& usable) {
  std::vector<std::string_view> visited;
  for (;;) {
    const std::string* value = ini.FindValue(section, key);
    if (value && usable(*value)) return value;
    const std::string* parent = ini.FindValue(section, "PARENTCLASS");
    if (!parent || parent->empty() || *parent == "?" || *parent == section) return nullptr;
    visited.push_back(section);
    for (std::string_view v : visited)
      if (v == *parent) return nullptr;
    section = *parent;
  }
}

// Integers: a value that does not parse, or -1, counts as absent.
bool UsableInt(const std::string& v, int& out) {
  return TryStrToInt(v, out) && out != -1;
}

}  // namespace

int ReadInheritedInt(const TMemIniFile& ini, std::string_view section, std::string_view key,
                     int defaultValue) {
  int value = -1;
  const std::string* found = FindInherited(
      ini, section, key, [&value](const std::string& v) { return UsableInt(v, value); });
  return found ? value : defaultValue;
}

std::string ReadInheritedString(const TMemIniFile& ini, std::string_view section,
                                std::string_view key, const std::string& defaultValue) {
  // "?" is the reader's marker for "absent", so a stored "?" counts as absent.
  const std::string* found =
      FindInherited(ini, section, key, [](const std::string& v) { return v != "?"; });
  return found ? *found : defaultValue;
}

bool ReadInheritedBool(const TMemIniFile& ini, std::string_view section, std::string_view key,
                       bool defaultValue) {
  return UpperCaseAscii(ReadInheritedString(ini, section, key, defaultValue ? "TRUE" : "FALSE")) ==
         "TRUE";
}

TsGeneralData ReadSectionData(const TMemIniFile& ini, const std::string& s) {
  auto integer = [&](const char* key, int def) { return ReadInheritedInt(ini, s, key, def); };
  auto colour = [&](const char* key, int def) { return TColor(integer(key, def)); };
  auto boolean = [&](const char* key) { return ReadInheritedBool(ini, s, key, false); };
  auto percent = [&](const char* key) { return std::min(integer(key, 0), 100); };
  auto bevel = [&](const char* key) {
    return TsControlBevel(std::clamp(integer(key, 0), 0, int(cbLoweredHard)));
  };

  TsGeneralData d;
  d.SectionName = s;
  d.ParentClass = ini.ReadString(s, "PARENTCLASS", "");
  d.Color = ColorToRGB(colour("COLOR", int(clWhite)));
  d.HotColor = colour("HOTCOLOR", int(clWhite));
  d.Transparency = integer("TRANSPARENCY", 0);
  d.HotTransparency = integer("HOTTRANSPARENCY", 0);
  d.GradientPercent = percent("GRADIENTPERCENT");
  d.HotGradientPercent = percent("HOTGRADIENTPERCENT");
  d.GradientData = ReadInheritedString(ini, s, "GRADIENTDATA", " ");
  d.HotGradientData = ReadInheritedString(ini, s, "HOTGRADIENTDATA", "");
  ParseGradient(d.GradientData, d.GradientArray);
  ParseGradient(d.HotGradientData, d.HotGradientArray);
  d.ImagePercent = integer("IMAGEPERCENT", 0);
  d.HotImagePercent = integer("HOTIMAGEPERCENT", 0);
  d.Bevel = bevel("BEVEL");
  d.HotBevel = bevel("HOTBEVEL");
  d.FontColor = {colour("FONTCOLOR", 0), colour("TCLEFT", -1), colour("TCTOP", -1),
                 colour("TCRIGHT", -1), colour("TCBOTTOM", -1)};
  d.HotFontColor = {colour("HOTFONTCOLOR", 0), colour("HOTTCLEFT", -1), colour("HOTTCTOP", -1),
                    colour("HOTTCRIGHT", -1), colour("HOTTCBOTTOM", -1)};
  d.ShadowEnabled = boolean("SHADOWENABLED");
  d.ShadowColor = TColor(ini.ReadInteger(s, "SHADOWCOLOR", 0));
  d.ShadowOffset = integer("SHADOWOFFSET", 3);
  d.ShadowBlur = integer("SHADOWBLUR", 6);
  d.ShadowTransparency = integer("SHADOWTRANSPARENCY", 50);
  d.ShowFocus = boolean("SHOWFOCUS");
  d.FadingEnabled = boolean("FADINGENABLED");
  d.FadingIntervalIn = integer("FADINGINTERVALIN", 5);
  d.FadingIntervalOut = integer("FADINGINTERVALOUT", 5);
  d.FadingIterations = integer("FADINGITERATIONS", 5);
  d.ReservedBoolean = boolean("RESERVEDBOOLEAN");
  d.BorderColor1 = colour("BORDERCOLOR1", 0);
  d.BorderColor2 = colour("BORDERCOLOR2", 0);
  return d;
}

void ReadGlobalInfo(const TMemIniFile& ini, TsSkinData& data) {
  const std::string g = "GLOBALINFO";
  data.Version = ini.ReadFloat(g, "VERSION", 0);
  data.Author = ini.ReadString(g, "AUTHOR", "");
  data.Description = ini.ReadString(g, "DESCRIPTION", "");
  data.Shadow1Color = TColor(ini.ReadInteger(g, "SHADOW1COLOR", 0));
  data.Shadow1Offset = ParseIntValue(ini.ReadString(g, "SHADOW1OFFSET", "0"));
  data.Shadow1Blur = ParseIntValue(ini.ReadString(g, "SHADOW1BLUR", "-1"));
  data.Shadow1Transparency = ParseIntValue(ini.ReadString(g, "SHADOW1TRANSPARENCY", "0"));
  data.BISpacing = ini.ReadInteger(g, "BISPACE", 0);
  data.BorderColor = TColor(ini.ReadInteger(g, "BORDERCOLOR", 0));
}

}  // namespace vm
