#include <gtest/gtest.h>

#include "platform/gfx/SysColors.h"
#include "platform/host/HostKeys.h"
#include "platform/host/headless/HeadlessHost.h"

namespace vm {
namespace {

struct TRecorder : THostSink {
  std::vector<THostEvent> Events;
  void HostEvent(const THostEvent& ev) override { Events.push_back(ev); }
};

TBitmap Solid(int w, int h, TColor c) {
  TBitmap b(w, h);
  b.Fill(c);
  return b;
}

class HeadlessHostTest : public ::testing::Test {
 protected:
  void SetUp() override { host.SetSink(&sink); }
  THostWindow Window(TRect bounds, TColor c) {
    THostWindowParams p;
    p.Bounds = bounds;
    THostWindow w = host.CreateNativeWindow(p);
    TBitmap store = Solid(bounds.Width(), bounds.Height(), c);
    host.Present(w, store, {Rect(0, 0, bounds.Width(), bounds.Height())});
    host.ShowNativeWindow(w, true);
    return w;
  }
  THeadlessHost host;
  TRecorder sink;
};

TEST_F(HeadlessHostTest, ScreenshotStacksWindowsInZOrderWithShapes) {
  THostWindow a = Window(Bounds(10, 10, 40, 40), RGB(255, 0, 0));
  THostWindow b = Window(Bounds(30, 30, 40, 40), RGB(0, 0, 255));
  TBitmap s = host.Screenshot();
  EXPECT_EQ(s.GetPixel(35, 35), RGB(0, 0, 255));  // b was shown last: on top
  host.RaiseNativeWindow(a);
  EXPECT_EQ(host.Screenshot().GetPixel(35, 35), RGB(255, 0, 0));
  EXPECT_EQ(host.ZOrder(), (std::vector<THostWindow>{a, b}));
  // A shape cuts the window: b's own pixels show where a's shape is missing.
  host.SetNativeShape(a, {Rect(0, 0, 10, 40)});
  s = host.Screenshot();
  EXPECT_EQ(s.GetPixel(35, 35), RGB(0, 0, 255));
  EXPECT_EQ(s.GetPixel(15, 15), RGB(255, 0, 0));
  EXPECT_EQ(s.GetPixel(25, 15), GetSysColor(COLOR_BACKGROUND));
  // Hidden and minimised windows are not on the screen; windows may hang off its edges.
  host.MinimizeNativeWindow(b);
  host.MoveNativeWindow(a, Bounds(-5, -5, 40, 40));
  s = host.Screenshot();
  EXPECT_EQ(s.GetPixel(35, 35), GetSysColor(COLOR_BACKGROUND));
  EXPECT_EQ(s.GetPixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(host.ZOrder(), std::vector<THostWindow>{a});
}

// A pop-up made before the window it drops over (a combo box's list, made
// with the dialog and shown later) comes up on top when shown, as a window
// mapped raised does on X11.
TEST_F(HeadlessHostTest, APopUpShownLateComesUpAboveWindowsRaisedSinceItWasMade) {
  THostWindowParams p;
  p.Bounds = Bounds(20, 20, 30, 30);
  p.Kind = THostWindowKind::PopupMenu;
  THostWindow list = host.CreateNativeWindow(p);
  TBitmap store = Solid(30, 30, RGB(0, 255, 0));
  host.Present(list, store, {Rect(0, 0, 30, 30)});
  THostWindow dialog = Window(Bounds(0, 0, 40, 40), RGB(255, 0, 0));
  EXPECT_EQ(host.Screenshot().GetPixel(25, 25), RGB(255, 0, 0));
  host.ShowNativeWindow(list, true);
  EXPECT_EQ(host.Screenshot().GetPixel(25, 25), RGB(0, 255, 0));
  EXPECT_EQ(host.ZOrder(), (std::vector<THostWindow>{list, dialog}));
}

TEST_F(HeadlessHostTest, PresentCopiesOnlyTheDirtyRectanglesClippedToTheStore) {
  THostWindow w = Window(Bounds(0, 0, 20, 20), RGB(0, 0, 0));
  std::uint64_t before = host.PresentedPixels();
  TBitmap store = Solid(20, 20, RGB(9, 9, 9));
  host.Present(w, store, {Rect(0, 0, 5, 5), Rect(15, 15, 40, 40), Rect(-10, -10, -1, -1)});
  EXPECT_EQ(host.PresentedPixels() - before, 25u + 25u);
  TBitmap shot = host.WindowShot(w);
  EXPECT_EQ(shot.GetPixel(2, 2), RGB(9, 9, 9));
  EXPECT_EQ(shot.GetPixel(10, 10), RGB(0, 0, 0));
  EXPECT_EQ(shot.GetPixel(19, 19), RGB(9, 9, 9));
  // A bottom-up store reads the same.
  TBitmap up(20, 20, TPixelFormat::pf24bit, true);
  up.SetPixel(1, 2, RGB(1, 2, 3));
  host.Present(w, up, {Rect(0, 0, 20, 20)});
  EXPECT_EQ(host.WindowShot(w).GetPixel(1, 2), RGB(1, 2, 3));
}

TEST_F(HeadlessHostTest, InputFollowsThePointerAndThePressedWindow) {
  THostWindow a = Window(Bounds(0, 0, 50, 50), 0);
  host.MouseMove(10, 10);
  host.MouseDown();
  host.MouseMove(200, 200);  // outside, but the button is still held on a
  host.MouseUp();
  host.MouseMove(300, 300);  // now truly outside: a leave, no move
  host.PumpEvents();
  using K = THostEvent::TKind;
  std::vector<std::pair<K, THostWindow>> got;
  for (const THostEvent& e : sink.Events) got.push_back({e.Kind, e.Window});
  EXPECT_EQ(got, (std::vector<std::pair<K, THostWindow>>{{K::MouseMove, a},
                                                         {K::ButtonDown, a},
                                                         {K::MouseMove, a},
                                                         {K::ButtonUp, a},
                                                         {K::MouseLeave, a}}));
  EXPECT_TRUE(sink.Events[2].State & HostButtonLeft);
  EXPECT_FALSE(sink.Events[3].State & HostButtonLeft);
}

TEST_F(HeadlessHostTest, TypingProducesKeysForAsciiAndTextForTheRest) {
  host.Type("a!ж");
  host.PumpEvents();
  using K = THostEvent::TKind;
  std::vector<std::tuple<K, int, std::uint32_t>> got;
  for (const THostEvent& e : sink.Events) got.push_back({e.Kind, e.VirtualKey, e.CodePoint});
  EXPECT_EQ(got, (std::vector<std::tuple<K, int, std::uint32_t>>{{K::KeyDown, 'A', 0},
                                                                 {K::Char, 0, 'a'},
                                                                 {K::KeyUp, 'A', 0},
                                                                 {K::KeyDown, VK_SHIFT, 0},
                                                                 {K::KeyDown, '1', 0},
                                                                 {K::Char, 0, '!'},
                                                                 {K::KeyUp, '1', 0},
                                                                 {K::KeyUp, VK_SHIFT, 0},
                                                                 {K::Char, 0, 0x0436}}));
  // Broken UTF-8 types the replacement character instead of reading past the text.
  sink.Events.clear();
  host.Type(std::string_view("\xD0", 1));
  host.PumpEvents();
  ASSERT_EQ(sink.Events.size(), 1u);
  EXPECT_EQ(sink.Events[0].CodePoint, 0xFFFDu);
}

TEST_F(HeadlessHostTest, ClockMovesOnlyWhenAskedAndWaitingNeverBlocks) {
  std::uint64_t t0 = host.Now();
  host.AdvanceClock(250);
  EXPECT_EQ(host.Now(), t0 + 250);
  EXPECT_FALSE(host.WaitEvents(40));  // nothing queued: time jumps to the deadline
  EXPECT_EQ(host.Now(), t0 + 290);
  host.Key(VK_RETURN);
  EXPECT_TRUE(host.WaitEvents(1000));  // queued input: delivered at once, no time passes
  EXPECT_EQ(host.Now(), t0 + 290);
  EXPECT_THROW(host.WaitEvents(-1), std::logic_error);
  EXPECT_THROW(THeadlessHost(TSize{0, 100}), std::invalid_argument);
}

}  // namespace
}  // namespace vm
