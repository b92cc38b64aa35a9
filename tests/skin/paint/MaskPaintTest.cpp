// Mask painting on small synthetic skins: which source pixel lands where,
// the blends through a mask half, key-colour handling and bad records.
#include "skin/paint/MaskPaint.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "skin/paint/SectionPaint.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/paint/pixels/PixelOps.h"
#include "tests/skin/paint/PaintTestUtil.h"

namespace vm {
namespace {

using namespace vm::test;

class MaskPaint : public ::testing::TestWithParam<std::tuple<bool, bool>> {
 protected:
  bool MasterBottomUp() const { return std::get<0>(GetParam()); }
  bool DestBottomUp() const { return std::get<1>(GetParam()); }
  void SetUp() override { manager.MasterBitmap = CodedMaster(40, 30, MasterBottomUp()); }
  TBitmap Dest(int w, int h) { return MakeBitmap(w, h, Guard, DestBottomUp()); }

  TsSkinManager manager;
  EngineColorsGuard colors;
};

TEST_P(MaskPaint, SmallRectangleShrinksTheBordersFromBothSides) {
  // 5-pixel left and right pieces in a 7-pixel rectangle: left 4, right 3.
  const TsMaskData md = MakeMask(&manager, {0, 0, 15, 15}, 1, 0, 5, 5, 5, 5);
  TBitmap b = Dest(11, 15);
  PaintNinePart(b, {2, 0, 9, 15}, false, false, 0, md, {});
  for (int x = 2; x < 6; ++x) EXPECT_EQ(b.GetPixel(x, 0), Coded(x - 2, 0)) << x;
  for (int x = 6; x < 9; ++x) EXPECT_EQ(b.GetPixel(x, 0), Coded(x + 6, 0)) << x;
  EXPECT_EQ(b.GetPixel(5, 7), Coded(3, 7));     // left side
  EXPECT_EQ(b.GetPixel(6, 14), Coded(12, 14));  // bottom-right corner
  EXPECT_EQ(CountOutside(b, {2, 0, 9, 15}, Guard), 0);
  EXPECT_EQ(b.GetPixel(7, 7), Coded(13, 7));  // right side; no centre is left
}

TEST_P(MaskPaint, StatesPastTheLastFrameUseTheLastFrame) {
  const TsMaskData md = MakeMask(&manager, {0, 0, 24, 6}, 4, 0, 2, 2, 2, 2);
  TBitmap b = Dest(6, 6);
  PaintNinePart(b, {0, 0, 6, 6}, false, false, 9, md, {});
  EXPECT_EQ(b.GetPixel(0, 0), Coded(18, 0));
  EXPECT_EQ(b.GetPixel(5, 5), Coded(23, 5));
  PaintNinePart(b, {0, 0, 6, 6}, false, false, -4, md, {});
  EXPECT_EQ(b.GetPixel(0, 0), Coded(0, 0));
}

TEST_P(MaskPaint, SkipNormalBitLeavesStateZeroUnpainted) {
  const TsMaskData md = MakeMask(&manager, {0, 0, 12, 6}, 2, 0, 2, 2, 2, 2, smSkipNormal);
  TBitmap b = Dest(6, 6);
  PaintNinePart(b, {0, 0, 6, 6}, false, false, 0, md, {});
  EXPECT_EQ(CountOutside(b, {}, Guard), 0);
  PaintNinePart(b, {0, 0, 6, 6}, false, false, 1, md, {});
  EXPECT_EQ(b.GetPixel(0, 0), Coded(6, 0));
}

TEST_P(MaskPaint, TiledSidesEndWithAFullTileOnAnExactMultiple) {
  const TsMaskData md = MakeMask(&manager, {0, 0, 7, 7}, 1, 0, 2, 2, 2, 2, smPaintCentre);
  TBitmap b = Dest(13, 12);
  PaintNinePart(b, {0, 0, 13, 12}, true, false, 0, md, {});
  // Top side 2..10 is three whole 3-pixel tiles; the last comes from the cut step.
  for (int x = 2; x < 11; ++x) EXPECT_EQ(b.GetPixel(x, 0), Coded(2 + (x - 2) % 3, 0)) << x;
  // Left side rows 2..9 (8 rows): 2,3,4,2,3,4,2,3.
  for (int y = 2; y < 10; ++y) EXPECT_EQ(b.GetPixel(1, y), Coded(1, 2 + (y - 2) % 3)) << y;
  // The centre is tiled both ways.
  EXPECT_EQ(b.GetPixel(9, 9), Coded(2 + 7 % 3, 2 + 7 % 3));
  EXPECT_EQ(b.GetPixel(12, 11), Coded(6, 6));
  EXPECT_EQ(CountOutside(b, {0, 0, 13, 12}, Guard), 0);

  // A rectangle starting left of the bitmap keeps the tiles' phase.
  b.Fill(Guard);
  PaintNinePart(b, {-4, 0, 13, 12}, true, false, 0, md, {});
  for (int x = 0; x < 11; ++x) EXPECT_EQ(b.GetPixel(x, 0), Coded(2 + (x + 2) % 3, 0)) << x;
}

TEST_P(MaskPaint, MagentaCornersShowTheBackgroundOnlyWhenAskedAndReady) {
  manager.MasterBitmap->SetPixel(0, 0, Magenta);
  const TsMaskData md = MakeMask(&manager, {0, 0, 6, 6}, 1, 0, 2, 2, 2, 2);
  TBitmap back = MakeBitmap(20, 20, 0, !DestBottomUp());
  back.SetPixel(7, 3, RGB(1, 2, 3));
  const BackgroundInfo ready{&back, 5, 1, 1};

  TBitmap b = Dest(8, 8);
  PaintNinePart(b, {2, 2, 8, 8}, false, true, 0, md, ready);
  EXPECT_EQ(b.GetPixel(2, 2), RGB(1, 2, 3));
  EXPECT_EQ(b.GetPixel(3, 2), Coded(1, 0));

  b.Fill(Guard);
  PaintNinePart(b, {2, 2, 8, 8}, false, false, 0, md, ready);
  EXPECT_EQ(b.GetPixel(2, 2), Guard);
  b.Fill(Guard);
  PaintNinePart(b, {2, 2, 8, 8}, false, true, 0, md, BackgroundInfo{&back, 5, 1, 0});
  EXPECT_EQ(b.GetPixel(2, 2), Guard);
}

TEST_P(MaskPaint, StretchedSidesKeepCornersAndFlatColours) {
  // A frame with flat sides: stretching must not change any colour.
  auto& m = *manager.MasterBitmap;
  m.Fill(RGB(10, 20, 30));
  m.SetPixel(0, 0, RGB(1, 1, 1));
  m.SetPixel(5, 5, RGB(2, 2, 2));
  const TsMaskData md =
      MakeMask(&manager, {0, 0, 6, 6}, 1, 0, 2, 2, 2, 2, smStretchMiddle | smPaintCentre);
  TBitmap b = Dest(31, 17);
  PaintNinePart(b, {0, 0, 31, 17}, true, false, 0, md, {});
  EXPECT_EQ(b.GetPixel(0, 0), RGB(1, 1, 1));
  EXPECT_EQ(b.GetPixel(30, 16), RGB(2, 2, 2));
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 31; ++x) {
      if ((x || y) && (x != 30 || y != 16)) {
        ASSERT_EQ(b.GetPixel(x, y), RGB(10, 20, 30)) << x << "," << y;
      }
    }
}

// A master with a mask half: image rows 0..5 in colour S (magenta at 0,0),
// mask rows 6..11 with opacity values per column.
void MaskedMaster(TsSkinManager& manager, bool bottomUp) {
  auto b = std::make_shared<TBitmap>(12, 12, TPixelFormat::pf24bit, bottomUp);
  b->Fill(RGB(100, 150, 200));
  b->SetPixel(0, 0, Magenta);
  for (int y = 6; y < 12; ++y)
    for (int x = 0; x < 12; ++x)
      b->SetPixel(x, y, x == 1 ? clWhite : x == 2 ? RGB(128, 128, 128) : 0);
  manager.MasterBitmap = b;
}

TEST_P(MaskPaint, MaskHalfBlendsEveryPieceAndHandlesTheKey) {
  MaskedMaster(manager, MasterBottomUp());
  const TsMaskData md = MakeMask(&manager, {0, 0, 6, 12}, 1, 1, 2, 2, 2, 2);
  const TColor d = RGB(40, 50, 60);
  TBitmap b = MakeBitmap(6, 6, d, DestBottomUp());
  PaintNinePart(b, {0, 0, 6, 6}, false, true, 0, md, {});
  EXPECT_EQ(b.GetPixel(0, 0), Magenta);             // no background, no fill colour: the key stays
  EXPECT_EQ(b.GetPixel(0, 1), RGB(100, 150, 200));  // mask 0: the source
  EXPECT_EQ(b.GetPixel(1, 1), RGB(MaskBlendByte(40, 100, 255), MaskBlendByte(50, 150, 255),
                                  MaskBlendByte(60, 200, 255)));
  EXPECT_EQ(b.GetPixel(2, 1), RGB(MaskBlendByte(40, 100, 128), MaskBlendByte(50, 150, 128),
                                  MaskBlendByte(60, 200, 128)));
  EXPECT_EQ(b.GetPixel(2, 3), d);  // the centre was not asked for

  b.Fill(d);
  KeyFillColor = RGB(9, 8, 7);
  PaintNinePart(b, {0, 0, 6, 6}, false, true, 0, md, {});
  EXPECT_EQ(b.GetPixel(0, 0), RGB(9, 8, 7));

  TBitmap back = MakeBitmap(4, 4, RGB(77, 66, 55));
  b.Fill(d);
  PaintNinePart(b, {0, 0, 6, 6}, false, true, 0, md, BackgroundInfo{&back, 0, 0, 1});
  EXPECT_EQ(b.GetPixel(0, 0), RGB(77, 66, 55));
  // Ready but not used: the magenta pixel is blended like any other.
  b.Fill(d);
  PaintNinePart(b, {0, 0, 6, 6}, false, false, 0, md, BackgroundInfo{&back, 0, 0, 1});
  EXPECT_EQ(b.GetPixel(0, 0), Magenta);
}

TEST_P(MaskPaint, StateImagesUseTheMaskOrTheKey) {
  MaskedMaster(manager, MasterBottomUp());
  const TsMaskData masked = MakeMask(&manager, {0, 0, 6, 12}, 2, 1, 0, 0, 0, 0);
  TBitmap b = MakeBitmap(5, 5, RGB(40, 50, 60), DestBottomUp());
  PaintStateImage(b, {-1, 0}, 0, masked, 1);
  // Frame 0 is 3 wide; the point lies left of the bitmap, so column 0 is cut.
  EXPECT_EQ(b.GetPixel(0, 0), RGB(MaskBlendByte(40, 100, 255), MaskBlendByte(50, 150, 255),
                                  MaskBlendByte(60, 200, 255)));
  EXPECT_EQ(b.GetPixel(1, 1), RGB(MaskBlendByte(40, 100, 128), MaskBlendByte(50, 150, 128),
                                  MaskBlendByte(60, 200, 128)));
  EXPECT_EQ(b.GetPixel(2, 0), RGB(40, 50, 60));
  b.Fill(RGB(40, 50, 60));
  PaintStateImage(b, {0, 0}, 0, masked, 0);      // the light look
  EXPECT_EQ(b.GetPixel(0, 0), RGB(40, 50, 60));  // magenta skipped
  EXPECT_EQ(b.GetPixel(2, 2),
            RGB(MaskBlendLightByte(40, 100, 128), MaskBlendLightByte(50, 150, 128),
                MaskBlendLightByte(60, 200, 128)));

  manager.MasterBitmap = CodedMaster(10, 10, MasterBottomUp());
  manager.MasterBitmap->SetPixel(4, 0, Magenta);
  const TsMaskData plain = MakeMask(&manager, {0, 0, 8, 2}, 2, 0, 0, 0, 0, 0);
  b.Fill(Guard);
  PaintStateImage(b, {1, 1}, 1, plain, 1);
  EXPECT_EQ(b.GetPixel(1, 1), Guard);  // key skipped
  EXPECT_EQ(b.GetPixel(2, 1), Coded(5, 0));
  EXPECT_EQ(b.GetPixel(4, 2), Coded(7, 1));
  EXPECT_EQ(CountOutside(b, {1, 1, 5, 3}, Guard), 0);
}

INSTANTIATE_TEST_SUITE_P(RowOrders, MaskPaint,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()));

