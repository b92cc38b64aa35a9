// The one table of picture formats: what the file dialogs preview and the
// toolkit registers comes from here, so the extension rules are pinned.
#include <gtest/gtest.h>

#include "platform/gfx/BmpCodec.h"
#include "platform/gfx/JpegCodec.h"
#include "platform/gfx/PictureFormats.h"

namespace vm {
namespace {

TEST(PictureFormatsTest, ExtensionsAnyCaseWithOrWithoutTheDot) {
  for (const char* e : {"jpg", "JPG", ".jpeg", "JpEg"}) {
    const TPictureFormat* f = PictureFormatByExtension(e);
    ASSERT_NE(f, nullptr) << e;
    EXPECT_EQ(f->Kind, TPictureKind::Jpeg);
    EXPECT_EQ(f->Description, "JPEG Image File");
  }
  // The program opens "jpg" and "jpeg" only; the dialogs preview the same set.
  EXPECT_EQ(PictureFormatByExtension("jpe"), nullptr);
  EXPECT_EQ(PictureFormatByExtension(""), nullptr);
  EXPECT_TRUE(PictureFormatByExtension("BMP")->Preview);
  EXPECT_FALSE(PictureFormatByExtension("ico")->Preview);
}

TEST(PictureFormatsTest, SniffsAndPreviewsByKind) {
  TBitmap picture(40, 30);
  const std::vector<std::uint8_t> jpeg = EncodeJpeg(picture, 75);
  const std::vector<std::uint8_t> bmp = WriteBmp24(picture);
  EXPECT_EQ(SniffPicture(jpeg), TPictureKind::Jpeg);
  EXPECT_EQ(SniffPicture(bmp), TPictureKind::Bmp);
  EXPECT_EQ(SniffPicture(std::vector<std::uint8_t>{0, 0, 1, 0, 1, 0}), TPictureKind::Ico);
  EXPECT_EQ(SniffPicture(std::vector<std::uint8_t>{0xFF, 0xD8}), TPictureKind::Unknown);
  int w = 0, h = 0;
  EXPECT_FALSE(DecodePicturePreview(jpeg, TPictureKind::Jpeg, 20, 20, w, h).Empty());
  EXPECT_EQ(w, 40);
  EXPECT_EQ(h, 30);
  EXPECT_EQ(DecodePicturePreview(bmp, TPictureKind::Bmp, 20, 20, w, h).Width(), 40);
  EXPECT_ANY_THROW(DecodePicturePreview(bmp, TPictureKind::Jpeg, 20, 20, w, h));
  EXPECT_ANY_THROW(DecodePicturePreview(bmp, TPictureKind::Ico, 20, 20, w, h));
}

}  // namespace
}  // namespace vm
