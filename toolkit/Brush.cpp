#include "toolkit/Brush.h"

namespace vm::tk {

void TBrush::SetColor(TColor color) {
  if (color == color_ && style_ == bsSolid) return;
  color_ = color;
  style_ = bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TBrush::Assign(const TBrush& source) {
  if (color_ == source.color_ && style_ == source.style_) return;
  color_ = source.color_;
  style_ = source.style_;
  Changed();
}

}  // namespace vm::tk
