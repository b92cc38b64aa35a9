// TsCommonData: its property rules, the commands it answers, its state bits
// and the control-level painters over it.
#include <algorithm>
#include <memory>

#include "skin/paint/SkinText.h"
#include "skin/paint/pixels/Colors.h"
#include "tests/skin/state/StateTestSupport.h"
#include "toolkit/Edit.h"

namespace vm::test {
namespace {

using Cmds = std::vector<int>;

class TSkinnedEdit : public TEdit {
 public:
  explicit TSkinnedEdit(TComponent* owner) : TEdit(owner), SkinData(this, true) {
    SkinData.ControlType = 97;
  }
  void WndProc(TMessage& m) override {
    Record(Name(), m);
    if (!SkinData.HandleMessage(m)) TEdit::WndProc(m);
  }
  TsCommonData SkinData;
};

class CommonDataTest : public TSkinStateTest {
 protected:
  void SetUp() override {
    TSkinStateTest::SetUp();
    form = MakeForm<TRecordingForm>("Form");
    Manager().SetSkinName("Test");
  }
  TRecordingForm* form = nullptr;
};

TEST_F(CommonDataTest, SectionNamesAreStoredInUpperCaseAndResolvedByControlType) {
  auto* box = Put<TSkinnedBox>(form, "Box", 0, 0, 40, 20);
  TsCommonData& s = box->SkinData;
  s.SetSkinSection("edit");
  EXPECT_EQ(s.SkinSection(), "EDIT");
  EXPECT_EQ(s.SectionIndex, Manager().FindSectionIndex("EDIT"));
  s.SetSkinSection("");
  EXPECT_EQ(s.SkinSection(), "UNKNOWN");
  EXPECT_EQ(s.SectionIndex, -1);

  // An empty section takes the default of the control-type code, else the
  // owner's class name.
  TsCommonData bar(box, false);
  bar.ControlType = 151;
  bar.ResolveSection();
  EXPECT_EQ(bar.SkinSection(), "STATUSBAR");
  EXPECT_TRUE(bar.IsSkinned(true));
  TsCommonData other(box, false);
  other.ControlType = 9999;
  other.ResolveSection();
  EXPECT_EQ(other.SkinSection(), "TSKINNEDBOX");
  EXPECT_EQ(DefaultSectionOf(94), std::string("BUTTON"));
  EXPECT_EQ(DefaultSectionOf(143), std::string("PAGECONTROL"));
  EXPECT_EQ(DefaultSectionOf(1), std::string());
}

TEST_F(CommonDataTest, ASectionTheSkinLacksLeavesThePlainLook) {
  auto* box = Put<TSkinnedBox>(form, "Box", 10, 10, 40, 20);
  box->SetColor(RGB(1, 2, 3));
  form->Show();
  Pump();
  Heard().clear();
  box->SkinData.SetSkinSection("NOSUCHSECTION");
  // The owner is told to drop the skin.
  EXPECT_EQ(Changes(HeardBy("Box")), (Cmds{2}));
  EXPECT_FALSE(box->SkinData.IsSkinned());
  EXPECT_EQ(box->SkinData.BorderMaskIndex, -1);
  // The painters leave the bitmap as it was.
  TBitmap bmp(40, 20);
  bmp.Fill(RGB(9, 9, 9));
  PaintControlItem(box->SkinData, {}, true, true, &bmp, {0, 0}, Rect(0, 0, 40, 20), 0);
  EXPECT_EQ(bmp.GetPixel(20, 10), RGB(9, 9, 9));
  EXPECT_EQ(ParentColor, KeyColor);
  EXPECT_EQ(KeyFillColor, KeyColor);
  box->Invalidate();
  Pump();
  PresentWindows();
  TPoint p = box->ClientToScreen({20, 10});
  EXPECT_EQ(host.Screenshot().GetPixel(p.X, p.Y), RGB(1, 2, 3));
  // Back to a known section: command 3 and the skin's look.
  Heard().clear();
  box->SkinData.SetSkinSection("Panel");
  EXPECT_EQ(Changes(HeardBy("Box")), (Cmds{3}));
  Pump();
  PresentWindows();
  EXPECT_EQ(host.Screenshot().GetPixel(p.X, p.Y), RGB(255, 0, 0));
}

TEST_F(CommonDataTest, TheDefaultManagerIsStoredAsNoneAndAFreedManagerIsForgotten) {
  auto* box = Put<TSkinnedBox>(form, "Box", 0, 0, 40, 20);
  TsCommonData& s = box->SkinData;
  s.SetSkinManager(&Manager());
  EXPECT_EQ(s.SkinManager(), nullptr);
  EXPECT_EQ(s.GetSkinManager(), &Manager());

  auto second = std::make_unique<TsSkinManager>();
  second->SetSkinDirectory(dir.string());
  second->SetSkinName("Test");
  ASSERT_FALSE(second->IsDefault());
  s.SetSkinSection("PANEL");
  s.SetSkinManager(second.get());
  EXPECT_EQ(s.SkinManager(), second.get());
  EXPECT_TRUE(s.IsSkinned(true));
  // Commands of the other manager are ignored.
  TMessage m{SM_NIRVEXCMD, MakeSkinCommand(CmdRemoveSkin), reinterpret_cast<LPARAM>(&Manager())};
  s.HandleMessage(m);
  EXPECT_TRUE(s.IsSkinned(true));
  second.reset();
  EXPECT_EQ(s.SkinManager(), nullptr);
  EXPECT_EQ(s.GetSkinManager(), &Manager());
  EXPECT_EQ(s.SectionIndex, -1);
}

TEST_F(CommonDataTest, SmallCommandsSetAndReportTheStateBits) {
  auto* panel = Put<TSkinnedBox>(form, "Panel", 0, 0, 100, 100);
  auto* child = Put<TSkinnedSpot>(panel, "Child", 10, 10, 20, 20);
  form->Show();
  Pump();
  TsCommonData& s = panel->SkinData;
  EXPECT_EQ(SendCommand(panel, CmdQueryHandled), 1);
  SendCommand(panel, CmdSetPaintSuspended, 0, 1);
  EXPECT_TRUE(s.PaintSuspended);
  SendCommand(panel, CmdSetPaintSuspended, 0, 0);
  EXPECT_FALSE(s.PaintSuspended);
  SendCommand(panel, CmdSetSeeThrough, 0, 1);
  EXPECT_TRUE(s.ForcedSeeThrough);
  EXPECT_TRUE(s.IsSeeThrough());
  SendCommand(panel, CmdSetSeeThrough, 0, 0);
  s.Mark = false;
  EXPECT_EQ(SendCommand(panel, CmdQueryMark), 0);
  SendCommand(panel, CmdSetMark);
  EXPECT_EQ(SendCommand(panel, CmdQueryMark), 1);
  EXPECT_TRUE(QueryControl(panel, CmdQueryMark));
  s.CacheInvalid = false;
  SendCommand(panel, CmdInvalidate);
  EXPECT_TRUE(s.CacheInvalid);
  EXPECT_EQ(SendCommand(panel, CmdQueryStale), 1);
  EXPECT_EQ(SendCommand(panel, CmdGetApplication), reinterpret_cast<LRESULT>(Application));

  // The child asks its parent for what lies behind it.
  s.PrepareCache();
  BackgroundInfo bg = child->SkinData.GetParentBackground();
  EXPECT_TRUE(bg.Ready);
  EXPECT_EQ(bg.Bitmap, s.CacheBmp.get());
  // The same asked through the window of a windowed child.
  HWND plain = Put<TSkinnedBox>(panel, "Windowed", 40, 40, 5, 5)->Handle();
  EXPECT_EQ(GetWindowBackground(plain).Bitmap, s.CacheBmp.get());
  // A parent without a cache gives no background.
  s.CacheBmp.reset();
  EXPECT_FALSE(child->SkinData.GetParentBackground().Ready);
  EXPECT_FALSE(GetWindowBackground(plain).Ready);
  EXPECT_FALSE(GetWindowBackground(form->Handle()).Ready);  // a top-level window

  // The animating child is forgotten when it is freed.
  SendCommand(panel, CmdSetAnimatingChild, reinterpret_cast<LPARAM>(child));
  EXPECT_EQ(s.AnimatingChild(), child);
  delete child;
  EXPECT_EQ(s.AnimatingChild(), nullptr);
}

// The pointer coming to anything on a container (the container itself or
// one of its children) ends the hot look of every speed button there that
// missed its own leave, except the one the pointer came to.
TEST_F(CommonDataTest, PointerEnteringAContainerReleasesStaleSpeedButtons) {
  auto* panel = Put<TSkinnedBox>(form, "Panel", 10, 10, 250, 100);
  auto* first = Put<TSkinnedSpot>(panel, "First", 10, 10, 40, 40);
  auto* second = Put<TSkinnedSpot>(panel, "Second", 60, 10, 40, 40);
  auto* box = Put<TSkinnedBox>(panel, "Box", 110, 10, 40, 40);
  auto* outer = Put<TSkinnedSpot>(form, "Outer", 270, 10, 40, 40);
  form->Show();
  Pump();
  auto moveTo = [&](TControl* c, int x, int y) {
    TPoint p = c->ClientToScreen({x, y});
    host.MouseMove(p.X, p.Y);
    Pump();
  };
  moveTo(first, 5, 5);
  ASSERT_TRUE(first->SkinData.MouseAbove);
  // The pointer moving on to a child window of the panel: the first button
  // heard its leave; the second one is stale (it missed its leave).
  second->SkinData.MouseAbove = true;
  outer->SkinData.MouseAbove = true;
  moveTo(box, 5, 5);
  EXPECT_FALSE(first->SkinData.MouseAbove);
  EXPECT_FALSE(second->SkinData.MouseAbove);
  EXPECT_TRUE(outer->SkinData.MouseAbove);  // on the form: the form's state is not skinned here
  // The button the pointer comes to keeps its look; a stale sibling loses it.
  first->SkinData.MouseAbove = true;
  moveTo(second, 5, 5);
  EXPECT_TRUE(second->SkinData.MouseAbove);
  EXPECT_FALSE(first->SkinData.MouseAbove);
  // The pointer back on the panel itself.
  first->SkinData.MouseAbove = true;
  moveTo(panel, 200, 80);
  EXPECT_FALSE(first->SkinData.MouseAbove);
  EXPECT_FALSE(second->SkinData.MouseAbove);
}

TEST_F(CommonDataTest, HotLookFollowsTheControlTypeFocusAndEnabledState) {
  auto* panel = Put<TSkinnedBox>(form, "Panel", 0, 0, 50, 50);  // 51: no hot look
  auto* button = Put<TSkinnedBox>(form, "Button", 60, 0, 50, 50);
  button->SkinData.ControlType = 94;
  for (TSkinnedBox* c : {panel, button}) c->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_FALSE(panel->SkinData.MouseAbove);
  EXPECT_FALSE(panel->SkinData.IsHot());
  EXPECT_TRUE(button->SkinData.IsHot());
  button->SetEnabled(false);
  EXPECT_FALSE(button->SkinData.IsHot());
  EXPECT_FALSE(button->SkinData.MouseAbove);  // an enabled-state change drops it
  button->SetEnabled(true);
  EXPECT_FALSE(button->SkinData.IsHot());
  panel->SkinData.Focused = true;
  EXPECT_TRUE(panel->SkinData.IsHot());
  EXPECT_TRUE(HasHotLook(300));
  EXPECT_FALSE(HasHotLook(110));
}

TEST_F(CommonDataTest, EditsTakeTheSectionColoursAndGiveThemBackWhenTheSkinGoes) {
  auto* edit = Put<TSkinnedEdit>(form, "Edit", 0, 0, 80, 20);
  edit->SkinData.Loaded();
  EXPECT_EQ(edit->SkinData.SkinSection(), "EDIT");
  EXPECT_EQ(edit->Color(), RGB(0, 0, 255));
  EXPECT_EQ(edit->Font()->Color(), RGB(255, 255, 0));
  auto* custom = Put<TSkinnedEdit>(form, "Custom", 0, 30, 80, 20);
  custom->SkinData.SetCustomColor(true);
  custom->SetColor(RGB(7, 7, 7));
  custom->SkinData.Loaded();
  EXPECT_EQ(custom->Color(), RGB(7, 7, 7));
  Manager().SetActive(false);
  EXPECT_EQ(edit->Color(), TColor(0xFF000005));
  EXPECT_EQ(edit->Font()->Color(), TColor(0xFF000008));
  EXPECT_EQ(custom->Color(), RGB(7, 7, 7));
  EXPECT_EQ(custom->Font()->Color(), TColor(0xFF000008));
  Manager().SetActive(true);
  EXPECT_EQ(edit->Color(), RGB(0, 0, 255));
}

TEST_F(CommonDataTest, ParentColoursMixThroughSeeThroughSections) {
  auto* glass = Put<TSkinnedBox>(form, "Glass", 0, 0, 100, 100);
  glass->SkinData.SetSkinSection("GLASS");  // colour 0, see-through 25
  auto* panel = Put<TSkinnedBox>(glass, "Panel", 10, 10, 50, 50);
  auto* spot = Put<TSkinnedSpot>(panel, "Spot", 5, 5, 10, 10);
  panel->SkinData.Loaded();  // "PANEL" by its code
  form->Show();
  Pump();
  // An unskinned form answers with its own colour (the button face).
  EXPECT_EQ(AskParentColour(form), RGB(212, 208, 200));
  // (p - c) * t + c * 256 >> 8 per channel, p the form's colour, c black.
  EXPECT_EQ(AskParentColour(glass), RGB(212 * 25 >> 8, 208 * 25 >> 8, 200 * 25 >> 8));
  EXPECT_EQ(AskParentColour(panel), RGB(255, 0, 0));
  panel->SkinData.SetCustomColor(true);
  panel->SetColor(RGB(0, 128, 0));
  EXPECT_EQ(AskParentColour(panel), RGB(0, 128, 0));
  // The control paints its item over the parent's picture: the colours are
  // left unset afterwards.
  panel->SkinData.PrepareCache();
  PaintControlItem(spot->SkinData, panel->SkinData.GetParentBackground(), true, true,
                   spot->SkinData.CacheBmp.get(), {0, 0}, Rect(0, 0, 0, 0), 0);
  EXPECT_EQ(ParentColor, KeyColor);
}

TEST_F(CommonDataTest, ControlTextUsesTheSectionColoursAndTheDisabledMix) {
  auto* box = Put<TSkinnedBox>(form, "Box", 0, 0, 60, 20);
  box->SkinData.SetSkinSection("WHITE");  // white, black text
  TBitmap bmp(60, 20);
  // The darkest channel drawn (the text is anti-aliased against white).
  auto darkest = [&] {
    int d = 255;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 60; ++x) d = std::min(d, int(GetRValue(bmp.GetPixel(x, y))));
    return d;
  };
  {
    bmp.Fill(clWhite);
    TDC dc(bmp);
    WriteControlText(box->SkinData, dc, "MMMM", false, false, 0, DT_LEFT | DT_TOP,
                     Rect(0, 0, 60, 20));
  }
  // 40 % black and 60 % white: 153 in every channel.
  EXPECT_EQ(darkest(), 153);
  {
    bmp.Fill(clWhite);
    TDC dc(bmp);
    WriteControlText(box->SkinData, dc, "MMMM", true, false, 0, DT_LEFT | DT_TOP,
                     Rect(0, 0, 10, 20));
  }
  EXPECT_EQ(darkest(), 0);
  // Clipped to the rectangle.
  for (int y = 0; y < 20; ++y)
    for (int x = 10; x < 60; ++x) ASSERT_EQ(bmp.GetPixel(x, y), clWhite) << x << "," << y;
}

}  // namespace
}  // namespace vm::test
