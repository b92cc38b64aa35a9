// Forms and the application: closing, activation, modal loops, the main
// form, the taskbar entry, positions, the error report and the screen cursor.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/controls/DialogDefs.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/Button.h"

namespace vm::test {
namespace {

class TDialogForm : public TForm {
 public:
  explicit TDialogForm(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsDialog);
    SetClientSize(200, 100);
    SetPosition(poMainFormCenter);
  }
};

class TMainForm : public TForm {
 public:
  explicit TMainForm(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu | biMinimize);
    SetClientSize(400, 300);
    SetPosition(poScreenCenter);
    OnCreate = [this](TComponent*) { CreatedWithReference = Self != nullptr && *Self == this; };
  }
  static TMainForm** Self;
  bool CreatedWithReference = false;
};
TMainForm** TMainForm::Self = nullptr;

class FormTest : public TToolkitTest {
 protected:
  void MakeForms() {
    TMainForm::Self = &main;
    app->CreateForm(main);
    app->CreateForm(dialog);
  }
  THostWindow NativeOf(TForm* f) { return GetHostWindow(f->Handle()); }
  // Runs proc from the message loop after ms of the host's clock.
  void After(UINT ms, std::function<void()> proc) {
    auto shared = std::make_shared<std::function<void()>>(std::move(proc));
    SetTimer(nullptr, 0, ms, [shared](HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      (*shared)();
    });
  }

  TMainForm* main = nullptr;
  TDialogForm* dialog = nullptr;
};

