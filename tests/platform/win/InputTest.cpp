#include <gtest/gtest.h>

#include "WinTestSupport.h"

namespace vm::test {
namespace {

class InputTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    top = MakeTop(100, 100, 300, 200);
    ShowWindow(top, SW_SHOW);
    a = MakeChild(top, 10, 10, 50, 50);
    b = MakeChild(top, 100, 10, 50, 50);
    Pump();
    Log().clear();
  }
  TPoint Screen(HWND h, int x, int y) {
    TPoint p{x, y};
    ClientToScreen(h, &p);
    return p;
  }
  void MoveTo(HWND h, int x, int y) {
    TPoint p = Screen(h, x, y);
    host.MouseMove(p.X, p.Y);
    Pump();
  }
  HWND top = nullptr, a = nullptr, b = nullptr;
};

TEST_F(InputTest, CaptureKeepsTheMouseAndReportsItsLoss) {
  MoveTo(a, 5, 5);
  EXPECT_EQ(SetCapture(a), nullptr);
  EXPECT_EQ(host.GrabbedWindow(), GetHostWindow(top));
  Log().clear();
  // Moves over b and even outside the window still go to a, in a's coordinates.
  MoveTo(b, 5, 5);
  host.MouseMove(5, 5);
  Pump();
  std::vector<std::pair<int, int>> moves;
  for (const TLogged& e : Log())
    if (e.Msg == WM_MOUSEMOVE) {
      EXPECT_EQ(e.Hwnd, a);
      moves.push_back({GET_X_LPARAM(e.L), GET_Y_LPARAM(e.L)});
    }
  TPoint aOrigin = Screen(a, 0, 0);
  EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{95, 5}, {5 - aOrigin.X, 5 - aOrigin.Y}}));
  // Taking the capture over tells the old owner who took it.
  Log().clear();
  EXPECT_EQ(SetCapture(b), a);
  ASSERT_EQ(Messages(a, {WM_CAPTURECHANGED}).size(), 1u);
  EXPECT_EQ(Log().back().L, LPARAM(reinterpret_cast<std::uintptr_t>(b)));
  ReleaseCapture();
  EXPECT_EQ(Messages(b, {WM_CAPTURECHANGED}).size(), 1u);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(host.GrabbedWindow(), 0u);
  // Destroying the captured window frees the mouse.
  SetCapture(a);
  DestroyWindow(a);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(InputTest, MouseLeaveIsPostedOnceWhenThePointerLeaves) {
  MoveTo(a, 5, 5);
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_LEAVE;
  tme.hwndTrack = a;
  ASSERT_TRUE(TrackMouseEvent(&tme));
  MoveTo(a, 20, 20);  // still inside: nothing
  EXPECT_TRUE(Messages(a, {WM_MOUSELEAVE}).empty());
  MoveTo(b, 5, 5);
  EXPECT_EQ(Messages(a, {WM_MOUSELEAVE}).size(), 1u);
  MoveTo(top, 200, 150);  // tracking ended with the leave
  EXPECT_EQ(Messages(a, {WM_MOUSELEAVE}).size(), 1u);

  // Leaving the whole window towards the desktop.
  Log().clear();
  MoveTo(b, 5, 5);
  tme.hwndTrack = b;
  TrackMouseEvent(&tme);
  host.MouseMove(5, 5);
  Pump();
  EXPECT_EQ(Messages(b, {WM_MOUSELEAVE}).size(), 1u);

  // Asking while the pointer is elsewhere gets the leave at once.
  Log().clear();
  tme.hwndTrack = a;
  TrackMouseEvent(&tme);
  Pump();
  EXPECT_EQ(Messages(a, {WM_MOUSELEAVE}).size(), 1u);

  // Cancelled tracking posts nothing.
  Log().clear();
  MoveTo(a, 5, 5);
  TrackMouseEvent(&tme);
  tme.dwFlags = TME_LEAVE | TME_CANCEL;
  TrackMouseEvent(&tme);
  MoveTo(b, 5, 5);
  EXPECT_TRUE(Messages(a, {WM_MOUSELEAVE}).empty());
}

