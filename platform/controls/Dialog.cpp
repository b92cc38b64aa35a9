// The "#32770" dialog class and the modal dialog loop.
#include "platform/controls/Dialog.h"

#include <algorithm>
#include <memory>

#include "platform/controls/ControlSupport.h"
#include "platform/gfx/SysColors.h"

namespace vm {

namespace {

// The dialog's own record, kept in its second extra slot.
struct TDialogRecord {
  DLGPROC Proc;
  bool Modal = false;
  bool Ended = false;
  INT_PTR Result = 0;
  HWND LastFocus = nullptr;  // the control that had the focus when the dialog was deactivated
};

constexpr int RecordSlot = int(sizeof(LONG_PTR));

TDialogRecord* Record(HWND h) {
  return reinterpret_cast<TDialogRecord*>(GetWindowLongPtr(h, RecordSlot));
}

// Messages whose answer is the dialog procedure's return value itself rather
// than DWLP_MSGRESULT.
bool AnswersDirectly(UINT msg) {
  switch (msg) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_INITDIALOG:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
      return true;
  }
  return false;
}

bool IsUsableControl(HWND c) {
  return c && IsWindowVisible(c) && IsWindowEnabled(c);
}

LRESULT DialogWndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  TDialogRecord* rec = Record(h);
  if (rec && rec->Proc && msg != WM_NCDESTROY) {
    SetWindowLongPtr(h, DWLP_MSGRESULT, 0);
    // Hold the procedure alive even if the call replaces or ends it.
    DLGPROC proc = rec->Proc;
    INT_PTR handled = proc(h, msg, wp, lp);
    if (!IsWindow(h)) return 0;
    if (AnswersDirectly(msg)) {
      if (handled) return LRESULT(handled);
    } else if (handled) {
      return GetWindowLongPtr(h, DWLP_MSGRESULT);
    }
    rec = Record(h);
  }
  switch (msg) {
    case WM_CLOSE: {
      // Closing a dialog is its Cancel, when Cancel may be pressed.
      HWND cancel = GetDlgItem(h, IDCANCEL);
      if (!cancel || IsWindowEnabled(cancel))
        PostMessage(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                    LPARAM(reinterpret_cast<std::uintptr_t>(cancel)));
      return 0;
    }
    case WM_ACTIVATE:
      // The focus leaves with the dialog and comes back to the same control.
      if (rec) {
        if (LOWORD(wp) == WA_INACTIVE) {
          HWND f = GetFocus();
          if (f && IsChild(h, f)) rec->LastFocus = f;
        } else if (rec->LastFocus && IsWindow(rec->LastFocus) && IsChild(h, rec->LastFocus)) {
          SetFocus(rec->LastFocus);
          return 0;
        }
      }
      break;
    case WM_SETFOCUS: {
      HWND first = GetNextDlgTabItem(h, nullptr, false);
      if (IsUsableControl(first)) SetFocus(first);
      return 0;
    }
    case WM_ERASEBKGND: {
      TRect r;
      GetClientRect(h, &r);
      HDC dc = reinterpret_cast<HDC>(wp);
      TColor back = GetSysColor(COLOR_BTNFACE);
      std::uint32_t answered = 0;
      if (CtlColorFromResult(
              SendMessage(h, WM_CTLCOLORDLG, wp, LPARAM(reinterpret_cast<std::uintptr_t>(h))),
              &answered))
        back = TColor(answered);
      FillRect(dc, &r, ColorToRGB(back));
      return 1;
    }
    case WM_NCDESTROY:
      delete rec;
      SetWindowLongPtr(h, RecordSlot, LONG_PTR(0));
      break;
  }
  return DefDlgProc(h, msg, wp, lp);
}

TRect WorkAreaOf(HWND h) {
  TRect area;
  if (THost* host = GetHost()) area = host->WorkArea();
  (void)h;
  return area;
}

}  // namespace

void RegisterDialogClass() {
  WNDCLASS wc;
  wc.style = CS_DBLCLKS | CS_SAVEBITS;
  wc.lpfnWndProc = DialogWndProc;
  wc.cbWndExtra = DLGWINDOWEXTRA;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = WC_DIALOG;
  RegisterClass(wc);
}

