#include "skin/paint/pixels/Kernels.h"

#include <algorithm>
#include <cstring>
#include <utility>

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

TColorBlend MakeColorBlend(std::uint16_t p, const int channel[3], const THalfRounding mode[3],
                           const TByteSet* down) {
  TColorBlend b;
  b.P = p;
  for (int ch = 0; ch < 3; ++ch) {
    b.K[ch] = std::uint16_t((100 - p) * channel[ch]);
    b.Mode[ch] = mode[ch];
    b.Uniform = b.Uniform && mode[ch] == mode[0];
    b.Listed = b.Listed || mode[ch] == THalfRounding::Listed;
    // The byte values that step down from the rounded-up quotient.
    for (int v = 0; v < 256; ++v) {
      const auto byte = std::uint8_t(v);
      const bool steps = mode[ch] == THalfRounding::Listed
                             ? down && InByteSet(down[ch], byte)
                             : ColorBlendByteRounded(byte, p, b.K[ch], mode[ch]) !=
                                   ColorBlendByteRounded(byte, p, b.K[ch], THalfRounding::Up);
      if (steps) b.Down[ch][v >> 3] = std::uint8_t(b.Down[ch][v >> 3] | (1u << (v & 7)));
    }
    for (int i = 0; i < 32; ++i) {
      b.DownLow[ch][i] = b.Down[ch][i & 15];
      b.DownHigh[ch][i] = b.Down[ch][16 + (i & 15)];
    }
  }
  // Lane j of a block holds its bytes 2j (the even product) and 2j + 1 (the
  // odd one); a block starting at channel `phase` has byte i in channel
  // (phase + i) % 3. Biased lanes add back the 128 * 2p that moving the byte
  // to -128..127 took off (wrapping: the true sum fits 16 bits).
  for (int phase = 0; phase < 3; ++phase)
    for (int i = 0; i < 32; ++i) {
      const int ch = (phase + i) % 3;
      const auto add = std::uint16_t(2 * (b.K[ch] + 50));
      std::uint16_t* plain = i % 2 ? b.Plain[phase].AddOdd : b.Plain[phase].AddEven;
      std::uint16_t* biased = i % 2 ? b.Biased[phase].AddOdd : b.Biased[phase].AddEven;
      plain[i / 2] = add;
      biased[i / 2] = std::uint16_t(add + 256 * p);
      std::uint8_t mask = 0, value = 0xFF;  // rounding up: never a match
      if (mode[ch] == THalfRounding::Down)
        mask = 0x7F, value = 0;
      else if (mode[ch] == THalfRounding::Even)
        mask = 0xFF, value = 0x80;
      for (TColorBlend::TLanes* l : {&b.Plain[phase], &b.Biased[phase]}) {
        l->HalfMask[i] = mask;
        l->HalfValue[i] = value;
        for (int k = 0; k < 3; ++k) l->IsChannel[k][i] = k == ch ? 0xFF : 0;
      }
    }

  // The cancelling kernel's lanes and tables (see TColorBlend::Cancel).
  int listedChannels = 0;
  for (int ch = 0; ch < 3; ++ch)
    if (mode[ch] == THalfRounding::Listed) ++listedChannels, b.CancelChannel = ch;
  b.Cancel = listedChannels == 1;
  if (b.Cancel) {
    const int ch = b.CancelChannel;
    std::uint8_t up[32] = {}, down[32] = {};
    for (int v = 0; v < 256; ++v) {
      const unsigned t = unsigned(v) * p + b.K[ch] + 50u;
      const bool steps = InByteSet(b.Down[ch], std::uint8_t(v));
      if (t % 100 != 0)
        b.Cancel = b.Cancel && !steps;  // only halves can be told apart here
      else if (steps)
        down[v >> 3] = 0xFF;
      else
        up[v >> 3] = 0xFF;
    }
    for (int i = 0; i < 32; ++i) b.Cancel = b.Cancel && !(up[i] && down[i]);
    b.CancelAnyChannel = true;
    for (int other = 0; other < 3; ++other)
      for (int v = 0; v < 256 && other != ch; ++v)
        if (up[v >> 3] && InByteSet(b.Down[other], std::uint8_t(v))) b.CancelAnyChannel = false;
    for (int i = 0; i < 32; ++i) {
      b.UpLow[i] = up[i & 15];
      b.UpHigh[i] = up[16 + (i & 15)];
    }
    for (int phase = 0; phase < 3; ++phase) {
      b.CancelLanes[phase] = b.Biased[phase];
      b.CancelPlainLanes[phase] = b.Plain[phase];
      for (int i = 0; i < 32; ++i)
        if ((phase + i) % 3 == ch)
          for (TColorBlend::TLanes* l : {&b.CancelLanes[phase], &b.CancelPlainLanes[phase]}) {
            l->HalfMask[i] = 0x7F;
            l->HalfValue[i] = 0;
          }
    }
  }

  for (int phase = 0; phase < 3; ++phase)
    for (int i = 0; i < 32; ++i) {
      const int ch = (phase + i) % 3;
      b.Average[phase].Channel[i] = std::uint8_t(channel[ch]);
      b.Average[phase].Up[i] = mode[ch] == THalfRounding::Even ? 0 : 1;
      b.Average[phase].Down[i] = mode[ch] == THalfRounding::Up ? 0 : 1;
    }

  // The period of the halves in byte values: 100 / gcd(p, 100).
  int gcd = 100;
  for (int a = p; a != 0;) gcd = std::exchange(a, gcd % a);
  const int period = 100 / gcd;
  b.BitStep = !b.Listed && (period <= 4 || (b.Uniform && mode[0] == THalfRounding::Up));
  if (!b.BitStep) return b;
  std::uint8_t mask[3], value[3];
  for (int ch = 0; ch < 3; ++ch) {
    // The first byte value (modulo the test's reach) that steps down.
    mask[ch] = std::uint8_t(mode[ch] == THalfRounding::Down ? period - 1 : 2 * period - 1);
    value[ch] = 0xFF;
    if (mode[ch] != THalfRounding::Up)
      for (int v = 2 * period - 1; v >= 0; --v)
        if (ColorBlendByteRounded(std::uint8_t(v), p, b.K[ch], mode[ch]) !=
            ColorBlendByteRounded(std::uint8_t(v), p, b.K[ch], THalfRounding::Up))
          value[ch] = std::uint8_t(v & mask[ch]);
  }
  for (int phase = 0; phase < 3; ++phase)
    for (int i = 0; i < 32; ++i) {
      const int ch = (phase + i) % 3;
      std::uint16_t* add = i % 2 ? b.Bits[phase].AddOdd : b.Bits[phase].AddEven;
      add[i / 2] = std::uint16_t(b.K[ch] + 50);
      b.Bits[phase].HalfMask[i] = mask[ch];
      b.Bits[phase].HalfValue[i] = value[ch];
    }
  return b;
}

