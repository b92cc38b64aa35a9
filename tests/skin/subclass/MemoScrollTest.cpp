// The skinned memo with its scroll-bar painter: the frame and the bars drawn
// from the skin with their hot and pressed parts, the memo scrolled by its
// skinned bars, the painter attached and detached with the skin, and a skin
// without the bar sections leaving the platform's bars.
#include <gtest/gtest.h>

#include "skin/controls/Memo.h"
#include "skin/state/ScrollPainter.h"
#include "skin/subclass/AdapterKinds.h"
#include "skin/subclass/ScrollWnd.h"
#include "tests/skin/subclass/SubclassTestSupport.h"
#include "toolkit/Colors.h"

namespace vm::test {
namespace {

class MemoScrollTest : public TControlsTest {
 protected:
  void SetUp() override {
    TControlsTest::SetUp();
    RegisterAdapterSubclasses();
  }
  void Golden(const std::string& name, const TBitmap& actual) {
    if (const char* bin = std::getenv("VELMORA_BINARY_DIR")) {
      const fs::path out = fs::path(bin) / "golden-actual";
      fs::create_directories(out);
      SavePngFile((out / ("subclass-" + name + ".png")).string(), actual);
    }
    test::ExpectGolden(actual, SourceDir() / "tests/skin/subclass/golden" / (name + ".png"), name);
  }
  // The about box's memo with a vertical bar and more lines than it shows.
  TsMemo* MakeMemo(TForm* form) {
    auto* m = new TsMemo(form);
    m->SetName("Memo1");
    m->SetBounds(10, 10, 160, 90);
    m->SetScrollBars(ssVertical);
    m->SetReadOnly(true);
    for (int i = 1; i <= 30; ++i) m->Lines()->Add("Строка " + std::to_string(i));
    m->SetParent(form);
    return m;
  }
  SCROLLBARINFO Bar(TsMemo* m) {
    SCROLLBARINFO info;
    EXPECT_TRUE(GetScrollBarInfo(m->Handle(), OBJID_VSCROLL, &info));
    return info;
  }
  TnxScrollWnd* Painter(TsMemo* m) { return dynamic_cast<TnxScrollWnd*>(m->ScrollPainter()); }
};

TEST_F(MemoScrollTest, BarsPaintedFromTheSkinAndWorked) {
  TForm* form = MakeForm(180, 110);
  form->SetColor(clBtnFace);
  TsMemo* memo = MakeMemo(form);
  const TBitmap plain = Shot(form);
  EXPECT_EQ(memo->ScrollPainter(), nullptr) << "no painter without a skin";
  LoadBuiltinSkin();
  ASSERT_NE(Painter(memo), nullptr);
  const TBitmap normal = Shot(form);
  EXPECT_FALSE(normal.SamePixels(plain));
  // The down arrow under the pointer shows its hot look.
  SCROLLBARINFO info = Bar(memo);
  const TRect& r = info.rcScrollBar;
  const TPoint down{r.Left + r.Width() / 2, r.Bottom - info.dxyLineButton / 2};
  host.MouseMove(down.X, down.Y);
  Pump();
  EXPECT_EQ(Painter(memo)->HotBar(), SB_VERT);
  EXPECT_EQ(Painter(memo)->HotPart(), 5);
  const TBitmap hot = Shot(form);
  // Pressed and held: pressed look, the memo scrolls.
  host.MouseDown();
  Pump();
  EXPECT_TRUE(Bar(memo).rgstate[5] & STATE_SYSTEM_PRESSED);
  const TBitmap pressed = Shot(form);
  host.MouseUp();
  Pump();
  EXPECT_EQ(GetScrollPos(memo->Handle(), SB_VERT), 1);
  // The thumb dragged down the track scrolls further.
  info = Bar(memo);
  const TPoint thumb{r.Left + r.Width() / 2,
                     info.rcScrollBar.Top + (info.xyThumbTop + info.xyThumbBottom) / 2};
  host.Drag(thumb, {thumb.X, thumb.Y + 30});
  Pump();
  EXPECT_GT(GetScrollPos(memo->Handle(), SB_VERT), 5);
  host.MouseMove(175, 105);
  Pump();
  EXPECT_EQ(Painter(memo)->HotPart(), 0);
  // The four looks one above the other.
  TBitmap out(normal.Width(), normal.Height() * 3);
  const TRegion all(TRect{0, 0, out.Width(), out.Height()});
  CopyBitmapRect(out, 0, 0, normal.Width(), normal.Height(), normal, 0, 0, all);
  CopyBitmapRect(out, 0, normal.Height(), normal.Width(), normal.Height(), hot, 0, 0, all);
  CopyBitmapRect(out, 0, 2 * normal.Height(), normal.Width(), normal.Height(), pressed, 0, 0, all);
  Golden("memo-bars", out);
}

// Skinning off detaches the painter (the platform's bars again), a new skin
// attaches it; a skin without the bars' sections keeps the platform's bars
// while the memo's colours still come from the skin.
TEST_F(MemoScrollTest, PainterFollowsTheSkin) {
  TForm* form = MakeForm(180, 110);
  TsMemo* memo = MakeMemo(form);
  const TBitmap plain = Shot(form);
  LoadBuiltinSkin();
  ASSERT_NE(memo->ScrollPainter(), nullptr);
  // Switched while the arrow is held.
  const SCROLLBARINFO info = Bar(memo);
  host.MouseMove(info.rcScrollBar.Left + 5, info.rcScrollBar.Bottom - 5);
  host.MouseDown();
  Pump();
  manager->SetActive(false);
  Pump();
  host.MouseUp();
  Pump();
  EXPECT_EQ(memo->ScrollPainter(), nullptr);
  SendMessage(memo->Handle(), WM_VSCROLL, SB_TOP, 0);
  host.MouseMove(175, 105);
  Pump();
  EXPECT_EQ(Shot(form).GetPixel(info.rcScrollBar.Left + 8, info.rcScrollBar.Top + 30),
            plain.GetPixel(info.rcScrollBar.Left + 8, info.rcScrollBar.Top + 30));
  manager->SetActive(true);
  Pump();
  ASSERT_NE(memo->ScrollPainter(), nullptr);
  LoadEditedSkin([](std::string o) { return ReplaceAll(o, "[SCROLLSLIDERV]", "[NOSLIDER]"); });
  ASSERT_NE(Painter(memo), nullptr);
  EXPECT_FALSE(Painter(memo)->CanPaint());
  EXPECT_EQ(memo->Color(), RGB(234, 242, 251));
  Golden("memo-nobarsections", Shot(form));
}

}  // namespace
}  // namespace vm::test
