// The skin commands end to end: a manager announcing through the window
// announcer to real forms and controls on the headless host.
#include <stdexcept>

#include "tests/skin/state/StateTestSupport.h"

namespace vm::test {
namespace {

using Cmds = std::vector<int>;

class CommandProtocolTest : public TSkinStateTest {};

TEST_F(CommandProtocolTest, AFormAndItsControlsFollowLoadRefreshHueShiftAndSwitchOff) {
  auto* form = MakeForm<TRecordingForm>("Form");
  auto* box = Put<TSkinnedBox>(form, "Box", 10, 10, 60, 30);
  auto* panel = Put<TSkinnedBox>(form, "Panel", 80, 10, 100, 100);
  auto* inner = Put<TSkinnedBox>(panel, "Inner", 5, 5, 20, 20);
  auto* spot = Put<TSkinnedSpot>(form, "Spot", 10, 50, 20, 20);
  form->Show();
  Pump();

  TsSkinManager& m = Manager();
  m.SetSkinName("Test");
  ASSERT_TRUE(m.SkinData.Active);
  // A new skin: 1, then the refresh (16 before 3).
  for (const char* name : {"Form", "Box", "Panel", "Spot"})
    EXPECT_EQ(Changes(HeardBy(name)), (Cmds{1, 16, 3})) << name;
  // A skinned container answers command 7: it passes commands on itself, so
  // the walk does not reach into it.
  EXPECT_EQ(Changes(HeardBy("Inner")), Cmds{});
  EXPECT_EQ(box->SkinData.SkinSection(), "PANEL");         // code 51
  EXPECT_EQ(spot->SkinData.SkinSection(), "SPEEDBUTTON");  // code 92
  EXPECT_TRUE(box->SkinData.IsSkinned(true));
  EXPECT_FALSE(box->SkinData.PaintSuspended);
  EXPECT_TRUE(box->SkinData.CacheInvalid);
  (void)inner;

  // The skinned box paints its section's colour.
  Pump();
  PresentWindows();
  TPoint p = box->ClientToScreen({30, 15});
  EXPECT_EQ(host.Screenshot().GetPixel(p.X, p.Y), RGB(255, 0, 0));

  // A hue change reloads and refreshes: no new skin.
  Heard().clear();
  m.SetHueOffset(120);
  EXPECT_EQ(Changes(HeardBy("Box")), (Cmds{16, 3}));
  EXPECT_EQ(Changes(HeardBy("Form")), (Cmds{16, 3}));
  EXPECT_TRUE(box->SkinData.IsSkinned(true));
  Pump();
  PresentWindows();
  EXPECT_NE(host.Screenshot().GetPixel(p.X, p.Y), RGB(255, 0, 0));  // repainted shifted

  Heard().clear();
  m.SetSaturation(40);
  EXPECT_EQ(Changes(HeardBy("Spot")), (Cmds{16, 3}));

  // Switching off: 2 alone; the state drops the skin.
  Heard().clear();
  m.SetActive(false);
  EXPECT_EQ(Changes(HeardBy("Box")), (Cmds{2}));
  EXPECT_EQ(Changes(HeardBy("Form")), (Cmds{2}));
  EXPECT_EQ(box->SkinData.SectionIndex, -1);
  EXPECT_EQ(box->SkinData.BorderMaskIndex, -1);
  EXPECT_TRUE(box->SkinData.PaintSuspended);
  EXPECT_EQ(box->SkinData.CacheBmp->Width(), 0);
  EXPECT_FALSE(announcer->HookInstalled());

  // And back on: the whole announcement again.
  Heard().clear();
  m.SetActive(true);
  EXPECT_EQ(Changes(HeardBy("Box")), (Cmds{1, 16, 3}));
  EXPECT_TRUE(announcer->HookInstalled());
}

TEST_F(CommandProtocolTest, FramedFormsAreReachedThroughTheRegistryWithRedrawOffUntilTheEnd) {
  auto* framed = MakeForm<TFramedForm>("Framed");
  Put<TSkinnedBox>(framed, "Box", 10, 10, 60, 30);
  auto* plain = MakeForm<TRecordingForm>("Plain");
  framed->Show();
  plain->Show();
  Pump();
  // Every announcement step reaches the framed form once (it answers command
  // 7), the plain one through the walk.
  Manager().SetSkinName("Test");
  EXPECT_EQ(Changes(HeardBy("Framed")), (Cmds{1, 16, 3}));
  EXPECT_EQ(Changes(HeardBy("Box")), (Cmds{1, 16, 3}));
  EXPECT_EQ(Changes(HeardBy("Plain")), (Cmds{1, 16, 3}));
  // Redraw off before the new skin, once more before the refresh, back on at
  // the end; the frame refreshes itself after the animation (time 0 here).
  EXPECT_EQ(framed->Steps,
            (std::vector<std::string>{"redraw-", "redraw-", "animation 0", "redraw+", "frame"}));

  // With the effect switched off there is no animation.
  framed->Steps.clear();
  Manager().AnimEffects().SkinChanging.Active = false;
  announcer->PlatformMajorVersion = 5;
  Manager().SetHueOffset(30);
  EXPECT_EQ(framed->Steps, (std::vector<std::string>{"redraw-", "redraw+", "frame"}));
}

TEST_F(CommandProtocolTest, AFormInTheRegistryWithoutAFrameHearsEachCommandTwice) {
  auto* form = MakeForm<TRecordingForm>("Form");
  Put<TSkinnedBox>(form, "Box", 10, 10, 60, 30);
  RegisterSkinnedForm(form);
  Manager().SetSkinName("Test");
  EXPECT_EQ(Changes(HeardBy("Form")), (Cmds{1, 1, 16, 16, 3, 3}));
  EXPECT_EQ(Changes(HeardBy("Box")), (Cmds{1, 1, 16, 16, 3, 3}));
  // Removal moves the last entry into the freed place.
  auto* a = MakeForm<TRecordingForm>("A");
  auto* b = MakeForm<TRecordingForm>("B");
  RegisterSkinnedForm(a);
  RegisterSkinnedForm(b);
  UnregisterSkinnedForm(form);
  ASSERT_EQ(SkinnedForms().size(), 2u);
  EXPECT_EQ(SkinnedForms()[0], b);
  EXPECT_EQ(SkinnedForms()[1], a);
  UnregisterSkinnedForm(a);
  UnregisterSkinnedForm(b);
}

TEST_F(CommandProtocolTest, AReceiverThatFreesFormsEndsTheWholeSending) {
  // A registered form outside the application's components: reached only by
  // the registry step.
  TRecordingForm outsider(nullptr);
  outsider.SetName("Outsider");
  RegisterSkinnedForm(&outsider);
  TsSkinManager& m = Manager();
  m.SetSkinName("Test");
  Heard().clear();

  auto* first = MakeForm<TRecordingForm>("First");
  auto* second = MakeForm<TRecordingForm>("Second");
  MakeForm<TRecordingForm>("Third");
  // The last form frees the two before it when it hears the update: the next
  // index is then past the end of the list and the sending stops there.
  OnHeard() = [&](const std::string& name, int c) {
    if (name == "Third" && c == CmdUpdate && first) {
      delete first;
      delete second;
      first = second = nullptr;
    }
  };
  m.SetHueOffset(45);
  EXPECT_EQ(Changes(HeardBy("Third")), (Cmds{16, 3}));
  EXPECT_EQ(Changes(HeardBy("First")), Cmds{});
  EXPECT_EQ(Changes(HeardBy("Second")), Cmds{});
  // Command 16 never reached the registry; command 3 (a new sending) did.
  EXPECT_EQ(Changes(HeardBy("Outsider")), (Cmds{3}));
  OnHeard() = nullptr;
  UnregisterSkinnedForm(&outsider);
}

TEST_F(CommandProtocolTest, ControlsAndFormsFreedWhileACommandIsSentAreNeverReachedAgain) {
  auto* form = MakeForm<TRecordingForm>("Form");
  Put<TSkinnedSpot>(form, "A", 0, 0, 10, 10);
  TSkinnedSpot* b = Put<TSkinnedSpot>(form, "B", 20, 0, 10, 10);
  Put<TSkinnedSpot>(form, "C", 40, 0, 10, 10);
  // A registered form outside the application's list, freed without being
  // unregistered: the registry forgets it by itself.
  auto* doomed = Create<TRecordingForm>(nullptr);
  doomed->SetName("Doomed");
  Put<TSkinnedSpot>(doomed, "D", 0, 0, 10, 10);
  RegisterSkinnedForm(doomed);
  OnHeard() = [&](const std::string& name, int c) {
    // A frees its sibling B and the registered form when it hears the new skin.
    if (name == "A" && c == CmdNewSkin && b) {
      delete b;
      delete doomed;
      b = nullptr;
      doomed = nullptr;
    }
  };
  Manager().SetSkinName("Test");
  EXPECT_EQ(Changes(HeardBy("A")), (Cmds{1, 16, 3}));
  EXPECT_EQ(Changes(HeardBy("B")), Cmds{});
  // C moved into B's place while A was being told and is reached next.
  EXPECT_EQ(Changes(HeardBy("C")), (Cmds{1, 16, 3}));
  EXPECT_EQ(Changes(HeardBy("Doomed")), Cmds{});
  EXPECT_EQ(Changes(HeardBy("D")), Cmds{});
  EXPECT_TRUE(SkinnedForms().empty());
}

TEST_F(CommandProtocolTest, ASkinThatFailsToLoadLeavesThePlainLookNotAHalfAnnouncedOne) {
  auto* form = MakeForm<TRecordingForm>("Form");
  auto* box = Put<TSkinnedBox>(form, "Box", 10, 10, 60, 30);
  TsSkinManager& m = Manager();
  m.SetSkinName("Test");
  ASSERT_TRUE(box->SkinData.IsSkinned(true));
  // An unparsable mask number ends the load half-way with an error.
  WriteSkin("Broken", "[PANEL]\r\nCOLOR=1\r\nBORDERSMASK=^00x6\r\n");
  Heard().clear();
  EXPECT_THROW(m.SetSkinName("Broken"), std::exception);
  EXPECT_EQ(Changes(HeardBy("Box")), (Cmds{2}));
  EXPECT_FALSE(m.SkinData.Active);
  EXPECT_TRUE(m.gd.empty());
  EXPECT_EQ(box->SkinData.SectionIndex, -1);
  EXPECT_FALSE(box->SkinData.IsSkinned());
  EXPECT_FALSE(IsSkinChanging());
  EXPECT_FALSE(announcer->HookInstalled());
  // The next good skin is announced as usual.
  Heard().clear();
  m.SetSkinName("Test");
  EXPECT_EQ(Changes(HeardBy("Box")), (Cmds{1, 16, 3}));
  EXPECT_TRUE(box->SkinData.IsSkinned(true));
  EXPECT_TRUE(announcer->HookInstalled());
}

TEST_F(CommandProtocolTest, AManagerMadeDefaultReannouncesItsSkinToTheControlsThatFollowIt) {
  auto* form = MakeForm<TRecordingForm>("Form");
  auto* box = Put<TSkinnedBox>(form, "Box", 10, 10, 60, 30);
  Manager().SetSkinName("Test");
  WriteSkin("Other", "[PANEL]\r\nCOLOR=65280\r\n\r\n[EXTRA]\r\nCOLOR=1\r\n");
  TsSkinManager second;
  second.SetSkinDirectory(dir.string());
  second.SetSkinName("Other");
  // The box follows the default manager; the second one's announcement was
  // for its own controls only.
  EXPECT_EQ(box->SkinData.GetSkinManager(), &Manager());
  EXPECT_EQ(box->SkinData.SectionIndex, Manager().FindSectionIndex("PANEL"));
  Heard().clear();
  second.SetIsDefault(true);
  EXPECT_EQ(Changes(HeardBy("Box")), (Cmds{1, 16, 3}));
  EXPECT_EQ(box->SkinData.GetSkinManager(), &second);
  EXPECT_EQ(box->SkinData.SectionIndex, second.FindSectionIndex("PANEL"));
  EXPECT_TRUE(box->SkinData.IsSkinned(true));
  EXPECT_FALSE(box->SkinData.PaintSuspended);
}

TEST_F(CommandProtocolTest, TheHookGivesActivatedFormsToTheFrameLayer) {
  std::vector<TCustomForm*> activated;
  announcer->OnFormActivated = [&](TsSkinManager&, TCustomForm* f) { activated.push_back(f); };
  Manager().SetSkinName("Test");
  auto* form = MakeForm<TRecordingForm>("Form");
  auto* engine = MakeForm<TRecordingForm>("Engine");
  engine->SetTag(-98);
  form->Show();
  Pump();
  engine->Show();
  Pump();
  EXPECT_EQ(activated, std::vector<TCustomForm*>{form});
  // Without the standard-forms rule the hook leaves forms alone.
  Manager().SetSkinningRules(srStdDialogs);
  form->BringToFront();
  Pump();
  EXPECT_EQ(activated.size(), 1u);
}

}  // namespace
}  // namespace vm::test
