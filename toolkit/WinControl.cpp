#include "toolkit/WinControl.h"

#include <algorithm>
#include <stdexcept>

#include "platform/controls/ControlDefs.h"
#include "platform/gfx/Bitmap.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/PopupMenu.h"
#include "toolkit/Screen.h"

namespace vm {

namespace {

// The property that ties a window to its control, and the control's serial
// (so that a window whose control is gone is never taken for a live one).
constexpr std::string_view PropControl = "VmToolkitControl";
constexpr std::string_view PropSerial = "VmToolkitSerial";

// The control whose window CreateWindowEx is making right now: the first
// message of the new window (before CreateWindowEx returns) binds them.
TWinControl* gCreating = nullptr;

// The control the pointer is over (windowless or windowed), for
// CM_MOUSEENTER/CM_MOUSELEAVE and hints.
TControlRef gMouseControl;

LRESULT InitWndProc(HWND h, UINT msg, WPARAM w, LPARAM l);

bool IsMouseMessage(UINT msg) {
  return msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK;
}

}  // namespace

TControl* MouseControl() {
  return gMouseControl.Get();
}

namespace {

// Performs a mouse message on a control and then on each of its parents, all
// with LParam = the control: a container hears the pointer come to or leave
// any of its children. Stops when the control itself is freed on the way.
// The chain is taken before the first message (a handler may move or free a
// control); it is held on the stack, as a pointer's way up is rarely deeper
// than a few parents, and only a deeper one takes the heap.
void PerformUpward(TControl* control, UINT msg) {
  constexpr std::size_t kInline = 16;
  TControlRef inlineChain[kInline];
  std::vector<TControlRef> deeper;
  std::size_t n = 0;
  for (TControl* c = control; c; c = c->Parent()) {
    if (n < kInline)
      inlineChain[n] = TControlRef(c);
    else
      deeper.emplace_back(c);
    ++n;
  }
  const TControlRef self(control);
  const LPARAM who = LPARAM(reinterpret_cast<std::intptr_t>(control));
  for (std::size_t i = 0; i < n; ++i) {
    if (!self) return;
    const TControlRef& ref = i < kInline ? inlineChain[i] : deeper[i - kInline];
    if (TControl* c = ref.Get()) c->Perform(msg, 0, who);
  }
}

}  // namespace

void SetMouseControl(TControl* target) {
  TControl* old = gMouseControl.Get();
  if (old == target) return;
  gMouseControl.Set(target);
  if (old) {
    std::uint64_t s = target ? target->Serial() : 0;
    PerformUpward(old, CM_MOUSELEAVE);
    if (target && !ControlAlive(target, s)) return;
  }
  // Only if it is still the pointer's control: a leave handler may have moved it.
  if (target && gMouseControl.Get() == target) PerformUpward(target, CM_MOUSEENTER);
  if (Application) Application->HintMouseTarget(gMouseControl.Get());
}

TWinControl* FindWindowControl(TPoint screen) {
  TWinControl* found = nullptr;
  EnumWindows([&](HWND top) {
    TRect r;
    if (!IsWindowVisible(top) || !GetWindowRect(top, &r) || !r.Contains(screen)) return true;
    found = TWinControl::FindControl(top);
    return false;  // the topmost window at the point hides the others
  });
  for (TWinControl* c = found; c;) {
    TControl* inner = c->ControlAtPos(c->ScreenToClient(screen), true, true);
    auto* w = dynamic_cast<TWinControl*>(inner);
    if (!w || !w->HandleAllocated()) break;
    found = c = w;
  }
  return found;
}

TShiftState KeyboardShiftState() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

namespace {

LRESULT InitWndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  TWinControl* c = gCreating;
  if (!c) return DefWindowProc(h, msg, w, l);
  gCreating = nullptr;
  return TWinControl::BindWindow(c, h, msg, w, l);
}

}  // namespace

LRESULT TWinControl::BindWindow(TWinControl* c, HWND h, UINT msg, WPARAM w, LPARAM l) {
  c->handle_ = h;
  SetProp(h, PropControl, reinterpret_cast<std::intptr_t>(c));
  SetProp(h, PropSerial, std::intptr_t(c->Serial()));
  SetWindowProc(h, c->instance_);
  return c->instance_(h, msg, w, l);
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
  instance_ = WNDPROC::FromClosure([this](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
    LRESULT r = 0;
    MainWndProc(h, msg, w, l, r);
    return r;
  });
  defWndProc_ = &DefWindowProc;
}

TWinControl::~TWinControl() {
  Destroying();
  // Children go first (last in the list first); each removes itself.
  while (!controls_.empty()) {
    TControl* c = controls_.back();
    RemoveControl(c);
    delete c;
  }
  DestroyHandle();
  if (fontHandle_) DeleteObject(fontHandle_);
}

