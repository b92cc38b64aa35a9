// Composition of a section item: colour, texture, gradient, see-through,
// custom colour, corner images and border, on a hand-built skin model.
#include "skin/paint/SectionPaint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "platform/gfx/DC.h"
#include "platform/gfx/SysColors.h"
#include "skin/paint/MaskPaint.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"
#include "tests/skin/paint/PaintTestUtil.h"

namespace vm {
namespace {

using namespace vm::test;

constexpr TColor SectionColor = RGB(200, 100, 50);
constexpr TColor HotSectionColor = RGB(10, 220, 30);
constexpr TColor GradColor = RGB(20, 40, 240);
constexpr TColor TexColor = RGB(250, 250, 0);
constexpr TColor Behind = RGB(33, 66, 99);

TsGradArray FlatGradient(TColor c) {
  GradientItem g;
  g.Color1 = std::int32_t(c);
  g.Color2 = std::int32_t(c);
  g.Percent = 100;
  g.Mode = 0;
  return {g};
}

int Round(double v) {
  return int(std::nearbyint(v));
}

class SectionPaint : public ::testing::Test {
 protected:
  void SetUp() override {
    // Master: a 6 x 6 flat texture tile at (0, 0); a 6 x 6 border frame at
    // (10, 0) whose pixels are Coded, with a magenta top-left pixel; a 2 x 2
    // corner image at (20, 0).
    manager.MasterBitmap = CodedMaster(30, 10);
    auto& m = *manager.MasterBitmap;
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 6; ++x) m.SetPixel(x, y, TexColor);
    m.SetPixel(10, 0, Magenta);
  }

  int AddSection(const std::string& name) {
    TsGeneralData gd;
    gd.SectionName = name;
    gd.Color = SectionColor;
    gd.HotColor = HotSectionColor;
    manager.gd.push_back(gd);
    return int(manager.gd.size()) - 1;
  }
  TsGeneralData& Section(int i) { return manager.gd[std::size_t(i)]; }
  int AddMask(const std::string& section, const std::string& key, TsMaskData md) {
    md.SectionName = section;
    md.PropertyName = key;
    manager.ma.push_back(md);
    return int(manager.ma.size()) - 1;
  }
  TBitmap Paint(int section, int state, BackgroundInfo bg = {}, TColor custom = Magenta) {
    TBitmap b = MakeBitmap(8, 6, Guard);
    PaintSectionBackground(section, "", bg, custom, -1, -1, &manager, b, {0, 0}, {1, 1, 7, 5},
                           state);
    EXPECT_EQ(CountOutside(b, {1, 1, 7, 5}, Guard), 0);
    return b;
  }

