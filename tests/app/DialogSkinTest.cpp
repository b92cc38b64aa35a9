// The program's platform dialogs under the skin: the open and save picture
// dialogs (a folder listed, a picture chosen with its preview, the file-type
// list dropped) and its message boxes are taken over by the dialog layer
// while a skin is active, look as their goldens show, and are the
// platform's own again when skinning is off.
#include <filesystem>
#include <functional>

#include "skin/data/SkinConvertor.h"
#include "skin/subclass/BtnWnd.h"
#include "skin/subclass/MainWnd.h"
#include "skin/subclass/NxProvider.h"
#include "tests/app/ProgramTestSupport.h"

namespace vm::test {
namespace {

namespace fs = std::filesystem;

class DialogSkin : public TProgramTest {
 protected:
  void SetUp() override {
    TProgramTest::SetUp();
    // A folder of pictures the dialogs open on (it becomes the current one).
    photos = fs::path(dir.Path()) / "Фото";
    fs::create_directories(photos / "Архив");
    WriteJpeg((photos / "горы.jpg").string(), 160, 120);
    WriteJpeg((photos / "закат.jpg").string(), 120, 160);
    WriteJpeg((photos / "море.jpg").string(), 200, 100);
    fs::current_path(photos);
    Start();
  }

  // The steps a user takes while a dialog's loop waits, one per pause; with
  // boxesOnly, only pauses of a message box count (the file dialog before
  // it is answered as usual).
  void Script(std::vector<std::function<void()>> steps, bool boxesOnly = false) {
    script.assign(steps.begin(), steps.end());
    host.SetIdleHandler([this, boxesOnly] {
      if (script.empty()) return Idle();
      HWND active = ActiveDialog();
      if (boxesOnly && !(active && GetDlgItem(active, IDC_MSGBOX_TEXT))) return Idle();
      auto step = std::move(script.front());
      script.pop_front();
      step();
      return true;
    });
  }

  // The dialog that is active now.
  static HWND ActiveDialog() {
    HWND h = GetActiveWindow();
    return h && GetClassName(h) == WC_DIALOG ? h : nullptr;
  }

  // What the screen shows of a window and, when given, of a second window
  // below it (a dropped list).
  TBitmap ShotOf(HWND window, HWND extra = nullptr) {
    PresentWindows();
    TRect r;
    GetWindowRect(window, &r);
    if (extra && IsWindowVisible(extra)) {
      TRect e;
      GetWindowRect(extra, &e);
      r = {std::min(r.Left, e.Left), std::min(r.Top, e.Top), std::max(r.Right, e.Right),
           std::max(r.Bottom, e.Bottom)};
    }
    const TBitmap screen = host.Screenshot();
    TBitmap shot(r.Width(), r.Height());
    for (int y = 0; y < r.Height(); ++y)
      for (int x = 0; x < r.Width(); ++x)
        shot.SetPixel(x, y, screen.GetPixel(r.Left + x, r.Top + y));
    return shot;
  }

  void ExpectGoldenShot(const TBitmap& actual, const std::string& name) {
    const char* src = std::getenv("VELMORA_SOURCE_DIR");
    const fs::path root = src ? fs::path(src) : fs::current_path();
    if (const char* bin = std::getenv("VELMORA_BINARY_DIR")) {
      fs::create_directories(fs::path(bin) / "golden-actual");
      SavePngFile((fs::path(bin) / "golden-actual" / ("app-" + name + ".png")).string(), actual);
    }
    ExpectGolden(actual, root / "tests/app/golden" / (name + ".png"), name);
  }

  // Whether the dialog is taken over: its provider walked it, and its push
  // buttons have the push-button subclass.
  static bool Skinned(HWND dlg, int buttonId) {
    TnxProvider* p = DialogProviderOf(dlg);
    return p && !p->Abandoned() &&
           dynamic_cast<TnxBtnWnd*>(SubclassOf(GetDlgItem(dlg, buttonId))) != nullptr;
  }
  static bool Plain(HWND dlg, int buttonId) {
    return !DialogProviderOf(dlg) && SubclassOf(GetDlgItem(dlg, buttonId)) == nullptr;
  }

  // The file-dialog steps shared by open and save: the list gets the focus
  // and the second entry (the first picture, after the folder) is chosen
  // with the arrow keys; then the picture is shot, the type list dropped and
  // shot again, and the dialog cancelled.
  void DriveFileDialog(const std::string& name) {
    Script({
        [this] {
          dlg = ActiveDialog();
          ASSERT_NE(dlg, nullptr);
          SetFocus(GetDlgItem(dlg, IDC_FD_LIST));
          host.Key(VK_DOWN);
          host.Key(VK_DOWN);
        },
        [this, name] {
          EXPECT_TRUE(Skinned(dlg, IDOK));
          EXPECT_TRUE(Skinned(dlg, IDCANCEL));
          EXPECT_EQ(GetWindowText(GetDlgItem(dlg, IDC_FD_NAME)), "горы.jpg");
          ExpectGoldenShot(ShotOf(dlg), name);
          SetFocus(GetDlgItem(dlg, IDC_FD_TYPE));
          host.Key(VK_F4);
        },
        [this, name] {
          // The dropped list is a window of its own, shown on top.
          HWND list = nullptr;
          EnumWindows([&](HWND h) {
            if (GetClassName(h) == WC_COMBOLBOX && IsWindowVisible(h)) list = h;
            return list == nullptr;
          });
          EXPECT_NE(list, nullptr);
          EXPECT_TRUE(SendMessage(GetDlgItem(dlg, IDC_FD_TYPE), CB_GETDROPPEDSTATE, 0, 0));
          ExpectGoldenShot(ShotOf(dlg, list), name + "-types");
          host.Key(VK_ESCAPE);
        },
        [this] { host.Key(VK_ESCAPE); },
    });
  }

