#include "skin/subclass/BtnWnd.h"

#include <algorithm>

#include "platform/controls/ControlDefs.h"
#include "platform/gfx/SysColors.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/SectionPaint.h"
#include "skin/paint/pixels/CanvasOps.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/state/CommonData.h"
#include "skin/state/ControlPaint.h"
#include "skin/state/SkinCommand.h"
#include "skin/subclass/HotWindow.h"
#include "toolkit/Colors.h"
#include "toolkit/WinControl.h"

namespace vm {

namespace {

// The engine-wide painting colours are unset before and after a cache is made.
struct TEngineColours {
  TEngineColours() { Reset(); }
  ~TEngineColours() { Reset(); }
  static void Reset() {
    KeyFillColor = KeyColor;
    ParentColor = KeyColor;
  }
};

DWORD StyleOf(HWND h) {
  return DWORD(GetWindowLongPtr(h, GWL_STYLE));
}

}  // namespace

bool TnxBtnWnd::Pushed() const {
  return (SendMessage(Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
}

int TnxBtnWnd::StateIndex() const {
  const HWND h = Handle();
  if (Pushed()) return 2;
  if (!IsWindowEnabled(h)) return 0;
  if (GetFocus() == h || IsHotWindow()) return 1;
  // The default button shows the hot look while nothing else claims it.
  if (HookedOwner()) return (StyleOf(h) & 0xF) == BS_DEFPUSHBUTTON ? 1 : 0;
  return (StyleOf(h) & 1) ? 1 : 0;
}

void TnxBtnWnd::QuietlyThenPaint(TMessage& m, bool throughBase) {
  const HWND h = Handle();
  SendMessage(h, WM_SETREDRAW, 0, 0);
  if (throughBase)
    TnxMainWnd::WndProc(m);
  else
    CallPrevious(m);
  if (!IsWindow(h)) return;
  SendMessage(h, WM_SETREDRAW, 1, 0);
  if (Detached()) return;
  SkinData()->CacheInvalid = true;
  SendPaint();
}

void TnxBtnWnd::WndProc(TMessage& m) {
  const HWND h = Handle();
  // A skin without the button's section leaves the button its plain look,
  // as any control with an invalid section index: the skinned painting
  // would have no colours, masks or fonts to paint with.
  const TsSkinManager* mgr = SkinManager();
  if (!SkinActive() || !mgr->IsValidSectionIndex(SkinData()->SectionIndex)) {
    // Mouse tracking still keeps the hot window right while the skin is off.
    TnxMainWnd::WndProc(m);
    return;
  }
  TsCommonData* data = SkinData();
  switch (m.Msg) {
    case SM_NIRVEXCMD:
      switch (CommandOf(m.WParam)) {
        case CmdMouseEnter:
          if (!data->MouseAbove) {
            data->MouseAbove = true;
            data->CacheInvalid = true;
            SendPaint();
          }
          return;
        case CmdMouseLeave:
          if (data->MouseAbove) {
            data->MouseAbove = false;
            data->CacheInvalid = true;
            SendPaint();
          }
          return;
        default:
          break;
      }
      break;
    case WM_MOVE: {
      TsSkinManager* mgr = SkinManager();
      if (mgr && mgr->IsValidSectionIndex(data->SectionIndex)) {
        const TsGeneralData& gd = mgr->gd[std::size_t(data->SectionIndex)];
        if (gd.Transparency > 0 || (gd.HotTransparency > 0 && StateIndex() == 1)) {
          TnxMainWnd::WndProc(m);
          data->CacheInvalid = true;
          SendPaint();
          return;
        }
      }
      break;
    }
    case WM_SETFOCUS:
      if (!IsWindowEnabled(h)) {
        m.Result = 0;
        return;
      }
      SendMessage(h, WM_SETREDRAW, 0, 0);
      TnxMainWnd::WndProc(m);
      if (!IsWindow(h) || Detached()) return;
      SendMessage(h, WM_SETREDRAW, 1, 0);
      data->Focused = true;
      data->CacheInvalid = true;
      SendPaint();
      return;
    case WM_KILLFOCUS:
      if (!IsWindowEnabled(h)) break;
      SendMessage(h, WM_SETREDRAW, 0, 0);
      TnxMainWnd::WndProc(m);
      if (!IsWindow(h) || Detached()) return;
      SendMessage(h, WM_SETREDRAW, 1, 0);
      data->Focused = false;
      data->CacheInvalid = true;
      SendPaint();
      return;
    case WM_ENABLE:
    case WM_SETTEXT:
      if (!IsWindowVisible(h)) break;
      QuietlyThenPaint(m, true);
      return;
    case WM_PAINT: {
      if (!PaintedOnce()) MarkPaintedOnce();
      Paint(reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
    case WM_UPDATEUISTATE:
      m.Result = 1;
      return;
    case BM_SETSTATE:
      if (!IsWindowVisible(h)) break;
      QuietlyThenPaint(m, false);
      return;
    default:
      break;
  }
  TnxMainWnd::WndProc(m);
  if (m.Msg == WM_MOUSEMOVE && IsWindow(h) && !Detached()) {
    // Leaving is seen from the last move inside (a captured mouse reports
    // moves outside too) and from the platform's leave notice below.
    TPoint cursor;
    GetCursorPos(&cursor);
    TRect r;
    GetWindowRect(h, &r);
    MakeHot(r.Contains(cursor));
    TRACKMOUSEEVENT tme;
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = h;
    TrackMouseEvent(&tme);
  } else if (m.Msg == WM_MOUSELEAVE && IsWindow(h) && !Detached()) {
    MakeHot(false);
  }
}

void TnxBtnWnd::Paint(HDC given) {
  const HWND h = Handle();
  UpdateGeometry();
  TsCommonData* data = SkinData();
  data->PaintSuspended = data->IsPaintSuspended();
  // The cache is built before the window's context is taken: building it
  // asks the parent for its picture and colour, and a window destroyed in
  // that exchange takes its context with it.
  if (!data->PaintSuspended) {
    data->CacheInvalid = true;
    PrepareCache();
  }
  if (!IsWindow(h) || Detached()) return;
  PAINTSTRUCT ps;
  const bool own = given == nullptr;
  if (own) BeginPaint(h, &ps);
  if (!data->PaintSuspended) {
    HDC dc = given ? given : GetDC(h);
    if (dc && data->CacheBmp) {
      const TBitmap& cache = *data->CacheBmp;
      dc->BitBlt(0, 0, cache.Width(), cache.Height(), cache, 0, 0, SRCCOPY);
    }
    if (dc && !given) ReleaseDC(h, dc);
  }
  if (own) EndPaint(h, &ps);
}

void TnxBtnWnd::PrepareCache() {
  TsCommonData* data = SkinData();
  if (!data->CacheInvalid) return;
  UpdateGeometry();
  TEngineColours colours;
  // 1. What lies behind the button, and a fresh cache.
  const BackgroundInfo background =
      data->OwnerControl() ? data->GetParentBackground() : GetWindowBackground(Handle());
  if (!data->CacheBmp) data->CacheBmp = std::make_unique<TBitmap>(0, 0);
  TBitmap& cache = *data->CacheBmp;
  if (cache.PixelFormat() != TPixelFormat::pf24bit) cache.SetPixelFormat(TPixelFormat::pf24bit);
  // 2. The parent's plain colour, when it shows one.
  TEngineColours::Reset();
  const HWND parent = ParentWnd();
  if (background.Ready && !data->IsSeeThrough() && ParentColor == KeyColor && parent) {
    if (SendCommandToWindow(parent, CmdGetColour) == 1 && ParentColor != KeyColor)
      ParentColor = ColorToRGB(ParentColor);
    else
      ParentColor = KeyColor;
  }
  // 3. Size and state.
  const int w = std::max(WndSize().cx, 0), hgt = std::max(WndSize().cy, 0);
  cache.SetSize(w, hgt);
  const int state = StateIndex();
  // 4. The section's item over the whole cache.
  PaintControlItem(*data, background, true, true, &cache, WndPos(), TRect{0, 0, w, hgt}, state);
  // 5. The transparent corners of the border from what lies behind.
  RefillBorderCorners(state, background);
  // 6. The caption, and the focus frame around it.
  DrawCaption(cache, state);
  // 7. The disabled look: 40 % of the button over 60 % of its background.
  if (!IsWindowEnabled(Handle()) && w > 0 && hgt > 0) {
    if (background.Ready && background.Bitmap) {
      const int x = WndPos().X + background.OffsetX, y = WndPos().Y + background.OffsetY;
      BlendBitmapRect(cache, 0, 0, 0xFFFFFFFF, 0.4, TRect{x, y, x + w - 1, y + hgt - 1},
                      *background.Bitmap);
    } else if (parent) {
      // Nothing to read behind it: the same share of the parent's colour, so
      // that a disabled button never looks enabled.
      TColor behind = KeyColor;
      if (SendCommandToWindow(parent, CmdGetColour) == 1) behind = ParentColor;
      if (behind == KeyColor) {
        TControl* owner = data->OwnerControl();
        behind = owner && owner->Parent() ? owner->Parent()->Color() : TColor(clBtnFace);
      }
      BlendRectWithColor(cache, TRect{0, 0, w - 1, hgt - 1}, 40, ColorToRGB(behind));
    }
  }
  // 8.
  TEngineColours::Reset();
  data->CacheInvalid = false;
}

void TnxBtnWnd::RefillBorderCorners(int state, BackgroundInfo background) {
  TsCommonData* data = SkinData();
  TsSkinManager* m = SkinManager();
  if (DlgMode() || !m || !m->IsValidMaskIndex(data->BorderMaskIndex) || !data->CacheBmp) return;
  if (WndSize().cx < 2 || WndSize().cy < 2) return;
  const TsMaskData& border = m->ma[std::size_t(data->BorderMaskIndex)];
  ParentColor = KeyColor;
  const HWND parent = ParentWnd();
  if (parent && SendCommandToWindow(parent, CmdQuerySeeThrough) != 1) {
    if (SendCommandToWindow(parent, CmdGetColour) != 1) ParentColor = KeyColor;
    if (ParentColor != KeyColor) ParentColor = ColorToRGB(ParentColor);
  }
  if (ParentColor == KeyColor) {
    background.OffsetX += WndPos().X;
    background.OffsetY += WndPos().Y;
  } else {
    KeyFillColor = ParentColor;
  }
  const int frames = std::max<int>(border.ImageCount, 1);
  RefillCornerPieces(*data->CacheBmp, border, std::min(state, frames - 1), cnAll, background);
  ParentColor = KeyColor;
  KeyFillColor = KeyColor;
}

void TnxBtnWnd::DrawCaption(TBitmap& cache, int state) {
  TsCommonData* data = SkinData();
  const HWND h = Handle();
  const std::string& text = WndText();
  const int w = cache.Width(), hgt = cache.Height();
  TDC canvas(cache);
  // 1. The owner control's font, or the window's own.
  if (TControl* owner = data->OwnerControl()) {
    canvas.SelectFont(owner->Font()->PlatformFont());
  } else {
    HFONT font = reinterpret_cast<HFONT>(SendMessage(h, WM_GETFONT, 0, 0));
    std::shared_ptr<const TFont> f = font ? GetFontObject(font) : nullptr;
    if (!f) f = GetFontObject(GetStockFont(DEFAULT_GUI_FONT));
    if (f) canvas.SelectFont(f);
  }
  // 2. Its size within the button, less a pixel on each side.
  const bool multiLine = StyleOf(h) & BS_MULTILINE;
  const std::uint32_t wrap = multiLine ? 0u : std::uint32_t(DT_WORDBREAK);
  TRect measured{0, 0, std::max(w - 2, 0), 0};
  canvas.DrawText(text, measured, DT_CENTER | DT_EXPANDTABS | DT_NOPREFIX | DT_CALCRECT | wrap);
  // 3. Centred, one pixel right and down while pushed.
  const int dx = (w - measured.Width()) / 2, dy = (hgt - measured.Height()) / 2;
  TRect r{dx - 1, dy, w - dx + 2, hgt - dy};
  if (SendMessage(h, BM_GETSTATE, 0, 0) & BST_PUSHED) r = r.Offset(1, 1);
  // 4. The text in the section's colours.
  WriteControlText(*data, canvas, text, true, state != 0, state, DT_CENTER | DT_EXPANDTABS | wrap,
                   r);
  // 5. The focus frame.
  TsSkinManager* m = SkinManager();
  const bool showFocus = m && m->IsValidSectionIndex(data->SectionIndex) &&
                         m->gd[std::size_t(data->SectionIndex)].ShowFocus;
  if (IsWindowEnabled(h) && (SendMessage(h, BM_GETSTATE, 0, 0) & BST_FOCUS) && !text.empty() &&
      showFocus) {
    PaintDottedFrame(canvas, TRect{r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1});
  }
}

}  // namespace vm
