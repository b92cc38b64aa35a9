#include "platform/gfx/PngCodec.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdio>
#include <string>

namespace vm {
namespace {

TEST(Png, RoundTripsBothFormatsAndRowOrders) {
  for (bool bottomUp : {false, true})
    for (auto fmt : {TPixelFormat::pf24bit, TPixelFormat::pf32bit}) {
      TBitmap src(13, 7, fmt, bottomUp);
      for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x) {
          src.SetPixel(x, y, RGB(x * 19, y * 36, 255 - x));
          src.SetAlpha(x, y, std::uint8_t(255 - y));
        }
      const auto png = EncodePng(src);
      ASSERT_GT(png.size(), 8u);
      EXPECT_EQ(png[1], 'P');
      const TBitmap back = DecodePng(png, fmt);
      EXPECT_FALSE(back.BottomUp());
      EXPECT_TRUE(back.SamePixels(src));
      if (fmt == TPixelFormat::pf32bit) {
        EXPECT_EQ(back.GetAlpha(3, 6), 249);
      }
    }
}

TEST(Png, DamagedDataAndFilesThrow) {
  TBitmap src(4, 4);
  src.Fill(RGB(9, 9, 9));
  auto png = EncodePng(src);
  EXPECT_THROW(DecodePng({}), TPngError);
  auto cut = png;
  cut.resize(cut.size() / 2);
  EXPECT_THROW(DecodePng(cut), TPngError);
  auto bad = png;
  bad[0] = 'X';
  EXPECT_THROW(DecodePng(bad), TPngError);
  EXPECT_THROW(EncodePng(TBitmap()), TPngError);
  // A small file declaring a huge picture is refused before the memory is taken.
  auto huge = png;
  const std::uint8_t side[4] = {0, 0, 0x40, 0};  // 16384, big-endian
  std::copy(side, side + 4, huge.begin() + 16);
  std::copy(side, side + 4, huge.begin() + 20);
  const uLong crc = crc32(0, huge.data() + 12, 17);  // chunk type and IHDR data
  for (int i = 0; i < 4; ++i) huge[29 + std::size_t(i)] = std::uint8_t(crc >> (24 - 8 * i));
  try {
    DecodePng(huge);
    ADD_FAILURE() << "no error";
  } catch (const TPngError& e) {
    EXPECT_NE(std::string(e.what()).find("cannot hold"), std::string::npos) << e.what();
  }
  EXPECT_THROW(LoadPngFile("/nonexistent/x.png"), TPngError);

  const std::string path = std::string(::testing::TempDir()) + "velmora-png-test.png";
  SavePngFile(path, src);
  EXPECT_TRUE(LoadPngFile(path).SamePixels(src));
  std::remove(path.c_str());
}

}  // namespace
}  // namespace vm
