// Region arithmetic as the window system does it on a repaint: the visible
// region of a window with twelve children, a small rectangle (a hovered
// button) cut out of that region (two ways), the union of update rectangles and a
// context's clip (visible region and update region). Each is timed per
// operation with its heap allocations counted, next to a memcpy of the
// window's bytes in the same run so that runs on different machines compare.
//
// For callgrind, `bench_region --steps=<name> [count]` runs one scene count
// times (1000 by default) inside RegionSteps without the benchmark library:
//   valgrind --tool=callgrind --toggle-collect='*RegionSteps*' bench_region --steps=visible
// and the instructions divided by count are the cost of one operation.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "platform/gfx/Region.h"
#include "tests/bench/common/AllocationCount.h"

namespace vm {
namespace {

// The client area and children of the framed benchmark window: 700 x 470,
// children 160 x 140 on a 170 x 150 pitch, four to a row.
constexpr int W = 700, H = 470;

TRect Child(int i) {
  return Bounds(10 + (i % 4) * 170, 10 + (i / 4) * 150, 160, 140);
}

TRegion VisibleRegion() {
  TRegion vis(TRect{0, 0, W, H});
  for (int i = 0; i < 12; ++i) vis.Subtract(Child(i));
  return vis;
}

// The update region after a few controls asked to be redrawn: buttons,
// overlapping labels and a status line.
const TRect kUpdates[] = {{12, 12, 90, 36},     {80, 20, 150, 44},    {182, 12, 260, 36},
                          {352, 160, 430, 184}, {522, 310, 600, 334}, {0, 450, 700, 470},
                          {600, 440, 690, 462}, {12, 310, 90, 334},   {20, 320, 100, 344},
                          {352, 12, 500, 30}};

TRegion UpdateRegion() {
  TRegion r;
  for (const TRect& u : kUpdates) r.Union(u);
  return r;
}

// A 22 x 22 button over the gap between two children and the row below.
constexpr TRect kHover{160, 140, 182, 162};

struct TScene {
  const char* Name;
  void (*Run)(const TRegion& vis, const TRegion& update);
};

const TScene kScenes[] = {
    {"visible", [](const TRegion&, const TRegion&) { benchmark::DoNotOptimize(VisibleRegion()); }},
    {"hover",
     [](const TRegion& vis, const TRegion&) {
       TRegion r = vis;
       benchmark::DoNotOptimize(r.Intersect(kHover));
     }},
    // The same built from the rectangle: only the rows of the visible region
    // that the rectangle covers are read, and nothing is copied.
    {"hoverfromrect",
     [](const TRegion& vis, const TRegion&) {
       TRegion r(kHover);
       benchmark::DoNotOptimize(r.Intersect(vis));
     }},
    {"update", [](const TRegion&, const TRegion&) { benchmark::DoNotOptimize(UpdateRegion()); }},
    {"clip",
     [](const TRegion& vis, const TRegion& update) {
       TRegion r = vis;
       benchmark::DoNotOptimize(r.Intersect(update));
     }},
};

[[gnu::noinline]] void RegionSteps(const TScene& scene, const TRegion& vis, const TRegion& update,
                                   int count) {
  for (int i = 0; i < count; ++i) scene.Run(vis, update);
}

void BM_Region(benchmark::State& state, const TScene& scene) {
  const TRegion vis = VisibleRegion(), update = UpdateRegion();
  scene.Run(vis, update);  // first use of the per-thread buffer
  const std::uint64_t allocs = vm::bench::AllocationCount();
  for (auto _ : state) scene.Run(vis, update);
  state.counters["allocs"] = double(vm::bench::AllocationCount() - allocs) /
                             double(std::max<std::int64_t>(state.iterations(), 1));
  state.counters["rects"] = double(vis.Rects().size());
}
BENCHMARK_CAPTURE(BM_Region, VisibleWith12Children, kScenes[0]);
BENCHMARK_CAPTURE(BM_Region, HoverRectOfVisible, kScenes[1]);
BENCHMARK_CAPTURE(BM_Region, HoverRectFromRect, kScenes[2]);
BENCHMARK_CAPTURE(BM_Region, UnionOfUpdateRects, kScenes[3]);
BENCHMARK_CAPTURE(BM_Region, VisibleAndUpdate, kScenes[4]);

void BM_MemcpyWindowBytes(benchmark::State& state) {
  const std::size_t bytes = std::size_t(W) * H * 4;
  std::vector<std::uint8_t> from(bytes, 0x5A), to(bytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
  }
}
BENCHMARK(BM_MemcpyWindowBytes);

}  // namespace
}  // namespace vm

int main(int argc, char** argv) {
  if (argc >= 2 && std::strncmp(argv[1], "--steps=", 8) == 0) {
    const std::string name = argv[1] + 8;
    const int count = argc >= 3 ? std::atoi(argv[2]) : 1000;
    const vm::TRegion vis = vm::VisibleRegion(), update = vm::UpdateRegion();
    for (const vm::TScene& s : vm::kScenes)
      if (name == s.Name) {
        s.Run(vis, update);
        vm::RegionSteps(s, vis, update, count);
        std::printf("%s: %d steps, visible region %zu rectangles, update region %zu\n", s.Name,
                    count, vis.Rects().size(), update.Rects().size());
        return 0;
      }
    std::fprintf(stderr, "no scene %s\n", name.c_str());
    return 2;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
