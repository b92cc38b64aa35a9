#include "skin/paint/pixels/Kernels.h"

#include <algorithm>

namespace vm {

// The hot loops are built twice on x86-64: for the baseline instruction set
// and for AVX2 (twice the bytes per instruction), picked once at load time.
// The arithmetic is the same integer arithmetic in both, so results are
// identical on every machine.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VM_HOT_LOOP __attribute__((target_clones("avx2", "default")))
#else
#define VM_HOT_LOOP
#endif

VM_HOT_LOOP
void BlendBytes(std::uint8_t* __restrict d, const std::uint8_t* __restrict s, std::int64_t n,
                unsigned w) {
  const std::uint16_t wd = std::uint16_t(w), ws = std::uint16_t(255 - w);
  for (std::int64_t i = 0; i < n; ++i)
    d[i] = std::uint8_t(std::uint16_t(d[i] * wd + s[i] * ws + 127) >> 8);
}

VM_HOT_LOOP
void MaskBytes(std::uint8_t* __restrict d, const std::uint8_t* __restrict s,
               const std::uint8_t* __restrict m, std::int64_t n) {
  for (std::int64_t i = 0; i < n; ++i)
    d[i] = std::uint8_t(std::uint16_t(d[i] * m[i] + s[i] * std::uint16_t(256 - m[i])) >> 8);
}

VM_HOT_LOOP
void MaskBytesLight(std::uint8_t* __restrict d, const std::uint8_t* __restrict s,
                    const std::uint8_t* __restrict m, std::int64_t n) {
  // min(M + 100, 255) in signed 16 bits, which the baseline instruction set
  // can take the minimum of without a branch.
  for (std::int64_t i = 0; i < n; ++i) {
    const std::int16_t mm = std::min<std::int16_t>(std::int16_t(m[i] + 100), 255);
    d[i] = std::uint8_t(std::uint16_t(d[i] * mm + s[i] * (256 - mm)) >> 8);
  }
}

VM_HOT_LOOP
void ColorBlendBlocks(std::uint8_t* __restrict d, std::int64_t blocks,
                      const std::uint16_t* __restrict k, std::uint16_t p) {
  for (std::int64_t b = 0; b < blocks; ++b, d += 96)
    for (int j = 0; j < 96; ++j) d[j] = ColorBlendByte(d[j], p, k[j]);
}

VM_HOT_LOOP
void ColorBlendBlocksHalfUp(std::uint8_t* __restrict d, std::int64_t blocks,
                            const std::uint16_t* __restrict k, std::uint16_t p) {
  for (std::int64_t b = 0; b < blocks; ++b, d += 96)
    for (int j = 0; j < 96; ++j) d[j] = ColorBlendByteHalfUp(d[j], p, k[j]);
}

}  // namespace vm
