// The skin chooser of the main window's system menu: it offers the stored
// skin, the skins shipped with the program and the user's own, and choosing
// one dresses the whole running program in it.
#include <cstdlib>
#include <filesystem>

#include "app/ShippedSkins.h"
#include "skin/data/BuiltinSkin.h"
#include "skin/frame/FrameHook.h"
#include "skin/frame/SkinProvider.h"
#include "skin/frame/SystemMenu.h"
#include "tests/app/ProgramTestSupport.h"
#include "tests/support/MenuScript.h"

namespace vm::test {
namespace {

namespace fs = std::filesystem;
using namespace vm::app;

const std::vector<std::string> ShippedNames{"Graphite", "Malachite", "Sandstone"};

class SkinChooser : public TProgramTest {
 protected:
  void SetUp() override {
    // The user's data folder of this run, set before the program starts.
    dataHome = File("data");
    const char* old = std::getenv("XDG_DATA_HOME");
    hadData = old != nullptr;
    if (old) oldData = old;
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    TProgramTest::SetUp();
  }
  void TearDown() override {
    script.Detach();
    TProgramTest::TearDown();
    if (hadData)
      setenv("XDG_DATA_HOME", oldData.c_str(), 1);
    else
      unsetenv("XDG_DATA_HOME");
  }

  TsSkinManager& Manager() { return *frmMain->sSkinManager1; }
  TsSystemMenu* MainSystemMenu() {
    for (TsSkinProvider* p : RuntimeProviders())
      if (p->FrameForm() == frmMain) return p->SystemMenu();
    return nullptr;
  }

  // Opens the system menu with Alt+Space, opens the chooser's list (the first
  // entry) and picks the skin of that caption with the arrow keys and Enter,
  // as a user does. Returns the captions the chooser offered.
  std::vector<std::string> ChooseFromMenu(const std::string& name) {
    std::vector<std::string> offered;
    std::string checked;
    script.Attach(host);
    script.push_back([this] {
      host.Key(VK_DOWN);
      host.Key(VK_RIGHT);
    });
    script.push_back([&, this] {
      TsSystemMenu* menu = MainSystemMenu();
      tk::TMenuItem* chooser = menu ? menu->SkinItems() : nullptr;
      if (!chooser) return (void)EndMenu();
      int at = -1;
      for (int i = 0; i < chooser->Count(); ++i) {
        offered.push_back(chooser->Items(i)->Caption());
        if (chooser->Items(i)->Checked()) checked = chooser->Items(i)->Caption();
        if (chooser->Items(i)->Caption() == name) at = i;
      }
      if (at < 0) return (void)EndMenu();
      for (int i = 0; i < at; ++i) host.Key(VK_DOWN);
      host.Key(VK_RETURN);
    });
    host.AdvanceClock(600);
    Pump();
    PostMessage(frmMain->Handle(), WM_SYSCOMMAND, SC_KEYMENU, LPARAM(' '));
    Pump();
    EXPECT_TRUE(script.empty()) << "the system menu did not run its course";
    script.clear();
    script.Detach();
    host.SetIdleHandler([this] { return Idle(); });
    lastChecked = checked;
    return offered;
  }

  // The colour the skin gives a section's background.
  TColor SectionColor(const std::string& section) {
    const int i = Manager().FindSectionIndex(section);
    return i < 0 ? clNone : Manager().gd[std::size_t(i)].Color;
  }

