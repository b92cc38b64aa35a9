#include "platform/gfx/RowFill.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define VM_X86_FILLS 1
#endif

namespace vm {

namespace {

// 32 pixels of one colour: any 3k bytes of a row filled with it are bytes
// 0 .. 3k of this pattern, and a piece that starts j bytes into a pixel is
// the pattern from byte j.
struct TPattern24 {
  alignas(32) std::uint8_t Bytes[96 + 8];
  TPattern24(std::uint8_t b, std::uint8_t g, std::uint8_t r) {
    // One pixel, then the filled part doubled: copies of fixed sizes.
    Bytes[0] = b;
    Bytes[1] = g;
    Bytes[2] = r;
    std::memcpy(Bytes + 3, Bytes, 3);
    std::memcpy(Bytes + 6, Bytes, 6);
    std::memcpy(Bytes + 12, Bytes, 12);
    std::memcpy(Bytes + 24, Bytes, 24);
    std::memcpy(Bytes + 48, Bytes, 48);
    std::memcpy(Bytes + 96, Bytes, 8);
  }
};

// Rows shorter than 16 bytes (at most five pixels): two overlapping stores of
// the widest size that fits, the second one ending on the row's last byte.
// n is a multiple of 3, so a store of k bytes that ends there starts
// (3 - k % 3) % 3 bytes into a pixel.
inline void FillShort24(std::uint8_t* p, std::size_t n, const TPattern24& pat) {
  if (n >= 8) {
    std::memcpy(p, pat.Bytes, 8);
    std::memcpy(p + n - 8, pat.Bytes + 1, 8);
  } else if (n >= 4) {
    std::memcpy(p, pat.Bytes, 4);
    std::memcpy(p + n - 4, pat.Bytes + 2, 4);
  } else if (n == 3) {
    std::memcpy(p, pat.Bytes, 3);
  }
}

void Portable24(std::uint8_t* first, std::ptrdiff_t step, int rows, std::size_t n,
                const TPattern24& pat) {
  for (int y = 0; y < rows; ++y) {
    // Each row from the first, so no pointer is formed past the last row
    // (bottom-up rows step backwards).
    std::uint8_t* const row = first + std::ptrdiff_t(y) * step;
    if (n < 16) {
      FillShort24(row, n, pat);
      continue;
    }
    if (n < 96) {
      // Eight bytes at a time; the last store ends on the row's last byte.
      // A piece at offset i starts i % 3 bytes into a pixel.
      std::size_t i = 0;
      for (; i + 8 <= n; i += 8) std::memcpy(row + i, pat.Bytes + i % 3, 8);
      if (i < n) std::memcpy(row + n - 8, pat.Bytes + 1, 8);
      continue;
    }
    std::size_t i = 0;
    for (; i + 96 <= n; i += 96) std::memcpy(row + i, pat.Bytes, 96);
    if (i < n) std::memcpy(row + n - 96, pat.Bytes, 96);
  }
}

void Portable32(std::uint8_t* first, std::ptrdiff_t step, int rows, std::size_t pixels,
                std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  for (int y = 0; y < rows; ++y) {
    std::uint8_t* const row = first + std::ptrdiff_t(y) * step;
    std::uint8_t* p = row;
    for (std::size_t x = 0; x < pixels; ++x, p += 4) {
      p[0] = b;
      p[1] = g;
      p[2] = r;
    }
  }
}

#ifdef VM_X86_FILLS

// Rows of 16 to 47 bytes from three 16-byte registers holding the pattern
// from bytes 0, 16 and 32 (pixel offsets 0, 1 and 2).
inline void FillMid24Sse2(std::uint8_t* p, std::size_t n, __m128i q0, __m128i q1, __m128i q2) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), q0);
  if (n > 32) _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16), q1);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p + n - 16), q2);
}

