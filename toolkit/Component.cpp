#include "toolkit/Component.h"
#include "platform/base/AsciiCase.h"

#include <algorithm>
#include <stdexcept>

namespace vm {

namespace {

// The memory Create is building a component in (empty: none).
thread_local const void* gBuildingBegin = nullptr;
thread_local const void* gBuildingEnd = nullptr;

}  // namespace

TComponent::TConstruction::TConstruction(const void* memory, std::size_t size)
    : previousBegin_(gBuildingBegin), previousEnd_(gBuildingEnd) {
  gBuildingBegin = memory;
  gBuildingEnd = static_cast<const char*>(memory) + size;
}

TComponent::TConstruction::~TConstruction() {
  gBuildingBegin = previousBegin_;
  gBuildingEnd = previousEnd_;
}

TComponent::TComponent(TComponent* owner) {
  // The first component base built in Create's memory is the one Create
  // announces; anything else made meanwhile (a component its constructor
  // makes with plain new) is announced at once.
  const auto* self = reinterpret_cast<const char*>(this);
  const auto* begin = static_cast<const char*>(gBuildingBegin);
  const auto* end = static_cast<const char*>(gBuildingEnd);
  bool built = begin && std::less_equal<>()(begin, self) && std::less<>()(self, end);
  if (built) gBuildingBegin = gBuildingEnd = nullptr;
  if (!owner) return;
  owner_ = owner;
  owner->components_.push_back(this);
  if (built)
    announcePending_ = true;
  else
    owner->Announce(this, TOperation::opInsert);
}

void TComponent::operator delete(TComponent* component, std::destroying_delete_t) {
  if (component->freeing_) return;
  component->freeing_ = true;
  try {
    component->BeforeDestruction();
  } catch (...) {
    // A listener's error must not leave the component half freed; it is
    // destroyed all the same.
  }
  // The start of the whole object: the memory new returned.
  void* memory = dynamic_cast<void*>(component);
  component->~TComponent();
  ::operator delete(memory);
}

void TComponent::AfterConstruction() {
  if (!announcePending_) return;
  announcePending_ = false;
  if (owner_) owner_->Announce(this, TOperation::opInsert);
}

void TComponent::BeforeDestruction() {
  if (removalAnnounced_) return;
  removalAnnounced_ = true;
  Destroying();
  // The owner and everything it owns hear it now, while it is whole. The
  // component keeps its Owner and its place in the owner's list until its
  // base destructor, as the component library does.
  if (owner_ && !announcePending_) owner_->Announce(this, TOperation::opRemove);
  // Then those linked to it, each once. A listener may unlink itself, link
  // another or free itself (its destructor unlinks it): the list is searched
  // again after each. The links themselves stay until the base destructor.
  for (;;) {
    auto it = std::find_if(freeNotifies_.begin(), freeNotifies_.end(),
                           [](const TLink& l) { return !l.Told; });
    if (it == freeNotifies_.end()) break;
    it->Told = true;
    TComponent* other = it->Other;
    other->Notification(this, TOperation::opRemove);
  }
}

TComponent::~TComponent() {
  Destroying();
  // The links are undone; those not yet told (a component destroyed in
  // place, without delete, or linked by a destructor) hear it here, as does
  // the owner of one destroyed in place.
  while (!freeNotifies_.empty()) {
    TLink link = freeNotifies_.back();
    freeNotifies_.pop_back();
    auto& theirs = link.Other->freeNotifies_;
    theirs.erase(std::remove_if(theirs.begin(), theirs.end(),
                                [this](const TLink& l) { return l.Other == this; }),
                 theirs.end());
    if (!link.Told) link.Other->Notification(this, TOperation::opRemove);
  }
  // Owned components die last-created first. Each is announced while whole
  // (delete runs its BeforeDestruction) and leaves the list in its destructor.
  while (!components_.empty()) {
    TComponent* child = components_.back();
    if (child->freeing_) {
      // Its own delete is under way further up (it freed this owner): it
      // finishes there, without an owner.
      components_.pop_back();
      child->owner_ = nullptr;
      continue;
    }
    delete child;
  }
  if (owner_) {
    if (removalAnnounced_ || announcePending_) {
      auto& list = owner_->components_;
      list.erase(std::remove(list.begin(), list.end(), this), list.end());
      owner_ = nullptr;
    } else {
      owner_->RemoveComponent(this);
    }
  }
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
  Loaded();
  // Copy: a Loaded handler may create or free components.
  std::vector<TComponent*> children = components_;
  for (TComponent* c : children)
    if (Owns(c)) c->CallLoaded();
}

void TComponent::ChangeOwner(TComponent* newOwner) {
  if (newOwner == owner_) return;
  if (owner_) owner_->RemoveComponent(this);
  if (newOwner) newOwner->InsertComponent(this);
}

bool TComponent::LinkedTo(const TComponent* other) const {
  return std::any_of(freeNotifies_.begin(), freeNotifies_.end(),
                     [other](const TLink& l) { return l.Other == other; });
}

void TComponent::FreeNotification(TComponent* other) {
  if (!other || other == this) return;
  if (!LinkedTo(other)) freeNotifies_.push_back({other, false});
  if (!other->LinkedTo(this)) other->freeNotifies_.push_back({this, false});
}

void TComponent::Unlink(TComponent* other) {
  freeNotifies_.erase(std::remove_if(freeNotifies_.begin(), freeNotifies_.end(),
                                     [other](const TLink& l) { return l.Other == other; }),
                      freeNotifies_.end());
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  if (!other) return;
  Unlink(other);
  other->Unlink(this);
}

bool TComponent::Owns(const TComponent* component) const {
  return std::find(components_.begin(), components_.end(), component) != components_.end();
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (components_.empty()) return;
  // Passed on to the owned components. The list may change under a listener
  // (one may free a sibling): each is looked up again before it is told, and
  // one still being built (its announcement pending) is left out.
  std::vector<TComponent*> owned = components_;
  for (TComponent* c : owned)
    if (Owns(c) && !c->announcePending_) c->Notification(component, operation);
}

void TComponent::Announce(TComponent* component, TOperation operation) {
  Notification(component, operation);
}

void TComponent::Destroying() {
  if (state_ & csDestroying) return;
  state_ |= csDestroying;
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::InsertComponent(TComponent* component) {
  component->owner_ = this;
  components_.push_back(component);
  Announce(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!Owns(component)) return;
  if (!component->announcePending_) Announce(component, TOperation::opRemove);
  auto it = std::find(components_.begin(), components_.end(), component);
  if (it == components_.end()) return;
  components_.erase(it);
  component->owner_ = nullptr;
}

}  // namespace vm
