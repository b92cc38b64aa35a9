#include "app/Values.h"

#include <sys/stat.h>

#include "app/SafeFile.h"
#include "platform/base/Exceptions.h"
#include "tests/app/AppTestSupport.h"

namespace vm::app {
namespace {

using test::ReadAll;
using test::TScratch;
using test::WriteAll;

std::vector<std::uint8_t> Bytes(std::size_t n) {
  return std::vector<std::uint8_t>(n, 0x5a);
}

TEST(Values, CreationSetsTheWorkingFolderAndDefaultsButNotModified) {
  Modified = true;
  Quality = 37;
  PendingQuality = PendingResize = true;
  RequestedLength = RequestedWidth = 5;
  TScratch dir;
  SetCreationDefaults(dir.Path());
  EXPECT_EQ(WorkDir, dir.Path() + "Temp/");
  EXPECT_EQ(Quality, 100);
  EXPECT_EQ(RequestedLength, 0);
  EXPECT_EQ(RequestedWidth, 0);
  EXPECT_FALSE(PendingQuality);
  EXPECT_FALSE(PendingResize);
  EXPECT_TRUE(Modified);
  ResetEditingState();
  EXPECT_FALSE(Modified);
  EXPECT_EQ(Quality, 100);
}

TEST(Values, ExecutableFolderHoldsThisTest) {
  std::string folder = ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  struct stat st {};
  EXPECT_EQ(stat((folder + "test_app").c_str(), &st), 0) << folder;
}

TEST(Values, JoinsKeepTheirDoubledSeparatorsAndNameTheSameFiles) {
  TScratch dir;
  SetCreationDefaults(dir.Path());
  EXPECT_EQ(BackupPath(), dir.Path() + "Temp/beckup.jpg");
  EXPECT_EQ(BackupMeasurePath(), dir.Path() + "Temp//beckup.jpg");
  EXPECT_EQ(WorkCopyPath(), dir.Path() + "Temp//tmp.jpg");
  EXPECT_EQ(ResizeWritePath(), dir.Path() + "Temp/tmp.jpg");

  ASSERT_EQ(mkdir(WorkDir.c_str(), 0755), 0);
  WriteFileSafely(BackupPath(), Bytes(3000));
  EXPECT_EQ(EntrySize(BackupMeasurePath()), 3000);
  WriteFileSafely(WorkCopyPath(), Bytes(5000));
  EXPECT_EQ(EntrySize(ResizeWritePath()), 5000);
  EXPECT_EQ(ReadAll(ResizeWritePath()).size(), 5000u);
}

TEST(Values, KilobytesAreTruncatedAndAMissingFileCountsZero) {
  TScratch dir;
  for (auto [bytes, kb] :
       {std::pair{0, 0}, {1, 0}, {1023, 0}, {1024, 1}, {2047, 1}, {2048, 2}, {250000, 244}}) {
    std::string path = dir.Path() + std::to_string(bytes);
    WriteAll(path, Bytes(std::size_t(bytes)));
    EXPECT_EQ(EntrySize(path), bytes);
    EXPECT_EQ(Kilobytes(EntrySize(path)), kb) << bytes;
  }
  EXPECT_EQ(EntrySize(dir.Path() + "missing"), -1);
  EXPECT_EQ(Kilobytes(-1), 0);
}

TEST(Values, SizeLineMeasuresTheWorkCopyOnlyWhileModified) {
  TScratch dir;
  SetCreationDefaults(dir.Path());
  Modified = false;
  // The folder is missing: nothing to measure is not an error.
  EXPECT_EQ(SizeLineText(), "Размер изображения: 0 Кб");
  ASSERT_EQ(mkdir(WorkDir.c_str(), 0755), 0);
  WriteAll(BackupPath(), Bytes(250000));
  EXPECT_EQ(SizeLineText(), "Размер изображения: 244 Кб");
  Modified = true;
  EXPECT_EQ(SizeLineText(), "Размер изображения: 0 Кб");
  WriteAll(ResizeWritePath(), Bytes(2047 * 1024 - 1));
  EXPECT_EQ(SizeLineText(), "Размер изображения: 2046 Кб");
  Modified = false;
  EXPECT_EQ(SizeLineText(), "Размер изображения: 244 Кб");
}

TEST(SafeFile, ReplacesAFileAndLeavesNoTemporary) {
  TScratch dir;
  std::string path = dir.Path() + "picture.jpg";
  WriteAll(path, Bytes(10));
  chmod(path.c_str(), 0640);
  WriteFileSafely(path, std::vector<std::uint8_t>{1, 2, 3});
  EXPECT_EQ(ReadAll(path), (std::vector<std::uint8_t>{1, 2, 3}));
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  WriteFileSafely(path, std::vector<std::uint8_t>{});
  EXPECT_EQ(EntrySize(path), 0);
  int entries = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.Path())) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(SafeFile, AFailedWriteKeepsTheOldFileAndRemovesTheTemporary) {
  TScratch dir;
  EXPECT_THROW(WriteFileSafely(dir.Path() + "no/such/folder/tmp.jpg", Bytes(5)), Exception);
  EXPECT_THROW(WriteFileSafely(dir.Path(), Bytes(5)), Exception);

  // A target that cannot be replaced: a folder with something in it.
  std::string target = dir.Path() + "tmp.jpg";
  ASSERT_EQ(mkdir(target.c_str(), 0755), 0);
  WriteAll(target + "/inside", Bytes(7));
  try {
    WriteFileSafely(target, Bytes(100));
    FAIL() << "replacing a folder succeeded";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find(target), std::string::npos) << e.what();
  }
  EXPECT_EQ(ReadAll(target + "/inside").size(), 7u);
  int entries = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.Path())) ++entries;
  EXPECT_EQ(entries, 1);
}

}  // namespace
}  // namespace vm::app
