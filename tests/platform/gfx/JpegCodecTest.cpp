// The JPEG codec the skin patterns and the photo application use. Pixels and
// bytes are compared with libjpeg-turbo's own command-line tools (djpeg, cjpeg)
// and ImageMagick where they are installed (scripts/deps.sh installs them).
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>

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

TEST(JpegCodec, ProgressivePreviewAtOneEighthReadsOnlyTheFirstScans) {
  // The library's progression sends DC, the lowest luma terms and the colour
  // terms in its first four scans of ten. Four scans allowed: the full decode
  // stops at the limit, the 1/8 preview never gets that far; at 1/2 the
  // preview needs every scan, as a decode does.
  const std::vector<std::uint8_t> jpeg = ProgressiveJpeg(64, 48);
  TJpegLimits few;
  few.MaxScans = 4;
  EXPECT_THROW(DecodeJpeg(jpeg, few), TJpegError);
  const TJpegPreview p = DecodeJpegScaled(jpeg, 8, 6, few);
  EXPECT_EQ(p.ScaleDenom, 8);
  ASSERT_EQ(p.Bitmap.Width(), 8);
  EXPECT_NEAR(GetRValue(p.Bitmap.GetPixel(4, 3)), 90, 2);  // the picture is flat 90
  EXPECT_THROW(DecodeJpegScaled(jpeg, 32, 24, few), TJpegError);
  // A file cut after its first scans still gives the whole preview.
  std::vector<std::uint8_t> cut(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(jpeg.size() / 2));
  EXPECT_EQ(DecodeJpegScaled(cut, 8, 6).Bitmap.Height(), 6);
}

TEST(JpegCodec, FilesOnDisk) {
  std::string path = testing::TempDir() + "velmora-jpeg-test.jpg";
  SaveJpegFile(path, TestPicture(8, 9), 75);
  TBitmap b = LoadJpegFile(path);
  EXPECT_EQ(b.Width(), 8);
  EXPECT_EQ(b.Height(), 9);
  std::remove(path.c_str());
  EXPECT_THROW(LoadJpegFile(path), TJpegError);
  EXPECT_THROW(LoadJpegFile(testing::TempDir()), TJpegError);  // a folder
}

}  // namespace
}  // namespace vm

