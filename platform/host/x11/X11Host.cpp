#include "platform/host/x11/X11Host.h"

#include <chrono>
#include <thread>

namespace vm {
namespace {
// Xlib defines FocusIn, FocusOut and Expose as macros: name these event kinds before
// its headers come in.
constexpr THostEvent::TKind KindFocusIn = THostEvent::TKind::FocusIn;
constexpr THostEvent::TKind KindFocusOut = THostEvent::TKind::FocusOut;
constexpr THostEvent::TKind KindExpose = THostEvent::TKind::Expose;
}  // namespace
}  // namespace vm

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>
#include <map>
#include <set>
#include <stdexcept>
#include <unordered_map>

#include "platform/host/x11/X11Clipboard.h"
#include "platform/host/x11/X11Display.h"
#include "platform/host/x11/X11Keyboard.h"
#include "platform/host/x11/X11Surface.h"

namespace vm {

namespace {

// Coordinates and sizes travel as 16 bits on the wire.
int ClampCoord(int v) {
  return std::clamp(v, -32768, 32767);
}
unsigned ClampSide(int v) {
  return unsigned(std::clamp(v, 1, 32767));
}

constexpr long MoveResizeMove = 8;  // _NET_WM_MOVERESIZE_MOVE
constexpr long NetWmStateRemove = 0;
constexpr long NetWmStateAdd = 1;
constexpr int MaxIconSide = 512;

struct TNative {
  THostWindow Id = 0;
  ::Window XWin = 0;
  XIC Ic = nullptr;
  GC Gc = nullptr;
  std::unique_ptr<TX11Surface> Surface;
  THostWindowKind Kind = THostWindowKind::Normal;
  THostWindow Owner = 0;
  TRect Bounds;
  bool Visible = false;   // mapped by us
  bool Viewable = false;  // the server reported it mapped
  bool FocusPending = false;
  bool IcFocused = false;
  bool Shaped = false;
  bool Iconic = false;  // minimised, by us or by the desktop
  int OwnUnmaps = 0;    // unmaps we made that are no minimise
  int Cursor = -1;
  unsigned long MoveSerial = 0;  // requests before this one are stale for ConfigureNotify
  long EventMask = 0;            // the events selected, before the input method's own
  bool HasFocus = false;         // between the desktop's FocusIn and FocusOut
  // The window manager's frames around the window (its ancestors below the
  // root), watched for moves: moving a frame moves the window without a
  // ConfigureNotify of its own.
  std::vector<::Window> Frames;
};

bool IsOverride(THostWindowKind kind) {
  return kind == THostWindowKind::PopupMenu || kind == THostWindowKind::Tooltip;
}

std::uint32_t StateBits(unsigned xstate) {
  std::uint32_t s = 0;
  if (xstate & ShiftMask) s |= HostShift;
  if (xstate & ControlMask) s |= HostControl;
  if (xstate & Mod1Mask) s |= HostAlt;
  if (xstate & Button1Mask) s |= HostButtonLeft;
  if (xstate & Button2Mask) s |= HostButtonMiddle;
  if (xstate & Button3Mask) s |= HostButtonRight;
  return s;
}

unsigned FontCursorOf(THostCursor c) {
  switch (c) {
    case THostCursor::Arrow:
      return XC_left_ptr;
    case THostCursor::IBeam:
      return XC_xterm;
    case THostCursor::Wait:
      return XC_watch;
    case THostCursor::Cross:
      return XC_crosshair;
    case THostCursor::SizeNWSE:
      return XC_bottom_right_corner;
    case THostCursor::SizeNESW:
      return XC_bottom_left_corner;
    case THostCursor::SizeWE:
      return XC_sb_h_double_arrow;
    case THostCursor::SizeNS:
      return XC_sb_v_double_arrow;
    case THostCursor::SizeAll:
      return XC_fleur;
    case THostCursor::No:
      return XC_X_cursor;
    case THostCursor::Hand:
      return XC_hand2;
    case THostCursor::AppStarting:
      return XC_watch;
    case THostCursor::Help:
      return XC_question_arrow;
  }
  return XC_left_ptr;
}
constexpr int CursorCount = int(THostCursor::Help) + 1;

}  // namespace

struct TX11Host::TImpl {
  TImpl(const char* name, bool allowShm) : Display(name, allowShm) {}

  TX11Display Display;
  THostSink* Sink = nullptr;
  std::map<THostWindow, std::unique_ptr<TNative>> Windows;
  std::unordered_map<::Window, THostWindow> ByXWin;
  std::unordered_map<::Window, THostWindow> ByFrame;
  THostWindow NextId = 1;
  int WakeRead = -1;
  int WakeWrite = -1;
  bool HasShape = false;
  ::Cursor Cursors[CursorCount] = {};
  std::set<unsigned> PressedKeys;  // keycodes down, to mark auto-repeat
  std::uint32_t ExtraButtons = 0;  // X1/X2: the core protocol has no state bits for them
  THostWindow Grabbed = 0;
  THostWindow NativeMove = 0;  // a desktop move is running; its button-up never reaches us
  int XkbEventBase = -1;       // first event code of the keyboard extension, -1 without it
  std::unique_ptr<TX11Clipboard> Clipboard;

  ::Display* Dpy() const { return Display.Handle(); }

  TNative* Find(THostWindow id) {
    auto it = Windows.find(id);
    return it == Windows.end() ? nullptr : it->second.get();
  }
  TNative* FindX(::Window w) {
    auto it = ByXWin.find(w);
    return it == ByXWin.end() ? nullptr : Find(it->second);
  }

  std::uint64_t Now() const {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::uint64_t(ts.tv_sec) * 1000u + std::uint64_t(ts.tv_nsec) / 1000000u;
  }

  void Deliver(THostEvent& e) {
    e.Time = Now();
    if (Sink) Sink->HostEvent(e);
  }

  void SetAtomProperty(::Window w, Atom property, const std::vector<Atom>& values) {
    if (values.empty()) {
      XDeleteProperty(Dpy(), w, property);
      return;
    }
    std::vector<long> data(values.begin(), values.end());
    XChangeProperty(Dpy(), w, property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data.data()), int(data.size()));
  }

