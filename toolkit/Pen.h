// The canvas's pen: the colour, width and style of lines and outlines.
#pragma once

#include <functional>
#include <string>

#include "platform/gfx/Types.h"

namespace vm::tk {

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psClear };

class TPen {
 public:
  TPen() = default;
  TPen(const TPen&) = delete;
  TPen& operator=(const TPen&) = delete;

  std::string ClassName() const { return "TPen"; }

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  // At least 1; smaller values are taken as 1.
  int Width() const { return width_; }
  void SetWidth(int width);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);

  void Assign(const TPen& source);

  std::function<void()> OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange();
  }

  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
};

}  // namespace vm::tk