TEST_F(InputTest, ClicksActivateNotifyParentsAndDoubleClickOnlyWithTheClassStyle) {
  HWND other = MakeTop(600, 100, 200, 150);
  ShowWindow(other, SW_SHOW);
  EXPECT_EQ(GetActiveWindow(), other);
  Log().clear();
  TPoint p = Screen(a, 5, 5);
  host.Click(p.X, p.Y);
  Pump();
  EXPECT_EQ(GetActiveWindow(), top);
  EXPECT_EQ(Messages(a, {WM_MOUSEACTIVATE, WM_LBUTTONDOWN, WM_LBUTTONUP}),
            (std::vector<UINT>{WM_MOUSEACTIVATE, WM_LBUTTONDOWN, WM_LBUTTONUP}));
  std::vector<UINT> notes;
  for (const TLogged& e : Log())
    if (e.Hwnd == top && e.Msg == WM_PARENTNOTIFY) {
      notes.push_back(LOWORD(e.W));
      EXPECT_EQ(GET_X_LPARAM(e.L), 15);  // in the parent's client coordinates
      EXPECT_EQ(GET_Y_LPARAM(e.L), 15);
    }
  EXPECT_EQ(notes, std::vector<UINT>{WM_LBUTTONDOWN});

  // Two quick clicks: a plain class gets two downs, a CS_DBLCLKS class a double click.
  Log().clear();
  host.DoubleClick(p.X, p.Y);
  Pump();
  EXPECT_EQ(Messages(a, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDOWN}));
  HWND d = MakeChild(top, 10, 100, 50, 50, WS_VISIBLE, 0, "TestDblClk");
  TPoint q = Screen(d, 5, 5);
  Log().clear();
  host.DoubleClick(q.X, q.Y);
  Pump();
  EXPECT_EQ(Messages(d, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}));
  // Too slow is two single clicks.
  Log().clear();
  host.Click(q.X, q.Y);
  host.AdvanceClock(GetDoubleClickTime() + 1);
  Pump();
  host.Click(q.X, q.Y);
  Pump();
  EXPECT_EQ(Messages(d, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDOWN}));

  // A disabled child lets its parent have the click.
  EnableWindow(b, false);
  Log().clear();
  TPoint r = Screen(b, 5, 5);
  host.Click(r.X, r.Y);
  Pump();
  EXPECT_TRUE(Messages(b, {WM_LBUTTONDOWN}).empty());
  EXPECT_EQ(Messages(top, {WM_LBUTTONDOWN}).size(), 1u);
}

TEST_F(InputTest, FocusAndActivationMessagesFollowThePlatform) {
  SetFocus(a);
  EXPECT_EQ(GetFocus(), a);
  Log().clear();
  SetFocus(b);
  EXPECT_EQ(Messages(nullptr, {WM_KILLFOCUS, WM_SETFOCUS}),
            (std::vector<UINT>{WM_KILLFOCUS, WM_SETFOCUS}));
  EXPECT_EQ(Log().front().Hwnd, a);

  // Another top-level window takes the activation; then the desktop gives the focus to
  // another program, and back.
  HWND other = MakeTop(600, 100, 200, 150);
  Log().clear();
  ShowWindow(other, SW_SHOW);
  std::vector<UINT> keep = {WM_NCACTIVATE, WM_ACTIVATE, WM_ACTIVATEAPP, WM_KILLFOCUS, WM_SETFOCUS};
  EXPECT_EQ(Messages(top, keep), (std::vector<UINT>{WM_NCACTIVATE, WM_ACTIVATE}));
  EXPECT_EQ(Messages(b, keep), std::vector<UINT>{WM_KILLFOCUS});
  EXPECT_EQ(Messages(other, keep), (std::vector<UINT>{WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS}));

  Log().clear();
  host.DesktopFocus(0);
  Pump();
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(Messages(other, keep),
            (std::vector<UINT>{WM_NCACTIVATE, WM_ACTIVATE, WM_ACTIVATEAPP, WM_KILLFOCUS}));
  EXPECT_EQ(Messages(top, keep), std::vector<UINT>{WM_ACTIVATEAPP});

  Log().clear();
  host.DesktopFocus(GetHostWindow(top));
  Pump();
  EXPECT_EQ(GetActiveWindow(), top);
  EXPECT_EQ(Messages(top, keep),
            (std::vector<UINT>{WM_ACTIVATEAPP, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS}));
  // Switching between two windows of the program does not deactivate the program.
  Log().clear();
  host.DesktopFocus(GetHostWindow(other));
  Pump();
  EXPECT_EQ(GetActiveWindow(), other);
  EXPECT_TRUE(Messages(nullptr, {WM_ACTIVATEAPP}).empty());

  // Hiding the active window activates the next one.
  ShowWindow(other, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), top);
}

