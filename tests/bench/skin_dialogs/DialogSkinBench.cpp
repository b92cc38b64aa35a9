// The open-picture dialog on a folder of 2,000 pictures, from the call to the
// dialog's end after its first pause (made, listed, shown, painted, closed),
// taken over by the dialog layer under the built-in skin against the same
// dialog left plain (the manager's rules without standard dialogs), in the
// same process. Run with --benchmark_repetitions=9
// --benchmark_enable_random_interleaving and compare the medians.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "platform/controls/Controls.h"
#include "platform/controls/FileDialog.h"
#include "platform/gfx/Font.h"
#include "platform/host/headless/HeadlessHost.h"
#include "skin/data/BuiltinSkin.h"
#include "skin/data/SkinManager.h"
#include "skin/frame/FrameHook.h"
#include "skin/state/WindowAnnouncer.h"
#include "skin/subclass/AdapterKinds.h"
#include "skin/subclass/NxProvider.h"
#include "toolkit/Application.h"

namespace {

using namespace vm;
namespace fs = std::filesystem;

struct TWorld {
  fs::path Folder =
      fs::temp_directory_path() / ("vm-bench-skin-dialog-" + std::to_string(getpid()));
  THeadlessHost Host;
  std::unique_ptr<TApplication> App;
  std::unique_ptr<TsWindowAnnouncer> Announcer;
  std::unique_ptr<TsSkinManager> Manager;
  int Walked = 0;
  // Set by a repaint benchmark: runs its loop at the dialog's first pause,
  // then the dialog is closed.
  std::function<void(HWND)> AtPause;

  TWorld() {
    PinFontConfiguration();
    fs::create_directories(Folder);
    for (int i = 0; i < 2000; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "photo_%04d.jpg", (i * 7919) % 2000);
      std::ofstream(Folder / name) << 'x';
    }
    SetHost(&Host);
    RegisterStandardControls();
    App = std::make_unique<TApplication>();
    Announcer = std::make_unique<TsWindowAnnouncer>();
    InstallFrameLayer(*Announcer);
    InstallDialogLayer(*Announcer);
    RegisterAdapterSubclasses();
    Manager = std::make_unique<TsSkinManager>();
    TsStoredSkin& s = Manager->InternalSkins().Add();
    s.Name = BuiltinSkinName;
    const auto bytes = BuiltinSkinContainer();
    s.Data.assign(bytes.begin(), bytes.end());
    Manager->SetSkinName(BuiltinSkinName);
    // The user closes the dialog at its first pause.
    Host.SetIdleHandler([this] {
      HWND h = GetActiveWindow();
      if (!h || GetClassName(h) != "#32770") return false;
      Walked += DialogProviderOf(h) != nullptr;
      if (AtPause) {
        auto run = std::move(AtPause);
        AtPause = nullptr;
        run(h);
      }
      Host.Key(VK_ESCAPE);
      return true;
    });
  }
  ~TWorld() {
    Host.SetIdleHandler(nullptr);
    Manager.reset();
    FreeDialogProviders();
    App.reset();
    Announcer.reset();
    SetHost(nullptr);
    std::error_code ec;
    fs::remove_all(Folder, ec);
  }

  void OpenOnce() {
    TFileDialogParams p;
    p.Filter = "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg";
    p.InitialDir = Folder.string();
    benchmark::DoNotOptimize(RunFileDialog(p));
  }
};

TWorld& World() {
  static TWorld world;
  return world;
}

void BM_OpenDialogPlain(benchmark::State& state) {
  TWorld& w = World();
  w.Manager->SetSkinningRules(srStdForms | srThirdParty);
  for (auto _ : state) w.OpenOnce();
  w.Manager->SetSkinningRules(AllSkinningRules);
}
BENCHMARK(BM_OpenDialogPlain)->Unit(benchmark::kMillisecond);

void BM_OpenDialogSkinned(benchmark::State& state) {
  TWorld& w = World();
  w.Manager->SetSkinningRules(AllSkinningRules);
  const int before = w.Walked;
  for (auto _ : state) w.OpenOnce();
  // Every dialog of the loop was taken over.
  if (w.Walked - before != int(state.iterations())) state.SkipWithError("not skinned");
}
BENCHMARK(BM_OpenDialogSkinned)->Unit(benchmark::kMillisecond);

// The open dialog (its frame and every child) invalidated, painted and
// presented, while it shows the folder; beside memcpy of its bytes.
[[gnu::noinline]] void FullRepaintStep(HWND h) {
  RedrawWindow(h, nullptr, nullptr,
               RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PresentWindows();
}
void Repaint(benchmark::State& state, bool skinned) {
  TWorld& w = World();
  w.Manager->SetSkinningRules(skinned ? AllSkinningRules : (srStdForms | srThirdParty));
  w.AtPause = [&](HWND h) {
    if (skinned != (DialogProviderOf(h) != nullptr)) state.SkipWithError("wrong look");
    for (auto _ : state) FullRepaintStep(h);
  };
  w.OpenOnce();
  w.Manager->SetSkinningRules(AllSkinningRules);
}
void BM_RepaintOpenDialogPlain(benchmark::State& state) {
  Repaint(state, false);
}
void BM_RepaintOpenDialogSkinned(benchmark::State& state) {
  Repaint(state, true);
}
BENCHMARK(BM_RepaintOpenDialogPlain)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RepaintOpenDialogSkinned)->Unit(benchmark::kMicrosecond);

// The open dialog's bytes (612 x 363, 24 bits) copied once.
[[gnu::noinline]] void MemcpyStep(std::uint8_t* to, const std::uint8_t* from, std::size_t bytes) {
  std::memcpy(to, from, bytes);
  benchmark::DoNotOptimize(to);
  benchmark::ClobberMemory();
}
void BM_MemcpyDialogBytes(benchmark::State& state) {
  const std::size_t bytes = std::size_t(612) * 363 * 3;
  std::unique_ptr<std::uint8_t[]> from(new std::uint8_t[bytes]), to(new std::uint8_t[bytes]);
  std::memset(from.get(), 0x5A, bytes);
  std::memset(to.get(), 0, bytes);
  for (auto _ : state) MemcpyStep(to.get(), from.get(), bytes);
}
BENCHMARK(BM_MemcpyDialogBytes)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
