// Windows, classes, the message queue, timers and hooks.
#include "platform/win/WindowSystem.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "platform/base/AsciiCase.h"
#include "platform/win/MenuState.h"

namespace vm {

TWindowSystem& TWindowSystem::Get() {
  static TWindowSystem instance;
  return instance;
}

namespace {

TWindowSystem& WS() {
  return TWindowSystem::Get();
}

std::uintptr_t Key(HWND h) {
  return reinterpret_cast<std::uintptr_t>(h);
}

// Removes one window from a list kept in z-order.
void Erase(std::vector<TWnd*>& list, TWnd* w) {
  list.erase(std::remove(list.begin(), list.end(), w), list.end());
}

}  // namespace

// ---------------------------------------------------------------- class names

bool TNoCaseLess::operator()(std::string_view a, std::string_view b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return AsciiLower(x) < AsciiLower(y); });
}

bool SameClassName(std::string_view a, std::string_view b) {
  return SameTextAscii(a, b);
}

// ---------------------------------------------------------------- exceptions

void TWindowSystem::ReportException(std::exception_ptr e) {
  TDispatchExceptionHandler handler = ExceptionHandler;
  try {
    if (handler) {
      handler(e);
      return;
    }
    std::rethrow_exception(e);
  } catch (const std::exception& x) {
    std::fprintf(stderr, "velmora: exception in a window procedure: %s\n", x.what());
  } catch (...) {
    std::fprintf(stderr, "velmora: exception of unknown type in a window procedure\n");
  }
}

TDispatchExceptionHandler SetDispatchExceptionHandler(TDispatchExceptionHandler handler) {
  TDispatchExceptionHandler old = std::move(WS().ExceptionHandler);
  WS().ExceptionHandler = std::move(handler);
  return old;
}

// ---------------------------------------------------------------- look-up

TWnd* TWindowSystem::Find(HWND h) const {
  if (!h) return nullptr;
  auto it = Windows.find(Key(h));
  if (it == Windows.end() || it->second->Destroyed) return nullptr;
  return it->second.get();
}

TWnd* TWindowSystem::Top(TWnd* w) const {
  while (w && w->Parent) w = w->Parent;
  return w;
}

bool TWindowSystem::Visible(const TWnd* w) const {
  for (; w; w = w->Parent)
    if (!(w->Style & WS_VISIBLE)) return false;
  return true;
}

TPoint TWindowSystem::WindowOrigin(const TWnd* w) const {
  if (!w->Parent) return {w->Rect.Left, w->Rect.Top};
  TPoint p = ClientOrigin(w->Parent);
  return {p.X + w->Rect.Left, p.Y + w->Rect.Top};
}

TPoint TWindowSystem::ClientOrigin(const TWnd* w) const {
  TPoint p = WindowOrigin(w);
  return {p.X + w->Client.Left, p.Y + w->Client.Top};
}

TPoint TWindowSystem::OriginInTop(const TWnd* w) const {
  TPoint p{0, 0};
  for (; w->Parent; w = w->Parent) {
    p.X += w->Rect.Left + w->Parent->Client.Left;
    p.Y += w->Rect.Top + w->Parent->Client.Top;
  }
  return p;
}

// ---------------------------------------------------------------- messages

LRESULT TWindowSystem::Send(TWnd* w, UINT msg, WPARAM wp, LPARAM lp) {
  if (!w || w->Destroyed) return 0;
  // Keeps the record alive while its procedure runs, even if the procedure
  // destroys the window; the procedure is copied for the same reason.
  auto keep = Windows.at(Key(w->Handle));
  WNDPROC proc = w->Proc;
  if (!proc) return DefWindowProc(w->Handle, msg, wp, lp);
  return proc(w->Handle, msg, wp, lp);
}

LRESULT TWindowSystem::Send(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  return Send(Find(h), msg, wp, lp);
}

void TWindowSystem::Post(HWND h, UINT msg, WPARAM wp, LPARAM lp, std::uint32_t translateId) {
  MSG m;
  m.hwnd = h;
  m.message = msg;
  m.wParam = wp;
  m.lParam = lp;
  m.time = DWORD(Host ? Host->Now() : 0);
  m.pt = Input.CursorPos;
  m.translateId = translateId;
  Queue.Posted.push_back(m);
}