  TsSkinManager manager;
  EngineColorsGuard colors;
};

TEST_F(SectionPaint, NoTextureNoGradientNoSeeThroughIsFlatColour) {
  const int s = AddSection("FLAT");
  TBitmap b = Paint(s, 0);
  EXPECT_EQ(CountOutside(b, {}, Guard), 24);
  EXPECT_EQ(b.GetPixel(1, 1), SectionColor);
  EXPECT_EQ(b.GetPixel(6, 4), SectionColor);
  EXPECT_EQ(Paint(s, 1).GetPixel(3, 3), HotSectionColor);
}

TEST_F(SectionPaint, GradientShareKeepsItsPercentOfTheGradient) {
  const int s = AddSection("GRAD");
  Section(s).GradientPercent = 60;
  Section(s).GradientArray = FlatGradient(GradColor);
  const TColor expected =
      RGB(Round(0.6 * 20 + 0.4 * 200), Round(0.6 * 40 + 0.4 * 100), Round(0.6 * 240 + 0.4 * 50));
  TBitmap b = Paint(s, 0);
  EXPECT_EQ(b.GetPixel(1, 1), expected);
  EXPECT_EQ(b.GetPixel(6, 4), expected);
}

TEST_F(SectionPaint, TextureAndGradientHalfEachMixWithoutTheColour) {
  const int s = AddSection("TEX");
  Section(s).ImagePercent = 50;
  Section(s).GradientPercent = 50;
  Section(s).GradientArray = FlatGradient(GradColor);
  AddMask("TEX", "PATTERN", MakeMask(&manager, {0, 0, 6, 6}, 1, 0, 0, 0, 0, 0, tmTile));
  auto mix = [](int t, int g) { return (t * 127 + g * 128 + 127) >> 8; };
  TBitmap b = Paint(s, 0);
  EXPECT_EQ(b.GetPixel(4, 2), RGB(mix(250, 20), mix(250, 40), mix(0, 240)));

  // A texture strength without a texture to show starts from the colour.
  const int lonely = AddSection("NOTEX");
  Section(lonely).ImagePercent = 30;
  EXPECT_EQ(Paint(lonely, 0).GetPixel(2, 2), SectionColor);
}

TEST_F(SectionPaint, FullSeeThroughShowsTheBackgroundUnchanged) {
  const int s = AddSection("SEE");
  Section(s).Transparency = 100;
  TBitmap back = MakeBitmap(20, 20, Behind);
  back.SetPixel(5, 4, RGB(1, 2, 3));
  TBitmap b = MakeBitmap(8, 6, Guard);
  PaintSectionBackground(s, "", BackgroundInfo{&back, 2, 1, 1}, Magenta, -1, -1, &manager, b,
                         {2, 2}, {1, 1, 7, 5}, 0);
  // The rect's top-left reads the background at (OffsetX + position.X, OffsetY + position.Y).
  EXPECT_EQ(b.GetPixel(1, 1), Behind);
  EXPECT_EQ(b.GetPixel(2, 2), RGB(1, 2, 3));
  EXPECT_EQ(CountOutside(b, {1, 1, 7, 5}, Guard), 0);

  // A known parent colour stands in for the copy.
  ParentColor = RGB(5, 6, 7);
  b.Fill(Guard);
  PaintSectionBackground(s, "", BackgroundInfo{&back, 0, 0, 1}, Magenta, -1, -1, &manager, b, {},
                         {1, 1, 7, 5}, 0);
  EXPECT_EQ(b.GetPixel(3, 3), RGB(5, 6, 7));

  // Painting into the background bitmap itself leaves it as it is, even with
  // a known parent colour.
  PaintSectionBackground(s, "", BackgroundInfo{&back, 0, 0, 1}, Magenta, -1, -1, &manager, back, {},
                         {2, 2, 8, 8}, 0);
  EXPECT_EQ(back.GetPixel(5, 4), RGB(1, 2, 3));
  EXPECT_EQ(back.GetPixel(3, 3), Behind);
  ParentColor = Magenta;

  // Without a ready background only the section's own layers are painted.
  EXPECT_EQ(Paint(s, 0, BackgroundInfo{&back, 0, 0, 0}).GetPixel(3, 3), SectionColor);
}

TEST_F(SectionPaint, PartialSeeThroughMixesOwnLayersOverTheBackground) {
  const int s = AddSection("HALF");
  Section(s).Transparency = 40;
  TBitmap back = MakeBitmap(10, 10, Behind);
  const int w = PercentToWeight(40);
  auto mix = [w](int behind, int own) { return (behind * w + own * (255 - w) + 127) >> 8; };
  TBitmap b = Paint(s, 0, BackgroundInfo{&back, 0, 0, 1});
  EXPECT_EQ(b.GetPixel(2, 3), RGB(mix(33, 200), mix(66, 100), mix(99, 50)));
}

TEST_F(SectionPaint, ARectReachingOutsideKeepsItsTexturesAnchoredAtItsOwnCorner) {
  // A 3 x 3 tile of coded pixels at (22, 2) of the master bitmap.
  const int s = AddSection("TILED");
  Section(s).ImagePercent = 100;
  AddMask("TILED", "PATTERN", MakeMask(&manager, {22, 2, 25, 5}, 1, 0, 0, 0, 0, 0, tmTile));
  const TRect rect{-2, -1, 6, 5};
  // Bitmap pixel (x, y) is rect pixel (x + 2, y + 1), and so tile pixel
  // ((x + 2) mod 3, (y + 1) mod 3).
  auto tile = [](int x, int y) { return Coded(22 + (x + 2) % 3, 2 + (y + 1) % 3); };
  TBitmap b = MakeBitmap(8, 6, Guard);
  PaintSectionBackground(s, "", {}, Magenta, -1, -1, &manager, b, {0, 0}, rect, 0);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) ASSERT_EQ(b.GetPixel(x, y), tile(x, y)) << x << "," << y;
  EXPECT_EQ(CountOutside(b, {0, 0, 6, 5}, Guard), 0);

