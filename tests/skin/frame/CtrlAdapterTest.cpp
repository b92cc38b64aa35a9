// The control adapter on a form of standard controls: which controls it
// takes (class lists, Tag -98, controls that skin themselves, the skinning
// rules), platform labels recoloured, the scan guard, commands relayed to
// the items, stale items and the order of removal. The subclass objects here
// are small window-procedure hooks registered for the test.
#include <algorithm>

#include "skin/data/SkinManager.h"
#include "skin/frame/CtrlAdapter.h"
#include "skin/state/CommonData.h"
#include "skin/state/SkinCommand.h"
#include "tests/skin/controls/ControlsTestSupport.h"
#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Edit.h"
#include "toolkit/Label.h"

namespace vm::test {
namespace {

std::vector<std::string>* gLog = nullptr;

// A subclass object as the subclassing layer makes them: it answers command
// 7, logs the commands it gets and gives the procedure back when freed.
class TLoggingSubclass : public TnxAdapterSubclass {
 public:
  TLoggingSubclass(HWND h, TsCommonData& data) : hwnd_(h), name_(GetWindowText(h)) {
    Section = data.SkinSection();
    mine_ = WNDPROC::FromClosure([this](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
      if (m == SM_NIRVEXCMD && CommandOf(wp) == CmdQueryHandled) return 1;
      if (m == SM_NIRVEXCMD && gLog) gLog->push_back(name_ + ":" + std::to_string(CommandOf(wp)));
      if (m == WM_NCDESTROY) detached_ = true;
      return CallWindowProc(previous_, w, m, wp, lp);
    });
    previous_ = SetWindowProc(h, mine_);
  }
  ~TLoggingSubclass() override {
    if (gLog) gLog->push_back("free " + name_);
    RemoveWindowProc(hwnd_, mine_, previous_);
  }
  bool Detached() const override { return detached_; }
  std::string Section;

 private:
  HWND hwnd_;
  std::string name_;
  WNDPROC mine_, previous_;
  bool detached_ = false;
};

// A button that paints itself with the skin (as the engine's own buttons do).
class TSelfSkinnedButton : public TButton {
 public:
  using TButton::TButton;
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_NIRVEXCMD && CommandOf(m.WParam) == CmdQueryHandled) {
      m.Result = m.LParam = 1;
      return;
    }
    TButton::WndProc(m);
  }
};

class ControlAdapter : public TControlsTest {
 protected:
  void SetUp() override {
    TControlsTest::SetUp();
    gLog = &log;
    // Only the push buttons have a subclass here, whatever other tests of
    // this program registered before.
    ClearKinds();
    RegisterAdapterSubclass(tpButton, [](HWND h, TsCommonData& d) {
      return std::unique_ptr<TnxAdapterSubclass>(new TLoggingSubclass(h, d));
    });
    LoadBuiltinSkin();
    form = MakeForm(300, 120);
  }
  void TearDown() override {
    adapter.reset();
    ClearKinds();
    gLog = nullptr;
    TControlsTest::TearDown();
  }
  static void ClearKinds() {
    for (int k = 0; k < ThirdPartyListCount; ++k)
      RegisterAdapterSubclass(TThirdPartyKind(k), nullptr);
  }
  template <class T>
  T* Put(const std::string& name, int left, TWinControl* parent = nullptr) {
    auto* c = Create<T>(form);
    c->SetName(name);
    c->SetParent(parent ? parent : form);
    c->SetBounds(left, 10, 60, 24);
    c->SetCaption(name);
    if constexpr (std::is_base_of_v<TWinControl, T>) c->HandleNeeded();
    return c;
  }
  TLoggingSubclass* SubclassOf(TControl* c) {
    TnxAdapterItem* item = adapter->ItemOf(c);
    return item ? static_cast<TLoggingSubclass*>(item->Subclass()) : nullptr;
  }
  std::vector<std::string> log;
  TForm* form = nullptr;
  std::unique_ptr<TnxCtrlAdapter> adapter;
};

