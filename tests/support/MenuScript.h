// TMenuScript: what a test does while a menu runs its own modal loop. The
// headless host calls its idle handler whenever that loop waits for input;
// each wait runs the next scripted step, exactly where a user would act next.
// With nothing left to do, a menu that is still open is ended, so a test
// never waits forever.
#pragma once

#include <deque>
#include <functional>
#include <utility>

#include "platform/host/headless/HeadlessHost.h"
#include "platform/win/WinApi.h"

namespace vm::test {

class TMenuScript {
 public:
  // Takes the host's idle handler until Detach.
  void Attach(THeadlessHost& host) {
    host_ = &host;
    host.SetIdleHandler([this] {
      if (steps_.empty()) return GetTrackedMenu() ? EndMenu() : false;
      auto step = std::move(steps_.front());
      steps_.pop_front();
      step();
      return true;
    });
  }
  void Detach() {
    if (host_) host_->SetIdleHandler(nullptr);
    host_ = nullptr;
  }
  void push_back(std::function<void()> step) { steps_.push_back(std::move(step)); }
  bool empty() const { return steps_.empty(); }
  void clear() { steps_.clear(); }

 private:
  THeadlessHost* host_ = nullptr;
  std::deque<std::function<void()>> steps_;
};

}  // namespace vm::test
