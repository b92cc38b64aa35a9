// Throughput of the graphics engines, each next to a memcpy of the same bytes
// in the same run, so numbers from different machines compare as ratios.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/base/Utf8.h"
#include "platform/gfx/DC.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Stretch.h"

namespace vm {
namespace {

constexpr int SrcW = 4000, SrcH = 3000, DstW = 768, DstH = 576;

// A photo-sized picture with detail in every pixel (a flat one would flatter caches).
const TBitmap& Photo() {
  static const TBitmap photo = [] {
    TBitmap b(SrcW, SrcH, TPixelFormat::pf24bit, true);
    for (int y = 0; y < SrcH; ++y) {
      std::uint8_t* p = b.ScanLine(y);
      for (int x = 0; x < SrcW; ++x, p += 3) {
        p[0] = std::uint8_t(x ^ y);
        p[1] = std::uint8_t(x * 3 + y);
        p[2] = std::uint8_t(y * 5 - x);
      }
    }
    return b;
  }();
  return photo;
}

void BM_MemcpyPhoto(benchmark::State& state) {
  const TBitmap& src = Photo();
  std::vector<std::uint8_t> dst(src.DataSize());
  for (auto _ : state) {
    std::memcpy(dst.data(), src.Data(), src.DataSize());
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(src.DataSize()));
}
BENCHMARK(BM_MemcpyPhoto)->Unit(benchmark::kMillisecond);

void StretchPhoto(benchmark::State& state, TStretchMode mode) {
  const TBitmap& src = Photo();
  TBitmap dst(DstW, DstH);
  const TRegion clip(TRect{0, 0, DstW, DstH});
  for (auto _ : state) {
    StretchBitmapRect(dst, 0, 0, DstW, DstH, src, 0, 0, SrcW, SrcH, mode, clip);
    benchmark::DoNotOptimize(dst.Data());
  }
  // Bytes of the source picture, as for the memcpy above.
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(src.DataSize()));
}

void BM_StretchColorOnColor(benchmark::State& state) {
  StretchPhoto(state, TStretchMode::Nearest);
}
BENCHMARK(BM_StretchColorOnColor)->Unit(benchmark::kMillisecond);

void BM_StretchHalftone(benchmark::State& state) {
  StretchPhoto(state, TStretchMode::Halftone);
}
BENCHMARK(BM_StretchHalftone)->Unit(benchmark::kMillisecond);

// Glyph drawing: one 60-character line of 11-pixel Tahoma onto a window-sized
// bitmap. Items are glyphs.
const char* const Line = "The quick brown fox jumps over the lazy dog: 0123456789 АБВГД";

void BM_DrawGlyphs(benchmark::State& state) {
  PinFontConfiguration();
  TBitmap bmp(713, 510);
  bmp.Fill(clWhite);
  TDC dc(bmp);
  dc.SetBkMode(TRANSPARENT);
  const std::size_t glyphs = Utf8ToUtf32(Line).size();
  dc.TextOut(0, 0, Line);  // fill the glyph cache
  int y = 0;
  for (auto _ : state) {
    dc.TextOut(4, y, Line);
    y = (y + 13) % 490;
  }
  state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(glyphs));
  const TSize ext = dc.GetTextExtent(Line);
  state.counters["cell_bytes"] = double(ext.cx) * ext.cy * 3;
}
BENCHMARK(BM_DrawGlyphs);

// memcpy of the bytes of the text cell the line above covers.
void BM_MemcpyTextCell(benchmark::State& state) {
  PinFontConfiguration();
  TBitmap probe(1, 1);
  TDC dc(probe);
  const TSize ext = dc.GetTextExtent(Line);
  const std::size_t rowBytes = std::size_t(ext.cx) * 3, bytes = rowBytes * std::size_t(ext.cy);
  TBitmap src(713, 510), dst(713, 510);
  for (auto _ : state) {
    for (int r = 0; r < ext.cy; ++r) std::memcpy(dst.ScanLine(r), src.ScanLine(r), rowBytes);
    benchmark::DoNotOptimize(dst.Data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}
BENCHMARK(BM_MemcpyTextCell);

// Laid-out text (ellipsis, centring, prefix) as the skinned controls draw captions.
void BM_DrawTextCaption(benchmark::State& state) {
  PinFontConfiguration();
  TBitmap bmp(713, 510);
  TDC dc(bmp);
  dc.SetBkMode(TRANSPARENT);
  for (auto _ : state) {
    TRect r{10, 10, 160, 31};
    dc.DrawText("&Compress the picture to a smaller size", r,
                DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_END_ELLIPSIS);
  }
}
BENCHMARK(BM_DrawTextCaption);

}  // namespace
}  // namespace vm

BENCHMARK_MAIN();
