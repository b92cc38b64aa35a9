// The non-client area: frame measures from the system metrics, hit testing
// and the plain classic frame DefWindowProc paints.
#include <algorithm>
#include <array>

#include "platform/gfx/ClassicDraw.h"
#include "platform/gfx/SysColors.h"
#include "platform/win/MenuState.h"
#include "platform/win/WindowSystem.h"

namespace vm {

TFrameMetrics FrameMetrics(DWORD style, DWORD exStyle) {
  TFrameMetrics m;
  if (style & WS_THICKFRAME)
    m.Border = GetSystemMetrics(SM_CXFRAME);
  else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
    m.Border = GetSystemMetrics(SM_CXDLGFRAME);
  else if (style & WS_BORDER)
    m.Border = GetSystemMetrics(SM_CXBORDER);
  if ((style & WS_CAPTION) == WS_CAPTION) {
    m.SmallCaption = (exStyle & WS_EX_TOOLWINDOW) != 0;
    m.Caption = GetSystemMetrics(m.SmallCaption ? SM_CYSMCAPTION : SM_CYCAPTION);
  }
  if (exStyle & WS_EX_CLIENTEDGE)
    m.ClientEdge = GetSystemMetrics(SM_CXEDGE);
  else if (exStyle & WS_EX_STATICEDGE)
    m.ClientEdge = GetSystemMetrics(SM_CXBORDER);
  if (style & WS_VSCROLL) m.VScroll = GetSystemMetrics(SM_CXVSCROLL);
  if (style & WS_HSCROLL) m.HScroll = GetSystemMetrics(SM_CYHSCROLL);
  return m;
}

TRect ClientFromWindow(DWORD style, DWORD exStyle, const TRect& window) {
  TFrameMetrics m = FrameMetrics(style, exStyle);
  TRect c{window.Left + m.Border + m.ClientEdge, window.Top + m.Border + m.Caption + m.ClientEdge,
          window.Right - m.Border - m.ClientEdge - m.VScroll,
          window.Bottom - m.Border - m.ClientEdge - m.HScroll};
  c.Right = std::max(c.Right, c.Left);
  c.Bottom = std::max(c.Bottom, c.Top);
  return c;
}

namespace {

bool HasIcon(const TWnd* w, const TFrameMetrics& m) {
  return m.Caption && !m.SmallCaption && (w->Style & WS_SYSMENU) &&
         !(w->ExStyle & WS_EX_DLGMODALFRAME);
}

TRect IconRect(const TWnd* w, const TFrameMetrics& m) {
  if (!HasIcon(w, m)) return {};
  int size = GetSystemMetrics(SM_CXSMICON);
  int top = m.Border + (m.Caption - 1 - size) / 2;
  return Bounds(m.Border + 2, top, size, size);
}

}  // namespace

TRect CaptionButtonRect(const TWnd* w, LRESULT hit) {
  TFrameMetrics m = FrameMetrics(w->Style, w->ExStyle);
  if (!m.Caption || !(w->Style & WS_SYSMENU)) return {};
  int bw = GetSystemMetrics(m.SmallCaption ? SM_CXSMSIZE : SM_CXSIZE) - 2;
  int bh = GetSystemMetrics(m.SmallCaption ? SM_CYSMSIZE : SM_CYSIZE) - 4;
  int y = m.Border + 2;
  TRect close = Bounds(w->Width() - m.Border - 2 - bw, y, bw, bh);
  if (hit == HTCLOSE) return close;
  if (m.SmallCaption || !(w->Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) return {};
  TRect max = close.Offset(-(bw + 2), 0);
  if (hit == HTMAXBUTTON) return max;
  if (hit == HTMINBUTTON) return max.Offset(-bw, 0);
  return {};
}

LRESULT ClassicHitTest(const TWnd* w, TPoint p) {
  int W = w->Width(), H = w->Height();
  if (!Rect(0, 0, W, H).Contains(p)) return HTNOWHERE;
  if (w->WindowRgn && !w->WindowRgn->Contains(p)) return HTNOWHERE;
  if (w->Client.Contains(p)) return HTCLIENT;
  TFrameMetrics m = FrameMetrics(w->Style, w->ExStyle);
  int b = m.Border;
  bool inBorder = p.X < b || p.X >= W - b || p.Y < b || p.Y >= H - b;
  if (inBorder) {
    if (!(w->Style & WS_THICKFRAME) || w->Maximized) return HTBORDER;
    // Corners reach along the edges as far as a caption button is wide.
    int c = GetSystemMetrics(SM_CXSIZE) + b;
    bool left = p.X < c, right = p.X >= W - c, top = p.Y < c, bottom = p.Y >= H - c;
    if (p.Y < b) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
    if (p.Y >= H - b) return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
    if (p.X < b) return top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
    return top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
  }
  if (m.Caption && p.Y < b + m.Caption) {
    for (LRESULT hit : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON})
      if (CaptionButtonRect(w, hit).Contains(p)) return hit;
    if (IconRect(w, m).Contains(p)) return HTSYSMENU;
    return HTCAPTION;
  }
  TRect c = w->Client;
  if (m.VScroll && p.X >= c.Right && p.X < c.Right + m.VScroll)
    return p.Y < c.Bottom ? HTVSCROLL : (w->Style & WS_THICKFRAME ? HTGROWBOX : HTNOWHERE);
  if (m.HScroll && p.Y >= c.Bottom && p.Y < c.Bottom + m.HScroll) return HTHSCROLL;
  return HTBORDER;
}

namespace {

TColor Sys(int index) {
  return GetSysColor(index);
}

TRect Inflate(const TRect& r, int d) {
  return {r.Left - d, r.Top - d, r.Right + d, r.Bottom + d};
}

void CaptionButton(TDC& dc, const TRect& r, LRESULT kind, bool pressed, bool maximized,
                   bool enabled) {
  if (r.IsEmpty()) return;
  std::uint32_t part = kind == HTCLOSE       ? DFCS_CAPTIONCLOSE
                       : kind == HTMINBUTTON ? DFCS_CAPTIONMIN
                       : maximized           ? DFCS_CAPTIONRESTORE
                                             : DFCS_CAPTIONMAX;
  TRect box = r;
  DrawFrameControl(&dc, &box, DFC_CAPTION,
                   part | (pressed ? DFCS_PUSHED : 0) | (enabled ? 0 : DFCS_INACTIVE));
}

}  // namespace

void PaintClassicFrame(const TWnd* w, TDC& dc, bool active, LRESULT pressedButton) {
  int W = w->Width(), H = w->Height();
  TFrameMetrics m = FrameMetrics(w->Style, w->ExStyle);
  TRect all = Rect(0, 0, W, H);
  int b = m.Border;
  if (b >= 3) {
    TRect edge = all;
    DrawEdge(&dc, &edge, EDGE_RAISED, BF_RECT);
    TColor ring = (w->Style & WS_THICKFRAME)
                      ? Sys(active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER)
                      : Sys(COLOR_BTNFACE);
    for (int i = 2; i < b; ++i) dc.FrameRect(Inflate(all, -i), ring);
  } else if (b > 0) {
    for (int i = 0; i < b; ++i) dc.FrameRect(Inflate(all, -i), Sys(COLOR_WINDOWFRAME));
  }

  if (m.Caption) {
    TRect cap{b, b, W - b, b + m.Caption - 1};
    TColor c1 = Sys(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    TColor c2 = Sys(active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION);
    // Column t of the caption mixes the two colours t / (width - 1) of the
    // way; the columns are worked out a batch at a time and each batch filled
    // down the caption's rows at once.
    int n = std::max(cap.Width() - 1, 1);
    std::array<TColor, 256> batch;
    for (int x0 = cap.Left; x0 < cap.Right; x0 += int(batch.size())) {
      const int x1 = std::min(cap.Right, x0 + int(batch.size()));
      for (int x = x0; x < x1; ++x) {
        int t = x - cap.Left;
        auto mix = [&](int a, int z) { return a + (z - a) * t / n; };
        batch[std::size_t(x - x0)] =
            RGB(mix(GetRValue(c1), GetRValue(c2)), mix(GetGValue(c1), GetGValue(c2)),
                mix(GetBValue(c1), GetBValue(c2)));
      }
      dc.FillColumns({x0, cap.Top, x1, cap.Bottom},
                     std::span<const TColor>(batch.data(), std::size_t(x1 - x0)));
    }
    dc.FillRect({cap.Left, cap.Bottom, cap.Right, cap.Bottom + 1}, Sys(COLOR_BTNFACE));

    int textLeft = cap.Left + 2;
    TRect icon = IconRect(w, m);
    if (!icon.IsEmpty()) {
      HICON h = w->IconSmall             ? w->IconSmall
                : w->IconBig             ? w->IconBig
                : w->Class->Info.hIconSm ? w->Class->Info.hIconSm
                                         : w->Class->Info.hIcon;
      if (h) {
        DrawIconEx(&dc, icon.Left, icon.Top, h, icon.Width(), icon.Height());
        textLeft = icon.Right + 2;
      }
    }
    int textRight = cap.Right - 2;
    bool maximized = w->Maximized;
    bool noClose = (w->Class->Info.style & CS_NOCLOSE) != 0;
    for (LRESULT hit : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON}) {
      TRect r = CaptionButtonRect(w, hit);
      if (r.IsEmpty()) continue;
      bool enabled = hit == HTCLOSE       ? !noClose
                     : hit == HTMAXBUTTON ? (w->Style & WS_MAXIMIZEBOX) != 0
                                          : (w->Style & WS_MINIMIZEBOX) != 0;
      CaptionButton(dc, r, hit, pressedButton == hit, maximized, enabled);
      textRight = std::min(textRight, r.Left - 2);
    }
    if (!w->Text.empty() && textRight > textLeft) {
      TDCSaver save(dc);
      TFontDesc fd;
      fd.Family = "Tahoma";
      fd.Height = m.SmallCaption ? -10 : -11;
      fd.Bold = true;
      dc.SelectFont(TFont::Get(fd));
      dc.SetBkMode(TRANSPARENT);
      dc.SetTextColor(Sys(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
      TRect tr{textLeft, cap.Top, textRight, cap.Bottom};
      dc.DrawText(w->Text, tr,
                  DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
  }

  TRect c = w->Client;
  if (m.ClientEdge >= 2) {
    TRect e{c.Left - 2, c.Top - 2, c.Right + 2 + m.VScroll, c.Bottom + 2 + m.HScroll};
    DrawEdge(&dc, &e, EDGE_SUNKEN, BF_RECT);
  } else if (m.ClientEdge == 1) {
    TRect e{c.Left - 1, c.Top - 1, c.Right + 1 + m.VScroll, c.Bottom + 1 + m.HScroll};
    DrawEdge(&dc, &e, BDR_SUNKENOUTER, BF_RECT);
  }
  PaintWindowScrollBars(w, dc);
  if (m.VScroll && m.HScroll)
    dc.FillRect({c.Right, c.Bottom, c.Right + m.VScroll, c.Bottom + m.HScroll}, Sys(COLOR_BTNFACE));
  PaintMenuBar(w, dc);
}

void DrawClassicFrame(HWND hwnd, HDC dc, bool active) {
  TWnd* w = TWindowSystem::Get().Find(hwnd);
  if (!w || !dc) return;
  PaintClassicFrame(w, *dc, active, 0);
}

// ---------------------------------------------------------------- metrics

int GetSystemMetrics(int index) {
  // The classic look at 96 pixels per inch.
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
    case SM_CXMAXIMIZED:
      if (THost* h = GetHost()) return h->ScreenSize().cx;
      return 1280;
    case SM_CYSCREEN:
    case SM_CYFULLSCREEN:
    case SM_CYMAXIMIZED:
      if (THost* h = GetHost()) return h->ScreenSize().cy;
      return 1024;
    case SM_CXVSCROLL:
      return 16;
    case SM_CYHSCROLL:
      return 16;
    case SM_CYCAPTION:
      return 19;
    case SM_CXBORDER:
      return 1;
    case SM_CYBORDER:
      return 1;
    case SM_CXDLGFRAME:
      return 3;
    case SM_CYDLGFRAME:
      return 3;
    case SM_CYVTHUMB:
      return 16;
    case SM_CXHTHUMB:
      return 16;
    case SM_CXICON:
      return 32;
    case SM_CYICON:
      return 32;
    case SM_CXCURSOR:
      return 32;
    case SM_CYCURSOR:
      return 32;
    case SM_CYMENU:
      return 19;
    case SM_CYVSCROLL:
      return 16;
    case SM_CXHSCROLL:
      return 16;
    case SM_SWAPBUTTON:
      return 0;
    case SM_CXMIN:
      return 112;
    case SM_CYMIN:
      return 27;
    case SM_CXSIZE:
      return 18;
    case SM_CYSIZE:
      return 18;
    case SM_CXFRAME:
      return 4;
    case SM_CYFRAME:
      return 4;
    case SM_CXMINTRACK:
      return 112;
    case SM_CYMINTRACK:
      return 27;
    case SM_CXDOUBLECLK:
      return 4;
    case SM_CYDOUBLECLK:
      return 4;
    case SM_CXEDGE:
      return 2;
    case SM_CYEDGE:
      return 2;
    case SM_CXSMICON:
      return 16;
    case SM_CYSMICON:
      return 16;
    case SM_CYSMCAPTION:
      return 15;
    case SM_CXSMSIZE:
      return 12;
    case SM_CYSMSIZE:
      return 14;
    case SM_CXMENUSIZE:
      return 18;
    case SM_CYMENUSIZE:
      return 18;
    case SM_CXMAXTRACK:
      return GetSystemMetrics(SM_CXSCREEN) + 12;
    case SM_CYMAXTRACK:
      return GetSystemMetrics(SM_CYSCREEN) + 12;
    case SM_CXDRAG:
      return 4;
    case SM_CYDRAG:
      return 4;
    case SM_CXMENUCHECK:
      return 13;
    case SM_CYMENUCHECK:
      return 13;
    case SM_MOUSEWHEELPRESENT:
      return 1;
  }
  return 0;
}

bool SystemParametersInfo(UINT action, UINT param, void* value, UINT winIni) {
  (void)param;
  (void)winIni;
  if (!value) return false;
  switch (action) {
    case SPI_GETWORKAREA:
      if (THost* h = GetHost())
        *static_cast<TRect*>(value) = h->WorkArea();
      else
        *static_cast<TRect*>(value) =
            Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
      return true;
    case SPI_GETNONCLIENTMETRICS: {
      NONCLIENTMETRICS& m = *static_cast<NONCLIENTMETRICS*>(value);
      m = NONCLIENTMETRICS{};
      m.iBorderWidth = 1;
      m.iScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
      m.iScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
      m.iCaptionWidth = GetSystemMetrics(SM_CXSIZE);
      m.iCaptionHeight = GetSystemMetrics(SM_CYSIZE);
      m.lfCaptionFont = TFontDesc{"Tahoma", -11, true};
      m.iSmCaptionWidth = GetSystemMetrics(SM_CXSMSIZE);
      m.iSmCaptionHeight = GetSystemMetrics(SM_CYSMSIZE);
      m.lfSmCaptionFont = TFontDesc{"Tahoma", -11, true};
      m.iMenuWidth = GetSystemMetrics(SM_CXMENUSIZE);
      m.iMenuHeight = GetSystemMetrics(SM_CYMENUSIZE);
      m.lfMenuFont = TFontDesc{"Tahoma", -11};
      m.lfStatusFont = TFontDesc{"Tahoma", -11};
      m.lfMessageFont = TFontDesc{"Tahoma", -11};
      return true;
    }
    case SPI_GETKEYBOARDCUES:
    case SPI_GETGRADIENTCAPTIONS:
    case SPI_GETDRAGFULLWINDOWS:
      *static_cast<bool*>(value) = action != SPI_GETKEYBOARDCUES;
      return true;
    case SPI_GETWHEELSCROLLLINES:
      *static_cast<UINT*>(value) = 3;
      return true;
    case SPI_GETMOUSEHOVERWIDTH:
    case SPI_GETMOUSEHOVERHEIGHT:
      *static_cast<UINT*>(value) = 4;
      return true;
    case SPI_GETMOUSEHOVERTIME:
      *static_cast<UINT*>(value) = 400;
      return true;
  }
  return false;
}

// ---------------------------------------------------------------- monitors

namespace {
HMONITOR const ThePrimaryMonitor = reinterpret_cast<HMONITOR>(std::uintptr_t(1));
}  // namespace

HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags) {
  if (!IsWindow(hwnd) && flags == MONITOR_DEFAULTTONULL) return nullptr;
  return ThePrimaryMonitor;
}

HMONITOR MonitorFromPoint(TPoint p, DWORD flags) {
  TRect screen = Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  if (!screen.Contains(p) && flags == MONITOR_DEFAULTTONULL) return nullptr;
  return ThePrimaryMonitor;
}

bool GetMonitorInfo(HMONITOR monitor, MONITORINFO* info) {
  if (monitor != ThePrimaryMonitor || !info) return false;
  info->rcMonitor = Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  SystemParametersInfo(SPI_GETWORKAREA, 0, &info->rcWork, 0);
  info->dwFlags = MONITORINFOF_PRIMARY;
  return true;
}

}  // namespace vm
