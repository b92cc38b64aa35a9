// TTrackBar: its values reach the window, what the user does comes back as
// Position and OnChange.
#include <gtest/gtest.h>

#include "platform/controls/Controls.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/Layout.h"
#include "toolkit/TrackBar.h"

namespace vm::test {
namespace {

class TrackBarTest : public TToolkitTest {
 protected:
  TForm* Shown() {
    TForm* f = MakeForm(100, 100, 300, 200);
    f->Show();
    Pump();
    return f;
  }
  // The quality slider of the photo program: 1..100, no tick marks.
  TTrackBar* Quality(TForm* f) {
    return Place<TTrackBar>(f, f, "sTrackBar1", {20, 74, 258, 19}, [](TTrackBar& t) {
      t.SetMax(100);
      t.SetMin(1);
      t.SetTickStyle(tsNone);
      t.SetPosition(100);
    });
  }
};

TEST_F(TrackBarTest, PositionStaysInTheRangeAndOnChangeFollowsTheStoredValue) {
  auto* t = Create<TTrackBar>(app.get());
  EXPECT_EQ(t->ClassName(), "TTrackBar");
  EXPECT_EQ(t->Max(), 10);
  std::vector<int> changes;
  t->OnChange = [&](TComponent* s) { changes.push_back(static_cast<TTrackBar*>(s)->Position()); };
  t->SetPosition(20);  // clamped to 10
  t->SetPosition(10);  // unchanged: no event
  t->SetPosition(-3);
  EXPECT_EQ(changes, (std::vector<int>{10, 0}));
  // A range that leaves the position outside pulls it in, with OnChange.
  t->SetMin(4);
  EXPECT_EQ(t->Position(), 4);
  t->SetMin(11);  // above Max: refused
  EXPECT_EQ(t->Min(), 4);
  t->SetMax(3);  // below Min: refused
  EXPECT_EQ(t->Max(), 10);
  t->SetPosition(9);
  t->SetMax(6);
  EXPECT_EQ(changes, (std::vector<int>{10, 0, 4, 9, 6}));
  t->SetParams(50, 20, 80);  // all three at once, although 20 is above the old Max
  EXPECT_EQ(t->Min(), 20);
  EXPECT_EQ(t->Position(), 50);
}

TEST_F(TrackBarTest, PropertiesReachTheWindowAndSurviveANewOne) {
  TForm* f = Shown();
  auto* t = Place<TTrackBar>(f, f, "TrackBar1", {10, 10, 200, 45}, [](TTrackBar& x) {
    x.SetMax(100);
    x.SetPosition(30);
    x.SetFrequency(10);
    x.SetPageSize(15);
    x.SetLineSize(3);
    x.SetThumbLength(16);
  });
  HWND h = t->Handle();
  EXPECT_EQ(GetClassName(h), "TTrackBar");
  const DWORD style = DWORD(GetWindowLongPtr(h, GWL_STYLE));
  EXPECT_TRUE(style & TBS_AUTOTICKS);
  EXPECT_TRUE(style & TBS_FIXEDLENGTH);
  EXPECT_FALSE(style & (TBS_VERT | TBS_NOTICKS | TBS_TOP | TBS_BOTH));
  EXPECT_EQ(SendMessage(h, TBM_GETRANGEMAX, 0, 0), 100);
  EXPECT_EQ(SendMessage(h, TBM_GETPOS, 0, 0), 30);
  EXPECT_EQ(SendMessage(h, TBM_GETNUMTICS, 0, 0), 11);
  EXPECT_EQ(SendMessage(h, TBM_GETPAGESIZE, 0, 0), 15);
  EXPECT_EQ(SendMessage(h, TBM_GETLINESIZE, 0, 0), 3);
  EXPECT_EQ(SendMessage(h, TBM_GETTHUMBLENGTH, 0, 0), 16);

  // Manual ticks, marks on both sides, turned upright: a new window with the
  // same values, and the bounds turned with it.
  t->SetTickStyle(tsManual);
  t->SetTick(25);
  t->SetTick(25);
  t->SetTickMarks(tmBoth);
  t->SetOrientation(trVertical);
  EXPECT_EQ(t->Width(), 45);
  EXPECT_EQ(t->Height(), 200);
  h = t->Handle();
  const DWORD upright = DWORD(GetWindowLongPtr(h, GWL_STYLE));
  EXPECT_TRUE(upright & TBS_VERT);
  EXPECT_TRUE(upright & TBS_BOTH);
  EXPECT_FALSE(upright & TBS_AUTOTICKS);
  EXPECT_EQ(SendMessage(h, TBM_GETNUMTICS, 0, 0), 3);
  EXPECT_EQ(SendMessage(h, TBM_GETTIC, 0, 0), 25);
  EXPECT_EQ(SendMessage(h, TBM_GETPOS, 0, 0), 30);
  EXPECT_EQ(SendMessage(h, TBM_GETTHUMBLENGTH, 0, 0), 16);
  t->SetTickStyle(tsNone);
  EXPECT_EQ(SendMessage(t->Handle(), TBM_GETNUMTICS, 0, 0), 0);
  t->SetSliderVisible(false);
  EXPECT_TRUE(GetWindowLongPtr(t->Handle(), GWL_STYLE) & TBS_NOTHUMB);
}

TEST_F(TrackBarTest, TheUsersMovesBecomePositionAndOnChange) {
  TForm* f = Shown();
  TTrackBar* t = Quality(f);
  std::vector<int> changes;
  t->OnChange = [&](TComponent*) { changes.push_back(t->Position()); };
  // A press on the channel left of the thumb takes the focus and pages down.
  ClickAt(t, 30, 9);
  EXPECT_TRUE(t->Focused());
  EXPECT_EQ(t->Position(), 98);
  host.Key(VK_HOME);
  host.Key(VK_RIGHT);
  Pump();
  EXPECT_EQ(t->Position(), 2);
  // Dragging the thumb follows the pointer; the window and the control agree.
  TRect thumb;
  SendMessage(t->Handle(), TBM_GETTHUMBRECT, 0, LPARAM(reinterpret_cast<std::uintptr_t>(&thumb)));
  const TPoint from = At(t, thumb.Left + 5, 9);
  host.Drag(from, {from.X + 1000, from.Y}, 3);
  Pump();
  EXPECT_EQ(t->Position(), 100);
  EXPECT_EQ(SendMessage(t->Handle(), TBM_GETPOS, 0, 0), 100);
  EXPECT_EQ(changes, (std::vector<int>{98, 1, 2, 100}));
  // Setting it from the program moves the window's thumb and raises OnChange once.
  t->SetPosition(75);
  EXPECT_EQ(SendMessage(t->Handle(), TBM_GETPOS, 0, 0), 75);
  EXPECT_EQ(changes.back(), 75);
  EXPECT_EQ(changes.size(), 5u);
}

}  // namespace
}  // namespace vm::test
