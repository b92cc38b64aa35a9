#include <gtest/gtest.h>

#include "WinTestSupport.h"

namespace vm::test {
namespace {

// Hook notifications go into the same log as messages, numbered above any message.
constexpr UINT HookBase = 0x100000;

class MessageTest : public TWinTest {
 protected:
  HHOOK LogHook() {
    return SetWindowsHookEx(WH_CBT, [](int code, WPARAM w, LPARAM l) -> LRESULT {
      Log().push_back({reinterpret_cast<HWND>(w), HookBase + UINT(code), w, l});
      return 0;
    });
  }
};

TEST_F(MessageTest, CreateShowUpdateFollowThePlatformsOrder) {
  HHOOK hook = LogHook();
  HWND h = MakeTop();
  std::vector<UINT> keep = {WM_GETMINMAXINFO,
                            WM_NCCREATE,
                            WM_NCCALCSIZE,
                            WM_CREATE,
                            WM_SIZE,
                            WM_MOVE,
                            WM_SHOWWINDOW,
                            WM_WINDOWPOSCHANGING,
                            WM_ACTIVATEAPP,
                            WM_NCACTIVATE,
                            WM_ACTIVATE,
                            WM_SETFOCUS,
                            WM_NCPAINT,
                            WM_ERASEBKGND,
                            WM_WINDOWPOSCHANGED,
                            WM_PAINT,
                            HookBase + HCBT_CREATEWND,
                            HookBase + HCBT_ACTIVATE,
                            HookBase + HCBT_SETFOCUS};
  EXPECT_EQ(Messages(h, keep),
            (std::vector<UINT>{HookBase + HCBT_CREATEWND, WM_GETMINMAXINFO, WM_NCCREATE,
                               WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE}));
  Log().clear();
  ShowWindow(h, SW_SHOW);
  EXPECT_EQ(Messages(h, keep),
            (std::vector<UINT>{WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, HookBase + HCBT_ACTIVATE,
                               WM_ACTIVATEAPP, WM_NCACTIVATE, WM_ACTIVATE, HookBase + HCBT_SETFOCUS,
                               WM_SETFOCUS, WM_NCPAINT, WM_ERASEBKGND, WM_WINDOWPOSCHANGED}));
  Log().clear();
  UpdateWindow(h);
  EXPECT_EQ(Messages(h, keep), (std::vector<UINT>{WM_PAINT}));
  // Painted once, nothing is owed any more.
  Log().clear();
  Pump();
  EXPECT_EQ(Messages(h, {WM_PAINT, WM_NCPAINT, WM_ERASEBKGND}), std::vector<UINT>{});
  EXPECT_EQ(GetActiveWindow(), h);
  EXPECT_EQ(GetFocus(), h);
  UnhookWindowsHookEx(hook);
}

TEST_F(MessageTest, ChildrenAreCreatedNotifiedAndDestroyedInTreeOrder) {
  HWND top = MakeTop();
  HWND a = MakeChild(top, 0, 0, 50, 50, WS_VISIBLE, 11);
  HWND b = MakeChild(a, 0, 0, 10, 10, WS_VISIBLE, 12);
  std::vector<std::pair<HWND, UINT>> notes;
  for (const TLogged& e : Log())
    if (e.Msg == WM_PARENTNOTIFY && LOWORD(e.W) == WM_CREATE)
      notes.push_back({e.Hwnd, HIWORD(e.W)});
  // b's creation is announced to a and to top.
  EXPECT_EQ(notes, (std::vector<std::pair<HWND, UINT>>{{top, 11}, {a, 12}, {top, 12}}));
  Log().clear();
  DestroyWindow(top);
  std::vector<std::pair<HWND, UINT>> order;
  for (const TLogged& e : Log())
    if (e.Msg == WM_DESTROY || e.Msg == WM_NCDESTROY) order.push_back({e.Hwnd, e.Msg});
  EXPECT_EQ(order, (std::vector<std::pair<HWND, UINT>>{{top, WM_DESTROY},
                                                       {a, WM_DESTROY},
                                                       {b, WM_DESTROY},
                                                       {b, WM_NCDESTROY},
                                                       {a, WM_NCDESTROY},
                                                       {top, WM_NCDESTROY}}));
}

// Sends itself deeper and deeper; each level sees the results of the levels below.
LRESULT Recurse(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER) {
    if (w == 0) return 1;
    LRESULT below = SendMessage(h, WM_USER, w - 1, 0);
    SetWindowLongPtr(h, GWLP_USERDATA, GetWindowLongPtr(h, GWLP_USERDATA) + 1);
    return below + 1;
  }
  return DefWindowProc(h, m, w, l);
}

TEST_F(MessageTest, SendIsSynchronousAndReentrant) {
  HWND h = MakeTop();
  SetWindowProc(h, &Recurse);
  EXPECT_EQ(SendMessage(h, WM_USER, 200, 0), 201);
  EXPECT_EQ(GetWindowLongPtr(h, GWLP_USERDATA), 200);
  // A send from inside a send to another window that destroys the first one.
  HWND other = MakeTop();
  SetWindowProc(other, WNDPROC::FromClosure([h](HWND hw, UINT m, WPARAM w, LPARAM l) -> LRESULT {
                  if (m == WM_USER + 1) {
                    DestroyWindow(h);
                    return 5;
                  }
                  return DefWindowProc(hw, m, w, l);
                }));
  SetWindowProc(h, WNDPROC::FromClosure([other](HWND hw, UINT m, WPARAM w, LPARAM l) -> LRESULT {
                  if (m == WM_USER + 1)
                    return SendMessage(other, WM_USER + 1, 0, 0) + (IsWindow(hw) ? 100 : 0);
                  return DefWindowProc(hw, m, w, l);
                }));
  EXPECT_EQ(SendMessage(h, WM_USER + 1), 5);
  EXPECT_FALSE(IsWindow(h));
}

TEST_F(MessageTest, PostedMessagesComeBeforePaintAndTimersThenQuit) {
  HWND h = MakeTop();
  ShowWindow(h, SW_SHOW);
  UpdateWindow(h);
  SetTimer(h, 3, 10);
  host.AdvanceClock(10);
  InvalidateRect(h, nullptr, false);
  PostMessage(h, WM_USER, 1, 0);
  PostMessage(h, WM_USER, 2, 0);
  PostQuitMessage(7);
  MSG m;
  std::vector<std::pair<UINT, WPARAM>> got;
  while (GetMessage(&m, nullptr, 0, 0)) {
    got.push_back({m.message, m.wParam});
    DispatchMessage(&m);
  }
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 7u);
  // Posted messages first, then WM_QUIT ends the loop before paint and timer.
  EXPECT_EQ(got, (std::vector<std::pair<UINT, WPARAM>>{{WM_USER, 1}, {WM_USER, 2}}));
  // The paint and the timer are still there for the next loop.
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_PAINT);
  DispatchMessage(&m);
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_TIMER);
}

