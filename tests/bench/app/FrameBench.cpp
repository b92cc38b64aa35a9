// The photo program's main window (719 x 554) on the headless host, with its
// skinned frame and with skinning switched off (the platform's plain frame):
//   a hover change on the close button, from the mouse event to presented
//   pixels (the pointer onto the button and off it again);
//   deactivating and activating the window (WM_NCACTIVATE both ways, the
//   frame repainted in each look and presented);
//   a full repaint and present of the whole window (frame, client, every
//   child), skinned, before a photo is opened and with one shown;
//   a hover change on a glyph button (the pointer onto the open button and
//   off it again), skinned;
// each with its allocations and presented pixels per step as counters,
// beside memcpy of the window's bytes. Each benchmark switches the skin on
// or off before its timed loop, so run them interleaved and repeated:
//   bench_app_frames --benchmark_repetitions=9 --benchmark_enable_random_interleaving
//                    --benchmark_report_aggregates_only
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

#include "app/Main.h"
#include "app/Program.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/JpegCodec.h"
#include "platform/host/headless/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "skin/data/SkinManager.h"
#include "skin/state/FadeTimer.h"
#include "tests/bench/common/AllocationCount.h"
#include "toolkit/Application.h"

// Every allocation of the process is counted, so that each benchmark can
// report how many its step makes.

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

  // Opens a 1600 x 1200 photo (a smooth pattern, as a camera's would be), or
  // closes it by loading nothing; only the first call pays for the encoding.
  bool PhotoShown = false;
  void Photo(bool shown) {
    if (shown == PhotoShown) return;
    if (shown) {
      const std::string file = Dir + "photo.jpg";
      if (!std::filesystem::exists(file)) {
        TBitmap b(1600, 1200, TPixelFormat::pf24bit);
        for (int y = 0; y < b.Height(); ++y) {
          std::uint8_t* p = b.ScanLine(y);
          for (int x = 0; x < b.Width(); ++x, p += 3) {
            p[0] = std::uint8_t(x / 7 + y / 11);
            p[1] = std::uint8_t((x + y) / 9);
            p[2] = std::uint8_t(200 - y / 8);
          }
        }
        SaveJpegFile(file, b, 85);
      }
      app::frmMain->LoadPicture(file);
    } else {
      // Back to the empty view the program starts with.
      app::frmMain->Image1->Picture()->SetGraphic(nullptr);
      app::frmMain->Image1->SetBounds(0, 0, 620, 476);
    }
    PhotoShown = shown;
    Pump();
    PresentWindows();
  }

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

// What one step cost beyond time: allocations and presented pixels, per
// step. Steps are functions of their own so that callgrind can count the
// instructions of one (--toggle-collect='*HoverStep*' and so on).
struct TCounts {
  vm::bench::TAllocationTrace Trace;
  std::uint64_t Allocs = vm::bench::AllocationCount(), Pixels = 0;
  explicit TCounts(const TProgram& p) : Pixels(p.Host.PresentedPixels()) {}
  void Report(benchmark::State& state, const TProgram& p) const {
    const double n = double(state.iterations());
    // Read before the counters' own entries are made, which allocate.
    const double made = double(vm::bench::AllocationCount() - Allocs);
    state.counters["allocs"] = made / n;
    state.counters["presented_px"] = double(p.Host.PresentedPixels() - Pixels) / n;
  }
};

// The pointer onto a point and off it again, each change painted and presented.
[[gnu::noinline]] void HoverStep(TProgram& p, TPoint on) {
  p.Host.MouseMove(on.X, on.Y);
  p.Pump();
  PresentWindows();
  p.Host.MouseMove(p.Away.X, p.Away.Y);
  p.Pump();
  PresentWindows();
}

void Hover(benchmark::State& state, bool skinned) {
  TProgram& p = Program();
  p.Skin(skinned);
  TCounts counts(p);
  for (auto _ : state) HoverStep(p, p.Close);
  counts.Report(state, p);
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

// Everything of the window invalidated, painted and presented.
[[gnu::noinline]] void FullRepaintStep(HWND h) {
  RedrawWindow(h, nullptr, nullptr,
               RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PresentWindows();
}
void FullRepaint(benchmark::State& state, bool photo) {
  TProgram& p = Program();
  p.Skin(true);
  p.Photo(photo);
  HWND h = app::frmMain->Handle();
  TCounts counts(p);
  for (auto _ : state) FullRepaintStep(h);
  counts.Report(state, p);
}
void BM_FullRepaintSkinnedNoPhoto(benchmark::State& state) {
  FullRepaint(state, false);
}
void BM_FullRepaintSkinnedPhoto(benchmark::State& state) {
  FullRepaint(state, true);
}
BENCHMARK(BM_FullRepaintSkinnedNoPhoto)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullRepaintSkinnedPhoto)->Unit(benchmark::kMicrosecond);

// The pointer onto the open button (a glyph button) and off it again. The
// button fades between its looks on a timer the step never runs, so with
// fades on nothing would change within the step: fades are switched off and
// each change is the one repaint to the new look.
void BM_HoverGlyphButtonSkinned(benchmark::State& state) {
  TProgram& p = Program();
  p.Skin(true);
  const bool animationsWereOff = AnimationsOff;
  AnimationsOff = true;
  TRect r;
  GetWindowRect(app::frmMain->sBitBtn1->Handle(), &r);
  const TPoint on{r.Left + r.Width() / 2, r.Top + r.Height() / 2};
  TCounts counts(p);
  for (auto _ : state) HoverStep(p, on);
  counts.Report(state, p);
  AnimationsOff = animationsWereOff;
}
BENCHMARK(BM_HoverGlyphButtonSkinned)->Unit(benchmark::kMicrosecond);

// The window's bytes (719 x 554, 24 bits) copied once.
[[gnu::noinline]] void MemcpyStep(std::uint8_t* to, const std::uint8_t* from, std::size_t bytes) {
  std::memcpy(to, from, bytes);
  benchmark::DoNotOptimize(to);
  benchmark::ClobberMemory();
}
void BM_MemcpyWindowBytes(benchmark::State& state) {
  TProgram& p = Program();
  TRect r;
  GetWindowRect(app::frmMain->Handle(), &r);
  const std::size_t bytes = std::size_t(r.Width()) * std::size_t(r.Height()) * 3;
  std::unique_ptr<std::uint8_t[]> from(new std::uint8_t[bytes]), to(new std::uint8_t[bytes]);
  std::memset(from.get(), 0x5A, bytes);
  std::memset(to.get(), 0, bytes);
  (void)p;
  for (auto _ : state) MemcpyStep(to.get(), from.get(), bytes);
}
BENCHMARK(BM_MemcpyWindowBytes)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
