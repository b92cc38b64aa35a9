// The skinned track bar on the headless host: its looks in every state under
// no skin, the built-in skin and a recoloured skin folder, the fades of its
// thumb, dragging and keys, and the failure rules for a skin without its
// images.
#include <gtest/gtest.h>

#include "platform/controls/Controls.h"
#include "skin/controls/TrackBar.h"
#include "skin/state/CommonData.h"
#include "skin/state/FadeTimer.h"
#include "tests/skin/controls/ControlsTestSupport.h"
#include "toolkit/Colors.h"

namespace vm::test {
namespace {

class TrackBarTest : public TControlsTest {
 protected:
  // The quality dialog's slider on a small form: range 1 to 100, no ticks.
  TsTrackBar* MakeBar(TForm* form, TRect r, TTickStyle ticks = tsNone,
                      TTrackBarOrientation o = trHorizontal) {
    auto* t = new TsTrackBar(form);
    t->SetName("Bar" + std::to_string(++bars));
    if (o == trVertical) t->SetOrientation(trVertical);
    t->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    t->SetParams(100, 1, 100);
    t->SetTickStyle(ticks);
    t->SetParent(form);
    return t;
  }
  // The four looks side by side: normal, hot, pressed, focused, disabled.
  TBitmap States(TForm* form, TsTrackBar* t) {
    TBitmap out(t->Width(), t->Height() * 5);
    auto grab = [&](int row) {
      TBitmap s = Shot(form);
      CopyBitmapRect(out, 0, row * t->Height(), t->Width(), t->Height(), s, t->Left(), t->Top(),
                     TRegion(TRect{0, 0, out.Width(), out.Height()}));
    };
    AnimationsOff = true;
    grab(0);
    const TRect thumb = ThumbOnScreen(t);
    host.MouseMove(thumb.Left + 5, thumb.Top + 5);
    Pump();
    grab(1);
    host.MouseDown();
    Pump();
    grab(2);
    host.MouseUp();
    host.MouseMove(form->Width() - 1, form->Height() - 1);
    Pump();
    t->SetFocus();
    grab(3);
    form->SetFocus();
    t->SetEnabled(false);
    grab(4);
    t->SetEnabled(true);
    AnimationsOff = false;
    return out;
  }
  TRect ThumbOnScreen(TsTrackBar* t) {
    TRect r;
    SendMessage(t->Handle(), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
    return r.Offset(t->Left(), t->Top());
  }
  int bars = 0;
};

TEST_F(TrackBarTest, LooksInEveryStateUnderEachSkin) {
  TForm* form = MakeForm(300, 60);
  form->SetColor(clBtnFace);
  TsTrackBar* t = MakeBar(form, {20, 20, 278, 39});
  CompareGolden("trackbar-plain", States(form, t));
  LoadBuiltinSkin();
  CompareGolden("trackbar-builtin", States(form, t));
  LoadEditedSkin([](std::string o) {
    o = ReplaceAll(o, "COLOR=15791348", "COLOR=" + std::to_string(RecolouredFace));
    return ReplaceAll(o, "HOTCOLOR=16777215\r\nTRANSPARENCY=100",
                      "HOTCOLOR=13421823\r\nTRANSPARENCY=100");
  });
  CompareGolden("trackbar-recoloured", States(form, t));
}

// Ticks above, below and on both sides, horizontal and vertical; the thumb
// points toward the ticks above (its image mirrored), and ticks of a skin
// without tick images are small 3D marks.
TEST_F(TrackBarTest, TicksAndThumbDirection) {
  LoadBuiltinSkin();
  TForm* form = MakeForm(300, 200);
  TsTrackBar* below = MakeBar(form, {10, 5, 210, 45}, tsAuto);
  below->SetParams(50, 0, 10);
  TsTrackBar* above = MakeBar(form, {10, 50, 210, 90}, tsAuto);
  above->SetParams(3, 0, 10);
  above->SetTickMarks(tmTopLeft);
  TsTrackBar* both = MakeBar(form, {10, 95, 210, 140}, tsManual);
  both->SetParams(7, 0, 10);
  both->SetTick(2);
  both->SetTick(5);
  both->SetTickMarks(tmBoth);
  TsTrackBar* vertical = MakeBar(form, {230, 5, 275, 195}, tsAuto, trVertical);
  vertical->SetParams(4, 0, 8);
  vertical->SetTickMarks(tmBoth);
  CompareGolden("trackbar-ticks", Shot(form));
  // The automatic ticks: first and last at the thumb's centre at the ends,
  // the step between them the channel less the thumb over the gaps.
  ASSERT_EQ(below->TickPositions().size(), 11u);
  TRect channel, thumb;
  SendMessage(below->Handle(), TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
  SendMessage(below->Handle(), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  EXPECT_EQ(below->TickPositions().front(), channel.Left + thumb.Width() / 2);
  EXPECT_DOUBLE_EQ(below->LastTickStep(), (channel.Width() - thumb.Width()) / 10.0);
  // The manual ticks: the ends and the two set ones, where the window puts them.
  ASSERT_EQ(both->TickPositions().size(), 4u);
  EXPECT_EQ(both->TickPositions()[1], int(SendMessage(both->Handle(), TBM_GETTICPOS, 0, 0)));
  EXPECT_EQ(both->TickPositions()[3], channel.Right - thumb.Width() / 2);

  LoadEditedSkin([](std::string o) {
    o = ReplaceAll(o, "TICKHORZ=", "UNUSEDH=");
    return ReplaceAll(o, "TICKVERT=", "UNUSEDV=");
  });
  CompareGolden("trackbar-ticks-noimages", Shot(form));
}

// A skin without the thumb or the channel image leaves the slider to the
// platform (it could not be worked without a thumb); the other controls of
// the form stay skinned, and no ticks are asked for without tick marks.
TEST_F(TrackBarTest, SkinWithoutItsImagesLeavesThePlainLook) {
  TForm* form = MakeForm(300, 60);
  TsTrackBar* t = MakeBar(form, {20, 20, 278, 39});
  const TBitmap plain = Shot(form);
  LoadBuiltinSkin();
  const TBitmap skinned = Shot(form);
  EXPECT_FALSE(plain.SamePixels(skinned));
  LoadEditedSkin([](std::string o) { return ReplaceAll(o, "SLIDERMASK=", "UNUSED="); });
  EXPECT_TRUE(Shot(form).SamePixels(plain)) << "a thumbless skin must leave the platform's look";
  LoadEditedSkin([](std::string o) { return ReplaceAll(o, "SLIDERCHANNEL=", "UNUSED="); });
  EXPECT_TRUE(Shot(form).SamePixels(plain));
  LoadEditedSkin([](std::string o) { return ReplaceAll(o, "[TRACKBAR]", "[NOTRACKBAR]"); });
  EXPECT_TRUE(Shot(form).SamePixels(plain));
  // Dragging still works on the plain look.
  const TRect thumb = ThumbOnScreen(t);
  host.Drag({thumb.Left + 5, thumb.Top + 5}, {100, thumb.Top + 5});
  Pump();
  EXPECT_LT(t->Position(), 100);
}

// Hover and press fade over the section's steps on the virtual clock; a
// change of direction in the middle continues from the frame on the screen.
TEST_F(TrackBarTest, ThumbFadesOnTheClock) {
  LoadBuiltinSkin();
  TForm* form = MakeForm(300, 60);
  TsTrackBar* t = MakeBar(form, {20, 20, 278, 39});
  const TBitmap normal = Shot(form);
  const TRect thumb = ThumbOnScreen(t);
  host.MouseMove(thumb.Left + 5, thumb.Top + 5);
  Pump();
  ASSERT_NE(t->FadeTimer(), nullptr);
  EXPECT_EQ(t->FadeTimer()->StepCount, 20);  // FADINGITERATIONS of TRACKBAR
  // The first frame is mostly the old look, the screen changes every tick.
  host.AdvanceClock(10);
  Pump();
  const TBitmap first = Shot(form);
  EXPECT_FALSE(first.SamePixels(normal));
  for (int i = 0; i < 8; ++i) {
    host.AdvanceClock(10);
    Pump();
  }
  const TBitmap middle = Shot(form);
  // Leaving mid-fade turns back from what is on the screen.
  host.MouseMove(299, 59);
  Pump();
  ASSERT_NE(t->FadeTimer(), nullptr);
  EXPECT_TRUE(t->FadeTimer()->StartPicture &&
              !t->FadeTimer()->StartPicture->SamePixels(*t->SkinData()->CacheBmp));
  for (int i = 0; i < 40; ++i) {
    host.AdvanceClock(10);
    Pump();
  }
  EXPECT_TRUE(Shot(form).SamePixels(normal)) << "the fade back must end on the normal look";
  (void)middle;
}

// The thumb dragged and keyed: OnChange then OnUserChange for the user's
// moves, OnChange alone from code; a press beside the thumb pages without
// showing it pressed.
TEST_F(TrackBarTest, DraggedAndKeyed) {
  LoadBuiltinSkin();
  TForm* form = MakeForm(300, 60);
  TsTrackBar* t = MakeBar(form, {20, 20, 278, 39});
  std::vector<std::string> events;
  t->OnChange = [&](TComponent*) { events.push_back("change"); };
  t->OnUserChange = [&](TComponent*) { events.push_back("user"); };
  t->SetPosition(50);
  EXPECT_EQ(events, std::vector<std::string>{"change"});
  events.clear();
  Shot(form);
  TRect thumb = ThumbOnScreen(t);
  host.MouseMove(thumb.Left + 5, thumb.Top + 5);
  host.MouseDown();
  Pump();
  EXPECT_TRUE(t->ThumbPressed());
  EXPECT_EQ(t->ThumbState(), 2);
  EXPECT_FALSE(Application->ShowHint()) << "no hints over a dragged thumb";
  host.MouseMove(thumb.Left + 60, thumb.Top + 5);
  Pump();
  host.MouseUp();
  Pump();
  EXPECT_TRUE(Application->ShowHint());
  EXPECT_FALSE(t->ThumbPressed());
  EXPECT_GT(t->Position(), 50);
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[0], "change");
  EXPECT_EQ(events[1], "user");
  // Keys: Home goes to the minimum.
  events.clear();
  host.Key(VK_HOME);
  Pump();
  EXPECT_EQ(t->Position(), 1);
  // Every notice of the window is told (the key's release closes the track
  // with one more, without a change).
  EXPECT_EQ(events, (std::vector<std::string>{"change", "user", "user"}));
  // A press in the channel right of the thumb pages toward it.
  events.clear();
  thumb = ThumbOnScreen(t);
  host.MouseMove(thumb.Right + 40, thumb.Top + 5);
  host.MouseDown();
  Pump();
  EXPECT_FALSE(t->ThumbPressed());
  EXPECT_NE(t->ThumbState(), 2);
  host.MouseUp();
  Pump();
  EXPECT_GT(t->Position(), 1);
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[1], "user");
  // Dragged off across the track and released there: not held any more.
  thumb = ThumbOnScreen(t);
  host.MouseMove(thumb.Left + 5, thumb.Top + 5);
  host.MouseDown();
  host.MouseMove(thumb.Left + 5, 58);
  host.MouseUp();
  Pump();
  EXPECT_FALSE(t->ThumbPressed());
  EXPECT_EQ(t->ThumbState(), 1);  // focused
}

// A skin change and skinning switched off while the thumb is hot or held:
// no stale pressed look, no fade left running, the plain look without skin.
TEST_F(TrackBarTest, SkinSwitchWhileHotOrPressed) {
  TForm* form = MakeForm(300, 60);
  TsTrackBar* t = MakeBar(form, {20, 20, 278, 39});
  const TBitmap plain = Shot(form);
  LoadBuiltinSkin();
  Shot(form);
  const TRect thumb = ThumbOnScreen(t);
  host.MouseMove(thumb.Left + 5, thumb.Top + 5);
  Pump();
  LoadEditedSkin([](std::string o) { return o; });
  EXPECT_EQ(t->FadeTimer(), nullptr);
  host.MouseDown();
  Pump();
  EXPECT_TRUE(t->ThumbPressed());
  manager->SetActive(false);
  Pump();
  EXPECT_FALSE(t->ThumbPressed());
  host.MouseUp();
  Pump();
  host.MouseMove(299, 59);
  // The platform paints again: its face colour where the skin had its own.
  EXPECT_EQ(Shot(form).GetPixel(25, 22), ColorToRGB(form->Color()));
  EXPECT_EQ(plain.GetPixel(25, 22), ColorToRGB(form->Color()));
  manager->SetActive(true);
  Pump();
  EXPECT_NE(Shot(form).GetPixel(25, 22), ColorToRGB(form->Color()));
}

}  // namespace
}  // namespace vm::test
