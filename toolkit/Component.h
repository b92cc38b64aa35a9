// The window-free component model: every non-visual and visual part of the
// program is a TComponent. A component has an owner that destroys it, a list
// of the components it owns, a Name, a Tag, and state flags for the time it is
// being loaded or destroyed. Components that keep a reference to another
// component ask to be told when it goes away (FreeNotification).
//
// Announcements. A component's arrival and departure are announced to its
// owner through Notification(opInsert / opRemove), and the owner passes them
// on to everything it owns, so every component of a form hears its siblings
// come and go. Both announcements are made while the component concerned is
// whole, so that a listener can ask its ClassName or cast it:
// - Create<T>(owner, ...) makes a component and announces it once its most
//   derived constructor has finished (AfterConstruction). A component made
//   with a plain `new T(owner)` is announced from the base constructor, as
//   far as it is built then; components with an owner are made with Create.
// - `delete component` runs BeforeDestruction before any destructor: the
//   component is marked destroying, its owner (with everything it owns)
//   hears opRemove, then each component linked to it by FreeNotification. A
//   component that must still address its listeners as it goes (a skin
//   manager telling its controls it switches off) does so in its own
//   BeforeDestruction, before calling the base. One destroyed in place is
//   announced from the base destructor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
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

  // `delete` on a component: the removal is announced while the object is
  // still whole, then it is destroyed and its memory freed. A second delete of
  // a component whose destruction is already under way (a listener freeing
  // what is being freed) is ignored.
  static void operator delete(TComponent* component, std::destroying_delete_t);
  // The plain allocation, and its release when a constructor throws inside `new`.
  static void* operator new(std::size_t size) { return ::operator new(size); }
  static void operator delete(void* memory) { ::operator delete(memory); }

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
  // form. EndLoading clears the mark on all of them and calls Loaded() on
  // each in creation order: this component first, then each owned component
  // (and what it owns) in the order they were made, like the form reader does.
  void BeginLoading();
  void EndLoading();

  // Moves ownership to another owner (or to none); the old owner hears
  // opRemove and the new one opInsert.
  void ChangeOwner(TComponent* newOwner);

  // Asks to be told through Notification(opRemove) when `other` is destroyed.
  // The link works both ways: whichever dies first unlinks itself.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);

  // Runs once the most derived constructor has finished (Create calls it):
  // announces the component to its owner. Overrides call the base first.
  virtual void AfterConstruction();
  // Runs before any destructor when the component is deleted: marks it
  // destroying and announces its removal to the owner and to the components
  // linked to it. Call the base last.
  virtual void BeforeDestruction();

  // Used by Create: the memory the next component is being built in, so that
  // its base constructor leaves the announcement to AfterConstruction.
  class TConstruction {
   public:
    TConstruction(const void* memory, std::size_t size);
    ~TConstruction();
    TConstruction(const TConstruction&) = delete;
    TConstruction& operator=(const TConstruction&) = delete;

   private:
    const void* previousBegin_;
    const void* previousEnd_;
  };

 protected:
  // Called after the stored properties have been read.
  virtual void Loaded() {}
  // Called when a component is added to or removed from the owner's list (on
  // the owner, which passes it on to every component it owns), and on the
  // components that asked for a free notification of a component being
  // destroyed. Overrides call the base so that the owned components hear it.
  virtual void Notification(TComponent* component, TOperation operation);
  // Sets csDestroying on this component and its owned components. Derived
  // destructors may call it first so that their own teardown sees the flag.
  void Destroying();

 private:
  // One free-notification link; Told: the other has heard of this removal.
  struct TLink {
    TComponent* Other;
    bool Told;
  };

  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Tells the owner (and so every component it owns) about a component.
  void Announce(TComponent* component, TOperation operation);
  bool Owns(const TComponent* component) const;
  bool LinkedTo(const TComponent* other) const;
  void Unlink(TComponent* other);
  void SetLoadingState(bool on);
  void CallLoaded();

  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TLink> freeNotifies_;
  std::string name_;
  std::intptr_t tag_ = 0;
  unsigned state_ = 0;
  bool announcePending_ = false;  // owned, but its arrival not yet announced
  bool removalAnnounced_ = false;
  bool freeing_ = false;  // `delete` is under way
};

// Makes a component and announces it to its owner once it is whole. Every
// component with an owner is made this way: Create<TButton>(form).
template <class T, class... Args>
T* Create(Args&&... args) {
  static_assert(std::is_base_of_v<TComponent, T>, "Create makes components");
  void* memory = ::operator new(sizeof(T));
  T* component;
  try {
    TComponent::TConstruction building(memory, sizeof(T));
    component = ::new (memory) T(std::forward<Args>(args)...);
  } catch (...) {
    ::operator delete(memory);
    throw;
  }
  component->AfterConstruction();
  return component;
}

}  // namespace vm
