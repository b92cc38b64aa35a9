// Solid fills of pixel rows: the store loops under TDC::FillRect.
//
// A 24-bit row is three bytes per pixel, so one colour repeats every 3 bytes
// and no wide store holds whole pixels. The kernels keep the colour as a
// pattern 96 bytes long (32 pixels, three 32-byte registers); a store that
// starts a multiple of 3 bytes after the row start writes the pattern from
// its beginning, one that starts 1 or 2 bytes off a rotated copy. Every row
// is written with wide stores only, the last one overlapping the one before
// it rather than falling back to a byte loop. A 32-bit row keeps each pixel's
// fourth (alpha) byte.
//
// The kernel is picked once from the processor (AVX2, else SSE2, else the
// portable loop); the *With functions take it explicitly, for tests and
// benchmarks that compare the kernels.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vm {

enum class TFillKernel { Portable, Sse2, Avx2 };

// Whether this processor can run the kernel.
bool FillKernelAvailable(TFillKernel kernel);
// The kernel FillRows24 and FillRows32 use: the best this processor runs,
// unless the environment variable VELMORA_FILL_KERNEL names a lesser one
// ("portable", "sse2").
TFillKernel BestFillKernel();

// Fills rows rows of pixels pixels each, the first at first and each next
// one step bytes on (negative for bottom-up storage), with the colour's blue,
// green and red bytes.
void FillRows24(std::uint8_t* first, std::ptrdiff_t step, int rows, std::size_t pixels,
                std::uint8_t b, std::uint8_t g, std::uint8_t r);
void FillRows24With(TFillKernel kernel, std::uint8_t* first, std::ptrdiff_t step, int rows,
                    std::size_t pixels, std::uint8_t b, std::uint8_t g, std::uint8_t r);

// The same on 32-bit rows: blue, green and red of each pixel are set, its
// fourth byte is kept.
void FillRows32(std::uint8_t* first, std::ptrdiff_t step, int rows, std::size_t pixels,
                std::uint8_t b, std::uint8_t g, std::uint8_t r);
void FillRows32With(TFillKernel kernel, std::uint8_t* first, std::ptrdiff_t step, int rows,
                    std::size_t pixels, std::uint8_t b, std::uint8_t g, std::uint8_t r);

}  // namespace vm
