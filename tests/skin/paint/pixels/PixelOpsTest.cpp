#include "skin/paint/pixels/PixelOps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "TestBitmaps.h"
#include "platform/gfx/SysColors.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/paint/pixels/Kernels.h"
#include "skin/paint/pixels/SharedAccessors.h"

namespace vm {
namespace {

using test::Dump;
using test::Filled;
using test::Grey;
using test::Guard;
using test::OutsideIs;

// Every test runs with top-down and bottom-up bitmaps.
class PixelOps : public ::testing::TestWithParam<bool> {
 protected:
  bool Up() const { return GetParam(); }
  // A bitmap whose pixel (x, y) is RGB(x * 16 + y, 100 + y, 120 - x).
  TBitmap Pattern(int w, int h, bool bottomUp) const {
    TBitmap b(w, h, TPixelFormat::pf24bit, bottomUp);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) b.SetPixel(x, y, PatternAt(x, y));
    return b;
  }
  static TColor PatternAt(int x, int y) { return RGB(x * 16 + y, 100 + y, 120 - x); }
};

TEST_P(PixelOps, AccessorsAttachAndRead) {
  TBitmap b = Pattern(3, 2, Up());
  TnxFast24 r;
  ASSERT_TRUE(r.Attach(b));
  EXPECT_EQ(r.Pixel(2, 1), PatternAt(2, 1));
  EXPECT_EQ(r.RowStep, b.RowStep());
  TBitmap thin = Filled(1, 5, Up());
  EXPECT_FALSE(r.Attach(thin));
  EXPECT_EQ(r.Width, 0);
  TBitmap b32 = Filled(2, 2, Up(), RGB(1, 2, 3), TPixelFormat::pf32bit);
  b32.SetAlpha(1, 1, 0xEE);
  TnxFast32 r32;
  ASSERT_TRUE(r32.Attach(b32));
  EXPECT_EQ(r32.Pixel(1, 1), RGB(1, 2, 3));
  EXPECT_FALSE(r32.Attach(b));  // wrong format
  TnxFastSum24 sum;
  TBitmap small = Filled(2, 1, Up());
  EXPECT_FALSE(sum.Attach(small, b));
  TBitmap big = Filled(7, 9, Up());
  ASSERT_TRUE(sum.Attach(b, big));
  EXPECT_EQ(sum.Width, 3);
  EXPECT_EQ(sum.Height, 2);
}

TEST_P(PixelOps, BlendRectWithColor) {
  TBitmap b = Filled(4, 4, Up(), Grey(100));
  BlendRectWithColor(b, TRect{0, 0, 4, 4}, 100, RGB(255, 0, 0));
  EXPECT_TRUE(OutsideIs(b, TRect{}, Grey(100)));
  // (0, 0, width, height) covers the whole bitmap: inclusive bounds are cut.
  BlendRectWithColor(b, TRect{0, 0, 4, 4}, 0, RGB(255, 0, 7));
  EXPECT_TRUE(OutsideIs(b, TRect{}, RGB(255, 0, 7)));

  // Inclusive bounds: (1, 1, 2, 2) is a 2 x 2 block. 25 % of 10 is 2.5 -> 2,
  // 25 % of 100 + 75 % of 2 = 26.5 -> 26 (half to even), 50 % of 3 = 1.5 -> 2.
  TBitmap c = Filled(4, 4, Up(), RGB(10, 100, 3));
  BlendRectWithColor(c, TRect{1, 1, 2, 2}, 25, RGB(0, 2, 2));
  EXPECT_EQ(c.GetPixel(1, 1), RGB(2, 26, 2)) << Dump(c);
  EXPECT_EQ(c.GetPixel(2, 2), RGB(2, 26, 2));
  EXPECT_TRUE(OutsideIs(c, TRect{1, 1, 3, 3}, RGB(10, 100, 3)));
  BlendRectWithColor(c, TRect{3, 0, 3, 0}, 50, 0);
  EXPECT_EQ(c.GetPixel(3, 0), RGB(5, 50, 2));

  // A system colour is resolved before mixing.
  TBitmap d = Filled(2, 2, Up(), Grey(0));
  BlendRectWithColor(d, TRect{0, 0, 1, 1}, 0, clWindowText);
  EXPECT_EQ(d.GetPixel(1, 1), ColorToRGB(clWindowText));
}

TEST_P(PixelOps, BlendRectWithColorWideRowsMatchFloatingPoint) {
  // Wide rows take the integer kernel when it is exact; every byte value in
  // every channel must still come out as nearest(f * v + (1 - f) * c).
  TBitmap src(37, 7, TPixelFormat::pf24bit, Up());
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 37; ++x) {
      const int v = (y * 37 + x) % 256;
      src.SetPixel(x, y, RGB(v, 255 - v, (v * 7) % 256));
    }
  // Every percentage, with channels whose halves round up, down, to even and
  // (at 90 % of 83, for one) neither way throughout, which takes the table.
  std::vector<int> percents = {-5, 130};
  for (int p = 0; p <= 100; ++p) percents.push_back(p);
  for (int percent : percents)
    for (TColor c :
         {RGB(0, 0, 0), RGB(255, 255, 255), RGB(17, 128, 201), RGB(83, 41, 161), RGB(3, 250, 99)}) {
      // The same blend on a 32-bit copy right after: the prepared blend of
      // the 24-bit one (the kernel's) must not be taken for it.
      TBitmap b = src, b32 = src;
      b32.SetPixelFormat(TPixelFormat::pf32bit);
      BlendRectWithColor(b, TRect{0, 0, 36, 6}, percent, c);
      BlendRectWithColor(b32, TRect{0, 0, 36, 6}, percent, c);
      for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 37; ++x) ASSERT_EQ(b32.GetPixel(x, y), b.GetPixel(x, y));
      const double f = percent / 100.0, g = 1 - f;
      auto expect = [&](int v, int cc) {
        return std::clamp(int(std::nearbyint(f * v + g * cc)), 0, 255);
      };
      for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 37; ++x) {
          const TColor o = src.GetPixel(x, y);
          const TColor want =
              RGB(expect(GetRValue(o), GetRValue(c)), expect(GetGValue(o), GetGValue(c)),
                  expect(GetBValue(o), GetBValue(c)));
          ASSERT_EQ(b.GetPixel(x, y), want) << percent << "% at " << x << "," << y;
        }
    }
}

