// The JPEG codec the skin patterns and the photo application use.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gfx/JpegCodec.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

namespace vm {
namespace {

TBitmap TestPicture(int w, int h) {
  TBitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, RGB(x * 255 / w, y * 255 / h, 128));
  return b;
}

// Finds the frame header and rewrites the declared size.
std::vector<std::uint8_t> WithDeclaredSize(std::vector<std::uint8_t> jpeg, int w, int h) {
  for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
      jpeg[i + 5] = std::uint8_t(h >> 8);
      jpeg[i + 6] = std::uint8_t(h);
      jpeg[i + 7] = std::uint8_t(w >> 8);
      jpeg[i + 8] = std::uint8_t(w);
      return jpeg;
    }
  }
  ADD_FAILURE() << "no frame header";
  return jpeg;
}

TEST(JpegCodec, RoundTripKeepsSizeAndColoursClose) {
  TBitmap in = TestPicture(37, 21);
  std::vector<std::uint8_t> bytes = EncodeJpeg(in, 95);
  TJpegInfo info = ReadJpegInfo(bytes);
  EXPECT_EQ(info.Width, 37);
  EXPECT_EQ(info.Height, 21);
  EXPECT_FALSE(info.Progressive);
  TBitmap out = DecodeJpeg(bytes);
  ASSERT_EQ(out.Width(), 37);
  ASSERT_EQ(out.Height(), 21);
  for (int y = 0; y < 21; y += 5)
    for (int x = 0; x < 37; x += 6) {
      TColor a = in.GetPixel(x, y), b = out.GetPixel(x, y);
      EXPECT_LE(std::abs(GetRValue(a) - GetRValue(b)), 12);
      EXPECT_LE(std::abs(GetGValue(a) - GetGValue(b)), 12);
      EXPECT_LE(std::abs(GetBValue(a) - GetBValue(b)), 12);
    }
  // Lower quality gives fewer bytes; quality is clamped to 1..100.
  EXPECT_LT(EncodeJpeg(in, 10).size(), bytes.size());
  EXPECT_EQ(EncodeJpeg(in, 0), EncodeJpeg(in, 1));
  EXPECT_EQ(EncodeJpeg(in, 300), EncodeJpeg(in, 100));
}

TEST(JpegCodec, BadDataIsAClearError) {
  std::vector<std::uint8_t> bytes = EncodeJpeg(TestPicture(16, 16), 80);
  EXPECT_THROW(DecodeJpeg(std::vector<std::uint8_t>{1, 2, 3}), TJpegError);
  EXPECT_THROW(DecodeJpeg(std::vector<std::uint8_t>(100, 0x42)), TJpegError);
  std::vector<std::uint8_t> header(bytes.begin(), bytes.begin() + 20);
  EXPECT_THROW(DecodeJpeg(header), TJpegError);
  // A huge declared size is refused before any pixel memory is taken.
  std::vector<std::uint8_t> huge = WithDeclaredSize(bytes, 60000, 60000);
  try {
    DecodeJpeg(huge);
    FAIL() << "decoded a 60000 x 60000 picture";
  } catch (const TJpegError& e) {
    EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
  }
  TJpegLimits small;
  small.MaxPixels = 100;
  EXPECT_THROW(DecodeJpeg(bytes, small), TJpegError);
  EXPECT_THROW(EncodeJpeg(TBitmap(), 50), TJpegError);
}

// A flat CMYK picture written with the library itself, with the Adobe marker
// (so the samples are stored inverted, as print software writes them).
std::vector<std::uint8_t> FlatCmykJpeg(int w, int h, const std::uint8_t sample[4]) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = JDIMENSION(w);
  cinfo.image_height = JDIMENSION(h);
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<std::uint8_t> row(std::size_t(w) * 4);
  for (int x = 0; x < w; ++x) std::copy(sample, sample + 4, row.begin() + 4 * x);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<std::uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

TEST(JpegCodec, CmykIsConvertedToRgb) {
  // Stored inverted: 255 is no ink. No cyan, half magenta, full yellow, no black.
  const std::uint8_t sample[4] = {255, 128, 0, 255};
  TBitmap b = DecodeJpeg(FlatCmykJpeg(16, 8, sample));
  ASSERT_EQ(b.Width(), 16);
  TColor c = b.GetPixel(7, 4);
  EXPECT_NEAR(GetRValue(c), 255, 3);
  EXPECT_NEAR(GetGValue(c), 128, 3);
  EXPECT_NEAR(GetBValue(c), 0, 3);
}

// A progressive picture (about ten scans) written with the library.
std::vector<std::uint8_t> ProgressiveJpeg(int w, int h) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = JDIMENSION(w);
  cinfo.image_height = JDIMENSION(h);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<std::uint8_t> row(std::size_t(w) * 3, 90);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<std::uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

TEST(JpegCodec, ScanLimitStopsProgressiveFiles) {
  std::vector<std::uint8_t> jpeg = ProgressiveJpeg(24, 24);
  EXPECT_TRUE(ReadJpegInfo(jpeg).Progressive);
  EXPECT_EQ(DecodeJpeg(jpeg).Width(), 24);  // within the default limit
  TJpegLimits few;
  few.MaxScans = 2;
  try {
    DecodeJpeg(jpeg, few);
    FAIL() << "decoded past the scan limit";
  } catch (const TJpegError& e) {
    EXPECT_NE(std::string(e.what()).find("scans"), std::string::npos) << e.what();
  }
}

TEST(JpegCodec, FilesOnDisk) {
  std::string path = testing::TempDir() + "velmora-jpeg-test.jpg";
  SaveJpegFile(path, TestPicture(8, 9), 75);
  TBitmap b = LoadJpegFile(path);
  EXPECT_EQ(b.Width(), 8);
  EXPECT_EQ(b.Height(), 9);
  std::remove(path.c_str());
  EXPECT_THROW(LoadJpegFile(path), TJpegError);
}

}  // namespace
}  // namespace vm
