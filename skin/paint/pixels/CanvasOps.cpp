#include "skin/paint/pixels/CanvasOps.h"

#include <algorithm>
#include <cstdint>

#include "skin/paint/pixels/Colors.h"

namespace vm {

void FillRectSolid(TDC& dc, const TRect& rect, TColor color) {
  TDCSaver saver(dc);
  dc.FillRect(rect, ResolveColor(color));
}

void Paint3DFrame(TDC& dc, TRect& rect, TColor lightColor, TColor darkColor, int& width) {
  if (width <= 0) return;
  if (rect.Right == INT32_MIN || rect.Bottom == INT32_MIN || rect.Left == INT32_MAX ||
      rect.Top == INT32_MAX) {
    width = 0;
    return;
  }
  const TColor light = ResolveColor(lightColor);
  const TColor oldPen = dc.PenColor();
  // Right and Bottom name the last column and row while the frames are drawn.
  --rect.Right;
  --rect.Bottom;
  while (width > 0) {
    --width;
    // Once the frames have met in the middle there is nothing left to frame;
    // a huge width must not turn into a huge loop.
    if (rect.Left > rect.Right && rect.Top > rect.Bottom) {
      rect.Left += width + 1;
      rect.Top += width + 1;
      rect.Right -= width + 1;
      rect.Bottom -= width + 1;
      width = 0;
      break;
    }
    // Polylines leave out their last point: the light edges stop short of the
    // top-right corner and the dark ones cover the bottom-left corner.
    const TPoint topLeft[3] = {
        {rect.Left, rect.Bottom}, {rect.Left, rect.Top}, {rect.Right, rect.Top}};
    dc.SetPenColor(light);
    dc.Polyline(topLeft, 3);
    const TPoint bottomRight[3] = {
        {rect.Right, rect.Top}, {rect.Right, rect.Bottom}, {rect.Left - 1, rect.Bottom}};
    dc.SetPenColor(darkColor);
    dc.Polyline(bottomRight, 3);
    ++rect.Left;
    ++rect.Top;
    --rect.Right;
    --rect.Bottom;
  }
  ++rect.Right;
  ++rect.Bottom;
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
  std::int64_t first, last;
  range(left, (right - left) / 3, box.Left, box.Right, first, last);
  for (std::int64_t i = first; i <= last; ++i) {
    const int x = int(left + 3 * i);
    dc.SetPixel(x, rect.Top, clBlack);
    dc.SetPixel(x - 1, int(top - 1), clWhite);
    dc.SetPixel(x, rect.Bottom, clBlack);
    dc.SetPixel(x - 1, int(bottom - 1), clWhite);
  }
  range(top, (bottom - top) / 3, box.Top, box.Bottom, first, last);
  for (std::int64_t j = first; j <= last; ++j) {
    const int y = int(top + 3 * j);
    dc.SetPixel(rect.Left, y, clBlack);
    dc.SetPixel(int(left - 1), y - 1, clWhite);
    dc.SetPixel(rect.Right, y, clBlack);
    dc.SetPixel(int(right - 1), y - 1, clWhite);
  }
}

void ImageListItemToBitmap(TBitmap& bitmap, const TImageList& imageList, int index) {
  bitmap.Reset(imageList.Width(), imageList.Height(), TPixelFormat::pf24bit, bitmap.BottomUp());
  const TColor bk = imageList.BkColor();
  bitmap.Fill(bk == clNone ? KeyColor : ResolveColor(bk));
  imageList.Draw(bitmap, 0, 0, index);
}

}  // namespace vm
