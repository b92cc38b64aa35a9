// Speed of the blends and gradients that fades and see-through backgrounds run
// many times a second, each next to memcpy of the same bytes in the same run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "skin/paint/pixels/Gradient.h"
#include "skin/paint/pixels/PixelOps.h"
#include "tests/bench/common/CopyBaseline.h"

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

// memcpy of the bytes of a w x h 24-bit picture, the baseline of each size.
void MemcpyPicture(benchmark::State& state, int w, int h) {
  bench::TCopyBaseline copy(std::size_t(w) * std::size_t(h) * 3);
  for (auto _ : state) {
    copy.Copy();
    benchmark::ClobberMemory();
  }
  Bytes(state, copy.Size());
}

void BM_Memcpy713x510(benchmark::State& state) {
  MemcpyPicture(state, W, H);
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

// 90 % toward these channels computed in doubles lands above some halves
// and below others, in no rule: the kernel looks each byte value's rounding
// up in a per-channel set.
constexpr TColor Irregular = RGB(83, 41, 161);

void BM_BlendRectWithColor90Irregular_713x510(benchmark::State& state) {
  TBitmap d = Noise(W, H, 2);
  for (auto _ : state) {
    BlendRectWithColor(d, TRect{0, 0, W, H}, 90, Irregular);
    benchmark::ClobberMemory();
  }
  Bytes(state, d.DataSize());
}
BENCHMARK(BM_BlendRectWithColor90Irregular_713x510);

// Each variant of the kernel by itself (range(1): 0 portable, 1 SSE2,
// 2 SSSE3, 3 AVX2), at 60 % and at the irregular 90 %.
void BM_BlendRectWithColorAtLevel713x510(benchmark::State& state) {
  TBitmap d = Noise(W, H, 2);
  const int percent = int(state.range(0)), level = int(state.range(1));
  const TColor c = percent == 90 ? Irregular : RGB(40, 80, 160);
  for (auto _ : state) {
    BlendRectWithColorAtLevel(level, d, TRect{0, 0, W, H}, percent, c);
    benchmark::ClobberMemory();
  }
  Bytes(state, d.DataSize());
}
BENCHMARK(BM_BlendRectWithColorAtLevel713x510)
    ->Args({60, 1})
    ->Args({60, 3})
    ->Args({90, 1})
    ->Args({90, 2})
    ->Args({90, 3});

// The same blends on a bitmap that stays in the first-level cache: the
// kernels' own arithmetic, beside memcpy of 64 x 64 pixels.
void BM_BlendRectWithColor64x64(benchmark::State& state) {
  TBitmap d = Noise(64, 64, 2);
  const int percent = int(state.range(0));
  const TColor c = percent == 90 ? Irregular : RGB(41, 81, 161);
  for (auto _ : state) {
    BlendRectWithColor(d, TRect{0, 0, 64, 64}, percent, c);
    benchmark::ClobberMemory();
  }
  Bytes(state, d.DataSize());
}
BENCHMARK(BM_BlendRectWithColor64x64)->Arg(60)->Arg(50)->Arg(25)->Arg(90);

void BM_Memcpy64x64(benchmark::State& state) {
  MemcpyPicture(state, 64, 64);
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
  MemcpyPicture(state, 4000, 3000);
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
