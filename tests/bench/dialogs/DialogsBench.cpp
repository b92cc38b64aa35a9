// The picture dialog's speed: opening it on a folder of 2,000 files beside a
// bare listing of the same folder, and choosing a 12-megapixel JPEG up to its
// preview beside the library's full decode of the same file.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "platform/controls/ControlDefs.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/FileDialog.h"
#include "platform/gfx/JpegCodec.h"
#include "platform/host/headless/HeadlessHost.h"

namespace fs = std::filesystem;
using namespace vm;

namespace {

struct TFixture {
  fs::path Folder = fs::temp_directory_path() / ("vm-bench-dialog-" + std::to_string(getpid()));
  fs::path Photo;
  std::vector<std::uint8_t> PhotoBytes;
  THeadlessHost Host;
  TFixture() {
    fs::create_directories(Folder / "many");
    for (int i = 0; i < 2000; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "photo_%04d.jpg", (i * 7919) % 2000);
      std::ofstream(Folder / "many" / name) << 'x';
    }
    // A 4000 x 3000 picture with detail everywhere, as a camera's would have.
    TBitmap pic(4000, 3000);
    std::mt19937 rng(7);
    for (int y = 0; y < pic.Height(); ++y) {
      std::uint8_t* row = pic.ScanLine(y);
      for (int x = 0; x < pic.Width(); ++x) {
        int n = int(rng() & 31);
        row[3 * x] = std::uint8_t((x / 16 + n) & 255);
        row[3 * x + 1] = std::uint8_t((y / 12 + n) & 255);
        row[3 * x + 2] = std::uint8_t(((x + y) / 28 + n) & 255);
      }
    }
    PhotoBytes = EncodeJpeg(pic, 90);
    fs::create_directories(Folder / "one");
    Photo = Folder / "one" / "big.jpg";
    std::ofstream(Photo, std::ios::binary)
        .write(reinterpret_cast<const char*>(PhotoBytes.data()),
               std::streamsize(PhotoBytes.size()));
    SetHost(&Host);
    RegisterStandardControls();
  }
  ~TFixture() {
    SetHost(nullptr);
    fs::remove_all(Folder);
  }
};

TFixture& F() {
  static TFixture f;
  return f;
}

void BM_BareListing(benchmark::State& state) {
  const std::string dir = (F().Folder / "many").string();
  for (auto _ : state) {
    DIR* d = opendir(dir.c_str());
    int n = 0;
    while (dirent* e = readdir(d)) n += e->d_name[0] != '.';
    closedir(d);
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_BareListing)->Unit(benchmark::kMicrosecond);

void BM_ListFolder(benchmark::State& state) {
  const std::string dir = (F().Folder / "many").string();
  for (auto _ : state) benchmark::DoNotOptimize(ListFolder(dir, {"*.jpg", "*.jpeg"}));
}
BENCHMARK(BM_ListFolder)->Unit(benchmark::kMicrosecond);

// Creating the dialog, listing and filling 2,000 items, painting it once and closing it.
void BM_OpenDialogOn2000Files(benchmark::State& state) {
  TFileDialogParams p;
  p.Filter = "JPEG|*.jpg;*.jpeg";
  p.InitialDir = (F().Folder / "many").string();
  for (auto _ : state) {
    F().Host.SetIdleHandler([]() {
      HWND box = GetActiveWindow();
      if (!box) return false;
      EndDialog(box, IDCANCEL);
      return true;
    });
    benchmark::DoNotOptimize(RunFileDialog(p));
  }
  F().Host.SetIdleHandler(nullptr);
}
BENCHMARK(BM_OpenDialogOn2000Files)->Unit(benchmark::kMillisecond);

void BM_BareFullDecode12MP(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(DecodeJpeg(F().PhotoBytes));
}
BENCHMARK(BM_BareFullDecode12MP)->Unit(benchmark::kMillisecond);

// Selecting the photo in the list: the file is read, decoded at 1/8 and fitted.
void BM_SelectToPreview12MP(benchmark::State& state) {
  TFileDialogParams p;
  p.Filter = "JPEG|*.jpg";
  p.InitialDir = (F().Folder / "one").string();
  bool ran = false;
  F().Host.SetIdleHandler([&]() {
    HWND box = GetActiveWindow();
    if (!box || ran) return false;
    ran = true;
    HWND list = GetDlgItem(box, IDC_FD_LIST);
    for (auto _ : state) {
      LVITEM item;
      item.stateMask = LVIS_SELECTED;
      item.state = 0;
      SendMessage(list, LVM_SETITEMSTATE, 0, LPARAM(reinterpret_cast<std::uintptr_t>(&item)));
      item.state = LVIS_SELECTED;
      SendMessage(list, LVM_SETITEMSTATE, 0, LPARAM(reinterpret_cast<std::uintptr_t>(&item)));
    }
    EndDialog(box, IDCANCEL);
    return true;
  });
  RunFileDialog(p);
  F().Host.SetIdleHandler(nullptr);
}
BENCHMARK(BM_SelectToPreview12MP)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
