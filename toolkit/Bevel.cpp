#include "toolkit/Bevel.h"

#include "platform/gfx/ClassicDraw.h"
#include "platform/gfx/SysColors.h"

namespace vm {

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
  width_ = 50;
  height_ = 50;
  controlStyle_ |= csReplicatable;
}

void TBevel::SetShape(TBevelShape v) {
  if (v == shape_) return;
  shape_ = v;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle v) {
  if (v == style_) return;
  style_ = v;
  Invalidate();
}

void TBevel::Paint() {
  HDC dc = PaintDC();
  // A lowered bevel is dark above and left, light below and right.
  TColor dark = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
  if (style_ == bsRaised) std::swap(dark, light);
  int w = width_, h = height_;
  auto hline = [&](TColor c, int x0, int x1, int y) {
    if (x1 > x0) dc->FillRect(Rect(x0, y, x1, y + 1), c);
  };
  auto vline = [&](TColor c, int x, int y0, int y1) {
    if (y1 > y0) dc->FillRect(Rect(x, y0, x + 1, y1), c);
  };
  // An outline of r (inclusive corners): top and left in c1, right and bottom
  // in c2. The bevel's outline is drawn as two polylines, so unlike the 3-D
  // ring the bottom-left corner is c1's.
  auto ring = [&](const TRect& r, TColor c1, TColor c2) {
    Draw3DRing(dc, Rect(r.Left, r.Top, r.Right + 1, r.Bottom + 1), c1, c2);
    if (r.Right > r.Left) vline(c1, r.Left, r.Bottom, r.Bottom + 1);
  };
  switch (shape_) {
    case bsBox:
      ring(Rect(0, 0, w - 1, h - 1), dark, light);
      break;
    case bsFrame:
      // Etched: a ring in one colour, and one pixel further in, a ring in the other.
      ring(Rect(1, 1, w - 1, h - 1), light, light);
      ring(Rect(0, 0, w - 2, h - 2), dark, dark);
      break;
    case bsTopLine:
      hline(dark, 0, w, 0);
      hline(light, 0, w, 1);
      break;
    case bsBottomLine:
      hline(dark, 0, w, h - 2);
      hline(light, 0, w, h - 1);
      break;
    case bsLeftLine:
      vline(dark, 0, 0, h);
      vline(light, 1, 0, h);
      break;
    case bsRightLine:
      vline(dark, w - 2, 0, h);
      vline(light, w - 1, 0, h);
      break;
    case bsSpacer:
      break;
  }
}

}  // namespace vm
