// Dialog navigation: the keyboard interface of dialogs and of windows whose
// children are navigated like a dialog's (IsDialogMessage, WM_NEXTDLGCTL,
// DM_GETDEFID / DM_SETDEFID, the default push button's look).
#include <algorithm>
#include <vector>

#include "platform/win/MenuState.h"
#include "platform/win/WindowSystem.h"

namespace vm {

namespace {

// Numbers of the "Button" and "Edit" classes that navigation talks to
// (the classes themselves live in platform/controls).
constexpr UINT BmGetCheck = 0x00F0;
constexpr UINT BmSetStyle = 0x00F4;
constexpr UINT BmClick = 0x00F5;
constexpr UINT EmSetSel = 0x00B1;
constexpr DWORD BsPushButton = 0x0000;
constexpr DWORD BsDefPushButton = 0x0001;
constexpr DWORD BsGroupBox = 0x0007;
constexpr DWORD BsAutoRadioButton = 0x0009;
constexpr DWORD BsTypeMask = 0x000F;
constexpr DWORD SsNoPrefix = 0x0080;
constexpr const char* DefIdProp = "vm.DlgDefId";

DWORD Style(HWND h) {
  return DWORD(GetWindowLongPtr(h, GWL_STYLE));
}

LRESULT DlgCode(HWND h, const MSG* msg = nullptr) {
  return SendMessage(h, WM_GETDLGCODE, msg ? msg->wParam : 0, LPARAM(msg));
}

bool Usable(HWND h) {
  return IsWindowVisible(h) && IsWindowEnabled(h);
}

// Every control of the dialog in z-order, descending into children that
// hold controls of their own (WS_EX_CONTROLPARENT) instead of listing them.
void Controls(HWND parent, std::vector<HWND>& out, int depth = 0) {
  if (depth > 32) return;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if ((GetWindowLongPtr(c, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) && Usable(c))
      Controls(c, out, depth + 1);
    else
      out.push_back(c);
  }
}

HWND DefaultButton(HWND dlg);

// Focus goes to a control; a push button taking the focus takes the default
// look, and the dialog's default button gets it back when a control that is
// not a push button takes the focus.
void DlgSetFocus(HWND dlg, HWND ctl) {
  if (!ctl || !IsWindow(ctl)) return;
  LRESULT code = DlgCode(ctl);
  HWND newDef = (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) ? ctl : DefaultButton(dlg);
  std::vector<HWND> all;
  Controls(dlg, all);
  for (HWND b : all)
    if (b != newDef && (DlgCode(b) & DLGC_DEFPUSHBUTTON))
      SendMessage(b, BmSetStyle, BsPushButton, 1);
  if (newDef && IsWindow(newDef) && (DlgCode(newDef) & DLGC_UNDEFPUSHBUTTON))
    SendMessage(newDef, BmSetStyle, BsDefPushButton, 1);
  SetFocus(ctl);
  if (IsWindow(ctl) && GetFocus() == ctl && (code & DLGC_HASSETSEL))
    SendMessage(ctl, EmSetSel, 0, -1);
}

// The dialog's default button: what the dialog answers to DM_GETDEFID, else
// the button that had the default look when navigation first saw it.
HWND DefaultButton(HWND dlg) {
  LRESULT id = SendMessage(dlg, DM_GETDEFID, 0, 0);
  if (HIWORD(std::uintptr_t(id)) == DC_HASDEFID) return GetDlgItem(dlg, LOWORD(std::uintptr_t(id)));
  if (std::intptr_t remembered = GetProp(dlg, DefIdProp))
    return GetDlgItem(dlg, int(remembered - 1));
  std::vector<HWND> all;
  Controls(dlg, all);
  for (HWND b : all)
    if (DlgCode(b) & DLGC_DEFPUSHBUTTON) {
      SetProp(dlg, DefIdProp, GetDlgCtrlID(b) + 1);
      return b;
    }
  return nullptr;
}

// The id the dialog's Enter key chooses: the focused push button, the default
// button, else IDOK.
void PressEnter(HWND dlg) {
  HWND focus = GetFocus();
  if (focus && IsChild(dlg, focus) &&
      (DlgCode(focus) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
    if (IsWindowEnabled(focus))
      SendMessage(dlg, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), 0),
                  LPARAM(reinterpret_cast<std::uintptr_t>(focus)));
    return;
  }
  LRESULT id = SendMessage(dlg, DM_GETDEFID, 0, 0);
  if (HIWORD(std::uintptr_t(id)) == DC_HASDEFID) {
    int cmd = LOWORD(std::uintptr_t(id));
    HWND def = GetDlgItem(dlg, cmd);
    if (!def || IsWindowEnabled(def))
      SendMessage(dlg, WM_COMMAND, MAKEWPARAM(cmd, 0),
                  LPARAM(reinterpret_cast<std::uintptr_t>(def)));
    return;
  }
  if (HWND def = DefaultButton(dlg)) {
    if (IsWindowEnabled(def))
      SendMessage(dlg, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(def), 0),
                  LPARAM(reinterpret_cast<std::uintptr_t>(def)));
    return;
  }
  HWND ok = GetDlgItem(dlg, IDOK);
  if (!ok || IsWindowEnabled(ok))
    SendMessage(dlg, WM_COMMAND, IDOK, LPARAM(reinterpret_cast<std::uintptr_t>(ok)));
}

