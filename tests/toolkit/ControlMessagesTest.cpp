// What the toolkit tells its components and controls as a user works with a
// form: components coming and going, a control starting or stopping to show,
// the pointer entering and leaving controls and their parents, text and
// position changes, Enter and Escape with several default and cancel
// buttons, and the application's hint.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/Button.h"
#include "toolkit/Edit.h"
#include "toolkit/Timer.h"
#include "toolkit/UpDown.h"

namespace vm::test {
namespace {

class ControlMessagesTest : public TToolkitTest {
 protected:
  // Writes down the messages of interest a control receives, by its name.
  void Record(TControl* c, std::vector<std::string>& log) {
    TWndMethod previous = c->WindowProc;
    c->WindowProc = [c, previous, &log](TMessage& m) {
      auto nameOf = [](LPARAM l) {
        return l ? reinterpret_cast<TControl*>(l)->Name() : std::string("0");
      };
      if (m.Msg == CM_MOUSEENTER) log.push_back(c->Name() + " enter " + nameOf(m.LParam));
      if (m.Msg == CM_MOUSELEAVE) log.push_back(c->Name() + " leave " + nameOf(m.LParam));
      if (m.Msg == CM_SHOWINGCHANGED)
        log.push_back(c->Name() + (c->Showing() ? " showing" : " hidden"));
      previous(m);
    };
  }
  template <class T>
  T* Named(TWinControl* parent, const char* name, int x, int y, int w, int h) {
    T* c = Put<T>(parent, x, y, w, h);
    c->SetName(name);
    return c;
  }
  // A control owned by the form itself (Put makes the form's owner own it).
  template <class T>
  T* Owned(TForm* form, const char* name, int x, int y, int w, int h) {
    T* c = Create<T>(form);
    c->SetName(name);
    c->SetBounds(x, y, w, h);
    c->SetParent(form);
    return c;
  }
};

// A component on a form that writes down each component it hears of, with
// the class it has then, and may free a sibling while it is being told.
class TListener : public TComponent {
 public:
  TListener(TComponent* owner, std::vector<std::string>* log) : TComponent(owner), log_(log) {}
  std::string ClassName() const override { return "TListener"; }
  std::function<void(TComponent*, TOperation)> OnHear;

 protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (c == this) return;
    const char* kind = dynamic_cast<TWinControl*>(c) ? " windowed" : "";
    log_->push_back(std::string(op == TOperation::opInsert ? "+" : "-") + c->ClassName() + kind);
    if (OnHear) OnHear(c, op);
  }

 private:
  std::vector<std::string>* log_;
};

TEST_F(ControlMessagesTest, ComponentsOfAFormHearSiblingsComeAndGoWhole) {
  std::vector<std::string> log;
  TForm* f = MakeForm();
  auto* listener = Create<TListener>(f, &log);
  auto* ok = Owned<TButton>(f, "ok", 10, 10, 75, 25);
  auto* edit = Owned<TEdit>(f, "edit", 10, 50, 100, 21);
  f->Show();
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"+TButton windowed", "+TEdit windowed"}));
  log.clear();
  // A control freed while its form lives is heard as what it is.
  delete edit;
  EXPECT_EQ(log, (std::vector<std::string>{"-TEdit windowed"}));
  // A listener that frees a sibling control when it hears another go.
  auto* extra = Owned<TButton>(f, "extra", 100, 10, 75, 25);
  listener->OnHear = [&](TComponent* who, TOperation op) {
    if (op == TOperation::opRemove && who == ok && extra) {
      TButton* doomed = extra;
      extra = nullptr;
      delete doomed;
    }
  };
  log.clear();
  delete ok;
  EXPECT_EQ(log, (std::vector<std::string>{"-TButton windowed", "-TButton windowed"}));
  EXPECT_EQ(f->ControlCount(), 0);
  // And while the form itself goes: the last control goes first, and the
  // listener frees the other one when it hears it.
  auto* a = Owned<TButton>(f, "a", 10, 10, 75, 25);
  auto* b = Owned<TButton>(f, "b", 10, 40, 75, 25);
  listener->OnHear = [&](TComponent* who, TOperation op) {
    if (op == TOperation::opRemove && who == b && a) {
      TButton* doomed = a;
      a = nullptr;
      delete doomed;
    }
  };
  delete f;
  EXPECT_EQ(a, nullptr);
  Pump();
}

