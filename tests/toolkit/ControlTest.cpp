// The control model: parents and children, alignment, windowless painting
// and mouse routing, state inheritance, focus and tab order, hints, and the
// window procedure hook.
#include <gtest/gtest.h>

#include <utility>

#include "tests/toolkit/ToolkitTestSupport.h"

namespace vm::test {
namespace {

constexpr TColor Red = RGB(220, 0, 0), Green = RGB(0, 180, 0), Blue = RGB(0, 0, 210);

using ControlTest = TToolkitTest;

TEST_F(ControlTest, ClassNamesAreTheClassesOwn) {
  TForm* f = MakeForm();
  EXPECT_EQ(f->ClassName(), "TForm");
  EXPECT_EQ(GetClassName(f->Handle()), "TForm");
  EXPECT_EQ(GetClassName(app->Handle()), "TApplication");
  EXPECT_EQ(GetWindowText(app->Handle()), "");
  EXPECT_FALSE(IsWindowVisible(app->Handle()));
}

TEST_F(ControlTest, ParentAndChildren) {
  TForm* f = MakeForm();
  auto* panel = Put<TBox>(f, 10, 10, 100, 100);
  auto* a = Put<TSwatch>(panel, 0, 0, 10, 10);
  auto* b = Put<TBox>(panel, 20, 0, 10, 10);
  EXPECT_EQ(f->ControlCount(), 1);
  EXPECT_EQ(panel->ControlCount(), 2);
  EXPECT_EQ(panel->Controls(0), a);
  EXPECT_EQ(panel->Controls(1), b);
  EXPECT_EQ(panel->Controls(2), nullptr);
  EXPECT_EQ(a->GetParentForm(), f);
  // A windowed child made after its parent's window exists gets its window at once.
  ASSERT_TRUE(b->HandleAllocated());
  EXPECT_EQ(GetParent(b->Handle()), panel->Handle());
  EXPECT_EQ(TWinControl::FindControl(b->Handle()), b);

  // Moving to another parent moves the window too; freeing removes it from the list.
  b->SetParent(f);
  EXPECT_EQ(panel->ControlCount(), 1);
  EXPECT_EQ(GetParent(b->Handle()), f->Handle());
  delete a;
  EXPECT_EQ(panel->ControlCount(), 0);
  EXPECT_THROW(panel->SetParent(static_cast<TWinControl*>(panel)), std::invalid_argument);
  // Freeing a parent frees its children.
  auto* c = Put<TSwatch>(panel, 0, 0, 5, 5);
  TControlRef ref(c);
  delete panel;
  EXPECT_FALSE(ref);
}

TEST_F(ControlTest, AlignedChildrenFillTheParentInOrder) {
  TForm* f = MakeForm(100, 100, 300, 200);
  auto* top = Put<TBox>(f, 50, 50, 10, 30);
  top->SetAlign(alTop);
  auto* bottom = Put<TBox>(f, 0, 0, 10, 20);
  bottom->SetAlign(alBottom);
  auto* left = Put<TSwatch>(f, 0, 0, 40, 10);
  left->SetAlign(alLeft);
  auto* right = Put<TBox>(f, 0, 0, 25, 10);
  right->SetAlign(alRight);
  auto* client = Put<TSwatch>(f, 0, 0, 1, 1);
  client->SetAlign(alClient);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 300, 30));
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 180, 300, 200));
  EXPECT_EQ(left->BoundsRect(), Rect(0, 30, 40, 180));
  EXPECT_EQ(right->BoundsRect(), Rect(275, 30, 300, 180));
  EXPECT_EQ(client->BoundsRect(), Rect(40, 30, 275, 180));

  // The parent lays them out again when it changes size, and when one goes away.
  f->SetClientSize(400, 250);
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 230, 400, 250));
  EXPECT_EQ(client->BoundsRect(), Rect(40, 30, 375, 230));
  top->SetVisible(false);
  EXPECT_EQ(client->BoundsRect(), Rect(40, 0, 375, 230));
  // A second top control stacks below the first by its position.
  top->SetVisible(true);
  auto* top2 = Put<TBox>(f, 0, 100, 10, 15);
  top2->SetAlign(alTop);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 400, 30));
  EXPECT_EQ(top2->BoundsRect(), Rect(0, 30, 400, 45));
  EXPECT_EQ(client->Top(), 45);
  // More than fits: the client control shrinks to nothing, never negative.
  bottom->SetHeight(500);
  EXPECT_GE(client->Height(), 0);
  EXPECT_GE(client->Width(), 0);
}

