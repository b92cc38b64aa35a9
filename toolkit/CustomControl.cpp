#include "toolkit/CustomControl.h"

namespace vm {

void TCustomControl::PaintWindow(HDC dc) {
  struct TReset {
    HDC& Dc;
    ~TReset() { Dc = nullptr; }
  } reset{paintDC_};
  paintDC_ = dc;
  int level = dc->SaveDC();
  try {
    Paint();
  } catch (...) {
    dc->RestoreDC(level);
    throw;
  }
  dc->RestoreDC(level);
}

}  // namespace vm
