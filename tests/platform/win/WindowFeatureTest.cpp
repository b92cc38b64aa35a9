// Per-window state of features: made on first use, cleaned up and freed with
// the window, never reachable through a stale handle.
#include <gtest/gtest.h>

#include "WinTestSupport.h"
#include "platform/win/WindowFeature.h"

namespace vm::test {
namespace {

struct TTrace {
  std::vector<std::string> Events;
  int Alive = 0;
};
TTrace& Trace() {
  static TTrace t;
  return t;
}

struct TCounter {
  int Value = 0;
  TCounter() { ++Trace().Alive; }
  ~TCounter() { --Trace().Alive; }
};

TWindowState<TCounter>& Counters() {
  static TWindowState<TCounter> state(
      "test counters",
      [](HWND h, TCounter& c) {
        // Still a window here, and the state still readable.
        Trace().Events.push_back("clean " + std::to_string(c.Value) +
                                 (IsWindow(h) ? " alive" : " gone"));
        KillTimer(h, 1);
      },
      [] { Trace().Events.push_back("reset"); });
  return state;
}

LRESULT NoteNcDestroy(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_NCDESTROY) {
    TCounter* c = Counters().Find(h);
    Trace().Events.push_back("ncdestroy " + std::to_string(c ? c->Value : -1));
  }
  return DefWindowProc(h, m, w, l);
}

class WindowFeatureTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    Trace() = {};
    WNDCLASS wc;
    wc.lpszClassName = "Noting";
    wc.lpfnWndProc = &NoteNcDestroy;
    RegisterClass(wc);
  }
  void TearDown() override {
    TWinTest::TearDown();
    UnregisterClass("Noting");
  }
};

TEST_F(WindowFeatureTest, StateIsMadeOnDemandAndCleanedUpWithTheWindow) {
  HWND top = CreateWindowEx(0, "Noting", "", WS_POPUP, 0, 0, 100, 100, nullptr);
  HWND a = CreateWindowEx(0, "Noting", "", WS_CHILD, 0, 0, 10, 10, top);
  HWND b = CreateWindowEx(0, "Noting", "", WS_CHILD, 0, 0, 10, 10, top);
  EXPECT_EQ(Counters().Find(a), nullptr);
  Counters().Get(a)->Value = 1;
  Counters().Get(top)->Value = 3;
  EXPECT_EQ(Counters().Get(a)->Value, 1);  // the same object again
  EXPECT_EQ(Counters().Find(b), nullptr);  // b never asked
  EXPECT_EQ(Trace().Alive, 2);
  SetTimer(a, 1, 100);

  DestroyWindow(top);
  // Each window with state: WM_NCDESTROY sees it, then the clean-up runs
  // while the handle is valid; children before their parent, the top child
  // (the first made) first.
  EXPECT_EQ(Trace().Events,
            (std::vector<std::string>{"ncdestroy 1", "clean 1 alive", "ncdestroy -1", "ncdestroy 3",
                                      "clean 3 alive"}));
  EXPECT_EQ(Trace().Alive, 0);
  // Stale handles have no state and get none.
  EXPECT_EQ(Counters().Find(a), nullptr);
  EXPECT_EQ(Counters().Get(a), nullptr);
  EXPECT_EQ(Counters().Get(nullptr), nullptr);
  EXPECT_EQ(WindowFeatureSlot(top, 100000), nullptr);
}

TEST_F(WindowFeatureTest, DroppingFreesAtOnceAndResetIsAnnounced) {
  HWND h = CreateWindowEx(0, "Noting", "", WS_POPUP, 0, 0, 100, 100, nullptr);
  Counters().Get(h)->Value = 5;
  Counters().Drop(h);
  EXPECT_EQ(Trace().Alive, 0);
  EXPECT_EQ(Counters().Find(h), nullptr);
  Counters().Get(h)->Value = 6;
  // Resetting the window system destroys the window (clean-up as usual), then resets.
  SetHost(nullptr);
  EXPECT_EQ(Trace().Events.back(), "reset");
  EXPECT_NE(std::find(Trace().Events.begin(), Trace().Events.end(), "clean 6 alive"),
            Trace().Events.end());
  EXPECT_EQ(Trace().Alive, 0);
  SetHost(&host);
}

}  // namespace
}  // namespace vm::test
