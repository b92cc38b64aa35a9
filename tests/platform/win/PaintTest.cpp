#include <gtest/gtest.h>

#include "WinTestSupport.h"
#include "platform/gfx/SysColors.h"

namespace vm::test {
namespace {

// Fills its whole client area with the colour in GWLP_USERDATA on WM_PAINT
// (no background erase), logging like the recording class.
LRESULT FillProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Log().push_back({h, m, w, l});
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    TRect r;
    GetClientRect(h, &r);
    dc->FillRect(r, TColor(GetWindowLongPtr(h, GWLP_USERDATA)));
    EndPaint(h, &ps);
    return 0;
  }
  return DefWindowProc(h, m, w, l);
}

constexpr TColor Red = RGB(255, 0, 0), Green = RGB(0, 255, 0), Blue = RGB(0, 0, 255),
                 Yellow = RGB(255, 255, 0);

class PaintTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    WNDCLASS wc;
    wc.lpszClassName = "Fill";
    wc.lpfnWndProc = &FillProc;
    RegisterClass(wc);
  }
  void TearDown() override {
    TWinTest::TearDown();
    UnregisterClass("Fill");
  }
  HWND Fill(HWND parent, TRect r, TColor c, DWORD style = WS_VISIBLE) {
    HWND h = parent ? CreateWindowEx(0, "Fill", "", WS_CHILD | style, r.Left, r.Top, r.Width(),
                                     r.Height(), parent)
                    : CreateWindowEx(0, "Fill", "", WS_POPUP | style, r.Left, r.Top, r.Width(),
                                     r.Height(), nullptr);
    SetWindowLongPtr(h, GWLP_USERDATA, LONG_PTR(c));
    return h;
  }
  TColor At(int x, int y) { return host.Screenshot().GetPixel(x, y); }
};

TEST_F(PaintTest, WindowRegionsClipPaintingAndHitTesting) {
  // A pop-up whose region is an L: the top strip and the left column.
  HWND pop = Fill(nullptr, Bounds(100, 100, 100, 100), Red, 0);
  TRegion l = TRegion::FromRects({Rect(0, 0, 100, 20), Rect(0, 0, 20, 100)});
  SetWindowRgn(pop, &l, false);
  ShowWindow(pop, SW_SHOW);
  // A child with a region: only its left half exists; the parent shows through the rest.
  HWND child = Fill(pop, Rect(0, 0, 100, 100), Blue);
  TRegion half(Rect(0, 0, 10, 100));
  SetWindowRgn(child, &half, true);
  UpdateWindow(pop);
  Pump();
  EXPECT_EQ(At(105, 150), Blue);                           // child's half inside the L
  EXPECT_EQ(At(115, 150), Red);                            // parent, beside the child's half
  EXPECT_EQ(At(150, 110), Red);                            // parent's top strip
  EXPECT_EQ(At(150, 150), GetSysColor(COLOR_BACKGROUND));  // cut away: the desktop
  // The store was never painted outside the region either.
  EXPECT_EQ(GetWindowStore(pop)->GetPixel(50, 50), clBlack);

  // Clicks in the cut-away part do not reach the window.
  Log().clear();
  host.Click(150, 150);
  host.Click(115, 150);
  host.Click(105, 150);
  Pump();
  EXPECT_EQ(Messages(pop, {WM_LBUTTONDOWN}).size(), 1u);
  EXPECT_EQ(Messages(child, {WM_LBUTTONDOWN}).size(), 1u);
  EXPECT_EQ(SendMessage(pop, WM_NCHITTEST, 0, MAKELPARAM(150, 150)), HTNOWHERE);
}

