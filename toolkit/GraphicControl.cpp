#include "toolkit/GraphicControl.h"

namespace vm {

void TGraphicControl::PaintTo(HDC dc) {
  struct TReset {
    HDC& Dc;
    ~TReset() { Dc = nullptr; }
  } reset{paintDC_};
  paintDC_ = dc;
  Paint();
}

}  // namespace vm
