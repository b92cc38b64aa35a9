#include "skin/frame/CaptionIcon.h"

#include <gtest/gtest.h>

#include "tests/skin/frame/TitleTestSupport.h"

namespace vm::test {
namespace {

constexpr TColor Caption = 0xE0C0A0;
constexpr TColor Green = 0x00C000;
constexpr TColor Blue = 0xC00000;
constexpr TColor Red = 0x0000FF;
constexpr TColor Magenta = 0xFF00FF;

TBitmap Filled(int w, int h, TColor c, TPixelFormat f = TPixelFormat::pf24bit) {
  TBitmap b(w, h, f);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      b.SetPixel(x, y, c);
      if (f == TPixelFormat::pf32bit) b.SetAlpha(x, y, 255);
    }
  return b;
}

// An icon whose small picture is green and large one blue, each with a fully
// transparent top-left pixel.
void SetTwoColourIcon(tk::TIcon& icon) {
  TBitmap small = Filled(16, 16, Green, TPixelFormat::pf32bit);
  TBitmap large = Filled(32, 32, Blue, TPixelFormat::pf32bit);
  small.SetAlpha(0, 0, 0);
  large.SetAlpha(0, 0, 0);
  icon.SetImages(small, large);
}

// Pixels of rect all c (the top-left one excepted when skipCorner), the rest
// of the cache the caption colour.
void ExpectPainted(const TBitmap& cache, TRect rect, TColor c, bool skipCorner = true) {
  int wrong = 0;
  for (int y = 0; y < cache.Height(); ++y)
    for (int x = 0; x < cache.Width(); ++x) {
      TColor want = rect.Contains({x, y}) ? c : Caption;
      if (skipCorner && x == rect.Left && y == rect.Top) want = Caption;
      if (cache.GetPixel(x, y) != want && wrong++ < 3)
        ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << cache.GetPixel(x, y);
    }
}

class CaptionIcon : public THostTest {
 protected:
  void TearDown() override {
    EngineDefaultIcon().SetImages(TBitmap(), TBitmap());
    THostTest::TearDown();
  }
  TsTitleIcon icon;
};

TEST_F(CaptionIcon, SideFollowsTheCaptionHeight) {
  EXPECT_EQ(CaptionIconSide(8), 0);
  EXPECT_EQ(CaptionIconSide(9), 8);
  EXPECT_EQ(CaptionIconSide(16), 8);
  EXPECT_EQ(CaptionIconSide(17), 16);
  EXPECT_EQ(CaptionIconSide(18), 16);
  EXPECT_EQ(CaptionIconSide(27), 16);
  EXPECT_EQ(CaptionIconSide(28), 32);
}

TEST_F(CaptionIcon, FormIconFirstThenTheApplications) {
  TForm* form = MakeForm("F", bsSingle, biSystemMenu);
  TBitmap cache = Filled(60, 40, Caption);
  const TRect r16 = Bounds(4, 5, 16, 16);

  // Nothing of the program's own and no engine icon: the plain application
  // icon, sized by the caption (24 - 5 = 19).
  PaintCaptionIcon(cache, *form, icon, r16, 24, 30);
  EXPECT_EQ(cache.GetPixel(4 + 9, 5 + 12), RGB(0xFF, 0xFF, 0xFF));  // its client area
  EXPECT_EQ(cache.GetPixel(4 + 19, 5 + 12), Caption);

  SetTwoColourIcon(*Application->Icon());
  cache = Filled(60, 40, Caption);
  PaintCaptionIcon(cache, *form, icon, r16, 24, 30);
  ExpectPainted(cache, r16, Green);

  // The form's own icon wins; a 32-pixel place takes the large picture.
  TBitmap red = Filled(32, 32, Red, TPixelFormat::pf32bit);
  red.SetAlpha(0, 0, 0);
  tk::TIcon own;
  own.SetImages(TBitmap(), red);
  form->SetIcon(own);
  cache = Filled(60, 40, Caption);
  const TRect r32 = Bounds(2, 3, 32, 32);
  PaintCaptionIcon(cache, *form, icon, r32, 40, 40);
  ExpectPainted(cache, r32, Red);
}

TEST_F(CaptionIcon, EngineIconWhenTheProgramHasNone) {
  TForm* form = MakeForm("F", bsSingle, biSystemMenu);
  SetTwoColourIcon(EngineDefaultIcon());
  // Caption 21, icon top 3: an 18 x 18 icon from the large picture (above 16).
  TBitmap cache = Filled(60, 40, Caption);
  PaintCaptionIcon(cache, *form, icon, Bounds(4, 3, 16, 16), 21, 25);
  ExpectPainted(cache, Bounds(4, 3, 18, 18), Blue);
  // The title icon's size wins over the caption's: 12 x 10 from the small one.
  icon.Width = 12;
  icon.Height = 10;
  cache = Filled(60, 40, Caption);
  PaintCaptionIcon(cache, *form, icon, Bounds(4, 3, 16, 16), 21, 25);
  ExpectPainted(cache, Bounds(4, 3, 12, 10), Green);
}

TEST_F(CaptionIcon, GlyphIsStretchedWithMagentaLeftOut) {
  TForm* form = MakeForm("F", bsSingle, biSystemMenu);
  // 4 x 4: magenta left half, red right half.
  icon.Glyph.SetSize(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) icon.Glyph.Image().SetPixel(x, y, x < 2 ? Magenta : Red);
  // Top area 20: the glyph takes the icon side of 18, i.e. 16 x 16.
  TBitmap cache = Filled(60, 40, Caption);
  PaintCaptionIcon(cache, *form, icon, Bounds(5, 6, 8, 8), 18, 20);
  ExpectPainted(cache, Bounds(5 + 8, 6, 8, 16), Red, false);

  icon.Width = 6;
  icon.Height = 2;
  cache = Filled(60, 40, Caption);
  PaintCaptionIcon(cache, *form, icon, Bounds(5, 6, 8, 8), 18, 20);
  ExpectPainted(cache, Bounds(5 + 3, 6, 3, 2), Red, false);
}

TEST_F(CaptionIcon, AbsurdSizesAndPlacesStayInsideTheCache) {
  TForm* form = MakeForm("F", bsSingle, biSystemMenu);
  icon.Width = 1 << 30;
  icon.Height = 1 << 30;
  TBitmap cache = Filled(20, 10, Caption);
  PaintCaptionIcon(cache, *form, icon, Bounds(2, 2, 16, 16), 20, 22);  // plain icon, huge
  PaintCaptionIcon(cache, *form, icon, Bounds(-50, -50, 16, 16), 20, 22);
  icon.Glyph.SetSize(3, 3);
  PaintCaptionIcon(cache, *form, icon, Bounds(2, 2, 16, 16), 20, 22);
  icon.Width = -4;  // a negative size paints nothing
  cache = Filled(20, 10, Caption);
  PaintCaptionIcon(cache, *form, icon, Bounds(2, 2, 16, 16), 20, 22);
  ExpectPainted(cache, {}, Caption, false);
}

// The scaled drawing walks rows on their bytes; it must give what the
// pixel-at-a-time formula gives: the source pixel under each pixel's centre,
// blended by its alpha (weight a + a / 128 of 256), or copied unless magenta.
void ScaledByPixel(TBitmap& cache, const TBitmap& pic, const TRect& rect, bool keyMagenta) {
  const bool alpha = pic.PixelFormat() == TPixelFormat::pf32bit && !keyMagenta;
  auto source = [](int x, int n, int m) {
    return int((std::int64_t(2 * x + 1) * n) / (2 * std::int64_t(m)));
  };
  for (int y = std::max(rect.Top, 0); y < std::min(rect.Bottom, cache.Height()); ++y)
    for (int x = std::max(rect.Left, 0); x < std::min(rect.Right, cache.Width()); ++x) {
      const int sx = source(x - rect.Left, pic.Width(), rect.Width());
      const int sy = source(y - rect.Top, pic.Height(), rect.Height());
      const TColor c = pic.GetPixel(sx, sy);
      if (keyMagenta) {
        if (c != Magenta) cache.SetPixel(x, y, c);
        continue;
      }
      const int a = alpha ? pic.GetAlpha(sx, sy) : 255;
      if (a == 0) continue;
      const int w = a + (a >> 7);
      const TColor d = cache.GetPixel(x, y);
      auto mix = [&](int s, int t) { return (s * w + t * (256 - w)) >> 8; };
      cache.SetPixel(x, y,
                     RGB(mix(GetRValue(c), GetRValue(d)), mix(GetGValue(c), GetGValue(d)),
                         mix(GetBValue(c), GetBValue(d))));
    }
}

TEST_F(CaptionIcon, ScaledPicturesMatchThePixelFormulaUpDownAndAtTheEdges) {
  TForm* form = MakeForm("F", bsSingle, biSystemMenu);
  unsigned seed = 5;
  auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  auto noise = [&](int w, int h, TPixelFormat f) {
    TBitmap b(w, h, f);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        b.SetPixel(x, y, next() % 5 == 0 ? Magenta : TColor(next() * 0x10001u) & 0xFFFFFF);
        const unsigned a = next() % 4;
        b.SetAlpha(x, y, std::uint8_t(a == 0 ? 0 : a == 1 ? 255 : next() & 0xFF));
      }
    return b;
  };
  // Pictures stretched and shrunk, in places inside the cache and across
  // each of its edges.
  for (TSize size : {TSize{23, 7}, TSize{5, 9}, TSize{40, 3}})
    for (TRect place : {Bounds(3, 2, 19, 11), Bounds(-4, -3, 30, 17), Bounds(20, 9, 13, 8),
                        Bounds(1, 1, 2, 2), Bounds(-5, -2, 40, 20)}) {
      // The form's icon (blended by alpha) and a glyph (magenta left out).
      tk::TIcon own;
      own.SetImages(noise(std::max(size.cx, 30), size.cy, TPixelFormat::pf32bit),
                    noise(32, 32, TPixelFormat::pf32bit));
      form->SetIcon(own);
      TBitmap cache = noise(28, 14, TPixelFormat::pf24bit), want = cache;
      PaintCaptionIcon(cache, *form, icon, place, 20, 22);
      const tk::TIcon& set = *form->Icon();  // the small picture is made 16 x 16
      const bool small = std::max(place.Width(), place.Height()) <= set.SmallImage().Width();
      ScaledByPixel(want, small ? set.SmallImage() : set.LargeImage(), place, false);
      ASSERT_TRUE(cache.SamePixels(want)) << place.Left << "," << place.Top;

      icon.Glyph.SetSize(size.cx, size.cy);
      icon.Glyph.Image() = noise(size.cx, size.cy, TPixelFormat::pf24bit);
      icon.Width = place.Width();
      icon.Height = place.Height();
      cache = noise(28, 14, TPixelFormat::pf24bit), want = cache;
      PaintCaptionIcon(cache, *form, icon, place, 20, 22);
      ScaledByPixel(want, icon.Glyph.Image(), place, true);
      ASSERT_TRUE(cache.SamePixels(want)) << place.Left << "," << place.Top;
      icon.Glyph.SetSize(0, 0);
      icon.Width = icon.Height = 0;
    }
}

