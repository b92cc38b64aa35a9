// Skins stored inside the program (the skin manager's InternalSkins).
//
// A stored skin is either a packed container in its Data (which then takes
// precedence) or the "stored-collection form": section records, masks,
// patterns and a master bitmap kept as collections of items.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Types.h"
#include "skin/data/SkinTypes.h"

namespace vm {

// One section in stored-collection form. FontColor and HotFontColor are texts:
// five numbers separated by blanks give positions 1-5 of the colour arrays.
struct TsSkinGeneral {
  std::string SectionName;
  std::string ParentClass;
  TColor Color = clWhite;
  TsControlBevel Bevel = cbNone;
  std::int32_t ShadowBlur = 6;
  TColor ShadowColor = 0;
  bool ShadowDontUse = false;  // not carried into the model
  bool ShadowEnabled = false;
  bool ReservedBoolean = false;
  std::int32_t ShadowOffset = 3;
  std::int32_t ShadowTransparency = 50;
  std::string FontColor;
  std::string HotFontColor;
  std::int32_t Transparency = 0;
  std::int32_t GradientPercent = 0;
  std::string GradientData;
  std::int32_t ImagePercent = 0;
  bool ShowFocus = false;
  bool FadingEnabled = false;
  std::int32_t FadingIntervalIn = 5;
  std::int32_t FadingIntervalOut = 5;
  std::int32_t FadingIterations = 5;
  TColor HotColor = clWhite;
  std::int32_t HotTransparency = 0;
  TsControlBevel HotBevel = cbNone;
  std::int32_t HotGradientPercent = 0;
  std::string HotGradientData;
  std::int32_t HotImagePercent = 0;
  TColor BorderColor1 = 0;
  TColor BorderColor2 = 0;
  std::string Name;  // not carried into the model
};

// Parses a stored FontColor text: five integers separated by blanks; any other
// text gives {0, -1, -1, -1, -1}.
TsFontColors ParseStoredFontColors(std::string_view text);

// One mask in stored-collection form.
struct TsSkinImage {
  std::string SectionName;
  std::shared_ptr<TBitmap> Image;  // used when Name is not empty
  std::string Name;
  std::string PropertyName;
  std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  std::int16_t ImageCount = 0;
  std::int16_t MaskType = 0;
  std::int16_t BorderWidth = 0;
  std::int16_t StretchMode = 0;
  TnxImgType ImgType = itisaBorder;
  std::int16_t WL = 0, WR = 0, WT = 0, WB = 0;
};

// One pattern in stored-collection form (the JPEG picture decoded).
struct TsSkinPattern {
  std::string SectionName;
  std::shared_ptr<TBitmap> Image;  // may be empty: then shared by Name
  std::string Name;
  std::string PropertyName;
};

using TsSkinGenerals = std::vector<TsSkinGeneral>;
using TsSkinImages = std::vector<TsSkinImage>;
using TsSkinPatterns = std::vector<TsSkinPattern>;

class TsStoredSkin {
 public:
  std::string Name;
  TsSkinGenerals GeneralData;
  TsSkinImages Images;
  TsSkinPatterns Patterns;
  TBitmap MasterBitmap;  // empty bitmap: none
  TColor Shadow1Color = 0;
  std::int32_t Shadow1Offset = 0;
  std::int32_t Shadow1Blur = -1;
  std::int32_t Shadow1Transparency = 0;
  TColor BorderColor = clNone;
  double Version = 0;
  std::string Author;
  std::string Description;

  // The packed container; when not empty it is used instead of the collections.
  std::vector<std::uint8_t> Data;

  // The "Data" property as stored in a form: a 32-bit little-endian length,
  // then the bytes. ReadData throws std::runtime_error when the length does not
  // fit the given bytes; it returns the number of bytes consumed.
  std::vector<std::uint8_t> WriteData() const;
  std::size_t ReadData(const std::uint8_t* bytes, std::size_t size);
};

class TsStoredSkins {
 public:
  int Count() const { return int(items_.size()); }
  TsStoredSkin& Items(int index) { return *items_.at(std::size_t(index)); }
  const TsStoredSkin& Items(int index) const { return *items_.at(std::size_t(index)); }
  TsStoredSkin& Add();
  void Delete(int index);
  void Clear() { items_.clear(); }
  // Index of the first skin named exactly `name`, or -1.
  int IndexOf(std::string_view name) const;

  // Copies every stored skin (the whole collection is assigned at once).
  void Assign(const TsStoredSkins& other);

 private:
  std::vector<std::unique_ptr<TsStoredSkin>> items_;
};

}  // namespace vm