TEST_F(ControlTest, WindowlessChildrenPaintInZOrderClippedToTheirBounds) {
  TForm* f = MakeForm(100, 100, 200, 100);
  f->SetColor(RGB(250, 250, 250));
  auto* a = Put<TSwatch>(f, 10, 10, 50, 50);
  a->SetColor(Red);
  auto* b = Put<TSwatch>(f, 40, 40, 50, 50);
  b->SetColor(Green);
  f->Show();
  Pump();
  EXPECT_EQ(PixelAt(f, 20, 20), Red);
  EXPECT_EQ(PixelAt(f, 45, 45), Green);  // b is on top
  EXPECT_EQ(PixelAt(f, 89, 89), Green);
  EXPECT_EQ(PixelAt(f, 90, 90), RGB(250, 250, 250));  // right/bottom edges are exclusive
  a->BringToFront();
  Pump();
  EXPECT_EQ(PixelAt(f, 45, 45), Red);
  a->SendToBack();
  Pump();
  EXPECT_EQ(PixelAt(f, 45, 45), Green);
  // Hidden: not painted, its area shows what lies below.
  b->SetVisible(false);
  Pump();
  EXPECT_EQ(PixelAt(f, 45, 45), Red);
  EXPECT_EQ(PixelAt(f, 80, 80), RGB(250, 250, 250));
  // Double buffering paints the same picture.
  b->SetVisible(true);
  f->SetDoubleBuffered(true);
  Pump();
  EXPECT_EQ(PixelAt(f, 45, 45), Green);
  EXPECT_EQ(PixelAt(f, 20, 20), Red);
  EXPECT_EQ(PixelAt(f, 150, 80), RGB(250, 250, 250));
}

// A windowless control whose painting destroys its sibling above it, as a
// control may do from an OnPaint handler.
class TDestroyingSwatch : public TSwatch {
 public:
  using TSwatch::TSwatch;
  TControl* Victim = nullptr;

 protected:
  void Paint() override {
    TSwatch::Paint();
    delete std::exchange(Victim, nullptr);
  }
};

TEST_F(ControlTest, AControlDestroyedByAnEarlierOnesPaintingIsSkipped) {
  TForm* f = MakeForm(100, 100, 200, 100);
  f->SetColor(RGB(250, 250, 250));
  auto* killer = Put<TDestroyingSwatch>(f, 0, 0, 30, 30);
  killer->SetColor(Blue);
  auto* victim = Put<TSwatch>(f, 40, 0, 30, 30);
  victim->SetColor(Red);
  auto* last = Put<TSwatch>(f, 80, 0, 30, 30);
  last->SetColor(Green);
  f->Show();
  Pump();
  ASSERT_EQ(PixelAt(f, 50, 10), Red);
  // In one pass the victim goes between the killer's paint and its own turn:
  // it is skipped, never touched, and the control after it still paints.
  killer->Victim = victim;
  const int lastPaints = last->Paints;
  f->Invalidate();
  Pump();
  EXPECT_EQ(killer->Victim, nullptr);
  EXPECT_GT(last->Paints, lastPaints);
  EXPECT_EQ(PixelAt(f, 10, 10), Blue);
  EXPECT_EQ(PixelAt(f, 50, 10), RGB(250, 250, 250));
  EXPECT_EQ(PixelAt(f, 90, 10), Green);
}

