// Branch-free byte kernels of the blends (internal to the painting core).
// Each works on a run of bytes; source and destination must not overlap
// unless a kernel says otherwise.
#pragma once

#include <algorithm>
#include <cstddef>
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

// One step of a colour blend in integers: N = v * p + k with k = (100 - p) * c
// (v the old byte, c the colour's channel, p the percentage), divided by 100
// and rounded to the nearest integer. A blend lands exactly on a half only
// where N ends in 50; which neighbour a half takes is the rounding mode,
// chosen per channel by the caller: always up, always down, to the even
// neighbour, or each byte value its own way as a list of the byte values
// whose half rounds down says (for blends whose halves follow no rule).
enum class THalfRounding : std::uint8_t { Up, Down, Even, Listed };

// A set of byte values, one bit each: bit v & 7 of byte v >> 3.
using TByteSet = std::uint8_t[32];
constexpr bool InByteSet(const std::uint8_t* set, std::uint8_t v) {
  return (set[v >> 3] >> (v & 7)) & 1;
}

constexpr std::uint8_t ColorBlendByteRounded(std::uint8_t v, std::uint16_t p, std::uint16_t k,
                                             THalfRounding mode) {
  const unsigned t = v * p + k + 50u, q = t / 100;
  const bool atHalf = t % 100 == 0;
  const bool down = mode == THalfRounding::Down || (mode == THalfRounding::Even && (q & 1));
  return std::uint8_t(q - unsigned(atHalf && down));
}
// The listed rounding: rounded up, one less for the byte values in `down`
// (which hold only values whose blend lands on a half).
constexpr std::uint8_t ColorBlendByteListed(std::uint8_t v, std::uint16_t p, std::uint16_t k,
                                            const std::uint8_t* down) {
  return std::uint8_t(ColorBlendByteRounded(v, p, k, THalfRounding::Up) - InByteSet(down, v));
}
constexpr std::uint8_t ColorBlendByte(std::uint8_t v, std::uint16_t p, std::uint16_t k) {
  return ColorBlendByteRounded(v, p, k, THalfRounding::Even);
}
constexpr std::uint8_t ColorBlendByteHalfUp(std::uint8_t v, std::uint16_t p, std::uint16_t k) {
  return ColorBlendByteRounded(v, p, k, THalfRounding::Up);
}

// The vector kernels divide without a divide. A lane holds twice the
// numerator, u = 2 (N + 50) <= 51100, which still fits 16 unsigned bits; one
// multiply-high by ceil(2^23 / 100) = 41944 gives h = floor(u * 41944 / 2^16),
// whose bits above the seventh are floor((N + 50) / 100) and whose low seven
// bits are zero exactly when N + 50 is a multiple of 100, that is at a half:
// the reciprocal's excess, at most 0.006 of a unit over the whole range, is
// too small to reach the next hundredth (the kernel test checks every lane
// value). The correction step is then one compare and an add of its mask:
// rounding down at a half is h - 1 where (h & 127) == 0, rounding to even is
// h - 1 where (h & 255) == 128, since bit 7 of h is the quotient's lowest.
constexpr std::uint16_t kRecip100 = 41944;
constexpr std::uint16_t ColorBlendLane(std::uint16_t u) {
  return std::uint16_t((std::uint32_t(u) * kRecip100) >> 16);
}

