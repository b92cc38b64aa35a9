#include "toolkit/Picture.h"

#include <gtest/gtest.h>

#include "PictureTestUtil.h"
#include "platform/gfx/BmpCodec.h"
#include "platform/gfx/JpegCodec.h"
#include "toolkit/Bitmap.h"
#include "toolkit/JPEGImage.h"
#include "toolkit/SysUtils.h"

namespace vm::tk {
namespace {

using test::ScratchFile;
using test::TestPhoto;
using test::WriteAll;

std::string MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EInvalidGraphic& e) {
    return e.what();
  }
  return "(no error)";
}

void MakeFiles() {
  WriteAll(ScratchFile("photo.JPG"), EncodeJpeg(TestPhoto(30, 20), 80));
  WriteAll(ScratchFile("photo.jpeg"), EncodeJpeg(TestPhoto(31, 21), 80));
  WriteAll(ScratchFile("plain.Bmp"), WriteBmp24(TestPhoto(5, 6)));
}

TEST(Picture, ExtensionsPickTheGraphicKindOnceRegistered) {
  TPicture::UnregisterFileFormat("jpg");
  TPicture::UnregisterFileFormat(".JPEG");
  MakeFiles();

  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TPicture*) { ++changes; };
  picture.LoadFromFile(ScratchFile("plain.Bmp"));
  ASSERT_NE(picture.Graphic(), nullptr);
  EXPECT_EQ(picture.Graphic()->ClassName(), "TBitmap");
  EXPECT_EQ(picture.Width(), 5);
  EXPECT_EQ(changes, 1);

  // Before registration a JPEG file is an unknown extension, named in the error.
  EXPECT_NE(MessageOf([&] { picture.LoadFromFile(ScratchFile("photo.JPG")); }).find("(.jpg)"),
            std::string::npos);
  EXPECT_EQ(picture.Graphic()->ClassName(), "TBitmap");  // unchanged

  RegisterJpegFileFormats();
  RegisterJpegFileFormats();  // twice changes nothing
  int jpegFormats = 0;
  for (const TFileFormat& f : TPicture::FileFormats())
    if (f.ClassName == "TJPEGImage") {
      ++jpegFormats;
      EXPECT_EQ(f.Description, "JPEG Image File");
    }
  EXPECT_EQ(jpegFormats, 2);
  picture.LoadFromFile(ScratchFile("photo.JPG"));
  EXPECT_EQ(picture.Graphic()->ClassName(), "TJPEGImage");
  EXPECT_EQ(picture.Width(), 30);
  picture.LoadFromFile(ScratchFile("photo.jpeg"));
  EXPECT_EQ(picture.Height(), 21);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(TPicture::GraphicFilter("TJPEGImage"),
            "Все (*.jpg;*.jpeg)|*.jpg;*.jpeg|JPEG Image File (*.jpg)|*.jpg|"
            "JPEG Image File (*.jpeg)|*.jpeg");
}

TEST(Picture, UnknownOrMissingExtensionsAndFailedLoadsKeepThePicture) {
  RegisterJpegFileFormats();
  MakeFiles();
  TPicture picture;
  picture.LoadFromFile(ScratchFile("plain.Bmp"));
  WriteAll(ScratchFile("photo.png"), {1, 2, 3});
  EXPECT_EQ(
      MessageOf([&] { picture.LoadFromFile(ScratchFile("photo.png")); }),
      "Неизвестное расширение файла изображения (.png): \"" + ScratchFile("photo.png") + "\"");
  // A dot in a folder name is not an extension.
  std::filesystem::create_directories(ScratchFile("v1.jpg"));
  WriteAll(ScratchFile("v1.jpg/photo"), EncodeJpeg(TestPhoto(8, 8), 80));
  EXPECT_NE(
      MessageOf([&] { picture.LoadFromFile(ScratchFile("v1.jpg/photo")); }).find("нет расширения"),
      std::string::npos);
  // A .jpg that is no JPEG, and one that is missing.
  WriteAll(ScratchFile("fake.jpg"), {'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'});
  EXPECT_THROW(picture.LoadFromFile(ScratchFile("fake.jpg")), EInvalidGraphic);
  EXPECT_THROW(picture.LoadFromFile(ScratchFile("gone.jpg")), EFOpenError);
  EXPECT_THROW(picture.LoadFromFile(ScratchFile("v1.jpg")), EFOpenError);  // a folder
  EXPECT_EQ(picture.Graphic()->ClassName(), "TBitmap");
  EXPECT_EQ(picture.Width(), 5);
  EXPECT_EQ(FileExtension("a/b.c/d.JpEg"), "jpeg");
  EXPECT_EQ(FileExtension("name."), "");
}

TEST(Picture, BitmapReplacesOtherKindsAndChangesReachOnChange) {
  RegisterJpegFileFormats();
  MakeFiles();
  TPicture picture;
  EXPECT_EQ(picture.Graphic(), nullptr);
  EXPECT_THROW(picture.SaveToFile(ScratchFile("none.bmp")), EInvalidGraphicOperation);
  picture.LoadFromFile(ScratchFile("photo.JPG"));
  int changes = 0;
  picture.OnChange = [&](TPicture*) { ++changes; };
  TBitmap& bmp = picture.Bitmap();  // the JPEG gives way to an empty bitmap
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(bmp.Empty());
  bmp.SetSize(10, 10);
  bmp.Canvas().FillRect({0, 0, 3, 3});
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(&picture.Bitmap(), &bmp);  // already a bitmap: kept

  TPicture other;
  other.Assign(picture);
  ASSERT_NE(other.Graphic(), picture.Graphic());
  EXPECT_TRUE(other.Bitmap().Image().SamePixels(bmp.Image()));
  // Saving writes the graphic's own format whatever the name says.
  picture.SaveToFile(ScratchFile("saved.jpg"));
  EXPECT_EQ(test::ReadAll(ScratchFile("saved.jpg"))[0], 'B');
}

}  // namespace
}  // namespace vm::tk
