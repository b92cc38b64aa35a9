#include "skin/paint/pixels/Colors.h"

#include <gtest/gtest.h>

#include "platform/gfx/SysColors.h"

namespace vm {
namespace {

TEST(Colors, KeyAndNoKey) {
  EXPECT_FALSE(IsNoKey(KeyColor));
  EXPECT_FALSE(IsNoKey(0xFEFFFFFF));
  EXPECT_TRUE(IsNoKey(0xFF000000));
  EXPECT_TRUE(IsNoKey(0xFFFFFFFF));
}

TEST(Colors, PercentToWeightTruncatesAndClamps) {
  EXPECT_EQ(PercentToWeight(50), 127);
  EXPECT_EQ(PercentToWeight(100), 255);
  EXPECT_EQ(PercentToWeight(0), 0);
  EXPECT_EQ(PercentToWeight(-20), 0);
  EXPECT_EQ(PercentToWeight(250), 255);
}

TEST(Colors, MixColorsRoundsHalfToEvenAndKeepsTopByte) {
  // 0.5 * (a - 0): 0.5 -> 0, 1.5 -> 2, 2.5 -> 2.
  EXPECT_EQ(MixColors(RGB(1, 3, 5), 0, 0.5), RGB(0, 2, 2));
  EXPECT_EQ(MixColors(RGB(200, 0, 0), RGB(0, 0, 100), 1.0), RGB(200, 0, 0));
  EXPECT_EQ(MixColors(RGB(200, 0, 0), RGB(0, 0, 100), 0.0), RGB(0, 0, 100));
  EXPECT_EQ(MixColors(0x12000010, 0x00000000, 1.0), 0x12000010u);
  // A system colour is resolved and does not carry its $FF marker into the mix.
  const TColor saved = GetSysColor(COLOR_WINDOW);
  SetSysColor(COLOR_WINDOW, RGB(100, 100, 100));
  EXPECT_EQ(MixColors(clWindow, RGB(0, 0, 0), 0.5), RGB(50, 50, 50));
  SetSysColor(COLOR_WINDOW, saved);
}

TEST(Colors, ChangeSaturation) {
  EXPECT_EQ(ChangeSaturation(clWindow, 0), clWindow);  // amount 0: as given
  EXPECT_EQ(ChangeSaturation(RGB(255, 0, 0), 100), RGB(85, 85, 85));
  // G: 0 + 50 * 0.85 = 42.5 -> 42 (half to even).
  EXPECT_EQ(ChangeSaturation(RGB(255, 0, 0), 50), RGB(170, 42, 42));
  // Away from grey, limited to 0..255.
  EXPECT_EQ(ChangeSaturation(RGB(255, 0, 0), -100), RGB(255, 0, 0));
  EXPECT_EQ(ChangeSaturation(RGB(150, 100, 50), -100), RGB(200, 100, 0));
}

TEST(Colors, ChangeHue) {
  EXPECT_EQ(ChangeHue(77, RGB(90, 90, 90)), RGB(90, 90, 90));  // grey stays
  EXPECT_EQ(ChangeHue(77, RGB(0, 0, 0)), RGB(0, 0, 0));
  EXPECT_EQ(ChangeHue(120, RGB(255, 0, 0)), RGB(0, 255, 0));
  EXPECT_EQ(ChangeHue(240, RGB(255, 0, 0)), RGB(0, 0, 255));
  EXPECT_EQ(ChangeHue(60, RGB(255, 0, 0)), RGB(255, 255, 0));
  // A full turn gives back the same hue; (200, 100, 50) has hue 20 exactly.
  EXPECT_EQ(ChangeHue(360, RGB(200, 100, 50)), RGB(200, 100, 50));
  EXPECT_EQ(ChangeHue(0, RGB(200, 100, 50)), RGB(200, 100, 50));
  EXPECT_EQ(ChangeHue(720, RGB(200, 100, 50)), RGB(200, 100, 50));
  // Negative offsets turn the other way instead of leaving the colour wheel.
  EXPECT_EQ(ChangeHue(-120, RGB(255, 0, 0)), RGB(0, 0, 255));
  EXPECT_EQ(ChangeHue(-360, RGB(200, 100, 50)), RGB(200, 100, 50));
  // Hue 30 lands between sectors: f = 0.5, t = 255 * 0.5 = 127.5 -> 128.
  EXPECT_EQ(ChangeHue(30, RGB(255, 0, 0)), RGB(255, 128, 0));
  const TColor saved = GetSysColor(COLOR_WINDOW);
  SetSysColor(COLOR_WINDOW, RGB(255, 0, 0));
  EXPECT_EQ(ChangeHue(120, clWindow), RGB(0, 255, 0));
  SetSysColor(COLOR_WINDOW, saved);
}

}  // namespace
}  // namespace vm
