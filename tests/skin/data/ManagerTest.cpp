// The skin manager: where a skin comes from, the three passes, colour shifts,
// folder names, listing, switching off and the order of announcements.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>

#include "platform/gfx/JpegCodec.h"
#include "skin/data/SkinCommands.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/pixels/Colors.h"
#include "tests/skin/data/TestSupport.h"

namespace vm {
namespace {

using test::Bytes;
using test::TempDir;
using test::WriteFile;

// A small skin: a 30 x 10 master bitmap with a grey, a magenta and a coloured
// pixel, one border mask, one glyph, an own-image mask and a pattern key.
const char* SmallSkin =
    "[GLOBALINFO]\r\nVERSION=5.43\r\nMASTERBITMAP=MASTER.BMP\r\nCOLOR=16442322\r\n"
    "AUTHOR=#1 (of 2)\r\nDESCRIPTION=Blue #2, drawn over MASTER.BMP\r\n"
    "FONTCOLOR=8542779\r\nSHADOW1COLOR=9528123\r\nBORDERCOLOR=14598571\r\n"
    "BOXCHECKED=@0000@0000@0030@0010@3@0\r\n\r\n"
    "[BUTTON]\r\nBORDERSMASK=^0000^0000^0030^0010^0002^0002^0002^0002^3^0^1^0\r\n"
    "COLOR=255\r\nTCLEFT=65280\r\nGRADIENTDATA=255;65280;100;0;0\r\n\r\n"
    "[BUTTON_HUGE]\r\nBORDERSMASK=!HUGE.BMP!3!1!0!0010!0010!0010!0010\r\nMISSING=!NONE.BMP!3!1!"
    "0\r\n\r\n"
    "[PAGECONTROL]\r\nPATTERN=BACK.JPG\r\nHOTPATTERN=SMALL.JPG\r\n\r\n"
    "[TABCONTROL]\r\nPARENTCLASS=PAGECONTROL\r\n";

TBitmap SmallMaster() {
  TBitmap master(30, 10);
  master.Fill(RGB(200, 100, 50));
  master.SetPixel(0, 0, RGB(128, 128, 128));
  master.SetPixel(1, 0, clNone);
  return master;
}

std::vector<std::uint8_t> Jpeg(int w, int h) {
  TBitmap b(w, h);
  b.Fill(RGB(90, 140, 200));
  return EncodeJpeg(b, 90);
}

std::vector<TPackedEntry> SmallSkinEntries() {
  return {{"Options.dat", Bytes(SmallSkin)},
          {"Master.bmp", WriteBmp24(SmallMaster())},
          {"Huge.bmp", test::SolidBmp(288, 192, RGB(10, 20, 200))},
          {"Back.jpg", Jpeg(300, 300)},
          {"Small.jpg", Jpeg(299, 300)}};
}

void WriteSkinFolder(const std::string& folder) {
  for (const TPackedEntry& e : SmallSkinEntries()) {
    std::string name = e.Name == "Options.dat" ? e.Name : UpperCaseAscii(e.Name);
    WriteFile(folder + "/" + name, e.Bytes);
  }
}

// Records the commands the manager announces.
class RecordingAnnouncer : public TsSkinAnnouncer {
 public:
  RecordingAnnouncer() { SetSkinAnnouncer(this); }
  ~RecordingAnnouncer() override { SetSkinAnnouncer(nullptr); }
  void SendCommand(TsSkinManager&, int command) override { log.push_back(std::to_string(command)); }
  void SetFormsRedraw(TsSkinManager&, bool on) override {
    log.push_back(on ? "redraw+" : "redraw-");
  }
  void RefreshForms(TsSkinManager&) override { log.push_back("refresh"); }
  void InstallHook(TsSkinManager&) override { log.push_back("hook+"); }
  void RemoveHook(TsSkinManager&) override { log.push_back("hook-"); }
  std::vector<std::string> log;
};

class ManagerTest : public ::testing::Test {
 protected:
  void SetUp() override { SetProgramFolder(dir.Path() + "/bin/"); }
  void TearDown() override { SetProgramFolder(""); }
  TempDir dir;
};

void CheckSmallSkin(const TsSkinManager& m) {
  ASSERT_EQ(m.gd.size(), 5u);
  EXPECT_EQ(m.FindSectionIndex("BUTTON"), 1);
  ASSERT_NE(m.MasterBitmap, nullptr);
  EXPECT_EQ(m.MasterBitmap->Width(), 30);
  EXPECT_EQ(m.MasterBitmap->PixelFormat(), TPixelFormat::pf24bit);
  int border = m.FindMaskIndex(1, "BUTTON", "BORDERSMASK");
  ASSERT_GE(border, 0);
  EXPECT_EQ(m.ma[std::size_t(border)].Manager, &m);
  int huge = m.FindMaskIndex(2, "BUTTON_HUGE", "BORDERSMASK");
  ASSERT_GE(huge, 0);
  ASSERT_NE(m.ma[std::size_t(huge)].Image, nullptr);
  EXPECT_EQ(m.ma[std::size_t(huge)].R, Rect(0, 0, 288, 192));
  EXPECT_EQ(m.MaskStateSize(huge), (TSize{96, 96}));
  EXPECT_EQ(m.FindMaskIndexNoInherit("BUTTON_HUGE", "MISSING"), -1);  // no such file: left out
  // 300 x 300 stays a pattern, 299 x 300 becomes a texture mask.
  EXPECT_EQ(m.pa.size(), 1u);
  EXPECT_EQ(m.FindPatternIndex(3, "PAGECONTROL", "PATTERN"), 0);
  EXPECT_EQ(m.FindPatternIndex(4, "TABCONTROL", "PATTERN"), 0);
  int small = m.FindTextureIndex(3, "PAGECONTROL", "HOTPATTERN");
  ASSERT_GE(small, 0);
  EXPECT_EQ(m.ma[std::size_t(small)].R, Rect(0, 0, 299, 300));
  EXPECT_EQ(m.ConstData().BoxChecked, m.FindMaskIndexNoInherit("GLOBALINFO", "BOXCHECKED"));
  EXPECT_EQ(m.SkinInfo(), "5.43");
  EXPECT_TRUE(m.SkinData.Active);
  // Free texts with "#" or ".BMP" in them are texts, not masks.
  EXPECT_EQ(m.SkinData.Author, "#1 (of 2)");
  EXPECT_EQ(m.SkinData.Description, "Blue #2, drawn over MASTER.BMP");
  EXPECT_EQ(m.FindMaskIndexNoInherit("GLOBALINFO", "AUTHOR"), -1);
  EXPECT_EQ(m.FindMaskIndexNoInherit("GLOBALINFO", "DESCRIPTION"), -1);
}

TEST_F(ManagerTest, LoadsAFolderSkin) {
  WriteSkinFolder(dir / "skins/Small");
  TsSkinManager m;
  m.SetSkinDirectory(dir / "skins");
  m.SetSkinName("Small");
  CheckSmallSkin(m);
  EXPECT_FALSE(m.IsPacked());
  EXPECT_EQ(m.SkinData.SkinPath, dir.Path() + "/skins\\Small\\");
}

TEST_F(ManagerTest, AnEmptyNameLoadsTheSkinDirectoryItselfWhenItHoldsADescription) {
  WriteSkinFolder(dir / "skins");
  TsSkinManager m;
  TsStoredSkin& stored = m.InternalSkins().Add();
  stored.Name = "Fallback";
  m.SetSkinDirectory(dir / "skins");
  m.SetSkinName("");
  CheckSmallSkin(m);
  EXPECT_FALSE(m.IsPacked());
  EXPECT_EQ(m.SkinName(), "");
  EXPECT_EQ(m.SkinData.SkinPath, dir.Path() + "/skins\\\\");
}

TEST_F(ManagerTest, LoadsAPackedFileSkin) {
  WriteFile(dir / "skins/Small.nxz", WritePackedSkin(SmallSkinEntries()));
  TsSkinManager m;
  m.SetSkinDirectory(dir / "skins");
  m.SetSkinName("Small");
  CheckSmallSkin(m);
  EXPECT_TRUE(m.IsPacked());
  EXPECT_EQ(m.SkinData.SkinPath, dir.Path() + "/skins\\");
}

TEST_F(ManagerTest, PackedImagesAreFoundByTheirUpperCaseNameOnly) {
  // The stored name "Master.bmp" is upper-cased for the comparison; the
  // description's name is taken as written.
  std::vector<TPackedEntry> entries = {
      {"Options.dat", Bytes("[GLOBALINFO]\r\nMASTERBITMAP=Master.bmp\r\n\r\n[PANEL]\r\n"
                            "BORDERSMASK=!HUGE.BMP!1!0!0\r\nGLYPH=!Huge.bmp!1!0!0\r\n")},
      {"Master.bmp", WriteBmp24(SmallMaster())},
      {"Huge.bmp", test::SolidBmp(6, 6, RGB(10, 20, 200))}};
  WriteFile(dir / "skins/Cased.nxz", WritePackedSkin(entries));
  TsSkinManager m;
  m.SetSkinDirectory(dir / "skins");
  m.SetSkinName("Cased");
  EXPECT_EQ(m.MasterBitmap, nullptr);
  ASSERT_EQ(m.ma.size(), 1u);
  EXPECT_EQ(m.ma[0].PropertyName, "BORDERSMASK");
}

TEST_F(ManagerTest, StoredSkinsWithData) {
  TsSkinManager m;
  m.SetSkinDirectory(dir / "nowhere");
  TsStoredSkin& stored = m.InternalSkins().Add();
  stored.Name = "Office2007 Blue (internal)";
  stored.Data = WritePackedSkin(SmallSkinEntries());
  stored.GeneralData.push_back({});  // ignored: Data wins
  m.SetSkinName("Office2007 Blue (internal)");
  CheckSmallSkin(m);
  EXPECT_EQ(m.SkinData.SkinPath, "");
  EXPECT_EQ(stored.Data.size(), WritePackedSkin(SmallSkinEntries()).size());  // still owned

  // An unknown name falls back to the first stored skin and takes its name.
  m.SetSkinName("Nothing like it");
  EXPECT_EQ(m.SkinName(), "Office2007 Blue (internal)");
  CheckSmallSkin(m);
}

TEST_F(ManagerTest, NoSkinAtAllSwitchesOff) {
  RecordingAnnouncer rec;
  TsSkinManager m;
  m.SetSkinName("Nothing");
  EXPECT_FALSE(m.Active());
  EXPECT_TRUE(m.gd.empty());
  EXPECT_EQ(m.SkinInfo(), "N/A");
  EXPECT_EQ(rec.log, (std::vector<std::string>{"2"}));
  // While inactive the name is only stored.
  m.SetSkinName("Other");
  EXPECT_EQ(m.SkinName(), "Other");
  EXPECT_EQ(rec.log.size(), 1u);
}

TEST_F(ManagerTest, BadContainersLoadAnEmptySkinWithAWarning) {
  test::WarningRecorder warnings;
  TsSkinManager m;
  m.SetSkinDirectory(dir / "skins");
  WriteFile(dir / "skins/Bad.nxz", Bytes("nxzf and then nothing"));
  m.SetSkinName("Bad");
  EXPECT_EQ(warnings.texts.size(), 1u);
  EXPECT_TRUE(m.Active());
  EXPECT_TRUE(m.gd.empty());
  EXPECT_TRUE(m.ma.empty());

  // A container without a description: an empty model, no warning.
  WriteFile(dir / "skins/NoDesc.nxz", WritePackedSkin({{"Master.bmp", test::SolidBmp(2, 2, 0)}}));
  m.SetSkinName("NoDesc");
  EXPECT_EQ(warnings.texts.size(), 1u);
  EXPECT_TRUE(m.gd.empty());
  EXPECT_EQ(m.MasterBitmap, nullptr);

  // A description with an unparsable mask number ends the load with an error.
  WriteFile(dir / "skins/Broken/Options.dat", "[A]\r\nBORDERSMASK=^00x6\r\n");
  EXPECT_THROW(m.SetSkinName("Broken"), EConvertError);
  EXPECT_FALSE(IsSkinChanging());
}

TEST_F(ManagerTest, AnnouncementOrder) {
  WriteSkinFolder(dir / "skins/Small");
  RecordingAnnouncer rec;
  TsSkinManager m;
  ASSERT_TRUE(m.IsDefault());
  int before = 0, after = 0;
  bool changingSeen = false;
  m.OnBeforeChange = [&](TComponent* s) {
    EXPECT_EQ(s, &m);
    ++before;
  };
  m.OnAfterChange = [&](TComponent*) {
    ++after;
    EXPECT_FALSE(IsSkinChanging());
  };
  m.SetSkinDirectory(dir / "skins");
  m.OnBeforeChange = [&](TComponent*) { ++before; };
  struct Probe : RecordingAnnouncer {
    bool* seen;
    void SendCommand(TsSkinManager& mm, int c) override {
      if (c == CmdNewSkin) *seen = IsSkinChanging() && !mm.SkinData.Active;
      RecordingAnnouncer::SendCommand(mm, c);
    }
  };
  Probe probe;
  probe.seen = &changingSeen;
  m.SetSkinName("Small");
  EXPECT_TRUE(changingSeen);
  EXPECT_EQ(before, 1);
  EXPECT_EQ(after, 1);
  EXPECT_EQ(probe.log,
            (std::vector<std::string>{"redraw-", "1", "hook+", "16", "redraw-", "3", "refresh"}));
  // A hue change reloads and refreshes; it announces no new skin.
  probe.log.clear();
  m.SetHueOffset(10);
  EXPECT_EQ(probe.log, (std::vector<std::string>{"16", "redraw-", "3", "refresh"}));
  EXPECT_TRUE(m.SkinData.Active);
  // Another manager made default re-announces its own state: it has no skin.
  probe.log.clear();
  TsSkinManager other;
  other.SetActive(false);
  probe.log.clear();
  other.SetIsDefault(true);
  EXPECT_EQ(probe.log, (std::vector<std::string>{"2"}));
  m.SetIsDefault(true);
  probe.log.clear();
  m.SetActive(false);
  EXPECT_EQ(probe.log, (std::vector<std::string>{"hook-", "2"}));
  EXPECT_TRUE(m.gd.empty());
  EXPECT_EQ(m.ConstData().GlobalInfo, -1);
  EXPECT_EQ(m.SkinInfo(), "N/A");
}

TEST_F(ManagerTest, ColourShiftsLeaveGreyAndMagentaAlone) {
  WriteSkinFolder(dir / "skins/Small");
  TsSkinManager plain;
  plain.SetSkinDirectory(dir / "skins");
  plain.SetSkinName("Small");

  for (int saturation : {100, 101, -5}) {
    TsSkinManager m;
    m.SetSkinDirectory(dir / "skins");
    m.SetSkinName("Small");
    m.SetSaturation(saturation);
    int amount = (-saturation) % 101;  // 100 -> -100, 101 -> 0, -5 -> 5
    const TsGeneralData& d = m.gd[1];
    const TsGeneralData& p = plain.gd[1];
    EXPECT_EQ(d.Color, ChangeSaturation(p.Color, amount)) << saturation;
    EXPECT_EQ(d.FontColor[1], ChangeSaturation(p.FontColor[1], amount));
    EXPECT_EQ(d.FontColor[2], clNoContour);  // -1 stays -1
    EXPECT_EQ(TColor(d.GradientArray[0].Color2),
              ChangeSaturation(TColor(p.GradientArray[0].Color2), amount));
    EXPECT_EQ(m.SkinData.Shadow1Color, ChangeSaturation(plain.SkinData.Shadow1Color, amount));
    EXPECT_EQ(m.MasterBitmap->GetPixel(0, 0), RGB(128, 128, 128));
    EXPECT_EQ(m.MasterBitmap->GetPixel(1, 0), clNone);
    EXPECT_EQ(m.MasterBitmap->GetPixel(5, 5), ChangeSaturation(RGB(200, 100, 50), amount));
  }
  TsSkinManager hue;
  hue.SetSkinDirectory(dir / "skins");
  hue.SetSkinName("Small");
  hue.SetHueOffset(120);
  EXPECT_EQ(hue.gd[1].Color, ChangeHue(120, plain.gd[1].Color));
  EXPECT_EQ(hue.MasterBitmap->GetPixel(0, 0), RGB(128, 128, 128));
  EXPECT_EQ(hue.MasterBitmap->GetPixel(1, 0), clNone);
  int huge = hue.FindMaskIndexNoInherit("BUTTON_HUGE", "BORDERSMASK");
  EXPECT_EQ(hue.ma[std::size_t(huge)].Image->GetPixel(3, 3), ChangeHue(120, RGB(10, 20, 200)));
  hue.SetHueOffset(0);
  EXPECT_EQ(hue.gd[1].Color, plain.gd[1].Color);
}

TEST_F(ManagerTest, SkinInfoUsesAPointWhateverTheLocale) {
  WriteSkinFolder(dir / "skins/Small");
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = old ? old : "C";
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // may not exist; then nothing changes
  TsSkinManager m;
  m.SetSkinDirectory(dir / "skins");
  m.SetSkinName("Small");
  EXPECT_EQ(m.SkinInfo(), "5.43");
  EXPECT_EQ(m.Version(), "5.52");
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(FolderNames, Normalisation) {
  const std::string app = "D:\\App\\Bin\\";
  EXPECT_EQ(NormalizeDir("..\\Skins", app), "D:\\App\\Skins\\");
  EXPECT_EQ(NormalizeDir("Skins", app), "D:\\App\\Bin\\Skins\\");
  EXPECT_EQ(NormalizeDir("E", app), "D:\\App\\Bin\\E\\");
  EXPECT_EQ(NormalizeDir(".\\Skins", app), "D:\\App\\Bin\\Skins\\");
  EXPECT_EQ(NormalizeDir("c:\\Skins", app), "c:\\Skins\\");
  EXPECT_EQ(NormalizeDir("\\\\server\\share", app), "\\\\server\\share\\");
  EXPECT_EQ(NormalizeDir("", app), "");
  EXPECT_EQ(NormalizeDir("/srv/skins/", "/opt/velmora/"), "/srv/skins\\");
  EXPECT_EQ(AddTrailingSeparator("E"), "E:\\");
  EXPECT_EQ(AddTrailingSeparator("C:/Skins/"), "C:/Skins\\");
  EXPECT_EQ(AddTrailingSeparator("C:\\Skins\\"), "C:\\Skins\\");
  EXPECT_EQ(HostPath("/srv/skins\\Small\\"), "/srv/skins/Small/");
  // A drive is the user's data folder; the program's "c:\\Skins" is a folder in it.
  test::ScopedEnv data("XDG_DATA_HOME", "/home/ann/.data");
  EXPECT_EQ(HostPath(NormalizeDir("c:\\Skins", app)), "/home/ann/.data/velmora/Skins/");
  EXPECT_EQ(HostPath(AddTrailingSeparator("E")), "/home/ann/.data/velmora/E/");
}

TEST_F(ManagerTest, RelativeDirectoryIsResolvedForFoldersOnly) {
  // SkinDirectory "Skins": the folder is looked for under the program's folder.
  WriteSkinFolder(dir / "bin/Skins/Small");
  TsSkinManager m;
  m.SetSkinDirectory("Skins");
  m.SetSkinName("Small");
  EXPECT_FALSE(m.IsPacked());
  EXPECT_EQ(m.gd.size(), 5u);
  // The packed file is tested relative to the current directory instead.
  std::string cwd = std::filesystem::current_path().string();
  std::filesystem::current_path(dir.Path());
  WriteFile(dir / "Skins/Small.nxz", WritePackedSkin(SmallSkinEntries()));
  m.SetSkinName("Small");
  EXPECT_TRUE(m.IsPacked());
  std::filesystem::current_path(cwd);
}

TEST_F(ManagerTest, ListsAvailableSkins) {
  WriteSkinFolder(dir / "skins/Zeta");
  WriteFile(dir / "skins/Alpha.nxz", Bytes("x"));
  WriteFile(dir / "skins/Beta.v2.nxz", Bytes("x"));
  WriteFile(dir / "skins/Upper.NXZ", Bytes("x"));  // extension must be lower case
  WriteFile(dir / "skins/Empty/readme.txt", "x");  // no Options.dat
  WriteSkinFolder(dir / "skins/.hidden");
  TsSkinManager m;
  m.SetSkinDirectory(dir / "skins");
  m.InternalSkins().Add().Name = "Stored";
  std::string first;
  EXPECT_EQ(m.GetSkinNames(slBoth, &first),
            (std::vector<std::string>{"Alpha", "Beta", "Stored", "Zeta"}));
  EXPECT_EQ(first, "Stored");
  EXPECT_EQ(m.GetSkinNames(slUnpacked), (std::vector<std::string>{"Stored", "Zeta"}));
  EXPECT_EQ(m.GetSkinNames(slPacked), (std::vector<std::string>{"Alpha", "Beta", "Stored"}));
  TsSkinManager none;
  none.SetSkinDirectory(dir / "missing");
  EXPECT_TRUE(none.GetSkinNames(slBoth, &first).empty());
  EXPECT_EQ(first, "");
}

// The skins shipped with the program come after the user's: listed once, a
// user's skin of the same name winning, and found by name in either folder.
TEST_F(ManagerTest, UserAndShippedSkinsAreListedAndLoadedTheUsersWinning) {
  test::ScopedEnv data("XDG_DATA_HOME", (dir / "data").c_str());
  auto packed = [](const std::string& version) {
    std::vector<TPackedEntry> entries = SmallSkinEntries();
    std::string text = SmallSkin;
    text.replace(text.find("5.43"), 4, version);
    entries[0].Bytes = Bytes(text);
    return WritePackedSkin(entries);
  };
  const std::string user = dir / "data/velmora/Skins";
  WriteFile(user + "/Both.nxz", packed("1.1"));
  WriteSkinFolder(user + "/Mine");
  WriteFile(dir / "shipped/Both.nxz", packed("2.2"));
  WriteFile(dir / "shipped/Shipped.nxz", packed("3.3"));
  WriteSkinFolder(dir / "shipped/Folder");
  TsSkinManager m;
  m.InternalSkins().Add().Name = "Stored";
  m.SetSkinDirectory("c:\\Skins");
  m.SetSystemSkinDirectory(dir / "shipped");
  std::string first;
  EXPECT_EQ(m.GetSkinNames(slBoth, &first),
            (std::vector<std::string>{"Both", "Folder", "Mine", "Shipped", "Stored"}));
  EXPECT_EQ(first, "Stored");
  EXPECT_EQ(m.GetSkinNames(slUnpacked), (std::vector<std::string>{"Folder", "Mine", "Stored"}));
  EXPECT_EQ(m.GetSkinNames(slPacked), (std::vector<std::string>{"Both", "Shipped", "Stored"}));

  m.SetSkinName("Both");
  EXPECT_EQ(m.SkinInfo(), "1.1");
  EXPECT_EQ(m.SkinData.SkinPath, "c:\\Skins\\");
  m.SetSkinName("Shipped");
  EXPECT_EQ(m.SkinInfo(), "3.3");
  EXPECT_EQ(m.SkinData.SkinPath, dir / "shipped\\");
  m.SetSkinName("Folder");
  CheckSmallSkin(m);
  EXPECT_EQ(m.SkinData.SkinPath, dir / "shipped\\Folder\\");
  EXPECT_FALSE(m.IsPacked());
  m.SetSkinName("Mine");
  CheckSmallSkin(m);
  EXPECT_EQ(m.SkinData.SkinPath, "c:\\Skins\\Mine\\");

  // A user's folder of the shipped name wins over the shipped file too.
  std::filesystem::remove(user + "/Both.nxz");
  WriteSkinFolder(user + "/Both");
  m.SetSkinName("Both");
  EXPECT_EQ(m.SkinInfo(), "5.43");
  EXPECT_FALSE(m.IsPacked());
  std::filesystem::remove_all(user + "/Both");
  m.SetSkinName("Both");
  EXPECT_EQ(m.SkinInfo(), "2.2");
  // Found nowhere: the first stored skin, as before.
  m.SetSkinName("Nowhere");
  EXPECT_EQ(m.SkinName(), "Stored");
}

// The packer the README offers turns a skin folder into a file that loads as
// the folder does.
TEST_F(ManagerTest, APackedFolderLoadsAsTheFolderDoes) {
  const char* bin = std::getenv("VELMORA_BINARY_DIR");
  const std::string exe = std::string(bin ? bin : "build") + "/tools/skinpack/skinpack";
  if (!std::filesystem::exists(exe)) GTEST_SKIP() << "skinpack not built at " << exe;
  WriteSkinFolder(dir / "src/Small");
  WriteFile(dir / "src/Small/.notes", "left out");
  std::filesystem::create_directories(dir / "skins");
  auto pack = [&](const std::string& out, const std::string& folder) {
    return std::system((exe + " '" + out + "' '" + folder + "' 2>/dev/null").c_str());
  };
  ASSERT_EQ(pack(dir / "skins/Packed.nxz", dir / "src/Small"), 0);
  TsSkinManager m;
  m.SetSkinDirectory(dir / "skins");
  m.SetSkinName("Packed");
  EXPECT_TRUE(m.IsPacked());
  CheckSmallSkin(m);
  // A folder without a description is no skin.
  WriteFile(dir / "notes/readme.txt", "x");
  EXPECT_NE(pack(dir / "skins/Notes.nxz", dir / "notes"), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "skins/Notes.nxz"));
}

TEST_F(ManagerTest, ADriveSkinFolderIsMadeOnFirstUseOrTheStoredSkinStaysWithOneWarning) {
  {
    test::ScopedEnv data("XDG_DATA_HOME", (dir / "fresh").c_str());
    TsSkinManager m;
    m.SetSkinDirectory("c:\\Skins");
    EXPECT_TRUE(m.GetSkinNames(slBoth).empty());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "fresh/velmora/Skins"));
    EXPECT_EQ(
        std::filesystem::status(dir / "fresh/velmora").permissions() & std::filesystem::perms::all,
        std::filesystem::perms::owner_all);
  }
  // The data home is a file, so no folder can be made below it.
  WriteFile(dir / "blocked", "x");
  test::ScopedEnv data("XDG_DATA_HOME", (dir / "blocked").c_str());
  TsSkinManager m;
  TsStoredSkin& stored = m.InternalSkins().Add();
  stored.Name = "Office2007 Blue (internal)";
  stored.Data = WritePackedSkin(SmallSkinEntries());
  m.SetSkinDirectory("c:\\Skins");
  testing::internal::CaptureStderr();
  m.SetSkinName("Office2007 Blue (internal)");
  EXPECT_EQ(m.GetSkinNames(slBoth), (std::vector<std::string>{"Office2007 Blue (internal)"}));
  m.SetSkinName("Something else");
  const std::string said = testing::internal::GetCapturedStderr();
  CheckSmallSkin(m);
  EXPECT_EQ(m.SkinName(), "Office2007 Blue (internal)");
  // Said once, naming the folder and the reason.
  const std::string folder = dir / "blocked";
  ASSERT_NE(said.find(folder), std::string::npos) << said;
  EXPECT_EQ(said.find(folder, said.find('\n')), std::string::npos) << said;
  EXPECT_NE(said.find("Not a directory"), std::string::npos) << said;
}

