#include "skin/subclass/ToolBarWnd.h"

#include <algorithm>
#include <vector>

#include "platform/controls/ControlDefs.h"
#include "platform/gfx/ImageList.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/SectionPaint.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/state/CommonData.h"
#include "toolkit/Colors.h"

namespace vm {

namespace {

bool GetButton(HWND h, int index, TBBUTTON& b, TRect& r) {
  if (!SendMessage(h, TB_GETBUTTON, WPARAM(index), LPARAM(reinterpret_cast<std::uintptr_t>(&b))))
    return false;
  return SendMessage(h, TB_GETITEMRECT, WPARAM(index),
                     LPARAM(reinterpret_cast<std::uintptr_t>(&r))) != 0;
}

std::string ButtonText(HWND h, int command) {
  const LRESULT n = SendMessage(h, TB_GETBUTTONTEXT, WPARAM(command), 0);
  if (n <= 0 || n > 0xFFFF) return {};
  std::vector<char> buf(std::size_t(n) + 1);
  SendMessage(h, TB_GETBUTTONTEXT, WPARAM(command),
              LPARAM(reinterpret_cast<std::uintptr_t>(buf.data())));
  return std::string(buf.data(), std::size_t(n));
}

}  // namespace

bool TnxToolBarWnd::ChangesLook(UINT message) const {
  switch (message) {
    case TB_ENABLEBUTTON:
    case TB_CHECKBUTTON:
    case TB_PRESSBUTTON:
    case TB_HIDEBUTTON:
    case TB_SETSTATE:
    case TB_ADDBUTTONS:
    case TB_INSERTBUTTON:
    case TB_DELETEBUTTON:
    case TB_ADDSTRING:
    case TB_SETIMAGELIST:
    case TB_SETBUTTONSIZE:
    case TB_SETBITMAPSIZE:
    case TB_AUTOSIZE:
      return true;
    default:
      return TnxSkinPaintWnd::ChangesLook(message);
  }
}

int TnxToolBarWnd::ButtonAt(TPoint p) const {
  const HWND h = Handle();
  const int i = int(SendMessage(h, TB_HITTEST, 0, LPARAM(reinterpret_cast<std::uintptr_t>(&p))));
  TBBUTTON b;
  TRect r;
  if (i < 0 || !GetButton(h, i, b, r)) return -1;
  return (b.fsState & TBSTATE_ENABLED) ? i : -1;
}

void TnxToolBarWnd::SetButtons(int hot, int pressed, bool over) {
  over = pressed >= 0 && over;
  if (hot == hot_ && pressed == pressed_ && over == pressedOver_) return;
  hot_ = hot;
  pressed_ = pressed;
  pressedOver_ = over;
  Invalidate();
}

bool TnxToolBarWnd::HandleMessage(TMessage& m) {
  const HWND h = Handle();
  const TPoint at{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  auto passOn = [&]() {
    CommonHandling(m);
    return IsWindow(h) && !Detached();
  };
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (!passOn()) return true;
      const int i = ButtonAt(at);
      if (GetCapture() == h && i >= 0) SetButtons(i, i, true);
      return true;
    }
    case WM_MOUSEMOVE: {
      if (!passOn()) return true;
      const int i = ButtonAt(at);
      if (pressed_ >= 0)
        SetButtons(i, pressed_, i == pressed_);
      else
        SetButtons(i, -1, false);
      return true;
    }
    case WM_MOUSELEAVE:
      if (!passOn()) return true;
      SetButtons(-1, pressed_, pressedOver_);
      return true;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      if (!passOn()) return true;
      if (pressed_ >= 0 && GetCapture() != h) SetButtons(hot_, -1, false);
      return true;
    case TB_DELETEBUTTON:
    case TB_INSERTBUTTON:
      // The indexes move: forget them until the mouse moves again.
      hot_ = pressed_ = -1;
      pressedOver_ = false;
      return false;
    default:
      return false;
  }
}

