#include "skin/subclass/StaticWnd.h"

#include "platform/controls/ControlDefs.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/state/CommonData.h"
#include "toolkit/Colors.h"

namespace vm {

namespace {

bool IsTextType(DWORD type) {
  return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE ||
         type == SS_LEFTNOWORDWRAP;
}

}  // namespace

std::uint32_t TnxStaticWnd::TextFlags(DWORD style) {
  std::uint32_t f = DT_EXPANDTABS;
  switch (style & SS_TYPEMASK) {
    case SS_CENTER:
      f |= DT_CENTER | DT_WORDBREAK;
      break;
    case SS_RIGHT:
      f |= DT_RIGHT | DT_WORDBREAK;
      break;
    case SS_SIMPLE:
      f |= DT_LEFT | DT_SINGLELINE;
      break;
    case SS_LEFTNOWORDWRAP:
      f |= DT_LEFT;
      break;
    default:
      f |= DT_LEFT | DT_WORDBREAK;
      break;
  }
  if (style & SS_NOPREFIX) f |= DT_NOPREFIX;
  if ((style & SS_CENTERIMAGE) && (f & DT_WORDBREAK))
    f = (f & ~std::uint32_t(DT_WORDBREAK)) | DT_SINGLELINE | DT_VCENTER;
  switch (style & SS_ELLIPSISMASK) {
    case SS_ENDELLIPSIS:
      f |= DT_END_ELLIPSIS;
      break;
    case SS_PATHELLIPSIS:
      f |= DT_PATH_ELLIPSIS;
      break;
    case SS_WORDELLIPSIS:
      f |= DT_WORD_ELLIPSIS;
      break;
  }
  if ((style & SS_EDITCONTROL) && (f & DT_WORDBREAK)) f |= DT_EDITCONTROL;
  return f;
}

bool TnxStaticWnd::ChangesLook(UINT message) const {
  return message == STM_SETIMAGE || message == STM_SETICON || TnxSkinPaintWnd::ChangesLook(message);
}

TRect TnxStaticWnd::ContentRect(TBitmap& cache) {
  TRect r{0, 0, cache.Width(), cache.Height()};
  if (Style() & SS_SUNKEN) {
    FrameInBorderColour(cache, r);
    r = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  }
  return r;
}

void TnxStaticWnd::PaintContent(TBitmap& cache, const BackgroundInfo& background) {
  (void)background;
  const DWORD style = Style();
  const DWORD type = style & SS_TYPEMASK;
  const TRect r = ContentRect(cache);
  if (r.IsEmpty()) return;
  const TsSkinManager* m = SkinManager();
  TColor border = m->SkinData.BorderColor;
  if (border == KeyColor) border = clBtnShadow;
  border = ColorToRGB(border);
  const TColor light = RGB(255, 255, 255);
  TDC dc(cache);
  switch (type) {
    case SS_BLACKRECT:
    case SS_GRAYRECT:
    case SS_WHITERECT:
      dc.FillRect(r, type == SS_WHITERECT ? light : border);
      return;
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME:
      dc.FrameRect(r, type == SS_WHITEFRAME ? light : border);
      return;
    case SS_ETCHEDHORZ:
      dc.FillRect(TRect{r.Left, r.Top, r.Right, r.Top + 1}, border);
      dc.FillRect(TRect{r.Left, r.Top + 1, r.Right, r.Top + 2}, light);
      return;
    case SS_ETCHEDVERT:
      dc.FillRect(TRect{r.Left, r.Top, r.Left + 1, r.Bottom}, border);
      dc.FillRect(TRect{r.Left + 1, r.Top, r.Left + 2, r.Bottom}, light);
      return;
    case SS_ETCHEDFRAME:
      dc.FrameRect(TRect{r.Left + 1, r.Top + 1, r.Right, r.Bottom}, light);
      dc.FrameRect(TRect{r.Left, r.Top, r.Right - 1, r.Bottom - 1}, border);
      return;
    default:
      break;
  }
  if (!IsTextType(type)) return;
  WriteText(dc, WndText(), IsWindowEnabled(Handle()), false, TextFlags(style), r);
}

}  // namespace vm
