// Shared set-up of the tests of the caption's building blocks: the built-in skin loaded
// into a manager, small skin models built by hand for rules the built-in
// skin cannot show, and a headless host with an application for the parts
// that need forms.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/gfx/PngCodec.h"
#include "platform/host/headless/HeadlessHost.h"
#include "skin/data/BuiltinSkin.h"
#include "skin/data/SkinManager.h"
#include "tests/support/Golden.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

namespace vm::test {

namespace fs = std::filesystem;

// Loads the built-in skin into manager (no skin directory).
inline void LoadBuiltin(TsSkinManager& manager) {
  manager.SetSkinDirectory("/nonexistent-velmora-skins");
  TsStoredSkin& s = manager.InternalSkins().Add();
  s.Name = BuiltinSkinName;
  const std::span<const std::uint8_t> bytes = BuiltinSkinContainer();
  s.Data.assign(bytes.begin(), bytes.end());
  manager.SetSkinName(BuiltinSkinName);
}

// A hand-made model: sections and masks are added by name; masks lie in a
// master bitmap that is never read by the look-ups.
class TModelBuilder {
 public:
  int Section(const std::string& name, const std::string& parent = {}) {
    TsGeneralData d;
    d.SectionName = name;
    d.ParentClass = parent;
    model.gd.push_back(d);
    return int(model.gd.size()) - 1;
  }
  int Mask(const std::string& section, const std::string& property, TRect r = {0, 0, 63, 21},
           int imageCount = 3, int maskType = 0) {
    TsMaskData m;
    m.SectionName = section;
    m.PropertyName = property;
    m.R = r;
    m.ImageCount = std::int16_t(imageCount);
    m.MaskType = std::int16_t(maskType);
    model.ma.push_back(m);
    return int(model.ma.size()) - 1;
  }
  TsSkinModel model;
};

// A headless host with an application for tests that need forms.
class THostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetHost(&host);
    app = std::make_unique<TApplication>();
  }
  void TearDown() override {
    app.reset();
    SetHost(nullptr);
  }
  TForm* MakeForm(const std::string& name, TFormBorderStyle style, TBorderIcons icons) {
    auto* f = Create<TForm>(app.get());
    f->SetName(name);
    f->SetBorderStyle(style);
    f->SetBorderIcons(icons);
    f->SetBounds(40, 40, 300, 200);
    return f;
  }
  void Pump() { Application->ProcessMessages(); }

  // Compares with tests/skin/frame/golden/<name>.png and leaves a copy in the
  // build folder's golden-actual/ for looking at.
  void CompareGolden(const std::string& name, const TBitmap& actual) {
    if (const char* bin = std::getenv("VELMORA_BINARY_DIR")) {
      const fs::path out = fs::path(bin) / "golden-actual";
      fs::create_directories(out);
      SavePngFile((out / ("frame-" + name + ".png")).string(), actual);
    }
    const char* src = std::getenv("VELMORA_SOURCE_DIR");
    ExpectGolden(
        actual,
        (src ? fs::path(src) : fs::current_path()) / "tests/skin/frame/golden" / (name + ".png"),
        name);
  }

  THeadlessHost host;
  std::unique_ptr<TApplication> app;
};

}  // namespace vm::test
