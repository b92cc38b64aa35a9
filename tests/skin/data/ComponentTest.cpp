// The component base: ownership, names, free notifications, loading state,
// and the announcements of components coming and going.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/Component.h"

namespace vm {
namespace {

class Probe : public TComponent {
 public:
  explicit Probe(TComponent* owner, std::vector<std::string>* log = nullptr)
      : TComponent(owner), log_(log) {}
  ~Probe() override {
    if (log_) log_->push_back("free " + Name());
  }
  TComponent* watched = nullptr;
  bool sawDestroying = false;

 protected:
  void Loaded() override {
    if (log_) log_->push_back("loaded " + Name());
  }
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == TOperation::opRemove && c == watched) {
      sawDestroying = c->IsDestroying();
      watched = nullptr;
    }
  }

 private:
  std::vector<std::string>* log_;
};

TEST(Component, OwnerFreesOwnedComponentsLastFirst) {
  std::vector<std::string> log;
  {
    Probe owner(nullptr, &log);
    owner.SetName("owner");
    auto* a = Create<Probe>(&owner, &log);
    a->SetName("a");
    auto* b = Create<Probe>(&owner, &log);
    b->SetName("b");
    EXPECT_EQ(owner.ComponentCount(), 2);
    EXPECT_EQ(owner.Components(1), b);
    EXPECT_EQ(owner.Components(2), nullptr);
    EXPECT_EQ(b->ComponentIndex(), 1);
    EXPECT_EQ(owner.FindComponent("A"), a);
    EXPECT_THROW(b->SetName("A"), std::invalid_argument);
    delete a;  // freeing one removes it from its owner
    EXPECT_EQ(owner.ComponentCount(), 1);
    b->SetTag(-98);
    EXPECT_EQ(b->Tag(), -98);
  }
  EXPECT_EQ(log, (std::vector<std::string>{"free a", "free owner", "free b"}));
}

TEST(Component, FreeNotificationsBothWays) {
  Probe watcher(nullptr);
  auto* target = Create<Probe>(nullptr);
  watcher.watched = target;
  watcher.FreeNotification(target);
  delete target;
  EXPECT_EQ(watcher.watched, nullptr);
  EXPECT_TRUE(watcher.sawDestroying);

  // The watcher dying first unlinks itself: the target's death touches nothing.
  auto* w2 = Create<Probe>(nullptr);
  auto* t2 = Create<Probe>(nullptr);
  w2->FreeNotification(t2);
  delete w2;
  delete t2;  // ASan would catch a use of the freed watcher
}

TEST(Component, LoadingStateAndLoadedOrder) {
  std::vector<std::string> log;
  Probe form(nullptr, &log);
  form.SetName("form");
  auto* child = Create<Probe>(&form, &log);
  child->SetName("child");
  form.BeginLoading();
  EXPECT_TRUE(child->IsLoading());
  form.EndLoading();
  EXPECT_EQ(log, (std::vector<std::string>{"loaded form", "loaded child"}));
  log.clear();
  auto* second = Create<Probe>(&form, &log);
  second->SetName("second");
  auto* grandchild = Create<Probe>(child, &log);
  grandchild->SetName("grandchild");
  form.BeginLoading();
  form.EndLoading();
  EXPECT_FALSE(child->IsLoading());
  // Creation order, the root first, as the form reader loads them.
  EXPECT_EQ(log, (std::vector<std::string>{"loaded form", "loaded child", "loaded grandchild",
                                           "loaded second"}));
  delete second;
  log.clear();
  child->ChangeOwner(nullptr);
  EXPECT_EQ(form.ComponentCount(), 0);
  delete child;
}

// A component that writes down what it hears about others: the class each
// announced component has at that moment, and whether it casts to its class.
class Listener : public TComponent {
 public:
  explicit Listener(TComponent* owner, std::vector<std::string>* log)
      : TComponent(owner), log_(log) {}
  std::string ClassName() const override { return "Listener"; }
  std::function<void(TComponent*, TOperation)> OnHear;

