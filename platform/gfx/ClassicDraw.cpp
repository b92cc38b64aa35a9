#include "platform/gfx/ClassicDraw.h"

#include <algorithm>

#include "platform/gfx/SysColors.h"

namespace vm {

namespace {

TColor Sys(int index) {
  return GetSysColor(index);
}

struct TRing {
  TColor TopLeft = CLR_NONE;
  TColor BottomRight = CLR_NONE;
};

TRect Shrink(const TRect& r, std::uint32_t sides) {
  TRect s = r;
  if (sides & BF_LEFT) ++s.Left;
  if (sides & BF_TOP) ++s.Top;
  if (sides & BF_RIGHT) --s.Right;
  if (sides & BF_BOTTOM) --s.Bottom;
  s.Right = std::max(s.Right, s.Left);
  s.Bottom = std::max(s.Bottom, s.Top);
  return s;
}

TRing OuterColours(std::uint32_t edge, std::uint32_t flags) {
  if (flags & BF_MONO) return {Sys(COLOR_WINDOWFRAME), Sys(COLOR_WINDOWFRAME)};
  if (flags & BF_FLAT) return {Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNSHADOW)};
  bool soft = flags & BF_SOFT;
  if (edge & BDR_RAISEDOUTER)
    return {Sys(soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT), Sys(COLOR_3DDKSHADOW)};
  return {Sys(soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT)};
}

TRing InnerColours(std::uint32_t edge, std::uint32_t flags) {
  if (flags & BF_MONO) return {Sys(COLOR_WINDOW), Sys(COLOR_WINDOW)};
  if (flags & BF_FLAT) return {Sys(COLOR_BTNFACE), Sys(COLOR_BTNFACE)};
  bool soft = flags & BF_SOFT;
  if (edge & BDR_RAISEDINNER)
    return {Sys(soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW)};
  return {Sys(soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT)};
}

// A solid triangle pointing along dir (0 up, 1 down, 2 left, 3 right), depth
// rows deep, its apex on the centre line of r.
void Arrow(TDC& dc, const TRect& r, int dir, int depth, TColor ink) {
  int cx = r.Left + (r.Width() - 1) / 2, cy = r.Top + (r.Height() - 1) / 2;
  int first = depth / 2;
  for (int i = 0; i < depth; ++i) {
    int half = (dir == 0 || dir == 2) ? i : depth - 1 - i;
    if (dir <= 1)
      dc.FillRect({cx - half, cy - first + i, cx + half + 1, cy - first + i + 1}, ink);
    else
      dc.FillRect({cx - first + i, cy - half, cx - first + i + 1, cy + half + 1}, ink);
  }
}

// The square of the shorter side, centred in r.
TRect CentredSquare(const TRect& r) {
  int s = std::min(r.Width(), r.Height());
  int x = r.Left + (r.Width() - s) / 2, y = r.Top + (r.Height() - s) / 2;
  return Bounds(x, y, s, s);
}

// The classic check mark: seven columns of three-pixel strokes, down then up.
void CheckMark(TDC& dc, TPoint origin, TColor ink) {
  static constexpr int top[7] = {2, 3, 4, 3, 2, 1, 0};
  for (int i = 0; i < 7; ++i) dc.FillRect(Bounds(origin.X + i, origin.Y + top[i], 1, 3), ink);
}

// Alternate pixels of two colours (the platform's checked-and-pressed look).
void Dither(TDC& dc, const TRect& r, TColor a, TColor b) {
  dc.FillPattern(r, CheckerPattern, {0, 0}, b, a);
}

// The whole push button of a frame control; the inside is returned.
TRect PushFrame(TDC& dc, const TRect& r, std::uint32_t state) {
  TRect in = r;
  if (state & DFCS_MONO) {
    DrawEdge(&dc, &in, BDR_OUTER, BF_RECT | BF_MONO | BF_MIDDLE | BF_ADJUST);
  } else if (state & DFCS_FLAT) {
    DrawEdge(&dc, &in, BDR_OUTER, BF_RECT | BF_FLAT | BF_MIDDLE | BF_ADJUST);
  } else if (state & (DFCS_PUSHED | DFCS_CHECKED)) {
    DrawEdge(&dc, &in, EDGE_SUNKEN, BF_RECT | BF_SOFT | BF_ADJUST);
    if ((state & DFCS_CHECKED) && !(state & DFCS_PUSHED))
      Dither(dc, in, Sys(COLOR_BTNFACE), Sys(COLOR_BTNHIGHLIGHT));
    else
      dc.FillRect(in, Sys(COLOR_BTNFACE));
  } else {
    DrawEdge(&dc, &in, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE | BF_ADJUST);
  }
  return in;
}

// A glyph drawn in ink, or embossed (highlight one pixel down-right, shadow
// on top) when inactive.
template <class Paint>
void Glyph(std::uint32_t state, TColor ink, Paint paint) {
  if (state & DFCS_INACTIVE) {
    paint(1, Sys(COLOR_BTNHIGHLIGHT));
    paint(0, Sys(COLOR_BTNSHADOW));
  } else {
    paint(0, ink);
  }
}

bool CheckBox(TDC& dc, const TRect& rc, std::uint32_t state) {
  TRect box = CentredSquare(rc);
  if (box.IsEmpty()) return true;
  bool three = (state & 0xFF) == DFCS_BUTTON3STATE;
  TRect in = box;
  if (state & DFCS_MONO)
    DrawEdge(&dc, &in, BDR_OUTER, BF_RECT | BF_MONO | BF_ADJUST);
  else if (state & DFCS_FLAT)
    DrawEdge(&dc, &in, BDR_OUTER, BF_RECT | BF_FLAT | BF_ADJUST);
  else
    DrawEdge(&dc, &in, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  bool grey = (state & (DFCS_INACTIVE | DFCS_PUSHED)) != 0;
  if (!(state & DFCS_TRANSPARENT)) {
    if (three && (state & DFCS_CHECKED) && !grey)
      Dither(dc, in, Sys(COLOR_WINDOW), Sys(COLOR_BTNFACE));
    else
      dc.FillRect(in, Sys(grey ? COLOR_BTNFACE : COLOR_WINDOW));
  }
  if (state & DFCS_CHECKED) {
    TColor ink = (state & DFCS_INACTIVE) || three ? Sys(COLOR_GRAYTEXT) : Sys(COLOR_WINDOWTEXT);
    CheckMark(dc, {in.Left + (in.Width() - 7) / 2, in.Top + (in.Height() - 7) / 2}, ink);
  }
  return true;
}

// Squared distance test in doubled coordinates: is the centre of pixel (x, y)
// of a d-wide square inside the circle of radius r (doubled: r2)?
bool InCircle(int x, int y, int d, int r2) {
  int dx = 2 * x + 1 - d, dy = 2 * y + 1 - d;
  return dx * dx + dy * dy <= r2 * r2;
}

bool RadioButton(TDC& dc, const TRect& rc, std::uint32_t state) {
  TRect box = CentredSquare(rc);
  int d = box.Width();
  if (d <= 0) return true;
  std::uint32_t part = state & 0xFF;
  bool mask = part == DFCS_BUTTONRADIOMASK;
  bool grey = (state & (DFCS_INACTIVE | DFCS_PUSHED)) != 0;
  // Rings from the outside in: outer edge, inner edge, the field; then the dot.
  TRing outer{Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT)};
  TRing inner{Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT)};
  if (state & (DFCS_MONO | DFCS_FLAT)) {
    TColor c = Sys((state & DFCS_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW);
    outer = {c, c};
    inner = {Sys(COLOR_WINDOW), Sys(COLOR_WINDOW)};
  }
  TColor field = Sys(grey ? COLOR_BTNFACE : COLOR_WINDOW);
  TColor dot = Sys((state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
  int dotR2 = std::max(2, d / 3);  // a dot of about a third of the diameter
  for (int y = 0; y < d; ++y)
    for (int x = 0; x < d; ++x) {
      if (!InCircle(x, y, d, d)) {
        if (mask) dc.FillRect(Bounds(box.Left + x, box.Top + y, 1, 1), clWhite);
        continue;
      }
      TColor c;
      bool topLeft = x + y < d - 1;
      if (mask)
        c = clBlack;
      else if (!InCircle(x, y, d, d - 2))
        c = topLeft ? outer.TopLeft : outer.BottomRight;
      else if (!InCircle(x, y, d, d - 4))
        c = topLeft ? inner.TopLeft : inner.BottomRight;
      else if ((state & DFCS_CHECKED) && InCircle(x, y, d, dotR2))
        c = dot;
      else if (state & DFCS_TRANSPARENT)
        continue;
      else
        c = field;
      dc.FillRect(Bounds(box.Left + x, box.Top + y, 1, 1), c);
    }
  return true;
}

bool ScrollPart(TDC& dc, const TRect& rc, std::uint32_t state) {
  std::uint32_t part = state & 0xFF;
  if (part == DFCS_SCROLLSIZEGRIP || part == DFCS_SCROLLSIZEGRIPRIGHT) {
    if (!(state & DFCS_TRANSPARENT)) dc.FillRect(rc, Sys(COLOR_BTNFACE));
    // Three ridges of diagonal lines (light, dark, dark) from the corner.
    int n = std::min(rc.Width(), rc.Height());
    bool right = part == DFCS_SCROLLSIZEGRIP;
    for (int k = 1; k < std::min(n, 13); ++k) {
      int phase = k % 4;
      if (phase == 0) continue;
      TColor c = Sys(phase == 1 ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
      for (int i = 0; i <= k - 1; ++i) {
        int y = rc.Bottom - 1 - i;
        int off = k - 1 - i;  // distance from the corner along the bottom
        int x = right ? rc.Right - 1 - off : rc.Left + off;
        dc.FillRect(Bounds(x, y, 1, 1), c);
      }
    }
    return true;
  }
  int dir;
  switch (part) {
    case DFCS_SCROLLUP:
      dir = 0;
      break;
    case DFCS_SCROLLDOWN:
    case DFCS_SCROLLCOMBOBOX:
      dir = 1;
      break;
    case DFCS_SCROLLLEFT:
      dir = 2;
      break;
    case DFCS_SCROLLRIGHT:
      dir = 3;
      break;
    default:
      return false;
  }
  // A pushed scroll arrow is drawn flat, its arrow one pixel down and right.
  std::uint32_t frame = state;
  if (state & DFCS_PUSHED) frame = (state & ~DFCS_PUSHED) | DFCS_FLAT;
  TRect in = PushFrame(dc, rc, frame);
  int shift = (state & DFCS_PUSHED) ? 1 : 0;
  int depth = std::max(1, (std::min(rc.Width(), rc.Height()) - 4) / 3);
  Glyph(state, Sys(COLOR_BTNTEXT),
        [&](int d, TColor c) { Arrow(dc, rc.Offset(shift + d, shift + d), dir, depth, c); });
  (void)in;
  return true;
}

bool CaptionPart(TDC& dc, const TRect& rc, std::uint32_t state) {
  std::uint32_t part = state & 0xFF;
  if (part > DFCS_CAPTIONHELP) return false;
  PushFrame(dc, rc, state);
  int p = (state & DFCS_PUSHED) ? 1 : 0;
  int cx = rc.Left + rc.Width() / 2 + p, cy = rc.Top + rc.Height() / 2 + p;
  auto ring = [&](const TRect& r, TColor c) { dc.FrameRect(r, c); };
  Glyph(state, Sys(COLOR_BTNTEXT), [&](int d, TColor ink) {
    int x0 = cx + d, y0 = cy + d;
    switch (part) {
      case DFCS_CAPTIONCLOSE:
        // An X of two-pixel strokes, 8 x 7.
        for (int i = 0; i < 7; ++i) {
          dc.FillRect(Bounds(x0 - 4 + i, y0 - 4 + i, 2, 1), ink);
          dc.FillRect(Bounds(x0 + 2 - i, y0 - 4 + i, 2, 1), ink);
        }
        break;
      case DFCS_CAPTIONMIN:
        dc.FillRect(Bounds(x0 - 4, y0 + 1, 6, 2), ink);
        break;
      case DFCS_CAPTIONMAX: {
        TRect box = Bounds(x0 - 5, y0 - 5, 9, 9);
        ring(box, ink);
        dc.FillRect({box.Left, box.Top + 1, box.Right, box.Top + 2}, ink);
        break;
      }
      case DFCS_CAPTIONRESTORE: {
        // Two overlapping windows.
        TRect back = Bounds(x0 - 3, y0 - 5, 6, 6);
        TRect front = Bounds(x0 - 5, y0 - 3, 6, 6);
        dc.FillRect({back.Left, back.Top, back.Right, back.Top + 2}, ink);
        dc.FillRect({back.Right - 1, back.Top, back.Right, back.Bottom}, ink);
        dc.FillRect({back.Left, back.Top, back.Left + 1, front.Top}, ink);
        dc.FillRect({front.Right, back.Bottom - 1, back.Right, back.Bottom}, ink);
        if (d == 0 || !(state & DFCS_INACTIVE))
          dc.FillRect({front.Left + 1, front.Top + 1, front.Right - 1, front.Bottom - 1},
                      Sys(COLOR_BTNFACE));
        ring(front, ink);
        dc.FillRect({front.Left, front.Top + 1, front.Right, front.Top + 2}, ink);
        break;
      }
      case DFCS_CAPTIONHELP: {
        // A question mark: hook, stem, dot.
        dc.FillRect(Bounds(x0 - 3, y0 - 5, 2, 2), ink);
        dc.FillRect(Bounds(x0 - 2, y0 - 6, 4, 1), ink);
        dc.FillRect(Bounds(x0 + 1, y0 - 5, 2, 3), ink);
        dc.FillRect(Bounds(x0, y0 - 2, 2, 1), ink);
        dc.FillRect(Bounds(x0 - 1, y0 - 1, 2, 2), ink);
        dc.FillRect(Bounds(x0 - 1, y0 + 2, 2, 2), ink);
        break;
      }
    }
  });
  return true;
}

bool MenuPart(TDC& dc, const TRect& rc, std::uint32_t state) {
  std::uint32_t part = state & 0xFF;
  // Menu glyphs are drawn in black on white: menus use them as masks.
  if (!(state & DFCS_TRANSPARENT)) dc.FillRect(rc, clWhite);
  TColor ink = clBlack;
  switch (part) {
    case DFCS_MENUARROW:
    case DFCS_MENUARROWRIGHT: {
      int depth = std::max(1, std::min(rc.Width(), rc.Height()) / 3);
      Arrow(dc, rc, part == DFCS_MENUARROW ? 3 : 2, depth, ink);
      return true;
    }
    case DFCS_MENUCHECK:
      CheckMark(dc, {rc.Left + (rc.Width() - 7) / 2, rc.Top + (rc.Height() - 7) / 2}, ink);
      return true;
    case DFCS_MENUBULLET: {
      TRect box = CentredSquare(rc);
      int d = box.Width();
      int r2 = std::max(2, d / 3);
      for (int y = 0; y < d; ++y)
        for (int x = 0; x < d; ++x)
          if (InCircle(x, y, d, r2)) dc.FillRect(Bounds(box.Left + x, box.Top + y, 1, 1), ink);
      return true;
    }
  }
  return false;
}

}  // namespace

// The top and left lines stop one pixel short of a far corner whose side is
// drawn too, so the bottom and right colours own the corners they share, as
// in the classic look.
void Draw3DRing(HDC dc, const TRect& r, TColor topLeft, TColor bottomRight, std::uint32_t sides) {
  if (!dc || r.IsEmpty()) return;
  bool l = sides & BF_LEFT, t = sides & BF_TOP, rt = sides & BF_RIGHT, b = sides & BF_BOTTOM;
  if (t) dc->FillRect({r.Left, r.Top, rt ? r.Right - 1 : r.Right, r.Top + 1}, topLeft);
  if (l) dc->FillRect({r.Left, r.Top, r.Left + 1, b ? r.Bottom - 1 : r.Bottom}, topLeft);
  if (b) dc->FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottomRight);
  if (rt) dc->FillRect({r.Right - 1, r.Top, r.Right, r.Bottom}, bottomRight);
}

bool DrawEdge(HDC dc, TRect* rc, std::uint32_t edge, std::uint32_t flags) {
  if (!dc || !rc) return false;
  TRect r = *rc;
  if (r.IsEmpty()) return true;
  std::uint32_t sides = flags & BF_RECT;
  if (edge & BDR_OUTER) {
    const TRing c = OuterColours(edge, flags);
    Draw3DRing(dc, r, c.TopLeft, c.BottomRight, sides);
    r = Shrink(r, sides);
  }
  if (edge & BDR_INNER) {
    const TRing c = InnerColours(edge, flags);
    Draw3DRing(dc, r, c.TopLeft, c.BottomRight, sides);
    r = Shrink(r, sides);
  }
  if (flags & BF_MIDDLE) dc->FillRect(r, Sys((flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE));
  if (flags & BF_ADJUST) *rc = r;
  return true;
}

bool DrawFrameControl(HDC dc, TRect* rc, std::uint32_t type, std::uint32_t state) {
  if (!dc || !rc) return false;
  TRect r = *rc;
  switch (type) {
    case DFC_BUTTON: {
      std::uint32_t part = state & 0xFF;
      if (part & DFCS_BUTTONPUSH) {
        TRect in = r.IsEmpty() ? r : PushFrame(*dc, r, state);
        if (state & DFCS_ADJUSTRECT) *rc = in;
        return true;
      }
      if (r.IsEmpty()) return true;
      if (part == DFCS_BUTTONCHECK || part == DFCS_BUTTON3STATE) return CheckBox(*dc, r, state);
      if (part == DFCS_BUTTONRADIO || part == DFCS_BUTTONRADIOIMAGE || part == DFCS_BUTTONRADIOMASK)
        return RadioButton(*dc, r, state);
      return false;
    }
    case DFC_SCROLL:
      return r.IsEmpty() || ScrollPart(*dc, r, state);
    case DFC_CAPTION:
      return r.IsEmpty() || CaptionPart(*dc, r, state);
    case DFC_MENU:
      return r.IsEmpty() || MenuPart(*dc, r, state);
  }
  return false;
}

bool DrawFocusRect(HDC dc, const TRect* rc) {
  if (!dc || !rc) return false;
  const TRect& r = *rc;
  if (r.IsEmpty()) return true;
  // Every other pixel of the outline, counted from the top-left corner; the
  // four sides never overlap, so drawing it twice takes it away again.
  const TPoint corner{r.Left, r.Top};
  dc->InvertPattern({r.Left, r.Top, r.Right, r.Top + 1}, CheckerPattern, corner);
  if (r.Height() > 1)
    dc->InvertPattern({r.Left, r.Bottom - 1, r.Right, r.Bottom}, CheckerPattern, corner);
  dc->InvertPattern({r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1}, CheckerPattern, corner);
  if (r.Width() > 1)
    dc->InvertPattern({r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1}, CheckerPattern, corner);
  return true;
}

}  // namespace vm