TEST_F(PaintTest, ClipChildrenAndClipSiblingsProtectWhatLiesAbove) {
  HWND parent = Fill(nullptr, Bounds(0, 0, 200, 100), Red, WS_CLIPCHILDREN);
  // A new child goes below its siblings: the one made first lies on top.
  HWND upper = Fill(parent, Bounds(40, 40, 60, 50), Blue, WS_VISIBLE | WS_CLIPSIBLINGS);
  HWND lower = Fill(parent, Bounds(10, 10, 60, 60), Green, WS_VISIBLE | WS_CLIPSIBLINGS);
  ShowWindow(parent, SW_SHOW);
  UpdateWindow(parent);
  Pump();
  EXPECT_EQ(At(20, 20), Green);
  EXPECT_EQ(At(50, 50), Blue);  // the upper sibling wins where they overlap
  EXPECT_EQ(At(150, 50), Red);
  // Painting the parent or the lower sibling again changes nothing above them.
  for (HWND h : {parent, lower}) {
    SetWindowLongPtr(h, GWLP_USERDATA, LONG_PTR(Yellow));
    InvalidateRect(h, nullptr, false);
    UpdateWindow(h);
  }
  Pump();
  EXPECT_EQ(At(50, 50), Blue);
  EXPECT_EQ(At(20, 20), Yellow);
  EXPECT_EQ(At(150, 50), Yellow);
  (void)upper;
  // Without WS_CLIPCHILDREN a parent's context covers its children.
  SetWindowLongPtr(parent, GWL_STYLE,
                   GetWindowLongPtr(parent, GWL_STYLE) & ~LONG_PTR(WS_CLIPCHILDREN));
  HDC dc = GetDC(parent);
  dc->FillRect(Rect(0, 0, 200, 100), Red);
  ReleaseDC(parent, dc);
  Pump();
  EXPECT_EQ(At(50, 50), Red);
}

TEST_F(PaintTest, UpdateRegionsLimitPaintingAndParentsPaintBeforeChildren) {
  HWND top = Fill(nullptr, Bounds(0, 0, 200, 100), Red);
  HWND child = Fill(top, Bounds(100, 0, 100, 100), Blue);
  ShowWindow(top, SW_SHOW);
  UpdateWindow(top);
  Pump();
  // Only the invalid part is repainted, even though the procedure fills everything.
  SetWindowLongPtr(top, GWLP_USERDATA, LONG_PTR(Green));
  TRect small = Rect(10, 10, 20, 20);
  InvalidateRect(top, &small, false);
  TRect upd;
  EXPECT_TRUE(GetUpdateRect(top, &upd, false));
  EXPECT_EQ(upd, small);
  std::uint64_t pixelsBefore = host.PresentedPixels();
  Pump();
  EXPECT_EQ(At(15, 15), Green);
  EXPECT_EQ(At(50, 50), Red);
  // Only the painted part went to the screen.
  EXPECT_EQ(host.PresentedPixels() - pixelsBefore, 100u);
  // Validated parts are not painted.
  InvalidateRect(top, nullptr, false);
  ValidateRect(top, nullptr);
  EXPECT_FALSE(GetUpdateRect(top, &upd, false));

  // Invalidating a parent without WS_CLIPCHILDREN repaints its children after it.
  Log().clear();
  InvalidateRect(top, nullptr, true);
  Pump();
  EXPECT_EQ(Messages(nullptr, {WM_PAINT}), (std::vector<UINT>{WM_PAINT, WM_PAINT}));
  EXPECT_EQ(Log().front().Hwnd, top);
  EXPECT_EQ(At(150, 50), Blue);
  // With WS_CLIPCHILDREN the child keeps its pixels and gets no WM_PAINT.
  SetWindowLongPtr(top, GWL_STYLE, GetWindowLongPtr(top, GWL_STYLE) | LONG_PTR(WS_CLIPCHILDREN));
  Log().clear();
  InvalidateRect(top, nullptr, true);
  Pump();
  EXPECT_TRUE(Messages(child, {WM_PAINT}).empty());
}

