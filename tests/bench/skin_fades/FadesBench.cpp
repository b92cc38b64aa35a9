// Fades and transitions: one fade frame of a small button (49 x 41) and of a
// large picture (713 x 510) against memcpy of the same bytes, and a 20-frame
// transition of a 713 x 510 form with 20 skinned controls end to end (the
// 8 ms waits between frames pass on the headless host's clock, so they cost
// nothing), next to a full redraw of the same form. Run with
// --benchmark_repetitions and --benchmark_enable_random_interleaving so the
// baselines are measured interleaved in the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "platform/host/headless/HeadlessHost.h"
#include "skin/data/BuiltinSkin.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/state/CommonData.h"
#include "skin/state/ControlPaint.h"
#include "skin/state/FadeTimer.h"
#include "skin/state/SkinCommand.h"
#include "skin/state/Transition.h"
#include "skin/state/WindowAnnouncer.h"
#include "toolkit/Application.h"
#include "toolkit/CustomControl.h"
#include "toolkit/Form.h"

namespace {

using namespace vm;

std::unique_ptr<TBitmap> Picture(int w, int h, int seed) {
  auto b = CreateBitmap24(w, h);
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = b->ScanLine(y);
    for (int x = 0; x < w * 3; ++x) row[x] = std::uint8_t(x * 7 + y * 13 + seed);
  }
  return b;
}

void BM_FadeStep(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  auto start = Picture(w, h, 1);
  auto cache = Picture(w, h, 99);
  TBitmap frame;
  int step = 1;
  for (auto _ : state) {
    MakeFadeFrame(frame, *start, *cache, step, 10);
    step = step % 9 + 1;  // weights 230 .. 25, never the plain copy of the last step
    benchmark::DoNotOptimize(frame.Data());
  }
}
BENCHMARK(BM_FadeStep)->Args({49, 41})->Args({713, 510})->Unit(benchmark::kNanosecond);

void BM_MemcpySameBytes(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  auto start = Picture(w, h, 1);
  TBitmap frame(w, h);
  for (auto _ : state) {
    std::memcpy(frame.Data(), start->Data(), start->DataSize());
    benchmark::DoNotOptimize(frame.Data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemcpySameBytes)->Args({49, 41})->Args({713, 510})->Unit(benchmark::kNanosecond);

// A skinned control that prints itself from its cache.
class TBenchBox : public TCustomControl {
 public:
  explicit TBenchBox(TComponent* owner) : TCustomControl(owner), SkinData(this, true) {
    SkinData.ControlType = 94;
  }
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_PRINTCLIENT) {
      Build();
      reinterpret_cast<HDC>(m.WParam)->BitBlt(0, 0, Width(), Height(), *SkinData.CacheBmp, 0, 0,
                                              SRCCOPY);
      return;
    }
    if (m.Msg == SM_NIRVEXCMD && CommandOf(m.WParam) == CmdQueryHandled) {
      m.Result = m.LParam = 1;
      return;
    }
    if (SkinData.HandleMessage(m)) return;
    TCustomControl::WndProc(m);
  }
  void Build() {
    if (!SkinData.CacheInvalid) return;
    SkinData.PrepareCache();
    PaintControlItem(SkinData, SkinData.GetParentBackground(), true, true, SkinData.CacheBmp.get(),
                     {Left(), Top()}, ClientRect(), 0);
    SkinData.CacheInvalid = false;
  }
  TsCommonData SkinData;

 protected:
  void Paint() override {
    if (!SkinData.IsSkinned(true)) return;
    Build();
    PaintDC()->BitBlt(0, 0, Width(), Height(), *SkinData.CacheBmp, 0, 0, SRCCOPY);
  }
};

template <class Body>
void OnForm(benchmark::State& state, Body body) {
  THeadlessHost host;
  SetHost(&host);
  {
    TApplication app;
    TsWindowAnnouncer announcer;
    auto manager = std::make_unique<TsSkinManager>();
    manager->SetSkinDirectory("/nonexistent-velmora-bench");
    TsStoredSkin& s = manager->InternalSkins().Add();
    s.Name = BuiltinSkinName;
    auto bytes = BuiltinSkinContainer();
    s.Data.assign(bytes.begin(), bytes.end());
    manager->SetSkinName(BuiltinSkinName);
    auto* form = Create<TForm>(&app);
    form->SetBounds(20, 20, 713, 510);
    std::vector<TBenchBox*> boxes;
    for (int i = 0; i < 20; ++i) {
      auto* b = Create<TBenchBox>(form);
      b->SetBounds(10 + (i % 5) * 130, 10 + (i / 5) * 110, 120, 100);
      b->SetParent(form);
      b->SkinData.Loaded();
      boxes.push_back(b);
    }
    form->Show();
    app.ProcessMessages();
    for (auto _ : state) {
      for (TBenchBox* b : boxes) b->SkinData.CacheInvalid = true;  // a new look to render
      body(form);
    }
    if (!boxes[0]->SkinData.IsSkinned(true)) state.SkipWithError("the controls were not skinned");
    manager.reset();
  }
  SetHost(nullptr);
}

// 152 ms: 152 div 8 + 1 = 20 mixed frames, then the new picture.
void BM_Transition20Frames713x510(benchmark::State& state) {
  OnForm(state, [](TForm* form) {
    BeginTransition(form);
    RunTransition(form, 152);
  });
}
BENCHMARK(BM_Transition20Frames713x510)->Unit(benchmark::kMicrosecond);

void BM_FullRedraw713x510(benchmark::State& state) {
  OnForm(state, [](TForm* form) {
    RedrawWindow(form->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PresentWindows();
  });
}
BENCHMARK(BM_FullRedraw713x510)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
