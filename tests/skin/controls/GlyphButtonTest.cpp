// The skinned glyph buttons driven as a user drives them: every state of each
// under no skin, the built-in skin and a second skin folder (golden
// pictures), the glyph cell and blend rules on the cache, the layout
// arithmetic, stored glyph data (good and bad), fades on the virtual clock,
// and skin switches while a button is hot or pressed.
#include <functional>

#include "platform/host/HostKeys.h"
#include "skin/controls/BitBtn.h"
#include "skin/controls/GlyphData.h"
#include "skin/controls/GlyphLayout.h"
#include "skin/controls/SpeedButton.h"
#include "skin/frame/SkinProvider.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/state/SkinCommand.h"
#include "tests/skin/controls/ControlsTestSupport.h"
#include "tests/support/MenuScript.h"
#include "toolkit/Edit.h"
#include "toolkit/MenuItem.h"
#include "toolkit/PopupMenu.h"

namespace vm::test {
namespace {

constexpr TColor Red = RGB(220, 0, 0), Green = RGB(0, 200, 0), Blue = RGB(0, 0, 220);
constexpr TColor Yellow = RGB(230, 230, 0), Cyan = RGB(0, 220, 220);

// A strip of `cells` square cells of size n, each filled with its own colour
// but for a magenta key pixel in its bottom-left corner.
std::unique_ptr<tk::TBitmap> Strip(int cells, int n,
                                   std::vector<TColor> colours = {Red, Green, Blue, Yellow, Cyan}) {
  TBitmap b(cells * n, n);
  for (int c = 0; c < cells; ++c)
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) b.SetPixel(c * n + x, y, colours[std::size_t(c)]);
  for (int c = 0; c < cells; ++c) b.SetPixel(c * n, n - 1, KeyColor);
  auto t = std::make_unique<tk::TBitmap>();
  t->TakeImage(std::move(b));
  return t;
}

class GlyphButtons : public TControlsTest {
 protected:
  void TearDown() override {
    AnimationsOff = false;
    TControlsTest::TearDown();
  }
  TsBitBtn* BitBtn(TForm* f, int x, int y, const std::string& caption, int cells = 1) {
    auto* b = new TsBitBtn(f);
    b->SetParent(f);
    b->SetBounds(x, y, 80, 30);
    b->SetCaption(caption);
    b->SetGlyph(Strip(cells, 16).get());
    b->SetNumGlyphs(cells);
    b->HandleNeeded();
    return b;
  }
  TsSpeedButton* Speed(TForm* f, int x, int y, const std::string& caption) {
    auto* b = new TsSpeedButton(f);
    b->SetParent(f);
    b->SetBounds(x, y, 70, 26);
    b->SetCaption(caption);
    b->SetGlyph(Strip(1, 12).get());
    return b;
  }
  // Where a control lies on the virtual screen (the borderless form is at 0, 0).
  static TPoint Centre(TControl* c) {
    const TPoint o = c->ClientToScreen(TPoint{0, 0});
    return {o.X + c->Width() / 2, o.Y + c->Height() / 2};
  }
  void Away() {
    host.MouseMove(599, 399);
    Pump();
  }
  // The control's rectangle of a screenshot of its form.
  static TBitmap Piece(const TBitmap& shot, TControl* c) {
    TBitmap p(c->Width(), c->Height());
    TDC(p).BitBlt(0, 0, c->Width(), c->Height(), shot, c->Left(), c->Top());
    return p;
  }
  // One picture of a control in each state: each state set up, shot and
  // placed side by side, with two pixels between.
  TBitmap States(TForm* f, TControl* c, const std::vector<std::function<void()>>& setUp,
                 const std::vector<std::function<void()>>& tearDown) {
    TBitmap out(int(setUp.size()) * (c->Width() + 2), c->Height());
    out.Fill(RGB(255, 255, 255));
    for (std::size_t i = 0; i < setUp.size(); ++i) {
      Away();
      setUp[i]();
      Pump();
      const TBitmap piece = Piece(Shot(f), c);
      TDC(out).BitBlt(int(i) * (c->Width() + 2), 0, c->Width(), c->Height(), piece, 0, 0);
      tearDown[i]();
      Pump();
    }
    return out;
  }
  void UseSkin(int which) {
    if (which == 0) return;
    LoadBuiltinSkin();
    if (which == 2) {
      WriteRecolouredSkin();
      manager->SetSkinName(RecolouredSkin);
      ASSERT_TRUE(manager->SkinData.Active);
    }
  }
};

const char* const SkinNames[] = {"plain", "builtin", "recoloured"};

// ---------------------------------------------------------------- arithmetic

TEST(GlyphLayout, BitBtnPlacesGlyphAndCaptionByTheRules) {
  TGlyphLayoutInput in;
  in.Width = 49;
  in.Height = 41;
  in.Glyph = {32, 32};
  in.CaptionShown = false;
  EXPECT_EQ(BitBtnGlyphRect(in), (TRect{8, 4, 40, 36}));
  in.Pressed = true;
  EXPECT_EQ(BitBtnGlyphRect(in), (TRect{9, 5, 41, 37}));
  // A caption beside a glyph: the block centred, four pixels apart.
  in = TGlyphLayoutInput{};
  in.Width = 100;
  in.Height = 30;
  in.Glyph = {16, 16};
  in.Text = {40, 13};
  const TRect g = BitBtnGlyphRect(in), t = BitBtnCaptionRect(in);
  EXPECT_EQ(g, (TRect{20, 7, 36, 23}));
  EXPECT_EQ(t.Left, g.Right + 4);
  EXPECT_EQ(t.Width(), 40);
  EXPECT_EQ(t.Top, 9);
  // Glyph above: both centred across.
  in.Layout = blGlyphTop;
  EXPECT_EQ(BitBtnGlyphRect(in).Left, (100 - 16) / 2 + 1);
  EXPECT_EQ(BitBtnCaptionRect(in).Left, (100 - 40 + 1) / 2);
  // Spacing -1 shares the room out evenly between margin, gap and rest.
  in.Layout = blGlyphLeft;
  in.Spacing = -1;
  const TRect even = BitBtnCaptionRect(in);
  EXPECT_EQ(even.Left, (100 - 40 - 14 - 16) / 2 + 14 + 16);
}

TEST(GlyphLayout, SpeedButtonLeavesItsDropDownPartAndWidensTheCaption) {
  TGlyphLayoutInput in;
  in.Width = 70;
  in.Height = 26;
  in.Glyph = {12, 12};
  in.Text = {30, 13};
  TRect g, t, gd, td;
  SpeedButtonRects(in, 0, 0, g, t);
  SpeedButtonRects(in, DropDownWidth, 0, gd, td);
  EXPECT_EQ(g.Left - gd.Left, 8);  // the block moves left by half the arrow part
  EXPECT_LE(td.Right, 70 - DropDownWidth + 2);
  TRect to, unused;
  SpeedButtonRects(in, 0, 5, unused, to);
  EXPECT_EQ(to.Left, t.Left + 5);
  EXPECT_EQ(t.Width(), 30 + 3);  // widened by one pixel left and two right
}

TEST(GlyphLayout, GlyphCountsThePictureCannotHoldCountAsOne) {
  EXPECT_EQ(EffectiveGlyphCount(0, 32), 1);
  EXPECT_EQ(EffectiveGlyphCount(-3, 32), 1);
  EXPECT_EQ(EffectiveGlyphCount(33, 32), 1);
  EXPECT_EQ(EffectiveGlyphCount(4, 64), 4);
  EXPECT_EQ(EffectiveGlyphCount(5, 0), 1);
}

// ---------------------------------------------------------------- stored glyph data

TEST(GlyphData, RoundTripsAndRejectsBadDataWithAnEmptyPicture) {
  TBitmap b(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) b.SetPixel(x, y, RGB(x * 8, y * 8, 100));
  const std::vector<std::uint8_t> data = WriteGlyphData(b);
  ASSERT_EQ(data.size(), 3126u + 4u);  // a 24-bit 32 x 32 file behind its count
  EXPECT_EQ(data[0] | (data[1] << 8), 3126);
  EXPECT_EQ(data[4], 'B');
  const TBitmap back = ReadGlyphData(data);
  ASSERT_EQ(back.Width(), 32);
  ASSERT_EQ(back.Height(), 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) ASSERT_EQ(back.GetPixel(x, y), b.GetPixel(x, y));
  // Truncated: the count promises more than there is, or the file is cut.
  EXPECT_TRUE(ReadGlyphData(std::span(data).first(data.size() - 1)).Empty());
  EXPECT_TRUE(ReadGlyphData(std::span(data).first(3)).Empty());
  std::vector<std::uint8_t> shortFile = data;
  shortFile[0] = 100;  // a count that cuts the pixels short
  shortFile[1] = 0;
  EXPECT_TRUE(ReadGlyphData(shortFile).Empty());
  // Not a bitmap file.
  std::vector<std::uint8_t> notBmp = data;
  notBmp[4] = 'P';
  EXPECT_TRUE(ReadGlyphData(notBmp).Empty());
  // Absurd sizes declared in an otherwise well-formed header.
  for (std::int32_t w : {100000, -5, 0}) {
    std::vector<std::uint8_t> absurd = data;
    for (int i = 0; i < 4; ++i) absurd[4 + 18 + i] = std::uint8_t(std::uint32_t(w) >> (8 * i));
    EXPECT_TRUE(ReadGlyphData(absurd).Empty()) << w;
  }
  std::vector<std::uint8_t> tall = data;
  tall[4 + 22 + 2] = 0x7F;  // height 0x7F0020
  EXPECT_TRUE(ReadGlyphData(tall).Empty());
}

TEST_F(GlyphButtons, BadGlyphDataLeavesAButtonWithoutAGlyph) {
  LoadBuiltinSkin();
  TForm* f = MakeForm(200, 80);
  TsBitBtn* b = BitBtn(f, 10, 10, "Да");
  const std::vector<std::uint8_t> bad{0x10, 0, 0, 0, 'B', 'M', 1, 2};
  b->LoadGlyphData(bad);
  EXPECT_TRUE(b->Glyph()->Empty());
  EXPECT_EQ(b->GlyphRect().Width(), 0);
  Shot(f);  // paints without a glyph, and without harm
}

// ---------------------------------------------------------------- cells and blends

TEST_F(GlyphButtons, CellsFollowTheStateAndBlendShowsOnlyInTheNormalState) {
  LoadBuiltinSkin();
  AnimationsOff = true;
  TForm* f = MakeForm(300, 100);
  TsBitBtn* b = BitBtn(f, 10, 10, "", 2);
  auto glyphColour = [&] {
    Shot(f);
    const TRect r = b->GlyphRect();
    return b->SkinData()->CacheBmp->GetPixel(r.Left + 8, r.Top + 8);
  };
  EXPECT_EQ(glyphColour(), Red);  // normal: cell 0
  host.MouseMove(Centre(b).X, Centre(b).Y);
  Pump();
  EXPECT_EQ(b->StateIndex(), 1);
  EXPECT_EQ(glyphColour(), Red);  // hot: cell 0 (a hot cell needs five)
  host.MouseDown();
  Pump();
  EXPECT_EQ(b->StateIndex(), 2);
  EXPECT_EQ(glyphColour(), Red);  // pressed: cell 0 (a pressed cell needs three)
  host.MouseUp();
  Away();
  b->SetEnabled(false);
  Pump();
  const TRect r = b->GlyphRect();
  Shot(f);
  // Disabled: cell 1, then the whole button faded toward what lies behind.
  const TColor disabled = b->SkinData()->CacheBmp->GetPixel(r.Left + 8, r.Top + 8);
  EXPECT_GT(GetGValue(disabled), GetRValue(disabled));
  b->SetEnabled(true);
  // Five cells: hot shows cell 4; four cells and Down: pressed shows cell 3.
  b->SetGlyph(Strip(5, 16).get());
  b->SetNumGlyphs(5);
  host.MouseMove(Centre(b).X, Centre(b).Y);
  Pump();
  EXPECT_EQ(glyphColour(), Cyan);
  Away();
  b->SetGlyph(Strip(4, 16).get());
  b->SetNumGlyphs(4);
  b->SetDown(true);
  EXPECT_EQ(b->StateIndex(), 2);
  EXPECT_EQ(glyphColour(), Yellow);
  b->SetDown(false);
  // NumGlyphs beyond what the picture holds paints it as one cell.
  b->SetNumGlyphs(500);
  EXPECT_EQ(b->NumGlyphs(), 500);
  EXPECT_EQ(b->GlyphRect().Width(), 64);
  // Blend: clamped; 100 hides a single glyph in the normal state only.
  b->SetBlend(150);
  EXPECT_EQ(b->Blend(), 100);
  b->SetBlend(-5);
  EXPECT_EQ(b->Blend(), 0);
  b->SetGlyph(Strip(1, 16).get());
  b->SetNumGlyphs(1);
  b->SetBlend(100);
  EXPECT_NE(glyphColour(), Red);
  host.MouseMove(Centre(b).X, Centre(b).Y);
  Pump();
  EXPECT_EQ(glyphColour(), Red);
}

TEST_F(GlyphButtons, DisabledGlyphKindEmptyKeepsTheGlyphWhileTheButtonFades) {
  LoadBuiltinSkin();
  AnimationsOff = true;
  TForm* f = MakeForm(300, 100);
  TsBitBtn* b = BitBtn(f, 10, 10, "");
  b->SetDisabledGlyphKind(0);
  b->SetDisabledKind(0);
  b->SetEnabled(false);
  Shot(f);
  const TRect r = b->GlyphRect();
  EXPECT_EQ(b->SkinData()->CacheBmp->GetPixel(r.Left + 8, r.Top + 8), Red);
  b->SetDisabledKind(dkBlended);
  Shot(f);
  const TColor faded = b->SkinData()->CacheBmp->GetPixel(r.Left + 8, r.Top + 8);
  EXPECT_NE(faded, Red);
  EXPECT_GT(GetGValue(faded), 60);  // toward the light face behind
}

// ---------------------------------------------------------------- every state, every skin

TEST_F(GlyphButtons, BitBtnInEveryStateUnderEachSkin) {
  for (int skin = 0; skin < 3; ++skin) {
    SCOPED_TRACE(SkinNames[skin]);
    UseSkin(skin);
    AnimationsOff = true;
    TForm* f = MakeForm(260, 60);
    TsBitBtn* b = BitBtn(f, 10, 10, "Открыть");
    auto* other = new TEdit(f);
    other->SetParent(f);
    other->SetBounds(150, 10, 60, 22);
    const TPoint c = Centre(b);
    auto nothing = [] {};
    const TBitmap states = States(f, b,
                                  {nothing, [&] { host.MouseMove(c.X, c.Y); },
                                   [&] {
                                     host.MouseMove(c.X, c.Y);
                                     host.MouseDown();
                                   },
                                   [&] { b->SetFocus(); },
                                   [&] {
                                     b->SetDefault(true);
                                     other->SetFocus();
                                   },
                                   [&] { b->SetDown(true); }, [&] { b->SetEnabled(false); }},
                                  {nothing, nothing,
                                   [&] {
                                     host.MouseMove(599, 399);
                                     host.MouseUp();
                                   },
                                   [&] { other->SetFocus(); }, [&] { b->SetDefault(false); },
                                   [&] { b->SetDown(false); }, [&] { b->SetEnabled(true); }});
    CompareGolden(std::string("bitbtn-states-") + SkinNames[skin], states);
    delete f;
  }
}

TEST_F(GlyphButtons, SpeedButtonInEveryStateUnderEachSkin) {
  for (int skin = 0; skin < 3; ++skin) {
    SCOPED_TRACE(SkinNames[skin]);
    UseSkin(skin);
    AnimationsOff = true;
    TForm* f = MakeForm(260, 60);
    TsSpeedButton* b = Speed(f, 10, 10, "Вид");
    b->SetGroupIndex(1);
    b->SetAllowAllUp(true);
    const TPoint c = Centre(b);
    auto nothing = [] {};
    const TBitmap states =
        States(f, b,
               {nothing, [&] { host.MouseMove(c.X, c.Y); },
                [&] {
                  host.MouseMove(c.X, c.Y);
                  host.MouseDown();
                },
                [&] { b->SetDown(true); }, [&] { b->SetEnabled(false); },
                [&] { b->SetButtonStyle(tbsDropDown); }, [&] { b->SetButtonStyle(tbsDivider); }},
               {nothing, nothing,
                [&] {
                  host.MouseMove(599, 399);
                  host.MouseUp();
                },
                [&] { b->SetDown(false); }, [&] { b->SetEnabled(true); },
                [&] { b->SetButtonStyle(tbsButton); }, [&] { b->SetButtonStyle(tbsButton); }});
    CompareGolden(std::string("speedbutton-states-") + SkinNames[skin], states);
    delete f;
  }
}

// ---------------------------------------------------------------- behaviour

TEST_F(GlyphButtons, SpaceKeyShowsThePressedLookWhereverTheMouseIs) {
  LoadBuiltinSkin();
  AnimationsOff = true;
  TForm* f = MakeForm(200, 60);
  TsBitBtn* b = BitBtn(f, 10, 10, "Да");
  int clicks = 0;
  b->OnClick = [&](TComponent*) { ++clicks; };
  b->SetFocus();
  Away();
  host.KeyDown(VK_SPACE);
  Pump();
  EXPECT_EQ(b->StateIndex(), 2);
  const TBitmap pressed = Piece(Shot(f), b);
  host.KeyUp(VK_SPACE);
  Pump();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(b->StateIndex(), 1);  // focused
  EXPECT_NE(pressed.GetPixel(40, 3), Piece(Shot(f), b).GetPixel(40, 3));
}

TEST_F(GlyphButtons, ModalResultAndMouseEventsWorkSkinnedAndPlain) {
  for (int skin = 0; skin < 2; ++skin) {
    UseSkin(skin);
    TForm* f = MakeForm(200, 60);
    TsBitBtn* b = BitBtn(f, 10, 10, "OK");
    b->SetModalResult(mrOk);
    int enters = 0, leaves = 0;
    b->OnMouseEnter = [&](TComponent*) { ++enters; };
    b->OnMouseLeave = [&](TComponent*) { ++leaves; };
    host.Click(Centre(b).X, Centre(b).Y);
    Pump();
    EXPECT_EQ(f->ModalResult(), mrOk) << skin;
    Away();
    EXPECT_EQ(enters, 1) << skin;
    EXPECT_EQ(leaves, 1) << skin;
    EXPECT_EQ(QueryControl(b, CmdQueryHandled), true);
    delete f;
  }
}

TEST_F(GlyphButtons, TheRegionLeavesOutTheBordersTransparentCorners) {
  LoadBuiltinSkin();
  AnimationsOff = true;
  TForm* f = MakeForm(200, 60);
  f->SetColor(RGB(200, 0, 0));
  TsBitBtn* b = BitBtn(f, 10, 10, "Да");
  const TBitmap shot = Shot(f);
  // The built-in button has rounded corners: the form shows at the very corner.
  EXPECT_EQ(shot.GetPixel(10, 10), RGB(200, 0, 0));
  EXPECT_NE(shot.GetPixel(10 + 40, 10 + 15), RGB(200, 0, 0));
  // A click on the cut corner is the form's.
  int clicks = 0;
  b->OnClick = [&](TComponent*) { ++clicks; };
  host.Click(10, 10);
  Pump();
  host.Click(50, 25);
  Pump();
  EXPECT_EQ(clicks, 1);
}

// A hover switches between pictures of the two looks made before, as long as
// what lies behind the button is what they were blended with: a form colour
// or a parent picture that changed (told to the button or not) makes the
// picture anew, and every picture shown is the one made from nothing.
TEST_F(GlyphButtons, HoverReusesAKeptLookOnlyOverTheSameBackground) {
  LoadBuiltinSkin();
  AnimationsOff = true;
  TForm* f = MakeForm(200, 60);
  TsBitBtn* b = BitBtn(f, 10, 10, "Открыть", 1);
  auto cache = [&] { return TBitmap(*b->SkinData()->CacheBmp); };
  auto hover = [&](bool on) {
    if (on)
      host.MouseMove(Centre(b).X, Centre(b).Y);
    else
      Away();
    Shot(f);
    return cache();
  };
  auto fresh = [&] {
    b->SkinData()->CacheInvalid = true;
    b->Repaint();
    Shot(f);
    return cache();
  };
  const TBitmap normal = hover(false), hot = hover(true);
  ASSERT_FALSE(normal.SamePixels(hot));
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(hover(false).SamePixels(normal));
    EXPECT_TRUE(hover(true).SamePixels(hot));
  }
  EXPECT_TRUE(fresh().SamePixels(hot));
  // The form's colour shows in the border's transparent corners.
  hover(false);
  f->SetColor(RGB(200, 0, 0));
  const TBitmap hotOverRed = hover(true);
  EXPECT_FALSE(hotOverRed.SamePixels(hot));
  EXPECT_TRUE(fresh().SamePixels(hotOverRed));