TEST_F(PaintTest, SetRedrawAndRedrawWindowFlags) {
  HWND top = MakeTop(0, 0, 200, 150);
  HWND child = MakeChild(top, 10, 10, 50, 50);
  ShowWindow(top, SW_SHOW);
  UpdateWindow(top);
  Pump();

  // Redraw off: invalidation is ignored, nothing is painted or presented.
  SendMessage(top, WM_SETREDRAW, 0, 0);
  Log().clear();
  InvalidateRect(top, nullptr, true);
  Pump();
  EXPECT_TRUE(Messages(nullptr, {WM_PAINT, WM_ERASEBKGND}).empty());
  EXPECT_FALSE(IsWindowVisible(child));
  SendMessage(top, WM_SETREDRAW, 1, 0);
  EXPECT_TRUE(IsWindowVisible(child));

  // RDW_UPDATENOW paints synchronously: frame, erase, paint; parent before child.
  Log().clear();
  RedrawWindow(top, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  std::vector<std::pair<HWND, UINT>> order;
  for (const TLogged& e : Log())
    if (e.Msg == WM_NCPAINT || e.Msg == WM_ERASEBKGND || e.Msg == WM_PAINT)
      order.push_back({e.Hwnd, e.Msg});
  // (The erase is sent from inside BeginPaint, so it is logged after WM_PAINT.)
  EXPECT_EQ(order, (std::vector<std::pair<HWND, UINT>>{{top, WM_NCPAINT},
                                                       {top, WM_PAINT},
                                                       {top, WM_ERASEBKGND},
                                                       {child, WM_NCPAINT},
                                                       {child, WM_PAINT},
                                                       {child, WM_ERASEBKGND}}));
  // RDW_NOERASE: a paint without an erase; RDW_ERASENOW: an erase without a paint.
  Log().clear();
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW);
  EXPECT_EQ(Messages(top, {WM_ERASEBKGND, WM_PAINT}), std::vector<UINT>{WM_PAINT});
  Log().clear();
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
  EXPECT_EQ(Messages(top, {WM_ERASEBKGND, WM_PAINT}), std::vector<UINT>{WM_ERASEBKGND});
  Pump();
  EXPECT_EQ(Messages(top, {WM_ERASEBKGND, WM_PAINT}), (std::vector<UINT>{WM_ERASEBKGND, WM_PAINT}));
  // RDW_VALIDATE takes a pending update away.
  Log().clear();
  InvalidateRect(top, nullptr, true);
  RedrawWindow(top, nullptr, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
  Pump();
  EXPECT_TRUE(Messages(top, {WM_PAINT}).empty());
}

TEST_F(PaintTest, PrintDrawsAWindowAndItsChildrenIntoAnyContext) {
  HWND top = Fill(nullptr, Bounds(0, 0, 120, 80), Red);
  Fill(top, Bounds(20, 20, 30, 30), Blue);
  // WM_PRINTCLIENT is answered like WM_PAINT by these windows.
  auto printer = WNDPROC::FromClosure([](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_PRINTCLIENT) {
      HDC dc = reinterpret_cast<HDC>(w);
      TRect r;
      GetClientRect(h, &r);
      dc->FillRect(r, TColor(GetWindowLongPtr(h, GWLP_USERDATA)));
      return 0;
    }
    return FillProc(h, m, w, l);
  });
  SetWindowProc(top, printer);
  SetWindowProc(GetWindow(top, GW_CHILD), printer);
  ShowWindow(top, SW_SHOW);
  TBitmap target(120, 80);
  TDC dc(target);
  SendMessage(top, WM_PRINT, WPARAM(reinterpret_cast<std::uintptr_t>(&dc)),
              PRF_CLIENT | PRF_CHILDREN | PRF_NONCLIENT);
  EXPECT_EQ(target.GetPixel(5, 5), Red);
  EXPECT_EQ(target.GetPixel(30, 30), Blue);
  EXPECT_EQ(target.GetPixel(55, 55), Red);
}