TEST(MaskTexture, ModesPaintTheirPartAndReturnTheRest) {
  TsSkinManager manager;
  manager.MasterBitmap = CodedMaster(20, 20);
  const TsMaskData md = MakeMask(&manager, {2, 3, 6, 6}, 1, 0, 0, 0, 0, 0);  // 4 x 3 tile
  TBitmap b = MakeBitmap(20, 20, Guard);
  const TRect rect{1, 1, 11, 11};

  EXPECT_EQ(DrawTexture(b, rect, nullptr, tmTopRow, md), (TRect{1, 4, 11, 11}));
  EXPECT_EQ(b.GetPixel(1, 1), Coded(2, 3));
  EXPECT_EQ(b.GetPixel(10, 3), Coded(3, 5));  // the third tile, cut after 2 columns
  EXPECT_EQ(b.GetPixel(1, 4), Guard);

  b.Fill(Guard);
  EXPECT_EQ(DrawTexture(b, rect, nullptr, tmTile, md), AllPainted);
  EXPECT_EQ(CountOutside(b, {}, Guard), 100);
  EXPECT_EQ(b.GetPixel(10, 10), Coded(3, 3));
  EXPECT_EQ(CountOutside(b, rect, Guard), 0);

  b.Fill(Guard);
  EXPECT_EQ(DrawTexture(b, rect, nullptr, tmBottomRow, md), (TRect{1, 1, 11, 8}));
  EXPECT_EQ(b.GetPixel(1, 8), Coded(2, 3));
  b.Fill(Guard);
  EXPECT_EQ(DrawTexture(b, rect, nullptr, tmLeftColumn, md), (TRect{5, 1, 11, 11}));
  b.Fill(Guard);
  EXPECT_EQ(DrawTexture(b, rect, nullptr, 99, md), (TRect{1, 1, 7, 11}));
  EXPECT_EQ(b.GetPixel(7, 1), Coded(2, 3));

  // A tile that only partly exists in the bitmap tiles what exists.
  const TsMaskData outside = MakeMask(&manager, {18, 18, 30, 30}, 1, 0, 0, 0, 0, 0);
  b.Fill(Guard);
  EXPECT_EQ(DrawTexture(b, rect, nullptr, tmTile, outside), AllPainted);
  EXPECT_EQ(b.GetPixel(1, 1), Coded(18, 18));
  EXPECT_EQ(b.GetPixel(2, 2), Coded(19, 19));
  EXPECT_EQ(b.GetPixel(3, 3), Coded(18, 18));
  const TsMaskData gone = MakeMask(&manager, {40, 40, 50, 50}, 1, 0, 0, 0, 0, 0);
  EXPECT_EQ(DrawTexture(b, rect, nullptr, tmTile, gone), rect);

  // An own picture is tiled whatever the mode.
  TBitmap own = MakeBitmap(3, 3, RGB(5, 5, 5));
  b.Fill(Guard);
  EXPECT_EQ(DrawTexture(b, rect, &own, tmTopRow, md), AllPainted);
  EXPECT_EQ(CountOutside(b, rect, Guard), 0);
  EXPECT_EQ(b.GetPixel(10, 10), RGB(5, 5, 5));
}