namespace {

void ColorBlendRunPortable(std::uint8_t* d, std::int64_t n, std::int64_t rows,
                           std::ptrdiff_t stride, const TColorBlend& b) {
  // Every mode's steps are in the channels' sets, listed or not.
  for (std::int64_t row = 0; row < rows; ++row, d += stride)
    for (std::int64_t i = 0; i < n; ++i)
      d[i] = ColorBlendByteListed(d[i], b.P, b.K[i % 3], b.Down[i % 3]);
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// Walks runs of n bytes, `rows` of them `stride` bytes apart, in 32-byte
// blocks, handing each block its lanes. The block starting at byte i begins
// with channel i % 3; 96 bytes hold three blocks whose phases repeat (0, 2,
// 1). A run rarely ends on a whole block: its last 32 bytes are read before
// the blocks that overlap them are written and blended last, so that the
// bytes blended twice are written the same value both times. Runs under 32
// bytes go through a zeroed block on the stack.
template <class TLanesOf, class TBlock>
__attribute__((always_inline)) inline void WalkColorBlendRuns(std::uint8_t* d,
                                                              std::ptrdiff_t stride, std::int64_t n,
                                                              std::int64_t rows,
                                                              const TLanesOf* lanes,
                                                              TBlock&& block) {
  if (n <= 0) return;
  for (std::int64_t row = 0; row < rows; ++row, d += stride) {
    if (n < 32) {
      alignas(32) std::uint8_t tmp[32] = {};
      std::memcpy(tmp, d, std::size_t(n));
      block(tmp, tmp, lanes[0]);
      std::memcpy(d, tmp, std::size_t(n));
      continue;
    }
    const std::int64_t last = n - 32;
    std::int64_t i = 0;
    for (; i + 96 <= last; i += 96) {
      block(d + i, d + i, lanes[0]);
      block(d + i + 32, d + i + 32, lanes[2]);
      block(d + i + 64, d + i + 64, lanes[1]);
    }
    alignas(32) std::uint8_t tail[32];
    std::memcpy(tail, d + last, 32);
    for (; i < last; i += 32) block(d + i, d + i, lanes[i % 3]);
    block(d + last, tail, lanes[last % 3]);
  }
}

// How a kernel takes the half step: not at all (every half rounds up), the
// same test for every byte, each byte's own test, or the old byte looked up
// in its channel's set of values that step down. (With AVX2, blends whose
// halves all round up take the kernel without a step below.)
enum THalfStep { kNoStep, kSameStep, kOwnStep, kListStep, kCancelStep };

// The start every SSE kernel shares, for 16 old bytes at in: each byte's
// numerator 2 (v p + k + 50) in a 16-bit lane (even bytes in E, odd in O),
// multiplied high by the reciprocal of 100, so that a lane's bits 7 and up
// are the rounded-up quotient and its low 7 bits are 0 exactly at a half.
struct TSseQuotients {
  __m128i V, E, O, R;  // R: the rounded-up quotients, one byte each
};

inline TSseQuotients SseQuotients(const std::uint8_t* in, const TColorBlend::TLanes& l, int j,
                                  __m128i p2) {
  const __m128i lowBytes = _mm_set1_epi16(0x00FF);
  const __m128i rcp = _mm_set1_epi16(std::int16_t(kRecip100));
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
  const __m128i e = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(v, lowBytes), p2),
                                  _mm_load_si128(reinterpret_cast<const __m128i*>(l.AddEven + j)));
  const __m128i o = _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(v, 8), p2),
                                  _mm_load_si128(reinterpret_cast<const __m128i*>(l.AddOdd + j)));
  const __m128i qe = _mm_mulhi_epu16(e, rcp), qo = _mm_mulhi_epu16(o, rcp);
  const __m128i r =
      _mm_or_si128(_mm_srli_epi16(qe, 7),
                   _mm_and_si128(_mm_slli_epi16(qo, 1), _mm_set1_epi16(std::int16_t(0xFF00))));
  return {v, qe, qo, r};
}

