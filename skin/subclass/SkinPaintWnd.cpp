#include "skin/subclass/SkinPaintWnd.h"

#include <algorithm>
#include <cstring>

#include "platform/controls/ControlDefs.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/state/CommonData.h"
#include "skin/state/ControlPaint.h"
#include "skin/state/SkinCommand.h"
#include "toolkit/Colors.h"
#include "toolkit/WinControl.h"

namespace vm {

namespace {

void ResetEngineColours() {
  KeyFillColor = KeyColor;
  ParentColor = KeyColor;
}

}  // namespace

bool TnxSkinPaintWnd::Skinned() const {
  const TsSkinManager* m = SkinManager();
  return SkinActive() && m->IsValidSectionIndex(SkinData()->SectionIndex);
}

DWORD TnxSkinPaintWnd::Style() const {
  return DWORD(GetWindowLongPtr(Handle(), GWL_STYLE));
}

bool TnxSkinPaintWnd::MouseOver() const {
  return SkinData()->MouseAbove;
}

TRect TnxSkinPaintWnd::ItemRect() const {
  return TRect{0, 0, std::max(WndSize().cx, 0), std::max(WndSize().cy, 0)};
}

bool TnxSkinPaintWnd::ChangesLook(UINT message) const {
  switch (message) {
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_SIZE:
      return true;
    default:
      return false;
  }
}

void TnxSkinPaintWnd::Invalidate() {
  SkinData()->CacheInvalid = true;
  if (IsWindow(Handle())) InvalidateRect(Handle(), nullptr, false);
}

void TnxSkinPaintWnd::WndProc(TMessage& m) {
  if (!Skinned()) {
    // The window's own look; the hot window still follows the mouse.
    TnxMainWnd::WndProc(m);
    if (m.Msg == WM_MOUSEMOVE || m.Msg == WM_MOUSELEAVE) TrackMouse(m);
    return;
  }
  if (HandleMessage(m)) return;
  CommonHandling(m);
}

void TnxSkinPaintWnd::CommonHandling(TMessage& m) {
  const HWND h = Handle();
  switch (m.Msg) {
    case SM_NIRVEXCMD:
      switch (CommandOf(m.WParam)) {
        case CmdMouseEnter:
        case CmdMouseLeave: {
          const bool over = CommandOf(m.WParam) == CmdMouseEnter;
          if (SkinData()->MouseAbove != over) {
            SkinData()->MouseAbove = over;
            Invalidate();
          }
          return;
        }
        case CmdGetBackground:
          // A child asks for the picture behind it before this window has
          // painted: the cache is built first, so it never reads an empty one.
          if (SkinData()->CacheInvalid || !SkinData()->CacheBmp ||
              SkinData()->CacheBmp->Width() == 0) {
            SkinData()->CacheInvalid = true;
            PrepareCache();
            if (!IsWindow(h) || Detached()) return;
          }
          break;
        default:
          break;
      }
      break;
    case WM_PAINT:
    case WM_PRINTCLIENT:
    case WM_ERASEBKGND:
      AnswerPaintMessages(m, [this](HDC dc) { Paint(dc); });
      return;
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
      TnxMainWnd::WndProc(m);
      if (IsWindow(h) && !Detached()) TrackMouse(m);
      return;
    default:
      break;
  }
  if (ChangesLook(m.Msg)) {
    TnxMainWnd::WndProc(m);
    if (IsWindow(h) && !Detached()) Invalidate();
    return;
  }
  TnxMainWnd::WndProc(m);
}

// Leaving is seen from a move outside (a captured mouse reports those) and
// from the platform's leave notice.
void TnxSkinPaintWnd::TrackMouse(TMessage& m) {
  const HWND h = Handle();
  if (!IsWindow(h) || Detached()) return;
  if (m.Msg == WM_MOUSELEAVE) {
    MakeHot(false);
    return;
  }
  TPoint cursor;
  GetCursorPos(&cursor);
  TRect r;
  GetWindowRect(h, &r);
  MakeHot(r.Contains(cursor) && IsWindowEnabled(h));
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_LEAVE;
  tme.hwndTrack = h;
  TrackMouseEvent(&tme);
}

void TnxSkinPaintWnd::Paint(HDC given) {
  const HWND h = Handle();
  TsCommonData* data = SkinData();
  data->PaintSuspended = data->IsPaintSuspended();
  if (!data->PaintSuspended) {
    data->CacheInvalid = true;
    PrepareCache();
  }
  // Building the cache talks to the parent, which may have destroyed us.
  if (!IsWindow(h) || Detached()) return;
  PAINTSTRUCT ps;
  HDC dc = given;
  if (!given) dc = BeginPaint(h, &ps);
  if (dc && !data->PaintSuspended && data->CacheBmp) CopyCache(*dc, *data->CacheBmp);
  if (!given) EndPaint(h, &ps);
}

void TnxSkinPaintWnd::CopyCache(TDC& dc, const TBitmap& cache) {
  dc.BitBlt(0, 0, cache.Width(), cache.Height(), cache, 0, 0, SRCCOPY);
}

void TnxSkinPaintWnd::PrepareCache() {
  TsCommonData* data = SkinData();
  if (!data->CacheInvalid) return;
  const HWND h = Handle();
  UpdateGeometry();
  ResetEngineColours();
  const BackgroundInfo background =
      data->OwnerControl() ? data->GetParentBackground() : GetWindowBackground(h);
  if (!IsWindow(h)) return;
  if (!data->CacheBmp) data->CacheBmp = std::make_unique<TBitmap>(0, 0);
  TBitmap& cache = *data->CacheBmp;
  if (cache.PixelFormat() != TPixelFormat::pf24bit) cache.SetPixelFormat(TPixelFormat::pf24bit);
  const int w = std::max(WndSize().cx, 0), hgt = std::max(WndSize().cy, 0);
  cache.SetSize(w, hgt);
  if (w == 0 || hgt == 0 || !Skinned()) {
    data->CacheInvalid = false;
    return;
  }
  const TRect item = ItemRect();
  if (item != TRect{0, 0, w, hgt}) FillBehind(cache, background, TRect{0, 0, w, hgt});
  if (!item.IsEmpty()) {
    ResetEngineColours();
    PaintControlItem(*data, background, true, true, &cache,
                     {WndPos().X + item.Left, WndPos().Y + item.Top}, item, ItemState());
    ResetEngineColours();
    ShowThroughKeyPixels(cache, background, item);
  }
  if (!IsWindow(h)) return;
  PaintContent(cache, background);
  ResetEngineColours();
  data->CacheInvalid = false;
}

void TnxSkinPaintWnd::FillBehind(TBitmap& cache, const BackgroundInfo& background,
                                 const TRect& rect) const {
  TDC dc(cache);
  if (background.Ready && background.Bitmap) {
    dc.BitBlt(rect.Left, rect.Top, rect.Width(), rect.Height(), *background.Bitmap,
              background.OffsetX + WndPos().X + rect.Left,
              background.OffsetY + WndPos().Y + rect.Top, SRCCOPY);
    return;
  }
  TColor colour = KeyColor;
  ParentColor = KeyColor;
  if (ParentWnd() && SendCommandToWindow(ParentWnd(), CmdGetColour) == 1) colour = ParentColor;
  ParentColor = KeyColor;
  if (colour == KeyColor) {
    if (TControl* owner = SkinData()->OwnerControl(); owner && owner->Parent())
      colour = owner->Parent()->Color();
    else if (const TsSkinManager* m = SkinManager();
             m && m->IsValidSectionIndex(SkinData()->SectionIndex))
      colour = m->gd[std::size_t(SkinData()->SectionIndex)].Color;
    else
      colour = clBtnFace;
  }
  dc.FillRect(rect, ColorToRGB(colour));
}

// The sides of a border image without a mask half are copied as they are,
// magenta included; a magenta pixel is no part of the picture, so it shows
// what lies behind the window.
void TnxSkinPaintWnd::ShowThroughKeyPixels(TBitmap& cache, const BackgroundInfo& background,
                                           const TRect& rect) const {
  const TRect area = rect.Intersect({0, 0, cache.Width(), cache.Height()});
  if (area.IsEmpty()) return;
  const std::uint8_t kb = GetBValue(KeyColor), kg = GetGValue(KeyColor), kr = GetRValue(KeyColor);
  const int bpp = cache.BytesPerPixel();
  // What lies behind is drawn only once a key pixel turns up.
  std::unique_ptr<TBitmap> behind;
  for (int y = area.Top; y < area.Bottom; ++y) {
    std::uint8_t* d = cache.ScanLine(y) + std::size_t(area.Left) * std::size_t(bpp);
    for (int x = area.Left; x < area.Right; ++x, d += bpp) {
      if (d[0] != kb || d[1] != kg || d[2] != kr) continue;
      if (!behind) {
        behind = std::make_unique<TBitmap>(cache.Width(), cache.Height());
        FillBehind(*behind, background, TRect{0, 0, cache.Width(), cache.Height()});
      }
      std::memcpy(d, behind->ScanLine(y) + std::size_t(x) * 3, 3);
    }
  }
}

void TnxSkinPaintWnd::FrameInBorderColour(TBitmap& cache, const TRect& rect) const {
  const TsSkinManager* m = SkinManager();
  TColor border = m ? m->SkinData.BorderColor : KeyColor;
  if (border == KeyColor) border = clBtnShadow;
  TDC dc(cache);
  dc.FrameRect(rect, ColorToRGB(border));
}

int TnxSkinPaintWnd::GlobalMask(std::string_view name) const {
  const TsSkinManager* m = SkinManager();
  if (!m) return -1;
  const int global = m->ConstData().GlobalInfo;
  return global < 0 ? -1 : m->FindMaskIndex(global, "GLOBALINFO", name);
}

void TnxSkinPaintWnd::SelectWindowFont(TDC& canvas) const {
  if (TControl* owner = SkinData()->OwnerControl()) {
    canvas.SelectFont(owner->Font()->PlatformFont());
    return;
  }
  HFONT font = reinterpret_cast<HFONT>(SendMessage(Handle(), WM_GETFONT, 0, 0));
  std::shared_ptr<const TFont> f = font ? GetFontObject(font) : nullptr;
  if (!f) f = GetFontObject(GetStockFont(DEFAULT_GUI_FONT));
  if (f) canvas.SelectFont(f);
}

void TnxSkinPaintWnd::WriteText(TDC& canvas, std::string_view text, bool enabled, bool hot,
                                std::uint32_t format, const TRect& rect) const {
  if (text.empty() || rect.IsEmpty()) return;
  SelectWindowFont(canvas);
  WriteControlText(*SkinData(), canvas, text, enabled, hot, hot ? 1 : 0, format, rect);
}

}  // namespace vm