// Loaded runs for the form first, then for its components in creation order.
TEST_F(ControlMessagesTest, LoadedRunsRootFirstInCreationOrder) {
  std::vector<std::string> log;
  struct TLoadingForm : TForm {
    using TForm::TForm;
    std::vector<std::string>* Log = nullptr;
    void Loaded() override { Log->push_back("form"); }
  };
  struct TLoadingBox : TBox {
    using TBox::TBox;
    std::vector<std::string>* Log = nullptr;
    void Loaded() override { Log->push_back(Name()); }
  };
  auto* f = Create<TLoadingForm>(app.get());
  f->Log = &log;
  for (const char* name : {"first", "second", "third"}) {
    auto* b = Create<TLoadingBox>(f);
    b->SetName(name);
    b->SetParent(f);
    b->Log = &log;
  }
  f->BeginLoading();
  f->EndLoading();
  EXPECT_EQ(log, (std::vector<std::string>{"form", "first", "second", "third"}));
}

// CM_SHOWINGCHANGED comes to each windowed control whose showing changes,
// after the change, parents first: shown with its form, hidden with its
// parent, made on a shown form, and not while a hidden parent keeps it unseen.
TEST_F(ControlMessagesTest, ShowingChangedFollowsTheControlAndItsParents) {
  std::vector<std::string> log;
  TForm* f = MakeForm();
  f->SetName("form");
  auto* panel = Named<TBox>(f, "panel", 10, 10, 200, 150);
  auto* inner = Named<TBox>(panel, "inner", 10, 10, 50, 50);
  for (TControl* c :
       {static_cast<TControl*>(f), static_cast<TControl*>(panel), static_cast<TControl*>(inner)})
    Record(c, log);
  f->Show();
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"form showing", "panel showing", "inner showing"}));
  log.clear();
  panel->Hide();
  EXPECT_EQ(log, (std::vector<std::string>{"panel hidden", "inner hidden"}));
  log.clear();
  inner->Hide();  // already unseen: nothing changes
  inner->Show();
  EXPECT_TRUE(log.empty());
  panel->Show();
  EXPECT_EQ(log, (std::vector<std::string>{"panel showing", "inner showing"}));
  log.clear();
  auto* late = Put<TBox>(f, 220, 10, 30, 30);
  late->SetName("late");
  // Hooked after it was made: it showed at once, so only what follows is seen.
  EXPECT_TRUE(late->Showing());
  Record(late, log);
  f->Hide();
  EXPECT_EQ(log, (std::vector<std::string>{"form hidden", "panel hidden", "inner hidden",
                                           "late hidden"}));
  log.clear();
  // A handler that frees a child while the tree is walked.
  TWndMethod hook = panel->WindowProc;
  panel->WindowProc = [&, hook](TMessage& m) {
    hook(m);
    if (m.Msg == CM_SHOWINGCHANGED && inner) {
      TBox* doomed = inner;
      inner = nullptr;
      delete doomed;
    }
  };
  f->Show();
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"form showing", "panel showing", "late showing"}));
  // Freed, the form and its controls tell nobody they stopped showing.
  log.clear();
  delete f;
  EXPECT_TRUE(log.empty());
}