// SSE2 (the x86-64 baseline): the bytes' products by 2p with a multiply-low
// of the even bytes masked out and the odd ones shifted down; then as the
// AVX2 kernel below, 16 bytes at a time.
template <THalfStep Step>
void ColorBlendRunSse2(std::uint8_t* d, std::int64_t n, std::int64_t rows, std::ptrdiff_t stride,
                       const TColorBlend& b) {
  const __m128i p2 = _mm_set1_epi16(std::int16_t(2 * b.P));
  const __m128i lowBytes = _mm_set1_epi16(0x00FF);
  auto at = [](const void* q) { return _mm_load_si128(static_cast<const __m128i*>(q)); };
  auto half = [&](std::uint8_t* out, const std::uint8_t* in, const TColorBlend::TLanes& l, int j) {
    const TSseQuotients q = SseQuotients(in, l, j, p2);
    __m128i r = q.R;
    const __m128i e = q.E, o = q.O;
    if (Step != kNoStep) {
      const __m128i low = _mm_or_si128(_mm_and_si128(e, lowBytes), _mm_slli_epi16(o, 8));
      r = _mm_add_epi8(
          r, _mm_cmpeq_epi8(_mm_and_si128(low, at(l.HalfMask + 2 * j)), at(l.HalfValue + 2 * j)));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), r);
  };
  WalkColorBlendRuns(d, stride, n, rows, b.Plain,
                     [&](std::uint8_t* out, const std::uint8_t* in, const TColorBlend::TLanes& l) {
                       half(out, in, l, 0);
                       half(out + 16, in + 16, l, 8);
                     });
}

