// The component base: ownership, names, free notifications, loading state.
#include <gtest/gtest.h>

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
    auto* a = new Probe(&owner, &log);
    a->SetName("a");
    auto* b = new Probe(&owner, &log);
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
  auto* target = new Probe(nullptr);
  watcher.watched = target;
  watcher.FreeNotification(target);
  delete target;
  EXPECT_EQ(watcher.watched, nullptr);
  EXPECT_TRUE(watcher.sawDestroying);

  // The watcher dying first unlinks itself: the target's death touches nothing.
  auto* w2 = new Probe(nullptr);
  auto* t2 = new Probe(nullptr);
  w2->FreeNotification(t2);
  delete w2;
  delete t2;  // ASan would catch a use of the freed watcher
}

TEST(Component, LoadingStateAndLoadedOrder) {
  std::vector<std::string> log;
  Probe form(nullptr, &log);
  form.SetName("form");
  auto* child = new Probe(&form, &log);
  child->SetName("child");
  form.BeginLoading();
  EXPECT_TRUE(child->IsLoading());
  form.EndLoading();
  EXPECT_FALSE(child->IsLoading());
  EXPECT_EQ(log, (std::vector<std::string>{"loaded child", "loaded form"}));
  child->ChangeOwner(nullptr);
  EXPECT_EQ(form.ComponentCount(), 0);
  delete child;
}

}  // namespace
}  // namespace vm
