// The window-free component model: every non-visual and visual part of the
// program is a TComponent. A component has an owner that destroys it, a list
// of the components it owns, a Name, a Tag, and state flags for the time it is
// being loaded or destroyed. Components that keep a reference to another
// component ask to be told when it goes away (FreeNotification).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

enum class TOperation { opInsert, opRemove };

// Component state bits, as a small flag set.
enum TComponentStateBits : unsigned {
  csLoading = 1u << 0,     // properties are being read from the stored form
  csDestroying = 1u << 1,  // the destructor has started
  csDesigning = 1u << 2,   // a form designer owns it (never set in the program)
};

class TComponent {
 public:
  // The owner takes ownership: it deletes this component when it is destroyed.
  // A null owner leaves the caller responsible.
  explicit TComponent(TComponent* owner = nullptr);
  virtual ~TComponent();

  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  virtual std::string ClassName() const { return "TComponent"; }

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return int(components_.size()); }
  // The owned component at an index in creation order; nullptr when out of range.
  TComponent* Components(int index) const;
  // The index of this component in its owner's list, or -1.
  int ComponentIndex() const;
  // First owned component whose name equals the given one (ASCII case ignored,
  // as the component streaming did), or nullptr.
  TComponent* FindComponent(std::string_view name) const;

  const std::string& Name() const { return name_; }
  // Throws std::invalid_argument when another component of the same owner
  // already carries the (non-empty) name.
  void SetName(const std::string& name);

  std::intptr_t Tag() const { return tag_; }
  void SetTag(std::intptr_t tag) { tag_ = tag; }

  unsigned ComponentState() const { return state_; }
  bool IsLoading() const { return (state_ & csLoading) != 0; }
  bool IsDestroying() const { return (state_ & csDestroying) != 0; }
  bool IsDesigning() const { return (state_ & csDesigning) != 0; }

  // Marks this component and everything it owns as being loaded from a stored
  // form. EndLoading clears the mark on all of them and calls Loaded() on each,
  // owned components first and this one last, like the form reader does.
  void BeginLoading();
  void EndLoading();

  // Moves ownership to another owner (or to none).
  void ChangeOwner(TComponent* newOwner);

  // Asks to be told through Notification(opRemove) when `other` is destroyed.
  // The link works both ways: whichever dies first unlinks itself.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);

 protected:
  // Called after the stored properties have been read.
  virtual void Loaded() {}
  // Called when an owned component is added or removed, and on the components
  // that asked for a free notification of a component being destroyed.
  virtual void Notification(TComponent* component, TOperation operation);
  // Sets csDestroying on this component and its owned components. Derived
  // destructors may call it first so that their own teardown sees the flag.
  void Destroying();

 private:
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  void SetLoadingState(bool on);
  void CallLoaded();

  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  std::string name_;
  std::intptr_t tag_ = 0;
  unsigned state_ = 0;
};

}  // namespace vm
