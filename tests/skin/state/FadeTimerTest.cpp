// Fades of a skinned control driven by the host's clock: the frames between
// the old and the new look, restarts when the look changes again mid-way,
// the switches that make a look change at once, and controls that are
// disabled or freed while they fade.
#include <memory>

#include "skin/paint/pixels/PixelOps.h"
#include "skin/state/FadeTimer.h"
#include "tests/skin/state/StateTestSupport.h"

namespace vm::test {
namespace {

// A control with a normal (state 0) and a hot (state 1) look that fades
// between them the way the skinned controls do: command 23 rebuilds the
// cache in the new look, command 24 frames are recorded and left to the
// timer to draw, command 16 stops the fade and repaints.
class TFadingBox : public TCustomControl {
 public:
  explicit TFadingBox(TComponent* owner) : TCustomControl(owner), SkinData(this, true) {
    SkinData.ControlType = 9999;
    SkinData.SetSkinSection("FADER");
  }
  ~TFadingBox() override { StopFade(Timer); }
  std::string ClassName() const override { return "TFadingBox"; }

  void SetHot(bool hot, bool halfSteps = false) {
    Hot = hot;
    RepaintWithFade(Timer, SkinData, halfSteps, hot ? 1 : 2, true);
  }
  void Rebuild() {
    SkinData.PrepareCache();
    PaintControlItem(SkinData, SkinData.GetParentBackground(), true, true, SkinData.CacheBmp.get(),
                     {Left(), Top()}, ClientRect(), Hot ? 1 : 0);
    SkinData.CacheInvalid = false;
  }
  void WndProc(TMessage& m) override {
    Record(Name(), m);
    if (m.Msg == SM_NIRVEXCMD) {
      switch (CommandOf(m.WParam)) {
        case CmdFadePrepare:
          Rebuild();
          return;
        case CmdFadeFrame:
          Frames.push_back(*reinterpret_cast<const TBitmap*>(m.LParam));
          if (OnFrame) OnFrame();
          m.Result = 0;
          return;
        case CmdUpdate:
          ++Updates;
          StopFade(Timer);
          Invalidate();
          return;
      }
    }
    if (SkinData.HandleMessage(m)) return;
    TCustomControl::WndProc(m);
  }

  TsCommonData SkinData;
  TsFadeTimer* Timer = nullptr;
  bool Hot = false;
  std::vector<TBitmap> Frames;
  int Updates = 0;
  std::function<void()> OnFrame;

 protected:
  void Paint() override {
    if (SkinData.CacheInvalid) Rebuild();
    PaintDC()->BitBlt(0, 0, Width(), Height(), *SkinData.CacheBmp, 0, 0, SRCCOPY);
  }
};

constexpr TColor Red = RGB(255, 0, 0);
constexpr TColor Blue = RGB(0, 0, 255);

// The blend of one fade frame for a pixel: old weight w.
TColor Mix(TColor oldC, TColor newC, int w) {
  auto ch = [w](int o, int n) { return (o * w + n * (255 - w) + 127) >> 8; };
  return RGB(ch(GetRValue(oldC), GetRValue(newC)), ch(GetGValue(oldC), GetGValue(newC)),
             ch(GetBValue(oldC), GetBValue(newC)));
}

bool AllPixels(const TBitmap& b, TColor c) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.GetPixel(x, y) != c) return false;
  return b.Width() > 0;
}

class FadeTimerTest : public TSkinStateTest {
 protected:
  void SetUp() override {
    TSkinStateTest::SetUp();
    WriteSkin("Fade", std::string(TestSkinText) +
                          "\r\n[FADER]\r\nCOLOR=255\r\nHOTCOLOR=16711680\r\n"
                          "FADINGENABLED=TRUE\r\nFADINGITERATIONS=4\r\n");
    Manager().SetSkinName("Fade");
    form = MakeForm<TRecordingForm>("Form");
    box = Put<TFadingBox>(form, "Box", 10, 20, 49, 41);
    form->Show();
    Pump();
    AnimationsOff = false;
    FadingSuspended = false;
  }
  void TearDown() override {
    CompanionWindow = nullptr;
    AnimationsOff = false;
    FadingSuspended = false;
    TSkinStateTest::TearDown();
  }
  TsGeneralData& Section() {
    return Manager().gd[std::size_t(Manager().FindSectionIndex("FADER"))];
  }
  // One timer period of the host's clock.
  void Tick() {
    host.AdvanceClock(10);
    Pump();
  }
  // What the form's window shows at a point of the box.
  TColor Shown(TControl* c, int x, int y) {
    PresentWindows();
    const TBitmap* store = GetWindowStore(form->Handle());
    TRect wr;
    GetWindowRect(form->Handle(), &wr);
    const TPoint p = c->ClientToScreen({x, y});
    return store->GetPixel(p.X - wr.Left, p.Y - wr.Top);
  }

