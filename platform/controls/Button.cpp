// The "Button" window class: push buttons (plain and default), check boxes,
// radio buttons (manual and automatic), three-state boxes, group boxes and
// owner-drawn buttons, in the classic look.
//
// A click is a press inside and a release inside: the button captures the
// mouse while the left button (or Space) is held and shows itself pushed
// while the pointer is over it. Every step goes to the button itself as a
// message, as on the platform, so a subclass sees a programmatic click
// (BM_CLICK) exactly as a mouse click: WM_LBUTTONDOWN, BM_SETSTATE TRUE,
// WM_LBUTTONUP, BM_SETSTATE FALSE, then BM_SETCHECK for an automatic check
// box, three-state box or radio button, then BN_CLICKED to the parent. An
// automatic radio button checked this way unchecks the other automatic radio
// buttons of its group (from the WS_GROUP control at or before it up to the
// next one, in child order).
#include <algorithm>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/Controls.h"

namespace vm {

namespace {

using namespace ctl;

constexpr TColor Sys(int index) {
  return 0xFF000000u | TColor(index);
}

class TButton {
 public:
  explicit TButton(HWND h) : h_(h) {}
  LRESULT Proc(UINT msg, WPARAM wp, LPARAM lp);
  int Depth = 0;
  bool Dead = false;

  // What painting reads.
  WPARAM State = 0;  // BST_* bits
  HICON Icon = nullptr;
  std::unique_ptr<TBitmap> Image;
  // Room for the caption while painting, kept so that a repaint allocates nothing.
  mutable std::string Text;

 private:
  DWORD Style() const { return DWORD(GetWindowLongPtr(h_, GWL_STYLE)); }
  DWORD Type() const { return Style() & BS_TYPEMASK; }
  void SetCheck(WPARAM check);
  void SetPushed(bool pushed);
  void Release(bool clickAlways, TPoint at);
  void Click();
  void UncheckGroup();

