// The program's windows against their golden pictures (tests/app/golden;
// VELMORA_UPDATE_GOLDEN=1 writes them again). Each is the window as the host
// shows it, frame included.
#include <cstdlib>
#include <filesystem>

#include "platform/gfx/PngCodec.h"
#include "tests/app/ProgramTestSupport.h"
#include "tests/support/Golden.h"

namespace vm::test {
namespace {

namespace fs = std::filesystem;
using namespace vm::app;

class Golden : public TProgramTest {
 protected:
  void Compare(TCustomForm* form, const std::string& name) {
    Pump();
    PresentWindows();
    TBitmap actual = host.WindowShot(GetHostWindow(form->Handle()));
    const char* src = std::getenv("VELMORA_SOURCE_DIR");
    const fs::path root = src ? fs::path(src) : fs::current_path();
    if (const char* bin = std::getenv("VELMORA_BINARY_DIR")) {
      fs::create_directories(fs::path(bin) / "golden-actual");
      SavePngFile((fs::path(bin) / "golden-actual" / ("app-" + name + ".png")).string(), actual);
    }
    const fs::path file = root / "tests/app/golden" / (name + ".png");
    test::ExpectGolden(actual, file, name);
  }
};

TEST_F(Golden, MainWindowBeforeAndAfterOpeningAPicture) {
  Start();
  Compare(frmMain, "main-start");
  WriteJpeg(File("photo.jpg"), 800, 600, 92);
  Open(File("photo.jpg"));
  Tick();
  host.MouseMove(5, 5);
  Compare(frmMain, "main-picture");
}

TEST_F(Golden, TheThreeDialogs) {
  WriteJpeg(File("photo.jpg"), 80, 60);
  Start();
  Open(File("photo.jpg"));
  Click(frmMain->sBitBtn10);
  host.MouseMove(5, 5);
  Compare(frmResize, "resize");
  Key(VK_ESCAPE);
  Click(frmMain->sBitBtn9);
  host.MouseMove(5, 5);
  Compare(frmCompress, "compress");
  Key(VK_ESCAPE);
  Click(frmMain->sBitBtn3);
  host.MouseMove(5, 5);
  Compare(frmInfo, "info");
}

}  // namespace
}  // namespace vm::test