TEST(PixelOpsBlend, EveryVariantMatchesFloatingPointForEveryPercentChannelAndByte) {
  // Exhaustive: every percentage 0..100, every value of each channel, every
  // byte value, through each variant of the kernel (portable, SSE2, SSSE3,
  // AVX2 as far as this processor has them). Row 0 holds the byte values in
  // order, row 1 the same shifted by 11 pixels and blended from its second
  // pixel on, so each value meets two places within a vector block.
  TBitmap src(257, 2);
  for (int x = 0; x < 257; ++x) {
    const int v = x % 256, w = (x + 245) % 256;
    src.SetPixel(x, 0, RGB(v, v, v));
    src.SetPixel(x, 1, RGB(w, w, w));
  }
  TBitmap b = src;
  std::uint8_t want[3][256];
  for (int p = 0; p <= 100; ++p)
    for (int c = 0; c < 256; ++c) {
      const TColor colour = RGB((c + 170) % 256, (c + 85) % 256, c);
      const double f = p / 100.0, g = 1 - f;
      const int channel[3] = {c, (c + 85) % 256, (c + 170) % 256};
      for (int ch = 0; ch < 3; ++ch)
        for (int v = 0; v < 256; ++v)
          want[ch][v] =
              std::uint8_t(std::clamp(int(std::nearbyint(f * v + g * channel[ch])), 0, 255));
      for (int level = 0; level < 4; ++level) {
        std::memcpy(b.Data(), src.Data(), src.DataSize());
        BlendRectWithColorAtLevel(level, b, TRect{0, 0, 255, 0}, p, colour);
        BlendRectWithColorAtLevel(level, b, TRect{1, 1, 256, 1}, p, colour);
        for (int y = 0; y < 2; ++y)
          for (int x = 0; x < 257; ++x) {
            const std::uint8_t* o = src.ScanLine(y) + 3 * x;
            const std::uint8_t* d = b.ScanLine(y) + 3 * x;
            const bool inside = y == 0 ? x < 256 : x >= 1;
            for (int ch = 0; ch < 3; ++ch)
              if (d[ch] != (inside ? want[ch][o[ch]] : o[ch]))
                FAIL() << "level " << level << " " << p << "% channel " << ch << " = "
                       << channel[ch] << " byte " << int(o[ch]) << " at " << x << "," << y << ": "
                       << int(d[ch]);
          }
      }
    }
}

TEST_P(PixelOps, QuarterTurnsMatchTheirPixelFormulas) {
  // Both turns of a noisy picture against the per-pixel formulas, from and
  // to both row orders and 24- and 32-bit; a 32-bit destination keeps its
  // alpha, and a destination of the wrong size is left alone.
  TBitmap src(13, 5, TPixelFormat::pf24bit, Up());
  unsigned seed = 7;
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 13; ++x) {
      seed = seed * 1103515245u + 12345u;
      src.SetPixel(x, y, TColor(seed >> 8) & 0xFFFFFF);
    }
  for (TPixelFormat f : {TPixelFormat::pf24bit, TPixelFormat::pf32bit})
    for (bool dstUp : {false, true}) {
      TBitmap cw(5, 13, f, dstUp), ccw(5, 13, f, dstUp);
      if (f == TPixelFormat::pf32bit) cw.SetAlpha(2, 3, 77);
      TurnClockwise(src, cw);
      TurnCounterClockwise(src, ccw);
      for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 5; ++x) {
          ASSERT_EQ(cw.GetPixel(x, y), src.GetPixel(y, 4 - x)) << x << "," << y;
          ASSERT_EQ(ccw.GetPixel(x, y), src.GetPixel(12 - y, x)) << x << "," << y;
        }
      if (f == TPixelFormat::pf32bit) {
        EXPECT_EQ(cw.GetAlpha(2, 3), 77);
      }
      // Turned back, the picture is the same.
      TBitmap back(13, 5, TPixelFormat::pf24bit, !dstUp);
      TurnCounterClockwise(cw, back);
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 13; ++x) ASSERT_EQ(back.GetPixel(x, y), src.GetPixel(x, y));
    }
  TBitmap wrong = Filled(6, 13, Up(), Grey(3));
  TurnClockwise(src, wrong);
  EXPECT_TRUE(OutsideIs(wrong, TRect{}, Grey(3)));
}

