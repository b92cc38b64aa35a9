// The store-to-server pixel conversion: every shuffle version the processor
// offers writes exactly what the portable one writes, for every width and
// alignment, and nothing outside the row.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/host/x11/X11PixelConvert.h"

namespace vm {
namespace {

TEST(BgrToBgrx, EveryVersionMatchesTheDefinitionOnOddWidthsAndOffsets) {
  constexpr int Guard = 64;
  constexpr std::uint8_t Fence = 0xA5;
  std::vector<std::uint8_t> src(3 * 300 + 2 * Guard);
  unsigned s = 12345;
  for (auto& b : src) b = std::uint8_t((s = s * 1103515245u + 12345u) >> 24);
  int versions = 0;
  for (TBgrxKernel k : {TBgrxKernel::Portable, TBgrxKernel::Ssse3, TBgrxKernel::Avx2}) {
    if (!BgrToBgrxAvailable(k)) continue;
    ++versions;
    for (int n = 0; n <= 131; ++n)
      for (int srcOffset : {0, 1, 5}) {
        for (int dstOffset : {0, 3}) {
          std::vector<std::uint8_t> dst(4 * std::size_t(n) + 2 * Guard, Fence);
          const std::uint8_t* in = src.data() + Guard + srcOffset;
          BgrToBgrxWith(k, in, dst.data() + Guard + dstOffset, n);
          for (int i = 0; i < Guard + dstOffset; ++i) ASSERT_EQ(dst[std::size_t(i)], Fence);
          for (std::size_t i = Guard + std::size_t(dstOffset) + 4 * std::size_t(n); i < dst.size();
               ++i)
            ASSERT_EQ(dst[i], Fence) << "written past pixel " << n;
          const std::uint8_t* out = dst.data() + Guard + dstOffset;
          for (int x = 0; x < n; ++x) {
            ASSERT_EQ(out[4 * x], in[3 * x])
                << "version " << int(k) << " width " << n << " x " << x;
            ASSERT_EQ(out[4 * x + 1], in[3 * x + 1]);
            ASSERT_EQ(out[4 * x + 2], in[3 * x + 2]);
            ASSERT_EQ(out[4 * x + 3], 0);
          }
        }
      }
  }
  EXPECT_GE(versions, 1);
  EXPECT_TRUE(BgrToBgrxAvailable(BgrToBgrxChosen()));
}

TEST(BgrToBgrx, ReadsNoByteBeyondTheRow) {
  // Rows that end exactly at the end of their allocation: the sanitizer run
  // reports any load past the last source byte.
  for (TBgrxKernel k : {TBgrxKernel::Portable, TBgrxKernel::Ssse3, TBgrxKernel::Avx2}) {
    if (!BgrToBgrxAvailable(k)) continue;
    for (int n : {1, 15, 16, 17, 34, 35, 36, 67, 713}) {
      std::vector<std::uint8_t> src(3 * std::size_t(n), 7);
      std::vector<std::uint8_t> dst(4 * std::size_t(n));
      BgrToBgrxWith(k, src.data(), dst.data(), n);
      EXPECT_EQ(dst.back(), 0);
      EXPECT_EQ(dst[dst.size() - 2], 7);
    }
  }
}

}  // namespace
}  // namespace vm
