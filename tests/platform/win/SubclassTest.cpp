#include <gtest/gtest.h>

#include "WinTestSupport.h"

namespace vm::test {
namespace {

// A tiny subclass object as the skin engine writes them: it installs a
// closure over itself and gives the previous procedure back when it goes.
struct TSubclass {
  HWND Hwnd;
  std::string Tag;
  std::vector<std::string>* Trace;
  WNDPROC Mine;
  WNDPROC Previous;

  TSubclass(HWND h, std::string tag, std::vector<std::string>* trace)
      : Hwnd(h), Tag(std::move(tag)), Trace(trace) {
    Mine = WNDPROC::FromClosure(
        [this](HWND hw, UINT m, WPARAM w, LPARAM l) { return Proc(hw, m, w, l); });
    Previous = SetWindowProc(Hwnd, Mine);
  }
  // Restores the previous procedure when ours is installed; otherwise (a
  // later subclass sits on top) ours is retired and forwards to Previous.
  ~TSubclass() { RemoveWindowProc(Hwnd, Mine, Previous); }
  LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_USER) Trace->push_back(Tag);
    return CallWindowProc(Previous, h, m, w, l);
  }
};

std::vector<std::string>* gTrace = nullptr;
LRESULT PlainSubclass(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER) gTrace->push_back("plain");
  if (m == WM_USER + 1) return 42;
  return RecordingProc(h, m, w, l);
}

class SubclassTest : public TWinTest {};

TEST_F(SubclassTest, ChainsCallNewestFirstAndUnwindInAnyOrder) {
  HWND h = MakeTop();
  std::vector<std::string> trace;
  auto a = std::make_unique<TSubclass>(h, "a", &trace);
  auto b = std::make_unique<TSubclass>(h, "b", &trace);
  SendMessage(h, WM_USER);
  EXPECT_EQ(trace, (std::vector<std::string>{"b", "a"}));
  // The original procedure still sees the message at the end of the chain.
  EXPECT_EQ(Messages(h, {WM_USER}).size(), 1u);

  // Removed newest first: the original procedure comes back exactly.
  b.reset();
  a.reset();
  EXPECT_TRUE(GetWindowProc(h) == WNDPROC(&RecordingProc));

  // The window destroyed under installed subclasses: every message up to
  // WM_NCDESTROY runs through the whole chain, and the objects freed
  // afterwards give nothing back.
  a = std::make_unique<TSubclass>(h, "a", &trace);
  b = std::make_unique<TSubclass>(h, "b", &trace);
  Log().clear();
  DestroyWindow(h);
  EXPECT_EQ(Messages(h, {WM_DESTROY, WM_NCDESTROY}), (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
  b.reset();
  a.reset();
  EXPECT_FALSE(IsWindow(h));
}

TEST_F(SubclassTest, RemovedOutOfOrderTheChainSkipsTheFreedObject) {
  HWND h = MakeTop();
  std::vector<std::string> trace;
  auto a = std::make_unique<TSubclass>(h, "a", &trace);
  auto b = std::make_unique<TSubclass>(h, "b", &trace);
  auto c = std::make_unique<TSubclass>(h, "c", &trace);
  WNDPROC aMine = a->Mine;
  // The middle and the oldest go first: b's and c's "previous" procedures
  // are closures over freed objects, and must not run them (ASan would see it).
  a.reset();
  b.reset();
  SendMessage(h, WM_USER);
  EXPECT_EQ(trace, std::vector<std::string>{"c"});
  EXPECT_EQ(Messages(h, {WM_USER}).size(), 1u);  // the class procedure still gets it
  EXPECT_TRUE(aMine.Retired());
  // A copy of a retired procedure goes on to what it had replaced.
  trace.clear();
  CallWindowProc(aMine, h, WM_USER, 0, 0);
  EXPECT_TRUE(trace.empty());
  EXPECT_EQ(Messages(h, {WM_USER}).size(), 2u);
  // The last one out restores the class procedure itself, not a forwarder.
  c.reset();
  EXPECT_TRUE(GetWindowProc(h) == WNDPROC(&RecordingProc));
  // Installing a retired procedure installs its target.
  SetWindowProc(h, aMine);
  EXPECT_TRUE(GetWindowProc(h) == WNDPROC(&RecordingProc));
}

TEST_F(SubclassTest, ASubclassRemovedWhileItRunsFinishesItsCall) {
  HWND h = MakeTop();
  struct TSelfRemoving {
    HWND Hwnd;
    WNDPROC Mine, Previous;
    int After = 0;
  };
  auto s = std::make_shared<TSelfRemoving>();
  s->Hwnd = h;
  std::weak_ptr<TSelfRemoving> weak = s;
  s->Mine = WNDPROC::FromClosure([s](HWND hw, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_USER) {
      RemoveWindowProc(hw, s->Mine, s->Previous);
      // The closure (and what it captured) is still alive until it returns.
      s->After = 1;
      return 5;
    }
    return CallWindowProc(s->Previous, hw, m, w, l);
  });
  s->Previous = SetWindowProc(h, s->Mine);
  s.reset();  // only the closure holds the object now
  EXPECT_EQ(SendMessage(h, WM_USER), 5);
  EXPECT_TRUE(GetWindowProc(h) == WNDPROC(&RecordingProc));
  EXPECT_TRUE(weak.expired());  // freed once the call returned
}

TEST_F(SubclassTest, TheProcedureIndexIsRefusedLoudly) {
  HWND h = MakeTop();
  EXPECT_THROW(SetWindowLongPtr(h, GWLP_WNDPROC, 1234), std::invalid_argument);
  EXPECT_THROW(GetWindowLongPtr(h, GWLP_WNDPROC), std::invalid_argument);
  EXPECT_TRUE(GetWindowProc(h) == WNDPROC(&RecordingProc));
}

TEST_F(SubclassTest, PlainFunctionsCompareAndReturnResults) {
  HWND h = MakeTop();
  std::vector<std::string> trace;
  gTrace = &trace;
  WNDPROC old = SetWindowProc(h, &PlainSubclass);
  EXPECT_TRUE(old == WNDPROC(&RecordingProc));
  EXPECT_EQ(SendMessage(h, WM_USER + 1), 42);
  SendMessage(h, WM_USER);
  EXPECT_EQ(trace, std::vector<std::string>{"plain"});
  // Two closures are never equal, even over the same code.
  auto f = [](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; };
  EXPECT_FALSE(WNDPROC::FromClosure(f) == WNDPROC::FromClosure(f));
  EXPECT_TRUE(SetWindowProc(h, old) == WNDPROC(&PlainSubclass));
}

TEST_F(SubclassTest, StaleHandlesAreAnsweredAsInvalid) {
  HWND h = MakeTop();
  HWND c = MakeChild(h, 0, 0, 10, 10);
  ASSERT_TRUE(IsWindow(h));
  ASSERT_TRUE(DestroyWindow(h));
  for (HWND x : {h, c}) {
    EXPECT_FALSE(IsWindow(x));
    EXPECT_EQ(SendMessage(x, WM_USER), 0);
    EXPECT_FALSE(PostMessage(x, WM_USER, 0, 0));
    EXPECT_FALSE(DestroyWindow(x));
    EXPECT_FALSE(ShowWindow(x, SW_SHOW));
    EXPECT_FALSE(SetWindowText(x, "x"));
    EXPECT_EQ(GetWindowText(x), "");
    EXPECT_EQ(GetParent(x), nullptr);
    EXPECT_FALSE(bool(GetWindowProc(x)));
    EXPECT_EQ(GetDC(x), nullptr);
    EXPECT_EQ(SetFocus(x), nullptr);
    EXPECT_EQ(SetCapture(x), nullptr);
    EXPECT_EQ(SetTimer(x, 1, 10), 0u);
    TRect r;
    EXPECT_FALSE(GetWindowRect(x, &r));
    EXPECT_FALSE(InvalidateRect(x, nullptr, true));
  }
  // Handles are not reused: a new window never gets an old number.
  HWND again = MakeTop();
  EXPECT_NE(again, h);
  EXPECT_NE(again, c);
  EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(std::uintptr_t(0xDEAD0000))));
}

