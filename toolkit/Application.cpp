#include "toolkit/Application.h"

#include <cstdio>
#include <stdexcept>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/controls/DialogDefs.h"
#include "platform/controls/MessageBox.h"
#include "toolkit/Dialogs.h"
#include "toolkit/HintWindow.h"
#include "toolkit/PopupMenu.h"
#include "toolkit/Screen.h"

namespace vm {

TApplication* Application = nullptr;

namespace {

constexpr UINT_PTR HintShowTimer = 1;
constexpr UINT_PTR HintHideTimer = 2;
// Below the pointer's hot spot, clear of the arrow.
constexpr int HintCursorMargin = 20;
constexpr int HintMaxWidth = 400;

LRESULT AppClassProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  return DefWindowProc(h, msg, w, l);
}

// The hint of a control, or of the nearest parent that has one; the part
// before "|" when it has two.
std::string HintOf(const TControl* c) {
  for (; c; c = c->Parent()) {
    if (c->Hint().empty()) continue;
    const std::string& h = c->Hint();
    std::size_t bar = h.find('|');
    return bar == std::string::npos ? h : h.substr(0, bar);
  }
  return {};
}

// The long hint of a control, or of the nearest parent that has one: the
// part after "|", or the whole hint.
std::string LongHintOf(const TControl* c) {
  for (; c; c = c->Parent()) {
    if (c->Hint().empty()) continue;
    const std::string& h = c->Hint();
    std::size_t bar = h.find('|');
    return bar == std::string::npos ? h : h.substr(bar + 1);
  }
  return {};
}

// A key that is a shortcut of a menu item runs the item instead of reaching
// the control with the focus: first the pop-up menus of the focus control and
// its parents, then the form's menu. It is checked before the key is
// translated, so a shortcut never types its character.
bool IsShortCutMessage(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  int key = int(msg.wParam & 0xFF);
  if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU) return false;
  // The toolkit control of the window, within its top-level window.
  TWinControl* c = nullptr;
  for (HWND h = msg.hwnd; h && !c;) {
    c = TWinControl::FindControl(h);
    h = (GetWindowLongPtr(h, GWL_STYLE) & WS_CHILD) ? GetParent(h) : nullptr;
  }
  if (!c) return false;
  TShiftState shift = KeyboardShiftState() & (ssShift | ssCtrl | ssAlt);
  std::vector<TControlRef> chain;
  for (TControl* x = c; x; x = x->Parent()) chain.emplace_back(x);
  for (const TControlRef& ref : chain) {
    TControl* x = ref.Get();
    if (!x) return true;  // a handler freed the control: the key was used
    if (tk::TPopupMenu* pm = x->PopupMenu(); pm && pm->IsShortCut(key, shift)) return true;
  }
  TControl* first = chain.front().Get();
  TCustomForm* f = first ? first->GetParentForm() : nullptr;
  return f && f->IsShortCut(key, shift);
}

}  // namespace

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
  if (!Application) Application = this;
  if (!Screen) {
    Create<TScreen>(this);
    ownsScreen_ = true;
  }
  // The toolkit's buttons, edits and so on wrap these classes.
  RegisterStandardControls();
  WNDCLASS wc;
  if (!GetClassInfo("TApplication", &wc)) {
    wc.lpszClassName = "TApplication";
    wc.lpfnWndProc = &AppClassProc;
    RegisterClass(wc);
  }
  // Never shown: a pop-up has no frame and no taskbar entry, and its text is empty.
  handle_ = CreateWindowEx(0, "TApplication", "", WS_POPUP | WS_CLIPSIBLINGS, 0, 0, 0, 0, nullptr);
  if (!handle_) throw std::runtime_error("Cannot create the application window");
  proc_ = WNDPROC::FromClosure([this](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
    try {
      return WndProc(msg, w, l);
    } catch (...) {
      HandleException(this);
      return DefWindowProc(h, msg, w, l);
    }
  });
  SetWindowProc(handle_, proc_);
  hintWindow_ = Create<THintWindow>(this);
  // Whatever escapes a window procedure that is not a control's (a timer
  // procedure, a platform class) reaches the same report.
  previousDispatchHandler_ = SetDispatchExceptionHandler([this](std::exception_ptr e) {
    try {
      std::rethrow_exception(e);
    } catch (...) {
      HandleException(nullptr);
    }
  });
}

