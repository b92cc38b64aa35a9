// The packed container: reading back what the writer wrote, the name rules,
// and containers that lie about themselves.
#include <gtest/gtest.h>

#include <random>

#include "skin/data/SkinConvertor.h"
#include "skin/data/ZDecompressionStream.h"
#include "tests/skin/data/TestSupport.h"

namespace vm {
namespace {

using test::Bytes;
using test::WarningRecorder;

std::vector<std::uint8_t> RandomBytes(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> v(n);
  for (auto& b : v) b = std::uint8_t(rng());
  return v;
}

// Parses a container held in memory; the stream stays alive for inspection.
struct Parsed {
  TMemoryStream source;
  TnxSkinConvertor convertor;
  bool ok = false;
  explicit Parsed(std::vector<std::uint8_t> bytes) : source(std::move(bytes)) {
    convertor.SetBorrowedSource(&source);
    ok = convertor.Parse();
  }
};

void Put32(std::vector<std::uint8_t>& v, std::int32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(std::uint8_t(std::uint32_t(x) >> (8 * i)));
}

TEST(Container, EntriesReadBackToBackAndEndExactlyAtTheLastByte) {
  // The big random entry is larger than one 64 KiB read block, so the reader
  // has to give back read-ahead input at several stream ends.
  std::vector<TPackedEntry> entries = {
      {"Options.dat", Bytes("[GLOBALINFO]\r\nVERSION=5.43\r\n")},
      {"Big.bmp", RandomBytes(200000, 1)},
      {"Master.bmp", RandomBytes(3000, 2)},
      {"readme.txt", {}},
  };
  std::vector<std::uint8_t> container = WritePackedSkin(entries);
  WarningRecorder warnings;
  Parsed p(container);
  ASSERT_TRUE(p.ok);
  EXPECT_TRUE(warnings.texts.empty());
  EXPECT_EQ(p.source.Position(), std::int64_t(container.size()));
  ASSERT_NE(p.convertor.Options(), nullptr);
  EXPECT_EQ(p.convertor.Options()->Text(), "[GLOBALINFO]\r\nVERSION=5.43\r\n");
  ASSERT_EQ(p.convertor.ImageCount(), 3);
  EXPECT_EQ(p.convertor.Images(0).Name, "Big.bmp");
  EXPECT_EQ(p.convertor.Images(0).Data.Bytes(), entries[1].Bytes);
  EXPECT_EQ(p.convertor.Images(1).Data.Bytes(), entries[2].Bytes);
  EXPECT_TRUE(p.convertor.Images(1).IsBitmap);
  EXPECT_FALSE(p.convertor.Images(2).IsBitmap);
  EXPECT_EQ(p.convertor.Images(2).Data.Size(), 0);
}

TEST(Container, NameRulesIgnoreLetterCaseWhereTheyShould) {
  std::vector<std::uint8_t> container = WritePackedSkin({
      {"oPTIONS.DaT", Bytes("[A]")},
      {"Master.bmp", Bytes("m")},
      {"Second.BmP", Bytes("s")},
      {"Pattern.jpg", Bytes("j")},
  });
  Parsed p(container);
  ASSERT_TRUE(p.ok);
  ASSERT_NE(p.convertor.Options(), nullptr);
  EXPECT_EQ(p.convertor.ImageCount(), 3);
  EXPECT_TRUE(p.convertor.Images(1).IsBitmap);
  EXPECT_FALSE(p.convertor.Images(2).IsBitmap);
  // Requests are upper case; stored names keep their case.
  TnxSkinConvertor::Image* master = p.convertor.FindImage("MASTER.BMP");
  ASSERT_NE(master, nullptr);
  EXPECT_EQ(master->Name, "Master.bmp");
  EXPECT_EQ(master->Data.Position(), 0);
  EXPECT_EQ(p.convertor.FindImage("Master.bmp"), nullptr);  // the request itself is exact
  EXPECT_EQ(p.convertor.FindImage("MISSING.BMP"), nullptr);
}

TEST(Container, EmptyContainerHasNoDescriptionAndNoImages) {
  Parsed p(WritePackedSkin({}));
  EXPECT_TRUE(p.ok);
  EXPECT_EQ(p.convertor.ImageCount(), 0);
  EXPECT_EQ(p.convertor.Options(), nullptr);
}

TEST(Container, CodePage1251NamesBecomeUtf8) {
  std::vector<std::uint8_t> c{'N', 'X', 'z', 'f'};
  Put32(c, 1);
  const std::string name = "\xCC\xE0\xF1\xEA\xE0.bmp";  // "Маска.bmp" in code page 1251
  Put32(c, std::int32_t(name.size()));
  c.insert(c.end(), name.begin(), name.end());
  Put32(c, 1);
  std::vector<std::uint8_t> z = ZCompress(reinterpret_cast<const std::uint8_t*>("x"), 1);
  c.insert(c.end(), z.begin(), z.end());
  Parsed p(c);
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.convertor.Images(0).Name, "\xD0\x9C\xD0\xB0\xD1\x81\xD0\xBA\xD0\xB0.bmp");
  // The writer stores it back in code page 1251.
  std::vector<std::uint8_t> again = WritePackedSkin({{p.convertor.Images(0).Name, Bytes("x")}});
  EXPECT_EQ(again, c);
}

TEST(Container, MalformedHeadersAreRejectedWithTheWarning) {
  std::vector<std::uint8_t> good = WritePackedSkin({{"Options.dat", Bytes("[A]\r\nK=1\r\n")}});
  auto withInt = [&](std::size_t offset, std::int32_t value) {
    std::vector<std::uint8_t> c = good;
    for (int i = 0; i < 4; ++i)
      c[offset + std::size_t(i)] = std::uint8_t(std::uint32_t(value) >> (8 * i));
    return c;
  };
  const std::size_t sizeOffset = 4 + 4 + 4 + 11;
  std::vector<std::vector<std::uint8_t>> bad = {
      Bytes("nxzf"),  // magic in the wrong case
      {'N', 'X', 'Z', 'F', 1, 0, 0, 0},
      Bytes("NXz"),                     // shorter than the magic
      Bytes("NXzf"),                    // no count
      withInt(4, -1),                   // negative count
      withInt(4, 1000000),              // more entries than bytes
      withInt(8, -5),                   // negative name length
      withInt(8, 0x7FFFFFF0),           // name longer than the data
      withInt(sizeOffset, -1),          // negative size
      withInt(sizeOffset, 0x7FFFFFFF),  // size no stream of this length can give
      std::vector<std::uint8_t>(good.begin(), good.begin() + 10),  // ends inside a name length
  };
  bad[0].insert(bad[0].end(), good.begin() + 4, good.end());
  const std::vector<std::string> says = {
      "Loaded data is not packed NirvexSkin file",
      "Loaded data is not packed NirvexSkin file",
      "Loaded data is not packed NirvexSkin file",
      "The skin container is damaged: it ends before its entry count",
      "The skin container is damaged: its entry count -1 is negative",
      "The skin container is damaged: its entry count 1000000 needs more than the 37 bytes left",
      "The skin container is damaged: entry 1 has an impossible name length -5",
      "The skin container is damaged: entry 1 has an impossible name length 2147483632",
      "The skin container is damaged: entry 1 \"Options.dat\" declares an impossible size of -1 "
      "bytes",
      "The skin container is damaged: entry 1 \"Options.dat\" declares an impossible size of "
      "2147483647 bytes",
      "The skin container is damaged: its entry count 1 needs more than the 2 bytes left",
  };
  for (std::size_t i = 0; i < bad.size(); ++i) {
    WarningRecorder warnings;
    Parsed p(bad[i]);
    EXPECT_FALSE(p.ok) << "case " << i;
    ASSERT_EQ(warnings.texts.size(), 1u) << "case " << i;
    EXPECT_EQ(warnings.texts[0], says[i]);
    EXPECT_EQ(warnings.captions[0], "Warning");
    EXPECT_EQ(p.convertor.Options(), nullptr);
    EXPECT_EQ(p.convertor.ImageCount(), 0);
  }
}

TEST(Container, CorruptOrShortStreamsRaiseErrors) {
  std::vector<std::uint8_t> payload = RandomBytes(5000, 3);
  std::vector<std::uint8_t> good = WritePackedSkin({{"A.bmp", payload}});
  const std::size_t sizeOffset = 4 + 4 + 4 + 5;

  std::vector<std::uint8_t> corrupt = good;
  corrupt[sizeOffset + 4 + 100] ^= 0x55;
  EXPECT_THROW(Parsed{corrupt}, EZDecompressionError);

  std::vector<std::uint8_t> cut(good.begin(), good.end() - 50);
  EXPECT_THROW(Parsed{cut}, EZDecompressionError);

  // A declared size larger than the stream holds: the copy comes up short,
  // and the error says by how much.
  std::vector<std::uint8_t> longer = good;
  longer[sizeOffset] = std::uint8_t(5001 & 0xFF);
  longer[sizeOffset + 1] = std::uint8_t(5001 >> 8);
  try {
    Parsed{longer};
    ADD_FAILURE() << "no error";
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(),
                 "Stream read error: entry 1 \"A.bmp\" ends after 5000 of its declared 5001 bytes");
  }
}