  TRecordingForm* form = nullptr;
  TFadingBox* box = nullptr;
};

TEST_F(FadeTimerTest, FadeShowsIterationsFramesFromTheOldToTheNewLook) {
  ASSERT_TRUE(box->SkinData.IsSkinned(true));
  EXPECT_EQ(Shown(box, 0, 0), Red);
  box->SetHot(true);
  ASSERT_NE(box->Timer, nullptr);
  EXPECT_TRUE(AllPixels(*box->Timer->StartPicture, Red));  // the look before the change
  EXPECT_TRUE(AllPixels(*box->SkinData.CacheBmp, Blue));   // rebuilt by command 23
  EXPECT_TRUE(box->Frames.empty());
  EXPECT_EQ(Shown(box, 0, 0), Red);  // nothing changes before the first tick

  std::vector<TColor> onScreen;
  for (int i = 0; i < 10 && box->Timer; ++i) {
    Tick();
    if (box->Timer) onScreen.push_back(Shown(box, 48, 40));
  }
  EXPECT_EQ(box->Timer, nullptr);
  EXPECT_EQ(box->Updates, 1);
  ASSERT_EQ(box->Frames.size(), 4u);
  // Weights 191, 127, 63, 0 for the old look. The last frame is the new look
  // itself, not the blend's 254 for a channel of 255.
  const int weights[] = {191, 127, 63, 0};
  for (std::size_t k = 0; k < 4; ++k) {
    const TColor expected = k == 3 ? Blue : Mix(Red, Blue, weights[k]);
    EXPECT_TRUE(AllPixels(box->Frames[k], expected)) << k;
    EXPECT_EQ(FadeWeight(int(k) + 1, 4), weights[k]);
    EXPECT_EQ(onScreen[k], expected) << "drawn straight onto the window";
  }
  EXPECT_NE(Mix(Red, Blue, 0), Blue);
  EXPECT_TRUE(box->Frames.back().SamePixels(*box->SkinData.CacheBmp));
  EXPECT_EQ(Shown(box, 0, 0), Blue);
  EXPECT_EQ(Shown(box, 48, 40), Blue);

  // Further ticks change nothing.
  for (int i = 0; i < 5; ++i) Tick();
  EXPECT_EQ(box->Frames.size(), 4u);
  EXPECT_EQ(box->Updates, 1);
}

TEST_F(FadeTimerTest, StepCountsHalfStepsAndTheSwitchesThatChangeAtOnce) {
  Section().FadingIterations = 10;
  box->SetHot(true, true);
  ASSERT_NE(box->Timer, nullptr);
  EXPECT_EQ(box->Timer->StepCount, 5);
  while (box->Timer) Tick();
  EXPECT_EQ(box->Frames.size(), 5u);

  // A section that does not fade, fades switched off engine-wide, held back,
  // or a control not in its current look yet: a new look at once, no timer.
  auto atOnce = [&](const char* why) {
    box->Frames.clear();
    box->SetHot(!box->Hot);
    EXPECT_EQ(box->Timer, nullptr) << why;
    Pump();
    EXPECT_EQ(Shown(box, 5, 5), box->Hot ? Blue : Red) << why;
    EXPECT_TRUE(box->Frames.empty()) << why;
  };
  Section().FadingEnabled = false;
  atOnce("section");
  Section().FadingEnabled = true;
  AnimationsOff = true;
  atOnce("animations off");
  AnimationsOff = false;
  FadingSuspended = true;
  atOnce("suspended");
  FadingSuspended = false;
  box->SkinData.CacheInvalid = true;
  atOnce("stale cache");

  // The plain look (no skin) never fades.
  box->SkinData.SetSkinSection("NOSUCHSECTION");
  box->SetHot(!box->Hot);
  EXPECT_EQ(box->Timer, nullptr);
}