// A strip of captions as the frame draws them: form icon at 16 and 32, the
// application icon, the engine's, the plain one and a glyph. Looked at.
TEST_F(CaptionIcon, Golden) {
  TForm* form = MakeForm("F", bsSingle, biSystemMenu);
  TForm* bare = MakeForm("G", bsSingle, biSystemMenu);
  TBitmap strip = Filled(6 * 40, 40, Caption);
  auto paintAt = [&](int slot, const TCustomForm& f, const TsTitleIcon& ic, int side) {
    TBitmap cell = Filled(40, 40, Caption);
    PaintCaptionIcon(cell, f, ic, Bounds(4, 4, side, side), 36, 38);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) strip.SetPixel(slot * 40 + x, y, cell.GetPixel(x, y));
  };
  // A ring picture: a dark ring on a half-transparent light disc.
  auto ring = [](int n) {
    TBitmap b(n, n, TPixelFormat::pf32bit);
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) {
        const int dx = 2 * x + 1 - n, dy = 2 * y + 1 - n, d = dx * dx + dy * dy;
        if (d > n * n) continue;
        const bool edge = d > (n - 4) * (n - 4);
        b.SetPixel(x, y, edge ? RGB(0x20, 0x40, 0x90) : RGB(0xF0, 0xF0, 0xFF));
        b.SetAlpha(x, y, edge ? 255 : 160);
      }
    return b;
  };
  tk::TIcon own;
  own.SetImages(ring(16), ring(32));
  form->SetIcon(own);
  paintAt(0, *form, icon, 16);
  paintAt(1, *form, icon, 32);
  SetTwoColourIcon(*Application->Icon());
  paintAt(2, *bare, icon, 16);
  Application->Icon()->SetImages(TBitmap(), TBitmap());
  SetTwoColourIcon(EngineDefaultIcon());
  paintAt(3, *bare, icon, 16);
  EngineDefaultIcon().SetImages(TBitmap(), TBitmap());
  paintAt(4, *bare, icon, 16);
  TsTitleIcon glyph;
  glyph.Glyph.SetSize(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      glyph.Glyph.Image().SetPixel(x, y, (x + y) % 4 == 0 ? Red : (x == y ? Blue : Magenta));
  paintAt(5, *bare, glyph, 16);
  CompareGolden("caption-icons", strip);
}

}  // namespace
}  // namespace vm::test
