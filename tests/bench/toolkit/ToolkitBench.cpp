// The toolkit's own cost over the window system, each beside a baseline of
// the same run:
//   - creating and showing a form with 50 controls, against creating and
//     showing the same 50 windows with the platform's calls alone;
//   - repainting a 713 x 510 form with 12 controls and presenting it, against
//     a memcpy of its pixels.
// Run with --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true
// and compare the medians.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/gfx/SysColors.h"
#include "platform/host/headless/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "toolkit/Application.h"
#include "toolkit/Bevel.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Button.h"
#include "toolkit/Image.h"
#include "toolkit/Label.h"
#include "toolkit/Layout.h"
#include "toolkit/Panel.h"
#include "toolkit/ScrollBox.h"

namespace vm {
namespace {

constexpr int W = 713, H = 510;

struct THostScope {
  THeadlessHost host;
  THostScope() {
    SetHost(&host);
    PinFontConfiguration();
  }
  ~THostScope() { SetHost(nullptr); }
};

// 25 push buttons and 25 panels in a grid.
TRect Cell(int i) {
  return Bounds(8 + (i % 10) * 70, 8 + (i / 10) * 40, 64, 32);
}

void BM_Form50Controls_CreateAndShow(benchmark::State& state) {
  THostScope scope;
  TApplication app;
  for (auto _ : state) {
    auto* f = Create<TForm>(&app);
    f->SetClientSize(W, H);
    for (int i = 0; i < 50; ++i) {
      TRect r = Cell(i);
      TPlacement at{r.Left, r.Top, r.Width(), r.Height()};
      if (i % 2)
        Place<TButton>(f, f, "Button" + std::to_string(i), at,
                       [](TButton& b) { b.SetCaption("OK"); });
      else
        Place<TPanel>(f, f, "Panel" + std::to_string(i), at);
    }
    f->Show();
    UpdateWindow(f->Handle());
    PresentWindows();
    delete f;
  }
}

LRESULT PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return DefWindowProc(h, m, w, l);
}

void BM_Bare50Windows_CreateAndShow(benchmark::State& state) {
  THostScope scope;
  RegisterStandardControls();
  WNDCLASS wc;
  wc.lpszClassName = "BenchPlain";
  wc.lpfnWndProc = &PlainProc;
  wc.hbrBackground = GetSysColor(COLOR_BTNFACE);
  RegisterClass(wc);
  for (auto _ : state) {
    HWND top = CreateWindowEx(0, "BenchPlain", "", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                              W + 8, H + 27, nullptr);
    for (int i = 0; i < 50; ++i) {
      TRect r = Cell(i);
      CreateWindowEx(0, i % 2 ? "Button" : "BenchPlain", i % 2 ? "OK" : "",
                     WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, r.Left, r.Top, r.Width(), r.Height(),
                     top);
    }
    ShowWindow(top, SW_SHOW);
    UpdateWindow(top);
    PresentWindows();
    DestroyWindow(top);
  }
  UnregisterClass("BenchPlain");
}

// The main window's kind of content: buttons, labels, bevels, a panel, a picture in a scroll box.
class TBenchForm : public TForm {
 public:
  explicit TBenchForm(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsSingle);
    SetClientSize(W, H);
    for (int i = 0; i < 4; ++i)
      Place<TButton>(this, this, "Button" + std::to_string(i), {8, 8 + i * 47, 49, 41});
    for (int i = 0; i < 3; ++i)
      Place<TLabel>(this, this, "Label" + std::to_string(i), {80, 8 + i * 20},
                    [](TLabel& l) { l.SetCaption("Качество изображения: 100%"); });
    Place<TBevel>(this, this, "Bevel1", {8, 300, 200, 100}, [](TBevel& b) { b.SetShape(bsFrame); });
    Place<TBevel>(this, this, "Bevel2", {8, 410, 200, 2}, [](TBevel& b) { b.SetShape(bsTopLine); });
    Place<TPanel>(this, this, "Panel1", {0, 491, W, 19}, [](TPanel& p) { p.SetAlign(alBottom); });
    auto* box = Place<TScrollBox>(this, this, "ScrollBox1", {63, 8, 640, 480});
    Place<TImage>(this, box, "Image1", {0, 0}, [](TImage& i) {
      i.SetAutoSize(true);
      tk::TBitmap pic(1000, 700);
      i.Picture()->SetGraphic(&pic);
    });
  }
};

void BM_Form713x510With12Controls_Repaint(benchmark::State& state) {
  THostScope scope;
  TApplication app;
  TBenchForm* f = nullptr;
  app.CreateForm(f);
  f->Show();
  app.ProcessMessages();
  for (auto _ : state) {
    RedrawWindow(f->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PresentWindows();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * W * H * 3);
}

void BM_Memcpy713x510(benchmark::State& state) {
  std::vector<std::uint8_t> a(std::size_t(W) * H * 3, 7), b(a.size());
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), a.size());
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * W * H * 3);
}

BENCHMARK(BM_Form50Controls_CreateAndShow);
BENCHMARK(BM_Bare50Windows_CreateAndShow);
BENCHMARK(BM_Form713x510With12Controls_Repaint);
BENCHMARK(BM_Memcpy713x510);

}  // namespace
}  // namespace vm

BENCHMARK_MAIN();
