// The "Button" window class: push buttons (plain and default), check boxes,
// radio buttons (manual and automatic), three-state boxes, group boxes and
// owner-drawn buttons, in the classic look.
//
// A click is a press inside and a release inside: the button captures the
// mouse while the left button is held and shows itself pushed only while the
// pointer is over it. Space presses it from the keyboard; releasing Space
// clicks. A click toggles an automatic check box, checks an automatic radio
// button (unchecking the others of its group) and sends BN_CLICKED to the
// parent in a WM_COMMAND.
#include <algorithm>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/Controls.h"

namespace vm {

namespace {

using namespace ctl;

constexpr TColor Sys(int index) {
  return 0xFF000000u | TColor(index);
}

struct TButtonData {
  WPARAM State = 0;            // BST_* bits
  bool MouseTracking = false;  // left button went down on us and is held
  bool SpaceDown = false;      // Space pressed while we had the focus
  HICON Icon = nullptr;
  std::unique_ptr<TBitmap> Image;
};

DWORD TypeOf(HWND h) {
  return DWORD(GetWindowLongPtr(h, GWL_STYLE)) & BS_TYPEMASK;
}

bool IsCheckType(DWORD t) {
  return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_3STATE || t == BS_AUTO3STATE ||
         t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON;
}
bool IsRadio(DWORD t) {
  return t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON;
}
void Repaint(HWND h) {
  InvalidateRect(h, nullptr, true);
}

// The group of a control: from the nearest WS_GROUP control at or before it
// up to the next WS_GROUP control, in child order (creation order, which is
// the z-order and the dialog's tab order).
std::vector<HWND> GroupOf(HWND h) {
  std::vector<HWND> all;
  for (HWND c = GetWindow(GetParent(h), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    all.push_back(c);
  auto it = std::find(all.begin(), all.end(), h);
  if (it == all.end()) return {h};
  auto first = it;
  while (first != all.begin() && !(GetWindowLongPtr(*first, GWL_STYLE) & WS_GROUP)) --first;
  auto last = it + 1;
  while (last != all.end() && !(GetWindowLongPtr(*last, GWL_STYLE) & WS_GROUP)) ++last;
  return std::vector<HWND>(first, last);
}

void SetCheck(HWND h, TButtonData* b, WPARAM check) {
  DWORD t = TypeOf(h);
  if (!IsCheckType(t)) return;
  if (check == BST_INDETERMINATE && t != BS_3STATE && t != BS_AUTO3STATE) check = BST_CHECKED;
  if (check > BST_INDETERMINATE) check = BST_CHECKED;
  if ((b->State & 3) == check) return;
  b->State = (b->State & ~WPARAM(3)) | check;
  // A checked radio button is the one the group's Tab stop lands on.
  if (IsRadio(t)) {
    LONG_PTR style = GetWindowLongPtr(h, GWL_STYLE);
    SetWindowLongPtr(h, GWL_STYLE, check ? (style | WS_TABSTOP) : (style & ~LONG_PTR(WS_TABSTOP)));
  }
  Repaint(h);
}

void SetPushed(HWND h, TButtonData* b, bool pushed) {
  if (bool(b->State & BST_PUSHED) == pushed) return;
  if (pushed)
    b->State |= BST_PUSHED;
  else
    b->State &= ~BST_PUSHED;
  if (GetWindowLongPtr(h, GWL_STYLE) & BS_NOTIFY)
    NotifyCommand(h, pushed ? BN_HILITE : BN_UNHILITE);
  Repaint(h);
}

// What a completed click does: the automatic check changes, then BN_CLICKED.
void Click(HWND h) {
  TButtonData* b = Object<TButtonData>(h);
  if (!b) return;
  switch (TypeOf(h)) {
    case BS_AUTOCHECKBOX:
      SetCheck(h, b, (b->State & 3) ? BST_UNCHECKED : BST_CHECKED);
      break;
    case BS_AUTO3STATE:
      SetCheck(h, b, ((b->State & 3) + 1) % 3);
      break;
    case BS_AUTORADIOBUTTON:
      for (HWND o : GroupOf(h)) {
        if (o == h || GetClassName(o) != WC_BUTTON) continue;
        if (TypeOf(o) == BS_AUTORADIOBUTTON) SendMessage(o, BM_SETCHECK, BST_UNCHECKED, 0);
      }
      if ((b = Object<TButtonData>(h))) SetCheck(h, b, BST_CHECKED);
      break;
  }
  if (IsWindow(h)) NotifyCommand(h, BN_CLICKED);
}

// ---- Painting ----

constexpr int CheckSize = 13;

// A check box or radio button square with its check, in the state's look.
void DrawCheck(TDC& dc, int x, int y, DWORD type, WPARAM state, bool enabled) {
  TRect box = Bounds(x, y, CheckSize, CheckSize);
  std::uint32_t dfcs = IsRadio(type) ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
  if ((state & 3) == BST_INDETERMINATE) dfcs = DFCS_BUTTON3STATE | DFCS_CHECKED;
  if ((state & 3) == BST_CHECKED) dfcs |= DFCS_CHECKED;
  if (state & BST_PUSHED) dfcs |= DFCS_PUSHED;
  if (!enabled) dfcs |= DFCS_INACTIVE;
  DrawFrameControl(&dc, &box, DFC_BUTTON, dfcs);
}

std::uint32_t TextFlags(DWORD style, std::uint32_t defaultAlign) {
  std::uint32_t f = 0;
  switch (style & BS_CENTER) {
    case BS_LEFT:
      f |= DT_LEFT;
      break;
    case BS_RIGHT:
      f |= DT_RIGHT;
      break;
    case BS_CENTER:
      f |= DT_CENTER;
      break;
    default:
      f |= defaultAlign;
  }
  if (style & BS_MULTILINE) {
    f |= DT_WORDBREAK;
  } else {
    f |= DT_SINGLELINE;
    switch (style & BS_VCENTER) {
      case BS_TOP:
        f |= DT_TOP;
        break;
      case BS_BOTTOM:
        f |= DT_BOTTOM;
        break;
      default:
        f |= DT_VCENTER;
    }
  }
  return f;
}

// Draws the caption (text, icon or bitmap) in r; returns the rectangle it took.
TRect DrawLabel(HWND h, TDC& dc, TButtonData* b, TRect r, std::uint32_t flags, bool enabled) {
  DWORD style = DWORD(GetWindowLongPtr(h, GWL_STYLE));
  if ((style & BS_ICON) && b->Icon) {
    const TBitmap* bmp = GetIconBitmap(b->Icon);
    if (!bmp) return {};
    TRect at = Bounds(r.Left + (r.Width() - bmp->Width()) / 2,
                      r.Top + (r.Height() - bmp->Height()) / 2, bmp->Width(), bmp->Height());
    DrawIconEx(&dc, at.Left, at.Top, b->Icon, 0, 0);
    return at;
  }
  if ((style & BS_BITMAP) && b->Image) {
    const TBitmap& bmp = *b->Image;
    TRect at = Bounds(r.Left + (r.Width() - bmp.Width()) / 2,
                      r.Top + (r.Height() - bmp.Height()) / 2, bmp.Width(), bmp.Height());
    dc.BitBlt(at.Left, at.Top, bmp.Width(), bmp.Height(), bmp, 0, 0);
    return at;
  }
  std::string text = GetWindowText(h);
  if (text.empty()) return {};
  TRect calc = r;
  dc.DrawText(text, calc, (flags | DT_CALCRECT) & ~(DT_VCENTER | DT_BOTTOM));
  // Where the text lands, for the focus rectangle.
  TRect at = calc;
  int w = calc.Width(), ht = calc.Height();
  if (flags & DT_CENTER)
    at.Left = r.Left + (r.Width() - w) / 2;
  else if (flags & DT_RIGHT)
    at.Left = r.Right - w;
  else
    at.Left = r.Left;
  at.Right = at.Left + w;
  if ((flags & DT_SINGLELINE) && (flags & DT_VCENTER))
    at.Top = r.Top + (r.Height() - ht) / 2;
  else if ((flags & DT_SINGLELINE) && (flags & DT_BOTTOM))
    at.Top = r.Bottom - ht;
  else
    at.Top = r.Top;
  at.Bottom = at.Top + ht;
  dc.SetBkMode(TRANSPARENT);
  if (enabled)
    dc.DrawText(text, r, flags);
  else
    GrayText(dc, text, r, flags);
  return at;
}

void PaintPush(HWND h, TDC& dc, TButtonData* b, const TRect& client, bool enabled) {
  DWORD style = DWORD(GetWindowLongPtr(h, GWL_STYLE));
  const bool isDefault = TypeOf(h) == BS_DEFPUSHBUTTON;
  const bool pushed = (b->State & BST_PUSHED) || (style & BS_PUSHLIKE && (b->State & BST_CHECKED));
  TColor face = AskColors(h, WM_CTLCOLORBTN, &dc, Sys(COLOR_BTNTEXT), Sys(COLOR_BTNFACE));
  TColor text = dc.TextColor();
  TRect r = client;
  dc.FillRect(r, face);
  // A default button has a dark frame around it; a pushed one is flat, in
  // its shadow colour.
  if (isDefault) {
    dc.FrameRect(r, Sys(COLOR_WINDOWFRAME));
    r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  }
  if (pushed) {
    dc.FrameRect(r, Sys(COLOR_BTNSHADOW));
    r = Rect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
  } else {
    DrawEdge(&dc, &r, EDGE_RAISED, BF_RECT | BF_SOFT | BF_ADJUST);
  }
  TRect label = r;
  if (pushed) label = label.Offset(1, 1);
  dc.SetTextColor(text);
  DrawLabel(h, dc, b, label, TextFlags(style, DT_CENTER), enabled);
  if (b->State & BST_FOCUS) {
    TRect fr = client;
    fr = Rect(fr.Left + 4, fr.Top + 4, fr.Right - 4, fr.Bottom - 4);
    DrawFocusRect(&dc, &fr);
  }
}

void PaintCheck(HWND h, TDC& dc, TButtonData* b, const TRect& client, bool enabled) {
  DWORD style = DWORD(GetWindowLongPtr(h, GWL_STYLE));
  if (style & BS_PUSHLIKE) return PaintPush(h, dc, b, client, enabled);
  TColor back = AskColors(h, WM_CTLCOLORSTATIC, &dc, Sys(COLOR_BTNTEXT), Sys(COLOR_BTNFACE));
  dc.FillRect(client, back);
  const bool right = (style & BS_LEFTTEXT) != 0;
  int y;
  switch (style & BS_VCENTER) {
    case BS_TOP:
      y = 0;
      break;
    case BS_BOTTOM:
      y = client.Height() - CheckSize;
      break;
    default:
      y = (client.Height() - CheckSize) / 2;
  }
  const int x = right ? client.Right - CheckSize : 0;
  DrawCheck(dc, x, y, TypeOf(h), b->State, enabled);
  constexpr int gap = 4;
  TRect text = right ? Rect(0, 0, client.Right - CheckSize - gap, client.Bottom)
                     : Rect(CheckSize + gap, 0, client.Right, client.Bottom);
  TRect at = DrawLabel(h, dc, b, text, TextFlags(style, right ? DT_RIGHT : DT_LEFT), enabled);
  if ((b->State & BST_FOCUS) && !at.IsEmpty()) {
    TRect fr = Rect(at.Left - 1, at.Top - 1, at.Right + 1, at.Bottom + 1).Intersect(client);
    DrawFocusRect(&dc, &fr);
  }
}

void PaintGroup(HWND h, TDC& dc, TButtonData* b, const TRect& client, bool enabled) {
  TColor back = AskColors(h, WM_CTLCOLORSTATIC, &dc, Sys(COLOR_BTNTEXT), Sys(COLOR_BTNFACE));
  // Only the frame and the caption are drawn: the inside is the parent's, and
  // the controls placed in the box must not be painted over.
  const int lineY = dc.GetTextMetrics().Height / 2;
  TRect frame = Rect(client.Left, client.Top + lineY, client.Right, client.Bottom);
  DrawEdge(&dc, &frame, EDGE_ETCHED, BF_RECT);
  std::string text = GetWindowText(h);
  if (text.empty()) return;
  DWORD style = DWORD(GetWindowLongPtr(h, GWL_STYLE));
  constexpr int indent = 8, pad = 2;
  TRect calc = Rect(0, 0, std::max(0, client.Width() - 2 * indent), 0);
  dc.DrawText(text, calc, DT_SINGLELINE | DT_CALCRECT);
  int w = std::min(calc.Width(), client.Width() - 2 * indent);
  int x = indent;
  if ((style & BS_CENTER) == BS_CENTER)
    x = (client.Width() - w) / 2;
  else if ((style & BS_CENTER) == BS_RIGHT)
    x = client.Width() - indent - w;
  TRect label = Rect(x, 0, x + w, calc.Height());
  dc.FillRect(Rect(label.Left - pad, 0, label.Right + pad, label.Bottom), back);
  dc.SetBkMode(TRANSPARENT);
  if (enabled)
    dc.DrawText(text, label, DT_SINGLELINE | DT_END_ELLIPSIS);
  else
    GrayText(dc, text, label, DT_SINGLELINE | DT_END_ELLIPSIS);
  (void)b;
}

void PaintOwnerDraw(HWND h, TDC& dc, TButtonData* b, const TRect& client, bool enabled) {
  DRAWITEMSTRUCT dis;
  dis.CtlType = ODT_BUTTON;
  dis.CtlID = UINT(GetDlgCtrlID(h));
  dis.itemAction = ODA_DRAWENTIRE;
  dis.itemState = 0;
  if (b->State & BST_PUSHED) dis.itemState |= ODS_SELECTED;
  if (b->State & BST_FOCUS) dis.itemState |= ODS_FOCUS;
  if (!enabled) dis.itemState |= ODS_DISABLED;
  dis.hwndItem = h;
  dis.hDC = &dc;
  dis.rcItem = client;
  HWND parent = GetParent(h);
  if (parent)
    SendMessage(parent, WM_DRAWITEM, WPARAM(dis.CtlID),
                LPARAM(reinterpret_cast<std::uintptr_t>(&dis)));
}

void Paint(HWND h, TDC& dc) {
  TButtonData* b = Object<TButtonData>(h);
  if (!b) return;
  TRect client;
  GetClientRect(h, &client);
  TDCSaver save(dc);
  dc.SelectFont(FontOf(h));
  const bool enabled = IsWindowEnabled(h);
  const DWORD t = TypeOf(h);
  if (t == BS_OWNERDRAW)
    PaintOwnerDraw(h, dc, b, client, enabled);
  else if (t == BS_GROUPBOX)
    PaintGroup(h, dc, b, client, enabled);
  else if (IsCheckType(t))
    PaintCheck(h, dc, b, client, enabled);
  else
    PaintPush(h, dc, b, client, enabled);
}

// ---- Input ----

void EndMouseTracking(HWND h, TButtonData* b) {
  if (!b->MouseTracking) return;
  b->MouseTracking = false;
  if (GetCapture() == h) ReleaseCapture();
}

LRESULT ButtonProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  TButtonData* b = Object<TButtonData>(h);
  if (!b && msg != WM_NCCREATE) return DefWindowProc(h, msg, wp, lp);
  switch (msg) {
    case WM_NCCREATE:
      SetObject(h, new TButtonData);
      return DefWindowProc(h, msg, wp, lp);
    case WM_NCDESTROY:
      SetObject(h, nullptr);
      delete b;
      return DefWindowProc(h, msg, wp, lp);
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (dc) Paint(h, *dc);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      if (wp) Paint(h, *reinterpret_cast<HDC>(wp));
      return 0;
    case WM_GETDLGCODE:
      switch (TypeOf(h)) {
        case BS_DEFPUSHBUTTON:
          return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_PUSHBUTTON:
        case BS_OWNERDRAW:
        case BS_USERBUTTON:
        case BS_PUSHBOX:
          return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
          return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX:
          return DLGC_STATIC;
      }
      return DLGC_BUTTON;
    case WM_NCHITTEST:
      // A group box lets the mouse through to what lies under it.
      if (TypeOf(h) == BS_GROUPBOX) return HTTRANSPARENT;
      return DefWindowProc(h, msg, wp, lp);
    case WM_LBUTTONDBLCLK:
      if (TypeOf(h) == BS_OWNERDRAW || IsRadio(TypeOf(h)) ||
          (GetWindowLongPtr(h, GWL_STYLE) & BS_NOTIFY)) {
        NotifyCommand(h, BN_DOUBLECLICKED);
        // A radio button has done its work with the first click. A button
        // that clicks takes the second press of a double click as a press,
        // so two quick clicks are two clicks.
        if (IsRadio(TypeOf(h)) || !(b = Object<TButtonData>(h))) return 0;
      }
      [[fallthrough]];
    case WM_LBUTTONDOWN:
      if (TypeOf(h) == BS_GROUPBOX) return 0;
      if (GetFocus() != h) SetFocus(h);
      if (!(b = Object<TButtonData>(h))) return 0;
      SetCapture(h);
      b->MouseTracking = true;
      SetPushed(h, b, true);
      return 0;
    case WM_MOUSEMOVE:
      if (b->MouseTracking) {
        TRect client;
        GetClientRect(h, &client);
        SetPushed(h, b, client.Contains({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}));
      }
      return 0;
    case WM_LBUTTONUP: {
      if (!b->MouseTracking) return 0;
      TRect client;
      GetClientRect(h, &client);
      const bool inside = client.Contains({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      EndMouseTracking(h, b);
      if (!(b = Object<TButtonData>(h))) return 0;
      SetPushed(h, b, false);
      if (inside) Click(h);
      return 0;
    }
    case WM_CAPTURECHANGED:
      // Someone else took the mouse: the press is abandoned without a click.
      if (b->MouseTracking && reinterpret_cast<HWND>(lp) != h) {
        b->MouseTracking = false;
        if (!b->SpaceDown) SetPushed(h, b, false);
      }
      return 0;
    case WM_KEYDOWN:
      if (wp == VK_SPACE && !(lp & KF_REPEAT_BIT) && TypeOf(h) != BS_GROUPBOX) {
        b->SpaceDown = true;
        SetPushed(h, b, true);
        return 0;
      }
      return DefWindowProc(h, msg, wp, lp);
    case WM_KEYUP:
      if (wp == VK_SPACE && b->SpaceDown) {
        b->SpaceDown = false;
        const bool pushed = b->State & BST_PUSHED;
        SetPushed(h, b, false);
        if (pushed && !b->MouseTracking) Click(h);
        return 0;
      }
      return DefWindowProc(h, msg, wp, lp);
    case WM_SETFOCUS:
      b->State |= BST_FOCUS;
      if (GetWindowLongPtr(h, GWL_STYLE) & BS_NOTIFY) NotifyCommand(h, BN_SETFOCUS);
      Repaint(h);
      return 0;
    case WM_KILLFOCUS:
      b->State &= ~BST_FOCUS;
      b->SpaceDown = false;
      EndMouseTracking(h, b);
      if (!(b = Object<TButtonData>(h))) return 0;
      SetPushed(h, b, false);
      if (GetWindowLongPtr(h, GWL_STYLE) & BS_NOTIFY) NotifyCommand(h, BN_KILLFOCUS);
      Repaint(h);
      return 0;
    case WM_CANCELMODE:
      EndMouseTracking(h, b);
      if ((b = Object<TButtonData>(h))) SetPushed(h, b, false);
      return 0;
    case WM_ENABLE:
      if (!wp) {
        EndMouseTracking(h, b);
        if ((b = Object<TButtonData>(h))) {
          b->SpaceDown = false;
          SetPushed(h, b, false);
        }
      }
      Repaint(h);
      return 0;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProc(h, msg, wp, lp);
      Repaint(h);
      return r;
    }
    case WM_SETFONT:
      DefWindowProc(h, msg, wp, 0);
      if (LOWORD(lp)) Repaint(h);
      return 0;
    case BM_GETCHECK:
      return IsCheckType(TypeOf(h)) ? LRESULT(b->State & 3) : 0;
    case BM_SETCHECK:
      SetCheck(h, b, wp);
      return 0;
    case BM_GETSTATE:
      return LRESULT(b->State);
    case BM_SETSTATE:
      SetPushed(h, b, wp != 0);
      return 0;
    case BM_SETSTYLE: {
      LONG_PTR style = GetWindowLongPtr(h, GWL_STYLE);
      style = (style & ~LONG_PTR(0xFFFF)) | LONG_PTR(LOWORD(wp));
      SetWindowLongPtr(h, GWL_STYLE, style);
      if (lp) Repaint(h);
      return 0;
    }
    case BM_CLICK:
      if (IsWindowEnabled(h) && IsWindowVisible(h) && TypeOf(h) != BS_GROUPBOX) Click(h);
      return 0;
    case BM_SETIMAGE: {
      LRESULT old = 0;
      if (wp == IMAGE_ICON) {
        old = LRESULT(reinterpret_cast<std::uintptr_t>(b->Icon));
        b->Icon = reinterpret_cast<HICON>(lp);
      } else if (wp == IMAGE_BITMAP) {
        const auto* bmp = reinterpret_cast<const TBitmap*>(lp);
        // The control keeps a copy, so the caller may free its bitmap.
        b->Image = bmp ? std::make_unique<TBitmap>(*bmp) : nullptr;
      }
      Repaint(h);
      return old;
    }
    case BM_GETIMAGE:
      if (wp == IMAGE_ICON) return LRESULT(reinterpret_cast<std::uintptr_t>(b->Icon));
      if (wp == IMAGE_BITMAP) return LRESULT(reinterpret_cast<std::uintptr_t>(b->Image.get()));
      return 0;
  }
  return DefWindowProc(h, msg, wp, lp);
}

}  // namespace

void RegisterButtonClass() {
  RegisterControlClass(WC_BUTTON, &ButtonProc, CS_DBLCLKS, clNone);
}

}  // namespace vm