namespace vm {
namespace {

// ------------------------------------------------------------ helpers

// A photo-like picture: gradients with noise, so that every DCT coefficient
// and rounding step is exercised. Sizes that are not multiples of 8 or 16
// exercise the partial blocks at the edges.
TBitmap NoisyPicture(int w, int h, unsigned seed = 1) {
  TBitmap b(w, h);
  unsigned s = seed;
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = b.ScanLine(y);
    for (int x = 0; x < w; ++x) {
      s = s * 1103515245u + 12345u;
      const int n = int((s >> 16) & 63) - 32;
      row[3 * x] = std::uint8_t(std::clamp(x * 255 / w + n, 0, 255));
      row[3 * x + 1] = std::uint8_t(std::clamp(y * 255 / h - n, 0, 255));
      row[3 * x + 2] = std::uint8_t(std::clamp((x + y) * 128 / (w + h) + 2 * n + 64, 0, 255));
    }
  }
  return b;
}

std::string TempPath(const std::string& name) {
  return testing::TempDir() + "velmora-jpeg-" + std::to_string(getpid()) + "-" + name;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool HaveTool(const std::string& path) {
  return access(path.c_str(), X_OK) == 0;
}

bool HaveReferenceTools() {
  return HaveTool("/usr/bin/djpeg") && HaveTool("/usr/bin/cjpeg") && HaveTool("/usr/bin/convert");
}

// Runs a shell command and returns what it wrote to its standard output.
std::vector<std::uint8_t> RunTool(const std::string& command) {
  std::vector<std::uint8_t> out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  std::uint8_t buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    out.insert(out.end(), buffer, buffer + n);
  EXPECT_EQ(pclose(pipe), 0) << command;
  return out;
}

// Reads a binary PPM (P6) or PGM (P5) of maxval 255 as a 24-bit bitmap.
TBitmap ParsePnm(const std::vector<std::uint8_t>& pnm) {
  std::size_t pos = 0;
  auto token = [&]() {
    while (pos < pnm.size() && (std::isspace(pnm[pos]) || pnm[pos] == '#')) {
      if (pnm[pos] == '#')
        while (pos < pnm.size() && pnm[pos] != '\n') ++pos;
      else
        ++pos;
    }
    std::string t;
    while (pos < pnm.size() && !std::isspace(pnm[pos])) t += char(pnm[pos++]);
    return t;
  };
  const std::string magic = token();
  const int w = std::atoi(token().c_str()), h = std::atoi(token().c_str());
  const int maxval = std::atoi(token().c_str());
  ++pos;
  const int comps = magic == "P6" ? 3 : magic == "P5" ? 1 : 0;
  if (comps == 0 || maxval != 255 || pnm.size() < pos + std::size_t(w) * h * comps) {
    ADD_FAILURE() << "not a PNM picture";
    return TBitmap();
  }
  TBitmap b(w, h);
  const std::uint8_t* p = pnm.data() + pos;
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = b.ScanLine(y);
    for (int x = 0; x < w; ++x, p += comps) {
      row[3 * x] = p[comps == 3 ? 2 : 0];
      row[3 * x + 1] = p[comps == 3 ? 1 : 0];
      row[3 * x + 2] = p[0];
    }
  }
  return b;
}

std::vector<std::uint8_t> ToPpm(const TBitmap& b) {
  std::string head =
      "P6\n" + std::to_string(b.Width()) + " " + std::to_string(b.Height()) + "\n255\n";
  std::vector<std::uint8_t> out(head.begin(), head.end());
  for (int y = 0; y < b.Height(); ++y) {
    const std::uint8_t* row = b.ScanLine(y);
    for (int x = 0; x < b.Width(); ++x)
      out.insert(out.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
  }
  return out;
}

// Counts the pixels in which two 24-bit bitmaps of equal size differ.
int DifferingPixels(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
  int n = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) n += a.GetPixel(x, y) != b.GetPixel(x, y);
  return n;
}

// The largest difference of one channel between two bitmaps of equal size.
int MaxChannelDifference(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return 256;
  int most = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      const TColor p = a.GetPixel(x, y), q = b.GetPixel(x, y);
      most =
          std::max({most, std::abs(GetRValue(p) - GetRValue(q)),
                    std::abs(GetGValue(p) - GetGValue(q)), std::abs(GetBValue(p) - GetBValue(q))});
    }
  return most;
}

