// Window attributes, the window tree, geometry, showing and moving.
#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/win/WindowSystem.h"

namespace vm {

namespace {

TWindowSystem& WS() {
  return TWindowSystem::Get();
}
std::uintptr_t Key(HWND h) {
  return reinterpret_cast<std::uintptr_t>(h);
}

std::vector<TWnd*>& Siblings(TWnd* w) {
  return w->Parent ? w->Parent->Children : WS().TopLevels;
}

}  // namespace

// ---------------------------------------------------------------- geometry internals

void TWindowSystem::CalcClient(TWnd* w) {
  NCCALCSIZE_PARAMS p;
  p.rgrc[0] = w->Rect;
  p.rgrc[1] = w->Rect;
  p.rgrc[2] = w->Client.Offset(w->Rect.Left, w->Rect.Top);
  Send(w, WM_NCCALCSIZE, 1, LPARAM(&p));
  if (w->Destroyed) return;
  TRect c = p.rgrc[0].Offset(-w->Rect.Left, -w->Rect.Top);
  c.Left = std::clamp(c.Left, 0, w->Width());
  c.Top = std::clamp(c.Top, 0, w->Height());
  c.Right = std::clamp(c.Right, c.Left, w->Width());
  c.Bottom = std::clamp(c.Bottom, c.Top, w->Height());
  // A frame recomputed to the same client area changes no visible region.
  if (c == w->Client) return;
  w->Client = c;
  TreeChanged();
}

MINMAXINFO TWindowSystem::MinMaxInfo(TWnd* w) {
  TRect work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  // Maximised, the frame hangs just outside the work area, as on the platform.
  int f = FrameMetrics(w->Style, w->ExStyle).Border;
  MINMAXINFO mmi;
  mmi.ptMaxSize = {work.Width() + 2 * f, work.Height() + 2 * f};
  mmi.ptMaxPosition = {work.Left - f, work.Top - f};
  mmi.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  mmi.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  Send(w, WM_GETMINMAXINFO, 0, LPARAM(&mmi));
  return mmi;
}

void TWindowSystem::Raise(TWnd* w) {
  auto& sib = Siblings(w);
  auto it = std::find(sib.begin(), sib.end(), w);
  if (it == sib.end() || it == sib.begin()) return;
  const auto placeBefore = it - sib.begin();
  sib.erase(it);
  // Topmost windows stay above the others.
  auto pos = sib.begin();
  if (!(w->ExStyle & WS_EX_TOPMOST))
    while (pos != sib.end() && ((*pos)->ExStyle & WS_EX_TOPMOST)) ++pos;
  // Raised to where it already was (below topmost windows), nothing is uncovered.
  if (pos - sib.begin() != placeBefore) TreeChanged();
  sib.insert(pos, w);
  if (!w->Parent) {
    // Owned windows stay above their owner.
    std::vector<TWnd*> owned;
    for (TWnd* t : sib)
      if (t->Owner == w->Handle) owned.push_back(t);
    for (TWnd* o : owned) {
      sib.erase(std::find(sib.begin(), sib.end(), o));
      sib.insert(sib.begin(), o);
    }
    if (Host && w->Native) Host->RaiseNativeWindow(w->Native);
    for (TWnd* o : owned)
      if (Host && o->Native && (o->Style & WS_VISIBLE)) Host->RaiseNativeWindow(o->Native);
  }
}

bool TWindowSystem::SetPos(TWnd* w, HWND after, int x, int y, int cx, int cy, UINT flags) {
  HWND h = w->Handle;
  bool wasVisible = (w->Style & WS_VISIBLE) != 0;
  if ((flags & SWP_SHOWWINDOW) && wasVisible) flags &= ~SWP_SHOWWINDOW;
  if ((flags & SWP_HIDEWINDOW) && !wasVisible) flags &= ~SWP_HIDEWINDOW;
  if (w->Parent) flags |= SWP_NOACTIVATE;

  WINDOWPOS wp;
  wp.hwnd = h;
  wp.hwndInsertAfter = after;
  wp.x = (flags & SWP_NOMOVE) ? w->Rect.Left : x;
  wp.y = (flags & SWP_NOMOVE) ? w->Rect.Top : y;
  wp.cx = (flags & SWP_NOSIZE) ? w->Width() : cx;
  wp.cy = (flags & SWP_NOSIZE) ? w->Height() : cy;
  wp.flags = flags;
  if (!(flags & SWP_NOSENDCHANGING)) {
    Send(w, WM_WINDOWPOSCHANGING, 0, LPARAM(&wp));
    if (!(w = Find(h))) return false;
  }
  wp.cx = std::clamp(wp.cx, 0, w->Parent ? MaxBitmapSide : GetSystemMetrics(SM_CXMAXTRACK));
  wp.cy = std::clamp(wp.cy, 0, w->Parent ? MaxBitmapSide : GetSystemMetrics(SM_CYMAXTRACK));
  flags = wp.flags;

  TRect oldRect = w->Rect;
  TRect newRect = Bounds(wp.x, wp.y, wp.cx, wp.cy);
  bool moved = newRect.Left != oldRect.Left || newRect.Top != oldRect.Top;
  bool sized = newRect.Width() != oldRect.Width() || newRect.Height() != oldRect.Height();
  TRect oldClient = w->Client;

  if (moved || sized || (flags & SWP_FRAMECHANGED)) {
    w->Rect = newRect;
    // A frame change alone moves nothing; CalcClient notes a new client area.
    if (moved || sized) TreeChanged();
    CalcClient(w);
    if (!(w = Find(h))) return false;
    if (!w->Parent) {
      if (sized) {
        w->Store.Reset(newRect.Width(), newRect.Height(), TPixelFormat::pf24bit);
        w->Dirty.Clear();
      }
      if (Host && w->Native && !Input.SuppressHostMove) Host->MoveNativeWindow(w->Native, newRect);
    }
  }
  if (!(flags & SWP_NOZORDER)) {
    auto& sib = Siblings(w);
    // Taking one window out and putting it back at the same place leaves the
    // order as it was; only a new place changes what each window covers.
    const auto placeBefore = std::find(sib.begin(), sib.end(), w) - sib.begin();
    if (after == HWND_TOP || after == HWND_TOPMOST) {
      if (after == HWND_TOPMOST) w->ExStyle |= WS_EX_TOPMOST;
      Raise(w);
    } else if (after == HWND_BOTTOM) {
      sib.erase(std::find(sib.begin(), sib.end(), w));
      sib.push_back(w);
    } else if (after == HWND_NOTOPMOST) {
      w->ExStyle &= ~WS_EX_TOPMOST;
    } else if (TWnd* a = Find(after); a && a != w && &Siblings(a) == &sib) {
      sib.erase(std::find(sib.begin(), sib.end(), w));
      sib.insert(std::find(sib.begin(), sib.end(), a) + 1, w);
    }
    if (std::find(sib.begin(), sib.end(), w) - sib.begin() != placeBefore) TreeChanged();
  }

  bool geometryChanged = moved || sized || (flags & SWP_FRAMECHANGED);
  if (flags & SWP_HIDEWINDOW) {
    if (w->Parent) InvalidateParentArea(w, oldRect);
    w->Style &= ~WS_VISIBLE;
    TreeChanged();
    if (!w->Parent && Host && w->Native) Host->ShowNativeWindow(w->Native, false);
    if (Input.Active == h) ActivateOther(w);
    if (!(w = Find(h))) return false;
    // Focus inside a hidden child goes back to its parent, as on the platform.
    if (TWnd* f = Find(Input.Focus); f && (f == w || ::vm::IsChild(h, Input.Focus))) {
      if (w->Parent)
        DoSetFocus(w->Parent->Handle);
      else if (!Input.Active)
        DoSetFocus(nullptr);
    }
    if (Input.Capture && (Input.Capture == h || ::vm::IsChild(h, Input.Capture))) ReleaseCapture();
    if (!(w = Find(h))) return false;
  } else if (flags & SWP_SHOWWINDOW) {
    w->Style |= WS_VISIBLE;
    TreeChanged();
    if (!w->Parent && Host && w->Native) {
      Host->MoveNativeWindow(w->Native, w->Rect);
      Host->ShowNativeWindow(w->Native, true);
      // A window activated while hidden (a dialog that places its focus
      // before it is shown) asked the desktop for the keyboard focus when
      // none could be given; activating it again below returns early, so the
      // request is made again now that it can be honoured.
      if (Input.Active == h) Host->FocusNativeWindow(w->Native);
    }
    if (!w->Parent && !(flags & SWP_NOACTIVATE) && !(w->Style & WS_DISABLED)) {
      Activate(w, false);
      if (!(w = Find(h))) return false;
    } else if (!w->Parent && !(flags & SWP_NOZORDER)) {
      Raise(w);
    }
    if (!(flags & SWP_NOREDRAW)) {
      Invalidate(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      EraseNow(w, true);
      if (!(w = Find(h))) return false;
    }
  } else if (geometryChanged && (w->Style & WS_VISIBLE) && !(flags & SWP_NOREDRAW)) {
    if (w->Parent) InvalidateParentArea(w, oldRect);
    Invalidate(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    // A child's frame waits for the parent's repaint of the old place, which
    // would otherwise paint over a frame drawn now.
    if (!w->Parent) EraseNow(w, true);
    if (!(w = Find(h))) return false;
  } else if (!(flags & SWP_NOZORDER) && w->Parent && (w->Style & WS_VISIBLE)) {
    Invalidate(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }

  // WM_WINDOWPOSCHANGED says what really changed; DefWindowProc turns it into
  // WM_MOVE and WM_SIZE.
  wp.x = w->Rect.Left;
  wp.y = w->Rect.Top;
  wp.cx = w->Width();
  wp.cy = w->Height();
  if (!moved) wp.flags |= SWP_NOMOVE;
  if (!sized) wp.flags |= SWP_NOSIZE;
  if (oldClient.Left == w->Client.Left && oldClient.Top == w->Client.Top && !moved)
    wp.flags |= SWP_NOCLIENTMOVE;
  if (oldClient.Width() == w->Client.Width() && oldClient.Height() == w->Client.Height())
    wp.flags |= SWP_NOCLIENTSIZE;
  Send(w, WM_WINDOWPOSCHANGED, 0, LPARAM(&wp));
  return Find(h) != nullptr;
}

// ---------------------------------------------------------------- attributes

bool IsWindowVisible(HWND hwnd) {
  TWnd* w = WS().Find(hwnd);
  return w && WS().Visible(w);
}

bool IsWindowEnabled(HWND hwnd) {
  TWnd* w = WS().Find(hwnd);
  return w && !(w->Style & WS_DISABLED);
}

bool EnableWindow(HWND hwnd, bool enable) {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(hwnd);
  if (!w) return false;
  bool wasDisabled = (w->Style & WS_DISABLED) != 0;
  if (enable == !wasDisabled) return wasDisabled;
  if (enable) {
    w->Style &= ~WS_DISABLED;
  } else {
    w->Style |= WS_DISABLED;
    // A disabled window cannot keep the focus or the mouse.
    if (ws.Input.Focus == hwnd || IsChild(hwnd, ws.Input.Focus)) ws.DoSetFocus(nullptr);
    if (ws.Input.Capture == hwnd) ReleaseCapture();
  }
  if (ws.Find(hwnd)) ws.Send(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
  return wasDisabled;
}

bool IsTransientPopup(DWORD style, DWORD exStyle) {
  return (style & WS_POPUP) && !(style & WS_CHILD) && (style & WS_CAPTION) != WS_CAPTION &&
         (exStyle & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
}

THostWindowKind HostKindOf(const TWnd* w) {
  if (IsTransientPopup(w->Style, w->ExStyle)) {
    // A hint is a frameless floating label; menus and drop-down lists are framed.
    bool framed = (w->Style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) ||
                  (w->ExStyle & WS_EX_DLGMODALFRAME);
    bool hint = !framed || SameClassName(w->Class->Info.lpszClassName, "tooltips_class32");
    return hint ? THostWindowKind::Tooltip : THostWindowKind::PopupMenu;
  }
  return WS().Find(w->Owner) ? THostWindowKind::Dialog : THostWindowKind::Normal;
}

bool IsPopupWindow(HWND hwnd) {
  TWnd* w = WS().Find(hwnd);
  return w && !w->Parent && IsTransientPopup(w->Style, w->ExStyle);
}

bool IsChild(HWND parent, HWND hwnd) {
  TWindowSystem& ws = WS();
  TWnd* p = ws.Find(parent);
  TWnd* w = ws.Find(hwnd);
  if (!p || !w) return false;
  for (TWnd* x = w->Parent; x; x = x->Parent)
    if (x == p) return true;
  return false;
}

bool IsIconic(HWND hwnd) {
  TWnd* w = WS().Find(hwnd);
  return w && w->Minimized;
}

bool IsZoomed(HWND hwnd) {
  TWnd* w = WS().Find(hwnd);
  return w && w->Maximized;
}

HWND GetParent(HWND hwnd) {
  TWnd* w = WS().Find(hwnd);
  if (!w) return nullptr;
  if (w->Parent) return w->Parent->Handle;
  return WS().Find(w->Owner) ? w->Owner : nullptr;
}

HWND SetParent(HWND hwnd, HWND newParent) {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(hwnd);
  TWnd* p = ws.Find(newParent);
  // Only child windows move between parents here; a window cannot become its own descendant.
  if (!w || !w->Parent || !p || p == w || IsChild(hwnd, newParent)) return nullptr;
  HWND old = w->Parent->Handle;
  bool visible = (w->Style & WS_VISIBLE) != 0;
  if (visible) ws.InvalidateParentArea(w, w->Rect);
  ws.Unlink(w);
  w->Parent = p;
  // The platform makes the moved window the top of its new siblings.
  p->Children.insert(p->Children.begin(), w);
  ws.TreeChanged();
  if (visible) ws.Invalidate(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return old;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(hwnd);
  if (!w) return nullptr;
  if (cmd == GW_CHILD) return w->Children.empty() ? nullptr : w->Children.front()->Handle;
  if (cmd == GW_OWNER) return w->Parent ? nullptr : (ws.Find(w->Owner) ? w->Owner : nullptr);
  auto& sib = Siblings(w);
  auto it = std::find(sib.begin(), sib.end(), w);
  switch (cmd) {
    case GW_HWNDFIRST:
      return sib.front()->Handle;
    case GW_HWNDLAST:
      return sib.back()->Handle;
    case GW_HWNDNEXT:
      return (it + 1) != sib.end() ? (*(it + 1))->Handle : nullptr;
    case GW_HWNDPREV:
      return it != sib.begin() ? (*(it - 1))->Handle : nullptr;
  }
  return nullptr;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(hwnd);
  if (!w) return nullptr;
  if (flags == GA_PARENT) return w->Parent ? w->Parent->Handle : nullptr;
  TWnd* top = ws.Top(w);
  if (flags == GA_ROOT) return top->Handle;
  if (flags == GA_ROOTOWNER) {
    while (TWnd* o = ws.Find(top->Owner)) top = o;
    return top->Handle;
  }
  return nullptr;
}

HWND GetTopWindow(HWND parent) {
  if (!parent) return WS().TopLevels.empty() ? nullptr : WS().TopLevels.front()->Handle;
  return GetWindow(parent, GW_CHILD);
}

namespace {

bool EnumChildren(TWnd* w, const std::function<bool(HWND)>& fn) {
  std::vector<HWND> list;
  for (TWnd* c : w->Children) list.push_back(c->Handle);
  for (HWND h : list) {
    TWnd* c = WS().Find(h);
    if (!c) continue;
    if (!fn(h)) return false;
    if ((c = WS().Find(h)) && !EnumChildren(c, fn)) return false;
  }
  return true;
}

}  // namespace

bool EnumChildWindows(HWND parent, const std::function<bool(HWND)>& fn) {
  TWnd* w = WS().Find(parent);
  return w && fn && EnumChildren(w, fn);
}

bool EnumWindows(const std::function<bool(HWND)>& fn) {
  std::vector<HWND> list;
  for (TWnd* t : WS().TopLevels) list.push_back(t->Handle);
  for (HWND h : list)
    if (IsWindow(h) && !fn(h)) return false;
  return true;
}

HWND FindWindow(std::string_view className, std::string_view title) {
  for (TWnd* t : WS().TopLevels)
    if ((className.empty() || SameClassName(t->Class->Info.lpszClassName, className)) &&
        (title.empty() || t->Text == title))
      return t->Handle;
  return nullptr;
}

HWND GetDlgItem(HWND parent, int id) {
  TWnd* w = WS().Find(parent);
  if (!w) return nullptr;
  for (TWnd* c : w->Children)
    if (c->Id == id) return c->Handle;
  return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
  TWnd* w = WS().Find(hwnd);
  return w && w->Parent ? int(w->Id) : 0;
}

namespace {

[[noreturn]] void RefuseProcIndex(const char* fn) {
  throw std::invalid_argument(
      std::string(fn) + ": GWLP_WNDPROC is no LONG_PTR here; use GetWindowProc/SetWindowProc");
}

// A LONG_PTR slot of the window's extra bytes, or nullptr when it does not fit.
std::uint8_t* ExtraSlot(TWnd* w, int offset) {
  if (offset < 0 || std::size_t(offset) + sizeof(LONG_PTR) > w->Extra.size()) return nullptr;
  return w->Extra.data() + offset;
}

}  // namespace

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
  TWindowSystem& ws = WS();
  if (index == GWLP_WNDPROC) RefuseProcIndex("GetWindowLongPtr");
  TWnd* w = ws.Find(hwnd);
  if (!w) return 0;
  if (index >= 0) {
    LONG_PTR v = 0;
    if (const std::uint8_t* slot = ExtraSlot(w, index)) std::memcpy(&v, slot, sizeof v);
    return v;
  }
  switch (index) {
    case GWL_STYLE:
      return LONG_PTR(w->Style);
    case GWL_EXSTYLE:
      return LONG_PTR(w->ExStyle);
    case GWLP_USERDATA:
      return w->UserData;
    case GWLP_ID:
      return w->Id;
    case GWLP_HWNDPARENT:
      return LONG_PTR(
          Key(w->Parent ? w->Parent->Handle : (ws.Find(w->Owner) ? w->Owner : nullptr)));
  }
  return 0;
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
  TWindowSystem& ws = WS();
  if (index == GWLP_WNDPROC) RefuseProcIndex("SetWindowLongPtr");
  TWnd* w = ws.Find(hwnd);
  if (!w) return 0;
  LONG_PTR old = GetWindowLongPtr(hwnd, index);
  if (index >= 0) {
    std::uint8_t* slot = ExtraSlot(w, index);
    if (!slot) return 0;
    std::memcpy(slot, &value, sizeof value);
    return old;
  }
  switch (index) {
    case GWL_STYLE: {
      // WM_STYLECHANGING/CHANGED carry the old and new value; visibility and
      // the frame only change through ShowWindow and SetWindowPos.
      struct {
        DWORD Old, New;
      } ss{w->Style, DWORD(value)};
      ws.Send(w, WM_STYLECHANGING, WPARAM(GWL_STYLE), LPARAM(&ss));
      if (!(w = ws.Find(hwnd))) return 0;
      // Visibility and clipping shape visible regions at once; frame styles
      // only with SWP_FRAMECHANGED, which recomputes the client area.
      if ((w->Style ^ ss.New) & (WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN)) ws.TreeChanged();
      w->Style = ss.New;
      ws.Send(w, WM_STYLECHANGED, WPARAM(GWL_STYLE), LPARAM(&ss));
      break;
    }
    case GWL_EXSTYLE:
      w->ExStyle = DWORD(value);
      break;
    case GWLP_USERDATA:
      w->UserData = value;
      break;
    case GWLP_ID:
      w->Id = value;
      break;
    case GWLP_HWNDPARENT:
      if (!w->Parent) {
        HWND owner = reinterpret_cast<HWND>(value);
        TWnd* o = ws.Find(owner);
        if (o == w) return 0;
        w->Owner = o ? ws.Top(o)->Handle : nullptr;
        if (ws.Host && w->Native) {
          // Owned windows are dialogs to the desktop (no taskbar entry); pop-ups keep their kind.
          ws.Host->SetNativeTransientFor(w->Native, o ? ws.Top(o)->Native : 0);
          ws.Host->SetNativeKind(w->Native, HostKindOf(w));
        }
      }
      break;
    default:
      return 0;
  }
  // A style change can make a window a pop-up or an ordinary window again.
  if ((index == GWL_STYLE || index == GWL_EXSTYLE) && (w = ws.Find(hwnd)) && !w->Parent &&
      ws.Host && w->Native)
    ws.Host->SetNativeKind(w->Native, HostKindOf(w));
  return old;
}

WNDPROC GetWindowProc(HWND hwnd) {
  TWnd* w = WS().Find(hwnd);
  return w ? w->Proc : WNDPROC();
}

WNDPROC SetWindowProc(HWND hwnd, WNDPROC proc) {
  TWnd* w = WS().Find(hwnd);
  // A retired subclass is never installed again: its forward target is.
  if (proc) proc = proc.Resolved();
  if (!w || !proc) return WNDPROC();
  WNDPROC old = w->Proc;
  w->Proc = std::move(proc);
  return old;
}

void RemoveWindowProc(HWND hwnd, const WNDPROC& mine, const WNDPROC& previous) {
  if (!mine) return;
  TWnd* w = WS().Find(hwnd);
  if (w && w->Proc == mine) {
    SetWindowProc(hwnd, previous);
    if ((w = WS().Find(hwnd)) && w->Proc == mine) w->Proc = previous.Resolved();
  }
  // Whoever still holds mine (a later subclass's "previous", a caller's copy)
  // goes straight on to previous from now on.
  mine.Retire(previous);
}

LRESULT CallWindowProc(const WNDPROC& proc, HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (!IsWindow(hwnd)) return 0;
  WNDPROC p = proc.Resolved();
  if (!p) return DefWindowProc(hwnd, msg, w, l);
  return p(hwnd, msg, w, l);
}

bool SetProp(HWND hwnd, std::string_view name, std::intptr_t value) {
  TWnd* w = WS().Find(hwnd);
  if (!w || name.empty()) return false;
  w->Props[std::string(name)] = value;
  return true;
}

std::intptr_t GetProp(HWND hwnd, std::string_view name) {
  TWnd* w = WS().Find(hwnd);
  if (!w) return 0;
  auto it = w->Props.find(name);
  return it == w->Props.end() ? 0 : it->second;
}

std::intptr_t RemoveProp(HWND hwnd, std::string_view name) {
  TWnd* w = WS().Find(hwnd);
  if (!w) return 0;
  auto it = w->Props.find(name);
  if (it == w->Props.end()) return 0;
  std::intptr_t v = it->second;
  w->Props.erase(it);
  return v;
}

bool SetWindowText(HWND hwnd, std::string_view utf8) {
  if (!IsWindow(hwnd)) return false;
  std::string copy(utf8);
  return SendMessage(hwnd, WM_SETTEXT, 0, LPARAM(copy.c_str())) != 0;
}

std::string GetWindowText(HWND hwnd) {
  std::string buf;
  GetWindowText(hwnd, buf);
  return buf;
}

void GetWindowText(HWND hwnd, std::string& out) {
  out.clear();
  if (!IsWindow(hwnd)) return;
  LRESULT len = SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0);
  if (len <= 0) return;
  out.resize(std::size_t(len) + 1, '\0');
  LRESULT got = SendMessage(hwnd, WM_GETTEXT, WPARAM(out.size()), LPARAM(out.data()));
  out.resize(std::size_t(std::clamp<LRESULT>(got, 0, len)));
}

int GetWindowTextLength(HWND hwnd) {
  return IsWindow(hwnd) ? int(SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0)) : 0;
}

// ---------------------------------------------------------------- geometry

bool GetWindowRect(HWND hwnd, TRect* r) {
  TWnd* w = WS().Find(hwnd);
  if (!w || !r) return false;
  TPoint o = WS().WindowOrigin(w);
  *r = Bounds(o.X, o.Y, w->Width(), w->Height());
  return true;
}

bool GetClientRect(HWND hwnd, TRect* r) {
  TWnd* w = WS().Find(hwnd);
  if (!w || !r) return false;
  *r = Rect(0, 0, w->Client.Width(), w->Client.Height());
  return true;
}

bool ClientToScreen(HWND hwnd, TPoint* p) {
  TWnd* w = WS().Find(hwnd);
  if (!w || !p) return false;
  TPoint o = WS().ClientOrigin(w);
  p->X += o.X;
  p->Y += o.Y;
  return true;
}

bool ScreenToClient(HWND hwnd, TPoint* p) {
  TWnd* w = WS().Find(hwnd);
  if (!w || !p) return false;
  TPoint o = WS().ClientOrigin(w);
  p->X -= o.X;
  p->Y -= o.Y;
  return true;
}

int MapWindowPoints(HWND from, HWND to, TPoint* points, int count) {
  TWindowSystem& ws = WS();
  TPoint a{0, 0}, b{0, 0};
  if (from) {
    TWnd* f = ws.Find(from);
    if (!f) return 0;
    a = ws.ClientOrigin(f);
  }
  if (to) {
    TWnd* t = ws.Find(to);
    if (!t) return 0;
    b = ws.ClientOrigin(t);
  }
  int dx = a.X - b.X, dy = a.Y - b.Y;
  for (int i = 0; points && i < count; ++i) {
    points[i].X += dx;
    points[i].Y += dy;
  }
  return int(MAKELONG(dx, dy));
}

bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  TWnd* w = WS().Find(hwnd);
  if (!w) return false;
  return WS().SetPos(w, insertAfter, x, y, cx, cy, flags);
}

bool BringWindowToTop(HWND hwnd) {
  return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool ShowWindow(HWND hwnd, int cmd) {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(hwnd);
  if (!w) return false;
  bool wasVisible = (w->Style & WS_VISIBLE) != 0;
  const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;

  switch (cmd) {
    case SW_HIDE:
      if (!wasVisible) return false;
      ws.Send(w, WM_SHOWWINDOW, 0, 0);
      if ((w = ws.Find(hwnd)))
        ws.SetPos(w, nullptr, 0, 0, 0, 0, keep | SWP_HIDEWINDOW | SWP_NOACTIVATE);
      return true;

    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE: {
      if (w->Parent || w->Minimized) {
        if (!wasVisible) ShowWindow(hwnd, SW_SHOWNA);
        return wasVisible;
      }
      if (!wasVisible) {
        ws.Send(w, WM_SHOWWINDOW, 1, 0);
        if (!(w = ws.Find(hwnd))) return false;
      }
      w->Minimized = true;
      w->Style |= WS_MINIMIZE | WS_VISIBLE;
      ws.TreeChanged();
      if (ws.Host && w->Native) ws.Host->MinimizeNativeWindow(w->Native);
      if (ws.Input.Active == hwnd) ws.ActivateOther(w);
      if ((w = ws.Find(hwnd))) ws.Send(w, WM_SIZE, SIZE_MINIMIZED, 0);
      return wasVisible;
    }

    case SW_MAXIMIZE: {
      if (w->Parent) return ShowWindow(hwnd, SW_SHOW);
      if (!wasVisible) {
        ws.Send(w, WM_SHOWWINDOW, 1, 0);
        if (!(w = ws.Find(hwnd))) return false;
      }
      if (w->Minimized) {
        w->Minimized = false;
        w->Style &= ~WS_MINIMIZE;
      }
      if (!w->Maximized) {
        w->RestoreRect = w->Rect;
        w->Maximized = true;
        w->Style |= WS_MAXIMIZE;
      }
      MINMAXINFO mmi = ws.MinMaxInfo(w);
      if (!(w = ws.Find(hwnd))) return false;
      TRect r = Bounds(mmi.ptMaxPosition.X, mmi.ptMaxPosition.Y, mmi.ptMaxSize.X, mmi.ptMaxSize.Y);
      ws.SetPos(w, HWND_TOP, r.Left, r.Top, r.Width(), r.Height(),
                SWP_SHOWWINDOW | SWP_FRAMECHANGED);
      return wasVisible;
    }

    case SW_RESTORE:
    case SW_SHOWNORMAL: {
      if (w->Minimized) {
        w->Minimized = false;
        w->Style &= ~WS_MINIMIZE;
        if (ws.Host && w->Native) ws.Host->ShowNativeWindow(w->Native, true);
        ws.Send(w, WM_SIZE, w->Maximized ? SIZE_MAXIMIZED : SIZE_RESTORED,
                MAKELPARAM(w->Client.Width(), w->Client.Height()));
        if (!(w = ws.Find(hwnd))) return false;
        ws.Activate(w, false);
        if ((w = ws.Find(hwnd)))
          ws.Invalidate(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        return wasVisible;
      }
      if (w->Maximized && (cmd == SW_RESTORE || wasVisible)) {
        w->Maximized = false;
        w->Style &= ~WS_MAXIMIZE;
        TRect r = w->RestoreRect;
        if (!wasVisible) {
          ws.Send(w, WM_SHOWWINDOW, 1, 0);
          if (!(w = ws.Find(hwnd))) return false;
        }
        ws.SetPos(w, HWND_TOP, r.Left, r.Top, r.Width(), r.Height(),
                  SWP_SHOWWINDOW | SWP_FRAMECHANGED);
        return wasVisible;
      }
      [[fallthrough]];
    }
    case SW_SHOW:
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
    default: {
      UINT flags = keep | SWP_SHOWWINDOW;
      if (cmd == SW_SHOWNA || cmd == SW_SHOWNOACTIVATE) flags |= SWP_NOACTIVATE;
      if (wasVisible) {
        // Already visible: SW_SHOW still activates a top-level window.
        if (!w->Parent && !(flags & SWP_NOACTIVATE)) ws.Activate(w, false);
        return true;
      }
      ws.Send(w, WM_SHOWWINDOW, 1, 0);
      // A top-level window comes to the top; a child keeps its place among its siblings.
      if ((w = ws.Find(hwnd)))
        ws.SetPos(w, HWND_TOP, 0, 0, 0, 0, w->Parent ? flags : flags & ~SWP_NOZORDER);
      return false;
    }
  }
}

int SetWindowRgn(HWND hwnd, const TRegion* rgn, bool redraw) {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(hwnd);
  if (!w) return 0;
  TRect before = w->Rect;
  const bool same = rgn ? (w->WindowRgn && *w->WindowRgn == *rgn) : !w->WindowRgn;
  if (rgn)
    w->WindowRgn = *rgn;
  else
    w->WindowRgn.reset();
  // A form that sets the region it already has changes nothing visible.
  if (!same) ws.TreeChanged();
  if (!w->Parent && ws.Host && w->Native) {
    if (w->WindowRgn)
      ws.Host->SetNativeShape(w->Native, w->WindowRgn->IsEmpty()
                                             ? std::vector<TRect>{TRect{}}
                                             : std::vector<TRect>(w->WindowRgn->Rects().begin(),
                                                                  w->WindowRgn->Rects().end()));
    else
      ws.Host->SetNativeShape(w->Native, {});
  }
  if (redraw && (w->Style & WS_VISIBLE)) {
    if (w->Parent) ws.InvalidateParentArea(w, before);
    ws.Invalidate(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
  return 1;
}

int GetWindowRgn(HWND hwnd, TRegion* rgn) {
  TWnd* w = WS().Find(hwnd);
  if (!w || !w->WindowRgn) return RGN_ERROR;
  if (rgn) *rgn = *w->WindowRgn;
  return w->WindowRgn->Complexity();
}

}  // namespace vm

namespace vm {

// ---------------------------------------------------------------- windows at a point

HWND ChildWindowFromPoint(HWND parent, TPoint client) {
  TWindowSystem& ws = WS();
  TWnd* p = ws.Find(parent);
  if (!p) return nullptr;
  if (!Rect(0, 0, p->Client.Width(), p->Client.Height()).Contains(client)) return nullptr;
  for (TWnd* c : p->Children)
    if (c->Rect.Contains(client) &&
        (!c->WindowRgn || c->WindowRgn->Contains(client.X - c->Rect.Left, client.Y - c->Rect.Top)))
      return c->Handle;
  return parent;
}

HWND WindowFromPoint(TPoint screen) {
  TWindowSystem& ws = WS();
  std::vector<HWND> tops;
  for (TWnd* t : ws.TopLevels) tops.push_back(t->Handle);
  for (HWND th : tops) {
    TWnd* t = ws.Find(th);
    if (!t || !(t->Style & WS_VISIBLE) || t->Minimized || !t->Rect.Contains(screen)) continue;
    if (t->WindowRgn && !t->WindowRgn->Contains(screen.X - t->Rect.Left, screen.Y - t->Rect.Top))
      continue;
    // Windows that let the mouse through (hints) are looked through here too.
    if (ws.Send(t, WM_NCHITTEST, 0, MAKELPARAM(screen.X, screen.Y)) == HTTRANSPARENT) continue;
    if (!(t = ws.Find(th))) continue;
    // Down through the visible children under the point.
    TWnd* w = t;
    for (bool deeper = true; deeper;) {
      deeper = false;
      TPoint o = ws.ClientOrigin(w);
      TPoint pc{screen.X - o.X, screen.Y - o.Y};
      if (!Rect(0, 0, w->Client.Width(), w->Client.Height()).Contains(pc)) break;
      for (TWnd* c : w->Children) {
        if (!(c->Style & WS_VISIBLE) || !c->Rect.Contains(pc)) continue;
        if (c->WindowRgn && !c->WindowRgn->Contains(pc.X - c->Rect.Left, pc.Y - c->Rect.Top))
          continue;
        w = c;
        deeper = true;
        break;
      }
    }
    return w->Handle;
  }
  return nullptr;
}

}  // namespace vm
