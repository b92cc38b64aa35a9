// The description file: the INI reader, the mask string forms with their
// fixed columns, gradients, and the section keys with defaults and PARENTCLASS.
#include <gtest/gtest.h>

#include "skin/data/MemIniFile.h"
#include "skin/data/SkinDescription.h"

namespace vm {
namespace {

TEST(IniReader, KeepsFileOrderAndAcceptsBothLineEnds) {
  TMemIniFile ini("[B]\r\nZ=1\r\nA= two words \r\n\r\n[A]\nK=x=y\nN=0x1F\nH=$10\nBAD=12a\n");
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"B", "A"}));
  EXPECT_EQ(ini.ReadSection("B"), (std::vector<std::string>{"Z", "A"}));
  EXPECT_EQ(ini.ReadString("B", "A", "?"), " two words ");  // everything after "="
  EXPECT_EQ(ini.ReadString("A", "K", "?"), "x=y");
  EXPECT_EQ(ini.ReadString("A", "missing", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadInteger("A", "N", 0), 31);
  EXPECT_EQ(ini.ReadInteger("A", "H", 0), 16);
  EXPECT_EQ(ini.ReadInteger("A", "BAD", -7), -7);
  EXPECT_EQ(ini.ReadInteger("a", "N", -7), -7);  // names are exact
  EXPECT_EQ(ini.ReadString("B", "Z", ""), "1");  // no CR left on the value
}

TEST(IniReader, CommentsOnlyWhenAskedAndNumbersWhateverTheLocale) {
  TMemIniFile plain(";C=1\n[S]\n;K=2\nV=5.43\n");
  EXPECT_EQ(plain.ReadString("S", ";K", "?"), "2");
  TMemIniFile commented(";C=1\n[S]\n;K=2\nV=5.43\n", true);
  EXPECT_FALSE(commented.ValueExists("S", ";K"));
  EXPECT_DOUBLE_EQ(commented.ReadFloat("S", "V", 0), 5.43);
  EXPECT_DOUBLE_EQ(commented.ReadFloat("S", "missing", 1.5), 1.5);
}

TEST(IniReader, IntegerTexts) {
  int v = 0;
  EXPECT_TRUE(TryStrToInt("-1", v));
  EXPECT_EQ(v, -1);
  EXPECT_TRUE(TryStrToInt("2147483647", v));
  EXPECT_FALSE(TryStrToInt("2147483648", v));
  EXPECT_TRUE(TryStrToInt("$FFFFFFFF", v));
  EXPECT_EQ(v, -1);
  EXPECT_FALSE(TryStrToInt("", v));
  EXPECT_FALSE(TryStrToInt("0x", v));
  EXPECT_FALSE(TryStrToInt("1 2", v));
  EXPECT_THROW(ParseIntValue("abc"), EConvertError);
}

TEST(MaskStrings, FixedColumnForms) {
  TsParsedMask glyph = ParseMaskValue("GLYPHMASK", "@0124@0000@0163@0013@3@0");
  EXPECT_EQ(glyph.Mask.R, Rect(124, 0, 163, 13));
  EXPECT_EQ(glyph.Mask.ImageCount, 3);
  EXPECT_EQ(glyph.Mask.MaskType, 0);
  EXPECT_EQ(glyph.Mask.ImgType, itisaGlyph);
  EXPECT_EQ(glyph.Mask.WL, 0);  // glyphs have no borders

  TsParsedMask border =
      ParseMaskValue("BORDERSMASK", "^0066^0071^0129^0092^0010^0010^0010^0010^3^0^5^0");
  EXPECT_EQ(border.Mask.R, Rect(66, 71, 129, 92));
  EXPECT_EQ(border.Mask.WL, 10);
  EXPECT_EQ(border.Mask.WB, 10);
  EXPECT_EQ(border.Mask.ImageCount, 3);
  EXPECT_EQ(border.Mask.StretchMode, 5);
  EXPECT_EQ(border.Mask.BorderWidth, 0);
  EXPECT_EQ(border.Mask.ImgType, itisaBorder);

  TsParsedMask frame =
      ParseMaskValue("BORDERSMASK", "^0000^0000^0012^0022^0005^0007^0006^0002^1^1^1^1");
  EXPECT_EQ(frame.Mask.WL, 5);
  EXPECT_EQ(frame.Mask.WT, 7);
  EXPECT_EQ(frame.Mask.WR, 6);
  EXPECT_EQ(frame.Mask.WB, 2);
  EXPECT_EQ(frame.Mask.MaskType, 1);
  EXPECT_EQ(frame.Mask.BorderWidth, 1);

  TsParsedMask texture = ParseMaskValue("PATTERN", "~0010^0020^0030^0040^12^1");
  EXPECT_EQ(texture.Mask.R, Rect(10, 20, 30, 40));
  EXPECT_EQ(texture.Mask.StretchMode, 12);
  EXPECT_EQ(texture.Mask.MaskType, 1);
  EXPECT_EQ(texture.Mask.ImageCount, 1);
  EXPECT_EQ(texture.Mask.ImgType, itisaTexture);
  EXPECT_EQ(ParseMaskValue("PATTERN", "~0010^0020^0030^0040^07").Mask.MaskType, 0);  // 23 long
}

