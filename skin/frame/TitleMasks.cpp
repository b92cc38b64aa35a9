#include "skin/frame/TitleMasks.h"

#include <string_view>

namespace vm {

namespace {

// Mask look-ups in the global section and in the form's own section; both
// follow the section's parent chain and give -1 when the section is missing.
class TMaskFinder {
 public:
  TMaskFinder(const TsSkinModel& skin, int formSection)
      : skin_(skin),
        global_(skin.FindSectionIndex("GLOBALINFO")),
        form_(skin.IsValidSectionIndex(formSection) ? formSection : -1) {}

  int Global(std::string_view name) const {
    return global_ < 0 ? -1 : skin_.FindMaskIndex(global_, "GLOBALINFO", name);
  }
  int Form(std::string_view name) const {
    return form_ < 0 ? -1
                     : skin_.FindMaskIndex(form_, skin_.gd[std::size_t(form_)].SectionName, name);
  }
  int GlobalOrForm(std::string_view name) const {
    const int i = Global(name);
    return i >= 0 ? i : Form(name);
  }

 private:
  const TsSkinModel& skin_;
  int global_;
  int form_;
};

int Either(int first, int second) {
  return first >= 0 ? first : second;
}

}  // namespace

TsTitleMasks LookUpTitleMasks(const TsSkinModel& skin, int formSectionIndex,
                              TFormBorderStyle style) {
  const TMaskFinder find(skin, formSectionIndex);
  TsTitleMasks m;
  if (find.Global("BICONCLOSE") >= 0) {
    // Forms with a full caption take the big images; dialogs and tool windows
    // the small ones, unless the skin has no small close image at all.
    const bool big = style == bsSingle || style == bsSizeable || find.Global("SICONCLOSE") < 0;
    if (big) {
      m.Close = find.Global("BICONCLOSE");
      m.Maximize = find.Global("BICONMAX");
      m.Minimize = find.Global("BICONMIN");
      m.Help = find.Global("BICONHELP");
    } else {
      m.Close = find.Global("SICONCLOSE");
      m.Maximize = find.Global("SICONMAX");
      m.Minimize = find.Global("SICONMIN");
      m.Help = Either(find.Global("SICONHELP"), find.Global("BICONHELP"));
    }
    m.ChildClose = Either(find.Global("SICONCLOSE"), find.Global("BICONCLOSE"));
    m.ChildMaximize = Either(find.Global("SICONMAX"), find.Global("BICONMAX"));
    m.ChildMinimize = Either(find.Global("SICONMIN"), find.Global("BICONMIN"));
  } else {
    // Older skins keep one set of images in the "FORM" section for both uses
    // (also for forms painted with another section).
    const TMaskFinder formSection(skin, skin.FindSectionIndex("FORM"));
    m.Close = m.ChildClose = formSection.Form("BICONCLOSE");
    m.Maximize = m.ChildMaximize = formSection.Form("BICONMAX");
    m.Minimize = m.ChildMinimize = formSection.Form("BICONMIN");
    m.Help = formSection.Form("BICONHELP");
  }
  m.Restore = find.GlobalOrForm("BICONNORM");
  m.ChildRestore = Either(find.GlobalOrForm("SICONNORM"), m.Restore);
  m.TitleButton = find.GlobalOrForm("TITLEBUTTON");
  return m;
}

TSize TitleMaskCell(const TsSkinModel& skin, int maskIndex, TSize fallback) {
  if (!skin.IsValidMaskIndex(maskIndex)) return fallback;
  const TsMaskData& mask = skin.ma[std::size_t(maskIndex)];
  if (mask.ImageCount < 1 || mask.MaskType < 0) return fallback;
  TSize cell;
  if (mask.Image) {
    cell = {mask.Image->Width() / mask.ImageCount, mask.Image->Height() / 2};
  } else {
    cell = {mask.R.Width() / mask.ImageCount, mask.R.Height() / (mask.MaskType + 1)};
  }
  if (cell.cx <= 0 || cell.cy <= 0) return fallback;
  return cell;
}

}  // namespace vm
