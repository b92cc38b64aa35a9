#include "platform/host/x11/X11Clipboard.h"

#include <X11/Xatom.h>
#include <poll.h>
#include <time.h>

#include <algorithm>
#include <cstdint>

namespace vm {

namespace {

std::uint64_t NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return std::uint64_t(ts.tv_sec) * 1000u + std::uint64_t(ts.tv_nsec) / 1000000u;
}

// UTF-8 to Latin-1 for the STRING target; what Latin-1 lacks becomes "?".
std::string ToLatin1(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t len = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    if (i + len > s.size()) len = s.size() - i;
    if (len == 1) {
      out += b < 0x80 ? char(b) : '?';
    } else if (len == 2) {
      const unsigned cp = ((b & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu);
      out += cp <= 0xFF ? char(cp) : '?';
    } else {
      out += '?';
    }
    i += len;
  }
  return out;
}

std::string FromLatin1(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    if (c < 0x80) {
      out += char(c);
    } else {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace

TX11Clipboard::TX11Clipboard(::Display* dpy) : dpy_(dpy) {
  XSetWindowAttributes attrs{};
  attrs.event_mask = PropertyChangeMask;
  // An unmapped window of our own: the selection's owner and the place
  // answers from other programs are delivered to.
  win_ = XCreateWindow(dpy_, DefaultRootWindow(dpy_), -10, -10, 1, 1, 0, 0, InputOnly,
                       CopyFromParent, CWEventMask, &attrs);
  clipboard_ = XInternAtom(dpy_, "CLIPBOARD", False);
  utf8_ = XInternAtom(dpy_, "UTF8_STRING", False);
  targets_ = XInternAtom(dpy_, "TARGETS", False);
  property_ = XInternAtom(dpy_, "VELMORA_CLIPBOARD", False);
  incr_ = XInternAtom(dpy_, "INCR", False);
}

TX11Clipboard::~TX11Clipboard() {
  if (win_) XDestroyWindow(dpy_, win_);
}

void TX11Clipboard::SetText(const std::string& utf8, Time time) {
  text_ = utf8;
  XSetSelectionOwner(dpy_, clipboard_, win_, time);
  owned_ = XGetSelectionOwner(dpy_, clipboard_) == win_;
  XFlush(dpy_);
}

bool TX11Clipboard::Handle(const XEvent& ev) {
  if (ev.type == SelectionRequest && ev.xselectionrequest.owner == win_) {
    Answer(ev.xselectionrequest);
    return true;
  }
  if (ev.type == SelectionClear && ev.xselectionclear.window == win_) {
    if (ev.xselectionclear.selection == clipboard_) {
      // Another program took the clipboard: our copy is no longer the clipboard.
      owned_ = false;
      text_.clear();
    }
    return true;
  }
  // Answers to our own requests arrive while Request waits; late ones are dropped.
  if ((ev.type == SelectionNotify || ev.type == PropertyNotify) && ev.xany.window == win_)
    return true;
  return false;
}

void TX11Clipboard::Answer(const XSelectionRequestEvent& req) {
  XEvent reply{};
  reply.xselection.type = SelectionNotify;
  reply.xselection.display = req.display;
  reply.xselection.requestor = req.requestor;
  reply.xselection.selection = req.selection;
  reply.xselection.target = req.target;
  reply.xselection.time = req.time;
  // Old clients name no property: the target is used instead.
  const Atom property = req.property != None ? req.property : req.target;
  reply.xselection.property = None;
  if (owned_ && req.selection == clipboard_) {
    const long maxBytes = std::max(XExtendedMaxRequestSize(dpy_), XMaxRequestSize(dpy_)) * 4 - 256;
    if (req.target == targets_) {
      const Atom list[] = {targets_, utf8_, XA_STRING};
      XChangeProperty(dpy_, req.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(list), 3);
      reply.xselection.property = property;
    } else if (req.target == utf8_ || req.target == XA_STRING) {
      const std::string data = req.target == utf8_ ? text_ : ToLatin1(text_);
      if (long(data.size()) <= maxBytes) {
        XChangeProperty(dpy_, req.requestor, property, req.target, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(data.data()), int(data.size()));
        reply.xselection.property = property;
      }
    }
  }
  XSendEvent(dpy_, req.requestor, False, NoEventMask, &reply);
  XFlush(dpy_);
}

std::optional<std::string> TX11Clipboard::Text() {
  if (owned_) return text_;
  if (XGetSelectionOwner(dpy_, clipboard_) == None) return std::nullopt;
  if (auto text = Request(utf8_)) return text;
  if (auto text = Request(XA_STRING)) return FromLatin1(*text);
  return std::nullopt;
}

std::optional<std::string> TX11Clipboard::Request(Atom target) {
  XDeleteProperty(dpy_, win_, property_);
  XConvertSelection(dpy_, clipboard_, target, property_, win_, CurrentTime);
  XFlush(dpy_);
  const std::uint64_t deadline = NowMs() + ReadTimeoutMs;
  XEvent ev;
  while (true) {
    // Only our answer is taken from the queue; every other event stays for the loop.
    if (XCheckTypedWindowEvent(dpy_, win_, SelectionNotify, &ev)) break;
    const std::uint64_t now = NowMs();
    if (now >= deadline) return std::nullopt;
    pollfd p{ConnectionNumber(dpy_), POLLIN, 0};
    poll(&p, 1, int(deadline - now));
    if (p.revents & (POLLERR | POLLHUP)) return std::nullopt;
    XEventsQueued(dpy_, QueuedAfterReading);
  }
  if (ev.xselection.property == None || ev.xselection.target != target) return std::nullopt;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string out;
  long offset = 0;
  // Read the property whole (in chunks of a megabyte), then delete it.
  do {
    if (XGetWindowProperty(dpy_, win_, property_, offset, 1L << 18, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) != Success)
      return std::nullopt;
    if (type == incr_ || format != 8) {
      if (data) XFree(data);
      XDeleteProperty(dpy_, win_, property_);
      return std::nullopt;  // sent in pieces or not text: not supported
    }
    if (data) {
      out.append(reinterpret_cast<const char*>(data), count);
      XFree(data);
      data = nullptr;
    }
    offset += long(count / 4);
  } while (after > 0 && count > 0);
  XDeleteProperty(dpy_, win_, property_);
  return out;
}

}  // namespace vm
