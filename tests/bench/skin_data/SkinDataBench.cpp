// Loading the built-in skin from its embedded container into the model
// (inflate, parse, the three passes, indexes), next to a bare zlib inflate of
// the same container's entries and a memcpy of the inflated bytes.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

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

// Skins made to cost more than they are worth, against the goal of a load or
// refusal under 100 ms and 64 MB: a packed skin in a folder of its own,
// loaded (or refused) by a manager as the program would.
struct BombSkin {
  std::string dir = "/tmp/velmora-bench-bomb-" + std::to_string(::getpid());
  vm::TsSkinManager manager;
  explicit BombSkin(const std::vector<std::uint8_t>& container) {
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/Bomb.nxz", std::ios::binary)
        .write(reinterpret_cast<const char*>(container.data()), std::streamsize(container.size()));
    manager.SetSkinDirectory(dir);
    vm::SetSkinMessageFunc([](const std::string&, const std::string&) {});
  }
  ~BombSkin() {
    std::filesystem::remove_all(dir);
    vm::SetSkinMessageFunc(nullptr);
  }
  bool Load() {
    try {
      manager.SetSkinName("Bomb");
      return true;
    } catch (const std::exception&) {
      return false;
    }
  }
};

std::vector<std::uint8_t> Description(const std::string& text) {
  return vm::WritePackedSkin(
      {{"Options.dat", std::vector<std::uint8_t>(text.begin(), text.end())}});
}

void BM_Bomb200000Keys(benchmark::State& state) {
  std::string text = "[MANY]\n";
  for (int i = 0; i < 200000; ++i) {
    const std::string n = std::to_string(i);
    text.append("K").append(n).append("=").append(n).append("\n");
  }
  BombSkin skin(Description(text));
  for (auto _ : state) benchmark::DoNotOptimize(skin.Load());
}
BENCHMARK(BM_Bomb200000Keys)->Unit(benchmark::kMillisecond);

void BM_BombChainOf16000Sections(benchmark::State& state) {
  std::string text;
  for (int i = 0; i < 16000; ++i) {
    text.append("[S").append(std::to_string(i)).append("]\nPARENTCLASS=S");
    text.append(std::to_string(i + 1)).append("\n");
  }
  BombSkin skin(Description(text));
  for (auto _ : state) benchmark::DoNotOptimize(skin.Load());
}
BENCHMARK(BM_BombChainOf16000Sections)->Unit(benchmark::kMillisecond);

void BM_BombHugeMasterRefused(benchmark::State& state) {
  // A 16384 x 16384 RLE8 master bitmap: runs of 255 and an end of line per row.
  std::vector<std::uint8_t> bmp(14 + 40 + 8, 0);
  auto put32 = [&bmp](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
  };
  bmp[0] = 'B', bmp[1] = 'M';
  put32(10, 62), put32(14, 40), put32(18, 16384), put32(22, 16384), put32(30, 1), put32(46, 2);
  bmp[26] = 1, bmp[28] = 8;
  for (int y = 0; y < 16384; ++y) {
    for (int x = 0; x < 16384; x += 255)
      bmp.insert(bmp.end(), {std::uint8_t(std::min(255, 16384 - x)), 1});
    bmp.insert(bmp.end(), {0, 0});
  }
  bmp.insert(bmp.end(), {0, 1});
  const std::string text = "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n";
  BombSkin skin(vm::WritePackedSkin(
      {{"Options.dat", std::vector<std::uint8_t>(text.begin(), text.end())}, {"Master.bmp", bmp}}));
  for (auto _ : state) benchmark::DoNotOptimize(skin.Load());
}
BENCHMARK(BM_BombHugeMasterRefused)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
