// The program's four windows get their skinned frames from the skin
// manager's hook when first activated: each as a golden picture skinned and
// plain, active and inactive (the main window maximised as well), and the
// frames following the skin at run time: a second skin, the built-in one
// again, and skinning switched off giving back the plain frames pixel for
// pixel as they were before any skin reached them.
#include <cstdlib>
#include <filesystem>

#include "platform/gfx/PngCodec.h"
#include "skin/data/BuiltinSkin.h"
#include "skin/frame/FrameHook.h"
#include "tests/app/ProgramTestSupport.h"
#include "tests/support/Golden.h"
#include "tests/support/RecolouredSkin.h"

namespace vm::test {
namespace {

namespace fs = std::filesystem;
using namespace vm::app;

fs::path SourceRoot() {
  const char* src = std::getenv("VELMORA_SOURCE_DIR");
  return src ? fs::path(src) : fs::current_path();
}

// Pixels in which two pictures differ (all of them when the sizes differ).
// Pictures that differ go to the build folder's golden-actual/ to be looked at.
int Differ(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return a.Width() * a.Height() + 1;
  int n = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) n += a.GetPixel(x, y) != b.GetPixel(x, y);
  static int pair = 0;
  if (const char* bin = std::getenv("VELMORA_BINARY_DIR"); bin && n) {
    fs::path out = fs::path(bin) / "golden-actual";
    fs::create_directories(out);
    ++pair;
    SavePngFile((out / ("app-frame-differ-" + std::to_string(pair) + "a.png")).string(), a);
    SavePngFile((out / ("app-frame-differ-" + std::to_string(pair) + "b.png")).string(), b);
  }
  return n;
}

class SkinnedFrames : public TProgramTest {
 protected:
  TBitmap Shot(TCustomForm* form) {
    Pump();
    PresentWindows();
    return host.WindowShot(GetHostWindow(form->Handle()));
  }
  void Compare(TCustomForm* form, const std::string& name) {
    TBitmap actual = Shot(form);
    if (const char* bin = std::getenv("VELMORA_BINARY_DIR")) {
      fs::create_directories(fs::path(bin) / "golden-actual");
      SavePngFile((fs::path(bin) / "golden-actual" / ("app-" + name + ".png")).string(), actual);
    }
    ExpectGolden(actual, SourceRoot() / "tests/app/golden" / (name + ".png"), name);
  }
  // Another program takes the keyboard, then this form gets it back.
  void Deactivate() {
    host.DesktopFocus(0);
    Pump();
  }
  void Reactivate(TCustomForm* form) {
    host.DesktopFocus(GetHostWindow(form->Handle()));
    Pump();
  }
  bool Skinned(TCustomForm* form) {
    return !host.Native(GetHostWindow(form->Handle()))->Shape.empty();
  }
  // Shows a dialog through its button on the main window, the pointer then
  // resting on the desktop.
  void ShowDialog(TControl* button) {
    Click(button);
    host.MouseMove(5, 5);
    Pump();
  }
  // Escape cancels the quality and size dialogs; the about box has no cancel
  // button, so Enter presses its default OK button.
  void CloseDialog() { Key(VK_ESCAPE); }
  void CloseInfo() {
    Key(VK_RETURN);
    Pump();
    ASSERT_FALSE(frmInfo->Visible());
  }
  // Lets every fade and animation run to its end on the virtual clock.
  void Settle() {
    for (int i = 0; i < 40; ++i) {
      host.AdvanceClock(50);
      Pump();
    }
  }

  // Both looks of a form, named <name>-<kind>-active and -inactive.
  void CompareBothLooks(TCustomForm* form, const std::string& name) {
    ASSERT_EQ(GetActiveWindow(), form->Handle()) << name;
    Compare(form, name + "-active");
    Deactivate();
    Compare(form, name + "-inactive");
    Reactivate(form);
  }

