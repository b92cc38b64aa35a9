// Text fields over the platform's edit class: typing, limits, number-only
// fields, read-only fields, selection on entry, and a memo's lines.
#include <gtest/gtest.h>

#include "platform/controls/Controls.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/Button.h"
#include "toolkit/Edit.h"
#include "toolkit/Layout.h"
#include "toolkit/Memo.h"

namespace vm::test {
namespace {

class EditTest : public TToolkitTest {
 protected:
  TForm* Shown() {
    TForm* f = MakeForm(100, 100, 300, 200);
    f->Show();
    Pump();
    return f;
  }
};

TEST_F(EditTest, TypedTextArrivesAndOnChangeFollows) {
  TForm* f = Shown();
  auto* e =
      Place<TEdit>(f, f, "sSpinEdit1", {112, 17, 71, 21}, [](TEdit& x) { x.SetText("1024"); });
  EXPECT_EQ(GetClassName(e->Handle()), "TEdit");
  EXPECT_EQ(e->GetText(), "1024");
  int changes = 0;
  e->OnChange = [&](TComponent*) { ++changes; };
  ClickAt(e, 60, 5);  // caret at the end
  host.Type("5");
  Pump();
  EXPECT_EQ(e->GetText(), "10245");
  EXPECT_GE(changes, 1);
  // Set by the program: OnChange too.
  int before = changes;
  e->SetText("768");
  EXPECT_GT(changes, before);
  EXPECT_EQ(GetWindowText(e->Handle()), "768");
}

TEST_F(EditTest, NumbersOnlyRefusesOtherCharactersAndMaxLengthLimits) {
  TForm* f = Shown();
  auto* e = Place<TEdit>(f, f, "Edit1", {10, 10, 100, 21}, [](TEdit& x) {
    x.SetNumbersOnly(true);
    x.SetMaxLength(5);
  });
  e->SetFocus();
  host.Type("1a-2.3б4567");
  Pump();
  EXPECT_EQ(e->GetText(), "12345");
  e->SetNumbersOnly(false);
  e->SetMaxLength(0);
  host.Type("x");
  Pump();
  EXPECT_EQ(e->GetText(), "12345x");
  e->SetReadOnly(true);
  host.Type("y");
  Pump();
  EXPECT_EQ(e->GetText(), "12345x");
}

TEST_F(EditTest, EnteringByTabSelectsTheWholeText) {
  TForm* f = Shown();
  auto* a = Place<TButton>(f, f, "Button1", {10, 10, 75, 25});
  auto* e = Place<TEdit>(f, f, "Edit1", {10, 50, 100, 21}, [](TEdit& x) { x.SetText("hello"); });
  a->SetFocus();
  host.Key(VK_TAB);
  Pump();
  ASSERT_TRUE(e->Focused());
  EXPECT_EQ(e->SelStart(), 0);
  EXPECT_EQ(e->SelLength(), 5);
  host.Type("x");
  Pump();
  EXPECT_EQ(e->GetText(), "x");
}

TEST_F(EditTest, EnterInAFieldClicksTheDefaultButtonAndLeavesTheTextAsTyped) {
  TForm* f = Shown();
  auto* e = Place<TEdit>(f, f, "sSpinEdit1", {10, 10, 71, 21}, [](TEdit& x) {
    x.SetNumbersOnly(true);
    x.SetText("1024");
  });
  auto* ok = Place<TButton>(f, f, "OKBtn", {10, 50, 75, 25}, [](TButton& b) {
    b.SetCaption("OK");
    b.SetDefault(true);
  });
  std::string seen;
  ok->OnClick = [&](TComponent*) { seen = e->GetText(); };
  e->SetFocus();
  e->SetText("");
  host.Type("5");
  host.Key(VK_RETURN);
  Pump();
  EXPECT_EQ(seen, "5");
  EXPECT_TRUE(e->Focused());  // Enter does not move the focus
  EXPECT_EQ(e->GetText(), "5");
}

TEST_F(EditTest, MemoLinesAndTheWindowStayInStep) {
  TForm* f = Shown();
  auto* m = Place<TMemo>(f, f, "sMemo1", {16, 54, 265, 123}, [](TMemo& x) {
    x.SetAlignment(taCenter);
    x.SetReadOnly(true);
    x.Lines()->Add("Velmora v8.0");
    x.Lines()->Add("2026");
  });
  EXPECT_EQ(GetWindowText(m->Handle()), "Velmora v8.0\r\n2026");
  LONG_PTR style = GetWindowLongPtr(m->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_TRUE(style & ES_CENTER);
  EXPECT_TRUE(style & ES_READONLY);
  m->Lines()->SetStrings(1, "2027");
  EXPECT_EQ(m->GetText(), "Velmora v8.0\r\n2027");
  m->SetReadOnly(false);
  m->SetFocus();
  SendMessage(m->Handle(), EM_SETSEL, 0, 0);
  host.Type("A");
  host.Key(VK_RETURN);
  Pump();
  ASSERT_EQ(m->Lines()->Count(), 3);
  EXPECT_EQ(m->Lines()->Strings(0), "A");
  EXPECT_EQ(m->Lines()->Strings(1), "Velmora v8.0");
  // A text set by the program reaches Lines and OnChange once, though the
  // multi-line window itself does not announce WM_SETTEXT.
  int changes = 0;
  m->OnChange = [&](TComponent*) { ++changes; };
  m->SetText("x\r\ny");
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(m->Lines()->Count(), 2);
  EXPECT_EQ(m->Lines()->Strings(1), "y");
  m->Lines()->Add("z");
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(m->GetText(), "x\r\ny\r\nz");
}

}  // namespace
}  // namespace vm::test
