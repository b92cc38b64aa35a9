#include "skin/frame/FrameMetrics.h"

#include <algorithm>

#include "platform/win/WinApi.h"
#include "skin/frame/CaptionIcon.h"
#include "toolkit/Form.h"
#include "toolkit/MainMenu.h"

namespace vm {

TsFrameMetrics MeasureFrame(const TCustomForm& form, bool showAppIcon, int titleIconWidth,
                            int titleIconHeight) {
  TsFrameMetrics m;
  auto& f = const_cast<TCustomForm&>(form);
  const TFormBorderStyle style = form.BorderStyle();
  const bool child = form.FormStyle() == fsMDIChild;
  HWND h = form.HandleAllocated() ? f.Handle() : nullptr;
  const DWORD ws = h ? DWORD(GetWindowLongPtr(h, GWL_STYLE)) : 0;
  m.Minimized = h && IsIconic(h);
  m.Maximized = h && IsZoomed(h);
  m.HasBorder = style != bsNone || child;

  // Border: the fixed (dialog) frame for forms that cannot be sized, the
  // sizing frame for the others.
  if (m.HasBorder) {
    const bool fixed = child ? (style == bsSingle || style == bsToolWindow)
                             : (style == bsSingle || style == bsDialog || style == bsToolWindow);
    // A fixed multi-document child has the platform's fixed frame (the same
    // width as a dialog frame), never the one-pixel line.
    if (child) {
      m.BorderHeight = GetSystemMetrics(fixed ? SM_CYFIXEDFRAME : SM_CYFRAME);
      m.BorderWidth = GetSystemMetrics(fixed ? SM_CXFIXEDFRAME : SM_CXFRAME);
    } else {
      m.BorderHeight = GetSystemMetrics(fixed ? SM_CYDLGFRAME : SM_CYFRAME);
      m.BorderWidth = GetSystemMetrics(fixed ? SM_CXDLGFRAME : SM_CXFRAME);
    }
  }
  const bool captionStyle = h ? (ws & WS_CAPTION) == WS_CAPTION : style != bsNone;
  if ((m.HasBorder && captionStyle) || m.Minimized) {
    const bool small = style == bsToolWindow || style == bsSizeToolWin;
    m.CaptionHeight = GetSystemMetrics(small ? SM_CYSMCAPTION : SM_CYCAPTION);
  }
  if (form.Menu()) m.MenuLineHeight = GetSystemMetrics(SM_CYMENU) - 1;

  // Geometry: the window's outer size and where the platform put the client
  // area inside it.
  TRect window = Bounds(0, 0, form.Width(), form.Height());
  TRect client = Bounds(0, 0, form.ClientWidth(), form.ClientHeight());
  TPoint origin{0, 0};
  if (h) {
    GetWindowRect(h, &window);
    GetClientRect(h, &client);
    ClientToScreen(h, &origin);
    origin.X -= window.Left;
    origin.Y -= window.Top;
  } else {
    origin = {m.BorderWidth, m.BorderHeight + m.CaptionHeight};
  }
  m.FrameWidth = std::max(window.Width(), 0);
  m.WindowHeight = std::max(window.Height(), 0);
  m.ClientWidth = client.Width();
  m.ClientHeight = client.Height();
  m.ClientLeft = std::max(origin.X, 0);
  m.ClientTop = std::max(origin.Y, 0);
  m.TopAreaHeight = std::max(m.ClientTop, 0);
  if (m.Minimized) m.TopAreaHeight = m.BorderHeight + m.CaptionHeight;

  m.IconShown = showAppIcon && (style == bsSingle || style == bsSizeable);
  if (m.IconShown) {
    const int side = CaptionIconSide(m.CaptionHeight);
    m.IconSize = {titleIconWidth ? titleIconWidth : side, titleIconHeight ? titleIconHeight : side};
    m.IconRect = Bounds(m.BorderWidth, (m.CaptionHeight + m.BorderHeight - m.IconSize.cy) / 2,
                        m.IconSize.cx, m.IconSize.cy);
  }
  return m;
}

}  // namespace vm
