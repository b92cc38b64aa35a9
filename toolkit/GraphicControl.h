// TGraphicControl: a control without a window of its own.
//
// Its parent paints it: in the parent's WM_PAINT the context's origin is moved
// to the control's top-left and clipped to its bounds, and Paint draws into
// PaintDC() in the control's own coordinates. Its mouse messages come from the
// parent too. Windowless controls are cheap: a form full of labels and bevels
// owns one window.
#pragma once

#include <memory>

#include "toolkit/Canvas.h"
#include "toolkit/Control.h"

namespace vm {

class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner) : TControl(owner) {}
  std::string ClassName() const override { return "TGraphicControl"; }

 protected:
  virtual void Paint() {}
  // The context Paint draws into (origin at the control's top-left, clipped
  // to its bounds); nullptr outside Paint.
  HDC PaintDC() const { return paintDC_; }
  // The canvas Paint draws on: the paint context, with the control's font.
  tk::TCanvas* Canvas() const { return canvas_.get(); }
  void PaintTo(HDC dc) override;

 private:
  HDC paintDC_ = nullptr;
  std::unique_ptr<tk::TCanvas> canvas_ = std::make_unique<tk::TCanvas>();
};

}  // namespace vm