TEST_F(FormTest, TheFirstFormIsTheMainFormAndOwnsTheOnlyTaskbarEntry) {
  MakeForms();
  EXPECT_EQ(app->MainForm(), main);
  EXPECT_TRUE(main->CreatedWithReference);
  main->Show();
  dialog->Show();
  Pump();
  const auto* m = host.Native(NativeOf(main));
  const auto* d = host.Native(NativeOf(dialog));
  ASSERT_TRUE(m && d);
  EXPECT_EQ(m->Params.Kind, THostWindowKind::Normal);
  EXPECT_EQ(d->Params.Kind, THostWindowKind::Dialog);
  EXPECT_EQ(d->Params.TransientFor, NativeOf(main));
  EXPECT_EQ(GetParent(dialog->Handle()), main->Handle());
  // The application's window never reaches the screen.
  EXPECT_FALSE(host.Native(GetHostWindow(app->Handle()))->Visible);
  // Border and icons reach the window's styles.
  LONG_PTR style = GetWindowLongPtr(main->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_EQ(main->ClientWidth(), 400);
  EXPECT_EQ(main->ClientHeight(), 300);
  // The icon reaches the window and the taskbar entry.
  TBitmap small(16, 16, TPixelFormat::pf32bit), large(32, 32, TPixelFormat::pf32bit);
  small.Fill(RGB(200, 0, 0));
  large.Fill(RGB(200, 0, 0));
  main->Icon()->SetImages(small, large);
  EXPECT_NE(SendMessage(main->Handle(), WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_FALSE(host.Native(NativeOf(main))->Icon.Empty());
}

TEST_F(FormTest, PositionsCentreOnTheScreenAndOnTheMainForm) {
  host.SetWorkArea(Rect(0, 0, 1280, 984));
  MakeForms();
  main->Show();
  Pump();
  EXPECT_EQ(main->Left(), (1280 - main->Width()) / 2);
  EXPECT_EQ(main->Top(), (984 - main->Height()) / 2);
  main->SetBounds(10, 20, main->Width(), main->Height());
  dialog->Show();
  Pump();
  EXPECT_EQ(dialog->Left(), 10 + (main->Width() - dialog->Width()) / 2);
  EXPECT_EQ(dialog->Top(), 20 + (main->Height() - dialog->Height()) / 2);
}

TEST_F(FormTest, ClosingHidesAndShowingAgainKeepsTheForm) {
  MakeForms();
  main->Show();
  auto* box = Put<TBox>(dialog, 0, 0, 10, 10);
  box->SetText("kept");
  dialog->Show();
  Pump();
  HWND h = dialog->Handle();
  int hides = 0;
  dialog->OnHide = [&](TComponent*) { ++hides; };
  host.RequestClose(NativeOf(dialog));
  Pump();
  EXPECT_FALSE(dialog->Visible());
  EXPECT_FALSE(IsWindowVisible(h));
  EXPECT_TRUE(IsWindow(h));
  EXPECT_EQ(hides, 1);
  EXPECT_FALSE(app->Terminated());
  dialog->Show();
  Pump();
  EXPECT_EQ(dialog->Handle(), h);
  EXPECT_EQ(box->GetText(), "kept");

  // OnCloseQuery may refuse; OnClose may keep it open or choose another action.
  bool allow = false;
  dialog->OnCloseQuery = [&](TComponent*, bool& can) { can = allow; };
  dialog->Close();
  EXPECT_TRUE(dialog->Visible());
  allow = true;
  dialog->OnClose = [](TComponent*, TCloseAction& a) { a = caNone; };
  dialog->Close();
  EXPECT_TRUE(dialog->Visible());
  dialog->OnClose = [](TComponent*, TCloseAction& a) { a = caFree; };
  TControlRef ref(dialog);
  dialog->Close();
  EXPECT_TRUE(ref);  // freed once the queued messages are handled
  Pump();
  EXPECT_FALSE(ref);
  EXPECT_EQ(Screen->FormCount(), 1);
}

TEST_F(FormTest, OnActivateFollowsTheProgramsActiveForm) {
  MakeForms();
  int mainActivations = 0, mainDeactivations = 0, dialogActivations = 0;
  main->OnActivate = [&](TComponent*) { ++mainActivations; };
  main->OnDeactivate = [&](TComponent*) { ++mainDeactivations; };
  dialog->OnActivate = [&](TComponent*) { ++dialogActivations; };
  main->Show();
  Pump();
  EXPECT_EQ(mainActivations, 1);  // first show
  EXPECT_EQ(Screen->ActiveForm(), main);

  // Another program takes the focus and gives it back: no change of form.
  host.DesktopFocus(0);
  Pump();
  host.DesktopFocus(NativeOf(main));
  Pump();
  EXPECT_EQ(mainActivations, 1);
  EXPECT_EQ(mainDeactivations, 0);

  dialog->Show();
  Pump();
  EXPECT_EQ(dialogActivations, 1);
  EXPECT_EQ(mainDeactivations, 1);
  EXPECT_EQ(Screen->ActiveForm(), dialog);
  // A click on the main form while the dialog is open.
  ClickAt(main, 5, 5);
  EXPECT_EQ(mainActivations, 2);
  EXPECT_EQ(Screen->ActiveForm(), main);
  // Back to the dialog, then the dialog closes: the main form takes over.
  ClickAt(dialog, 5, 5);
  EXPECT_EQ(dialogActivations, 2);
  dialog->Close();
  Pump();
  EXPECT_EQ(mainActivations, 3);
  EXPECT_EQ(Screen->ActiveForm(), main);
}

TEST_F(FormTest, ShowModalReturnsTheModalResultAndFreesTheOtherForms) {
  MakeForms();
  main->Show();
  Pump();
  After(100, [&] {
    EXPECT_TRUE(dialog->IsModal());
    EXPECT_FALSE(IsWindowEnabled(main->Handle()));
    // A click on the disabled main form reaches the dialog, not the main form.
    int clicks = 0;
    main->OnClick = [&](TComponent*) { ++clicks; };
    ClickAt(main, 5, 5);
    EXPECT_EQ(clicks, 0);
    dialog->SetModalResult(mrOk);
  });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_FALSE(dialog->Visible());
  EXPECT_FALSE(dialog->IsModal());
  EXPECT_TRUE(IsWindowEnabled(main->Handle()));
  EXPECT_EQ(GetActiveWindow(), main->Handle());

  // Closing a modal form (its close button) answers mrCancel; a visible form cannot go modal.
  After(100, [&] { host.RequestClose(NativeOf(dialog)); });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  dialog->Show();
  EXPECT_THROW(dialog->ShowModal(), std::logic_error);
  dialog->Hide();
  // OnCloseQuery can keep a modal form open.
  int asked = 0;
  dialog->OnCloseQuery = [&](TComponent*, bool& can) { can = ++asked > 1; };
  After(100, [&] { dialog->SetModalResult(mrYes); });
  After(200, [&] { dialog->SetModalResult(mrNo); });
  EXPECT_EQ(dialog->ShowModal(), mrNo);
  EXPECT_EQ(asked, 2);
}

TEST_F(FormTest, DefaultAndCancelButtonsAnswerEnterAndEscape) {
  MakeForms();
  main->Show();
  auto* field = Put<TBox>(dialog, 10, 10, 50, 20);
  auto* ok = Put<TButton>(dialog, 10, 60, 75, 25);
  ok->SetCaption("OK");
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  auto* cancel = Put<TButton>(dialog, 100, 60, 75, 25);
  cancel->SetCaption("Отмена");
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  EXPECT_EQ(GetClassName(ok->Handle()), "TButton");
  EXPECT_EQ(ok->ClassName(), "TButton");
  int okClicks = 0, cancelClicks = 0;
  ok->OnClick = [&](TComponent*) { ++okClicks; };
  cancel->OnClick = [&](TComponent*) { ++cancelClicks; };

  // Enter with the focus in a field clicks the default button and ends the dialog.
  After(100, [&] {
    EXPECT_TRUE(field->Focused());
    host.Key(VK_RETURN);
  });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(okClicks, 1);
  After(100, [&] { host.Key(VK_ESCAPE); });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(cancelClicks, 1);
  // With the focus on the Cancel button, Enter clicks Cancel, not the default.
  After(100, [&] {
    cancel->SetFocus();
    host.Key(VK_RETURN);
  });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(cancelClicks, 2);
  // A mouse click on a button with a modal result ends the dialog the same way.
  After(100, [&] { ClickAt(ok, 10, 10); });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(okClicks, 2);
  // A modeless form: the buttons click, and the form stays.
  dialog->Show();
  Pump();
  field->SetFocus();
  host.Key(VK_RETURN);
  Pump();
  EXPECT_EQ(okClicks, 3);
  EXPECT_TRUE(dialog->Visible());
}

TEST_F(FormTest, ClosingTheMainFormEndsTheProgramEvenWithDialogsOpen) {
  MakeForms();
  After(50, [&] { dialog->Show(); });
  After(100, [&] { host.RequestClose(NativeOf(main)); });
  app->Run();
  EXPECT_TRUE(app->Terminated());
  EXPECT_TRUE(dialog->Visible());
  EXPECT_TRUE(main->Visible());  // ending the program does not hide it first
}

TEST_F(FormTest, ClosingTheMainFormEndsAModalDialogToo) {
  MakeForms();
  TModalResult result = -1;
  After(50, [&] { result = dialog->ShowModal(); });
  After(100, [&] { main->Close(); });
  app->Run();
  EXPECT_TRUE(app->Terminated());
  EXPECT_EQ(result, mrCancel);
  EXPECT_FALSE(dialog->Visible());
}

TEST_F(FormTest, AnExceptionInAClickHandlerIsReportedAndTheLoopGoesOn) {
  MakeForms();
  main->Show();
  auto* box = Put<TSwatch>(main, 10, 10, 50, 50);
  Pump();
  int clicks = 0;
  box->OnClick = [&](TComponent*) {
    ++clicks;
    throw std::runtime_error("Файл не найден");
  };
  // The default report: a message box titled with the application's title.
  std::vector<std::string> reports;
  host.SetIdleHandler([&]() {
    HWND a = GetActiveWindow();
    if (!a || GetClassName(a) != WC_DIALOG) return false;
    reports.push_back(GetWindowText(a) + ": " + GetWindowText(GetDlgItem(a, IDC_MSGBOX_TEXT)));
    host.Key(VK_RETURN);
    return true;
  });
  ClickAt(main, 20, 20);
  ClickAt(main, 20, 20);
  host.SetIdleHandler(nullptr);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(reports, std::vector<std::string>(2, "Проверка: Файл не найден."));
  // OnException takes over the report when assigned.
  std::string seen;
  TComponent* sender = nullptr;
  app->OnException = [&](TComponent* s, const std::exception& e) {
    seen = e.what();
    sender = s;
  };
  ClickAt(main, 20, 20);
  EXPECT_EQ(seen, "Файл не найден");
  EXPECT_EQ(sender, main);
  // An error thrown by the handler of the report itself goes nowhere further.
  app->OnException = [](TComponent*, const std::exception&) { throw std::logic_error("again"); };
  testing::internal::CaptureStderr();
  ClickAt(main, 20, 20);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(clicks, 4);
}

TEST_F(FormTest, AnExceptionInATimerProcedureReachesTheReportToo) {
  int ticks = 0;
  SetTimer(nullptr, 0, 10, [&](HWND, UINT, UINT_PTR id, DWORD) {
    if (++ticks == 2) KillTimer(nullptr, id);
    throw std::runtime_error("тик");
  });
  std::vector<std::string> seen;
  app->OnException = [&](TComponent*, const std::exception& e) { seen.push_back(e.what()); };
  for (int i = 0; i < 3; ++i) {
    host.AdvanceClock(10);
    Pump();
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"тик", "тик"}));
}

TEST_F(FormTest, ScreenKnowsTheFormsAndShowsTheHourGlass) {
  MakeForms();
  EXPECT_EQ(Screen->FormCount(), 2);
  EXPECT_EQ(Screen->Forms(0), main);
  EXPECT_EQ(Screen->Width(), 1280);
  EXPECT_EQ(Screen->Height(), 1024);
  main->Show();
  Pump();
  TPoint p = At(main, 10, 10);
  host.MouseMove(p.X, p.Y);
  Pump();
  THostWindow n = NativeOf(main);
  EXPECT_EQ(host.Native(n)->Cursor, THostCursor::Arrow);
  Screen->SetCursor(crHourGlass);
  EXPECT_EQ(host.Native(n)->Cursor, THostCursor::Wait);
  host.MouseMove(p.X + 5, p.Y + 5);
  Pump();
  EXPECT_EQ(host.Native(n)->Cursor, THostCursor::Wait);
  Screen->SetCursor(crDefault);
  host.MouseMove(p.X + 6, p.Y + 6);
  Pump();
  EXPECT_EQ(host.Native(n)->Cursor, THostCursor::Arrow);
}

}  // namespace
}  // namespace vm::test