// A CMYK picture written by the library: Adobe marker or not, CMYK or YCCK.
std::vector<std::uint8_t> CmykJpeg(int w, int h, bool adobe, bool ycck) {
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
  jpeg_set_colorspace(&cinfo, ycck ? JCS_YCCK : JCS_CMYK);
  cinfo.write_Adobe_marker = adobe ? TRUE : FALSE;
  jpeg_set_quality(&cinfo, 90, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<std::uint8_t> row(std::size_t(w) * 4);
  unsigned s = 7;
  while (cinfo.next_scanline < cinfo.image_height) {
    for (auto& v : row) v = std::uint8_t((s = s * 1103515245u + 12345u) >> 24);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<std::uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

// Pictures of every kind a user may open, made by ImageMagick and the library.
struct TSample {
  std::string Name;
  std::vector<std::uint8_t> Bytes;
};

std::vector<TSample> SamplePictures() {
  std::vector<TSample> samples;
  const std::string ppm = TempPath("source.ppm");
  WriteFile(ppm, ToPpm(NoisyPicture(67, 45)));
  auto convert = [&](const std::string& name, const std::string& options) {
    const std::string out = TempPath(name + ".jpg");
    RunTool("/usr/bin/convert ppm:" + ppm + " " + options + " " + out);
    samples.push_back({name, ReadFile(out)});
    std::remove(out.c_str());
  };
  convert("baseline420", "-quality 85");
  convert("baseline444", "-quality 92 -sampling-factor 1x1");
  convert("baseline422", "-quality 80 -sampling-factor 2x1");
  convert("progressive", "-quality 85 -interlace JPEG");
  convert("grey", "-colorspace Gray -quality 85");
  convert("cmyk-imagemagick", "-colorspace CMYK -quality 90");
  std::remove(ppm.c_str());
  samples.push_back({"cmyk-adobe", CmykJpeg(37, 29, true, false)});
  samples.push_back({"cmyk-plain", CmykJpeg(37, 29, false, false)});
  samples.push_back({"ycck", CmykJpeg(37, 29, true, true)});
  samples.push_back({"one-pixel", EncodeJpeg(NoisyPicture(1, 1), 75)});
  return samples;
}

// ------------------------------------------------------------ tests

TEST(JpegCodecReference, DecodesEveryKindExactlyAsDjpeg) {
  if (!HaveReferenceTools()) GTEST_SKIP() << "djpeg, cjpeg or ImageMagick missing";
  int scaledChecked = 0;
  for (const TSample& s : SamplePictures()) {
    SCOPED_TRACE(s.Name);
    ASSERT_GT(s.Bytes.size(), 100u);
    const std::string path = TempPath(s.Name + ".jpg");
    WriteFile(path, s.Bytes);
    const TBitmap reference = ParsePnm(RunTool("/usr/bin/djpeg -ppm " + path));
    const TBitmap ours = DecodeJpeg(s.Bytes);
    EXPECT_EQ(DifferingPixels(ours, reference), 0);
    // The 32-bit decode holds the same colours and an opaque alpha.
    const TBitmap wide = DecodeJpeg(s.Bytes, {}, TPixelFormat::pf32bit);
    ASSERT_EQ(wide.PixelFormat(), TPixelFormat::pf32bit);
    EXPECT_EQ(DifferingPixels(wide, reference), 0);
    EXPECT_EQ(wide.GetAlpha(wide.Width() - 1, wide.Height() - 1), 255);
    // Scaled decoding is the library's own, as djpeg -scale gives it.
    for (int denom : {2, 4, 8}) {
      const int boxW = std::max(1, ours.Width() / denom), boxH = std::max(1, ours.Height() / denom);
      if (JpegPreviewScaleDenom(ours.Width(), ours.Height(), boxW, boxH) != denom) continue;
      ++scaledChecked;
      const TBitmap scaled =
          ParsePnm(RunTool("/usr/bin/djpeg -ppm -scale 1/" + std::to_string(denom) + " " + path));
      const TJpegPreview preview = DecodeJpegScaled(s.Bytes, boxW, boxH);
      EXPECT_EQ(preview.ScaleDenom, denom);
      EXPECT_EQ(preview.Width, ours.Width());
      EXPECT_EQ(preview.Height, ours.Height());
      if (denom == 8 && s.Name == "progressive")
        // From the first scans alone: the lowest bits of their coefficients
        // may come later in the file.
        EXPECT_LE(MaxChannelDifference(preview.Bitmap, scaled), 6);
      else
        EXPECT_EQ(DifferingPixels(preview.Bitmap, scaled), 0) << "1/" << denom;
    }
    std::remove(path.c_str());
  }
  EXPECT_GE(scaledChecked, 27);  // every kind but the single pixel, at 1/2, 1/4 and 1/8
}

TEST(JpegCodecReference, RecompressionIsByteIdenticalToDjpegThenCjpeg) {
  if (!HaveReferenceTools()) GTEST_SKIP() << "djpeg, cjpeg or ImageMagick missing";
  for (const TSample& s : SamplePictures()) {
    if (s.Name == "grey") continue;  // cjpeg keeps a grey PGM grey; the program writes colour
    SCOPED_TRACE(s.Name);
    const std::string path = TempPath(s.Name + ".jpg");
    WriteFile(path, s.Bytes);
    const TBitmap pixels = DecodeJpeg(s.Bytes);
    for (int q : {1, 50, 75, 90, 100}) {
      const std::vector<std::uint8_t> reference =
          RunTool("/usr/bin/djpeg -ppm " + path + " | /usr/bin/cjpeg -quality " +
                  std::to_string(q) + " -baseline");
      EXPECT_TRUE(EncodeJpeg(pixels, q) == reference) << "quality " << q;
    }
    std::remove(path.c_str());
  }
}

TEST(JpegCodec, StreamedRowsGiveTheSameFileAsAWholeBitmap) {
  const TBitmap picture = NoisyPicture(33, 17);
  const std::vector<std::uint8_t> whole = EncodeJpeg(picture, 77);
  TJpegEncoder encoder;
  encoder.Begin(33, 17, 77);
  EXPECT_EQ(encoder.RowsLeft(), 17);
  std::vector<std::uint8_t> row(33 * 3);
  for (int y = 0; y < 17; ++y) {
    std::copy_n(picture.ScanLine(y), row.size(), row.begin());
    encoder.WriteRow(row);
    std::fill(row.begin(), row.end(), 0);  // the encoder keeps no pointer to the row
  }
  EXPECT_EQ(encoder.RowsLeft(), 0);
  EXPECT_TRUE(encoder.Finish() == whole);

  // Row order and pixel format of the source bitmap do not change the file.
  TBitmap bottomUp(33, 17, TPixelFormat::pf24bit, true);
  TBitmap wide(33, 17, TPixelFormat::pf32bit);
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 33; ++x) {
      bottomUp.SetPixel(x, y, picture.GetPixel(x, y));
      wide.SetPixel(x, y, picture.GetPixel(x, y));
    }
  EXPECT_TRUE(EncodeJpeg(bottomUp, 77) == whole);
  EXPECT_TRUE(EncodeJpeg(wide, 77) == whole);
}

TEST(JpegCodec, EncoderMisuseIsAnErrorAndTheEncoderStaysUsable) {
  TJpegEncoder encoder;
  std::vector<std::uint8_t> row(8 * 3, 200);
  EXPECT_THROW(encoder.WriteRow(row), TJpegError);  // nothing begun
  EXPECT_THROW(encoder.Finish(), TJpegError);
  EXPECT_THROW(encoder.Begin(0, 5, 50), TJpegError);
  EXPECT_THROW(encoder.Begin(70000, 5, 50), TJpegError);
  encoder.Begin(8, 2, 50);
  EXPECT_THROW(encoder.WriteRow({row.data(), 8 * 3 - 1}), TJpegError);  // short row
  encoder.Begin(8, 2, 50);
  encoder.WriteRow(row);
  EXPECT_THROW(encoder.Finish(), TJpegError);  // one row missing
  EXPECT_EQ(encoder.RowsLeft(), 0);            // ... and the picture abandoned
  // A new picture after every kind of failure comes out right.
  encoder.Begin(8, 2, 50);
  encoder.WriteRow(row);
  encoder.WriteRow(row);
  EXPECT_THROW(encoder.WriteRow(row), TJpegError);  // one row too many
  const std::vector<std::uint8_t> bytes = encoder.Finish();
  TBitmap flat(8, 2);
  flat.Fill(RGB(200, 200, 200));
  EXPECT_TRUE(bytes == EncodeJpeg(flat, 50));
  const TBitmap back = DecodeJpeg(bytes);
  EXPECT_NEAR(GetRValue(back.GetPixel(3, 1)), 200, 2);
}

TEST(JpegCodec, HeaderProbeDecodesNothing) {
  // The probe answers from the header even when the picture itself could not
  // be decoded (too large for the limits, data cut short).
  std::vector<std::uint8_t> bytes = EncodeJpeg(NoisyPicture(400, 300), 80);
  bytes.resize(bytes.size() / 2);
  TJpegInfo info = ReadJpegInfo(bytes);
  EXPECT_EQ(info.Width, 400);
  EXPECT_EQ(info.Height, 300);
  EXPECT_EQ(info.Components, 3);
  EXPECT_EQ(ReadJpegInfo(CmykJpeg(9, 9, true, false)).Components, 4);
  EXPECT_THROW(ReadJpegInfo(std::vector<std::uint8_t>(64, 0)), TJpegError);
}

TEST(JpegCodec, ShortDataForAHugeDeclaredSizeIsRefusedBeforeDecoding) {
  // A small file claiming 16384 x 16384 pixels: within the pixel limit, but
  // far too few bytes to hold even one bit per block. Decoding it would take
  // seconds and 800 MB to produce grey.
  std::vector<std::uint8_t> bytes =
      WithDeclaredSize(EncodeJpeg(NoisyPicture(16, 16), 50), 16384, 16384);
  ASSERT_LT(bytes.size(), 2000u);
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      if (attempt == 0)
        DecodeJpeg(bytes);
      else
        DecodeJpegScaled(bytes, 100, 100);
      FAIL() << "decoded a short file";
    } catch (const TJpegError& e) {
      EXPECT_NE(std::string(e.what()).find("cannot hold"), std::string::npos) << e.what();
    }
  }
  // A file merely cut short (a picture copied halfway) still opens: the
  // missing part is grey, as every viewer shows it.
  std::vector<std::uint8_t> cut = EncodeJpeg(NoisyPicture(64, 64), 90);
  cut.resize(cut.size() * 2 / 3);
  EXPECT_EQ(DecodeJpeg(cut).Height(), 64);
}

