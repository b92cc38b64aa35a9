// Platform names on this host: drive letters map into the user's data folder,
// everything else keeps its place; the data folder is made private on demand.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/fs/PlatformPath.h"

namespace vm {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for one test and puts the old value back.
class EnvVar {
 public:
  EnvVar(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) had_ = true, old_ = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~EnvVar() {
    if (had_)
      setenv(name_, old_.c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "vm-fs-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, ec);
    fs::remove_all(path_, ec);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

TEST(PlatformPath, TheDataFolderFollowsXdgDataHomeAndFallsBackToTheHome) {
  EnvVar home("HOME", "/home/ann");
  {
    EnvVar xdg("XDG_DATA_HOME", "/srv/data/");
    EXPECT_EQ(UserDataFolder(), "/srv/data/velmora/");
  }
  // Unset, empty and relative values are ignored, as the base-directory rules say.
  for (const char* value : {(const char*)nullptr, "", "data"}) {
    EnvVar xdg("XDG_DATA_HOME", value);
    EXPECT_EQ(UserDataFolder(), "/home/ann/.local/share/velmora/") << (value ? value : "unset");
  }
}

TEST(PlatformPath, DriveLettersOfEitherCaseAndEitherSlashMapIntoTheDataFolder) {
  EnvVar xdg("XDG_DATA_HOME", "/d");
  EXPECT_TRUE(IsDrivePath("c:"));
  EXPECT_TRUE(IsDrivePath("Z:/x"));
  EXPECT_FALSE(IsDrivePath("1:\\x"));
  EXPECT_FALSE(IsDrivePath("/c:/x"));
  EXPECT_FALSE(IsDrivePath("c"));

  EXPECT_EQ(PlatformToHostPath("c:\\Skins"), "/d/velmora/Skins");
  EXPECT_EQ(PlatformToHostPath("C:\\Skins\\"), "/d/velmora/Skins/");
  EXPECT_EQ(PlatformToHostPath("c:/Skins/Small/Options.dat"), "/d/velmora/Skins/Small/Options.dat");
  EXPECT_EQ(PlatformToHostPath("C:/Skins\\Mixed\\"), "/d/velmora/Skins/Mixed/");
  EXPECT_EQ(PlatformToHostPath("c:\\"), "/d/velmora/");
  EXPECT_EQ(PlatformToHostPath("c:"), "/d/velmora/");
  // Other drives are folders of their (upper-case) letter inside it.
  EXPECT_EQ(PlatformToHostPath("d:\\Skins"), "/d/velmora/D/Skins");
  EXPECT_EQ(PlatformToHostPath("E:\\"), "/d/velmora/E/");
  EXPECT_EQ(PlatformToHostPath("e:/Skins/"), "/d/velmora/E/Skins/");
  // ".." never climbs out of the drive.
  EXPECT_EQ(PlatformToHostPath("c:\\..\\..\\etc\\passwd"), "/d/velmora/etc/passwd");
  EXPECT_EQ(PlatformToHostPath("d:\\a\\.\\..\\..\\b"), "/d/velmora/D/b");
}

TEST(PlatformPath, HostAndRelativePathsOnlyTurnTheirBackslashes) {
  EnvVar xdg("XDG_DATA_HOME", "/d");
  EXPECT_EQ(PlatformToHostPath("/srv/skins\\Small\\"), "/srv/skins/Small/");
  EXPECT_EQ(PlatformToHostPath("/opt/c:/x"), "/opt/c:/x");
  EXPECT_EQ(PlatformToHostPath("Skins\\Small\\"), "Skins/Small/");
  EXPECT_EQ(PlatformToHostPath("..\\Skins"), "../Skins");
  EXPECT_EQ(PlatformToHostPath(""), "");
}

TEST(PlatformPath, TheDataFolderIsMadePrivateOnFirstUse) {
  TempFolder tmp;
  const std::string base = tmp.Path() + "/fresh/share";
  EnvVar xdg("XDG_DATA_HOME", base.c_str());
  const std::string skins = PlatformToHostPath("c:\\Skins\\");
  ASSERT_EQ(skins, base + "/velmora/Skins/");
  std::string why;
  ASSERT_TRUE(EnsureDataFolder(skins, &why)) << why;
  for (const std::string& folder : {tmp.Path() + "/fresh", base, base + "/velmora", skins}) {
    struct stat st {};
    ASSERT_EQ(stat(folder.c_str(), &st), 0) << folder;
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u) << folder;
  }
  // A second call finds it all there.
  EXPECT_TRUE(EnsureDataFolder(skins));
  // Folders outside the data folder are none of its business.
  EXPECT_FALSE(EnsureDataFolder(tmp.Path() + "/elsewhere", &why));
  EXPECT_FALSE(fs::exists(tmp.Path() + "/elsewhere"));
}

TEST(PlatformPath, AFolderThatCannotBeMadeSaysWhy) {
  TempFolder tmp;
  // The data home is a file: nothing can be made below it.
  const std::string file = tmp.Path() + "/file";
  std::ofstream(file) << "x";
  {
    EnvVar xdg("XDG_DATA_HOME", file.c_str());
    std::string why;
    EXPECT_FALSE(EnsureDataFolder(PlatformToHostPath("c:\\Skins"), &why));
    EXPECT_NE(why.find(file), std::string::npos) << why;
  }
  // A folder the user may not write to.
  if (geteuid() != 0) {
    const std::string locked = tmp.Path() + "/locked";
    fs::create_directory(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    EnvVar xdg("XDG_DATA_HOME", locked.c_str());
    std::string why;
    EXPECT_FALSE(EnsureDataFolder(PlatformToHostPath("c:\\Skins"), &why));
    EXPECT_NE(why.find(locked + "/velmora"), std::string::npos) << why;
    fs::permissions(locked, fs::perms::owner_all);
  }
}

}  // namespace
}  // namespace vm