  // Over a skinned form the corners show the form's picture: pixels changed
  // in it behind the button, though nobody told the button, are seen.
  TForm* g = MakeForm(200, 60);
  g->SetLeft(300);
  auto* provider = new TsSkinProvider(g);
  (void)provider;
  TsBitBtn* c = BitBtn(g, 10, 10, "Открыть", 1);
  b = c;
  f = g;
  const TBitmap skinnedNormal = hover(false), skinnedHot = hover(true);
  hover(false);
  TBitmap& behind = *provider->SkinData.CacheBmp;
  ASSERT_GE(behind.Width(), c->Left() + c->Width());
  TDC(behind).FillRect(c->BoundsRect(), RGB(0, 0, 230));
  const TBitmap hotOverBlue = hover(true);
  EXPECT_FALSE(hotOverBlue.SamePixels(skinnedHot));
  EXPECT_TRUE(fresh().SamePixels(hotOverBlue));
  EXPECT_FALSE(hover(false).SamePixels(skinnedNormal));
}

TEST_F(GlyphButtons, HoverFadesFrameByFrameOnTheVirtualClock) {
  LoadBuiltinSkin();
  TForm* f = MakeForm(200, 60);
  TsBitBtn* b = BitBtn(f, 10, 10, "Да");
  const TBitmap normal = Piece(Shot(f), b);
  AnimationsOff = true;
  host.MouseMove(Centre(b).X, Centre(b).Y);
  const TBitmap hot = Piece(Shot(f), b);
  Away();
  AnimationsOff = false;
  ASSERT_EQ(Piece(Shot(f), b).GetPixel(40, 2), normal.GetPixel(40, 2));
  // Enter: 20 steps of 10 ms each ("BUTTON" fades in 20 iterations).
  host.MouseMove(Centre(b).X, Centre(b).Y);
  Pump();
  ASSERT_NE(b->FadeTimer(), nullptr);
  EXPECT_EQ(b->FadeTimer()->StepCount, 20);
  int frames = 0;
  TBitmap first;
  while (b->FadeTimer() && frames < 100) {
    host.AdvanceClock(10);
    Pump();
    if (b->FadeTimer() && !b->FadeTimer()->LastFrame().Empty()) {
      if (frames == 0) first = b->FadeTimer()->LastFrame();
      ++frames;
    }
  }
  EXPECT_EQ(frames, 20);
  // The first frame is mostly the old look, the last the new one exactly.
  auto distance = [](const TBitmap& a, const TBitmap& c) {
    long d = 0;
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x) {
        const TColor p = a.GetPixel(x, y), q = c.GetPixel(x, y);
        d += std::abs(int(GetRValue(p)) - int(GetRValue(q))) +
             std::abs(int(GetGValue(p)) - int(GetGValue(q))) +
             std::abs(int(GetBValue(p)) - int(GetBValue(q)));
      }
    return d;
  };
  ASSERT_FALSE(first.Empty());
  EXPECT_LT(distance(first, normal), distance(first, hot));
  EXPECT_EQ(distance(Piece(Shot(f), b), hot), 0);
  // Leaving midway through an enter fade goes back from the frame it
  // reached, not from the finished hot look.
  Away();
  for (int i = 0; i < 40; ++i) {
    host.AdvanceClock(10);
    Pump();
  }
  host.MouseMove(Centre(b).X, Centre(b).Y);
  Pump();
  for (int i = 0; i < 5; ++i) {
    host.AdvanceClock(10);
    Pump();
  }
  ASSERT_NE(b->FadeTimer(), nullptr);
  const TBitmap reached = b->FadeTimer()->LastFrame();
  Away();
  ASSERT_NE(b->FadeTimer(), nullptr);
  ASSERT_TRUE(b->FadeTimer()->StartPicture);
  EXPECT_EQ(distance(*b->FadeTimer()->StartPicture, reached), 0);
  EXPECT_GT(distance(reached, hot), 0);
  for (int i = 0; i < 40; ++i) {
    host.AdvanceClock(10);
    Pump();
  }
  EXPECT_EQ(b->FadeTimer(), nullptr);
  EXPECT_EQ(distance(Piece(Shot(f), b), normal), 0);
}

