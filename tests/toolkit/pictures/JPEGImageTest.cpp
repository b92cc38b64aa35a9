#include "toolkit/JPEGImage.h"

#include <gtest/gtest.h>

#include <sstream>

#include "PictureTestUtil.h"
#include "platform/gfx/JpegCodec.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Colors.h"
#include "toolkit/Icon.h"
#include "toolkit/SysUtils.h"

namespace vm::tk {
namespace {

using test::ReadAll;
using test::ScratchFile;
using test::TestPhoto;
using test::WriteAll;

std::vector<std::uint8_t> PhotoJpeg(int w = 67, int h = 45, int quality = 85) {
  return EncodeJpeg(TestPhoto(w, h), quality);
}

// The offset of the first marker `code` (0xFFxx) in a JPEG file, or npos.
std::size_t FindMarker(const std::vector<std::uint8_t>& f, std::uint8_t code) {
  for (std::size_t i = 2; i + 1 < f.size(); ++i)
    if (f[i] == 0xFF && f[i + 1] == code) return i;
  return std::string::npos;
}

// A file whose header reads fine but whose first Huffman table claims three
// codes of length 1: the library refuses it only when decoding starts.
std::vector<std::uint8_t> BrokenHuffmanJpeg() {
  std::vector<std::uint8_t> f = PhotoJpeg();
  std::size_t dht = FindMarker(f, 0xC4);
  EXPECT_NE(dht, std::string::npos);
  std::uint8_t* counts = &f[dht + 5];
  for (int len = 15; len >= 1; --len)
    if (counts[len] >= 3) {
      counts[len] -= 3;
      counts[0] += 3;
      break;
    }
  return f;
}

TEST(JPEGImage, UnmodifiedPictureSavesByteIdenticalWithoutDecoding) {
  std::vector<std::uint8_t> original = PhotoJpeg();
  original.insert(original.end() - 2, {0xFF, 0xFF});  // fill bytes a re-encode would drop
  WriteAll(ScratchFile("orig.jpg"), original);
  TJPEGImage jpg;
  jpg.LoadFromFile(ScratchFile("orig.jpg"));
  EXPECT_EQ(jpg.Width(), 67);
  EXPECT_EQ(jpg.Height(), 45);
  EXPECT_FALSE(jpg.HasPixels());  // the size came from the header
  EXPECT_EQ(jpg.CompressionQuality(), 90);
  jpg.SaveToFile(ScratchFile("copy.jpg"));
  EXPECT_EQ(ReadAll(ScratchFile("copy.jpg")), original);
  // Decoding for display does not change what is saved.
  jpg.DIBNeeded();
  EXPECT_TRUE(jpg.HasPixels());
  std::ostringstream out;
  jpg.SaveToStream(out);
  EXPECT_EQ(out.str(), std::string(original.begin(), original.end()));
}

TEST(JPEGImage, AssignSharesDataAndCompressReencodesOnlyTheCopy) {
  std::vector<std::uint8_t> original = PhotoJpeg();
  WriteAll(ScratchFile("shown.jpg"), original);
  TJPEGImage shown;
  shown.LoadFromFile(ScratchFile("shown.jpg"));
  shown.DIBNeeded();  // the view has drawn it
  TJPEGImage edit;
  edit.Assign(shown);
  EXPECT_TRUE(edit.SharesDataWith(shown));
  EXPECT_TRUE(edit.HasPixels());
  EXPECT_TRUE(edit.Pixels().SamePixels(shown.Pixels()));
  EXPECT_NE(edit.Pixels().Data(), shown.Pixels().Data());  // a copy, not the same store

  edit.SetCompressionQuality(40);
  edit.Compress();
  EXPECT_FALSE(edit.SharesDataWith(shown));
  std::vector<std::uint8_t> expected = EncodeJpeg(shown.Pixels(), 40);
  EXPECT_EQ(std::vector<std::uint8_t>(edit.Data().begin(), edit.Data().end()), expected);
  EXPECT_EQ(std::vector<std::uint8_t>(shown.Data().begin(), shown.Data().end()), original);

  // The same as the command-line tools make of the file.
  if (test::Run("command -v djpeg >/dev/null && command -v cjpeg >/dev/null")) {
    ASSERT_TRUE(test::Run("djpeg -ppm " + ScratchFile("shown.jpg") +
                          " | cjpeg -quality 40 -baseline > " + ScratchFile("shown40.jpg")));
    EXPECT_EQ(ReadAll(ScratchFile("shown40.jpg")), expected);
  }
  // Compress decodes first when nothing has been drawn yet; quality 100 still re-encodes.
  TJPEGImage fresh;
  fresh.LoadFromBytes(original);
  fresh.SetCompressionQuality(100);
  fresh.Compress();
  EXPECT_NE(std::vector<std::uint8_t>(fresh.Data().begin(), fresh.Data().end()), original);
  EXPECT_EQ(fresh.Width(), 67);
}

TEST(JPEGImage, AssignedBitmapSavesAsTheCommandLineEncoderWould) {
  if (!test::Run("command -v cjpeg >/dev/null"))
    GTEST_SKIP() << "cjpeg (libjpeg-turbo-progs) missing";
  for (vm::TPixelFormat format : {vm::TPixelFormat::pf24bit, vm::TPixelFormat::pf32bit}) {
    TBitmap bmp;
    bmp.TakeImage(TestPhoto(101, 37, format));
    test::WritePpm(ScratchFile("pixels.ppm"), bmp.Image());
    ASSERT_TRUE(test::Run("cjpeg -quality 90 -baseline " + ScratchFile("pixels.ppm") + " > " +
                          ScratchFile("ref90.jpg")));
    TJPEGImage jpg;
    jpg.LoadFromBytes(PhotoJpeg());  // data that the assign must discard
    jpg.Assign(bmp);
    EXPECT_TRUE(jpg.Data().empty());
    EXPECT_EQ(jpg.Width(), 101);
    jpg.SaveToFile(ScratchFile("resized.jpg"));
    EXPECT_EQ(ReadAll(ScratchFile("resized.jpg")), ReadAll(ScratchFile("ref90.jpg")));
  }
}

TEST(JPEGImage, KindsItCannotTakeRaiseAConversionError) {
  TJPEGImage jpg;
  TIcon icon;
  try {
    jpg.Assign(icon);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {  // the program-wide base catches it
    EXPECT_NE(dynamic_cast<const EConvertError*>(&e), nullptr);
    EXPECT_EQ(e.Message(), "Нельзя присвоить TIcon объекту TJPEGImage");
  }
  TBitmap bmp;
  EXPECT_THROW(bmp.Assign(icon), EConvertError);
}

TEST(JPEGImage, QualityIsClampedToOneToHundred) {
  TJPEGImage jpg;
  jpg.SetCompressionQuality(0);
  EXPECT_EQ(jpg.CompressionQuality(), 1);
  jpg.SetCompressionQuality(1000);
  EXPECT_EQ(jpg.CompressionQuality(), 100);
  EXPECT_THROW(jpg.SetWidth(10), EInvalidGraphicOperation);
}

TEST(JPEGImage, BadFilesAreRefusedAtLoadAndLeaveThePictureAsItWas) {
  std::vector<std::uint8_t> good = PhotoJpeg();
  TJPEGImage jpg;
  jpg.LoadFromBytes(good);
  EXPECT_THROW(jpg.LoadFromBytes({'B', 'M', 0, 0, 0}), EInvalidGraphic);
  EXPECT_THROW(jpg.LoadFromBytes({}), EInvalidGraphic);
  // A tiny file declaring 60000 x 60000 is refused from its header.
  std::vector<std::uint8_t> huge = good;
  std::size_t sof = FindMarker(huge, 0xC0);
  ASSERT_NE(sof, std::string::npos);
  huge[sof + 5] = huge[sof + 7] = 0xEA;
  huge[sof + 6] = huge[sof + 8] = 0x60;
  EXPECT_THROW(jpg.LoadFromBytes(huge), EInvalidGraphic);
  EXPECT_THROW(jpg.LoadFromFile(ScratchFile("does-not-exist.jpg")), EFOpenError);
  EXPECT_EQ(std::vector<std::uint8_t>(jpg.Data().begin(), jpg.Data().end()), good);
  EXPECT_EQ(jpg.Width(), 67);
}

// What the user reads when a picture cannot be opened: in Russian, what
// failed, why, and which file.
TEST(JPEGImage, ErrorsSayWhatFailedAndWhyInTheUsersLanguage) {
  auto message = [](auto&& load) {
    try {
      load();
    } catch (const Exception& e) {
      return e.Message();
    }
    return std::string("no error");
  };
  TJPEGImage jpg;
  WriteAll(ScratchFile("note.jpg"), {'n', 'o', 't', 'e', ' ', 'j', 'p', 'g'});
  EXPECT_EQ(message([&] { jpg.LoadFromFile(ScratchFile("note.jpg")); }),
            "Не удалось прочитать изображение JPEG: файл не является изображением JPEG (файл \"" +
                ScratchFile("note.jpg") + "\")");
  EXPECT_EQ(
      message([&] { jpg.LoadFromFile(ScratchFile("absent.jpg")); }),
      "Не удалось открыть файл \"" + ScratchFile("absent.jpg") + "\": файл или папка не найдены");
  std::vector<std::uint8_t> huge = PhotoJpeg();
  std::size_t sof = FindMarker(huge, 0xC0);
  huge[sof + 5] = huge[sof + 7] = 0xEA;
  huge[sof + 6] = huge[sof + 8] = 0x60;
  EXPECT_EQ(message([&] { jpg.LoadFromBytes(huge); }),
            "Не удалось прочитать изображение JPEG: изображение 60000 × 60000 пикселей слишком "
            "велико для программы");
  jpg.LoadFromBytes(BrokenHuffmanJpeg());
  EXPECT_EQ(message([&] { jpg.DIBNeeded(); }),
            "Не удалось прочитать изображение JPEG: данные изображения повреждены или файл не "
            "полон");
  // No English reaches the user from any of these.
  for (const std::string& m :
       {message([&] { jpg.SetWidth(3); }), message([&] { TJPEGImage().SaveToBytes(); }),
        message([&] { TJPEGImage().Compress(); })})
    for (char c : m) EXPECT_FALSE(c >= 'a' && c <= 'z') << m;
}

TEST(JPEGImage, EmptyPictureCannotBeSavedAndLeavesTheFileAlone) {
  WriteAll(ScratchFile("keep.jpg"), {1, 2, 3});
  TJPEGImage jpg;
  EXPECT_TRUE(jpg.Empty());
  EXPECT_THROW(jpg.SaveToFile(ScratchFile("keep.jpg")), EInvalidGraphicOperation);
  EXPECT_EQ(ReadAll(ScratchFile("keep.jpg")), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_THROW(jpg.Compress(), EInvalidGraphicOperation);
  TBitmap empty;
  jpg.Assign(empty);
  EXPECT_THROW(jpg.SaveToFile(ScratchFile("keep.jpg")), EInvalidGraphicOperation);
  TBitmap target(4, 4);
  target.Assign(jpg);
  EXPECT_TRUE(target.Empty());
}

TEST(JPEGImage, DecodeFailureOnDrawIsReportedOnceAndDrawsNothing) {
  TJPEGImage jpg;
  jpg.LoadFromBytes(BrokenHuffmanJpeg());  // the header is fine
  EXPECT_EQ(jpg.Width(), 67);
  TBitmap view(80, 50);
  view.Canvas().Brush().SetColor(clRed);
  view.Canvas().FillRect({0, 0, 80, 50});
  vm::TBitmap before = view.Image();
  EXPECT_THROW(view.Canvas().Draw(0, 0, &jpg), EInvalidGraphic);
  for (int repaint = 0; repaint < 3; ++repaint) EXPECT_NO_THROW(view.Canvas().Draw(0, 0, &jpg));
  EXPECT_TRUE(view.Image().SamePixels(before));
  // Code that asks for the pixels is told every time.
  EXPECT_THROW(jpg.Pixels(), EInvalidGraphic);
  EXPECT_THROW(jpg.Compress(), EInvalidGraphic);
  // A new file starts afresh.
  jpg.LoadFromBytes(PhotoJpeg());
  EXPECT_NO_THROW(view.Canvas().Draw(0, 0, &jpg));
  EXPECT_FALSE(view.Image().SamePixels(before));
}

TEST(JPEGImage, DrawShowsTheDecodedPixelsAtTheirSizeOrStretched) {
  TJPEGImage jpg;
  jpg.LoadFromBytes(PhotoJpeg(20, 10));
  TBitmap view(30, 30);
  view.Canvas().Brush().SetColor(clWhite);
  view.Canvas().FillRect({0, 0, 30, 30});
  view.Canvas().Draw(5, 7, &jpg);
  const vm::TBitmap& px = jpg.Pixels();
  EXPECT_EQ(view.Image().GetPixel(5, 7), px.GetPixel(0, 0));
  EXPECT_EQ(view.Image().GetPixel(24, 16), px.GetPixel(19, 9));
  EXPECT_EQ(view.Image().GetPixel(25, 16), clWhite);
  EXPECT_EQ(view.Image().GetPixel(24, 17), clWhite);
  // Scaled to 40 x 20 every source pixel is doubled (nearest neighbour).
  TBitmap big(40, 20);
  big.Canvas().StretchDraw({0, 0, 40, 20}, &jpg);
  EXPECT_EQ(big.Image().GetPixel(0, 0), px.GetPixel(0, 0));
  EXPECT_EQ(big.Image().GetPixel(1, 1), px.GetPixel(0, 0));
  EXPECT_EQ(big.Image().GetPixel(39, 19), px.GetPixel(19, 9));
  // A bitmap assigned from the picture holds the same pixels.
  TBitmap copy;
  copy.Assign(jpg);
  EXPECT_TRUE(copy.Image().SamePixels(px));
  EXPECT_EQ(copy.PixelFormat(), pf24bit);
}

}  // namespace
}  // namespace vm::tk