  // Window type, taskbar state, owner and override-redirect for the kind.
  void ApplyKind(TNative& n) {
    const TX11Atoms& a = Display.Atoms();
    Atom type = a.NET_WM_WINDOW_TYPE_NORMAL;
    switch (n.Kind) {
      case THostWindowKind::Normal:
        type = a.NET_WM_WINDOW_TYPE_NORMAL;
        break;
      case THostWindowKind::Dialog:
        type = a.NET_WM_WINDOW_TYPE_DIALOG;
        break;
      case THostWindowKind::PopupMenu:
        type = a.NET_WM_WINDOW_TYPE_POPUP_MENU;
        break;
      case THostWindowKind::Tooltip:
        type = a.NET_WM_WINDOW_TYPE_TOOLTIP;
        break;
    }
    SetAtomProperty(n.XWin, a.NET_WM_WINDOW_TYPE, {type});

    const bool skip = n.Kind != THostWindowKind::Normal;
    if (n.Viewable && !IsOverride(n.Kind)) {
      // A managed, mapped window changes state through the window manager.
      XEvent ev{};
      ev.xclient.type = ClientMessage;
      ev.xclient.window = n.XWin;
      ev.xclient.message_type = a.NET_WM_STATE;
      ev.xclient.format = 32;
      ev.xclient.data.l[0] = skip ? NetWmStateAdd : NetWmStateRemove;
      ev.xclient.data.l[1] = long(a.NET_WM_STATE_SKIP_TASKBAR);
      ev.xclient.data.l[3] = 1;
      XSendEvent(Dpy(), Display.Root(), False, SubstructureRedirectMask | SubstructureNotifyMask,
                 &ev);
    } else {
      SetAtomProperty(n.XWin, a.NET_WM_STATE,
                      skip ? std::vector<Atom>{a.NET_WM_STATE_SKIP_TASKBAR} : std::vector<Atom>{});
    }

    TNative* owner = n.Owner ? Find(n.Owner) : nullptr;
    if (owner && n.Kind != THostWindowKind::Normal)
      XSetTransientForHint(Dpy(), n.XWin, owner->XWin);
    else
      XDeleteProperty(Dpy(), n.XWin, XA_WM_TRANSIENT_FOR);

    XSetWindowAttributes attrs{};
    attrs.override_redirect = IsOverride(n.Kind) ? True : False;
    attrs.save_under = attrs.override_redirect;
    XChangeWindowAttributes(Dpy(), n.XWin, CWOverrideRedirect | CWSaveUnder, &attrs);
  }

  void SetSizeHints(TNative& n) {
    XSizeHints* hints = XAllocSizeHints();
    if (!hints) return;
    // The program places its windows itself; USPosition keeps the window
    // manager from choosing another place.
    hints->flags = USPosition | USSize | PPosition | PSize | PWinGravity;
    hints->x = n.Bounds.Left;
    hints->y = n.Bounds.Top;
    hints->width = int(ClampSide(n.Bounds.Width()));
    hints->height = int(ClampSide(n.Bounds.Height()));
    hints->win_gravity = StaticGravity;
    XSetWMNormalHints(Dpy(), n.XWin, hints);
    XFree(hints);
  }

  void SetTitle(TNative& n, const std::string& utf8) {
    const TX11Atoms& a = Display.Atoms();
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    XChangeProperty(Dpy(), n.XWin, a.NET_WM_NAME, a.UTF8_STRING, 8, PropModeReplace, bytes,
                    int(utf8.size()));
    XChangeProperty(Dpy(), n.XWin, a.NET_WM_ICON_NAME, a.UTF8_STRING, 8, PropModeReplace, bytes,
                    int(utf8.size()));
    // WM_NAME for older tools, in the locale's encoding as the convention asks.
    char* list[1] = {const_cast<char*>(utf8.c_str())};
    XTextProperty prop{};
    if (Xutf8TextListToTextProperty(Dpy(), list, 1, XStdICCTextStyle, &prop) >= Success) {
      XSetWMName(Dpy(), n.XWin, &prop);
      XSetWMIconName(Dpy(), n.XWin, &prop);
      XFree(prop.value);
    }
  }

  void CreateIc(TNative& n, long& eventMask) {
    XIM im = Display.InputMethod();
    if (!im) return;
    // No pre-edit or status areas of our own: the input method shows them
    // itself (root style) or composes invisibly.
    XIMStyle wanted = 0;
    XIMStyles* styles = nullptr;
    if (!XGetIMValues(im, XNQueryInputStyle, &styles, nullptr) && styles) {
      for (unsigned i = 0; i < styles->count_styles; ++i) {
        XIMStyle s = styles->supported_styles[i];
        if (s == (XIMPreeditNothing | XIMStatusNothing)) wanted = s;
        if (!wanted && s == (XIMPreeditNone | XIMStatusNone)) wanted = s;
      }
      XFree(styles);
    }
    if (!wanted) wanted = XIMPreeditNothing | XIMStatusNothing;
    n.Ic =
        XCreateIC(im, XNInputStyle, wanted, XNClientWindow, n.XWin, XNFocusWindow, n.XWin, nullptr);
    if (!n.Ic) return;
    unsigned long filter = 0;
    if (!XGetICValues(n.Ic, XNFilterEvents, &filter, nullptr)) eventMask |= long(filter);
  }

  void Destroy(TNative& n) {
    ForgetFrames(n);
    if (Grabbed == n.Id) {
      XUngrabPointer(Dpy(), CurrentTime);
      Grabbed = 0;
    }
    if (NativeMove == n.Id) NativeMove = 0;
    if (n.Ic) XDestroyIC(n.Ic);
    n.Surface.reset();
    if (n.Gc) XFreeGC(Dpy(), n.Gc);
    XDestroyWindow(Dpy(), n.XWin);
    ByXWin.erase(n.XWin);
  }

  // ---- events ----