// The mnemonic of a control's text matches: a button or a group box, or a
// static text that moves on to the control after it.
bool Mnemonic(HWND dlg, std::uint32_t ch) {
  char32_t key = FoldCase(char32_t(ch));
  std::vector<HWND> all;
  Controls(dlg, all);
  if (all.empty()) return false;
  // The search starts after the focused control, so one letter used twice
  // steps through its controls.
  HWND focus = GetFocus();
  std::size_t start = 0;
  for (std::size_t i = 0; i < all.size(); ++i)
    if (all[i] == focus || IsChild(all[i], focus)) start = i + 1;
  for (std::size_t k = 0; k < all.size(); ++k) {
    HWND c = all[(start + k) % all.size()];
    if (!Usable(c)) continue;
    LRESULT code = DlgCode(c);
    if (!(code & (DLGC_BUTTON | DLGC_STATIC))) continue;
    if ((code & DLGC_STATIC) && (Style(c) & SsNoPrefix) && !(code & DLGC_BUTTON)) continue;
    if (MenuMnemonic(GetWindowText(c)) != key) continue;
    bool label = (code & DLGC_STATIC) || (Style(c) & BsTypeMask) == BsGroupBox;
    if (label) {
      // A label gives the focus to the next control that takes it.
      for (std::size_t j = 1; j < all.size(); ++j) {
        HWND n = all[(start + k + j) % all.size()];
        if (!Usable(n) || (DlgCode(n) & DLGC_STATIC)) continue;
        if (!(Style(n) & WS_TABSTOP) && (Style(n) & BsTypeMask) == BsGroupBox) continue;
        DlgSetFocus(dlg, n);
        return true;
      }
      return true;
    }
    if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
      SendMessage(c, BmClick, 0, 0);
    } else {
      DlgSetFocus(dlg, c);
      SendMessage(c, BmClick, 0, 0);
    }
    return true;
  }
  return false;
}

}  // namespace

HWND GetNextDlgTabItem(HWND dialog, HWND ctl, bool previous) {
  if (!IsWindow(dialog)) return nullptr;
  std::vector<HWND> all;
  Controls(dialog, all);
  int n = int(all.size());
  if (n == 0) return nullptr;
  int at = -1;
  for (int i = 0; i < n; ++i)
    if (all[std::size_t(i)] == ctl) at = i;
  if (at < 0) at = previous ? 0 : n - 1;  // no current control: start at an end
  for (int k = 1; k <= n; ++k) {
    HWND c = all[std::size_t(((at + (previous ? -k : k)) % n + n) % n)];
    if ((Style(c) & WS_TABSTOP) && Usable(c)) return c;
  }
  return ctl;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND ctl, bool previous) {
  if (!IsWindow(dialog)) return nullptr;
  std::vector<HWND> all;
  Controls(dialog, all);
  int n = int(all.size());
  int at = -1;
  for (int i = 0; i < n; ++i)
    if (all[std::size_t(i)] == ctl) at = i;
  if (at < 0) return n ? all[0] : nullptr;
  // The group runs from a control with WS_GROUP up to the next one.
  int first = at;
  while (first > 0 && !(Style(all[std::size_t(first)]) & WS_GROUP)) --first;
  int last = at;
  while (last + 1 < n && !(Style(all[std::size_t(last + 1)]) & WS_GROUP)) ++last;
  int size = last - first + 1;
  for (int k = 1; k < size; ++k) {
    int i = first + (((at - first) + (previous ? -k : k)) % size + size) % size;
    if (Usable(all[std::size_t(i)])) return all[std::size_t(i)];
  }
  return ctl;
}

