// Heap allocations counted across a benchmark program: a program built with
// COUNT_ALLOCATIONS replaces the global operator new with one that counts, so
// a benchmark can report allocations per step beside its times.
#pragma once

#include <cstdint>

namespace vm::bench {

// Allocations through operator new since the program started.
std::uint64_t AllocationCount();

}  // namespace vm::bench
