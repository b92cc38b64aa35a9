// The message box: children made from the standard classes (an icon and a
// text "Static", one "Button" per answer), so that each can be found by its
// class and id and taken over like any other control.
#include "platform/controls/MessageBox.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "platform/controls/ControlDefs.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Dialog.h"
#include "platform/gfx/DC.h"

namespace vm {

namespace {

// Layout in pixels: margins, the gap between icon and text, button size and
// spacing. The text wraps at about two thirds of a 1024-pixel screen.
constexpr int Margin = 12;
constexpr int IconSize = 32;
constexpr int IconGap = 12;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 23;
constexpr int ButtonGap = 6;
constexpr int ButtonsTopGap = 14;
constexpr int MaxTextWidth = 600;
constexpr int MinClientWidth = 120;

struct TButtonSpec {
  int Id;
  const char* Caption;
};

std::vector<TButtonSpec> ButtonsOf(UINT type) {
  static const TButtonSpec ok{IDOK, "ОК"}, cancel{IDCANCEL, "Отмена"}, yes{IDYES, "Да"},
      no{IDNO, "Нет"}, abort{IDABORT, "Прервать"}, retry{IDRETRY, "Повтор"},
      ignore{IDIGNORE, "Пропустить"};
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {ok, cancel};
    case MB_ABORTRETRYIGNORE:
      return {abort, retry, ignore};
    case MB_YESNOCANCEL:
      return {yes, no, cancel};
    case MB_YESNO:
      return {yes, no};
    case MB_RETRYCANCEL:
      return {retry, cancel};
    default:
      return {ok};
  }
}

// ---- The stock icons ----
// Drawn from shapes with 4 × 4 samples per pixel so that their edges are
// smooth on any background.

struct TRgba {
  double R = 0, G = 0, B = 0, A = 0;
};

// Distance from p to the segment a-b.
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
  double dx = bx - ax, dy = by - ay;
  double t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy);
  t = std::clamp(t, 0.0, 1.0);
  double qx = ax + t * dx - px, qy = ay + t * dy - py;
  return std::sqrt(qx * qx + qy * qy);
}

// The colour of one sample of an icon, or transparent.
TRgba IconSample(UINT kind, double x, double y) {
  const TRgba none;
  auto rgb = [](int r, int g, int b) { return TRgba{double(r), double(g), double(b), 1.0}; };
  const double cx = 16, cy = 16;
  double d = std::hypot(x - cx, y - cy);
  switch (kind) {
    case MB_ICONHAND: {
      if (d > 15) return none;
      // A white cross on a red disc with a darker rim.
      double cross = std::min(SegmentDistance(x, y, 10.5, 10.5, 21.5, 21.5),
                              SegmentDistance(x, y, 21.5, 10.5, 10.5, 21.5));
      if (cross < 2.1) return rgb(255, 255, 255);
      if (d > 13.8) return rgb(150, 20, 20);
      // A soft light from the top left.
      double shade = std::clamp((x + y - 8) / 40.0, 0.0, 1.0);
      return rgb(int(235 - 45 * shade), int(70 - 45 * shade), int(60 - 40 * shade));
    }
    case MB_ICONEXCLAMATION: {
      // A yellow triangle, point up, with a black exclamation mark.
      const double top = 2.5, bottom = 29.5, half = 14.5;
      if (y < top || y > bottom) return none;
      double w = (y - top) / (bottom - top) * half;
      if (std::abs(x - cx) > w) return none;
      double edge = std::min({bottom - y, (w - std::abs(x - cx)) * 0.88});
      if (SegmentDistance(x, y, cx, 11, cx, 19.5) < 1.9) return rgb(20, 20, 20);
      if (std::hypot(x - cx, y - 24.3) < 2.0) return rgb(20, 20, 20);
      if (edge < 1.3) return rgb(150, 105, 0);
      double shade = std::clamp((y - 6) / 26.0, 0.0, 1.0);
      return rgb(255, int(225 - 40 * shade), int(70 - 60 * shade));
    }
    case MB_ICONASTERISK:
    case MB_ICONQUESTION: {
      if (d > 15) return none;
      bool mark;
      if (kind == MB_ICONASTERISK) {
        // "i": a dot and a stem.
        mark = std::hypot(x - cx, y - 9) < 2.3 || SegmentDistance(x, y, cx, 14, cx, 24) < 2.0;
      } else {
        // "?": three quarters of a ring, a short stem and a dot.
        double rx = x - cx, ry = y - 11.5;
        double ring = std::abs(std::hypot(rx, ry) - 5.2);
        double angle = std::atan2(-ry, rx) * 180 / 3.14159265358979;  // 0 right, 90 up
        bool onArc = ring < 1.9 && (angle > -90 || angle < -150);
        mark = onArc || SegmentDistance(x, y, cx, 16.5, cx, 19.5) < 1.9 ||
               std::hypot(x - cx, y - 24.2) < 2.1;
      }
      if (mark) return rgb(255, 255, 255);
      if (d > 13.8) return rgb(20, 60, 140);
      double shade = std::clamp((x + y - 8) / 40.0, 0.0, 1.0);
      return rgb(int(70 - 45 * shade), int(140 - 55 * shade), int(235 - 45 * shade));
    }
  }
  return none;
}

