// Skins from the skin directory that do not load, met by the whole program
// on the headless host: the program starts, the user reads one message that
// names the file, the section and the key, and the stored skin is in use.
// Container warnings reach the user in the program's message box.
#include <unistd.h>

#include <cstdlib>

#include <filesystem>

#include "skin/data/BuiltinSkin.h"
#include "skin/data/SkinConvertor.h"
#include "skin/data/ZDecompressionStream.h"
#include "tests/app/ProgramTestSupport.h"

namespace vm::test {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& s) {
  return std::vector<std::uint8_t>(s.begin(), s.end());
}

// The program with a skin of its own name in the skin directory (in the
// user's data folder), which it looks for before its stored skin.
class SkinErrorTest : public TProgramTest {
 protected:
  void SetUp() override {
    // The user's data folder of this run, where the skin directory maps.
    const char* old = std::getenv("XDG_DATA_HOME");
    hadData_ = old != nullptr;
    if (old) oldData_ = old;
    setenv("XDG_DATA_HOME", (work_.Path() + "data").c_str(), 1);
    const std::string packed =
        HostPath(AddTrailingSeparator("c:\\Skins") + BuiltinSkinName + ".nxz");
    std::filesystem::create_directories(std::filesystem::path(packed).parent_path());
    WriteAll(packed, Container());
    TProgramTest::SetUp();
  }
  void TearDown() override {
    TProgramTest::TearDown();
    if (hadData_)
      setenv("XDG_DATA_HOME", oldData_.c_str(), 1);
    else
      unsetenv("XDG_DATA_HOME");
  }
  virtual std::vector<std::uint8_t> Container() const = 0;

  TScratch work_;
  bool hadData_ = false;
  std::string oldData_;
};

class TypoInTheSkin : public SkinErrorTest {
  std::vector<std::uint8_t> Container() const override {
    return WritePackedSkin({{"Options.dat", Bytes("[BUTTON]\r\nBORDERSMASK=^00x6\r\n")}});
  }
};

TEST_F(TypoInTheSkin, TheProgramStartsWithTheStoredSkinAndSaysWhy) {
  // CreateProgram in SetUp did not throw: the program is there.
  ASSERT_NE(app::frmMain, nullptr);
  TsSkinManager* manager = app::frmMain->sSkinManager1;
  EXPECT_TRUE(manager->SkinData.Active);
  EXPECT_EQ(manager->SkinName(), BuiltinSkinName);
  EXPECT_GT(manager->gd.size(), 60u);  // the stored skin's sections
  Start();
  Pump();
  ASSERT_EQ(errors.size(), 1u);
  const std::string& text = errors[0];
  EXPECT_NE(text.find(".nxz"), std::string::npos) << text;
  EXPECT_NE(text.find("[BUTTON]"), std::string::npos) << text;
  EXPECT_NE(text.find("BORDERSMASK"), std::string::npos) << text;
  EXPECT_NE(text.find("«00x6» не является целым числом"), std::string::npos) << text;
  // Once only; the program goes on working.
  Tick();
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_TRUE(app::frmMain->sBitBtn1->Enabled());
}

class TruncatedContainer : public SkinErrorTest {
  std::vector<std::uint8_t> Container() const override {
    std::vector<std::uint8_t> c = WritePackedSkin({{"Options.dat", Bytes("[A]\nCOLOR=1\n")}});
    c.resize(c.size() - 6);
    return c;
  }
};

TEST_F(TruncatedContainer, IsReportedAndTheStoredSkinTakesItsPlace) {
  ASSERT_NE(app::frmMain, nullptr);
  EXPECT_GT(app::frmMain->sSkinManager1->gd.size(), 60u);
  Start();
  Pump();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("повреждён"), std::string::npos) << errors[0];
}

class OverlongEntry : public SkinErrorTest {
  // The first entry holds more than it declares: where the second begins is
  // unknown, which the container reader warns about.
  std::vector<std::uint8_t> Container() const override {
    std::vector<std::uint8_t> c = WritePackedSkin(
        {{"Options.dat", Bytes("[A]\nCOLOR=1\n")}, {"B.bmp", std::vector<std::uint8_t>(10, 1)}});
    std::vector<std::uint8_t> big(3 << 20);
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = std::uint8_t(i * 2654435761u >> 13);
    std::vector<std::uint8_t> z = ZCompress(big.data(), big.size());
    std::vector<std::uint8_t> out{'N', 'X', 'z', 'f', 2, 0, 0, 0, 11, 0, 0, 0};
    for (char ch : std::string("Options.dat")) out.push_back(std::uint8_t(ch));
    for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(12 >> (8 * i)));
    out.insert(out.end(), z.begin(), z.end());
    out.insert(out.end(), c.begin() + 8, c.end());
    return out;
  }
};

TEST_F(OverlongEntry, TheContainerWarningIsShownInTheProgramsMessageBox) {
  ASSERT_NE(app::frmMain, nullptr);
  // Shown while the main window was created, in the program's message box.
  ASSERT_FALSE(errors.empty());
  EXPECT_NE(errors[0].find("entries after it are not read"), std::string::npos) << errors[0];
}

}  // namespace
}  // namespace vm::test
