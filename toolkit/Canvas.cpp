#include "toolkit/Canvas.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/gfx/SysColors.h"
#include "toolkit/Graphic.h"
#include "toolkit/SysUtils.h"

namespace vm::tk {

TCanvas::TCanvas()
    : font_(std::make_unique<TFont>()),
      pen_(std::make_unique<TPen>()),
      brush_(std::make_unique<TBrush>()) {}

TCanvas::~TCanvas() = default;

HDC TCanvas::Handle() {
  if (!dc_) CreateHandle();
  return dc_;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_) return;
  owned_.reset();
  dc_ = dc;
}

void TCanvas::SetOwnedHandle(std::unique_ptr<TDC> dc) {
  dc_ = dc.get();
  owned_ = std::move(dc);
}

TDC& TCanvas::Required() {
  if (!dc_) CreateHandle();
  if (!dc_)
    throw EInvalidOperation("На этой канве нельзя рисовать: у неё нет контекста устройства");
  return *dc_;
}

void TCanvas::PreparePen(TDC& dc) {
  dc.SetPenColor(pen_->Style() == psClear ? CLR_NONE : pen_->Color());
}

void TCanvas::PrepareBrush(TDC& dc) {
  dc.SetBrushColor(brush_->Style() == bsClear ? CLR_NONE : brush_->Color());
}

void TCanvas::PrepareText(TDC& dc) {
  dc.SelectFont(font_->PlatformFont());
  dc.SetTextColor(font_->Color());
  if (brush_->Style() == bsClear) {
    dc.SetBkMode(TRANSPARENT);
  } else {
    dc.SetBkMode(OPAQUE);
    dc.SetBkColor(brush_->Color());
  }
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  TDC& dc = Required();
  PrepareText(dc);
  dc.TextOut(x, y, text);
  dc.MoveTo(x + dc.GetTextExtent(text).cx, y);
  Changed();
}

void TCanvas::TextRect(const TRect& rect, int x, int y, std::string_view text) {
  TDC& dc = Required();
  PrepareText(dc);
  TDCSaver save(dc);
  if (brush_->Style() != bsClear) dc.FillRect(rect, brush_->Color());
  dc.IntersectClipRect(rect);
  dc.SetBkMode(TRANSPARENT);
  dc.TextOut(x, y, text);
  Changed();
}