TWinControl* TWinControl::FindControl(HWND h) {
  if (!h || !IsWindow(h)) return nullptr;
  auto* c = reinterpret_cast<TWinControl*>(GetProp(h, PropControl));
  if (!c) return nullptr;
  if (!ControlAlive(c, std::uint64_t(GetProp(h, PropSerial)))) return nullptr;
  return c->handle_ == h ? c : nullptr;
}

// ---- The window ----

HWND TWinControl::Handle() {
  HandleNeeded();
  return handle_;
}

void TWinControl::HandleNeeded() {
  if (handle_) return;
  if (parent_) parent_->HandleNeeded();
  if (handle_) return;
  const std::uint64_t me = Serial();
  CreateHandle();
  // A window made visible inside a shown parent shows at once; its children,
  // made with it, are told after it.
  if (ControlAlive(this, me)) UpdateShowing();
}

void TWinControl::UpdateShowing() {
  const std::uint64_t me = Serial();
  bool now = Showing();
  if (now != showing_) {
    showing_ = now;
    Perform(CM_SHOWINGCHANGED);
    if (!ControlAlive(this, me)) return;
  }
  std::vector<TControlRef> kids;
  for (TControl* c : controls_)
    if (dynamic_cast<TWinControl*>(c)) kids.emplace_back(c);
  for (TControlRef& ref : kids)
    if (auto* w = static_cast<TWinControl*>(ref.Get()); w && !w->IsDestroying()) w->UpdateShowing();
}

void TWinControl::CreateParams(TCreateParams& p) {
  p.Caption = text_;
  p.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  if (visible_) p.Style |= WS_VISIBLE;
  if (!enabled_) p.Style |= WS_DISABLED;
  if (tabStop_) p.Style |= WS_TABSTOP;
  p.X = left_;
  p.Y = top_;
  p.Width = width_;
  p.Height = height_;
  p.WndParent = parent_ ? parent_->handle_ : parentWindow_;
  p.WindowClass = WNDCLASS{};
  p.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  p.WindowClass.lpfnWndProc = &InitWndProc;
  p.WindowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  p.WindowClass.hbrBackground = clNone;  // WM_ERASEBKGND fills with Color
  p.WinClassName = ClassName();
  defWndProc_ = &DefWindowProc;
  ownClass_ = true;
}

void TWinControl::CreateSubClass(TCreateParams& p, const std::string& platformClass) {
  WNDCLASS wc;
  if (!GetClassInfo(platformClass, &wc))
    throw std::runtime_error("The window class " + platformClass + " is not registered");
  defWndProc_ = wc.lpfnWndProc;
  ownClass_ = false;
  p.WindowClass = wc;
  p.WindowClass.lpfnWndProc = &InitWndProc;
  p.WindowClass.lpszClassName = p.WinClassName;
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if ((p.Style & WS_CHILD) && !p.WndParent)
    throw std::runtime_error("Control '" + Name() + "' has no parent window");
  WNDCLASS existing;
  if (!GetClassInfo(p.WinClassName, &existing)) {
    p.WindowClass.lpszClassName = p.WinClassName;
    RegisterClass(p.WindowClass);
  }
  gCreating = this;
  HWND h = nullptr;
  try {
    h = CreateWindowEx(p.ExStyle, p.WinClassName, p.Caption, p.Style, p.X, p.Y, p.Width, p.Height,
                       p.WndParent, 0, p.Param);
  } catch (...) {
    gCreating = nullptr;
    throw;
  }
  gCreating = nullptr;
  if (!h || handle_ != h) {
    handle_ = nullptr;
    throw std::runtime_error("Cannot create the window of '" + Name() + "'");
  }
  // The platform may have fitted the window into its limits.
  UpdateBoundsFromWindow();
}