 protected:
  void Notification(TComponent* c, TOperation op) override;

 private:
  std::vector<std::string>* log_;
};

// A component with a class of its own and a part that only the whole object has.
class Special : public Listener {
 public:
  explicit Special(TComponent* owner, std::vector<std::string>* log = nullptr)
      : Listener(owner, log), part_(new int(7)) {}
  ~Special() override { delete part_; }
  std::string ClassName() const override { return "Special"; }
  int Part() const { return *part_; }

 private:
  int* part_;
};

void Listener::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (c == this) return;
  if (log_) {
    auto* special = dynamic_cast<Special*>(c);
    log_->push_back(Name() + (op == TOperation::opInsert ? " +" : " -") + c->ClassName() +
                    (special ? " " + std::to_string(special->Part()) : ""));
  }
  if (OnHear) OnHear(c, op);
}

TEST(Component, SiblingsHearEachOtherComeAndGoWhole) {
  std::vector<std::string> log;
  auto* form = new TComponent;
  auto* a = Create<Listener>(form, &log);
  a->SetName("a");
  // Made with Create: heard once it is whole (its class, its parts).
  auto* s = Create<Special>(form);
  EXPECT_EQ(log, (std::vector<std::string>{"a +Special 7"}));
  // A component owned by a sibling hears it too: the owner passes it on.
  auto* inner = Create<Listener>(a, &log);
  inner->SetName("inner");
  log.clear();
  auto* t = Create<Special>(form);
  EXPECT_EQ(log, (std::vector<std::string>{"inner +Special 7", "a +Special 7"}));
  log.clear();
  // Freed: heard before any of its destructors has run.
  delete t;
  EXPECT_EQ(log, (std::vector<std::string>{"inner -Special 7", "a -Special 7"}));
  log.clear();
  // Moving to another owner: the old owner's components hear it go, the new ones it come.
  TComponent other;
  auto* watcher = Create<Listener>(&other, &log);
  watcher->SetName("w");
  s->ChangeOwner(&other);
  EXPECT_EQ(log, (std::vector<std::string>{"inner -Special 7", "a -Special 7", "w +Special 7"}));
  s->ChangeOwner(form);
  log.clear();
  // The owner frees its components last-made first, each heard whole by those left.
  delete form;
  EXPECT_EQ(log, (std::vector<std::string>{"inner -Special 7", "a -Special 7", "inner -Listener"}));
}

// Those linked by FreeNotification hear of a component right after its
// owner's components, before any of its destructors: whole. A component that
// must still address its listeners as it goes does so in BeforeDestruction,
// before they are told. One destroyed in place is heard of from the base
// destructor, as a TComponent.
TEST(Component, FreeNotificationComesWhileTheComponentIsWhole) {
  std::vector<std::string> log;
  auto* watcher = Create<Listener>(nullptr, &log);
  watcher->SetName("w");
  TComponent form;
  auto* sibling = Create<Listener>(&form, &log);
  sibling->SetName("sibling");
  struct Talking : Special {
    using Special::Special;
    std::vector<std::string>* Said = nullptr;
    void BeforeDestruction() override {
      Said->push_back("goodbye");
      Special::BeforeDestruction();
    }
    ~Talking() override { Said->push_back("gone"); }
  };
  auto* s = Create<Talking>(&form);
  s->Said = &log;
  watcher->FreeNotification(s);
  log.clear();
  delete s;
  EXPECT_EQ(log,
            (std::vector<std::string>{"goodbye", "sibling -Special 7", "w -Special 7", "gone"}));
  log.clear();
  {
    Special local(nullptr);
    watcher->FreeNotification(&local);
  }
  EXPECT_EQ(log, (std::vector<std::string>{"w -TComponent"}));
  // Listeners that unlink or free themselves, or free another listener,
  // while they are told: each is told once, none after it is gone.
  auto* t = Create<Special>(nullptr);
  auto* quitter = Create<Listener>(nullptr, &log);
  quitter->SetName("quitter");
  auto* doomed = Create<Listener>(nullptr, &log);
  doomed->SetName("doomed");
  auto* self = Create<Listener>(nullptr, &log);
  self->SetName("self");
  for (TComponent* c : {static_cast<TComponent*>(watcher), static_cast<TComponent*>(quitter),
                        static_cast<TComponent*>(doomed), static_cast<TComponent*>(self)})
    c->FreeNotification(t);
  watcher->OnHear = [&](TComponent* who, TOperation op) {
    if (who == t && op == TOperation::opRemove) {
      Listener* victim = doomed;
      watcher->OnHear = nullptr;  // frees this handler: nothing it holds is used after
      delete victim;              // unlinks it: it hears nothing
    }
  };
  quitter->OnHear = [&](TComponent* who, TOperation) {
    Listener* me = quitter;
    me->OnHear = nullptr;
    me->RemoveFreeNotification(who);
  };
  self->OnHear = [&](TComponent*, TOperation) {
    Listener* me = self;
    me->OnHear = nullptr;
    delete me;
  };
  log.clear();
  delete t;
  std::sort(log.begin(), log.end());
  EXPECT_EQ(log,
            (std::vector<std::string>{"quitter -Special 7", "self -Special 7", "w -Special 7"}));
  delete quitter;
  delete watcher;
}

