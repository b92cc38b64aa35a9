// TCustomControl: a windowed control that paints its own face.
//
// The window's WM_PAINT erases the background in Color, then calls Paint with
// the paint context in PaintDC(), then paints the windowless children on top.
#pragma once

#include <memory>

#include "toolkit/Canvas.h"
#include "toolkit/WinControl.h"

namespace vm {

class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner) : TWinControl(owner) {}
  std::string ClassName() const override { return "TCustomControl"; }

 protected:
  // Draws the control's face into PaintDC() (client coordinates).
  virtual void Paint() {}
  // The context Paint draws into; nullptr outside Paint.
  HDC PaintDC() const { return paintDC_; }
  // The canvas Paint draws on: the paint context, with the control's font.
  tk::TCanvas* Canvas() const { return canvas_.get(); }
  void PaintWindow(HDC dc) override;

 private:
  HDC paintDC_ = nullptr;
  std::unique_ptr<tk::TCanvas> canvas_ = std::make_unique<tk::TCanvas>();
};

}  // namespace vm
