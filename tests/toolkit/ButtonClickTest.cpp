// Buttons as a user clicks them quickly, and hints over controls that are
// switched off.
#include <gtest/gtest.h>

#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/BitBtn.h"
#include "toolkit/Button.h"
#include "toolkit/HintWindow.h"
#include "toolkit/SpeedButton.h"

namespace vm::test {
namespace {

class ButtonClickTest : public TToolkitTest {};

// Two clicks at one place within the double-click time are two clicks on
// every kind of button: the second press arrives as a double click.
TEST_F(ButtonClickTest, TwoQuickClicksAreTwoClicks) {
  TForm* f = MakeForm(100, 100, 300, 100);
  auto* plain = Put<TButton>(f, 10, 10, 75, 25);
  auto* glyph = Put<TBitBtn>(f, 100, 10, 49, 41);
  auto* speed = Put<TSpeedButton>(f, 200, 10, 30, 30);
  f->Show();
  Pump();
  for (TControl* c : std::initializer_list<TControl*>{plain, glyph, speed}) {
    int clicks = 0, doubles = 0;
    c->OnClick = [&](TComponent*) { ++clicks; };
    c->OnDblClick = [&](TComponent*) { ++doubles; };
    host.AdvanceClock(1000);
    ClickAt(c, 8, 8);
    host.AdvanceClock(50);
    ClickAt(c, 8, 8);
    EXPECT_EQ(clicks, 2) << c->ClassName();
    // A third quick click is a click again.
    host.AdvanceClock(50);
    ClickAt(c, 8, 8);
    EXPECT_EQ(clicks, 3) << c->ClassName();
    EXPECT_LE(doubles, 1) << c->ClassName();
  }
}

// A switched-off control still says what it is for.
TEST_F(ButtonClickTest, HintShowsOverADisabledControl) {
  TForm* f = MakeForm(100, 100, 300, 100);
  auto* save = Put<TBitBtn>(f, 10, 10, 49, 41);
  save->SetHint("Сохранить");
  save->SetShowHint(true);
  save->SetEnabled(false);
  auto* speed = Put<TSpeedButton>(f, 100, 10, 30, 30);
  speed->SetHint("Отменить");
  speed->SetShowHint(true);
  speed->SetEnabled(false);
  f->Show();
  Pump();
  THintWindow* hint = app->HintWindow();
  for (auto [c, text] :
       std::vector<std::pair<TControl*, std::string>>{{save, "Сохранить"}, {speed, "Отменить"}}) {
    TPoint p = At(c, 10, 10);
    host.MouseMove(p.X, p.Y);
    Pump();
    host.AdvanceClock(app->HintPause + 10);
    Pump();
    ASSERT_TRUE(hint->Active()) << text;
    EXPECT_EQ(hint->GetText(), text);
    // Leaving the control takes the hint away.
    TPoint away = At(f, 290, 90);
    host.MouseMove(away.X, away.Y);
    Pump();
    host.AdvanceClock(app->HintPause + 10);
    Pump();
    EXPECT_FALSE(hint->Active()) << text;
  }
  // A click on the disabled button does nothing.
  int clicks = 0;
  save->OnClick = [&](TComponent*) { ++clicks; };
  ClickAt(save, 10, 10);
  EXPECT_EQ(clicks, 0);
}

}  // namespace
}  // namespace vm::test