// The pointer entering or leaving a control is performed on the control and
// then on each parent with LParam = that control; OnMouseEnter and
// OnMouseLeave fire for the control's own entry only.
TEST_F(ControlMessagesTest, MouseEntryReachesTheParents) {
  std::vector<std::string> log, events;
  TForm* f = MakeForm(100, 100, 300, 200);
  f->SetName("form");
  auto* panel = Named<TBox>(f, "panel", 10, 10, 200, 150);
  auto* swatch = Named<TSwatch>(panel, "swatch", 10, 10, 40, 40);
  auto* box = Named<TBox>(panel, "box", 100, 10, 40, 40);
  for (TControl* c : std::initializer_list<TControl*>{f, panel, swatch, box}) {
    Record(c, log);
    c->OnMouseEnter = [&events, c](TComponent* s) {
      EXPECT_EQ(s, c);
      events.push_back("OnMouseEnter " + c->Name());
    };
    c->OnMouseLeave = [&events, c](TComponent*) { events.push_back("OnMouseLeave " + c->Name()); };
  }
  f->Show();
  Pump();
  auto moveTo = [&](TControl* c, int x, int y) {
    TPoint p = At(c, x, y);
    host.MouseMove(p.X, p.Y);
    Pump();
  };
  moveTo(f, 250, 180);
  ASSERT_EQ(MouseControl(), f);
  log.clear();
  events.clear();
  moveTo(panel, 60, 100);
  EXPECT_EQ(log,
            (std::vector<std::string>{"form leave form", "panel enter panel", "form enter panel"}));
  log.clear();
  moveTo(swatch, 5, 5);
  EXPECT_EQ(
      log, (std::vector<std::string>{"panel leave panel", "form leave panel", "swatch enter swatch",
                                     "panel enter swatch", "form enter swatch"}));
  log.clear();
  moveTo(box, 5, 5);
  EXPECT_EQ(log, (std::vector<std::string>{"swatch leave swatch", "panel leave swatch",
                                           "form leave swatch", "box enter box", "panel enter box",
                                           "form enter box"}));
  EXPECT_EQ(events, (std::vector<std::string>{"OnMouseLeave form", "OnMouseEnter panel",
                                              "OnMouseLeave panel", "OnMouseEnter swatch",
                                              "OnMouseLeave swatch", "OnMouseEnter box"}));
  log.clear();
  // A leave handler of a parent that frees the control being entered.
  TWndMethod hook = panel->WindowProc;
  panel->WindowProc = [&, hook](TMessage& m) {
    hook(m);
    if (m.Msg == CM_MOUSELEAVE && swatch) {
      TSwatch* doomed = swatch;
      swatch = nullptr;
      delete doomed;
    }
  };
  moveTo(panel, 20, 20);  // onto the swatch, which goes as the box is left
  moveTo(panel, 21, 21);
  EXPECT_EQ(swatch, nullptr);
  EXPECT_EQ(MouseControl(), panel);
  delete f;
}

// OnChange follows Text set before the edit has a window, and once it has
// one, exactly once per change.
TEST_F(ControlMessagesTest, EditTextSetInCodeRaisesOnChange) {
  TForm* f = MakeForm();
  auto* edit = Create<TEdit>(f);
  int changes = 0;
  edit->OnChange = [&](TComponent*) { ++changes; };
  edit->SetText("12");
  EXPECT_FALSE(edit->HandleAllocated());
  EXPECT_EQ(changes, 1);
  edit->SetText("12");
  EXPECT_EQ(changes, 1);
  edit->SetParent(f);
  f->Show();
  Pump();
  ASSERT_TRUE(edit->HandleAllocated());
  edit->SetText("345");
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(edit->GetText(), "345");
}

// Position set in code asks OnChanging; a refusal keeps the old position,
// with or without a window.
TEST_F(ControlMessagesTest, UpDownPositionSetInCodeCanBeRefused) {
  TForm* f = MakeForm();
  auto* ud = Create<TUpDown>(f);
  bool allow = true;
  int asked = 0;
  ud->OnChanging = [&](TComponent*, bool& a) {
    ++asked;
    a = allow;
  };
  ud->SetPosition(5);
  EXPECT_EQ(ud->Position(), 5);
  EXPECT_EQ(asked, 1);
  allow = false;
  ud->SetPosition(9);
  EXPECT_EQ(ud->Position(), 5);
  ud->SetPosition(5);  // no change, nothing to ask
  EXPECT_EQ(asked, 2);
  ud->SetParent(f);
  f->Show();
  Pump();
  ASSERT_TRUE(ud->HandleAllocated());
  ud->SetPosition(50);
  EXPECT_EQ(ud->Position(), 5);
  allow = true;
  ud->SetPosition(500);  // beyond Max: the end is asked for
  EXPECT_EQ(ud->Position(), 100);
  EXPECT_EQ(asked, 4);
}

