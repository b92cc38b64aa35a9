// Shared set-up of the frame tests: a headless host with an application, the
// window announcer with the frame layer plugged in, the built-in skin in the
// default manager, and a small test form with a caption, shown at a known
// place on the virtual screen.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/gfx/Font.h"
#include "platform/gfx/PngCodec.h"
#include "platform/host/headless/HeadlessHost.h"
#include "skin/data/BuiltinSkin.h"
#include "skin/data/SkinManager.h"
#include "skin/frame/FrameHook.h"
#include "skin/frame/SkinProvider.h"
#include "skin/state/WindowAnnouncer.h"
#include "tests/support/Golden.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

namespace vm::test {

namespace fs = std::filesystem;

inline fs::path SourceDir() {
  const char* s = std::getenv("VELMORA_SOURCE_DIR");
  return s ? fs::path(s) : fs::current_path();
}

class TFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PinFontConfiguration();
    static int counter = 0;
    dir = fs::temp_directory_path() /
          ("velmora-frame-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    fs::remove_all(dir);
    fs::create_directories(dir);
    SetHost(&host);
    app = std::make_unique<TApplication>();
    announcer = std::make_unique<TsWindowAnnouncer>();
    InstallFrameLayer(*announcer);
  }
  void TearDown() override {
    manager.reset();
    FreeRuntimeProviders();
    app.reset();
    announcer.reset();
    SetHost(nullptr);
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  // The default manager with the built-in skin loaded and announced (its hook
  // gives activated forms their frames).
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

  // A skin folder written for the test, made the manager's skin.
  TsSkinManager& LoadFolderSkin(const std::string& name, const std::string& options,
                                const TBitmap* master = nullptr) {
    fs::create_directories(dir / name);
    std::ofstream(dir / name / "Options.dat", std::ios::binary) << options;
    if (master) SavePngFile((dir / name / "MASTER.png").string(), *master);
    if (!manager) {
      manager = std::make_unique<TsSkinManager>();
      manager->SetSkinDirectory(dir.string());
    }
    manager->SetSkinName(name);
    return *manager;
  }

  // A shown, active form at (40, 30) of the given style.
  TForm* MakeForm(TFormBorderStyle style = bsSizeable, int width = 240, int height = 160,
                  const std::string& caption = "Проба") {
    auto* f = Create<TForm>(app.get());
    f->SetName("Form" + std::to_string(++forms));
    f->SetBorderStyle(style);
    f->SetCaption(caption);
    f->SetBounds(40, 30, width, height);
    f->Show();
    Pump();
    return f;
  }

  static TsSkinProvider* ProviderOf(TCustomForm* form) {
    for (int i = 0; i < form->ComponentCount(); ++i)
      if (auto* p = dynamic_cast<TsSkinProvider*>(form->Components(i)); p && !p->Inactive())
        return p;
    return nullptr;
  }

  void Pump() { Application->ProcessMessages(); }

  // The form as the host shows it, once everything pending is painted.
  TBitmap Shot(TCustomForm* form) {
    Pump();
    PresentWindows();
    return host.WindowShot(GetHostWindow(form->Handle()));
  }

  // The window's top-left corner on the screen.
  static TPoint Origin(TCustomForm* form) {
    TRect r;
    GetWindowRect(form->Handle(), &r);
    return {r.Left, r.Top};
  }

  // Compares a picture with tests/skin/frame/golden/<name>.png; every run also
  // writes it to the build folder's golden-actual/ for looking at.
  void CompareGolden(const std::string& name, const TBitmap& actual) {
    if (const char* bin = std::getenv("VELMORA_BINARY_DIR")) {
      const fs::path out = fs::path(bin) / "golden-actual";
      fs::create_directories(out);
      SavePngFile((out / ("frame-" + name + ".png")).string(), actual);
    }
    test::ExpectGolden(actual, SourceDir() / "tests/skin/frame/golden" / (name + ".png"), name);
  }

  fs::path dir;
  THeadlessHost host;
  std::unique_ptr<TApplication> app;
  std::unique_ptr<TsWindowAnnouncer> announcer;
  std::unique_ptr<TsSkinManager> manager;
  int forms = 0;
};

}  // namespace vm::test
