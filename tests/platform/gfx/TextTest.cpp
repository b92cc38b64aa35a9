#include <gtest/gtest.h>

#include <tuple>

#include <filesystem>

#include "platform/gfx/DC.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/PngCodec.h"

namespace vm {
namespace {

constexpr TColor Paper = RGB(236, 233, 216);
constexpr TColor Ink = RGB(0, 0, 128);

class Text : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { PinFontConfiguration(); }
  bool HaveTahoma() const { return std::filesystem::exists("/usr/share/wine/fonts/tahoma.ttf"); }
};

// Bounds of every pixel that is not the paper colour.
TRect InkBounds(const TBitmap& bmp) {
  TRect r{bmp.Width(), bmp.Height(), 0, 0};
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x)
      if (bmp.GetPixel(x, y) != Paper) {
        r.Left = std::min(r.Left, x);
        r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x + 1);
        r.Bottom = std::max(r.Bottom, y + 1);
      }
  return r.IsEmpty() ? TRect{} : r;
}

TEST_F(Text, FamiliesFallBackAndHeightsFollowThePlatform) {
  if (HaveTahoma()) {
    const auto tahoma = TFont::Get({"Tahoma", -11});
    EXPECT_EQ(tahoma->FaceFamily(), "Tahoma");
    // Tahoma at an 11-pixel character height: 13-pixel cell, 11 up, 2 down.
    EXPECT_EQ(tahoma->Metrics().Height, 13);
    EXPECT_EQ(tahoma->Metrics().Ascent, 11);
    EXPECT_EQ(tahoma->Metrics().Descent, 2);
    EXPECT_EQ(tahoma->Metrics().InternalLeading, 2);
    EXPECT_EQ(tahoma->Metrics().AveCharWidth, 5);
    EXPECT_EQ(TFont::Default(), tahoma);  // shared, not reloaded
  }
  // The line's measures come without the average width, which is measured
  // only when asked for; the two agree on everything else.
  const auto fresh = TFont::Get({"Tahoma", -17, false, true});
  EXPECT_EQ(fresh->LineMetrics().AveCharWidth, 0);
  const TTextMetric& line = fresh->LineMetrics();
  const TTextMetric& full = fresh->Metrics();
  EXPECT_GT(full.AveCharWidth, 0);
  EXPECT_EQ(std::tie(line.Height, line.Ascent, line.Descent, line.InternalLeading,
                     line.ExternalLeading, line.MaxCharWidth, line.Weight, line.Italic),
            std::tie(full.Height, full.Ascent, full.Descent, full.InternalLeading,
                     full.ExternalLeading, full.MaxCharWidth, full.Weight, full.Italic));
  EXPECT_EQ(TFont::Get({"Times New Roman", -13})->FaceFamily(), "Liberation Serif");
  EXPECT_EQ(TFont::Get({"No Such Family", -11})->FaceFamily(), "Liberation Sans");
  // A positive height is the cell height and is kept exactly.
  for (int h : {8, 13, 16, 31}) EXPECT_EQ(TFont::Get({"Tahoma", h})->Metrics().Height, h);
  const auto bold = TFont::Get({"Tahoma", -11, true});
  const auto regular = TFont::Get({"Tahoma", -11});
  EXPECT_GT(bold->TextWidth(U"Bold text"), regular->TextWidth(U"Bold text"));
}