TEST_P(PixelOps, MixBitmapsDividesBy256) {
  TBitmap d = Filled(3, 2, Up(), RGB(255, 128, 0));
  TBitmap s = Filled(3, 2, !Up(), RGB(0, 0, 255));
  MixBitmaps(d, s, 255 * 0x010101);
  // Alpha 255 is not "keep": 255 -> 254, 128 -> 127; the source's 255 adds 0.
  EXPECT_TRUE(OutsideIs(d, TRect{}, RGB(254, 127, 0))) << Dump(d);
  MixBitmaps(d, s, 0);
  EXPECT_TRUE(OutsideIs(d, TRect{}, RGB(0, 0, 254)));
  // 50 % as a weight (127): (100 * 127 + 201 * 128 + 127) >> 8 = 150.
  TBitmap e = Filled(2, 2, Up(), Grey(100));
  TBitmap f = Filled(2, 2, Up(), Grey(201));
  MixBitmaps(e, f, PercentToWeight(50));
  EXPECT_EQ(e.GetPixel(0, 0), Grey(150));
  // Sizes differ: nothing happens.
  TBitmap g = Filled(3, 3, Up(), Grey(9));
  MixBitmaps(g, f, 0);
  EXPECT_TRUE(OutsideIs(g, TRect{}, Grey(9)));
}

TEST_P(PixelOps, MixBitmapsExhaustiveOnWideRows) {
  // Every destination byte against every source byte, in rows wide enough
  // for the vector kernels (and their tails: 256 * 3 bytes is not a multiple
  // of 32 after the 5-pixel offset below).
  TBitmap d0(261, 256, TPixelFormat::pf24bit, Up());
  TBitmap s(261, 256, TPixelFormat::pf24bit, !Up());
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 261; ++x) {
      const int v = x % 256;
      d0.SetPixel(x, y, RGB(v, y, 255 - v));
      s.SetPixel(x, y, RGB(y, v, 255 - y));
    }
  for (int w : {0, 1, 77, 127, 128, 200, 254, 255}) {
    TBitmap d = d0;
    MixBitmaps(d, s, std::uint32_t(w));
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 261; ++x) {
        const TColor a = d0.GetPixel(x, y), b = s.GetPixel(x, y);
        auto mix = [w](int dv, int sv) { return (dv * w + sv * (255 - w) + 127) >> 8; };
        const TColor want = RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
                                mix(GetBValue(a), GetBValue(b)));
        ASSERT_EQ(d.GetPixel(x, y), want) << "weight " << w << " at " << x << "," << y;
      }
  }
}

TEST_P(PixelOps, MixBitmapRectEveryRunLengthStaysInsideItsRectangle) {
  // Runs of 3 to 150 bytes: below one vector block, exactly one or two, and
  // every tail length; the last block of a run overlaps the one before it,
  // which must neither change those bytes twice nor touch a byte after the run.
  const TBitmap s = Pattern(60, 4, !Up());
  const TBitmap d0 = Pattern(60, 4, Up());
  for (int width = 1; width <= 50; ++width) {
    TBitmap d = d0;
    MixBitmapRect(d, s, 77, TPoint{3, 1}, TRect{5, 0, 5 + width, 2});
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 60; ++x) {
        const bool inside = y >= 1 && y < 3 && x >= 3 && x < 3 + width;
        TColor want = d0.GetPixel(x, y);
        if (inside) {
          const TColor a = want, b = s.GetPixel(x + 2, y - 1);
          auto mix = [](int dv, int sv) { return (dv * 77 + sv * (255 - 77) + 127) >> 8; };
          want = RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
                     mix(GetBValue(a), GetBValue(b)));
        }
        ASSERT_EQ(d.GetPixel(x, y), want) << "width " << width << " at " << x << "," << y;
      }
  }
}

