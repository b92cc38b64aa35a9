// Loading the built-in skin from its embedded container into the model
// (inflate, parse, the three passes, indexes), next to a bare zlib inflate of
// the same container's entries and a memcpy of the inflated bytes.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstring>

#include "skin/data/BuiltinSkin.h"
#include "skin/data/SkinConvertor.h"
#include "skin/data/SkinManager.h"

namespace {

// Walks the container with zlib alone: header fields, then inflate each entry.
std::size_t InflateAll(std::span<const std::uint8_t> c, std::vector<std::uint8_t>& out) {
  std::size_t pos = 8, total = 0;
  auto get32 = [&](std::size_t at) {
    return std::uint32_t(c[at]) | (std::uint32_t(c[at + 1]) << 8) |
           (std::uint32_t(c[at + 2]) << 16) | (std::uint32_t(c[at + 3]) << 24);
  };
  std::uint32_t count = get32(4);
  for (std::uint32_t i = 0; i < count; ++i) {
    pos += 4 + get32(pos);
    std::uint32_t size = get32(pos);
    pos += 4;
    if (out.size() < size) out.resize(size);
    z_stream z{};
    inflateInit(&z);
    z.next_in = const_cast<Bytef*>(c.data() + pos);
    z.avail_in = uInt(c.size() - pos);
    z.next_out = out.data();
    z.avail_out = size;
    inflate(&z, Z_FINISH);
    pos += z.total_in;
    total += z.total_out;
    inflateEnd(&z);
  }
  return total;
}

void BM_LoadBuiltinSkin(benchmark::State& state) {
  vm::TsSkinManager manager;
  manager.SetSkinDirectory("/nonexistent-velmora-bench");
  vm::TsStoredSkin& s = manager.InternalSkins().Add();
  s.Name = vm::BuiltinSkinName;
  auto bytes = vm::BuiltinSkinContainer();
  s.Data.assign(bytes.begin(), bytes.end());
  for (auto _ : state) {
    manager.SetSkinName(vm::BuiltinSkinName);
    benchmark::DoNotOptimize(manager.gd.data());
  }
  state.counters["sections"] = double(manager.gd.size());
  state.counters["masks"] = double(manager.ma.size());
}
BENCHMARK(BM_LoadBuiltinSkin)->Unit(benchmark::kMicrosecond);
// A fixed count, for instruction counts under callgrind (total / 20).
BENCHMARK(BM_LoadBuiltinSkin)->Name("BM_LoadBuiltinSkin/fixed")->Iterations(20);

void BM_ParseContainerOnly(benchmark::State& state) {
  auto bytes = vm::BuiltinSkinContainer();
  for (auto _ : state) {
    vm::TMemoryStream source = vm::TMemoryStream::View(bytes.data(), bytes.size());
    vm::TnxSkinConvertor c;
    c.SetBorrowedSource(&source);
    benchmark::DoNotOptimize(c.Parse());
    c.ReleaseSource();
  }
}
BENCHMARK(BM_ParseContainerOnly)->Unit(benchmark::kMicrosecond);

void BM_BareZlibInflate(benchmark::State& state) {
  auto bytes = vm::BuiltinSkinContainer();
  std::vector<std::uint8_t> out;
  std::size_t total = 0;
  for (auto _ : state) {
    total = InflateAll(bytes, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(total));
}
BENCHMARK(BM_BareZlibInflate)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareZlibInflate)->Name("BM_BareZlibInflate/fixed")->Iterations(20);

void BM_MemcpyInflatedBytes(benchmark::State& state) {
  std::vector<std::uint8_t> out;
  std::size_t total = InflateAll(vm::BuiltinSkinContainer(), out);
  std::vector<std::uint8_t> src(total, 1), dst(total);
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), total);
    benchmark::DoNotOptimize(dst.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(total));
}
BENCHMARK(BM_MemcpyInflatedBytes)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
