#include "skin/subclass/IconWnd.h"

#include "platform/controls/ControlDefs.h"

namespace vm {

void TnxIconWnd::PaintContent(TBitmap& cache, const BackgroundInfo& background) {
  const DWORD style = Style();
  const DWORD type = style & SS_TYPEMASK;
  if (type != SS_ICON && type != SS_BITMAP) {
    TnxStaticWnd::PaintContent(cache, background);
    return;
  }
  const TRect r = ContentRect(cache);
  if (r.IsEmpty()) return;
  auto origin = [&](int w, int h) {
    if (style & SS_CENTERIMAGE)
      return TPoint{r.Left + (r.Width() - w) / 2, r.Top + (r.Height() - h) / 2};
    return TPoint{r.Left, r.Top};
  };
  TDC dc(cache);
  dc.IntersectClipRect(r);
  const HWND h = Handle();
  if (type == SS_ICON) {
    HICON icon = reinterpret_cast<HICON>(SendMessage(h, STM_GETICON, 0, 0));
    if (const TBitmap* bmp = icon ? GetIconBitmap(icon) : nullptr) {
      const TPoint o = origin(bmp->Width(), bmp->Height());
      DrawIconEx(&dc, o.X, o.Y, icon, 0, 0);
    }
    return;
  }
  const auto* image =
      reinterpret_cast<const TBitmap*>(SendMessage(h, STM_GETIMAGE, IMAGE_BITMAP, 0));
  if (image && image->Width() > 0) {
    const TPoint o = origin(image->Width(), image->Height());
    dc.BitBlt(o.X, o.Y, image->Width(), image->Height(), *image, 0, 0, SRCCOPY);
  }
}

}  // namespace vm
