// TsSkinModel: everything a loaded skin consists of in memory, and the look-ups
// every skinned control and painter uses: the skin-wide record, the master
// bitmap, the section, mask and pattern tables and the precomputed indexes.
//
// The skin manager (TsSkinManager) is a TsSkinModel and fills it on every skin
// load; painters and tests may also build a model by hand.
//
// All name comparisons are exact and case-sensitive. Look-ups never throw: a
// missing section, mask or pattern is -1. Check an index with
// IsValidSectionIndex / IsValidMaskIndex before reading a record.
#pragma once

#include <memory>
#include <string_view>

#include "platform/gfx/Bitmap.h"
#include "skin/data/SkinData.h"
#include "skin/data/SkinTypes.h"

namespace vm {

// Section and mask indexes the frequent painters need, computed once per skin
// load by UpdateIndexes(). -1 means "not present".
struct TsConstantIndexes {
  // A skinned element made of a section and its masks.
  struct Element {
    int Section = -1;
    int BorderMask = -1;  // BORDERSMASK, parent chain followed
    int GlyphMask = -1;   // GLYPHMASK (scroll buttons and sliders only)
    int Pattern = -1;     // PATTERN texture mask
    int HotPattern = -1;  // HOTPATTERN texture mask
  };

  int GlobalInfo = -1;  // section index of GLOBALINFO

  // Check and radio glyphs: masks of GLOBALINFO.
  int BoxChecked = -1;
  int BoxUnchecked = -1;
  int BoxGrayed = -1;
  int RadioChecked = -1;
  int RadioUnchecked = -1;
  int RadioGrayed = -1;
  int SmallChecked = -1;
  int SmallUnchecked = -1;
  int SmallGrayed = -1;

  enum { sideTop = 0, sideBottom = 1, sideLeft = 2, sideRight = 3 };
  // TABTOP, TABBOTTOM, TABLEFT, TABRIGHT (Section and BorderMask only).
  Element Tabs[4];
  // SCROLLBTNTOP, SCROLLBTNBOTTOM, SCROLLBTNLEFT, SCROLLBTNRIGHT.
  Element ScrollButtons[4];

  enum { sliderV = 0, sliderH = 1 };
  // SCROLLSLIDERV, SCROLLSLIDERH.
  Element ScrollSliders[2];

  enum { bar1H = 0, bar1V = 1, bar2H = 2, bar2V = 3 };
  // SCROLLBAR1H, SCROLLBAR1V, SCROLLBAR2H, SCROLLBAR2V (no GlyphMask).
  Element ScrollBars[4];

  // COMBOBTN: its BORDERSMASK without parent search, PATTERN and HOTPATTERN.
  Element ComboButton;
  // GLYPHMASK of COMBOBOX, without parent search.
  int ComboGlyph = -1;
};

class TsSkinModel {
 public:
  TsSkinModel() = default;
  TsSkinModel(const TsSkinModel&) = delete;
  TsSkinModel& operator=(const TsSkinModel&) = delete;
  virtual ~TsSkinModel() = default;

  // --- the tables (read directly by index after a validity check) ---
  TsSkinData SkinData;                    // skin-wide values
  std::shared_ptr<TBitmap> MasterBitmap;  // 24-bit; magenta is transparent; null: none
  TsGeneralDataArray gd;                  // sections, in description order
  TsMaskArray ma;                         // image elements, in load order
  TsPatternArray pa;                      // large JPEG patterns

  const TsConstantIndexes& ConstData() const { return constData_; }

  // --- look-ups ---
  // First section named exactly `name`; -1 for none or an empty table.
  int FindSectionIndex(std::string_view name) const;
  // First mask of the section with the property name; when the section has
  // none, its PARENTCLASS chain is followed (one fresh scan per step; a chain
  // that comes back to a section already visited ends with -1).
  int FindMaskIndex(int sectionIndex, std::string_view sectionName,
                    std::string_view propertyName) const;
  // First exact match of section and property name; no parent search.
  int FindMaskIndexNoInherit(std::string_view sectionName, std::string_view propertyName) const;
  // As FindMaskIndex, but only texture masks (ImgType itisaTexture) match.
  int FindTextureIndex(int sectionIndex, std::string_view sectionName,
                       std::string_view propertyName) const;
  // As FindMaskIndex over the pattern table.
  int FindPatternIndex(int sectionIndex, std::string_view sectionName,
                       std::string_view propertyName) const;

  // Border widths of a mask's nine-part grid: the individual width when > 0,
  // else BorderWidth when > 0, else a third of one state picture. 0 for an
  // invalid index.
  int MaskBorderLeft(int maskIndex) const;
  int MaskBorderRight(int maskIndex) const;
  int MaskBorderTop(int maskIndex) const;
  int MaskBorderBottom(int maskIndex) const;
  // Size of one state picture: own image width / 3 and height / 2; otherwise
  // R's width / ImageCount and height / (MaskType + 1). {0, 0} when invalid.
  TSize MaskStateSize(int maskIndex) const;

  bool IsValidMaskIndex(int index) const { return index >= 0 && index < int(ma.size()); }
  bool IsValidSectionIndex(int index) const { return index >= 0 && index < int(gd.size()); }
  bool IsValidPatternIndex(int index) const { return index >= 0 && index < int(pa.size()); }

  // Colour, text colour and hot colour of GLOBALINFO resolved to RGB; without
  // GLOBALINFO the platform's button face, magenta and window colour.
  TColor GlobalColor() const;
  TColor GlobalFontColor() const;
  TColor GlobalHotColor() const;

  // Recomputes ConstData() from the tables (all -1 for an empty model).
  void UpdateIndexes();
  // Frees masks, master bitmap and patterns, empties the section table and
  // resets the skin-wide values (SkinPath and Active are kept).
  void ClearModel();

 private:
  template <typename Match>
  int FindWithParents(int sectionIndex, std::string_view sectionName, Match&& match) const;

  TsConstantIndexes constData_;
};

}  // namespace vm
