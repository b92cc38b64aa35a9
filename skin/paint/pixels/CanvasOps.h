// Painting operations that go through a device context: solid fills, raised
// and sunken frames, the dotted focus outline, and image-list items turned
// into bitmaps for the key-colour copies.
#pragma once

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DC.h"
#include "platform/gfx/ImageList.h"
#include "platform/gfx/Types.h"

namespace vm {

// Fills rect (Right and Bottom exclusive) with the resolved colour; the
// context's state is saved and restored around it.
void FillRectSolid(TDC& dc, const TRect& rect, TColor color);

// Draws `width` nested one-pixel frames: the top and left edges in the light
// colour, the bottom and right edges in the dark colour, shrinking rect by one
// pixel on each side after each frame. On return rect is the area inside the
// frames and width is 0. The pen colour is restored.
void Paint3DFrame(TDC& dc, TRect& rect, TColor lightColor, TColor darkColor, int& width);

// An embossed dotted outline: black dots every third pixel along the edges at
// rect.Left, rect.Top, rect.Right and rect.Bottom (all inclusive), each with a
// white dot one pixel up and left of it.
void PaintDottedFrame(TDC& dc, const TRect& rect);

// Sizes bitmap to the list's item size (24-bit), fills it with the list's
// background colour (magenta when it has none) and draws item index onto it.
// An invalid index leaves just the fill.
void ImageListItemToBitmap(TBitmap& bitmap, const TImageList& imageList, int index);

}  // namespace vm
