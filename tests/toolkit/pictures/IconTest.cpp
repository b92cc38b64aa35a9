#include "toolkit/Icon.h"

#include <gtest/gtest.h>

#include "PictureTestUtil.h"
#include "platform/gfx/BmpCodec.h"
#include "platform/win/WinApi.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Colors.h"
#include "toolkit/ImageList.h"
#include "toolkit/SysUtils.h"

namespace vm::tk {
namespace {

using test::TestPhoto;

// A 32 x 32 glyph: magenta ground with a 10 x 10 green square at (4, 4).
TBitmap& Glyph(TBitmap& b) {
  b.SetSize(32, 32);
  b.Canvas().Brush().SetColor(clFuchsia);
  b.Canvas().FillRect({0, 0, 32, 32});
  b.Canvas().Brush().SetColor(clGreen);
  b.Canvas().FillRect({4, 4, 14, 14});
  b.SetTransparent(true);
  return b;
}

TEST(Icon, MadeFromTheProgramsBitmapsWithBothSizes) {
  TBitmap large;
  TIcon icon;
  EXPECT_EQ(icon.Handle(), nullptr);
  icon.SetImages(nullptr, &Glyph(large));
  EXPECT_EQ(icon.Width(), 32);
  EXPECT_EQ(icon.LargeImage().GetAlpha(0, 0), 0);  // the key colour is a hole
  EXPECT_EQ(icon.LargeImage().GetAlpha(5, 5), 255);
  ASSERT_EQ(icon.SmallImage().Width(), GetSystemMetrics(SM_CXSMICON));
  EXPECT_EQ(icon.SmallImage().GetPixel(4, 4), clGreen);  // scaled from the large one
  HICON big = icon.Handle();
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(GetIconBitmap(big)->Width(), 32);
  EXPECT_EQ(icon.Handle(), big);  // made once
  ASSERT_NE(icon.SmallHandle(), nullptr);
  EXPECT_EQ(GetIconBitmap(icon.SmallHandle())->Width(), 16);
  // New pictures free the old icons.
  icon.Assign(large);
  EXPECT_EQ(GetIconBitmap(big), nullptr);

  // Drawn, the holes show the canvas.
  TBitmap target(40, 40);
  target.Canvas().Brush().SetColor(clWhite);
  target.Canvas().FillRect({0, 0, 40, 40});
  target.Canvas().Draw(2, 2, &icon);
  EXPECT_EQ(target.Image().GetPixel(2, 2), clWhite);
  EXPECT_EQ(target.Image().GetPixel(7, 7), clGreen);
  // Stretched huge, only the visible part is worked on.
  target.Canvas().StretchDraw({-2000000, -2000000, 2000000, 2000000}, &icon);
  EXPECT_EQ(target.Image().GetPixel(0, 0), clWhite);  // the middle: pixel (16, 16), a hole
  target.Canvas().StretchDraw({-16000, -16000, 48000, 48000}, &icon);
  EXPECT_EQ(target.Image().GetPixel(0, 0), clGreen);  // pixel (8, 8)
}

TEST(Icon, IcoFilesRoundTripAndBadOnesAreRefused) {
  TBitmap small, large;
  small.TakeImage(TestPhoto(16, 16, vm::TPixelFormat::pf32bit));
  small.Image().SetAlpha(3, 3, 0);
  large.TakeImage(TestPhoto(32, 32));
  TIcon icon;
  icon.SetImages(&small, &large);
  std::vector<std::uint8_t> file = icon.SaveToBytes();
  TIcon back;
  back.LoadFromBytes(file);
  EXPECT_TRUE(back.LargeImage().SamePixels(icon.LargeImage()));
  EXPECT_TRUE(back.SmallImage().SamePixels(icon.SmallImage()));
  EXPECT_EQ(back.SmallImage().GetAlpha(3, 3), 0);
  EXPECT_EQ(back.SmallImage().GetAlpha(4, 3), small.Image().GetAlpha(4, 3));

  // A 24-bit entry takes its transparency from the AND mask.
  std::vector<std::uint8_t> dib = WriteBmp24(TestPhoto(16, 16));
  dib.erase(dib.begin(), dib.begin() + 14);
  dib[8] = 32;  // height doubled
  std::vector<std::uint8_t> mask(4 * 16, 0);
  mask[4 * 15] = 0x80;  // the top-left pixel (rows are bottom-up)
  dib.insert(dib.end(), mask.begin(), mask.end());
  std::vector<std::uint8_t> ico = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 24, 0};
  for (std::uint32_t v : {std::uint32_t(dib.size()), 22u})
    for (int i = 0; i < 4; ++i) ico.push_back(std::uint8_t(v >> (8 * i)));
  ico.insert(ico.end(), dib.begin(), dib.end());
  TIcon fromMask;
  fromMask.LoadFromBytes(ico);
  EXPECT_EQ(fromMask.SmallImage().GetAlpha(0, 0), 0);
  EXPECT_EQ(fromMask.SmallImage().GetAlpha(1, 0), 255);
  EXPECT_EQ(fromMask.Width(), 16);  // the only entry serves as both sizes
  EXPECT_TRUE(fromMask.SmallImage().SamePixels(fromMask.LargeImage()));

