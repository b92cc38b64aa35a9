// The image list component's disabled drawing: composed in memory and copied
// once, it must give the bytes of the per-pixel light greys it replaces.
#include "toolkit/ImageList.h"

#include <gtest/gtest.h>

#include "platform/gfx/DC.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Canvas.h"

namespace vm::tk {
namespace {

TEST(ImageListComponent, DisabledImagesMatchTheirPerPixelGreys) {
  // A 16 x 16 strip of two noisy images, one pixel in nine transparent, drawn
  // disabled at offsets that cut it at every edge of the target and through
  // a clip that leaves out a block.
  unsigned seed = 99;
  vm::TBitmap strip(32, 16), mask(32, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) {
      seed = seed * 1103515245u + 12345u;
      strip.SetPixel(x, y, TColor(seed >> 8) & 0xFFFFFF);
      mask.SetPixel(x, y, (seed >> 4) % 9 == 0 ? clWhite : clBlack);
    }
  TBitmap image, maskBitmap;
  image.TakeImage(vm::TBitmap(strip));
  maskBitmap.TakeImage(vm::TBitmap(mask));
  TImageList list(nullptr);
  ASSERT_EQ(list.Add(&image, &maskBitmap), 0);
  for (int index : {0, 1})
    for (TPoint at : {TPoint{3, 4}, TPoint{-5, -7}, TPoint{20, 25}}) {
      vm::TBitmap target(30, 30), want(30, 30);
      target.Fill(RGB(1, 2, 3));
      want.Fill(RGB(1, 2, 3));
      const TRect hole{8, 8, 12, 14};
      for (int j = 0; j < 16; ++j)
        for (int i = 0; i < 16; ++i) {
          const int x = at.X + i, y = at.Y + j;
          if (mask.GetPixel(16 * index + i, j) != 0 || hole.Contains(TPoint{x, y})) continue;
          const TColor c = strip.GetPixel(16 * index + i, j);
          const int light =
              (((GetRValue(c) * 77 + GetGValue(c) * 151 + GetBValue(c) * 28) >> 8) + 255) / 2;
          want.SetPixel(x, y, RGB(light, light, light));
        }
      TDC dc(target);
      dc.ExcludeClipRect(hole);
      TCanvas canvas;
      canvas.SetHandle(&dc);
      list.Draw(canvas, at.X, at.Y, index, false);
      canvas.SetHandle(nullptr);
      for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
          ASSERT_EQ(target.GetPixel(x, y), want.GetPixel(x, y))
              << "image " << index << " at " << at.X << "," << at.Y << ": " << x << "," << y;
    }
}

}  // namespace
}  // namespace vm::tk