TEST_F(ControlAdapter, ListedButtonsAreTakenWithTheirListsSection) {
  auto* ok = Put<TButton>("OK", 10);
  auto* tagged = Put<TButton>("Tagged", 80);
  tagged->SetTag(-98);
  auto* own = Put<TSelfSkinnedButton>("Own", 150);
  auto* edit = Put<TEdit>("Edit", 220);  // listed, but no subclass for edits here
  adapter = std::make_unique<TnxCtrlAdapter>(form);
  std::vector<std::string> asked;
  adapter->OnSkinItem = [&](TComponent* c, bool&, std::string& section) {
    asked.push_back(c->Name());
    section = "PANEL";  // the list's section wins for buttons
  };
  adapter->AddAllItems();
  ASSERT_EQ(adapter->ItemCount(), 1);
  ASSERT_TRUE(SubclassOf(ok));
  EXPECT_EQ(SubclassOf(ok)->Section, "BUTTON");
  EXPECT_EQ(adapter->ItemOf(ok)->SkinData()->SkinSection(), "BUTTON");
  EXPECT_EQ(adapter->ItemOf(ok)->SkinData()->ControlType, ctAdapterItem);
  EXPECT_EQ(adapter->ItemOf(tagged), nullptr);
  EXPECT_EQ(adapter->ItemOf(own), nullptr);
  EXPECT_EQ(adapter->ItemOf(edit), nullptr);
  // Tag -98 and self-skinning controls are not even offered to the frame.
  EXPECT_EQ(std::count(asked.begin(), asked.end(), "Tagged"), 0);
  EXPECT_EQ(std::count(asked.begin(), asked.end(), "Own"), 0);
  // Added one at a time, the same rules hold; a second add keeps one item.
  adapter->AddNewItem(tagged);
  adapter->AddNewItem(own);
  adapter->AddNewItem(ok, "EDIT");
  EXPECT_EQ(adapter->ItemCount(), 1);
  // The frame may refuse a control.
  auto* refused = Put<TButton>("Refused", 10, nullptr);
  adapter->OnSkinItem = [](TComponent* c, bool& canBeAdded, std::string&) {
    canBeAdded = c->Name() != "Refused";
  };
  adapter->AddNewItem(refused);
  EXPECT_EQ(adapter->ItemOf(refused), nullptr);
  // A control without a window, or without a parent, gets nothing.
  auto* loose = Create<TButton>(form);
  adapter->AddNewItem(loose);
  EXPECT_EQ(adapter->ItemOf(loose), nullptr);
}

TEST_F(ControlAdapter, WithoutThirdPartyRuleNothingIsTakenAndLabelsKeepTheirColours) {
  auto* ok = Put<TButton>("OK", 10);
  auto* label = Put<TLabel>("Label", 80);
  label->Font()->SetColor(RGB(10, 20, 30));
  manager->SetSkinningRules(srStdForms | srStdDialogs);
  adapter = std::make_unique<TnxCtrlAdapter>(form);
  adapter->AddAllItems();
  EXPECT_EQ(adapter->ItemCount(), 0);
  EXPECT_EQ(adapter->ItemOf(ok), nullptr);
  EXPECT_FALSE(label->Transparent());
  EXPECT_EQ(label->Font()->Color(), RGB(10, 20, 30));
  // With the rule the button is taken and the label recoloured.
  manager->SetSkinningRules(AllSkinningRules);
  adapter->AddAllItems();
  EXPECT_NE(adapter->ItemOf(ok), nullptr);
  EXPECT_TRUE(label->Transparent());
  EXPECT_EQ(label->Font()->Color(), manager->GlobalFontColor());
  EXPECT_EQ(adapter->ItemCount(), 1);  // a label gets no item
}

TEST_F(ControlAdapter, ControlsInsideContainersAreFoundAndAScanInsideAScanDoesNothing) {
  auto* box = Put<TCheckBox>("Box", 10);  // listed, no subclass: scanned into, not taken
  (void)box;
  auto* panel = Create<TForm>(app.get());  // a second form: its controls are not this form's
  panel->SetBorderStyle(bsNone);
  auto* elsewhere = Create<TButton>(panel);
  elsewhere->SetParent(panel);
  elsewhere->HandleNeeded();
  auto* a = Put<TButton>("A", 80);
  auto* b = Put<TButton>("B", 150);
  adapter = std::make_unique<TnxCtrlAdapter>(form);
  // How often a plain scan offers controls to the frame (owned components
  // first, then the children: a control may be offered twice).
  int offered = 0;
  adapter->OnSkinItem = [&](TComponent*, bool&, std::string&) { ++offered; };
  adapter->AddAllItems();
  const int plain = offered;
  adapter->RemoveAllItems();
  offered = 0;
  adapter->OnSkinItem = [&](TComponent*, bool&, std::string&) {
    if (offered++ == 0) adapter->AddAllItems();  // ignored: a scan is running
  };
  adapter->AddAllItems();
  EXPECT_EQ(offered, plain);
  EXPECT_EQ(adapter->ItemCount(), 2);
  EXPECT_NE(adapter->ItemOf(a), nullptr);
  EXPECT_NE(adapter->ItemOf(b), nullptr);
  EXPECT_EQ(adapter->ItemOf(elsewhere), nullptr);
  // A later scan is allowed again and finds nothing new.
  adapter->AddAllItems();
  EXPECT_EQ(adapter->ItemCount(), 2);
}