  void Pump() {
    ::Display* dpy = Dpy();
    // Only what is pending now: a flood of input must not keep the loop
    // from its timers and painting.
    for (int budget = XPending(dpy); budget > 0 && XEventsQueued(dpy, QueuedAlready) > 0;
         --budget) {
      XEvent ev;
      XNextEvent(dpy, &ev);
      if (ev.type == KeyPress || ev.type == KeyRelease) OpenInputMethod();
      // The input method sees every event first; what it consumes (a key
      // that starts a composition, its own protocol) is not ours.
      if (XFilterEvent(&ev, 0)) continue;
      Handle(ev);
    }
  }

  // Opens the input method and gives every window its input context, at the
  // first key: a starting program does not spend the time before its first
  // window is up. The window that has the focus gets it in its context too.
  void OpenInputMethod() {
    if (Display.InputMethodOpened()) return;
    if (!Display.InputMethod()) return;
    for (auto& [id, n] : Windows) {
      long mask = n->EventMask;
      CreateIc(*n, mask);
      XSelectInput(Dpy(), n->XWin, mask);
      if (n->Ic && n->HasFocus) {
        XSetICFocus(n->Ic);
        n->IcFocused = true;
      }
    }
  }

  // A pointer event of window n at a root position, with the pointer state.
  THostEvent PointerEvent(THostEvent::TKind kind, const TNative& n, unsigned xstate, int rootX,
                          int rootY) const {
    THostEvent e;
    e.Kind = kind;
    e.Window = n.Id;
    e.ScreenPos = {rootX, rootY};
    e.State = StateBits(xstate) | ExtraButtons;
    return e;
  }

  // When a desktop move ends, the window manager keeps the button release;
  // the first pointer event after it shows the button up, and the window
  // system hears of the release then.
  // Returns false when the window went away while the release was handled.
  bool EndNativeMove(TNative& n, unsigned xstate, int rootX, int rootY) {
    const THostWindow id = n.Id;
    if (!NativeMove || (xstate & Button1Mask)) return true;
    NativeMove = 0;
    THostEvent e = PointerEvent(THostEvent::TKind::ButtonUp, n, xstate, rootX, rootY);
    e.Button = THostButton::Left;
    Deliver(e);
    return Find(id) != nullptr;
  }

  bool EnterPendingForOtherWindow(::Window leaving) {
    struct TScan {
      TImpl* Self;
      ::Window Leaving;
      bool Found;
    } scan{this, leaving, false};
    XEvent ev;
    XCheckIfEvent(
        Dpy(), &ev,
        [](::Display*, XEvent* e, XPointer arg) -> Bool {
          auto* s = reinterpret_cast<TScan*>(arg);
          if (e->type == EnterNotify && e->xcrossing.window != s->Leaving &&
              s->Self->ByXWin.count(e->xcrossing.window))
            s->Found = true;
          return False;  // only look, never take
        },
        reinterpret_cast<XPointer>(&scan));
    return scan.Found;
  }

  void Handle(XEvent& ev) {
    if (XkbEventBase >= 0 && ev.type == XkbEventBase) {
      // The key map changed (a layout switch, a key bound by a test driver).
      // Xlib keeps its copy until told; without this, keys would go on
      // reading the old map.
      auto& xkb = reinterpret_cast<XkbEvent&>(ev);
      if (xkb.any.xkb_type == XkbMapNotify) XkbRefreshKeyboardMapping(&xkb.map);
      return;
    }
    switch (ev.type) {
      case MappingNotify:
        XRefreshKeyboardMapping(&ev.xmapping);
        return;
      case ClientMessage:
        return OnClientMessage(ev.xclient);
      default:
        break;
    }
    if (Clipboard && Clipboard->Handle(ev)) return;
    if (auto f = ByFrame.find(ev.xany.window); f != ByFrame.end()) {
      // A frame around one of our windows moved, was reparented or went.
      TNative* framed = Find(f->second);
      if (!framed) return;
      if (ev.type == DestroyNotify)
        ForgetFrames(*framed);
      else if (ev.type == ReparentNotify)
        WatchFrames(*framed);
      else if (ev.type == ConfigureNotify)
        FollowFrames(*framed);
      return;
    }
    TNative* n = FindX(ev.xany.window);
    if (!n) return;
    switch (ev.type) {
      case Expose: {
        // Answered from the image of the last presented store: the program
        // does not paint again for an Expose. A surface that keeps no image
        // (its store goes to the server as it is) has the window system
        // present the rectangle again from the store.
        const TRect r = Bounds(ev.xexpose.x, ev.xexpose.y, ev.xexpose.width, ev.xexpose.height);
        if (n->Surface && n->Surface->Keeps()) {
          n->Surface->Put(n->XWin, n->Gc, r);
        } else if (n->Surface) {
          THostEvent e;
          e.Kind = KindExpose;
          e.Window = n->Id;
          e.ExposeRect = r;
          Deliver(e);
        }
        if (ev.xexpose.count == 0) XFlush(Dpy());
        return;
      }
      case MapNotify:
        n->Viewable = true;
        if (n->Iconic) {
          // Mapped again while minimised: the desktop restored it.
          n->Iconic = false;
          THostEvent e;
          e.Kind = THostEvent::TKind::Restored;
          e.Window = n->Id;
          Deliver(e);
          n = FindX(ev.xany.window);
          if (!n) return;
        }
        if (n->FocusPending) {
          n->FocusPending = false;
          Display.Trap([&] { XSetInputFocus(Dpy(), n->XWin, RevertToParent, Display.LastTime()); });
        }
        return;
      case UnmapNotify: {
        n->Viewable = false;
        if (n->OwnUnmaps > 0) {
          --n->OwnUnmaps;
          return;
        }
        // A managed window we still show was unmapped by the desktop: it
        // was minimised (a taskbar click, a keyboard shortcut).
        if (!n->Visible || n->Iconic || IsOverride(n->Kind)) return;
        n->Iconic = true;
        THostEvent e;
        e.Kind = THostEvent::TKind::Minimized;
        e.Window = n->Id;
        return Deliver(e);
      }
      case ConfigureNotify:
        return OnConfigure(*n, ev.xconfigure);
      case ReparentNotify:
        // Taken into (or out of) a window manager's frame.
        return WatchFrames(*n);
      case FocusIn:
      case FocusOut: {
        const XFocusChangeEvent& f = ev.xfocus;
        // Keyboard grabs (menus of other programs, our own pointer grabs)
        // and pointer-root bookkeeping are not changes of the active window.
        if (f.mode == NotifyGrab || f.mode == NotifyUngrab) return;
        if (f.detail == NotifyPointer || f.detail == NotifyInferior) return;
        THostEvent e;
        e.Window = n->Id;
        n->HasFocus = ev.type == FocusIn;
        if (ev.type == FocusIn) {
          if (n->Ic) XSetICFocus(n->Ic);
          n->IcFocused = n->Ic != nullptr;
          e.Kind = KindFocusIn;
        } else {
          if (n->Ic) XUnsetICFocus(n->Ic);
          n->IcFocused = false;
          PressedKeys.clear();
          e.Kind = KindFocusOut;
        }
        return Deliver(e);
      }
      case EnterNotify: {
        const XCrossingEvent& c = ev.xcrossing;
        Display.NoteTime(c.time);
        if (!EndNativeMove(*n, c.state, c.x_root, c.y_root)) return;
        THostEvent e = PointerEvent(THostEvent::TKind::MouseMove, *n, c.state, c.x_root, c.y_root);
        return Deliver(e);
      }
      case LeaveNotify: {
        const XCrossingEvent& c = ev.xcrossing;
        Display.NoteTime(c.time);
        if (c.mode != NotifyNormal || c.detail == NotifyInferior) return;
        // Moving from one of our windows straight into another (a menu
        // opening over its owner) is not leaving the program.
        if (EnterPendingForOtherWindow(n->XWin)) return;
        THostEvent e = PointerEvent(THostEvent::TKind::MouseLeave, *n, c.state, c.x_root, c.y_root);
        return Deliver(e);
      }
      case MotionNotify: {
        // Only the latest of a run of moves matters; keep order with every
        // other kind of event by merging only directly following moves.
        while (XEventsQueued(Dpy(), QueuedAlready) > 0) {
          XEvent next;
          XPeekEvent(Dpy(), &next);
          if (next.type != MotionNotify || next.xmotion.window != ev.xmotion.window) break;
          XNextEvent(Dpy(), &ev);
        }
        const XMotionEvent& m = ev.xmotion;
        Display.NoteTime(m.time);
        if (!EndNativeMove(*n, m.state, m.x_root, m.y_root)) return;
        THostEvent e = PointerEvent(THostEvent::TKind::MouseMove, *n, m.state, m.x_root, m.y_root);
        return Deliver(e);
      }
      case ButtonPress:
      case ButtonRelease:
        return OnButton(*n, ev.xbutton);
      case KeyPress:
      case KeyRelease:
        return OnKey(*n, ev.xkey);
      default:
        return;
    }
  }