// An entry that declares far more than its short stream gives: a zlib stream
// of one byte, then enough padding that the size is not refused outright.
TEST(Container, ADeclaredSizeIsNotTakenOnTrustBeforeTheDataArrives) {
  std::vector<std::uint8_t> c{'N', 'X', 'z', 'f'};
  Put32(c, 1);
  Put32(c, 5);
  for (char ch : std::string("A.bmp")) c.push_back(std::uint8_t(ch));
  Put32(c, 60 << 20);  // within the limit for a skin picture
  std::vector<std::uint8_t> z = ZCompress(reinterpret_cast<const std::uint8_t*>("x"), 1);
  c.insert(c.end(), z.begin(), z.end());
  c.resize(c.size() + 220000, 0);
  try {
    Parsed{c};
    ADD_FAILURE() << "no error";
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(),
                 "Stream read error: entry 1 \"A.bmp\" ends after 1 of its declared 62914560 "
                 "bytes");
  }
}

// Entries whose stream holds more than their declared size.
TEST(Container, AnOverlongEntryKeepsItsDeclaredBytes) {
  std::vector<std::uint8_t> payload = RandomBytes(5000, 3);
  const std::size_t sizeOffset = 4 + 4 + 4 + 5;
  auto declare = [](std::vector<std::uint8_t> c, std::size_t offset, std::int32_t size) {
    for (int i = 0; i < 4; ++i) c[offset + std::size_t(i)] = std::uint8_t(size >> (8 * i));
    return c;
  };

  // A little longer: the stream's end is found, so the next entry is read.
  std::vector<std::uint8_t> two = declare(
      WritePackedSkin({{"A.bmp", payload}, {"Options.dat", Bytes("[A]")}}), sizeOffset, 4000);
  {
    WarningRecorder warnings;
    Parsed p(two);
    ASSERT_TRUE(p.ok);
    EXPECT_TRUE(warnings.texts.empty());
    ASSERT_EQ(p.convertor.ImageCount(), 1);
    EXPECT_EQ(p.convertor.Images(0).Data.Bytes(),
              std::vector<std::uint8_t>(payload.begin(), payload.begin() + 4000));
    ASSERT_NE(p.convertor.Options(), nullptr);
    EXPECT_EQ(p.convertor.Options()->Text(), "[A]");
    EXPECT_EQ(p.source.Position(), std::int64_t(two.size()));
  }

  // Far longer (a 1 KiB entry that inflates to 16 MiB): only a bounded part
  // past the declared size is inflated, the entry keeps its 1 KiB, and the
  // entries after it are refused with a warning, since where they begin is
  // unknown.
  std::vector<std::uint8_t> zeros(16u << 20, 0);
  std::vector<std::uint8_t> bomb =
      declare(WritePackedSkin({{"A.bmp", zeros}, {"Options.dat", Bytes("[A]")}}), sizeOffset, 1024);
  {
    WarningRecorder warnings;
    Parsed p(bomb);
    ASSERT_TRUE(p.ok);
    ASSERT_EQ(p.convertor.ImageCount(), 1);
    EXPECT_EQ(p.convertor.Images(0).Data.Size(), 1024);
    EXPECT_EQ(p.convertor.Options(), nullptr);
    ASSERT_EQ(warnings.texts.size(), 1u);
    EXPECT_EQ(warnings.texts[0],
              "The skin container is damaged: entry 1 \"A.bmp\" holds more than its declared 1024 "
              "bytes; the 1 entries after it are not read");
  }

  // The same as the last entry: nothing is lost, nothing to warn about.
  std::vector<std::uint8_t> last = declare(WritePackedSkin({{"A.bmp", zeros}}), sizeOffset, 1024);
  {
    WarningRecorder warnings;
    Parsed p(last);
    ASSERT_TRUE(p.ok);
    ASSERT_EQ(p.convertor.ImageCount(), 1);
    EXPECT_EQ(p.convertor.Images(0).Data.Size(), 1024);
    EXPECT_TRUE(warnings.texts.empty());
  }
}

