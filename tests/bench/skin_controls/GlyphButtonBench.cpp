// A glyph button of the main window's size (49 x 41, a 32 x 32 glyph) on a
// form of the main window's size: one hover change from the pointer event to
// presented pixels (fades off: the change shows at once), and one fade step
// of the same button on the host's clock, each next to memcpy of the main
// window's bytes. Run with --benchmark_repetitions and
// --benchmark_enable_random_interleaving so the baseline is measured
// interleaved in the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "platform/host/headless/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "skin/controls/BitBtn.h"
#include "skin/data/BuiltinSkin.h"
#include "skin/data/SkinManager.h"
#include "skin/state/FadeTimer.h"
#include "skin/state/WindowAnnouncer.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

namespace {

using namespace vm;

// The main window's outer size.
constexpr int MainWidth = 719, MainHeight = 554;

std::unique_ptr<TsSkinManager> MakeManager() {
  auto m = std::make_unique<TsSkinManager>();
  m->SetSkinDirectory("/nonexistent-velmora-bench");
  TsStoredSkin& s = m->InternalSkins().Add();
  s.Name = BuiltinSkinName;
  auto bytes = BuiltinSkinContainer();
  s.Data.assign(bytes.begin(), bytes.end());
  m->SetSkinName(BuiltinSkinName);
  return m;
}

struct TScene {
  THeadlessHost host;
  std::unique_ptr<TApplication> app;
  std::unique_ptr<TsWindowAnnouncer> announcer;
  std::unique_ptr<TsSkinManager> manager;
  TForm* form = nullptr;
  TsBitBtn* button = nullptr;

  TScene() {
    SetHost(&host);
    app = std::make_unique<TApplication>();
    announcer = std::make_unique<TsWindowAnnouncer>();
    manager = MakeManager();
    form = new TForm(app.get());
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, MainWidth, MainHeight);
    button = new TsBitBtn(form);
    button->SetParent(form);
    button->SetBounds(8, 8, 49, 41);
    tk::TBitmap glyph(32, 32);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        glyph.Image().SetPixel(x, y,
                               (x - 16) * (x - 16) + (y - 16) * (y - 16) < 200
                                   ? RGB(40, 90, 160)
                                   : TColor(0x00FF00FF));
    button->SetGlyph(&glyph);
    form->Show();
    Settle();
  }
  ~TScene() {
    AnimationsOff = false;
    manager.reset();
    app.reset();
    announcer.reset();
    SetHost(nullptr);
  }
  void Settle() {
    app->ProcessMessages();
    PresentWindows();
  }
};

void BM_HoverChangeToPresentedPixels(benchmark::State& state) {
  TScene scene;
  AnimationsOff = true;
  bool over = false;
  for (auto _ : state) {
    over = !over;
    scene.host.MouseMove(over ? 30 : 300, over ? 30 : 300);
    scene.Settle();
  }
  if (scene.button->StateIndex() > 1 || !scene.button->Skinned())
    state.SkipWithError("the button was not skinned");
}
BENCHMARK(BM_HoverChangeToPresentedPixels)->Unit(benchmark::kMicrosecond);

void BM_FadeStepToPresentedPixels(benchmark::State& state) {
  TScene scene;
  bool over = false;
  int frames = 0;
  for (auto _ : state) {
    if (!scene.button->FadeTimer()) {
      state.PauseTiming();
      over = !over;
      scene.host.MouseMove(over ? 30 : 300, over ? 30 : 300);
      scene.Settle();
      state.ResumeTiming();
    }
    scene.host.AdvanceClock(10);
    scene.Settle();
    ++frames;
  }
  state.counters["frames"] = frames;
}
BENCHMARK(BM_FadeStepToPresentedPixels)->Unit(benchmark::kMicrosecond);

void BM_MemcpyMainWindowBytes(benchmark::State& state) {
  TBitmap a(MainWidth, MainHeight), b(MainWidth, MainHeight);
  a.Fill(RGB(10, 20, 30));
  for (auto _ : state) {
    std::memcpy(b.Data(), a.Data(), a.DataSize());
    benchmark::DoNotOptimize(b.Data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemcpyMainWindowBytes)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