void TWinControl::CreateHandle() {
  if (handle_) return;
  CreateWnd();
  if (handle_ && parent_) {
    // A new child window starts below its siblings; the control list says
    // where it lies (later controls on top), so it goes just below the
    // nearest later sibling that has a window, or on top when there is none.
    // A recreated window gets its place back this way too.
    HWND above = nullptr;
    const auto& list = parent_->controls_;
    for (auto it = std::find(list.begin(), list.end(), this); it != list.end() && !above; ++it)
      if (auto* wc = dynamic_cast<TWinControl*>(*it); wc && wc != this && wc->handle_)
        above = wc->handle_;
    if (GetWindow(handle_, GW_HWNDPREV) != above)
      SetWindowPos(handle_, above ? above : HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  // Windowed children get their windows in list order.
  std::vector<TControl*> kids = controls_;
  for (TControl* c : kids)
    if (auto* wc = dynamic_cast<TWinControl*>(c); wc && !wc->handle_ && handle_) wc->CreateHandle();
  if (handle_) {
    ApplyFont();
    Realign();
  }
}

void TWinControl::ApplyFont() {
  if (!handle_) return;
  HFONT font = CreateFontIndirect(font_->Desc());
  SendMessage(handle_, WM_SETFONT, WPARAM(reinterpret_cast<std::uintptr_t>(font)), 0);
  if (fontHandle_) DeleteObject(fontHandle_);
  fontHandle_ = font;
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  controlState_ |= csDestroyingHandle;
  DestroyWnd();
  controlState_ &= ~csDestroyingHandle;
}

void TWinControl::DestroyWnd() {
  text_ = GetText();
  HWND h = handle_;
  DestroyWindow(h);
  if (handle_ == h) WindowDestroyed();
}

void TWinControl::RecreateWnd() {
  if (!handle_) return;
  DestroyHandle();
  HandleNeeded();
}

void TWinControl::SetParentWindow(HWND h) {
  if (h == parentWindow_) return;
  parentWindow_ = h;
  if (!parent_ && handle_) RecreateWnd();
}

void TWinControl::WindowDestroyed() {
  if (!handle_) return;
  HWND h = handle_;
  handle_ = nullptr;
  // Without a window nothing shows; there is nothing left to tell about it.
  showing_ = false;
  if (IsWindow(h)) {
    RemoveProp(h, PropControl);
    RemoveProp(h, PropSerial);
  }
}

void TWinControl::MainWndProc(HWND h, UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
  TMessage m{msg, w, l, 0};
  const std::uint64_t me = Serial();
  try {
    if (WindowProc)
      WindowProc(m);
    else
      WndProc(m);
  } catch (...) {
    if (!Application) throw;
    Application->HandleException(ControlAlive(this, me) ? this : nullptr);
  }
  result = m.Result;
  if (msg == WM_NCDESTROY && ControlAlive(this, me) && handle_ == h) WindowDestroyed();
  // Shown or hidden: this control and its windowed children may have
  // started or stopped showing. Done here, after whatever procedure hooks
  // the control, so that no hook can keep it from happening.
  // A window hidden because it is being destroyed tells nobody.
  if (msg == WM_WINDOWPOSCHANGED && l && ControlAlive(this, me) && handle_ == h &&
      !IsDestroying() && !(controlState_ & csDestroyingHandle) &&
      (reinterpret_cast<const WINDOWPOS*>(l)->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))) {
    try {
      UpdateShowing();
    } catch (...) {
      if (!Application) throw;
      Application->HandleException(ControlAlive(this, me) ? this : nullptr);
    }
  }
}

// ---- Children ----

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= int(controls_.size())) return nullptr;
  return controls_[std::size_t(index)];
}

bool TWinControl::ContainsControl(const TControl* c) const {
  for (const TControl* p = c; p; p = p->Parent())
    if (p == this) return true;
  return false;
}

void TWinControl::InsertControl(TControl* c) {
  controls_.push_back(c);
  c->parent_ = this;
  auto* wc = dynamic_cast<TWinControl*>(c);
  if (wc) tabList_.push_back(wc);
  c->Perform(CM_PARENTCOLORCHANGED);
  c->Perform(CM_PARENTFONTCHANGED);
  c->Perform(CM_PARENTSHOWHINTCHANGED);
  if (wc && handle_) wc->HandleNeeded();
  if (c->align_ != alNone) Realign();
  if (!wc) c->Invalidate();
  Perform(CM_CONTROLCHANGE, WPARAM(reinterpret_cast<std::uintptr_t>(c)), 1);
}

void TWinControl::RemoveControl(TControl* c) {
  auto it = std::find(controls_.begin(), controls_.end(), c);
  if (it == controls_.end()) return;
  if (!IsDestroying()) Perform(CM_CONTROLCHANGE, WPARAM(reinterpret_cast<std::uintptr_t>(c)), 0);
  it = std::find(controls_.begin(), controls_.end(), c);
  if (it == controls_.end()) return;
  auto* wc = dynamic_cast<TWinControl*>(c);
  if (wc) {
    if (TCustomForm* f = GetParentForm(); f && !f->IsDestroying()) f->ControlRemoved(wc);
    wc->DestroyHandle();
    tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), wc), tabList_.end());
  } else if (c->visible_) {
    InvalidateArea(c->BoundsRect());
  }
  controls_.erase(std::find(controls_.begin(), controls_.end(), c));
  c->parent_ = nullptr;
  if (c->align_ != alNone && !IsDestroying()) Realign();
  if (!IsDestroying()) ChildBoundsChanged(c);
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    bool windowed = dynamic_cast<TWinControl*>(c) != nullptr;
    if (windowed && !allowWinControls) continue;
    if (!c->visible_ || (!c->enabled_ && !allowDisabled)) continue;
    if (!c->BoundsRect().Contains(p)) continue;
    TPoint local{p.X - c->left_, p.Y - c->top_};
    if (c->Perform(CM_HITTEST, 0, MAKELPARAM(local.X, local.Y)) == 0) continue;
    return c;
  }
  return nullptr;
}

void TWinControl::EnableAlign() {
  if (alignLevel_ > 0 && --alignLevel_ == 0) Realign();
}

TRect TWinControl::AdjustClientRect() {
  return ClientRect();
}

