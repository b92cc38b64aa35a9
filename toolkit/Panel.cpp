#include "toolkit/Panel.h"

#include <algorithm>

#include "platform/gfx/ClassicDraw.h"
#include "platform/gfx/SysColors.h"

namespace vm {

namespace {

// `width` rings just inside r: top and left in topLeft, bottom and right in
// bottomRight; r shrinks by what was drawn.
void Frame3D(HDC dc, TRect& r, TColor topLeft, TColor bottomRight, int width) {
  for (int i = 0; i < width && !r.IsEmpty(); ++i) {
    Draw3DRing(dc, r, topLeft, bottomRight);
    r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  }
}

}  // namespace

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
  width_ = 185;
  height_ = 41;
  controlStyle_ |= csAcceptsControls | csOpaque;
}

void TPanel::SetBevelOuter(TBevelCut v) {
  if (v == bevelOuter_) return;
  bevelOuter_ = v;
  BordersChanged();
}

void TPanel::SetBevelInner(TBevelCut v) {
  if (v == bevelInner_) return;
  bevelInner_ = v;
  BordersChanged();
}

void TPanel::SetBevelWidth(int v) {
  v = std::max(v, 1);
  if (v == bevelWidth_) return;
  bevelWidth_ = v;
  BordersChanged();
}

void TPanel::SetBorderWidth(int v) {
  v = std::max(v, 0);
  if (v == borderWidth_) return;
  borderWidth_ = v;
  BordersChanged();
}

void TPanel::SetAlignment(TAlignment v) {
  if (v == alignment_) return;
  alignment_ = v;
  Invalidate();
}

void TPanel::BordersChanged() {
  Realign();
  Invalidate();
}

int TPanel::BorderSize() const {
  int size = borderWidth_;
  if (bevelOuter_ != bvNone) size += bevelWidth_;
  if (bevelInner_ != bvNone) size += bevelWidth_;
  return size;
}

TRect TPanel::AdjustClientRect() {
  TRect r = ClientRect();
  int b = BorderSize();
  r = Rect(r.Left + b, r.Top + b, std::max(r.Left + b, r.Right - b),
           std::max(r.Top + b, r.Bottom - b));
  return r;
}

void TPanel::Paint() {
  HDC dc = PaintDC();
  TRect r = ClientRect();
  TColor light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
  auto bevel = [&](TBevelCut cut) {
    if (cut == bvNone) return;
    if (cut == bvSpace) {
      Frame3D(dc, r, ColorToRGB(Color()), ColorToRGB(Color()), bevelWidth_);
      return;
    }
    Frame3D(dc, r, cut == bvLowered ? dark : light, cut == bvLowered ? light : dark, bevelWidth_);
  };
  bevel(bevelOuter_);
  Frame3D(dc, r, ColorToRGB(Color()), ColorToRGB(Color()), borderWidth_);
  bevel(bevelInner_);
  dc->FillRect(r, Color());
  std::string text = Caption();
  if (text.empty()) return;
  dc->SelectFont(Font()->PlatformFont());
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(Font()->Color());
  std::uint32_t flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
  if (alignment_ == taCenter) flags |= DT_CENTER;
  if (alignment_ == taRightJustify) flags |= DT_RIGHT;
  dc->DrawText(text, r, flags);
}

}  // namespace vm
