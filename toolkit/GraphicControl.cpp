#include "toolkit/GraphicControl.h"

namespace vm {

void TGraphicControl::PaintTo(HDC dc) {
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
  Paint();
}

}  // namespace vm
