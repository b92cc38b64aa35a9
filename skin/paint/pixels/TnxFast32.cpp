#include "skin/paint/pixels/TnxFast32.h"

namespace vm {

bool TnxFast32::Attach(const TBitmap& bitmap) {
  if (bitmap.Width() < 2 || bitmap.Height() < 2 || bitmap.PixelFormat() != TPixelFormat::pf32bit) {
    Width = 0;
    return false;
  }
  Bitmap = &bitmap;
  Width = bitmap.Width();
  Height = bitmap.Height();
  Start = bitmap.Start();
  RowStep = bitmap.RowStep();
  return true;
}

}  // namespace vm
