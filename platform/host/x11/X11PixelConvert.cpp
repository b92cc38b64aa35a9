#include "platform/host/x11/X11PixelConvert.h"

#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define VM_X86_SHUFFLES 1
#endif

namespace vm {

namespace {

// Four pixels at a time: three 32-bit loads hold exactly four B, G, R
// triples, which shifts spread over four 32-bit pixels; the rest one by one.
void Portable(const std::uint8_t* src, std::uint8_t* dst, int n) {
  int x = 0;
  for (; x + 4 <= n; x += 4) {
    std::uint32_t w[3];
    std::memcpy(w, src, 12);
    const std::uint32_t p[4] = {
        w[0] & 0xFFFFFFu,
        (w[0] >> 24 | w[1] << 8) & 0xFFFFFFu,
        (w[1] >> 16 | w[2] << 16) & 0xFFFFFFu,
        w[2] >> 8,
    };
    std::memcpy(dst, p, 16);
    dst += 16;
    src += 12;
  }
  for (; x < n; ++x) {
    const std::uint32_t v =
        std::uint32_t(src[0]) | std::uint32_t(src[1]) << 8 | std::uint32_t(src[2]) << 16;
    std::memcpy(dst, &v, 4);
    dst += 4;
    src += 3;
  }
}

#ifdef VM_X86_SHUFFLES

// SSSE3: sixteen pixels (48 bytes, exactly three loads) per round; the
// pixels that straddle two loads are lined up with palignr first. The
// shuffle spreads the first twelve bytes of a register over four pixels; its
// -128 entries clear the X bytes.
__attribute__((target("ssse3"))) void Ssse3(const std::uint8_t* src, std::uint8_t* dst, int n) {
  const __m128i spread =
      _mm_setr_epi8(0, 1, 2, -128, 3, 4, 5, -128, 6, 7, 8, -128, 9, 10, 11, -128);
  int x = 0;
  for (; x + 16 <= n; x += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16));
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 32));
    auto* out = reinterpret_cast<__m128i*>(dst);
    _mm_storeu_si128(out, _mm_shuffle_epi8(a, spread));
    _mm_storeu_si128(out + 1, _mm_shuffle_epi8(_mm_alignr_epi8(b, a, 12), spread));
    _mm_storeu_si128(out + 2, _mm_shuffle_epi8(_mm_alignr_epi8(c, b, 8), spread));
    _mm_storeu_si128(out + 3, _mm_shuffle_epi8(_mm_srli_si128(c, 4), spread));
    src += 48;
    dst += 64;
  }
  Portable(src, dst, n - x);
}

// AVX2: eight pixels per 32-byte store, each 128-bit lane loaded with the
// sixteen bytes that start its four pixels (twelve of them used), then one
// shuffle spreads both lanes. Loads never pass the last source byte: the loop
// stops while the last load of a round still fits, and SSSE3 finishes the row.
__attribute__((target("avx2"))) void Avx2(const std::uint8_t* src, std::uint8_t* dst, int n) {
  const __m256i spread =
      _mm256_setr_epi8(0, 1, 2, -128, 3, 4, 5, -128, 6, 7, 8, -128, 9, 10, 11, -128, 0, 1, 2, -128,
                       3, 4, 5, -128, 6, 7, 8, -128, 9, 10, 11, -128);
  int x = 0;
  // A round of 32 pixels reads 16 bytes from its 31st-from-last pixel's start
  // (pixel 28): safe while 34 pixels remain (28 * 3 + 16 <= 34 * 3).
  for (; x + 34 <= n; x += 32) {
    auto* out = reinterpret_cast<__m256i*>(dst);
    for (int k = 0; k < 4; ++k) {
      const std::uint8_t* p = src + 24 * k;
      const __m256i v = _mm256_inserti128_si256(
          _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))),
          _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 12)), 1);
      _mm256_storeu_si256(out + k, _mm256_shuffle_epi8(v, spread));
    }
    src += 96;
    dst += 128;
  }
  // GCC turns the call below into a jump without clearing the upper halves
  // of the registers, and legacy SSE code after dirty upper halves runs at a
  // fraction of its speed: clear them here.
  _mm256_zeroupper();
  Ssse3(src, dst, n - x);
}

#endif

TBgrxKernel Pick() {
#ifdef VM_X86_SHUFFLES
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return TBgrxKernel::Avx2;
  if (__builtin_cpu_supports("ssse3")) return TBgrxKernel::Ssse3;
#endif
  return TBgrxKernel::Portable;
}

}  // namespace

bool BgrToBgrxAvailable(TBgrxKernel kernel) {
#ifdef VM_X86_SHUFFLES
  __builtin_cpu_init();
  switch (kernel) {
    case TBgrxKernel::Portable:
      return true;
    case TBgrxKernel::Ssse3:
      return __builtin_cpu_supports("ssse3");
    case TBgrxKernel::Avx2:
      return __builtin_cpu_supports("avx2");
  }
  return false;
#else
  return kernel == TBgrxKernel::Portable;
#endif
}

void BgrToBgrxWith(TBgrxKernel kernel, const std::uint8_t* src, std::uint8_t* dst, int n) {
  if (n <= 0) return;
  switch (kernel) {
#ifdef VM_X86_SHUFFLES
    case TBgrxKernel::Avx2:
      Avx2(src, dst, n);
      return;
    case TBgrxKernel::Ssse3:
      Ssse3(src, dst, n);
      return;
#endif
    default:
      Portable(src, dst, n);
  }
}

TBgrxKernel BgrToBgrxChosen() {
  static const TBgrxKernel chosen = Pick();
  return chosen;
}

void BgrToBgrx(const std::uint8_t* src, std::uint8_t* dst, int n) {
  BgrToBgrxWith(BgrToBgrxChosen(), src, dst, n);
}

}  // namespace vm
