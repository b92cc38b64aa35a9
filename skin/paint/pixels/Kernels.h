// Branch-free byte kernels of the blends (internal to the painting core).
// Each works on a run of bytes; source and destination must not overlap.
#pragma once

#include <algorithm>
#include <cstdint>

namespace vm {

// (D * w + S * (255 - w) + 127) >> 8 over n bytes, last byte first. The sum
// never exceeds 65152, so the arithmetic fits 16 bits; the loop has no
// branches and vectorises at -O3.
inline void BlendBytesBackward(std::uint8_t* __restrict d, const std::uint8_t* __restrict s,
                               std::int64_t n, unsigned w) {
  const std::uint16_t wd = std::uint16_t(w), ws = std::uint16_t(255 - w);
  for (std::int64_t i = n - 1; i >= 0; --i)
    d[i] = std::uint8_t(std::uint16_t(d[i] * wd + s[i] * ws + 127) >> 8);
}

// The same when source and destination may overlap (one bitmap blended into
// itself): walked byte by byte exactly in the blender's order.
inline void BlendBytesBackwardAliased(std::uint8_t* d, const std::uint8_t* s, std::int64_t n,
                                      unsigned w) {
  const unsigned ws = 255 - w;
  for (std::int64_t i = n - 1; i >= 0; --i) d[i] = std::uint8_t((d[i] * w + s[i] * ws + 127) >> 8);
}

// clamp(((D - S) * M + S * 256) >> 8) written as (D * M + S * (256 - M)) >> 8,
// which is the same value and never leaves 0..255 for bytes, so the clamp
// needs no code and the loop stays branch-free.
inline void MaskBytes(std::uint8_t* __restrict d, const std::uint8_t* __restrict s,
                      const std::uint8_t* __restrict m, std::int64_t n) {
  for (std::int64_t i = 0; i < n; ++i)
    d[i] = std::uint8_t(std::uint16_t(d[i] * m[i] + s[i] * std::uint16_t(256 - m[i])) >> 8);
}

inline void MaskBytesLight(std::uint8_t* __restrict d, const std::uint8_t* __restrict s,
                           const std::uint8_t* __restrict m, std::int64_t n) {
  for (std::int64_t i = 0; i < n; ++i) {
    const std::uint16_t mm = std::min<std::uint16_t>(std::uint16_t(m[i] + 100), 255);
    d[i] = std::uint8_t(std::uint16_t(d[i] * mm + s[i] * std::uint16_t(256 - mm)) >> 8);
  }
}

}  // namespace vm
