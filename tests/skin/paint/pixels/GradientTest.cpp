#include "skin/paint/pixels/Gradient.h"

#include <gtest/gtest.h>

#include <climits>

#include "TestBitmaps.h"

namespace vm {
namespace {

using test::Filled;
using test::Grey;
using test::Guard;
using test::OutsideIs;

GradientItem Band(TColor c1, TColor c2, int percent, int mode = 0) {
  return GradientItem{std::int32_t(c1), std::int32_t(c2), percent, mode, 0};
}

TEST(ParseGradient, FieldsInGroupsOfFive) {
  TsGradArray a;
  ParseGradient("0;16777215;100;0;0", a);
  ASSERT_EQ(a.size(), 1u);
  EXPECT_EQ(a[0].Color1, 0);
  EXPECT_EQ(a[0].Color2, 0xFFFFFF);
  EXPECT_EQ(a[0].Percent, 100);
  EXPECT_EQ(a[0].Mode, 0);

  ParseGradient("1;2;30;1;0;5;6;7;8", a);  // nine fields: one band
  ASSERT_EQ(a.size(), 1u);
  EXPECT_EQ(a[0].Mode, 1);

  // Runs of separators are one; separators at the ends give no field.
  ParseGradient(";;$FF;;-2;;150;2;x;;", a);
  ASSERT_EQ(a.size(), 1u);
  EXPECT_EQ(a[0].Color1, 255);
  EXPECT_EQ(a[0].Color2, -2);
  EXPECT_EQ(a[0].Percent, 100);  // capped
  EXPECT_EQ(a[0].Mode, 2);       // the fifth field is never read

  ParseGradient("$FFFFFFFF;$00ff00;-7;0;0;1;2;3;4;5", a);
  ASSERT_EQ(a.size(), 2u);
  EXPECT_EQ(a[0].Color1, -1);
  EXPECT_EQ(a[0].Color2, 0xFF00);
  EXPECT_EQ(a[0].Percent, -7);
  EXPECT_EQ(a[1].Percent, 3);

  ParseGradient("", a);
  EXPECT_TRUE(a.empty());
  ParseGradient(";;;", a);
  EXPECT_TRUE(a.empty());
}

TEST(ParseGradient, BadNumberRaisesAfterSizingTheArray) {
  TsGradArray a;
  try {
    ParseGradient("10;20;30;0;0;40;oops;60;0;0", a);
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_NE(std::string(e.what()).find("'oops' is not a valid integer value"), std::string::npos);
  }
  ASSERT_EQ(a.size(), 2u);
  EXPECT_EQ(a[0].Percent, 30);
  EXPECT_EQ(a[1].Color1, 40);
  EXPECT_EQ(a[1].Percent, 0);

  for (const char* bad : {"", "-", "$", "$G", "1.5", "0x10", "2147483648", "$123456789", "1 2"})
    EXPECT_THROW(StrToInt(bad), EConvertError) << bad;
  EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(StrToInt(" 42 "), 42);
  EXPECT_EQ(StrToInt("+$10"), 16);
  EXPECT_EQ(StrToInt("$000000000FF"), 255);
  EXPECT_EQ(StrToInt("-$1"), -1);
}

class PaintGradientTest : public ::testing::TestWithParam<bool> {
 protected:
  bool BottomUp() const { return GetParam(); }
};

TEST_P(PaintGradientTest, OneVerticalBandBlackToWhite) {
  TsGradArray a;
  ParseGradient("0;16777215;100;0;0", a);
  TBitmap b = Filled(5, 7, BottomUp());
  PaintGradient(b, TRect{1, 1, 4, 6}, a);
  // Five rows, step 63.75: 0, 63.75, 127.5, 191.25, 255 rounded half to even.
  const int expected[5] = {0, 64, 128, 191, 255};
  for (int y = 0; y < 5; ++y)
    for (int x = 1; x < 4; ++x) EXPECT_EQ(b.GetPixel(x, y + 1), Grey(expected[y])) << x << "," << y;
  EXPECT_TRUE(OutsideIs(b, TRect{1, 1, 4, 6}, Guard));
}

TEST_P(PaintGradientTest, TwoBandsShareARowOnElevenRows) {
  TsGradArray a{Band(Grey(0), Grey(250), 50), Band(Grey(10), Grey(110), 50)};
  TBitmap b = Filled(2, 11, BottomUp());
  PaintGradient(b, TRect{0, 0, 2, 11}, a);
  const int expected[11] = {0, 50, 100, 150, 200, 10, 30, 50, 70, 90, 110};
  for (int y = 0; y < 11; ++y) EXPECT_EQ(b.GetPixel(1, y), Grey(expected[y])) << y;
}

TEST_P(PaintGradientTest, LastBandReachesBottomAndThinBandsAreSkipped) {
  // 5 % of 10 rows is no row: the band is skipped. The last band's 10 % does
  // not matter: it runs to the bottom.
  TsGradArray a{Band(RGB(255, 0, 0), RGB(255, 0, 0), 5), Band(Grey(0), Grey(90), 10)};
  TBitmap b = Filled(3, 10, BottomUp());
  PaintGradient(b, TRect{0, 0, 3, 10}, a);
  for (int y = 0; y < 10; ++y) EXPECT_EQ(b.GetPixel(0, y), Grey(10 * y)) << y;
}

TEST_P(PaintGradientTest, HorizontalEndsAtRightEdge) {
  // Bands of 30 % + 30 % on 10 columns: the first covers 0..3, the last runs
  // from 3 to the right edge and ends with its Color2.
  TsGradArray a{Band(Grey(0), Grey(30), 30, 1), Band(Grey(60), Grey(120), 30, 1)};
  TBitmap b = Filled(12, 4, BottomUp());
  PaintGradient(b, TRect{1, 1, 11, 3}, a);
  const int expected[10] = {0, 10, 20, 60, 70, 80, 90, 100, 110, 120};
  for (int y = 1; y < 3; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(b.GetPixel(x + 1, y), Grey(expected[x])) << x;
  EXPECT_TRUE(OutsideIs(b, TRect{1, 1, 11, 3}, Guard));
}

TEST_P(PaintGradientTest, OneColumnOrOneRowPaintsNothing) {
  // A single band over one column (or row) has no length to interpolate over.
  TBitmap b = Filled(4, 4, BottomUp());
  b.SetPixel(1, 0, Grey(1));
  b.SetPixel(1, 2, Grey(2));
  PaintGradient(b, TRect{1, 0, 2, 4}, {Band(Grey(9), Grey(99), 100, 1)});
  PaintGradient(b, TRect{0, 3, 4, 4}, {Band(Grey(9), Grey(99), 100, 0)});
  EXPECT_EQ(b.GetPixel(1, 0), Grey(1));
  EXPECT_EQ(b.GetPixel(1, 2), Grey(2));
  EXPECT_EQ(b.GetPixel(1, 3), Guard);
}

TEST_P(PaintGradientTest, TrianglesWithOneBandAreFlat) {
  TsGradArray a;
  ParseGradient("$3366CC;0;100;2;0", a);
  TBitmap b = Filled(9, 8, BottomUp());
  PaintGradient(b, TRect{1, 2, 8, 7}, a);
  for (int y = 2; y < 7; ++y)
    for (int x = 1; x < 8; ++x) ASSERT_EQ(b.GetPixel(x, y), 0x3366CCu) << x << "," << y;
  EXPECT_TRUE(OutsideIs(b, TRect{1, 2, 8, 7}, Guard));
}

TEST_P(PaintGradientTest, TrianglesTakeCornerColours) {
  // Vertex colours: top-left red, centre green, top-right, bottom-right and
  // bottom-left blue. The corner pixels sit next to their vertices.
  TsGradArray a{Band(RGB(255, 0, 0), 0, 0, 2), Band(RGB(0, 255, 0), 0, 0),
                Band(RGB(0, 0, 255), 0, 0)};
  TBitmap b = Filled(40, 40, BottomUp());
  PaintGradient(b, TRect{0, 0, 40, 40}, a);
  const TColor tl = b.GetPixel(0, 0), br = b.GetPixel(39, 39), mid = b.GetPixel(20, 20);
  EXPECT_GT(GetRValue(tl), 200);
  EXPECT_GT(GetBValue(br), 200);
  EXPECT_GT(GetGValue(mid), 200);
}

TEST_P(PaintGradientTest, NothingForEmptyArraysUnknownModesAndFarRectangles) {
  TBitmap b = Filled(6, 6, BottomUp());
  PaintGradient(b, TRect{0, 0, 6, 6}, {});
  PaintGradient(b, TRect{0, 0, 6, 6}, {Band(0, 0, 100, 3)});
  for (int mode = 0; mode < 3; ++mode) {
    const TsGradArray a{Band(0, 0xFFFFFF, 100, mode)};
    PaintGradient(b, TRect{1000, 1000, 2000, 2000}, a);
    PaintGradient(b, TRect{-2000, -2000, -1000, -1000}, a);
    PaintGradient(b, TRect{INT_MIN, INT_MIN, INT_MIN + 1, INT_MIN + 1}, a);
    PaintGradient(b, TRect{4, 4, 2, 2}, a);
  }
  EXPECT_TRUE(OutsideIs(b, TRect{}, Guard));
  // A rectangle larger than the bitmap is cut to it.
  for (int mode = 0; mode < 3; ++mode) {
    TBitmap c = Filled(6, 6, BottomUp());
    PaintGradient(c, TRect{-50, -50, INT_MAX, INT_MAX}, {Band(0x00FF00, 0x00FF00, 100, mode)});
    EXPECT_TRUE(OutsideIs(c, TRect{0, 0, 6, 6}, Guard));
    EXPECT_EQ(c.GetPixel(0, 0), 0x00FF00u) << mode;
    EXPECT_EQ(c.GetPixel(5, 5), 0x00FF00u) << mode;
  }
}

INSTANTIATE_TEST_SUITE_P(BothRowOrders, PaintGradientTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "BottomUp" : "TopDown"; });

}  // namespace
}  // namespace vm
