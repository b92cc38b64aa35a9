// Per-window storage, class names, font handles, the colour answers of
// WM_CTLCOLOR*, contexts without a window, context menus, cancel mode, and
// exceptions thrown by window procedures.
#include <gtest/gtest.h>

#include <stdexcept>

#include "WinTestSupport.h"
#include "platform/gfx/SysColors.h"

namespace vm::test {
namespace {

class WindowApiTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    WNDCLASS wc;
    wc.lpszClassName = "WithExtra";
    wc.lpfnWndProc = &RecordingProc;
    wc.cbWndExtra = 2 * int(sizeof(LONG_PTR));
    RegisterClass(wc);
    SetDispatchExceptionHandler([this](std::exception_ptr e) {
      try {
        std::rethrow_exception(e);
      } catch (const std::exception& x) {
        caught.push_back(x.what());
      }
    });
  }
  void TearDown() override {
    SetDispatchExceptionHandler(nullptr);
    TWinTest::TearDown();
    UnregisterClass("WithExtra");
  }
  std::vector<std::string> caught;
};

TEST_F(WindowApiTest, ExtraBytesAreSlotsBesideTheApplicationsUserData) {
  HWND h = CreateWindowEx(0, "WithExtra", "", WS_POPUP, 0, 0, 10, 10, nullptr);
  constexpr int slot = int(sizeof(LONG_PTR));
  EXPECT_EQ(GetWindowLongPtr(h, 0), 0);  // zero-filled
  EXPECT_EQ(GetWindowLongPtr(h, slot), 0);
  EXPECT_EQ(SetWindowLongPtr(h, 0, LONG_PTR(0x1122334455667788)), 0);
  EXPECT_EQ(SetWindowLongPtr(h, slot, -5), 0);
  SetWindowLongPtr(h, GWLP_USERDATA, 77);
  EXPECT_EQ(GetWindowLongPtr(h, 0), LONG_PTR(0x1122334455667788));
  EXPECT_EQ(GetWindowLongPtr(h, slot), -5);
  EXPECT_EQ(GetWindowLongPtr(h, GWLP_USERDATA), 77);
  EXPECT_EQ(SetWindowLongPtr(h, 0, 9), LONG_PTR(0x1122334455667788));  // returns the old value
  // A slot that would reach past the end is refused and changes nothing,
  // also when it starts inside (an unaligned offset near the end).
  EXPECT_EQ(SetWindowLongPtr(h, 2 * slot, 1), 0);
  EXPECT_EQ(SetWindowLongPtr(h, slot + 1, 1), 0);
  EXPECT_EQ(GetWindowLongPtr(h, slot + 1), 0);
  EXPECT_EQ(GetWindowLongPtr(h, slot), -5);
  // Unaligned offsets inside work byte by byte: offset 1 spans both slots.
  EXPECT_EQ(SetWindowLongPtr(h, 1, 0), LONG_PTR(std::uint64_t(0xFB) << 56));
  EXPECT_EQ(GetWindowLongPtr(h, 0), 9);
  EXPECT_EQ(GetWindowLongPtr(h, slot), -256);
  // A class without extra bytes has none.
  HWND plain = MakeTop();
  EXPECT_EQ(SetWindowLongPtr(plain, 0, 1), 0);
  EXPECT_EQ(GetWindowLongPtr(plain, 0), 0);
  // Sizes out of reason are refused at registration.
  WNDCLASS bad;
  bad.lpszClassName = "Negative";
  bad.cbWndExtra = -8;
  EXPECT_EQ(RegisterClass(bad), 0);
}

TEST_F(WindowApiTest, ClassNamesIgnoreCase) {
  EXPECT_EQ(RegisterClass([] {
              WNDCLASS wc;
              wc.lpszClassName = "testwindow";
              return wc;
            }()),
            0);  // the same class under another spelling
  HWND h = CreateWindowEx(0, "TESTWINDOW", "Found", WS_POPUP, 0, 0, 10, 10, nullptr);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GetClassName(h), "TestWindow");  // as registered
  EXPECT_EQ(FindWindow("testWindow", "Found"), h);
  WNDCLASS wc;
  EXPECT_TRUE(GetClassInfo("tEsTwInDoW", &wc));
  EXPECT_EQ(wc.lpszClassName, "TestWindow");
  // Only ASCII letters fold: "TestwindoW" matches, a longer name does not.
  EXPECT_EQ(FindWindow("TestWindows", ""), nullptr);
}