TEST_F(ControlTest, MouseGoesToTheTopmostWindowlessChildAndFollowsAHeldButton) {
  TForm* f = MakeForm(100, 100, 200, 100);
  auto* a = Put<TSwatch>(f, 10, 10, 50, 50);
  auto* b = Put<TSwatch>(f, 40, 40, 50, 50);
  f->Show();
  Pump();
  std::vector<std::string> log;
  auto note = [&](std::string s) { log.push_back(std::move(s)); };
  a->OnClick = [&](TComponent*) { note("a click"); };
  b->OnClick = [&](TComponent*) { note("b click"); };
  f->OnClick = [&](TComponent*) { note("form click"); };
  b->OnMouseDown = [&](TComponent*, TMouseButton, TShiftState, int x, int y) {
    note("b down " + std::to_string(x) + "," + std::to_string(y));
  };
  b->OnMouseUp = [&](TComponent*, TMouseButton, TShiftState, int x, int y) {
    note("b up " + std::to_string(x) + "," + std::to_string(y));
  };
  ClickAt(f, 45, 45);
  EXPECT_EQ(log, (std::vector<std::string>{"b down 5,5", "b up 5,5", "b click"}));
  log.clear();
  ClickAt(f, 20, 20);
  ClickAt(f, 150, 80);
  EXPECT_EQ(log, (std::vector<std::string>{"a click", "form click"}));
  log.clear();
  // Pressed on b, released outside: b hears the release (in its own
  // coordinates), and it is no click.
  TPoint p = At(f, 45, 45), q = At(f, 150, 80);
  host.MouseMove(p.X, p.Y);
  host.MouseDown();
  Pump();
  host.MouseMove(q.X, q.Y);
  host.MouseUp();
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"b down 5,5", "b up 110,40"}));
  log.clear();
  // A disabled windowless control lets the click through to its parent.
  b->SetEnabled(false);
  ClickAt(f, 80, 80);
  EXPECT_EQ(log, (std::vector<std::string>{"form click"}));
}

TEST_F(ControlTest, MouseEnterAndLeave) {
  TForm* f = MakeForm(100, 100, 200, 100);
  auto* a = Put<TSwatch>(f, 10, 10, 50, 50);
  auto* w = Put<TBox>(f, 100, 10, 50, 50);
  f->Show();
  Pump();
  std::vector<std::string> log;
  a->OnMouseEnter = [&](TComponent*) { log.push_back("a enter"); };
  a->OnMouseLeave = [&](TComponent*) { log.push_back("a leave"); };
  w->OnMouseEnter = [&](TComponent*) { log.push_back("w enter"); };
  w->OnMouseLeave = [&](TComponent*) { log.push_back("w leave"); };
  auto move = [&](int x, int y) {
    TPoint p = At(f, x, y);
    host.MouseMove(p.X, p.Y);
    Pump();
  };
  move(5, 5);
  move(20, 20);
  move(25, 25);
  move(120, 20);
  move(80, 80);
  host.MouseMove(5, 5);  // off every window of the program
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"a enter", "a leave", "w enter", "w leave"}));
  EXPECT_EQ(MouseControl(), nullptr);
}

TEST_F(ControlTest, ColourAndShowHintComeFromTheParentUntilSetOwn) {
  TForm* f = MakeForm();
  f->SetColor(Blue);
  auto* panel = Put<TBox>(f, 0, 0, 100, 100);
  panel->SetParentColor(true);
  auto* inner = Put<TSwatch>(panel, 0, 0, 10, 10);
  inner->SetParentColor(true);
  EXPECT_EQ(panel->Color(), Blue);
  EXPECT_EQ(inner->Color(), Blue);
  f->SetColor(Green);
  EXPECT_EQ(panel->Color(), Green);
  EXPECT_EQ(inner->Color(), Green);
  // An own colour stops inheritance for the control and what inherits from it.
  panel->SetColor(Red);
  EXPECT_FALSE(panel->ParentColor());
  f->SetColor(Blue);
  EXPECT_EQ(panel->Color(), Red);
  EXPECT_EQ(inner->Color(), Red);
  // Back to the parent's.
  panel->SetParentColor(true);
  EXPECT_EQ(panel->Color(), Blue);
  EXPECT_EQ(inner->Color(), Blue);

  f->SetShowHint(true);
  EXPECT_TRUE(panel->ShowHint());
  EXPECT_TRUE(inner->ShowHint());
  inner->SetShowHint(false);
  EXPECT_FALSE(inner->ParentShowHint());
  f->SetShowHint(false);
  f->SetShowHint(true);
  EXPECT_FALSE(inner->ShowHint());
}

