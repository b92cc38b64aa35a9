#include "skin/data/SkinModel.h"

#include <vector>

#include "platform/gfx/SysColors.h"

namespace vm {

template <typename Match>
int TsSkinModel::FindWithParents(int sectionIndex, std::string_view sectionName,
                                 Match&& match) const {
  // Sections already searched: a PARENTCLASS chain that comes back to one of
  // them would otherwise loop for ever.
  std::vector<int> visited;
  while (sectionIndex >= 0 && !sectionName.empty()) {
    int found = match(sectionName);
    if (found >= 0) return found;
    if (!IsValidSectionIndex(sectionIndex)) return -1;
    visited.push_back(sectionIndex);
    const std::string& parent = gd[std::size_t(sectionIndex)].ParentClass;
    if (parent.empty() || parent == sectionName) return -1;
    int parentIndex = FindSectionIndex(parent);
    if (parentIndex < 0) return -1;
    for (int v : visited)
      if (v == parentIndex) return -1;
    sectionIndex = parentIndex;
    sectionName = gd[std::size_t(parentIndex)].SectionName;
  }
  return -1;
}

int TsSkinModel::FindSectionIndex(std::string_view name) const {
  for (std::size_t i = 0; i < gd.size(); ++i)
    if (gd[i].SectionName == name) return int(i);
  return -1;
}

int TsSkinModel::FindMaskIndexNoInherit(std::string_view sectionName,
                                        std::string_view propertyName) const {
  for (std::size_t i = 0; i < ma.size(); ++i)
    if (ma[i].SectionName == sectionName && ma[i].PropertyName == propertyName) return int(i);
  return -1;
}

int TsSkinModel::FindMaskIndex(int sectionIndex, std::string_view sectionName,
                               std::string_view propertyName) const {
  return FindWithParents(sectionIndex, sectionName, [&](std::string_view section) {
    return FindMaskIndexNoInherit(section, propertyName);
  });
}

int TsSkinModel::FindTextureIndex(int sectionIndex, std::string_view sectionName,
                                  std::string_view propertyName) const {
  if (ma.empty()) return -1;
  return FindWithParents(sectionIndex, sectionName, [&](std::string_view section) {
    for (std::size_t i = 0; i < ma.size(); ++i)
      if (ma[i].ImgType == itisaTexture && ma[i].SectionName == section &&
          ma[i].PropertyName == propertyName)
        return int(i);
    return -1;
  });
}

int TsSkinModel::FindPatternIndex(int sectionIndex, std::string_view sectionName,
                                  std::string_view propertyName) const {
  return FindWithParents(sectionIndex, sectionName, [&](std::string_view section) {
    for (std::size_t i = 0; i < pa.size(); ++i)
      if (pa[i].SectionName == section && pa[i].PropertyName == propertyName) return int(i);
    return -1;
  });
}

int TsSkinModel::MaskBorderLeft(int maskIndex) const {
  if (!IsValidMaskIndex(maskIndex)) return 0;
  const TsMaskData& m = ma[std::size_t(maskIndex)];
  if (m.WL > 0) return m.WL;
  if (m.BorderWidth > 0) return m.BorderWidth;
  int count = m.ImageCount > 0 ? m.ImageCount : 1;
  return (m.R.Right - m.R.Left) / (count * 3);
}

int TsSkinModel::MaskBorderRight(int maskIndex) const {
  if (!IsValidMaskIndex(maskIndex)) return 0;
  const TsMaskData& m = ma[std::size_t(maskIndex)];
  if (m.WR > 0) return m.WR;
  if (m.BorderWidth > 0) return m.BorderWidth;
  int count = m.ImageCount > 0 ? m.ImageCount : 1;
  return (m.R.Right - m.R.Left) / (count * 3);
}

int TsSkinModel::MaskBorderTop(int maskIndex) const {
  if (!IsValidMaskIndex(maskIndex)) return 0;
  const TsMaskData& m = ma[std::size_t(maskIndex)];
  if (m.WT > 0) return m.WT;
  if (m.BorderWidth > 0) return m.BorderWidth;
  int rows = m.MaskType >= 0 ? m.MaskType + 1 : 1;
  return (m.R.Bottom - m.R.Top) / (rows * 3);
}

int TsSkinModel::MaskBorderBottom(int maskIndex) const {
  if (!IsValidMaskIndex(maskIndex)) return 0;
  const TsMaskData& m = ma[std::size_t(maskIndex)];
  if (m.WB > 0) return m.WB;
  if (m.BorderWidth > 0) return m.BorderWidth;
  int rows = m.MaskType >= 0 ? m.MaskType + 1 : 1;
  return (m.R.Bottom - m.R.Top) / (rows * 3);
}

TSize TsSkinModel::MaskStateSize(int maskIndex) const {
  if (!IsValidMaskIndex(maskIndex)) return {};
  const TsMaskData& m = ma[std::size_t(maskIndex)];
  if (m.Image) return {m.Image->Width() / 3, m.Image->Height() / 2};
  int count = m.ImageCount > 0 ? m.ImageCount : 1;
  int rows = m.MaskType >= 0 ? m.MaskType + 1 : 1;
  return {(m.R.Right - m.R.Left) / count, (m.R.Bottom - m.R.Top) / rows};
}

TColor TsSkinModel::GlobalColor() const {
  int i = FindSectionIndex("GLOBALINFO");
  return i < 0 ? GetSysColor(COLOR_BTNFACE) : ColorToRGB(gd[std::size_t(i)].Color);
}

TColor TsSkinModel::GlobalFontColor() const {
  int i = FindSectionIndex("GLOBALINFO");
  return i < 0 ? clNone : ColorToRGB(gd[std::size_t(i)].FontColor[0]);
}

TColor TsSkinModel::GlobalHotColor() const {
  int i = FindSectionIndex("GLOBALINFO");
  return i < 0 ? GetSysColor(COLOR_WINDOW) : ColorToRGB(gd[std::size_t(i)].HotColor);
}

void TsSkinModel::UpdateIndexes() {
  TsConstantIndexes c;
  c.GlobalInfo = FindSectionIndex("GLOBALINFO");
  if (c.GlobalInfo >= 0) {
    auto glyph = [&](const char* name) { return FindMaskIndex(c.GlobalInfo, "GLOBALINFO", name); };
    c.BoxChecked = glyph("BOXCHECKED");
    c.BoxUnchecked = glyph("BOXUNCHECKED");
    c.BoxGrayed = glyph("BOXGRAYED");
    c.RadioChecked = glyph("RADIOCHECKED");
    c.RadioUnchecked = glyph("RADIOUNCHECKED");
    c.RadioGrayed = glyph("RADIOGRAYED");
    c.SmallChecked = glyph("SMALLCHECKED");
    c.SmallUnchecked = glyph("SMALLUNCHECKED");
    c.SmallGrayed = glyph("SMALLGRAYED");
  }

  const char* tabs[4] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
  for (int i = 0; i < 4; ++i) {
    c.Tabs[i].Section = FindSectionIndex(tabs[i]);
    c.Tabs[i].BorderMask = FindMaskIndex(c.Tabs[i].Section, tabs[i], "BORDERSMASK");
  }

  auto element = [&](const char* name, bool glyph) {
    TsConstantIndexes::Element e;
    e.Section = FindSectionIndex(name);
    e.BorderMask = FindMaskIndex(e.Section, name, "BORDERSMASK");
    if (glyph && e.Section >= 0) e.GlyphMask = FindMaskIndex(e.Section, name, "GLYPHMASK");
    e.Pattern = FindTextureIndex(e.Section, name, "PATTERN");
    e.HotPattern = FindTextureIndex(e.Section, name, "HOTPATTERN");
    return e;
  };
  const char* buttons[4] = {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT"};
  for (int i = 0; i < 4; ++i) c.ScrollButtons[i] = element(buttons[i], true);
  c.ScrollSliders[TsConstantIndexes::sliderV] = element("SCROLLSLIDERV", true);
  c.ScrollSliders[TsConstantIndexes::sliderH] = element("SCROLLSLIDERH", true);
  const char* bars[4] = {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"};
  for (int i = 0; i < 4; ++i) c.ScrollBars[i] = element(bars[i], false);

  c.ComboButton.Section = FindSectionIndex("COMBOBTN");
  c.ComboButton.BorderMask = FindMaskIndexNoInherit("COMBOBTN", "BORDERSMASK");
  c.ComboButton.Pattern = FindTextureIndex(c.ComboButton.Section, "COMBOBTN", "PATTERN");
  c.ComboButton.HotPattern = FindTextureIndex(c.ComboButton.Section, "COMBOBTN", "HOTPATTERN");
  c.ComboGlyph = FindMaskIndexNoInherit("COMBOBOX", "GLYPHMASK");
  constData_ = c;
}

void TsSkinModel::ClearModel() {
  while (!ma.empty()) ma.pop_back();
  MasterBitmap.reset();
  pa.clear();
  gd.clear();
  SkinData.ResetGlobals();
}

}  // namespace vm
