#include "skin/frame/TitleButtons.h"

#include <gtest/gtest.h>

#include <vector>

#include "skin/frame/TitleMasks.h"
#include "tests/skin/frame/TitleTestSupport.h"

namespace vm::test {
namespace {

constexpr TColor Grey = 0x808080;
constexpr TColor Key = 0x00FF00;  // the glyph's bottom-left colour
constexpr TColor Ink = 0x0000FF;

// A 4 x 3 glyph: key colour around one column of ink at x = 1.
void SetTestGlyph(TsTitleButton& b) {
  tk::TBitmap g(4, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) g.Image().SetPixel(x, y, x == 1 ? Ink : Key);
  b.SetGlyph(g);
}

TBitmap Filled(int w, int h, TColor c) {
  TBitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, c);
  return b;
}

TEST(TitleButtons, CollectionOwnsAndNumbersItsButtons) {
  TsTitleButtons buttons;
  std::vector<TsTitleButton*> changed;
  buttons.OnChange = [&](TsTitleButton* b) { changed.push_back(b); };
  TsTitleButton* a = buttons.Add();
  TsTitleButton* b = buttons.Add();
  TsTitleButton* c = buttons.Add();
  EXPECT_EQ(buttons.Count(), 3);
  EXPECT_EQ(a->Name(), "TsTitleButton");
  EXPECT_TRUE(a->Enabled());
  EXPECT_TRUE(a->UseSkinData());
  EXPECT_EQ(a->Data.State, -1);
  EXPECT_EQ(a->Data.MaskIndex, -1);
  EXPECT_EQ(c->Index(), 2);
  EXPECT_EQ(changed.size(), 3u);

  buttons.Delete(1);
  EXPECT_EQ(buttons.Items(1), c);
  EXPECT_EQ(c->Index(), 1);
  EXPECT_EQ(buttons.IndexOf(b), -1);  // b is gone; only its address is compared
  EXPECT_EQ(buttons.Items(2), nullptr);
  EXPECT_EQ(buttons.Items(-1), nullptr);
  buttons.Delete(7);  // out of range: nothing
  EXPECT_EQ(buttons.Count(), 2);

  changed.clear();
  a->SetEnabled(true);  // unchanged values are not reported
  a->SetUseSkinData(true);
  EXPECT_TRUE(changed.empty());
  a->SetEnabled(false);
  a->SetUseSkinData(false);
  SetTestGlyph(*a);
  EXPECT_EQ(changed, (std::vector<TsTitleButton*>{a, a, a}));

  buttons.UpdateMasks(5);
  EXPECT_EQ(a->Data.MaskIndex, -1);  // draws no skin image
  EXPECT_EQ(c->Data.MaskIndex, 5);

  buttons.Clear();
  EXPECT_EQ(buttons.Count(), 0);
}

TEST(TitleButtons, WidthIsTheGlyphOrTheSkinCell) {
  TsSkinManager manager;
  LoadBuiltin(manager);
  const int title =
      LookUpTitleMasks(manager, manager.FindSectionIndex("FORM"), bsSingle).TitleButton;
  ASSERT_GE(title, 0);
  const int cell = TitleMaskCell(manager, title, TitleButtonFallback).cx;

  TsTitleButtons buttons;
  TsTitleButton* b = buttons.Add();
  EXPECT_EQ(b->ButtonWidth(&manager, title), cell);
  EXPECT_EQ(b->ButtonWidth(&manager, -1), 21);
  EXPECT_EQ(b->ButtonWidth(nullptr, title), 21);
  tk::TBitmap wide(40, 8);
  b->SetGlyph(wide);
  EXPECT_EQ(b->ButtonWidth(&manager, title), 42);
}

TEST(TitleButtons, GlyphIsCentredKeyedAndShiftedWhenPressed) {
  TsTitleButtons buttons;
  TsTitleButton* b = buttons.Add();
  SetTestGlyph(*b);
  b->Data.Rect = {10, 2, 20, 9};  // 10 x 7: the glyph lands at (13, 4)

  TBitmap cache = Filled(30, 12, Grey);
  b->DrawGlyph(cache, false);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 30; ++x) {
      const bool ink = x == 14 && y >= 4 && y < 7;
      EXPECT_EQ(cache.GetPixel(x, y), ink ? Ink : Grey) << x << "," << y;
    }

  cache = Filled(30, 12, Grey);
  b->DrawGlyph(cache, true);
  EXPECT_EQ(cache.GetPixel(15, 5), Ink);
  EXPECT_EQ(cache.GetPixel(15, 7), Ink);
  EXPECT_EQ(cache.GetPixel(14, 4), Grey);

  // A rectangle partly outside the cache and smaller than the glyph: only its
  // own pixels inside the cache are painted.
  b->Data.Rect = {-1, -1, 3, 1};
  cache = Filled(4, 4, Grey);
  b->DrawGlyph(cache, false);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(cache.GetPixel(x, y), (x == 0 && y == 0) ? Ink : Grey) << x << "," << y;

  TsTitleButton* empty = buttons.Add();
  empty->Data.Rect = {0, 0, 4, 4};
  empty->DrawGlyph(cache, false);  // nothing to draw
}

}  // namespace
}  // namespace vm::test
