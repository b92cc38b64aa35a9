#include "skin/state/CacheCopy.h"

#include <algorithm>
#include <vector>

#include "platform/controls/ControlDefs.h"
#include "platform/gfx/SysColors.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/state/CommonData.h"
#include "skin/state/ControlPaint.h"
#include "skin/state/SkinCommand.h"
#include "toolkit/WinControl.h"

namespace vm {

namespace {

void CopyCache(TsCommonData& data, TRect sourceRect, TDC& dc, TRect destRect) {
  if (!data.CacheBmp || data.CacheBmp->Empty()) return;
  dc.BitBlt(destRect.Left, destRect.Top, destRect.Width(), destRect.Height(), *data.CacheBmp,
            sourceRect.Left, sourceRect.Top, SRCCOPY);
}

bool IsGroupBoxWindow(HWND h) {
  const std::string cls = GetClassName(h);
  if (cls == "TGroupBox") return true;
  return cls == "BUTTON" && (GetWindowLongPtr(h, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

}  // namespace

void CopyCacheToDC(TWinControl* control, TsCommonData& data, TRect sourceRect, int dy, int dx,
                   bool refreshCorners, TDC& dc, TRect destRect) {
  if (refreshCorners) RefillAllCorners(data, 0);
  TDCSaver saver(dc);
  dc.IntersectClipRect(destRect);
  if (control) {
    for (int i = 0; i < control->ControlCount(); ++i) {
      TControl* child = control->Controls(i);
      if (!child || !child->Visible()) continue;
      const bool windowless = dynamic_cast<TWinControl*>(child) == nullptr;
      const bool opaque = (child->ControlStyle() & csOpaque) != 0;
      if (!windowless && !opaque && !child->IsDesigning()) continue;
      const TRect r = child->BoundsRect().Offset(dx, dy);
      if (r.Intersect(destRect).IsEmpty()) continue;
      dc.ExcludeClipRect(r);
    }
  }
  CopyCache(data, sourceRect, dc, destRect);
}

void CopyCacheToWindowDC(HWND window, TsCommonData& data, TRect sourceRect, int dy, int dx,
                         bool refreshCorners, TDC& dc, TRect destRect) {
  if (refreshCorners) RefillAllCorners(data, 0);
  TDCSaver saver(dc);
  dc.IntersectClipRect(destRect);
  if (window && IsWindow(window)) {
    TsSkinManager* m = data.GetSkinManager();
    for (HWND h = GetWindow(window, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
      if (!(GetWindowLongPtr(h, GWL_STYLE) & WS_VISIBLE)) continue;
      TRect r;
      GetWindowRect(h, &r);
      TPoint corners[2] = {{r.Left, r.Top}, {r.Right, r.Bottom}};
      MapWindowPoints(nullptr, window, corners, 2);
      r = TRect{corners[0].X, corners[0].Y, corners[1].X, corners[1].Y}.Offset(dx, dy);
      if (IsGroupBoxWindow(h) && !(GetWindowLongPtr(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)) {
        // Only the frame of a group box hides what lies under it.
        const int caption = int(SendCommandToWindow(h, CmdGetCaptionHeight));
        int left = 0, right = 0, bottom = 0;
        if (m) {
          const int section = m->FindSectionIndex("GROUPBOX");
          const int border = m->FindMaskIndex(section, "GROUPBOX", "BORDERSMASK");
          left = m->MaskBorderLeft(border);
          right = m->MaskBorderRight(border);
          bottom = m->MaskBorderBottom(border);
        }
        dc.ExcludeClipRect(TRect{r.Left, r.Top, r.Right, r.Top + caption});
        dc.ExcludeClipRect(TRect{r.Left, r.Top, r.Left + left, r.Bottom});
        dc.ExcludeClipRect(TRect{r.Right - right, r.Top, r.Right, r.Bottom});
        dc.ExcludeClipRect(TRect{r.Left, r.Bottom - bottom, r.Right, r.Bottom});
      } else {
        dc.ExcludeClipRect(r);
      }
    }
  }
  CopyCache(data, sourceRect, dc, destRect);
}

void PaintGraphicChildren(TDC& dc, TWinControl* container, TPoint offset) {
  if (!container || container->ControlCount() == 0) return;
  if (!container->Visible() && !container->IsDesigning()) return;
  const TRect clip = dc.ClipBox();
  if (clip.IsEmpty()) {
    SendCommand(container, CmdSetMark);
    return;
  }
  BackgroundAnswer.Ready = 0;
  SendCommand(container, CmdGetBackground);
  const BackgroundInfo background = BackgroundAnswer;
  if (!background.Ready || !background.Bitmap) return;

  // The qualifying children, taken before any of them paints.
  std::vector<TControlRef> children;
  for (int i = 0; i < container->ControlCount(); ++i) {
    TControl* c = container->Controls(i);
    if (!c || dynamic_cast<TWinControl*>(c) || !c->Visible() || c->IsDestroying()) continue;
    if (c->Width() <= 0 || c->Height() <= 0) continue;
    if (c->BoundsRect().Offset(offset.X, offset.Y).Intersect(clip).IsEmpty()) {
      SendCommand(c, CmdSetMark);
      continue;
    }
    children.emplace_back(c);
  }
  if (children.empty()) return;

  TBitmap buffer(std::max(container->Width(), 1), std::max(container->Height(), 1));
  for (TControlRef& ref : children) {
    TControl* c = ref.Get();
    if (!c) continue;
    const TRect r = c->BoundsRect();
    if (c->ControlStyle() & csOpaque) {
      TDC(buffer).FillRect(r, ColorToRGB(c->Color()));
    } else {
      const TRect from = r.Offset(background.OffsetX, background.OffsetY);
      TDC(buffer).BitBlt(r.Left, r.Top, r.Width(), r.Height(), *background.Bitmap, from.Left,
                         from.Top, SRCCOPY);
    }
  }
  TDC bufferDC(buffer);
  for (TControlRef& ref : children) {
    TControl* c = ref.Get();
    if (!c) continue;
    TDCSaver saver(bufferDC);
    bufferDC.OffsetViewportOrg(c->Left(), c->Top());
    bufferDC.IntersectClipRect(Rect(0, 0, c->Width(), c->Height()));
    c->Perform(WM_PAINT, WPARAM(reinterpret_cast<std::uintptr_t>(&bufferDC)), 0);
  }
  for (TControlRef& ref : children) {
    TControl* c = ref.Get();
    if (!c) continue;
    const TRect r = c->BoundsRect();
    if (buffer.GetPixel(r.Left, r.Top) == KeyColor) continue;
    dc.BitBlt(r.Left + offset.X, r.Top + offset.Y, r.Width(), r.Height(), buffer, r.Left, r.Top,
              SRCCOPY);
  }
}

}  // namespace vm