LRESULT TWindowSystem::CallHooks(int kind, int code, WPARAM wp, LPARAM lp) {
  for (const THookRecord& h : Queue.Hooks)
    if (h.Kind == kind) {
      HOOKPROC proc = h.Proc;  // the hook may unhook itself
      return proc(code, wp, lp);
    }
  return 0;
}

std::optional<std::uint64_t> TWindowSystem::NextTimerDue() const {
  std::optional<std::uint64_t> due;
  for (const TTimerRecord& t : Queue.Timers)
    if (!due || t.Due < *due) due = t.Due;
  // The caret's blink wakes the loop too.
  if (Paint.Caret.Hwnd && Paint.Caret.HideCount == 0 && (!due || Paint.Caret.NextToggle < *due))
    due = Paint.Caret.NextToggle;
  if (Input.HoverTrack.Hwnd && (!due || Input.HoverTrack.Deadline < *due))
    due = Input.HoverTrack.Deadline;
  return due;
}

namespace {

bool Matches(const MSG& m, HWND filter, UINT fmin, UINT fmax) {
  if (filter && m.hwnd != filter && !IsChild(filter, m.hwnd)) return false;
  if (fmin == 0 && fmax == 0) return true;
  return m.message >= fmin && m.message <= fmax;
}

}  // namespace

bool TWindowSystem::FindPaint(TWnd* w, HWND filter, MSG* msg) {
  if (!(w->Style & WS_VISIBLE)) return false;
  bool needs = !w->Update.IsEmpty() || w->NcUpdate || w->InternalPaint;
  if (needs && (!filter || w->Handle == filter || IsChild(filter, w->Handle))) {
    msg->hwnd = w->Handle;
    msg->message = WM_PAINT;
    return true;
  }
  for (TWnd* c : w->Children)
    if (FindPaint(c, filter, msg)) return true;
  return false;
}

bool TWindowSystem::NextMessage(MSG* msg, HWND filter, UINT fmin, UINT fmax, bool remove) {
  if (Host) {
    Host->PumpEvents();
    AfterPump();
  }
  for (;;) {
    for (auto it = Queue.Posted.begin(); it != Queue.Posted.end(); ++it) {
      if (!Matches(*it, filter, fmin, fmax)) continue;
      *msg = *it;
      if (remove) {
        Queue.Posted.erase(it);
        Queue.IdleNotified = false;
      }
      Queue.LastMessage = *msg;
      return true;
    }
    if (!ProcessRawInput()) break;
  }
  if (Queue.QuitPosted && !filter) {
    *msg = MSG{};
    msg->message = WM_QUIT;
    msg->wParam = WPARAM(Queue.QuitCode);
    if (remove) Queue.QuitPosted = false;
    return true;
  }
  auto inRange = [&](UINT m) { return (fmin == 0 && fmax == 0) || (m >= fmin && m <= fmax); };
  if (inRange(WM_PAINT)) {
    MSG m;
    // FindPaint only looks, so the list cannot change under it.
    for (TWnd* t : TopLevels)
      if (FindPaint(t, filter, &m)) {
        m.time = DWORD(Host ? Host->Now() : 0);
        m.pt = Input.CursorPos;
        *msg = m;
        Queue.LastMessage = m;
        if (remove) Queue.IdleNotified = false;
        return true;
      }
  }
  CaretTick();
  HoverTick();
  for (auto it = Queue.Posted.begin(); it != Queue.Posted.end(); ++it)
    if (Matches(*it, filter, fmin, fmax)) {  // a hover message posted just now
      *msg = *it;
      if (remove) {
        Queue.Posted.erase(it);
        Queue.IdleNotified = false;
      }
      Queue.LastMessage = *msg;
      return true;
    }
  if (inRange(WM_TIMER) && Host) {
    std::uint64_t now = Host->Now();
    for (TTimerRecord& t : Queue.Timers) {
      if (t.Due > now) continue;
      if (filter && t.Hwnd != filter && !IsChild(filter, t.Hwnd)) continue;
      MSG m;
      m.hwnd = t.Hwnd;
      m.message = WM_TIMER;
      m.wParam = t.Id;
      m.time = DWORD(now);
      m.pt = Input.CursorPos;
      // A timer that comes due several times before it is served fires once,
      // then counts its interval from now, as the platform's timers do.
      if (remove) {
        t.Due = now + t.Interval;
        Queue.IdleNotified = false;
      }
      if (t.Proc) m.lParam = LPARAM(1);  // marks a callback timer for DispatchMessage
      *msg = m;
      Queue.LastMessage = m;
      return true;
    }
  }
  return false;
}

