#include "skin/frame/FrameMetrics.h"

#include <algorithm>

#include "platform/win/WinApi.h"
#include "skin/frame/CaptionIcon.h"
#include "toolkit/Form.h"
#include "toolkit/MainMenu.h"

namespace vm {

TsFrameMetrics MeasureWindowFrame(HWND h, const TsFrameStyle& fs, TSize windowSize,
                                  TSize clientSize) {
  TsFrameMetrics m;
  const TFormBorderStyle style = fs.BorderStyle;
  const bool child = fs.MDIChild;
  if (h && !IsWindow(h)) h = nullptr;
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
  if (fs.HasMenu) m.MenuLineHeight = GetSystemMetrics(SM_CYMENU) - 1;

  // Geometry: the window's outer size and where the platform put the client
  // area inside it.
  TRect window = Bounds(0, 0, windowSize.cx, windowSize.cy);
  TRect client = Bounds(0, 0, clientSize.cx, clientSize.cy);
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

  m.IconShown = fs.ShowAppIcon && (style == bsSingle || style == bsSizeable);
  if (m.IconShown) {
    const int side = CaptionIconSide(m.CaptionHeight);
    m.IconSize = {fs.TitleIconWidth ? fs.TitleIconWidth : side,
                  fs.TitleIconHeight ? fs.TitleIconHeight : side};
    m.IconRect = Bounds(m.BorderWidth, (m.CaptionHeight + m.BorderHeight - m.IconSize.cy) / 2,
                        m.IconSize.cx, m.IconSize.cy);
  }
  return m;
}

TFormBorderStyle BorderStyleOfWindow(DWORD style, DWORD exStyle) {
  const bool sizing = (style & WS_THICKFRAME) != 0;
  const bool caption = (style & WS_CAPTION) == WS_CAPTION;
  if ((exStyle & WS_EX_TOOLWINDOW) && caption) return sizing ? bsSizeToolWin : bsToolWindow;
  if (sizing) return bsSizeable;
  if (exStyle & WS_EX_DLGMODALFRAME) return bsDialog;
  // A caption brings the dialog frame with it; a thin line alone is no
  // frame the skin paints.
  if (caption || (style & WS_DLGFRAME)) return bsSingle;
  return bsNone;
}

TsFrameMetrics MeasureFrame(const TCustomForm& form, bool showAppIcon, int titleIconWidth,
                            int titleIconHeight) {
  auto& f = const_cast<TCustomForm&>(form);
  TsFrameStyle fs;
  fs.BorderStyle = form.BorderStyle();
  fs.MDIChild = form.FormStyle() == fsMDIChild;
  fs.HasMenu = form.Menu() != nullptr;
  fs.ShowAppIcon = showAppIcon;
  fs.TitleIconWidth = titleIconWidth;
  fs.TitleIconHeight = titleIconHeight;
  return MeasureWindowFrame(form.HandleAllocated() ? f.Handle() : nullptr, fs,
                            {form.Width(), form.Height()},
                            {form.ClientWidth(), form.ClientHeight()});
}

}  // namespace vm