TEST_F(ManagerTest, CommonSectionsMergeIntoEverySkin) {
  WriteSkinFolder(dir / "skins/Small");
  WriteFile(dir / "skins/Small/EXTRA.BMP", test::SolidBmp(9, 6, RGB(1, 2, 3)));
  TsSkinManager m;
  m.SetSkinDirectory(dir / "skins");
  m.SetSkinName("Small");
  m.SetCommonSections({"; a comment", "[BUTTON]", "HOT COLOR = 123", "FONTCOLOR=5", "[MYBUTTON]",
                       "PARENTCLASS=button", "FRAME=EXTRA.BMP", "GLYPH=#G (0,0,9,3) (3,0)"});
  EXPECT_EQ(m.CommonSections()[2], "HOTCOLOR=123");
  EXPECT_EQ(m.CommonSections()[0], "; a comment");
  int button = m.FindSectionIndex("BUTTON");
  EXPECT_EQ(m.gd[std::size_t(button)].HotColor, 123u);
  EXPECT_EQ(m.gd[std::size_t(button)].FontColor[0], 5u);
  EXPECT_EQ(m.gd[std::size_t(button)].Color, 255u);  // kept
  int mine = m.FindSectionIndex("MYBUTTON");
  ASSERT_GE(mine, 0);
  EXPECT_EQ(m.gd[std::size_t(mine)].Color, 255u);            // from its parent BUTTON
  EXPECT_EQ(m.gd[std::size_t(mine)].ParentClass, "button");  // as written
  int frame = m.FindMaskIndexNoInherit("MYBUTTON", "FRAME");
  ASSERT_GE(frame, 0);
  EXPECT_EQ(m.ma[std::size_t(frame)].R, Rect(0, 0, 9, 6));
  EXPECT_GE(m.FindMaskIndexNoInherit("MYBUTTON", "GLYPH"), 0);
}