TApplication::~TApplication() {
  Destroying();
  if (IsWindow(handle_)) {
    KillTimer(handle_, HintShowTimer);
    KillTimer(handle_, HintHideTimer);
  }
  // Forms first (last made first), while the screen still knows them; each
  // hears OnDestroy before any form is freed.
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* f = dynamic_cast<TCustomForm*>(Components(i))) f->DoDestroy();
  std::vector<TComponent*> doomed;
  for (int i = 0; i < ComponentCount(); ++i)
    if (dynamic_cast<TCustomForm*>(Components(i)) || Components(i) == hintWindow_)
      doomed.push_back(Components(i));
  for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) delete *it;
  hintWindow_ = nullptr;
  mainForm_ = nullptr;
  SetDispatchExceptionHandler(std::move(previousDispatchHandler_));
  if (IsWindow(handle_)) {
    SetWindowProc(handle_, &AppClassProc);
    DestroyWindow(handle_);
  }
  handle_ = nullptr;
  if (Application == this) Application = nullptr;
}

void TApplication::SetTitle(const std::string& v) {
  title_ = v;
}

// ---- The loop ----

void TApplication::Run() {
  if (mainForm_ && ShowMainForm) mainForm_->Show();
  while (!terminated_) HandleMessage();
}

void TApplication::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  PostQuitMessage(0);
}

void TApplication::ProcessMessages() {
  MSG msg;
  // Bounded, so that a window re-posting to itself cannot hang the caller.
  for (int i = 0; i < 100000 && ProcessMessage(msg); ++i) {
  }
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) Idle();
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  switch (msg.message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      CancelHint();
      break;
    case WM_MOUSEWHEEL: {
      // The wheel scrolls what is under the pointer, not what has the focus.
      TWinControl* under = FindWindowControl({GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)});
      if (under && IsWindowEnabled(under->Handle())) msg.hwnd = under->Handle();
      break;
    }
    default:
      break;
  }
  try {
    if (IsShortCutMessage(msg)) return true;
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  } catch (...) {
    HandleException(nullptr);
  }
  return true;
}

void TApplication::Idle() {
  // A hint changed while the pointer rests (or the pointer gone from the
  // program's windows) shows in Hint too.
  try {
    SetHint(LongHintOf(MouseControl()));
  } catch (...) {
    HandleException(this);
  }
  if (OnIdle) {
    try {
      OnIdle(this);
    } catch (...) {
      HandleException(this);
    }
  }
  if (!terminated_) WaitMessage();
}

// ---- Errors ----

