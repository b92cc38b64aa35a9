// The skinned caption driven as a user drives it: hit codes of every element,
// hover, press and release of the title buttons (with fades on the virtual
// clock), the system menu from the icon, a right click and Alt+Space, double
// clicks, screen snapping and the hook's rules.
#include <fstream>
#include <sstream>

#include "platform/gfx/BmpCodec.h"
#include "platform/host/HostKeys.h"
#include "tests/skin/frame/FrameTestSupport.h"

namespace vm::test {
namespace {

LRESULT HitAt(TCustomForm* f, int x, int y) {
  TRect r;
  GetWindowRect(f->Handle(), &r);
  return SendMessage(f->Handle(), WM_NCHITTEST, 0, MAKELPARAM(r.Left + x, r.Top + y));
}

// The sum of a rectangle's pixels of a picture, to tell looks apart.
std::uint64_t Sum(const TBitmap& b, const TRect& r) {
  std::uint64_t s = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) s += b.GetPixel(x, y) * std::uint64_t(x + 7 * y + 1);
  return s;
}

TEST_F(TFrameTest, EveryCaptionElementAnswersItsHitCode) {
  LoadBuiltinSkin();
  TForm* f = MakeForm(bsSizeable, 240, 160);
  TsSkinProvider* p = ProviderOf(f);
  Shot(f);
  // The program's skin: 22 x 22 cells, one pixel apart, from the right border in.
  EXPECT_EQ(p->Button(TsSkinProvider::bClose).Rect, Rect(213, 0, 235, 22));
  EXPECT_EQ(p->Button(TsSkinProvider::bMax).Rect, Rect(190, 0, 212, 22));
  EXPECT_EQ(p->Button(TsSkinProvider::bMin).Rect, Rect(167, 0, 189, 22));
  EXPECT_EQ(p->ButtonsWidth(), 3 * 23);
  EXPECT_EQ(HitAt(f, 224, 10), htClose);
  EXPECT_EQ(HitAt(f, 200, 10), htMaxButton);
  EXPECT_EQ(HitAt(f, 170, 10), htMinButton);
  EXPECT_EQ(HitAt(f, 189, 10), htCaption);  // between two buttons
  // The band takes in both of its ends: the row below the cells too.
  EXPECT_EQ(HitAt(f, 224, 0), htClose);
  EXPECT_EQ(HitAt(f, 224, 22), htClose);
  EXPECT_EQ(HitAt(f, 200, 22), htMaxButton);
  EXPECT_EQ(HitAt(f, 224, 23), HTCLIENT);
  EXPECT_EQ(HitAt(f, 10, 10), htSysMenu);
  EXPECT_EQ(HitAt(f, 100, 10), htCaption);
  EXPECT_EQ(HitAt(f, 100, 80), HTCLIENT);
  EXPECT_EQ(HitAt(f, 239, 80), HTRIGHT);  // the platform's own answers stay
  // User buttons continue to the left; a disabled one is bare caption.
  p->TitleButtons.Add();
  p->TitleButtons.Add()->SetEnabled(false);
  Shot(f);
  const TRect u0 = p->TitleButtons.Items(0)->Data.Rect, u1 = p->TitleButtons.Items(1)->Data.Rect;
  EXPECT_EQ(u0.Right, 166);
  EXPECT_EQ(HitAt(f, u0.Left + 3, 10), htUserButton + 0);
  EXPECT_EQ(HitAt(f, u1.Left + 3, 10), htCaption);
  // The size grip.
  p->SetGripMode(gmRightBottom);
  EXPECT_EQ(HitAt(f, 232, 152), htBottomRight);
  // A maximised window is transparent at its very edge.
  ShowWindow(f->Handle(), SW_MAXIMIZE);
  Pump();
  EXPECT_EQ(HitAt(f, 1, 100), HTTRANSPARENT);
}

TEST_F(TFrameTest, DialogUsesTheSmallButtonsAndShowsOnlyCloseAndHelp) {
  LoadBuiltinSkin();
  auto* f = Create<TForm>(app.get());
  f->SetBorderStyle(bsDialog);
  f->SetBorderIcons(biSystemMenu | biHelp | biMaximize | biMinimize);
  f->SetBounds(40, 30, 200, 120);
  f->Show();
  Pump();
  TsSkinProvider* p = ProviderOf(f);
  ASSERT_NE(p, nullptr);
  Shot(f);
  // "SICONCLOSE" is a 42 x 14 strip of three cells, lowered by 2 below 16 pixels.
  EXPECT_EQ(p->Button(TsSkinProvider::bClose).Rect, Rect(182, 6, 196, 20));
  EXPECT_TRUE(p->Button(TsSkinProvider::bMax).Rect.IsEmpty());
  EXPECT_TRUE(p->Button(TsSkinProvider::bMin).Rect.IsEmpty());
  EXPECT_FALSE(p->Button(TsSkinProvider::bHelp).Rect.IsEmpty());
  EXPECT_EQ(HitAt(f, 188, 12), htClose);
  EXPECT_EQ(HitAt(f, p->Button(TsSkinProvider::bHelp).Rect.Left + 2, 12), htHelp);
}

TEST_F(TFrameTest, MainWindowStyleHasNoMaximiseAndIgnoresTheDoubleClick) {
  LoadBuiltinSkin();
  auto* f = Create<TForm>(app.get());
  f->SetBorderStyle(bsSingle);
  f->SetBorderIcons(biSystemMenu | biMinimize);
  f->SetBounds(40, 30, 220, 140);
  f->Show();
  Pump();
  TsSkinProvider* p = ProviderOf(f);
  Shot(f);
  EXPECT_FALSE(p->Button(TsSkinProvider::bClose).Rect.IsEmpty());
  EXPECT_FALSE(p->Button(TsSkinProvider::bMin).Rect.IsEmpty());
  EXPECT_TRUE(p->Button(TsSkinProvider::bMax).Rect.IsEmpty());
  // Where maximise would be, minimise is.
  EXPECT_EQ(p->Button(TsSkinProvider::bMin).Rect.Right, 220 - 3 - 1 - 23);
  const TPoint o = Origin(f);
  host.DoubleClick(o.X + 90, o.Y + 10);
  Pump();
  EXPECT_FALSE(IsZoomed(f->Handle()));
  // A sizeable form maximises and restores on the caption's double click.
  TForm* g = MakeForm(bsSizeable, 240, 160);
  const TPoint og = Origin(g);
  host.AdvanceClock(1000);
  host.DoubleClick(og.X + 90, og.Y + 10);
  Pump();
  EXPECT_TRUE(IsZoomed(g->Handle()));
}

TEST_F(TFrameTest, CloseButtonHoversPressesAndClosesOnlyWhenReleasedOverIt) {
  LoadBuiltinSkin();
  TForm* f = MakeForm(bsSizeable, 240, 160);
  TsSkinProvider* p = ProviderOf(f);
  const TPoint o = Origin(f);
  const TRect close = p->Button(TsSkinProvider::bClose).Rect;
  const std::uint64_t normal = Sum(Shot(f), close);
  host.MouseMove(o.X + 224, o.Y + 10);
  Pump();
  EXPECT_EQ(p->HoverCode(), htClose);
  EXPECT_EQ(p->Button(TsSkinProvider::bClose).State, 1);
  const std::uint64_t hot = Sum(Shot(f), close);
  EXPECT_NE(hot, normal);
  host.MouseDown();
  Pump();
  EXPECT_EQ(p->Button(TsSkinProvider::bClose).State, 2);
  EXPECT_NE(Sum(Shot(f), close), hot);
  // Away with the button held: the button looks normal; released there, nothing happens.
  host.MouseMove(o.X + 100, o.Y + 80);
  Pump();
  EXPECT_EQ(p->Button(TsSkinProvider::bClose).State, 0);
  EXPECT_EQ(Sum(Shot(f), close), normal);
  host.MouseUp();
  Pump();
  EXPECT_TRUE(f->Visible());
  EXPECT_EQ(p->HoverCode(), 0);
  // Leaving the caption for the client area clears the hover.
  host.MouseMove(o.X + 224, o.Y + 10);
  Pump();
  EXPECT_EQ(p->HoverCode(), htClose);
  host.MouseMove(o.X + 100, o.Y + 80);
  Pump();
  EXPECT_EQ(p->HoverCode(), 0);
  EXPECT_EQ(Sum(Shot(f), close), normal);
  // Pressed and released over it: the form closes.
  host.Click(o.X + 224, o.Y + 10);
  Pump();
  EXPECT_FALSE(f->Visible());
}

TEST_F(TFrameTest, MinimiseAndMaximiseButtonsRunTheWindowCommands) {
  LoadBuiltinSkin();
  TForm* f = MakeForm(bsSizeable, 240, 160);
  TsSkinProvider* p = ProviderOf(f);
  const TPoint o = Origin(f);
  host.Click(o.X + 200, o.Y + 10);
  Pump();
  EXPECT_TRUE(IsZoomed(f->Handle()));
  Shot(f);
  // The maximise button is now the restore button, at the maximised frame's right.
  const TRect max = p->Button(TsSkinProvider::bMax).Rect;
  TRect w;
  GetWindowRect(f->Handle(), &w);
  host.Click(w.Left + max.Left + 5, w.Top + max.Top + 8);
  Pump();
  EXPECT_FALSE(IsZoomed(f->Handle()));
  host.AdvanceClock(1000);
  host.Click(o.X + 170, o.Y + 10);
  Pump();
  EXPECT_TRUE(IsIconic(f->Handle()));
  EXPECT_EQ(p->HoverCode(), 0);
}

TEST_F(TFrameTest, UserTitleButtonRaisesItsEventsAndShiftsItsGlyph) {
  LoadBuiltinSkin();
  TForm* f = MakeForm(bsSizeable, 240, 160);
  TsSkinProvider* p = ProviderOf(f);
  TsTitleButton* button = p->TitleButtons.Add();
  tk::TBitmap glyph;
  glyph.SetSize(8, 8);
  glyph.Image().Fill(0x0000FF);
  glyph.Image().SetPixel(0, 7, 0x00FF00);  // the transparent colour
  button->SetGlyph(glyph);
  std::vector<std::string> events;
  button->OnMouseDown = [&](TsTitleButton* b, TMouseButton, TShiftState, int, int) {
    events.push_back("down" + std::to_string(b->Index()));
  };
  button->OnMouseUp = [&](TsTitleButton* b, TMouseButton, TShiftState, int, int) {
    events.push_back("up" + std::to_string(b->Index()));
  };
  Shot(f);
  const TRect r = button->Data.Rect;
  EXPECT_EQ(r.Width(), 14);  // the TITLEBUTTON cell is wider than the glyph
  const TPoint o = Origin(f);
  const TPoint centre{r.Left + r.Width() / 2, r.Top + r.Height() / 2};
  EXPECT_EQ(Shot(f).GetPixel(centre.X, centre.Y), TColor(0x0000FF));
  host.MouseMove(o.X + r.Left + 3, o.Y + r.Top + 3);
  host.MouseDown();
  Pump();
  // Pressed: the glyph moves one pixel right and down.
  const TBitmap down = Shot(f);
  const int gx = r.Left + (r.Width() - 8) / 2, gy = r.Top + (r.Height() - 8) / 2;
  EXPECT_NE(down.GetPixel(gx, gy + 7), TColor(0x0000FF));
  EXPECT_EQ(down.GetPixel(gx + 8, gy + 8), TColor(0x0000FF));
  host.MouseUp();
  Pump();
  EXPECT_EQ(events, (std::vector<std::string>{"down0", "up0"}));
}

TEST_F(TFrameTest, SystemMenuOpensFromIconRightClickAndAltSpace) {
  LoadBuiltinSkin();
  TForm* f = MakeForm(bsSizeable, 240, 160);
  TsSkinProvider* p = ProviderOf(f);
  std::vector<TPoint> opened;
  p->OnSystemMenu = [&](TsSkinProvider&, TPoint at) { opened.push_back(at); };
  const TPoint o = Origin(f);
  host.Click(o.X + 10, o.Y + 10);
  Pump();
  ASSERT_EQ(opened.size(), 1u);
  // Below the icon, at the border.
  EXPECT_EQ(opened[0].X, o.X + 4);
  EXPECT_EQ(opened[0].Y, o.Y + 4 + 16);
  host.Click(o.X + 100, o.Y + 12, THostButton::Right);
  Pump();
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[1].X, o.X + 100);
  EXPECT_EQ(opened[1].Y, o.Y + 12);
  host.KeyDown(VK_MENU);
  host.Key(VK_SPACE);
  host.KeyUp(VK_MENU);
  Pump();
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_EQ(opened[2].X, opened[0].X);
  EXPECT_EQ(opened[2].Y, opened[0].Y);
  // A right click in the client area is not the caption's.
  host.Click(o.X + 100, o.Y + 80, THostButton::Right);
  Pump();
  EXPECT_EQ(opened.size(), 3u);
}

