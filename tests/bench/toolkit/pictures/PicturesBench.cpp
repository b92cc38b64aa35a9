// A JPEG picture's load and first draw, next to libjpeg-turbo's bare decode
// of the same file in the same run, and the heap the load and draw hold at
// their peak next to the size of one decoded copy of the pixels.
//
// Runs interleaved and repeated; only the medians are reported. The heap is
// counted by wrapping malloc and free, so the library's own working memory
// counts too.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <atomic>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/JpegCodec.h"
#include "toolkit/Bitmap.h"
#include "toolkit/JPEGImage.h"

// ---- Heap counting ----
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
void __libc_free(void*);
}

namespace {
std::atomic<long long> heapNow{0};
std::atomic<long long> heapPeak{0};

void Count(void* p) {
  if (!p) return;
  long long now = heapNow += (long long)malloc_usable_size(p);
  long long peak = heapPeak.load(std::memory_order_relaxed);
  while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
  }
}
void Uncount(void* p) {
  if (p) heapNow -= (long long)malloc_usable_size(p);
}
}  // namespace

extern "C" {
void* malloc(std::size_t n) {
  void* p = __libc_malloc(n);
  Count(p);
  return p;
}
void* calloc(std::size_t n, std::size_t s) {
  void* p = __libc_calloc(n, s);
  Count(p);
  return p;
}
void* realloc(void* old, std::size_t n) {
  Uncount(old);
  void* p = __libc_realloc(old, n);
  Count(p ? p : (n ? old : nullptr));
  return p;
}
void free(void* p) {
  Uncount(p);
  __libc_free(p);
}
void* memalign(std::size_t a, std::size_t n) {
  void* p = __libc_memalign(a, n);
  Count(p);
  return p;
}
void* aligned_alloc(std::size_t a, std::size_t n) {
  return memalign(a, n);
}
int posix_memalign(void** out, std::size_t a, std::size_t n) {
  *out = memalign(a, n);
  return *out ? 0 : 12;
}
}

namespace vm::tk {
namespace {

constexpr int PhotoW = 4000, PhotoH = 3000;  // 12 megapixels
constexpr int ViewW = 713, ViewH = 510;      // the main window's client area

// A camera-like picture: smooth light and shade with fine grain, at quality 90.
const std::string& PhotoFile() {
  static const std::string path = [] {
    vm::TBitmap b(PhotoW, PhotoH);
    std::uint32_t seed = 1;
    for (int y = 0; y < PhotoH; ++y) {
      std::uint8_t* p = b.ScanLine(y);
      for (int x = 0; x < PhotoW; ++x, p += 3) {
        seed = seed * 1664525u + 1013904223u;
        int grain = int(seed >> 29) - 4;
        int base = (x / 16 + y / 12) & 255;
        p[0] = std::uint8_t(std::clamp(base + grain, 0, 255));
        p[1] = std::uint8_t(std::clamp((x * 255 / PhotoW) + grain, 0, 255));
        p[2] = std::uint8_t(std::clamp((y * 255 / PhotoH) + grain, 0, 255));
      }
    }
    std::string file = (std::filesystem::temp_directory_path() /
                        ("vm_bench_photo_" + std::to_string(::getpid()) + ".jpg"))
                           .string();
    SaveJpegFile(file, b, 90);
    return file;
  }();
  return path;
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The baseline: read the file, then let the library decode straight into
// fresh B, G, R rows, nothing else.
void BareDecode(const std::string& path, bool zeroed = false) {
  std::vector<std::uint8_t> file = ReadFile(path);
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, file.data(), (unsigned long)file.size());
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&cinfo);
  const std::size_t stride = std::size_t(cinfo.output_width) * 3;
  std::unique_ptr<std::uint8_t[]> pixels(zeroed ? new std::uint8_t[stride * cinfo.output_height]()
                                                : new std::uint8_t[stride * cinfo.output_height]);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = pixels.get() + stride * cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  benchmark::DoNotOptimize(pixels.get());
}

// What the picture view does with a newly opened file.
void LoadAndFirstDraw(const std::string& path, TBitmap& view) {
  TJPEGImage jpg;
  jpg.LoadFromFile(path);
  view.Canvas().Draw(0, 0, &jpg);
  benchmark::DoNotOptimize(view.Image().Data());
}

void BM_BareDecode(benchmark::State& state) {
  const std::string& path = PhotoFile();
  for (auto _ : state) BareDecode(path);
}
BENCHMARK(BM_BareDecode)->Unit(benchmark::kMillisecond);

// The same into a zero-filled buffer, as a platform bitmap starts: shows how
// much of the difference is that first pass over fresh memory.
void BM_BareDecodeIntoZeroedPixels(benchmark::State& state) {
  const std::string& path = PhotoFile();
  for (auto _ : state) BareDecode(path, true);
}
BENCHMARK(BM_BareDecodeIntoZeroedPixels)->Unit(benchmark::kMillisecond);

void BM_JPEGImageLoadAndFirstDraw(benchmark::State& state) {
  const std::string& path = PhotoFile();
  TBitmap view(ViewW, ViewH);
  for (auto _ : state) LoadAndFirstDraw(path, view);
}
BENCHMARK(BM_JPEGImageLoadAndFirstDraw)->Unit(benchmark::kMillisecond);

template <typename F>
long long PeakHeap(F&& f) {
  long long before = heapNow.load();
  heapPeak = before;
  f();
  return heapPeak.load() - before;
}

void ReportPeaks() {
  const std::string& path = PhotoFile();
  TBitmap view(ViewW, ViewH);
  const long long fileBytes = (long long)std::filesystem::file_size(path);
  const long long copy = (long long)PhotoW * PhotoH * 3;
  long long bare = PeakHeap([&] { BareDecode(path); });
  long long ours = PeakHeap([&] { LoadAndFirstDraw(path, view); });
  std::printf("Photo %d x %d, file %.2f MB; one decoded copy of the pixels: %.2f MB\n", PhotoW,
              PhotoH, fileBytes / 1048576.0, copy / 1048576.0);
  std::printf("Peak heap, bare decode (file + pixels + library): %.2f MB = %.3f copies\n",
              bare / 1048576.0, double(bare) / double(copy));
  std::printf("Peak heap, TJPEGImage load + first draw:          %.2f MB = %.3f copies\n",
              ours / 1048576.0, double(ours) / double(copy));
  std::printf("  of which beyond file bytes + one copy: %.2f MB\n",
              (ours - fileBytes - copy) / 1048576.0);
}

}  // namespace
}  // namespace vm::tk

int main(int argc, char** argv) {
  vm::tk::ReportPeaks();
  std::vector<char*> args(argv, argv + argc);
  std::string reps = "--benchmark_repetitions=9",
              inter = "--benchmark_enable_random_interleaving=true",
              agg = "--benchmark_report_aggregates_only=true";
  bool custom = argc > 1;
  if (!custom) {
    args.push_back(reps.data());
    args.push_back(inter.data());
    args.push_back(agg.data());
  }
  int n = int(args.size());
  benchmark::Initialize(&n, args.data());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(vm::tk::PhotoFile());
  return 0;
}
