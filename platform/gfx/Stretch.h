// Bitmap-to-bitmap block and stretch copies with explicit rectangles and clip.
//
// These are the pixel engines behind TDC::BitBlt and TDC::StretchBlt; they work
// in bitmap coordinates and are usable without a device context. Source and
// destination may have either pixel format and either row order. Between two
// 32-bit bitmaps the alpha byte is copied (averaged when smoothing) like the
// colour bytes; a 32-bit destination of a 24-bit source keeps its alpha.
#pragma once

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Region.h"
#include "platform/gfx/Types.h"

namespace vm {

enum class TStretchMode {
  Nearest,   // rows and columns dropped or repeated
  Halftone,  // area averaging when shrinking, linear interpolation when enlarging
};

// Copies a w x h block from src at (sx, sy) to dst at (dx, dy), cut to both
// bitmaps and to clip (dst coordinates). dst and src may be the same bitmap
// with overlapping rectangles.
void CopyBitmapRect(TBitmap& dst, int dx, int dy, int w, int h, const TBitmap& src, int sx, int sy,
                    const TRegion& clip);

// Scales the source rectangle (sx, sy, sw, sh) onto the destination rectangle
// (dx, dy, dw, dh). A negative width or height on one side mirrors the picture
// along that axis (the rectangle then extends left or up from its point).
// Nearest mode takes source column (2x + 1) * sw div (2 * dw) for destination
// column x, likewise rows. Destination pixels outside dst or clip, and those
// whose source falls outside src, are left unchanged. A flat source colour
// comes out unchanged in both modes.
void StretchBitmapRect(TBitmap& dst, int dx, int dy, int dw, int dh, const TBitmap& src, int sx,
                       int sy, int sw, int sh, TStretchMode mode, const TRegion& clip);

}  // namespace vm