TEST_F(PaintTest, FrameHitTestsAndSystemCommands) {
  HWND h = MakeTop(100, 100, 300, 200);
  ShowWindow(h, SW_SHOW);
  auto hit = [&](int x, int y) {
    return SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(100 + x, 100 + y));
  };
  EXPECT_EQ(hit(150, 100), HTCLIENT);
  EXPECT_EQ(hit(150, 10), HTCAPTION);
  EXPECT_EQ(hit(0, 0), HTTOPLEFT);
  EXPECT_EQ(hit(299, 199), HTBOTTOMRIGHT);
  EXPECT_EQ(hit(0, 100), HTLEFT);
  EXPECT_EQ(hit(150, 199), HTBOTTOM);
  EXPECT_EQ(hit(8, 12), HTSYSMENU);
  EXPECT_EQ(hit(300 - 4 - 2 - 8, 4 + 2 + 7), HTCLOSE);
  EXPECT_EQ(hit(300 - 4 - 2 - 16 - 2 - 8, 13), HTMAXBUTTON);
  EXPECT_EQ(hit(300 - 4 - 2 - 16 - 2 - 16 - 8, 13), HTMINBUTTON);
  EXPECT_EQ(hit(-1, 50), HTNOWHERE);
  TRect client;
  GetClientRect(h, &client);
  EXPECT_EQ(client, Rect(0, 0, 300 - 8, 200 - 8 - 19));

  // Maximise by a double click on the caption, restore by another.
  host.DoubleClick(250, 110);
  Pump();
  EXPECT_TRUE(IsZoomed(h));
  TRect r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r, Rect(-4, -4, 1284, 1028));
  // The work area is the host's: a panel at the bottom shortens a maximised window.
  SendMessage(h, WM_SYSCOMMAND, SC_RESTORE, 0);
  host.SetWorkArea(Rect(0, 0, 1280, 990));
  ShowWindow(h, SW_MAXIMIZE);
  GetWindowRect(h, &r);
  EXPECT_EQ(r, Rect(-4, -4, 1284, 994));
  MONITORINFO mi;
  ASSERT_TRUE(GetMonitorInfo(MonitorFromWindow(h, MONITOR_DEFAULTTONEAREST), &mi));
  EXPECT_EQ(mi.rcMonitor, Rect(0, 0, 1280, 1024));
  EXPECT_EQ(mi.rcWork, Rect(0, 0, 1280, 990));
  EXPECT_EQ(MonitorFromPoint({-50, 5}, MONITOR_DEFAULTTONULL), nullptr);
  EXPECT_EQ(SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(-2, 200)),
            HTBORDER);  // no sizing when maximised
  SendMessage(h, WM_SYSCOMMAND, SC_RESTORE, 0);
  GetWindowRect(h, &r);
  EXPECT_EQ(r, Bounds(100, 100, 300, 200));
  // Sizing by the bottom-right corner keeps the minimum track size.
  EXPECT_EQ(SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(399, 299)), HTBOTTOMRIGHT);
  Log().clear();
  host.Drag({399, 299}, {450, 320});
  Pump();
  GetWindowRect(h, &r);
  EXPECT_EQ(r, Bounds(100, 100, 351, 221));
  host.Drag({450, 320}, {0, 0});
  Pump();
  GetWindowRect(h, &r);
  EXPECT_EQ(r, Bounds(100, 100, GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)));
  // Minimise hides it from the screen and takes the activation away.
  SendMessage(h, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(h));
  EXPECT_TRUE(host.Native(GetHostWindow(h))->Minimized);
  ShowWindow(h, SW_RESTORE);
  EXPECT_FALSE(IsIconic(h));
  EXPECT_EQ(GetActiveWindow(), h);
}

}  // namespace
}  // namespace vm::test

namespace vm::test {
namespace {

TEST_F(PaintTest, WindowsAdjustMaximisingAndDraggingThroughTheirAnswers) {
  HWND h = MakeTop(100, 100, 300, 200);
  ShowWindow(h, SW_SHOW);
  // A window that limits its size and snaps its moves to a 10-pixel grid.
  SetWindowProc(h, WNDPROC::FromClosure([](HWND hw, UINT m, WPARAM w, LPARAM l) -> LRESULT {
                  if (m == WM_GETMINMAXINFO) {
                    auto* mmi = reinterpret_cast<MINMAXINFO*>(l);
                    mmi->ptMaxSize = {640, 480};
                    mmi->ptMaxPosition = {20, 10};
                    mmi->ptMinTrackSize = {200, 150};
                    mmi->ptMaxTrackSize = {400, 300};
                    return 0;
                  }
                  if (m == WM_MOVING) {
                    auto* r = reinterpret_cast<TRect*>(l);
                    *r = r->Offset(-(r->Left % 10), -(r->Top % 10));
                    return 1;
                  }
                  return DefWindowProc(hw, m, w, l);
                }));
  host.Drag({250, 110}, {263, 127});
  Pump();
  TRect r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r, Bounds(110, 110, 300, 200));
  host.Drag({409, 309}, {700, 700});  // bottom-right corner, far out
  Pump();
  GetWindowRect(h, &r);
  EXPECT_EQ(r, Bounds(110, 110, 400, 300));
  host.Drag({509, 409}, {0, 0});
  Pump();
  GetWindowRect(h, &r);
  EXPECT_EQ(r, Bounds(110, 110, 200, 150));
  ShowWindow(h, SW_MAXIMIZE);
  GetWindowRect(h, &r);
  EXPECT_EQ(r, Bounds(20, 10, 640, 480));
}

}  // namespace
}  // namespace vm::test

