#include "toolkit/Component.h"
#include "platform/base/AsciiCase.h"

#include <algorithm>
#include <stdexcept>

namespace vm {

namespace {


}  // namespace

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Tell everyone who asked; they drop their references. Each notified
  // component unlinks itself from our list through RemoveFreeNotification.
  while (!freeNotifies_.empty()) {
    TComponent* other = freeNotifies_.back();
    freeNotifies_.pop_back();
    auto& theirs = other->freeNotifies_;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
    other->Notification(this, TOperation::opRemove);
  }
  // Owned components die last-created first.
  while (!components_.empty()) {
    TComponent* child = components_.back();
    RemoveComponent(child);
    delete child;
  }
  if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= int(components_.size())) return nullptr;
  return components_[std::size_t(index)];
}

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  const auto& list = owner_->components_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : int(it - list.begin());
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameTextAscii(c->name_, name)) return c;
  return nullptr;
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && owner_) {
    TComponent* other = owner_->FindComponent(name);
    if (other && other != this)
      throw std::invalid_argument("A component named " + name + " already exists");
  }
  name_ = name;
}

void TComponent::BeginLoading() {
  SetLoadingState(true);
}

void TComponent::EndLoading() {
  SetLoadingState(false);
  CallLoaded();
}

void TComponent::SetLoadingState(bool on) {
  if (on)
    state_ |= csLoading;
  else
    state_ &= ~unsigned(csLoading);
  for (TComponent* c : components_) c->SetLoadingState(on);
}

void TComponent::CallLoaded() {
  // Copy: a Loaded handler may create components.
  std::vector<TComponent*> children = components_;
  for (TComponent* c : children) c->CallLoaded();
  Loaded();
}

void TComponent::ChangeOwner(TComponent* newOwner) {
  if (newOwner == owner_) return;
  if (owner_) owner_->RemoveComponent(this);
  if (newOwner) newOwner->InsertComponent(this);
}

void TComponent::FreeNotification(TComponent* other) {
  if (!other || other == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end())
    freeNotifies_.push_back(other);
  if (std::find(other->freeNotifies_.begin(), other->freeNotifies_.end(), this) ==
      other->freeNotifies_.end())
    other->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  if (!other) return;
  freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), other),
                      freeNotifies_.end());
  other->freeNotifies_.erase(
      std::remove(other->freeNotifies_.begin(), other->freeNotifies_.end(), this),
      other->freeNotifies_.end());
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::Destroying() {
  if (state_ & csDestroying) return;
  state_ |= csDestroying;
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::InsertComponent(TComponent* component) {
  component->owner_ = this;
  components_.push_back(component);
  Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  auto it = std::find(components_.begin(), components_.end(), component);
  if (it == components_.end()) return;
  Notification(component, TOperation::opRemove);
  components_.erase(std::find(components_.begin(), components_.end(), component));
  component->owner_ = nullptr;
}

}  // namespace vm