TEST_F(ControlAdapter, CommandsReachLiveItemsAndStaleItemsGo) {
  auto* a = Put<TButton>("A", 10);
  auto* b = Put<TButton>("B", 80);
  auto* c = Put<TButton>("C", 150);
  adapter = std::make_unique<TnxCtrlAdapter>(form);
  adapter->AddAllItems();
  ASSERT_EQ(adapter->ItemCount(), 3);
  log.clear();
  adapter->SendCommand(MakeSkinCommand(CmdRefresh), reinterpret_cast<LPARAM>(manager.get()));
  EXPECT_EQ(log, (std::vector<std::string>{"A:3", "B:3", "C:3"}));
  // B's window goes: its item is stale, skipped, and removed by the next scan.
  b->DestroyHandle();
  EXPECT_TRUE(adapter->ItemOf(b)->Stale());
  log.clear();
  adapter->SendCommand(MakeSkinCommand(CmdRemoveSkin), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"A:2", "C:2"}));
  delete b;
  adapter->AddAllItems();
  EXPECT_EQ(adapter->ItemCount(), 2);
  // B's place went to the last item.
  EXPECT_EQ(adapter->Items(0)->Ctrl(), a);
  EXPECT_EQ(adapter->Items(1)->Ctrl(), c);
  // A freed window procedure chain: the buttons answer as before.
  EXPECT_TRUE(QueryControl(a, CmdQueryHandled));
}

TEST_F(ControlAdapter, RemovingMovesTheLastIntoThePlaceAndAllGoFromTheLast) {
  std::vector<TButton*> buttons;
  for (const char* n : {"A", "B", "C", "D"})
    buttons.push_back(Put<TButton>(n, 10 + 60 * int(buttons.size())));
  adapter = std::make_unique<TnxCtrlAdapter>(form);
  adapter->AddAllItems();
  ASSERT_EQ(adapter->ItemCount(), 4);
  log.clear();
  adapter->Remove(1);
  EXPECT_EQ(log, std::vector<std::string>{"free B"});
  ASSERT_EQ(adapter->ItemCount(), 3);
  EXPECT_EQ(adapter->Items(0)->Ctrl(), buttons[0]);
  EXPECT_EQ(adapter->Items(1)->Ctrl(), buttons[3]);
  EXPECT_EQ(adapter->Items(2)->Ctrl(), buttons[2]);
  // B answers as a plain button again.
  EXPECT_FALSE(QueryControl(buttons[1], CmdQueryHandled));
  log.clear();
  adapter->RemoveAllItems();
  EXPECT_EQ(log, (std::vector<std::string>{"free C", "free D", "free A"}));
  for (TButton* b : buttons) EXPECT_FALSE(QueryControl(b, CmdQueryHandled));
  // Out of range removals are ignored.
  adapter->Remove(0);
  adapter->Remove(-1);
  EXPECT_EQ(adapter->ItemCount(), 0);
}

TEST_F(ControlAdapter, ClassListLookUpTakesTheFirstListInOrder) {
  TsClassLists lists;
  lists[tpPanel] = {"TThing"};
  lists[tpEdit] = {"TOther", "TThing"};
  EXPECT_EQ(FindThirdPartyKind(lists, "TThing"), tpEdit);
  EXPECT_EQ(FindThirdPartyKind(lists, "tthing"), -1);
  EXPECT_EQ(FindThirdPartyKind(lists, ""), -1);
  EXPECT_EQ(SectionForKind(tpButton, "EDIT"), "BUTTON");
  EXPECT_EQ(SectionForKind(tpTabControl, "EDIT"), "PAGECONTROL");
  EXPECT_EQ(SectionForKind(tpComboBox, "MYCOMBO"), "MYCOMBO");
}

}  // namespace
}  // namespace vm::test
