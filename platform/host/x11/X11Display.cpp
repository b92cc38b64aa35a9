#include "platform/host/x11/X11Display.h"

#include <X11/Xatom.h>
#include <X11/extensions/XShm.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <stdexcept>

namespace vm {

namespace {

// Error trapping. Xlib reports errors through one process-wide handler, so
// the trap state is process-wide too; everything runs on the loop's thread.
int trapDepth = 0;
int trappedError = 0;

int OnXError(Display* dpy, XErrorEvent* e) {
  if (trapDepth > 0) {
    if (trappedError == 0) trappedError = e->error_code;
    return 0;
  }
  // An error outside a trap is usually a race with a window the server has
  // already destroyed. Report it and carry on rather than end the program.
  char text[256] = {};
  XGetErrorText(dpy, e->error_code, text, sizeof text);
  std::fprintf(stderr, "velmora: X error %d (%s), request %d.%d\n", e->error_code, text,
               e->request_code, e->minor_code);
  return 0;
}

long MonotonicSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return long(ts.tv_sec);
}

}  // namespace

TX11Display::TX11Display(const char* name, bool allowShm) {
  // The input method decodes keys in the locale's encoding; an unset LC_CTYPE
  // would give Latin-1 at best. Keep a UTF-8 locale if the user has one, else
  // pick C.UTF-8, which every Debian system has.
  const char* loc = std::setlocale(LC_CTYPE, "");
  std::string current = loc ? loc : "";
  if (current.find("UTF-8") == std::string::npos && current.find("utf8") == std::string::npos)
    std::setlocale(LC_CTYPE, "C.UTF-8");

  dpy_ = XOpenDisplay(name);
  if (!dpy_) {
    const char* shown = name ? name : std::getenv("DISPLAY");
    if (!shown || !*shown)
      throw std::runtime_error("Cannot open the X display: DISPLAY is not set");
    throw std::runtime_error(std::string("Cannot open the X display \"") + shown + "\"");
  }
  XSetErrorHandler(OnXError);
  screen_ = DefaultScreen(dpy_);
  root_ = RootWindow(dpy_, screen_);
  visual_ = DefaultVisual(dpy_, screen_);
  depth_ = DefaultDepth(dpy_, screen_);
  colormap_ = DefaultColormap(dpy_, screen_);

  struct Named {
    Atom* target;
    const char* name;
  };
  const Named names[] = {
      {&atoms_.WM_PROTOCOLS, "WM_PROTOCOLS"},
      {&atoms_.WM_DELETE_WINDOW, "WM_DELETE_WINDOW"},
      {&atoms_.WM_TAKE_FOCUS, "WM_TAKE_FOCUS"},
      {&atoms_.MOTIF_WM_HINTS, "_MOTIF_WM_HINTS"},
      {&atoms_.UTF8_STRING, "UTF8_STRING"},
      {&atoms_.NET_SUPPORTED, "_NET_SUPPORTED"},
      {&atoms_.NET_WM_NAME, "_NET_WM_NAME"},
      {&atoms_.NET_WM_ICON_NAME, "_NET_WM_ICON_NAME"},
      {&atoms_.NET_WM_ICON, "_NET_WM_ICON"},
      {&atoms_.NET_WM_PID, "_NET_WM_PID"},
      {&atoms_.NET_WM_WINDOW_TYPE, "_NET_WM_WINDOW_TYPE"},
      {&atoms_.NET_WM_WINDOW_TYPE_NORMAL, "_NET_WM_WINDOW_TYPE_NORMAL"},
      {&atoms_.NET_WM_WINDOW_TYPE_DIALOG, "_NET_WM_WINDOW_TYPE_DIALOG"},
      {&atoms_.NET_WM_WINDOW_TYPE_POPUP_MENU, "_NET_WM_WINDOW_TYPE_POPUP_MENU"},
      {&atoms_.NET_WM_WINDOW_TYPE_TOOLTIP, "_NET_WM_WINDOW_TYPE_TOOLTIP"},
      {&atoms_.NET_WM_STATE, "_NET_WM_STATE"},
      {&atoms_.NET_WM_STATE_SKIP_TASKBAR, "_NET_WM_STATE_SKIP_TASKBAR"},
      {&atoms_.NET_WM_STATE_HIDDEN, "_NET_WM_STATE_HIDDEN"},
      {&atoms_.NET_WM_MOVERESIZE, "_NET_WM_MOVERESIZE"},
      {&atoms_.NET_ACTIVE_WINDOW, "_NET_ACTIVE_WINDOW"},
      {&atoms_.VELMORA_WAKE, "_VELMORA_WAKE"},
  };
  constexpr int count = int(sizeof names / sizeof names[0]);
  char* list[count];
  Atom result[count];
  for (int i = 0; i < count; ++i) list[i] = const_cast<char*>(names[i].name);
  XInternAtoms(dpy_, list, count, False, result);
  for (int i = 0; i < count; ++i) *names[i].target = result[i];

  // Shared memory works only with a local server; a DISPLAY of host:0 would
  // attach and then fail, which the first attach detects (see TX11Surface).
  int major = 0, minor = 0;
  Bool pixmaps = False;
  shm_ = allowShm && XShmQueryVersion(dpy_, &major, &minor, &pixmaps) == True;
}

XIM TX11Display::InputMethod() {
  if (imOpened_) return im_;
  imOpened_ = true;
  // "" lets XMODIFIERS choose (ibus, fcitx, or the built-in one). Without
  // any, fall back to the built-in method explicitly.
  XSetLocaleModifiers("");
  im_ = XOpenIM(dpy_, nullptr, nullptr, nullptr);
  if (!im_) {
    XSetLocaleModifiers("@im=none");
    im_ = XOpenIM(dpy_, nullptr, nullptr, nullptr);
  }
  return im_;
}

TX11Display::~TX11Display() {
  if (im_) XCloseIM(im_);
  if (dpy_) XCloseDisplay(dpy_);
}

int TX11Display::ScreenWidth() const {
  return DisplayWidth(dpy_, screen_);
}
int TX11Display::ScreenHeight() const {
  return DisplayHeight(dpy_, screen_);
}

void TX11Display::BeginTrap() {
  if (trapDepth++ == 0) {
    XSync(dpy_, False);
    trappedError = 0;
  }
}

int TX11Display::EndTrap() {
  XSync(dpy_, False);
  int code = trappedError;
  if (--trapDepth == 0) trappedError = 0;
  return code;
}

void TX11Display::ReadSupported() {
  supported_.clear();
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(dpy_, root_, atoms_.NET_SUPPORTED, 0, 4096, False, XA_ATOM, &type, &format,
                         &count, &after, &data) == Success &&
      data) {
    if (type == XA_ATOM && format == 32) {
      // Format-32 properties arrive as an array of long, whatever the size of long.
      const long* atoms = reinterpret_cast<const long*>(data);
      supported_.assign(atoms, atoms + count);
    }
    XFree(data);
  }
}

bool TX11Display::HasWindowManager() {
  WmSupports(0);
  return !supported_.empty();
}

bool TX11Display::WmSupports(Atom atom) {
  long now = MonotonicSeconds();
  if (supportedReadAt_ < 0 || now != supportedReadAt_) {
    ReadSupported();
    supportedReadAt_ = now;
  }
  if (atom == 0) return false;
  for (Atom a : supported_)
    if (a == atom) return true;
  return false;
}

}  // namespace vm