TEST(BlendKernels, EveryVariantGivesTheSameBytesInPlaceAndToAThirdRun) {
  // The processor picks one variant at run time; each one this machine can
  // run must agree with the single-byte formula for every run length around
  // its block sizes, and write nothing past the run.
  std::vector<std::uint8_t> d0(300), s(300);
  for (std::size_t i = 0; i < d0.size(); ++i) {
    d0[i] = std::uint8_t(i * 37 + 11);
    s[i] = std::uint8_t(255 - i * 53);
  }
  for (unsigned w : {0u, 1u, 100u, 128u, 254u, 255u})
    for (std::int64_t n = 0; n <= 200; ++n) {
      std::vector<std::uint8_t> want = d0;
      for (std::int64_t i = 0; i < n; ++i)
        want[std::size_t(i)] =
            std::uint8_t((d0[std::size_t(i)] * w + s[std::size_t(i)] * (255 - w) + 127) >> 8);
      for (int level = 0; level < BlendBytesLevels(); ++level) {
        std::vector<std::uint8_t> d = d0;
        BlendBytesAtLevel(level, d.data(), s.data(), n, w);
        ASSERT_EQ(d, want) << "level " << level << " length " << n << " weight " << w;
      }
      std::vector<std::uint8_t> out(300, 7);
      BlendBytesTo(out.data(), d0.data(), s.data(), n, w);
      for (std::int64_t i = 0; i < 300; ++i)
        ASSERT_EQ(out[std::size_t(i)], i < n ? want[std::size_t(i)] : 7)
            << "to a third run, length " << n;
    }
}

TEST(BlendKernels, EveryVariantIsExactForEveryPairOfBytesAndEveryWeight) {
  // All 65,536 (D, S) pairs at all 256 weights, through each variant, with
  // the run starting at a different place within a 64-byte line for each
  // weight, so the vector variants' masked first and last blocks meet every
  // pairing of even and odd bytes.
  constexpr std::int64_t kPairs = 65536;
  std::vector<std::uint8_t> d0(kPairs + 64), s(kPairs + 64), d, want;
  for (unsigned w = 0; w < 256; ++w) {
    const std::size_t at = w % 64;
    want = d0;
    for (std::int64_t i = 0; i < kPairs; ++i) {
      const unsigned dv = unsigned(i & 255), sv = unsigned(i >> 8);
      d0[at + std::size_t(i)] = std::uint8_t(dv);
      s[at + std::size_t(i)] = std::uint8_t(sv);
      want[at + std::size_t(i)] = std::uint8_t((dv * w + sv * (255 - w) + 127) >> 8);
    }
    for (int level = 0; level < BlendBytesLevels(); ++level) {
      d = d0;
      BlendBytesAtLevel(level, d.data() + at, s.data() + at, kPairs, w);
      if (d == want) continue;
      const auto bad =
          std::size_t(std::mismatch(d.begin(), d.end(), want.begin()).first - d.begin());
      FAIL() << "level " << level << " weight " << w << " D " << int(d0[bad]) << " S "
             << int(s[bad]) << ": " << int(d[bad]) << " instead of " << int(want[bad]);
    }
  }
}

TEST(BlendKernels, RunsAtEveryAlignmentStayInsideTheirBytes) {
  // Short and middling runs whose output starts anywhere in a 64-byte line,
  // the sources at other offsets: the bytes of the run are the formula's,
  // the bytes around it keep their values.
  alignas(64) std::uint8_t d0[512], s[512], d[512], out[512];
  for (int i = 0; i < 512; ++i) {
    d0[i] = std::uint8_t(i * 37 + 11);
    s[i] = std::uint8_t(255 - i * 53);
  }
  const unsigned w = 93;
  for (int at = 64; at < 128; ++at)
    for (std::int64_t n : {0, 1, 2, 31, 63, 64, 65, 127, 128, 129, 200}) {
      const int from = 200 - at % 7;  // the source run begins elsewhere in its line
      auto want = [&](int i, std::uint8_t outside) {
        if (i < at || i >= at + n) return outside;
        return std::uint8_t((d0[i] * w + s[from + i - at] * (255 - w) + 127) >> 8);
      };
      for (int level = 0; level < BlendBytesLevels(); ++level) {
        std::copy(d0, d0 + 512, d);
        BlendBytesAtLevel(level, d + at, s + from, n, w);
        for (int i = 0; i < 512; ++i)
          ASSERT_EQ(d[i], want(i, d0[i]))
              << "level " << level << " at " << at << " length " << n << " byte " << i;
      }
      std::fill(out, out + 512, std::uint8_t(7));
      BlendBytesTo(out + at, d0 + at, s + from, n, w);
      for (int i = 0; i < 512; ++i)
        ASSERT_EQ(out[i], want(i, 7)) << "to a third run at " << at << " length " << n;
    }
}

