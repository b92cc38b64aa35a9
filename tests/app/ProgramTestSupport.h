// The photo program started on the headless host for each test, the way the
// program starts (preparations, application, the four forms), with its
// working folder in a scratch folder, and a user who clicks, types, answers
// the file dialogs and reads the error boxes.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/Compress.h"
#include "app/Info.h"
#include "app/Main.h"
#include "app/Program.h"
#include "app/Resize.h"
#include "app/Values.h"
#include "platform/controls/ControlDefs.h"
#include "platform/controls/DialogDefs.h"
#include "platform/controls/FileDialog.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/JpegCodec.h"
#include "platform/host/headless/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "skin/data/SkinManager.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/Golden.h"
#include "toolkit/Screen.h"

namespace vm::test {

// A colourful picture with detail in every block, so every re-encoding changes it.
inline TBitmap Photo(int w, int h) {
  TBitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.SetPixel(x, y,
                 RGB((x * 255) / std::max(1, w - 1), (y * 255) / std::max(1, h - 1),
                     ((x / 4 + y / 4) % 2) ? 200 : 40));
  return b;
}

inline void WriteJpeg(const std::string& path, int w, int h, int quality = 85) {
  SaveJpegFile(path, Photo(w, h), quality);
}

class TProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PinFontConfiguration();
    SetHost(&host);
    SetProgramFolder(dir.Path());
    ASSERT_EQ(mkdir(TempDir().c_str(), 0755), 0);
    // Each test is a fresh run: the shared variables start empty.
    app::WorkDir.clear();
    app::Quality = app::RequestedLength = app::RequestedWidth = 0;
    app::PendingQuality = app::PendingResize = app::Modified = false;
    host.SetIdleHandler([this] { return Idle(); });
    app::PrepareProcess();
    application = app::CreateProgram();
  }
  void TearDown() override {
    host.SetIdleHandler(nullptr);
    application.reset();
    app::FinishProcess();
    SetProgramFolder("");
    SetHost(nullptr);
    // A file dialog that chose a file made its folder current.
    std::filesystem::current_path(cwd);
    EXPECT_TRUE(dialogScript.empty()) << "file dialogs that never came";
  }

  const std::filesystem::path cwd = std::filesystem::current_path();
  std::string TempDir() const { return dir.Path() + "Temp/"; }
  std::string File(const std::string& name) const { return dir.Path() + name; }

  // What Run does before its loop.
  void Start() {
    app::frmMain->Show();
    Pump();
  }
  void Pump() { Application->ProcessMessages(); }

  TPoint Center(TControl* c) { return c->ClientToScreen({c->Width() / 2, c->Height() / 2}); }
  // A click after a pause longer than the double-click time, as a user makes it.
  void Click(TControl* c) {
    host.AdvanceClock(600);
    Pump();
    TPoint p = Center(c);
    host.Click(p.X, p.Y);
    Pump();
  }
  void Key(int vk, bool ctrl = false) {
    if (ctrl) host.KeyDown(VK_CONTROL);
    host.Key(vk);
    if (ctrl) host.KeyUp(VK_CONTROL);
    Pump();
  }
  void Type(const std::string& text) {
    host.Type(text);
    Pump();
  }
  // The next file dialog gets this path typed into its name field and Enter;
  // nothing: the dialog is cancelled.
  void AnswerFileDialog(std::optional<std::string> path) { dialogScript.push_back(path); }
  void Open(const std::string& path) {
    AnswerFileDialog(path);
    Click(app::frmMain->sBitBtn1);
  }
  // Moves the quality slider to a value with the keyboard (Home, then Right).
  void SlideTo(int value) {
    TTrackBar* slider = app::frmCompress->sTrackBar1;
    if (!slider->Focused()) slider->SetFocus();
    Key(VK_HOME);
    for (int v = 1; v < value; ++v) host.Key(VK_RIGHT);
    Pump();
  }
  // One second of the clock: the size line's timer ticks.
  void Tick() {
    host.AdvanceClock(1000);
    Pump();
  }
  std::string SizeLine() const { return app::frmMain->sLabel1->Caption(); }
  static std::string SizeText(int kilobytes) {
    return "Размер изображения: " + std::to_string(kilobytes) + " Кб";
  }
  // The pixel the screen shows at a client point of a control.
  TColor PixelAt(TControl* c, int x, int y) {
    PresentWindows();
    TPoint p = c->ClientToScreen({x, y});
    return host.Screenshot().GetPixel(p.X, p.Y);
  }

  // The window as the host shows it, frame included, against its golden
  // picture in tests/app/golden (a copy goes to <build>/golden-actual).
  void ExpectWindowGolden(TCustomForm* form, const std::string& name) {
    namespace fs = std::filesystem;
    Pump();
    PresentWindows();
    TBitmap actual = host.WindowShot(GetHostWindow(form->Handle()));
    const char* src = std::getenv("VELMORA_SOURCE_DIR");
    const fs::path root = src ? fs::path(src) : fs::current_path();
    if (const char* bin = std::getenv("VELMORA_BINARY_DIR")) {
      fs::create_directories(fs::path(bin) / "golden-actual");
      SavePngFile((fs::path(bin) / "golden-actual" / ("app-" + name + ".png")).string(), actual);
    }
    ExpectGolden(actual, root / "tests/app/golden" / (name + ".png"), name);
  }

  // The user in every pause of a loop: answers file dialogs from the script,
  // reads and closes error boxes.
  bool Idle() {
    HWND box = GetActiveWindow();
    if (!box || GetClassName(box) != WC_DIALOG) return false;
    if (HWND name = GetDlgItem(box, IDC_FD_NAME)) {
      if (dialogScript.empty()) {
        ADD_FAILURE() << "an unexpected file dialog";
        host.Key(VK_ESCAPE);
        return true;
      }
      std::optional<std::string> answer = dialogScript.front();
      dialogScript.pop_front();
      ++fileDialogs;
      if (!answer) {
        host.Key(VK_ESCAPE);
        return true;
      }
      SetFocus(name);
      SendMessage(name, EM_SETSEL, 0, -1);
      host.Type(*answer);
      host.Key(VK_RETURN);
      return true;
    }
    if (HWND text = GetDlgItem(box, IDC_MSGBOX_TEXT)) {
      errors.push_back(GetWindowText(text));
      host.Key(VK_RETURN);
      return true;
    }
    return false;
  }

  TScratch dir;
  THeadlessHost host;
  std::unique_ptr<TApplication> application;
  std::deque<std::optional<std::string>> dialogScript;
  std::vector<std::string> errors;  // texts of the error boxes shown, in order
  int fileDialogs = 0;
};

}  // namespace vm::test