TEST_F(WindowApiTest, FontHandlesMapToSharedFonts) {
  HFONT gui = GetStockFont(DEFAULT_GUI_FONT);
  ASSERT_NE(gui, nullptr);
  TFontDesc d;
  ASSERT_TRUE(GetFontDesc(gui, &d));
  EXPECT_EQ(d.Family, "Tahoma");
  EXPECT_EQ(d.Height, -11);
  EXPECT_FALSE(DeleteObject(gui));  // stock fonts stay
  EXPECT_TRUE(GetFontDesc(gui, nullptr));

  TFontDesc bold{"Tahoma", -13, true};
  HFONT f = CreateFontIndirect(bold);
  HFONT g = CreateFontIndirect(bold);
  EXPECT_NE(f, g);  // two handles, one shared font
  EXPECT_EQ(GetFontObject(f), GetFontObject(g));
  EXPECT_EQ(GetFontObject(f)->Desc(), bold);

  // WM_SETFONT/WM_GETFONT carry the handle.
  HWND h = MakeTop();
  SendMessage(h, WM_SETFONT, WPARAM(reinterpret_cast<std::uintptr_t>(f)), 0);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessage(h, WM_GETFONT)), f);

  // Selecting into a context answers the previous handle.
  HDC dc = GetDC(h);
  EXPECT_EQ(SelectObject(dc, f), gui);  // a fresh context draws with the GUI font
  EXPECT_EQ(dc->Font()->Desc(), bold);
  // A deleted handle is unknown; a context using its font keeps drawing with it.
  EXPECT_TRUE(DeleteObject(f));
  EXPECT_FALSE(DeleteObject(f));
  EXPECT_EQ(GetFontObject(f), nullptr);
  EXPECT_FALSE(GetFontDesc(f, &d));
  EXPECT_EQ(SelectObject(dc, f), nullptr);
  EXPECT_EQ(dc->Font()->Desc(), bold);
  EXPECT_EQ(SelectObject(dc, gui), g);  // the remaining handle of that font
  ReleaseDC(h, dc);
  EXPECT_EQ(GetStockFont(12345), nullptr);
  DeleteObject(g);
}

TEST_F(WindowApiTest, ColourAnswersFollowTheConvention) {
  static_assert(CtlColorResult(0) != 0, "black is an answer, not 'no answer'");
  std::uint32_t c = 1;
  EXPECT_FALSE(CtlColorFromResult(0, &c));
  EXPECT_FALSE(CtlColorFromResult(1, &c));  // a handle-like value is no answer
  EXPECT_EQ(c, 1u);
  ASSERT_TRUE(CtlColorFromResult(CtlColorResult(RGB(1, 2, 3)), &c));
  EXPECT_EQ(c, RGB(1, 2, 3));
  ASSERT_TRUE(CtlColorFromResult(CtlColorResult(0xFF00000F), &c));  // a system colour
  EXPECT_EQ(c, 0xFF00000Fu);

  HWND h = MakeTop();
  HWND child = MakeChild(h, 0, 0, 20, 20);
  HDC dc = GetDC(child);
  struct TCase {
    UINT Msg;
    int Back;
  };
  for (TCase t :
       {TCase{WM_CTLCOLOREDIT, COLOR_WINDOW}, TCase{WM_CTLCOLORLISTBOX, COLOR_WINDOW},
        TCase{WM_CTLCOLORSTATIC, COLOR_BTNFACE}, TCase{WM_CTLCOLORBTN, COLOR_BTNFACE},
        TCase{WM_CTLCOLORDLG, COLOR_BTNFACE}, TCase{WM_CTLCOLORSCROLLBAR, COLOR_SCROLLBAR}}) {
    dc->SetTextColor(RGB(9, 9, 9));
    LRESULT r = SendMessage(h, t.Msg, WPARAM(reinterpret_cast<std::uintptr_t>(dc)),
                            LPARAM(reinterpret_cast<std::uintptr_t>(child)));
    ASSERT_TRUE(CtlColorFromResult(r, &c)) << t.Msg;
    EXPECT_EQ(c, GetSysColor(t.Back)) << t.Msg;
    EXPECT_EQ(dc->TextColor(), GetSysColor(COLOR_WINDOWTEXT)) << t.Msg;
  }
  // Without a context it still answers (and touches nothing).
  EXPECT_TRUE(CtlColorFromResult(SendMessage(h, WM_CTLCOLOREDIT, 0, 0), nullptr));
  ReleaseDC(child, dc);
}

