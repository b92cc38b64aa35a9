// The frame picture: measures, the region cut from the skin's corners, the
// active and inactive looks, the plain frame given back, and bad skins.
#include "platform/gfx/BmpCodec.h"
#include "skin/paint/MaskPaint.h"
#include "skin/state/SkinCommand.h"
#include "tests/skin/frame/FrameTestSupport.h"
#include "toolkit/Edit.h"
#include "toolkit/GraphicControl.h"
#include "toolkit/MainMenu.h"
#include "toolkit/MenuItem.h"
#include "toolkit/Panel.h"
#include "toolkit/SpeedButton.h"

namespace vm::test {
namespace {

TEST_F(TFrameTest, BordersComeFromThePlatformMetricsOfEachStyle) {
  LoadBuiltinSkin();
  struct {
    TFormBorderStyle Style;
    int Border, Caption;
    bool Icon;
  } cases[] = {{bsSingle, 3, 19, true},
               {bsSizeable, 4, 19, true},
               {bsDialog, 3, 19, false},
               {bsToolWindow, 3, 15, false},
               {bsNone, 0, 0, false}};
  for (const auto& c : cases) {
    TForm* f = MakeForm(c.Style);
    const TsFrameMetrics m = MeasureFrame(*f, true);
    EXPECT_EQ(m.BorderWidth, c.Border) << c.Style;
    EXPECT_EQ(m.BorderHeight, c.Border) << c.Style;
    EXPECT_EQ(m.CaptionHeight, c.Caption) << c.Style;
    EXPECT_EQ(m.IconShown, c.Icon) << c.Style;
    // The frame sits exactly where the platform put the client area.
    EXPECT_EQ(m.ClientLeft, c.Border) << c.Style;
    EXPECT_EQ(m.ClientTop, c.Border + c.Caption) << c.Style;
    if (c.Icon) {
      EXPECT_EQ(m.IconRect, Bounds(c.Border, (19 + c.Border - 16) / 2, 16, 16));
    }
    f->Hide();
  }
  // A multi-document child that cannot be sized has the platform's fixed
  // frame, not the one-pixel line; a sizeable one the sizing frame.
  for (TFormBorderStyle style : {bsSingle, bsToolWindow, bsSizeable}) {
    auto* child = new TForm(app.get());
    child->SetBorderStyle(style);
    child->SetFormStyle(fsMDIChild);
    const TsFrameMetrics m = MeasureFrame(*child, true);
    const bool fixed = style != bsSizeable;
    EXPECT_EQ(m.BorderWidth, GetSystemMetrics(fixed ? SM_CXFIXEDFRAME : SM_CXFRAME)) << style;
    EXPECT_EQ(m.BorderHeight, GetSystemMetrics(fixed ? SM_CYFIXEDFRAME : SM_CYFRAME)) << style;
    EXPECT_GT(m.BorderWidth, GetSystemMetrics(SM_CXBORDER)) << style;
  }
}

TEST_F(TFrameTest, SkinnedFormLooksLikeTheSkinActiveAndInactive) {
  LoadBuiltinSkin();
  TForm* f = MakeForm(bsSizeable, 240, 160);
  TsSkinProvider* p = ProviderOf(f);
  ASSERT_NE(p, nullptr);
  EXPECT_TRUE(p->Skinned());
  EXPECT_TRUE(p->FormActive());
  // The window keeps the platform's measures: the client area is not moved.
  TRect client;
  GetClientRect(f->Handle(), &client);
  EXPECT_EQ(client, Rect(0, 0, 232, 133));
  const TBitmap active = Shot(f);
  CompareGolden("sizeable-active", active);
  // Another window taking over repaints the whole frame inactive.
  TForm* other = MakeForm(bsSingle, 100, 60);
  other->SetLeft(600);
  Pump();
  EXPECT_FALSE(p->FormActive());
  const TBitmap inactive = Shot(f);
  CompareGolden("sizeable-inactive", inactive);
  EXPECT_NE(active.GetPixel(120, 10), inactive.GetPixel(120, 10));
  // Coming back paints the active look again, pixel for pixel.
  f->BringToFront();
  Pump();
  EXPECT_TRUE(p->FormActive());
  EXPECT_TRUE(Shot(f).SamePixels(active));
}

TEST_F(TFrameTest, MaximisedFormFillsTheWorkAreaInTheSkin) {
  LoadBuiltinSkin();
  host.SetWorkArea(Rect(0, 0, 480, 300));
  TForm* f = MakeForm(bsSizeable, 240, 160);
  ShowWindow(f->Handle(), SW_MAXIMIZE);
  Pump();
  const TBitmap shot = Shot(f);
  EXPECT_EQ(ProviderOf(f)->FrameCache().Width(), shot.Width());
  CompareGolden("sizeable-maximised", shot);
}

TEST_F(TFrameTest, RegionCutsExactlyTheTransparentCornersOfTheSkin) {
  TsSkinManager& m = LoadBuiltinSkin();
  TForm* f = MakeForm(bsSizeable, 240, 160);
  TsSkinProvider* p = ProviderOf(f);
  Shot(f);
  ASSERT_TRUE(p->RegionSet());
  // Every cut run is magenta in the border images it comes from, and every
  // magenta corner pixel of the form's border image is cut.
  const int bm = p->SkinData.BorderMaskIndex;
  ASSERT_TRUE(m.IsValidMaskIndex(bm));
  std::vector<TRect> expected;
  CollectKeyRuns(expected, 240, m.ma[std::size_t(bm)], false, 0);
  CollectKeyRuns(expected, 240, m.ma[std::size_t(bm)], true, 160 - m.MaskBorderBottom(bm));
  ASSERT_FALSE(expected.empty());
  TRegion region;
  ASSERT_NE(GetWindowRgn(f->Handle(), &region), RGN_ERROR);
  for (const TRect& r : expected)
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) EXPECT_FALSE(region.Contains(x, y)) << x << "," << y;
  TRegion cut(Rect(0, 0, 240, 160));
  cut.Subtract(region);
  for (const TRect& r : cut.Rects()) {
    bool listed = false;
    for (const TRect& e : p->RegionRects()) listed |= !e.Intersect(r).IsEmpty();
    EXPECT_TRUE(listed);
  }
  EXPECT_TRUE(region.Contains(120, 0));
  EXPECT_TRUE(region.Contains(2, 2));
  EXPECT_FALSE(region.Contains(0, 0));
  EXPECT_FALSE(region.Contains(239, 159));
  // The host's window has the same shape.
  EXPECT_FALSE(host.Native(GetHostWindow(f->Handle()))->Shape.empty());
  // Switching skinning off takes the region away.
  m.SetActive(false);
  Pump();
  TRegion none;
  EXPECT_EQ(GetWindowRgn(f->Handle(), &none), RGN_ERROR);
}

TEST_F(TFrameTest, SwitchingSkinningOffGivesThePlainFrameBackExactly) {
  TForm* f = MakeForm(bsSizeable, 240, 160);
  const TBitmap plain = Shot(f);
  const TColor plainColour = f->Color();
  const LONG_PTR plainStyle = GetWindowLongPtr(f->Handle(), GWL_STYLE);
  TsSkinManager& m = LoadBuiltinSkin();
  // The hook gives the form its frame when it is activated again.
  TForm* other = MakeForm(bsSingle, 100, 60);
  other->Hide();
  f->BringToFront();
  Pump();
  ASSERT_NE(ProviderOf(f), nullptr);
  const TBitmap skinned = Shot(f);
  EXPECT_FALSE(skinned.SamePixels(plain));
  EXPECT_NE(GetWindowLongPtr(f->Handle(), GWL_STYLE), plainStyle);  // no platform buttons
  m.SetActive(false);
  Pump();
  EXPECT_EQ(ProviderOf(f), nullptr);
  EXPECT_EQ(f->Color(), plainColour);
  EXPECT_EQ(GetWindowLongPtr(f->Handle(), GWL_STYLE), plainStyle);
  EXPECT_TRUE(Shot(f).SamePixels(plain));
}

TEST_F(TFrameTest, OwnedProviderHooksAndGivesBackTheWindowProcedure) {
  LoadBuiltinSkin();
  TForm* f = MakeForm(bsSingle, 200, 120);
  FreeRuntimeProviders();
  const TBitmap plain = Shot(f);
  auto* p = Create<TsSkinProvider>(f);
  EXPECT_TRUE(p->Skinned());
  EXPECT_EQ(TsWindowAnnouncer::FrameOf(f), static_cast<TsFrameOwner*>(p));
  // A second provider on the same form stays out of the way.
  auto* second = Create<TsSkinProvider>(f);
  EXPECT_TRUE(second->Inactive());
  delete second;
  EXPECT_FALSE(Shot(f).SamePixels(plain));
  delete p;
  EXPECT_EQ(TsWindowAnnouncer::FrameOf(f), nullptr);
  EXPECT_TRUE(Shot(f).SamePixels(plain));
  // A provider must sit on a form.
  TComponent notAForm;
  EXPECT_THROW(TsSkinProvider{&notAForm}, Exception);
}

TEST_F(TFrameTest, FormWithoutMenuPaintsNoMenuLineAndBorderlessFormNoCaption) {
  LoadBuiltinSkin();
  TForm* f = MakeForm(bsNone, 120, 80);
  TsSkinProvider* p = ProviderOf(f);
  ASSERT_NE(p, nullptr);
  Shot(f);
  EXPECT_EQ(p->Metrics().CaptionHeight, 0);
  EXPECT_EQ(p->ButtonsWidth(), 0);
  // The client background is the form section's colour everywhere.
  const TBitmap shot = Shot(f);
  const TColor c = shot.GetPixel(60, 40);
  EXPECT_EQ(shot.GetPixel(60, 2), c);
  EXPECT_FALSE(p->RegionSet());
}

// A skin without the form's sections, or with masks outside its master
// bitmap, leaves a usable frame and never crashes.
TEST_F(TFrameTest, BadSkinsKeepAUsableFrame) {
  TBitmap master(16, 16);
  master.Fill(0x00FF00FF);
  LoadFolderSkin("NoForm",
                 "[GLOBALINFO]\r\nVERSION=5.43\r\nMASTERBITMAP=MASTER.BMP\r\n"
                 "BICONCLOSE=@0000@0000@0900@0900@3@0\r\n[PANEL]\r\nCOLOR=255\r\n");
  TForm* f = MakeForm(bsSizeable, 200, 120);
  TsSkinProvider* p = ProviderOf(f);
  ASSERT_NE(p, nullptr);
  EXPECT_FALSE(p->Skinned());
  const TBitmap shot = Shot(f);
  EXPECT_EQ(shot.Width(), 200);

  const std::string options =
      "[GLOBALINFO]\r\nVERSION=5.43\r\nMASTERBITMAP=MASTER.BMP\r\n"
      "BICONCLOSE=@0010@0010@0900@0900@3@0\r\nBICONMIN=@0900@0900@0990@0922@3@0\r\n"
      "GRIPIMAGE=@0000@0000@0000@0000@0@0\r\n"
      "[FORM]\r\nCOLOR=255\r\nBORDERSMASK=^0008^0008^0400^0400^0005^0005^0006^0006^1^0^1^1\r\n";
  fs::create_directories(dir / "BadMasks");
  SaveBmpFile((dir / "BadMasks" / "MASTER.BMP").string(), master);
  LoadFolderSkin("BadMasks", options);
  p = ProviderOf(f);
  ASSERT_NE(p, nullptr);
  p->SetGripMode(gmRightBottom);
  EXPECT_TRUE(p->Skinned());
  const TBitmap bad = Shot(f);
  EXPECT_EQ(bad.GetPixel(100, 60), TColor(0x0000FF));
  TPoint o = Origin(f);
  host.MouseMove(o.X + 190, o.Y + 8);
  host.MouseMove(o.X + 190, o.Y + 115);
  Pump();

  // Button images reaching outside the master bitmap are left out.
  EXPECT_TRUE(p->Button(TsSkinProvider::bClose).Rect.IsEmpty());
  EXPECT_TRUE(p->Button(TsSkinProvider::bMin).Rect.IsEmpty());
  // Without a caption section the caption still shows the form's text.
  const TBitmap titled = bad;
  f->SetCaption("");
  const TBitmap untitled = Shot(f);
  int differ = 0;
  for (int x = 0; x < 120; ++x)
    for (int y = 4; y < 22; ++y) differ += titled.GetPixel(x, y) != untitled.GetPixel(x, y);
  EXPECT_GT(differ, 20);

  // A zero-size window.
  f->SetBounds(40, 30, 0, 0);
  Pump();
  Shot(f);
  EXPECT_EQ(p->FrameCache().Width(), 0);
}

// A windowless control that records the skin commands it hears.
class TCommandLog : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  std::vector<std::pair<int, int>> Heard;
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_NIRVEXCMD) Heard.emplace_back(CommandOf(m.WParam), ArgumentOf(m.WParam));
    TGraphicControl::WndProc(m);
  }
};