TEST(MaskTexture, MaskedTilesCoverTheRectangleOrLeaveStripsToTheBackground) {
  EngineColorsGuard colors;
  TsSkinManager manager;
  MaskedMaster(manager, false);
  const TsMaskData md = MakeMask(&manager, {6, 0, 9, 12}, 1, 1, 0, 0, 0, 0, tmTile);  // 3 x 6
  TBitmap b = MakeBitmap(12, 14, Guard);
  const TRect rect{0, 0, 12, 14};
  EXPECT_EQ(TileMaskedTexture(b, rect, {}, tmTile, md), AllPainted);
  // Every pixel is covered, the last (cut) row of tiles included.
  EXPECT_EQ(CountOutside(b, {}, RGB(100, 150, 200)), 0);

  TBitmap back = MakeBitmap(20, 20, RGB(1, 2, 3));
  b.Fill(Guard);
  EXPECT_EQ(TileMaskedTexture(b, {0, 0, 11, 14}, BackgroundInfo{&back, 0, 0, 1}, tmWholeTiles, md),
            AllPainted);
  EXPECT_EQ(b.GetPixel(8, 11), RGB(100, 150, 200));  // 3 x 2 whole tiles
  EXPECT_EQ(b.GetPixel(9, 0), RGB(1, 2, 3));         // right strip
  EXPECT_EQ(b.GetPixel(0, 12), RGB(1, 2, 3));        // bottom strip
  EXPECT_EQ(b.GetPixel(11, 0), Guard);               // outside rect
  // An exact multiple of the tile is all whole tiles, the last ones included.
  b.Fill(Guard);
  EXPECT_EQ(TileMaskedTexture(b, {0, 0, 12, 12}, BackgroundInfo{&back, 0, 0, 1}, tmWholeTiles, md),
            AllPainted);
  EXPECT_EQ(CountOutside(b, {0, 12, 12, 14}, RGB(100, 150, 200)), 0);
  b.Fill(Guard);
  TileMaskedTexture(b, {0, 0, 3, 6}, BackgroundInfo{&back, 0, 0, 1}, tmWholeTiles, md);
  EXPECT_EQ(b.GetPixel(2, 5), RGB(100, 150, 200));

  KeyFillColor = RGB(4, 4, 4);
  b.Fill(Guard);
  TileMaskedTexture(b, {0, 0, 11, 14}, {}, tmWholeTiles, md);
  EXPECT_EQ(b.GetPixel(10, 13), RGB(4, 4, 4));
  // Without a fill colour the strips get the key colour, whatever was there.
  KeyFillColor = Magenta;  // unset
  b.Fill(Guard);
  EXPECT_EQ(TileMaskedTexture(b, {0, 0, 11, 14}, {}, tmWholeTiles, md), AllPainted);
  EXPECT_EQ(b.GetPixel(8, 11), RGB(100, 150, 200));
  EXPECT_EQ(b.GetPixel(9, 0), Magenta);
  EXPECT_EQ(b.GetPixel(10, 13), Magenta);
  EXPECT_EQ(b.GetPixel(0, 12), Magenta);
  EXPECT_EQ(b.GetPixel(11, 0), Guard);
  EXPECT_EQ(TileMaskedTexture(b, rect, {}, tmTopRow, md), rect);  // other modes: nothing
}

