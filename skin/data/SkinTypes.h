// Record types of the skin model: one TsGeneralData per section of the skin
// description, one TsMaskData per image element, one TsPatternData per large
// JPEG pattern. The tables are plain vectors; a record's position in its table
// is the index that controls keep (section index, mask index, pattern index).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Types.h"
#include "skin/paint/pixels/Gradient.h"

namespace vm {

class TsSkinManager;

// Bevel drawn around a section (key BEVEL / HOTBEVEL, values 0-4).
enum TsControlBevel : std::uint8_t {
  cbNone = 0,
  cbRaisedSoft = 1,
  cbLoweredSoft = 2,
  cbRaisedHard = 3,
  cbLoweredHard = 4
};

// Kind of an image element.
enum TnxImgType : std::uint8_t {
  itisaBorder = 0,   // nine-part element (border with a stretched or tiled middle)
  itisaTexture = 1,  // texture filling an area
  itisaGlyph = 2     // glyph drawn whole, one state cell at a time
};

// A text contour colour of -1 ($FFFFFFFF) means "this contour copy is not drawn".
constexpr TColor clNoContour = 0xFFFFFFFFu;

// Text colours of one state: [0] the text itself (FONTCOLOR), then the contour
// copies drawn one pixel [1] left, [2] up, [3] right and [4] down of it
// (TCLEFT, TCTOP, TCRIGHT, TCBOTTOM).
using TsFontColors = std::array<TColor, 5>;

// One section of the skin: colours, transparency, gradients, bevels, fading and
// text colours for the normal and the hot state.
struct TsGeneralData {
  std::string ParentClass;  // PARENTCLASS as written
  std::string SectionName;  // the section's name as written
  TColor Color = clWhite;   // COLOR, already resolved to RGB
  TsControlBevel Bevel = cbNone;
  TsFontColors FontColor{0, clNoContour, clNoContour, clNoContour, clNoContour};
  TsFontColors HotFontColor{0, clNoContour, clNoContour, clNoContour, clNoContour};
  bool ReservedBoolean = false;
  std::int32_t ShadowBlur = 6;
  TColor ShadowColor = 0;
  bool ShadowEnabled = false;
  std::int32_t ShadowOffset = 3;
  std::int32_t ShadowTransparency = 50;
  std::int32_t Transparency = 0;
  std::int32_t GradientPercent = 0;
  std::string GradientData = " ";  // one blank: no gradient
  TsGradArray GradientArray;       // GradientData parsed; empty = no gradient
  std::int32_t ImagePercent = 0;
  bool ShowFocus = false;
  bool FadingEnabled = false;
  std::int32_t FadingIntervalIn = 5;
  std::int32_t FadingIntervalOut = 5;
  std::int32_t FadingIterations = 5;
  TColor HotColor = clWhite;  // HOTCOLOR, not resolved
  std::int32_t HotTransparency = 0;
  TsControlBevel HotBevel = cbNone;
  std::int32_t HotGradientPercent = 0;
  std::string HotGradientData;
  TsGradArray HotGradientArray;
  std::int32_t HotImagePercent = 0;
  TColor BorderColor1 = 0;
  TColor BorderColor2 = 0;
};

using TsGeneralDataArray = std::vector<TsGeneralData>;

// One image element. Its pixels are either its own Image or the rectangle R of
// the skin's master bitmap. R holds ImageCount state pictures side by side,
// each (R.Right - R.Left) / ImageCount wide, and MaskType + 1 rows of height
// (R.Bottom - R.Top) / (MaskType + 1); with MaskType 1 the second row is the
// transparency mask of the first (black opaque, white transparent).
struct TsMaskData {
  std::shared_ptr<TBitmap> Image;  // own picture, or null: pixels lie in the master bitmap
  std::string SectionName;
  std::string PropertyName;  // the description key (BORDERSMASK, GLYPHMASK, ...)
  TRect R;
  std::int16_t ImageCount = 1;
  std::int16_t MaskType = 0;
  std::int16_t BorderWidth = 0;  // one width for all borders when WL..WB are 0
  std::int16_t StretchMode = 0;
  TnxImgType ImgType = itisaBorder;
  TsSkinManager* Manager = nullptr;  // the manager whose model holds this mask
  std::int16_t WL = 0;
  std::int16_t WT = 0;
  std::int16_t WR = 0;
  std::int16_t WB = 0;
};

using TsMaskArray = std::vector<TsMaskData>;

// A JPEG pattern of at least 90,000 pixels, decoded to 24 bits.
struct TsPatternData {
  std::shared_ptr<TBitmap> Image;
  std::string SectionName;   // upper case
  std::string PropertyName;  // upper case
};

using TsPatternArray = std::vector<TsPatternData>;

// Patterns smaller than this many pixels become texture masks at load time.
constexpr std::int64_t MinPatternPixels = 90000;

}  // namespace vm
