#include "skin/paint/pixels/Kernels.h"

#include <algorithm>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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

namespace {

// The portable loop: 16-bit lanes, two multiplies per byte.
// out may be d itself (each byte is read before it is written) but must not
// overlap s otherwise.
VM_HOT_LOOP
void BlendBytesPortable(std::uint8_t* out, const std::uint8_t* d, const std::uint8_t* __restrict s,
                        std::int64_t n, unsigned w) {
  const std::uint16_t wd = std::uint16_t(w), ws = std::uint16_t(255 - w);
  for (std::int64_t i = 0; i < n; ++i)
    out[i] = std::uint8_t(std::uint16_t(d[i] * wd + s[i] * ws + 127) >> 8);
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// AVX2: one multiply-add per byte pair. The weights (w, 255 - w) are the
// unsigned operand of vpmaddubsw and the pixels, moved to -128..127 by
// flipping their top bit, the signed one:
//   w * (D - 128) + (255 - w) * (S - 128) = D * w + S * (255 - w) - 32640,
// which lies in -32640..32385 and so never saturates. Adding 32640 + 127 in
// wrapping 16-bit arithmetic gives the exact sum, 127..65152, and a logical
// shift by 8 the byte. Unpacking and packing both work within 128-bit lanes,
// so the bytes come back in their own order.
__attribute__((target("avx2"))) inline __m256i Blend32Avx2(__m256i dv, __m256i sv,
                                                           __m256i weights) {
  const __m256i flip = _mm256_set1_epi8(std::int8_t(0x80));
  const __m256i bias = _mm256_set1_epi16(std::int16_t(32767));
  dv = _mm256_xor_si256(dv, flip);
  sv = _mm256_xor_si256(sv, flip);
  const __m256i lo = _mm256_maddubs_epi16(weights, _mm256_unpacklo_epi8(dv, sv));
  const __m256i hi = _mm256_maddubs_epi16(weights, _mm256_unpackhi_epi8(dv, sv));
  const __m256i rlo = _mm256_srli_epi16(_mm256_add_epi16(lo, bias), 8);
  const __m256i rhi = _mm256_srli_epi16(_mm256_add_epi16(hi, bias), 8);
  return _mm256_packus_epi16(rlo, rhi);
}

__attribute__((target("avx2"))) void BlendBytesAvx2(std::uint8_t* out, const std::uint8_t* d,
                                                    const std::uint8_t* __restrict s,
                                                    std::int64_t n, unsigned w) {
  if (n < 32) {
    BlendBytesPortable(out, d, s, n, w);
    return;
  }
  const __m256i weights = _mm256_set1_epi16(std::int16_t(w | ((255 - w) << 8)));
  // A row rarely ends on a whole block. Its last 32 bytes are read before
  // anything is written and blended last, overlapping the previous block:
  // the bytes written twice get the same value both times, and no byte goes
  // through the slow single-byte loop.
  const std::int64_t last = n - 32;
  const __m256i lastD = _mm256_loadu_si256((const __m256i*)(d + last));
  const __m256i lastS = _mm256_loadu_si256((const __m256i*)(s + last));
  for (std::int64_t i = 0; i < last; i += 32) {
    const __m256i dv = _mm256_loadu_si256((const __m256i*)(d + i));
    const __m256i sv = _mm256_loadu_si256((const __m256i*)(s + i));
    _mm256_storeu_si256((__m256i*)(out + i), Blend32Avx2(dv, sv, weights));
  }
  _mm256_storeu_si256((__m256i*)(out + last), Blend32Avx2(lastD, lastS, weights));
}

// AVX-512: the same arithmetic on 64 bytes per instruction; unpacking and
// packing again stay within 128-bit lanes, so bytes keep their order. The
// tail of a run is one masked block.
__attribute__((target("avx512bw"))) void BlendBytesAvx512(std::uint8_t* out, const std::uint8_t* d,
                                                          const std::uint8_t* __restrict s,
                                                          std::int64_t n, unsigned w) {
  const __m512i weights = _mm512_set1_epi16(std::int16_t(w | ((255 - w) << 8)));
  const __m512i flip = _mm512_set1_epi8(std::int8_t(0x80));
  const __m512i bias = _mm512_set1_epi16(std::int16_t(32767));
  auto blend = [&](__m512i dv, __m512i sv) __attribute__((target("avx512bw"))) {
    dv = _mm512_xor_si512(dv, flip);
    sv = _mm512_xor_si512(sv, flip);
    const __m512i lo = _mm512_maddubs_epi16(weights, _mm512_unpacklo_epi8(dv, sv));
    const __m512i hi = _mm512_maddubs_epi16(weights, _mm512_unpackhi_epi8(dv, sv));
    const __m512i rlo = _mm512_srli_epi16(_mm512_add_epi16(lo, bias), 8);
    const __m512i rhi = _mm512_srli_epi16(_mm512_add_epi16(hi, bias), 8);
    return _mm512_packus_epi16(rlo, rhi);
  };
  std::int64_t i = 0;
  for (; i + 64 <= n; i += 64)
    _mm512_storeu_si512(out + i, blend(_mm512_loadu_si512(d + i), _mm512_loadu_si512(s + i)));
  if (i < n) {
    const __mmask64 m = (1ull << (n - i)) - 1;  // n - i is 1 .. 63
    const __m512i r = blend(_mm512_maskz_loadu_epi8(m, d + i), _mm512_maskz_loadu_epi8(m, s + i));
    _mm512_mask_storeu_epi8(out + i, m, r);
  }
}

using TBlendBytes = void (*)(std::uint8_t*, const std::uint8_t*, const std::uint8_t*, std::int64_t,
                             unsigned);

TBlendBytes BlendBytesFor(int level) {
  return level >= 2 ? BlendBytesAvx512 : level == 1 ? BlendBytesAvx2 : BlendBytesPortable;
}

int BestBlendLevel() {
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512bw")) return 2;
  return __builtin_cpu_supports("avx2") ? 1 : 0;
}
#endif

}  // namespace

void BlendBytes(std::uint8_t* __restrict d, const std::uint8_t* __restrict s, std::int64_t n,
                unsigned w) {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  static const TBlendBytes blend = BlendBytesFor(BestBlendLevel());
  blend(d, d, s, n, w);
#else
  BlendBytesPortable(d, d, s, n, w);
#endif
}

void BlendBytesTo(std::uint8_t* __restrict out, const std::uint8_t* __restrict d,
                  const std::uint8_t* __restrict s, std::int64_t n, unsigned w) {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  static const TBlendBytes blend = BlendBytesFor(BestBlendLevel());
  blend(out, d, s, n, w);
#else
  BlendBytesPortable(out, d, s, n, w);
#endif
}

int BlendBytesLevels() {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  return BestBlendLevel() + 1;
#else
  return 1;
#endif
}

void BlendBytesAtLevel(int level, std::uint8_t* __restrict d, const std::uint8_t* __restrict s,
                       std::int64_t n, unsigned w) {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  BlendBytesFor(std::min(level, BestBlendLevel()))(d, d, s, n, w);
#else
  (void)level;
  BlendBytesPortable(d, d, s, n, w);
#endif
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

VM_HOT_LOOP
void ColorBlendBlocksHalf(std::uint8_t* __restrict d, std::int64_t blocks,
                          const std::uint16_t* __restrict c) {
  for (std::int64_t b = 0; b < blocks; ++b, d += 96)
    for (int j = 0; j < 96; ++j) d[j] = ColorBlendByteHalf(d[j], c[j]);
}

}  // namespace vm
