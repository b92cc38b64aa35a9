// Window procedures.
//
// A window procedure is either a plain function or a closure (a member
// function bound to its object, which is how subclass objects hook a window).
// Procedures compare equal when they are the same function or the same
// closure object, so "restore the previous procedure only if ours is still
// installed" works exactly as with the platform's function addresses.
#pragma once

#include <functional>
#include <memory>

#include "platform/win/WinDefs.h"

namespace vm {

using TWndProcFn = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TWndProcClosure = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

class WNDPROC {
 public:
  WNDPROC() = default;
  WNDPROC(std::nullptr_t) {}
  WNDPROC(TWndProcFn fn) : fn_(fn) {}  // NOLINT: a function is a procedure

  // Wraps a closure. Every call makes a new, distinct procedure; keep the
  // returned value to compare against and to restore later.
  static WNDPROC FromClosure(TWndProcClosure closure) {
    WNDPROC p;
    p.closure_ = std::make_shared<const TWndProcClosure>(std::move(closure));
    return p;
  }

  explicit operator bool() const { return fn_ != nullptr || closure_ != nullptr; }

  LRESULT operator()(HWND h, UINT msg, WPARAM w, LPARAM l) const {
    if (fn_) return fn_(h, msg, w, l);
    if (closure_ && *closure_) {
      // Holds the closure alive even if the call replaces this procedure.
      auto keep = closure_;
      return (*keep)(h, msg, w, l);
    }
    return 0;
  }

  friend bool operator==(const WNDPROC& a, const WNDPROC& b) {
    return a.fn_ == b.fn_ && a.closure_ == b.closure_;
  }

 private:
  TWndProcFn fn_ = nullptr;
  std::shared_ptr<const TWndProcClosure> closure_;
};

}  // namespace vm
