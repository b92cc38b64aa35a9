// The colour blend's integer kernel: its divide-free division by 100 over
// every value a 16-bit lane can be given, and every variant (portable, SSE2,
// SSSE3, AVX2) against the plainly computed quotient for every percentage,
// every colour channel, every rounding of the halves and every byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "skin/paint/pixels/Kernels.h"

namespace vm {
namespace {

TEST(ColorBlendKernel, MultiplyHighAndHalfTestAreExactForEveryLaneValue) {
  // A lane holds u = 2 (v * p + k + 50); every numerator a byte, a
  // percentage 0..100 and a channel can form lies in 50 .. 255 * 100 + 50.
  static_assert(2 * (255 * 100 + 50) <= 0xFFFF);
  for (std::uint32_t t = 50; t <= 255 * 100 + 50; ++t) {
    const std::uint16_t h = ColorBlendLane(std::uint16_t(2 * t));
    ASSERT_EQ(h >> 7, t / 100) << t;
    ASSERT_EQ((h & 0x7F) == 0, t % 100 == 0) << t;
    // The correction steps: one down at every half, or at the halves whose
    // rounded-up quotient is odd.
    const std::uint16_t down = std::uint16_t(h - ((h & 0x7F) == 0));
    const std::uint16_t even = std::uint16_t(h - ((h & 0xFF) == 0x80));
    ASSERT_EQ(down >> 7, t % 100 == 0 ? t / 100 - 1 : t / 100) << t;
    ASSERT_EQ(even >> 7, t % 100 == 0 ? (t / 100) & ~1u : t / 100) << t;
  }
}

TEST(ColorBlendKernel, PlainFormulaRoundsHalvesAsAsked) {
  // 25 % of 10 toward 0 is exactly 2.5: up 3, down 2, even 2; 35 toward 0 is
  // 8.75, the same 9 in every mode.
  EXPECT_EQ(ColorBlendByteRounded(10, 25, 0, THalfRounding::Up), 3);
  EXPECT_EQ(ColorBlendByteRounded(10, 25, 0, THalfRounding::Down), 2);
  EXPECT_EQ(ColorBlendByteRounded(10, 25, 0, THalfRounding::Even), 2);
  EXPECT_EQ(ColorBlendByteRounded(14, 25, 0, THalfRounding::Even), 4);  // 3.5
  for (THalfRounding m : {THalfRounding::Up, THalfRounding::Down, THalfRounding::Even})
    EXPECT_EQ(ColorBlendByteRounded(35, 25, 0, m), 9);
  // The extremes: 100 % keeps the byte, 0 % is the channel.
  EXPECT_EQ(ColorBlendByteRounded(201, 100, 0, THalfRounding::Down), 201);
  EXPECT_EQ(ColorBlendByteRounded(201, 0, 100 * 255, THalfRounding::Down), 255);
}

// Every byte value in every channel position, and a run that ends off the
// 32-byte grid so that the overlapping last block is exercised.
constexpr int RunBytes = 256 * 3 + 15;

std::uint8_t Source(int i) {
  return std::uint8_t((i / 3 + (i % 3) * 85) % 256);
}

// Blends the test row at every kernel level and returns where the first
// byte differs from the per-byte formula of its channel's rounding, or an
// empty text when every byte agrees. down lists the byte values of the
// listed channels; it may be null when no channel is listed.
std::string FirstMismatch(const TColorBlend& b, int p, const THalfRounding (&mode)[3],
                          const TByteSet* down, std::vector<std::uint8_t>& row) {
  for (int level = 0; level < ColorBlendLevels(); ++level) {
    for (int i = 0; i < RunBytes; ++i) row[std::size_t(i)] = Source(i);
    ColorBlendRunAtLevel(level, row.data(), RunBytes, 1, 0, b);
    for (int i = 0; i < RunBytes; ++i) {
      const int ch = i % 3;
      const auto want = mode[ch] == THalfRounding::Listed
                            ? ColorBlendByteListed(Source(i), std::uint16_t(p), b.K[ch], down[ch])
                            : ColorBlendByteRounded(Source(i), std::uint16_t(p), b.K[ch], mode[ch]);
      if (row[std::size_t(i)] != want)
        return "level " + std::to_string(level) + " byte " + std::to_string(i);
    }
  }
  return {};
}

TEST(ColorBlendKernel, EveryVariantMatchesThePlainFormula) {
  std::vector<std::uint8_t> row(RunBytes);
  for (int p = 0; p <= 100; ++p)
    for (int c = 0; c < 256; ++c) {
      const int channel[3] = {c, 255 - c, c ^ 0x5A};
      // Every fourth colour has one mode for all channels (up takes the
      // kernel without the step, down and even the one with a shared step);
      // the others mix the modes, each channel taking each in turn.
      THalfRounding mode[3];
      for (int ch = 0; ch < 3; ++ch)
        mode[ch] = THalfRounding(c % 4 == 0 ? (c / 4) % 3 : (c + ch) % 3);
      const TColorBlend b = MakeColorBlend(std::uint16_t(p), channel, mode);
      ASSERT_EQ(FirstMismatch(b, p, mode, nullptr, row), "") << "p " << p << " c " << c;
    }
}

TEST(ColorBlendKernel, ListedHalvesAreLookedUpPerChannelInEveryVariant) {
  // Sets of byte values that step down, with bits everywhere the rounded-up
  // byte is above 0 (the lookup does not care whether a value is at a
  // half), for listed channels beside channels of the three rules: every
  // lane of every table and every channel position of a block is reached.
  std::vector<std::uint8_t> row(RunBytes);
  unsigned seed = 7;
  for (int p : {0, 1, 33, 50, 60, 83, 90, 99, 100})
    for (int c = 0; c < 256; c += 5) {
      const int channel[3] = {c, 255 - c, c ^ 0x5A};
      THalfRounding mode[3];
      TByteSet down[3] = {};
      for (int ch = 0; ch < 3; ++ch) {
        mode[ch] = (c / 5 + ch) % 4 == 3 ? THalfRounding((c + ch) % 3) : THalfRounding::Listed;
        const auto k = std::uint16_t((100 - p) * channel[ch]);
        for (int v = 0; v < 256; ++v) {
          seed = seed * 1103515245u + 12345u;
          if ((seed >> 16) & 1 &&
              ColorBlendByteRounded(std::uint8_t(v), std::uint16_t(p), k, THalfRounding::Up) > 0)
            down[ch][v >> 3] = std::uint8_t(down[ch][v >> 3] | (1u << (v & 7)));
        }
      }
      const TColorBlend b = MakeColorBlend(std::uint16_t(p), channel, mode, down);
      ASSERT_EQ(FirstMismatch(b, p, mode, down, row), "") << "p " << p << " c " << c;
    }
}

TEST(ColorBlendKernel, OneListedChannelWithSparseHalvesIsStepBackFromEveryHalf) {
  // One listed channel whose set holds only halves, chosen at random, beside
  // channels of the three rules: at percentages whose halves lie 10 or more
  // byte values apart the AVX2 variant steps down at every half and back
  // where the half's block rounds up (with and without the test of the
  // byte's channel); elsewhere it looks the set up as for several channels.
  std::vector<std::uint8_t> row(RunBytes);
  unsigned seed = 11;
  int cancelling[2] = {};
  for (int p = 1; p < 100; p += 2)
    for (int c = 0; c < 256; c += 3) {
      const int channel[3] = {c, (c * 7 + 40) % 256, 255 - c};
      const int listed = c % 3;
      THalfRounding mode[3];
      TByteSet down[3] = {};
      for (int ch = 0; ch < 3; ++ch) mode[ch] = THalfRounding((c / 3 + ch) % 3);
      mode[listed] = THalfRounding::Listed;
      for (int v = 0; v < 256; ++v) {
        seed = seed * 1103515245u + 12345u;
        const unsigned t = unsigned(v * p + (100 - p) * channel[listed] + 50);
        if (t % 100 == 0 && (seed >> 16) & 1)
          down[listed][v >> 3] = std::uint8_t(down[listed][v >> 3] | (1u << (v & 7)));
      }
      const TColorBlend b = MakeColorBlend(std::uint16_t(p), channel, mode, down);
      if (b.Cancel) ++cancelling[b.CancelAnyChannel];
      ASSERT_EQ(FirstMismatch(b, p, mode, down, row), "") << "p " << p << " c " << c;
    }
  EXPECT_GT(cancelling[0], 0);
  EXPECT_GT(cancelling[1], 0);
}

TEST(ColorBlendKernel, RunsOfEveryLengthTouchOnlyTheirBytes) {
  // Three runs with a gap of 5 bytes after each, walked downward and upward
  // (a negative stride, as for bottom-up bitmaps): short runs go through the
  // block on the stack, longer ones end on an overlapping block.
  const int channel[3] = {17, 200, 93};
  const THalfRounding mode[3] = {THalfRounding::Even, THalfRounding::Down, THalfRounding::Up};
  for (int p : {25, 50, 61})
    for (bool up : {false, true}) {
      const TColorBlend b = MakeColorBlend(std::uint16_t(p), channel, mode);
      for (int level = 0; level < ColorBlendLevels(); ++level)
        for (int n = 0; n <= 100; ++n) {
          const int stride = n + 5;
          std::vector<std::uint8_t> rows(std::size_t(3 * stride), 0xA5);
          auto source = [](int i) { return std::uint8_t(i * 37 + 11); };
          for (int r = 0; r < 3; ++r)
            for (int i = 0; i < n; ++i) rows[std::size_t(r * stride + i)] = source(i);
          std::uint8_t* first = rows.data() + (up ? 2 * stride : 0);
          ColorBlendRunAtLevel(level, first, n, 3, up ? -stride : stride, b);
          for (int r = 0; r < 3; ++r)
            for (int i = 0; i < stride; ++i) {
              const std::uint8_t want = i < n ? ColorBlendByteRounded(source(i), std::uint16_t(p),
                                                                      b.K[i % 3], mode[i % 3])
                                              : 0xA5;
              ASSERT_EQ(rows[std::size_t(r * stride + i)], want)
                  << "level " << level << " p " << p << " n " << n << " row " << r << " byte " << i;
            }
        }
    }
}

}  // namespace
}  // namespace vm