TEST_F(FadeTimerTest, ALookChangedMidFadeFadesOnFromWhatIsShown) {
  box->SetHot(true);
  Tick();
  Tick();
  ASSERT_EQ(box->Frames.size(), 2u);
  const TColor midway = Mix(Red, Blue, 127);
  EXPECT_EQ(Shown(box, 3, 3), midway);

  // Back to normal: the running timer is reused, counts from the start and
  // starts from the frame on the screen, not from the look it was heading for.
  TsFadeTimer* timer = box->Timer;
  box->SetHot(false);
  EXPECT_EQ(box->Timer, timer);
  EXPECT_EQ(timer->StepCount, 4);
  EXPECT_EQ(timer->Step, 1);
  EXPECT_EQ(timer->FadeDirection(), 2);
  EXPECT_TRUE(AllPixels(*timer->StartPicture, midway));
  EXPECT_TRUE(AllPixels(*box->SkinData.CacheBmp, Red));
  Tick();
  ASSERT_EQ(box->Frames.size(), 3u);
  EXPECT_TRUE(AllPixels(box->Frames[2], Mix(midway, Red, 191)));

  // Changed again while fading in direction 2: the step count is
  // FadingIterations - FadingIterations = 0, so the fade ends at the next
  // tick and the control shows its new look.
  box->SetHot(true);
  EXPECT_EQ(box->Timer->StepCount, 0);
  Tick();
  EXPECT_EQ(box->Timer, nullptr);
  EXPECT_EQ(box->Frames.size(), 3u);
  Pump();
  EXPECT_EQ(Shown(box, 3, 3), Blue);
}

TEST_F(FadeTimerTest, DisabledOrFreedControlsEndTheirFadeUntouched) {
  // Disabled mid-way: no more frames, the control repaints in its new look.
  box->SetHot(true);
  Tick();
  box->SetEnabled(false);
  Tick();
  Pump();
  EXPECT_EQ(box->Frames.size(), 1u);
  EXPECT_FALSE(box->Timer->Enabled());
  EXPECT_EQ(Shown(box, 1, 1), Blue);
  for (int i = 0; i < 3; ++i) Tick();
  EXPECT_EQ(box->Frames.size(), 1u);

  // Freed mid-way: the timer it owns goes with it; ticks find nothing.
  auto* second = Put<TFadingBox>(form, "Second", 70, 20, 30, 30);
  Pump();
  second->SetHot(true);
  Tick();
  delete second;
  for (int i = 0; i < 5; ++i) Tick();

  // A timer kept by someone else outlives the control it faded and never
  // reaches the freed state again.
  auto* third = Put<TFadingBox>(form, "Third", 110, 20, 30, 30);
  Pump();
  TsFadeTimer* foreign = Create<TsFadeTimer>(form);
  third->Timer = foreign;
  third->SetHot(true);
  ASSERT_EQ(third->Timer, foreign);
  third->Timer = nullptr;  // the box must not free it
  ASSERT_TRUE(foreign->Enabled());
  delete third;
  Tick();
  EXPECT_EQ(foreign->FadeDirection(), 0);
  EXPECT_FALSE(foreign->Enabled());
  EXPECT_EQ(foreign->OwnerState(), nullptr);

  // A control freed while it handles a frame is not drawn on.
  auto* fourth = Put<TFadingBox>(form, "Fourth", 150, 20, 30, 30);
  Pump();
  fourth->SetHot(true);
  fourth->OnFrame = [&] { delete fourth; };
  Tick();
  Tick();
}

TEST_F(FadeTimerTest, CompanionHearsARefreshAfterEachFrame) {
  auto* mirror = MakeForm<TRecordingForm>("Mirror");
  mirror->HandleNeeded();
  CompanionWindow = mirror->Handle();
  box->SetHot(true);
  while (box->Timer) Tick();
  EXPECT_EQ(Changes(HeardBy("Mirror")), (std::vector<int>{3, 3, 3, 3}));
}