namespace vm::test {
namespace {

TEST_F(PaintTest, TheCaretBlinksOnTheScreenButNeverEntersTheStore) {
  HWND top = Fill(nullptr, Bounds(0, 0, 100, 60), RGB(255, 255, 255));
  ShowWindow(top, SW_SHOW);
  UpdateWindow(top);
  ASSERT_TRUE(CreateCaret(top, nullptr, 2, 10));
  SetCaretPos(5, 5);
  Pump();
  EXPECT_EQ(At(5, 5), RGB(255, 255, 255));  // created hidden
  ShowCaret(top);
  Pump();
  EXPECT_EQ(At(5, 5), RGB(0, 0, 0));
  EXPECT_EQ(At(6, 14), RGB(0, 0, 0));
  EXPECT_EQ(At(7, 5), RGB(255, 255, 255));
  EXPECT_EQ(GetWindowStore(top)->GetPixel(5, 5), RGB(255, 255, 255));
  host.AdvanceClock(GetCaretBlinkTime());
  Pump();
  EXPECT_EQ(At(5, 5), RGB(255, 255, 255));
  host.AdvanceClock(GetCaretBlinkTime());
  Pump();
  EXPECT_EQ(At(5, 5), RGB(0, 0, 0));
  // Repainting under a shown caret keeps it whole.
  SetWindowLongPtr(top, GWLP_USERDATA, LONG_PTR(RGB(0, 0, 255)));
  InvalidateRect(top, nullptr, false);
  Pump();
  EXPECT_EQ(At(5, 5), RGB(255, 255, 0));
  EXPECT_EQ(At(50, 50), RGB(0, 0, 255));
  // Moving shows it at once in the new place; hiding takes it away.
  host.AdvanceClock(GetCaretBlinkTime());
  Pump();
  SetCaretPos(40, 20);
  Pump();
  EXPECT_EQ(At(5, 5), RGB(0, 0, 255));
  EXPECT_EQ(At(40, 20), RGB(255, 255, 0));
  HideCaret(top);
  Pump();
  EXPECT_EQ(At(40, 20), RGB(0, 0, 255));
  ShowCaret(top);
  DestroyWindow(top);
  EXPECT_FALSE(GetCaretPos(nullptr));
  TPoint p;
  EXPECT_FALSE(GetCaretPos(&p));  // the caret went with its window
}

}  // namespace
}  // namespace vm::test

namespace vm::test {
namespace {

TEST_F(PaintTest, GetDCExNarrowsToAScreenRegion) {
  HWND top = MakeTop(100, 100, 200, 150);
  ShowWindow(top, SW_SHOW);
  UpdateWindow(top);
  Pump();
  TColor before = At(150, 150);
  // The window's own coordinates start at its top-left corner on the screen.
  TRegion rgn(Bounds(110, 110, 10, 10));
  HDC dc = GetDCEx(top, &rgn, DCX_WINDOW | DCX_INTERSECTRGN);
  dc->FillRect(Rect(0, 0, 200, 150), Red);
  ReleaseDC(top, dc);
  Pump();
  EXPECT_EQ(At(115, 115), Red);
  EXPECT_EQ(At(150, 150), before);
  dc = GetDCEx(top, &rgn, DCX_EXCLUDERGN);
  dc->FillRect(Rect(0, 0, 200, 150), Green);
  ReleaseDC(top, dc);
  Pump();
  EXPECT_EQ(At(115, 115), Red);  // frame: outside the client context anyway
  EXPECT_EQ(At(150, 150), Green);
  EXPECT_EQ(GetDCEx(nullptr, nullptr, 0), nullptr);
}

}  // namespace
}  // namespace vm::test