TEST(MaskStrings, DerivedBorderWidths) {
  // All four widths and BorderWidth 0: a third of one state picture.
  TsParsedMask m =
      ParseMaskValue("BORDERSMASK", "^0000^0000^0063^0030^0000^0000^0000^0000^3^1^0^0");
  EXPECT_EQ(m.Mask.WL, 7);  // 63 / (3 * 3)
  EXPECT_EQ(m.Mask.WR, 7);
  EXPECT_EQ(m.Mask.WT, 5);  // 30 / (2 * 3)
  EXPECT_EQ(m.Mask.WB, 5);
  TsParsedMask b =
      ParseMaskValue("BORDERSMASK", "^0000^0000^0063^0030^0000^0000^0000^0000^3^1^0^4");
  EXPECT_EQ(b.Mask.WL, 4);
  EXPECT_EQ(b.Mask.WT, 4);
}

TEST(MaskStrings, WordForms) {
  TsParsedMask own = ParseMaskValue("BORDERSMASK", "!BUTTONHUGE.BMP!3!1!0!0047!0047!0047!0047");
  EXPECT_EQ(own.FileName, "BUTTONHUGE.BMP");
  EXPECT_EQ(own.Mask.ImageCount, 3);
  EXPECT_EQ(own.Mask.MaskType, 1);
  EXPECT_EQ(own.Mask.ImgType, itisaBorder);
  EXPECT_EQ(own.Mask.WL, 47);
  EXPECT_EQ(own.Mask.StretchMode, 4);
  EXPECT_EQ(ParseMaskValue("X", "!A.BMP!1!0!2").Mask.ImgType, itisaGlyph);
  EXPECT_THROW(ParseMaskValue("X", "!A.BMP!1!0!2!5"), EConvertError);
  EXPECT_THROW(ParseMaskValue("X", "!A.BMP!1!0!2!5!5!5"), EConvertError);
  EXPECT_THROW(ParseMaskValue("X", "!A.BMP!x!0!2"), EConvertError);

  TsParsedMask file = ParseMaskValue("BORDERSMASK", "frame.bmp");
  EXPECT_EQ(file.FileName, "frame.bmp");
  EXPECT_EQ(file.Mask.ImageCount, 3);
  EXPECT_EQ(file.Mask.MaskType, 1);

  TsParsedMask hash = ParseMaskValue("BORDERSMASK", "#M (1,2,31,42) (0,-1,-3)");
  EXPECT_EQ(hash.Mask.R, Rect(1, 2, 31, 42));
  EXPECT_EQ(hash.Mask.ImageCount, 1);  // below 1 becomes 1
  EXPECT_EQ(hash.Mask.MaskType, 0);    // negative becomes 0
  EXPECT_EQ(hash.Mask.BorderWidth, 0);
  EXPECT_EQ(hash.Mask.StretchMode, 1);  // missing: 1
  EXPECT_EQ(hash.Mask.ImgType, itisaBorder);
  EXPECT_EQ(hash.Mask.WL, 10);  // 30 / 3
  TsParsedMask pat = ParseMaskValue("HOTPATTERN", "#M (0,0,8,8) (2,0,1,9)");
  EXPECT_EQ(pat.Mask.ImgType, itisaTexture);
  EXPECT_EQ(pat.Mask.StretchMode, 0);
  EXPECT_EQ(pat.Mask.ImageCount, 2);
}

