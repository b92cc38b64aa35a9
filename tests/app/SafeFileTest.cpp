// File faults met while saving, and the working folder of a user who may
// not write beside the installed program. Cases that need another user run
// in a child process as "nobody" when the tests run as root, and are skipped
// with a message otherwise.
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "app/SafeFile.h"
#include "app/Values.h"
#include "platform/base/Exceptions.h"
#include "tests/app/AppTestSupport.h"

namespace vm::app {
namespace {

using test::ReadAll;
using test::TScratch;
using test::WriteAll;

std::vector<std::uint8_t> Bytes(std::size_t n, std::uint8_t v = 0x5a) {
  return std::vector<std::uint8_t>(n, v);
}

int Entries(const std::string& folder) {
  int n = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

// Runs `check` in a child process as the user "nobody"; its gtest failures
// are lost there, so it returns false for a failure and the child's exit
// status carries it.
template <typename F>
void AsOtherUser(F&& check) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to run a case as another user";
  const passwd* pw = getpwnam("nobody");
  if (!pw) GTEST_SKIP() << "no user \"nobody\" on this machine";
  const uid_t uid = pw->pw_uid;
  const gid_t gid = pw->pw_gid;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0) _exit(2);
    _exit(check() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(SafeFileFaults, AReadOnlyFileIsRefusedAsAPlainWriteWouldBe) {
  TScratch dir;
  chmod(dir.Path().c_str(), 0777);
  const std::string path = dir.Path() + "locked.jpg";
  WriteAll(path, Bytes(10, 1));
  chmod(path.c_str(), 0444);
  AsOtherUser([&] {
    try {
      WriteFileSafely(path, Bytes(20, 2));
      return false;
    } catch (const Exception& e) {
      return std::string(e.what()).find("доступ запрещён") != std::string::npos &&
             ReadAll(path) == Bytes(10, 1) && Entries(dir.Path()) == 1;
    }
  });
}

TEST(SafeFileFaults, LinksAndLongNames) {
  TScratch dir;
  // A symbolic link is written through; the link stays a link.
  const std::string target = dir.Path() + "real.jpg", link = dir.Path() + "link.jpg";
  WriteAll(target, Bytes(10, 1));
  ASSERT_EQ(symlink("real.jpg", link.c_str()), 0);
  WriteFileSafely(link, Bytes(30, 3));
  struct stat st {};
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadAll(target), Bytes(30, 3));
  // A dangling link gets its target made.
  const std::string dangling = dir.Path() + "dangling.jpg";
  ASSERT_EQ(symlink("new.jpg", dangling.c_str()), 0);
  WriteFileSafely(dangling, Bytes(5, 4));
  EXPECT_EQ(ReadAll(dir.Path() + "new.jpg"), Bytes(5, 4));

  // A hard link: the name saved gets the new content atomically; the other
  // name keeps the old one.
  const std::string first = dir.Path() + "first.jpg", second = dir.Path() + "second.jpg";
  WriteAll(first, Bytes(10, 1));
  ASSERT_EQ(::link(first.c_str(), second.c_str()), 0);
  WriteFileSafely(first, Bytes(12, 6));
  EXPECT_EQ(ReadAll(first), Bytes(12, 6));
  EXPECT_EQ(ReadAll(second), Bytes(10, 1));

  // A name of 255 bytes, the most a name may have: the temporary's name does
  // not depend on it.
  const std::string longName = dir.Path() + std::string(251, 'n') + ".jpg";
  WriteFileSafely(longName, Bytes(7, 7));
  WriteFileSafely(longName, Bytes(8, 8));
  EXPECT_EQ(ReadAll(longName), Bytes(8, 8));
  EXPECT_EQ(Entries(dir.Path()), 7);  // nothing but the files made above
}

TEST(SafeFileFaults, AFileSizeLimitIsAnOrdinaryWriteError) {
  TScratch dir;
  const std::string path = dir.Path() + "big.jpg";
  WriteAll(path, Bytes(100, 1));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // As the program prepares its process.
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    try {
      WriteFileSafely(path, Bytes(100000, 2));
      _exit(1);
    } catch (const Exception& e) {
      const bool ok = std::string(e.what()).find("файл слишком велик") != std::string::npos &&
                      ReadAll(path) == Bytes(100, 1) && Entries(dir.Path()) == 1;
      _exit(ok ? 0 : 1);
    }
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(SafeFileFaults, StaleTemporariesOfKilledSavesAreRemovedAtStart) {
  TScratch dir;
  // A save killed between naming its temporary and renaming it: a process
  // that no longer runs.
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  const std::string stale = dir.Path() + ".velmora-" + std::to_string(gone) + "-abcdef";
  const std::string live = dir.Path() + ".velmora-" + std::to_string(getpid()) + "-abcdef";
  const std::string other = dir.Path() + ".velmora-notes";
  for (const std::string& p : {stale, live, other}) WriteAll(p, Bytes(3));
  RemoveStaleTemporaries(dir.Path());
  EXPECT_FALSE(std::filesystem::exists(stale));
  EXPECT_TRUE(std::filesystem::exists(live));
  EXPECT_TRUE(std::filesystem::exists(other));
}

TEST(WorkingFolder, AUserWhoCannotWriteBesideTheProgramGetsAFolderOfTheirOwn) {
  TScratch dir;
  // The installed program: a folder only root may write, with no Temp/.
  const std::string install = dir.Path() + "lib/velmora/";
  std::filesystem::create_directories(install);
  const std::string cache = dir.Path() + "cache";
  std::filesystem::create_directories(cache);
  chmod(dir.Path().c_str(), 0755);
  chmod(cache.c_str(), 0777);
  AsOtherUser([&] {
    setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    SetCreationDefaults(install);
    if (WorkDir != cache + "/velmora/Temp/") return false;
    struct stat st {};
    if (stat(WorkDir.c_str(), &st) != 0 || (st.st_mode & 0777) != 0700 || st.st_uid != getuid())
      return false;
    // Open's first step, and an edit's, work there.
    WriteFileSafely(BackupPath(), Bytes(3000));
    WriteFileSafely(WorkCopyPath(), Bytes(2000));
    return EntrySize(BackupMeasurePath()) == 3000;
  });
  // The folder beside the program stays the working folder for whoever may
  // write there (the build, a per-user install).
  SetCreationDefaults(install);
  if (geteuid() == 0) {
    EXPECT_EQ(WorkDir, install + "Temp/");
  }
  // Without XDG_CACHE_HOME (or with a relative one) it is ~/.cache.
  setenv("XDG_CACHE_HOME", "relative", 1);
  const std::string home = getenv("HOME") ? getenv("HOME") : "";
  if (!home.empty()) {
    EXPECT_EQ(UserWorkFolder(), home + "/.cache/velmora/Temp/");
  }
  unsetenv("XDG_CACHE_HOME");
}

}  // namespace
}  // namespace vm::app