int TnxToolBarWnd::ButtonState(int index) const {
  TBBUTTON b;
  TRect r;
  if (!GetButton(Handle(), index, b, r) || !(b.fsState & TBSTATE_ENABLED)) return 0;
  if ((b.fsState & (TBSTATE_PRESSED | TBSTATE_CHECKED)) || PressedButton() == index) return 2;
  if (index == hot_ && (pressed_ < 0 || pressed_ == index)) return 1;
  return 0;
}

void TnxToolBarWnd::PaintButton(TBitmap& cache, TDC& dc, int index,
                                const BackgroundInfo& background) {
  const HWND h = Handle();
  TBBUTTON b;
  TRect r;
  if (!GetButton(h, index, b, r) || (b.fsState & TBSTATE_HIDDEN)) return;
  // A bar lower than its buttons shows their upper part.
  r = r.Intersect(TRect{0, 0, cache.Width(), cache.Height()});
  if (r.IsEmpty()) return;
  TsSkinManager* m = SkinManager();
  if (b.fsStyle & TBSTYLE_SEP) {
    TColor border = m->SkinData.BorderColor;
    if (border == KeyColor) border = clBtnShadow;
    const int x = r.Left + r.Width() / 2 - 1;
    dc.FillRect(TRect{x, r.Top + 2, x + 1, r.Bottom - 2}, ColorToRGB(border));
    dc.FillRect(TRect{x + 1, r.Top + 2, x + 2, r.Bottom - 2}, RGB(255, 255, 255));
    return;
  }
  const bool enabled = (b.fsState & TBSTATE_ENABLED) && IsWindowEnabled(h);
  const int state = ButtonState(index);
  if (state > 0) {
    const int face = m->FindSectionIndex("TOOLBUTTON");
    const BackgroundInfo behind{&cache, 0, 0, 1};
    if (m->IsValidSectionIndex(face))
      PaintSectionItem(face, "TOOLBUTTON", behind, -1, -1, m, cache, TPoint{r.Left, r.Top}, r,
                       state, true);
  }
  (void)background;
  const int shift = state == 2 ? 1 : 0;
  const bool list = (Style() & TBSTYLE_LIST) != 0;
  const std::string text = ButtonText(h, b.idCommand);
  auto* images = reinterpret_cast<HIMAGELIST>(SendMessage(h, TB_GETIMAGELIST, 0, 0));
  const TSize img = images ? TSize{images->Width(), images->Height()} : TSize{16, 15};
  int ix = list ? r.Left + 4 : r.Left + (r.Width() - img.cx) / 2;
  int iy = list || text.empty() ? r.Top + (r.Height() - img.cy) / 2 : r.Top + 3;
  ix += shift;
  iy += shift;
  if (images && b.iBitmap >= 0 && b.iBitmap < images->Count()) {
    if (enabled) {
      images->Draw(dc, ix, iy, b.iBitmap);
    } else {
      // The image's own pixels in grey, its transparent ones left alone.
      TBitmap grey(img.cx, img.cy);
      {
        TDC g(grey);
        g.FillRect(TRect{0, 0, img.cx, img.cy}, KeyColor);
        images->Draw(g, 0, 0, b.iBitmap);
      }
      GreyBitmapExceptKey(grey, KeyColor);
      CopyBitmapWithKey(cache, grey, ix, iy, KeyColor);
    }
  }
  if (text.empty()) return;
  const TRect tr =
      list ? TRect{ix + img.cx + 4, r.Top + shift, r.Right - 2, r.Bottom + shift}
           : TRect{r.Left + 2 + shift, iy + img.cy + 1, r.Right - 2 + shift, r.Bottom - 2 + shift};
  const std::uint32_t flags = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS |
                              (list ? DT_LEFT | DT_VCENTER : DT_CENTER | DT_TOP);
  WriteText(dc, text, enabled, state != 0, flags, tr);
}

void TnxToolBarWnd::PaintContent(TBitmap& cache, const BackgroundInfo& background) {
  const HWND h = Handle();
  const int count = int(std::clamp<LRESULT>(SendMessage(h, TB_BUTTONCOUNT, 0, 0), 0, 4096));
  TDC dc(cache);
  SelectWindowFont(dc);
  for (int i = 0; i < count && IsWindow(h); ++i) PaintButton(cache, dc, i, background);
}

}  // namespace vm
