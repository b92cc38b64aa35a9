// Converting rows of the 24-bit backing store (B, G, R bytes) into the X
// server's usual 32-bit pixels (little-endian B, G, R, X with X = 0). This is
// the one per-pixel step of presenting a window, so it is built with byte
// shuffles: SSSE3 and AVX2 versions beside the portable one, the best the
// processor offers picked once at run time (the default build stays portable
// and runs under valgrind). Every version writes exactly the same bytes.
#pragma once

#include <cstdint>

namespace vm {

// Converts n pixels from src (3n bytes) to dst (4n bytes). Reads and writes
// nothing outside those bytes. Source and destination do not overlap.
void BgrToBgrx(const std::uint8_t* src, std::uint8_t* dst, int n);

// The versions themselves, for tests and benchmarks. A version the processor
// lacks is reported by BgrToBgrxAvailable and must not be called.
enum class TBgrxKernel { Portable, Ssse3, Avx2 };
bool BgrToBgrxAvailable(TBgrxKernel kernel);
void BgrToBgrxWith(TBgrxKernel kernel, const std::uint8_t* src, std::uint8_t* dst, int n);
// The version BgrToBgrx uses on this processor.
TBgrxKernel BgrToBgrxChosen();

}  // namespace vm