TEST_P(PixelOps, MixBitmapRectClipsBothWays) {
  const TBitmap s = Pattern(6, 5, !Up());
  // Alpha 0 with sources below 255 copies exactly ((v * 255 + 127) >> 8 = v
  // for v < 128), so positions are easy to read.
  TBitmap d = Filled(4, 4, Up(), Grey(7));
  // Source rectangle (1, 1)-(3, 3) exclusive to (2, 1): 2 x 2 pixels.
  MixBitmapRect(d, s, 0, TPoint{2, 1}, TRect{1, 1, 3, 3});
  EXPECT_EQ(d.GetPixel(2, 1), PatternAt(1, 1));
  EXPECT_EQ(d.GetPixel(3, 2), PatternAt(2, 2));
  EXPECT_TRUE(OutsideIs(d, TRect{2, 1, 4, 3}, Grey(7)));

  // A negative destination moves the source rectangle right and down.
  TBitmap e = Filled(4, 4, Up(), Grey(7));
  MixBitmapRect(e, s, 0, TPoint{-1, -2}, TRect{0, 0, 3, 4});
  EXPECT_EQ(e.GetPixel(0, 0), PatternAt(1, 2));
  EXPECT_EQ(e.GetPixel(1, 1), PatternAt(2, 3));
  EXPECT_TRUE(OutsideIs(e, TRect{0, 0, 2, 2}, Grey(7)));

  // A negative source rectangle moves the destination.
  TBitmap f = Filled(4, 4, Up(), Grey(7));
  MixBitmapRect(f, s, 0, TPoint{0, 0}, TRect{-2, -1, 1, 1});
  EXPECT_EQ(f.GetPixel(2, 1), PatternAt(0, 0));
  EXPECT_TRUE(OutsideIs(f, TRect{2, 1, 3, 2}, Grey(7)));

  // Far outside, huge or inverted: nothing.
  TBitmap g = Filled(4, 4, Up(), Grey(7));
  MixBitmapRect(g, s, 0, TPoint{INT_MAX, INT_MIN}, TRect{0, 0, 6, 5});
  MixBitmapRect(g, s, 0, TPoint{0, 0}, TRect{INT_MIN, INT_MIN, INT_MIN + 3, INT_MIN + 3});
  MixBitmapRect(g, s, 0, TPoint{INT_MIN, 0}, TRect{INT_MAX - 1, 0, INT_MAX, 5});
  MixBitmapRect(g, s, 0, TPoint{0, 0}, TRect{3, 3, 1, 1});
  MixBitmapRect(g, s, 0, TPoint{-5, -5}, TRect{0, 0, 5, 5});
  EXPECT_TRUE(OutsideIs(g, TRect{}, Grey(7)));
}

TEST_P(PixelOps, BlenderWalksBackwardsWhenMixingABitmapIntoItself) {
  // Blending a bitmap into itself one pixel to the right: walking each row
  // backwards reads every source byte before it is overwritten, so the result
  // equals a blend from an untouched copy.
  TBitmap b = Pattern(6, 3, Up());
  const TBitmap copy = b;
  TBitmap expected = b;
  TnxFastSum24 sum;
  ASSERT_TRUE(sum.Attach(copy, expected));
  sum.Weight = 100;
  sum.DestLeft = 1, sum.DestTop = 0, sum.DestRight = 6, sum.DestBottom = 3;
  sum.SourceLeft = 0, sum.SourceTop = 0, sum.SourceRight = 5, sum.SourceBottom = 3;
  sum.Blend();
  ASSERT_TRUE(sum.Attach(b, b));
  sum.Blend();
  EXPECT_TRUE(b.SamePixels(expected)) << Dump(b) << Dump(expected);
  // A destination rectangle reaching outside is cut to both bitmaps.
  sum.DestLeft = -100, sum.DestRight = 100, sum.DestTop = -3, sum.DestBottom = 50;
  sum.SourceLeft = 3;
  sum.Blend();
}

TEST_P(PixelOps, BlendBitmapRect) {
  TBitmap d = Filled(4, 3, Up(), RGB(0, 101, 10));
  TBitmap s = Filled(3, 3, !Up(), RGB(100, 0, 10));
  s.SetPixel(1, 0, KeyColor);
  // D = S - 0.4 * (S - D): 100 -> 60, 0 over 101 -> 40.4 -> 40.
  BlendBitmapRect(d, 1, 0, KeyColor, 0.4, TRect{0, 0, 1, 0}, s);
  EXPECT_EQ(d.GetPixel(1, 0), RGB(60, 40, 10));
  EXPECT_EQ(d.GetPixel(2, 0), RGB(0, 101, 10));  // magenta skipped
  EXPECT_TRUE(OutsideIs(d, TRect{1, 0, 3, 1}, RGB(0, 101, 10)));
  // Without a key the magenta pixel blends like any other.
  BlendBitmapRect(d, 2, 0, 0xFFFFFFFF, 0.0, TRect{1, 0, 1, 0}, s);
  EXPECT_EQ(d.GetPixel(2, 0), KeyColor);
  // A negative Left and Top move the destination right and down.
  TBitmap e = Filled(4, 4, Up(), Grey(0));
  BlendBitmapRect(e, 0, 0, 0xFFFFFFFF, 0.0, TRect{-2, -1, 0, 0}, s);
  EXPECT_EQ(e.GetPixel(2, 1), RGB(100, 0, 10));
  EXPECT_TRUE(OutsideIs(e, TRect{2, 1, 3, 2}, Grey(0)));
  // Fraction 0.5 ties round to even: S 3, D 0 -> 1.5 -> 2; S 1, D 0 -> 0.5 -> 0.
  TBitmap f = Filled(2, 2, Up(), Grey(0));
  TBitmap g = Filled(2, 2, Up(), RGB(3, 1, 5));
  BlendBitmapRect(f, 0, 0, KeyColor, 0.5, TRect{0, 0, 1, 1}, g);
  EXPECT_EQ(f.GetPixel(1, 1), RGB(2, 0, 2));
}