// SSSE3, for blends with listed halves: the SSE2 kernel's rounded-up
// quotients, less one where the old byte v is in its channel's set. The set
// byte v >> 3 comes from two 16-byte shuffle tables (values below 128 and
// the rest; a shuffle index with its top bit set gives 0, so v's own top bit
// picks the table), one lookup per channel kept where the byte is of that
// channel; the bit 1 << (v & 7) from one more shuffle.
__attribute__((target("ssse3"))) void ColorBlendRunListedSsse3(std::uint8_t* d, std::int64_t n,
                                                               std::int64_t rows,
                                                               std::ptrdiff_t stride,
                                                               const TColorBlend& b) {
  const __m128i p2 = _mm_set1_epi16(std::int16_t(2 * b.P));
  const __m128i low4 = _mm_set1_epi8(0x0F), low3 = _mm_set1_epi8(0x07);
  const __m128i top = _mm_set1_epi8(std::int8_t(0x80));
  const __m128i bits = _mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
  auto at = [](const void* q) { return _mm_load_si128(static_cast<const __m128i*>(q)); };
  __m128i lo[3], hi[3];
  for (int ch = 0; ch < 3; ++ch) lo[ch] = at(b.DownLow[ch]), hi[ch] = at(b.DownHigh[ch]);
  auto half = [&](std::uint8_t * out, const std::uint8_t* in, const TColorBlend::TLanes& l, int j)
      __attribute__((target("ssse3"))) {
    const TSseQuotients q = SseQuotients(in, l, j, p2);
    const __m128i v = q.V, r = q.R;
    const __m128i idxLow =
        _mm_or_si128(_mm_and_si128(_mm_srli_epi16(v, 3), low4), _mm_and_si128(v, top));
    const __m128i idxHigh = _mm_xor_si128(idxLow, top);
    __m128i set = _mm_setzero_si128();
    for (int ch = 0; ch < 3; ++ch) {
      const __m128i s =
          _mm_or_si128(_mm_shuffle_epi8(lo[ch], idxLow), _mm_shuffle_epi8(hi[ch], idxHigh));
      set = _mm_or_si128(set, _mm_and_si128(s, at(l.IsChannel[ch] + 2 * j)));
    }
    const __m128i bit = _mm_shuffle_epi8(bits, _mm_and_si128(v, low3));
    const __m128i step = _mm_cmpeq_epi8(_mm_and_si128(set, bit), bit);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_add_epi8(r, step));
  };
  WalkColorBlendRuns(
      d, stride, n, rows, b.Plain,
      [&](std::uint8_t * out, const std::uint8_t* in, const TColorBlend::TLanes& l)
          __attribute__((target("ssse3"))) {
            half(out, in, l, 0);
            half(out + 16, in + 16, l, 8);
          });
}

// SSSE3 with one listed channel whose halves lie apart (TColorBlend::Cancel):
// every half of that channel steps down with the other channels' own steps,
// and steps back where its block of byte values is marked as rounding up.
// A shuffle index with its top bit set gives 0, so the old byte's own top
// bit picks the table of the values below 128 or of the rest.
template <bool AnyChannel>
__attribute__((target("ssse3"))) void ColorBlendRunCancelSsse3(std::uint8_t* d, std::int64_t n,
                                                               std::int64_t rows,
                                                               std::ptrdiff_t stride,
                                                               const TColorBlend& b) {
  const __m128i p2 = _mm_set1_epi16(std::int16_t(2 * b.P));
  const __m128i lowBytes = _mm_set1_epi16(0x00FF);
  const __m128i low4 = _mm_set1_epi8(0x0F), top = _mm_set1_epi8(std::int8_t(0x80));
  auto at = [](const void* q) { return _mm_load_si128(static_cast<const __m128i*>(q)); };
  const __m128i upLow = at(b.UpLow), upHigh = at(b.UpHigh);
  const int channel = b.CancelChannel;
  auto half = [&](std::uint8_t * out, const std::uint8_t* in, const TColorBlend::TLanes& l, int j)
      __attribute__((target("ssse3"))) {
    const TSseQuotients q = SseQuotients(in, l, j, p2);
    const __m128i v = q.V, e = q.E, o = q.O, r = q.R;
    const __m128i low = _mm_or_si128(_mm_and_si128(e, lowBytes), _mm_slli_epi16(o, 8));
    const __m128i step =
        _mm_cmpeq_epi8(_mm_and_si128(low, at(l.HalfMask + 2 * j)), at(l.HalfValue + 2 * j));
    const __m128i idxLow =
        _mm_or_si128(_mm_and_si128(_mm_srli_epi16(v, 3), low4), _mm_and_si128(v, top));
    __m128i up = _mm_or_si128(_mm_shuffle_epi8(upLow, idxLow),
                              _mm_shuffle_epi8(upHigh, _mm_xor_si128(idxLow, top)));
    if (!AnyChannel) up = _mm_and_si128(up, at(l.IsChannel[channel] + 2 * j));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_add_epi8(r, _mm_andnot_si128(up, step)));
  };
  WalkColorBlendRuns(
      d, stride, n, rows, b.CancelPlainLanes,
      [&](std::uint8_t * out, const std::uint8_t* in, const TColorBlend::TLanes& l)
          __attribute__((target("ssse3"))) {
            half(out, in, l, 0);
            half(out + 16, in + 16, l, 8);
          });
}

