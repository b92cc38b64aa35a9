// TTimer: calls OnTimer every Interval milliseconds of the host's clock
// while Enabled (and while it has an OnTimer). It runs on the message loop's
// thread, from the loop, so OnTimer may do anything a click handler may; an
// exception from it goes to the application's error report and the timer
// keeps running.
#pragma once

#include <memory>

#include "platform/win/WinApi.h"
#include "toolkit/Control.h"

namespace vm {

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;
  std::string ClassName() const override { return "TTimer"; }

  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  void SetOnTimer(TNotifyEvent handler);
  const TNotifyEvent& OnTimer() const { return *onTimer_; }

 protected:
  virtual void Timer();
  void Loaded() override { UpdateTimer(); }

 private:
  void UpdateTimer();

  unsigned interval_ = 1000;
  bool enabled_ = true;
  // Shared so that a tick runs the handler itself (a handler keeping state
  // keeps it from tick to tick) while OnTimer may still be replaced or the
  // timer freed from inside the handler.
  std::shared_ptr<TNotifyEvent> onTimer_ = std::make_shared<TNotifyEvent>();
  UINT_PTR id_ = 0;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace vm