void TWinControl::Realign() {
  if (alignLevel_ > 0 || realigning_ || IsDestroying()) return;
  TRect r = AdjustClientRect();
  realigning_ = true;
  try {
    AlignControls(nullptr, r);
  } catch (...) {
    realigning_ = false;
    throw;
  }
  realigning_ = false;
}

void TWinControl::AlignControls(TControl*, TRect& rect) {
  auto place = [&](TAlign align) {
    std::vector<TControl*> list;
    for (TControl* c : controls_)
      if (c->align_ == align && c->visible_) list.push_back(c);
    // Controls of one alignment stack in the order of their current positions.
    std::stable_sort(list.begin(), list.end(), [align](const TControl* a, const TControl* b) {
      switch (align) {
        case alTop:
          return a->top_ < b->top_;
        case alBottom:
          return a->top_ + a->height_ > b->top_ + b->height_;
        case alLeft:
          return a->left_ < b->left_;
        case alRight:
          return a->left_ + a->width_ > b->left_ + b->width_;
        default:
          return false;
      }
    });
    for (TControl* c : list) {
      int w = c->width_, h = c->height_;
      switch (align) {
        case alTop:
          c->SetBounds(rect.Left, rect.Top, rect.Width(), h);
          rect.Top += c->height_;
          break;
        case alBottom:
          c->SetBounds(rect.Left, rect.Bottom - h, rect.Width(), h);
          rect.Bottom -= c->height_;
          break;
        case alLeft:
          c->SetBounds(rect.Left, rect.Top, w, rect.Height());
          rect.Left += c->width_;
          break;
        case alRight:
          c->SetBounds(rect.Right - w, rect.Top, w, rect.Height());
          rect.Right -= c->width_;
          break;
        case alClient:
          c->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
          break;
        default:
          break;
      }
      if (rect.Right < rect.Left) rect.Right = rect.Left;
      if (rect.Bottom < rect.Top) rect.Bottom = rect.Top;
    }
  };
  place(alTop);
  place(alBottom);
  place(alLeft);
  place(alRight);
  place(alClient);
}

// ---- Focus and keyboard ----

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  const TCustomForm* f = GetParentForm();
  return !f || f->Visible();
}

bool TWinControl::Focused() const {
  return handle_ && GetFocus() == handle_;
}

void TWinControl::SetFocus() {
  if (TCustomForm* f = GetParentForm(); f && f != this) {
    f->FocusControl(this);
    return;
  }
  if (CanFocus()) ::vm::SetFocus(Handle());
}

int TWinControl::TabOrder() const {
  if (!parent_) return -1;
  const auto& list = parent_->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (!parent_) return;
  auto& list = parent_->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  order = std::clamp(order, 0, int(list.size()));
  list.insert(list.begin() + order, this);
}

