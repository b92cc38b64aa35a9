#include "tests/bench/common/AllocationCount.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::uint64_t> Allocations{0};
}  // namespace

std::uint64_t vm::bench::AllocationCount() {
  return Allocations.load(std::memory_order_relaxed);
}

// Kept out of line: inlined into its callers, the delete's free() meets a
// builtin new in GCC's eyes and trips its mismatched-allocation warning.
[[gnu::noinline]] void* operator new(std::size_t n) {
  Allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept {
  std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