TBitmap PaintIcon(UINT kind) {
  TBitmap bmp(IconSize, IconSize, TPixelFormat::pf32bit);
  constexpr int S = 4;
  for (int py = 0; py < IconSize; ++py)
    for (int px = 0; px < IconSize; ++px) {
      TRgba sum;
      for (int sy = 0; sy < S; ++sy)
        for (int sx = 0; sx < S; ++sx) {
          TRgba s = IconSample(kind, px + (sx + 0.5) / S, py + (sy + 0.5) / S);
          sum.R += s.R * s.A;
          sum.G += s.G * s.A;
          sum.B += s.B * s.A;
          sum.A += s.A;
        }
      if (sum.A <= 0) continue;  // fully transparent: black with alpha 0
      auto channel = [&](double v) { return int(std::lround(std::clamp(v / sum.A, 0.0, 255.0))); };
      bmp.SetPixel(px, py, RGB(channel(sum.R), channel(sum.G), channel(sum.B)));
      bmp.SetAlpha(px, py, std::uint8_t(std::lround(sum.A * 255.0 / (S * S))));
    }
  return bmp;
}

struct TBoxState {
  UINT Type = 0;
  std::vector<TButtonSpec> Buttons;
  int DefaultId = IDOK;
};

bool HasButton(const TBoxState& s, int id) {
  return std::any_of(s.Buttons.begin(), s.Buttons.end(),
                     [&](const TButtonSpec& b) { return b.Id == id; });
}

HWND MakeChild(HWND dlg, const char* cls, std::string_view text, DWORD style, const TRect& r,
               int id) {
  HWND h = CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.Left, r.Top, r.Width(),
                          r.Height(), dlg, id);
  if (h)
    SendMessage(h, WM_SETFONT,
                WPARAM(reinterpret_cast<std::uintptr_t>(GetStockFont(DEFAULT_GUI_FONT))), 0);
  return h;
}

}  // namespace

HICON MessageBoxIcon(UINT iconType) {
  static std::array<HICON, 4> icons{};
  int slot;
  switch (iconType & MB_ICONMASK) {
    case MB_ICONHAND:
      slot = 0;
      break;
    case MB_ICONQUESTION:
      slot = 1;
      break;
    case MB_ICONEXCLAMATION:
      slot = 2;
      break;
    case MB_ICONASTERISK:
      slot = 3;
      break;
    default:
      return nullptr;
  }
  if (!icons[std::size_t(slot)])
    icons[std::size_t(slot)] = CreateIconFromBitmap(PaintIcon(iconType & MB_ICONMASK));
  return icons[std::size_t(slot)];
}

bool MessageBeep(UINT type) {
  (void)type;  // one sound for every kind: the display's bell
  THost* host = GetHost();
  if (!host) return false;
  host->Beep();
  return true;
}

int MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type) {
  RegisterStandardControls();
  TBoxState state;
  state.Type = type;
  state.Buttons = ButtonsOf(type);
  std::size_t defIndex = std::min<std::size_t>((type & MB_DEFMASK) >> 8, state.Buttons.size() - 1);
  state.DefaultId = state.Buttons[defIndex].Id;
  const std::string title = caption.empty() ? std::string("Ошибка") : std::string(caption);
  HICON icon = MessageBoxIcon(type);

  // Measure the text with the dialog font, wrapping long lines.
  HDC screen = GetDC(nullptr);
  HFONT old = SelectObject(screen, GetStockFont(DEFAULT_GUI_FONT));
  TRect textRect = Rect(0, 0, MaxTextWidth, 0);
  const UINT textFlags = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;
  DrawText(screen, text.empty() ? std::string_view(" ") : text, &textRect, textFlags | DT_CALCRECT);
  TSize captionSize{};
  GetTextExtentPoint32(screen, title, &captionSize);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);

  const int textLeft = icon ? Margin + IconSize + IconGap : Margin;
  const int textWidth = textRect.Width(), textHeight = textRect.Height();
  int textTop = Margin;
  if (icon && textHeight < IconSize) textTop = Margin + (IconSize - textHeight) / 2;
  const int contentBottom = std::max(textTop + textHeight, icon ? Margin + IconSize : 0);
  const int n = int(state.Buttons.size());
  const int rowWidth = n * ButtonWidth + (n - 1) * ButtonGap;
  // The caption keeps room for itself and the close button.
  const int clientWidth = std::max(
      {textLeft + textWidth + Margin, rowWidth + 2 * Margin, captionSize.cx + 48, MinClientWidth});
  const int buttonsTop = contentBottom + ButtonsTopGap;
  const int clientHeight = buttonsTop + ButtonHeight + Margin;

  DLGPROC proc = [&state](HWND dlg, UINT msg, WPARAM wp, LPARAM) -> INT_PTR {
    switch (msg) {
      case WM_INITDIALOG:
        SendMessage(dlg, DM_SETDEFID, WPARAM(state.DefaultId), 0);
        SetFocus(GetDlgItem(dlg, state.DefaultId));
        return 0;  // the focus is placed
      case WM_COMMAND: {
        int id = LOWORD(wp);
        if (HasButton(state, id)) {
          EndDialog(dlg, id);
        } else if (id == IDCANCEL && (state.Type & MB_TYPEMASK) == MB_OK) {
          // Escape in a box with OK alone answers OK.
          EndDialog(dlg, IDOK);
        }
        return 1;
      }
    }
    return 0;
  };
  HWND dlg = CreateDialogWindow(owner, title, clientWidth, clientHeight, proc);
  if (!dlg) return 0;
  if (icon) {
    HWND iconCtl =
        MakeChild(dlg, WC_STATIC, "", SS_ICON,
                  Rect(Margin, Margin, Margin + IconSize, Margin + IconSize), IDC_MSGBOX_ICON);
    SendMessage(iconCtl, STM_SETICON, WPARAM(reinterpret_cast<std::uintptr_t>(icon)), 0);
  }
  MakeChild(dlg, WC_STATIC, text, SS_LEFT | SS_NOPREFIX,
            Rect(textLeft, textTop, textLeft + textWidth, textTop + textHeight), IDC_MSGBOX_TEXT);
  int x = (clientWidth - rowWidth) / 2;
  for (int i = 0; i < n; ++i) {
    const TButtonSpec& b = state.Buttons[std::size_t(i)];
    DWORD style = WS_TABSTOP | (b.Id == state.DefaultId ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    if (i == 0) style |= WS_GROUP;
    MakeChild(dlg, WC_BUTTON, b.Caption, style,
              Rect(x, buttonsTop, x + ButtonWidth, buttonsTop + ButtonHeight), b.Id);
    x += ButtonWidth + ButtonGap;
  }
  MessageBeep(type);
  return int(RunModalDialog(dlg));
}

}  // namespace vm