  void OnClientMessage(const XClientMessageEvent& c) {
    const TX11Atoms& a = Display.Atoms();
    TNative* n = FindX(c.window);
    if (!n || c.message_type != a.WM_PROTOCOLS || c.format != 32) return;
    if (Atom(c.data.l[0]) == a.WM_DELETE_WINDOW) {
      THostEvent e;
      e.Kind = THostEvent::TKind::Close;
      e.Window = n->Id;
      Deliver(e);
    }
  }

  void ForgetFrames(TNative& n) {
    for (::Window f : n.Frames) {
      ByFrame.erase(f);
      Display.Trap([&] { XSelectInput(Dpy(), f, NoEventMask); });
    }
    n.Frames.clear();
  }

  // Watches every ancestor of the window below the root, then reads where
  // the window is now: a frame that moved before the watch began is caught
  // by that reading, every later move by the frame's ConfigureNotify.
  void WatchFrames(TNative& n) {
    ForgetFrames(n);
    ::Window w = n.XWin;
    for (int depth = 0; depth < 8; ++depth) {
      ::Window root = 0, parent = 0, *children = nullptr;
      unsigned count = 0;
      if (!XQueryTree(Dpy(), w, &root, &parent, &children, &count)) break;
      if (children) XFree(children);
      if (!parent || parent == root) break;
      if (Display.Trap([&] { XSelectInput(Dpy(), parent, StructureNotifyMask); }) != 0) break;
      n.Frames.push_back(parent);
      ByFrame[parent] = n.Id;
      w = parent;
    }
    FollowFrames(n);
  }

  // The window's place on the root, asked of the server, told to the window
  // system when it changed.
  void FollowFrames(TNative& n) {
    int x = 0, y = 0;
    ::Window child = 0;
    if (!XTranslateCoordinates(Dpy(), n.XWin, Display.Root(), 0, 0, &x, &y, &child)) return;
    TRect bounds = Bounds(x, y, n.Bounds.Width(), n.Bounds.Height());
    if (bounds == n.Bounds) return;
    n.Bounds = bounds;
    THostEvent e;
    e.Kind = THostEvent::TKind::Configure;
    e.Window = n.Id;
    e.Bounds = bounds;
    Deliver(e);
  }

  void OnConfigure(TNative& n, XConfigureEvent& c) {
    // Merge a run of configures of this window.
    while (XEventsQueued(Dpy(), QueuedAlready) > 0) {
      XEvent next;
      XPeekEvent(Dpy(), &next);
      if (next.type != ConfigureNotify || next.xconfigure.window != c.window) break;
      XNextEvent(Dpy(), &next);
      c = next.xconfigure;
    }
    // A configure caused before our latest move request describes a place
    // the window has already left.
    if (long(c.serial - n.MoveSerial) < 0) return;
    int x = c.x, y = c.y;
    if (!c.send_event) {
      // Real configures of a reparented window are relative to the window
      // manager's frame; synthetic ones carry root coordinates.
      ::Window child = 0;
      XTranslateCoordinates(Dpy(), n.XWin, Display.Root(), 0, 0, &x, &y, &child);
    }
    TRect bounds = Bounds(x, y, c.width, c.height);
    if (bounds == n.Bounds) return;
    n.Bounds = bounds;
    THostEvent e;
    e.Kind = THostEvent::TKind::Configure;
    e.Window = n.Id;
    e.Bounds = bounds;
    Deliver(e);
  }