TEST_F(ControlTest, FontComesFromTheParentAndReachesTheWindow) {
  TForm* f = MakeForm();
  f->Font()->SetName("Times New Roman");
  f->Font()->SetHeight(-13);
  auto* panel = Put<TBox>(f, 0, 0, 100, 100);
  auto* label = Put<TSwatch>(panel, 0, 0, 10, 10);
  EXPECT_TRUE(panel->ParentFont());
  EXPECT_EQ(panel->Font()->Name(), "Times New Roman");
  EXPECT_EQ(label->Font()->Height(), -13);
  f->Font()->SetStyle(tk::fsBold);
  EXPECT_EQ(label->Font()->Style(), tk::fsBold);
  // The window gets a font handle of the same description.
  TFontDesc desc;
  auto font = reinterpret_cast<HFONT>(SendMessage(panel->Handle(), WM_GETFONT, 0, 0));
  ASSERT_TRUE(GetFontDesc(font, &desc));
  EXPECT_EQ(desc.Family, "Times New Roman");
  EXPECT_EQ(desc.Height, -13);
  EXPECT_TRUE(desc.Bold);
  // Changing the control's own font stops inheritance for it and its children follow it.
  panel->Font()->SetColor(RGB(59, 90, 130));
  EXPECT_FALSE(panel->ParentFont());
  EXPECT_EQ(label->Font()->Color(), RGB(59, 90, 130));
  f->Font()->SetHeight(-20);
  EXPECT_EQ(panel->Font()->Height(), -13);
  EXPECT_EQ(label->Font()->Height(), -13);
  panel->SetParentFont(true);
  EXPECT_EQ(label->Font()->Height(), -20);
  EXPECT_EQ(label->Font()->Color(), f->Font()->Color());
}

TEST_F(ControlTest, EnabledAndVisibleReachTheWindowsAndTheirChildren) {
  TForm* f = MakeForm();
  auto* panel = Put<TBox>(f, 0, 0, 100, 100);
  auto* child = Put<TBox>(panel, 10, 10, 20, 20);
  f->Show();
  Pump();
  EXPECT_TRUE(child->Showing());
  panel->SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(panel->Handle()));
  EXPECT_TRUE(child->Visible());
  EXPECT_FALSE(child->Showing());
  EXPECT_FALSE(child->CanFocus());
  panel->SetVisible(true);
  EXPECT_TRUE(child->Showing());

  int clicks = 0;
  child->OnClick = [&](TComponent*) { ++clicks; };
  ClickAt(child, 5, 5);
  EXPECT_EQ(clicks, 1);
  panel->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(panel->Handle()));
  EXPECT_FALSE(child->CanFocus());
  ClickAt(child, 5, 5);
  EXPECT_EQ(clicks, 1);
  panel->SetEnabled(true);
  child->SetEnabled(false);
  ClickAt(child, 5, 5);
  EXPECT_EQ(clicks, 1);
}

