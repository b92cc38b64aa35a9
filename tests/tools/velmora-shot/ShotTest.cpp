// velmora-shot: its command line, and pictures taken of the real program on
// the headless host (what is up when the picture is taken, and what is said
// when it cannot be brought up).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

#include "platform/gfx/JpegCodec.h"
#include "platform/win/WinApi.h"
#include "tools/velmora-shot/Shot.h"

namespace vm::shot {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Args(std::initializer_list<const char*> list) {
  std::vector<std::string> out{"velmora-shot"};
  for (const char* a : list) out.emplace_back(a);
  return out;
}

TEST(ShotArgs, WhatToShowScreenAndOutput) {
  auto o = ParseShotArgs(Args({"--open", "a.jpg", "--show", "menu:Файл", "--screen", "800x600",
                               "--crop", "-o", "out.png"}));
  ASSERT_TRUE(o);
  EXPECT_EQ(o->Open, "a.jpg");
  EXPECT_EQ(o->Show, TShowKind::Menu);
  EXPECT_EQ(o->Menu, "Файл");
  EXPECT_EQ(o->Screen.cx, 800);
  EXPECT_EQ(o->Screen.cy, 600);
  EXPECT_TRUE(o->Crop);
  EXPECT_EQ(o->Output, "out.png");
  o = ParseShotArgs(Args({"--show", "compress", "--output", "x.png"}));
  ASSERT_TRUE(o);
  EXPECT_EQ(o->Show, TShowKind::Compress);
  EXPECT_EQ(o->Screen.cx, 1024);
  EXPECT_FALSE(ParseShotArgs(Args({"-o", "x.png", "--help"})));
}

TEST(ShotArgs, MistakesAreRefusedWithAReason) {
  for (auto args : {Args({}),                                   // no output
                    Args({"-o"}),                               // a value missing
                    Args({"--show", "menu:", "-o", "x.png"}),   // a menu without a name
                    Args({"--show", "Main", "-o", "x.png"}),    // names are lower case
                    Args({"--screen", "1024", "-o", "x.png"}),  // no height
                    Args({"--screen", "100x100", "-o", "x.png"}),
                    Args({"--screen", "1024x99999", "-o", "x.png"}),
                    Args({"--screen", "1024x7z8", "-o", "x.png"}),
                    Args({"--open", "", "-o", "x.png"}), Args({"-o", "x.png", "--quality"})}) {
    EXPECT_THROW(ParseShotArgs(args), std::invalid_argument) << args.size();
  }
}

class ShotRun : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "vm_shot_XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir = tmpl;
    TBitmap pic(400, 300);
    for (int y = 0; y < 300; ++y)
      for (int x = 0; x < 400; ++x) pic.SetPixel(x, y, RGB(x * 255 / 399, 90, y * 255 / 299));
    SaveJpegFile((dir / "photo.jpg").string(), pic, 90);
  }
  void TearDown() override { fs::remove_all(dir); }
  TShotOptions Options(TShowKind show, bool open = true) {
    TShotOptions o;
    if (open) o.Open = (dir / "photo.jpg").string();
    o.Show = show;
    o.Screen = {900, 700};
    o.Output = (dir / "out.png").string();
    return o;
  }
  fs::path dir;
};

TEST_F(ShotRun, AMenuIsPicturedWhileOpenAndTheProgramIsGoneAfterwards) {
  TShotOptions main = Options(TShowKind::Main);
  TShotResult plain = TakeShot(main);
  EXPECT_TRUE(plain.Messages.empty());
  EXPECT_EQ(plain.Picture.Width(), 900);
  EXPECT_EQ(plain.Picture.Height(), 700);
  // Nothing of the program outlives the run: no host, no windows.
  EXPECT_EQ(GetHost(), nullptr);

  TShotOptions menu = Options(TShowKind::Menu);
  menu.Menu = "2";  // "Изображение"
  TShotResult withMenu = TakeShot(menu);
  // The two pictures differ only where the drop-down lies: below the menu
  // bar, in the upper part of the main window.
  TRect diff{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (int y = 0; y < 700; ++y)
    for (int x = 0; x < 900; ++x)
      if (plain.Picture.GetPixel(x, y) != withMenu.Picture.GetPixel(x, y))
        diff = {std::min(diff.Left, x), std::min(diff.Top, y), std::max(diff.Right, x + 1),
                std::max(diff.Bottom, y + 1)};
  ASSERT_FALSE(diff.IsEmpty()) << "no menu in the picture";
  EXPECT_GT(diff.Width(), 100);
  EXPECT_GT(diff.Height(), 40);
  EXPECT_LT(diff.Bottom, 350);
  // By caption, cut to the windows: the menu lies within the main window.
  menu.Menu = "Изображение";
  menu.Crop = true;
  TShotResult cut = TakeShot(menu);
  TShotOptions mainCut = Options(TShowKind::Main);
  mainCut.Crop = true;
  TShotResult mainOnly = TakeShot(mainCut);
  EXPECT_EQ(cut.Picture.Width(), mainOnly.Picture.Width());
  EXPECT_EQ(cut.Picture.Height(), mainOnly.Picture.Height());
  EXPECT_LT(mainOnly.Picture.Width(), 900);
}

TEST_F(ShotRun, DialogsComeUpAndWhatCannotBeShownSaysWhy) {
  // The file dialogs are pictured while their loop waits, then cancelled.
  TShotResult open = TakeShot(Options(TShowKind::Open, false));
  TShotResult main = TakeShot(Options(TShowKind::Main, false));
  EXPECT_NE(open.Picture.GetPixel(450, 350), main.Picture.GetPixel(450, 350));
  EXPECT_NO_THROW(TakeShot(Options(TShowKind::Save)));
  EXPECT_NO_THROW(TakeShot(Options(TShowKind::Compress)));
  // Saving and the edits need a picture; an unknown menu names the real ones.
  EXPECT_THROW(TakeShot(Options(TShowKind::Save, false)), std::runtime_error);
  EXPECT_THROW(TakeShot(Options(TShowKind::Resize, false)), std::runtime_error);
  TShotOptions menu = Options(TShowKind::Menu, false);
  menu.Menu = "Правка";
  try {
    TakeShot(menu);
    ADD_FAILURE() << "no error for a missing menu";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("Файл, Изображение, Справка"), std::string::npos)
        << e.what();
  }
  // A file that is missing or not a JPEG: the program's own words come back.
  for (const char* name : {"missing.jpg", "notes.jpg"}) {
    if (std::string(name) == "notes.jpg") {
      FILE* f = std::fopen((dir / name).c_str(), "wb");
      std::fputs("not a picture", f);
      std::fclose(f);
    }
    TShotOptions o = Options(TShowKind::Main);
    o.Open = (dir / name).string();
    try {
      TakeShot(o);
      ADD_FAILURE() << "no error for " << name;
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find('\n'), std::string::npos)
          << "without the program's message: " << e.what();
    }
  }
  EXPECT_EQ(GetHost(), nullptr);
}

}  // namespace
}  // namespace vm::shot