// With several default (cancel) buttons, Enter (Escape) clicks the first
// visible one in tab order, whatever order they were made in.
TEST_F(ControlMessagesTest, EnterAndEscapeGoToTheFirstButtonInTabOrder) {
  TForm* f = MakeForm();
  auto* edit = Put<TEdit>(f, 10, 10, 100, 21);
  auto* panel = Put<TBox>(f, 10, 40, 280, 60);
  panel->SetTabStop(false);
  auto* made1 = Put<TButton>(panel, 10, 10, 75, 25);
  auto* made2 = Put<TButton>(f, 10, 120, 75, 25);
  auto* made3 = Put<TButton>(f, 100, 120, 75, 25);
  std::string clicked;
  for (auto [b, name] : {std::pair{made1, "1"}, std::pair{made2, "2"}, std::pair{made3, "3"}}) {
    b->SetDefault(true);
    b->SetCancel(true);
    b->OnClick = [&clicked, n = std::string(name)](TComponent*) { clicked += n; };
  }
  // Tab order on the form: made3, edit, panel (with made1), made2.
  made3->SetTabOrder(0);
  f->Show();
  Pump();
  edit->SetFocus();
  host.Key(VK_RETURN);
  Pump();
  host.Key(VK_ESCAPE);
  Pump();
  EXPECT_EQ(clicked, "33");
  made3->Hide();
  host.Key(VK_RETURN);
  Pump();
  EXPECT_EQ(clicked, "331");
  panel->Hide();
  host.Key(VK_ESCAPE);
  Pump();
  EXPECT_EQ(clicked, "3312");
}

// Application.Hint is the long hint under the pointer (nearest parent's when
// the control has none); OnHint follows each change.
TEST_F(ControlMessagesTest, ApplicationHintFollowsThePointer) {
  TForm* f = MakeForm(100, 100, 300, 200);
  auto* panel = Put<TBox>(f, 10, 10, 200, 150);
  panel->SetHint("Панель|Область просмотра");
  auto* save = Put<TSwatch>(panel, 10, 10, 40, 40);
  save->SetHint("Сохранить|Сохранить снимок под новым именем");
  auto* plain = Put<TSwatch>(panel, 100, 10, 40, 40);
  auto* bare = Put<TSwatch>(f, 250, 10, 40, 40);
  bare->SetHint("Только");
  std::vector<std::string> heard;
  app->OnHint = [&](TComponent* s) {
    EXPECT_EQ(s, app.get());
    heard.push_back(app->Hint());
  };
  f->Show();
  Pump();
  auto moveTo = [&](TControl* c) {
    TPoint p = At(c, 5, 5);
    host.MouseMove(p.X, p.Y);
    Pump();
  };
  moveTo(save);
  EXPECT_EQ(app->Hint(), "Сохранить снимок под новым именем");
  moveTo(plain);  // no hint of its own: the panel's
  EXPECT_EQ(app->Hint(), "Область просмотра");
  moveTo(panel);  // the same text: no new event
  moveTo(bare);   // one part: the whole hint
  EXPECT_EQ(app->Hint(), "Только");
  bare->SetHint("Другая");  // changed under a resting pointer: seen when idle
  Pump();
  EXPECT_EQ(app->Hint(), "Только");
  // Something for the idle loop to wait for: a timer runs only with a
  // handler, as the component library's does.
  auto* tick = Create<TTimer>(f);
  tick->SetInterval(10);
  tick->SetOnTimer([](TComponent*) {});
  app->HandleMessage();
  EXPECT_EQ(app->Hint(), "Другая");
  moveTo(f);
  EXPECT_EQ(app->Hint(), "");
  EXPECT_EQ(heard, (std::vector<std::string>{"Сохранить снимок под новым именем",
                                             "Область просмотра", "Только", "Другая", ""}));
}

}  // namespace
}  // namespace vm::test