  void OnButton(TNative& n, const XButtonEvent& b) {
    Display.NoteTime(b.time);
    const bool down = b.type == ButtonPress;
    THostEvent e;
    e.Window = n.Id;
    e.ScreenPos = {b.x_root, b.y_root};
    if (b.button == Button4 || b.button == Button5) {
      // Each notch of the wheel is a press and release; the press is the notch.
      if (!down) return;
      e.Kind = THostEvent::TKind::Wheel;
      e.WheelDelta = b.button == Button4 ? 120 : -120;
      e.State = StateBits(b.state) | ExtraButtons;
      return Deliver(e);
    }
    switch (b.button) {
      case Button1:
        e.Button = THostButton::Left;
        break;
      case Button2:
        e.Button = THostButton::Middle;
        break;
      case Button3:
        e.Button = THostButton::Right;
        break;
      case 8:
        e.Button = THostButton::X1;
        break;
      case 9:
        e.Button = THostButton::X2;
        break;
      default:
        return;  // horizontal wheel and beyond
    }
    if (!down && b.button == Button1) {
      // The release reached us after all: the desktop did not take the move.
      NativeMove = 0;
    } else if (!EndNativeMove(n, b.state, b.x_root, b.y_root)) {
      return;
    }
    const std::uint32_t bit = HostButtonBit(e.Button);
    if (e.Button == THostButton::X1 || e.Button == THostButton::X2) {
      if (down)
        ExtraButtons |= bit;
      else
        ExtraButtons &= ~bit;
    }
    // X reports the state before the event; the platform's messages carry
    // the state after it (a button-down includes its own button).
    std::uint32_t state = StateBits(b.state) | ExtraButtons;
    state = down ? (state | bit) : (state & ~bit);
    e.Kind = down ? THostEvent::TKind::ButtonDown : THostEvent::TKind::ButtonUp;
    e.State = state;
    Deliver(e);
  }

  int VirtualKeyOf(const XKeyEvent& k) {
    ::Display* dpy = Dpy();
    const auto code = KeyCode(k.keycode);
    // Group 0, level 0: the same key gives the same code whatever layout
    // is active, so Ctrl+S works on a Russian layout.
    KeySym sym = XkbKeycodeToKeysym(dpy, code, 0, 0);
    if ((k.state & Mod2Mask) && sym >= XK_KP_Home && sym <= XK_KP_Delete) {
      // Num Lock on: the keypad's digits, as the platform reports them.
      KeySym digit = XkbKeycodeToKeysym(dpy, code, 0, 1);
      if ((digit >= XK_KP_0 && digit <= XK_KP_9) || digit == XK_KP_Decimal) sym = digit;
    }
    int vk = VirtualKeyFromKeysym(sym);
    if (!vk) vk = VirtualKeyFromKeycode(k.keycode);
    if (!vk) vk = VkPacket;
    return vk;
  }

  std::vector<std::uint32_t> TextOf(TNative& n, XKeyEvent& k, KeySym& sym) {
    char small[64];
    std::vector<char> big;
    char* buf = small;
    int size = int(sizeof small);
    int len = 0;
    sym = NoSymbol;
    if (n.Ic) {
      if (!n.IcFocused) {
        // Without a window manager focus follows the pointer and no FocusIn
        // arrives; the input method still needs to know where keys go.
        XSetICFocus(n.Ic);
        n.IcFocused = true;
      }
      Status status = 0;
      len = Xutf8LookupString(n.Ic, &k, buf, size, &sym, &status);
      if (status == XBufferOverflow) {
        big.resize(std::size_t(len) + 1);
        buf = big.data();
        size = int(big.size());
        len = Xutf8LookupString(n.Ic, &k, buf, size, &sym, &status);
      }
      if (status != XLookupChars && status != XLookupBoth) len = 0;
    } else {
      len = XLookupString(&k, buf, size, &sym, nullptr);
      // Without an input method only keysyms with a code point give text.
      std::uint32_t cp = CodePointFromKeysym(sym);
      if (cp && !(k.state & ControlMask)) return {cp};
      if (len > 0 && (k.state & ControlMask)) {
        std::vector<std::uint32_t> out;
        for (int i = 0; i < len; ++i) out.push_back(static_cast<unsigned char>(buf[i]));
        return out;
      }
      return {};
    }
    return DecodeUtf8(std::string_view(buf, std::size_t(std::max(len, 0))));
  }

  void OnKey(TNative& n, XKeyEvent& k) {
    Display.NoteTime(k.time);
    const THostWindow id = n.Id;
    const int vk = VirtualKeyOf(k);
    const std::uint32_t state = StateBits(k.state) | ExtraButtons;
    if (k.type == KeyRelease) {
      PressedKeys.erase(k.keycode);
      THostEvent e;
      e.Kind = THostEvent::TKind::KeyUp;
      e.Window = id;
      e.VirtualKey = vk;
      e.ScanCode = ScanCodeFromKeycode(k.keycode);
      e.State = state;
      return Deliver(e);
    }
    KeySym sym = NoSymbol;
    std::vector<std::uint32_t> text = TextOf(n, k, sym);
    THostEvent e;
    e.Kind = THostEvent::TKind::KeyDown;
    e.Window = id;
    e.VirtualKey = vk;
    e.ScanCode = ScanCodeFromKeycode(k.keycode);
    e.Repeat = !PressedKeys.insert(k.keycode).second;
    e.State = state;
    Deliver(e);
    for (std::uint32_t cp : text) {
      // Delete gives DEL in X but no character on the platform; NUL (Ctrl+@)
      // is no text either.
      if (cp == 0 || cp == 0x7F) continue;
      if (!Find(id)) return;
      THostEvent c;
      c.Kind = THostEvent::TKind::Char;
      c.Window = id;
      c.CodePoint = cp;
      c.State = state;
      c.Repeat = e.Repeat;
      Deliver(c);
    }
  }
};

