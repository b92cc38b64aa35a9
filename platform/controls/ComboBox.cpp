// The "ComboBox" control: a selection field (CBS_DROPDOWNLIST) or an edit
// field (CBS_DROPDOWN, CBS_SIMPLE) with a list of choices. The list of the
// drop-down kinds is a "ComboLBox" pop-up owned by the combo box's top-level
// window; it opens below the field (above it when the screen ends), follows
// the pointer, and closes on a choice, a click outside, Escape, Enter or when
// the combo box loses the focus.
#include <algorithm>
#include <string>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/Controls.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/ListText.h"
#include "platform/gfx/ClassicDraw.h"
#include "platform/gfx/SysColors.h"

namespace vm {

namespace {

// The edit field's messages and notifications (the "Edit" class's numbers).
constexpr UINT EditGetSel = 0x00B0;
constexpr UINT EditSetSel = 0x00B1;
constexpr UINT EditLimitText = 0x00C5;
constexpr DWORD EditAutoHScroll = 0x0080;
constexpr UINT EditSetFocus = 0x0100;
constexpr UINT EditKillFocus = 0x0200;
constexpr UINT EditChange = 0x0300;
constexpr UINT EditUpdate = 0x0400;

constexpr int EditId = 1001;
constexpr int ListId = 1000;

LPARAM LP(HWND h) {
  return LPARAM(reinterpret_cast<std::uintptr_t>(h));
}

class TComboBox {
 public:
  explicit TComboBox(HWND h) : h_(h) {}
  LRESULT Proc(UINT msg, WPARAM w, LPARAM l);
  int Depth = 0;
  bool Dead = false;

 private:
  DWORD Style() const { return DWORD(GetWindowLongPtr(h_, GWL_STYLE)); }
  DWORD Kind() const { return Style() & CBS_TYPEMASK; }
  bool Simple() const { return Kind() == CBS_SIMPLE; }
  bool HasEdit() const { return Kind() != CBS_DROPDOWNLIST; }
  bool OwnerDraw() const { return (Style() & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0; }

  void Create(const CREATESTRUCT* cs);
  void Layout();
  TRect ButtonRect() const;
  TRect TextRect() const;
  int FieldHeight() const { return itemHeight_ + 8; }
  std::shared_ptr<const TFont> Font() const;

  void Notify(UINT code);
  LRESULT List(UINT msg, WPARAM w = 0, LPARAM l = 0) const {
    return list_ ? SendMessage(list_, msg, w, l) : CB_ERR;
  }
  std::string ItemText(int i) const;
  void ShowText();  // the chosen item into the edit field, or a repaint of the field
  void Select(int i, bool notify);

  // The focus coming to the combo box (its field or its edit) and leaving
  // it: CBN_SETFOCUS and CBN_KILLFOCUS, once each.
  void GotFocus();
  void LostFocus();

  void Open();
  void Close(bool chosen);
  void Toggle() { dropped_ ? Close(true) : Open(); }
  bool Key(WPARAM vk);  // keys of the field and the edit; true when used
  void Paint();

  HWND h_;
  HWND list_ = nullptr;
  HWND edit_ = nullptr;
  WNDPROC editPrevious_;
  int curSel_ = -1;
  int itemHeight_ = 13;
  int droppedHeight_ = 100;
  int droppedWidth_ = 0;
  bool dropped_ = false;
  bool focused_ = false;
  bool buttonDown_ = false;
  bool extendedUi_ = false;
  bool showingText_ = false;  // the combo itself is filling its edit
  HFONT font_ = nullptr;
};

std::shared_ptr<const TFont> TComboBox::Font() const {
  if (font_)
    if (auto f = GetFontObject(font_)) return f;
  return TFont::Default();
}

void TComboBox::Notify(UINT code) {
  if (HWND parent = GetParent(h_))
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h_), int(code)), LP(h_));
}

std::string TComboBox::ItemText(int i) const {
  LRESULT n = List(LB_GETTEXTLEN, WPARAM(i));
  if (n < 0) return {};
  std::string s(std::size_t(n) + 1, '\0');
  List(LB_GETTEXT, WPARAM(i), LPARAM(reinterpret_cast<std::uintptr_t>(s.data())));
  s.resize(std::size_t(n));
  return s;
}