TEST_F(WindowApiTest, ContextsKnowTheirWindowAndTheScreenContextMeasures) {
  HWND h = MakeTop();
  ShowWindow(h, SW_SHOW);
  Pump();
  HDC a = GetDC(h);
  HDC b = GetWindowDC(h);
  EXPECT_EQ(WindowFromDC(a), h);
  EXPECT_EQ(WindowFromDC(b), h);
  ReleaseDC(h, a);
  EXPECT_EQ(WindowFromDC(a), nullptr);
  ReleaseDC(h, b);

  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(WindowFromDC(screen), nullptr);
  TSize ext;
  ASSERT_TRUE(GetTextExtentPoint32(screen, "Открыть", &ext));
  EXPECT_GT(ext.cx, 20);
  EXPECT_GT(ext.cy, 8);
  // Drawing on it reaches no window.
  const TBitmap before = *GetWindowStore(h);
  screen->FillRect(Rect(0, 0, 2000, 2000), RGB(1, 2, 3));
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
  EXPECT_EQ(ReleaseDC(nullptr, screen), 0);  // once only
  Pump();
  EXPECT_EQ(GetWindowStore(h)->GetPixel(150, 100), before.GetPixel(150, 100));
  EXPECT_EQ(WindowFromDC(nullptr), nullptr);
}

TEST_F(WindowApiTest, RightClicksAndTheMenuKeyAskForAContextMenuUpTheParents) {
  HWND top = MakeTop(100, 100, 300, 200);
  ShowWindow(top, SW_SHOW);
  HWND child = MakeChild(top, 10, 10, 100, 50);
  Pump();
  Log().clear();
  TPoint p{20, 20};
  ClientToScreen(child, &p);
  host.Click(p.X, p.Y, THostButton::Right);
  Pump();
  // The child does not answer: the request reaches the top window with the
  // child as wParam and the screen position of the release.
  std::vector<TLogged> asks;
  for (const TLogged& e : Log())
    if (e.Msg == WM_CONTEXTMENU) asks.push_back(e);
  ASSERT_EQ(asks.size(), 2u);
  EXPECT_EQ(asks[0].Hwnd, child);
  EXPECT_EQ(asks[1].Hwnd, top);
  EXPECT_EQ(asks[1].W, WPARAM(reinterpret_cast<std::uintptr_t>(child)));
  EXPECT_EQ(GET_X_LPARAM(asks[1].L), p.X);
  EXPECT_EQ(GET_Y_LPARAM(asks[1].L), p.Y);
  // From the keyboard the position is -1, -1: the menu key and Shift+F10.
  SetFocus(child);
  for (int round = 0; round < 2; ++round) {
    Log().clear();
    if (round == 0) {
      host.Key(VK_APPS);
    } else {
      host.KeyDown(VK_SHIFT);
      host.Key(VK_F10);
      host.KeyUp(VK_SHIFT);
    }
    Pump();
    std::vector<LPARAM> where;
    for (const TLogged& e : Log())
      if (e.Msg == WM_CONTEXTMENU && e.Hwnd == child) where.push_back(e.L);
    EXPECT_EQ(where, std::vector<LPARAM>{LPARAM(-1)}) << round;
    // Shift+F10 is no keyboard-menu key.
    EXPECT_TRUE(Messages(top, {WM_SYSCOMMAND}).empty()) << round;
  }
}