TEST_F(ControlTest, TabOrderAndFocus) {
  TForm* f = MakeForm();
  auto* a = Put<TBox>(f, 0, 0, 20, 20);
  auto* panel = Put<TBox>(f, 30, 0, 100, 50);
  panel->SetTabStop(false);
  auto* b = Put<TBox>(panel, 0, 0, 20, 20);
  auto* c = Put<TBox>(f, 140, 0, 20, 20);
  auto* off = Put<TBox>(f, 170, 0, 20, 20);
  off->SetEnabled(false);
  c->SetTabOrder(0);
  EXPECT_EQ(c->TabOrder(), 0);
  EXPECT_EQ(a->TabOrder(), 1);
  f->Show();
  Pump();
  // The first control in tab order takes the focus when the form is activated.
  EXPECT_TRUE(c->Focused());
  EXPECT_EQ(f->ActiveControl(), c);
  std::vector<TWinControl*> seen;
  for (int i = 0; i < 4; ++i) {
    host.Key(VK_TAB);
    Pump();
    seen.push_back(f->ActiveControl());
  }
  EXPECT_EQ(seen, (std::vector<TWinControl*>{a, b, c, a}));
  host.KeyDown(VK_SHIFT);
  host.Key(VK_TAB);
  host.KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(f->ActiveControl(), c);
  EXPECT_TRUE(c->Focused());
  // SetFocus moves it; a click on a control does not by itself.
  b->SetFocus();
  EXPECT_TRUE(b->Focused());
  EXPECT_EQ(Screen->ActiveControl(), b);
  // Removing the focused control forgets it.
  delete panel;
  EXPECT_EQ(f->ActiveControl(), nullptr);
}

// The platform puts a new child window below its siblings; the toolkit
// places each window where its control stands in the list (later ones on
// top), whatever order the windows are made in, and Tab follows TabOrder.
TEST_F(ControlTest, WindowsStackAsTheListSaysAndTabFollowsTabOrderInAnyCreationOrder) {
  for (bool windowFirst : {true, false}) {
    TForm* f = MakeForm();
    if (windowFirst) f->HandleNeeded();
    // Overlapping boxes made right to left.
    auto* c = Put<TBox>(f, 100, 10, 60, 40);
    auto* b = Put<TBox>(f, 60, 10, 60, 40);
    auto* a = Put<TBox>(f, 20, 10, 60, 40);
    c->SetColor(Blue);
    b->SetColor(Green);
    a->SetColor(Red);
    a->SetTabOrder(0);
    b->SetTabOrder(1);
    f->Show();
    Pump();
    EXPECT_EQ(GetWindow(f->Handle(), GW_CHILD), a->Handle());
    EXPECT_EQ(GetWindow(a->Handle(), GW_HWNDNEXT), b->Handle());
    EXPECT_EQ(GetWindow(b->Handle(), GW_HWNDNEXT), c->Handle());
    EXPECT_EQ(PixelAt(f, 70, 20), Red);
    EXPECT_EQ(PixelAt(f, 110, 20), Green);
    EXPECT_EQ(f->ActiveControl(), a);
    std::vector<TWinControl*> seen;
    for (int i = 0; i < 3; ++i) {
      host.Key(VK_TAB);
      Pump();
      seen.push_back(f->ActiveControl());
    }
    EXPECT_EQ(seen, (std::vector<TWinControl*>{b, c, a}));
    // A window made again goes back to its place, under a and over c.
    b->RecreateWnd();
    Pump();
    EXPECT_EQ(GetWindow(a->Handle(), GW_HWNDNEXT), b->Handle());
    EXPECT_EQ(PixelAt(f, 70, 20), Red);
    EXPECT_EQ(PixelAt(f, 110, 20), Green);
    delete f;
    Pump();
  }
}

TEST_F(ControlTest, KeyPreviewLetsTheFormSeeKeysFirst) {
  TForm* f = MakeForm();
  auto* a = Put<TBox>(f, 0, 0, 20, 20);
  f->Show();
  Pump();
  std::vector<std::string> log;
  f->OnKeyDown = [&](TComponent*, int& key, TShiftState) {
    log.push_back("form " + std::to_string(key));
    if (key == 'X') key = 0;
  };
  a->OnKeyDown = [&](TComponent*, int& key, TShiftState) {
    log.push_back("a " + std::to_string(key));
  };
  host.Key('Q');
  Pump();
  f->SetKeyPreview(true);
  host.Key('Q');
  host.Key('X');
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"a 81", "form 81", "a 81", "form 88"}));
}