TEST_F(InputTest, KeysGoToTheFocusAndTextComesThroughTranslateMessage) {
  SetFocus(a);
  Log().clear();
  host.Type("A");  // Shift down, 'A' down with its text, 'A' up, Shift up
  MSG m;
  std::vector<UINT> seen;
  // Without TranslateMessage there is no WM_CHAR: a dialog that eats the key eats its text too.
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    seen.push_back(m.message);
    DispatchMessage(&m);
  }
  EXPECT_EQ(seen, (std::vector<UINT>{WM_KEYDOWN, WM_KEYDOWN, WM_KEYUP, WM_KEYUP}));
  Log().clear();
  host.Type("Aж");
  Pump();
  std::vector<std::pair<UINT, WPARAM>> got;
  for (const TLogged& e : Log())
    if (e.Hwnd == a && (e.Msg == WM_KEYDOWN || e.Msg == WM_CHAR || e.Msg == WM_KEYUP))
      got.push_back({e.Msg, e.W});
  EXPECT_EQ(got, (std::vector<std::pair<UINT, WPARAM>>{{WM_KEYDOWN, VK_SHIFT},
                                                       {WM_KEYDOWN, 'A'},
                                                       {WM_CHAR, 'A'},
                                                       {WM_KEYUP, 'A'},
                                                       {WM_KEYUP, VK_SHIFT},
                                                       {WM_CHAR, 0x0436}}));
  EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000);

  // Alt+key is a system key; Alt+F4 closes the top-level window.
  Log().clear();
  host.KeyDown(VK_MENU);
  host.Key('X');
  host.KeyUp(VK_MENU);
  Pump();
  EXPECT_EQ(
      Messages(a, {WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP, WM_KEYDOWN}),
      (std::vector<UINT>{WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP, WM_SYSKEYUP}));
  host.KeyDown(VK_MENU);
  host.Key(VK_F4);
  host.KeyUp(VK_MENU);
  Pump();
  EXPECT_FALSE(IsWindow(top));
}

TEST_F(InputTest, AltAloneF10AndAltSpaceAskForTheKeyboardMenu) {
  SetFocus(a);
  Log().clear();
  host.Key(VK_MENU);
  host.Key(VK_F10);
  host.KeyDown(VK_MENU);
  host.Key(VK_SPACE);
  host.KeyUp(VK_MENU);
  Pump();
  std::vector<LPARAM> keys;
  for (const TLogged& e : Log())
    if (e.Msg == WM_SYSCOMMAND && (e.W & 0xFFF0) == SC_KEYMENU) {
      EXPECT_EQ(e.Hwnd, top);
      keys.push_back(e.L);
    }
  EXPECT_EQ(keys, (std::vector<LPARAM>{0, 0, ' '}));
}

}  // namespace
}  // namespace vm::test