  HWND h_;
  bool pressed_ = false;  // the left button or Space went down on us and is held
};

bool IsCheckType(DWORD t) {
  return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_3STATE || t == BS_AUTO3STATE ||
         t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON;
}
bool IsRadio(DWORD t) {
  return t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON;
}
DWORD TypeOf(HWND h) {
  return DWORD(GetWindowLongPtr(h, GWL_STYLE)) & BS_TYPEMASK;
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

void TButton::SetCheck(WPARAM check) {
  const DWORD t = Type();
  if (!IsCheckType(t)) return;
  if (check == BST_INDETERMINATE && t != BS_3STATE && t != BS_AUTO3STATE) check = BST_CHECKED;
  if (check > BST_INDETERMINATE) check = BST_CHECKED;
  if ((State & 3) != check) {
    State = (State & ~WPARAM(3)) | check;
    // A checked radio button is the one the group's Tab stop lands on.
    if (IsRadio(t)) {
      LONG_PTR style = GetWindowLongPtr(h_, GWL_STYLE);
      SetWindowLongPtr(h_, GWL_STYLE,
                       check ? (style | WS_TABSTOP) : (style & ~LONG_PTR(WS_TABSTOP)));
      if (Dead) return;
    }
    Repaint(h_);
  }
  if (t == BS_AUTORADIOBUTTON && check == BST_CHECKED && GetParent(h_)) UncheckGroup();
}

// The other automatic radio buttons of the group lose their check, each told
// by BM_SETCHECK so that their subclasses see it, in the platform's order:
// from the one after this button round to the one before it.
void TButton::UncheckGroup() {
  std::vector<HWND> group = GroupOf(h_);
  auto self = std::find(group.begin(), group.end(), h_);
  if (self != group.end()) std::rotate(group.begin(), self, group.end());
  for (HWND o : group) {
    if (o == h_ || !IsWindow(o) || TypeOf(o) != BS_AUTORADIOBUTTON) continue;
    SendMessage(o, BM_SETCHECK, BST_UNCHECKED, 0);
    if (Dead) return;
  }
}

void TButton::SetPushed(bool pushed) {
  if (bool(State & BST_PUSHED) == pushed) return;
  if (pushed)
    State |= BST_PUSHED;
  else
    State &= ~BST_PUSHED;
  if (Style() & BS_NOTIFY) NotifyCommand(h_, pushed ? BN_HILITE : BN_UNHILITE);
  if (!Dead) Repaint(h_);
}

// What a completed click does: an automatic button changes its check by
// telling itself (BM_SETCHECK), then the parent hears BN_CLICKED.
void TButton::Click() {
  switch (Type()) {
    case BS_AUTOCHECKBOX:
      SendMessage(h_, BM_SETCHECK, (State & 3) ? BST_UNCHECKED : BST_CHECKED, 0);
      break;
    case BS_AUTO3STATE:
      SendMessage(h_, BM_SETCHECK, ((State & 3) + 1) % 3, 0);
      break;
    case BS_AUTORADIOBUTTON:
      SendMessage(h_, BM_SETCHECK, BST_CHECKED, 0);
      break;
  }
  if (!Dead) NotifyCommand(h_, BN_CLICKED);
}

// The left button or Space goes up: the press ends, and it was a click when
// it ends over the button (always for Space).
void TButton::Release(bool clickAlways, TPoint at) {
  if (!pressed_) return;
  pressed_ = false;
  if (!(State & BST_PUSHED)) {
    if (GetCapture() == h_) ReleaseCapture();
    return;
  }
  SendMessage(h_, BM_SETSTATE, 0, 0);
  if (Dead) return;
  TRect client;
  GetClientRect(h_, &client);
  const bool click = clickAlways || client.Contains(at);
  if (GetCapture() == h_) ReleaseCapture();
  if (click && !Dead) Click();
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
TRect DrawLabel(HWND h, TDC& dc, const TButton* b, TRect r, std::uint32_t flags, bool enabled) {
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
  std::string& text = b->Text;
  GetWindowText(h, text);
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

void PaintPush(HWND h, TDC& dc, const TButton* b, const TRect& client, bool enabled) {
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

void PaintCheck(HWND h, TDC& dc, const TButton* b, const TRect& client, bool enabled) {
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

void PaintGroup(HWND h, TDC& dc, const TButton* b, const TRect& client, bool enabled) {
  TColor back = AskColors(h, WM_CTLCOLORSTATIC, &dc, Sys(COLOR_BTNTEXT), Sys(COLOR_BTNFACE));
  // Only the frame and the caption are drawn: the inside is the parent's, and
  // the controls placed in the box must not be painted over.
  const int lineY = dc.GetTextMetrics().Height / 2;
  TRect frame = Rect(client.Left, client.Top + lineY, client.Right, client.Bottom);
  DrawEdge(&dc, &frame, EDGE_ETCHED, BF_RECT);
  std::string& text = b->Text;
  GetWindowText(h, text);
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

void PaintOwnerDraw(HWND h, TDC& dc, const TButton* b, const TRect& client, bool enabled) {
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

void Paint(HWND h, TDC& dc, const TButton* b) {
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

LRESULT TButton::Proc(UINT msg, WPARAM wp, LPARAM lp) {
  const HWND h = h_;
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (dc) Paint(h, *dc, this);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      if (wp) Paint(h, *reinterpret_cast<HDC>(wp), this);
      return 0;
    case WM_GETDLGCODE:
      switch (Type()) {
        case BS_DEFPUSHBUTTON:
          return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_PUSHBUTTON:
          return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
          return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX:
          return DLGC_STATIC;
      }
      // Check boxes and owner-drawn, user and push-box buttons: never the
      // dialog's default button, so navigation leaves their style alone.
      return DLGC_BUTTON;
    case WM_NCHITTEST:
      // A group box lets the mouse through to what lies under it.
      if (Type() == BS_GROUPBOX) return HTTRANSPARENT;
      return DefWindowProc(h, msg, wp, lp);
    case WM_LBUTTONDBLCLK:
      if (Type() == BS_OWNERDRAW || IsRadio(Type()) || (Style() & BS_NOTIFY)) {
        NotifyCommand(h, BN_DOUBLECLICKED);
        // A radio button has done its work with the first click. A button
        // that clicks takes the second press of a double click as a press,
        // so two quick clicks are two clicks.
        if (IsRadio(Type()) || Dead) return 0;
      }
      [[fallthrough]];
    case WM_LBUTTONDOWN:
      if (Type() == BS_GROUPBOX) return 0;
      // The capture comes first, so that WM_SETFOCUS knows a press is on.
      SetCapture(h);
      if (GetFocus() != h) SetFocus(h);
      if (Dead) return 0;
      pressed_ = true;
      SendMessage(h, BM_SETSTATE, 1, 0);
      return 0;
    case WM_MOUSEMOVE:
      if (pressed_ && (wp & MK_LBUTTON) && GetCapture() == h) {
        TRect client;
        GetClientRect(h, &client);
        const bool inside = client.Contains({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        if (inside != bool(State & BST_PUSHED)) SendMessage(h, BM_SETSTATE, inside, 0);
      }
      return 0;
    case WM_LBUTTONUP:
      Release(false, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      return 0;
    case WM_CAPTURECHANGED:
      // Someone else took the mouse: the press is abandoned without a click.
      if (reinterpret_cast<HWND>(lp) != h && pressed_) {
        pressed_ = false;
        if (State & BST_PUSHED) SendMessage(h, BM_SETSTATE, 0, 0);
      }
      return 0;
    case WM_KEYDOWN:
      // Space presses the button as the mouse does, capture included, and
      // shows it pushed until Space is released.
      if (wp == VK_SPACE && !(lp & KF_REPEAT_BIT) && Type() != BS_GROUPBOX) {
        SetCapture(h);
        if (Dead) return 0;
        pressed_ = true;
        SendMessage(h, BM_SETSTATE, 1, 0);
        return 0;
      }
      return DefWindowProc(h, msg, wp, lp);
    case WM_KEYUP:
      if (wp == VK_SPACE && pressed_) {
        Release(true, {});
        return 0;
      }
      return DefWindowProc(h, msg, wp, lp);
    case WM_SETFOCUS:
      State |= BST_FOCUS;
      if (Style() & BS_NOTIFY) NotifyCommand(h, BN_SETFOCUS);
      if (Dead) return 0;
      Repaint(h);
      // An unchecked automatic radio button reached by the keyboard (Tab,
      // the arrows, a program's SetFocus) is clicked, as on the platform.
      // A press of its own (the mouse, BM_CLICK) holds the capture and
      // clicks on release instead, so the parent hears one BN_CLICKED.
      if (Type() == BS_AUTORADIOBUTTON && !(State & 3) && GetCapture() != h) Click();
      return 0;
    case WM_KILLFOCUS:
      State &= ~BST_FOCUS;
      if (pressed_ && GetCapture() == h) ReleaseCapture();
      if (Dead) return 0;
      if (Style() & BS_NOTIFY) NotifyCommand(h, BN_KILLFOCUS);
      if (!Dead) Repaint(h);
      return 0;
    case WM_CANCELMODE:
      if (pressed_ && GetCapture() == h) ReleaseCapture();
      if (!Dead && pressed_) {
        pressed_ = false;
        SetPushed(false);
      }
      return 0;
    case WM_ENABLE:
      if (!wp && pressed_) {
        if (GetCapture() == h) ReleaseCapture();
        if (Dead) return 0;
        pressed_ = false;
        SetPushed(false);
        if (Dead) return 0;
      }
      Repaint(h);
      return 0;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProc(h, msg, wp, lp);
      if (!Dead) Repaint(h);
      return r;
    }
    case WM_SETFONT:
      DefWindowProc(h, msg, wp, 0);
      if (LOWORD(lp)) Repaint(h);
      return 0;
    case BM_GETCHECK:
      return IsCheckType(Type()) ? LRESULT(State & 3) : 0;
    case BM_SETCHECK:
      SetCheck(wp);
      return 0;
    case BM_GETSTATE:
      return LRESULT(State);
    case BM_SETSTATE:
      SetPushed(wp != 0);
      return 0;
    case BM_SETSTYLE: {
      // Only the button's type changes; BS_NOTIFY, BS_MULTILINE, the
      // alignment and the picture bits stay.
      LONG_PTR style = GetWindowLongPtr(h, GWL_STYLE);
      style = (style & ~LONG_PTR(BS_TYPEMASK)) | LONG_PTR(wp & BS_TYPEMASK);
      SetWindowLongPtr(h, GWL_STYLE, style);
      if (lp && !Dead) Repaint(h);
      return 0;
    }
    case BM_CLICK:
      // The press and the release go to the button itself, as the mouse's would.
      if (IsWindowEnabled(h) && IsWindowVisible(h) && Type() != BS_GROUPBOX) {
        SendMessage(h, WM_LBUTTONDOWN, 0, 0);
        if (!Dead) SendMessage(h, WM_LBUTTONUP, 0, 0);
      }
      return 0;
    case BM_SETIMAGE: {
      LRESULT old = 0;
      if (wp == IMAGE_ICON) {
        old = LRESULT(reinterpret_cast<std::uintptr_t>(Icon));
        Icon = reinterpret_cast<HICON>(lp);
      } else if (wp == IMAGE_BITMAP) {
        const auto* bmp = reinterpret_cast<const TBitmap*>(lp);
        // The control keeps a copy, so the caller may free its bitmap.
        Image = bmp ? std::make_unique<TBitmap>(*bmp) : nullptr;
      } else {
        return 0;
      }
      Repaint(h);
      return old;
    }
    case BM_GETIMAGE:
      if (wp == IMAGE_ICON) return LRESULT(reinterpret_cast<std::uintptr_t>(Icon));
      if (wp == IMAGE_BITMAP) return LRESULT(reinterpret_cast<std::uintptr_t>(Image.get()));
      return 0;
  }
  return DefWindowProc(h, msg, wp, lp);
}

LRESULT ButtonProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  return DispatchToObject<TButton>(h, msg, wp, lp);
}

}  // namespace

void RegisterButtonClass() {
  RegisterControlClass(WC_BUTTON, &ButtonProc, CS_DBLCLKS, clNone);
}

}  // namespace vm