TEST(JpegCodec, TwelveBitFilesAreRefusedAsUnsupported) {
  std::vector<std::uint8_t> bytes = EncodeJpeg(NoisyPicture(16, 16), 50);
  for (std::size_t i = 2; i + 4 < bytes.size(); ++i)
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
      bytes[i + 4] = 12;  // sample precision
      break;
    }
  try {
    DecodeJpeg(bytes);
    FAIL() << "decoded a 12-bit file";
  } catch (const TJpegError& e) {
    EXPECT_NE(std::string(e.what()).find("12"), std::string::npos) << e.what();
  }
}

TEST(JpegCodec, PreviewScaleIsTheSmallestThatStillCoversTheFittedPicture) {
  // 12 megapixels into a 300 x 300 pane: fitted 300 x 225, 1/8 gives 500 x 375.
  EXPECT_EQ(JpegPreviewScaleDenom(4000, 3000, 300, 300), 8);
  // A tall picture is limited by its height.
  EXPECT_EQ(JpegPreviewScaleDenom(1000, 4000, 400, 400), 8);
  EXPECT_EQ(JpegPreviewScaleDenom(1000, 4000, 400, 1000), 4);
  // Exactly twice the box still halves; one pixel less does not.
  EXPECT_EQ(JpegPreviewScaleDenom(800, 600, 400, 400), 2);
  EXPECT_EQ(JpegPreviewScaleDenom(799, 600, 400, 400), 1);
  // Never enlarged, never below one pixel, odd boxes are harmless.
  EXPECT_EQ(JpegPreviewScaleDenom(100, 100, 400, 400), 1);
  EXPECT_EQ(JpegPreviewScaleDenom(100, 100, 0, -5), 8);
  EXPECT_EQ(JpegPreviewScaleDenom(0, 0, 10, 10), 1);

  // The decoded preview is ceil(size / denom) and covers the fitted picture.
  const std::vector<std::uint8_t> bytes = EncodeJpeg(NoisyPicture(203, 101), 80);
  const TJpegPreview p = DecodeJpegScaled(bytes, 50, 50);
  EXPECT_EQ(p.ScaleDenom, 4);
  EXPECT_EQ(p.Width, 203);
  EXPECT_EQ(p.Height, 101);
  EXPECT_EQ(p.Bitmap.Width(), 51);
  EXPECT_EQ(p.Bitmap.Height(), 26);
  // The limits hold for previews too.
  TJpegLimits small;
  small.MaxPixels = 203 * 100;
  EXPECT_THROW(DecodeJpegScaled(bytes, 50, 50, small), TJpegError);
  EXPECT_THROW(DecodeJpegScaled({}, 50, 50), TJpegError);
}

}  // namespace
}  // namespace vm