namespace vm::test {
namespace {

class OwnedWindowTest : public TWinTest {};

TEST_F(OwnedWindowTest, OwnedWindowsStayAboveAndGoWithTheirOwner) {
  HWND owner = MakeTop(100, 100, 300, 200);
  ShowWindow(owner, SW_SHOW);
  HWND dialog = CreateWindowEx(0, "TestWindow", "Dialog", WS_POPUP | WS_CAPTION | WS_SYSMENU, 150,
                               150, 200, 100, owner);
  EXPECT_EQ(GetParent(dialog), owner);
  EXPECT_EQ(host.Native(GetHostWindow(dialog))->Params.Kind, THostWindowKind::Dialog);
  EXPECT_EQ(host.Native(GetHostWindow(dialog))->Params.TransientFor, GetHostWindow(owner));
  ShowWindow(dialog, SW_SHOW);
  // A modal dialog: the owner disabled; clicking the owner brings the dialog back.
  EnableWindow(owner, false);
  EXPECT_EQ(Messages(owner, {WM_ENABLE}).size(), 1u);
  SetActiveWindow(owner);  // refused by nobody, but the owner is disabled for input
  host.Click(120, 290);
  Pump();
  EXPECT_EQ(GetActiveWindow(), dialog);
  EXPECT_TRUE(Messages(owner, {WM_LBUTTONDOWN}).empty());
  // Activating the owner keeps its owned window above it.
  EnableWindow(owner, true);
  SetActiveWindow(owner);
  EXPECT_EQ(GetTopWindow(nullptr), dialog);
  EXPECT_EQ(host.ZOrder().front(), GetHostWindow(dialog));
  // Owned later or let go: the desktop is told.
  HWND loose = MakeTop(500, 500, 100, 100);
  SetWindowLongPtr(loose, GWLP_HWNDPARENT, LONG_PTR(reinterpret_cast<std::uintptr_t>(owner)));
  EXPECT_EQ(host.Native(GetHostWindow(loose))->Params.Kind, THostWindowKind::Dialog);
  SetWindowLongPtr(loose, GWLP_HWNDPARENT, 0);
  EXPECT_EQ(host.Native(GetHostWindow(loose))->Params.Kind, THostWindowKind::Normal);
  EXPECT_EQ(host.Native(GetHostWindow(loose))->Params.TransientFor, 0u);
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_TRUE(IsWindow(loose));
}

TEST_F(OwnedWindowTest, CursorsComeFromTheClassAndTheFrame) {
  WNDCLASS wc;
  wc.lpszClassName = "IBeamBox";
  wc.lpfnWndProc = &RecordingProc;
  wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
  RegisterClass(wc);
  HWND top = MakeTop(100, 100, 300, 200);
  ShowWindow(top, SW_SHOW);
  HWND box = MakeChild(top, 10, 10, 50, 50, WS_VISIBLE, 0, "IBeamBox");
  TPoint p{20, 20};
  ClientToScreen(box, &p);
  host.MouseMove(p.X, p.Y);
  Pump();
  EXPECT_EQ(host.Native(GetHostWindow(top))->Cursor, THostCursor::IBeam);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_IBEAM));
  host.MouseMove(101, 200);  // the left sizing border
  Pump();
  EXPECT_EQ(host.Native(GetHostWindow(top))->Cursor, THostCursor::SizeWE);
  // WM_SETCURSOR is asked of the parent first: a parent that answers decides.
  SetWindowProc(top, WNDPROC::FromClosure([](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
                  if (m == WM_SETCURSOR && LOWORD(l) == HTCLIENT) {
                    SetCursor(LoadCursor(nullptr, IDC_HAND));
                    return 1;
                  }
                  return DefWindowProc(h, m, w, l);
                }));
  host.MouseMove(p.X, p.Y);
  Pump();
  EXPECT_EQ(host.Native(GetHostWindow(top))->Cursor, THostCursor::Hand);
  DestroyWindow(top);
  UnregisterClass("IBeamBox");
}

}  // namespace
}  // namespace vm::test

