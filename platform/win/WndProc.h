// Window procedures.
//
// A window procedure is either a plain function or a closure (a member
// function bound to its object, which is how subclass objects hook a window).
// Procedures compare equal when they are the same function or the same
// closure object, so "restore the previous procedure only if ours is still
// installed" works exactly as with the platform's function addresses.
//
// A closure can be retired (RemoveWindowProc does it when a subclass object
// goes while another subclass still holds it as its "previous" procedure):
// its code and captures are released at once (after the call in progress,
// if any) and every later call forwards to the procedure it had replaced, so
// the chain behind it never calls into a freed object.
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
  static WNDPROC FromClosure(TWndProcClosure closure);

  explicit operator bool() const { return fn_ != nullptr || box_ != nullptr; }

  LRESULT operator()(HWND h, UINT msg, WPARAM w, LPARAM l) const;

  // Releases the closure's code and captures and makes every later call go
  // to forward instead. No effect on plain functions or a procedure already
  // retired.
  void Retire(const WNDPROC& forward) const;
  bool Retired() const;
  // The procedure calls really end in: a retired closure's forward target (repeatedly).
  WNDPROC Resolved() const;

  friend bool operator==(const WNDPROC& a, const WNDPROC& b) {
    return a.fn_ == b.fn_ && a.box_ == b.box_;
  }

 private:
  struct TBox;
  struct TDepth;
  TWndProcFn fn_ = nullptr;
  std::shared_ptr<TBox> box_;
};

struct WNDPROC::TBox {
  TWndProcClosure Fn;
  WNDPROC Forward;  // where calls go once retired
  bool Retired = false;
  int Depth = 0;  // calls of Fn in progress (a procedure may retire itself while running)
};

// Counts a running call; the last one out frees the code of a retired closure.
struct WNDPROC::TDepth {
  explicit TDepth(TBox& b) : Box(b) { ++Box.Depth; }
  ~TDepth() {
    if (--Box.Depth == 0 && Box.Retired) Box.Fn = nullptr;
  }
  TDepth(const TDepth&) = delete;
  TDepth& operator=(const TDepth&) = delete;
  TBox& Box;
};

inline WNDPROC WNDPROC::FromClosure(TWndProcClosure closure) {
  WNDPROC p;
  p.box_ = std::make_shared<TBox>();
  p.box_->Fn = std::move(closure);
  return p;
}

inline LRESULT WNDPROC::operator()(HWND h, UINT msg, WPARAM w, LPARAM l) const {
  if (fn_) return fn_(h, msg, w, l);
  if (!box_) return 0;
  // Holds the box alive even if the call replaces or retires this procedure.
  std::shared_ptr<TBox> keep = box_;
  if (keep->Retired) return keep->Forward(h, msg, w, l);
  if (!keep->Fn) return 0;
  TDepth depth(*keep);
  return keep->Fn(h, msg, w, l);
}

inline void WNDPROC::Retire(const WNDPROC& forward) const {
  if (!box_ || box_->Retired) return;
  WNDPROC target = forward.Resolved();
  if (target.box_ == box_) target = WNDPROC();  // never forwards to itself
  box_->Retired = true;
  box_->Forward = std::move(target);
  if (box_->Depth == 0) box_->Fn = nullptr;  // else freed when the running call returns
}

inline bool WNDPROC::Retired() const {
  return box_ && box_->Retired;
}

inline WNDPROC WNDPROC::Resolved() const {
  WNDPROC p = *this;
  for (int guard = 0; p.box_ && p.box_->Retired && guard < 1000; ++guard) p = p.box_->Forward;
  return p;
}

}  // namespace vm
