#include "toolkit/Bitmap.h"

#include <gtest/gtest.h>

#include <sstream>

#include "PictureTestUtil.h"
#include "platform/gfx/BmpCodec.h"
#include "toolkit/Colors.h"
#include "toolkit/SysUtils.h"

namespace vm::tk {
namespace {

using test::ReadAll;
using test::ScratchFile;
using test::TestPhoto;

TEST(Bitmap, BmpRoundTripsKeepPixelsFormatAndAlpha) {
  // Odd widths need row padding in the file.
  for (int w : {1, 3, 7, 64}) {
    TBitmap bmp;
    bmp.TakeImage(TestPhoto(w, 5));
    EXPECT_EQ(bmp.PixelFormat(), pf24bit);
    bmp.SaveToFile(ScratchFile("rt24.bmp"));
    TBitmap back;
    back.LoadFromFile(ScratchFile("rt24.bmp"));
    EXPECT_EQ(back.PixelFormat(), pf24bit);
    EXPECT_TRUE(back.Image().SamePixels(bmp.Image())) << w;
  }
  TBitmap alpha;
  alpha.TakeImage(TestPhoto(9, 4, vm::TPixelFormat::pf32bit));
  EXPECT_EQ(alpha.PixelFormat(), pf32bit);
  std::stringstream stream;
  alpha.SaveToStream(stream);
  TBitmap back;
  back.LoadFromStream(stream);
  EXPECT_EQ(back.PixelFormat(), pf32bit);
  EXPECT_EQ(back.Image().GetAlpha(5, 3), alpha.Image().GetAlpha(5, 3));
  EXPECT_TRUE(back.Image().SamePixels(alpha.Image()));
  // A device-format bitmap is written as 24 bits.
  TBitmap device;
  EXPECT_EQ(device.PixelFormat(), pfDevice);
  device.SetSize(3, 2);
  device.SaveToFile(ScratchFile("device.bmp"));
  TBmpInfo info;
  ReadBmp(ReadAll(ScratchFile("device.bmp")), TBmpRowOrder::AsFile, &info);
  EXPECT_EQ(info.BitCount, 24);
}

TEST(Bitmap, EmptyAndBrokenFiles) {
  TBitmap empty;
  empty.SaveToFile(ScratchFile("empty.bmp"));
  EXPECT_TRUE(ReadAll(ScratchFile("empty.bmp")).empty());
  TBitmap bmp(4, 4);
  bmp.LoadFromFile(ScratchFile("empty.bmp"));
  EXPECT_TRUE(bmp.Empty());

  bmp.SetSize(4, 4);
  std::vector<std::uint8_t> file = WriteBmp24(TestPhoto(4, 4));
  file.resize(file.size() - 5);  // truncated pixels
  EXPECT_THROW(bmp.LoadFromBytes(file), EInvalidGraphic);
  EXPECT_THROW(bmp.LoadFromBytes(std::vector<std::uint8_t>{'B', 'M', 1}), EInvalidGraphic);
  EXPECT_THROW(bmp.LoadFromFile(ScratchFile("missing.bmp")), EFOpenError);
  EXPECT_EQ(bmp.Width(), 4);
  EXPECT_THROW(bmp.SetSize(70000, 1), EInvalidGraphicOperation);
  EXPECT_THROW(bmp.SetSize(20000, 20000), EInvalidGraphicOperation);
  EXPECT_EQ(bmp.Width(), 4);
  bmp.SetSize(-5, 2);
  EXPECT_TRUE(bmp.Empty());
}

TEST(Bitmap, SizeAndFormatChangesKeepThePicture) {
  TBitmap bmp;
  bmp.TakeImage(TestPhoto(6, 5));
  vm::TBitmap original = bmp.Image();
  bmp.SetPixelFormat(pf32bit);
  EXPECT_EQ(bmp.Image().BytesPerPixel(), 4);
  EXPECT_EQ(bmp.Image().GetAlpha(2, 2), 255);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(bmp.Image().GetPixel(x, y), original.GetPixel(x, y));
  bmp.SetPixelFormat(pf24bit);
  EXPECT_TRUE(bmp.Image().SamePixels(original));
  bmp.SetWidth(8);
  bmp.SetHeight(3);
  EXPECT_EQ(bmp.Image().GetPixel(5, 2), original.GetPixel(5, 2));
  EXPECT_EQ(bmp.Image().GetPixel(7, 0), clBlack);
  EXPECT_EQ(bmp.ScanLine(2)[0], original.ScanLine(2)[0]);
  EXPECT_THROW(bmp.ScanLine(3), EInvalidGraphicOperation);
  EXPECT_THROW(bmp.ScanLine(-1), EInvalidGraphicOperation);
}

TEST(Bitmap, CanvasAndImageShareOnePixelStore) {
  TBitmap bmp(10, 10);
  int changes = 0;
  bmp.OnChange = [&](TGraphic*) { ++changes; };
  bmp.Image().SetPixel(3, 4, clLime);            // the platform side...
  EXPECT_EQ(bmp.Canvas().Pixels(3, 4), clLime);  // ...is what the canvas sees
  bmp.Canvas().SetPixels(1, 1, clBlue);
  EXPECT_EQ(bmp.ScanLine(1)[3], 0xFF);  // blue byte
  EXPECT_EQ(changes, 1);
  // The canvas follows a new size and a moved-in store.
  bmp.SetSize(20, 20);
  bmp.Canvas().SetPixels(19, 19, clRed);
  EXPECT_EQ(bmp.Image().GetPixel(19, 19), clRed);
  bmp.TakeImage(vm::TBitmap(3, 3));
  EXPECT_EQ(bmp.Canvas().Pixels(19, 19), CLR_INVALID);
  vm::TBitmap out = bmp.ReleaseImage();
  EXPECT_EQ(out.Width(), 3);
  EXPECT_TRUE(bmp.Empty());
}

TEST(Bitmap, TransparentDrawLeavesTheKeyColourOut) {
  TBitmap glyph(4, 3);
  glyph.Canvas().Brush().SetColor(clFuchsia);
  glyph.Canvas().FillRect({0, 0, 4, 3});
  glyph.Canvas().SetPixels(1, 1, clNavy);
  glyph.SetTransparent(true);
  EXPECT_EQ(glyph.TransparentColor(), clFuchsia);  // the bottom-left pixel
  TBitmap target(8, 8);
  target.Canvas().Brush().SetColor(clYellow);
  target.Canvas().FillRect({0, 0, 8, 8});
  target.Canvas().Draw(2, 2, &glyph);
  EXPECT_EQ(target.Image().GetPixel(3, 3), clNavy);
  EXPECT_EQ(target.Image().GetPixel(2, 2), clYellow);
  EXPECT_EQ(target.Image().GetPixel(5, 4), clYellow);
  // Stretched, and with a fixed colour that makes the navy pixel the hole.
  glyph.SetTransparentColor(clNavy);
  target.Canvas().FillRect({0, 0, 8, 8});
  target.Canvas().StretchDraw({0, 0, 8, 6}, &glyph);
  EXPECT_EQ(target.Image().GetPixel(0, 0), clFuchsia);
  EXPECT_EQ(target.Image().GetPixel(2, 2), clYellow);
  EXPECT_EQ(target.Image().GetPixel(3, 3), clYellow);
  EXPECT_EQ(target.Image().GetPixel(4, 3), clFuchsia);
  // A huge stretch costs only the visible part.
  target.Canvas().FillRect({0, 0, 8, 8});
  target.Canvas().StretchDraw({-40000, -40000, 40000, 40000}, &glyph);
  EXPECT_EQ(target.Image().GetPixel(0, 0), clFuchsia);  // the middle of source pixel (2, 1)
}

}  // namespace
}  // namespace vm::tk