TEST(MaskStrings, RecognisingKinds) {
  EXPECT_EQ(MaskFormOf(""), TsMaskForm::None);
  EXPECT_EQ(MaskFormOf("16442322"), TsMaskForm::None);
  EXPECT_EQ(MaskFormOf("16777215;16777215;61;0;0"), TsMaskForm::None);
  EXPECT_EQ(MaskFormOf("#"), TsMaskForm::None);
  EXPECT_EQ(MaskFormOf("a.bmp"), TsMaskForm::BitmapFile);
  EXPECT_EQ(MaskFormOf("a.bmp#"), TsMaskForm::Hash);
  EXPECT_EQ(MaskFormOf("^x"), TsMaskForm::Border);
  EXPECT_TRUE(IsPatternValue("back.jpeg"));
  EXPECT_TRUE(IsPatternValue("BACK.JPG"));
  EXPECT_FALSE(IsPatternValue("back.png"));
  EXPECT_THROW(ParseMaskValue("X", "^0066^00"), EConvertError);  // cut short
  EXPECT_EQ(ExtractWord(2, "!!a!!b!", "!"), "b");
  EXPECT_EQ(ExtractWord(3, "!!a!!b!", "!"), "");
  EXPECT_EQ(WordCount("  a  b ", " "), 2);
}

const char* InheritanceSkin =
    "[PARENT]\r\nCOLOR=255\r\nGRADIENTDATA=1;2;150;0;0\r\nFADINGENABLED=TRUE\r\nSHADOWCOLOR=77\r\n"
    "HOTTCLEFT=65280\r\n\r\n"
    "[CHILD]\r\nPARENTCLASS=PARENT\r\nCOLOR=-1\r\nSHOWFOCUS=true\r\n\r\n"
    "[ORPHAN]\r\nCOLOR=-1\r\nSHOWFOCUS=1\r\nGRADIENTDATA=1;2;3;4\r\nHOTGRADIENTDATA=1;2;3;4;5;6;7;"
    "8;9\r\n"
    "GRADIENTPERCENT=150\r\n\r\n"
    "[SELF]\r\nPARENTCLASS=SELF\r\n\r\n"
    "[LOOPA]\r\nPARENTCLASS=LOOPB\r\n\r\n[LOOPB]\r\nPARENTCLASS=LOOPA\r\n";

TEST(SectionKeys, InheritanceAndDefaults) {
  TMemIniFile ini(InheritanceSkin);
  TsGeneralData child = ReadSectionData(ini, "CHILD");
  EXPECT_EQ(child.ParentClass, "PARENT");
  EXPECT_EQ(child.Color, 255u);  // -1 counts as absent
  EXPECT_TRUE(child.FadingEnabled);
  EXPECT_TRUE(child.ShowFocus);  // "true" in lower case
  EXPECT_EQ(child.GradientData, "1;2;150;0;0");
  ASSERT_EQ(child.GradientArray.size(), 1u);
  EXPECT_EQ(child.GradientArray[0].Percent, 100);
  EXPECT_EQ(child.ShadowColor, 0u);  // SHADOWCOLOR is not inherited
  EXPECT_EQ(child.HotFontColor[1], 65280u);
  EXPECT_EQ(child.FontColor[1], clNoContour);

  TsGeneralData orphan = ReadSectionData(ini, "ORPHAN");
  EXPECT_EQ(orphan.Color, clWhite);
  EXPECT_FALSE(orphan.ShowFocus);                 // "1" is not TRUE
  EXPECT_TRUE(orphan.GradientArray.empty());      // four numbers: no step
  EXPECT_EQ(orphan.HotGradientArray.size(), 1u);  // nine numbers: one step
  EXPECT_EQ(orphan.GradientPercent, 100);

  TsGeneralData self = ReadSectionData(ini, "SELF");
  EXPECT_EQ(self.Color, clWhite);
  EXPECT_EQ(self.GradientData, " ");
  EXPECT_TRUE(self.GradientArray.empty());
  EXPECT_EQ(self.HotGradientData, "");
  EXPECT_EQ(self.ShadowOffset, 3);
  EXPECT_EQ(self.ShadowBlur, 6);
  EXPECT_EQ(self.ShadowTransparency, 50);
  EXPECT_EQ(self.FadingIterations, 5);

  // A two-section loop ends with the defaults instead of recursing for ever.
  TsGeneralData loop = ReadSectionData(ini, "LOOPA");
  EXPECT_EQ(loop.Color, clWhite);
  EXPECT_FALSE(loop.FadingEnabled);
}