  // The same through the see-through mix, whose own layers are painted
  // apart first.
  Section(s).Transparency = 40;
  TBitmap back = MakeBitmap(10, 10, Behind);
  const int w = PercentToWeight(40);
  auto mix = [w](int behind, int own) { return (behind * w + own * (255 - w) + 127) >> 8; };
  b.Fill(Guard);
  PaintSectionBackground(s, "", BackgroundInfo{&back, 0, 0, 1}, Magenta, -1, -1, &manager, b,
                         {0, 0}, rect, 0);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) {
      const TColor t = tile(x, y);
      ASSERT_EQ(b.GetPixel(x, y),
                RGB(mix(33, GetRValue(t)), mix(66, GetGValue(t)), mix(99, GetBValue(t))))
          << x << "," << y;
    }
  EXPECT_EQ(CountOutside(b, {0, 0, 6, 5}, Guard), 0);

  // A rectangle reaching far out costs no more than the part inside.
  b.Fill(Guard);
  Section(s).Transparency = 0;
  PaintSectionBackground(s, "", {}, Magenta, -1, -1, &manager, b, {0, 0},
                         {-2000000001, -2000000001, 8, 6}, 0);
  EXPECT_EQ(b.GetPixel(0, 0), Coded(22 + 2000000001 % 3, 2 + 2000000001 % 3));
}

TEST_F(SectionPaint, CustomColourSwitchesTheOtherLayersOff) {
  const int s = AddSection("CUSTOM");
  Section(s).GradientPercent = 100;
  Section(s).GradientArray = FlatGradient(GradColor);
  Section(s).Transparency = 100;
  TBitmap back = MakeBitmap(10, 10, Behind);
  EXPECT_EQ(Paint(s, 0, BackgroundInfo{&back, 0, 0, 1}).GetPixel(3, 3), Behind);
  EXPECT_EQ(Paint(s, 0, BackgroundInfo{&back, 0, 0, 1}, RGB(9, 9, 9)).GetPixel(3, 3), RGB(9, 9, 9));
}

TEST_F(SectionPaint, ItemPaintsCornerImagesAndBorderAndResetsTheEngineColours) {
  const int s = AddSection("ITEM");
  AddMask("ITEM", "BORDERSMASK", MakeMask(&manager, {10, 0, 16, 6}, 1, 0, 2, 2, 2, 2));
  AddMask("ITEM", "IMGBTMRIGHT", MakeMask(&manager, {20, 0, 22, 2}, 1, 0, 0, 0, 0, 0));
  TBitmap back = MakeBitmap(20, 20, Behind);
  back.SetPixel(4, 3, RGB(1, 2, 3));
  TBitmap b = MakeBitmap(10, 8, Guard);
  KeyFillColor = RGB(1, 1, 1);
  PaintSectionItem(s, "ITEM", BackgroundInfo{&back, 1, 1, 1}, -1, -1, &manager, b, {2, 1},
                   {1, 1, 9, 7}, 0, false);
  EXPECT_EQ(KeyFillColor, Magenta);
  EXPECT_EQ(ParentColor, Magenta);
  // The magenta border corner shows the background at offsets moved by position.
  EXPECT_EQ(b.GetPixel(1, 1), RGB(1, 2, 3));
  EXPECT_EQ(b.GetPixel(2, 1), Coded(11, 0));
  EXPECT_EQ(b.GetPixel(4, 4), SectionColor);  // centre: the background layers
  // The border is painted after the corner image, which it covers here.
  EXPECT_EQ(b.GetPixel(8, 6), Coded(15, 5));
  EXPECT_EQ(CountOutside(b, {1, 1, 9, 7}, Guard), 0);

  // Rectangles reaching outside the bitmap paint nothing.
  TBitmap c = MakeBitmap(10, 8, Guard);
  PaintSectionItem(s, "ITEM", {}, -1, -1, &manager, c, {}, {-1, 0, 5, 5}, 0, false);
  PaintSectionItem(s, "ITEM", {}, -1, -1, &manager, c, {}, {0, 0, 11, 5}, 0, false);
  PaintSectionItem(99, "ITEM", {}, -1, -1, &manager, c, {}, {0, 0, 5, 5}, 0, false);
  EXPECT_EQ(CountOutside(c, {}, Guard), 0);
}

TEST_F(SectionPaint, CornerImagesSitAtTheirCorners) {
  const int s = AddSection("CORNERS");
  AddMask("CORNERS", "IMGTOPRIGHT", MakeMask(&manager, {20, 0, 22, 2}, 1, 0, 0, 0, 0, 0));
  AddMask("CORNERS", "IMGBTMLEFT", MakeMask(&manager, {22, 0, 24, 2}, 1, 0, 0, 0, 0, 0));
  TBitmap b = MakeBitmap(10, 8, Guard);
  PaintCornerImages(s, "", &manager, b, {1, 1, 9, 7}, 0);
  EXPECT_EQ(b.GetPixel(7, 1), Coded(20, 0));
  EXPECT_EQ(b.GetPixel(8, 2), Coded(21, 1));
  EXPECT_EQ(b.GetPixel(1, 5), Coded(22, 0));
  EXPECT_EQ(CountOutside(b, {7, 1, 9, 3}, Guard), 4);
}

