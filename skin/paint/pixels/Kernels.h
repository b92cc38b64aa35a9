// Branch-free byte kernels of the blends (internal to the painting core).
// Each works on a run of bytes; source and destination must not overlap
// unless a kernel says otherwise.
#pragma once

#include <algorithm>
#include <cstdint>

namespace vm {

// (D * w + S * (255 - w) + 127) >> 8 over n bytes. The sum never exceeds
// 65152, so the arithmetic fits 16 bits; the loops have no branches: a
// vectorised portable loop, and AVX2 and AVX-512 ones picked at run time
// when the processor has them. With separate source and destination every byte is
// independent, so walking forward gives exactly the bytes of the blender's
// backward walk (and the x86-64 baseline cannot vectorise a reversed byte
// loop).
void BlendBytes(std::uint8_t* __restrict d, const std::uint8_t* __restrict s, std::int64_t n,
                unsigned w);
// The same written to a third run: out = blend of d and s, none overlapping.
void BlendBytesTo(std::uint8_t* __restrict out, const std::uint8_t* __restrict d,
                  const std::uint8_t* __restrict s, std::int64_t n, unsigned w);
// The variants of BlendBytes this processor can run (the portable loop, AVX2,
// AVX-512), so that tests can compare each with the others: BlendBytesAtLevel
// runs variant `level` (0 .. BlendBytesLevels() - 1).
int BlendBytesLevels();
void BlendBytesAtLevel(int level, std::uint8_t* __restrict d, const std::uint8_t* __restrict s,
                       std::int64_t n, unsigned w);

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
void MaskBytes(std::uint8_t* __restrict d, const std::uint8_t* __restrict s,
               const std::uint8_t* __restrict m, std::int64_t n);

// The light variant: the mask raised to min(M + 100, 255) first.
void MaskBytesLight(std::uint8_t* __restrict d, const std::uint8_t* __restrict s,
                    const std::uint8_t* __restrict m, std::int64_t n);

// One step of a colour blend in integers: N = v * p + k with k = (100 - p) * c,
// divided by 100 and rounded half to even. For percentages whose
// floating-point blend is exact at the halves this gives the same bytes.
// The division needs no divide: with t = N + 50 (at most 25550 for bytes and
// percentages), floor(t / 100) = (t * 5243) >> 19 exactly for every t up to
// 43690, so one multiply-high of a 16-bit lane and a shift give it; the
// remainder t - 100 q is 0 exactly at a half, where an odd q steps back to
// the even neighbour.
constexpr std::uint16_t Div100(std::uint16_t t) {
  return std::uint16_t((std::uint32_t(t) * 5243u) >> 19);
}
constexpr std::uint8_t ColorBlendByte(std::uint8_t v, std::uint16_t p, std::uint16_t k) {
  const std::uint16_t t = std::uint16_t(v * p + k + 50);
  const std::uint16_t q = Div100(t);
  const std::uint16_t atHalf = std::uint16_t(t - q * 100) == 0;
  return std::uint8_t(q - (atHalf & q & 1));
}

// The same rounded half up: (N + 50) div 100. Cheaper; used when no byte
// value of the blend lands on a half (or every half rounds up anyway).
constexpr std::uint8_t ColorBlendByteHalfUp(std::uint8_t v, std::uint16_t p, std::uint16_t k) {
  return std::uint8_t(std::uint16_t(v * p + k + 50) / 100);
}

// Half and half (50 %): nearest((v + c) / 2), halves to even, without a
// division; c is the colour channel itself.
constexpr std::uint8_t ColorBlendByteHalf(std::uint8_t v, std::uint16_t c) {
  const std::uint16_t sum = std::uint16_t(v + c);
  const std::uint16_t half = std::uint16_t(sum >> 1);
  return std::uint8_t(half + (sum & half & 1));
}

// ColorBlendByte over `blocks` runs of 96 bytes (32 pixels); k holds the
// per-channel constants repeated for the 96 bytes. Branch-free, in 16-bit
// lanes (AVX2 or the x86-64 baseline's SSE2, picked at run time).
void ColorBlendBlocks(std::uint8_t* __restrict d, std::int64_t blocks,
                      const std::uint16_t* __restrict k, std::uint16_t p);
// The variants of ColorBlendBlocks and ColorBlendBlocksHalfUp (portable,
// SSE2, AVX2 where the processor has it), so that tests can compare each with
// the others.
int ColorBlendLevels();
void ColorBlendBlocksAtLevel(int level, bool halfUp, std::uint8_t* d, std::int64_t blocks,
                             const std::uint16_t* k, std::uint16_t p);
void ColorBlendBlocksHalfUp(std::uint8_t* __restrict d, std::int64_t blocks,
                            const std::uint16_t* __restrict k, std::uint16_t p);
// ColorBlendByteHalf over the same blocks; c holds the channels repeated.
void ColorBlendBlocksHalf(std::uint8_t* __restrict d, std::int64_t blocks,
                          const std::uint16_t* __restrict c);

}  // namespace vm