TEST_F(MessageTest, TimersRunOnTheVirtualClock) {
  HWND h = MakeTop();
  SetTimer(h, 1, 1000);
  SetTimer(h, 2, 10);
  SetTimer(h, 3, 0);  // raised to the 10 ms minimum
  auto ticks = [&] {
    Log().clear();
    Pump();
    std::vector<WPARAM> ids;
    for (const TLogged& e : Log())
      if (e.Msg == WM_TIMER) ids.push_back(e.W);
    std::sort(ids.begin(), ids.end());
    return ids;
  };
  host.AdvanceClock(9);
  EXPECT_EQ(ticks(), std::vector<WPARAM>{});
  host.AdvanceClock(1);
  EXPECT_EQ(ticks(), (std::vector<WPARAM>{2, 3}));
  // A long gap fires each due timer once, not once per missed interval.
  host.AdvanceClock(995);
  EXPECT_EQ(ticks(), (std::vector<WPARAM>{1, 2, 3}));
  EXPECT_TRUE(KillTimer(h, 2));
  EXPECT_FALSE(KillTimer(h, 2));
  host.AdvanceClock(10);
  EXPECT_EQ(ticks(), (std::vector<WPARAM>{3}));
  // Callback timers call their function instead of the window procedure.
  int calls = 0;
  UINT_PTR id = SetTimer(nullptr, 0, 50, [&](HWND, UINT, UINT_PTR, DWORD) { ++calls; });
  EXPECT_NE(id, 0u);
  host.AdvanceClock(50);
  Pump();
  EXPECT_EQ(calls, 1);
  KillTimer(nullptr, id);
  // A destroyed window's timers die with it.
  DestroyWindow(h);
  host.AdvanceClock(2000);
  EXPECT_EQ(ticks(), std::vector<WPARAM>{});
}

TEST_F(MessageTest, NestedModalLoopKeepsTimersFiring) {
  HWND h = MakeTop();
  int ticks = 0;
  SetWindowProc(h, WNDPROC::FromClosure([&](HWND hw, UINT m, WPARAM w, LPARAM l) -> LRESULT {
                  if (m == WM_TIMER) ++ticks;
                  if (m == WM_USER) {
                    // A modal loop as a message box runs it: until its own condition holds.
                    MSG msg;
                    while (ticks < 5 && GetMessage(&msg, nullptr, 0, 0)) DispatchMessage(&msg);
                    return ticks;
                  }
                  return DefWindowProc(hw, m, w, l);
                }));
  SetTimer(h, 1, 100);
  std::uint64_t start = host.Now();
  EXPECT_EQ(SendMessage(h, WM_USER), 5);
  // Waiting on the headless host moves the clock exactly to each timer.
  EXPECT_EQ(host.Now() - start, 500u);
}

TEST_F(MessageTest, WaitingWithNothingToWaitForIsAnErrorNotAHang) {
  MSG m;
  EXPECT_THROW(GetMessage(&m, nullptr, 0, 0), std::logic_error);
}