TEST_F(ManagerTest, StoredCollections) {
  TsSkinManager m;
  TsStoredSkin& s = m.InternalSkins().Add();
  s.Name = "Collected";
  s.Version = 1.5;
  s.BorderColor = 77;
  s.MasterBitmap = SmallMaster();
  TsSkinGeneral g;
  g.SectionName = "BUTTON";
  g.Color = 255;
  g.FontColor = "1 2 3 4 5";
  g.HotFontColor = "garbage";
  g.GradientData = "1;2;3;0;0";
  s.GeneralData.push_back(g);
  TsSkinImage border;
  border.SectionName = "button";
  border.PropertyName = "bordersmask";
  border.Right = 30;
  border.Bottom = 10;
  border.ImageCount = 0;  // becomes 3 with MaskType 1
  s.Images.push_back(border);
  TsSkinImage own;
  own.SectionName = "BUTTON";
  own.PropertyName = "PATTERN";
  own.Name = "tile";
  own.Image = std::make_shared<TBitmap>(4, 4, TPixelFormat::pf32bit);
  own.ImgType = itisaGlyph;
  own.StretchMode = 3;
  own.ImageCount = 1;
  s.Images.push_back(own);
  TsSkinPattern p1{"BUTTON", std::make_shared<TBitmap>(5, 5), "pic", "HOTPATTERN"};
  TsSkinPattern p2{"EDIT", nullptr, "pic", "PATTERN"};
  s.Patterns = {p1, p2};
  m.SetSkinName("Collected");
  // Own images reach the painters as 24-bit pixels even without a colour shift.
  ASSERT_EQ(m.ma.size(), 2u);
  ASSERT_NE(m.ma[1].Image, nullptr);
  EXPECT_EQ(m.ma[1].Image->PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(own.Image->PixelFormat(), TPixelFormat::pf32bit);
  m.SetHueOffset(90);
  ASSERT_EQ(m.gd.size(), 1u);
  EXPECT_EQ(m.gd[0].FontColor[4], ChangeHue(90, 5));
  EXPECT_EQ(m.gd[0].HotFontColor[1], clNoContour);
  EXPECT_EQ(m.gd[0].GradientArray.size(), 1u);
  ASSERT_EQ(m.ma.size(), 2u);
  EXPECT_EQ(m.ma[0].SectionName, "BUTTON");
  EXPECT_EQ(m.ma[0].ImageCount, 3);
  EXPECT_EQ(m.ma[0].MaskType, 1);
  EXPECT_EQ(m.ma[0].WL, 3);  // 30 / 9
  EXPECT_EQ(m.ma[1].ImgType, itisaTexture);
  EXPECT_EQ(m.ma[1].StretchMode, 0);
  EXPECT_EQ(m.ma[1].R, Rect(0, 0, 4, 4));
  EXPECT_NE(m.ma[1].Image.get(), own.Image.get());  // a copy
  ASSERT_EQ(m.pa.size(), 2u);
  ASSERT_NE(m.pa[1].Image, nullptr);  // shared by name
  EXPECT_EQ(m.pa[1].Image->Width(), 5);
  EXPECT_EQ(m.SkinInfo(), "1.5");
  EXPECT_EQ(m.SkinData.BorderColor, ChangeHue(90, 77));
  // The stored master bitmap is not shifted with the model's copy.
  EXPECT_EQ(s.MasterBitmap.GetPixel(5, 5), RGB(200, 100, 50));
}

// A 32-bit top-down BMP file of the bitmap's colours and alpha.
std::vector<std::uint8_t> Bmp32(const TBitmap& b) {
  std::vector<std::uint8_t> f;
  auto put = [&f](std::uint32_t v, int n) {
    // Bytes past the fourth are zero (a run of zero fields written at once).
    for (int i = 0; i < n; ++i) f.push_back(i < 4 ? std::uint8_t(v >> (8 * i)) : std::uint8_t(0));
  };
  const std::uint32_t pixels = std::uint32_t(b.Width() * b.Height() * 4);
  f.push_back('B');
  f.push_back('M');
  put(54 + pixels, 4);
  put(0, 4);
  put(54, 4);
  put(40, 4);
  put(std::uint32_t(b.Width()), 4);
  put(std::uint32_t(-b.Height()), 4);
  put(1, 2);
  put(32, 2);
  put(0, 4);
  put(pixels, 4);
  put(0, 16);
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      TColor c = b.GetPixel(x, y);
      f.push_back(std::uint8_t(GetBValue(c)));
      f.push_back(std::uint8_t(GetGValue(c)));
      f.push_back(std::uint8_t(GetRValue(c)));
      f.push_back(b.GetAlpha(x, y));
    }
  return f;
}