__attribute__((target("avx2"))) inline __m256i LoadLanes(const void* q) {
  return _mm256_load_si256(static_cast<const __m256i*>(q));
}

// AVX2: the products come from one multiply-add each, the weights (2p, 0)
// and (0, 2p) as its unsigned operand and the bytes, moved to -128..127 by
// flipping their top bit, as its signed one: 2p * (v - 128) never
// saturates. After the multiply-high h by the reciprocal, the even lanes'
// quotients are h >> 7 (in their low bytes) and the odd lanes' h << 1 (in
// their high bytes), blended byte-wise. The half step runs on bytes too: the
// low bytes of the even and odd h side by side, masked and compared, give
// -1 where a byte steps down.
// AVX2 at 25, 50 and 75 % (and wherever every half rounds up): the
// products by p from one multiply-add each, the bytes as its unsigned
// operand; t = N + 50 <= 25550 divides by 100 as floor(t * 5243 / 2^19),
// exact up to 43690. The step, where there is one, is a test of the old
// byte's low bits.
template <bool Step>
__attribute__((target("avx2"))) void ColorBlendRunBitsAvx2(std::uint8_t* d, std::int64_t n,
                                                           std::int64_t rows, std::ptrdiff_t stride,
                                                           const TColorBlend& b) {
  const __m256i we = _mm256_set1_epi16(std::int16_t(b.P));
  const __m256i wo = _mm256_set1_epi16(std::int16_t(b.P << 8));
  const __m256i rcp = _mm256_set1_epi16(5243);
  const __m256i highBytes = _mm256_set1_epi16(std::int16_t(0xFF00));
  auto block = [&](std::uint8_t * out, const std::uint8_t* in, const TColorBlend::TLanes& l)
      __attribute__((target("avx2"))) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
    __m256i e = _mm256_add_epi16(_mm256_maddubs_epi16(v, we), LoadLanes(l.AddEven));
    __m256i o = _mm256_add_epi16(_mm256_maddubs_epi16(v, wo), LoadLanes(l.AddOdd));
    e = _mm256_mulhi_epu16(e, rcp);
    o = _mm256_mulhi_epu16(o, rcp);
    // o < 2048, so o << 5 has the quotient o >> 3 in its high byte.
    __m256i r = _mm256_blendv_epi8(_mm256_srli_epi16(e, 3), _mm256_slli_epi16(o, 5), highBytes);
    if (Step)
      r = _mm256_add_epi8(
          r, _mm256_cmpeq_epi8(_mm256_and_si256(v, LoadLanes(l.HalfMask)), LoadLanes(l.HalfValue)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), r);
  };
  WalkColorBlendRuns(d, stride, n, rows, b.Bits, block);
}

// AVX2 at 50 %: the average, no multiply at all.
__attribute__((target("avx2"))) void ColorBlendRunAverageAvx2(std::uint8_t* d, std::int64_t n,
                                                              std::int64_t rows,
                                                              std::ptrdiff_t stride,
                                                              const TColorBlend& b) {
  auto block = [&](std::uint8_t * out, const std::uint8_t* in, const TColorBlend::TAverageLanes& a)
      __attribute__((target("avx2"))) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
    const __m256i c = LoadLanes(a.Channel);
    const __m256i avg = _mm256_avg_epu8(v, c);
    const __m256i step = _mm256_and_si256(
        _mm256_and_si256(_mm256_xor_si256(v, c), _mm256_or_si256(avg, LoadLanes(a.Up))),
        LoadLanes(a.Down));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_sub_epi8(avg, step));
  };
  WalkColorBlendRuns(d, stride, n, rows, b.Average, block);
}