// ---------------------------------------------------------------- destruction

void TWindowSystem::Unlink(TWnd* w) {
  TreeChanged();
  if (w->Parent)
    Erase(w->Parent->Children, w);
  else
    Erase(TopLevels, w);
}

void TWindowSystem::DestroyRecursive(TWnd* w) {
  // WM_DESTROY goes to the parent first, then to its children.
  // Handles, not pointers: a WM_DESTROY handler may destroy a sibling first.
  w->Destroying = true;
  HWND h = w->Handle;
  std::vector<HWND> kids;
  for (TWnd* c : w->Children) kids.push_back(c->Handle);
  Send(w, WM_DESTROY, 0, 0);
  if (!Find(h)) return;
  for (HWND k : kids)
    if (TWnd* c = Find(k)) DestroyRecursive(c);
}

void TWindowSystem::Destroy(TWnd* w) {
  HWND h = w->Handle;
  // Owned top-level windows go first.
  if (!w->Parent) {
    std::vector<HWND> owned;
    for (TWnd* t : TopLevels)
      if (t->Owner == h) owned.push_back(t->Handle);
    for (HWND o : owned)
      if (TWnd* ow = Find(o)) Destroy(ow);
    if (!Find(h)) return;
  }
  if (CallHooks(WH_CBT, HCBT_DESTROYWND, WPARAM(Key(h)), 0) != 0) return;

  // Hidden first, so the parent repaints what the window covered and
  // activation moves on while the window still answers messages.
  if (w->Style & WS_VISIBLE)
    SetPos(w, nullptr, 0, 0, 0, 0,
           SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (!Find(h)) return;

  if (w->Parent && !(w->ExStyle & WS_EX_NOPARENTNOTIFY))
    Send(w->Parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, int(w->Id)), LPARAM(Key(h)));
  if (!Find(h)) return;

  DestroyRecursive(w);

  // Everything below the window, children last-to-first, then the window itself.
  std::vector<TWnd*> order;
  std::function<void(TWnd*)> collect = [&](TWnd* x) {
    for (TWnd* c : x->Children) collect(c);
    order.push_back(x);
  };
  collect(w);
  for (TWnd* x : order) {
    if (x->Destroyed) continue;
    HWND xh = x->Handle;
    ScrollBars.Forget(xh);
    ForgetInput(x);
    if (!Find(xh)) continue;
    Send(x, WM_NCDESTROY, 0, 0);
    ForgetFeatures(x);
    ForgetQueue(xh);
    ForgetPaint(xh);
    x->Destroyed = true;
    if (x->Native && Host) Host->DestroyNativeWindow(x->Native);
    x->Native = 0;
  }
  for (TWnd* x : order) {
    Unlink(x);
    x->Children.clear();
    TreeChanged();
  }
  for (TWnd* x : order) Windows.erase(Key(x->Handle));
}

void TWindowSystem::DestroyAll() {
  while (!TopLevels.empty()) {
    TWnd* w = TopLevels.front();
    // A window whose hook refuses destruction is torn down regardless.
    std::vector<THookRecord> hooks;
    hooks.swap(Queue.Hooks);
    Destroy(w);
    Queue.Hooks.swap(hooks);
    if (!TopLevels.empty() && TopLevels.front() == w) Erase(TopLevels, w);
  }
  Windows.clear();
  // Every part starts afresh; counters of handed-out ids go on, so that an
  // id from before can never name something new.
  TQueuePart queue;
  queue.NextTranslateId = Queue.NextTranslateId;
  queue.NextTimerId = Queue.NextTimerId;
  queue.NextHook = Queue.NextHook;
  Queue = std::move(queue);
  Input = TInputPart{};
  Paint.LiveDCs.clear();
  Paint.Caret = TPaintPart::TCaret{};
  ScrollBars.Clear();
  for (const TFeatureRec& f : std::vector<TFeatureRec>(Features))
    if (f.Hooks.OnReset) f.Hooks.OnReset();
}