TEST(MaskRegion, KeyRunsOfTheCornerPiecesBecomeRectangles) {
  TsSkinManager manager;
  manager.MasterBitmap = CodedMaster(30, 20, true);
  auto& m = *manager.MasterBitmap;
  for (int x = 0; x < 3; ++x) m.SetPixel(x, 0, Magenta);
  m.SetPixel(0, 1, Magenta);
  m.SetPixel(2, 1, Magenta);
  m.SetPixel(8, 0, Magenta);
  m.SetPixel(9, 0, Magenta);
  m.SetPixel(9, 9, Magenta);
  const TsMaskData md = MakeMask(&manager, {0, 0, 20, 10}, 2, 0, 3, 2, 3, 1);
  std::vector<TRect> rects;
  CollectKeyRuns(rects, 100, md, false, 5);
  const std::vector<TRect> top{{0, 5, 3, 6}, {98, 5, 100, 6}, {0, 6, 1, 7}, {2, 6, 3, 7}};
  EXPECT_EQ(rects, top);
  rects.clear();
  CollectKeyRuns(rects, 50, md, true, 40);
  EXPECT_EQ(rects, (std::vector<TRect>{{49, 40, 50, 41}}));
  // A band below the bitmap's last row appends nothing.
  const TsMaskData low = MakeMask(&manager, {0, 15, 20, 25}, 2, 0, 3, 2, 3, 1);
  rects.clear();
  CollectKeyRuns(rects, 50, low, true, 0);
  EXPECT_TRUE(rects.empty());
}