TEST_F(TFrameTest, ResizeUnderAGradientFormTellsWindowlessChildrenToo) {
  LoadBuiltinSkin();
  TForm* f = MakeForm(bsSizeable, 240, 160);
  auto* log = new TCommandLog(f);
  log->SetParent(f);
  log->SetBounds(10, 10, 40, 20);
  TsSkinProvider* p = ProviderOf(f);
  ASSERT_NE(p, nullptr);
  manager->gd[std::size_t(p->SkinData.SectionIndex)].GradientPercent = 50;
  log->Heard.clear();
  f->SetBounds(40, 30, 260, 170);
  Pump();
  EXPECT_NE(
      std::find(log->Heard.begin(), log->Heard.end(), std::pair{int(CmdRefreshBackground), 1}),
      log->Heard.end());
}

}  // namespace
}  // namespace vm::test

#include "skin/frame/CtrlAdapter.h"
#include "skin/subclass/AdapterKinds.h"
#include "toolkit/Button.h"

namespace vm::test {
namespace {

TEST_F(TFrameTest, FrameHandsTheFormsPlainButtonsToItsAdapter) {
  RegisterAdapterSubclasses();
  LoadBuiltinSkin();
  auto* f = Create<TForm>(app.get());
  f->SetBounds(40, 30, 200, 120);
  auto* ok = Create<TButton>(f);
  ok->SetParent(f);
  ok->SetBounds(10, 10, 75, 25);
  f->Show();
  Pump();
  TsSkinProvider* p = ProviderOf(f);
  ASSERT_NE(p, nullptr);
  ASSERT_NE(p->Adapter(), nullptr);
  EXPECT_NE(p->Adapter()->ItemOf(ok), nullptr);
  // A button made while the form is skinned is taken too.
  auto* later = Create<TButton>(f);
  later->SetParent(f);
  later->SetBounds(100, 10, 75, 25);
  later->HandleNeeded();
  Pump();
  EXPECT_NE(p->Adapter()->ItemOf(later), nullptr);
  // Removing the skin frees the adapter with its items.
  manager->SetActive(false);
  EXPECT_EQ(ProviderOf(f), nullptr);
}

}  // namespace
}  // namespace vm::test

