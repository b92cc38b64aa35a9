// Visible regions kept per window: after every kind of change to a random
// window tree the kept region equals one computed afresh, a repaint of an
// unchanged tree keeps them, and what a context draws is all that reaches
// the host.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "platform/win/WindowSystem.h"
#include "tests/platform/win/WinTestSupport.h"

namespace vm::test {
namespace {

bool SamePixels(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.PixelFormat() != b.PixelFormat())
    return false;
  const std::size_t row = std::size_t(a.Width()) * std::size_t(a.BytesPerPixel());
  for (int y = 0; y < a.Height(); ++y)
    if (std::memcmp(a.ScanLine(y), b.ScanLine(y), row) != 0) return false;
  return true;
}

class VisibleRegionTest : public TWinTest {
 protected:
  // Every window of the tree under top, top included.
  std::vector<HWND> All(HWND top) {
    std::vector<HWND> out{top};
    for (std::size_t i = 0; i < out.size(); ++i)
      for (HWND c = GetWindow(out[i], GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
    return out;
  }
  void ExpectFresh(HWND top, const char* step) {
    TWindowSystem& ws = TWindowSystem::Get();
    for (HWND h : All(top)) {
      TWnd* w = ws.Find(h);
      ASSERT_TRUE(w);
      for (int k = 0; k < 4; ++k) {
        const TDCFlags f{(k & 1) != 0, (k & 2) != 0};
        ASSERT_EQ(ws.CachedVisibleRegion(w, f), ws.VisibleRegion(w, f))
            << "after " << step << ", window " << h << ", flags " << k;
      }
    }
  }
  // A context narrowed to a client rectangle reaches exactly the kept region
  // cut to that rectangle, whichever way the cut is made.
  void ExpectNarrowedContexts(HWND top, std::mt19937& rng, const char* step) {
    TWindowSystem& ws = TWindowSystem::Get();
    for (HWND h : All(top)) {
      TWnd* w = ws.Find(h);
      for (int k = 0; k < 4; ++k) {
        const TDCFlags f{(k & 1) != 0, (k & 2) != 0};
        const int x = int(rng() % 200) - 30, y = int(rng() % 160) - 30;
        const TRect r = Bounds(x, y, 1 + int(rng() % 40), 1 + int(rng() % 40));
        const TRegion clip(r);
        TRegion expected = ws.VisibleRegion(w, f);
        const TPoint c = ws.PartOrigin(w, true), o = ws.PartOrigin(w, f.Client);
        expected.Intersect(r.Offset(c.X, c.Y));
        expected.Offset(-o.X, -o.Y);
        HDC dc = ws.MakeDC(w, f, &clip);
        ASSERT_EQ(dc->VisibleRegion(), expected)
            << "after " << step << ", window " << h << ", flags " << k;
        ws.ReleaseDCInternal(w, dc);
      }
    }
  }
};

TEST_F(VisibleRegionTest, KeptRegionsFollowEveryKindOfChangeInRandomTrees) {
  std::mt19937 rng(20261208);
  auto pick = [&](int n) { return int(rng() % unsigned(n)); };
  for (int round = 0; round < 6; ++round) {
    HWND top = MakeTop(10, 10, 320, 240, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
    ShowWindow(top, SW_SHOW);
    auto randomChild = [&](HWND parent) {
      DWORD style = WS_VISIBLE;
      if (pick(2)) style |= WS_CLIPSIBLINGS;
      if (pick(2)) style |= WS_CLIPCHILDREN;
      if (pick(3) == 0) style |= WS_BORDER;
      return MakeChild(parent, pick(200) - 20, pick(150) - 20, 10 + pick(120), 10 + pick(90),
                       style);
    };
    for (int i = 0; i < 10; ++i) {
      std::vector<HWND> all = All(top);
      randomChild(all[std::size_t(pick(int(all.size())))]);
    }
    ExpectFresh(top, "building");
    for (int step = 0; step < 60; ++step) {
      std::vector<HWND> all = All(top);
      std::vector<HWND> kids(all.begin() + 1, all.end());
      const char* what = "";
      if (kids.empty()) {
        randomChild(top);
        continue;
      }
      HWND c = kids[std::size_t(pick(int(kids.size())))];
      switch (pick(12)) {
        case 0:
          what = "move";
          SetWindowPos(c, nullptr, pick(200) - 20, pick(150) - 20, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
          break;
        case 1:
          what = "resize";
          SetWindowPos(c, nullptr, 0, 0, 5 + pick(150), 5 + pick(100),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
          break;
        case 2: {
          what = "z order";
          const HWND after[] = {HWND_TOP, HWND_BOTTOM, kids[std::size_t(pick(int(kids.size())))]};
          SetWindowPos(c, after[pick(3)], 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
          break;
        }
        case 3: {
          what = "region";
          if (pick(3) == 0) {
            SetWindowRgn(c, nullptr, false);
          } else {
            TRegion r = TRegion::FromRects({Rect(0, 0, 20, 20), Rect(10, 5, 60, 40)});
            SetWindowRgn(c, &r, false);
          }
          break;
        }
        case 4:
          what = "show/hide";
          ShowWindow(c, IsWindowVisible(c) ? SW_HIDE : SW_SHOW);
          break;
        case 5:
          what = "child added";
          randomChild(pick(2) ? top : c);
          break;
        case 6:
          what = "child destroyed";
          DestroyWindow(c);
          break;
        case 7: {
          what = "clipping styles";
          LONG_PTR s = GetWindowLongPtr(c, GWL_STYLE);
          SetWindowLongPtr(c, GWL_STYLE, s ^ (pick(2) ? WS_CLIPSIBLINGS : WS_CLIPCHILDREN));
          break;
        }
        case 8:
          what = "redraw off and on";
          SendMessage(c, WM_SETREDRAW, pick(2), 0);
          break;
        case 9: {
          what = "new parent";
          HWND p = all[std::size_t(pick(int(all.size())))];
          if (p != c && !IsChild(c, p)) SetParent(c, p);
          break;
        }
        case 10: {
          what = "frame style changed";
          LONG_PTR s = GetWindowLongPtr(c, GWL_STYLE);
          SetWindowLongPtr(c, GWL_STYLE, s ^ WS_BORDER);
          SetWindowPos(c, nullptr, 0, 0, 0, 0,
                       SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
          break;
        }
        case 11: {
          what = "changes that change nothing";
          {
            TRect r;
            GetWindowRect(c, &r);
            TPoint p{r.Left, r.Top};
            ScreenToClient(GetParent(c), &p);
            SetWindowPos(c, nullptr, p.X, p.Y, r.Width(), r.Height(),
                         SWP_NOZORDER | SWP_NOACTIVATE);
          }
          SetWindowPos(c, GetWindow(c, GW_HWNDPREV) ? GetWindow(c, GW_HWNDPREV) : HWND_TOP, 0, 0, 0,
                       0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
          SendMessage(c, WM_SETREDRAW, IsWindowVisible(c) ? 1 : 0, 0);
          RedrawWindow(c, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
          break;
        }
      }
      ExpectFresh(top, what);
      ExpectNarrowedContexts(top, rng, what);
      // Moving the top-level window or a frame change moves nothing inside it.
      if (step % 20 == 0) {
        SetWindowPos(top, nullptr, 10 + step, 10, 320 + step, 240, SWP_NOZORDER | SWP_NOACTIVATE);
        ExpectFresh(top, "top-level move");
      }
    }
    DestroyWindow(top);
  }
}

TEST_F(VisibleRegionTest, RepaintingAnUnchangedTreeKeepsTheRegions) {
  HWND top = MakeTop(0, 0, 300, 200, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
  for (int i = 0; i < 12; ++i) MakeChild(top, 10 + (i % 4) * 60, 10 + (i / 4) * 40, 50, 30);
  ShowWindow(top, SW_SHOW);
  UpdateWindow(top);
  Pump();
  TWindowSystem& ws = TWindowSystem::Get();
  const std::uint64_t generation = ws.TreeGeneration;
  RedrawWindow(top, nullptr, nullptr,
               RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PresentWindows();
  EXPECT_EQ(ws.TreeGeneration, generation);
  ExpectFresh(top, "repaint");
}

TEST_F(VisibleRegionTest, ChangesThatChangeNothingKeepTheRegions) {
  HWND top = MakeTop(0, 0, 300, 200, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
  HWND a = MakeChild(top, 10, 10, 120, 80, WS_VISIBLE | WS_BORDER | WS_CLIPSIBLINGS);
  HWND b = MakeChild(top, 60, 40, 120, 80, WS_VISIBLE | WS_CLIPSIBLINGS);
  const TRegion shape = TRegion::FromRects({Rect(0, 0, 50, 50), Rect(20, 10, 110, 70)});
  SetWindowRgn(b, &shape, false);
  ShowWindow(top, SW_SHOW);
  UpdateWindow(top);
  Pump();
  TWindowSystem& ws = TWindowSystem::Get();
  const std::uint64_t generation = ws.TreeGeneration;
  struct {
    const char* What;
    std::function<void()> Do;
  } const steps[] = {
      {"the same region again", [&] { SetWindowRgn(b, &shape, true); }},
      {"the same place and size", [&] { SetWindowPos(a, nullptr, 10, 10, 120, 80, SWP_NOZORDER); }},
      {"a frame change keeping the client area",
       [&] {
         SetWindowPos(a, nullptr, 0, 0, 0, 0,
                      SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
       }},
      {"raising the top child",
       [&] { SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }},
      {"below the window it is already below",
       [&] { SetWindowPos(b, a, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }},
      {"showing a shown window", [&] { ShowWindow(a, SW_SHOW); }},
      {"redraw on while on", [&] { SendMessage(b, WM_SETREDRAW, 1, 0); }},
      {"the same style", [&] { SetWindowLongPtr(a, GWL_STYLE, GetWindowLongPtr(a, GWL_STYLE)); }},
      {"a full repaint",
       [&] {
         RedrawWindow(top, nullptr, nullptr,
                      RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
         PresentWindows();
       }},
  };
  for (const auto& step : steps) {
    step.Do();
    EXPECT_EQ(ws.TreeGeneration, generation) << step.What;
    ExpectFresh(top, step.What);
  }
  // A real change still counts.
  SetWindowPos(a, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_NE(ws.TreeGeneration, generation);
  ExpectFresh(top, "lowered");
}

TEST_F(VisibleRegionTest, ContextsAreHandedOutAgainAsNew) {
  HWND top = MakeTop(0, 0, 300, 200, WS_OVERLAPPEDWINDOW);
  ShowWindow(top, SW_SHOW);
  UpdateWindow(top);
  HDC dc = GetDC(top);
  dc->SetTextColor(RGB(1, 2, 3));
  dc->SaveDC();
  dc->IntersectClipRect({0, 0, 5, 5});
  dc->SetViewportOrg({7, 7});
  dc->FillRect({0, 0, 5, 5}, RGB(9, 9, 9));
  ReleaseDC(top, dc);
  EXPECT_EQ(WindowFromDC(dc), nullptr);
  HDC again = GetWindowDC(top);
  EXPECT_EQ(again, dc);                    // the released context is reused...
  EXPECT_EQ(again->TextColor(), clBlack);  // ...as a new one
  EXPECT_EQ(again->SaveDepth(), 0);
  EXPECT_FALSE(again->GetClipRgn());
  EXPECT_EQ(again->ViewportOrg(), TPoint{});
  EXPECT_TRUE(again->PaintedBounds().IsEmpty());
  EXPECT_EQ(again->DeviceOrigin(), TPoint{});
  EXPECT_EQ(again->ClipBox(), Rect(0, 0, 300, 200));
  EXPECT_EQ(WindowFromDC(again), top);
  ReleaseDC(top, again);
}

TEST_F(VisibleRegionTest, ATitleButtonPresentsOnlyItsRectangle) {
  HWND top = MakeTop(40, 30, 300, 200, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
  MakeChild(top, 10, 10, 100, 60);
  ShowWindow(top, SW_SHOW);
  UpdateWindow(top);
  Pump();
  PresentWindows();
  TRect r;
  GetWindowRect(top, &r);
  TPoint close;
  for (int y = r.Top; y < r.Top + 30 && !close.X; ++y)
    for (int x = r.Right - 1; x > r.Right - 40 && !close.X; --x)
      if (SendMessage(top, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) close = {x - 3, y + 3};
  ASSERT_NE(close.X, 0);
  const TRect button = CaptionButtonRect(TWindowSystem::Get().Find(top), HTCLOSE);
  const THostWindow native = GetHostWindow(top);
  auto fullFrameShot = [&] {
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    PresentWindows();
    return host.WindowShot(native);
  };
  const TBitmap up = host.WindowShot(native);
  // Pressed, moved off, back on: each look change presents the button alone,
  // and the pixels equal those of a whole frame painted in the same state.
  host.MouseMove(close.X, close.Y);
  host.MouseDown();
  Pump();
  PresentWindows();
  EXPECT_EQ(host.LastPresentedWindow(), native);
  EXPECT_EQ(host.LastPresentedRects(), std::vector<TRect>{button});
  const TBitmap pressed = host.WindowShot(native);
  EXPECT_FALSE(SamePixels(pressed, up));
  EXPECT_TRUE(SamePixels(fullFrameShot(), pressed));
  host.MouseMove(close.X - 60, close.Y + 60);
  Pump();
  PresentWindows();
  EXPECT_EQ(host.LastPresentedRects(), std::vector<TRect>{button});
  EXPECT_TRUE(SamePixels(host.WindowShot(native), up));
  host.MouseMove(close.X, close.Y);
  Pump();
  PresentWindows();
  EXPECT_EQ(host.LastPresentedRects(), std::vector<TRect>{button});
  EXPECT_TRUE(SamePixels(host.WindowShot(native), pressed));
  // Let go off the button: nothing is closed, the button comes back up alone.
  host.MouseMove(close.X - 60, close.Y + 60);
  host.MouseUp();
  Pump();
  PresentWindows();
  EXPECT_TRUE(IsWindow(top));
  EXPECT_TRUE(SamePixels(host.WindowShot(native), up));
  EXPECT_TRUE(SamePixels(fullFrameShot(), up));
}

TEST_F(VisibleRegionTest, OnlyWhatAContextDrawsIsPresented) {
  HWND top = MakeTop(0, 0, 300, 200, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
  HWND child = MakeChild(top, 20, 20, 100, 60);
  ShowWindow(top, SW_SHOW);
  UpdateWindow(top);
  Pump();
  PresentWindows();
  // A window context over the whole frame that copies one 22 x 22 button.
  std::uint64_t rects = host.PresentedRects(), pixels = host.PresentedPixels();
  HDC dc = GetWindowDC(top);
  TBitmap button(22, 22, TPixelFormat::pf24bit);
  button.Fill(RGB(200, 30, 30));
  dc->BitBlt(250, 4, 22, 22, button, 0, 0);
  ReleaseDC(top, dc);
  PresentWindows();
  EXPECT_EQ(host.PresentedPixels() - pixels, 22u * 22u);
  EXPECT_EQ(host.PresentedRects() - rects, 1u);
  EXPECT_EQ(host.Screenshot().GetPixel(260, 10), RGB(200, 30, 30));
  // A context that draws nothing presents nothing; one that draws partly
  // under a sibling presents only what it could reach.
  pixels = host.PresentedPixels();
  ReleaseDC(child, GetDC(child));
  PresentWindows();
  EXPECT_EQ(host.PresentedPixels(), pixels);
  dc = GetDC(child);
  dc->FillRect({90, 50, 140, 90}, RGB(1, 2, 3));  // 10 x 10 inside the 100 x 60 child
  ReleaseDC(child, dc);
  PresentWindows();
  EXPECT_EQ(host.PresentedPixels() - pixels, 100u);
}

}  // namespace
}  // namespace vm::test
