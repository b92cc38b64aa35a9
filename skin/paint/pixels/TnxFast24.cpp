#include "skin/paint/pixels/TnxFast24.h"

namespace vm {

bool TnxFast24::Attach(const TBitmap& bitmap) {
  if (bitmap.Width() < 2 || bitmap.Height() < 2 || bitmap.PixelFormat() != TPixelFormat::pf24bit) {
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