TX11Host::TX11Host(const char* displayName, bool allowShm)
    : impl_(std::make_unique<TImpl>(displayName, allowShm)) {
  ::Display* dpy = impl_->Dpy();
  int fds[2];
  if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) throw std::runtime_error("Cannot create a pipe");
  impl_->WakeRead = fds[0];
  impl_->WakeWrite = fds[1];
  int shapeEvent = 0, shapeError = 0;
  impl_->HasShape = XShapeQueryExtension(dpy, &shapeEvent, &shapeError) == True;
  // Auto-repeat as repeated presses without releases in between, as on the
  // platform; the host marks the repeats.
  Bool supported = False;
  XkbSetDetectableAutoRepeat(dpy, True, &supported);
  int opcode = 0, xkbError = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
  int xkbEvent = 0;
  if (XkbQueryExtension(dpy, &opcode, &xkbEvent, &xkbError, &major, &minor)) {
    impl_->XkbEventBase = xkbEvent;
    const unsigned long mask = XkbMapNotifyMask | XkbNewKeyboardNotifyMask;
    XkbSelectEvents(dpy, XkbUseCoreKbd, mask, mask);
  }
  impl_->Clipboard = std::make_unique<TX11Clipboard>(dpy);
}

TX11Host::~TX11Host() {
  for (auto& [id, n] : impl_->Windows) impl_->Destroy(*n);
  impl_->Windows.clear();
  for (::Cursor c : impl_->Cursors)
    if (c) XFreeCursor(impl_->Dpy(), c);
  impl_->Clipboard.reset();
  XSync(impl_->Dpy(), False);
  close(impl_->WakeRead);
  close(impl_->WakeWrite);
}

void TX11Host::SetClipboardText(const std::string& utf8) {
  impl_->Clipboard->SetText(utf8, impl_->Display.LastTime());
}

std::optional<std::string> TX11Host::ClipboardText() {
  return impl_->Clipboard->Text();
}

void TX11Host::SetSink(THostSink* sink) {
  impl_->Sink = sink;
}

TSize TX11Host::ScreenSize() const {
  return {impl_->Display.ScreenWidth(), impl_->Display.ScreenHeight()};
}

THostWindow TX11Host::CreateNativeWindow(const THostWindowParams& params) {
  TImpl& h = *impl_;
  ::Display* dpy = h.Dpy();
  auto n = std::make_unique<TNative>();
  n->Id = h.NextId++;
  n->Kind = params.Kind;
  n->Owner = params.TransientFor;
  n->Bounds = params.Bounds;

  long eventMask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                   ButtonReleaseMask | PointerMotionMask | EnterWindowMask | LeaveWindowMask |
                   FocusChangeMask | StructureNotifyMask;
  XSetWindowAttributes attrs{};
  // No background: the server leaves exposed areas alone until we put the
  // store there, so nothing flashes in a background colour first.
  attrs.background_pixmap = 0;
  attrs.border_pixel = 0;
  attrs.bit_gravity = NorthWestGravity;
  attrs.colormap = h.Display.XColormap();
  attrs.event_mask = eventMask;
  attrs.override_redirect = IsOverride(n->Kind) ? True : False;
  attrs.save_under = attrs.override_redirect;
  n->XWin =
      XCreateWindow(dpy, h.Display.Root(), ClampCoord(n->Bounds.Left), ClampCoord(n->Bounds.Top),
                    ClampSide(n->Bounds.Width()), ClampSide(n->Bounds.Height()), 0,
                    h.Display.Depth(), InputOutput, h.Display.XVisual(),
                    CWBackPixmap | CWBorderPixel | CWBitGravity | CWColormap | CWEventMask |
                        CWOverrideRedirect | CWSaveUnder,
                    &attrs);
  const TX11Atoms& a = h.Display.Atoms();

  XClassHint cls{const_cast<char*>("velmora"), const_cast<char*>("Velmora")};
  XSetClassHint(dpy, n->XWin, &cls);
  XWMHints* wm = XAllocWMHints();
  if (wm) {
    wm->flags = InputHint | StateHint;
    wm->input = True;
    wm->initial_state = NormalState;
    XSetWMHints(dpy, n->XWin, wm);
    XFree(wm);
  }
  h.SetSizeHints(*n);
  Atom protocols[] = {a.WM_DELETE_WINDOW};
  XSetWMProtocols(dpy, n->XWin, protocols, 1);
  // Undecorated: the program draws its own frame and caption.
  long motif[5] = {2, 0, 0, 0, 0};
  XChangeProperty(dpy, n->XWin, a.MOTIF_WM_HINTS, a.MOTIF_WM_HINTS, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(motif), 5);
  long pid = long(getpid());
  XChangeProperty(dpy, n->XWin, a.NET_WM_PID, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&pid), 1);
  h.SetTitle(*n, params.Title);
  h.ApplyKind(*n);

  XGCValues gcv{};
  gcv.graphics_exposures = False;
  n->Gc = XCreateGC(dpy, n->XWin, GCGraphicsExposures, &gcv);
  n->EventMask = eventMask;
  // Once the input method is open every new window gets its context at once.
  if (h.Display.InputMethodOpened()) h.CreateIc(*n, eventMask);
  XSelectInput(dpy, n->XWin, eventMask);

  THostWindow id = n->Id;
  h.ByXWin[n->XWin] = id;
  h.Windows[id] = std::move(n);
  XFlush(dpy);
  return id;
}

void TX11Host::DestroyNativeWindow(THostWindow window) {
  TNative* n = impl_->Find(window);
  if (!n) return;
  impl_->Destroy(*n);
  impl_->Windows.erase(window);
  XFlush(impl_->Dpy());
}

void TX11Host::ShowNativeWindow(THostWindow window, bool visible) {
  TImpl& h = *impl_;
  TNative* n = h.Find(window);
  if (!n || (n->Visible == visible && !(visible && n->Iconic))) return;
  n->Visible = visible;
  n->Iconic = false;
  if (visible) {
    h.SetSizeHints(*n);
    XMapRaised(h.Dpy(), n->XWin);
  } else if (IsOverride(n->Kind)) {
    XUnmapWindow(h.Dpy(), n->XWin);
  } else {
    // Withdraw, so that the window manager forgets the window (and its
    // taskbar entry) instead of keeping it iconified.
    XWithdrawWindow(h.Dpy(), n->XWin, h.Display.Screen());
    n->FocusPending = false;
  }
  XFlush(h.Dpy());
}

