#include "skin/data/AnimEffects.h"

#include "skin/data/SkinManager.h"

namespace vm {

namespace {
TnxBtnEvents globalBtnEvents = AllBtnEvents;
}

TnxBtnEvents GlobalBtnEvents() {
  return globalBtnEvents;
}

namespace detail {
void SetGlobalBtnEvents(TnxBtnEvents events) {
  globalBtnEvents = events;
}
}  // namespace detail

TnxBtnEvents TnxBtnEffects::Events() const {
  return globalBtnEvents;
}

void TnxBtnEffects::SetEvents(TnxBtnEvents events) {
  events_ = events;
  if (manager_ && manager_->IsDefault()) detail::SetGlobalBtnEvents(events);
}

}  // namespace vm
