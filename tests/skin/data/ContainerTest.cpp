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
  for (std::size_t i = 0; i < bad.size(); ++i) {
    WarningRecorder warnings;
    Parsed p(bad[i]);
    EXPECT_FALSE(p.ok) << "case " << i;
    ASSERT_EQ(warnings.texts.size(), 1u) << "case " << i;
    EXPECT_EQ(warnings.texts[0], "Loaded data is not packed NirvexSkin file");
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

  // A declared size larger than the stream holds: the copy comes up short.
  std::vector<std::uint8_t> longer = good;
  longer[sizeOffset] = std::uint8_t(5001 & 0xFF);
  longer[sizeOffset + 1] = std::uint8_t(5001 >> 8);
  EXPECT_THROW(Parsed{longer}, EReadError);

  // A declared size smaller than the stream would leave the reader in the
  // middle of the entry.
  std::vector<std::uint8_t> shorter = good;
  shorter[sizeOffset] = std::uint8_t(4000 & 0xFF);
  shorter[sizeOffset + 1] = std::uint8_t(4000 >> 8);
  EXPECT_THROW(Parsed{shorter}, EZDecompressionError);
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
