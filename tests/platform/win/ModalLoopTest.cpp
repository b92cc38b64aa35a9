// A nested modal loop driven step by step on the headless host: the idle
// handler plays the user whenever the loop would wait.
#include <gtest/gtest.h>

#include "WinTestSupport.h"

namespace vm::test {
namespace {

class ModalLoopTest : public TWinTest {
 protected:
  void TearDown() override {
    host.SetIdleHandler(nullptr);
    TWinTest::TearDown();
  }
  // The loop a message box runs: until the dialog is gone, waiting through
  // ModalWaitMessage so that the owner hears WM_ENTERIDLE.
  int RunModal(HWND owner, HWND dialog) {
    int dispatched = 0;
    MSG m;
    while (IsWindow(dialog)) {
      if (!PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
        ModalWaitMessage(owner, MSGF_DIALOGBOX, dialog);
        continue;
      }
      if (m.message == WM_QUIT) {
        PostQuitMessage(int(m.wParam));
        break;
      }
      TranslateMessage(&m);
      DispatchMessage(&m);
      ++dispatched;
    }
    return dispatched;
  }
};

TEST_F(ModalLoopTest, TheIdleHandlerStepsANestedLoopWhileTimersRun) {
  HWND owner = MakeTop(100, 100, 400, 300);
  ShowWindow(owner, SW_SHOW);
  HWND dialog = CreateWindowEx(0, "TestWindow", "Dialog", WS_POPUP | WS_CAPTION | WS_VISIBLE, 200,
                               150, 200, 100, owner);
  Pump();
  SetTimer(owner, 7, 100);
  std::uint64_t start = host.Now();
  int step = 0;
  host.SetIdleHandler([&]() -> bool {
    switch (step++) {
      case 0:
        host.Click(250, 200);  // the user clicks into the dialog
        return true;
      case 1:
        return false;  // nothing to do: the clock runs on to the timer
      case 2:
        Sleep(250);  // the platform's Sleep moves the virtual clock
        return true;
      default:
        DestroyWindow(dialog);  // the user closes it
        return true;
    }
  });
  RunModal(owner, dialog);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_GE(step, 4);
  // Every wait told the owner it was idle, with the reason and the dialog.
  std::vector<TLogged> idle;
  for (const TLogged& e : Log())
    if (e.Msg == WM_ENTERIDLE) idle.push_back(e);
  ASSERT_GE(idle.size(), 3u);
  for (const TLogged& e : idle) {
    EXPECT_EQ(e.Hwnd, owner);
    EXPECT_EQ(e.W, MSGF_DIALOGBOX);
    EXPECT_EQ(e.L, LPARAM(reinterpret_cast<std::uintptr_t>(dialog)));
  }
  EXPECT_EQ(Messages(dialog, {WM_LBUTTONDOWN, WM_LBUTTONUP}),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
  // The timer fired inside the nested loop, and the clock moved by the
  // timer's wait and the sleep, not by wall time.
  EXPECT_FALSE(Messages(owner, {WM_TIMER}).empty());
  EXPECT_GE(host.Now() - start, 350u);
  EXPECT_GE(host.IdleCount(), 4u);
}

TEST_F(ModalLoopTest, AnIdleOwnerCanEndTheLoopItself) {
  HWND owner = MakeTop();
  HWND dialog = CreateWindowEx(0, "TestWindow", "", WS_POPUP, 0, 0, 10, 10, owner);
  // The owner ends the loop from WM_ENTERIDLE: no host wait happens at all.
  WNDPROC closer = WNDPROC::FromClosure([&](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_ENTERIDLE) DestroyWindow(reinterpret_cast<HWND>(std::uintptr_t(l)));
    return DefWindowProc(h, m, w, l);
  });
  WNDPROC old = SetWindowProc(owner, closer);
  std::uint64_t waits = host.IdleCount();
  Pump();
  RunModal(owner, dialog);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(host.IdleCount(), waits);
  RemoveWindowProc(owner, closer, old);
}

TEST_F(ModalLoopTest, WithNothingToDoAndNoHandlerTheHostRefusesToWaitForever) {
  HWND owner = MakeTop();
  HWND dialog = CreateWindowEx(0, "TestWindow", "", WS_POPUP, 0, 0, 10, 10, owner);
  Pump();
  EXPECT_THROW(RunModal(owner, dialog), std::logic_error);
  // A handler that declines changes nothing about that.
  host.SetIdleHandler([] { return false; });
  EXPECT_THROW(RunModal(owner, dialog), std::logic_error);
}

}  // namespace
}  // namespace vm::test
