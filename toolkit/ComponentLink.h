// TComponentLink: a pointer to a component that turns into nullptr when the
// component is freed. Holders that must not keep a freed skin manager (a
// control's skin state, the control adapter, a window subclass) keep one of
// these instead of each writing the same free-notification class.
#pragma once

#include "toolkit/Component.h"

namespace vm {

template <class T>
class TComponentLink : public TComponent {
 public:
  TComponentLink() = default;
  explicit TComponentLink(T* target) { Set(target); }
  ~TComponentLink() override { Set(nullptr); }
  TComponentLink(const TComponentLink&) = delete;
  TComponentLink& operator=(const TComponentLink&) = delete;

  T* Get() const { return static_cast<T*>(target_); }
  void Set(T* target) {
    TComponent* next = target;
    if (next == target_) return;
    if (target_) RemoveFreeNotification(target_);
    target_ = next;
    if (target_) FreeNotification(target_);
  }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == target_) target_ = nullptr;
  }

 private:
  // Kept as a component so that the header needs no complete T.
  TComponent* target_ = nullptr;
};

}  // namespace vm
