// Heap allocations counted across a benchmark program: a program built with
// COUNT_ALLOCATIONS replaces the global operator new with one that counts, so
// a benchmark can report allocations per step beside its times.
//
// To find where a step allocates, run the program with
//   VELMORA_TRACE_ALLOCS=<skip>[,<count>]
// and a --benchmark_filter naming one benchmark: inside each traced window
// (TAllocationTrace, opened by the benchmark around its timed loop) the first
// <skip> allocations pass as warm-up, then the next <count> (default 20) each
// print a backtrace to stderr. The programs link with -rdynamic so that the
// frames carry names; addr2line -Cfe <program> resolves the rest.
#pragma once

#include <cstdint>

namespace vm::bench {

// Allocations through operator new since the program started.
std::uint64_t AllocationCount();

// Marks the span whose allocations VELMORA_TRACE_ALLOCS traces; a no-op
// without the variable.
class TAllocationTrace {
 public:
  TAllocationTrace();
  ~TAllocationTrace();
  TAllocationTrace(const TAllocationTrace&) = delete;
  TAllocationTrace& operator=(const TAllocationTrace&) = delete;
};

}  // namespace vm::bench