TEST_F(Text, MeasuringMatchesDrawing) {
  TBitmap bmp(200, 40);
  bmp.Fill(Paper);
  TDC dc(bmp);
  const TFont& f = *TFont::Default();
  EXPECT_EQ(dc.GetTextExtent("").cx, 0);
  EXPECT_EQ(dc.GetTextExtent("Hello").cx, f.TextWidth(U"Hello"));
  EXPECT_EQ(dc.GetTextExtent("Hello").cy, f.Metrics().Height);
  TSize s;
  ASSERT_TRUE(GetTextExtentPoint32(&dc, "Привет", &s));
  EXPECT_GT(s.cx, 20);
  // Prefix characters take no room; "&&" is one ampersand.
  TRect r{0, 0, 500, 100};
  dc.DrawText("&File", r, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(r, (TRect{0, 0, f.TextWidth(U"File"), f.Metrics().Height}));
  r = {0, 0, 500, 100};
  dc.DrawText("A&&B", r, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(r.Width(), f.TextWidth(U"A&B"));
  r = {0, 0, 500, 100};
  dc.DrawText("A&&B", r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(r.Width(), f.TextWidth(U"A&&B"));
  // Ink stays inside the measured cell.
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(Ink);
  dc.TextOut(10, 5, "Measured");
  const TRect ink = InkBounds(bmp);
  const TSize ext = dc.GetTextExtent("Measured");
  EXPECT_GE(ink.Left, 10);
  EXPECT_LE(ink.Right, 10 + ext.cx + 1);
  EXPECT_GE(ink.Top, 5);
  EXPECT_LE(ink.Bottom, 5 + ext.cy);
  // Broken UTF-8 is drawn as replacement characters, not refused.
  EXPECT_GT(dc.GetTextExtent("a\xff\xc3").cx, dc.GetTextExtent("a").cx);
}

TEST_F(Text, AlignmentAndVerticalCentre) {
  const TFont& f = *TFont::Default();
  const int w = f.TextWidth(U"Mid");
  for (std::uint32_t align : {DT_LEFT, DT_CENTER, DT_RIGHT}) {
    TBitmap bmp(100, 41);
    bmp.Fill(Paper);
    TDC dc(bmp);
    dc.SetBkMode(OPAQUE);
    dc.SetBkColor(RGB(255, 255, 0));
    TRect r{0, 0, 100, 41};
    const int ret = dc.DrawText("Mid", r, align | DT_SINGLELINE | DT_VCENTER);
    // The opaque cell shows exactly where the line went.
    const TRect cell = InkBounds(bmp);
    const int x = align == DT_CENTER ? (100 - w) / 2 : align == DT_RIGHT ? 100 - w : 0;
    EXPECT_EQ(cell, (TRect{x, (41 - 13) / 2, x + w, (41 - 13) / 2 + 13})) << align;
    EXPECT_EQ(ret, (41 - 13) / 2 + 13);
  }
}

TEST_F(Text, EndEllipsisAndClipping) {
  const TFont& f = *TFont::Default();
  TBitmap bmp(120, 20);
  TDC dc(bmp);
  dc.SetBkMode(TRANSPARENT);
  const char* longText = "A caption far too long for its box";
  TRect calc{10, 0, 70, 20};
  dc.DrawText(longText, calc, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_LE(calc.Width(), 60);
  EXPECT_GT(calc.Width(), 60 - f.Advance(U'o') - 3 * f.Advance(U'.'));
  // Without ellipsis the text is cut at the rectangle, unless told not to clip.
  bmp.Fill(Paper);
  TRect r{10, 0, 70, 20};
  dc.DrawText(longText, r, DT_SINGLELINE);
  TRect ink = InkBounds(bmp);
  EXPECT_GE(ink.Left, 10);
  EXPECT_EQ(ink.Right, 70);
  bmp.Fill(Paper);
  dc.DrawText(longText, r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(InkBounds(bmp).Right, 70);
  // Text that fits is left alone.
  TRect fits{0, 0, 500, 20};
  dc.DrawText("Short", fits, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_EQ(fits.Width(), f.TextWidth(U"Short"));
}

TEST_F(Text, WordBreakLinesTabsAndPrefixUnderline) {
  const TFont& f = *TFont::Default();
  const int lh = f.Metrics().Height;
  TBitmap bmp(100, 100);
  TDC dc(bmp);
  TRect r{0, 0, 60, 100};
  const int h = dc.DrawText("one two three four five six", r, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_GT(h, lh);
  EXPECT_EQ(h % lh, 0);
  EXPECT_LE(r.Width(), 60);
  // A word wider than the line keeps its own line.
  TRect narrow{0, 0, 5, 100};
  EXPECT_EQ(dc.DrawText("ab cd", narrow, DT_CALCRECT | DT_WORDBREAK), 2 * lh);
  // Explicit line breaks, ignored on a single line.
  TRect lines{0, 0, 300, 100};
  EXPECT_EQ(dc.DrawText("a\r\nb\nc", lines, DT_CALCRECT), 3 * lh);
  lines = {0, 0, 300, 100};
  EXPECT_EQ(dc.DrawText("a\r\nb\nc", lines, DT_CALCRECT | DT_SINGLELINE), lh);
  // Tabs jump to multiples of eight average character widths.
  TRect tab{0, 0, 300, 20};
  dc.DrawText("a\tb", tab, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
  EXPECT_EQ(tab.Width(), 8 * f.Metrics().AveCharWidth + f.Advance(U'b'));

  // "&S" underlines the S only, in the text colour, one row below the baseline area.
  bmp.Fill(Paper);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(Ink);
  TRect at{0, 0, 100, lh};
  dc.DrawText("&Save", at, DT_SINGLELINE);
  const int row = f.Metrics().Ascent + f.UnderlinePosition();
  for (int x = 0; x < f.Advance(U'S'); ++x) EXPECT_EQ(bmp.GetPixel(x, row), Ink) << x;
  for (int x = f.Advance(U'S'); x < 100; ++x) EXPECT_NE(bmp.GetPixel(x, row), Ink) << x;
  bmp.Fill(Paper);
  dc.DrawText("&Save", at, DT_SINGLELINE | DT_HIDEPREFIX);
  EXPECT_NE(bmp.GetPixel(1, row), Ink);
}

TEST_F(Text, GlyphsBlendInTheTextColourOnBothRowOrders) {
  for (bool bottomUp : {false, true}) {
    // Large enough for stems several pixels wide, whose inside is fully covered.
    TBitmap bmp(120, 60, TPixelFormat::pf24bit, bottomUp);
    bmp.Fill(Paper);
    TDC dc(bmp);
    dc.SelectFont(TFont::Get({"Tahoma", -40, true}));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(Ink);
    dc.TextOut(2, 2, "IlI");
    int full = 0, partial = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 120; ++x) {
        const TColor c = bmp.GetPixel(x, y);
        if (c == Ink) ++full;
        // Partly covered pixels lie between paper and ink on every channel.
        else if (c != Paper) {
          ++partial;
          EXPECT_LE(GetRValue(c), GetRValue(Paper));
          EXPECT_LE(GetGValue(c), GetGValue(Paper));
        }
      }
    EXPECT_GT(full, 100);
    EXPECT_GT(partial, 0);  // anti-aliased edges
  }
  // A golden picture for looking at (not compared: hinting differs between FreeType versions).
  TBitmap sample(220, 40);
  sample.Fill(Paper);
  TDC dc(sample);
  dc.SetBkMode(TRANSPARENT);
  TRect r{4, 2, 216, 38};
  dc.DrawText("Velmora: &Open, Сохранить…\tÉté", r, DT_WORDBREAK | DT_EXPANDTABS);
  if (const char* dir = std::getenv("VELMORA_BINARY_DIR"))
    SavePngFile(std::string(dir) + "/text-sample.png", sample);
}

}  // namespace
}  // namespace vm
