// A control's cache on the way to the screen: the copy that leaves out the
// children painting themselves, windowless children painted over the
// container's picture, and border corners refilled from the parent.
#include "skin/paint/SectionPaint.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/state/CacheCopy.h"
#include "tests/skin/state/StateTestSupport.h"

namespace vm::test {
namespace {

// A windowless child that paints its left half blue and leaves the rest.
class THalfPainter : public TGraphicControl {
 public:
  explicit THalfPainter(TComponent* owner) : TGraphicControl(owner) {}

 protected:
  void Paint() override { PaintDC()->FillRect(Rect(0, 0, Width() / 2, Height()), RGB(0, 0, 255)); }
};

class CacheCopyTest : public TSkinStateTest {
 protected:
  void SetUp() override {
    TSkinStateTest::SetUp();
    Manager().SetSkinName("Test");
    form = MakeForm<TRecordingForm>("Form");
    panel = Put<TSkinnedBox>(form, "Panel", 0, 0, 100, 100);
    panel->SkinData.Loaded();
    form->Show();
    Pump();
    panel->SkinData.PrepareCache();
    panel->SkinData.CacheBmp->Fill(RGB(0, 200, 0));
  }
  TRecordingForm* form = nullptr;
  TSkinnedBox* panel = nullptr;
};

TEST_F(CacheCopyTest, TheCopyLeavesOutWindowlessAndOpaqueChildrenAndStaysInItsRectangle) {
  Put<THalfPainter>(panel, "Spot", 10, 10, 20, 20);
  auto* opaque = Put<TSkinnedBox>(panel, "Opaque", 40, 10, 20, 20);
  opaque->SetControlStyle(opaque->ControlStyle() | csOpaque);
  Put<TSkinnedBox>(panel, "Windowed", 10, 50, 20, 20);
  TBitmap screen(100, 100);
  screen.Fill(clWhite);
  {
    TDC dc(screen);
    CopyCacheToDC(panel, panel->SkinData, Rect(0, 0, 100, 100), 0, 0, false, dc,
                  Rect(0, 0, 80, 80));
  }
  EXPECT_EQ(screen.GetPixel(5, 5), RGB(0, 200, 0));
  EXPECT_EQ(screen.GetPixel(15, 15), clWhite);         // windowless child
  EXPECT_EQ(screen.GetPixel(45, 15), clWhite);         // opaque child
  EXPECT_EQ(screen.GetPixel(15, 55), RGB(0, 200, 0));  // the window system clips windows
  EXPECT_EQ(screen.GetPixel(79, 79), RGB(0, 200, 0));
  EXPECT_EQ(screen.GetPixel(80, 80), clWhite);  // outside the destination
}

TEST_F(CacheCopyTest, WindowlessChildrenArePaintedOverTheContainersPicture) {
  Put<THalfPainter>(panel, "Half", 10, 10, 20, 10);
  auto* opaque = Put<THalfPainter>(panel, "Opaque", 40, 10, 20, 10);
  opaque->SetControlStyle(opaque->ControlStyle() | csOpaque);
  opaque->SetColor(RGB(200, 0, 0));
  TBitmap screen(120, 120);
  screen.Fill(clWhite);
  {
    TDC dc(screen);
    PaintGraphicChildren(dc, panel, {5, 5});
  }
  // Offsets applied; the unpainted half shows the container's cache or the
  // opaque child's colour.
  EXPECT_EQ(screen.GetPixel(15, 15), RGB(0, 0, 255));
  EXPECT_EQ(screen.GetPixel(30, 15), RGB(0, 200, 0));
  EXPECT_EQ(screen.GetPixel(45, 15), RGB(0, 0, 255));
  EXPECT_EQ(screen.GetPixel(60, 15), RGB(200, 0, 0));
  EXPECT_EQ(screen.GetPixel(5, 5), clWhite);  // only the children's bounds
  EXPECT_EQ(screen.GetPixel(70, 15), clWhite);

  // Without a picture of the container nothing is painted.
  panel->SkinData.CacheBmp.reset();
  screen.Fill(clWhite);
  {
    TDC dc(screen);
    PaintGraphicChildren(dc, panel, {0, 0});
  }
  EXPECT_EQ(screen.GetPixel(12, 12), clWhite);
}

TEST_F(CacheCopyTest, RefillCornersTakesOnlyTheSelectedCornersFromBehind) {
  auto* child = Put<TSkinnedBox>(panel, "Child", 20, 20, 30, 20);
  child->SkinData.Loaded();
  // A border whose picture is all magenta, with corners of different heights.
  TsMaskData border;
  border.Image = std::make_shared<TBitmap>(30, 10);
  border.Image->Fill(KeyColor);
  border.R = Rect(0, 0, 30, 10);
  border.ImageCount = 3;
  border.WL = 2, border.WT = 3, border.WR = 2, border.WB = 1;
  border.SectionName = "PANEL";
  border.PropertyName = "BORDERSMASK";
  Manager().ma.push_back(border);
  child->SkinData.BorderMaskIndex = int(Manager().ma.size()) - 1;
  child->SkinData.PrepareCache();
  child->SkinData.CacheBmp->Fill(RGB(1, 1, 1));
  // The panel is opaque: its colour (red) fills the corners.
  RefillCorners(child->SkinData, 0, cnTopRight);
  const TBitmap& c = *child->SkinData.CacheBmp;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) {
      const bool corner = x >= 28 && y < 3;
      ASSERT_EQ(c.GetPixel(x, y), corner ? RGB(255, 0, 0) : RGB(1, 1, 1)) << x << "," << y;
    }
  EXPECT_EQ(ParentColor, KeyColor);
  EXPECT_EQ(KeyFillColor, KeyColor);
  // A see-through parent lends its picture instead.
  panel->SkinData.SetSkinSection("GLASS");
  panel->SkinData.PrepareCache();
  panel->SkinData.CacheBmp->Fill(RGB(0, 200, 0));
  panel->SkinData.ForcedSeeThrough = true;
  RefillAllCorners(child->SkinData, 0);
  EXPECT_EQ(c.GetPixel(0, 0), RGB(0, 200, 0));
  EXPECT_EQ(c.GetPixel(0, 19), RGB(0, 200, 0));
  EXPECT_EQ(c.GetPixel(0, 18), RGB(1, 1, 1));
}

}  // namespace
}  // namespace vm::test
