// Helpers of the painting tests: a hand-built skin model with a synthetic
// master bitmap, and pictures whose pixels tell where they came from.
#pragma once

#include <memory>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "skin/data/SkinManager.h"
#include "skin/data/SkinTypes.h"
#include "skin/paint/pixels/EngineColors.h"

namespace vm::test {

constexpr TColor Guard = 0x00123456;  // outside every rectangle under test
constexpr TColor Magenta = 0x00FF00FF;

// A colour that encodes a source position: red = x, green = y, blue = tag.
constexpr TColor Coded(int x, int y, int tag = 0) {
  return RGB(x, y, tag);
}

inline TBitmap MakeBitmap(int w, int h, TColor fill, bool bottomUp = false) {
  TBitmap b(w, h, TPixelFormat::pf24bit, bottomUp);
  b.Fill(fill);
  return b;
}

// A master bitmap in which every pixel is Coded(x, y, tag).
inline std::shared_ptr<TBitmap> CodedMaster(int w, int h, bool bottomUp = false, int tag = 0) {
  auto b = std::make_shared<TBitmap>(w, h, TPixelFormat::pf24bit, bottomUp);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b->SetPixel(x, y, Coded(x, y, tag));
  return b;
}

inline TsMaskData MakeMask(TsSkinManager* m, TRect r, int count, int maskType, int wl, int wt,
                           int wr, int wb, int stretchMode = 0) {
  TsMaskData md;
  md.Manager = m;
  md.R = r;
  md.ImageCount = std::int16_t(count);
  md.MaskType = std::int16_t(maskType);
  md.WL = std::int16_t(wl);
  md.WT = std::int16_t(wt);
  md.WR = std::int16_t(wr);
  md.WB = std::int16_t(wb);
  md.StretchMode = std::int16_t(stretchMode);
  return md;
}

// Counts pixels of a colour inside or outside a rectangle.
inline int CountOutside(const TBitmap& b, const TRect& r, TColor c) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (!r.Contains({x, y}) && b.GetPixel(x, y) != c) ++n;
  return n;
}

// Resets the engine-wide colours around a test.
struct EngineColorsGuard {
  EngineColorsGuard() { KeyFillColor = ParentColor = Magenta; }
  ~EngineColorsGuard() { KeyFillColor = ParentColor = Magenta; }
};

}  // namespace vm::test
