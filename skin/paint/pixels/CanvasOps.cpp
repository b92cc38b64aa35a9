#include "skin/paint/pixels/CanvasOps.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "skin/paint/pixels/Colors.h"

namespace vm {

void FillRectSolid(TDC& dc, const TRect& rect, TColor color) {
  TDCSaver saver(dc);
  dc.FillRect(rect, ResolveColor(color));
}

void Paint3DFrame(TDC& dc, TRect& rect, TColor lightColor, TColor darkColor, int& width) {
  if (width <= 0) return;
  const TColor light = ResolveColor(lightColor);
  const TColor oldPen = dc.PenColor();
  // The frames are walked in 64 bits, and frames none of whose four lines
  // crosses the clip box are counted without being drawn (whether the box
  // lies inside the frames, beside them or anywhere else), so neither a huge
  // rectangle nor a huge width can overflow or turn into a long loop: at most
  // a few frames per row and column of the box are drawn. What reaches the
  // pixels is exactly what drawing every frame would give.
  const TRect box = dc.ClipBox();
  using i64 = std::int64_t;
  // Right and Bottom name the last column and row while the frames are drawn.
  i64 left = rect.Left, top = rect.Top, right = i64(rect.Right) - 1, bottom = i64(rect.Bottom) - 1;
  i64 remaining = width;
  auto shrink = [&](i64 k) {
    left += k;
    top += k;
    right -= k;
    bottom -= k;
    remaining -= k;
  };
  while (remaining > 0) {
    if (box.IsEmpty()) {
      shrink(remaining);
      break;
    }
    // Frame k from here has its left line at column left + k, its right line
    // at right - k, its top line at row top + k and its bottom line at
    // bottom - k. A line can only show while that column (row) is one of the
    // box's; the nearest k at which any of the four does is the next frame
    // worth drawing.
    i64 next = remaining;
    auto candidate = [&](i64 first, i64 last) {
      if (last < 0 || first > last) return;
      next = std::min(next, std::max<i64>(first, 0));
    };
    const i64 bl = box.Left, br = i64(box.Right) - 1, bt = box.Top, bb = i64(box.Bottom) - 1;
    candidate(bl - left, br - left);
    candidate(right - br, right - bl);
    candidate(bt - top, bb - top);
    candidate(bottom - bb, bottom - bt);
    if (next > 0) {
      shrink(std::min(next, remaining));
      continue;
    }
    // Polylines leave out their last point: the light edges stop short of the
    // top-right corner and the dark ones cover the bottom-left corner. The
    // lines are axis-aligned, so moving their points to one pixel outside the
    // clip box changes no visible pixel and keeps the line short.
    auto at = [&](i64 x, i64 y) {
      return TPoint{std::int32_t(std::clamp<i64>(x, i64(box.Left) - 1, box.Right)),
                    std::int32_t(std::clamp<i64>(y, i64(box.Top) - 1, box.Bottom))};
    };
    const TPoint topLeft[3] = {at(left, bottom), at(left, top), at(right, top)};
    dc.SetPenColor(light);
    dc.Polyline(topLeft, 3);
    const TPoint bottomRight[3] = {at(right, top), at(right, bottom), at(left - 1, bottom)};
    dc.SetPenColor(darkColor);
    dc.Polyline(bottomRight, 3);
    shrink(1);
  }
  auto toInt = [](i64 v) { return std::int32_t(std::clamp<i64>(v, INT32_MIN, INT32_MAX)); };
  rect = TRect{toInt(left), toInt(top), toInt(right + 1), toInt(bottom + 1)};
  width = 0;
  dc.SetPenColor(oldPen);
}

void PaintDottedFrame(TDC& dc, const TRect& rect) {
  // Only dots near the visible area can change a pixel, so the loops run over
  // that part alone; a rectangle of any size costs no more than the clip box.
  const TRect box = dc.ClipBox();
  if (box.IsEmpty()) return;
  const std::int64_t left = rect.Left, top = rect.Top, right = rect.Right, bottom = rect.Bottom;
  auto range = [](std::int64_t start, std::int64_t count, std::int64_t lo, std::int64_t hi,
                  std::int64_t& first, std::int64_t& last) {
    // Dots at start + 3k (and their white partners one less) for k = 0..count,
    // limited to positions that can touch lo..hi.
    first = std::max<std::int64_t>(0, (lo - 1 - start) / 3 - 1);
    last = std::min<std::int64_t>(count, (hi + 1 - start) / 3 + 1);
  };
  // Dots start + 3k for k = first..last along row or column `line`, up to 85
  // at a time as one masked fill (no two lines of one direction put
  // different colours on a pixel: their dots differ modulo 3 where they
  // share a row or column).
  static constexpr auto kDots = [] {
    std::array<std::uint8_t, 253> m{};
    for (std::size_t i = 0; i < m.size(); i += 3) m[i] = 1;
    return m;
  }();
  auto dots = [&](bool across, std::int64_t start, std::int64_t first, std::int64_t last, int line,
                  TColor colour) {
    for (std::int64_t k = first; k <= last; k += 85) {
      const int count = int(std::min<std::int64_t>(85, last - k + 1));
      const int at = int(start + 3 * k), length = 3 * (count - 1) + 1;
      if (across)
        dc.FillMasked(at, line, length, 1, kDots.data(), 0, colour);
      else
        dc.FillMasked(line, at, 1, length, kDots.data(), 1, colour);
    }
  };
  std::int64_t first, last;
  range(left, (right - left) / 3, box.Left, box.Right, first, last);
  dots(true, left, first, last, rect.Top, clBlack);
  dots(true, left - 1, first, last, int(top - 1), clWhite);
  dots(true, left, first, last, rect.Bottom, clBlack);
  dots(true, left - 1, first, last, int(bottom - 1), clWhite);
  // The columns come after the rows and win where they cross them.
  range(top, (bottom - top) / 3, box.Top, box.Bottom, first, last);
  dots(false, top, first, last, rect.Left, clBlack);
  dots(false, top - 1, first, last, int(left - 1), clWhite);
  dots(false, top, first, last, rect.Right, clBlack);
  dots(false, top - 1, first, last, int(right - 1), clWhite);
}

void ImageListItemToBitmap(TBitmap& bitmap, const TImageList& imageList, int index) {
  bitmap.Reset(imageList.Width(), imageList.Height(), TPixelFormat::pf24bit, bitmap.BottomUp());
  const TColor bk = imageList.BkColor();
  bitmap.Fill(bk == clNone ? KeyColor : ResolveColor(bk));
  imageList.Draw(bitmap, 0, 0, index);
}

}  // namespace vm