TEST(SectionKeys, IndexedReadsAgreeWithKeyByKeyLookUps) {
  // Whole descriptions are read through a key index built once; each value
  // must be what following the parents key by key gives, chains through a
  // missing section, "?" values and a three-section loop included.
  TMemIniFile ini(std::string(InheritanceSkin) +
                  "\r\n[GRAND]\r\nTRANSPARENCY=40\r\nFADINGITERATIONS=9\r\n"
                  "[MID]\r\nPARENTCLASS=GRAND\r\nTRANSPARENCY=?\r\nGRADIENTDATA=?\r\n"
                  "[LEAF]\r\nPARENTCLASS=MID\r\nFADINGITERATIONS=x\r\nshowfocus=TRUE\r\n"
                  "[LOST]\r\nPARENTCLASS=NOWHERE\r\nBEVEL=2\r\n"
                  "[C1]\r\nPARENTCLASS=C2\r\n[C2]\r\nPARENTCLASS=C3\r\nBEVEL=1\r\n"
                  "[C3]\r\nPARENTCLASS=C1\r\nHOTBEVEL=3\r\n");
  const TsSectionKeyIndex keys(ini);
  for (std::size_t i = 0; i < ini.Sections().size(); ++i) {
    const std::string& name = ini.Sections()[i].Name;
    SCOPED_TRACE(name);
    const TsGeneralData d = keys.Read(i);
    EXPECT_EQ(d.SectionName, name);
    EXPECT_EQ(d.Transparency, ReadInheritedInt(ini, name, "TRANSPARENCY", 0));
    EXPECT_EQ(d.FadingIterations, ReadInheritedInt(ini, name, "FADINGITERATIONS", 5));
    EXPECT_EQ(int(d.Bevel), ReadInheritedInt(ini, name, "BEVEL", 0));
    EXPECT_EQ(int(d.HotBevel), ReadInheritedInt(ini, name, "HOTBEVEL", 0));
    EXPECT_EQ(d.GradientData, ReadInheritedString(ini, name, "GRADIENTDATA", " "));
    EXPECT_EQ(d.ShowFocus, ReadInheritedBool(ini, name, "SHOWFOCUS", false));
    EXPECT_EQ(d.FadingEnabled, ReadInheritedBool(ini, name, "FADINGENABLED", false));
  }
  EXPECT_EQ(keys.Read(ini.SectionIndexOf("LEAF")).Transparency, 40);
  EXPECT_EQ(keys.Read(ini.SectionIndexOf("LEAF")).FadingIterations, 9);
  EXPECT_FALSE(keys.Read(ini.SectionIndexOf("LEAF")).ShowFocus);  // key names are exact
  EXPECT_EQ(int(keys.Read(ini.SectionIndexOf("C1")).HotBevel), 3);
}

TEST(SectionKeys, GlobalInfo) {
  TMemIniFile ini(
      "[GLOBALINFO]\r\nVERSION=5.43\r\nSHADOW1COLOR=9528123\r\nSHADOW1OFFSET=1\r\nSHADOW1BLUR=4\r\n"
      "BISPACE=1\r\nBORDERCOLOR=14598571\r\nAUTHOR=Me\r\n");
  TsSkinData data;
  ReadGlobalInfo(ini, data);
  EXPECT_DOUBLE_EQ(data.Version, 5.43);
  EXPECT_EQ(data.Shadow1Color, 9528123u);
  EXPECT_EQ(data.Shadow1Offset, 1);
  EXPECT_EQ(data.Shadow1Blur, 4);
  EXPECT_EQ(data.Shadow1Transparency, 0);
  EXPECT_EQ(data.BISpacing, 1);
  EXPECT_EQ(data.BorderColor, 14598571u);
  EXPECT_EQ(data.Author, "Me");

  TsSkinData defaults;
  ReadGlobalInfo(TMemIniFile(""), defaults);
  EXPECT_EQ(defaults.Shadow1Blur, -1);
  EXPECT_THROW(ReadGlobalInfo(TMemIniFile("[GLOBALINFO]\nSHADOW1BLUR=soft\n"), defaults),
               EConvertError);
}

TEST(SectionKeys, SystemColourInColorOnly) {
  // $FF00000F is the button-face system colour; only COLOR resolves it.
  TMemIniFile ini("[S]\nCOLOR=-16777201\nHOTCOLOR=-16777201\n");
  TsGeneralData d = ReadSectionData(ini, "S");
  EXPECT_EQ(d.Color & 0xFF000000u, 0u);
  EXPECT_EQ(d.HotColor, 0xFF00000Fu);
}

}  // namespace
}  // namespace vm
