// Shared set-up of the skinned control tests: a headless host with an
// application and the window announcer, a manager that holds the built-in
// skin and can switch to a recoloured copy of it written into a folder for
// the test, borderless forms to put controls on, and screenshots of them.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "platform/gfx/BmpCodec.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/PngCodec.h"
#include "platform/host/headless/HeadlessHost.h"
#include "skin/data/BuiltinSkin.h"
#include "skin/data/SkinManager.h"
#include "skin/state/WindowAnnouncer.h"
#include "tests/support/Golden.h"
#include "tests/support/RecolouredSkin.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

namespace vm::test {

namespace fs = std::filesystem;

inline fs::path SourceDir() {
  const char* s = std::getenv("VELMORA_SOURCE_DIR");
  return s ? fs::path(s) : fs::current_path();
}

class TControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PinFontConfiguration();
    static int counter = 0;
    dir = fs::temp_directory_path() /
          ("velmora-controls-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    fs::remove_all(dir);
    fs::create_directories(dir);
    SetHost(&host);
    app = std::make_unique<TApplication>();
    announcer = std::make_unique<TsWindowAnnouncer>();
  }
  void TearDown() override {
    manager.reset();
    app.reset();
    announcer.reset();
    SetHost(nullptr);
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  // The default manager with the built-in skin loaded and announced.
  TsSkinManager& LoadBuiltinSkin() {
    if (!manager) {
      manager = std::make_unique<TsSkinManager>();
      manager->SetSkinDirectory(dir.string());
      TsStoredSkin& s = manager->InternalSkins().Add();
      s.Name = BuiltinSkinName;
      const std::span<const std::uint8_t> bytes = BuiltinSkinContainer();
      s.Data.assign(bytes.begin(), bytes.end());
    }
    manager->SetSkinName(BuiltinSkinName);
    EXPECT_TRUE(manager->SkinData.Active) << "the built-in skin did not load";
    return *manager;
  }

  // A copy of the built-in skin as a folder, its global font colour and its
  // faces recoloured (the built-in skin must be loaded, for its master bitmap).
  void WriteRecolouredSkin() {
    ASSERT_TRUE(manager && manager->MasterBitmap);
    test::WriteRecolouredSkin(*manager->MasterBitmap, dir, SourceDir());
  }

  // A borderless form at the screen's top-left, shown.
  TForm* MakeForm(int width, int height) {
    auto* f = Create<TForm>(app.get());
    f->SetName("Form" + std::to_string(++forms));
    f->SetBorderStyle(bsNone);
    f->SetBounds(0, 0, width, height);
    f->Show();
    return f;
  }

  // A copy of the recoloured skin whose description went through edit, as a
  // new folder, made the manager's skin (the built-in skin must be loaded).
  void LoadEditedSkin(const std::function<std::string(std::string)>& edit) {
    WriteRecolouredSkin();
    const std::string name = "Edited" + std::to_string(++edited);
    const fs::path from = dir / RecolouredSkin, to = dir / name;
    fs::create_directories(to);
    fs::copy_file(from / "MASTER.BMP", to / "MASTER.BMP", fs::copy_options::overwrite_existing);
    std::ifstream in(from / "Options.dat", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::ofstream(to / "Options.dat", std::ios::binary) << edit(text.str());
    manager->SetSkinDirectory(dir.string());
    manager->SetSkinName(name);
    EXPECT_TRUE(manager->SkinData.Active) << "the edited skin did not load";
  }

  void Pump() { Application->ProcessMessages(); }

  // The form as the host shows it, once everything pending is painted.
  TBitmap Shot(TForm* form) {
    Pump();
    PresentWindows();
    return host.WindowShot(GetHostWindow(form->Handle()));
  }

  // Compares a picture with tests/skin/controls/golden/<name>.png
  // (VELMORA_UPDATE_GOLDEN=1 writes it; every run also writes it to the build
  // folder's golden-actual/ for looking at).
  void CompareGolden(const std::string& name, const TBitmap& actual) {
    if (const char* bin = std::getenv("VELMORA_BINARY_DIR")) {
      const fs::path out = fs::path(bin) / "golden-actual";
      fs::create_directories(out);
      SavePngFile((out / ("controls-" + name + ".png")).string(), actual);
    }
    const fs::path file = SourceDir() / "tests/skin/controls/golden" / (name + ".png");
    test::ExpectGolden(actual, file, name);
  }

  fs::path dir;
  THeadlessHost host;
  std::unique_ptr<TApplication> app;
  std::unique_ptr<TsWindowAnnouncer> announcer;
  std::unique_ptr<TsSkinManager> manager;
  int forms = 0;
  int edited = 0;
};

// How many pixels of rect in the picture have exactly the colour.
inline int CountColour(const TBitmap& b, const TRect& r, TColor colour) {
  int n = 0;
  for (int y = std::max(0, r.Top); y < std::min(b.Height(), r.Bottom); ++y)
    for (int x = std::max(0, r.Left); x < std::min(b.Width(), r.Right); ++x)
      if (b.GetPixel(x, y) == colour) ++n;
  return n;
}

}  // namespace vm::test
