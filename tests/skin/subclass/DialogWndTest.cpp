// The skinned frame of a platform dialog: a plain "#32770" dialog and a
// message box with the dialog-frame subclass on them, their caption's close
// button under the mouse, the region, skins switched and removed, and the
// subclass going away (freed, or its window destroyed under it).
#include <fstream>
#include <sstream>

#include "platform/controls/ControlDefs.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/MessageBox.h"
#include "platform/gfx/BmpCodec.h"
#include "platform/gfx/Region.h"
#include "skin/frame/CtrlAdapter.h"
#include "skin/state/SkinCommand.h"
#include "skin/subclass/AdapterKinds.h"
#include "skin/subclass/DialogWnd.h"
#include "skin/subclass/SubclassKinds.h"
#include "tests/skin/frame/FrameTestSupport.h"

namespace vm::test {
namespace {

class DialogFrame : public TFrameTest {
 protected:
  void SetUp() override {
    TFrameTest::SetUp();
    RegisterAdapterSubclasses();
  }
  void TearDown() override {
    host.SetIdleHandler(nullptr);
    wnd.reset();
    if (dlg && IsWindow(dlg)) DestroyWindow(dlg);
    RegisterSubclassKind(nkDialogFrame, nullptr);
    RegisterSubclassKind(nkPushButton, nullptr);
    RegisterAdapterSubclass(tpButton, nullptr);
    TFrameTest::TearDown();
  }

