#include "toolkit/Form.h"

#include <algorithm>
#include <stdexcept>

#include "toolkit/Application.h"
#include "toolkit/MainMenu.h"
#include "toolkit/Screen.h"

namespace vm {

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
  visible_ = false;
  controlStyle_ |= csAcceptsControls;
  controlState_ |= csCreating;
  left_ = 0;
  top_ = 0;
  width_ = 320;
  height_ = 240;
  icon_ = std::make_unique<tk::TIcon>();
  icon_->OnChange = [this](tk::TGraphic*) { ApplyIcon(); };
  if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  Destroying();
  DoDestroy();
  if (Screen) Screen->RemoveForm(this);
}

void TCustomForm::DoCreate() {
  if (created_) return;
  created_ = true;
  controlState_ &= ~csCreating;
  if (OnCreate) OnCreate(this);
}

void TCustomForm::DoDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  if (OnDestroy) {
    try {
      OnDestroy(this);
    } catch (...) {
      if (Application) Application->HandleException(this);
    }
  }
}

// ---- Window ----

void TCustomForm::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  p.ExStyle = 0;
  p.WindowClass.hbrBackground = clNone;
  switch (borderStyle_) {
    case bsNone:
      p.Style |= WS_POPUP;
      break;
    case bsSingle:
      p.Style |= WS_CAPTION | WS_BORDER;
      break;
    case bsSizeable:
      p.Style |= WS_CAPTION | WS_THICKFRAME;
      break;
    case bsDialog:
      p.Style |= WS_POPUP | WS_CAPTION;
      p.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
    case bsToolWindow:
      p.Style |= WS_CAPTION;
      p.ExStyle |= WS_EX_TOOLWINDOW;
      break;
    case bsSizeToolWin:
      p.Style |= WS_CAPTION | WS_THICKFRAME;
      p.ExStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  if (borderStyle_ != bsNone) {
    if (borderIcons_ & biSystemMenu) p.Style |= WS_SYSMENU;
    if (borderStyle_ != bsDialog && borderStyle_ != bsToolWindow && borderStyle_ != bsSizeToolWin) {
      if (borderIcons_ & biMinimize) p.Style |= WS_MINIMIZEBOX;
      if (borderIcons_ & biMaximize) p.Style |= WS_MAXIMIZEBOX;
    }
  }
  if (formStyle_ == fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
  if (!enabled_) p.Style |= WS_DISABLED;
  // The main form stands alone and has the taskbar entry; the others are owned.
  p.WndParent = nullptr;
  if (Application) {
    TCustomForm* main = Application->MainForm();
    bool isMain = main ? main == this : Application->CreatingMainForm();
    if (!isMain) p.WndParent = main ? main->Handle() : Application->Handle();
  }
  if (ParentWindow()) p.WndParent = ParentWindow();
}

void TCustomForm::CreateHandle() {
  TWinControl::CreateHandle();
  if (!icon_->Empty()) ApplyIcon();
  if (menu_) {
    // A new window: the bar is made again (the old one went with the old window).
    ::vm::SetMenu(Handle(), menu_->Handle());
    menu_->SetWindowHandle(Handle());
  }
}

// ---- The menu bar ----

void TCustomForm::SetMenu(tk::TMainMenu* menu) {
  if (menu == menu_) return;
  if (menu_) {
    RemoveFreeNotification(menu_);
    if (HandleAllocated() && menu_->WindowHandle() == Handle()) menu_->SetWindowHandle(nullptr);
  }
  menu_ = menu;
  if (menu_) FreeNotification(menu_);
  if (!HandleAllocated()) return;
  ::vm::SetMenu(Handle(), menu_ ? menu_->Handle() : nullptr);
  if (menu_) menu_->SetWindowHandle(Handle());
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  // The menu's platform bar goes with it; the window loses the bar then.
  if (operation == TOperation::opRemove && component == menu_) menu_ = nullptr;
}

bool TCustomForm::IsShortCut(int key, TShiftState shift) {
  return menu_ && menu_->IsShortCut(key, shift);
}

void TCustomForm::ApplyIcon() {
  if (!HandleAllocated()) return;
  HICON big = icon_->Empty() ? nullptr : icon_->Handle();
  HICON small = icon_->Empty() ? nullptr : icon_->SmallHandle();
  SendMessage(Handle(), WM_SETICON, ICON_BIG, LPARAM(reinterpret_cast<std::intptr_t>(big)));
  SendMessage(Handle(), WM_SETICON, ICON_SMALL, LPARAM(reinterpret_cast<std::intptr_t>(small)));
}

bool TCustomForm::Showing() const {
  return HandleAllocated() && IsWindowVisible(const_cast<TCustomForm*>(this)->Handle());
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
  if (v == borderStyle_) return;
  borderStyle_ = v;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons v) {
  if (v == borderIcons_) return;
  borderIcons_ = v;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle v) {
  if (v == formStyle_) return;
  formStyle_ = v;
  if (HandleAllocated())
    SetWindowPos(Handle(), v == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetClientWidth(int v) {
  HandleNeeded();
  SetBounds(left_, top_, width_ - ClientWidth() + v, height_);
}

void TCustomForm::SetClientHeight(int v) {
  HandleNeeded();
  SetBounds(left_, top_, width_, height_ - ClientHeight() + v);
}

void TCustomForm::SetClientSize(int width, int height) {
  HandleNeeded();
  SetBounds(left_, top_, width_ - ClientWidth() + width, height_ - ClientHeight() + height);
}

// ---- Focus ----

TWinControl* TCustomForm::ActiveControl() const {
  TControl* c = activeControl_.Get();
  return c && ContainsControl(c) ? static_cast<TWinControl*>(c) : nullptr;
}

void TCustomForm::SetActiveControl(TWinControl* c) {
  if (c && (c == this || !ContainsControl(c)))
    throw std::invalid_argument("The active control must be a control on the form");
  FocusControl(c);
}

void TCustomForm::FocusControl(TWinControl* c) {
  activeControl_.Set(c);
  if (!c || !HandleAllocated()) return;
  if (GetActiveWindow() == Handle() && c->CanFocus()) ::vm::SetFocus(c->Handle());
}

void TCustomForm::FocusChanged(TWinControl* c) {
  activeControl_.Set(c);
}

void TCustomForm::ControlRemoved(TWinControl* c) {
  TControl* a = activeControl_.Get();
  if (a && (a == c || c->ContainsControl(a))) activeControl_.Set(nullptr);
}

void TCustomForm::SetFocusToActiveControl() {
  if (!HandleAllocated() || GetActiveWindow() != Handle()) return;
  TWinControl* c = ActiveControl();
  if (!c || !c->CanFocus()) {
    c = FindNextControl(nullptr, true, true, false);
    if (!c) c = FindNextControl(nullptr, true, false, false);
    activeControl_.Set(c);
  }
  HWND target = c && c->CanFocus() ? c->Handle() : Handle();
  if (GetFocus() != target) ::vm::SetFocus(target);
}

bool TCustomForm::DoKeyDown(int& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
  return key == 0;
}

bool TCustomForm::DoKeyPress(char32_t& key) {
  if (OnKeyPress) OnKeyPress(this, key);
  return key == 0;
}

bool TCustomForm::DoKeyUp(int& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
  return key == 0;
}

// ---- Showing and closing ----

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::BringToFront() {
  if (!HandleAllocated() || !visible_) return;
  SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  // A window brought to the front is the one the user works in next: it
  // becomes active and its focused control takes the keys again.
  if (IsWindowEnabled(Handle()) && GetActiveWindow() != Handle()) SetActiveWindow(Handle());
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TCustomForm::ApplyPosition() {
  TRect work = Screen ? Screen->WorkAreaRect() : Rect(0, 0, 0, 0);
  int x = left_, y = top_;
  switch (position_) {
    case poScreenCenter:
    case poDesktopCenter:
      x = work.Left + (work.Width() - width_) / 2;
      y = work.Top + (work.Height() - height_) / 2;
      break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
      TCustomForm* main = Application ? Application->MainForm() : nullptr;
      if (main && main != this && main->Visible()) {
        x = main->Left() + (main->Width() - width_) / 2;
        y = main->Top() + (main->Height() - height_) / 2;
      } else {
        x = work.Left + (work.Width() - width_) / 2;
        y = work.Top + (work.Height() - height_) / 2;
      }
      break;
    }
    default:
      return;
  }
  // Keep the caption on the work area.
  x = std::max(work.Left, std::min(x, work.Right - width_));
  y = std::max(work.Top, std::min(y, work.Bottom - height_));
  SetBounds(x, y, width_, height_);
}

void TCustomForm::ShowingChanged() {
  const std::uint64_t me = Serial();
  if (visible_) {
    // A form made without CreateForm hears OnCreate before it is first shown.
    DoCreate();
    if (!ControlAlive(this, me) || !visible_) return;
    HandleNeeded();
    DoShow();
    if (!ControlAlive(this, me) || !visible_) return;
    ApplyPosition();
    ShowWindow(Handle(), SW_SHOW);
  } else {
    DoHide();
    if (!ControlAlive(this, me) || visible_) return;
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
  }
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  const std::uint64_t me = Serial();
  if (!CloseQuery() || !ControlAlive(this, me)) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (!ControlAlive(this, me) || action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide:
      Hide();
      break;
    case caMinimize:
      if (HandleAllocated()) ShowWindow(Handle(), SW_MINIMIZE);
      break;
    case caFree:
      Release();
      break;
    default:
      break;
  }
}

void TCustomForm::Release() {
  PostMessage(Handle(), CM_RELEASE, 0, 0);
}

void TCustomForm::CloseModal() {
  const std::uint64_t me = Serial();
  TCloseAction action = caNone;
  if (CloseQuery()) {
    if (!ControlAlive(this, me)) return;
    action = caHide;
    DoClose(action);
    if (!ControlAlive(this, me)) return;
  }
  if (action == caNone) modalResult_ = mrNone;
}

TModalResult TCustomForm::ShowModal() {
  if (visible_ || !enabled_ || modal_) throw std::logic_error("Cannot make a visible window modal");
  if (GetCapture()) ReleaseCapture();
  HWND previous = GetActiveWindow();
  // Every other visible, enabled form (and the application's window) is off
  // limits while this one runs.
  std::vector<HWND> disabled;
  if (Screen) {
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TCustomForm* f = Screen->Forms(i);
      if (f == this || !f->HandleAllocated()) continue;
      HWND h = f->Handle();
      if (IsWindowVisible(h) && IsWindowEnabled(h)) {
        EnableWindow(h, false);
        disabled.push_back(h);
      }
    }
  }
  const std::uint64_t me = Serial();
  modal_ = true;
  modalResult_ = mrNone;
  TModalResult result = mrCancel;
  auto restore = [&]() {
    if (ControlAlive(this, me)) {
      modal_ = false;
      Hide();
    }
    for (HWND h : disabled) EnableWindow(h, true);
    if (IsWindow(previous) && IsWindowVisible(previous)) SetActiveWindow(previous);
  };
  try {
    Show();
    for (;;) {
      if (!ControlAlive(this, me)) return mrCancel;
      if (Application) {
        Application->HandleMessage();
      } else {
        MSG msg;
        if (!GetMessage(&msg, nullptr, 0, 0)) {
          PostQuitMessage(int(msg.wParam));
          break;
        }
        TranslateMessage(&msg);
        DispatchMessage(&msg);
      }
      if (!ControlAlive(this, me)) return mrCancel;
      if (Application && Application->Terminated()) {
        modalResult_ = mrCancel;
        break;
      }
      if (modalResult_ != mrNone) {
        CloseModal();
        if (modalResult_ != mrNone) break;
      }
      if (!visible_) {  // hidden from outside: the dialog is over
        modalResult_ = mrCancel;
        break;
      }
    }
    result = modalResult_;
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return result;
}

// ---- Activation ----

void TCustomForm::DoActivate() {
  if (OnActivate) OnActivate(this);
}

void TCustomForm::DoDeactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::Activated() {
  const std::uint64_t me = Serial();
  if (Screen) Screen->SetActiveForm(this);
  if (ControlAlive(this, me)) SetFocusToActiveControl();
}

void TCustomForm::PaintWindow(HDC dc) {
  if (!OnPaint) return;
  struct TReset {
    tk::TCanvas& Canvas;
    ~TReset() { Canvas.SetHandle(nullptr); }
  } reset{*canvas_};
  canvas_->SetHandle(dc);
  canvas_->Font().Assign(*Font());
  canvas_->Brush().SetColor(Color());
  OnPaint(this);
}

void TCustomForm::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_COMMAND:
    case WM_INITMENUPOPUP:
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
    case WM_MENUCHAR:
      // The form's menus (and pop-up menus it owns while they show) are the toolkit's items.
      if (tk::TMenu::HandleMenuMessage(m)) return;
      break;
    case WM_CLOSE:
      Close();
      return;
    case WM_SIZE: {
      // The client area can change with the window's size unchanged (the
      // menu bar came, went or wrapped into another row): the aligned
      // controls follow it as well.
      const std::uint64_t me = Serial();
      int w = width_, h = height_;
      TWinControl::WndProc(m);
      if (ControlAlive(this, me) && w == width_ && h == height_ && m.WParam != SIZE_MINIMIZED)
        Realign();
      return;
    }
    case WM_ACTIVATE: {
      const std::uint64_t me = Serial();
      DefaultHandler(m);
      if (!ControlAlive(this, me)) return;
      active_ = LOWORD(m.WParam) != WA_INACTIVE;
      if (active_) Activated();
      return;
    }
    case WM_SETFOCUS:
      // The form itself got the focus: pass it on to its active control.
      DefaultHandler(m);
      if (TWinControl* c = ActiveControl();
          c && c->CanFocus() && c->HandleAllocated() && GetActiveWindow() == Handle())
        ::vm::SetFocus(c->Handle());
      return;
    case WM_SHOWWINDOW:
      DefaultHandler(m);
      // The platform hid or showed the window (an owner being minimised):
      // keep Visible in step when the form itself is hidden.
      return;
    case CM_VISIBLECHANGED:
      ShowingChanged();
      return;
    case CM_RELEASE:
      delete this;
      return;
    case CM_DIALOGKEY: {
      int key = int(m.WParam);
      TShiftState shift = TShiftState(m.LParam);
      if (key == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
        SelectNext(ActiveControl(), !(shift & ssShift), true);
        m.Result = 1;
        return;
      }
      if ((key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) && !shift) {
        if (TWinControl* a = ActiveControl(); a && a->Parent()) {
          if (TWinControl* n =
                  a->Parent()->FindNextControl(a, key == VK_RIGHT || key == VK_DOWN, false, true))
            n->SetFocus();
          m.Result = 1;
          return;
        }
      }
      TWinControl::WndProc(m);
      return;
    }
    default:
      break;
  }
  TWinControl::WndProc(m);
}

}  // namespace vm
