// Full repaint and present of a 713 x 510 window on the headless host, next
// to a memcpy of the same bytes in the same run, with the heap allocations
// of one step as a counter (allocs). Run interleaved and repeated:
//   bench_host_headless --benchmark_repetitions=9 --benchmark_enable_random_interleaving
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "platform/gfx/SysColors.h"
#include "platform/host/headless/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "tests/bench/common/AllocationCount.h"

// Every allocation of the process is counted.

namespace vm {
namespace {

constexpr int W = 713, H = 510;

LRESULT PaintProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    TRect r;
    GetClientRect(h, &r);
    dc->FillRect(r, RGB(40, 90, 160));
    EndPaint(h, &ps);
    return 0;
  }
  return DefWindowProc(h, m, w, l);
}

struct TScene {
  THeadlessHost host;
  HWND top = nullptr;
  TScene(DWORD style, bool children) {
    SetHost(&host);
    WNDCLASS wc;
    wc.lpszClassName = "BenchWindow";
    wc.lpfnWndProc = &PaintProc;
    wc.hbrBackground = GetSysColor(COLOR_BTNFACE);
    RegisterClass(wc);
    top = CreateWindowEx(0, "BenchWindow", "Benchmark", style, 10, 10, W, H, nullptr);
    if (children)
      for (int i = 0; i < 12; ++i)
        CreateWindowEx(0, "BenchWindow", "", WS_CHILD | WS_VISIBLE, 10 + (i % 4) * 170,
                       10 + (i / 4) * 150, 160, 140, top);
    ShowWindow(top, SW_SHOW);
    UpdateWindow(top);
    PresentWindows();
  }
  ~TScene() {
    SetHost(nullptr);
    UnregisterClass("BenchWindow");
  }
};

// One full repaint and present; a function of its own for callgrind
// (--toggle-collect='*RepaintStep*').
[[gnu::noinline]] void RepaintStep(HWND top) {
  RedrawWindow(top, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PresentWindows();
}

void Repaint(benchmark::State& state, DWORD style, bool children) {
  TScene scene(style, children);
  RepaintStep(scene.top);  // the first repaint of a new window grows its buffers
  const vm::bench::TAllocationTrace trace;
  const std::uint64_t allocs = vm::bench::AllocationCount();
  for (auto _ : state) RepaintStep(scene.top);
  // Read before the counters' entries are made, which allocate.
  const double made = double(vm::bench::AllocationCount() - allocs);
  state.SetBytesProcessed(std::int64_t(state.iterations()) * W * H * 3);
  state.counters["allocs"] = made / double(state.iterations());
}

void BM_RepaintAndPresent_Popup(benchmark::State& state) {
  Repaint(state, WS_POPUP, false);
}
void BM_RepaintAndPresent_FramedWindow(benchmark::State& state) {
  Repaint(state, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, false);
}
void BM_RepaintAndPresent_FramedWith12Children(benchmark::State& state) {
  Repaint(state, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, true);
}

// Presenting alone: the whole store marked dirty and copied to the screen.
void BM_PresentOnly(benchmark::State& state) {
  TScene scene(WS_POPUP, false);
  for (auto _ : state) {
    // A context that draws nothing presents nothing: this one says it drew
    // the whole window.
    HDC dc = GetWindowDC(scene.top);
    dc->NotePainted({0, 0, W, H});
    ReleaseDC(scene.top, dc);
    PresentWindows();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * W * H * 3);
}

void BM_MemcpySameBytes(benchmark::State& state) {
  std::size_t bytes = std::size_t((W * 3 + 3) & ~3) * H;
  std::vector<std::uint8_t> a(bytes, 1), b(bytes, 2);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), bytes);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}

BENCHMARK(BM_MemcpySameBytes);
BENCHMARK(BM_PresentOnly);
BENCHMARK(BM_RepaintAndPresent_Popup);
BENCHMARK(BM_RepaintAndPresent_FramedWindow);
BENCHMARK(BM_RepaintAndPresent_FramedWith12Children);

}  // namespace
}  // namespace vm

BENCHMARK_MAIN();
