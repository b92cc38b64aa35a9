// Announcing a skin to a form with 20 skinned labels (half of them with a
// section behind their text), each repainted in the skin's colours, next to
// loading the same skin with no windows to tell. Run with
// --benchmark_repetitions and --benchmark_enable_random_interleaving so the
// baseline is measured interleaved in the same run.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "platform/host/headless/HeadlessHost.h"
#include "skin/controls/Label.h"
#include "skin/data/BuiltinSkin.h"
#include "skin/data/SkinManager.h"
#include "skin/state/WindowAnnouncer.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

namespace {

using namespace vm;

std::unique_ptr<TsSkinManager> MakeManager() {
  auto m = std::make_unique<TsSkinManager>();
  m->SetSkinDirectory("/nonexistent-velmora-bench");
  TsStoredSkin& s = m->InternalSkins().Add();
  s.Name = BuiltinSkinName;
  auto bytes = BuiltinSkinContainer();
  s.Data.assign(bytes.begin(), bytes.end());
  return m;
}

void BM_LoadSkinAlone(benchmark::State& state) {
  auto manager = MakeManager();
  for (auto _ : state) {
    manager->SetSkinName(BuiltinSkinName);
    benchmark::DoNotOptimize(manager->gd.data());
  }
}
BENCHMARK(BM_LoadSkinAlone)->Unit(benchmark::kMicrosecond);

void BM_AnnounceTo20Labels(benchmark::State& state) {
  THeadlessHost host;
  SetHost(&host);
  {
    TApplication app;
    TsWindowAnnouncer announcer;
    auto manager = MakeManager();
    auto* form = Create<TForm>(&app);
    form->SetBounds(20, 20, 520, 260);
    std::vector<TsLabel*> labels;
    for (int i = 0; i < 20; ++i) {
      auto* l = Create<TsLabel>(form);
      l->SetParent(form);
      l->SetCaption("Размер: " + std::to_string(100 + i) + " КБ");
      if (i % 2) {
        l->SetAutoSize(false);
        l->SetSkinSection("PANEL");
      }
      l->SetBounds(10 + (i % 5) * 100, 10 + (i / 5) * 50, 90, 20);
      labels.push_back(l);
    }
    form->Show();
    app.ProcessMessages();
    for (auto _ : state) {
      manager->SetSkinName(BuiltinSkinName);
      app.ProcessMessages();
      benchmark::DoNotOptimize(labels[19]->Font()->Color());
    }
    if (labels[19]->PaintedSectionIndex() <= 0) state.SkipWithError("the labels were not skinned");
    manager.reset();
  }
  SetHost(nullptr);
}
BENCHMARK(BM_AnnounceTo20Labels)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