TBitmap Pixels32(int w, int h) {
  TBitmap b(w, h, TPixelFormat::pf32bit);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      b.SetPixel(x, y, RGB(10 + x, 20 + y, 200));
      b.SetAlpha(x, y, std::uint8_t(100 + x + y));
    }
  return b;
}

TEST_F(ManagerTest, StoredCollectionsOf32BitPicturesKeepTheirColours) {
  TsSkinManager m;
  TsStoredSkin& s = m.InternalSkins().Add();
  s.Name = "Deep";
  s.MasterBitmap = Pixels32(30, 10);
  TsSkinImage own;
  own.SectionName = "BUTTON";
  own.PropertyName = "BORDERSMASK";
  own.Name = "frame";
  own.Image = std::make_shared<TBitmap>(Pixels32(6, 4));
  own.ImageCount = 1;
  s.Images.push_back(own);
  m.SetSkinName("Deep");
  ASSERT_NE(m.MasterBitmap, nullptr);
  EXPECT_EQ(m.MasterBitmap->PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(m.MasterBitmap->GetPixel(29, 9), RGB(39, 29, 200));
  ASSERT_EQ(m.ma.size(), 1u);
  ASSERT_NE(m.ma[0].Image, nullptr);
  EXPECT_EQ(m.ma[0].Image->PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(m.ma[0].Image->GetPixel(5, 3), RGB(15, 23, 200));
}

TEST_F(ManagerTest, OwnTexturesOfBangMasksKeepTheirFormat) {
  WriteFile(dir / "Skins/Deep/Options.dat",
            "[GLOBALINFO]\r\nVERSION=5\r\n\r\n[PANEL]\r\nPATTERN=!TILE.BMP!1!0!1\r\n"
            "BORDERSMASK=!TILE.BMP!1!0!0\r\nGLYPH=!TILE.BMP!1!0!2\r\n");
  WriteFile(dir / "Skins/Deep/TILE.BMP", Bmp32(Pixels32(6, 4)));
  TsSkinManager m;
  m.SetSkinDirectory(dir / "Skins");
  m.SetSkinName("Deep");
  ASSERT_EQ(m.ma.size(), 3u);
  // Image type 1 (a texture) keeps 32 bits and its alpha.
  ASSERT_NE(m.ma[0].Image, nullptr);
  EXPECT_EQ(m.ma[0].Image->PixelFormat(), TPixelFormat::pf32bit);
  EXPECT_EQ(m.ma[0].Image->GetPixel(5, 3), RGB(15, 23, 200));
  EXPECT_EQ(m.ma[0].Image->GetAlpha(5, 3), 108);
  // Other image types become 24-bit with the same colours.
  for (std::size_t i : {1u, 2u}) {
    ASSERT_NE(m.ma[i].Image, nullptr);
    EXPECT_EQ(m.ma[i].Image->PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(m.ma[i].Image->GetPixel(5, 3), RGB(15, 23, 200));
  }
}

TEST(ManagerOptions, DefaultsAndClassLists) {
  TsSkinManager first;
  TsSkinManager second;
  EXPECT_TRUE(first.IsDefault());
  EXPECT_FALSE(second.IsDefault());
  EXPECT_EQ(DefaultManager(), &first);
  EXPECT_TRUE(first.Active());
  EXPECT_TRUE(first.SkinnedPopups());
  EXPECT_EQ(first.SkinDirectory(), "c:\\Skins");
  EXPECT_EQ(first.SkinningRules(), AllSkinningRules);
  EXPECT_EQ(first.ClassLists()[tpEdit].size(), 18u);
  EXPECT_EQ(first.ClassLists()[tpStatusBar], (std::vector<std::string>{"TStatusBar"}));

  // Button events are process-wide; only the default manager changes them.
  second.AnimEffects().Buttons.SetEvents(0);
  EXPECT_EQ(second.AnimEffects().Buttons.Events(), AllBtnEvents);
  first.AnimEffects().Buttons.SetEvents(0);
  EXPECT_EQ(GlobalBtnEvents(), 0u);
  EXPECT_EQ(second.AnimEffects().Buttons.Events(), 0u);
  first.AnimEffects().Buttons.SetEvents(AllBtnEvents);
  EXPECT_EQ(first.AnimEffects().DialogShow.Time, 100);
  EXPECT_EQ(first.AnimEffects().FormShow.Time, 0);

  // An empty list is refilled without reset; a custom one survives.
  first.ThirdParty().ThirdButtons() = "";
  first.ThirdParty().ThirdBitBtns() = "TMyBtn\r\nTOther";
  first.UpdateClassLists(false);
  EXPECT_EQ(first.ClassLists()[tpButton], (std::vector<std::string>{"TButton"}));
  EXPECT_EQ(first.ClassLists()[tpBitBtn], (std::vector<std::string>{"TMyBtn", "TOther"}));
  first.UpdateClassLists(true);
  EXPECT_EQ(first.ClassLists()[tpBitBtn], (std::vector<std::string>{"TBitBtn"}));

  second.SetIsDefault(true);
  EXPECT_EQ(DefaultManager(), &second);
  EXPECT_FALSE(first.IsDefault());
}

TEST(ManagerOptions, StoredDataStreamsAsLengthAndBytes) {
  TsStoredSkin a;
  a.Data = {1, 2, 3};
  std::vector<std::uint8_t> stored = a.WriteData();
  EXPECT_EQ(stored, (std::vector<std::uint8_t>{3, 0, 0, 0, 1, 2, 3}));
  stored.push_back(99);  // what follows in the form is not consumed
  TsStoredSkin b;
  EXPECT_EQ(b.ReadData(stored.data(), stored.size()), 7u);
  EXPECT_EQ(b.Data, a.Data);
  std::vector<std::uint8_t> lying{200, 0, 0, 0, 1};
  EXPECT_THROW(b.ReadData(lying.data(), lying.size()), std::runtime_error);
  EXPECT_THROW(b.ReadData(lying.data(), 2), std::runtime_error);

  TsStoredSkins skins;
  skins.Add().Name = "One";
  skins.Add().Name = "Two";
  EXPECT_EQ(skins.IndexOf("Two"), 1);
  EXPECT_EQ(skins.IndexOf("two"), -1);
  TsStoredSkins copy;
  copy.Assign(skins);
  skins.Delete(0);
  EXPECT_EQ(copy.Count(), 2);
  EXPECT_EQ(copy.Items(0).Name, "One");
}

TEST(ManagerOptions, LoadingFromAStoredForm) {
  TComponent form;
  auto* m = Create<TsSkinManager>(&form);
  m->SetName("sSkinManager1");
  form.BeginLoading();
  m->SetSkinDirectory("");
  m->MenuSupport().IcoLineSkin = "";
  m->ThirdParty().ThirdEdits() = "";
  EXPECT_TRUE(m->IsLoading());
  form.EndLoading();
  EXPECT_EQ(m->SkinDirectory(), "c:\\Skins");
  EXPECT_EQ(m->MenuSupport().IcoLineSkin, "ICOLINE");
  EXPECT_EQ(m->ClassLists()[tpEdit].front(), "TEdit");
  EXPECT_EQ(form.FindComponent("SSKINMANAGER1"), m);
}

}  // namespace
}  // namespace vm