void TWindowSystem::ForgetQueue(HWND h) {
  std::erase_if(Queue.Timers, [&](const TTimerRecord& t) { return t.Hwnd == h; });
}

void TWindowSystem::ForgetFeatures(TWnd* w) {
  HWND h = w->Handle;
  for (std::size_t id = 0; id < w->Features.size() && id < Features.size(); ++id) {
    TWnd* x = Find(h);
    if (!x) return;
    if (id >= x->Features.size() || !x->Features[id]) continue;
    // Held while the clean-up runs, even if it drops the state itself.
    std::shared_ptr<void> keep = x->Features[id];
    if (auto clean = Features[id].Hooks.OnDestroy) clean(h);
  }
  if (TWnd* x = Find(h)) x->Features.clear();
}

TWindowFeatureId RegisterWindowFeature(std::string_view name, TWindowFeatureHooks hooks) {
  TWindowSystem& ws = WS();
  ws.Features.push_back({std::string(name), std::move(hooks)});
  return TWindowFeatureId(ws.Features.size() - 1);
}

std::shared_ptr<void>* WindowFeatureSlot(HWND hwnd, TWindowFeatureId id) {
  TWindowSystem& ws = WS();
  TWnd* w = ws.Find(hwnd);
  if (!w || id < 0 || std::size_t(id) >= ws.Features.size()) return nullptr;
  if (w->Features.size() <= std::size_t(id)) w->Features.resize(ws.Features.size());
  return &w->Features[std::size_t(id)];
}

// ---------------------------------------------------------------- public API: host, classes

void SetHost(THost* host) {
  TWindowSystem& ws = WS();
  ws.DestroyAll();
  if (ws.Host) ws.Host->SetSink(nullptr);
  ws.Host = host;
  if (host) host->SetSink(&ws);
}

THost* GetHost() {
  return WS().Host;
}

ATOM RegisterClass(const WNDCLASS& wc) {
  TWindowSystem& ws = WS();
  if (wc.lpszClassName.empty() || ws.Classes.count(wc.lpszClassName)) return 0;
  if (wc.cbWndExtra < 0 || wc.cbWndExtra > 40 * 1024) return 0;
  auto rec = std::make_shared<TWndClassRec>();
  rec->Info = wc;
  rec->Atom = ws.NextAtom++;
  ws.Classes.emplace(wc.lpszClassName, rec);
  return rec->Atom;
}

bool UnregisterClass(std::string_view name) {
  TWindowSystem& ws = WS();
  auto it = ws.Classes.find(name);
  if (it == ws.Classes.end()) return false;
  for (auto& [k, w] : ws.Windows)
    if (!w->Destroyed && w->Class == it->second) return false;  // still in use
  ws.Classes.erase(it);
  return true;
}

bool GetClassInfo(std::string_view name, WNDCLASS* wc) {
  auto it = WS().Classes.find(name);
  if (it == WS().Classes.end()) return false;
  if (wc) *wc = it->second->Info;
  return true;
}

std::string GetClassName(HWND hwnd) {
  TWnd* w = WS().Find(hwnd);
  return w ? w->Class->Info.lpszClassName : std::string();
}

// ---------------------------------------------------------------- public API: creation

