// The program's windows against their golden pictures (tests/app/golden;
// VELMORA_UPDATE_GOLDEN=1 writes them again). Each is the window as the host
// shows it, frame included.
#include "tests/app/ProgramTestSupport.h"

namespace vm::test {
namespace {

using namespace vm::app;

class Golden : public TProgramTest {
 protected:
  void Compare(TCustomForm* form, const std::string& name) { ExpectWindowGolden(form, name); }
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