void TX11Host::MoveNativeWindow(THostWindow window, const TRect& bounds) {
  TImpl& h = *impl_;
  TNative* n = h.Find(window);
  if (!n || bounds == n->Bounds) return;
  n->Bounds = bounds;
  h.SetSizeHints(*n);
  n->MoveSerial = NextRequest(h.Dpy());
  XMoveResizeWindow(h.Dpy(), n->XWin, ClampCoord(bounds.Left), ClampCoord(bounds.Top),
                    ClampSide(bounds.Width()), ClampSide(bounds.Height()));
  XFlush(h.Dpy());
}

void TX11Host::MinimizeNativeWindow(THostWindow window) {
  TImpl& h = *impl_;
  TNative* n = h.Find(window);
  if (!n || !n->Visible || n->Iconic || IsOverride(n->Kind)) return;
  n->Iconic = true;
  if (h.Display.HasWindowManager())
    XIconifyWindow(h.Dpy(), n->XWin, h.Display.Screen());
  else
    // Nobody would answer the iconify request: simply take the window off
    // the screen; showing it maps it again.
    XUnmapWindow(h.Dpy(), n->XWin);
  XFlush(h.Dpy());
}

void TX11Host::RaiseNativeWindow(THostWindow window) {
  TNative* n = impl_->Find(window);
  if (!n) return;
  XRaiseWindow(impl_->Dpy(), n->XWin);
  XFlush(impl_->Dpy());
}

void TX11Host::FocusNativeWindow(THostWindow window) {
  TImpl& h = *impl_;
  TNative* n = h.Find(window);
  if (!n || IsOverride(n->Kind)) return;
  const TX11Atoms& a = h.Display.Atoms();
  if (h.Display.WmSupports(a.NET_ACTIVE_WINDOW)) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = n->XWin;
    ev.xclient.message_type = a.NET_ACTIVE_WINDOW;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = 1;  // a request from an application
    ev.xclient.data.l[1] = long(h.Display.LastTime());
    XSendEvent(h.Dpy(), h.Display.Root(), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &ev);
    XFlush(h.Dpy());
  } else if (n->Viewable) {
    h.Display.Trap([&] { XSetInputFocus(h.Dpy(), n->XWin, RevertToParent, h.Display.LastTime()); });
  } else {
    // Focus can only go to a viewable window: give it on MapNotify.
    n->FocusPending = n->Visible;
  }
}

void TX11Host::SetNativeTitle(THostWindow window, const std::string& utf8) {
  TNative* n = impl_->Find(window);
  if (!n) return;
  impl_->SetTitle(*n, utf8);
  XFlush(impl_->Dpy());
}

void TX11Host::SetNativeIcon(THostWindow window, const TBitmap& icon) {
  TImpl& h = *impl_;
  TNative* n = h.Find(window);
  if (!n) return;
  const Atom prop = h.Display.Atoms().NET_WM_ICON;
  if (icon.Empty() || icon.Width() > MaxIconSide || icon.Height() > MaxIconSide) {
    XDeleteProperty(h.Dpy(), n->XWin, prop);
    XFlush(h.Dpy());
    return;
  }
  // Width, height, then ARGB pixels row by row: one long each, even where a
  // long has 64 bits.
  const int w = icon.Width(), hgt = icon.Height();
  std::vector<long> data;
  data.reserve(2 + std::size_t(w) * std::size_t(hgt));
  data.push_back(w);
  data.push_back(hgt);
  const bool alpha = icon.PixelFormat() == TPixelFormat::pf32bit;
  for (int y = 0; y < hgt; ++y) {
    for (int x = 0; x < w; ++x) {
      TColor c = icon.GetPixel(x, y);
      unsigned long a = alpha ? icon.GetAlpha(x, y) : 255u;
      unsigned long argb = (a << 24) | (unsigned long)(GetRValue(c) << 16) |
                           (unsigned long)(GetGValue(c) << 8) | (unsigned long)GetBValue(c);
      data.push_back(long(argb));
    }
  }
  XChangeProperty(h.Dpy(), n->XWin, prop, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(data.data()), int(data.size()));
  XFlush(h.Dpy());
}

void TX11Host::SetNativeShape(THostWindow window, const std::vector<TRect>& rects) {
  TImpl& h = *impl_;
  TNative* n = h.Find(window);
  if (!n || !h.HasShape) return;
  if (rects.empty()) {
    if (n->Shaped) XShapeCombineMask(h.Dpy(), n->XWin, ShapeBounding, 0, 0, 0, ShapeSet);
    n->Shaped = false;
  } else {
    std::vector<XRectangle> xr;
    xr.reserve(rects.size());
    for (const TRect& r : rects) {
      TRect c = r.Intersect({-32768, -32768, 32767, 32767});
      if (c.IsEmpty()) continue;
      xr.push_back(
          {short(c.Left), short(c.Top), (unsigned short)c.Width(), (unsigned short)c.Height()});
    }
    XShapeCombineRectangles(h.Dpy(), n->XWin, ShapeBounding, 0, 0, xr.data(), int(xr.size()),
                            ShapeSet, Unsorted);
    n->Shaped = true;
  }
  XFlush(h.Dpy());
}

void TX11Host::SetNativeTransientFor(THostWindow window, THostWindow owner) {
  TNative* n = impl_->Find(window);
  if (!n || n->Owner == owner) return;
  n->Owner = owner;
  impl_->ApplyKind(*n);
  XFlush(impl_->Dpy());
}

void TX11Host::SetNativeKind(THostWindow window, THostWindowKind kind) {
  TImpl& h = *impl_;
  TNative* n = h.Find(window);
  if (!n || n->Kind == kind) return;
  const bool remap = n->Visible && IsOverride(n->Kind) != IsOverride(kind);
  // Override-redirect takes effect at the next map only.
  if (remap) {
    XUnmapWindow(h.Dpy(), n->XWin);
    ++n->OwnUnmaps;
  }
  n->Kind = kind;
  h.ApplyKind(*n);
  if (remap) XMapRaised(h.Dpy(), n->XWin);
  XFlush(h.Dpy());
}

