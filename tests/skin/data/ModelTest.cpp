// Look-ups of the skin model on small hand-built tables.
#include <gtest/gtest.h>

#include "platform/gfx/SysColors.h"
#include "skin/data/SkinModel.h"

namespace vm {
namespace {

TsGeneralData Section(const std::string& name, const std::string& parent = "") {
  TsGeneralData d;
  d.SectionName = name;
  d.ParentClass = parent;
  return d;
}

TsMaskData Mask(const std::string& section, const std::string& property,
                TnxImgType type = itisaBorder) {
  TsMaskData m;
  m.SectionName = section;
  m.PropertyName = property;
  m.ImgType = type;
  return m;
}

class ModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    model.gd = {Section("GLOBALINFO"),     Section("PAGE"),   Section("TAB", "PAGE"),
                Section("SELF", "SELF"),   Section("A", "B"), Section("B", "A"),
                Section("LOST", "NOWHERE")};
    model.ma = {Mask("PAGE", "BORDERSMASK"), Mask("PAGE", "PATTERN", itisaTexture),
                Mask("TAB", "PATTERN", itisaBorder), Mask("GLOBALINFO", "BOXCHECKED", itisaGlyph)};
    model.pa = {{nullptr, "PAGE", "PATTERN"}};
  }
  TsSkinModel model;
};

TEST_F(ModelTest, SectionSearchIsExact) {
  EXPECT_EQ(model.FindSectionIndex("TAB"), 2);
  EXPECT_EQ(model.FindSectionIndex("tab"), -1);
  EXPECT_EQ(model.FindSectionIndex(""), -1);
  EXPECT_EQ(TsSkinModel().FindSectionIndex("TAB"), -1);
}

TEST_F(ModelTest, MaskSearchFollowsParents) {
  EXPECT_EQ(model.FindMaskIndex(2, "TAB", "BORDERSMASK"), 0);  // from PAGE
  EXPECT_EQ(model.FindMaskIndexNoInherit("TAB", "BORDERSMASK"), -1);
  EXPECT_EQ(model.FindMaskIndex(2, "TAB", "PATTERN"), 2);     // own mask first
  EXPECT_EQ(model.FindTextureIndex(2, "TAB", "PATTERN"), 1);  // only textures count
  EXPECT_EQ(model.FindPatternIndex(2, "TAB", "PATTERN"), 0);
  EXPECT_EQ(model.FindMaskIndex(-1, "TAB", "BORDERSMASK"), -1);
  EXPECT_EQ(model.FindMaskIndex(2, "", "BORDERSMASK"), -1);
  EXPECT_EQ(model.FindMaskIndex(3, "SELF", "BORDERSMASK"), -1);
  EXPECT_EQ(model.FindMaskIndex(6, "LOST", "BORDERSMASK"), -1);
  // An index beyond the table is not followed.
  EXPECT_EQ(model.FindMaskIndex(99, "TAB", "BORDERSMASK"), -1);
  // A loop of two sections ends.
  EXPECT_EQ(model.FindMaskIndex(4, "A", "BORDERSMASK"), -1);
  EXPECT_EQ(model.FindTextureIndex(4, "A", "PATTERN"), -1);
  EXPECT_EQ(model.FindPatternIndex(5, "B", "PATTERN"), -1);
  TsSkinModel empty;
  EXPECT_EQ(empty.FindTextureIndex(0, "TAB", "PATTERN"), -1);
}

TEST_F(ModelTest, BorderWidthsAndStateSizes) {
  TsMaskData m = Mask("X", "BORDERSMASK");
  m.R = Rect(10, 0, 73, 30);  // 63 wide
  m.ImageCount = 3;
  m.MaskType = 1;
  model.ma.push_back(m);
  int i = int(model.ma.size()) - 1;
  EXPECT_EQ(model.MaskBorderLeft(i), 7);
  EXPECT_EQ(model.MaskBorderRight(i), 7);
  EXPECT_EQ(model.MaskBorderTop(i), 5);
  EXPECT_EQ(model.MaskStateSize(i), (TSize{21, 15}));
  model.ma[std::size_t(i)].BorderWidth = 4;
  model.ma[std::size_t(i)].WT = 2;
  EXPECT_EQ(model.MaskBorderLeft(i), 4);
  EXPECT_EQ(model.MaskBorderTop(i), 2);
  model.ma[std::size_t(i)].ImageCount = 0;  // counts as one picture, never divides by 0
  model.ma[std::size_t(i)].BorderWidth = 0;
  EXPECT_EQ(model.MaskBorderRight(i), 21);
  EXPECT_EQ(model.MaskStateSize(i).cx, 63);

  TsMaskData huge = Mask("BUTTON_HUGE", "BORDERSMASK");
  huge.Image = std::make_shared<TBitmap>(288, 192);
  huge.R = Rect(0, 0, 288, 192);
  huge.ImageCount = 3;
  huge.MaskType = 1;
  model.ma.push_back(huge);
  EXPECT_EQ(model.MaskStateSize(int(model.ma.size()) - 1), (TSize{96, 96}));

  EXPECT_EQ(model.MaskBorderLeft(-1), 0);
  EXPECT_EQ(model.MaskStateSize(1000), (TSize{0, 0}));
  EXPECT_FALSE(model.IsValidMaskIndex(int(model.ma.size())));
  EXPECT_TRUE(model.IsValidSectionIndex(0));
  EXPECT_FALSE(model.IsValidSectionIndex(-1));
}

TEST_F(ModelTest, GlobalColoursAndIndexes) {
  model.gd[0].Color = 16442322;
  model.gd[0].HotColor = 0xFF000005;  // a system colour is resolved
  model.gd[0].FontColor[0] = 8542779;
  EXPECT_EQ(model.GlobalColor(), 16442322u);
  EXPECT_EQ(model.GlobalFontColor(), 8542779u);
  EXPECT_EQ(model.GlobalHotColor(), GetSysColor(COLOR_WINDOW));
  model.UpdateIndexes();
  EXPECT_EQ(model.ConstData().GlobalInfo, 0);
  EXPECT_EQ(model.ConstData().BoxChecked, 3);
  EXPECT_EQ(model.ConstData().RadioGrayed, -1);

  TsSkinModel empty;
  empty.UpdateIndexes();
  EXPECT_EQ(empty.GlobalFontColor(), clNone);
  EXPECT_EQ(empty.GlobalColor(), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(empty.GlobalHotColor(), GetSysColor(COLOR_WINDOW));
  const TsConstantIndexes& c = empty.ConstData();
  for (int v : {c.GlobalInfo, c.BoxChecked, c.SmallGrayed, c.Tabs[0].Section, c.Tabs[3].BorderMask,
                c.ScrollButtons[2].GlyphMask, c.ScrollSliders[1].HotPattern,
                c.ScrollBars[3].BorderMask, c.ComboButton.BorderMask, c.ComboGlyph})
    EXPECT_EQ(v, -1);
}

}  // namespace
}  // namespace vm
