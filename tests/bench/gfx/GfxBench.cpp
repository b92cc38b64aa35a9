// Throughput of the graphics engines, each next to a memcpy of the same bytes
// in the same run, so numbers from different machines compare as ratios.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/base/Utf8.h"
#include "platform/gfx/DC.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/RowFill.h"
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

// Solid fills of the client area of a 713 x 510 window (697 x 472 pixels at
// (8, 30)) through each row kernel: range(0) is the kernel (0 portable,
// 1 SSE2, 2 AVX2), range(1) the width of the pieces the rows are cut into
// (697: whole rows; 10: the gaps between child windows). Beside
// BM_MemcpyClientRows, a memcpy of the same rows.
constexpr int ClientW = 697, ClientH = 472;

void BM_FillRows24(benchmark::State& state) {
  const auto kernel = TFillKernel(state.range(0));
  if (!FillKernelAvailable(kernel)) {
    state.SkipWithError("this processor lacks the kernel");
    return;
  }
  const int piece = int(state.range(1));
  TBitmap bmp(713, 510);
  for (auto _ : state) {
    for (int x = 0; x < ClientW; x += piece)
      FillRows24With(kernel, bmp.ScanLine(30) + std::size_t(8 + x) * 3, bmp.RowStep(), ClientH,
                     std::size_t(std::min(piece, ClientW - x)), 160, 90, 40);
    benchmark::DoNotOptimize(bmp.Data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * ClientW * 3 * ClientH);
}
BENCHMARK(BM_FillRows24)->ArgsProduct({{0, 1, 2}, {697, 10}});

void BM_MemcpyClientRows(benchmark::State& state) {
  TBitmap src(713, 510), dst(713, 510);
  for (auto _ : state) {
    for (int y = 30; y < 30 + ClientH; ++y)
      std::memcpy(dst.ScanLine(y) + 24, src.ScanLine(y) + 24, std::size_t(ClientW) * 3);
    benchmark::DoNotOptimize(dst.Data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * ClientW * 3 * ClientH);
}
BENCHMARK(BM_MemcpyClientRows);

}  // namespace
}  // namespace vm

BENCHMARK_MAIN();