TEST_F(TFrameTest, TitleButtonFadesOnTheVirtualClock) {
  TsSkinManager& m = LoadBuiltinSkin();
  // The program's skin with a fading caption strip.
  std::ifstream in(SourceDir() / "assets/skins/office2007-blue/Options.dat", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string options = text.str();
  const std::string section = "[FORMTITLE]\r\n";
  options.replace(options.find(section), section.size(),
                  section + "FADINGENABLED=TRUE\r\nFADINGITERATIONS=4\r\n");
  fs::create_directories(dir / "Fading");
  SaveBmpFile((dir / "Fading" / "MASTER.BMP").string(), *m.MasterBitmap);
  LoadFolderSkin("Fading", options);
  ASSERT_TRUE(m.SkinData.Active);
  TForm* f = MakeForm(bsSizeable, 240, 160);
  TsSkinProvider* p = ProviderOf(f);
  const TRect close = p->Button(TsSkinProvider::bClose).Rect;
  const std::uint64_t normal = Sum(Shot(f), close);
  host.MouseMove(Origin(f).X + 224, Origin(f).Y + 10);
  Pump();
  const std::uint64_t first = Sum(Shot(f), close);
  host.AdvanceClock(10);
  Pump();
  const std::uint64_t second = Sum(Shot(f), close);
  for (int i = 0; i < 10; ++i) {
    host.AdvanceClock(10);
    Pump();
  }
  const std::uint64_t hot = Sum(Shot(f), close);
  EXPECT_NE(first, normal);
  EXPECT_NE(first, hot);
  EXPECT_NE(second, first);
  EXPECT_NE(second, hot);
  // The last frame is the hot look itself.
  AnimationsOff = true;
  p->RefreshFrame();
  EXPECT_EQ(Sum(Shot(f), close), hot);
  AnimationsOff = false;
  // A window freed while its button fades is never touched again.
  host.MouseMove(Origin(f).X + 100, Origin(f).Y + 80);
  Pump();
  delete f;
  host.AdvanceClock(100);
  Pump();
}

TEST_F(TFrameTest, ScreenSnapPullsTheWindowOntoEdgesCloserThanTheBuffer) {
  LoadBuiltinSkin();
  TForm* f = MakeForm(bsSizeable, 240, 160);
  TsSkinProvider* p = ProviderOf(f);
  p->ScreenSnap = true;
  p->SnapBuffer = 10;
  f->SetBounds(1280 - 240 - 9, 300, 240, 160);
  Pump();
  EXPECT_EQ(Origin(f).X, 1280 - 240);
  f->SetBounds(1280 - 240 - 10, 300, 240, 160);
  Pump();
  EXPECT_EQ(Origin(f).X, 1280 - 240 - 10);
  f->SetBounds(9, 9, 240, 160);
  Pump();
  EXPECT_EQ(Origin(f).X, 0);
  EXPECT_EQ(Origin(f).Y, 0);
}

class TMessageForm : public TForm {
 public:
  using TForm::TForm;
  std::string ClassName() const override { return "TMessageForm"; }
};

TEST_F(TFrameTest, HookSkinsFormsByTheManagersRulesAndFreesItsProviders) {
  TsSkinManager& m = LoadBuiltinSkin();
  m.SetSkinningRules(srStdForms);
  auto* box = Create<TMessageForm>(app.get());
  box->SetBounds(40, 30, 200, 100);
  box->Show();
  Pump();
  EXPECT_EQ(ProviderOf(box), nullptr);
  box->Hide();
  // Message boxes follow the dialogs' rule alone, whatever the forms' rule.
  m.SetSkinningRules(srStdDialogs);
  box->Show();
  Pump();
  EXPECT_NE(ProviderOf(box), nullptr);
  m.SetSkinningRules(srStdForms | srStdDialogs);
  auto* own = Create<TForm>(app.get());
  own->SetTag(-98);
  own->SetBounds(40, 30, 200, 100);
  own->Show();
  Pump();
  EXPECT_EQ(ProviderOf(own), nullptr);
  TForm* f = MakeForm();
  ASSERT_NE(ProviderOf(f), nullptr);
  EXPECT_EQ(RuntimeProviders().size(), 2u);
  // Stopping the skin frees every run-time provider.
  m.SetActive(false);
  EXPECT_TRUE(RuntimeProviders().empty());
  EXPECT_EQ(ProviderOf(f), nullptr);
  EXPECT_EQ(TsWindowAnnouncer::FrameOf(f), nullptr);
}

}  // namespace
}  // namespace vm::test

namespace vm::test {
namespace {

TEST_F(TFrameTest, CaptionDragMovesTheWindowUnlessItIsMaximised) {
  LoadBuiltinSkin();
  TForm* f = MakeForm(bsSizeable, 240, 160);
  const TPoint o = Origin(f);
  host.Drag({o.X + 100, o.Y + 10}, {o.X + 150, o.Y + 60});
  Pump();
  EXPECT_EQ(Origin(f).X, o.X + 50);
  EXPECT_EQ(Origin(f).Y, o.Y + 50);
  ShowWindow(f->Handle(), SW_MAXIMIZE);
  Pump();
  const TPoint m = Origin(f);
  host.AdvanceClock(1000);
  host.Drag({m.X + 100, m.Y + 12}, {m.X + 150, m.Y + 62});
  Pump();
  EXPECT_EQ(Origin(f).X, m.X);
  EXPECT_EQ(Origin(f).Y, m.Y);
  EXPECT_TRUE(IsZoomed(f->Handle()));
}

}  // namespace
}  // namespace vm::test
