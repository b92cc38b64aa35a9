// The solid row fills against a plain per-pixel fill: every kernel this
// processor runs, 24 and 32 bits, every row length from 0 to 300 pixels at
// every start offset modulo a 32-byte line, and several rows with forward
// and backward steps. Guard bytes around each row catch a store that runs
// over either end; 32-bit rows must keep their alpha bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/gfx/RowFill.h"

namespace vm {
namespace {

constexpr std::uint8_t B = 0x11, G = 0x22, R = 0x33;

std::vector<TFillKernel> Kernels() {
  std::vector<TFillKernel> out;
  for (TFillKernel k : {TFillKernel::Portable, TFillKernel::Sse2, TFillKernel::Avx2})
    if (FillKernelAvailable(k)) out.push_back(k);
  return out;
}

const char* Name(TFillKernel k) {
  return k == TFillKernel::Avx2 ? "avx2" : k == TFillKernel::Sse2 ? "sse2" : "portable";
}

// Bytes that differ from their neighbours and from the colour.
std::uint8_t Noise(std::size_t i) {
  return std::uint8_t(0x80 + (i * 7919u) % 61u);
}

void Reference(std::vector<std::uint8_t>& buf, std::size_t first, std::ptrdiff_t step, int rows,
               std::size_t pixels, int bpp) {
  for (int y = 0; y < rows; ++y)
    for (std::size_t x = 0; x < pixels; ++x) {
      std::uint8_t* p = buf.data() + std::ptrdiff_t(first) + y * step + std::ptrdiff_t(x) * bpp;
      p[0] = B;
      p[1] = G;
      p[2] = R;
    }
}

TEST(RowFill, EveryLengthAndOffsetMatchesPerPixelFill) {
  constexpr std::size_t MaxPixels = 300, Pad = 64;
  for (TFillKernel k : Kernels())
    for (int bpp : {3, 4}) {
      const std::size_t size = Pad + 31 + MaxPixels * std::size_t(bpp) + Pad;
      // The buffer's start is 64-byte aligned, so offsets 0..31 cover every
      // position of a row within a 32-byte store.
      std::vector<std::uint8_t> got(size + 64), want(size + 64);
      const std::size_t base = (64 - reinterpret_cast<std::uintptr_t>(got.data()) % 64) % 64 + Pad;
      for (std::size_t pixels = 0; pixels <= MaxPixels; ++pixels)
        for (std::size_t offset = 0; offset < 32; ++offset) {
          for (std::size_t i = 0; i < got.size(); ++i) got[i] = want[i] = Noise(i);
          const std::size_t first = base + offset;
          if (bpp == 3)
            FillRows24With(k, got.data() + first, 0, 1, pixels, B, G, R);
          else
            FillRows32With(k, got.data() + first, 0, 1, pixels, B, G, R);
          Reference(want, first, 0, 1, pixels, bpp);
          ASSERT_EQ(got, want) << Name(k) << ", " << bpp * 8 << " bits, " << pixels
                               << " pixels at offset " << offset;
        }
    }
}

TEST(RowFill, SeveralRowsForwardAndBackward) {
  for (TFillKernel k : Kernels())
    for (int bpp : {3, 4})
      for (std::ptrdiff_t step : {std::ptrdiff_t(3004), std::ptrdiff_t(-3004)})
        for (std::size_t pixels :
             {std::size_t(1), std::size_t(10), std::size_t(160), std::size_t(697)}) {
          const int rows = 5;
          std::vector<std::uint8_t> got(3004 * 7), want(got.size());
          for (std::size_t i = 0; i < got.size(); ++i) got[i] = want[i] = Noise(i);
          // Three pixels in, on the first row of the block (the last one in
          // memory when the step is negative).
          const std::size_t first = (step > 0 ? 3004 : 3004 * 5) + 3 * std::size_t(bpp);
          if (bpp == 3)
            FillRows24With(k, got.data() + first, step, rows, pixels, B, G, R);
          else
            FillRows32With(k, got.data() + first, step, rows, pixels, B, G, R);
          Reference(want, first, step, rows, pixels, bpp);
          ASSERT_EQ(got, want) << Name(k) << ", " << bpp * 8 << " bits, " << pixels
                               << " pixels, step " << step;
        }
}

TEST(RowFill, NothingToFillWritesNothing) {
  std::vector<std::uint8_t> buf(64, 0x5A);
  for (TFillKernel k : Kernels()) {
    FillRows24With(k, buf.data(), 16, 0, 5, B, G, R);
    FillRows24With(k, buf.data(), 16, 3, 0, B, G, R);
    FillRows32With(k, buf.data(), -16, 0, 5, B, G, R);
    FillRows24With(k, nullptr, 16, 3, 5, B, G, R);
  }
  EXPECT_EQ(buf, std::vector<std::uint8_t>(64, 0x5A));
  EXPECT_TRUE(FillKernelAvailable(TFillKernel::Portable));
  EXPECT_TRUE(FillKernelAvailable(BestFillKernel()));
}

}  // namespace
}  // namespace vm