TEST_P(PixelOps, KeyCopies) {
  TBitmap s = Pattern(3, 3, !Up());
  s.SetPixel(1, 1, KeyColor);
  TBitmap d = Filled(5, 5, Up());
  CopyBitmapWithKey(d, s, 1, 1, KeyColor);
  EXPECT_EQ(d.GetPixel(2, 2), Guard);  // magenta never copied
  EXPECT_EQ(d.GetPixel(1, 1), PatternAt(0, 0));
  EXPECT_EQ(d.GetPixel(3, 3), PatternAt(2, 2));
  EXPECT_TRUE(OutsideIs(d, TRect{1, 1, 4, 4}, Guard));
  CopyBitmapWithKey(d, s, 1, 1, 0xFFFFFFFF);  // no key: every pixel
  EXPECT_EQ(d.GetPixel(2, 2), KeyColor);

  // Rectangle with inclusive bounds; destination partly outside.
  TBitmap e = Filled(3, 3, Up());
  CopyRectWithKey(e, s, -1, 2, KeyColor, TRect{0, 0, 2, 1});
  EXPECT_EQ(e.GetPixel(0, 2), PatternAt(1, 0));
  EXPECT_EQ(e.GetPixel(1, 2), PatternAt(2, 0));
  EXPECT_TRUE(OutsideIs(e, TRect{0, 2, 2, 3}, Guard));
  // A key in a 32-bit source is compared on blue, green and red only.
  TBitmap s32 = Filled(2, 2, Up(), KeyColor, TPixelFormat::pf32bit);
  s32.SetAlpha(0, 0, 0x55);
  s32.SetPixel(1, 1, Grey(3));
  TBitmap f = Filled(2, 2, Up());
  CopyRectWithKey(f, s32, 0, 0, KeyColor, TRect{0, 0, 1, 1});
  EXPECT_EQ(f.GetPixel(0, 0), Guard);
  EXPECT_EQ(f.GetPixel(1, 1), Grey(3));
}

TEST_P(PixelOps, CopyRectWithBackground) {
  TBitmap s = Filled(3, 2, !Up(), KeyColor);
  s.SetPixel(2, 0, Grey(50));
  s.SetPixel(2, 1, Grey(60));
  TBitmap bg = Pattern(4, 4, Up());
  // Not ready: magenta leaves the destination alone.
  TBitmap d = Filled(3, 2, Up());
  CopyRectWithBackground(d, s, 0, 0, true, BackgroundInfo{&bg, 1, 1, 0}, KeyColor,
                         TRect{0, 0, 2, 1});
  EXPECT_EQ(d.GetPixel(0, 0), Guard);
  EXPECT_EQ(d.GetPixel(2, 0), Grey(50));
  // Ready: destination (dx, dy) takes background (OffsetX + dx, OffsetY + dy).
  CopyRectWithBackground(d, s, 0, 0, true, BackgroundInfo{&bg, 1, 2, 1}, KeyColor,
                         TRect{0, 0, 2, 1});
  EXPECT_EQ(d.GetPixel(0, 0), PatternAt(1, 2));
  EXPECT_EQ(d.GetPixel(1, 1), PatternAt(2, 3));
  // useBackground false: key pixels skipped.
  TBitmap e = Filled(3, 2, Up());
  CopyRectWithBackground(e, s, 0, 0, false, BackgroundInfo{&bg, 0, 0, 1}, KeyColor,
                         TRect{0, 0, 2, 1});
  EXPECT_EQ(e.GetPixel(0, 0), Guard);
  // Past the background's right edge key pixels stay, but the picture's own
  // pixels further right are still copied.
  TBitmap f = Filled(3, 2, Up());
  CopyRectWithBackground(f, s, 0, 0, true, BackgroundInfo{&bg, 3, 2, 1}, KeyColor,
                         TRect{0, 0, 2, 1});
  EXPECT_EQ(f.GetPixel(0, 0), PatternAt(3, 2));
  EXPECT_EQ(f.GetPixel(1, 0), Guard);
  EXPECT_EQ(f.GetPixel(2, 0), Grey(50));
  EXPECT_EQ(f.GetPixel(2, 1), Grey(60));
  // Below the last row or left of column 0: unchanged.
  TBitmap g = Filled(3, 2, Up());
  CopyRectWithBackground(g, s, 0, 0, true, BackgroundInfo{&bg, -1, 3, 1}, KeyColor,
                         TRect{0, 0, 2, 1});
  EXPECT_EQ(g.GetPixel(0, 0), Guard);
  EXPECT_EQ(g.GetPixel(1, 0), PatternAt(0, 3));
  EXPECT_EQ(g.GetPixel(1, 1), Guard);
  // A 32-bit background is read through the 32-bit reader.
  TBitmap bg32 = Filled(4, 4, Up(), RGB(9, 8, 7), TPixelFormat::pf32bit);
  TBitmap h = Filled(3, 2, Up());
  CopyRectWithBackground(h, s, 0, 0, true, BackgroundInfo{&bg32, 0, 0, 1}, KeyColor,
                         TRect{0, 0, 2, 1});
  EXPECT_EQ(h.GetPixel(1, 1), RGB(9, 8, 7));
}