TEST_F(SubclassTest, DestroyFromInsideItsOwnProcedureIsSafe) {
  HWND h = MakeTop();
  WNDPROC self = WNDPROC::FromClosure([](HWND hw, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_USER) {
      DestroyWindow(hw);
      // The handle is already invalid, and still safe to use.
      EXPECT_FALSE(IsWindow(hw));
      EXPECT_EQ(SendMessage(hw, WM_USER + 5), 0);
      return 7;
    }
    return DefWindowProc(hw, m, w, l);
  });
  SetWindowProc(h, self);
  EXPECT_EQ(SendMessage(h, WM_USER), 7);
  EXPECT_FALSE(IsWindow(h));
}

}  // namespace
}  // namespace vm::test

namespace vm::test {
namespace {

LRESULT ThrowOnCreate(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_CREATE) throw std::runtime_error("cannot create");
  return DefWindowProc(h, m, w, l);
}

TEST_F(SubclassTest, AWindowWhoseCreationThrowsIsNotLeftBehind) {
  WNDCLASS wc;
  wc.lpszClassName = "Thrower";
  wc.lpfnWndProc = &ThrowOnCreate;
  RegisterClass(wc);
  HWND parent = MakeTop();
  EXPECT_THROW(CreateWindowEx(0, "Thrower", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent),
               std::runtime_error);
  EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
  std::size_t tops = 0;
  EnumWindows([&](HWND) { return ++tops, true; });
  EXPECT_THROW(CreateWindowEx(0, "Thrower", "", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr),
               std::runtime_error);
  std::size_t after = 0;
  EnumWindows([&](HWND) { return ++after, true; });
  EXPECT_EQ(tops, after);
  EXPECT_EQ(host.ZOrder().size(), 0u);
  // Unknown classes and dead parents simply fail.
  EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr), nullptr);
  DestroyWindow(parent);
  EXPECT_EQ(MakeChild(parent, 0, 0, 1, 1), nullptr);
  DestroyWindow(parent);
  UnregisterClass("Thrower");
}

}  // namespace
}  // namespace vm::test
