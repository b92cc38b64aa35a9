// The base routines every layer shares: reading a whole file, case folding
// and UTF-8.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/base/AsciiCase.h"
#include "platform/base/FileBytes.h"
#include "platform/base/Utf8.h"

namespace vm {
namespace {

namespace fs = std::filesystem;

class FileBytesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("velmora-base-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Write(const std::string& name, const std::string& bytes) {
    const fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p.string();
  }
  TFileReadFault FaultOf(const std::string& path, std::uint64_t limit = 1 << 20) {
    try {
      ReadWholeFile(path, limit);
    } catch (const EFileReadError& e) {
      EXPECT_NE(e.Message().find(path), std::string::npos) << e.Message();
      return e.Fault;
    }
    ADD_FAILURE() << path << " was read";
    return TFileReadFault::Read;
  }
  fs::path dir_;
};

TEST_F(FileBytesTest, ReadsWholeFilesAndRefusesWhatIsNotOne) {
  const std::string text(100000, 'x');
  EXPECT_EQ(ReadWholeFile(Write("a.bin", text)), std::vector<std::uint8_t>(text.begin(), text.end()));
  EXPECT_TRUE(ReadWholeFile(Write("empty", "")).empty());
  // Exactly at the limit is fine; one byte more is refused from the size.
  EXPECT_EQ(ReadWholeFile(Write("ten", "0123456789"), 10).size(), 10u);
  EXPECT_EQ(FaultOf(Write("eleven", "0123456789A"), 10), TFileReadFault::TooLarge);
  EXPECT_EQ(FaultOf((dir_ / "missing").string()), TFileReadFault::Open);
  EXPECT_EQ(FaultOf(dir_.string()), TFileReadFault::NotAFile);
  // A pipe must be refused at once, not waited on.
  const std::string fifo = (dir_ / "fifo").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(FaultOf(fifo), TFileReadFault::NotAFile);
  // The message is the user's: Russian, with the reason.
  try {
    ReadWholeFile((dir_ / "missing").string());
  } catch (const EFileReadError& e) {
    EXPECT_NE(e.Message().find("Не удалось открыть файл"), std::string::npos);
    EXPECT_NE(e.Message().find("не найдены"), std::string::npos);
  }
}

TEST(AsciiCaseTest, FoldsOnlyWhatItSays) {
  EXPECT_TRUE(SameTextAscii("Options.DAT", "options.dat"));
  EXPECT_FALSE(SameTextAscii("Options.dat", "Options.da"));
  // Bytes of other letters are compared as they are, whatever the locale.
  EXPECT_FALSE(SameTextAscii("\xC3\x89", "\xC3\xA9"));
  EXPECT_EQ(AsciiUpperCopy("button_small-1"), "BUTTON_SMALL-1");
  EXPECT_EQ(FoldCase(U'Я'), U'я');
  EXPECT_EQ(FoldCase(U'Ё'), U'ё');
  EXPECT_EQ(FoldCase(U'É'), U'é');
  EXPECT_EQ(FoldCase(U'×'), U'×');  // not a letter, between the Latin-1 capitals
  EXPECT_EQ(FoldCase(U'я'), U'я');
}

TEST(Utf8Test, DecodesStrictlyAndKeepsInvalidBytesApart) {
  const std::string s = "aЖ€😀";
  std::size_t i = 0;
  EXPECT_EQ(NextUtf8(s, i), U'a');
  EXPECT_EQ(NextUtf8(s, i), U'Ж');
  EXPECT_EQ(NextUtf8(s, i), U'€');
  EXPECT_EQ(NextUtf8(s, i), U'😀');
  EXPECT_EQ(i, s.size());
  // Overlong forms, surrogates, values past U+10FFFF and cut sequences are
  // one invalid byte each, never a character.
  for (std::string bad : {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82",
                          "\x80", "\xFF"}) {
    std::size_t k = 0;
    const char32_t c = NextUtf8(bad, k);
    EXPECT_TRUE(IsInvalidUtf8(c)) << int(static_cast<unsigned char>(bad[0]));
    EXPECT_EQ(c, InvalidUtf8Base + static_cast<unsigned char>(bad[0]));
    EXPECT_EQ(k, 1u);
  }
  // Shown text: one replacement for each broken piece.
  EXPECT_EQ(Utf8ToUtf32("a\xE2\x82z"), U"a\uFFFDz");
  EXPECT_EQ(Utf8ToUtf32("\x80\x80"), U"\uFFFD\uFFFD");
  EXPECT_EQ(Utf32ToUtf8(U"Ж\xD800"), "Ж\xEF\xBF\xBD");
  // Cutting never splits a character.
  EXPECT_EQ(Utf8PrefixLength("aЖb", 2), 1u);
  EXPECT_EQ(Utf8PrefixLength("aЖb", 3), 3u);
  EXPECT_EQ(PrevUtf8Start("aЖ", 3), 1u);
  EXPECT_EQ(NextUtf8Start("aЖ", 1), 3u);
}

}  // namespace
}  // namespace vm