TEST_P(PixelOps, MaskBlend) {
  EXPECT_EQ(MaskBlendByte(200, 100, 0), 100);
  EXPECT_EQ(MaskBlendByte(255, 0, 255), 254);
  EXPECT_EQ(MaskBlendByte(255, 255, 255), 255);
  EXPECT_EQ(MaskBlendByte(0, 255, 255), 0);
  EXPECT_EQ(MaskBlendByte(200, 100, 128), 150);
  EXPECT_EQ(MaskBlendLightByte(200, 100, 128), 189);  // mask 228
  EXPECT_EQ(MaskBlendLightByte(200, 100, 200), MaskBlendByte(200, 100, 255));

  TBitmap d = Filled(3, 3, Up(), RGB(200, 255, 0));
  const TBitmap s = Filled(3, 3, !Up(), RGB(100, 255, 255));
  TBitmap m = Filled(3, 3, Up(), RGB(128, 255, 255));
  m.SetPixel(2, 2, 0);
  MaskBlend(d, s, m);
  EXPECT_EQ(d.GetPixel(0, 0), RGB(150, 255, 0));
  EXPECT_EQ(d.GetPixel(2, 2), RGB(100, 255, 255));  // mask 0: the source
  TBitmap e = Filled(3, 3, Up(), RGB(200, 255, 0));
  MaskBlendLight(e, s, m);
  EXPECT_EQ(e.GetPixel(0, 0), RGB(189, 255, 0));
  EXPECT_EQ(e.GetPixel(2, 2), RGB(139, 255, 155));  // mask 100

  // A piece: source (1, 0)-(3, 2) exclusive with the mask 2 rows below it.
  TBitmap src = Pattern(3, 4, !Up());
  TBitmap mask = Filled(3, 4, Up(), Grey(0));
  TBitmap f = Filled(4, 4, Up());
  MaskBlendRect(f, TPoint{-1, 3}, src, TRect{1, 0, 3, 2}, mask, TPoint{1, 2});
  EXPECT_EQ(f.GetPixel(0, 3), PatternAt(2, 0));
  EXPECT_TRUE(OutsideIs(f, TRect{0, 3, 1, 4}, Guard));
  MaskBlendRect(f, TPoint{INT_MIN, INT_MAX}, src, TRect{INT_MIN, 0, INT_MAX, 2}, mask,
                TPoint{INT_MAX, INT_MIN});
  MaskBlendRect(f, TPoint{0, 0}, src, TRect{0, 0, 3, 4}, mask, TPoint{2, 3});
  EXPECT_EQ(f.GetPixel(0, 0), PatternAt(0, 0));
  EXPECT_EQ(f.GetPixel(1, 0), Guard);
}

TEST_P(PixelOps, GreyBitmaps) {
  TBitmap b = Filled(3, 2, Up(), RGB(10, 20, 32));
  b.SetPixel(0, 1, KeyColor);
  TBitmap c = b;
  GreyBitmap(b);
  EXPECT_EQ(b.GetPixel(2, 0), Grey(20));  // 62 div 3
  EXPECT_EQ(b.GetPixel(0, 1), Grey(170));
  GreyBitmapExceptKey(c, KeyColor);
  EXPECT_EQ(c.GetPixel(2, 0), Grey(20));
  EXPECT_EQ(c.GetPixel(0, 1), KeyColor);
}

TEST_P(PixelOps, ShadeDisabled) {
  const TColor savedParent = ParentColor;
  // Grey only.
  TBitmap a = Filled(2, 2, Up(), RGB(30, 60, 90));
  ShadeDisabled(a, dkGrayed, 0, TPoint{}, BackgroundInfo{});
  EXPECT_TRUE(OutsideIs(a, TRect{}, Grey(60)));
  // Blended over a ready background: 60 % background, 40 % picture.
  TBitmap bg = Filled(5, 5, !Up(), Grey(200));
  bg.SetPixel(3, 4, Grey(0));
  TBitmap b = Filled(2, 2, Up(), Grey(100));
  ShadeDisabled(b, dkBlended, 0, TPoint{1, 2}, BackgroundInfo{&bg, 1, 1, 1});
  EXPECT_EQ(b.GetPixel(0, 0), Grey(160));
  EXPECT_EQ(b.GetPixel(1, 1), Grey(40));
  // Not ready: half and half with the parent colour, else the control's colour.
  ParentColor = KeyColor;
  TBitmap c = Filled(2, 2, Up(), Grey(100));
  ShadeDisabled(c, dkBlended, Grey(0), TPoint{}, BackgroundInfo{});
  EXPECT_TRUE(OutsideIs(c, TRect{}, Grey(50)));
  ParentColor = Grey(200);
  TBitmap d = Filled(2, 2, Up(), RGB(100, 40, 80));
  ShadeDisabled(d, dkBlended | dkGrayed, Grey(0), TPoint{}, BackgroundInfo{});
  EXPECT_TRUE(OutsideIs(d, TRect{}, Grey(136)));  // grey 73, then 136.5 -> 136
  ParentColor = savedParent;
}

