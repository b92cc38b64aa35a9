#include "toolkit/CustomControl.h"

namespace vm {

void TCustomControl::PaintWindow(HDC dc) {
  struct TReset {
    HDC& Dc;
    tk::TCanvas& Canvas;
    ~TReset() {
      Dc = nullptr;
      Canvas.SetHandle(nullptr);
    }
  } reset{paintDC_, *canvas_};
  paintDC_ = dc;
  canvas_->SetHandle(dc);
  canvas_->Font().Assign(*Font());
  canvas_->Brush().SetColor(Color());
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