  // A shown, active plain dialog (close button only) at a known place; its
  // procedure records the system commands and commands it gets.
  void MakeDialog(DWORD style = 0) {
    dlg = CreateDialogWindow(
        nullptr, "Параметры", 260, 110,
        [this](HWND, UINT msg, WPARAM wp, LPARAM) -> INT_PTR {
          if (msg == WM_SYSCOMMAND) sysCommands.push_back(wp & 0xFFF0);
          if (msg == WM_COMMAND) commands.push_back(LOWORD(wp));
          return 0;
        },
        style);
    ASSERT_NE(dlg, nullptr);
    SetWindowPos(dlg, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(dlg, SW_SHOW);
    SetActiveWindow(dlg);
    Pump();
  }
  // The frame subclass as the dialog provider makes it, then finished with
  // command 1 as the provider does after walking the children.
  void Attach() {
    std::unique_ptr<TnxMainWnd> made = MakeSubclass(nkDialogFrame, dlg, "DIALOG", manager.get());
    wnd.reset(dynamic_cast<TnxDialogWnd*>(made.release()));
    ASSERT_NE(wnd, nullptr);
    NewSkin();
  }
  void NewSkin() {
    SendMessage(dlg, SM_NIRVEXCMD, WPARAM(MakeSkinCommand(CmdNewSkin)),
                reinterpret_cast<LPARAM>(manager.get()));
    Pump();
  }
  // The dialog as the screen shows it: what its region cuts away is black
  // (the window's store may still hold the platform's frame there).
  TBitmap DialogShot() {
    Pump();
    PresentWindows();
    return Shown(host.WindowShot(GetHostWindow(dlg)));
  }
  TBitmap Shown(TBitmap shot) const {
    TRegion rgn;
    if (GetWindowRgn(dlg, &rgn) == RGN_ERROR) return shot;
    for (int y = 0; y < shot.Height(); ++y)
      for (int x = 0; x < shot.Width(); ++x)
        if (!rgn.Contains(x, y)) shot.SetPixel(x, y, 0);
    return shot;
  }
  TPoint WindowOrigin() const {
    TRect r;
    GetWindowRect(dlg, &r);
    return {r.Left, r.Top};
  }
  // The close button's centre on the screen.
  TPoint CloseCentre() const {
    const TRect r = wnd->Painter().Buttons.Button(TsCaptionButtons::bClose).Rect;
    const TPoint o = WindowOrigin();
    return {o.X + (r.Left + r.Right) / 2, o.Y + (r.Top + r.Bottom) / 2};
  }
  int CloseState() const { return wnd->Painter().Buttons.Button(TsCaptionButtons::bClose).State; }
  static std::uint64_t Sum(const TBitmap& b, const TRect& r) {
    std::uint64_t s = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) s = s * 31 + b.GetPixel(x, y);
    return s;
  }
  static bool Same(const TBitmap& a, const TBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x)
        if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
    return true;
  }
  void CompareDialogGolden(const std::string& name, const TBitmap& actual) {
    if (const char* bin = std::getenv("VELMORA_BINARY_DIR")) {
      const fs::path out = fs::path(bin) / "golden-actual";
      fs::create_directories(out);
      SavePngFile((out / ("subclass-" + name + ".png")).string(), actual);
    }
    test::ExpectGolden(actual, SourceDir() / "tests/skin/subclass/golden" / (name + ".png"), name);
  }
  // The built-in skin's description with a change, loaded as a folder skin.
  TsSkinManager& LoadChangedSkin(const std::string& name,
                                 const std::function<void(std::string&)>& change) {
    TsSkinManager& m = LoadBuiltinSkin();
    std::ifstream in(SourceDir() / "assets/skins/office2007-blue/Options.dat", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string options = text.str();
    change(options);
    fs::create_directories(dir / name);
    SaveBmpFile((dir / name / "MASTER.BMP").string(), *m.MasterBitmap);
    return LoadFolderSkin(name, options);
  }

  HWND dlg = nullptr;
  std::unique_ptr<TnxDialogWnd> wnd;
  std::vector<WPARAM> sysCommands;
  std::vector<int> commands;
};

TEST_F(DialogFrame, APlainDialogGetsTheSkinnedFrameRegionAndItsPlainLookBack) {
  LoadBuiltinSkin();
  MakeDialog();
  const TBitmap plain = DialogShot();
  const WNDPROC own = GetWindowProc(dlg);
  Attach();
  ASSERT_TRUE(wnd->Skinned());
  EXPECT_TRUE(wnd->SystemMenuRemoved());
  EXPECT_FALSE(GetWindowLongPtr(dlg, GWL_STYLE) & WS_SYSMENU);
  EXPECT_EQ(SubclassOf(dlg), wnd.get());
  EXPECT_EQ(SendCommandToWindow(dlg, CmdQueryHandled), 1);
  const TBitmap skinned = DialogShot();
  CompareDialogGolden("dialog-frame", skinned);

  // A modal frame has small caption buttons: close alone, 14 pixels high.
  const TsCaptionButtons& buttons = wnd->Painter().Buttons;
  const TRect close = buttons.Button(TsCaptionButtons::bClose).Rect;
  EXPECT_FALSE(close.IsEmpty());
  EXPECT_EQ(close.Height(), 14);
  EXPECT_TRUE(buttons.Button(TsCaptionButtons::bMax).Rect.IsEmpty());
  EXPECT_TRUE(buttons.Button(TsCaptionButtons::bMin).Rect.IsEmpty());
  EXPECT_EQ(SendMessage(dlg, WM_NCHITTEST, 0, MAKELPARAM(CloseCentre().X, CloseCentre().Y)),
            LRESULT(htClose));

  // The region leaves the skin's transparent corners out, the rest in.
  ASSERT_TRUE(wnd->Painter().RegionSet());
  ASSERT_FALSE(wnd->Painter().RegionRects().empty());
  TRegion rgn;
  ASSERT_NE(GetWindowRgn(dlg, &rgn), RGN_ERROR);
  TRect w;
  GetWindowRect(dlg, &w);
  EXPECT_FALSE(rgn.Contains({0, 0}));
  EXPECT_FALSE(rgn.Contains({w.Width() - 1, 0}));
  EXPECT_FALSE(rgn.Contains({0, w.Height() - 1}));
  EXPECT_TRUE(rgn.Contains({w.Width() / 2, 0}));
  EXPECT_TRUE(rgn.Contains({w.Width() / 2, w.Height() / 2}));
  for (const TRect& r : wnd->Painter().RegionRects())
    EXPECT_TRUE(r.Left < 8 || r.Right > w.Width() - 8) << "a cut away from the corners";

  // Freed: the window's own procedure, style, region and look come back.
  wnd.reset();
  EXPECT_EQ(GetWindowProc(dlg), own);
  EXPECT_EQ(SubclassOf(dlg), nullptr);
  EXPECT_EQ(SendCommandToWindow(dlg, CmdQueryHandled), 0);
  EXPECT_TRUE(GetWindowLongPtr(dlg, GWL_STYLE) & WS_SYSMENU);
  EXPECT_EQ(GetWindowRgn(dlg, &rgn), RGN_ERROR);
  EXPECT_TRUE(Same(DialogShot(), plain));
}

TEST_F(DialogFrame, ADialogsFrameIsTheFrameOfADialogFormOfItsSize) {
  // One painter paints both: a platform dialog with the "DIALOG" section and
  // a dialog form with "FORM" (alike in this skin) look the same, pixel for
  // pixel, frame and client background.
  LoadBuiltinSkin();
  MakeDialog();
  Attach();
  const TBitmap dialog = DialogShot();
  TRect r;
  GetWindowRect(dlg, &r);
  TRegion rgn;
  ASSERT_NE(GetWindowRgn(dlg, &rgn), RGN_ERROR);
  wnd.reset();
  DestroyWindow(dlg);
  dlg = nullptr;
  auto* f = Create<TForm>(app.get());
  f->SetBorderStyle(bsDialog);
  f->SetBorderIcons(biSystemMenu);
  f->SetCaption("Параметры");
  f->SetBounds(r.Left, r.Top, r.Width(), r.Height());
  f->Show();
  Pump();
  ASSERT_NE(ProviderOf(f), nullptr);
  const TBitmap form = Shot(f);
  ASSERT_EQ(form.Width(), dialog.Width());
  ASSERT_EQ(form.Height(), dialog.Height());
  // (The cut corners show whatever the window held before: not on the screen.)
  TRegion formRgn;
  ASSERT_NE(GetWindowRgn(f->Handle(), &formRgn), RGN_ERROR);
  for (int y = 0; y < form.Height(); ++y)
    for (int x = 0; x < form.Width(); ++x) {
      ASSERT_EQ(rgn.Contains(x, y), formRgn.Contains(x, y)) << x << ", " << y;
      if (rgn.Contains(x, y)) {
        ASSERT_EQ(dialog.GetPixel(x, y), form.GetPixel(x, y)) << x << ", " << y;
      }
    }
}

TEST_F(DialogFrame, SkinningSwitchedOffAndOnUnderneathFollowsAtTheNextPainting) {
  // The manager switches off without telling the dialog: the frame does not
  // stay half skinned (no buttons of either kind, corners cut).
  LoadBuiltinSkin();
  MakeDialog();
  const TBitmap plain = DialogShot();
  Attach();
  const TBitmap skinned = DialogShot();
  manager->SetActive(false);
  RedrawWindow(dlg, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_FALSE(wnd->Skinned());
  EXPECT_TRUE(GetWindowLongPtr(dlg, GWL_STYLE) & WS_SYSMENU);
  EXPECT_TRUE(Same(DialogShot(), plain));
  manager->SetActive(true);
  RedrawWindow(dlg, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_TRUE(wnd->Skinned());
  EXPECT_FALSE(GetWindowLongPtr(dlg, GWL_STYLE) & WS_SYSMENU);
  EXPECT_TRUE(Same(DialogShot(), skinned));
}

TEST_F(DialogFrame, TheCloseButtonHoversPressesAndClosesAsThePlatformsOwn) {
  LoadBuiltinSkin();
  MakeDialog();
  Attach();
  const TRect close = wnd->Painter().Buttons.Button(TsCaptionButtons::bClose).Rect;
  const TPoint c = CloseCentre();
  const std::uint64_t normal = Sum(DialogShot(), close);
  EXPECT_EQ(CloseState(), 0);

  host.MouseMove(c.X, c.Y);
  Pump();
  EXPECT_EQ(CloseState(), 1);
  EXPECT_EQ(wnd->Painter().Buttons.HoverCode(), htClose);
  const std::uint64_t hot = Sum(DialogShot(), close);
  EXPECT_NE(hot, normal);

  host.MouseDown();
  Pump();
  EXPECT_EQ(CloseState(), 2);
  const std::uint64_t pressed = Sum(DialogShot(), close);
  EXPECT_NE(pressed, hot);
  EXPECT_NE(pressed, normal);
  // Dragged off the button it comes up; released there nothing closes.
  host.MouseMove(c.X - 60, c.Y + 40);
  Pump();
  EXPECT_EQ(CloseState(), 0);
  host.MouseUp();
  Pump();
  EXPECT_TRUE(sysCommands.empty());
  EXPECT_TRUE(IsWindow(dlg));
  EXPECT_EQ(Sum(DialogShot(), close), normal);

  // Leaving the frame takes the hover away.
  host.MouseMove(c.X, c.Y);
  Pump();
  EXPECT_EQ(CloseState(), 1);
  host.MouseMove(c.X + 300, c.Y + 300);
  Pump();
  EXPECT_EQ(CloseState(), 0);
  EXPECT_EQ(Sum(DialogShot(), close), normal);

  // A click closes as the platform's own button does: SC_CLOSE, which the
  // dialog answers with its Cancel.
  host.Click(c.X, c.Y);
  Pump();
  EXPECT_EQ(sysCommands, (std::vector<WPARAM>{SC_CLOSE}));
  EXPECT_EQ(commands, (std::vector<int>{IDCANCEL}));
}

TEST_F(DialogFrame, TheCloseButtonFadesOnTheSharedTimerAndStopsWithItsWindow) {
  LoadChangedSkin("Fading", [](std::string& options) {
    const std::string section = "[FORMTITLE]\r\n";
    options.replace(options.find(section), section.size(),
                    section + "FADINGENABLED=TRUE\r\nFADINGITERATIONS=4\r\n");
  });
  ASSERT_TRUE(manager->SkinData.Active);
  MakeDialog();
  Attach();
  const TRect close = wnd->Painter().Buttons.Button(TsCaptionButtons::bClose).Rect;
  const std::uint64_t normal = Sum(DialogShot(), close);
  host.MouseMove(CloseCentre().X, CloseCentre().Y);
  Pump();
  const std::uint64_t first = Sum(DialogShot(), close);
  host.AdvanceClock(10);
  Pump();
  const std::uint64_t second = Sum(DialogShot(), close);
  for (int i = 0; i < 5; ++i) {
    host.AdvanceClock(10);
    Pump();
  }
  const std::uint64_t hot = Sum(DialogShot(), close);
  EXPECT_NE(first, normal);
  EXPECT_NE(first, hot);
  EXPECT_NE(second, first);
  EXPECT_NE(second, hot);
  // The last frame is the hot look itself, as painted without a fade.
  AnimationsOff = true;
  wnd->Painter().Buttons.Repaint(htClose);
  EXPECT_EQ(Sum(DialogShot(), close), hot);
  AnimationsOff = false;
  // The window goes in the middle of a fade: the timer never touches it.
  host.MouseMove(CloseCentre().X - 80, CloseCentre().Y + 50);
  Pump();
  DestroyWindow(dlg);
  host.AdvanceClock(100);
  Pump();
  wnd.reset();
  dlg = nullptr;
}

TEST_F(DialogFrame, ASizeableDialogGetsTheButtonsItsStyleAsksFor) {
  LoadBuiltinSkin();
  MakeDialog(WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  Attach();
  const TsCaptionButtons& buttons = wnd->Painter().Buttons;
  const TRect close = buttons.Button(TsCaptionButtons::bClose).Rect;
  const TRect max = buttons.Button(TsCaptionButtons::bMax).Rect;
  const TRect min = buttons.Button(TsCaptionButtons::bMin).Rect;
  // The big buttons of a sizeable frame, right to left, one pixel apart.
  EXPECT_EQ(close.Height(), 22);
  EXPECT_EQ(max.Right, close.Left - 1);
  EXPECT_EQ(min.Right, max.Left - 1);
  EXPECT_TRUE(buttons.Button(TsCaptionButtons::bHelp).Rect.IsEmpty());
  const TPoint o = WindowOrigin();
  const TPoint m{o.X + (max.Left + max.Right) / 2, o.Y + (max.Top + max.Bottom) / 2};
  EXPECT_EQ(SendMessage(dlg, WM_NCHITTEST, 0, MAKELPARAM(m.X, m.Y)), LRESULT(htMaxButton));
  EXPECT_EQ(SendMessage(dlg, WM_NCHITTEST, 0, MAKELPARAM(o.X + (min.Left + min.Right) / 2, m.Y)),
            LRESULT(htMinButton));
  // Maximise and back: the frame follows the window's new size each time.
  host.Click(m.X, m.Y);
  Pump();
  ASSERT_TRUE(IsZoomed(dlg));
  TRect w;
  GetWindowRect(dlg, &w);
  EXPECT_EQ(wnd->Painter().Data().CacheBmp->Width(), w.Width());
  const TRect restore = buttons.Button(TsCaptionButtons::bMax).Rect;
  host.Click(w.Left + (restore.Left + restore.Right) / 2,
             w.Top + (restore.Top + restore.Bottom) / 2);
  Pump();
  EXPECT_FALSE(IsZoomed(dlg));
  GetWindowRect(dlg, &w);
  EXPECT_EQ(wnd->Painter().Data().CacheBmp->Width(), w.Width());
  EXPECT_EQ(sysCommands, (std::vector<WPARAM>{SC_MAXIMIZE, SC_RESTORE}));
}

TEST_F(DialogFrame, AMessageBoxIsSkinnedWhileItRunsAndItsCloseButtonAnswers) {
  LoadBuiltinSkin();
  // Steps of the user while the box's loop waits, one per wait.
  std::vector<std::function<void(HWND)>> steps;
  TBitmap shot;
  // As the dialog provider does: the frame first, then the push buttons (in
  // dialog mode), then command 1. The buttons read what lies behind them
  // from the frame's cache, at their place in its client area.
  std::vector<std::unique_ptr<TnxMainWnd>> children;
  steps.push_back([&](HWND box) {
    dlg = box;
    std::unique_ptr<TnxMainWnd> made = MakeSubclass(nkDialogFrame, dlg, "DIALOG", manager.get());
    wnd.reset(dynamic_cast<TnxDialogWnd*>(made.release()));
    SkinningDialogChildren = true;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      if (GetClassName(c) == WC_BUTTON)
        children.push_back(MakeSubclass(nkPushButton, c, "BUTTON", manager.get()));
    SkinningDialogChildren = false;
    NewSkin();
  });
  steps.push_back([&](HWND) {
    PresentWindows();
    shot = Shown(host.WindowShot(GetHostWindow(dlg)));
    host.MouseMove(CloseCentre().X, CloseCentre().Y);
  });
  steps.push_back([&](HWND) {
    EXPECT_EQ(CloseState(), 1);
    host.Click(CloseCentre().X, CloseCentre().Y);
  });
  std::size_t next = 0;
  host.SetIdleHandler([&]() {
    HWND box = GetActiveWindow();
    if (next >= steps.size() || !box || GetClassName(box) != WC_DIALOG) return false;
    steps[next++](box);
    return true;
  });
  // A box with OK alone answers its close button with OK.
  const int answer = MessageBox(nullptr, "Файл не найден.", "Ошибка", MB_OK | MB_ICONERROR);
  host.SetIdleHandler(nullptr);
  EXPECT_EQ(next, steps.size());
  EXPECT_EQ(answer, IDOK);
  ASSERT_EQ(children.size(), 1u);
  EXPECT_TRUE(children[0]->Detached());
  children.clear();
  CompareDialogGolden("dialog-messagebox", shot);
  // The box is gone with the subclass still held: it let go of the window
  // when the window went, and freeing it now touches nothing.
  EXPECT_FALSE(IsWindow(dlg));
  ASSERT_NE(wnd, nullptr);
  EXPECT_TRUE(wnd->Detached());
  wnd.reset();
  dlg = nullptr;
}

TEST_F(DialogFrame, AWindowDestroyedUnderItsSubclassIsLetGoOnce) {
  LoadBuiltinSkin();
  MakeDialog();
  Attach();
  // Pressed, with the mouse captured, when the window goes.
  host.MouseMove(CloseCentre().X, CloseCentre().Y);
  host.MouseDown();
  Pump();
  EXPECT_EQ(CloseState(), 2);
  DestroyWindow(dlg);
  Pump();
  EXPECT_TRUE(wnd->Detached());
  EXPECT_FALSE(wnd->Skinned());
  // Commands reach nothing any more, and time passes without a fade or a
  // repaint touching the window.
  host.AdvanceClock(200);
  host.MouseUp();
  Pump();
  wnd.reset();
  dlg = nullptr;
}

TEST_F(DialogFrame, ASkinWithoutTheDialogSectionLeavesTheFramePlain) {
  LoadChangedSkin("NoDialog", [](std::string& options) {
    const std::size_t at = options.find("[DIALOG]");
    const std::size_t end = options.find("\n[", at + 1);
    options.erase(at, end + 1 - at);
  });
  ASSERT_TRUE(manager->SkinData.Active);
  ASSERT_LT(manager->FindSectionIndex("DIALOG"), 0);
  MakeDialog();
  const TBitmap plain = DialogShot();
  Attach();
  EXPECT_FALSE(wnd->Skinned());
  EXPECT_FALSE(wnd->SystemMenuRemoved());
  EXPECT_TRUE(GetWindowLongPtr(dlg, GWL_STYLE) & WS_SYSMENU);
  TRegion rgn;
  EXPECT_EQ(GetWindowRgn(dlg, &rgn), RGN_ERROR);
  EXPECT_TRUE(Same(DialogShot(), plain));
  // It still answers as a handled window, and its children read no frame.
  EXPECT_EQ(SendCommandToWindow(dlg, CmdQueryHandled), 1);
  EXPECT_EQ(SendCommandToWindow(dlg, CmdGetClientOffset), 0);
}

TEST_F(DialogFrame, SwitchingSkinsRepaintsAndRemovingTheSkinGivesThePlainLook) {
  LoadBuiltinSkin();
  MakeDialog();
  const TBitmap plain = DialogShot();
  Attach();
  const TBitmap blue = DialogShot();
  TsFrameMetrics fm = MeasureWindowFrame(dlg, {.BorderStyle = bsDialog, .ShowAppIcon = false});
  const TPoint inside{fm.ClientLeft + 20, fm.ClientTop + 20};
  EXPECT_EQ(blue.GetPixel(inside.X, inside.Y), TColor(16442322));

  // A skin whose dialogs are green (the active look is the hot colour):
  // command 1 rebuilds and repaints.
  LoadChangedSkin("Green", [](std::string& options) {
    const std::string blueDialog = "[DIALOG]\r\nCOLOR=16442322\r\nHOTCOLOR=16442322";
    const std::string green = std::to_string(RGB(40, 160, 60));
    options.replace(options.find(blueDialog), blueDialog.size(),
                    "[DIALOG]\r\nCOLOR=" + green + "\r\nHOTCOLOR=" + green);
  });
  ASSERT_TRUE(manager->SkinData.Active);
  NewSkin();
  ASSERT_TRUE(wnd->Skinned());
  const TBitmap green = DialogShot();
  EXPECT_EQ(green.GetPixel(inside.X, inside.Y), RGB(40, 160, 60));
  EXPECT_FALSE(Same(green, blue));

  // Skin removed (command 2): the platform's look; a new skin brings the
  // frame back exactly.
  SendMessage(dlg, SM_NIRVEXCMD, WPARAM(MakeSkinCommand(CmdRemoveSkin)),
              reinterpret_cast<LPARAM>(manager.get()));
  Pump();
  EXPECT_FALSE(wnd->Skinned());
  EXPECT_TRUE(GetWindowLongPtr(dlg, GWL_STYLE) & WS_SYSMENU);
  EXPECT_TRUE(Same(DialogShot(), plain));
  EXPECT_EQ(SubclassOf(dlg), wnd.get());
  LoadBuiltinSkin();
  NewSkin();
  EXPECT_TRUE(wnd->Skinned());
  EXPECT_TRUE(Same(DialogShot(), blue));
}

}  // namespace
}  // namespace vm::test
