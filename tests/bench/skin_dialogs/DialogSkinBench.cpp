// The open-picture dialog on a folder of 2,000 pictures, from the call to the
// dialog's end after its first pause (made, listed, shown, painted, closed),
// taken over by the dialog layer under the built-in skin against the same
// dialog left plain (the manager's rules without standard dialogs), in the
// same process. Run with --benchmark_repetitions=9
// --benchmark_enable_random_interleaving and compare the medians.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
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

}  // namespace

BENCHMARK_MAIN();
