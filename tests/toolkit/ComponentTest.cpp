// Components that need only the window system: timer, label, bevel, panel,
// image and scroll box, checked through their windows and their pixels.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/gfx/SysColors.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/Bevel.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Image.h"
#include "toolkit/Label.h"
#include "toolkit/Layout.h"
#include "toolkit/Panel.h"
#include "toolkit/ScrollBox.h"
#include "toolkit/Timer.h"

namespace vm::test {
namespace {

constexpr TColor Paper = RGB(240, 240, 240);

class ComponentTest : public TToolkitTest {
 protected:
  void SetUp() override {
    TToolkitTest::SetUp();
    PinFontConfiguration();
  }
  TForm* Shown(int w = 300, int h = 200) {
    TForm* f = MakeForm(100, 100, w, h);
    f->SetColor(Paper);
    f->Show();
    Pump();
    return f;
  }
  // A bitmap picture: a w x h gradient with a red top-left pixel.
  static std::unique_ptr<tk::TBitmap> Picture(int w, int h) {
    auto b = std::make_unique<tk::TBitmap>(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) b->Image().SetPixel(x, y, RGB(x % 256, y % 256, 100));
    b->Image().SetPixel(0, 0, RGB(255, 0, 0));
    return b;
  }
};

TEST_F(ComponentTest, TimerTicksOnTheHostClockWhileEnabled) {
  auto* t = Create<TTimer>(app.get());
  int ticks = 0;
  t->SetInterval(100);
  t->SetOnTimer([&](TComponent* s) {
    EXPECT_EQ(s, t);
    ++ticks;
  });
  for (int i = 0; i < 5; ++i) {
    host.AdvanceClock(50);
    Pump();
  }
  EXPECT_EQ(ticks, 2);
  t->SetEnabled(false);
  host.AdvanceClock(500);
  Pump();
  EXPECT_EQ(ticks, 2);
  t->SetEnabled(true);
  t->SetInterval(10);
  host.AdvanceClock(10);
  Pump();
  EXPECT_EQ(ticks, 3);
  // An error in OnTimer is reported and the timer keeps going.
  std::vector<std::string> reports;
  app->OnException = [&](TComponent*, const std::exception& e) { reports.push_back(e.what()); };
  t->SetOnTimer([&](TComponent*) {
    ++ticks;
    throw std::runtime_error("сбой");
  });
  host.AdvanceClock(10);
  Pump();
  host.AdvanceClock(10);
  Pump();
  EXPECT_EQ(ticks, 5);
  EXPECT_EQ(reports.size(), 2u);
  // A tick already due when the timer is freed finds nothing.
  host.AdvanceClock(10);
  delete t;
  Pump();
  EXPECT_EQ(ticks, 5);
}

TEST_F(ComponentTest, TimerHandlerKeepsItsStateAndMayReplaceOrFreeItsTimer) {
  auto* t = Create<TTimer>(app.get());
  t->SetInterval(10);
  std::vector<int> seen;
  // The handler's own counter lives on from tick to tick.
  t->SetOnTimer([&seen, n = 0](TComponent*) mutable { seen.push_back(++n); });
  for (int i = 0; i < 3; ++i) {
    host.AdvanceClock(10);
    Pump();
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
  // A handler that replaces itself finishes with its own captures intact,
  // and the next tick runs the new one.
  std::string said;
  t->SetOnTimer([&, word = std::string("первый")](TComponent*) {
    t->SetOnTimer([&](TComponent*) { said += "|второй"; });
    said += word;
  });
  host.AdvanceClock(10);
  Pump();
  host.AdvanceClock(10);
  Pump();
  EXPECT_EQ(said, "первый|второй");
  // A handler that frees its timer.
  t->SetOnTimer([&, keep = std::string("x")](TComponent*) {
    delete t;
    said += keep;
  });
  host.AdvanceClock(10);
  Pump();
  EXPECT_EQ(said, "первый|второйx");
}

TEST_F(ComponentTest, LabelSizesItselfToItsText) {
  TForm* f = Shown();
  auto* l = Place<TLabel>(f, f, "Label1", {10, 10}, [](TLabel& x) { x.SetCaption("___"); });
  int h = l->Height();
  EXPECT_GT(l->Width(), 0);
  EXPECT_GE(h, 11);
  int w3 = l->Width();
  l->SetCaption("Размер: 1234 КБ");
  EXPECT_GT(l->Width(), w3);
  EXPECT_EQ(l->Height(), h);
  l->Font()->SetHeight(-20);
  EXPECT_GT(l->Height(), h);
  // Empty text keeps one line's height.
  l->Font()->SetHeight(-11);
  l->SetCaption("");
  EXPECT_EQ(l->Height(), h);
  EXPECT_GT(l->Width(), 0);
  // Word wrap keeps the width and grows downwards; right alignment keeps the right edge.
  l->SetWordWrap(true);
  l->SetAutoSize(false);
  l->SetBounds(10, 10, 60, h);
  l->SetAutoSize(true);
  l->SetCaption("один два три четыре пять шесть");
  EXPECT_EQ(l->Width(), 60);
  EXPECT_GT(l->Height(), 2 * h);
  auto* r = Place<TLabel>(f, f, "Label2", {200, 10}, [](TLabel& x) {
    x.SetAlignment(taRightJustify);
    x.SetCaption("abc");
  });
  int right = r->Left() + r->Width();
  r->SetCaption("abcdefgh");
  EXPECT_EQ(r->Left() + r->Width(), right);
}

TEST_F(ComponentTest, LabelPaintsItsTextAndItsBackground) {
  TForm* f = Shown();
  auto* l = Place<TLabel>(f, f, "Label1", {10, 10}, [](TLabel& x) {
    x.SetCaption("ШШШ");
    x.Font()->SetColor(RGB(0, 0, 200));
    x.SetColor(RGB(255, 255, 0));
  });
  Pump();
  PresentWindows();
  TBitmap shot = host.Screenshot();
  TPoint o = At(f, 10, 10);
  int ink = 0;
  for (int y = 0; y < l->Height(); ++y)
    for (int x = 0; x < l->Width(); ++x) {
      TColor c = shot.GetPixel(o.X + x, o.Y + y);
      ink += GetBValue(c) > 150 && GetRValue(c) < 100 && GetGValue(c) < 100;
    }
  EXPECT_GT(ink, 10);
  EXPECT_EQ(PixelAt(f, 10, 10), RGB(255, 255, 0));
  l->SetTransparent(true);
  Pump();
  EXPECT_EQ(PixelAt(f, 10, 10), Paper);
}

TEST_F(ComponentTest, AltAndALabelsLetterFocusesItsControl) {
  TForm* f = Shown();
  auto* a = Put<TBox>(f, 100, 10, 30, 20);
  auto* b = Put<TBox>(f, 100, 40, 30, 20);
  auto* l = Place<TLabel>(f, f, "Label1", {10, 40}, [&](TLabel& x) {
    x.SetCaption("&Ширина");
    x.SetFocusControl(b);
  });
  a->SetFocus();
  EXPECT_TRUE(a->Focused());
  EXPECT_TRUE(IsAccel(U'ш', l->Caption()));
  EXPECT_FALSE(IsAccel(U'и', l->Caption()));
  EXPECT_FALSE(IsAccel(U'x', "a&&x"));
  // Alt+Ш typed as text arrives as WM_SYSCHAR.
  PostMessage(a->Handle(), WM_SYSCHAR, U'Ш', 0);
  Pump();
  EXPECT_TRUE(b->Focused());
}

TEST_F(ComponentTest, BevelDrawsLoweredAndRaisedEdges) {
  TForm* f = Shown();
  auto* box = Place<TBevel>(f, f, "Bevel1", {10, 10, 40, 30});
  auto* frame =
      Place<TBevel>(f, f, "Bevel2", {60, 10, 40, 30}, [](TBevel& b) { b.SetShape(bsFrame); });
  auto* line = Place<TBevel>(f, f, "Bevel3", {110, 10, 40, 30}, [](TBevel& b) {
    b.SetShape(bsTopLine);
    b.SetStyle(bsRaised);
  });
  (void)box;
  (void)frame;
  (void)line;
  Pump();
  TColor dark = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
  EXPECT_EQ(PixelAt(f, 10, 10), dark);
  EXPECT_EQ(PixelAt(f, 10, 39), dark);
  EXPECT_EQ(PixelAt(f, 49, 10), light);
  EXPECT_EQ(PixelAt(f, 49, 39), light);
  EXPECT_EQ(PixelAt(f, 20, 20), Paper);
  // Etched frame: dark outside, light one pixel in, at the top-left.
  EXPECT_EQ(PixelAt(f, 60, 20), dark);
  EXPECT_EQ(PixelAt(f, 61, 20), light);
  EXPECT_EQ(PixelAt(f, 98, 20), dark);
  EXPECT_EQ(PixelAt(f, 99, 20), light);
  // A raised top line is light above dark.
  EXPECT_EQ(PixelAt(f, 120, 10), light);
  EXPECT_EQ(PixelAt(f, 120, 11), dark);
  EXPECT_EQ(PixelAt(f, 120, 12), Paper);
}

TEST_F(ComponentTest, PanelKeepsItsChildrenInsideItsBorders) {
  TForm* f = Shown();
  auto* p = Place<TPanel>(f, f, "Panel1", {10, 10, 100, 60});
  auto* c = Put<TBox>(p, 0, 0, 5, 5);
  c->SetAlign(alClient);
  EXPECT_EQ(c->BoundsRect(), Rect(1, 1, 99, 59));
  p->SetBevelInner(bvLowered);
  p->SetBorderWidth(2);
  EXPECT_EQ(c->BoundsRect(), Rect(4, 4, 96, 56));
  c->SetVisible(false);
  p->SetColor(RGB(10, 120, 10));
  Pump();
  EXPECT_EQ(PixelAt(f, 10, 10), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(PixelAt(f, 109, 69), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(PixelAt(f, 60, 20), RGB(10, 120, 10));
  EXPECT_EQ(p->ClassName(), "TPanel");
  EXPECT_EQ(GetClassName(p->Handle()), "TPanel");
}

TEST_F(ComponentTest, ImageDrawsThePictureAtItsOwnSizeFromTheTopLeft) {
  TForm* f = Shown(300, 200);
  auto* img = Place<TImage>(f, f, "Image1", {10, 10, 100, 80});
  auto pic = Picture(40, 30);
  img->Picture()->SetGraphic(pic.get());
  Pump();
  EXPECT_EQ(PixelAt(f, 10, 10), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(f, 10 + 39, 10 + 29), RGB(39, 29, 100));
  EXPECT_EQ(PixelAt(f, 10 + 40, 10), Paper);  // nothing beyond the picture
  img->SetCenter(true);
  Pump();
  EXPECT_EQ(PixelAt(f, 10 + 30, 10 + 25), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(f, 10, 10), Paper);
  img->SetCenter(false);
  img->SetStretch(true);
  Pump();
  EXPECT_EQ(PixelAt(f, 10 + 99, 10 + 79), RGB(39, 29, 100));
  img->SetStretch(false);
  img->SetAutoSize(true);
  EXPECT_EQ(img->Width(), 40);
  EXPECT_EQ(img->Height(), 30);
  auto big = Picture(60, 50);
  img->Picture()->SetGraphic(big.get());
  EXPECT_EQ(img->Width(), 60);
  EXPECT_EQ(img->Height(), 50);
}

TEST_F(ComponentTest, ScrollBoxShowsBarsWhenTheContentIsLarger) {
  TForm* f = Shown(400, 300);
  auto* box = Place<TScrollBox>(f, f, "ScrollBox1", {10, 10, 200, 150});
  auto* img =
      Place<TImage>(f, box, "Image1", {0, 0, 100, 100}, [](TImage& i) { i.SetAutoSize(true); });
  EXPECT_FALSE(box->VertScrollBar()->IsScrollBarVisible());
  EXPECT_FALSE(GetWindowLongPtr(box->Handle(), GWL_STYLE) & WS_VSCROLL);
  auto pic = Picture(500, 400);
  img->Picture()->SetGraphic(pic.get());
  ASSERT_TRUE(box->VertScrollBar()->IsScrollBarVisible());
  ASSERT_TRUE(box->HorzScrollBar()->IsScrollBarVisible());
  EXPECT_TRUE(GetWindowLongPtr(box->Handle(), GWL_STYLE) & WS_VSCROLL);
  TRect client = box->ClientRect();
  EXPECT_EQ(box->VertScrollBar()->Range(), 400);
  // Scrolling moves the picture; the position never passes the end.
  box->VertScrollBar()->SetPosition(1000);
  EXPECT_EQ(box->VertScrollBar()->Position(), 400 - client.Height());
  EXPECT_EQ(img->Top(), -(400 - client.Height()));
  box->HorzScrollBar()->SetPosition(30);
  EXPECT_EQ(img->Left(), -30);
  EXPECT_EQ(GetScrollPos(box->Handle(), SB_HORZ), 30);
  // The wheel over the box scrolls it, whatever has the focus.
  box->VertScrollBar()->SetPosition(100);
  auto* other = Put<TBox>(f, 300, 10, 20, 20);
  other->SetFocus();
  TPoint p = At(box, 50, 50);
  host.MouseMove(p.X, p.Y);
  host.Wheel(-WHEEL_DELTA);
  Pump();
  EXPECT_EQ(box->VertScrollBar()->Position(), 100 + 3 * box->VertScrollBar()->Increment());
  // The bar's own arrow click goes one increment.
  SendMessage(box->Handle(), WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(box->VertScrollBar()->Position(), 100 + 2 * box->VertScrollBar()->Increment());
  // A smaller picture: no bars, back at the origin.
  auto small = Picture(50, 40);
  img->Picture()->SetGraphic(small.get());
  EXPECT_FALSE(box->VertScrollBar()->IsScrollBarVisible());
  EXPECT_EQ(box->VertScrollBar()->Position(), 0);
  EXPECT_EQ(img->Top(), 0);
  EXPECT_EQ(img->Left(), 0);
}

}  // namespace
}  // namespace vm::test