void TX11Host::Present(THostWindow window, const TBitmap& store, const std::vector<TRect>& dirty) {
  TImpl& h = *impl_;
  TNative* n = h.Find(window);
  if (!n || store.Empty()) return;
  if (!n->Surface) n->Surface = std::make_unique<TX11Surface>(h.Display);
  TX11Surface& s = *n->Surface;
  const TRect whole{0, 0, store.Width(), store.Height()};
  s.Resize(store.Width(), store.Height());
  if (s.Direct(store)) {
    // The server takes the store's rows as they are: the dirty rectangles go
    // out straight from them, and nothing is kept.
    for (const TRect& r : dirty) s.PutDirect(n->XWin, n->Gc, store, r);
  } else if (!s.Keeps()) {
    // A new image holds nothing yet: take the whole store, whatever is dirty.
    s.Update(store, whole);
    s.Put(n->XWin, n->Gc, whole);
  } else {
    for (const TRect& r : dirty) s.Update(store, r);
    for (const TRect& r : dirty) s.Put(n->XWin, n->Gc, r);
  }
  XFlush(h.Dpy());
}

void TX11Host::SetNativeCursor(THostWindow window, THostCursor cursor) {
  TImpl& h = *impl_;
  TNative* n = h.Find(window);
  const int index = int(cursor);
  if (!n || index < 0 || index >= CursorCount || n->Cursor == index) return;
  if (!h.Cursors[index]) h.Cursors[index] = XCreateFontCursor(h.Dpy(), FontCursorOf(cursor));
  XDefineCursor(h.Dpy(), n->XWin, h.Cursors[index]);
  n->Cursor = index;
  XFlush(h.Dpy());
}

void TX11Host::GrabPointer(THostWindow window) {
  TImpl& h = *impl_;
  TNative* n = window ? h.Find(window) : nullptr;
  if (!n) {
    if (h.Grabbed) XUngrabPointer(h.Dpy(), CurrentTime);
    h.Grabbed = 0;
    XFlush(h.Dpy());
    return;
  }
  // Owner events: our other windows (an open menu) still get their own
  // events; everything else on the screen reports to the grabbing window.
  int result = XGrabPointer(
      h.Dpy(), n->XWin, True,
      ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask | LeaveWindowMask,
      GrabModeAsync, GrabModeAsync, 0, 0, CurrentTime);
  h.Grabbed = result == GrabSuccess ? window : 0;
}

bool TX11Host::BeginNativeMove(THostWindow window, TPoint screenPos) {
  TImpl& h = *impl_;
  TNative* n = h.Find(window);
  const TX11Atoms& a = h.Display.Atoms();
  if (!n || IsOverride(n->Kind) || !n->Viewable || !h.Display.WmSupports(a.NET_WM_MOVERESIZE))
    return false;
  // The press may already be over: a quick click on the caption, or a busy
  // moment in which the release arrived before the press was handled. A move
  // handed to the window manager now would follow the pointer with no button
  // held; the window system drags the window itself from the events already
  // queued instead.
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, winX = 0, winY = 0;
  unsigned int mask = 0;
  if (!XQueryPointer(h.Dpy(), n->XWin, &root, &child, &rootX, &rootY, &winX, &winY, &mask) ||
      !(mask & Button1Mask))
    return false;
  // The window manager can only grab the pointer once we let go of it.
  XUngrabPointer(h.Dpy(), CurrentTime);
  h.Grabbed = 0;
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = n->XWin;
  ev.xclient.message_type = a.NET_WM_MOVERESIZE;
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = screenPos.X;
  ev.xclient.data.l[1] = screenPos.Y;
  ev.xclient.data.l[2] = MoveResizeMove;
  ev.xclient.data.l[3] = Button1;
  ev.xclient.data.l[4] = 1;  // a request from an application
  XSendEvent(h.Dpy(), h.Display.Root(), False, SubstructureRedirectMask | SubstructureNotifyMask,
             &ev);
  XFlush(h.Dpy());
  h.NativeMove = window;
  return true;
}

std::uint64_t TX11Host::Now() const {
  return impl_->Now();
}

void TX11Host::Sleep(std::uint32_t ms) {
  XFlush(impl_->Dpy());  // what was drawn shows during the pause
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void TX11Host::PumpEvents() {
  XFlush(impl_->Dpy());
  impl_->Pump();
}

bool TX11Host::WaitEvents(int timeoutMs) {
  TImpl& h = *impl_;
  ::Display* dpy = h.Dpy();
  XFlush(dpy);
  if (XPending(dpy) > 0) {
    h.Pump();
    return true;
  }
  const std::uint64_t deadline = timeoutMs < 0 ? 0 : h.Now() + std::uint64_t(timeoutMs);
  bool woke = false;
  for (;;) {
    pollfd fds[2] = {{ConnectionNumber(dpy), POLLIN, 0}, {h.WakeRead, POLLIN, 0}};
    int wait = -1;
    if (timeoutMs >= 0) {
      std::uint64_t now = h.Now();
      wait = now >= deadline ? 0 : int(std::min<std::uint64_t>(deadline - now, INT_MAX));
    }
    int r = poll(fds, 2, wait);
    if (r < 0 && errno == EINTR) continue;
    if (fds[1].revents & POLLIN) {
      char drain[64];
      while (read(h.WakeRead, drain, sizeof drain) > 0) {
      }
      woke = true;
    }
    break;
  }
  const bool any = XPending(dpy) > 0;
  if (any) h.Pump();
  return any || woke;
}

void TX11Host::Wake() {
  const char byte = 1;
  // A full pipe already wakes the waiter; nothing more to do then.
  [[maybe_unused]] ssize_t written = write(impl_->WakeWrite, &byte, 1);
}

void TX11Host::Beep() {
  XBell(impl_->Dpy(), 0);
  XFlush(impl_->Dpy());
}

void TX11Host::Flush() {
  XSync(impl_->Dpy(), False);
}

bool TX11Host::UsesSharedMemory() const {
  return impl_->Display.UseShm();
}

unsigned long TX11Host::XWindowOf(THostWindow window) const {
  TNative* n = impl_->Find(window);
  return n ? n->XWin : 0;
}

}  // namespace vm