void Sse2Fill24(std::uint8_t* first, std::ptrdiff_t step, int rows, std::size_t n,
                const TPattern24& pat) {
  const __m128i q0 = _mm_load_si128(reinterpret_cast<const __m128i*>(pat.Bytes));
  const __m128i q1 = _mm_load_si128(reinterpret_cast<const __m128i*>(pat.Bytes + 16));
  const __m128i q2 = _mm_load_si128(reinterpret_cast<const __m128i*>(pat.Bytes + 32));
  for (int y = 0; y < rows; ++y) {
    std::uint8_t* const row = first + std::ptrdiff_t(y) * step;
    if (n < 16) {
      FillShort24(row, n, pat);
    } else if (n < 48) {
      FillMid24Sse2(row, n, q0, q1, q2);
    } else {
      // The first 16 bytes unaligned, then aligned rounds of 48 bytes from
      // the first 16-byte boundary after the start, the registers rotated to
      // that boundary's offset within a pixel; the last round is moved back
      // to end on the row's last byte, a whole number of pixels from the start.
      _mm_storeu_si128(reinterpret_cast<__m128i*>(row), q0);
      const std::size_t s = (16 - (reinterpret_cast<std::uintptr_t>(row) & 15)) & 15;
      __m128i a = q0, b = q1, c = q2;
      if (s % 3 == 1) {
        a = q1;
        b = q2;
        c = q0;
      } else if (s % 3 == 2) {
        a = q2;
        b = q0;
        c = q1;
      }
      std::size_t i = s;
      for (; i + 48 <= n; i += 48) {
        _mm_store_si128(reinterpret_cast<__m128i*>(row + i), a);
        _mm_store_si128(reinterpret_cast<__m128i*>(row + i + 16), b);
        _mm_store_si128(reinterpret_cast<__m128i*>(row + i + 32), c);
      }
      if (i < n) {
        std::uint8_t* e = row + n - 48;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(e), q0);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(e + 16), q1);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(e + 32), q2);
      }
    }
  }
}

__attribute__((target("avx2"))) void Avx2Fill24(std::uint8_t* first, std::ptrdiff_t step, int rows,
                                                std::size_t n, const TPattern24& pat) {
  // v0, v1, v2: the pattern from bytes 0, 32 and 64, i.e. from pixel
  // offsets 0, 2 and 1.
  const __m256i v0 = _mm256_load_si256(reinterpret_cast<const __m256i*>(pat.Bytes));
  const __m256i v1 = _mm256_load_si256(reinterpret_cast<const __m256i*>(pat.Bytes + 32));
  const __m256i v2 = _mm256_load_si256(reinterpret_cast<const __m256i*>(pat.Bytes + 64));
  const __m128i q0 = _mm256_castsi256_si128(v0), q1 = _mm256_extracti128_si256(v0, 1),
                q2 = _mm256_castsi256_si128(v1);
  for (int y = 0; y < rows; ++y) {
    std::uint8_t* const row = first + std::ptrdiff_t(y) * step;
    if (n < 16) {
      FillShort24(row, n, pat);
      continue;
    }
    if (n < 32) {
      FillMid24Sse2(row, n, q0, q1, q2);
      continue;
    }
    if (n < 96) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(row), v0);
      if (n > 64) _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + 32), v1);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + n - 32), v2);
      continue;
    }
    // The first 32 bytes unaligned, then aligned rounds of 96 bytes from the
    // first 32-byte boundary after the start: s bytes in, s % 3 bytes into a
    // pixel, which picks the rotation of the three registers. The last round
    // is moved back to end on the row's last byte.
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(row), v0);
    const std::size_t s = (32 - (reinterpret_cast<std::uintptr_t>(row) & 31)) & 31;
    __m256i a = v0, b = v1, c = v2;
    if (s % 3 == 1) {
      a = v2;
      b = v0;
      c = v1;
    } else if (s % 3 == 2) {
      a = v1;
      b = v2;
      c = v0;
    }
    std::size_t i = s;
    for (; i + 96 <= n; i += 96) {
      _mm256_store_si256(reinterpret_cast<__m256i*>(row + i), a);
      _mm256_store_si256(reinterpret_cast<__m256i*>(row + i + 32), b);
      _mm256_store_si256(reinterpret_cast<__m256i*>(row + i + 64), c);
    }
    if (i < n) {
      std::uint8_t* e = row + n - 96;
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(e), v0);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(e + 32), v1);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(e + 64), v2);
    }
  }
}

