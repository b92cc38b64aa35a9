// The push-button subclass on a dialog's OK and Cancel buttons: the looks of
// its states as golden pictures, hover through the manager's hot window,
// the platform's own painting kept out, detachment, windows too small, and
// the plain look where the skin lacks the button's section.
#include "skin/data/SkinManager.h"
#include "skin/subclass/HotWindow.h"
#include "tests/skin/subclass/SubclassTestSupport.h"

namespace vm::test {
namespace {

class ButtonSubclass : public TSubclassTest {};

TEST_F(ButtonSubclass, StatesOfTheDialogButtonsAsPictures) {
  MakeDialog();
  const TBitmap plain = Shot(dialog);
  TAttached a = Attach(ok), b = Attach(cancel);
  host.MouseMove(4, 4);  // over the form, on no button
  Pump();
  // The default OK button shows the hot look with the focus on the edit and
  // the mouse elsewhere; Cancel is normal.
  EXPECT_EQ(a.Wnd->StateIndex(), 1);
  EXPECT_EQ(b.Wnd->StateIndex(), 0);
  const TBitmap normal = Shot(dialog);
  CompareSubclassGolden("normal", normal);
  EXPECT_NE(CountColour(normal, TRect{0, 0, 220, 52}, 0), -1);
  EXPECT_FALSE(SamePicture(plain, normal));

  // Hot: the mouse over Cancel.
  const TPoint c = Centre(cancel);
  host.MouseMove(c.X, c.Y);
  Pump();
  EXPECT_EQ(b.Wnd->StateIndex(), 1);
  CompareSubclassGolden("hot", Shot(dialog));

  // Pressed: the pressed frame, the caption one pixel right and down.
  host.MouseDown();
  Pump();
  EXPECT_EQ(b.Wnd->StateIndex(), 2);
  const TBitmap pressed = Shot(dialog);
  CompareSubclassGolden("pressed", pressed);
  host.MouseUp();
  host.MouseMove(4, 4);
  Pump();

  // Focused from the keyboard: the dotted frame around the caption.
  cancel->SetFocus();
  host.MouseMove(4, 40);
  Pump();
  EXPECT_EQ(b.Wnd->StateIndex(), 1);
  CompareSubclassGolden("focused", Shot(dialog));

  // Disabled: 40 % of the look over 60 % of the form's picture.
  edit->SetFocus();
  cancel->SetEnabled(false);
  Pump();
  EXPECT_EQ(b.Wnd->StateIndex(), 0);
  const TBitmap disabled = Shot(dialog);
  CompareSubclassGolden("disabled", disabled);
  // A pixel in the middle of the face, away from the caption: the mix of the
  // backdrop and the normal face at exactly 60 : 40.
  const TPoint o{cancel->Left() + 4, cancel->Top() + 12};
  const TColor face = normal.GetPixel(o.X, o.Y), behind = dialog->Backdrop.GetPixel(o.X, o.Y);
  auto mix = [](int b, int f) { return int(std::nearbyint(b - 0.4 * (b - f))); };
  const TColor got = disabled.GetPixel(o.X, o.Y);
  EXPECT_EQ(GetRValue(got), mix(GetRValue(behind), GetRValue(face)));
  EXPECT_EQ(GetGValue(got), mix(GetGValue(behind), GetGValue(face)));
  EXPECT_EQ(GetBValue(got), mix(GetBValue(behind), GetBValue(face)));
}

TEST_F(ButtonSubclass, MovingFromButtonToButtonLeavesOnceAndEntersOnce) {
  MakeDialog();
  TAttached a = Attach<TCountingBtnWnd>(ok), b = Attach<TCountingBtnWnd>(cancel);
  auto& first = static_cast<TCountingBtnWnd&>(*a.Wnd);
  auto& second = static_cast<TCountingBtnWnd&>(*b.Wnd);
  const TPoint p = Centre(ok), q = Centre(cancel);
  host.MouseMove(p.X, p.Y);
  host.MouseMove(p.X + 3, p.Y + 1);
  Pump();
  EXPECT_EQ(first.Enters, 1);
  EXPECT_EQ(HotWindow(manager.get()), ok->Handle());
  // Straight from one button onto the other.
  host.MouseMove(q.X, q.Y);
  host.MouseMove(q.X - 2, q.Y);
  Pump();
  EXPECT_EQ(first.Enters, 1);
  EXPECT_EQ(first.Leaves, 1);
  EXPECT_EQ(second.Enters, 1);
  EXPECT_EQ(second.Leaves, 0);
  EXPECT_EQ(HotWindow(manager.get()), cancel->Handle());
  // Off the buttons onto the form: Cancel is left, nobody else hears of it.
  host.MouseMove(4, 4);
  Pump();
  EXPECT_EQ(second.Leaves, 1);
  EXPECT_EQ(first.Leaves, 1);
  EXPECT_EQ(HotWindow(manager.get()), nullptr);
  // Setting the same hot window again sends nothing.
  SetHotWindow(manager.get(), nullptr);
  EXPECT_EQ(second.Leaves + first.Leaves, 2);
}

TEST_F(ButtonSubclass, ThePlatformsOwnPaintingNeverShowsThrough) {
  MakeDialog();
  TAttached b = Attach(cancel);
  const TBitmap before = Shot(dialog);
  HWND h = cancel->Handle();
  {
    TScopedDC dc(h);
    EXPECT_EQ(SendMessage(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.Dc()), 0), 1);
  }
  EXPECT_EQ(SendMessage(h, WM_NCPAINT, 1, 0), 1);
  EXPECT_EQ(SendMessage(h, WM_UPDATEUISTATE, 0, 0), 1);
  // An erasing invalidation, a state change and a text change repaint skinned.
  InvalidateRect(h, nullptr, true);
  SendMessage(h, BM_SETSTATE, 1, 0);
  SendMessage(h, BM_SETSTATE, 0, 0);
  EXPECT_TRUE(SamePicture(Shot(dialog), before));
  cancel->SetCaption("Закрыть");
  EXPECT_EQ(b.Wnd->WndText(), "Закрыть");
  cancel->SetCaption("Отмена");
  EXPECT_TRUE(SamePicture(Shot(dialog), before));
  // Print-client paints the skinned look into a given context.
  TBitmap printed(75, 25);
  TDC dc(printed);
  SendMessage(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(&dc), 0);
  for (int y = 0; y < 25; ++y)
    for (int x = 0; x < 75; ++x)
      ASSERT_EQ(printed.GetPixel(x, y), before.GetPixel(138 + x, 12 + y)) << x << "," << y;
}

TEST_F(ButtonSubclass, DetachingGivesTheButtonItsOwnHandlingBack) {
  MakeDialog();
  const TBitmap plain = Shot(dialog);
  HWND h = cancel->Handle();
  const WNDPROC windowProc = GetWindowProc(h);
  {
    TAttached b = Attach(cancel);
    EXPECT_TRUE(b.Wnd->HookedControl());
    EXPECT_EQ(SubclassOf(h), b.Wnd.get());
    EXPECT_TRUE(QueryControl(cancel, CmdQueryHandled));
    EXPECT_FALSE(SamePicture(Shot(dialog), plain));
  }
  // Freed: no property, no answer to command 7, the platform's look again.
  EXPECT_EQ(SubclassOf(h), nullptr);
  EXPECT_FALSE(QueryControl(cancel, CmdQueryHandled));
  EXPECT_TRUE(GetWindowProc(h) == windowProc);
  cancel->Invalidate();
  EXPECT_TRUE(SamePicture(Shot(dialog), plain));

  // Destroyed under the subclass: detached at once, freed later safely.
  TAttached a = Attach(ok);
  delete ok;
  ok = nullptr;
  EXPECT_TRUE(a.Wnd->Detached());
  a.Reset();

  // A plain window without an owner control gets its procedure replaced.
  HWND w = CreateWindowEx(0, "Button", "Окно", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 56, 12, 75,
                          25, dialog->Handle());
  const WNDPROC own = GetWindowProc(w);
  auto plainWnd = std::make_unique<TnxBtnWnd>(w, true, "BUTTON", nullptr, nullptr);
  EXPECT_FALSE(plainWnd->HookedControl());
  EXPECT_TRUE(plainWnd->OwnSkinData());
  EXPECT_FALSE(GetWindowProc(w) == own);
  EXPECT_TRUE(QueryWindow(w, CmdQueryHandled));
  Shot(dialog);
  EXPECT_TRUE(plainWnd->PaintedOnce());
  plainWnd.reset();
  EXPECT_TRUE(GetWindowProc(w) == own);
  EXPECT_FALSE(QueryWindow(w, CmdQueryHandled));
  plainWnd = std::make_unique<TnxBtnWnd>(w, true, "BUTTON", nullptr, nullptr);
  DestroyWindow(w);
  EXPECT_TRUE(plainWnd->Detached());
  plainWnd.reset();
}

TEST_F(ButtonSubclass, TinyWindowsAndMissingSectionsStillPaintSafely) {
  MakeDialog();
  // Windows below 2 x 2 (and empty ones) paint without their corners refilled.
  for (TSize s : {TSize{0, 0}, TSize{1, 1}, TSize{1, 25}, TSize{75, 1}, TSize{2, 2}}) {
    cancel->SetBounds(138, 12, s.cx, s.cy);
    TAttached b = Attach(cancel);
    Shot(dialog);
    SendCommandToWindow(cancel->Handle(), CmdFadePrepare);
    ASSERT_TRUE(b.Data->CacheBmp);
    EXPECT_EQ(b.Data->CacheBmp->Width(), s.cx);
    EXPECT_EQ(b.Data->CacheBmp->Height(), s.cy);
  }
  // A section the skin lacks: the button keeps its plain look, caption and
  // all, instead of a skinned item with nothing to paint it from.
  cancel->SetBounds(138, 12, 75, 25);
  const TBitmap plain = Shot(dialog);
  TAttached b = Attach(cancel, "NOSUCHSECTION");
  EXPECT_EQ(b.Data->SectionIndex, -1);
  cancel->Invalidate();
  const TBitmap shot = Shot(dialog);
  int differing = 0;
  for (int y = 12; y < 37; ++y)
    for (int x = 138; x < 213; ++x) differing += shot.GetPixel(x, y) != plain.GetPixel(x, y);
  EXPECT_EQ(differing, 0);
  int dark = 0;
  for (int y = 12; y < 37; ++y)
    for (int x = 138; x < 213; ++x) {
      const TColor p = shot.GetPixel(x, y);
      if (GetRValue(p) + GetGValue(p) + GetBValue(p) < 200) ++dark;
    }
  EXPECT_GT(dark, 20);
}

TEST_F(ButtonSubclass, SkinCommandsAreAnsweredForTheWindow) {
  MakeDialog();
  TAttached b = Attach(cancel);
  HWND h = cancel->Handle();
  Shot(dialog);
  // Command 5 answers the cache, 10 the stale state, 60 the application.
  BackgroundAnswer.Ready = 0;
  EXPECT_EQ(SendCommandToWindow(h, CmdGetBackground), 1);
  EXPECT_EQ(BackgroundAnswer.Bitmap, b.Data->CacheBmp.get());
  EXPECT_EQ(SendCommandToWindow(h, CmdQueryStale), 0);
  SendMessage(h, WM_SIZE, 0, 0);
  EXPECT_EQ(SendCommandToWindow(h, CmdQueryStale), 1);
  EXPECT_EQ(SendCommandToWindow(h, CmdGetApplication), reinterpret_cast<LRESULT>(Application));
  // A removed skin: the cache goes and the button paints as the platform's
  // until the manager's refresh comes.
  const LPARAM m = reinterpret_cast<LPARAM>(manager.get());
  SendCommandToWindow(h, CmdRemoveSkin, m);
  EXPECT_EQ(b.Data->CacheBmp->Width(), 0);
  EXPECT_FALSE(QueryWindow(h, CmdQueryHandled));
  // Another manager's commands are not ours.
  SendCommandToWindow(h, CmdRefresh, m + 8);
  EXPECT_FALSE(QueryWindow(h, CmdQueryHandled));
  SendCommandToWindow(h, CmdRefresh, m);
  EXPECT_TRUE(QueryWindow(h, CmdQueryHandled));
  EXPECT_EQ(b.Data->CacheBmp->Width(), 75);
}

}  // namespace
}  // namespace vm::test