namespace vm::test {
namespace {

// What is put on a skinned form is taken up by its frame: a windowed control
// handed to the form (made by another owner, already placed) is offered to
// the adapter, and a skin manager put on a form whose frame follows the
// program's manager becomes its manager; one that goes is forgotten.
TEST_F(TFrameTest, TheFrameTakesUpControlsAndAManagerInsertedIntoItsForm) {
  RegisterAdapterSubclasses();
  LoadBuiltinSkin();
  auto* f = Create<TForm>(app.get());
  f->SetBounds(40, 30, 220, 120);
  auto* panel = Create<TPanel>(f);
  panel->SetParent(f);
  panel->SetBounds(0, 0, 200, 60);
  f->Show();
  Pump();
  TsSkinProvider* p = ProviderOf(f);
  ASSERT_NE(p, nullptr);
  ASSERT_NE(p->Adapter(), nullptr);
  // A button placed while the frame refuses it, then handed to the form once
  // the frame would take it: the insertion offers it to the adapter.
  bool refuse = true;
  p->OnSkinItem = [&](TComponent*, bool& canBeAdded, std::string&) { canBeAdded = !refuse; };
  TComponent elsewhere;
  auto* ok = Create<TButton>(&elsewhere);
  ok->SetParent(panel);
  ok->SetBounds(10, 10, 75, 25);
  ok->HandleNeeded();
  Pump();
  EXPECT_EQ(p->Adapter()->ItemOf(ok), nullptr);
  refuse = false;
  ok->ChangeOwner(f);
  EXPECT_NE(p->Adapter()->ItemOf(ok), nullptr);

  EXPECT_EQ(p->SkinData.SkinManager(), nullptr);
  auto* own = Create<TsSkinManager>(f);
  EXPECT_EQ(p->SkinData.SkinManager(), own);
  // The frame follows its manager, which has no skin yet: the frame is plain.
  EXPECT_FALSE(p->Skinned());
  auto* second = Create<TsSkinManager>(f);
  EXPECT_EQ(p->SkinData.SkinManager(), own);  // the chosen one stays
  delete own;
  EXPECT_EQ(p->SkinData.SkinManager(), nullptr);
  delete second;
}

TEST_F(TFrameTest, PrintedFormShowsTheSkinnedFrameAndANewCaption) {
  LoadBuiltinSkin();
  TForm* f = MakeForm(bsSizeable, 240, 160);
  const TBitmap before = Shot(f);
  // WM_PRINT draws what the screen shows.
  TBitmap printed(240, 160);
  printed.Fill(0x00FF00);
  {
    TDC dc(printed);
    SendMessage(f->Handle(), WM_PRINT, WPARAM(reinterpret_cast<std::uintptr_t>(&dc)),
                PRF_NONCLIENT | PRF_CLIENT | PRF_CHILDREN);
  }
  EXPECT_EQ(printed.GetPixel(120, 10), before.GetPixel(120, 10));
  EXPECT_EQ(printed.GetPixel(120, 100), before.GetPixel(120, 100));
  EXPECT_EQ(printed.GetPixel(1, 100), before.GetPixel(1, 100));
  // A new caption is painted into the skinned strip at once.
  f->SetCaption("Другая подпись");
  const TBitmap after = Shot(f);
  EXPECT_FALSE(after.SamePixels(before));
  EXPECT_EQ(after.GetPixel(120, 100), before.GetPixel(120, 100));
}

TEST_F(TFrameTest, WindowDestroyedByTheFormsOwnPaintingLeavesNoHarm) {
  LoadBuiltinSkin();
  TForm* f = MakeForm(bsSizeable, 240, 160);
  TsSkinProvider* p = ProviderOf(f);
  bool once = false;
  f->OnPaint = [&](TComponent*) {
    if (once) return;
    once = true;
    DestroyWindow(f->Handle());
  };
  p->RefreshFrame();
  InvalidateRect(f->Handle(), nullptr, false);
  Pump();
  EXPECT_TRUE(once);
  // The form makes a new window and is still skinned.
  f->OnPaint = nullptr;
  f->Hide();
  f->Show();
  Pump();
  EXPECT_TRUE(Shot(f).Width() == 240);
}

}  // namespace
}  // namespace vm::test

