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

// AVX-512: the same multiply-add on 64 bytes per instruction, with the
// pairs built so that no result needs moving across words afterwards. Word j
// of one pair register holds bytes 2j of D and S, word j of the other bytes
// 2j + 1: each is the flipped D or S register with the other picture's byte
// moved in by a masked in-word shuffle (one instruction per pair register,
// as many as unpacking takes). The even sums then lie in the high bytes of
// their words and the odd sums in the high bytes of theirs, already at odd
// places, so one more masked shuffle moves the even ones down into the odd
// sums' register and the 64 result bytes stand in their own order, where
// unpacked pairs need two shifts and a pack: nine vector instructions per 64
// bytes instead of eleven. The stores go to whole 64-byte lines: a masked
// block runs up to the output's first line boundary, another ends the run
// (a line split in every store costs about a tenth more).
__attribute__((target("avx512bw"))) void BlendBytesAvx512(std::uint8_t* out, const std::uint8_t* d,
                                                          const std::uint8_t* __restrict s,
                                                          std::int64_t n, unsigned w) {
  if (n <= 0) return;
  const __m512i weights = _mm512_set1_epi16(std::int16_t(w | ((255 - w) << 8)));
  const __m512i flip = _mm512_set1_epi8(std::int8_t(0x80));
  const __m512i bias = _mm512_set1_epi16(std::int16_t(32767));
  // In-word shuffles (vpshufb indexes within each 16-byte lane): "up" copies
  // byte 2j to 2j + 1, "down" byte 2j + 1 to 2j.
  const __m512i up = _mm512_set_epi64(
      0x0E0E0C0C0A0A0808ll, 0x0606040402020000ll, 0x0E0E0C0C0A0A0808ll, 0x0606040402020000ll,
      0x0E0E0C0C0A0A0808ll, 0x0606040402020000ll, 0x0E0E0C0C0A0A0808ll, 0x0606040402020000ll);
  const __m512i down = _mm512_set_epi64(
      0x0F0F0D0D0B0B0909ll, 0x0707050503030101ll, 0x0F0F0D0D0B0B0909ll, 0x0707050503030101ll,
      0x0F0F0D0D0B0B0909ll, 0x0707050503030101ll, 0x0F0F0D0D0B0B0909ll, 0x0707050503030101ll);
  const __mmask64 odd = 0xAAAAAAAAAAAAAAAAull;
  auto blend = [&](__m512i dv, __m512i sv) __attribute__((target("avx512bw"))) {
    dv = _mm512_xor_si512(dv, flip);
    sv = _mm512_xor_si512(sv, flip);
    const __m512i evens = _mm512_mask_shuffle_epi8(dv, odd, sv, up);    // D2j, S2j
    const __m512i odds = _mm512_mask_shuffle_epi8(sv, ~odd, dv, down);  // D2j+1, S2j+1
    const __m512i e = _mm512_add_epi16(_mm512_maddubs_epi16(weights, evens), bias);
    const __m512i o = _mm512_add_epi16(_mm512_maddubs_epi16(weights, odds), bias);
    // The even results (high bytes of e) down into the low bytes of o.
    return _mm512_mask_shuffle_epi8(o, ~odd, e, down);
  };
  auto partial = [&](std::int64_t at, std::int64_t count) __attribute__((target("avx512bw"))) {
    const __mmask64 m = count >= 64 ? ~0ull : (1ull << count) - 1;
    const __m512i r = blend(_mm512_maskz_loadu_epi8(m, d + at), _mm512_maskz_loadu_epi8(m, s + at));
    _mm512_mask_storeu_epi8(out + at, m, r);
  };
  std::int64_t i = std::int64_t((64 - (reinterpret_cast<std::uintptr_t>(out) & 63)) & 63);
  if (i >= n) {
    partial(0, n);
    return;
  }
  if (i > 0) partial(0, i);
  for (; i + 64 <= n; i += 64)
    _mm512_store_si512(out + i, blend(_mm512_loadu_si512(d + i), _mm512_loadu_si512(s + i)));
  if (i < n) partial(i, n - i);
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

namespace {

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// ColorBlendByte on 8 or 16 lanes: t = v * p + k50 (k50 = k + 50), then
// q = mulhi(t, 5243) >> 3 and, rounding halves to even, one step back at an
// odd half (rounding halves up, q is the result).
template <bool Even>
inline __m128i ColorBlend8(__m128i v, __m128i p, __m128i k50) {
  const __m128i t = _mm_add_epi16(_mm_mullo_epi16(v, p), k50);
  const __m128i q = _mm_srli_epi16(_mm_mulhi_epu16(t, _mm_set1_epi16(5243)), 3);
  if (!Even) return q;
  const __m128i r = _mm_sub_epi16(t, _mm_mullo_epi16(q, _mm_set1_epi16(100)));
  const __m128i odd = _mm_and_si128(q, _mm_set1_epi16(1));
  return _mm_sub_epi16(q, _mm_and_si128(_mm_cmpeq_epi16(r, _mm_setzero_si128()), odd));
}

template <bool Even>
void ColorBlendBlocksSse2(std::uint8_t* d, std::int64_t blocks, const std::uint16_t* k50,
                          std::uint16_t p) {
  const __m128i pv = _mm_set1_epi16(std::int16_t(p)), zero = _mm_setzero_si128();
  for (std::int64_t b = 0; b < blocks; ++b, d += 96)
    for (int j = 0; j < 96; j += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + j));
      const __m128i lo =
          ColorBlend8<Even>(_mm_unpacklo_epi8(v, zero), pv,
                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(k50 + j)));
      const __m128i hi =
          ColorBlend8<Even>(_mm_unpackhi_epi8(v, zero), pv,
                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(k50 + j + 8)));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + j), _mm_packus_epi16(lo, hi));
    }
}

