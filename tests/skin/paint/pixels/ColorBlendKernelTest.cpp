// The colour blend's integer kernel: its divide-free division by 100 over
// every value a 16-bit lane can be given, and every variant (portable, SSE2,
// AVX2) against the exactly rounded quotient for every percentage, every
// colour channel and every byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "skin/paint/pixels/Kernels.h"

namespace vm {
namespace {

TEST(ColorBlendKernel, DivisionByAHundredIsExactOverTheWholeLaneRange) {
  // Lanes hold v * p + k + 50 <= 255 * 100 + 50; the multiply-high stays
  // exact well beyond that, up to 43690.
  for (std::uint32_t t = 0; t <= 43690; ++t) ASSERT_EQ(Div100(std::uint16_t(t)), t / 100) << t;
  static_assert(255 * 100 + 50 <= 43690);
  // Past the bound it breaks, so the bound above is the real one.
  EXPECT_NE(Div100(43699), 43699u / 100);
}

// N / 100 rounded to the nearest integer, a half to the even one.
int Exact(int n) {
  const int q = n / 100;
  return n % 100 == 50 ? q + (q & 1) : (n + 50) / 100;
}

TEST(ColorBlendKernel, EveryVariantRoundsEveryInputExactly) {
  // Rounding halves to even and, for blends where no half rounds down, the
  // cheaper rounding up.
  // Eight blocks of 96 bytes: each channel position sees every byte value.
  constexpr int Blocks = 8, Bytes = Blocks * 96;
  std::vector<std::uint8_t> row(Bytes);
  for (int p = 0; p <= 100; ++p)
    for (int c = 0; c < 256; ++c) {
      const int channel[3] = {c, 255 - c, c ^ 0x5A};
      std::uint16_t k[96];
      for (int j = 0; j < 96; ++j) k[j] = std::uint16_t((100 - p) * channel[j % 3]);
      for (int v = 0; v < 256; ++v)
        for (int ch = 0; ch < 3; ++ch)
          ASSERT_EQ(ColorBlendByte(std::uint8_t(v), std::uint16_t(p), k[ch]), Exact(v * p + k[ch]));
      for (int level = 0; level < ColorBlendLevels(); ++level)
        for (bool halfUp : {false, true}) {
          for (int i = 0; i < Bytes; ++i) row[std::size_t(i)] = std::uint8_t((i / 3) % 256);
          ColorBlendBlocksAtLevel(level, halfUp, row.data(), Blocks, k, std::uint16_t(p));
          for (int i = 0; i < Bytes; ++i) {
            const int n = ((i / 3) % 256) * p + k[i % 96];
            ASSERT_EQ(row[std::size_t(i)], halfUp ? (n + 50) / 100 : Exact(n))
                << "level " << level << " half up " << halfUp << " p " << p << " c " << c
                << " byte " << i;
          }
        }
    }
}

}  // namespace
}  // namespace vm