void CenterWindowOn(HWND window, HWND on) {
  TRect w;
  if (!GetWindowRect(window, &w)) return;
  TRect area = WorkAreaOf(window);
  TRect base = area;
  if (on && IsWindow(on) && IsWindowVisible(on) && !IsIconic(on)) GetWindowRect(on, &base);
  int width = w.Width(), height = w.Height();
  int x = base.Left + (base.Width() - width) / 2;
  int y = base.Top + (base.Height() - height) / 2;
  if (!area.IsEmpty()) {
    x = std::max(area.Left, std::min(x, area.Right - width));
    y = std::max(area.Top, std::min(y, area.Bottom - height));
  }
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetDialogClientSize(HWND dlg, int clientWidth, int clientHeight) {
  TRect w, c;
  if (!GetWindowRect(dlg, &w) || !GetClientRect(dlg, &c)) return;
  int width = w.Width() + clientWidth - c.Width();
  int height = w.Height() + clientHeight - c.Height();
  SetWindowPos(dlg, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CenterWindowOn(dlg, GetWindow(dlg, GW_OWNER));
}

HWND CreateDialogWindow(HWND owner, std::string_view caption, int clientWidth, int clientHeight,
                        DLGPROC proc, DWORD style) {
  RegisterDialogClass();
  // A dialog is owned by a top-level window, never by a child.
  if (owner) owner = GetAncestor(owner, GA_ROOT);
  HWND dlg = CreateWindowEx(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, WC_DIALOG, caption,
                            WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | style, 0, 0,
                            clientWidth + 16, clientHeight + 40, owner);
  if (!dlg) return nullptr;
  auto rec = std::make_unique<TDialogRecord>();
  rec->Proc = std::move(proc);
  SetWindowLongPtr(dlg, RecordSlot, LONG_PTR(reinterpret_cast<std::uintptr_t>(rec.release())));
  SendMessage(dlg, WM_SETFONT,
              WPARAM(reinterpret_cast<std::uintptr_t>(GetStockFont(DEFAULT_GUI_FONT))), 0);
  SetDialogClientSize(dlg, clientWidth, clientHeight);
  return dlg;
}

bool EndDialog(HWND dlg, INT_PTR result) {
  TDialogRecord* rec = IsWindow(dlg) ? Record(dlg) : nullptr;
  if (!rec) return false;
  rec->Ended = true;
  rec->Result = result;
  // The owner is enabled before the dialog goes, so that the activation
  // passes to it rather than to some other program window.
  if (HWND owner = GetWindow(dlg, GW_OWNER)) EnableWindow(owner, true);
  ShowWindow(dlg, SW_HIDE);
  if (THost* host = GetHost()) host->Wake();
  return true;
}

bool IsModalDialogRunning(HWND dlg) {
  TDialogRecord* rec = IsWindow(dlg) ? Record(dlg) : nullptr;
  return rec && rec->Modal && !rec->Ended;
}

INT_PTR RunModalDialog(HWND dlg, LPARAM initParam) {
  TDialogRecord* rec = IsWindow(dlg) ? Record(dlg) : nullptr;
  if (!rec || rec->Modal) return -1;
  rec->Modal = true;
  HWND owner = GetWindow(dlg, GW_OWNER);
  bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (GetCapture()) ReleaseCapture();

  // WM_INITDIALOG answering TRUE asks for the focus on the first tab stop.
  HWND first = GetNextDlgTabItem(dlg, nullptr, false);
  LRESULT focusDefault =
      SendMessage(dlg, WM_INITDIALOG, WPARAM(reinterpret_cast<std::uintptr_t>(first)), initParam);
  bool quit = false;
  WPARAM quitCode = 0;
  if (IsWindow(dlg) && !Record(dlg)->Ended) {
    if (ownerWasEnabled) EnableWindow(owner, false);
    ShowWindow(dlg, SW_SHOW);
    SetActiveWindow(dlg);
    if (focusDefault) {
      first = GetNextDlgTabItem(dlg, nullptr, false);
      if (IsUsableControl(first))
        SendMessage(dlg, WM_NEXTDLGCTL, WPARAM(reinterpret_cast<std::uintptr_t>(first)), 1);
    }
    UpdateWindow(dlg);
    for (;;) {
      if (!IsWindow(dlg) || Record(dlg)->Ended) break;
      MSG msg;
      if (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
          quit = true;
          quitCode = msg.wParam;
          EndDialog(dlg, IDCANCEL);
          break;
        }
        if (!IsDialogMessage(dlg, &msg)) {
          TranslateMessage(&msg);
          DispatchMessage(&msg);
        }
        continue;
      }
      if (!GetHost()) {
        // No host to wait on: nothing can ever end the dialog.
        EndDialog(dlg, IDCANCEL);
        break;
      }
      ModalWaitMessage(owner ? owner : dlg, MSGF_DIALOGBOX, dlg);
    }
  }
  INT_PTR result = IDCANCEL;
  if (IsWindow(dlg)) {
    rec = Record(dlg);
    if (rec && rec->Ended) result = rec->Result;
    if (owner && ownerWasEnabled && IsWindow(owner)) EnableWindow(owner, true);
    DestroyWindow(dlg);
  } else if (owner && ownerWasEnabled && IsWindow(owner)) {
    EnableWindow(owner, true);
  }
  if (owner && IsWindow(owner) && IsWindowVisible(owner)) SetActiveWindow(owner);
  if (quit) PostQuitMessage(int(quitCode));
  return result;
}

}  // namespace vm