namespace vm::test {
namespace {

TEST_F(InputTest, WheelGoesToTheFocusAndUpToItsParents) {
  SetFocus(a);
  Log().clear();
  MoveTo(b, 5, 5);  // the pointer elsewhere does not matter
  host.Wheel(-WHEEL_DELTA);
  Pump();
  ASSERT_EQ(Messages(a, {WM_MOUSEWHEEL}).size(), 1u);
  ASSERT_EQ(Messages(top, {WM_MOUSEWHEEL}).size(), 1u);  // passed on by DefWindowProc
  for (const TLogged& e : Log())
    if (e.Msg == WM_MOUSEWHEEL) {
      EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(e.W), -WHEEL_DELTA);
      TPoint p = Screen(b, 5, 5);
      EXPECT_EQ(GET_X_LPARAM(e.L), p.X);  // screen coordinates
    }
  EXPECT_TRUE(Messages(b, {WM_MOUSEWHEEL}).empty());
}

TEST_F(InputTest, ImpossibleSizesAreClampedNotAllocated) {
  // A top-level window's store never exceeds what a window may track to.
  HWND huge = CreateWindowEx(0, "TestWindow", "", WS_POPUP, 0, 0, 1 << 30, 1 << 30, nullptr);
  ASSERT_NE(huge, nullptr);
  const TBitmap* store = GetWindowStore(huge);
  EXPECT_EQ(store->Width(), GetSystemMetrics(SM_CXMAXTRACK));
  EXPECT_EQ(store->Height(), GetSystemMetrics(SM_CYMAXTRACK));
  EXPECT_TRUE(SetWindowPos(huge, nullptr, 0, 0, -5, 1 << 30, SWP_NOZORDER));
  EXPECT_TRUE(GetWindowStore(huge)->Empty());
  TRect wr;
  GetWindowRect(huge, &wr);
  EXPECT_EQ(wr, Rect(0, 0, 0, GetSystemMetrics(SM_CYMAXTRACK)));
  // An overlapped window starts no smaller than its minimum track size.
  HWND tiny = CreateWindowEx(0, "TestWindow", "", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr);
  GetWindowRect(tiny, &wr);
  EXPECT_EQ(wr, Rect(0, 0, GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)));
  // Negative sizes of children become empty windows.
  HWND c = CreateWindowEx(0, "TestWindow", "", WS_CHILD | WS_VISIBLE, 0, 0, -10, -10, top);
  TRect r;
  GetClientRect(c, &r);
  EXPECT_TRUE(r.IsEmpty());
  InvalidateRect(c, nullptr, true);
  Pump();
}

}  // namespace
}  // namespace vm::test

namespace vm::test {
namespace {

TEST_F(InputTest, HoverIsPostedOnceWhenThePointerRests) {
  MoveTo(a, 5, 5);
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_HOVER | TME_LEAVE;
  tme.hwndTrack = a;
  tme.dwHoverTime = HOVER_DEFAULT;
  ASSERT_TRUE(TrackMouseEvent(&tme));
  TRACKMOUSEEVENT q;
  q.dwFlags = TME_QUERY;
  TrackMouseEvent(&q);
  EXPECT_EQ(q.dwFlags, TME_HOVER | TME_LEAVE);
  EXPECT_EQ(q.hwndTrack, a);
  host.AdvanceClock(399);
  Pump();
  EXPECT_TRUE(Messages(a, {WM_MOUSEHOVER}).empty());
  MoveTo(a, 6, 6);  // within the hover rectangle: the rest goes on
  host.AdvanceClock(1);
  Pump();
  ASSERT_EQ(Messages(a, {WM_MOUSEHOVER}).size(), 1u);
  host.AdvanceClock(1000);
  Pump();
  EXPECT_EQ(Messages(a, {WM_MOUSEHOVER}).size(), 1u);  // one shot

  // A bigger move starts the rest again; leaving the window cancels it.
  Log().clear();
  tme.dwFlags = TME_HOVER;
  TrackMouseEvent(&tme);
  host.AdvanceClock(300);
  MoveTo(a, 20, 20);
  host.AdvanceClock(300);
  Pump();
  EXPECT_TRUE(Messages(a, {WM_MOUSEHOVER}).empty());
  host.AdvanceClock(100);
  Pump();
  ASSERT_EQ(Messages(a, {WM_MOUSEHOVER}).size(), 1u);
  EXPECT_EQ(GET_X_LPARAM(Log().back().L), 20);
  Log().clear();
  TrackMouseEvent(&tme);
  MoveTo(b, 5, 5);
  host.AdvanceClock(1000);
  Pump();
  EXPECT_TRUE(Messages(a, {WM_MOUSEHOVER}).empty());
}

}  // namespace
}  // namespace vm::test