void TWinControl::SetTabStop(bool v) {
  if (v == tabStop_) return;
  tabStop_ = v;
  if (handle_) {
    LONG_PTR style = GetWindowLongPtr(handle_, GWL_STYLE);
    SetWindowLongPtr(handle_, GWL_STYLE,
                     v ? (style | WS_TABSTOP) : (style & ~LONG_PTR(WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  for (TWinControl* c : tabList_) {
    list.push_back(c);
    c->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward, bool checkTabStop,
                                          bool checkParent) const {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  int n = int(list.size());
  auto it = std::find(list.begin(), list.end(), current);
  int start = it == list.end() ? (forward ? n - 1 : 0) : int(it - list.begin());
  int i = start;
  for (int step = 0; step < n; ++step) {
    i = forward ? (i + 1) % n : (i + n - 1) % n;
    TWinControl* c = list[std::size_t(i)];
    if (c == current) continue;
    if (checkTabStop && !c->TabStop()) continue;
    if (checkParent && c->Parent() != this) continue;
    if (c->CanFocus()) return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
  if (TWinControl* c = FindNextControl(current, forward, checkTabStop, false)) c->SetFocus();
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

bool TWinControl::DoKeyDown(int& key, TShiftState shift) {
  TCustomForm* f = GetParentForm();
  if (f && f != this && f->KeyPreview()) {
    if (f->DoKeyDown(key, shift) || key == 0) return true;
  }
  if (OnKeyDown) OnKeyDown(this, key, shift);
  return key == 0;
}

bool TWinControl::DoKeyPress(char32_t& key) {
  TCustomForm* f = GetParentForm();
  if (f && f != this && f->KeyPreview()) {
    if (f->DoKeyPress(key) || key == 0) return true;
  }
  if (OnKeyPress) OnKeyPress(this, key);
  return key == 0;
}

bool TWinControl::DoKeyUp(int& key, TShiftState shift) {
  TCustomForm* f = GetParentForm();
  if (f && f != this && f->KeyPreview()) {
    if (f->DoKeyUp(key, shift) || key == 0) return true;
  }
  if (OnKeyUp) OnKeyUp(this, key, shift);
  return key == 0;
}

bool TWinControl::WantsKey(int key) {
  if (Perform(CM_WANTSPECIALKEY, WPARAM(key)) != 0) return true;
  if (!handle_) return false;
  LRESULT code = Perform(WM_GETDLGCODE, WPARAM(key), 0);
  if (code & DLGC_WANTALLKEYS) return true;
  switch (key) {
    case VK_TAB:
      return (code & DLGC_WANTTAB) != 0;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      return (code & DLGC_WANTARROWS) != 0;
    default:
      return false;
  }
}

bool TWinControl::DialogKey(int key, TShiftState shift) {
  TCustomForm* f = GetParentForm();
  if (!f) return false;
  return f->Perform(CM_DIALOGKEY, WPARAM(key), LPARAM(shift)) != 0;
}

// ---- Painting ----

void TWinControl::SetDoubleBuffered(bool v) {
  if (v == doubleBuffered_) return;
  doubleBuffered_ = v;
  Perform(CM_DOUBLEBUFFEREDCHANGED);
  Invalidate();
}

void TWinControl::InvalidateArea(const TRect& r) {
  if (handle_) InvalidateRect(handle_, &r, !(controlStyle_ & csOpaque));
}

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, !(controlStyle_ & csOpaque));
}

void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}

void TWinControl::Repaint() {
  if (!handle_) return;
  RedrawWindow(handle_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintControls(HDC dc, TControl* first) {
  // The controls to paint, each with its serial taken now: a control's paint
  // may destroy or add siblings, so each is checked for life before anything
  // of it is touched. The list sits on a stack shared by nested calls (a
  // control painting its own children), which stops allocating once grown.
  struct TEntry {
    TControl* Control;
    std::uint64_t Serial;
  };
  static std::vector<TEntry> stack;
  struct TPop {
    std::size_t Base = stack.size();
    ~TPop() { stack.resize(Base); }
  } pop;
  std::size_t start = 0;
  if (first) {
    auto it = std::find(controls_.begin(), controls_.end(), first);
    if (it != controls_.end()) start = std::size_t(it - controls_.begin()) + 1;
  }
  for (std::size_t i = start; i < controls_.size(); ++i)
    stack.push_back({controls_[i], controls_[i]->Serial()});
  TRect clip = dc->ClipBox();
  for (std::size_t i = pop.Base; i < stack.size(); ++i) {
    TControl* c = stack[i].Control;
    if (!ControlAlive(c, stack[i].Serial) || dynamic_cast<TWinControl*>(c)) continue;
    if (!c->visible_ || c->BoundsRect().Intersect(clip).IsEmpty()) continue;
    int level = dc->SaveDC();
    try {
      dc->OffsetViewportOrg(c->left_, c->top_);
      dc->IntersectClipRect(Rect(0, 0, c->width_, c->height_));
      c->Perform(WM_PAINT, WPARAM(reinterpret_cast<std::uintptr_t>(dc)), 0);
    } catch (...) {
      dc->RestoreDC(level);
      throw;
    }
    dc->RestoreDC(level);
  }
}

void TWinControl::PaintHandler(TMessage& m) {
  if (!ownClass_) {
    // A platform class paints its own face; the windowless children go on top.
    DefaultHandler(m);
    bool any = std::any_of(controls_.begin(), controls_.end(), [](TControl* c) {
      return !dynamic_cast<TWinControl*>(c) && c->visible_;
    });
    if (any && handle_) {
      HDC dc = GetDC(handle_);
      try {
        PaintControls(dc, nullptr);
      } catch (...) {
        ReleaseDC(handle_, dc);
        throw;
      }
      ReleaseDC(handle_, dc);
    }
    return;
  }
  // The context goes back however the painting ends.
  struct TPaint {
    HWND Hwnd;
    PAINTSTRUCT Ps;
    explicit TPaint(HWND h) : Hwnd(h) { BeginPaint(h, &Ps); }
    ~TPaint() { EndPaint(Hwnd, &Ps); }
  } paint(handle_);
  HDC dc = paint.Ps.hdc;
  if (!dc) return;
  if (!doubleBuffered_) {
    PaintWindow(dc);
    PaintControls(dc, nullptr);
    return;
  }
  // Compose the client area off screen, then copy it in one go.
  TRect cr = ClientRect();
  TRect box = dc->ClipBox().Intersect(cr);
  if (box.IsEmpty()) return;
  TBitmap mem;
  mem.Reset(box.Width(), box.Height(), TPixelFormat::pf24bit);
  TDC mdc(mem);
  mdc.SetWindowOrg({box.Left, box.Top});
  mdc.FillRect(box, color_);
  PaintWindow(&mdc);
  PaintControls(&mdc, nullptr);
  dc->BitBlt(box.Left, box.Top, box.Width(), box.Height(), mem, 0, 0);
}

// ---- Geometry ----

void TWinControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  if (handle_) {
    SetWindowPos(handle_, nullptr, left, top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    // WM_WINDOWPOSCHANGED brought the bounds (as the platform allowed them).
    if (!handle_) TControl::SetBounds(left, top, width, height);
    return;
  }
  bool resized = width != width_ || height != height_;
  TControl::SetBounds(left, top, width, height);
  if (resized) Realign();
}

void TWinControl::UpdateBoundsFromWindow() {
  if (!handle_) return;
  TRect r;
  if (!GetWindowRect(handle_, &r)) return;
  if (GetWindowLongPtr(handle_, GWL_STYLE) & WS_CHILD) {
    HWND p = GetParent(handle_);
    TPoint pts[2] = {{r.Left, r.Top}, {r.Right, r.Bottom}};
    MapWindowPoints(nullptr, p, pts, 2);
    r = Rect(pts[0].X, pts[0].Y, pts[1].X, pts[1].Y);
  }
  if (r == BoundsRect()) return;
  bool resized = r.Width() != width_ || r.Height() != height_;
  TRect old = BoundsRect();
  left_ = r.Left;
  top_ = r.Top;
  width_ = r.Width();
  height_ = r.Height();
  (void)old;
  if (parent_) {
    if (align_ != alNone) parent_->Realign();
    if (parent_) parent_->ChildBoundsChanged(this);
  }
  if (resized) {
    Realign();
    Resize();
  }
}

TRect TWinControl::ClientRect() const {
  if (handle_) {
    TRect r;
    if (GetClientRect(handle_, &r)) return r;
  }
  return Rect(0, 0, width_, height_);
}

TPoint TWinControl::ClientOrigin() const {
  if (handle_) {
    TPoint p{0, 0};
    ::vm::ClientToScreen(handle_, &p);
    return p;
  }
  return TControl::ClientOrigin();
}

bool TWinControl::Showing() const {
  return handle_ && IsWindowVisible(handle_);
}

void TWinControl::SetText(const std::string& v) {
  if (v == GetText()) return;
  text_ = v;
  if (handle_) SetWindowText(handle_, v);
  Perform(CM_TEXTCHANGED);
}

std::string TWinControl::GetText() const {
  return handle_ ? GetWindowText(handle_) : text_;
}

void TWinControl::SetWindowVisible(bool show) {
  if (handle_) {
    ShowWindow(handle_, show ? SW_SHOWNA : SW_HIDE);
  } else if (show && parent_ && parent_->handle_) {
    HandleNeeded();
  }
}

// ---- Messages ----

void TWinControl::HandleMouseMessage(TMessage& m) {
  TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  const std::uint64_t me = Serial();
  bool down = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_RBUTTONDOWN || m.Msg == WM_MBUTTONDOWN ||
              m.Msg == WM_LBUTTONDBLCLK || m.Msg == WM_RBUTTONDBLCLK || m.Msg == WM_MBUTTONDBLCLK;
  bool up = m.Msg == WM_LBUTTONUP || m.Msg == WM_RBUTTONUP || m.Msg == WM_MBUTTONUP;
  bool held = (m.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0;

  TControl* target = captureControl_.Get();
  if (target && target->parent_ != this) target = nullptr;
  if (!target) {
    captureControl_.Set(nullptr);
    target = ControlAtPos(p, false);
  }
  if (m.Msg == WM_MOUSEMOVE) {
    // The pointer is over target (or this window itself); hear when it leaves.
    TRACKMOUSEEVENT tme;
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = handle_;
    TrackMouseEvent(&tme);
    TControl* over = target && target->BoundsRect().Contains(p) ? target : ControlAtPos(p, false);
    // A disabled control takes no input, but the pointer is still over it
    // and its hint still shows; a disabled child window's mouse comes here.
    if (!over) over = ControlAtPos(p, true, true);
    const std::uint64_t targetSerial = target ? target->Serial() : 0;
    SetMouseControl(over ? over : this);
    if (!ControlAlive(this, me)) return;
    // A mouse handler may have freed it (the serial was taken while it lived).
    if (target && !ControlAlive(target, targetSerial)) target = nullptr;
  }
  if (target) {
    if (down) {
      captureControl_.Set(target);
      if (target->controlStyle_ & csCaptureMouse) ::vm::SetCapture(handle_);
    } else if (up && !(held)) {
      captureControl_.Set(nullptr);
      if (GetCapture() == handle_) ReleaseCapture();
    }
    target->Perform(m.Msg, m.WParam, MAKELPARAM(p.X - target->left_, p.Y - target->top_));
    // The window's own default handling still asks for the context menu on a
    // right-button release (the windowless control under it may have one).
    if (m.Msg == WM_RBUTTONUP && ControlAlive(this, me) && handle_) DefaultHandler(m);
    return;
  }
  // The window's own mouse message: the platform's handling first, then the events.
  DefaultHandler(m);
  if (!ControlAlive(this, me) || !handle_) return;
  if (down && (controlStyle_ & csCaptureMouse) && ownClass_) ::vm::SetCapture(handle_);
  if (up && !held && ownClass_ && GetCapture() == handle_) ReleaseCapture();
  if (!enabled_) return;
  HandleMouse(m);
}

bool TWinControl::ContextPopup(TMessage& m) {
  // lParam -1: asked from the keyboard, the menu opens at the control's corner.
  bool byKey = m.LParam == LPARAM(-1) || LPARAM(std::int32_t(std::uint32_t(m.LParam))) == -1;
  TPoint at =
      byKey ? ClientToScreen({0, 0}) : TPoint{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  TControl* target = this;
  if (!byKey) {
    TControl* c = ControlAtPos(ScreenToClient(at), false);
    if (c && !dynamic_cast<TWinControl*>(c) && c->PopupMenu()) target = c;
  }
  tk::TPopupMenu* menu = target->PopupMenu();
  if (!menu || !menu->AutoPopup()) return false;
  menu->SetPopupComponent(target);
  menu->Popup(at.X, at.Y);
  m.Result = 1;
  return true;
}

void TWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
      PaintHandler(m);
      return;
    case WM_NCPAINT: {
      // A window without border, caption, menu or scroll bar has nothing to
      // paint outside its client area: the platform's frame painting (a
      // context of the whole window, clipped down to nothing) is spared.
      if (!handle_) break;
      TRect window, client;
      if (GetWindowRect(handle_, &window) && GetClientRect(handle_, &client) &&
          window.Width() == client.Width() && window.Height() == client.Height()) {
        m.Result = 0;
        return;
      }
      break;
    }
    case WM_ERASEBKGND:
      if (!ownClass_) break;
      if (!doubleBuffered_ && !(controlStyle_ & csOpaque) && m.WParam) {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        dc->FillRect(ClientRect(), color_);
      }
      m.Result = 1;
      return;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      HandleMouseMessage(m);
      return;
    case WM_MOUSELEAVE: {
      TControl* mc = gMouseControl.Get();
      if (mc == this ||
          (mc && mc->parent_ == this && (!dynamic_cast<TWinControl*>(mc) || !mc->enabled_)))
        SetMouseControl(nullptr);
      break;
    }
    case WM_CAPTURECHANGED:
      captureControl_.Set(nullptr);
      break;
    case WM_CONTEXTMENU:
      if (ContextPopup(m)) return;
      break;  // unanswered, the request goes on to the parent window
    case WM_SETFOCUS: {
      const std::uint64_t me = Serial();
      if (TCustomForm* f = GetParentForm(); f && f != this) f->FocusChanged(this);
      if (!ControlAlive(this, me)) return;
      DefaultHandler(m);
      if (!ControlAlive(this, me)) return;
      DoEnter();
      return;
    }
    case WM_KILLFOCUS: {
      const std::uint64_t me = Serial();
      DefaultHandler(m);
      if (!ControlAlive(this, me)) return;
      DoExit();
      return;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      int key = int(m.WParam);
      TShiftState shift = KeyboardShiftState();
      const std::uint64_t me = Serial();
      eatChar_ = false;
      if (DoKeyDown(key, shift)) {
        if (ControlAlive(this, me)) eatChar_ = true;
        return;
      }
      if (!ControlAlive(this, me)) return;
      bool special = key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || key == VK_LEFT ||
                     key == VK_RIGHT || key == VK_UP || key == VK_DOWN || key == VK_CANCEL;
      if (special && !WantsKey(key) && DialogKey(key, shift)) {
        if (ControlAlive(this, me)) eatChar_ = true;
        return;
      }
      if (!ControlAlive(this, me)) return;
      m.WParam = WPARAM(key);
      break;
    }
    case WM_CHAR:
    case WM_SYSCHAR: {
      if (eatChar_ && (m.WParam == '\t' || m.WParam == '\r' || m.WParam == 0x1B)) {
        eatChar_ = false;
        return;
      }
      eatChar_ = false;
      char32_t ch = char32_t(m.WParam);
      const std::uint64_t me = Serial();
      // Alt+letter: a label's "&" letter moves the focus to its control.
      if (m.Msg == WM_SYSCHAR) {
        if (TCustomForm* f = GetParentForm(); f && f->Perform(CM_DIALOGCHAR, m.WParam) != 0) return;
        if (!ControlAlive(this, me)) return;
      }
      if (DoKeyPress(ch)) return;
      if (!ControlAlive(this, me)) return;
      m.WParam = WPARAM(ch);
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      int key = int(m.WParam);
      const std::uint64_t me = Serial();
      if (DoKeyUp(key, KeyboardShiftState())) return;
      if (!ControlAlive(this, me)) return;
      m.WParam = WPARAM(key);
      break;
    }
    case WM_WINDOWPOSCHANGED:
    case WM_SIZE:
    case WM_MOVE: {
      const std::uint64_t me = Serial();
      DefaultHandler(m);
      if (ControlAlive(this, me)) UpdateBoundsFromWindow();
      return;
    }
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR: {
      // Notifications about a child window go to the child's control.
      auto child = reinterpret_cast<HWND>(m.LParam);
      if (TWinControl* c = child ? FindControl(child) : nullptr; c && c != this) {
        UINT cn = m.Msg == WM_COMMAND           ? CN_COMMAND
                  : m.Msg == WM_HSCROLL         ? CN_HSCROLL
                  : m.Msg == WM_VSCROLL         ? CN_VSCROLL
                  : m.Msg == WM_CTLCOLOREDIT    ? CN_CTLCOLOREDIT
                  : m.Msg == WM_CTLCOLORSTATIC  ? CN_CTLCOLORSTATIC
                  : m.Msg == WM_CTLCOLORBTN     ? CN_CTLCOLORBTN
                  : m.Msg == WM_CTLCOLORLISTBOX ? CN_CTLCOLORLISTBOX
                                                : CN_CTLCOLORSCROLLBAR;
        m.Result = c->Perform(cn, m.WParam, m.LParam);
        return;
      }
      break;
    }
    case WM_NOTIFY:
      // A notification from a child window goes to the child's control.
      if (m.LParam) {
        const auto* hdr = reinterpret_cast<const NMHDR*>(m.LParam);
        if (TWinControl* c = hdr->hwndFrom ? FindControl(hdr->hwndFrom) : nullptr; c && c != this) {
          m.Result = c->Perform(CN_NOTIFY, m.WParam, m.LParam);
          return;
        }
      }
      break;
    case WM_DRAWITEM:
      // An owner-drawn child window asks how to look: its control answers.
      if (m.LParam) {
        const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
        if (TWinControl* c = dis->hwndItem ? FindControl(dis->hwndItem) : nullptr; c && c != this) {
          m.Result = c->Perform(CN_DRAWITEM, m.WParam, m.LParam);
          return;
        }
      }
      break;
    case WM_SETCURSOR:
      if (LRESULT(LOWORD(WPARAM(m.LParam))) == HTCLIENT &&
          reinterpret_cast<HWND>(m.WParam) == handle_) {
        TCursor c = Screen ? Screen->Cursor() : crDefault;
        if (c == crDefault) {
          TControl* over = gMouseControl.Get();
          c = (over && (over == this || over->parent_ == this)) ? over->Cursor() : cursor_;
        }
        if (c != crDefault) {
          ::vm::SetCursor(TScreen::CursorHandle(c));
          m.Result = 1;
          return;
        }
      }
      break;
    case CM_ENABLEDCHANGED:
      if (handle_) EnableWindow(handle_, enabled_);
      Invalidate();
      return;
    case CM_VISIBLECHANGED:
      SetWindowVisible(visible_);
      return;
    case CM_COLORCHANGED:
      ColorChanged();
      for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(CM_PARENTCOLORCHANGED);
      return;
    case CM_FONTCHANGED:
      ApplyFont();
      FontChanged();
      for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(CM_PARENTFONTCHANGED);
      return;
    case CM_SHOWHINTCHANGED:
      for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(CM_PARENTSHOWHINTCHANGED);
      return;
    case CM_PARENTSHOWHINTCHANGED: {
      bool before = showHint_;
      TControl::WndProc(m);
      if (before == showHint_)
        for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(CM_PARENTSHOWHINTCHANGED);
      return;
    }
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORSCROLLBAR:
      // A platform control of the toolkit paints in the control's Color and Font.
      if (m.WParam) {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        dc->SetTextColor(font_->Color());
        dc->SetBkColor(color_);
      }
      m.Result = CtlColorResult(color_);
      return;
    case CM_BUTTONPRESSED:
      // A group button went down: the others of its group on this parent hear it.
      for (TControl* c : std::vector<TControl*>(controls_))
        if (ControlAlive(c, c->Serial())) c->Perform(m.Msg, m.WParam, m.LParam);
      return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR: {
      // Offered to each child in turn until one uses it. A dialog key goes
      // to the windowed children in tab order first, so that of several
      // default (or cancel) buttons the first in tab order takes Enter
      // (Escape); then to the windowless ones.
      std::vector<TControlRef> order;
      if (m.Msg == CM_DIALOGKEY) {
        order.assign(tabList_.begin(), tabList_.end());
        for (TControl* c : controls_)
          if (!dynamic_cast<TWinControl*>(c)) order.emplace_back(c);
      } else {
        order.assign(controls_.begin(), controls_.end());
      }
      for (TControlRef& ref : order) {
        TControl* c = ref.Get();
        if (!c) continue;
        if (c->Perform(m.Msg, m.WParam, m.LParam) != 0) {
          m.Result = 1;
          return;
        }
      }
      return;
    }
    default:
      break;
  }
  if (m.Msg >= CM_BASE && m.Msg < 0xA100) {
    TControl::WndProc(m);
    return;
  }
  if (m.Msg == WM_PAINT || IsMouseMessage(m.Msg)) return;
  DefaultHandler(m);
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (handle_) {
    m.Result = CallWindowProc(defWndProc_, handle_, m.Msg, m.WParam, m.LParam);
    return;
  }
  TControl::DefaultHandler(m);
}

}  // namespace vm