TEST_F(WindowApiTest, LosingActivationCancelsModesAndReleasesTheMouse) {
  HWND a = MakeTop(100, 100, 300, 200);
  HWND b = MakeTop(500, 100, 300, 200);
  ShowWindow(b, SW_SHOW);
  ShowWindow(a, SW_SHOW);
  HWND child = MakeChild(a, 10, 10, 50, 50);
  Pump();
  ASSERT_EQ(GetActiveWindow(), a);
  SetCapture(child);
  Log().clear();
  SetActiveWindow(b);
  EXPECT_EQ(Messages(child, {WM_CANCELMODE}).size(), 1u);
  EXPECT_EQ(Messages(a, {WM_CANCELMODE}).size(), 1u);
  EXPECT_EQ(GetCapture(), nullptr);  // DefWindowProc let go of it
  // The cancel comes before the frame turns inactive.
  auto order = Messages(a, {WM_CANCELMODE, WM_NCACTIVATE});
  ASSERT_EQ(order.size(), 2u);
  EXPECT_EQ(order[0], UINT(WM_CANCELMODE));
  // The desktop taking the focus away from the program cancels too.
  Log().clear();
  host.DesktopFocus(0);
  Pump();
  EXPECT_EQ(Messages(b, {WM_CANCELMODE}).size(), 1u);
}

LRESULT ThrowingPaint(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_PAINT) {
    TPaintDC paint(h);
    if (GetWindowLongPtr(h, GWLP_USERDATA) == 0) throw std::runtime_error("paint failed");
    paint.Dc()->FillRect(Rect(0, 0, 5, 5), clBlack);
    return 0;
  }
  if (m == WM_USER) {
    // A context taken and never given back by a failing handler.
    HDC dc = GetDC(h);
    SetProp(h, "dc", std::intptr_t(reinterpret_cast<std::uintptr_t>(dc)));
    throw std::runtime_error("user failed");
  }
  if (m == WM_SETCURSOR) throw std::logic_error("cursor failed");
  return DefWindowProc(h, m, w, l);
}

TEST_F(WindowApiTest, ExceptionsStopAtTheDispatchBoundaryAndGiveBackContexts) {
  WNDCLASS wc;
  wc.lpszClassName = "Throwing";
  wc.lpfnWndProc = &ThrowingPaint;
  RegisterClass(wc);
  HWND h = CreateWindowEx(0, "Throwing", "", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, nullptr);
  // The paint fails: reported, not asked again forever, and its context
  // (held by the scope object) is given back.
  EXPECT_NO_THROW(Pump());
  EXPECT_EQ(caught, std::vector<std::string>{"paint failed"});
  EXPECT_NO_THROW(Pump());
  EXPECT_EQ(caught.size(), 1u);
  // The next paint works.
  SetWindowLongPtr(h, GWLP_USERDATA, 1);
  InvalidateRect(h, nullptr, false);
  Pump();
  EXPECT_EQ(GetWindowStore(h)->GetPixel(1, 1), clBlack);

  // A leaked context of a failing posted message is given back by the boundary.
  PostMessage(h, WM_USER, 0, 0);
  Pump();
  ASSERT_EQ(caught.size(), 2u);
  EXPECT_EQ(caught[1], "user failed");
  HDC leaked = reinterpret_cast<HDC>(std::uintptr_t(GetProp(h, "dc")));
  ASSERT_NE(leaked, nullptr);
  EXPECT_EQ(WindowFromDC(leaked), nullptr);

  // Raw input: a procedure failing on WM_SETCURSOR costs that event only.
  host.MouseMove(20, 20);
  host.MouseMove(21, 21);
  EXPECT_NO_THROW(Pump());
  EXPECT_EQ(caught.size(), 4u);
  EXPECT_EQ(caught[3], "cursor failed");

  // A handler that throws itself is contained too.
  SetDispatchExceptionHandler([](std::exception_ptr) { throw 42; });
  PostMessage(h, WM_USER, 0, 0);
  EXPECT_NO_THROW(Pump());
  // Sent messages still throw to their sender (creation relies on it).
  EXPECT_THROW(SendMessage(h, WM_USER), std::runtime_error);
  DestroyWindow(h);
  UnregisterClass("Throwing");
}

}  // namespace
}  // namespace vm::test