template <bool Even>
__attribute__((target("avx2"))) inline __m256i ColorBlend16(__m256i v, __m256i p, __m256i k50) {
  const __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(v, p), k50);
  const __m256i q = _mm256_srli_epi16(_mm256_mulhi_epu16(t, _mm256_set1_epi16(5243)), 3);
  if (!Even) return q;
  const __m256i r = _mm256_sub_epi16(t, _mm256_mullo_epi16(q, _mm256_set1_epi16(100)));
  const __m256i odd = _mm256_and_si256(q, _mm256_set1_epi16(1));
  return _mm256_sub_epi16(q, _mm256_and_si256(_mm256_cmpeq_epi16(r, _mm256_setzero_si256()), odd));
}

// 16 bytes widen to 16 lanes in order (vpmovzxbw); packing two results works
// within 128-bit halves, so a 64-bit permute puts the bytes back in order.
template <bool Even>
__attribute__((target("avx2"))) void ColorBlendBlocksAvx2(std::uint8_t* d, std::int64_t blocks,
                                                          const std::uint16_t* k50,
                                                          std::uint16_t p) {
  const __m256i pv = _mm256_set1_epi16(std::int16_t(p));
  for (std::int64_t b = 0; b < blocks; ++b, d += 96)
    for (int j = 0; j < 96; j += 32) {
      const __m256i lo = ColorBlend16<Even>(
          _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d + j))), pv,
          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(k50 + j)));
      const __m256i hi = ColorBlend16<Even>(
          _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d + j + 16))), pv,
          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(k50 + j + 16)));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + j),
                          _mm256_permute4x64_epi64(_mm256_packus_epi16(lo, hi), 0xD8));
    }
}
#endif

template <bool Even>
void ColorBlendBlocksPortable(std::uint8_t* __restrict d, std::int64_t blocks,
                              const std::uint16_t* __restrict k, std::uint16_t p) {
  for (std::int64_t b = 0; b < blocks; ++b, d += 96)
    for (int j = 0; j < 96; ++j)
      d[j] = Even ? ColorBlendByte(d[j], p, k[j]) : ColorBlendByteHalfUp(d[j], p, k[j]);
}

template <bool Even>
void ColorBlendAt(int level, std::uint8_t* d, std::int64_t blocks, const std::uint16_t* k,
                  std::uint16_t p) {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  std::uint16_t k50[96];
  for (int j = 0; j < 96; ++j) k50[j] = std::uint16_t(k[j] + 50);
  if (level >= 2 && BestBlendLevel() >= 1)
    ColorBlendBlocksAvx2<Even>(d, blocks, k50, p);
  else if (level == 1)
    ColorBlendBlocksSse2<Even>(d, blocks, k50, p);
  else
    ColorBlendBlocksPortable<Even>(d, blocks, k, p);
#else
  (void)level;
  ColorBlendBlocksPortable<Even>(d, blocks, k, p);
#endif
}

int BestColorBlendLevel() {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  static const int level = BestBlendLevel() >= 1 ? 2 : 1;
  return level;
#else
  return 0;
#endif
}

}  // namespace

void ColorBlendBlocks(std::uint8_t* __restrict d, std::int64_t blocks,
                      const std::uint16_t* __restrict k, std::uint16_t p) {
  ColorBlendAt<true>(BestColorBlendLevel(), d, blocks, k, p);
}

void ColorBlendBlocksHalfUp(std::uint8_t* __restrict d, std::int64_t blocks,
                            const std::uint16_t* __restrict k, std::uint16_t p) {
  ColorBlendAt<false>(BestColorBlendLevel(), d, blocks, k, p);
}

int ColorBlendLevels() {
  return BestColorBlendLevel() + 1;
}

void ColorBlendBlocksAtLevel(int level, bool halfUp, std::uint8_t* d, std::int64_t blocks,
                             const std::uint16_t* k, std::uint16_t p) {
  if (halfUp)
    ColorBlendAt<false>(level, d, blocks, k, p);
  else
    ColorBlendAt<true>(level, d, blocks, k, p);
}

VM_HOT_LOOP
void ColorBlendBlocksHalf(std::uint8_t* __restrict d, std::int64_t blocks,
                          const std::uint16_t* __restrict c) {
  for (std::int64_t b = 0; b < blocks; ++b, d += 96)
    for (int j = 0; j < 96; ++j) d[j] = ColorBlendByteHalf(d[j], c[j]);
}

}  // namespace vm