// 32-bit rows: each pixel's word keeps its top (alpha) byte. Written as a
// plain loop that the compiler turns into masked vector stores: SSE2 in the
// default build, AVX2 in the clone below.
inline void Words32(std::uint8_t* first, std::ptrdiff_t step, int rows, std::size_t pixels,
                    std::uint32_t colour) {
  for (int y = 0; y < rows; ++y) {
    std::uint8_t* const row = first + std::ptrdiff_t(y) * step;
    std::uint8_t* p = row;
    for (std::size_t x = 0; x < pixels; ++x, p += 4) {
      std::uint32_t v;
      std::memcpy(&v, p, 4);
      v = (v & 0xFF000000u) | colour;
      std::memcpy(p, &v, 4);
    }
  }
}

void Sse2Fill32(std::uint8_t* row, std::ptrdiff_t step, int rows, std::size_t pixels,
                std::uint32_t colour) {
  Words32(row, step, rows, pixels, colour);
}

__attribute__((target("avx2"))) void Avx2Fill32(std::uint8_t* row, std::ptrdiff_t step, int rows,
                                                std::size_t pixels, std::uint32_t colour) {
  Words32(row, step, rows, pixels, colour);
}

#endif

TFillKernel Pick() {
  // VELMORA_FILL_KERNEL=portable or sse2 picks a slower kernel than the
  // processor allows, so that benchmarks of whole scenes can measure it.
  const char* forced = std::getenv("VELMORA_FILL_KERNEL");
  const std::string_view want = forced ? forced : "";
  if (want == "portable") return TFillKernel::Portable;
#ifdef VM_X86_FILLS
  if (want == "sse2") return TFillKernel::Sse2;
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return TFillKernel::Avx2;
  return TFillKernel::Sse2;
#else
  return TFillKernel::Portable;
#endif
}

}  // namespace

bool FillKernelAvailable(TFillKernel kernel) {
  switch (kernel) {
    case TFillKernel::Portable:
      return true;
#ifdef VM_X86_FILLS
    case TFillKernel::Sse2:
      return true;  // part of every x86-64 processor
    case TFillKernel::Avx2:
      __builtin_cpu_init();
      return __builtin_cpu_supports("avx2");
#endif
    default:
      return false;
  }
}

TFillKernel BestFillKernel() {
  static const TFillKernel best = Pick();
  return best;
}

void FillRows24With(TFillKernel kernel, std::uint8_t* first, std::ptrdiff_t step, int rows,
                    std::size_t pixels, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  if (!first || rows <= 0 || pixels == 0) return;
  const TPattern24 pat(b, g, r);
  const std::size_t n = pixels * 3;
  switch (kernel) {
#ifdef VM_X86_FILLS
    case TFillKernel::Avx2:
      Avx2Fill24(first, step, rows, n, pat);
      return;
    case TFillKernel::Sse2:
      Sse2Fill24(first, step, rows, n, pat);
      return;
#endif
    default:
      Portable24(first, step, rows, n, pat);
  }
}

void FillRows24(std::uint8_t* first, std::ptrdiff_t step, int rows, std::size_t pixels,
                std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  FillRows24With(BestFillKernel(), first, step, rows, pixels, b, g, r);
}

void FillRows32With(TFillKernel kernel, std::uint8_t* first, std::ptrdiff_t step, int rows,
                    std::size_t pixels, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  if (!first || rows <= 0 || pixels == 0) return;
#ifdef VM_X86_FILLS
  // Little-endian words: blue is the lowest byte.
  const std::uint32_t colour = std::uint32_t(b) | std::uint32_t(g) << 8 | std::uint32_t(r) << 16;
  switch (kernel) {
    case TFillKernel::Avx2:
      Avx2Fill32(first, step, rows, pixels, colour);
      return;
    case TFillKernel::Sse2:
      Sse2Fill32(first, step, rows, pixels, colour);
      return;
    default:
      break;
  }
#endif
  Portable32(first, step, rows, pixels, b, g, r);
}

void FillRows32(std::uint8_t* first, std::ptrdiff_t step, int rows, std::size_t pixels,
                std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  FillRows32With(BestFillKernel(), first, step, rows, pixels, b, g, r);
}

}  // namespace vm