// Listeners that free other components while they are being told: nothing is
// told twice about a freed component, nothing freed is touched (the sanitizers
// watch this), nothing leaks.
TEST(Component, ListenersMayFreeSiblingsFromANotification) {
  std::vector<std::string> log;
  auto* form = new TComponent;
  auto* a = Create<Listener>(form, &log);
  a->SetName("a");
  auto* b = Create<Listener>(form, &log);
  b->SetName("b");
  auto* c = Create<Listener>(form, &log);
  c->SetName("c");
  auto* d = Create<Special>(form);
  d->SetName("d");
  // a frees c when it hears d go: c is gone before its turn, and the others
  // hear of c as well.
  a->OnHear = [&](TComponent* who, TOperation op) {
    if (who == d && op == TOperation::opRemove) {
      TComponent* doomed = c;
      a->OnHear = nullptr;  // frees this handler: nothing it holds is used after
      delete doomed;
    }
  };
  log.clear();
  delete d;
  EXPECT_EQ(log, (std::vector<std::string>{"a -Special 7", "a -Listener", "b -Listener",
                                           "b -Special 7"}));
  EXPECT_EQ(form->ComponentCount(), 2);
  // b frees the component it is being told about: the second delete is
  // ignored and the first one finishes.
  auto* e = Create<Special>(form);
  b->OnHear = [&](TComponent* who, TOperation op) {
    if (who == e && op == TOperation::opRemove) delete e;
  };
  delete e;
  b->OnHear = nullptr;
  EXPECT_EQ(form->ComponentCount(), 2);
  // A listener frees a sibling as soon as it hears one come.
  auto* f = Create<Listener>(form, nullptr);
  a->OnHear = [&](TComponent* who, TOperation op) {
    if (op == TOperation::opInsert && who != f && f) {
      delete f;
      f = nullptr;
    }
  };
  Create<Special>(form);
  EXPECT_EQ(f, nullptr);
  EXPECT_EQ(form->ComponentCount(), 3);
  // While the owner frees everything, a listener frees another one.
  a->OnHear = [&](TComponent*, TOperation op) {
    if (op == TOperation::opRemove && form->ComponentCount() == 3) delete b;
  };
  delete form;
}

TEST(Component, AComponentFreeingItsOwnerFromItsDestructorIsFreedOnce) {
  auto* owner = new TComponent;
  struct Freeing : TComponent {
    using TComponent::TComponent;
    ~Freeing() override { delete Owner(); }
  };
  Create<Freeing>(owner);
  delete owner->Components(0);
}

}  // namespace
}  // namespace vm
