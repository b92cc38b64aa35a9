// Skinned text: contour passes, the disabled colour and the text helpers.
#include "platform/base/Utf8.h"
#include "skin/paint/SkinText.h"

#include <gtest/gtest.h>

#include "platform/gfx/Font.h"
#include "tests/skin/paint/PaintTestUtil.h"

// fontconfig keeps a few bytes of its parsed configuration for the life of the
// process; the leak checker of the sanitizer build is told to ignore them.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

namespace vm {
namespace {

using namespace vm::test;

class SkinText : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { PinFontConfiguration(); }
  void SetUp() override {
    TsGeneralData gd;
    gd.SectionName = "TEXT";
    gd.Color = clWhite;
    gd.FontColor = {RGB(0, 0, 200), clNoContour, clNoContour, clNoContour, clNoContour};
    gd.HotFontColor = {RGB(0, 0, 200), RGB(255, 0, 0), clNoContour, RGB(0, 255, 0), clNoContour};
    manager.gd.push_back(gd);
  }
  TBitmap Canvas() { return MakeBitmap(60, 24, clWhite); }

  TsSkinManager manager;
  const TRect rect{4, 2, 56, 22};
  const std::uint32_t format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
};

TEST_F(SkinText, ContourPassesRunLeftTopRightBottomThenMain) {
  // No contours: exactly one plain pass in the main colour.
  TBitmap a = Canvas(), b = Canvas();
  TDC da(a), db(b);
  WriteSectionText(da, "Hello", true, &manager, false, 0, format, rect);
  db.SetBkMode(TRANSPARENT);
  db.SetTextColor(RGB(0, 0, 200));
  TRect r = rect;
  db.DrawText("Hello", r, format);
  EXPECT_TRUE(a.SamePixels(b));

  // Hot: left (red) then right (green) then the main colour on top.
  TBitmap c = Canvas(), d = Canvas(), e = Canvas();
  TDC dc(c), dd(d), de(e);
  WriteSectionText(dc, "Hello", true, &manager, true, 0, format, rect);
  dd.SetBkMode(TRANSPARENT);
  de.SetBkMode(TRANSPARENT);
  auto pass = [&](TDC& x, TColor col, int dx) {
    x.SetTextColor(col);
    TRect rr = rect.Offset(dx, 0);
    x.DrawText("Hello", rr, format);
  };
  pass(dd, RGB(255, 0, 0), -1);
  pass(dd, RGB(0, 255, 0), 1);
  pass(dd, RGB(0, 0, 200), 0);
  EXPECT_TRUE(c.SamePixels(d));
  pass(de, RGB(0, 255, 0), 1);
  pass(de, RGB(255, 0, 0), -1);
  pass(de, RGB(0, 0, 200), 0);
  EXPECT_FALSE(c.SamePixels(e));
  EXPECT_FALSE(c.SamePixels(a));
}

TEST_F(SkinText, DisabledTextTakesFortyPercentOfTheFontColour) {
  manager.gd[0].FontColor[0] = clBlack;
  EXPECT_EQ(SectionTextColors(&manager, 0, false, false).Main, RGB(153, 153, 153));
  TBitmap a = Canvas();
  TDC da(a);
  da.SelectFont(TFont::Get(TFontDesc{"DejaVu Sans", -20, true}));
  WriteSectionText(da, "HI", false, &manager, true, 0, format, rect);
  int darkest = 255;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) darkest = std::min(darkest, GetRValue(a.GetPixel(x, y)));
  EXPECT_EQ(darkest, 153);

  // Nothing is drawn for an invalid section or an empty text.
  TBitmap b = Canvas();
  TDC db(b);
  WriteSectionText(db, "HI", true, &manager, false, 5, format, rect);
  WriteSectionText(db, "", true, &manager, false, 0, format, rect);
  EXPECT_EQ(CountOutside(b, {}, clWhite), 0);
}

TEST_F(SkinText, FitTextCutsWholeCharactersBeforeAnEllipsis) {
  TBitmap a = Canvas();
  TDC dc(a);
  const std::string text = "Изменить качество";
  const int full = TextWidth(dc, text);
  EXPECT_EQ(FitText(dc, text, full), text);
  EXPECT_EQ(FitText(dc, text, 0), "");
  EXPECT_EQ(FitText(dc, text, TextWidth(dc, "...") - 1), "");
  const std::string cut = FitText(dc, text, full / 2);
  ASSERT_GE(cut.size(), 4u);
  EXPECT_EQ(cut.substr(cut.size() - 3), "...");
  EXPECT_LE(TextWidth(dc, cut), full / 2);
  EXPECT_EQ(text.compare(0, cut.size() - 3, cut, 0, cut.size() - 3), 0);
  // The cut never splits a two-byte letter.
  EXPECT_EQ(Utf32ToUtf8(Utf8ToUtf32(cut)), cut);
  EXPECT_EQ(TextExtent(dc, text).cx, full);
}

}  // namespace
}  // namespace vm