// Moves the focus as WM_NEXTDLGCTL asks: to a given control (lParam's low
// word non-zero, wParam the control), or to the previous (wParam non-zero)
// or next tab stop.
void NextDlgCtl(HWND dlg, WPARAM wp, LPARAM lp) {
  HWND target;
  if (LOWORD(std::uintptr_t(lp)))
    target = reinterpret_cast<HWND>(wp);
  else
    target = GetNextDlgTabItem(dlg, GetFocus() && IsChild(dlg, GetFocus()) ? GetFocus() : nullptr,
                               wp != 0);
  if (target && IsChild(dlg, target)) DlgSetFocus(dlg, target);
}

LRESULT DefDlgProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case DM_GETDEFID: {
      std::intptr_t id = GetProp(hwnd, DefIdProp);
      return id ? MAKELONG(int(id - 1), DC_HASDEFID) : 0;
    }
    case DM_SETDEFID: {
      // The old default button loses its look unless it has the focus.
      LRESULT old = DefDlgProc(hwnd, DM_GETDEFID, 0, 0);
      SetProp(hwnd, DefIdProp, std::intptr_t(LOWORD(wp)) + 1);
      HWND focus = GetFocus();
      bool buttonFocused = focus && IsChild(hwnd, focus) &&
                           (DlgCode(focus) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
      if (!buttonFocused) {
        if (HIWORD(std::uintptr_t(old)) == DC_HASDEFID)
          if (HWND b = GetDlgItem(hwnd, LOWORD(std::uintptr_t(old)));
              b && (DlgCode(b) & DLGC_DEFPUSHBUTTON))
            SendMessage(b, BmSetStyle, BsPushButton, 1);
        if (HWND b = GetDlgItem(hwnd, LOWORD(wp)); b && (DlgCode(b) & DLGC_UNDEFPUSHBUTTON))
          SendMessage(b, BmSetStyle, BsDefPushButton, 1);
      }
      return 1;
    }
    case WM_NEXTDLGCTL:
      NextDlgCtl(hwnd, wp, lp);
      return 0;
  }
  return DefWindowProc(hwnd, msg, wp, lp);
}

bool IsDialogMessage(HWND dialog, MSG* msg) {
  if (!msg || !IsWindow(dialog)) return false;
  if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)) return false;
  switch (msg->message) {
    case WM_KEYDOWN: {
      LRESULT code = DlgCode(msg->hwnd, msg);
      if (code & DLGC_WANTMESSAGE) return false;
      switch (msg->wParam) {
        case VK_TAB:
          if (code & DLGC_WANTTAB) return false;
          SendMessage(dialog, WM_NEXTDLGCTL, (GetKeyState(VK_SHIFT) & 0x8000) ? 1 : 0, 0);
          return true;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
          if (code & DLGC_WANTARROWS) return false;
          bool prev = msg->wParam == VK_LEFT || msg->wParam == VK_UP;
          HWND from = msg->hwnd == dialog ? GetFocus() : msg->hwnd;
          HWND next = GetNextDlgGroupItem(dialog, from, prev);
          if (!next || next == from) return true;
          if ((DlgCode(next) & DLGC_RADIOBUTTON)) {
            SetFocus(next);
            // An automatic radio button is checked as the focus reaches it.
            if ((Style(next) & BsTypeMask) == BsAutoRadioButton &&
                SendMessage(next, BmGetCheck) != 1)
              SendMessage(next, BmClick, 1, 0);
          } else {
            SendMessage(dialog, WM_NEXTDLGCTL, WPARAM(reinterpret_cast<std::uintptr_t>(next)), 1);
          }
          return true;
        }
        case VK_ESCAPE:
        case VK_CANCEL: {
          HWND cancel = GetDlgItem(dialog, IDCANCEL);
          if (!cancel || IsWindowEnabled(cancel))
            SendMessage(dialog, WM_COMMAND, IDCANCEL,
                        LPARAM(reinterpret_cast<std::uintptr_t>(cancel)));
          return true;
        }
        case VK_RETURN:
          PressEnter(dialog);
          return true;
      }
      return false;
    }
    case WM_CHAR: {
      LRESULT code = DlgCode(msg->hwnd, msg);
      if (code & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)) return false;
      if (msg->wParam == '\t' && (code & DLGC_WANTTAB)) return false;
      if (msg->wParam < 0x20)
        return msg->wParam == '\t' || msg->wParam == '\r' || msg->wParam == 0x1B;
      return Mnemonic(dialog, std::uint32_t(msg->wParam));
    }
    case WM_SYSCHAR:
      if (msg->wParam < 0x20) return false;
      return Mnemonic(dialog, std::uint32_t(msg->wParam));
  }
  return false;
}

}  // namespace vm
