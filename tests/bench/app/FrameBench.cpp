// The photo program's main window (719 x 554) on the headless host, with its
// skinned frame and with skinning switched off (the platform's plain frame):
//   a hover change on the close button, from the mouse event to presented
//   pixels (the pointer onto the button and off it again);
//   deactivating and activating the window (WM_NCACTIVATE both ways, the
//   frame repainted in each look and presented);
// beside memcpy of the window's bytes. Each benchmark switches the skin on
// or off before its timed loop, so run them interleaved and repeated:
//   bench_app_frames --benchmark_repetitions=9 --benchmark_enable_random_interleaving
//                    --benchmark_report_aggregates_only
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/Main.h"
#include "app/Program.h"
#include "platform/gfx/Font.h"
#include "platform/host/headless/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "skin/data/SkinManager.h"
#include "toolkit/Application.h"

namespace {

using namespace vm;

// The program, started once for the whole run.
struct TProgram {
  std::string Dir;
  THeadlessHost Host;
  std::unique_ptr<TApplication> App;
  TPoint Close;  // a screen point over the close button
  TPoint Away;   // a screen point over the client area

  TProgram() {
    PinFontConfiguration();
    std::string tmpl = (std::filesystem::temp_directory_path() / "velmora-bench-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("no scratch folder");
    Dir = tmpl + "/";
    mkdir((Dir + "Temp").c_str(), 0755);
    SetHost(&Host);
    SetProgramFolder(Dir);
    app::PrepareProcess();
    App = app::CreateProgram();
    app::frmMain->Show();
    Pump();
  }
  ~TProgram() {
    App.reset();
    app::FinishProcess();
    SetProgramFolder("");
    SetHost(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(Dir, ec);
  }
  void Pump() { Application->ProcessMessages(); }

  // Skinning on or off; the window is activated anew (it gets its frame on
  // activation) and the close button found again by the window's hit test.
  void Skin(bool on) {
    TsSkinManager* m = app::frmMain->sSkinManager1;
    if (m->Active() != on) {
      m->SetActive(on);
      Host.DesktopFocus(0);
      Pump();
      Host.DesktopFocus(GetHostWindow(app::frmMain->Handle()));
      Pump();
    }
    HWND h = app::frmMain->Handle();
    TRect r;
    GetWindowRect(h, &r);
    Away = {r.Left + r.Width() / 2, r.Top + r.Height() / 2};
    Close = {};
    for (int y = r.Top; y < r.Top + 30 && !Close.X; ++y)
      for (int x = r.Right - 1; x > r.Right - 60; --x)
        if (SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
          Close = {x - 5, y + 5};
          break;
        }
    if (!Close.X) throw std::runtime_error("no close button found");
    Host.MouseMove(Away.X, Away.Y);
    Pump();
    PresentWindows();
  }
};

TProgram& Program() {
  static TProgram program;
  return program;
}

void Hover(benchmark::State& state, bool skinned) {
  TProgram& p = Program();
  p.Skin(skinned);
  for (auto _ : state) {
    p.Host.MouseMove(p.Close.X, p.Close.Y);
    p.Pump();
    PresentWindows();
    p.Host.MouseMove(p.Away.X, p.Away.Y);
    p.Pump();
    PresentWindows();
  }
}
void BM_HoverCloseSkinned(benchmark::State& state) {
  Hover(state, true);
}
void BM_HoverClosePlain(benchmark::State& state) {
  Hover(state, false);
}
BENCHMARK(BM_HoverCloseSkinned)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HoverClosePlain)->Unit(benchmark::kMicrosecond);

void Activation(benchmark::State& state, bool skinned) {
  TProgram& p = Program();
  p.Skin(skinned);
  HWND h = app::frmMain->Handle();
  for (auto _ : state) {
    SendMessage(h, WM_NCACTIVATE, 0, 0);
    PresentWindows();
    SendMessage(h, WM_NCACTIVATE, 1, 0);
    PresentWindows();
  }
}
void BM_DeactivateActivateSkinned(benchmark::State& state) {
  Activation(state, true);
}
void BM_DeactivateActivatePlain(benchmark::State& state) {
  Activation(state, false);
}
BENCHMARK(BM_DeactivateActivateSkinned)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeactivateActivatePlain)->Unit(benchmark::kMicrosecond);

// The window's bytes (719 x 554, 24 bits) copied once.
void BM_MemcpyWindowBytes(benchmark::State& state) {
  TProgram& p = Program();
  TRect r;
  GetWindowRect(app::frmMain->Handle(), &r);
  const std::size_t bytes = std::size_t(r.Width()) * std::size_t(r.Height()) * 3;
  std::unique_ptr<std::uint8_t[]> from(new std::uint8_t[bytes]), to(new std::uint8_t[bytes]);
  std::memset(from.get(), 0x5A, bytes);
  std::memset(to.get(), 0, bytes);
  (void)p;
  for (auto _ : state) {
    std::memcpy(to.get(), from.get(), bytes);
    benchmark::DoNotOptimize(to.get());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemcpyWindowBytes)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
