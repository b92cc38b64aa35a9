// Small helpers for pixel-exact tests: bitmaps filled with a guard colour in
// either row order, and readable pixel dumps for failure messages.
#pragma once

#include <cstdio>
#include <string>

#include "platform/gfx/Bitmap.h"

namespace vm::test {

constexpr TColor Guard = 0x00123456;

inline TBitmap Filled(int w, int h, bool bottomUp, TColor c = Guard,
                      TPixelFormat f = TPixelFormat::pf24bit) {
  TBitmap b(w, h, f, bottomUp);
  b.Fill(c);
  return b;
}

inline TColor Grey(int v) {
  return RGB(v, v, v);
}

// Every pixel outside r (exclusive bounds) still holds c.
inline bool OutsideIs(const TBitmap& b, const TRect& r, TColor c) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (!r.Contains({x, y}) && b.GetPixel(x, y) != c) return false;
  return true;
}

inline std::string Dump(const TBitmap& b) {
  std::string s;
  char buf[16];
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      std::snprintf(buf, sizeof buf, "%06X ", b.GetPixel(x, y));
      s += buf;
    }
    s += '\n';
  }
  return s;
}

}  // namespace vm::test