// Pixels of the second skin's red caption (the test glyph's red is darker).
int RedText(const TBitmap& b, const TRect& r) {
  int n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      const TColor c = b.GetPixel(x, y);
      n += GetRValue(c) > 235 && GetGValue(c) < 120 && GetBValue(c) < 120;
    }
  return n;
}

TEST_F(GlyphButtons, SkinSwitchAndSkinningOffWhileHotOrPressed) {
  LoadBuiltinSkin();
  WriteRecolouredSkin();
  TForm* f = MakeForm(260, 60);
  TsBitBtn* b = BitBtn(f, 10, 10, "Да");
  TsSpeedButton* s = Speed(f, 120, 10, "Вид");
  auto* edit = new TEdit(f);
  edit->SetParent(f);
  edit->SetBounds(200, 10, 50, 22);
  edit->SetFocus();
  manager->SetActive(false);
  const TBitmap plain = Shot(f);
  manager->SetActive(true);
  for (TControl* c : std::vector<TControl*>{b, s}) {
    SCOPED_TRACE(c->ClassName());
    // Hot, mid-fade, and the skin changes under it.
    host.MouseMove(Centre(c).X, Centre(c).Y);
    Pump();
    host.AdvanceClock(30);
    Pump();
    manager->SetSkinName(RecolouredSkin);
    Pump();
    EXPECT_GT(RedText(Shot(f), c->BoundsRect()), 5);
    // Pressed, and skinning goes off.
    host.MouseDown();
    Pump();
    host.AdvanceClock(20);
    manager->SetActive(false);
    Pump();
    host.MouseMove(599, 399);
    host.MouseUp();
    host.AdvanceClock(500);
    Pump();
    EXPECT_EQ(b->FadeTimer(), nullptr);
    EXPECT_TRUE(s->AnimTimer() == nullptr || !s->AnimTimer()->Enabled());
    const TBitmap off = Shot(f);
    EXPECT_EQ(RedText(off, c->BoundsRect()), 0);
    manager->SetSkinName(BuiltinSkinName);
    manager->SetActive(true);
    Pump();
  }
  manager->SetActive(false);
  edit->SetFocus();
  Away();
  // Without a skin both look exactly as they did before any skin.
  const TBitmap after = Shot(f);
  for (TControl* c : std::vector<TControl*>{b, s}) {
    const TBitmap p0 = Piece(plain, c), p1 = Piece(after, c);
    int differ = 0;
    for (int y = 0; y < p0.Height(); ++y)
      for (int x = 0; x < p0.Width(); ++x) differ += p0.GetPixel(x, y) != p1.GetPixel(x, y);
    EXPECT_EQ(differ, 0) << c->ClassName();
  }
}