TEST_F(MessageTest, CbtHooksChainVetoAndUnhook) {
  std::vector<std::string> calls;
  HHOOK older = nullptr, newer = nullptr;
  older = SetWindowsHookEx(WH_CBT, [&](int code, WPARAM w, LPARAM l) -> LRESULT {
    if (code == HCBT_CREATEWND) calls.push_back("older");
    return CallNextHookEx(older, code, w, l);
  });
  bool veto = true;
  newer = SetWindowsHookEx(WH_CBT, [&](int code, WPARAM w, LPARAM l) -> LRESULT {
    if (code == HCBT_CREATEWND) {
      calls.push_back("newer");
      auto* cbt = reinterpret_cast<CBT_CREATEWND*>(l);
      EXPECT_STREQ(cbt->lpcs->lpszClass, "TestWindow");
      EXPECT_TRUE(IsWindow(reinterpret_cast<HWND>(w)));
      if (veto) return 1;
    }
    return CallNextHookEx(newer, code, w, l);
  });
  std::size_t before = 0;
  EnumWindows([&](HWND) { return ++before, true; });
  EXPECT_EQ(MakeTop(), nullptr);  // vetoed: no window, nothing left behind
  std::size_t after = 0;
  EnumWindows([&](HWND) { return ++after, true; });
  EXPECT_EQ(before, after);
  EXPECT_EQ(calls, (std::vector<std::string>{"newer"}));
  veto = false;
  calls.clear();
  EXPECT_NE(MakeTop(), nullptr);
  EXPECT_EQ(calls, (std::vector<std::string>{"newer", "older"}));
  EXPECT_TRUE(UnhookWindowsHookEx(newer));
  EXPECT_FALSE(UnhookWindowsHookEx(newer));
  calls.clear();
  MakeTop();
  EXPECT_EQ(calls, (std::vector<std::string>{"older"}));
  UnhookWindowsHookEx(older);
}

TEST_F(MessageTest, ActivationHookSeesEachActivationAndCanRefuseIt) {
  std::vector<HWND> activated;
  HWND refuse = nullptr;
  HHOOK hook = SetWindowsHookEx(WH_CBT, [&](int code, WPARAM w, LPARAM l) -> LRESULT {
    if (code == HCBT_ACTIVATE) {
      activated.push_back(reinterpret_cast<HWND>(w));
      if (reinterpret_cast<HWND>(w) == refuse) return 1;
    }
    (void)l;
    return 0;
  });
  HWND a = MakeTop(), b = MakeTop(400, 400);
  ShowWindow(a, SW_SHOW);
  ShowWindow(b, SW_SHOW);
  EXPECT_EQ(activated, (std::vector<HWND>{a, b}));
  EXPECT_EQ(GetActiveWindow(), b);
  refuse = a;
  EXPECT_EQ(SetActiveWindow(a), nullptr);
  EXPECT_EQ(GetActiveWindow(), b);
  UnhookWindowsHookEx(hook);
}

TEST_F(MessageTest, TextIsUtf8AndNeverCutMidCharacter) {
  HWND h = MakeTop();
  SetWindowText(h, "Привет");  // 12 bytes
  EXPECT_EQ(GetWindowText(h), "Привет");
  EXPECT_EQ(GetWindowTextLength(h), 12);
  char buf[6];
  // Room for 5 bytes: two whole letters (4 bytes), never half of the third.
  EXPECT_EQ(SendMessage(h, WM_GETTEXT, sizeof buf, LPARAM(buf)), 4);
  EXPECT_STREQ(buf, "Пр");
  // The title reaches the desktop as UTF-8 too.
  EXPECT_EQ(host.Native(GetHostWindow(h))->Title, "Привет");
  EXPECT_EQ(SendMessage(h, WM_GETTEXT, 0, LPARAM(buf)), 0);
}

}  // namespace
}  // namespace vm::test

namespace vm::test {
namespace {

TEST_F(MessageTest, DestroyHandlersThatDestroyOtherWindowsAreSafe) {
  HWND top = MakeTop();
  HWND a = MakeChild(top, 0, 0, 10, 10);
  HWND b = MakeChild(top, 20, 0, 10, 10);
  // While the parent is being destroyed, a child destroys its sibling.
  SetWindowProc(a, WNDPROC::FromClosure([b](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
                  if (m == WM_DESTROY) DestroyWindow(b);
                  return RecordingProc(h, m, w, l);
                }));
  Log().clear();
  EXPECT_TRUE(DestroyWindow(top));
  for (HWND h : {top, a, b}) EXPECT_FALSE(IsWindow(h));
  // Every window still got exactly one WM_NCDESTROY.
  for (HWND h : {top, a, b}) EXPECT_EQ(Messages(h, {WM_NCDESTROY}).size(), 1u);
}

}  // namespace
}  // namespace vm::test
