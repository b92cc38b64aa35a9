// Full repaint and present of a 713 x 510 window on the X11 host (a private
// Xvfb), next to memcpy of the same bytes. Presenting is measured through
// shared memory and through the socket; each iteration waits until the
// server has drawn, so the numbers are what a user would wait for.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/SysColors.h"
#include "platform/host/x11/X11Host.h"
#include "platform/win/WinApi.h"
#include "tests/platform/host/x11/XvfbServer.h"

// The surface is the host's own part; Xlib comes last for its macros.
#include "platform/host/x11/X11Display.h"
#include "platform/host/x11/X11PixelConvert.h"
#include "platform/host/x11/X11Surface.h"

using namespace vm;

namespace {

constexpr int WindowWidth = 713;
constexpr int WindowHeight = 510;

test::TXvfbServer* server = nullptr;

// A window shaped like the photo program's main window: a tool strip of
// buttons, a picture area and a status line, each a child window painting
// its own client area.
LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg != WM_PAINT) return DefWindowProc(hwnd, msg, w, l);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  TRect r;
  GetClientRect(hwnd, &r);
  FillRect(dc, &r, GetSysColor(COLOR_BTNFACE));
  FrameRect(dc, &r, GetSysColor(COLOR_BTNSHADOW));
  dc->SelectFont(TFont::Default());
  SetBkMode(dc, TRANSPARENT);
  DrawText(dc, GetWindowText(hwnd), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  EndPaint(hwnd, &ps);
  return 0;
}

LRESULT PictureProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg != WM_PAINT) return DefWindowProc(hwnd, msg, w, l);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  TRect r;
  GetClientRect(hwnd, &r);
  // Bands of colour standing in for a photograph.
  for (int y = 0; y < r.Bottom; y += 8) {
    TRect band{0, y, r.Right, std::min(r.Bottom, y + 8)};
    FillRect(dc, &band, RGB(40 + y % 200, 90 + (y * 3) % 160, 160));
  }
  EndPaint(hwnd, &ps);
  return 0;
}

LRESULT StatusProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg != WM_PAINT) return DefWindowProc(hwnd, msg, w, l);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  TRect r;
  GetClientRect(hwnd, &r);
  FillRect(dc, &r, GetSysColor(COLOR_BTNFACE));
  dc->SelectFont(TFont::Default());
  SetBkMode(dc, TRANSPARENT);
  TRect text{4, 0, r.Right, r.Bottom};
  DrawText(dc, "Size: 1234 KB", &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  EndPaint(hwnd, &ps);
  return 0;
}

// A child that fills its client area with one colour: the twelve children of
// the framed classic window, the same scene the headless benchmark repaints.
LRESULT PlainProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg != WM_PAINT) return DefWindowProc(hwnd, msg, w, l);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  TRect r;
  GetClientRect(hwnd, &r);
  FillRect(dc, &r, RGB(40, 90, 160));
  EndPaint(hwnd, &ps);
  return 0;
}

void RegisterClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASS main;
  main.lpfnWndProc = &DefWindowProc;
  main.hbrBackground = 0xFF000000u | COLOR_BTNFACE;
  main.lpszClassName = "BenchMain";
  RegisterClass(main);
  WNDCLASS button;
  button.lpfnWndProc = &ButtonProc;
  button.lpszClassName = "BenchButton";
  RegisterClass(button);
  WNDCLASS picture;
  picture.lpfnWndProc = &PictureProc;
  picture.lpszClassName = "BenchPicture";
  RegisterClass(picture);
  WNDCLASS status;
  status.lpfnWndProc = &StatusProc;
  status.lpszClassName = "BenchStatus";
  RegisterClass(status);
  WNDCLASS plain;
  plain.lpfnWndProc = &PlainProc;
  plain.lpszClassName = "BenchPlain";
  RegisterClass(plain);
}