TSize TCanvas::TextExtent(std::string_view text) {
  TDC& dc = Required();
  dc.SelectFont(font_->PlatformFont());
  return dc.GetTextExtent(text);
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Required();
  graphic->Draw(*this, Bounds(x, y, graphic->Width(), graphic->Height()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Required();
  graphic->Draw(*this, rect);
  Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) {
  TDC& dc = Required();
  TDC& src = source.Required();
  PrepareBrush(dc);
  if (dest.Width() == sourceRect.Width() && dest.Height() == sourceRect.Height())
    dc.BitBlt(dest.Left, dest.Top, dest.Width(), dest.Height(), src, sourceRect.Left,
              sourceRect.Top, copyMode_);
  else
    dc.StretchBlt(dest.Left, dest.Top, dest.Width(), dest.Height(), src, sourceRect.Left,
                  sourceRect.Top, sourceRect.Width(), sourceRect.Height(), copyMode_);
  Changed();
}

void TCanvas::FillRect(const TRect& rect) {
  TDC& dc = Required();
  if (brush_->Style() != bsClear) dc.FillRect(rect, brush_->Color());
  Changed();
}

void TCanvas::FrameRect(const TRect& rect) {
  TDC& dc = Required();
  if (brush_->Style() != bsClear) dc.FrameRect(rect, brush_->Color());
  Changed();
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  TDC& dc = Required();
  TRect r{std::min(left, right), std::min(top, bottom), std::max(left, right),
          std::max(top, bottom)};
  if (r.IsEmpty()) return;
  const int w = pen_->Width();
  const TPenStyle style = pen_->Style();
  if (style == psClear) {
    if (brush_->Style() != bsClear) dc.FillRect(r, brush_->Color());
  } else if (w == 1 && style == psSolid) {
    PreparePen(dc);
    PrepareBrush(dc);
    dc.Rectangle(r);
  } else {
    // A wide pen lies inside the rectangle; a patterned one runs around it.
    int inset = style == psSolid ? w : 1;
    TRect inner{r.Left + inset, r.Top + inset, r.Right - inset, r.Bottom - inset};
    if (brush_->Style() != bsClear && !inner.IsEmpty()) dc.FillRect(inner, brush_->Color());
    if (style == psSolid) {
      TColor c = pen_->Color();
      if (inner.IsEmpty()) {
        dc.FillRect(r, c);
      } else {
        dc.FillRect({r.Left, r.Top, r.Right, inner.Top}, c);
        dc.FillRect({r.Left, inner.Bottom, r.Right, r.Bottom}, c);
        dc.FillRect({r.Left, inner.Top, inner.Left, inner.Bottom}, c);
        dc.FillRect({inner.Right, inner.Top, r.Right, inner.Bottom}, c);
      }
    } else {
      patternPhase_ = 0;
      TPoint p[5] = {{r.Left, r.Top},
                     {r.Right - 1, r.Top},
                     {r.Right - 1, r.Bottom - 1},
                     {r.Left, r.Bottom - 1},
                     {r.Left, r.Top}};
      for (int i = 0; i < 4; ++i) StyledLine(dc, p[i], p[i + 1]);
    }
  }
  Changed();
}

void TCanvas::MoveTo(int x, int y) {
  Required().MoveTo(x, y);
  patternPhase_ = 0;
}

TPoint TCanvas::PenPos() {
  return Required().CurrentPosition();
}

void TCanvas::LineTo(int x, int y) {
  TDC& dc = Required();
  if (pen_->Style() == psSolid && pen_->Width() == 1) {
    PreparePen(dc);
    dc.LineTo(x, y);
  } else {
    if (pen_->Style() != psClear) StyledLine(dc, dc.CurrentPosition(), {x, y});
    dc.MoveTo(x, y);
  }
  Changed();
}

// Lines the context cannot draw itself: wide pens (a square of Width pixels
// centred on every point) and patterned pens (on/off runs continuing from one
// segment of a polyline to the next). The last point is left out, as for
// one-pixel lines.
void TCanvas::StyledLine(TDC& dc, TPoint a, TPoint b) {
  static constexpr int Dash[] = {18, 6};
  static constexpr int Dot[] = {3, 3};
  static constexpr int DashDot[] = {9, 6, 3, 6};
  const int* pattern = nullptr;
  int patternLength = 0;
  switch (pen_->Style()) {
    case psDash:
      pattern = Dash;
      patternLength = 2;
      break;
    case psDot:
      pattern = Dot;
      patternLength = 2;
      break;
    case psDashDot:
      pattern = DashDot;
      patternLength = 4;
      break;
    default:
      break;
  }
  int period = 0;
  for (int i = 0; i < patternLength; ++i) period += pattern[i];
  const int w = pen_->Width();
  const int before = (w - 1) / 2;
  const TColor color = pen_->Color();
  // Only the part of the line near what can be painted is walked, so a line
  // to a far-away point costs no more than one across the bitmap.
  TRect box = dc.ClipBox();
  if (box.IsEmpty()) return;
  const double margin = w + 1;
  const double bl = box.Left - margin, bt = box.Top - margin, br = box.Right + margin,
               bb = box.Bottom + margin;
  double t0 = 0, t1 = 1;
  const double fx = a.X, fy = a.Y, gx = double(b.X) - a.X, gy = double(b.Y) - a.Y;
  auto clip = [&](double p, double q) {
    if (p == 0) return q >= 0;
    double t = q / p;
    if (p < 0) {
      if (t > t1) return false;
      t0 = std::max(t0, t);
    } else {
      if (t < t0) return false;
      t1 = std::min(t1, t);
    }
    return true;
  };
  if (!clip(-gx, fx - bl) || !clip(gx, br - fx) || !clip(-gy, fy - bt) || !clip(gy, bb - fy))
    return;
  std::int64_t x = a.X, y = a.Y, ex = b.X, ey = b.Y;
  if (t0 > 0 || t1 < 1) {
    // Only long lines are cut; the walk then starts and ends on the line near the box.
    x = std::int64_t(fx + t0 * gx);
    y = std::int64_t(fy + t0 * gy);
    if (t1 < 1) {
      ex = std::int64_t(fx + t1 * gx);
      ey = std::int64_t(fy + t1 * gy);
    }
  }
  std::int64_t dx = ex > x ? ex - x : x - ex, dy = -(ey > y ? ey - y : y - ey);
  int sx = x < ex ? 1 : -1, sy = y < ey ? 1 : -1;
  // Whether the next point is drawn; the pattern runs on from segment to
  // segment.
  auto nextOn = [&] {
    if (!pattern) return true;
    int pos = patternPhase_ % period, i = 0;
    while (pos >= pattern[i]) pos -= pattern[i++];
    patternPhase_ = (patternPhase_ + 1) % period;
    return (i % 2) == 0;
  };
  if (w == 1 && (x == ex || y == ey)) {
    // Level and upright lines: the points of up to 256 steps at a time as a
    // mask in screen order, filled through the clip in one pass.
    const bool level = y == ey;
    const int step = level ? sx : sy;
    const std::int64_t steps = level ? dx : -dy;
    std::uint8_t mask[256];
    for (std::int64_t done = 0; done < steps;) {
      const int count = int(std::min<std::int64_t>(256, steps - done));
      int first = count, last = -1;  // drawn mask entries
      for (int i = 0; i < count; ++i) {
        const int at = step > 0 ? i : count - 1 - i;
        mask[at] = nextOn();
        if (mask[at]) first = std::min(first, at), last = std::max(last, at);
      }
      if (last >= 0) {
        // Mask entry 0 is the step nearest the start, or the farthest when
        // the line runs left or up.
        const std::int64_t origin = step > 0 ? done : -(done + count - 1);
        const int along = int((level ? x : y) + origin + first), n = last - first + 1;
        if (level)
          dc.FillMasked(along, int(y), n, 1, mask + first, 0, color);
        else
          dc.FillMasked(int(x), along, 1, n, mask + first, 1, color);
      }
      done += count;
    }
    return;
  }
  // Slanted one-pixel lines are written straight into the bitmap: each point
  // is tested against the clip rectangle that held the last one, and only
  // when it leaves it is the clip's band for its row searched.
  const bool direct = w == 1;
  TBitmap& target = dc.Bitmap();
  const TRegion& clipRegion = dc.EffectiveClip();
  const TColor rgb = ColorToRGB(color);
  const int bpp = target.BytesPerPixel();
  TRect inside{}, painted{};
  auto plot = [&](int px, int py) {
    const TPoint p = dc.LogicalToBitmap(TPoint{px, py});
    if (!inside.Contains(p)) {
      inside = {};
      for (const TRect& r : clipRegion.RectsInRows(p.Y, p.Y + 1))
        if (r.Contains(p)) {
          inside = r;
          break;
        }
      if (inside.IsEmpty()) return;
    }
    std::uint8_t* d = target.ScanLine(p.Y) + std::size_t(p.X) * std::size_t(bpp);
    d[0] = std::uint8_t(GetBValue(rgb)), d[1] = std::uint8_t(GetGValue(rgb));
    d[2] = std::uint8_t(GetRValue(rgb));
    painted = painted.Union({p.X, p.Y, p.X + 1, p.Y + 1});
  };
  std::int64_t err = dx + dy;
  while (x != ex || y != ey) {
    if (nextOn()) {
      if (direct)
        plot(int(x), int(y));
      else
        dc.FillRect(Bounds(int(x) - before, int(y) - before, w, w), color);
    }
    std::int64_t e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
  if (!painted.IsEmpty()) dc.NotePainted(painted);
}

void TCanvas::Polyline(const TPoint* points, int count) {
  if (!points || count < 2) return;
  MoveTo(points[0].X, points[0].Y);
  for (int i = 1; i < count; ++i) LineTo(points[i].X, points[i].Y);
}

void TCanvas::Polygon(const TPoint* points, int count) {
  if (!points || count < 2) return;
  TDC& dc = Required();
  if (pen_->Style() == psSolid && pen_->Width() == 1) {
    PreparePen(dc);
    PrepareBrush(dc);
    dc.Polygon(points, count);
  } else {
    // Fill without an outline, then draw the outline with the styled pen.
    dc.SetPenColor(CLR_NONE);
    PrepareBrush(dc);
    dc.Polygon(points, count);
    if (pen_->Style() != psClear) {
      patternPhase_ = 0;
      for (int i = 0; i < count; ++i) StyledLine(dc, points[i], points[(i + 1) % count]);
    }
  }
  Changed();
}

TColor TCanvas::Pixels(int x, int y) {
  return Required().GetPixel(x, y);
}

void TCanvas::SetPixels(int x, int y, TColor color) {
  Required().SetPixel(x, y, color);
  Changed();
}

TRect TCanvas::ClipRect() {
  return Required().ClipBox();
}

}  // namespace vm::tk
