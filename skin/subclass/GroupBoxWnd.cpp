#include "skin/subclass/GroupBoxWnd.h"

#include <algorithm>

#include "platform/controls/ControlDefs.h"
#include "skin/data/SkinManager.h"
#include "skin/state/CommonData.h"
#include "skin/state/SkinCommand.h"

namespace vm {

namespace {

// The caption's distance from the box's edge and its margin on the frame line.
constexpr int Indent = 8;
constexpr int Pad = 2;

}  // namespace

TnxGroupBoxWnd::~TnxGroupBoxWnd() {
  // Detached here, while the object is still a group box, for CleanUp.
  Detach();
}

void TnxGroupBoxWnd::CleanUp() {
  TnxSkinPaintWnd::CleanUp();
  const HWND h = Handle();
  const HWND parent = IsWindow(h) ? GetParent(h) : nullptr;
  if (!parent) return;
  // The platform's box paints its frame lines only; the pixels between them
  // that the skinned frame covered are given what lies behind the box (a
  // parent that clips its children never paints there itself).
  UpdateGeometry();
  const BackgroundInfo behind = GetWindowBackground(h);
  if (IsWindow(h) && behind.Ready && behind.Bitmap) {
    TScopedDC dc(h);
    if (dc.Dc())
      dc.Dc()->BitBlt(0, 0, WndSize().cx, WndSize().cy, *behind.Bitmap, behind.OffsetX + WndPos().X,
                      behind.OffsetY + WndPos().Y, SRCCOPY);
  }
  if (!IsWindow(h)) return;
  TRect r;
  GetWindowRect(h, &r);
  TPoint origin{0, 0};
  ClientToScreen(parent, &origin);
  r = r.Offset(-origin.X, -origin.Y);
  RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int TnxGroupBoxWnd::CaptionHeight() const {
  TBitmap scratch(1, 1);
  TDC dc(scratch);
  SelectWindowFont(dc);
  return dc.GetTextMetrics().Height;
}

TRect TnxGroupBoxWnd::ItemRect() const {
  const TRect whole = TnxSkinPaintWnd::ItemRect();
  return TRect{whole.Left, std::min(whole.Top + CaptionHeight() / 2, whole.Bottom), whole.Right,
               whole.Bottom};
}

bool TnxGroupBoxWnd::HandleMessage(TMessage& m) {
  if (m.Msg == SM_NIRVEXCMD && CommandOf(m.WParam) == CmdGetCaptionHeight) {
    m.Result = m.LParam = CaptionHeight();
    return true;
  }
  return false;
}

void TnxGroupBoxWnd::PaintContent(TBitmap& cache, const BackgroundInfo& background) {
  const std::string& text = WndText();
  if (text.empty()) return;
  TDC dc(cache);
  SelectWindowFont(dc);
  const int w = cache.Width();
  TRect calc{0, 0, std::max(0, w - 2 * Indent), 0};
  dc.DrawText(text, calc, DT_SINGLELINE | DT_CALCRECT);
  const int tw = std::min(calc.Width(), std::max(0, w - 2 * Indent));
  int x = Indent;
  const DWORD align = Style() & BS_CENTER;
  if (align == BS_CENTER)
    x = (w - tw) / 2;
  else if (align == BS_RIGHT)
    x = w - Indent - tw;
  const TRect label{x, 0, x + tw, calc.Height()};
  // The frame line stops on either side of the caption.
  FillBehind(cache, background,
             TRect{std::max(0, label.Left - Pad), 0, std::min(w, label.Right + Pad),
                   std::min(cache.Height(), label.Bottom)});
  WriteText(dc, text, IsWindowEnabled(Handle()), false, DT_SINGLELINE | DT_END_ELLIPSIS, label);
}

void TnxGroupBoxWnd::CopyCache(TDC& dc, const TBitmap& cache) {
  if (SkinData()->OwnerControl()) {
    TnxSkinPaintWnd::CopyCache(dc, cache);
    return;
  }
  const int w = cache.Width(), h = cache.Height();
  int wl = 2, wt = 2, wr = 2, wb = 2;
  const TsSkinManager* m = SkinManager();
  if (m->IsValidMaskIndex(SkinData()->BorderMaskIndex)) {
    const TsMaskData& border = m->ma[std::size_t(SkinData()->BorderMaskIndex)];
    wl = border.WL;
    wt = border.WT;
    wr = border.WR;
    wb = border.WB;
  }
  const int top = std::min(h, std::max(CaptionHeight(), CaptionHeight() / 2 + wt));
  dc.BitBlt(0, 0, w, top, cache, 0, 0, SRCCOPY);
  dc.BitBlt(0, top, wl, h - top, cache, 0, top, SRCCOPY);
  dc.BitBlt(w - wr, top, wr, h - top, cache, w - wr, top, SRCCOPY);
  dc.BitBlt(0, h - wb, w, wb, cache, 0, h - wb, SRCCOPY);
}

}  // namespace vm