  std::string dataHome, oldData;
  bool hadData = false;
  TMenuScript script;
  std::string lastChecked;
};

TEST_F(SkinChooser, TheProgramFindsItsShippedSkinsInTheBuildTree) {
  const std::string folder = ShippedSkinFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(Manager().SystemSkinDirectory(), folder);
  for (const std::string& name : ShippedNames)
    EXPECT_TRUE(fs::is_regular_file(folder + name + ".nxz")) << name;
  // It starts with the stored skin, and its skin folder now exists, private.
  EXPECT_EQ(Manager().SkinName(), BuiltinSkinName);
  EXPECT_TRUE(fs::is_directory(dataHome + "/velmora/Skins"));
  EXPECT_EQ(fs::status(dataHome + "/velmora").permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST_F(SkinChooser, OffersTheStoredTheShippedAndTheUsersSkinsTheUsersWinning) {
  // The user's skins: one of a name of its own, and one called like a shipped
  // skin (with another skin's contents, to tell them apart).
  const std::string shipped = ShippedSkinFolder();
  const std::string user = dataHome + "/velmora/Skins/";
  fs::copy_file(shipped + "Sandstone.nxz", user + "Mine.nxz");
  fs::copy_file(shipped + "Malachite.nxz", user + "Graphite.nxz");
  Start();

  const std::vector<std::string> offered = ChooseFromMenu("Graphite");
  EXPECT_EQ(offered, (std::vector<std::string>{"Graphite", "Malachite", "Mine", BuiltinSkinName,
                                               "Sandstone"}));
  EXPECT_EQ(lastChecked, BuiltinSkinName);
  EXPECT_EQ(Manager().SkinName(), "Graphite");
  EXPECT_EQ(Manager().SkinData.Description, "Malachite");  // the user's file

  ChooseFromMenu("Mine");
  EXPECT_EQ(Manager().SkinName(), "Mine");
  EXPECT_EQ(lastChecked, "Graphite");
  EXPECT_EQ(Manager().SkinData.Description, "Sandstone");

  ChooseFromMenu("Malachite");
  EXPECT_EQ(Manager().SkinData.Description, "Malachite");
  EXPECT_EQ(Manager().SkinData.SkinPath, NormalizeDir(shipped, ProgramFolder()));
  ChooseFromMenu(BuiltinSkinName);
  EXPECT_EQ(Manager().SkinName(), BuiltinSkinName);
  EXPECT_TRUE(Manager().SkinData.Description.empty());
}

// Each shipped skin, chosen in the menu, dresses the main window (golden
// pictures), its menus and the dialogs; the stored skin brings the first
// look back.
TEST_F(SkinChooser, EachShippedSkinDressesTheWholeProgram) {
  Start();
  host.MouseMove(5, 5);
  Pump();
  PresentWindows();
  const TBitmap first = host.Screenshot();
  for (const std::string& name : ShippedNames) {
    ChooseFromMenu(name);
    ASSERT_EQ(Manager().SkinName(), name);
    ASSERT_EQ(Manager().SkinData.Description, name);
    host.MouseMove(5, 5);
    ExpectWindowGolden(frmMain, "main-skin-" + name);
    // The about box wears it too.
    Click(frmMain->sBitBtn3);
    host.MouseMove(5, 5);
    ASSERT_TRUE(frmInfo->Visible());
    EXPECT_EQ(PixelAt(frmInfo, 4, 4), SectionColor("DIALOG")) << name;
    Click(frmInfo->OKBtn);
    ASSERT_FALSE(frmInfo->Visible());
    // The focus goes back where it stood at the start.
    frmMain->sBitBtn1->SetFocus();
  }
  // The stored skin again: the screen is as it was at the start. (The
  // window's own store may keep pixels outside its shape from a skin with
  // squarer corners; the screen shows none of them.)
  ChooseFromMenu(BuiltinSkinName);
  host.MouseMove(5, 5);
  Pump();
  PresentWindows();
  const TBitmap last = host.Screenshot();
  ASSERT_EQ(last.Width(), first.Width());
  int differ = 0;
  for (int y = 0; y < first.Height(); ++y)
    for (int x = 0; x < first.Width(); ++x) differ += first.GetPixel(x, y) != last.GetPixel(x, y);
  EXPECT_EQ(differ, 0);
}

}  // namespace
}  // namespace vm::test