  // Every cut of a good file is refused cleanly, never read past its end.
  for (std::size_t n = 0; n < file.size(); n += 97) {
    std::vector<std::uint8_t> cut(file.begin(), file.begin() + std::ptrdiff_t(n));
    EXPECT_THROW(back.LoadFromBytes(cut), EInvalidGraphic) << n;
  }
  std::vector<std::uint8_t> lying = file;
  lying[6 + 12] = 0xF0;  // entry offset far beyond the file
  EXPECT_THROW(back.LoadFromBytes(lying), EInvalidGraphic);
  EXPECT_TRUE(back.LargeImage().SamePixels(icon.LargeImage()));
  EXPECT_THROW(back.SetWidth(3), EInvalidGraphicOperation);
  EXPECT_THROW(TIcon().SaveToBytes(), EInvalidGraphicOperation);
}

TEST(Icon, SeedFilesOfEveryEntryKindLoad) {
  // The fuzzer's seeds: 32-bit, 24-bit with a mask, 8-bit, PNG and 4-bit entries.
  for (const char* name : {"argb_16_32.ico", "rgb_mask_16.ico", "pal8_32.ico", "png_48_16.ico"}) {
    TIcon icon;
    EXPECT_NO_THROW(icon.LoadFromFile(std::string("tests/fuzz/corpus/ico/") + name)) << name;
    EXPECT_EQ(icon.SmallImage().Width(), 16) << name;
  }
  TIcon png;
  png.LoadFromFile("tests/fuzz/corpus/ico/png_48_16.ico");
  EXPECT_EQ(png.Width(), 48);  // the only entry besides the small one
  EXPECT_EQ(png.LargeImage().GetAlpha(3, 3), 0);
  EXPECT_EQ(png.LargeImage().GetAlpha(4, 3), 255);
  TIcon argb;
  argb.LoadFromFile("tests/fuzz/corpus/ico/argb_16_32.ico");
  EXPECT_EQ(argb.Width(), 32);
  // Holes on the file's diagonal, which is the picture's anti-diagonal (rows bottom-up).
  EXPECT_EQ(argb.LargeImage().GetAlpha(5, 26), 0);
  EXPECT_EQ(argb.SmallImage().GetAlpha(5, 10), 0);
  EXPECT_EQ(argb.SmallImage().GetAlpha(6, 10), 255);
}

TEST(ImageList, StripsMasksAndGreyedDrawing) {
  TImageList list;
  list.SetWidth(8);
  list.SetHeight(8);
  TBitmap strip(20, 8);  // two whole images; the rest is left out
  strip.Canvas().Brush().SetColor(clFuchsia);
  strip.Canvas().FillRect({0, 0, 20, 8});
  strip.Canvas().Brush().SetColor(clRed);
  strip.Canvas().FillRect({2, 2, 4, 4});
  EXPECT_EQ(list.AddMasked(&strip, clFuchsia), 0);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_THROW(list.Add(nullptr), EInvalidOperation);
  TBitmap target(10, 10);
  target.Canvas().Brush().SetColor(clWhite);
  target.Canvas().FillRect({0, 0, 10, 10});
  list.Draw(target.Canvas(), 1, 1, 0);
  EXPECT_EQ(target.Image().GetPixel(3, 3), clRed);
  EXPECT_EQ(target.Image().GetPixel(1, 1), clWhite);
  list.Draw(target.Canvas(), 1, 1, 0, false);
  TColor grey = target.Image().GetPixel(3, 3);
  EXPECT_EQ(GetRValue(grey), GetGValue(grey));
  EXPECT_GT(GetRValue(grey), 127);
  EXPECT_EQ(target.Image().GetPixel(1, 1), clWhite);
  list.Draw(target.Canvas(), 0, 0, 7);  // out of range: nothing
  TBitmap one;
  list.GetBitmap(0, one);
  EXPECT_EQ(one.Width(), 8);
  EXPECT_EQ(one.Image().GetPixel(2, 2), clRed);
  EXPECT_THROW(list.Delete(2), EInvalidOperation);
  list.Delete(1);
  EXPECT_EQ(list.Count(), 1);
  list.SetWidth(16);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.ClassName(), "TImageList");
}

}  // namespace
}  // namespace vm::tk