HWND CreateWindowEx(DWORD exStyle, std::string_view className, std::string_view windowName,
                    DWORD style, int x, int y, int width, int height, HWND parent,
                    LONG_PTR menuOrId, void* param) {
  TWindowSystem& ws = WS();
  if (!ws.Host) throw std::logic_error("CreateWindowEx: no host attached (call SetHost first)");
  auto cls = ws.Classes.find(className);
  if (cls == ws.Classes.end()) return nullptr;
  TWnd* parentWnd = nullptr;
  HWND owner = nullptr;
  if (style & WS_CHILD) {
    parentWnd = ws.Find(parent);
    if (!parentWnd) return nullptr;  // a child needs a living parent
  } else if (parent) {
    TWnd* o = ws.Find(parent);
    if (!o) return nullptr;
    owner = ws.Top(o)->Handle;  // a top-level window is owned by a top-level window
  }

  // Default positions and sizes for overlapped windows, cascading a little.
  if (!(style & WS_CHILD)) {
    TSize screen = ws.Host->ScreenSize();
    if (x == CW_USEDEFAULT) x = 26, y = 26;
    if (width == CW_USEDEFAULT) width = screen.cx * 3 / 4, height = screen.cy * 3 / 4;
  } else {
    if (x == CW_USEDEFAULT) x = 0, y = 0;
    if (width == CW_USEDEFAULT) width = 0, height = 0;
  }
  // A top-level window owns a backing store of its size, so it never grows
  // beyond the largest size the platform lets a window track to (a little
  // more than the screen); children own no pixels.
  int maxW = (style & WS_CHILD) ? MaxBitmapSide : GetSystemMetrics(SM_CXMAXTRACK);
  int maxH = (style & WS_CHILD) ? MaxBitmapSide : GetSystemMetrics(SM_CYMAXTRACK);
  width = std::clamp(width, 0, maxW);
  height = std::clamp(height, 0, maxH);

  auto rec = std::make_shared<TWnd>();
  TWnd* w = rec.get();
  w->Handle = reinterpret_cast<HWND>(ws.NextHandle);
  ws.NextHandle += 4;  // never reused within a run
  w->Class = cls->second;
  w->Style = style & ~WS_VISIBLE;
  w->ExStyle = exStyle;
  w->Parent = parentWnd;
  w->Owner = owner;
  w->Rect = Bounds(x, y, width, height);
  w->Text = std::string(windowName);
  w->Proc = cls->second->Info.lpfnWndProc;
  w->Id = (style & WS_CHILD) ? menuOrId : 0;
  w->Extra.assign(std::size_t(cls->second->Info.cbWndExtra), 0);
  w->Client = ClientFromWindow(w->Style, exStyle, Bounds(0, 0, width, height));
  ws.Windows.emplace(Key(w->Handle), rec);
  ws.TreeChanged();
  // A new child goes to the bottom of its siblings, as on the platform, so
  // creation order, z-order (GW_CHILD, GW_HWNDNEXT) and dialog tab order are
  // one order. A new top-level window starts on top.
  if (parentWnd)
    parentWnd->Children.push_back(w);
  else
    ws.TopLevels.insert(ws.TopLevels.begin(), w);
  HWND h = w->Handle;

  std::string nameCopy(windowName), classCopy(className);
  CREATESTRUCT cs;
  cs.lpCreateParams = param;
  cs.hwndParent = parent;
  cs.hMenu = menuOrId;
  cs.x = x;
  cs.y = y;
  cs.cx = width;
  cs.cy = height;
  cs.style = style;
  cs.lpszName = nameCopy.c_str();
  cs.lpszClass = classCopy.c_str();
  cs.dwExStyle = exStyle;

  auto fail = [&]() -> HWND {
    if (TWnd* f = ws.Find(h)) ws.Destroy(f);
    return nullptr;
  };

  // A procedure that throws while the window is being built leaves no
  // half-made window behind.
  try {
    // A top-level window's menu is its menu bar from the start, so that the
    // first WM_NCCALCSIZE already makes room for it. A number that names no
    // menu (a drop-down list keeps its control identifier there) is no bar.
    if (!(style & WS_CHILD) && menuOrId) AttachMenuBar(h, reinterpret_cast<HMENU>(menuOrId));
    CBT_CREATEWND cbt{&cs, nullptr};
    if (ws.CallHooks(WH_CBT, HCBT_CREATEWND, WPARAM(Key(h)), LPARAM(&cbt)) != 0) return fail();
    if (!ws.Find(h)) return nullptr;

    // Sizeable and overlapped windows are asked for their limits, and start within them.
    if ((style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD))) {
      MINMAXINFO mmi = ws.MinMaxInfo(w);
      if (!(w = ws.Find(h))) return nullptr;
      if (!(style & WS_CHILD)) {
        int cx = std::clamp(w->Width(), std::min(mmi.ptMinTrackSize.X, mmi.ptMaxTrackSize.X),
                            std::max(mmi.ptMaxTrackSize.X, 0));
        int cy = std::clamp(w->Height(), std::min(mmi.ptMinTrackSize.Y, mmi.ptMaxTrackSize.Y),
                            std::max(mmi.ptMaxTrackSize.Y, 0));
        cx = std::min(cx, GetSystemMetrics(SM_CXMAXTRACK));
        cy = std::min(cy, GetSystemMetrics(SM_CYMAXTRACK));
        w->Rect = Bounds(w->Rect.Left, w->Rect.Top, std::max(cx, 0), std::max(cy, 0));
        w->Client = ClientFromWindow(w->Style, w->ExStyle, Bounds(0, 0, w->Width(), w->Height()));
        cs.cx = w->Width();
        cs.cy = w->Height();
        ws.TreeChanged();
      }
    }
    if (!ws.Send(w, WM_NCCREATE, 0, LPARAM(&cs))) return fail();
    if (!(w = ws.Find(h))) return nullptr;
    ws.CalcClient(w);

    // The native window and the backing store of a top-level window.
    if (!w->Parent) {
      THostWindowParams params;
      params.Bounds = w->Rect;
      params.Title = w->Text;
      params.Kind = HostKindOf(w);
      if (TWnd* o = ws.Find(owner)) params.TransientFor = o->Native;
      w->Native = ws.Host->CreateNativeWindow(params);
      w->Store.Reset(std::max(w->Width(), 0), std::max(w->Height(), 0), TPixelFormat::pf24bit);
      HICON icon = cls->second->Info.hIconSm ? cls->second->Info.hIconSm : cls->second->Info.hIcon;
      if (const TBitmap* ib = GetIconBitmap(icon)) ws.Host->SetNativeIcon(w->Native, *ib);
    }

    if (ws.Send(w, WM_CREATE, 0, LPARAM(&cs)) == -1) return fail();
    if (!(w = ws.Find(h))) return nullptr;
    TRect r = w->Rect;
    ws.Send(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->Client.Width(), w->Client.Height()));
    if (!(w = ws.Find(h))) return nullptr;
    ws.Send(w, WM_MOVE, 0, MAKELPARAM(r.Left + w->Client.Left, r.Top + w->Client.Top));
    if (!(w = ws.Find(h))) return nullptr;

    if (w->Parent && !(exStyle & WS_EX_NOPARENTNOTIFY)) {
      for (TWnd* p = w->Parent; p; p = p->Parent) {
        ws.Send(p, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, int(w->Id)), LPARAM(Key(h)));
        if (p->ExStyle & WS_EX_NOPARENTNOTIFY) break;
      }
      if (!(w = ws.Find(h))) return nullptr;
    }
    if (style & WS_VISIBLE) {
      if (style & WS_MAXIMIZE)
        ShowWindow(h, SW_SHOWMAXIMIZED);
      else if (style & WS_MINIMIZE)
        ShowWindow(h, SW_SHOWMINIMIZED);
      else
        ShowWindow(h, SW_SHOW);
    }
    return ws.Find(h) ? h : nullptr;
  } catch (...) {
    if (TWnd* f = ws.Find(h)) ws.Destroy(f);
    throw;
  }
}

