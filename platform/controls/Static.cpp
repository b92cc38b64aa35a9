// The "Static" window class: text (left, centred, right; "&" marks the
// mnemonic unless SS_NOPREFIX), icons, bitmaps, filled rectangles, frames and
// etched lines, in the classic look.
//
// Without SS_NOTIFY a static lets the mouse through to the window under it
// (it answers HTTRANSPARENT); with SS_NOTIFY it reports clicks and double
// clicks to its parent as STN_CLICKED and STN_DBLCLK.
#include <memory>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/Controls.h"

namespace vm {

namespace {

using namespace ctl;

constexpr TColor Sys(int index) {
  return 0xFF000000u | TColor(index);
}

class TStatic {
 public:
  explicit TStatic(HWND h) : h_(h) {}
  LRESULT Proc(UINT msg, WPARAM wp, LPARAM lp);
  int Depth = 0;
  bool Dead = false;

 private:
  void Paint(TDC& dc);

  HWND h_;
  HICON icon_ = nullptr;
  std::unique_ptr<TBitmap> image_;
  std::string text_;  // room for the text while painting, kept between repaints
};

DWORD StyleOf(HWND h) {
  return DWORD(GetWindowLongPtr(h, GWL_STYLE));
}

bool IsTextType(DWORD t) {
  return t == SS_LEFT || t == SS_CENTER || t == SS_RIGHT || t == SS_SIMPLE ||
         t == SS_LEFTNOWORDWRAP;
}

std::uint32_t TextFlags(DWORD style) {
  std::uint32_t f = DT_EXPANDTABS;
  switch (style & SS_TYPEMASK) {
    case SS_LEFT:
      f |= DT_LEFT | DT_WORDBREAK;
      break;
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
  }
  if (style & SS_NOPREFIX) f |= DT_NOPREFIX;
  if ((style & SS_CENTERIMAGE) && (f & DT_WORDBREAK))
    f = (f & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
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

// Places a picture of size w x h in r: top-left, or centred with SS_CENTERIMAGE.
TPoint ImageOrigin(DWORD style, const TRect& r, int w, int h) {
  if (style & SS_CENTERIMAGE) return {r.Left + (r.Width() - w) / 2, r.Top + (r.Height() - h) / 2};
  return {r.Left, r.Top};
}

void TStatic::Paint(TDC& dc) {
  const HWND h = h_;
  TRect r;
  GetClientRect(h, &r);
  TDCSaver save(dc);
  dc.SelectFont(FontOf(h));
  const DWORD style = StyleOf(h);
  const DWORD type = style & SS_TYPEMASK;
  const bool enabled = IsWindowEnabled(h);
  if (style & SS_SUNKEN) {
    // A one-pixel sunken border around the whole control.
    DrawEdge(&dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    dc.IntersectClipRect(r);
  }
  switch (type) {
    case SS_BLACKRECT:
      dc.FillRect(r, Sys(COLOR_WINDOWFRAME));
      return;
    case SS_GRAYRECT:
      dc.FillRect(r, Sys(COLOR_BTNSHADOW));
      return;
    case SS_WHITERECT:
      dc.FillRect(r, Sys(COLOR_BTNHIGHLIGHT));
      return;
    case SS_BLACKFRAME:
      dc.FrameRect(r, Sys(COLOR_WINDOWFRAME));
      return;
    case SS_GRAYFRAME:
      dc.FrameRect(r, Sys(COLOR_BTNSHADOW));
      return;
    case SS_WHITEFRAME:
      dc.FrameRect(r, Sys(COLOR_BTNHIGHLIGHT));
      return;
    case SS_ETCHEDHORZ:
      DrawEdge(&dc, &r, EDGE_ETCHED, BF_TOP);
      return;
    case SS_ETCHEDVERT:
      DrawEdge(&dc, &r, EDGE_ETCHED, BF_LEFT);
      return;
    case SS_ETCHEDFRAME:
      DrawEdge(&dc, &r, EDGE_ETCHED, BF_RECT);
      return;
  }
  TColor back = AskColors(h, WM_CTLCOLORSTATIC, &dc, Sys(COLOR_WINDOWTEXT), Sys(COLOR_BTNFACE));
  dc.FillRect(r, back);
  if (type == SS_ICON) {
    if (const TBitmap* bmp = GetIconBitmap(icon_)) {
      TPoint o = ImageOrigin(style, r, bmp->Width(), bmp->Height());
      DrawIconEx(&dc, o.X, o.Y, icon_, 0, 0);
    }
    return;
  }
  if (type == SS_BITMAP) {
    if (image_) {
      TPoint o = ImageOrigin(style, r, image_->Width(), image_->Height());
      dc.BitBlt(o.X, o.Y, image_->Width(), image_->Height(), *image_, 0, 0);
    }
    return;
  }
  if (!IsTextType(type)) return;
  std::string& text = text_;
  GetWindowText(h, text);
  if (text.empty()) return;
  dc.SetBkMode(TRANSPARENT);
  std::uint32_t flags = TextFlags(style);
  if (enabled)
    dc.DrawText(text, r, flags);
  else
    GrayText(dc, text, r, flags);
}

LRESULT TStatic::Proc(UINT msg, WPARAM wp, LPARAM lp) {
  const HWND h = h_;
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (dc) Paint(*dc);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      if (wp) Paint(*reinterpret_cast<HDC>(wp));
      return 0;
    case WM_NCHITTEST:
      if (!(StyleOf(h) & SS_NOTIFY)) return HTTRANSPARENT;
      return DefWindowProc(h, msg, wp, lp);
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    case WM_LBUTTONDOWN:
      if (StyleOf(h) & SS_NOTIFY) NotifyCommand(h, STN_CLICKED);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (StyleOf(h) & SS_NOTIFY) NotifyCommand(h, STN_DBLCLK);
      return 0;
    case WM_ENABLE:
      if (StyleOf(h) & SS_NOTIFY) NotifyCommand(h, wp ? STN_ENABLE : STN_DISABLE);
      InvalidateRect(h, nullptr, true);
      return 0;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProc(h, msg, wp, lp);
      InvalidateRect(h, nullptr, true);
      return r;
    }
    case WM_SETFONT:
      DefWindowProc(h, msg, wp, 0);
      if (LOWORD(lp)) InvalidateRect(h, nullptr, true);
      return 0;
    case STM_SETICON:
    case STM_SETIMAGE: {
      const WPARAM kind = msg == STM_SETICON ? IMAGE_ICON : wp;
      const LPARAM handle = msg == STM_SETICON ? LPARAM(wp) : lp;
      LRESULT old = 0;
      if (kind == IMAGE_ICON) {
        old = LRESULT(reinterpret_cast<std::uintptr_t>(icon_));
        icon_ = reinterpret_cast<HICON>(handle);
      } else if (kind == IMAGE_BITMAP) {
        // The control keeps a copy, so the caller may free its bitmap.
        const auto* bmp = reinterpret_cast<const TBitmap*>(handle);
        image_ = bmp ? std::make_unique<TBitmap>(*bmp) : nullptr;
      } else {
        return 0;
      }
      InvalidateRect(h, nullptr, true);
      return old;
    }
    case STM_GETICON:
      return LRESULT(reinterpret_cast<std::uintptr_t>(icon_));
    case STM_GETIMAGE:
      if (wp == IMAGE_ICON) return LRESULT(reinterpret_cast<std::uintptr_t>(icon_));
      if (wp == IMAGE_BITMAP) return LRESULT(reinterpret_cast<std::uintptr_t>(image_.get()));
      return 0;
  }
  return DefWindowProc(h, msg, wp, lp);
}

LRESULT StaticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  return DispatchToObject<TStatic>(h, msg, wp, lp);
}

}  // namespace

void RegisterStaticClass() {
  RegisterControlClass(WC_STATIC, &StaticProc, CS_DBLCLKS, clNone);
}

}  // namespace vm