namespace vm::test {
namespace {

TEST_F(PaintTest, ScrollingMovesChildrenWithTheContents) {
  HWND top = Fill(nullptr, Bounds(0, 0, 200, 150), Red);
  HWND child = Fill(top, Bounds(10, 10, 30, 30), Blue);
  ShowWindow(top, SW_SHOW);
  UpdateWindow(top);
  Pump();
  Log().clear();
  ScrollWindow(top, 20, -5, nullptr, nullptr);
  Pump();
  TRect r;
  GetWindowRect(child, &r);
  EXPECT_EQ(r, Bounds(30, 5, 30, 30));
  EXPECT_EQ(Messages(child, {WM_MOVE}).size(), 1u);
  EXPECT_EQ(At(40, 20), Blue);
  EXPECT_EQ(At(15, 35), Red);
}

}  // namespace
}  // namespace vm::test

namespace vm::test {
namespace {

TEST_F(PaintTest, ShowingAChildKeepsItsPlaceInTheZOrder) {
  HWND top = MakeTop();
  HWND first = MakeChild(top, 0, 0, 10, 10, WS_VISIBLE);
  HWND second = MakeChild(top, 0, 0, 10, 10, 0);  // hidden, created last: lowest
  EXPECT_EQ(GetWindow(top, GW_CHILD), first);
  ShowWindow(second, SW_SHOW);
  EXPECT_EQ(GetWindow(top, GW_CHILD), first);
  EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), second);
  BringWindowToTop(second);
  EXPECT_EQ(GetWindow(top, GW_CHILD), second);
}

// Creation order is the z-order: the first child made is the top one
// (GW_CHILD), GW_HWNDNEXT walks on in creation order, and the top one is hit
// first and painted last. SetParent makes a window the top of its new
// siblings, as on the platform.
TEST_F(PaintTest, ChildrenStackInCreationOrderForWalksHitsAndPainting) {
  HWND top = Fill(nullptr, Bounds(0, 0, 200, 100), Red, WS_CLIPCHILDREN);
  HWND a = Fill(top, Bounds(10, 10, 60, 60), Green, WS_VISIBLE | WS_CLIPSIBLINGS);
  HWND b = Fill(top, Bounds(40, 10, 60, 60), Blue, WS_VISIBLE | WS_CLIPSIBLINGS);
  HWND c = Fill(top, Bounds(70, 10, 60, 60), Yellow, WS_VISIBLE | WS_CLIPSIBLINGS);
  EXPECT_EQ(GetWindow(top, GW_CHILD), a);
  EXPECT_EQ(GetTopWindow(top), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), c);
  EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), nullptr);
  EXPECT_EQ(GetWindow(c, GW_HWNDPREV), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDFIRST), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDLAST), c);
  std::vector<HWND> walked;
  EnumChildWindows(top, [&](HWND h) {
    walked.push_back(h);
    return true;
  });
  EXPECT_EQ(walked, (std::vector<HWND>{a, b, c}));

  ShowWindow(top, SW_SHOW);
  UpdateWindow(top);
  Pump();
  // Where a and b overlap a lies on top; where b and c overlap, b.
  EXPECT_EQ(At(50, 30), Green);
  EXPECT_EQ(At(80, 30), Blue);
  EXPECT_EQ(At(120, 30), Yellow);
  EXPECT_EQ(ChildWindowFromPoint(top, {50, 30}), a);
  EXPECT_EQ(WindowFromPoint({80, 30}), b);
  Log().clear();
  host.Click(50, 30);
  Pump();
  EXPECT_EQ(Messages(a, {WM_LBUTTONDOWN}).size(), 1u);
  EXPECT_TRUE(Messages(b, {WM_LBUTTONDOWN}).empty());

  // Raised, c covers b and is hit there.
  BringWindowToTop(c);
  UpdateWindow(top);
  Pump();
  EXPECT_EQ(GetWindow(top, GW_CHILD), c);
  EXPECT_EQ(At(80, 30), Yellow);
  EXPECT_EQ(WindowFromPoint({80, 30}), c);
  SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), c);

  // A window moved to another parent lands on top of its new siblings.
  HWND other = Fill(nullptr, Bounds(0, 120, 200, 100), Red, WS_CLIPCHILDREN);
  HWND first = Fill(other, Bounds(0, 0, 50, 50), Green);
  EXPECT_EQ(SetParent(b, other), top);
  EXPECT_EQ(GetWindow(other, GW_CHILD), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), first);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), c);
  // A new child still goes below them.
  HWND later = Fill(other, Bounds(0, 0, 10, 10), Blue);
  EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), later);
}

}  // namespace
}  // namespace vm::test
