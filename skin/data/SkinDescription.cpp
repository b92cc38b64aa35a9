#include "skin/data/SkinDescription.h"

#include <algorithm>
#include <array>
#include <unordered_set>

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

// Whether `value` contains `what` (upper-case ASCII starting with a
// non-letter such as ".BMP") in any letter case. No upper-cased copy is made,
// as this runs for every key of a description: the first character is found
// with memchr and only the rest compared.
bool ContainsUpper(std::string_view value, std::string_view what) {
  if (what.empty()) return true;
  for (std::size_t at = value.find(what[0]); at != std::string_view::npos;
       at = value.find(what[0], at + 1)) {
    if (value.size() - at < what.size()) return false;
    std::size_t k = 1;
    for (; k < what.size(); ++k) {
      char c = value[at + k];
      if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
      if (c != what[k]) break;
    }
    if (k == what.size()) return true;
  }
  return false;
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
  return ContainsUpper(value, ".JPG") || ContainsUpper(value, ".JPEG");
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
  std::unordered_set<std::string_view> visited;
  for (;;) {
    const std::string* value = ini.FindValue(section, key);
    if (value && usable(*value)) return value;
    const std::string* parent = ini.FindValue(section, "PARENTCLASS");
    if (!parent || parent->empty() || *parent == "?" || *parent == section) return nullptr;
    visited.insert(section);
    if (visited.count(*parent)) return nullptr;
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

// The keys a section record reads; every other key is left to the mask and
// pattern passes.
enum TsSectionKeyIndex::Slot : int {
  kParentClass,
  kColor,
  kHotColor,
  kTransparency,
  kHotTransparency,
  kGradientPercent,
  kHotGradientPercent,
  kGradientData,
  kHotGradientData,
  kImagePercent,
  kHotImagePercent,
  kBevel,
  kHotBevel,
  kFontColor,
  kTcLeft,
  kTcTop,
  kTcRight,
  kTcBottom,
  kHotFontColor,
  kHotTcLeft,
  kHotTcTop,
  kHotTcRight,
  kHotTcBottom,
  kShadowEnabled,
  kShadowColor,
  kShadowOffset,
  kShadowBlur,
  kShadowTransparency,
  kShowFocus,
  kFadingEnabled,
  kFadingIntervalIn,
  kFadingIntervalOut,
  kFadingIterations,
  kReservedBoolean,
  kBorderColor1,
  kBorderColor2,
  kSlotCount
};

namespace {

constexpr std::string_view SlotNames[TsSectionKeyIndex::kSlotCount] = {"PARENTCLASS",
                                                                       "COLOR",
                                                                       "HOTCOLOR",
                                                                       "TRANSPARENCY",
                                                                       "HOTTRANSPARENCY",
                                                                       "GRADIENTPERCENT",
                                                                       "HOTGRADIENTPERCENT",
                                                                       "GRADIENTDATA",
                                                                       "HOTGRADIENTDATA",
                                                                       "IMAGEPERCENT",
                                                                       "HOTIMAGEPERCENT",
                                                                       "BEVEL",
                                                                       "HOTBEVEL",
                                                                       "FONTCOLOR",
                                                                       "TCLEFT",
                                                                       "TCTOP",
                                                                       "TCRIGHT",
                                                                       "TCBOTTOM",
                                                                       "HOTFONTCOLOR",
                                                                       "HOTTCLEFT",
                                                                       "HOTTCTOP",
                                                                       "HOTTCRIGHT",
                                                                       "HOTTCBOTTOM",
                                                                       "SHADOWENABLED",
                                                                       "SHADOWCOLOR",
                                                                       "SHADOWOFFSET",
                                                                       "SHADOWBLUR",
                                                                       "SHADOWTRANSPARENCY",
                                                                       "SHOWFOCUS",
                                                                       "FADINGENABLED",
                                                                       "FADINGINTERVALIN",
                                                                       "FADINGINTERVALOUT",
                                                                       "FADINGITERATIONS",
                                                                       "RESERVEDBOOLEAN",
                                                                       "BORDERCOLOR1",
                                                                       "BORDERCOLOR2"};

// The slot of a key name, or -1. Every key of a description is looked up
// here, most of them not slot names: a small open-addressed table keyed by
// length and three letters answers with about one comparison.
std::size_t SlotHash(std::string_view name) {
  const std::size_t n = name.size();
  if (n == 0) return 0;
  return (n * 131 + std::uint8_t(name[0]) * 31 + std::uint8_t(name[n / 2]) * 7 +
          std::uint8_t(name[n - 1])) &
         255;
}

int SlotOf(std::string_view name) {
  static const std::array<std::int8_t, 256> table = [] {
    std::array<std::int8_t, 256> t;
    t.fill(-1);
    for (int i = 0; i < TsSectionKeyIndex::kSlotCount; ++i) {
      std::size_t h = SlotHash(SlotNames[i]);
      while (t[h] >= 0) h = (h + 1) & 255;
      t[h] = std::int8_t(i);
    }
    return t;
  }();
  for (std::size_t h = SlotHash(name);; h = (h + 1) & 255) {
    const int slot = table[h];
    if (slot < 0) return -1;
    if (SlotNames[slot] == name) return slot;
  }
}

bool IsTrueText(std::string_view v) {
  if (v.size() != 4) return false;
  for (int i = 0; i < 4; ++i)
    if ((v[std::size_t(i)] & ~0x20) != "TRUE"[i]) return false;
  return true;
}

}  // namespace

namespace {

// How a slot's values are judged on the way up the chain: integers that do
// not parse (or are -1) and texts that are "?" count as absent.
bool IsTextSlot(int slot) {
  switch (slot) {
    case TsSectionKeyIndex::kGradientData:
    case TsSectionKeyIndex::kHotGradientData:
    case TsSectionKeyIndex::kShadowEnabled:
    case TsSectionKeyIndex::kShowFocus:
    case TsSectionKeyIndex::kFadingEnabled:
    case TsSectionKeyIndex::kReservedBoolean:
    case TsSectionKeyIndex::kParentClass:
      return true;
    default:
      return false;
  }
}

constexpr std::size_t NoParent = SIZE_MAX;

}  // namespace

TsSectionKeyIndex::TsSectionKeyIndex(const TMemIniFile& ini) : ini_(ini) {
  const std::vector<TMemIniFile::Section>& sections = ini.Sections();
  const std::size_t n = sections.size();
  values_.assign(n * kSlotCount, nullptr);
  for (std::size_t i = 0; i < n; ++i)
    for (const TMemIniFile::Key& k : sections[i].Keys) {
      // Keys are unique within a section: the first occurrence was kept.
      const int slot = SlotOf(k.Name);
      if (slot >= 0) values_[i * kSlotCount + std::size_t(slot)] = &k.Value;
    }
  // Each section's parent, with the rules of FindInherited: none for a
  // missing, empty or "?" parent, for a section naming itself and for one
  // not in the description.
  std::vector<std::size_t> parent(n, NoParent);
  for (std::size_t i = 0; i < n; ++i) {
    const std::string* name = values_[i * kSlotCount + kParentClass];
    if (!name || name->empty() || *name == "?" || *name == sections[i].Name) continue;
    const int at = ini.SectionIndexOf(*name);
    if (at >= 0) parent[i] = std::size_t(at);
  }
  Resolve(parent);
}

// Every section is resolved once, after its parent: a section's value is its
// own when usable, else its parent's. A chain that runs into a loop reads each
// section of the loop once, starting from where it entered, so the sections
// of a loop take the first usable value met going round from themselves.
// Linear in the number of sections, whatever the shape of the chains.
void TsSectionKeyIndex::Resolve(const std::vector<std::size_t>& parent) {
  const std::size_t n = parent.size();
  // Groups in resolving order: a single section, or a whole loop (its
  // members listed in chain order, each one's parent the next).
  std::vector<std::size_t> members;
  std::vector<std::pair<std::size_t, std::size_t>> groups;  // first member, count
  members.reserve(n);
  enum : std::uint8_t { Unseen, OnPath, Done };
  std::vector<std::uint8_t> state(n, Unseen);
  std::vector<std::size_t> path;
  for (std::size_t start = 0; start < n; ++start) {
    if (state[start] != Unseen) continue;
    path.clear();
    std::size_t at = start;
    while (at != NoParent && state[at] == Unseen) {
      state[at] = OnPath;
      path.push_back(at);
      at = parent[at];
    }
    std::size_t tail = path.size();  // sections before the loop, if any
    if (at != NoParent && state[at] == OnPath) {
      tail = std::size_t(std::find(path.begin(), path.end(), at) - path.begin());
      groups.push_back({members.size(), path.size() - tail});
      for (std::size_t k = tail; k < path.size(); ++k) {
        members.push_back(path[k]);
        state[path[k]] = Done;
      }
    }
    for (std::size_t k = tail; k-- > 0;) {
      groups.push_back({members.size(), 1});
      members.push_back(path[k]);
      state[path[k]] = Done;
    }
  }
  // A single section whose loop is itself cannot occur: a section naming
  // itself has no parent. So a group of one is never a loop.

  resolved_.assign(n * kSlotCount, Resolved{});
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const bool text = IsTextSlot(slot);
    auto usable = [&](std::size_t section, Resolved& out) {
      const std::string* v = values_[section * kSlotCount + std::size_t(slot)];
      if (!v) return false;
      if (text) {
        if (*v == "?") return false;
      } else if (!UsableInt(*v, out.Integer)) {
        return false;
      }
      out.Text = v;
      return true;
    };
    auto cell = [&](std::size_t section) -> Resolved& {
      return resolved_[section * kSlotCount + std::size_t(slot)];
    };
    for (const auto& [first, count] : groups) {
      if (count == 1) {
        const std::size_t s = members[first];
        Resolved own;
        if (usable(s, own))
          cell(s) = own;
        else if (parent[s] != NoParent)
          cell(s) = cell(parent[s]);
        continue;
      }
      // A loop: going backwards twice round it, the last usable value seen
      // is the first one ahead of each member.
      Resolved ahead;
      for (std::size_t k = 2 * count; k-- > 0;) {
        Resolved own;
        if (usable(members[first + k % count], own)) ahead = own;
        if (k < count) cell(members[first + k]) = ahead;
      }
    }
  }
}

TsGeneralData TsSectionKeyIndex::Read(std::size_t index) const {
  return Read(index, ini_.Sections().at(index).Name);
}

TsGeneralData TsSectionKeyIndex::Read(std::size_t index, const std::string& s) const {
  static const Resolved noneResolved[kSlotCount] = {};
  const Resolved* inherited =
      index < ini_.Sections().size() ? &resolved_[index * kSlotCount] : noneResolved;
  auto integer = [&](int slot, int def) {
    const Resolved& r = inherited[slot];
    return r.Text ? r.Integer : def;
  };
  auto text = [&](int slot, const char* def) {
    const std::string* v = inherited[slot].Text;
    return v ? *v : std::string(def);
  };
  auto colour = [&](int slot, int def) { return TColor(integer(slot, def)); };
  auto boolean = [&](int slot) {
    const std::string* v = inherited[slot].Text;
    return v && IsTrueText(*v);
  };
  auto percent = [&](int slot) { return std::min(integer(slot, 0), 100); };
  auto bevel = [&](int slot) {
    return TsControlBevel(std::clamp(integer(slot, 0), 0, int(cbLoweredHard)));
  };
  static const std::string* const none[kSlotCount] = {};
  const std::string* const* own =
      index < ini_.Sections().size() ? &values_[index * kSlotCount] : none;

  TsGeneralData d;
  d.SectionName = s;
  d.ParentClass = own[kParentClass] ? *own[kParentClass] : std::string();
  d.Color = ColorToRGB(colour(kColor, int(clWhite)));
  d.HotColor = colour(kHotColor, int(clWhite));
  d.Transparency = integer(kTransparency, 0);
  d.HotTransparency = integer(kHotTransparency, 0);
  d.GradientPercent = percent(kGradientPercent);
  d.HotGradientPercent = percent(kHotGradientPercent);
  d.GradientData = text(kGradientData, " ");
  d.HotGradientData = text(kHotGradientData, "");
  auto gradient = [&s](const char* key, const std::string& value, auto& items) {
    try {
      ParseGradient(value, items);
    } catch (const EConvertError& e) {
      throw ESkinValueError(s, key, value, e.what());
    }
  };
  gradient("GRADIENTDATA", d.GradientData, d.GradientArray);
  gradient("HOTGRADIENTDATA", d.HotGradientData, d.HotGradientArray);
  d.ImagePercent = integer(kImagePercent, 0);
  d.HotImagePercent = integer(kHotImagePercent, 0);
  d.Bevel = bevel(kBevel);
  d.HotBevel = bevel(kHotBevel);
  d.FontColor = {colour(kFontColor, 0), colour(kTcLeft, -1), colour(kTcTop, -1),
                 colour(kTcRight, -1), colour(kTcBottom, -1)};
  d.HotFontColor = {colour(kHotFontColor, 0), colour(kHotTcLeft, -1), colour(kHotTcTop, -1),
                    colour(kHotTcRight, -1), colour(kHotTcBottom, -1)};
  d.ShadowEnabled = boolean(kShadowEnabled);
  // Not inherited: the section's own value or 0.
  int shadow = 0;
  d.ShadowColor = TColor(own[kShadowColor] && TryStrToInt(*own[kShadowColor], shadow) ? shadow : 0);
  d.ShadowOffset = integer(kShadowOffset, 3);
  d.ShadowBlur = integer(kShadowBlur, 6);
  d.ShadowTransparency = integer(kShadowTransparency, 50);
  d.ShowFocus = boolean(kShowFocus);
  d.FadingEnabled = boolean(kFadingEnabled);
  d.FadingIntervalIn = integer(kFadingIntervalIn, 5);
  d.FadingIntervalOut = integer(kFadingIntervalOut, 5);
  d.FadingIterations = integer(kFadingIterations, 5);
  d.ReservedBoolean = boolean(kReservedBoolean);
  d.BorderColor1 = colour(kBorderColor1, 0);
  d.BorderColor2 = colour(kBorderColor2, 0);
  return d;
}

TsGeneralData ReadSectionData(const TMemIniFile& ini, const std::string& s) {
  // A section the description lacks reads as all defaults under its name.
  const int index = ini.SectionIndexOf(s);
  return TsSectionKeyIndex(ini).Read(index < 0 ? SIZE_MAX : std::size_t(index), s);
}

void ReadGlobalInfo(const TMemIniFile& ini, TsSkinData& data) {
  const std::string g = "GLOBALINFO";
  data.Version = ini.ReadFloat(g, "VERSION", 0);
  data.Author = ini.ReadString(g, "AUTHOR", "");
  data.Description = ini.ReadString(g, "DESCRIPTION", "");
  data.Shadow1Color = TColor(ini.ReadInteger(g, "SHADOW1COLOR", 0));
  auto integer = [&](const char* key, const char* def) {
    const std::string value = ini.ReadString(g, key, def);
    try {
      return ParseIntValue(value);
    } catch (const EConvertError& e) {
      throw ESkinValueError(g, key, value, e.what());
    }
  };
  data.Shadow1Offset = integer("SHADOW1OFFSET", "0");
  data.Shadow1Blur = integer("SHADOW1BLUR", "-1");
  data.Shadow1Transparency = integer("SHADOW1TRANSPARENCY", "0");
  data.BISpacing = ini.ReadInteger(g, "BISPACE", 0);
  data.BorderColor = TColor(ini.ReadInteger(g, "BORDERCOLOR", 0));
}

}  // namespace vm