#include <sstream>

namespace vm::test {
namespace {

TEST_F(TFrameTest, SwitchingSkinsAtRunTimeRepaintsTheFrame) {
  TsSkinManager& m = LoadBuiltinSkin();
  TForm* f = MakeForm(bsSizeable, 240, 160);
  const TBitmap first = Shot(f);
  std::ifstream in(SourceDir() / "assets/skins/office2007-blue/Options.dat", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string options = text.str();
  for (std::size_t at = options.find("16442322"); at != std::string::npos;
       at = options.find("16442322", at))
    options.replace(at, 8, "13434828");  // the faces become light green
  fs::create_directories(dir / "Green");
  SaveBmpFile((dir / "Green" / "MASTER.BMP").string(), *m.MasterBitmap);
  LoadFolderSkin("Green", options);
  ASSERT_TRUE(m.SkinData.Active);
  const TBitmap green = Shot(f);
  EXPECT_EQ(green.GetPixel(120, 100), TColor(0xCCFFCC));
  EXPECT_EQ(f->Color(), TColor(0xCCFFCC));
  LoadBuiltinSkin();
  EXPECT_TRUE(Shot(f).SamePixels(first));
}

}  // namespace
}  // namespace vm::test

namespace vm::test {
namespace {

bool SamePixels(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
  return true;
}

// A frame repainted with the caption strip laid from its copy is the frame
// painted in full, pixel for pixel, also after the look or the width changed
// (the copy of the old look or width must not be laid then).
TEST_F(TFrameTest, CaptionCopyRepaintsExactlyLikeAFullPainting) {
  LoadBuiltinSkin();
  TForm* f = MakeForm(bsSizeable, 300, 180, "Снимок 0042.jpg");
  auto* menu = Create<tk::TMainMenu>(f);
  auto* item = Create<tk::TMenuItem>(f);
  item->SetCaption("&Файл");
  menu->Items()->Add(item);
  f->SetMenu(menu);
  TsSkinProvider* p = ProviderOf(f);
  ASSERT_NE(p, nullptr);
  p->SetGripMode(gmRightBottom);
  Pump();
  auto shortcut = [&] {
    EXPECT_TRUE(p->CaptionCopyValid());
    p->SkinData.CacheInvalid = true;
    p->PaintFrame();
    return p->FrameCache();
  };
  auto full = [&] {
    p->DropCaptionCopy();
    p->SkinData.CacheInvalid = true;
    p->PaintFrame();
    return p->FrameCache();
  };
  const TBitmap first = full();
  EXPECT_TRUE(SamePixels(shortcut(), first));
  EXPECT_TRUE(SamePixels(shortcut(), full()));

  // The inactive look: the active caption's copy is not laid over it.
  SendMessage(f->Handle(), WM_NCACTIVATE, 0, 0);
  const TBitmap inactive = shortcut();
  EXPECT_FALSE(p->FormActive());
  EXPECT_FALSE(SamePixels(inactive, first));
  EXPECT_TRUE(SamePixels(inactive, full()));
  SendMessage(f->Handle(), WM_NCACTIVATE, 1, 0);
  EXPECT_TRUE(SamePixels(shortcut(), first));

  // Another width, and a taller window, paint their own caption.
  f->SetBounds(f->Left(), f->Top(), 260, 180);
  Pump();
  const TBitmap narrow = shortcut();
  EXPECT_EQ(narrow.Width(), 260);
  EXPECT_TRUE(SamePixels(narrow, full()));
  f->SetBounds(f->Left(), f->Top(), 260, 220);
  Pump();
  EXPECT_TRUE(SamePixels(shortcut(), full()));

  // A new caption text is written over the strip.
  f->SetCaption("Снимок 0043.jpg");
  Pump();
  EXPECT_TRUE(SamePixels(shortcut(), full()));
}

// While a control fades, the form paints that control alone, over the frame
// cache behind it, into the context it is given; the painting after that is
// the whole client area again.
TEST_F(TFrameTest, AnimatingChildIsPaintedAloneOnce) {
  LoadBuiltinSkin();
  TForm* f = MakeForm(bsSizeable, 260, 180);
  auto* button = Create<TSpeedButton>(f);
  button->SetParent(f);
  button->SetBounds(30, 20, 60, 24);
  button->SetCaption("Открыть");
  auto* other = Create<TSpeedButton>(f);
  other->SetParent(f);
  other->SetBounds(120, 20, 60, 24);
  other->SetCaption("Сохранить");
  Pump();
  TsSkinProvider* p = ProviderOf(f);
  ASSERT_NE(p, nullptr);
  const TsFrameMetrics m = p->Metrics();
  constexpr TColor unpainted = 0xFF00FF;
  auto print = [&] {
    TBitmap out(m.FrameWidth, m.WindowHeight);
    TDC dc(out);
    dc.FillRect(Rect(0, 0, out.Width(), out.Height()), unpainted);
    SendMessage(f->Handle(), WM_PRINT, WPARAM(&dc), PRF_CLIENT);
    return out;
  };
  const TBitmap whole = print();
  SendCommand(f, CmdSetAnimatingChild, reinterpret_cast<LPARAM>(button));
  const TBitmap alone = print();
  const TRect r = button->BoundsRect().Offset(m.ClientLeft, m.ClientTop);
  int inside = 0, outside = 0;
  for (int y = 0; y < alone.Height(); ++y)
    for (int x = 0; x < alone.Width(); ++x) {
      if (r.Contains({x, y}))
        inside += alone.GetPixel(x, y) == whole.GetPixel(x, y);
      else
        outside += alone.GetPixel(x, y) == unpainted;
    }
  EXPECT_EQ(inside, r.Width() * r.Height());
  EXPECT_EQ(outside, alone.Width() * alone.Height() - r.Width() * r.Height());
  // The next painting is a whole one again.
  EXPECT_TRUE(SamePixels(print(), whole));

  // A screen painting that has more to repaint than the control (another
  // control moved meanwhile) paints all of it.
  SendCommand(f, CmdSetAnimatingChild, reinterpret_cast<LPARAM>(button));
  other->SetLeft(170);
  const TBitmap shot = Shot(f);
  const TBitmap now = print();
  const TRect moved = other->BoundsRect().Offset(m.ClientLeft, m.ClientTop);
  for (int y = moved.Top; y < moved.Bottom; ++y)
    for (int x = moved.Left; x < moved.Right; ++x)
      ASSERT_EQ(shot.GetPixel(x, y), now.GetPixel(x, y)) << x << "," << y;
}

}  // namespace
}  // namespace vm::test

namespace vm::test {
namespace {

// A form that keeps its whole rectangle until its frame is painted once.
class TWholeUntilPaintedForm : public TForm {
 public:
  using TForm::TForm;
  int Queries = 0;
  bool RegionAtQuery = false;
  void WndProc(TMessage& m) override {
    if (m.Msg == 48205 && m.WParam == 16802) {
      ++Queries;
      for (int i = 0; i < ComponentCount(); ++i)
        if (auto* p = dynamic_cast<TsSkinProvider*>(Components(i)))
          RegionAtQuery = RegionAtQuery || p->RegionSet();
      m.Result = 16802;
      return;
    }
    TForm::WndProc(m);
  }
};

TEST_F(TFrameTest, RegionWaitsForTheFirstPaintingWhenTheFormAsks) {
  LoadBuiltinSkin();
  auto* f = Create<TWholeUntilPaintedForm>(app.get());
  f->SetBounds(40, 30, 240, 160);
  f->Show();
  Pump();
  TsSkinProvider* p = ProviderOf(f);
  ASSERT_NE(p, nullptr);
  // Asked at the first painting only, before anything is cut away;
  // the region follows the painting.
  EXPECT_EQ(f->Queries, 1);
  EXPECT_FALSE(f->RegionAtQuery);
  EXPECT_TRUE(p->RegionSet());
  EXPECT_FALSE(p->RegionRects().empty());
  p->RefreshFrame();
  EXPECT_EQ(f->Queries, 1);
}

// The pointer entering the form clears the hover look of a speed button that
// missed its own leave.
TEST_F(TFrameTest, EnteringTheFormReleasesAStaleSpeedButton) {
  LoadBuiltinSkin();
  TForm* f = MakeForm(bsSizeable, 260, 180);
  auto* button = Create<TSpeedButton>(f);
  button->SetParent(f);
  button->SetFlat(true);
  button->SetBounds(20, 20, 60, 24);
  Pump();
  ASSERT_NE(ProviderOf(f), nullptr);
  button->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(button));
  ASSERT_TRUE(button->MouseInControl());
  TRect r;
  GetWindowRect(f->Handle(), &r);
  host.MouseMove(r.Left + 150, r.Top + 120);
  Pump();
  EXPECT_EQ(MouseControl(), f);
  EXPECT_FALSE(button->MouseInControl());
  // The pointer coming to a control on the form does the same, and the
  // button it comes to keeps its hover look.
  auto* other = Create<TSpeedButton>(f);
  other->SetParent(f);
  other->SetFlat(true);
  other->SetBounds(100, 20, 60, 24);
  auto* edit = Create<TEdit>(f);
  edit->SetParent(f);
  edit->SetBounds(20, 80, 100, 21);
  Pump();
  for (TControl* target : std::initializer_list<TControl*>{other, edit}) {
    button->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(button));
    ASSERT_TRUE(button->MouseInControl());
    TPoint p = target->ClientToScreen({5, 5});
    host.MouseMove(p.X, p.Y);
    Pump();
    EXPECT_EQ(MouseControl(), target);
    EXPECT_FALSE(button->MouseInControl()) << target->ClassName();
  }
  // Moving from the edit onto the other button: it hovers.
  TPoint p = other->ClientToScreen({5, 5});
  host.MouseMove(p.X, p.Y);
  Pump();
  EXPECT_TRUE(other->MouseInControl());
}

}  // namespace
}  // namespace vm::test
