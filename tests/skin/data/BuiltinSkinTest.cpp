// The skin built into the program: its description and its packed container.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "skin/data/BuiltinSkin.h"
#include "skin/data/MemIniFile.h"
#include "skin/data/SkinConvertor.h"
#include "skin/data/SkinManager.h"
#include "skin/data/ZDecompressionStream.h"

namespace vm {
namespace {

const char* const SectionOrder[64] = {"GLOBALINFO",
                                      "DIVIDER",
                                      "EDIT",
                                      "TABCONTROLBOTTOM",
                                      "TABCONTROLLEFT",
                                      "TABCONTROLRIGHT",
                                      "BARPANEL",
                                      "SCROLLBTNLEFT",
                                      "SCROLLBTNRIGHT",
                                      "SCROLLBTNTOP",
                                      "SCROLLBTNBOTTOM",
                                      "SCROLLSLIDERH",
                                      "SCROLLSLIDERV",
                                      "GAUGE",
                                      "TABCONTROL",
                                      "ICOLINE",
                                      "EXTRALINE",
                                      "HINT",
                                      "MENULINE",
                                      "FORMTITLE",
                                      "MAINMENU",
                                      "PANEL",
                                      "GROUPBOX",
                                      "COMBOBOX",
                                      "PANEL_LOW",
                                      "STATUSBAR",
                                      "COMBOBTN",
                                      "DIALOG",
                                      "MENUITEM",
                                      "SCROLLBAR1V",
                                      "SCROLLBAR2V",
                                      "SCROLLBAR1H",
                                      "SCROLLBAR2H",
                                      "SPLITTER",
                                      "PROGRESSH",
                                      "PROGRESSV",
                                      "NIRVEXCOMBOBOX",
                                      "NIRVEXEDIT",
                                      "BUTTON_HUGE",
                                      "PAGECONTROL",
                                      "BARTITLE",
                                      "BUTTON",
                                      "BUTTON_BIG",
                                      "RADIOBUTTON",
                                      "SPEEDBUTTON",
                                      "SPEEDBUTTON_SMALL",
                                      "TOOLBUTTON",
                                      "TRACKBAR",
                                      "WEBBUTTON",
                                      "COLHEADER",
                                      "GRIPH",
                                      "TOOLBAR",
                                      "TABTOP",
                                      "TABRIGHT",
                                      "TABLEFT",
                                      "TABBOTTOM",
                                      "PAGECONTROLBOTTOM",
                                      "PAGECONTROLLEFT",
                                      "PAGECONTROLRIGHT",
                                      "FORM",
                                      "CHECKBOX",
                                      "BAR",
                                      "DRAGBAR",
                                      "UPDOWNBTN"};

std::string AssetPath() {
  const char* root = std::getenv("VELMORA_SOURCE_DIR");
  return std::string(root ? root : ".") + "/assets/skins/office2007-blue/Options.dat";
}

TEST(BuiltinDescription, SectionsAndTheProgramsValues) {
  std::ifstream in(AssetPath(), std::ios::binary);
  if (!in) GTEST_SKIP() << "the built-in skin's description is not in the tree yet";
  std::stringstream ss;
  ss << in.rdbuf();
  TMemIniFile ini(Cp1251ToUtf8(ss.str()));
  std::vector<std::string> sections = ini.ReadSections();
  ASSERT_EQ(sections.size(), 64u);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(sections[std::size_t(i)], SectionOrder[i]);
  EXPECT_EQ(ini.ReadString("BUTTON", "BORDERSMASK", ""),
            "^0066^0071^0129^0092^0010^0010^0010^0010^3^0^5^0");
  EXPECT_EQ(ini.ReadString("BUTTON_HUGE", "BORDERSMASK", ""),
            "!BUTTONHUGE.BMP!3!1!0!0047!0047!0047!0047");
  EXPECT_EQ(ini.ReadString("TABCONTROLLEFT", "PARENTCLASS", ""), "PAGECONTROLLEFT");
  EXPECT_EQ(ini.ReadString("GLOBALINFO", "MASTERBITMAP", ""), "MASTER.BMP");
  EXPECT_EQ(ini.ReadString("GLOBALINFO", "VERSION", ""), "5.43");
}

#ifdef VM_HAVE_BUILTIN_SKIN

class BuiltinSkin : public ::testing::Test {
 protected:
  void SetUp() override {
    manager.SetSkinDirectory("/nonexistent-velmora-skins");
    TsStoredSkin& s = manager.InternalSkins().Add();
    s.Name = BuiltinSkinName;
    std::span<const std::uint8_t> bytes = BuiltinSkinContainer();
    s.Data.assign(bytes.begin(), bytes.end());
    manager.SetSkinName(BuiltinSkinName);
  }
  TsSkinManager manager;
};

TEST_F(BuiltinSkin, LoadsIntoTheModel) {
  const TsSkinManager& m = manager;
  EXPECT_TRUE(m.Active());
  EXPECT_TRUE(m.IsPacked());
  ASSERT_EQ(m.gd.size(), 64u);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(m.gd[std::size_t(i)].SectionName, SectionOrder[i]);
  ASSERT_NE(m.MasterBitmap, nullptr);
  EXPECT_EQ(m.MasterBitmap->Width(), 276);
  EXPECT_EQ(m.MasterBitmap->Height(), 102);
  EXPECT_EQ(m.SkinInfo(), "5.43");
  EXPECT_EQ(m.SkinData.Shadow1Color, 9528123u);
  EXPECT_EQ(m.GlobalColor(), 16442322u);
  EXPECT_EQ(m.GlobalFontColor(), 8542779u);
  EXPECT_EQ(m.GlobalHotColor(), 16511722u);
  // Every mask without its own picture lies inside the master bitmap.
  for (std::size_t i = 0; i < m.ma.size(); ++i) {
    const TsMaskData& k = m.ma[i];
    const TBitmap& pic = k.Image ? *k.Image : *m.MasterBitmap;
    EXPECT_TRUE(k.R.Left >= 0 && k.R.Top >= 0 && k.R.Right <= pic.Width() &&
                k.R.Bottom <= pic.Height() && !k.R.IsEmpty())
        << k.SectionName << "." << k.PropertyName;
  }
}

TEST_F(BuiltinSkin, LookUpExamples) {
  const TsSkinManager& m = manager;
  EXPECT_EQ(m.FindSectionIndex("button"), -1);
  EXPECT_EQ(m.FindSectionIndex("BUTTON"), 41);
  int tab = m.FindSectionIndex("TABCONTROLBOTTOM");
  int page = m.FindSectionIndex("PAGECONTROLBOTTOM");
  int pageMask = m.FindMaskIndex(page, "PAGECONTROLBOTTOM", "BORDERSMASK");
  ASSERT_GE(pageMask, 0);
  EXPECT_EQ(m.FindMaskIndex(tab, "TABCONTROLBOTTOM", "BORDERSMASK"), pageMask);
  int left = m.FindSectionIndex("TABCONTROLLEFT");
  EXPECT_EQ(m.gd[std::size_t(left)].Color,
            m.gd[std::size_t(m.FindSectionIndex("PAGECONTROLLEFT"))].Color);
  int global = m.FindSectionIndex("GLOBALINFO");
  EXPECT_EQ(m.FindMaskIndex(global, "GLOBALINFO", "RADIOGRAYED"), -1);
  EXPECT_EQ(m.ConstData().RadioGrayed, -1);
  EXPECT_GE(m.ConstData().BoxChecked, 0);
  EXPECT_GE(m.ConstData().ComboGlyph, 0);
  for (int i = 0; i < 4; ++i) EXPECT_GE(m.ConstData().ScrollButtons[i].GlyphMask, 0);

  int button = m.FindMaskIndex(41, "BUTTON", "BORDERSMASK");
  ASSERT_GE(button, 0);
  EXPECT_EQ(m.ma[std::size_t(button)].R, Rect(66, 71, 129, 92));
  EXPECT_EQ(m.MaskStateSize(button), (TSize{21, 21}));
  EXPECT_EQ(m.MaskBorderLeft(button), 10);
  // Each state picture of the button has something in its middle (the
  // bitmap's rows are not upside down in the model).
  for (int s = 0; s < 3; ++s) EXPECT_NE(m.MasterBitmap->GetPixel(66 + 21 * s + 10, 81), clNone);
  int huge = m.FindMaskIndex(m.FindSectionIndex("BUTTON_HUGE"), "BUTTON_HUGE", "BORDERSMASK");
  ASSERT_GE(huge, 0);
  EXPECT_EQ(m.MaskStateSize(huge), (TSize{96, 96}));
  int close = m.FindMaskIndex(global, "GLOBALINFO", "BICONCLOSE");
  ASSERT_GE(close, 0);
  EXPECT_EQ(m.ma[std::size_t(close)].R.Width(), 66);
  EXPECT_EQ(m.ma[std::size_t(close)].R.Height(), 22);
  EXPECT_EQ(m.ma[std::size_t(close)].ImageCount, 3);

  const TsGeneralData& form = m.gd[std::size_t(m.FindSectionIndex("FORM"))];
  EXPECT_TRUE(form.ReservedBoolean);
  const TsGeneralData& buttonData = m.gd[41];
  EXPECT_TRUE(buttonData.FadingEnabled);
  EXPECT_EQ(buttonData.FadingIterations, 20);
  EXPECT_EQ(buttonData.Transparency, 100);
  const TsGeneralData& menu = m.gd[std::size_t(m.FindSectionIndex("MENUITEM"))];
  EXPECT_EQ(menu.HotGradientArray.size(), 4u);
  EXPECT_EQ(menu.HotFontColor[0], 149612u);
}

TEST_F(BuiltinSkin, ContainerLayout) {
  std::span<const std::uint8_t> bytes = BuiltinSkinContainer();
  TMemoryStream source = TMemoryStream::View(bytes.data(), bytes.size());
  TnxSkinConvertor c;
  c.SetBorrowedSource(&source);
  ASSERT_TRUE(c.Parse());
  EXPECT_EQ(source.Position(), std::int64_t(bytes.size()));
  ASSERT_EQ(c.ImageCount(), 2);
  ASSERT_NE(c.Options(), nullptr);
  // Mixed-case stored names, found by the description's upper-case ones.
  EXPECT_EQ(c.Images(0).Name, "ButtonHuge.bmp");
  EXPECT_EQ(c.Images(1).Name, "Master.bmp");
  EXPECT_EQ(c.FindImage("MASTER.BMP"), &c.Images(1));
  EXPECT_EQ(c.FindImage("BUTTONHUGE.BMP"), &c.Images(0));
  EXPECT_EQ(c.FindImage("Master.bmp"), nullptr);
  // Every entry's zlib stream has the default-level header 0x78 0x9C.
  std::size_t at = 8;
  for (int entry = 0; entry < 3; ++entry) {
    std::int32_t nameLength = 0;
    std::memcpy(&nameLength, bytes.data() + at, 4);
    at += 4 + std::size_t(nameLength) + 4;
    ASSERT_LT(at + 1, bytes.size());
    EXPECT_EQ(bytes[at], 0x78);
    EXPECT_EQ(bytes[at + 1], 0x9C);
    // The next entry starts where this stream ends.
    source.SetPosition(std::int64_t(at));
    TZDecompressionStream z(source);
    z.SkipToEnd();
    at = std::size_t(source.Position());
  }
  EXPECT_EQ(at, bytes.size());
  c.ReleaseSource();
}

#endif

}  // namespace
}  // namespace vm