// Listed: for kListStep, how many channels are listed (their lookups are
// the costly part, so a blend with one listed channel does one; the others
// take their own step as kOwnStep does); for kCancelStep, 1 when the marks
// need no test of the byte's channel.
template <THalfStep Step, int Listed = 0>
__attribute__((target("avx2"))) void ColorBlendRunAvx2(std::uint8_t* d, std::int64_t n,
                                                       std::int64_t rows, std::ptrdiff_t stride,
                                                       const TColorBlend& b) {
  const __m256i we = _mm256_set1_epi16(std::int16_t(2 * b.P));
  const __m256i wo = _mm256_set1_epi16(std::int16_t((2 * b.P) << 8));
  const __m256i flip = _mm256_set1_epi8(std::int8_t(0x80));
  const __m256i rcp = _mm256_set1_epi16(std::int16_t(kRecip100));
  const __m256i highBytes = _mm256_set1_epi16(std::int16_t(0xFF00));
  const __m256i sameMask = LoadLanes(b.Biased[0].HalfMask);
  const __m256i sameValue = LoadLanes(b.Biased[0].HalfValue);
  // The listed step, as in the SSSE3 kernel; here a byte blend picks the
  // table by the byte's top bit (flipped in x: set below 128). Bits 0..6 of
  // x are the byte's own.
  const __m256i low4 = _mm256_set1_epi8(0x0F), low3 = _mm256_set1_epi8(0x07);
  const __m256i bits = _mm256_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128,
                                        1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
  const __m256i upLow = LoadLanes(b.UpLow), upHigh = LoadLanes(b.UpHigh);
  const int cancelChannel = b.CancelChannel;
  constexpr int kLists = Listed > 0 ? Listed : 1;
  __m256i lo[kLists] = {}, hi[kLists] = {};
  int listed[kLists] = {};
  for (int ch = 0, k = 0; ch < 3 && k < Listed; ++ch)
    if (b.Mode[ch] == THalfRounding::Listed) {
      listed[k] = ch;
      lo[k] = LoadLanes(b.DownLow[ch]);
      hi[k++] = LoadLanes(b.DownHigh[ch]);
    }
  auto block = [&](std::uint8_t * out, const std::uint8_t* in, const TColorBlend::TLanes& l)
      __attribute__((target("avx2"))) {
    const __m256i x =
        _mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in)), flip);
    __m256i e = _mm256_add_epi16(_mm256_maddubs_epi16(we, x), LoadLanes(l.AddEven));
    __m256i o = _mm256_add_epi16(_mm256_maddubs_epi16(wo, x), LoadLanes(l.AddOdd));
    e = _mm256_mulhi_epu16(e, rcp);
    o = _mm256_mulhi_epu16(o, rcp);
    __m256i r = _mm256_blendv_epi8(_mm256_srli_epi16(e, 7), _mm256_slli_epi16(o, 1), highBytes);
    if (Step == kCancelStep) {
      const __m256i low = _mm256_blendv_epi8(e, _mm256_slli_epi16(o, 8), highBytes);
      const __m256i step =
          _mm256_cmpeq_epi8(_mm256_and_si256(low, LoadLanes(l.HalfMask)), LoadLanes(l.HalfValue));
      const __m256i idx = _mm256_and_si256(_mm256_srli_epi16(x, 3), low4);
      __m256i up =
          _mm256_blendv_epi8(_mm256_shuffle_epi8(upHigh, idx), _mm256_shuffle_epi8(upLow, idx), x);
      if (Listed == 0) up = _mm256_and_si256(up, LoadLanes(l.IsChannel[cancelChannel]));
      r = _mm256_add_epi8(r, _mm256_andnot_si256(up, step));
    } else if (Step == kListStep) {
      const __m256i idx = _mm256_and_si256(_mm256_srli_epi16(x, 3), low4);
      __m256i set = _mm256_setzero_si256();
      for (int k = 0; k < Listed; ++k) {
        const __m256i t =
            _mm256_blendv_epi8(_mm256_shuffle_epi8(hi[k], idx), _mm256_shuffle_epi8(lo[k], idx), x);
        set = _mm256_or_si256(set, _mm256_and_si256(t, LoadLanes(l.IsChannel[listed[k]])));
      }
      const __m256i bit = _mm256_shuffle_epi8(bits, _mm256_and_si256(x, low3));
      __m256i step = _mm256_cmpeq_epi8(_mm256_and_si256(set, bit), bit);
      if (Listed < 3) {
        // The other channels' own test (listed bytes never match theirs).
        const __m256i low = _mm256_blendv_epi8(e, _mm256_slli_epi16(o, 8), highBytes);
        step = _mm256_or_si256(step, _mm256_cmpeq_epi8(_mm256_and_si256(low, LoadLanes(l.HalfMask)),
                                                       LoadLanes(l.HalfValue)));
      }
      r = _mm256_add_epi8(r, step);
    } else if (Step != kNoStep) {
      const __m256i low = _mm256_blendv_epi8(e, _mm256_slli_epi16(o, 8), highBytes);
      const __m256i mask = Step == kSameStep ? sameMask : LoadLanes(l.HalfMask);
      const __m256i value = Step == kSameStep ? sameValue : LoadLanes(l.HalfValue);
      r = _mm256_add_epi8(r, _mm256_cmpeq_epi8(_mm256_and_si256(low, mask), value));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), r);
  };
  WalkColorBlendRuns(d, stride, n, rows, Step == kCancelStep ? b.CancelLanes : b.Biased, block);
}
#endif

