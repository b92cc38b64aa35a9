#include "toolkit/Timer.h"

#include "toolkit/Application.h"

namespace vm {

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
  *alive_ = false;
  if (id_) KillTimer(nullptr, id_);
}

void TTimer::SetInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  UpdateTimer();
}

void TTimer::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  onTimer_ = std::make_shared<TNotifyEvent>(std::move(handler));
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  if (id_) {
    KillTimer(nullptr, id_);
    id_ = 0;
  }
  if (!enabled_ || interval_ == 0 || !*onTimer_ || IsLoading() || !GetHost()) return;
  std::weak_ptr<bool> alive = alive_;
  id_ = SetTimer(nullptr, 0, interval_, [this, alive](HWND, UINT, UINT_PTR, DWORD) {
    // A tick already queued when the timer was freed finds it gone.
    auto still = alive.lock();
    if (!still || !*still) return;
    Timer();
  });
  if (!id_) throw std::runtime_error("Not enough timers available");
}

void TTimer::Timer() {
  if (!*onTimer_) return;
  try {
    const std::shared_ptr<TNotifyEvent> handler = onTimer_;
    (*handler)(this);
  } catch (...) {
    if (!Application) throw;
    Application->HandleException(this);
  }
}

}  // namespace vm