  void CompareAllForms(const std::string& kind) {
    Start();
    WriteJpeg(File("photo.jpg"), 80, 60);
    Open(File("photo.jpg"));
    Tick();
    host.MouseMove(5, 5);
    Pump();
    CompareBothLooks(frmMain, "frame-main-" + kind);
    ShowDialog(frmMain->sBitBtn10);
    CompareBothLooks(frmResize, "frame-resize-" + kind);
    CloseDialog();
    ShowDialog(frmMain->sBitBtn9);
    CompareBothLooks(frmCompress, "frame-compress-" + kind);
    CloseDialog();
    ShowDialog(frmMain->sBitBtn3);
    CompareBothLooks(frmInfo, "frame-info-" + kind);
    CloseInfo();
    ASSERT_EQ(GetActiveWindow(), frmMain->Handle());
    // The main window has no maximise button, but the desktop may still
    // maximise it; its frame follows.
    ShowWindow(frmMain->Handle(), SW_MAXIMIZE);
    Pump();
    ASSERT_TRUE(IsZoomed(frmMain->Handle()));
    Compare(frmMain, "frame-main-" + kind + "-maximised");
    ShowWindow(frmMain->Handle(), SW_RESTORE);
  }
};

TEST_F(SkinnedFrames, EveryFormSkinnedActiveInactiveAndMaximised) {
  CompareAllForms("skinned");
  for (TCustomForm* f :
       {static_cast<TCustomForm*>(frmMain), static_cast<TCustomForm*>(frmInfo),
        static_cast<TCustomForm*>(frmResize), static_cast<TCustomForm*>(frmCompress)})
    EXPECT_TRUE(Skinned(f)) << f->Name() << " has no window region";
  // Each form got its frame from the hook: none of them holds one of its own.
  EXPECT_EQ(RuntimeProviders().size(), 4u);
}

TEST_F(SkinnedFrames, EveryFormPlainWhenSkinningIsOff) {
  frmMain->sSkinManager1->SetActive(false);
  CompareAllForms("plain");
  EXPECT_TRUE(RuntimeProviders().empty());
  EXPECT_FALSE(Skinned(frmMain));
}

TEST_F(SkinnedFrames, SkinsSwitchAtRunTimeAndSwitchingOffGivesThePlainFramesBack) {
  TsSkinManager* manager = frmMain->sSkinManager1;
  // Each picture of the main window is taken right after the about box
  // closed, so its focus and activation are the same every time.
  auto mainAndInfo = [&](TBitmap& main, TBitmap& info) {
    ShowDialog(frmMain->sBitBtn3);
    Settle();
    info = Shot(frmInfo);
    CloseInfo();
    Settle();
    main = Shot(frmMain);
  };
  // The plain look first, before any skin has reached a window.
  manager->SetActive(false);
  Start();
  TBitmap plainMain, plainInfo;
  mainAndInfo(plainMain, plainInfo);
  EXPECT_FALSE(Skinned(frmMain));

  // Skinning on: the forms get their frames when they are next activated.
  manager->SetActive(true);
  Deactivate();
  Reactivate(frmMain);
  TBitmap builtinMain, builtinInfo;
  mainAndInfo(builtinMain, builtinInfo);
  EXPECT_TRUE(Skinned(frmMain));
  EXPECT_TRUE(Skinned(frmInfo));
  EXPECT_GT(Differ(builtinMain, plainMain), 0);
  EXPECT_GT(Differ(builtinInfo, plainInfo), 0);

  // A second skin from a folder: every frame changes with it.
  ASSERT_TRUE(manager->MasterBitmap);
  WriteRecolouredSkin(*manager->MasterBitmap, fs::path(dir.Path()) / "skins", SourceRoot());
  manager->SetSkinDirectory(dir.Path() + "skins");
  manager->SetSkinName(RecolouredSkin);
  ASSERT_TRUE(manager->SkinData.Active);
  TBitmap otherMain, otherInfo;
  mainAndInfo(otherMain, otherInfo);
  EXPECT_GT(Differ(otherMain, builtinMain), 0);
  EXPECT_GT(Differ(otherInfo, builtinInfo), 0);
  EXPECT_TRUE(Skinned(frmMain));

  // Back to the built-in skin: exactly its look again.
  manager->SetSkinName(BuiltinSkinName);
  TBitmap againMain, againInfo;
  mainAndInfo(againMain, againInfo);
  EXPECT_EQ(Differ(againMain, builtinMain), 0);
  // The about box too, its OK button (a platform button under the
  // push-button subclass) a "BUTTON" again after the skins were announced.
  EXPECT_EQ(Differ(againInfo, builtinInfo), 0);

  // Skinning off: the plain frames exactly as before, without a region.
  manager->SetActive(false);
  TBitmap offMain, offInfo;
  mainAndInfo(offMain, offInfo);
  EXPECT_FALSE(Skinned(frmMain));
  EXPECT_FALSE(Skinned(frmInfo));
  EXPECT_EQ(Differ(offMain, plainMain), 0);
  EXPECT_EQ(Differ(offInfo, plainInfo), 0);
}

}  // namespace
}  // namespace vm::test