TEST(MaskGlyph, KeyFromTheBottomRowAndImageByState) {
  TBitmap glyph = MakeBitmap(12, 4, RGB(7, 7, 7));
  for (int x = 0; x < 12; ++x) glyph.SetPixel(x, 1, Coded(x, 1));
  glyph.SetPixel(0, 3, RGB(200, 0, 0));  // the key of the single-image case
  TBitmap b = MakeBitmap(16, 8, Guard);
  PaintGlyph(glyph, b, {2, 2, 14, 6}, false, 0, 1, 0, false, true, 1);
  EXPECT_EQ(b.GetPixel(2, 5), Guard);  // key pixel skipped
  EXPECT_EQ(b.GetPixel(5, 3), Coded(3, 1));

  // Three images, pressed without "down": image 2; disabled: image 1.
  b.Fill(Guard);
  PaintGlyph(glyph, b, {0, 0, 4, 4}, false, 0, 2, 0, false, true, 3);
  EXPECT_EQ(b.GetPixel(1, 1), Coded(9, 1));
  EXPECT_EQ(b.GetPixel(4, 1), Guard);
  b.Fill(Guard);
  PaintGlyph(glyph, b, {0, 0, 4, 4}, false, 0, 0, 0, false, false, 3);
  EXPECT_EQ(b.GetPixel(1, 1), Coded(5, 1));

  // Blended in the normal state: the mix's inclusive source rectangle
  // reaches the destination rectangle's width and height, so a 4 x 3 glyph
  // given a 3 x 2 rectangle is mixed in whole, its last column and row too.
  TBitmap plain = MakeBitmap(4, 3, RGB(200, 100, 0));
  plain.SetPixel(0, 2, RGB(1, 1, 1));  // the key
  b.Fill(RGB(0, 100, 200));
  PaintGlyph(plain, b, {1, 1, 4, 3}, false, 50, 0, 0, false, true, 1);
  EXPECT_EQ(b.GetPixel(1, 3), RGB(0, 100, 200));  // key skipped
  for (TPoint p : {TPoint{1, 1}, TPoint{4, 1}, TPoint{4, 3}, TPoint{2, 3}})
    EXPECT_EQ(b.GetPixel(p.X, p.Y), RGB(100, 100, 100)) << p.X << "," << p.Y;
  EXPECT_EQ(b.GetPixel(5, 3), RGB(0, 100, 200));
  EXPECT_EQ(b.GetPixel(4, 4), RGB(0, 100, 200));

  // Greyed when normal: channels averaged.
  b.Fill(Guard);
  PaintGlyph(glyph, b, {0, 0, 12, 4}, false, 0, 0, 0, true, true, 1);
  EXPECT_EQ(b.GetPixel(9, 1), RGB(3, 3, 3));  // (9 + 1 + 0) div 3
}

