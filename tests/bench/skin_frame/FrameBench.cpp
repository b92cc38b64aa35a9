// The skinned frame: painting the whole frame cache of a 719 x 554 form (the
// size of the photo program's main window) against memcpy of the cache's
// bytes, a hover change on a title button from the mouse event to presented
// pixels, and the repaint of activating and deactivating the form, each next
// to its baseline. Run with --benchmark_repetitions and
// --benchmark_enable_random_interleaving so the baselines are measured
// interleaved in the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "platform/host/headless/HeadlessHost.h"
#include "skin/data/BuiltinSkin.h"
#include "skin/data/SkinManager.h"
#include "skin/frame/FrameHook.h"
#include "skin/frame/SkinProvider.h"
#include "skin/state/WindowAnnouncer.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

namespace {

using namespace vm;

// One skinned form on the headless host, kept for the whole run.
struct TWorld {
  THeadlessHost Host;
  std::unique_ptr<TApplication> App;
  std::unique_ptr<TsWindowAnnouncer> Announcer;
  std::unique_ptr<TsSkinManager> Manager;
  TForm* Form = nullptr;
  TForm* Other = nullptr;
  TsSkinProvider* Provider = nullptr;

  TWorld() {
    PinFontConfiguration();
    SetHost(&Host);
    App = std::make_unique<TApplication>();
    Announcer = std::make_unique<TsWindowAnnouncer>();
    InstallFrameLayer(*Announcer);
    Manager = std::make_unique<TsSkinManager>();
    TsStoredSkin& s = Manager->InternalSkins().Add();
    s.Name = BuiltinSkinName;
    const auto bytes = BuiltinSkinContainer();
    s.Data.assign(bytes.begin(), bytes.end());
    Manager->SetSkinName(BuiltinSkinName);
    Other = Create<TForm>(App.get());
    Other->SetBounds(800, 20, 200, 100);
    Form = Create<TForm>(App.get());
    Form->SetCaption("Velmora v8.0");
    Form->SetBounds(20, 20, 719, 554);
    Form->Show();
    Application->ProcessMessages();
    for (int i = 0; i < Form->ComponentCount(); ++i)
      if (auto* p = dynamic_cast<TsSkinProvider*>(Form->Components(i))) Provider = p;
  }
};

TWorld& World() {
  static TWorld world;
  return world;
}

void BM_PaintFrameCache(benchmark::State& state) {
  TWorld& w = World();
  for (auto _ : state) {
    w.Provider->FreeFrameCache();
    w.Provider->PaintFrame();
    benchmark::DoNotOptimize(w.Provider->FrameCache().Data());
  }
}
BENCHMARK(BM_PaintFrameCache)->Unit(benchmark::kMicrosecond);

// Repainting an existing cache of the right size (no new pixels to fault in).
void BM_RepaintFrameCache(benchmark::State& state) {
  TWorld& w = World();
  for (auto _ : state) {
    w.Provider->SkinData.CacheInvalid = true;
    w.Provider->PaintFrame();
    benchmark::DoNotOptimize(w.Provider->FrameCache().Data());
  }
}
BENCHMARK(BM_RepaintFrameCache)->Unit(benchmark::kMicrosecond);

// The baseline of the one above: the same repainting with the caption strip
// painted from the skin each time instead of laid from its copy.
void BM_RepaintFrameCacheFullCaption(benchmark::State& state) {
  TWorld& w = World();
  for (auto _ : state) {
    w.Provider->DropCaptionCopy();
    w.Provider->SkinData.CacheInvalid = true;
    w.Provider->PaintFrame();
    benchmark::DoNotOptimize(w.Provider->FrameCache().Data());
  }
}
BENCHMARK(BM_RepaintFrameCacheFullCaption)->Unit(benchmark::kMicrosecond);

void BM_MemcpyCacheBytes(benchmark::State& state) {
  TWorld& w = World();
  w.Provider->PaintFrame();
  const TBitmap& cache = w.Provider->FrameCache();
  TBitmap copy(cache.Width(), cache.Height());
  for (auto _ : state) {
    std::memcpy(copy.Data(), cache.Data(), cache.DataSize());
    benchmark::DoNotOptimize(copy.Data());
  }
}
BENCHMARK(BM_MemcpyCacheBytes)->Unit(benchmark::kMicrosecond);

// The pointer onto the close button and off it again: hit test, button
// repaint into the cache, copy to the window and presentation.
void BM_HoverCloseButton(benchmark::State& state) {
  TWorld& w = World();
  TRect r;
  GetWindowRect(w.Form->Handle(), &r);
  const TRect close = w.Provider->Button(TsSkinProvider::bClose).Rect;
  for (auto _ : state) {
    w.Host.MouseMove(r.Left + close.Left + 5, r.Top + close.Top + 5);
    Application->ProcessMessages();
    PresentWindows();
    w.Host.MouseMove(r.Left + 300, r.Top + 300);
    Application->ProcessMessages();
    PresentWindows();
  }
}
BENCHMARK(BM_HoverCloseButton)->Unit(benchmark::kMicrosecond);

// The baseline of the two above: the whole frame painted anew and presented.
void BM_WholeFramePresented(benchmark::State& state) {
  TWorld& w = World();
  for (auto _ : state) {
    w.Provider->RefreshFrame();
    PresentWindows();
  }
}
BENCHMARK(BM_WholeFramePresented)->Unit(benchmark::kMicrosecond);

// Deactivating and activating the form: both frame looks painted and copied.
void BM_DeactivateActivate(benchmark::State& state) {
  TWorld& w = World();
  HWND h = w.Form->Handle();
  for (auto _ : state) {
    SendMessage(h, WM_NCACTIVATE, 0, 0);
    SendMessage(h, WM_NCACTIVATE, 1, 0);
    PresentWindows();
  }
}
BENCHMARK(BM_DeactivateActivate)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
