// The clipboard on X11: the CLIPBOARD selection.
//
// Setting the text makes the program the selection's owner; while it owns
// it, the host hands SelectionRequest events here and other programs get the
// text as UTF8_STRING or STRING (Latin-1, characters outside it become "?"),
// and the list of both under TARGETS. Texts too large for one request are
// refused rather than sent in pieces (no INCR). Reading asks the owner for
// UTF8_STRING (then STRING) and waits a bounded time for the answer, so a
// hung owner cannot hang the program.
#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string>

namespace vm {

class TX11Clipboard {
 public:
  // How long reading waits for another program's answer.
  static constexpr int ReadTimeoutMs = 1000;

  explicit TX11Clipboard(::Display* dpy);
  ~TX11Clipboard();
  TX11Clipboard(const TX11Clipboard&) = delete;
  TX11Clipboard& operator=(const TX11Clipboard&) = delete;

  void SetText(const std::string& utf8, Time time);
  std::optional<std::string> Text();
  // Takes the selection events meant for the clipboard; false for any other event.
  bool Handle(const XEvent& ev);
  bool Owns() const { return owned_; }

 private:
  void Answer(const XSelectionRequestEvent& req);
  std::optional<std::string> Request(Atom target);

  ::Display* dpy_;
  ::Window win_ = 0;
  Atom clipboard_, utf8_, targets_, property_, incr_;
  bool owned_ = false;
  std::string text_;
};

}  // namespace vm