TEST_F(SectionPaint, ToDCPaintsAtTheRectangle) {
  const int s = AddSection("DC");
  TBitmap target = MakeBitmap(12, 12, Guard);
  TDC dc(target);
  PaintSectionToDC(s, "", {}, &manager, dc, {}, {3, 4, 8, 9}, 0, false);
  EXPECT_EQ(target.GetPixel(3, 4), SectionColor);
  EXPECT_EQ(target.GetPixel(7, 8), SectionColor);
  EXPECT_EQ(CountOutside(target, {3, 4, 8, 9}, Guard), 0);
  PaintSectionToDC(s, "", {}, &manager, dc, {}, {-1, 0, 8, 9}, 0, false);
  EXPECT_EQ(target.GetPixel(0, 0), Guard);
}

TEST_F(SectionPaint, BorderItemUsesOnlyTheGivenIndexes) {
  const int s = AddSection("BI");
  Section(s).ImagePercent = 100;
  const int tex = AddMask("BI", "PATTERN", MakeMask(&manager, {0, 0, 6, 6}, 1, 0, 0, 0, 0, 0));
  const int border = AddMask("OTHER", "X", MakeMask(&manager, {10, 0, 16, 6}, 1, 0, 2, 2, 2, 2));
  TBitmap b = MakeBitmap(10, 8, Guard);
  // No texture index given: no look-up by name, so the colour shows.
  PaintBorderItem(s, border, -1, &manager, b, {}, {0, 0, 10, 8}, 0, false, {}, "BI", -1);
  EXPECT_EQ(b.GetPixel(4, 4), SectionColor);
  EXPECT_EQ(b.GetPixel(1, 1), Coded(11, 1));
  PaintBorderItem(s, border, tex, &manager, b, {}, {0, 0, 10, 8}, 0, false, {}, "BI", -1);
  EXPECT_EQ(b.GetPixel(4, 4), TexColor);
}

TEST_F(SectionPaint, RefillingOneCornerTouchesExactlyItsKeyPixels) {
  // A frame of magenta with top and bottom borders of different heights.
  auto& m = *manager.MasterBitmap;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) m.SetPixel(x, y, Magenta);
  m.SetPixel(15, 0, RGB(1, 1, 1));  // an opaque pixel in frame 1's top-right corner
  const TsMaskData border = MakeMask(&manager, {0, 0, 16, 8}, 2, 0, 2, 2, 3, 4);
  TBitmap b = MakeBitmap(10, 12, Guard);
  ParentColor = RGB(5, 6, 7);
  RefillCornerPieces(b, border, 1, cnTopRight, {});
  EXPECT_EQ(b.GetPixel(7, 0), RGB(5, 6, 7));
  EXPECT_EQ(b.GetPixel(8, 1), RGB(5, 6, 7));
  EXPECT_EQ(b.GetPixel(9, 0), Guard);  // opaque in the source: stays
  EXPECT_EQ(CountOutside(b, {7, 0, 10, 2}, Guard), 0);

  // Without a parent colour the ready background shows through.
  ParentColor = Magenta;
  TBitmap back = MakeBitmap(20, 20, Behind);
  b.Fill(Guard);
  RefillCornerPieces(b, border, 0, cnAll, BackgroundInfo{&back, 3, 3, 1});
  EXPECT_EQ(b.GetPixel(0, 0), Behind);
  EXPECT_EQ(b.GetPixel(0, 8), Behind);  // bottom-left: the last 4 rows
  EXPECT_EQ(b.GetPixel(0, 7), Guard);
  EXPECT_EQ(b.GetPixel(9, 11), Behind);
  EXPECT_EQ(b.GetPixel(5, 5), Guard);
}

