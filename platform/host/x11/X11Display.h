// The connection to the X server and what every X11 window of the program
// shares: interned atoms, the input method, the MIT-SHM decision and the
// window manager's list of supported hints.
//
// Only files in platform/host/x11/ include this header: it pulls in Xlib,
// whose macros (None, Bool, Status, ...) must not leak into the rest of the
// program.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <string>
#include <vector>

namespace vm {

struct TX11Atoms {
  Atom WM_PROTOCOLS = 0;
  Atom WM_DELETE_WINDOW = 0;
  Atom WM_TAKE_FOCUS = 0;
  Atom MOTIF_WM_HINTS = 0;
  Atom UTF8_STRING = 0;
  Atom NET_SUPPORTED = 0;
  Atom NET_WM_NAME = 0;
  Atom NET_WM_ICON_NAME = 0;
  Atom NET_WM_ICON = 0;
  Atom NET_WM_PID = 0;
  Atom NET_WM_WINDOW_TYPE = 0;
  Atom NET_WM_WINDOW_TYPE_NORMAL = 0;
  Atom NET_WM_WINDOW_TYPE_DIALOG = 0;
  Atom NET_WM_WINDOW_TYPE_POPUP_MENU = 0;
  Atom NET_WM_WINDOW_TYPE_TOOLTIP = 0;
  Atom NET_WM_STATE = 0;
  Atom NET_WM_STATE_SKIP_TASKBAR = 0;
  Atom NET_WM_STATE_HIDDEN = 0;
  Atom NET_WM_MOVERESIZE = 0;
  Atom NET_ACTIVE_WINDOW = 0;
  Atom VELMORA_WAKE = 0;
};

class TX11Display {
 public:
  // Opens the display named by name (nullptr: $DISPLAY). Throws
  // std::runtime_error with the display name when no server answers.
  // allowShm false keeps every image in ordinary memory (for comparing the
  // two ways of presenting).
  explicit TX11Display(const char* name = nullptr, bool allowShm = true);
  ~TX11Display();
  TX11Display(const TX11Display&) = delete;
  TX11Display& operator=(const TX11Display&) = delete;

  ::Display* Handle() const { return dpy_; }
  int Screen() const { return screen_; }
  ::Window Root() const { return root_; }
  ::Visual* XVisual() const { return visual_; }
  int Depth() const { return depth_; }
  ::Colormap XColormap() const { return colormap_; }
  int ScreenWidth() const;
  int ScreenHeight() const;
  const TX11Atoms& Atoms() const { return atoms_; }

  // The input method, opened on the first call; nullptr when none could be
  // opened (keys then go through XLookupString, which still decodes Latin-1
  // and Unicode keysyms). Opening reads the locale's compose table, a third
  // of a starting program's work, so the host leaves it until keys matter.
  XIM InputMethod();
  bool InputMethodOpened() const { return imOpened_; }
  // True when images can be presented through shared memory.
  bool UseShm() const { return shm_; }
  // Turns shared memory off after a failed attach (a remote server, or a
  // server in another IPC namespace).
  void DisableShm() { shm_ = false; }

  // True when the running window manager lists atom in _NET_SUPPORTED. The
  // list is read again at most once per second: a window manager may start
  // after the program.
  bool WmSupports(Atom atom);
  // True when a window manager that announces its hints is running.
  bool HasWindowManager();

  // Runs fn with X errors caught instead of ending the program; returns the
  // error code of the first error fn caused (0 for none). Synchronises with
  // the server, so use it only for calls that may legitimately fail.
  template <class F>
  int Trap(F&& fn) {
    BeginTrap();
    fn();
    return EndTrap();
  }

  // Timestamp of the last event with one, for focus and grab requests.
  Time LastTime() const { return lastTime_; }
  void NoteTime(Time t) {
    if (t != CurrentTime) lastTime_ = t;
  }

 private:
  void BeginTrap();
  int EndTrap();
  void ReadSupported();

  ::Display* dpy_ = nullptr;
  int screen_ = 0;
  ::Window root_ = 0;
  ::Visual* visual_ = nullptr;
  int depth_ = 0;
  ::Colormap colormap_ = 0;
  TX11Atoms atoms_;
  XIM im_ = nullptr;
  bool imOpened_ = false;
  bool shm_ = false;
  std::vector<Atom> supported_;
  long supportedReadAt_ = -1;  // monotonic seconds of the last read
  Time lastTime_ = CurrentTime;
};

}  // namespace vm
