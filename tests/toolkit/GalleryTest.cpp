// Speed buttons, and a gallery form with every component, compared with its
// golden picture (tests/toolkit/golden; VELMORA_UPDATE_GOLDEN=1 rewrites it).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/gfx/PngCodec.h"
#include "platform/gfx/SysColors.h"
#include "tests/support/Golden.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/Bevel.h"
#include "toolkit/BitBtn.h"
#include "toolkit/Button.h"
#include "toolkit/GroupBox.h"
#include "toolkit/Image.h"
#include "toolkit/Label.h"
#include "toolkit/Layout.h"
#include "toolkit/Panel.h"
#include "toolkit/RadioButton.h"
#include "toolkit/ScrollBox.h"
#include "toolkit/SpeedButton.h"
#include "tools/gallery/GalleryForm.h"

namespace vm::test {
namespace {

constexpr TColor Key = RGB(255, 0, 255);

// A 16 x 16 glyph strip: a filled square on the key colour, one colour per picture.
std::unique_ptr<tk::TBitmap> Glyph(int pictures) {
  auto b = std::make_unique<tk::TBitmap>(16 * pictures, 16);
  const TColor colours[] = {RGB(0, 120, 0), RGB(120, 120, 120), RGB(0, 0, 160), RGB(200, 100, 0)};
  for (int i = 0; i < pictures; ++i)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        b->Image().SetPixel(i * 16 + x, y,
                            (x >= 3 && x < 13 && y >= 3 && y < 13) ? colours[i] : Key);
  return b;
}

class GalleryTest : public TToolkitTest {
 protected:
  void SetUp() override {
    TToolkitTest::SetUp();
    PinFontConfiguration();
  }
};

TEST_F(GalleryTest, SpeedButtonsOfAGroupAreDownOneAtATime) {
  TForm* f = MakeForm(100, 100, 200, 100);
  auto make = [&](int x) {
    return Place<TSpeedButton>(f, f, "SpeedButton" + std::to_string(x), {x, 10, 23, 22},
                               [](TSpeedButton& b) { b.SetGroupIndex(1); });
  };
  auto* a = make(10);
  auto* b = make(40);
  auto* plain = Place<TSpeedButton>(f, f, "Plain", {70, 10, 23, 22});
  f->Show();
  Pump();
  int clicks = 0;
  a->OnClick = b->OnClick = plain->OnClick = [&](TComponent*) { ++clicks; };
  ClickAt(a, 5, 5);
  EXPECT_TRUE(a->Down());
  ClickAt(b, 5, 5);
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  // Without AllowAllUp a press on the down button keeps it down (and still clicks).
  ClickAt(b, 5, 5);
  EXPECT_TRUE(b->Down());
  EXPECT_EQ(clicks, 3);
  a->SetAllowAllUp(true);
  EXPECT_TRUE(b->AllowAllUp());  // the group shares it
  ClickAt(b, 5, 5);
  EXPECT_FALSE(b->Down());
  // A button without a group never stays down.
  ClickAt(plain, 5, 5);
  EXPECT_FALSE(plain->Down());
  plain->SetDown(true);
  EXPECT_FALSE(plain->Down());
  EXPECT_EQ(clicks, 5);
  // Pressed and released outside: no click, back up.
  TPoint p = At(plain, 5, 5), q = At(f, 150, 80);
  host.MouseMove(p.X, p.Y);
  host.MouseDown();
  Pump();
  EXPECT_EQ(plain->State(), bsDown);
  host.MouseMove(q.X, q.Y);
  Pump();
  EXPECT_EQ(plain->State(), bsUp);
  host.MouseUp();
  Pump();
  EXPECT_EQ(clicks, 5);
}

TEST_F(GalleryTest, FlatSpeedButtonShowsItsEdgeOnlyUnderThePointer) {
  TForm* f = MakeForm(100, 100, 200, 100);
  f->SetColor(RGB(230, 230, 230));
  auto* b = Place<TSpeedButton>(f, f, "SpeedButton1", {10, 10, 30, 30}, [](TSpeedButton& s) {
    s.SetFlat(true);
    auto g = Glyph(1);
    s.SetGlyph(g.get());
  });
  f->Show();
  Pump();
  EXPECT_EQ(PixelAt(f, 10, 10), RGB(230, 230, 230));
  // The glyph sits in the middle, its key colour transparent.
  EXPECT_EQ(PixelAt(f, 10 + 15, 10 + 15), RGB(0, 120, 0));
  EXPECT_EQ(PixelAt(f, 10 + 8, 10 + 8), RGB(230, 230, 230));
  TPoint p = At(b, 5, 5);
  host.MouseMove(p.X, p.Y);
  Pump();
  EXPECT_TRUE(b->MouseInControl());
  EXPECT_EQ(PixelAt(f, 10, 10), GetSysColor(COLOR_BTNHIGHLIGHT));
  host.MouseMove(p.X + 100, p.Y);
  Pump();
  EXPECT_EQ(PixelAt(f, 10, 10), RGB(230, 230, 230));
  // Disabled without a disabled picture: the shape engraved in the shadow colour.
  b->SetEnabled(false);
  Pump();
  EXPECT_EQ(PixelAt(f, 10 + 15, 10 + 15), GetSysColor(COLOR_BTNSHADOW));
  // Four pictures: the disabled one is used.
  auto four = Glyph(4);
  b->SetGlyph(four.get());
  EXPECT_EQ(b->NumGlyphs(), 4);
  Pump();
  EXPECT_EQ(PixelAt(f, 10 + 15, 10 + 15), RGB(120, 120, 120));
}

TEST_F(GalleryTest, TransparentImageLeavesItsKeyColourUnpainted) {
  TForm* f = MakeForm(100, 100, 100, 60);
  f->SetColor(RGB(230, 230, 230));
  auto* image = Place<TImage>(f, f, "Image1", {10, 10, 32, 16}, [](TImage& i) {
    auto g = Glyph(2);
    i.Picture()->SetGraphic(g.get());
  });
  f->Show();
  Pump();
  EXPECT_EQ(PixelAt(f, 10, 10), Key);  // opaque by default: the strip as it is
  image->SetTransparent(true);
  Pump();
  EXPECT_EQ(PixelAt(f, 10, 10), RGB(230, 230, 230));
  EXPECT_EQ(PixelAt(f, 10 + 5, 10 + 5), RGB(0, 120, 0));
  EXPECT_EQ(PixelAt(f, 10 + 16 + 5, 10 + 5), RGB(120, 120, 120));
  // A picture assigned later is shown the same way; switched off, the key shows again.
  auto other = Glyph(1);
  image->Picture()->SetGraphic(other.get());
  Pump();
  EXPECT_EQ(PixelAt(f, 10, 10), RGB(230, 230, 230));
  image->SetTransparent(false);
  Pump();
  EXPECT_EQ(PixelAt(f, 10, 10), Key);
}

TEST_F(GalleryTest, GroupBoxFillsItsInsideAroundItsChildren) {
  TForm* f = MakeForm(100, 100, 200, 120);
  f->SetColor(RGB(230, 230, 230));
  auto* g = Place<TGroupBox>(f, f, "GroupBox1", {10, 10, 150, 90}, [](TGroupBox& b) {
    b.SetCaption("Масштаб");
    b.SetColor(RGB(200, 220, 240));
  });
  Place<TRadioButton>(f, g, "RadioButton1", {10, 20, 100, 17},
                      [](TRadioButton& r) { r.SetCaption("1:1"); });
  f->Show();
  Pump();
  EXPECT_EQ(PixelAt(f, 10 + 75, 10 + 60), RGB(200, 220, 240));   // inside, below the child
  EXPECT_EQ(PixelAt(f, 10 + 130, 10 + 25), RGB(200, 220, 240));  // beside the child
  EXPECT_EQ(PixelAt(f, 5, 5), RGB(230, 230, 230));
}

TEST_F(GalleryTest, BitBtnDrawsItsGlyphAndTakesItsRoleFromKind) {
  TForm* f = MakeForm(100, 100, 200, 100);
  f->SetColor(RGB(230, 230, 230));
  auto* b = Place<TBitBtn>(f, f, "BitBtn1", {10, 10, 49, 41}, [](TBitBtn& x) {
    auto g = Glyph(4);
    x.SetGlyph(g.get());
  });
  EXPECT_EQ(b->ClassName(), "TBitBtn");
  EXPECT_EQ(GetClassName(b->Handle()), "TBitBtn");
  f->Show();
  Pump();
  // Centred 16 x 16 picture: the up picture, key colour see-through to the face.
  EXPECT_EQ(PixelAt(f, 10 + 24, 10 + 20), RGB(0, 120, 0));
  EXPECT_EQ(PixelAt(f, 10 + 18, 10 + 14), GetSysColor(COLOR_BTNFACE));
  // The pointer over it: the hot picture; pressed: the down picture one pixel further.
  TPoint p = At(b, 24, 20);
  host.MouseMove(p.X, p.Y);
  Pump();
  EXPECT_EQ(PixelAt(f, 10 + 24, 10 + 20), RGB(200, 100, 0));
  host.MouseDown();
  Pump();
  EXPECT_EQ(PixelAt(f, 10 + 25, 10 + 21), RGB(0, 0, 160));
  host.MouseUp();
  Pump();
  b->SetEnabled(false);
  Pump();
  EXPECT_EQ(PixelAt(f, 10 + 24, 10 + 20), RGB(120, 120, 120));

  auto* ok = Place<TBitBtn>(f, f, "OKBtn", {70, 10, 75, 25}, [](TBitBtn& x) { x.SetKind(bkOK); });
  EXPECT_EQ(ok->Caption(), "OK");
  EXPECT_TRUE(ok->Default());
  EXPECT_EQ(ok->ModalResult(), mrOk);
  auto* no = Place<TBitBtn>(f, f, "NoBtn", {70, 40, 75, 25}, [](TBitBtn& x) { x.SetKind(bkNo); });
  EXPECT_EQ(no->Caption(), "&Нет");
  EXPECT_TRUE(no->Cancel());
  auto* close =
      Place<TBitBtn>(f, f, "CloseBtn", {70, 70, 75, 25}, [](TBitBtn& x) { x.SetKind(bkClose); });
  ClickAt(close, 10, 10);
  EXPECT_FALSE(f->Visible());
}

TEST_F(GalleryTest, GalleryMenusRepeatTheButtonsAndTheTimerCounts) {
  gallery::TGalleryForm* form = nullptr;
  app->CreateForm(form);
  form->Show();
  Pump();
  int opened = 0;
  form->BitBtn2->OnClick = [&](TComponent*) { ++opened; };
  host.Key(VK_F1);  // "О галерее..."
  Pump();
  EXPECT_EQ(opened, 1);
  // The arrows beside the edit and the slider move together.
  EXPECT_EQ(form->UpDown1->Associate(), form->Edit1);
  form->TrackBar1->SetPosition(40);
  EXPECT_EQ(form->Edit1->GetText(), "40");
  EXPECT_EQ(form->StatusBar1->Panels()->Items(1)->Text(), "40%");
  form->N6->Click();  // "Подсказки" checks itself off
  EXPECT_FALSE(form->N6->Checked());
  EXPECT_FALSE(form->BitBtn2->ShowHint());
  form->N9->Click();  // the panel's menu: one alignment at a time
  EXPECT_EQ(form->Panel1->Alignment(), taLeftJustify);
  EXPECT_TRUE(form->N9->Checked());
  EXPECT_FALSE(form->N11->Checked());
  for (int i = 0; i < 3; ++i) {
    host.AdvanceClock(1000);
    Pump();
  }
  EXPECT_EQ(form->StatusBar1->Panels()->Items(2)->Text(), "3 с");
}

TEST_F(GalleryTest, GalleryFormMatchesItsGoldenPicture) {
  gallery::TGalleryForm* form = nullptr;
  app->CreateForm(form);
  form->SetBounds(40, 40, form->Width(), form->Height());
  form->Show();
  form->ScrollBox1->VertScrollBar()->SetPosition(20);
  form->ScrollBox1->HorzScrollBar()->SetPosition(40);
  form->CancelBtn->SetFocus();
  Pump();
  PresentWindows();
  TBitmap actual = host.WindowShot(GetHostWindow(form->Handle()));

  namespace fs = std::filesystem;
  const char* src = std::getenv("VELMORA_SOURCE_DIR");
  const fs::path root = src ? fs::path(src) : fs::current_path();
  if (const char* bin = std::getenv("VELMORA_BINARY_DIR")) {
    fs::create_directories(fs::path(bin) / "golden-actual");
    SavePngFile((fs::path(bin) / "golden-actual" / "toolkit-gallery.png").string(), actual);
  }
  const fs::path file = root / "tests/toolkit/golden/gallery.png";
  test::ExpectGolden(actual, file, "gallery");
}

}  // namespace
}  // namespace vm::test
