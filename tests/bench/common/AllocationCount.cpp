#include "tests/bench/common/AllocationCount.h"

#include <execinfo.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::uint64_t> Allocations{0};

// The trace's settings, read once from VELMORA_TRACE_ALLOCS.
struct TTraceSettings {
  bool On = false;
  std::uint64_t Skip = 0, Count = 20;
  TTraceSettings() {
    const char* v = std::getenv("VELMORA_TRACE_ALLOCS");
    if (!v || !*v) return;
    On = true;
    char* end = nullptr;
    Skip = std::strtoull(v, &end, 10);
    if (end && *end == ',') Count = std::strtoull(end + 1, nullptr, 10);
  }
};

// Allocations seen in the open window, and how many were printed; -1 while no
// window is open.
std::atomic<std::int64_t> TraceSeen{-1};
std::atomic<std::uint64_t> TracePrinted{0};
thread_local bool InTrace = false;

const TTraceSettings& TraceSettings() {
  static const TTraceSettings settings;
  return settings;
}

void TraceOne(std::size_t n) {
  const std::int64_t seen = TraceSeen.load(std::memory_order_relaxed);
  if (seen < 0 || InTrace) return;
  TraceSeen.store(seen + 1, std::memory_order_relaxed);
  const TTraceSettings& s = TraceSettings();
  if (std::uint64_t(seen) < s.Skip || TracePrinted.load() >= s.Count) return;
  // backtrace() may allocate on its first call (it loads the unwinder): the
  // flag keeps that allocation out of the trace.
  InTrace = true;
  TracePrinted.fetch_add(1);
  void* frames[24];
  const int depth = backtrace(frames, 24);
  char line[96];
  const int len = std::snprintf(line, sizeof line, "--- allocation #%lld of %zu bytes\n",
                                static_cast<long long>(seen), n);
  if (len > 0) (void)!write(STDERR_FILENO, line, std::size_t(len));
  backtrace_symbols_fd(frames + 1, depth - 1, STDERR_FILENO);
  InTrace = false;
}
}  // namespace

std::uint64_t vm::bench::AllocationCount() {
  return Allocations.load(std::memory_order_relaxed);
}

vm::bench::TAllocationTrace::TAllocationTrace() {
  if (!TraceSettings().On) return;
  TracePrinted.store(0);
  TraceSeen.store(0);
}

vm::bench::TAllocationTrace::~TAllocationTrace() {
  TraceSeen.store(-1);
}

// Every form of the plain operator new counts and takes its memory from
// malloc, and every plain operator delete gives it back with free: replacing
// only some would pair, under the address sanitizer (which supplies the
// others), its new with this free. The aligned forms stay the library's, a
// pair of their own.
namespace {
void* Allocate(std::size_t n) noexcept {
  Allocations.fetch_add(1, std::memory_order_relaxed);
  TraceOne(n);
  return std::malloc(n ? n : 1);
}
}  // namespace

// Kept out of line: inlined into its callers, the delete's free() meets a
// builtin new in GCC's eyes and trips its mismatched-allocation warning.
[[gnu::noinline]] void* operator new(std::size_t n) {
  if (void* p = Allocate(n)) return p;
  throw std::bad_alloc();
}
[[gnu::noinline]] void* operator new[](std::size_t n) {
  if (void* p = Allocate(n)) return p;
  throw std::bad_alloc();
}
[[gnu::noinline]] void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  return Allocate(n);
}
[[gnu::noinline]] void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
  return Allocate(n);
}
[[gnu::noinline]] void operator delete(void* p) noexcept {
  std::free(p);
}
[[gnu::noinline]] void operator delete[](void* p) noexcept {
  std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}
[[gnu::noinline]] void operator delete[](void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}
