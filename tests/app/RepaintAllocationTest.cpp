// Repainting a window tree that has not changed allocates nothing once its
// buffers have grown: a framed window with standard controls and plain
// children over a background brush, the photo program's skinned main window
// with and without a photo, and hover changes on its close button and on a
// glyph button. This binary replaces the global operator new with one that
// counts (also under the address sanitizer, whose malloc it calls), so the
// counts below are every heap allocation the steps make.
#include <cstdint>
#include <functional>

#include "platform/controls/ControlDefs.h"
#include "platform/controls/Controls.h"
#include "platform/gfx/SysColors.h"
#include "skin/state/FadeTimer.h"
#include "tests/app/ProgramTestSupport.h"
#include "tests/bench/common/AllocationCount.h"

namespace vm::test {
namespace {

// Heap allocations made by repeated runs of step, after a few runs that let
// every reused buffer reach its size.
std::uint64_t AllocationsOf(const std::function<void()>& step) {
  for (int i = 0; i < 3; ++i) step();
  // VELMORA_TRACE_ALLOCS=0 prints where each counted allocation is made.
  const vm::bench::TAllocationTrace trace;
  const std::uint64_t before = vm::bench::AllocationCount();
  for (int i = 0; i < 5; ++i) step();
  return vm::bench::AllocationCount() - before;
}

// Everything of the window invalidated, painted and presented.
void FullRepaint(HWND h) {
  RedrawWindow(h, nullptr, nullptr,
               RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PresentWindows();
}

LRESULT FilledProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    TRect r;
    GetClientRect(h, &r);
    dc->FillRect({r.Left + 4, r.Top + 4, r.Right - 4, r.Bottom - 4}, RGB(40, 90, 160));
    TRect text = r;
    dc->SetBkMode(TRANSPARENT);
    dc->DrawText("Надпись, которая не помещается в строку", text,
                 DT_SINGLELINE | DT_END_ELLIPSIS | DT_VCENTER);
    EndPaint(h, &ps);
    return 0;
  }
  return DefWindowProc(h, m, w, l);
}

TEST(RepaintAllocations, FramedWindowWithChildrenAllocatesNothing) {
  PinFontConfiguration();
  THeadlessHost host;
  SetHost(&host);
  RegisterStandardControls();
  WNDCLASS wc;
  wc.lpszClassName = "AllocTestWindow";
  wc.lpfnWndProc = &FilledProc;
  wc.hbrBackground = GetSysColor(COLOR_BTNFACE);
  RegisterClass(wc);
  // Twelve children leave the parent a visible region of many bands, more
  // rectangles than a region holds without the heap.
  HWND top = CreateWindowEx(0, "AllocTestWindow", "Окно с очень длинным заголовком для обрезки",
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 10, 10, 713, 510, nullptr);
  for (int i = 0; i < 12; ++i) {
    const int x = 10 + (i % 4) * 170, y = 10 + (i / 4) * 150;
    if (i % 3 == 0)
      CreateWindowEx(0, WC_BUTTON, "&Кнопка", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x, y, 160, 140,
                     top);
    else if (i % 3 == 1)
      CreateWindowEx(0, WC_STATIC, "Текст\nв две строки", WS_CHILD | WS_VISIBLE | SS_LEFT, x, y,
                     160, 140, top);
    else
      CreateWindowEx(0, "AllocTestWindow", "", WS_CHILD | WS_VISIBLE, x, y, 160, 140, top);
  }
  ShowWindow(top, SW_SHOW);
  UpdateWindow(top);
  PresentWindows();
  const std::uint64_t presented = host.PresentedPixels();

  EXPECT_EQ(AllocationsOf([&] { FullRepaint(top); }), 0u);
  EXPECT_GT(host.PresentedPixels(), presented);  // the steps did paint and present

  DestroyWindow(top);
  UnregisterClass("AllocTestWindow");
  SetHost(nullptr);
}

class ProgramRepaintAllocations : public TProgramTest {
 protected:
  void SetUp() override {
    TProgramTest::SetUp();
    Start();
    main = app::frmMain->Handle();
    TRect r;
    GetWindowRect(main, &r);
    away = {r.Left + r.Width() / 2, r.Top + r.Height() / 2};
    host.MouseMove(away.X, away.Y);
    Pump();
  }
  // The pointer onto a point and off it again, each change painted and presented.
  void Hover(TPoint on) {
    host.MouseMove(on.X, on.Y);
    Pump();
    PresentWindows();
    host.MouseMove(away.X, away.Y);
    Pump();
    PresentWindows();
  }
  // A point over the close button, found by the window's own hit test.
  TPoint CloseButton() {
    TRect r;
    GetWindowRect(main, &r);
    for (int y = r.Top; y < r.Top + 30; ++y)
      for (int x = r.Right - 1; x > r.Right - 60; --x)
        if (SendMessage(main, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) return {x - 5, y + 5};
    return {};
  }

  HWND main = nullptr;
  TPoint away;
};

TEST_F(ProgramRepaintAllocations, FullRepaintAllocatesNothingWithAndWithoutPhoto) {
  ASSERT_TRUE(app::frmMain->sSkinManager1->Active());
  EXPECT_EQ(AllocationsOf([&] { FullRepaint(main); }), 0u) << "no photo";

  const std::string photo = File("photo.jpg");
  WriteJpeg(photo, 900, 700);
  app::frmMain->LoadPicture(photo);
  Pump();
  PresentWindows();
  EXPECT_EQ(AllocationsOf([&] { FullRepaint(main); }), 0u) << "photo shown";
}

TEST_F(ProgramRepaintAllocations, HoverChangesAllocateNothing) {
  const TPoint close = CloseButton();
  ASSERT_NE(close.X, 0);
  const std::uint64_t presented = host.PresentedPixels();
  EXPECT_EQ(AllocationsOf([&] { Hover(close); }), 0u) << "close button";
  EXPECT_GT(host.PresentedPixels(), presented);

  // Fades would move the glyph button's look on a timer the step never runs:
  // without them each change is the one repaint to the new look.
  const bool animationsWereOff = AnimationsOff;
  AnimationsOff = true;
  TRect r;
  GetWindowRect(app::frmMain->sBitBtn1->Handle(), &r);
  const TPoint button{r.Left + r.Width() / 2, r.Top + r.Height() / 2};
  const std::uint64_t allocations = AllocationsOf([&] { Hover(button); });
  AnimationsOff = animationsWereOff;
  EXPECT_EQ(allocations, 0u) << "glyph button";
}

}  // namespace
}  // namespace vm::test
