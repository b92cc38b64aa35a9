// TUpDown with an edit field: the pair the photo program's size dialog uses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/Edit.h"
#include "toolkit/Layout.h"
#include "toolkit/UpDown.h"

namespace vm::test {
namespace {

class UpDownTest : public TToolkitTest {
 protected:
  void SetUp() override {
    TToolkitTest::SetUp();
    form = MakeForm(100, 100, 298, 139);
    form->Show();
    Pump();
    edit = Place<TEdit>(form, form, "Edit1", {112, 17, 71, 21});
    updown = Place<TUpDown>(form, form, "UpDown1", {0, 0, 16, 21}, [this](TUpDown& u) {
      u.SetMin(10);
      u.SetMax(40000);
      u.SetPosition(1024);
      u.SetThousands(false);
      u.SetAssociate(edit);
    });
    Pump();
  }
  // A point of the up (or down) arrow.
  void ClickArrow(bool up) { ClickAt(updown, 8, up ? 4 : 16); }

  TForm* form = nullptr;
  TEdit* edit = nullptr;
  TUpDown* updown = nullptr;
};

TEST_F(UpDownTest, TheFieldShowsThePositionAndTheArrowsSitOnItsEdge) {
  EXPECT_EQ(updown->ClassName(), "TUpDown");
  EXPECT_EQ(GetClassName(updown->Handle()), "TUpDown");
  EXPECT_EQ(edit->GetText(), "1024");
  // The edit gave the arrows its right end; both controls know their new bounds.
  EXPECT_EQ(edit->Width(), 55);
  EXPECT_EQ(updown->Left(), 167);
  EXPECT_EQ(updown->Top(), 17);
  EXPECT_EQ(updown->Height(), 21);
  // A new window of the up-down (a style change) does not narrow the field again.
  updown->SetWrap(true);
  EXPECT_EQ(edit->Width(), 55);
  EXPECT_EQ(updown->Left(), 167);
  EXPECT_EQ(updown->Position(), 1024);
  // Digit groups, when wanted, in the Russian way.
  updown->SetThousands(true);
  EXPECT_EQ(edit->GetText(),
            "1\xC2\xA0"
            "024");
  updown->SetThousands(false);
  // Out of the range from the program: clamped.
  updown->SetPosition(5);
  EXPECT_EQ(edit->GetText(), "10");
  updown->SetPosition(50000);
  EXPECT_EQ(updown->Position(), 40000);
  // Turning it turns its bounds.
  updown->SetOrientation(udHorizontal);
  // (and, still on the field's edge, it keeps the field's height)
  EXPECT_EQ(updown->Width(), 21);
  EXPECT_EQ(updown->Height(), 21);
  EXPECT_EQ(edit->Width(), 55);
  EXPECT_TRUE(GetWindowLongPtr(updown->Handle(), GWL_STYLE) & UDS_HORZ);
}

TEST_F(UpDownTest, ArrowsAndKeysStepAndAskFirst) {
  std::vector<std::string> events;
  int edits = 0;
  edit->OnChange = [&](TComponent*) { ++edits; };
  updown->OnChanging = [&](TComponent*, bool& allow) {
    events.push_back("changing " + std::to_string(updown->Position()));
    allow = updown->Position() < 1026;
  };
  updown->OnClick = [&](TComponent*, TUDBtnType b) {
    events.push_back(std::string(b == btNext ? "next " : "prev ") +
                     std::to_string(updown->Position()));
  };
  ClickArrow(true);
  EXPECT_TRUE(edit->Focused());
  ClickArrow(false);
  EXPECT_EQ(updown->Position(), 1024);
  EXPECT_EQ(edits, 2);
  // The Up and Down keys in the field.
  host.Key(VK_UP);
  host.Key(VK_UP);
  host.Key(VK_UP);  // refused at 1026
  Pump();
  EXPECT_EQ(updown->Position(), 1026);
  EXPECT_EQ(edit->GetText(), "1026");
  EXPECT_EQ(events, (std::vector<std::string>{"changing 1024", "next 1025", "changing 1025",
                                              "prev 1024", "changing 1024", "next 1025",
                                              "changing 1025", "next 1026", "changing 1026"}));
  // What is typed is where the arrows go on from; Position reads it.
  updown->OnChanging = nullptr;
  edit->SetText("2000");
  EXPECT_EQ(updown->Position(), 2000);
  ClickArrow(true);
  EXPECT_EQ(edit->GetText(), "2001");
  // Held down, the arrow repeats on the clock.
  TPoint p = At(updown, 8, 16);
  host.MouseMove(p.X, p.Y);
  host.MouseDown();
  Pump();
  host.AdvanceClock(ScrollRepeatDelay);
  Pump();
  host.AdvanceClock(ScrollRepeatInterval);
  Pump();
  host.MouseUp();
  Pump();
  EXPECT_EQ(updown->Position(), 1998);
}

TEST_F(UpDownTest, AFreedAssociateIsLetGo) {
  delete edit;
  Pump();
  EXPECT_EQ(updown->Associate(), nullptr);
  EXPECT_EQ(SendMessage(updown->Handle(), UDM_GETBUDDY, 0, 0), 0);
  ClickArrow(true);
  EXPECT_EQ(updown->Position(), 1025);
  // A new associate is attached at its own right edge.
  auto* other = Place<TEdit>(form, form, "Edit2", {112, 47, 71, 21});
  updown->SetAssociate(other);
  EXPECT_EQ(other->GetText(), "1025");
  EXPECT_EQ(other->Width(), 55);
  EXPECT_EQ(updown->Top(), 47);
}

}  // namespace
}  // namespace vm::test
