// Speed of the blends and gradients that fades and see-through backgrounds run
// many times a second, each next to memcpy of the same bytes in the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "skin/paint/pixels/Gradient.h"
#include "skin/paint/pixels/PixelOps.h"

namespace vm {
namespace {

constexpr int W = 713, H = 510;

TBitmap Noise(int w, int h, unsigned seed, bool bottomUp = false) {
  TBitmap b(w, h, TPixelFormat::pf24bit, bottomUp);
  std::uint8_t* p = b.Data();
  for (std::size_t i = 0; i < b.DataSize(); ++i) {
    seed = seed * 1103515245u + 12345u;
    p[i] = std::uint8_t(seed >> 16);
  }
  return b;
}

void Bytes(benchmark::State& state, std::size_t bytes) {
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}

void BM_Memcpy713x510(benchmark::State& state) {
  const TBitmap a = Noise(W, H, 1);
  TBitmap b = Noise(W, H, 2);
  for (auto _ : state) {
    std::memcpy(b.Data(), a.Data(), a.DataSize());
    benchmark::ClobberMemory();
  }
  Bytes(state, a.DataSize());
}
BENCHMARK(BM_Memcpy713x510);

void BM_MixBitmaps713x510(benchmark::State& state) {
  const TBitmap s = Noise(W, H, 1, true);
  TBitmap d = Noise(W, H, 2);
  for (auto _ : state) {
    MixBitmaps(d, s, 127 * 0x010101);
    benchmark::ClobberMemory();
  }
  Bytes(state, d.DataSize());
}
BENCHMARK(BM_MixBitmaps713x510);

void BM_MixBitmapRect713x510(benchmark::State& state) {
  const TBitmap s = Noise(W, H, 1);
  TBitmap d = Noise(W, H, 2);
  for (auto _ : state) {
    MixBitmapRect(d, s, 100, TPoint{0, 0}, TRect{0, 0, W, H});
    benchmark::ClobberMemory();
  }
  Bytes(state, d.DataSize());
}
BENCHMARK(BM_MixBitmapRect713x510);

void BM_BlendRectWithColor713x510(benchmark::State& state) {
  TBitmap d = Noise(W, H, 2);
  for (auto _ : state) {
    BlendRectWithColor(d, TRect{0, 0, W, H}, 60, RGB(40, 80, 160));
    benchmark::ClobberMemory();
  }
  Bytes(state, d.DataSize());
}
BENCHMARK(BM_BlendRectWithColor713x510);

// 50 % lands on halves, which take the round-half-to-even kernel.
void BM_BlendRectWithColor50_713x510(benchmark::State& state) {
  TBitmap d = Noise(W, H, 2);
  for (auto _ : state) {
    BlendRectWithColor(d, TRect{0, 0, W, H}, 50, RGB(41, 80, 161));
    benchmark::ClobberMemory();
  }
  Bytes(state, d.DataSize());
}
BENCHMARK(BM_BlendRectWithColor50_713x510);

// 25 % of these channels lands on halves that must round down to even: the
// exact integer kernel with its divide-free division by 100.
void BM_BlendRectWithColor25_713x510(benchmark::State& state) {
  TBitmap d = Noise(W, H, 2);
  for (auto _ : state) {
    BlendRectWithColor(d, TRect{0, 0, W, H}, 25, RGB(41, 81, 161));
    benchmark::ClobberMemory();
  }
  Bytes(state, d.DataSize());
}
BENCHMARK(BM_BlendRectWithColor25_713x510);

// The same blends on a bitmap that stays in the first-level cache: the
// kernels' own arithmetic, beside memcpy of 64 x 64 pixels.
void BM_BlendRectWithColor64x64(benchmark::State& state) {
  TBitmap d = Noise(64, 64, 2);
  const int percent = int(state.range(0));
  for (auto _ : state) {
    BlendRectWithColor(d, TRect{0, 0, 64, 64}, percent, RGB(41, 81, 161));
    benchmark::ClobberMemory();
  }
  Bytes(state, d.DataSize());
}
BENCHMARK(BM_BlendRectWithColor64x64)->Arg(60)->Arg(50)->Arg(25);

void BM_Memcpy64x64(benchmark::State& state) {
  const TBitmap a = Noise(64, 64, 1);
  TBitmap b = Noise(64, 64, 2);
  for (auto _ : state) {
    std::memcpy(b.Data(), a.Data(), a.DataSize());
    benchmark::ClobberMemory();
  }
  Bytes(state, a.DataSize());
}
BENCHMARK(BM_Memcpy64x64);

void BM_MaskBlend64x64(benchmark::State& state) {
  const TBitmap s = Noise(64, 64, 1);
  const TBitmap m = Noise(64, 64, 3);
  TBitmap d = Noise(64, 64, 2);
  for (auto _ : state) {
    MaskBlend(d, s, m);
    benchmark::ClobberMemory();
  }
  Bytes(state, d.DataSize());
}
BENCHMARK(BM_MaskBlend64x64);

void BM_MaskBlendLight64x64(benchmark::State& state) {
  const TBitmap s = Noise(64, 64, 1);
  const TBitmap m = Noise(64, 64, 3);
  TBitmap d = Noise(64, 64, 2);
  for (auto _ : state) {
    MaskBlendLight(d, s, m);
    benchmark::ClobberMemory();
  }
  Bytes(state, d.DataSize());
}
BENCHMARK(BM_MaskBlendLight64x64);

void BM_GradientVertical713x510(benchmark::State& state) {
  TBitmap d(W, H);
  TsGradArray a;
  ParseGradient("$FF8040;$204080;40;0;0;$102030;$F0E0D0;60;0;0", a);
  for (auto _ : state) {
    PaintGradient(d, TRect{0, 0, W, H}, a);
    benchmark::ClobberMemory();
  }
  Bytes(state, d.DataSize());
}
BENCHMARK(BM_GradientVertical713x510);

void BM_GradientHorizontal713x510(benchmark::State& state) {
  TBitmap d(W, H);
  TsGradArray a;
  ParseGradient("$FF8040;$204080;40;1;0;$102030;$F0E0D0;60;1;0", a);
  for (auto _ : state) {
    PaintGradient(d, TRect{0, 0, W, H}, a);
    benchmark::ClobberMemory();
  }
  Bytes(state, d.DataSize());
}
BENCHMARK(BM_GradientHorizontal713x510);

// A picture far larger than the caches: memory speed decides.
void BM_Memcpy4000x3000(benchmark::State& state) {
  const TBitmap a = Noise(4000, 3000, 1);
  TBitmap b = Noise(4000, 3000, 2);
  for (auto _ : state) {
    std::memcpy(b.Data(), a.Data(), a.DataSize());
    benchmark::ClobberMemory();
  }
  Bytes(state, a.DataSize());
}
BENCHMARK(BM_Memcpy4000x3000)->Unit(benchmark::kMillisecond);

void BM_MixBitmaps4000x3000(benchmark::State& state) {
  const TBitmap s = Noise(4000, 3000, 1);
  TBitmap d = Noise(4000, 3000, 2);
  for (auto _ : state) {
    MixBitmaps(d, s, 127);
    benchmark::ClobberMemory();
  }
  Bytes(state, d.DataSize());
}
BENCHMARK(BM_MixBitmaps4000x3000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vm

BENCHMARK_MAIN();