// The corners' key pixels, filled one by one: the refill walks rows on their
// bytes and must give the same pixels.
void RefillByPixel(TBitmap& picture, const TsMaskData& md, int state, int corners,
                   const BackgroundInfo& background) {
  const TBitmap* source = MaskSourceBitmap(md);
  const TMaskFrame f = TMaskFrame::Of(md);
  if (!source || !f.Valid) return;
  const int fx = md.R.Left + f.ClampState(state) * md.R.Width() / md.ImageCount;
  const int bl = std::max<int>(md.WL, 0), bt = std::max<int>(md.WT, 0);
  const int br = std::max<int>(md.WR, 0), bb = std::max<int>(md.WB, 0);
  const int pw = picture.Width(), ph = picture.Height(), frameBottom = md.R.Top + f.H;
  const std::tuple<int, TRect, TPoint> pieces[4] = {
      {cnTopLeft, Bounds(0, 0, bl, bt), {fx, md.R.Top}},
      {cnBottomLeft, Bounds(0, ph - bb, bl, bb), {fx, frameBottom - bb}},
      {cnTopRight, Bounds(pw - br, 0, br, bt), {fx + f.W - br, md.R.Top}},
      {cnBottomRight, Bounds(pw - br, ph - bb, br, bb), {fx + f.W - br, frameBottom - bb}}};
  const TBitmap* back = background.Ready && background.Bitmap ? background.Bitmap : nullptr;
  for (const auto& [bit, dest, from] : pieces) {
    if (!(corners & bit)) continue;
    for (int y = std::max(dest.Top, 0); y < std::min(dest.Bottom, ph); ++y)
      for (int x = std::max(dest.Left, 0); x < std::min(dest.Right, pw); ++x) {
        const int sx = from.X + x - dest.Left, sy = from.Y + y - dest.Top;
        if (sx < 0 || sy < 0 || sx >= source->Width() || sy >= source->Height() ||
            source->GetPixel(sx, sy) != KeyColor)
          continue;
        if (ParentColor == KeyColor && back) {
          const int bx = background.OffsetX + x, by = background.OffsetY + y;
          if (bx >= 0 && by >= 0 && bx < back->Width() && by < back->Height())
            picture.SetPixel(x, y, back->GetPixel(bx, by));
        } else if (ParentColor != KeyColor) {
          picture.SetPixel(x, y, ResolveColor(ParentColor));
        } else if (KeyFillColor != KeyColor) {
          picture.SetPixel(x, y, ResolveColor(KeyFillColor));
        }
      }
  }
}

TEST_F(SectionPaint, RefilledCornersMatchTheirPixelFormula) {
  // A master of noise and magenta; random frames, states, corners, picture
  // sizes and backgrounds (24- and 32-bit, placed across every edge), with
  // the parent's colour, the key fill colour or neither.
  unsigned seed = 3;
  auto any = [&](int lo, int hi) {
    seed = seed * 1103515245u + 12345u;
    return lo + int((seed >> 8) % unsigned(hi - lo + 1));
  };
  auto& m = *manager.MasterBitmap;
  m = TBitmap(40, 24, TPixelFormat::pf24bit, true);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 40; ++x) m.SetPixel(x, y, any(0, 2) ? Magenta : Coded(x, y, 9));
  const TColor oldParent = ParentColor, oldFill = KeyFillColor;
  for (int i = 0; i < 2000; ++i) {
    const TsMaskData md = MakeMask(&manager, {any(-4, 10), any(-4, 6), any(8, 44), any(6, 28)},
                                   any(1, 4), 0, any(-1, 9), any(-1, 9), any(-1, 9), any(-1, 9));
    TBitmap back(any(1, 30), any(1, 30), any(0, 1) ? TPixelFormat::pf32bit : TPixelFormat::pf24bit,
                 any(0, 1) != 0);
    for (int y = 0; y < back.Height(); ++y)
      for (int x = 0; x < back.Width(); ++x) back.SetPixel(x, y, Coded(x, y, 4));
    const BackgroundInfo bg{&back, any(-20, 20), any(-20, 20), std::uint8_t(any(0, 3) != 0)};
    const int kind = any(0, 2);
    ParentColor = kind == 0 ? RGB(5, 6, 7) : KeyColor;
    KeyFillColor = kind == 1 ? (0xFF000000u | COLOR_BTNFACE) : KeyColor;  // a system colour
    TBitmap got = MakeBitmap(any(1, 24), any(1, 24), Guard, any(0, 1) != 0), want = got;
    const int state = any(-1, 4), corners = any(0, 15);
    RefillCornerPieces(got, md, state, corners, bg);
    RefillByPixel(want, md, state, corners, bg);
    ASSERT_TRUE(got.SamePixels(want)) << "case " << i;
  }
  ParentColor = oldParent;
  KeyFillColor = oldFill;
}

}  // namespace
}  // namespace vm