// Records that cannot be painted properly paint what fits and nothing else:
// the sanitizer build catches every read outside a bitmap.
TEST(MaskBadInput, BrokenRecordsNeverTouchAnythingOutsideTheirTarget) {
  EngineColorsGuard colors;
  TsSkinManager manager;
  MaskedMaster(manager, true);
  std::vector<TsMaskData> masks = {
      MakeMask(&manager, {6, 6, 40, 40}, 2, 1, 3, 3, 3, 3),        // partly outside
      MakeMask(&manager, {100, 100, 160, 160}, 1, 1, 2, 2, 2, 2),  // wholly outside
      MakeMask(&manager, {-8, -8, 6, 6}, 1, 0, 2, 2, 2, 2, smStretchMiddle | smPaintCentre),
      MakeMask(&manager, {0, 0, 6, 12}, 0, 1, 2, 2, 2, 2),  // no frames
      MakeMask(&manager, {0, 0, 6, 12}, -3, 1, 2, 2, 2, 2),
      MakeMask(&manager, {0, 0, 6, 12}, 1, -1, 2, 2, 2, 2),
      MakeMask(&manager, {0, 0, 6, 12}, 1, 1, 50, 60, 70, 80, smPaintCentre),  // huge borders
      MakeMask(&manager, {0, 0, 6, 12}, 1, 1, -5, -5, 9, 9, smPaintCentre),
      MakeMask(&manager, {0, 0, 6, 6}, 1, 0, 40, 1, 0, 1, smPaintCentre),
      MakeMask(&manager, {0, 0, 12, 12}, 3, 5, 1, 1, 1, 1),  // more mask rows than fit
  };
  const TRect rects[] = {{2, 2, 12, 12}, {-5, -5, 4, 4}, {8, 8, 30, 30}, {3, 3, 6, 5}};
  for (std::size_t i = 0; i < masks.size(); ++i) {
    for (const TRect& rect : rects) {
      for (int state : {0, 1, 1000, -7}) {
        TBitmap b = MakeBitmap(14, 14, Guard, i % 2 == 0);
        const TRect inside = rect.Intersect({0, 0, 14, 14});
        TBitmap back = MakeBitmap(3, 3, RGB(1, 1, 1));
        PaintNinePart(b, rect, true, true, state, masks[i], BackgroundInfo{&back, -2, 5, 1});
        ASSERT_EQ(CountOutside(b, inside, Guard), 0) << i << " state " << state;
        TileMaskedTexture(b, rect, BackgroundInfo{&back, 1, 1, 1}, tmWholeTiles, masks[i]);
        TileMaskedTexture(b, rect, {}, tmTile, masks[i]);
        DrawTexture(b, rect, nullptr, tmStretch, masks[i]);
        DrawTexture(b, rect, nullptr, tmBottomRow, masks[i]);
        ASSERT_EQ(CountOutside(b, inside, Guard), 0) << i;
        PaintStateImage(b, {rect.Left, rect.Top}, state, masks[i], 0);
        PaintStateImage(b, {rect.Left, rect.Top}, state, masks[i], 1);
        CopyMaskedPiece(rect, {-3, 9, 20, 20}, b, masks[i], true, {}, *manager.MasterBitmap);
        std::vector<TRect> runs;
        CollectKeyRuns(runs, 100, masks[i], true, 0);
        CollectKeyRuns(runs, 100, masks[i], false, 0);
      }
    }
  }
  // Random records and rectangles (a fixed seed, so failures repeat).
  std::mt19937 rng(5);
  auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int i = 0; i < 3000; ++i) {
    const TRect r{any(-20, 20), any(-20, 20), any(-20, 40), any(-20, 40)};
    TsMaskData md = MakeMask(&manager, r, any(-2, 5), any(-2, 3), any(-3, 30), any(-3, 30),
                             any(-3, 30), any(-3, 30), any(0, 12));
    const TRect rect{any(-10, 16), any(-10, 16), any(-10, 30), any(-10, 30)};
    TBitmap b = MakeBitmap(any(1, 16), any(1, 16), Guard, i % 2 == 0);
    const TRect inside = rect.Intersect({0, 0, b.Width(), b.Height()});
    TBitmap back = MakeBitmap(any(1, 8), any(1, 8), RGB(1, 1, 1), i % 3 == 0);
    const BackgroundInfo bg{&back, any(-10, 10), any(-10, 10), std::uint8_t(any(0, 1))};
    PaintNinePart(b, rect, true, any(0, 1) != 0, any(-3, 9), md, bg);
    TileMaskedTexture(b, rect, bg, any(0, 1) ? tmTile : tmWholeTiles, md);
    DrawTexture(b, rect, nullptr, any(0, 11), md);
    ASSERT_EQ(CountOutside(b, inside, Guard), 0) << "case " << i;
    PaintStateImage(b, {any(-20, 20), any(-20, 20)}, any(-3, 9), md, any(0, 2));
    CopyMaskedPiece(rect, r, b, md, any(0, 1) != 0, bg, *manager.MasterBitmap);
    RefillCornerPieces(b, md, any(-3, 9), any(0, 15), bg);
  }

  // A mask without manager or picture paints nothing at all.
  TsMaskData orphan = masks[0];
  orphan.Manager = nullptr;
  TBitmap b = MakeBitmap(14, 14, Guard);
  PaintNinePart(b, {0, 0, 14, 14}, true, false, 1, orphan, {});
  PaintStateImage(b, {0, 0}, 0, orphan, 1);
  EXPECT_EQ(DrawTexture(b, {0, 0, 14, 14}, nullptr, tmTile, orphan), (TRect{0, 0, 14, 14}));
  EXPECT_EQ(CountOutside(b, {}, Guard), 0);
}

}  // namespace
}  // namespace vm