void TApplication::HandleException(TComponent* sender) {
  std::exception_ptr ep = std::current_exception();
  if (!ep || handlingException_ > 0) {
    // An error inside the report itself: it must not recurse.
    if (ep) {
      try {
        std::rethrow_exception(ep);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
      } catch (...) {
      }
    }
    return;
  }
  ++handlingException_;
  try {
    try {
      std::rethrow_exception(ep);
    } catch (const std::exception& e) {
      if (OnException)
        OnException(sender, e);
      else
        ShowException(e);
    } catch (...) {
      std::runtime_error unknown("Unknown error");
      if (OnException)
        OnException(sender, unknown);
      else
        ShowException(unknown);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
  } catch (...) {
  }
  --handlingException_;
}

void TApplication::ShowException(const std::exception& e) {
  std::string text = e.what();
  if (!text.empty() && static_cast<unsigned char>(text.back()) > ' ' && text.back() != '.')
    text += '.';
  if (!GetHost()) {
    std::fprintf(stderr, "%s: %s\n", title_.c_str(), text.c_str());
    return;
  }
  MessageBox(text, title_, MB_OK | MB_ICONERROR);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, UINT Flags) {
  std::string caption = Caption.empty() ? title_ : Caption;
  if (caption.empty()) caption = "Велмора";
  return vm::MessageBox(MessageBoxOwner(), Text, caption, Flags);
}

// ---- Hints ----

void TApplication::SetShowHint(bool v) {
  if (v == showHint_) return;
  showHint_ = v;
  if (!v) CancelHint();
}

void TApplication::StartHintTimer(int ms) {
  if (!IsWindow(handle_)) return;
  SetTimer(handle_, HintShowTimer, UINT(std::max(ms, 1)), nullptr);
  hintTimerOn_ = true;
}

void TApplication::StopHintTimer() {
  if (hintTimerOn_ && IsWindow(handle_)) KillTimer(handle_, HintShowTimer);
  hintTimerOn_ = false;
}

void TApplication::SetHint(const std::string& v) {
  if (v == hint_) return;
  hint_ = v;
  if (OnHint) OnHint(this);
}

void TApplication::HintMouseTarget(TControl* control) {
  // The pointer leaving a window for another passes through "no control":
  // Hint is cleared only at idle, so that no empty hint flickers in between.
  if (control) {
    const std::uint64_t me = control->Serial();
    SetHint(LongHintOf(control));
    if (!ControlAlive(control, me)) control = nullptr;
  }
  if (control == hintControl_.Get()) return;
  bool wasShown = hintWindow_ && hintWindow_->Active();
  hintControl_.Set(control);
  StopHintTimer();
  if (wasShown) {
    hintWindow_->ReleaseHandle();
    if (hideTimerOn_ && IsWindow(handle_)) KillTimer(handle_, HintHideTimer);
    hideTimerOn_ = false;
  }
  if (!showHint_ || !control || !control->ShowHint() || HintOf(control).empty()) {
    hintActive_ = false;
    return;
  }
  StartHintTimer(hintActive_ && wasShown ? HintShortPause : HintPause);
}

void TApplication::CancelHint() {
  StopHintTimer();
  if (hideTimerOn_ && IsWindow(handle_)) KillTimer(handle_, HintHideTimer);
  hideTimerOn_ = false;
  if (hintWindow_ && hintWindow_->Active()) hintWindow_->ReleaseHandle();
  hintActive_ = false;
}

void TApplication::ActivateHint() {
  TControl* c = hintControl_.Get();
  if (!c || !hintWindow_ || !c->Showing() || !c->ShowHint()) return;
  std::string text = HintOf(c);
  if (text.empty()) return;
  if (c->Perform(CM_HINTSHOW, 0, 0) != 0) return;
  if (!ControlAlive(c, c->Serial()) || hintControl_.Get() != c) return;
  TPoint pos;
  GetCursorPos(&pos);
  TRect r = hintWindow_->CalcHintRect(HintMaxWidth, text);
  r = r.Offset(pos.X, pos.Y + HintCursorMargin);
  // Keep it on the screen.
  if (Screen) {
    int sw = Screen->Width(), sh = Screen->Height();
    if (r.Right > sw) r = r.Offset(sw - r.Right, 0);
    if (r.Left < 0) r = r.Offset(-r.Left, 0);
    if (r.Bottom > sh) r = r.Offset(0, pos.Y - r.Height() - 4 - r.Top);
  }
  hintWindow_->ActivateHint(r, text);
  hintActive_ = true;
  if (IsWindow(handle_)) {
    SetTimer(handle_, HintHideTimer, UINT(std::max(HintHidePause, 1)), nullptr);
    hideTimerOn_ = true;
  }
}

void TApplication::HintTimerExpired() {
  StopHintTimer();
  ActivateHint();
}

void TApplication::HideHintTimerExpired() {
  if (IsWindow(handle_)) KillTimer(handle_, HintHideTimer);
  hideTimerOn_ = false;
  if (hintWindow_) hintWindow_->ReleaseHandle();
}

LRESULT TApplication::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_TIMER) {
    if (w == HintShowTimer) {
      HintTimerExpired();
      return 0;
    }
    if (w == HintHideTimer) {
      HideHintTimerExpired();
      return 0;
    }
  }
  return DefWindowProc(handle_, msg, w, l);
}

}  // namespace vm