TEST(Container, ReadingFromAFile) {
  test::TempDir dir;
  std::unique_ptr<TnxSkinConvertor> slot;
  EXPECT_FALSE(ExtractPackedData(dir / "missing.nxz", slot, true));
  EXPECT_EQ(slot, nullptr);  // nothing created for a missing file

  test::WriteFile(dir / "a.nxz",
                  WritePackedSkin({{"Options.dat", Bytes("[A]")}, {"X.bmp", Bytes("1")}}));
  ASSERT_TRUE(ExtractPackedData(dir / "a.nxz", slot, true));
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(slot->Source(), nullptr);  // freed after parsing
  EXPECT_EQ(slot->ImageCount(), 1);

  // The slot is reused after a clear.
  TnxSkinConvertor* same = slot.get();
  test::WriteFile(dir / "b.nxz", WritePackedSkin({{"Y.bmp", Bytes("2")}}));
  ASSERT_TRUE(ExtractPackedData(dir / "b.nxz", slot, false));
  EXPECT_EQ(slot.get(), same);
  EXPECT_NE(slot->Source(), nullptr);
  EXPECT_EQ(slot->Options(), nullptr);
  ASSERT_EQ(slot->ImageCount(), 1);
  EXPECT_EQ(slot->Images(0).Name, "Y.bmp");
}

}  // namespace
}  // namespace vm