// One host with the bench window shown on it, for the length of a benchmark.
struct TScene {
  // grid: twelve plain children of 160 x 140 in three rows of four instead
  // of the photo program's tool strip, picture and status line.
  explicit TScene(bool shm, bool grid = false) : Host(server->Display().c_str(), shm) {
    SetHost(&Host);
    RegisterClasses();
    Main = CreateWindowEx(0, "BenchMain", "Velmora bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                          20, 20, WindowWidth, WindowHeight, nullptr);
    TRect c;
    GetClientRect(Main, &c);
    if (grid) {
      for (int i = 0; i < 12; ++i)
        CreateWindowEx(0, "BenchPlain", "", WS_CHILD | WS_VISIBLE, 10 + (i % 4) * 170,
                       10 + (i / 4) * 150, 160, 140, Main, 100 + i);
    } else {
      for (int i = 0; i < 6; ++i)
        CreateWindowEx(0, "BenchButton", "Button " + std::to_string(i + 1), WS_CHILD | WS_VISIBLE,
                       4 + i * 84, 4, 80, 24, Main, 100 + i);
      CreateWindowEx(0, "BenchPicture", "", WS_CHILD | WS_VISIBLE, 0, 32, c.Width(),
                     c.Height() - 32 - 20, Main, 200);
      CreateWindowEx(0, "BenchStatus", "", WS_CHILD | WS_VISIBLE, 0, c.Height() - 20, c.Width(), 20,
                     Main, 300);
    }
    ShowWindow(Main, SW_SHOW);
    UpdateWindow(Main);
    ProcessPendingMessages();
    Host.Flush();
  }
  ~TScene() { SetHost(nullptr); }

  TX11Host Host;
  HWND Main = nullptr;
};

void Repaint(HWND hwnd) {
  RedrawWindow(hwnd, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// Memcpy of the bytes of a store of the window's size: the baseline.
void MemcpyStore(benchmark::State& state, TPixelFormat format) {
  TBitmap store(WindowWidth, WindowHeight, format);
  std::vector<std::uint8_t> target(store.DataSize());
  for (auto _ : state) {
    std::memcpy(target.data(), store.Data(), store.DataSize());
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(store.DataSize()));
}

// The host alone: the whole store put on the screen, through shared memory
// when range(0) is 1, else through the socket.
void PresentWholeStore(benchmark::State& state, TPixelFormat format) {
  const bool shm = state.range(0) != 0;
  TX11Host host(server->Display().c_str(), shm);
  if (shm && !host.UsesSharedMemory()) {
    state.SkipWithError("the server offers no shared memory");
    return;
  }
  THostWindow window =
      host.CreateNativeWindow({Bounds(20, 20, WindowWidth, WindowHeight), "bench"});
  host.ShowNativeWindow(window, true);
  TBitmap store(WindowWidth, WindowHeight, format);
  store.Fill(RGB(200, 180, 160));
  const std::vector<TRect> whole{{0, 0, WindowWidth, WindowHeight}};
  host.Present(window, store, whole);
  host.Flush();
  for (auto _ : state) {
    host.Present(window, store, whole);
    host.Flush();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(store.DataSize()));
  state.SetLabel(shm ? "MIT-SHM" : "socket");
}

// The window's 24-bit backing store, which the host converts to the
// server's layout.
void BM_MemcpyStore(benchmark::State& state) {
  MemcpyStore(state, TPixelFormat::pf24bit);
}
BENCHMARK(BM_MemcpyStore)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_X11Present(benchmark::State& state) {
  PresentWholeStore(state, TPixelFormat::pf24bit);
}
BENCHMARK(BM_X11Present)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A 32-bit store, whose pixels have the 24-bit visual's own layout: no
// conversion (a plain copy into the shared image, or straight from the
// store through the socket). Beside BM_MemcpyStore32.
void BM_MemcpyStore32(benchmark::State& state) {
  MemcpyStore(state, TPixelFormat::pf32bit);
}
BENCHMARK(BM_MemcpyStore32)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_X11PresentSameLayout(benchmark::State& state) {
  PresentWholeStore(state, TPixelFormat::pf32bit);
}
BENCHMARK(BM_X11PresentSameLayout)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_X11ConvertOnly(benchmark::State& state) {
  // Converting the 24-bit store into the server's 32-bit image, without
  // sending anything: the part of presenting that is ours alone.
  TX11Display display(server->Display().c_str(), false);
  TX11Surface surface(display);
  surface.Resize(WindowWidth, WindowHeight);
  TBitmap store(WindowWidth, WindowHeight);
  store.Fill(RGB(10, 20, 30));
  for (auto _ : state) surface.Update(store, {0, 0, WindowWidth, WindowHeight});
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(store.DataSize()));
}
BENCHMARK(BM_X11ConvertOnly)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_ConvertKernel(benchmark::State& state) {
  // Each conversion version alone over the store's rows (0 portable, 1 SSSE3,
  // 2 AVX2), beside BM_MemcpyStore of the same bytes.
  const auto kernel = TBgrxKernel(state.range(0));
  if (!BgrToBgrxAvailable(kernel)) {
    state.SkipWithError("the processor lacks this version");
    return;
  }
  TBitmap store(WindowWidth, WindowHeight);
  store.Fill(RGB(10, 20, 30));
  std::vector<std::uint8_t> image(std::size_t(WindowWidth) * WindowHeight * 4);
  for (auto _ : state) {
    for (int y = 0; y < WindowHeight; ++y)
      BgrToBgrxWith(kernel, store.ScanLine(y), image.data() + std::size_t(y) * WindowWidth * 4,
                    WindowWidth);
    benchmark::DoNotOptimize(image.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(store.DataSize()));
  state.SetLabel(kernel == TBgrxKernel::Avx2    ? "AVX2"
                 : kernel == TBgrxKernel::Ssse3 ? "SSSE3"
                                                : "portable");
}
BENCHMARK(BM_ConvertKernel)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

void RepaintAndPresent(benchmark::State& state, bool grid) {
  const bool shm = state.range(0) != 0;
  TScene scene(shm, grid);
  if (shm && !scene.Host.UsesSharedMemory()) {
    state.SkipWithError("the server offers no shared memory");
    return;
  }
  const TBitmap* store = GetWindowStore(scene.Main);
  for (auto _ : state) {
    Repaint(scene.Main);
    PresentWindows();
    scene.Host.Flush();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(store->DataSize()));
  state.SetLabel(shm ? "MIT-SHM" : "socket");
}
void BM_X11RepaintAndPresent(benchmark::State& state) {
  RepaintAndPresent(state, false);
}
void BM_X11RepaintAndPresent12Children(benchmark::State& state) {
  RepaintAndPresent(state, true);
}
BENCHMARK(BM_X11RepaintAndPresent)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_X11RepaintAndPresent12Children)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_RepaintOnly(benchmark::State& state) {
  // The painting part alone: the window system's repaint into the store.
  TScene scene(true);
  const TBitmap* store = GetWindowStore(scene.Main);
  for (auto _ : state) {
    Repaint(scene.Main);
    benchmark::DoNotOptimize(store->Data());
  }
  PresentWindows();
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(store->DataSize()));
}
BENCHMARK(BM_RepaintOnly)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  test::TXvfbServer xvfb(1280, 1024);
  if (!xvfb.Running()) {
    std::printf("Skipping the X11 host benchmarks: %s\n", xvfb.Error().c_str());
    return 0;
  }
  server = &xvfb;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