TEST_F(ControlTest, HintAppearsAfterThePauseAndGoesAway) {
  TForm* f = MakeForm(100, 100, 200, 100);
  auto* a = Put<TSwatch>(f, 10, 10, 50, 50);
  a->SetHint("Открыть|Открывает файл");
  a->SetShowHint(true);
  auto* quiet = Put<TSwatch>(f, 100, 10, 50, 50);
  quiet->SetHint("нет");
  f->Show();
  Pump();
  THintWindow* hint = app->HintWindow();
  TPoint p = At(f, 20, 20);
  host.MouseMove(p.X, p.Y);
  Pump();
  host.AdvanceClock(app->HintPause - 10);
  Pump();
  EXPECT_FALSE(hint->Active());
  host.AdvanceClock(20);
  Pump();
  ASSERT_TRUE(hint->Active());
  EXPECT_EQ(hint->GetText(), "Открыть");
  TRect r;
  GetWindowRect(hint->Handle(), &r);
  EXPECT_EQ(r.Left, p.X);
  EXPECT_GT(r.Top, p.Y);
  // The hint is a tooltip to the host: no taskbar entry, never focused.
  const auto* native = host.Native(GetHostWindow(hint->Handle()));
  ASSERT_NE(native, nullptr);
  EXPECT_EQ(native->Params.Kind, THostWindowKind::Tooltip);
  EXPECT_EQ(GetActiveWindow(), f->Handle());
  // It hides itself after the hide pause.
  host.AdvanceClock(app->HintHidePause + 10);
  Pump();
  EXPECT_FALSE(hint->Active());

  // A click hides it at once; a control without ShowHint shows none.
  TPoint q = At(f, 120, 20);
  host.MouseMove(q.X, q.Y);
  Pump();
  host.MouseMove(p.X, p.Y);
  Pump();
  host.AdvanceClock(app->HintPause + 10);
  Pump();
  ASSERT_TRUE(hint->Active());
  host.Click(p.X, p.Y);
  Pump();
  EXPECT_FALSE(hint->Active());
  host.MouseMove(q.X, q.Y);
  Pump();
  host.AdvanceClock(app->HintPause * 4);
  Pump();
  EXPECT_FALSE(hint->Active());
}

TEST_F(ControlTest, WindowProcCanBeHookedAndRestored) {
  TForm* f = MakeForm();
  auto* a = Put<TBox>(f, 0, 0, 20, 20);
  int seen = 0;
  TWndMethod old = a->WindowProc;
  a->WindowProc = [&](TMessage& m) {
    if (m.Msg == WM_USER + 7) {
      ++seen;
      m.Result = 42;
      return;
    }
    old(m);
  };
  EXPECT_EQ(SendMessage(a->Handle(), WM_USER + 7, 0, 0), 42);
  EXPECT_EQ(a->Perform(WM_USER + 7), 42);
  // Everything else still reaches the control through the previous procedure.
  a->SetText("x");
  EXPECT_EQ(GetWindowText(a->Handle()), "x");
  a->WindowProc = old;
  EXPECT_EQ(SendMessage(a->Handle(), WM_USER + 7, 0, 0), 0);
  EXPECT_EQ(seen, 2);
}

TEST_F(ControlTest, AStaleControlIsNeverTouched) {
  TForm* f = MakeForm();
  auto* a = Put<TBox>(f, 0, 0, 20, 20);
  auto* s = Put<TSwatch>(f, 30, 0, 20, 20);
  f->Show();
  Pump();
  HWND h = a->Handle();
  PostMessage(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessage(h, WM_USER, 0, 0);
  PostMessage(f->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(35, 5));
  delete a;
  delete s;  // the form's click lands where the windowless control was
  Pump();
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(TWinControl::FindControl(h), nullptr);
  // The pointer rests on a control that goes away: enter/leave never reach it.
  auto* t = Put<TSwatch>(f, 60, 0, 20, 20);
  TPoint p = At(f, 65, 5);
  host.MouseMove(p.X, p.Y);
  Pump();
  EXPECT_EQ(MouseControl(), t);
  delete t;
  EXPECT_EQ(MouseControl(), nullptr);
  host.MouseMove(p.X + 100, p.Y);
  Pump();
}

}  // namespace
}  // namespace vm::test