// A prepared colour blend of 24-bit pixels: the percentage, the channels'
// constants and rounding modes, and the same spread over vector lanes for
// each of the three places a 32-byte block can start at within a pixel.
struct TColorBlend {
  std::uint16_t P = 0;
  std::uint16_t K[3] = {};  // (100 - p) * channel, blue first
  THalfRounding Mode[3] = {};
  // Per channel, the byte values whose blend steps down from the rounded-up
  // quotient (for every mode, so that a blend with one listed channel can
  // take the listed kernel for all three).
  alignas(32) TByteSet Down[3] = {};
  bool Listed = false;  // some channel's halves are listed
  // The listed kernels' lookup tables: each channel's set as two 16-byte
  // tables (byte values below 128, then the rest), each twice for the two
  // halves of a 32-byte register.
  alignas(32) std::uint8_t DownLow[3][32] = {}, DownHigh[3][32] = {};
  // Every channel rounds its halves the same way (no per-byte constants
  // needed for the step).
  bool Uniform = true;
  // Per starting phase (the block's first byte is channel `phase`): the
  // constants added to the even and the odd bytes' products (16 lanes each),
  // then per byte the mask and value of the half test on h's low byte, and
  // 0xFF for the bytes of each channel (for the listed kernels' lookups).
  struct TLanes {
    alignas(32) std::uint16_t AddEven[16], AddOdd[16];
    alignas(32) std::uint8_t HalfMask[32], HalfValue[32];
    alignas(32) std::uint8_t IsChannel[3][32];
  };
  TLanes Biased[3];  // products of bytes moved to -128..127 (the AVX2 kernel)
  TLanes Plain[3];   // products of the bytes themselves (the SSE2 kernel)
  // One listed channel whose halves lie at least 8 byte values apart (every
  // percentage but the multiples of 20 and 25), so that no 8 consecutive
  // byte values hold two of its halves that round differently: the AVX2
  // kernel then steps down at every half of that channel (its bytes test
  // for any half in CancelLanes) and takes the step back where the half's
  // block of 8 byte values is marked as rounding up, one byte per block:
  // 32 bytes, one shuffle table for the values below 128 and one for the
  // rest, no bit to pick out (the SSSE3 kernel likewise). CancelChannel is
  // the listed channel.
  bool Cancel = false;
  int CancelChannel = 0;
  // No byte value at which another channel steps down lies in a block
  // marked as rounding up, so the mark needs no test of the byte's channel.
  bool CancelAnyChannel = false;
  TLanes CancelLanes[3];       // for the AVX2 kernel's biased products
  TLanes CancelPlainLanes[3];  // for the SSSE3 kernel's plain ones
  alignas(32) std::uint8_t UpLow[32] = {}, UpHigh[32] = {};
  // At 25, 50 and 75 % the halves fall on every 4th or 2nd byte value and
  // alternate in parity, so the bytes that step down are those equal to a
  // constant modulo 8 or 4 (every byte value modulo 4 or 2 when all halves
  // round down): the step then tests the old byte, and the quotient needs
  // no bits below the unit. Bits holds N + 50 per lane and that test.
  bool BitStep = false;
  TLanes Bits[3];
  // At 50 % the blend is the average of the byte and the channel: the
  // rounded-up average less (v ^ c) & (avg | Up) & Down in bit 0, where
  // (Up, Down) is (1, 0) rounding halves up, (1, 1) down and (0, 1) to even
  // (at a half avg - 1 is even exactly when avg is odd).
  struct TAverageLanes {
    alignas(32) std::uint8_t Channel[32], Up[32], Down[32];
  };
  TAverageLanes Average[3];
};

// Prepares a blend toward channels (blue, green, red) at p = 0..100 percent.
// A channel whose mode is Listed takes its set of byte values that round
// down from `down` (needed then; only values at a half may be in it).
TColorBlend MakeColorBlend(std::uint16_t p, const int channel[3], const THalfRounding mode[3],
                           const TByteSet* down = nullptr);

// Blends `rows` runs of n bytes of 24-bit pixels in place, the first at d
// and each `stride` bytes after the one before, every run starting at a blue
// byte; each byte becomes ColorBlendByteRounded with its channel's constant
// and mode. Branch-free in vector lanes (AVX2, or the x86-64 baseline's
// SSE2, picked at run time); listed halves are looked up in vector lanes
// with SSSE3's byte shuffle, or byte by byte on a processor without it.
void ColorBlendRun(std::uint8_t* d, std::int64_t n, std::int64_t rows, std::ptrdiff_t stride,
                   const TColorBlend& b);
// The variants of ColorBlendRun (0 portable, 1 SSE2, 2 SSSE3, 3 AVX2, as
// far as the processor has them), so that tests and benchmarks can compare
// each with the others.
int ColorBlendLevels();
void ColorBlendRunAtLevel(int level, std::uint8_t* d, std::int64_t n, std::int64_t rows,
                          std::ptrdiff_t stride, const TColorBlend& b);

}  // namespace vm