  fs::path photos;
  std::deque<std::function<void()>> script;
  HWND dlg = nullptr;
};

TEST_F(DialogSkin, TheOpenPictureDialogIsSkinnedWithAFolderListedAndAPictureChosen) {
  DriveFileDialog("dialog-open-skinned");
  Click(app::frmMain->sBitBtn1);
  EXPECT_TRUE(script.empty());
  // Cancelled: nothing opened, and the provider went with its dialog.
  EXPECT_FALSE(app::frmMain->sBitBtn2->Enabled());
  EXPECT_TRUE(DialogProviders().empty());
}

TEST_F(DialogSkin, TheSavePictureDialogIsSkinned) {
  Open((photos / "море.jpg").string());
  ASSERT_TRUE(app::frmMain->sBitBtn2->Enabled());
  DriveFileDialog("dialog-save-skinned");
  Click(app::frmMain->sBitBtn2);
  EXPECT_TRUE(script.empty());
  EXPECT_TRUE(DialogProviders().empty());
}

TEST_F(DialogSkin, TheErrorReportAndTheWarningBoxAreSkinned) {
  // The error report of a picture that does not load.
  std::ofstream(photos / "битый.jpg", std::ios::binary) << "not a picture";
  Script({[this] {
           dlg = ActiveDialog();
           ASSERT_NE(dlg, nullptr);
           EXPECT_TRUE(Skinned(dlg, IDOK));
           // The message names the file; the scratch folder's random name is put
           // out of the picture (on the second line, it does not size the box).
           HWND text = GetDlgItem(dlg, IDC_MSGBOX_TEXT);
           std::string message = GetWindowText(text);
           const std::size_t at = message.find(dir.Path());
           ASSERT_NE(at, std::string::npos);
           message.replace(at, dir.Path().size(), "/home/user/");
           SetWindowText(text, message);
           UpdateWindow(text);
           ExpectGoldenShot(ShotOf(dlg), "messagebox-error-skinned");
           host.Key(VK_RETURN);
         }},
         true);
  Open((photos / "битый.jpg").string());
  EXPECT_TRUE(script.empty());

  // The skin engine's warning, in the program's message box.
  Script({[this] {
    dlg = ActiveDialog();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(Skinned(dlg, IDOK));
    ExpectGoldenShot(ShotOf(dlg), "messagebox-warning-skinned");
    host.Key(VK_RETURN);
  }});
  ShowSkinWarning(SNotPackedSkin);
  EXPECT_TRUE(script.empty());
  EXPECT_TRUE(DialogProviders().empty());
}

TEST_F(DialogSkin, WithSkinningOffTheDialogsAndBoxesArePlainAndComeBackSkinned) {
  app::frmMain->sSkinManager1->SetActive(false);
  Pump();
  Script({[this] {
            dlg = ActiveDialog();
            ASSERT_NE(dlg, nullptr);
            EXPECT_TRUE(Plain(dlg, IDOK));
            host.Key(VK_ESCAPE);
          },
          [this] {
            dlg = ActiveDialog();
            ASSERT_NE(dlg, nullptr);
            EXPECT_TRUE(Plain(dlg, IDOK));
            host.Key(VK_RETURN);
          }});
  Click(app::frmMain->sBitBtn1);
  ShowSkinWarning(SNotPackedSkin);
  EXPECT_TRUE(script.empty());

  // Back on: the next dialog is skinned again.
  app::frmMain->sSkinManager1->SetActive(true);
  Pump();
  Script({[this] {
    dlg = ActiveDialog();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(Skinned(dlg, IDOK));
    host.Key(VK_RETURN);
  }});
  ShowSkinWarning(SNotPackedSkin);
  EXPECT_TRUE(script.empty());
}

TEST_F(DialogSkin, SwitchingSkinsAndSkinningOffWhileADialogIsOpen) {
  HWND okButton = nullptr;
  TBitmap before;
  Script({
      [&] {
        dlg = ActiveDialog();
        ASSERT_NE(dlg, nullptr);
        okButton = GetDlgItem(dlg, IDOK);
        ASSERT_TRUE(Skinned(dlg, IDOK));
        before = ShotOf(dlg);
        // Another skin while the box is open: the same provider repaints it.
        app::frmMain->sSkinManager1->SetHueOffset(120);
      },
      [&] {
        EXPECT_TRUE(Skinned(dlg, IDOK));
        const TBitmap after = ShotOf(dlg);
        TRect b, d;
        GetWindowRect(okButton, &b);
        GetWindowRect(dlg, &d);
        int changed = 0;
        for (int y = b.Top - d.Top; y < b.Bottom - d.Top; ++y)
          for (int x = b.Left - d.Left; x < b.Right - d.Left; ++x)
            changed += before.GetPixel(x, y) != after.GetPixel(x, y);
        EXPECT_GT(changed, 100);
        // Off while it is open: every window of it is the platform's again.
        app::frmMain->sSkinManager1->SetActive(false);
      },
      [&] {
        EXPECT_TRUE(Plain(dlg, IDOK));
        EXPECT_EQ(SubclassOf(dlg), nullptr);
        host.Key(VK_RETURN);
      },
  });
  ShowSkinWarning(SNotPackedSkin);
  EXPECT_TRUE(script.empty());
  app::frmMain->sSkinManager1->SetActive(true);
}

}  // namespace
}  // namespace vm::test