bool DestroyWindow(HWND hwnd) {
  TWnd* w = WS().Find(hwnd);
  if (!w || w->Destroying) return false;
  WS().Destroy(w);
  return true;
}

bool IsWindow(HWND hwnd) {
  return WS().Find(hwnd) != nullptr;
}

// ---------------------------------------------------------------- public API: messages

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  return WS().Send(hwnd, msg, w, l);
}

bool PostMessage(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (hwnd && !IsWindow(hwnd)) return false;
  WS().Post(hwnd, msg, w, l);
  return true;
}

bool PostThreadMessage(UINT msg, WPARAM w, LPARAM l) {
  WS().Post(nullptr, msg, w, l);
  return true;
}

void PostQuitMessage(int exitCode) {
  WS().Queue.QuitPosted = true;
  WS().Queue.QuitCode = exitCode;
  if (WS().Host) WS().Host->Wake();
}

bool GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  TWindowSystem& ws = WS();
  if (!msg) return false;
  if (hwnd && !IsWindow(hwnd)) return false;
  for (;;) {
    if (ws.NextMessage(msg, hwnd, filterMin, filterMax, true)) return msg->message != WM_QUIT;
    ws.Present();
    if (!ws.Host) throw std::logic_error("GetMessage: no host attached");
    int timeout = -1;
    if (auto due = ws.NextTimerDue()) {
      std::uint64_t now = ws.Host->Now();
      timeout = *due <= now ? 0 : int(std::min<std::uint64_t>(*due - now, 0x7FFFFFFF));
    }
    ws.Host->WaitEvents(timeout);
  }
}