int BestColorBlendLevel() {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  static const int level = BestBlendLevel() >= 1 ? 3 : __builtin_cpu_supports("ssse3") ? 2 : 1;
  return level;
#else
  return 0;
#endif
}

}  // namespace

void ColorBlendRunAtLevel(int level, std::uint8_t* d, std::int64_t n, std::int64_t rows,
                          std::ptrdiff_t stride, const TColorBlend& b) {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  level = std::min(level, BestColorBlendLevel());
  const bool allUp = b.Uniform && b.Mode[0] == THalfRounding::Up;
  if (b.Listed) {
    // Plain SSE2 has no byte shuffle to look the sets up with.
    const int listed = int(b.Mode[0] == THalfRounding::Listed) +
                       int(b.Mode[1] == THalfRounding::Listed) +
                       int(b.Mode[2] == THalfRounding::Listed);
    if (level >= 3 && b.Cancel)
      b.CancelAnyChannel ? ColorBlendRunAvx2<kCancelStep, 1>(d, n, rows, stride, b)
                         : ColorBlendRunAvx2<kCancelStep, 0>(d, n, rows, stride, b);
    else if (level >= 3 && listed == 1)
      ColorBlendRunAvx2<kListStep, 1>(d, n, rows, stride, b);
    else if (level >= 3 && listed == 2)
      ColorBlendRunAvx2<kListStep, 2>(d, n, rows, stride, b);
    else if (level >= 3)
      ColorBlendRunAvx2<kListStep, 3>(d, n, rows, stride, b);
    else if (level == 2 && b.Cancel)
      b.CancelAnyChannel ? ColorBlendRunCancelSsse3<true>(d, n, rows, stride, b)
                         : ColorBlendRunCancelSsse3<false>(d, n, rows, stride, b);
    else if (level == 2)
      ColorBlendRunListedSsse3(d, n, rows, stride, b);
    else
      ColorBlendRunPortable(d, n, rows, stride, b);
  } else if (level >= 3 && b.P == 50)
    ColorBlendRunAverageAvx2(d, n, rows, stride, b);
  else if (level >= 3 && b.BitStep)
    allUp ? ColorBlendRunBitsAvx2<false>(d, n, rows, stride, b)
          : ColorBlendRunBitsAvx2<true>(d, n, rows, stride, b);
  else if (level >= 3)
    b.Uniform ? ColorBlendRunAvx2<kSameStep>(d, n, rows, stride, b)
              : ColorBlendRunAvx2<kOwnStep>(d, n, rows, stride, b);
  else if (level >= 1)
    allUp ? ColorBlendRunSse2<kNoStep>(d, n, rows, stride, b)
          : ColorBlendRunSse2<kOwnStep>(d, n, rows, stride, b);
  else
    ColorBlendRunPortable(d, n, rows, stride, b);
#else
  (void)level;
  ColorBlendRunPortable(d, n, rows, stride, b);
#endif
}

void ColorBlendRun(std::uint8_t* d, std::int64_t n, std::int64_t rows, std::ptrdiff_t stride,
                   const TColorBlend& b) {
  ColorBlendRunAtLevel(BestColorBlendLevel(), d, n, rows, stride, b);
}

int ColorBlendLevels() {
  return BestColorBlendLevel() + 1;
}

}  // namespace vm