// ---------------------------------------------------------------- creation and layout

void TComboBox::Create(const CREATESTRUCT* cs) {
  itemHeight_ = std::max(Font()->Metrics().Height, 1);
  DWORD style = Style();
  if (OwnerDraw()) {
    // The owner measures the field (item -1) and the list's items (item 0).
    MEASUREITEMSTRUCT mis;
    mis.CtlType = ODT_COMBOBOX;
    mis.CtlID = UINT(GetDlgCtrlID(h_));
    mis.itemID = UINT(-1);
    mis.itemHeight = UINT(itemHeight_);
    if (HWND parent = GetParent(h_)) SendMessage(parent, WM_MEASUREITEM, mis.CtlID, LPARAM(&mis));
    itemHeight_ = std::clamp(int(mis.itemHeight), 1, 255);
  }
  DWORD listStyle = LBS_COMBOBOX | LBS_NOTIFY | WS_VSCROLL;
  if (style & CBS_SORT) listStyle |= LBS_SORT;
  if (style & CBS_HASSTRINGS) listStyle |= LBS_HASSTRINGS;
  if (style & CBS_OWNERDRAWFIXED) listStyle |= LBS_OWNERDRAWFIXED;
  if (style & CBS_OWNERDRAWVARIABLE) listStyle |= LBS_OWNERDRAWVARIABLE;
  if (style & CBS_DISABLENOSCROLL) listStyle |= LBS_DISABLENOSCROLL;
  int width = cs ? cs->cx : 100, height = cs ? cs->cy : 100;
  if (Simple()) {
    list_ =
        CreateWindowEx(WS_EX_CLIENTEDGE, WC_COMBOLBOX, "",
                       WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT | listStyle, 0, FieldHeight(),
                       width, std::max(height - FieldHeight(), 0), h_, ListId, h_);
  } else {
    // The field is as tall as one line; the height asked for is the list's.
    droppedHeight_ = std::max(height - FieldHeight(), itemHeight_ + 2);
    HWND top = GetAncestor(h_, GA_ROOT);
    list_ = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WC_COMBOLBOX, "",
                           WS_POPUP | WS_BORDER | listStyle, 0, 0, width, droppedHeight_,
                           top ? top : GetParent(h_), ListId, h_);
  }
  if (HasEdit()) {
    edit_ = CreateWindowEx(0, "Edit", "", WS_CHILD | WS_VISIBLE | EditAutoHScroll, 0, 0, 10, 10, h_,
                           EditId);
    if (edit_) {
      // The edit's keys that belong to the list come to the combo box first.
      WNDPROC mine = WNDPROC::FromClosure([this](HWND e, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN) {
          if (Key(w)) return 0;
        } else if (m == WM_CHAR && (w == '\r' || w == 0x1B) && dropped_) {
          return 0;
        }
        return CallWindowProc(editPrevious_, e, m, w, l);
      });
      editPrevious_ = SetWindowProc(edit_, mine);
    }
  }
  if (!Simple() && cs && cs->cy != FieldHeight())
    SetWindowPos(h_, nullptr, 0, 0, width, FieldHeight(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  Layout();
}

TRect TComboBox::ButtonRect() const {
  if (Simple()) return {};
  TRect c;
  GetClientRect(h_, &c);
  int bw = GetSystemMetrics(SM_CXVSCROLL);
  return {c.Right - 2 - bw, 2, c.Right - 2, std::min(c.Bottom, FieldHeight()) - 2};
}

TRect TComboBox::TextRect() const {
  TRect c;
  GetClientRect(h_, &c);
  int right = Simple() ? c.Right - 2 : ButtonRect().Left;
  return {3, 3, right - 1, FieldHeight() - 3};
}

void TComboBox::Layout() {
  TRect t = TextRect();
  if (edit_) MoveWindow(edit_, t.Left, t.Top, t.Width(), t.Height(), true);
  if (Simple() && list_) {
    TRect c;
    GetClientRect(h_, &c);
    MoveWindow(list_, 0, FieldHeight(), c.Width(), std::max(c.Height() - FieldHeight(), 0), true);
  }
}

// ---------------------------------------------------------------- selection

void TComboBox::ShowText() {
  if (edit_) {
    // The edit's own notifications of this are not the user's editing.
    std::string text = curSel_ >= 0 ? ItemText(curSel_) : std::string();
    showingText_ = true;
    SetWindowText(edit_, text);
    if (Dead) return;
    showingText_ = false;
    SendMessage(edit_, EditSetSel, 0, -1);
    if (Dead) return;
  }
  TRect r = TextRect();
  InvalidateRect(h_, &r, false);
}

void TComboBox::Select(int i, bool notify) {
  int count = int(List(LB_GETCOUNT));
  if (i < 0 || i >= count) i = -1;
  if (i == curSel_) return;
  curSel_ = i;
  List(LB_SETCURSEL, WPARAM(i));
  // The parent hears of the change while the field still shows the old
  // choice, as on the platform; the field follows after.
  if (notify) {
    Notify(CBN_SELCHANGE);
    if (Dead) return;
  }
  ShowText();
}

void TComboBox::GotFocus() {
  if (focused_) return;
  focused_ = true;
  if (!edit_) InvalidateRect(h_, nullptr, false);
  Notify(CBN_SETFOCUS);
}

void TComboBox::LostFocus() {
  if (!focused_) return;
  Close(false);
  if (Dead) return;
  focused_ = false;
  if (!edit_) InvalidateRect(h_, nullptr, false);
  Notify(CBN_KILLFOCUS);
}

// ---------------------------------------------------------------- the drop-down

void TComboBox::Open() {
  if (dropped_ || Simple() || !list_ || !IsWindowEnabled(h_)) return;
  if (GetFocus() != h_ && GetFocus() != edit_) {
    SetFocus(edit_ ? edit_ : h_);
    if (!IsWindow(h_)) return;
  }
  Notify(CBN_DROPDOWN);
  if (!IsWindow(h_) || !IsWindow(list_)) return;
  // In an edit field a typed text that matches an item shows that item.
  if (edit_) {
    std::string typed = GetWindowText(edit_);
    LRESULT match = List(LB_FINDSTRINGEXACT, WPARAM(-1),
                         LPARAM(reinterpret_cast<std::uintptr_t>(typed.c_str())));
    if (match >= 0) curSel_ = int(match);
  }
  TRect wr;
  GetWindowRect(h_, &wr);
  int count = int(List(LB_GETCOUNT));
  int ih = int(List(LB_GETITEMHEIGHT, 0));
  int border = 2 * GetSystemMetrics(SM_CYBORDER);
  int rows = std::max(1, std::min(count, (droppedHeight_ - border) / std::max(ih, 1)));
  int height = rows * ih + border;
  int width = std::max(wr.Width(), droppedWidth_);
  TRect work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  int y = wr.Bottom;
  if (y + height > work.Bottom && wr.Top - height >= work.Top) y = wr.Top - height;
  int x = std::clamp(wr.Left, work.Left, std::max(work.Left, work.Right - width));
  SetWindowPos(list_, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  List(LB_SETCURSEL, WPARAM(curSel_));
  if (curSel_ < 0) List(LB_SETTOPINDEX, 0);
  dropped_ = true;
  // The list takes the mouse: a click anywhere else closes it.
  SetCapture(list_);
  InvalidateRect(h_, nullptr, false);
}

void TComboBox::Close(bool chosen) {
  if (!dropped_) return;
  dropped_ = false;
  buttonDown_ = false;
  int picked = int(List(LB_GETCURSEL));
  Notify(chosen ? CBN_SELENDOK : CBN_SELENDCANCEL);
  if (!IsWindow(h_)) return;
  // Hidden first: a list that still shows takes the mouse back when it loses it.
  if (list_) ShowWindow(list_, SW_HIDE);
  if (list_ && GetCapture() == list_) ReleaseCapture();
  InvalidateRect(h_, nullptr, false);
  Notify(CBN_CLOSEUP);
  if (!IsWindow(h_)) return;
  if (chosen && picked != curSel_)
    Select(picked, true);
  else
    List(LB_SETCURSEL, WPARAM(curSel_));
}

bool TComboBox::Key(WPARAM vk) {
  bool alt = ctl::KeyDown(VK_MENU);
  if (vk == VK_F4 || (alt && (vk == VK_DOWN || vk == VK_UP))) {
    if (Simple()) return false;
    Toggle();
    return true;
  }
  if (dropped_) {
    switch (int(vk)) {
      case VK_RETURN:
        Close(true);
        return true;
      case VK_ESCAPE:
        Close(false);
        return true;
      case VK_TAB:
        Close(true);
        return false;
      case VK_UP:
      case VK_DOWN:
      case VK_PRIOR:
      case VK_NEXT:
      case VK_HOME:
      case VK_END:
        List(WM_KEYDOWN, vk, 0);
        return true;
    }
    return false;
  }
  if (alt) return false;
  int count = int(List(LB_GETCOUNT));
  if (count == 0) return false;
  int i = curSel_;
  int page = 8;
  switch (int(vk)) {
    case VK_UP:
    case VK_LEFT:
      if (edit_ && vk == VK_LEFT) return false;
      i = i < 0 ? 0 : i - 1;
      break;
    case VK_DOWN:
    case VK_RIGHT:
      if (edit_ && vk == VK_RIGHT) return false;
      i = i < 0 ? 0 : i + 1;
      break;
    case VK_PRIOR:
      i = std::max(i - page, 0);
      break;
    case VK_NEXT:
      i = i < 0 ? 0 : i + page;
      break;
    case VK_HOME:
      if (edit_) return false;
      i = 0;
      break;
    case VK_END:
      if (edit_) return false;
      i = count - 1;
      break;
    default:
      return false;
  }
  Select(std::clamp(i, 0, count - 1), true);
  return true;
}

// ---------------------------------------------------------------- painting

void TComboBox::Paint() {
  TPaintDC paint(h_);
  HDC dc = paint.Dc();
  if (!dc) return;
  TRect c;
  GetClientRect(h_, &c);
  bool enabled = IsWindowEnabled(h_);
  TColor back = GetSysColor(enabled ? COLOR_WINDOW : COLOR_BTNFACE);
  TColor text = GetSysColor(COLOR_WINDOWTEXT);
  dc->SelectFont(Font());
  if (HWND parent = GetParent(h_)) {
    dc->SetTextColor(text);
    std::uint32_t answer = 0;
    LRESULT r = SendMessage(parent, edit_ ? WM_CTLCOLOREDIT : WM_CTLCOLORLISTBOX,
                            WPARAM(reinterpret_cast<std::uintptr_t>(dc)), LP(h_));
    if (enabled && CtlColorFromResult(r, &answer)) {
      back = answer;
      text = dc->TextColor();
    }
  }
  TRect field{0, 0, c.Right, std::min(c.Bottom, FieldHeight())};
  TRect inner = field;
  DrawEdge(dc, &inner, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  dc->FillRect(inner, back);
  if (!Simple()) {
    TRect b = ButtonRect();
    DrawFrameControl(dc, &b, DFC_SCROLL,
                     DFCS_SCROLLCOMBOBOX | (buttonDown_ ? DFCS_PUSHED | DFCS_FLAT : 0) |
                         (enabled ? 0 : DFCS_INACTIVE));
  }
  if (edit_) return;
  TRect t = TextRect();
  bool highlight = focused_ && !dropped_ && enabled;
  if (OwnerDraw()) {
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_COMBOBOX;
    dis.CtlID = UINT(GetDlgCtrlID(h_));
    dis.itemID = UINT(curSel_);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = ODS_COMBOBOXEDIT | (highlight ? ODS_SELECTED | ODS_FOCUS : 0) |
                    (enabled ? 0 : ODS_DISABLED);
    dis.hwndItem = h_;
    dis.hDC = dc;
    dis.rcItem = t;
    dis.itemData = curSel_ >= 0 ? std::uintptr_t(List(LB_GETITEMDATA, WPARAM(curSel_))) : 0;
    TDCSaver save(*dc);
    dc->IntersectClipRect(t);
    if (HWND parent = GetParent(h_)) SendMessage(parent, WM_DRAWITEM, dis.CtlID, LPARAM(&dis));
    return;
  }
  if (highlight) dc->FillRect(t, GetSysColor(COLOR_HIGHLIGHT));
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(!enabled    ? GetSysColor(COLOR_GRAYTEXT)
                   : highlight ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                               : text);
  TRect tr{t.Left + 2, t.Top, t.Right - 1, t.Bottom};
  if (curSel_ >= 0)
    dc->DrawText(ItemText(curSel_), tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (highlight) DrawFocusRect(dc, &t);
}

// ---------------------------------------------------------------- messages

LRESULT TComboBox::Proc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_CREATE:
      Create(reinterpret_cast<const CREATESTRUCT*>(l));
      return 0;
    case WM_DESTROY:
      if (list_ && !Simple()) DestroyWindow(list_);
      list_ = nullptr;
      return 0;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      Layout();
      InvalidateRect(h_, nullptr, false);
      return 0;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(w);
      if (edit_) SendMessage(edit_, WM_SETFONT, w, l);
      if (list_) SendMessage(list_, WM_SETFONT, w, l);
      if (!OwnerDraw()) itemHeight_ = std::max(Font()->Metrics().Height, 1);
      if (!Simple()) {
        TRect r;
        GetWindowRect(h_, &r);
        SetWindowPos(h_, nullptr, 0, 0, r.Width(), FieldHeight(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      Layout();
      if (LOWORD(l)) InvalidateRect(h_, nullptr, true);
      return 0;
    case WM_GETFONT:
      return LRESULT(reinterpret_cast<std::uintptr_t>(font_));
    case WM_SETFOCUS:
      if (edit_) {
        SetFocus(edit_);
        SendMessage(edit_, EditSetSel, 0, -1);
        return 0;
      }
      GotFocus();
      return 0;
    case WM_KILLFOCUS:
      // The focus going to the combo's own edit or list is no loss.
      if (reinterpret_cast<HWND>(w) &&
          (reinterpret_cast<HWND>(w) == edit_ || reinterpret_cast<HWND>(w) == list_))
        return 0;
      LostFocus();
      return 0;
    case WM_CANCELMODE:
      Close(false);
      return 0;
    case WM_ENABLE:
      if (edit_) EnableWindow(edit_, w != 0);
      if (!w) Close(false);
      InvalidateRect(h_, nullptr, false);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS |
             (dropped_ ? DLGC_WANTMESSAGE : 0);  // Enter and Escape close the list
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      TPoint p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      if (dropped_) {
        Close(false);
        return 0;
      }
      bool onButton = ButtonRect().Contains(p);
      if (Kind() == CBS_DROPDOWNLIST || onButton) {
        buttonDown_ = onButton || Kind() == CBS_DROPDOWNLIST;
        Open();
        if (!dropped_) buttonDown_ = false;
      } else if (edit_) {
        SetFocus(edit_);
      }
      return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (Key(w)) return 0;
      if (Dead) return 0;
      // The other keys of a combo box with an edit are the edit's.
      if (edit_ && msg == WM_KEYDOWN) return SendMessage(edit_, msg, w, l);
      break;
    case WM_CHAR:
      // Characters sent to a combo box with an edit are typed into the edit.
      if (edit_) return SendMessage(edit_, msg, w, l);
      if (w >= 0x20 && List(LB_GETCOUNT) > 0) {
        // Type-ahead: the next item that starts with the letter.
        char32_t want = ctl::FoldCase(char32_t(w));
        int n = int(List(LB_GETCOUNT));
        for (int k = 1; k <= n; ++k) {
          int i = (std::max(curSel_, -1) + k + n) % n;
          if (ctl::FirstFolded(ItemText(i)) == want) {
            if (dropped_) {
              List(LB_SETCURSEL, WPARAM(i));
            } else {
              Select(i, true);
            }
            break;
          }
        }
        return 0;
      }
      break;
    case WM_MOUSEWHEEL:
      if (!dropped_ && GET_WHEEL_DELTA_WPARAM(w) != 0)
        Key(GET_WHEEL_DELTA_WPARAM(w) > 0 ? VK_UP : VK_DOWN);
      return 0;
    case WM_COMMAND: {
      HWND from = reinterpret_cast<HWND>(l);
      UINT code = HIWORD(w);
      if (from == list_ && list_) {
        if (code == ctl::ComboListChosen) {
          Close(true);
        } else if (code == ctl::ComboListCancelled) {
          Close(false);
        } else if (code == LBN_SELCHANGE && Simple()) {
          Select(int(List(LB_GETCURSEL)), true);
        } else if (code == LBN_DBLCLK && Simple()) {
          Notify(CBN_DBLCLK);
        }
        return 0;
      }
      if (from == edit_ && edit_) {
        if (code == EditSetFocus) GotFocus();
        if (code == EditKillFocus) LostFocus();
        if (showingText_) return 0;
        if (code == EditChange) Notify(CBN_EDITCHANGE);
        if (code == EditUpdate) Notify(CBN_EDITUPDATE);
        if (code == EditChange && !Dead) {
          // What is typed no longer names the chosen item.
          std::string typed = GetWindowText(edit_);
          if (curSel_ >= 0 && ItemText(curSel_) != typed) {
            curSel_ = -1;
            if (!dropped_) List(LB_SETCURSEL, WPARAM(-1));
          }
        }
        return 0;
      }
      break;
    }
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
      if (HWND parent = GetParent(h_)) return SendMessage(parent, msg, w, l);
      return 0;
    case WM_SETTEXT: {
      const char* s = reinterpret_cast<const char*>(l);
      if (edit_) return SetWindowText(edit_, s ? s : "") ? 1 : 0;
      LRESULT i = List(LB_FINDSTRINGEXACT, WPARAM(-1), l);
      if (i < 0) return CB_ERR;
      Select(int(i), false);
      return 1;
    }
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH: {
      std::string text = edit_ ? GetWindowText(edit_) : curSel_ >= 0 ? ItemText(curSel_) : "";
      if (msg == WM_GETTEXTLENGTH) return LRESULT(text.size());
      char* buf = reinterpret_cast<char*>(l);
      if (!buf || w == 0) return 0;
      std::size_t n = std::min(text.size(), std::size_t(w) - 1);
      while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
      std::copy(text.begin(), text.begin() + std::ptrdiff_t(n), buf);
      buf[n] = '\0';
      return LRESULT(n);
    }

    case CB_ADDSTRING: {
      LRESULT i = List(LB_ADDSTRING, 0, l);
      if (i >= 0 && curSel_ >= i) ++curSel_;
      return i;
    }
    case CB_INSERTSTRING: {
      LRESULT i = List(LB_INSERTSTRING, w, l);
      if (i >= 0 && curSel_ >= i) ++curSel_;
      return i;
    }
    case CB_DELETESTRING: {
      LRESULT left = List(LB_DELETESTRING, w, 0);
      if (left < 0) return CB_ERR;
      int i = int(w);
      if (curSel_ == i) {
        curSel_ = -1;
        ShowText();
      } else if (curSel_ > i) {
        --curSel_;
      }
      return left;
    }
    case CB_RESETCONTENT:
      List(LB_RESETCONTENT);
      curSel_ = -1;
      ShowText();
      return CB_OKAY;
    case CB_GETCOUNT:
      return List(LB_GETCOUNT);
    case CB_GETCURSEL:
      return curSel_;
    case CB_SETCURSEL: {
      int i = int(w);
      Select(i, false);
      if (dropped_) List(LB_SETCURSEL, WPARAM(curSel_));
      return curSel_ == i && i >= 0 ? i : CB_ERR;
    }
    case CB_GETLBTEXT:
      return List(LB_GETTEXT, w, l);
    case CB_GETLBTEXTLEN:
      return List(LB_GETTEXTLEN, w, 0);
    case CB_GETITEMDATA:
      return List(LB_GETITEMDATA, w, 0);
    case CB_SETITEMDATA:
      return List(LB_SETITEMDATA, w, l);
    case CB_FINDSTRING:
      return List(LB_FINDSTRING, w, l);
    case CB_FINDSTRINGEXACT:
      return List(LB_FINDSTRINGEXACT, w, l);
    case CB_SELECTSTRING: {
      LRESULT i = List(LB_FINDSTRING, w, l);
      if (i < 0) return CB_ERR;
      Select(int(i), false);
      return i;
    }
    case CB_SHOWDROPDOWN:
      if (w)
        Open();
      else
        Close(false);
      return 1;
    case CB_GETDROPPEDSTATE:
      return dropped_ ? 1 : 0;
    case CB_GETDROPPEDCONTROLRECT: {
      auto* r = reinterpret_cast<TRect*>(l);
      if (!r) return CB_ERR;
      GetWindowRect(h_, r);
      if (!Simple()) r->Bottom = r->Top + FieldHeight() + droppedHeight_;
      return CB_OKAY;
    }
    case CB_SETITEMHEIGHT: {
      // The field's height (item -1) answers the height set; the list's
      // items answer as the list does.
      const int hgt = int(l);
      if (int(w) == -1) {
        if (hgt <= 0 || hgt >= 32768) return CB_ERR;
        itemHeight_ = hgt;
        if (!Simple()) {
          TRect r;
          GetWindowRect(h_, &r);
          SetWindowPos(h_, nullptr, 0, 0, r.Width(), FieldHeight(),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        Layout();
        InvalidateRect(h_, nullptr, false);
        return hgt;
      }
      if (hgt <= 0 || hgt > 255) return CB_ERR;
      return List(LB_SETITEMHEIGHT, w, l);
    }
    case CB_GETITEMHEIGHT:
      if (int(w) == -1) return itemHeight_;
      return List(LB_GETITEMHEIGHT, w, 0);
    case CB_GETTOPINDEX:
      return List(LB_GETTOPINDEX);
    case CB_SETTOPINDEX:
      return List(LB_SETTOPINDEX, w);
    case CB_INITSTORAGE:
      return List(LB_INITSTORAGE, w, l);
    case CB_SETEXTENDEDUI:
      extendedUi_ = w != 0;
      return CB_OKAY;
    case CB_GETEXTENDEDUI:
      return extendedUi_ ? 1 : 0;
    case CB_GETDROPPEDWIDTH: {
      TRect r;
      GetWindowRect(h_, &r);
      return std::max(droppedWidth_, r.Width());
    }
    case CB_SETDROPPEDWIDTH: {
      // A width under the field's own goes back to the field's width; 0
      // changes nothing. Answers the width the list will have.
      if (Simple() || int(w) >= 32768) return CB_ERR;
      TRect r;
      GetWindowRect(h_, &r);
      if (int(w) >= r.Width())
        droppedWidth_ = int(w);
      else if (w)
        droppedWidth_ = 0;
      return std::max(droppedWidth_, r.Width());
    }
    case CB_LIMITTEXT:
      return edit_ ? SendMessage(edit_, EditLimitText, w, 0) : CB_ERR;
    case CB_GETEDITSEL:
      return edit_ ? SendMessage(edit_, EditGetSel, w, l) : CB_ERR;
    case CB_SETEDITSEL:
      if (!edit_) return CB_ERR;
      SendMessage(edit_, EditSetSel, WPARAM(GET_X_LPARAM(l)), GET_Y_LPARAM(l));
      return 1;
  }
  return DefWindowProc(h_, msg, w, l);
}

LRESULT Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  return ctl::DispatchToObject<TComboBox>(h, msg, w, l, [&](TComboBox*) {
    // Scroll bar styles are meant for the list: the field itself has none.
    LONG_PTR style = GetWindowLongPtr(h, GWL_STYLE);
    if (style & (WS_VSCROLL | WS_HSCROLL))
      SetWindowLongPtr(h, GWL_STYLE, style & ~LONG_PTR(WS_VSCROLL | WS_HSCROLL));
  });
}

}  // namespace

void RegisterComboBoxClass() {
  ctl::RegisterControlClass(WC_COMBOBOX, &Proc, CS_DBLCLKS, clNone);
  ctl::RegisterControlClass(WC_COMBOLBOX, &ctl::ListBoxProc, CS_DBLCLKS | CS_SAVEBITS, clNone);
}

}  // namespace vm