bool PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (!msg) return false;
  if (hwnd && !IsWindow(hwnd)) return false;
  bool got = WS().NextMessage(msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0);
  if (!got) WS().Present();
  return got;
}

bool TranslateMessage(const MSG* msg) {
  if (!msg) return false;
  if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return false;
  TWindowSystem& ws = WS();
  auto it = ws.Queue.PendingText.find(msg->translateId);
  if (msg->translateId == 0 || it == ws.Queue.PendingText.end()) return false;
  std::vector<std::uint32_t> text = std::move(it->second);
  ws.Queue.PendingText.erase(it);
  UINT charMsg = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  // The characters go in front of anything queued after the key, as the
  // platform delivers them right after the key-down.
  auto pos = ws.Queue.Posted.begin();
  for (std::uint32_t cp : text) {
    MSG m = *msg;
    m.message = charMsg;
    m.wParam = cp;
    m.translateId = 0;
    pos = ws.Queue.Posted.insert(pos, m) + 1;
  }
  return !text.empty();
}

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg) return 0;
  TWindowSystem& ws = WS();
  // The dispatch boundary: nothing a procedure throws goes further than here.
  std::uint64_t dcMark = ws.Paint.NextDCSerial;
  HWND h = msg->hwnd;
  try {
    if (msg->message == WM_TIMER) {
      for (const TTimerRecord& t : ws.Queue.Timers)
        if (t.Hwnd == msg->hwnd && t.Id == msg->wParam && t.Proc) {
          TIMERPROC proc = t.Proc;
          proc(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
          return 0;
        }
    }
    TWnd* w = ws.Find(msg->hwnd);
    if (!w) return 0;
    LRESULT r = ws.Send(w, msg->message, msg->wParam, msg->lParam);
    if (msg->message == WM_PAINT) {
      // A window procedure that ignores WM_PAINT must not be asked again forever.
      if (TWnd* still = ws.Find(h)) {
        if (still->NcUpdate) ws.NcPaint(still);
        still->Update.Clear();
        still->UpdateErase = false;
        still->InternalPaint = false;
      }
    }
    return r;
  } catch (...) {
    ws.ReleaseDCsFrom(dcMark);
    if (msg->message == WM_PAINT)
      if (TWnd* still = ws.Find(h)) {
        // A failing WM_PAINT is not asked again in a loop either.
        still->Update.Clear();
        still->UpdateErase = false;
        still->InternalPaint = false;
      }
    ws.ReportException(std::current_exception());
    return 0;
  }
}

bool ModalWaitMessage(HWND owner, WPARAM reason, HWND source) {
  TWindowSystem& ws = WS();
  if (!ws.Host) return false;
  MSG m;
  if (ws.NextMessage(&m, nullptr, 0, 0, false)) return true;
  // Once per idle spell the owner hears of it, and the loop gets to check
  // its own condition again before anything waits (the owner may have ended
  // the dialog or menu right there).
  if (!ws.Queue.IdleNotified) {
    ws.Queue.IdleNotified = true;
    if (TWnd* o = ws.Find(owner)) {
      try {
        ws.Send(o, WM_ENTERIDLE, reason, LPARAM(reinterpret_cast<std::uintptr_t>(source)));
      } catch (...) {
        ws.ReportException(std::current_exception());
      }
      return true;
    }
  }
  return WaitMessage();
}

bool WaitMessage() {
  TWindowSystem& ws = WS();
  if (!ws.Host) return false;
  MSG m;
  if (ws.NextMessage(&m, nullptr, 0, 0, false)) return true;
  ws.Present();
  int timeout = -1;
  if (auto due = ws.NextTimerDue()) {
    std::uint64_t now = ws.Host->Now();
    timeout = *due <= now ? 0 : int(std::min<std::uint64_t>(*due - now, 0x7FFFFFFF));
  }
  return ws.Host->WaitEvents(timeout);
}

