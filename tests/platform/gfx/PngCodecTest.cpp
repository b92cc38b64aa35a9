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

void PutChunk(std::vector<std::uint8_t>& png, const char* type,
              const std::vector<std::uint8_t>& data) {
  const std::uint32_t n = std::uint32_t(data.size());
  png.insert(png.end(),
             {std::uint8_t(n >> 24), std::uint8_t(n >> 16), std::uint8_t(n >> 8), std::uint8_t(n)});
  const std::size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  const uLong crc = crc32(0, png.data() + start, uInt(png.size() - start));
  png.insert(png.end(), {std::uint8_t(crc >> 24), std::uint8_t(crc >> 16), std::uint8_t(crc >> 8),
                         std::uint8_t(crc)});
}

// A PNG of the given header whose image data is `idat` as it is.
std::vector<std::uint8_t> MakePng(std::uint32_t w, std::uint32_t h, int depth, int colourType,
                                  const std::vector<std::uint8_t>& idat) {
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(png, "IHDR",
           {std::uint8_t(w >> 24), std::uint8_t(w >> 16), std::uint8_t(w >> 8), std::uint8_t(w),
            std::uint8_t(h >> 24), std::uint8_t(h >> 16), std::uint8_t(h >> 8), std::uint8_t(h),
            std::uint8_t(depth), std::uint8_t(colourType), 0, 0, 0});
  PutChunk(png, "IDAT", idat);
  PutChunk(png, "IEND", {});
  return png;
}

std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& raw) {
  uLongf size = compressBound(uLong(raw.size()));
  std::vector<std::uint8_t> out(size);
  EXPECT_EQ(compress2(out.data(), &size, raw.data(), uLong(raw.size()), 9), Z_OK);
  out.resize(size);
  return out;
}

TEST(Png, DeclaredSizeIsCheckedAgainstTheBytesPerColourTypeAndDepth) {
  // 33 KB declaring 16384 x 16384 colour pixels: 805 MB of rows cannot come
  // out of 33 KB of deflate data (at most 1032 bytes per byte), whatever it holds.
  const std::vector<std::uint8_t> idat = Deflate(std::vector<std::uint8_t>(34u << 20, 0));
  ASSERT_GT(idat.size(), 30000u);
  for (int colourType : {2, 6, 4}) {
    try {
      DecodePng(MakePng(16384, 16384, 8, colourType, idat));
      ADD_FAILURE() << "colour type " << colourType << " decoded";
    } catch (const TPngError& e) {
      EXPECT_NE(std::string(e.what()).find("cannot hold"), std::string::npos) << e.what();
    }
  }
  // 16 bits per sample count double.
  EXPECT_THROW(DecodePng(MakePng(16384, 4096, 16, 0, idat)), TPngError);
  // Pictures that compress as well as deflate can still open: flat 16-bit
  // RGBA and 1-bit grey rows of zeros (filter byte 0 each).
  const int w = 300, h = 200;
  const TBitmap rgba = DecodePng(
      MakePng(w, h, 16, 6, Deflate(std::vector<std::uint8_t>(std::size_t(h) * (1 + w * 8), 0))));
  EXPECT_EQ(rgba.Width(), w);
  EXPECT_EQ(rgba.GetPixel(w - 1, h - 1), RGB(0, 0, 0));
  const TBitmap bits =
      DecodePng(MakePng(4000, 4000, 1, 0, Deflate(std::vector<std::uint8_t>(4000u * 501, 0))));
  EXPECT_EQ(bits.Height(), 4000);
}

}  // namespace
}  // namespace vm
