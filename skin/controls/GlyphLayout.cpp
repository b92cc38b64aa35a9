#include "skin/controls/GlyphLayout.h"

namespace vm {

namespace {

bool Horizontal(TButtonLayout l) {
  return l == blGlyphLeft || l == blGlyphRight;
}

}  // namespace

int EffectiveGlyphCount(int numGlyphs, int glyphWidth) {
  if (numGlyphs < 1 || numGlyphs > glyphWidth) return 1;
  return numGlyphs;
}

TRect BitBtnGlyphRect(const TGlyphLayoutInput& in) {
  const int gw = in.Glyph.cx, gh = in.Glyph.cy, tw = in.Text.cx, th = in.Text.cy;
  const int w = in.Width, h = in.Height;
  const int m = in.Margin < 0 ? 0 : in.Margin + 3;
  const int s = in.CaptionShown && gw > 0 ? in.Spacing : 0;
  const int dx = (w - gw - s - tw) / 2 - m;
  const int dy = (h - gh - s - th) / 2 - m;
  int x = 0, y = 0;
  switch (in.Layout) {
    case blGlyphLeft:
      y = (h - gh) / 2;
      x = in.Alignment == taLeftJustify ? m : in.Alignment == taRightJustify ? m + 2 * dx : m + dx;
      break;
    case blGlyphRight:
      y = (h - gh) / 2;
      x = in.Alignment == taLeftJustify    ? w - m - 2 * dx - s - gw
          : in.Alignment == taRightJustify ? w - gw - m
                                           : (w + tw + s - gw) / 2;
      break;
    case blGlyphTop:
      x = (w - gw) / 2 + 1;
      y = m + dy;
      break;
    case blGlyphBottom:
      x = (w - gw) / 2 + 1;
      y = h - m - dy - gh;
      break;
  }
  if (in.Pressed) {
    ++x;
    ++y;
  }
  return TRect{x, y, x + gw, y + gh};
}

TRect BitBtnCaptionRect(const TGlyphLayoutInput& in, bool rightToLeft) {
  const int cw = in.Width, ch = in.Height, gw = in.Glyph.cx, gh = in.Glyph.cy;
  const int tw = in.Text.cx, th = in.Text.cy;
  TButtonLayout layout = in.Layout;
  if (rightToLeft && layout == blGlyphLeft)
    layout = blGlyphRight;
  else if (rightToLeft && layout == blGlyphRight)
    layout = blGlyphLeft;
  const bool across = Horizontal(layout);
  int tx = 0, ty = 0;
  if (across)
    ty = (ch - th + 1) / 2;
  else
    tx = (cw - tw + 1) / 2;
  int spacing = (tw == 0 || gw == 0) ? 0 : in.Spacing;
  int margin = in.Margin;
  const int along = across ? cw : ch;
  const int glyphAlong = across ? gw : gh, textAlong = across ? tw : th;
  if (margin == -1) {
    if (spacing < 0) {
      margin = (along - (glyphAlong + textAlong)) / 3;
      spacing = margin;
    } else {
      margin = in.Alignment == taCenter ? (along - (glyphAlong + spacing + textAlong) + 1) / 2 : 2;
    }
  } else if (spacing < 0) {
    spacing = ((along - margin - glyphAlong) - textAlong) / 2;
  }
  switch (layout) {
    case blGlyphLeft:
      tx = in.Alignment == taLeftJustify    ? margin + gw + spacing
           : in.Alignment == taRightJustify ? cw - margin - tw
                                            : (cw - tw - spacing - gw) / 2 + spacing + gw;
      break;
    case blGlyphRight:
      tx = in.Alignment == taLeftJustify    ? margin
           : in.Alignment == taRightJustify ? (cw - margin - gw) - spacing - tw
                                            : (cw - tw - spacing - gw) / 2;
      break;
    case blGlyphTop:
      ty = (ch - gh - spacing - th) / 2 + gh + spacing;
      break;
    case blGlyphBottom: {
      const int t = (ch - gh - spacing - th) / 2;
      ty = ch - gh - t - spacing - th;
      break;
    }
  }
  TRect r{tx, ty, tx + tw, ty + th};
  if (in.Pressed) r = r.Offset(1, 1);
  return r;
}

void SpeedButtonRects(const TGlyphLayoutInput& in, int dropDown, int textOffset, TRect& glyph,
                      TRect& caption) {
  const int gw = in.Glyph.cx, gh = in.Glyph.cy, tw = in.Text.cx, th = in.Text.cy;
  const int w = in.Width, h = in.Height, d0 = dropDown;
  const int m = in.Margin < 0 ? 0 : in.Margin + 3;
  const int s = gw >= 1 && in.CaptionShown ? in.Spacing : 0;
  const int dx = (w - d0 - gw - s - tw) / 2 - m;
  const int dy = (h - gh - s - th) / 2 - m;
  const TAlignment a = in.Alignment;
  int gx = 0, gy = 0, left = 0, right = 0, top = 0, bottom = 0;
  switch (in.Layout) {
    case blGlyphLeft:
      gx = a == taLeftJustify ? m : a == taRightJustify ? m + 2 * dx : m + dx;
      gy = (h - gh) / 2;
      left = a == taLeftJustify    ? in.Margin + gw + s
             : a == taRightJustify ? m + 2 * dx + gw + s
                                   : m + dx + gw + s;
      right = a == taLeftJustify    ? w - d0 - m - 2 * dx
              : a == taRightJustify ? w - d0 - m
                                    : w - d0 - m - dx;
      break;
    case blGlyphRight:
      gx = a == taLeftJustify    ? w - d0 - m - 2 * dx - s - gw
           : a == taRightJustify ? w - d0 - gw - m
                                 : (w + tw + s - d0 - gw) / 2;
      gy = (h - gh) / 2;
      left = a == taLeftJustify ? m : a == taRightJustify ? m + 2 * dx : m + dx;
      right = left + tw;
      break;
    case blGlyphTop:
    case blGlyphBottom:
      gx = (w - d0 - gw) / 2 + 1;
      gy = in.Layout == blGlyphTop ? dy + m : h - m - dy - gh;
      left = (w - tw - d0) / 2;
      right = w - (w - tw - d0) / 2 - d0;
      break;
  }
  switch (in.Layout) {
    case blGlyphLeft:
    case blGlyphRight:
      top = (h - th) / 2;
      bottom = h - (h - th) / 2;
      break;
    case blGlyphTop:
      top = gh + dy + m + s;
      bottom = h - dy - m;
      break;
    case blGlyphBottom:
      top = m + dy;
      bottom = h - dy - m - gh - s;
      break;
  }
  glyph = TRect{gx, gy, gx + gw, gy + gh};
  caption = TRect{left + textOffset - 1, top, right + textOffset + 2, bottom};
  if (in.Pressed) {
    glyph = glyph.Offset(1, 1);
    caption = caption.Offset(1, 1);
  }
}

}  // namespace vm