DWORD GetMessageTime() {
  return WS().Queue.LastMessage.time;
}
TPoint GetMessagePos() {
  return WS().Queue.LastMessage.pt;
}

void ProcessPendingMessages() {
  MSG m;
  // A bound on the rounds keeps a window that re-posts forever from hanging a test.
  for (int round = 0; round < 100000 && PeekMessage(&m, nullptr, 0, 0, PM_REMOVE); ++round) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(int(m.wParam));  // leave it for the real loop
      break;
    }
    HWND top = GetAncestor(m.hwnd, GA_ROOT);
    // Dialogs, and windows whose controls are navigated like a dialog's.
    bool dialog = top && ((GetWindowLongPtr(top, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) ||
                          GetClassName(top) == "#32770");
    if (dialog && IsDialogMessage(top, &m)) continue;
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  WS().Present();
}

// ---------------------------------------------------------------- timers

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
  TWindowSystem& ws = WS();
  if (!ws.Host) return 0;
  if (hwnd && !IsWindow(hwnd)) return 0;
  // The platform raises intervals below 10 ms to 10 ms.
  elapseMs = std::max<UINT>(elapseMs, 10);
  if (!hwnd) {
    // Thread timers get fresh ids unless an existing one is replaced.
    bool exists = false;
    for (const TTimerRecord& t : ws.Queue.Timers) exists |= (t.Hwnd == nullptr && t.Id == id);
    if (!exists) id = ws.Queue.NextTimerId++;
  }
  std::uint64_t due = ws.Host->Now() + elapseMs;
  for (TTimerRecord& t : ws.Queue.Timers)
    if (t.Hwnd == hwnd && t.Id == id) {
      t.Interval = elapseMs;
      t.Due = due;
      t.Proc = std::move(proc);
      return hwnd ? (id ? id : 1) : id;
    }
  ws.Queue.Timers.push_back({hwnd, id, elapseMs, due, std::move(proc)});
  return hwnd ? (id ? id : 1) : id;
}

bool KillTimer(HWND hwnd, UINT_PTR id) {
  auto& timers = WS().Queue.Timers;
  auto it = std::find_if(timers.begin(), timers.end(),
                         [&](const TTimerRecord& t) { return t.Hwnd == hwnd && t.Id == id; });
  if (it == timers.end()) return false;
  timers.erase(it);
  // A WM_TIMER already generated but not yet dispatched is dropped with it.
  auto& q = WS().Queue.Posted;
  q.erase(std::remove_if(q.begin(), q.end(),
                         [&](const MSG& m) {
                           return m.message == WM_TIMER && m.hwnd == hwnd && m.wParam == id;
                         }),
          q.end());
  return true;
}

DWORD GetTickCount() {
  return WS().Host ? DWORD(WS().Host->Now()) : 0;
}

void Sleep(DWORD ms) {
  if (THost* host = WS().Host) host->Sleep(ms);
}

// ---------------------------------------------------------------- hooks

HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc) {
  if (idHook != WH_CBT || !proc) return nullptr;
  TWindowSystem& ws = WS();
  HHOOK h = reinterpret_cast<HHOOK>(ws.Queue.NextHook++);
  ws.Queue.Hooks.insert(ws.Queue.Hooks.begin(), THookRecord{h, idHook, std::move(proc)});
  return h;
}

bool UnhookWindowsHookEx(HHOOK hook) {
  auto& hooks = WS().Queue.Hooks;
  auto it = std::find_if(hooks.begin(), hooks.end(),
                         [&](const THookRecord& h) { return h.Handle == hook; });
  if (it == hooks.end()) return false;
  hooks.erase(it);
  return true;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM w, LPARAM l) {
  auto& hooks = WS().Queue.Hooks;
  auto it = std::find_if(hooks.begin(), hooks.end(),
                         [&](const THookRecord& h) { return h.Handle == hook; });
  if (it == hooks.end()) return 0;
  int kind = it->Kind;
  for (++it; it != hooks.end(); ++it)
    if (it->Kind == kind) {
      HOOKPROC proc = it->Proc;
      return proc(code, w, l);
    }
  return 0;
}

}  // namespace vm
