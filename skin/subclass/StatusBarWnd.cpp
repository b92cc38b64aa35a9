#include "skin/subclass/StatusBarWnd.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/controls/ControlDefs.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/MaskPaint.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/state/CommonData.h"
#include "toolkit/Colors.h"

namespace vm {

bool TnxStatusBarWnd::ChangesLook(UINT message) const {
  switch (message) {
    case SB_SETTEXT:
    case SB_SETPARTS:
    case SB_SIMPLE:
    case SB_SETMINHEIGHT:
    case SB_SETBKCOLOR:
      return true;
    default:
      return TnxSkinPaintWnd::ChangesLook(message);
  }
}

int TnxStatusBarWnd::GripMask() const {
  const TsSkinManager* m = SkinManager();
  int grip = GlobalMask("GRIPIMAGE");
  if (!m->IsValidMaskIndex(grip)) {
    const int form = m->FindSectionIndex("FORM");
    grip = form >= 0 ? m->FindMaskIndex(form, "FORM", "GRIPIMAGE") : -1;
  }
  return grip;
}

void TnxStatusBarWnd::PaintPart(TBitmap& cache, TDC& dc, int part, TRect r, bool divider) {
  const HWND h = Handle();
  const LRESULT info = SendMessage(h, SB_GETTEXTLENGTH, WPARAM(part), 0);
  const WPARAM flags = WPARAM(HIWORD(std::uintptr_t(info)));
  if (divider && !(flags & SBT_NOBORDERS) && r.Right < cache.Width()) {
    TColor border = SkinManager()->SkinData.BorderColor;
    if (border == KeyColor) border = clBtnShadow;
    dc.FillRect(TRect{r.Right - 1, r.Top + 2, r.Right, r.Bottom - 2}, ColorToRGB(border));
  }
  const TRect inside{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  if (inside.IsEmpty()) return;
  if (flags & SBT_OWNERDRAW) {
    HWND parent = GetParent(h);
    if (!parent) return;
    DRAWITEMSTRUCT dis;
    dis.CtlID = UINT(GetDlgCtrlID(h));
    dis.itemID = UINT(part);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = IsWindowEnabled(h) ? 0 : ODS_DISABLED;
    dis.hwndItem = h;
    dis.hDC = &dc;
    dis.rcItem = inside;
    dis.itemData = std::uintptr_t(SendMessage(h, SB_GETTEXT, WPARAM(part), 0));
    TDCSaver save(dc);
    dc.IntersectClipRect(inside);
    SendMessage(parent, WM_DRAWITEM, WPARAM(dis.CtlID),
                LPARAM(reinterpret_cast<std::uintptr_t>(&dis)));
    return;
  }
  const std::size_t length = LOWORD(std::uintptr_t(info));
  if (length == 0) return;
  std::vector<char> buf(length + 1);
  SendMessage(h, SB_GETTEXT, WPARAM(part), LPARAM(reinterpret_cast<std::uintptr_t>(buf.data())));
  const std::string text(buf.data(), length);
  // Text, then after a tab centred text, then after a second tab right-aligned text.
  std::string_view segments[3];
  if (flags & SBT_NOTABPARSING) {
    segments[0] = text;
  } else {
    std::string_view rest = text;
    for (int k = 0; k < 3; ++k) {
      const std::size_t tab = k < 2 ? rest.find('\t') : std::string_view::npos;
      segments[k] = rest.substr(0, tab);
      if (tab == std::string_view::npos) break;
      rest.remove_prefix(tab + 1);
    }
  }
  const TRect tr{inside.Left + 2, inside.Top, inside.Right - 2, inside.Bottom};
  if (tr.IsEmpty()) return;
  const std::uint32_t align[3] = {DT_LEFT, DT_CENTER, DT_RIGHT};
  for (int k = 0; k < 3; ++k) {
    if (segments[k].empty()) continue;
    std::uint32_t f = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | align[k];
    if (flags & SBT_RTLREADING) f |= DT_RTLREADING;
    if (k == 0) f |= DT_END_ELLIPSIS;
    WriteText(dc, segments[k], IsWindowEnabled(h), false, f, tr);
  }
}

void TnxStatusBarWnd::PaintContent(TBitmap& cache, const BackgroundInfo& background) {
  (void)background;
  const HWND h = Handle();
  TsSkinManager* m = SkinManager();
  const int w = cache.Width(), hgt = cache.Height();
  // The grip's room at the right: parts stop short of it.
  int gripLeft = w;
  int grip = -1;
  TSize gripSize;
  if (Style() & SBARS_SIZEGRIP) {
    grip = GripMask();
    if (m->IsValidMaskIndex(grip)) {
      gripSize = m->MaskStateSize(grip);
      gripLeft = std::max(0, w - gripSize.cx);
    }
  }
  TDC dc(cache);
  auto clipped = [&](TRect r) {
    r.Right = std::min(r.Right, gripLeft);
    return r;
  };
  if (SendMessage(h, SB_ISSIMPLE, 0, 0)) {
    TRect r;
    if (SendMessage(h, SB_GETRECT, SB_SIMPLEID, LPARAM(reinterpret_cast<std::uintptr_t>(&r))))
      PaintPart(cache, dc, int(SB_SIMPLEID), clipped(r), false);
  } else {
    const int count = int(std::clamp<LRESULT>(SendMessage(h, SB_GETPARTS, 0, 0), 0, 256));
    for (int i = 0; i < count && IsWindow(h); ++i) {
      TRect r;
      if (!SendMessage(h, SB_GETRECT, WPARAM(i), LPARAM(reinterpret_cast<std::uintptr_t>(&r))))
        continue;
      PaintPart(cache, dc, i, clipped(r), i + 1 < count);
    }
  }
  if (IsWindow(h) && m->IsValidMaskIndex(grip) && gripSize.cx > 0 && gripSize.cy > 0)
    PaintStateImage(cache, TPoint{w - gripSize.cx, hgt - gripSize.cy}, 0, m->ma[std::size_t(grip)]);
}

}  // namespace vm
