// The row- and span-wise drawing operations (pattern brushes, masked fills,
// per-column fills, transparent-colour blits) against the same drawing done
// one pixel at a time through SetPixel/GetPixel, on contexts with a device
// origin, a moved viewport and a clip of several rectangles, in 24 and 32
// bits; and the painted bounds every operation reports.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gfx/DC.h"

namespace vm {
namespace {

constexpr TColor Fg = RGB(250, 20, 30), Bg = RGB(10, 200, 40);

// A noisy picture, so that "left unchanged" is checked on every pixel.
void Noise(TBitmap& b, std::uint32_t seed) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      seed = seed * 1103515245u + 12345u;
      b.SetPixel(x, y, TColor(seed >> 8) & 0xFFFFFF);
    }
}

// Two contexts on equal bitmaps: the one under test and the one drawn pixel
// by pixel; same origins and clip.
struct TPair {
  TBitmap A, B;
  std::unique_ptr<TDC> Fast, Slow;
  TPair(TPixelFormat f, std::uint32_t seed) : A(37, 29, f), B(37, 29, f) {
    Noise(A, seed);
    Noise(B, seed);
    TRegion visible(TRect{0, 0, 30, 24});
    visible.Subtract(TRect{9, 4, 14, 11});  // a sibling on top
    visible.Subtract(TRect{20, 15, 30, 18});
    Fast = std::make_unique<TDC>(A, TPoint{5, 3}, visible);
    Slow = std::make_unique<TDC>(B, TPoint{5, 3}, visible);
    for (TDC* dc : {Fast.get(), Slow.get()}) {
      dc->SetViewportOrg({-3, 2});
      dc->ExcludeClipRect({6, 6, 8, 20});
    }
  }
  void ExpectSame() const { ASSERT_TRUE(A.SamePixels(B)); }
};

bool Marked(const TPattern8& p, int x, int y) {
  return (p[y & 7] >> (7 - (x & 7))) & 1;
}

TEST(DCSpans, PatternsMatchPixelByPixelDrawingAtEveryPhase) {
  const TPattern8 odd = {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81};
  for (TPixelFormat f : {TPixelFormat::pf24bit, TPixelFormat::pf32bit})
    for (const TPattern8* pat : {&CheckerPattern, &odd})
      for (TPoint origin : {TPoint{0, 0}, TPoint{3, -5}, TPoint{-1, 2}})
        for (bool opaque : {false, true}) {
          TPair t(f, 7);
          const TRect r{-2, -1, 31, 25};  // overhangs the visible part
          t.Fast->FillPattern(r, *pat, origin, Fg, opaque ? Bg : CLR_NONE);
          for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) {
              if (Marked(*pat, x - origin.X, y - origin.Y))
                t.Slow->SetPixel(x, y, Fg);
              else if (opaque)
                t.Slow->SetPixel(x, y, Bg);
            }
          t.ExpectSame();

          t.Fast->InvertPattern(r, *pat, origin);
          for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
              if (Marked(*pat, x - origin.X, y - origin.Y)) {
                const TColor c = t.Slow->GetPixel(x, y);
                if (c != CLR_INVALID) t.Slow->SetPixel(x, y, ~c & 0xFFFFFF);
              }
          t.ExpectSame();
        }
}

TEST(DCSpans, MasksColumnsAndTransparentBlitsMatchPixelByPixelDrawing) {
  for (TPixelFormat f : {TPixelFormat::pf24bit, TPixelFormat::pf32bit}) {
    TPair t(f, 11);
    // A mask whose rows are read with their own stride.
    const int w = 13, h = 9, stride = 16;
    std::vector<std::uint8_t> mask(std::size_t(stride * h));
    for (int i = 0; i < stride * h; ++i) mask[std::size_t(i)] = std::uint8_t((i * 7) % 3 == 0);
    t.Fast->FillMasked(4, 1, w, h, mask.data(), stride, Fg);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (mask[std::size_t(y * stride + x)]) t.Slow->SetPixel(4 + x, 1 + y, Fg);
    t.ExpectSame();

    std::vector<TColor> columns;
    for (int i = 0; i < 40; ++i) columns.push_back(RGB(i * 6, 255 - i * 5, i * i % 256));
    const TRect band{-4, 5, 36, 19};
    t.Fast->FillColumns(band, columns);
    for (int y = band.Top; y < band.Bottom; ++y)
      for (int x = band.Left; x < band.Right; ++x)
        t.Slow->SetPixel(x, y, columns[std::size_t(x - band.Left)]);
    t.ExpectSame();

    // A source in either format with the key colour scattered in it; parts
    // of the copy fall outside the source.
    for (TPixelFormat sf : {TPixelFormat::pf24bit, TPixelFormat::pf32bit}) {
      TBitmap src(15, 12, sf);
      Noise(src, 3);
      const TColor key = RGB(1, 2, 3);
      for (int i = 0; i < 15 * 12; i += 4) src.SetPixel(i % 15, i / 15, key);
      t.Fast->TransparentBlt(2, 3, 18, 14, src, -1, 1, key);
      for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 18; ++x) {
          const int sx = x - 1, sy = y + 1;
          if (sx < 0 || sy < 0 || sx >= src.Width() || sy >= src.Height()) continue;
          const TColor c = src.GetPixel(sx, sy);
          if (c != key) t.Slow->SetPixel(2 + x, 3 + y, c);
        }
      t.ExpectSame();
    }
  }
}

TEST(DCSpans, PaintedBoundsCoverWhatWasDrawnAndNothingElse) {
  TBitmap b(100, 80, TPixelFormat::pf24bit);
  TDC dc(b, {20, 10}, TRegion(TRect{0, 0, 50, 40}));
  EXPECT_TRUE(dc.PaintedBounds().IsEmpty());
  dc.FillRect({60, 0, 70, 10}, Fg);  // wholly clipped
  EXPECT_TRUE(dc.PaintedBounds().IsEmpty());
  dc.FillRect({2, 3, 6, 5}, Fg);
  EXPECT_EQ(dc.PaintedBounds(), (TRect{22, 13, 26, 15}));
  dc.SetPixel(40, 30, Fg);
  EXPECT_EQ(dc.PaintedBounds(), (TRect{22, 13, 61, 41}));
  // Drawing that reaches past the clip counts only the part inside it.
  TDC other(b, {20, 10}, TRegion(TRect{0, 0, 50, 40}));
  other.BitBlt(-10, -10, 30, 30, b, 0, 0);
  EXPECT_EQ(other.PaintedBounds(), (TRect{20, 10, 40, 30}));
  TDC text(b, {20, 10}, TRegion(TRect{0, 0, 50, 40}));
  text.SetBkMode(TRANSPARENT);
  text.TextOut(5, 5, "Ab");
  const TRect t = text.PaintedBounds();
  EXPECT_FALSE(t.IsEmpty());
  EXPECT_GE(t.Left, 22);  // a glyph may start a pixel or two before its pen position
  EXPECT_LE(t.Bottom, 50);
}

}  // namespace
}  // namespace vm
