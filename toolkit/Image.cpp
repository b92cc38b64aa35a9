#include "toolkit/Image.h"

#include "toolkit/Application.h"
#include "toolkit/Graphic.h"

namespace vm {

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
  width_ = 105;
  height_ = 105;
  picture_ = std::make_unique<tk::TPicture>();
  picture_->OnChange = [this](tk::TPicture*) { PictureChanged(); };
}

void TImage::SetAutoSize(bool v) {
  if (v == autoSize_) return;
  autoSize_ = v;
  if (v) PictureChanged();
}

void TImage::SetStretch(bool v) {
  if (v == stretch_) return;
  stretch_ = v;
  Invalidate();
}

void TImage::SetCenter(bool v) {
  if (v == center_) return;
  center_ = v;
  Invalidate();
}

void TImage::SetTransparent(bool v) {
  if (v == transparent_) return;
  transparent_ = v;
  if (tk::TGraphic* g = picture_->Graphic()) g->SetTransparent(v);  // repaints through OnChange
  Invalidate();
}

void TImage::PictureChanged() {
  drawFailed_ = false;
  tk::TGraphic* g = picture_->Graphic();
  if (g && transparent_ && !g->Transparent()) g->SetTransparent(true);
  if (autoSize_ && g && !g->Empty()) SetBounds(left_, top_, g->Width(), g->Height());
  Invalidate();
}

TRect TImage::DestRect() const {
  tk::TGraphic* g = picture_->Graphic();
  if (!g) return {};
  if (stretch_) return ClientRect();
  int w = g->Width(), h = g->Height();
  if (center_) return Bounds((width_ - w) / 2, (height_ - h) / 2, w, h);
  return Bounds(0, 0, w, h);
}

void TImage::Paint() {
  tk::TGraphic* g = picture_->Graphic();
  if (!g || g->Empty() || drawFailed_) return;
  TRect r = DestRect();
  try {
    if (stretch_)
      Canvas()->StretchDraw(r, g);
    else
      Canvas()->Draw(r.Left, r.Top, g);
  } catch (...) {
    drawFailed_ = true;
    if (!Application) throw;
    Application->HandleException(this);
  }
}

}  // namespace vm
