// Getting a skinned control's cache onto the screen: the cache copied to a
// device context with the children that paint themselves left out, and the
// windowless children of a container painted over its background off screen.
#pragma once

#include "platform/gfx/DC.h"
#include "platform/gfx/Types.h"
#include "platform/win/WinApi.h"

namespace vm {

class TsCommonData;
class TWinControl;

// Copies the cache of `data` from sourceRect's top-left to destRect of the
// context, clipped to destRect. The rectangles (moved by dx, dy) of visible
// children that intersect destRect are left out when they are windowless,
// opaque, or in design mode; windowed children are clipped by the window
// system. refreshCorners refills the border's corners first (state 0).
void CopyCacheToDC(TWinControl* control, TsCommonData& data, TRect sourceRect, int dy, int dx,
                   bool refreshCorners, TDC& dc, TRect destRect);

// The same for a plain window: its visible child windows are left out whole,
// except a group box without client edge, of which only the frame strips are
// (caption height from command 27, side and bottom widths of the "GROUPBOX"
// section's border).
void CopyCacheToWindowDC(HWND window, TsCommonData& data, TRect sourceRect, int dy, int dx,
                         bool refreshCorners, TDC& dc, TRect destRect);

// Paints the container's windowless children over its background, double
// buffered: each child's bounds are filled first (its colour when it paints
// opaquely, else the container's cache behind it), the child paints into the
// buffer, and the bounds go to the context at child position + offset, except
// where the buffer shows magenta at the child's top-left.
void PaintGraphicChildren(TDC& dc, TWinControl* container, TPoint offset);

}  // namespace vm