TEST_P(PixelOps, MixToBitmap32) {
  const TBitmap first = Filled(3, 2, Up(), RGB(200, 0, 255));
  const TBitmap second = Filled(3, 2, !Up(), RGB(100, 255, 255));
  TBitmap t = Filled(3, 2, Up(), 0, TPixelFormat::pf32bit);
  t.SetAlpha(1, 1, 77);
  MixToBitmap32(t, first, second, 128);
  EXPECT_EQ(t.GetPixel(1, 1), RGB(150, 127, 255));
  EXPECT_EQ(t.GetAlpha(1, 1), 77);
  TBitmap alpha = Filled(3, 2, Up(), RGB(0, 255, 255));
  alpha.SetPixel(2, 1, RGB(255, 0, 0));
  MixToBitmap32(t, first, second, alpha);
  EXPECT_EQ(t.GetPixel(0, 0), RGB(100, 0, 255));
  EXPECT_EQ(t.GetPixel(2, 1), RGB(199, 255, 255));
  // Unequal sources or a 24-bit target: nothing.
  TBitmap u = Filled(3, 2, Up(), Grey(1), TPixelFormat::pf32bit);
  MixToBitmap32(u, first, Filled(2, 2, Up()), 0);
  TBitmap v = Filled(3, 2, Up(), Grey(1));
  MixToBitmap32(v, first, second, 0);
  EXPECT_TRUE(OutsideIs(u, TRect{}, Grey(1)));
  EXPECT_TRUE(OutsideIs(v, TRect{}, Grey(1)));
}

TEST_P(PixelOps, CopyBorderRing) {
  const TBitmap s = Pattern(8, 8, !Up());
  TBitmap d = Filled(8, 8, Up());
  // A 5 x 4 area at (1, 2) with a ring of 1 from source (2, 3).
  CopyBorderRing(d, 1, 2, 1, 3, 2, s, 4, 5);
  for (int y = 2; y < 6; ++y)
    for (int x = 1; x < 6; ++x) {
      const bool ring = x == 1 || x == 5 || y == 2 || y == 5;
      EXPECT_EQ(d.GetPixel(x, y), ring ? PatternAt(x + 1, y + 1) : Guard) << x << "," << y;
    }
  EXPECT_TRUE(OutsideIs(d, TRect{1, 2, 6, 6}, Guard));
  CopyBorderRing(d, INT_MAX, INT_MIN, INT_MAX, INT_MIN, INT_MAX, s, INT_MAX, INT_MAX);
  CopyBorderRing(d, -3, -3, 2, 0, 0, s, 100, 100);
}

TEST_P(PixelOps, NothingLeavesTheBitmapsWhateverTheRectangle) {
  const int far[] = {INT_MIN, INT_MIN + 1, -1000000, -3,      -1,          0,
                     1,       2,           3,        1000000, INT_MAX - 1, INT_MAX};
  TBitmap d = Filled(3, 3, Up());
  const TBitmap s = Filled(2, 2, !Up(), Grey(1));
  const TBitmap s32 = Filled(2, 2, Up(), Grey(2), TPixelFormat::pf32bit);
  TBitmap m = Filled(2, 2, Up(), Grey(3));
  for (int a : far)
    for (int b : far) {
      const TRect r{a, b, b, a};
      const TRect q{a, a, b, b};
      for (const TRect& rect : {r, q}) {
        BlendRectWithColor(d, rect, 40, Grey(9));
        MixBitmapRect(d, s, 9, TPoint{a, b}, rect);
        BlendBitmapRect(d, a, b, KeyColor, 0.3, rect, s);
        BlendBitmapRect(d, b, a, 0xFFFFFFFF, 0.3, rect, s32);
        CopyRectWithKey(d, s, a, b, KeyColor, rect);
        CopyRectWithBackground(d, s, b, a, true, BackgroundInfo{&s32, a, b, 1}, Grey(1), rect);
        CopyRectWithBackground(d, s, a, b, true, BackgroundInfo{&s, b, a, 1}, Grey(1), rect);
        MaskBlendRect(d, TPoint{a, b}, s, rect, m, TPoint{b, a});
        CopyBorderRing(d, a, b, 2, b, a, s, 3, 3);
      }
      CopyBitmapWithKey(d, s, a, b, KeyColor);
      ShadeDisabled(d, dkBlended, 0, TPoint{a, b}, BackgroundInfo{&s, b, a, 1});
    }
}

INSTANTIATE_TEST_SUITE_P(BothRowOrders, PixelOps, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "BottomUp" : "TopDown"; });

}  // namespace
}  // namespace vm