TEST(FadeFrameTest, FramesAreTheMixOfStartAndCacheWhateverTheLayout) {
  // Odd widths pad their rows; a bottom-up cache is laid out the other way.
  for (bool bottomUp : {false, true}) {
    for (int w : {2, 5, 49}) {
      TBitmap start(w, 7), cache(w, 7, TPixelFormat::pf24bit, bottomUp);
      for (int y = 0; y < 7; ++y)
        for (int x = 0; x < w; ++x) {
          start.SetPixel(x, y, RGB(x * 40 % 256, y * 30, 200));
          cache.SetPixel(x, y, RGB(255 - y * 20, x * 17 % 256, 3));
        }
      for (int step = 1; step <= 5; ++step) {
        TBitmap frame, expected = start;
        MakeFadeFrame(frame, start, cache, step, 5);
        if (step == 5) {
          EXPECT_TRUE(frame.SamePixels(cache));
          continue;
        }
        MixBitmaps(expected, cache, std::uint32_t(FadeWeight(step, 5)));
        EXPECT_TRUE(frame.SamePixels(expected)) << w << " " << bottomUp << " " << step;
      }
    }
  }
  // A cache of another size cannot be mixed: the frame is the new look.
  TBitmap start(4, 4), cache(6, 3), frame;
  cache.Fill(Blue);
  MakeFadeFrame(frame, start, cache, 1, 5);
  EXPECT_TRUE(frame.SamePixels(cache));
}

// A control that repaints itself for each frame through TsAnimTimer, shown
// by its parent as the animating child.
class TAnimatedBox : public TFadingBox {
 public:
  explicit TAnimatedBox(TComponent* owner) : TFadingBox(owner), Anim(Create<TsAnimTimer>(this)) {}
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_NIRVEXCMD && CommandOf(m.WParam) == CmdUpdate) {
      Record(Name(), m);
      Anim->SetEnabled(false);
      ++Updates;
      Invalidate();
      return;
    }
    TFadingBox::WndProc(m);
  }
  TsAnimTimer* Anim;
  std::vector<TColor> Painted;

 protected:
  void Paint() override {
    TFadingBox::Paint();
    if (Anim->Busy && Anim->FramePicture && !Anim->FramePicture->Empty()) {
      PaintDC()->BitBlt(0, 0, Width(), Height(), *Anim->FramePicture, 0, 0, SRCCOPY);
      Painted.push_back(Anim->FramePicture->GetPixel(0, 0));
    }
  }
};

TEST_F(FadeTimerTest, AnimationTimerHasTheControlRepaintEachFrame) {
  auto* anim = Put<TAnimatedBox>(form, "Anim", 70, 20, 30, 30);
  Pump();
  anim->Anim->PrepareAnimation(anim->SkinData);
  EXPECT_EQ(anim->Anim->StepCount, 4);
  EXPECT_EQ(anim->Anim->Interval(), 10u);
  anim->Anim->StartPicture = std::make_unique<TBitmap>(*anim->SkinData.CacheBmp);
  anim->Hot = true;
  anim->Rebuild();
  anim->Anim->Step = 1;
  Heard().clear();
  anim->Anim->SetEnabled(true);
  Tick();
  // One frame: the parent is told the animating child, the control's
  // painting is switched on and it repaints, then the parent forgets it.
  std::vector<std::string> order;
  for (const std::string& e : Heard())
    if (e == "Form:15" || e == "Anim:8") order.push_back(e);
  EXPECT_EQ(order, (std::vector<std::string>{"Form:15", "Anim:8", "Form:15"}));
  ASSERT_EQ(anim->Painted.size(), 1u);
  EXPECT_EQ(anim->Painted[0], Mix(Red, Blue, 191));

  for (int i = 0; i < 8 && anim->Anim->Enabled(); ++i) Tick();
  EXPECT_EQ(anim->Updates, 1);
  ASSERT_EQ(anim->Painted.size(), 4u);
  EXPECT_EQ(anim->Painted.back(), Blue);
  EXPECT_TRUE(anim->Anim->FramePicture->SamePixels(*anim->SkinData.CacheBmp));

  // Freed mid-animation: nothing is touched afterwards.
  anim->Anim->Step = 1;
  anim->Anim->SetEnabled(true);
  Tick();
  delete anim;
  for (int i = 0; i < 3; ++i) Tick();
}

}  // namespace
}  // namespace vm::test
