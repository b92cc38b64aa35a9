#include "toolkit/Pen.h"

namespace vm::tk {

void TPen::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TPen::SetWidth(int width) {
  if (width < 1) width = 1;
  if (width == width_) return;
  width_ = width;
  Changed();
}

void TPen::SetStyle(TPenStyle style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TPen::Assign(const TPen& source) {
  if (color_ == source.color_ && width_ == source.width_ && style_ == source.style_) return;
  color_ = source.color_;
  width_ = source.width_;
  style_ = source.style_;
  Changed();
}

}  // namespace vm::tk