TEST_F(GlyphButtons, DropDownOpensFromTheArrowPartOnlyWithAClickHandler) {
  LoadBuiltinSkin();
  AnimationsOff = true;
  TForm* f = MakeForm(260, 80);
  TsSpeedButton* b = Speed(f, 10, 10, "Меню");
  b->SetButtonStyle(tbsDropDown);
  auto* menu = new tk::TPopupMenu(f);
  auto* item = new tk::TMenuItem(menu);
  item->SetCaption("Пункт");
  menu->Items()->Add(item);
  b->SetDropdownMenu(menu);
  int opened = 0, clicks = 0;
  bool showingInside = false;
  menu->OnPopup = [&](TComponent*) {
    ++opened;
    showingInside = b->MenuShowing() && b->StateIndex() == 2;
    // A second drop-down while this one is open does nothing.
    TMessage press{WM_LBUTTONDOWN, 0, MAKELPARAM(65, 5), 0};
    b->WndProc(press);
  };
  // Every menu closes at once: the script has nothing to do in it.
  TMenuScript script;
  script.Attach(host);
  b->OnClick = [&](TComponent*) { ++clicks; };
  host.Click(10 + 20, 10 + 13);  // the face: a click
  Pump();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(opened, 0);
  host.Click(10 + 70 - 5, 10 + 13);  // the arrow part
  Pump();
  EXPECT_EQ(opened, 1);
  EXPECT_TRUE(showingInside);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(b->MenuShowing());
  // Without a click handler the whole button drops the menu down.
  b->OnClick = nullptr;
  host.Click(10 + 20, 10 + 13);
  Pump();
  EXPECT_EQ(opened, 2);
  script.Detach();
}

TEST_F(GlyphButtons, CheckButtonStaysDownUntilClickedAgain) {
  LoadBuiltinSkin();
  AnimationsOff = true;
  TForm* f = MakeForm(200, 60);
  TsSpeedButton* b = Speed(f, 10, 10, "Жирный");
  b->SetButtonStyle(tbsCheck);
  host.Click(Centre(b).X, Centre(b).Y);
  Away();
  EXPECT_TRUE(b->IsDown());
  EXPECT_EQ(b->StateIndex(), 2);
  host.Click(Centre(b).X, Centre(b).Y);
  Away();
  EXPECT_FALSE(b->IsDown());
  EXPECT_EQ(b->StateIndex(), 0);
}

}  // namespace
}  // namespace vm::test
