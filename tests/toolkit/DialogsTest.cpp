// Message dialogs and the application's error report, driven as a user
// drives them: keys and clicks arrive while the box's modal loop waits,
// through the headless host's idle handler.
#include <stdexcept>

#include "ToolkitTestSupport.h"
#include "platform/controls/DialogDefs.h"
#include "toolkit/Button.h"
#include "toolkit/Dialogs.h"

namespace vm::test {
namespace {

// What a message box showed while it ran.
struct TSeenBox {
  HWND Box = nullptr;
  HWND Owner = nullptr;
  std::string Caption, Text;
  bool OwnerEnabled = true;
  int Count = 0;
};

class DialogsTest : public TToolkitTest {
 protected:
  void TearDown() override {
    host.SetIdleHandler(nullptr);
    TToolkitTest::TearDown();
  }
  static HWND Box() {
    HWND a = GetActiveWindow();
    return a && GetClassName(a) == WC_DIALOG ? a : nullptr;
  }
  // At the first idle wait of each box, notes what it shows and lets act()
  // answer it.
  void Drive(TSeenBox& seen, std::function<void(HWND)> act) {
    host.SetIdleHandler([&seen, act]() {
      HWND box = Box();
      if (!box || box == seen.Box) return false;
      seen.Box = box;
      ++seen.Count;
      seen.Caption = GetWindowText(box);
      seen.Text = GetWindowText(GetDlgItem(box, IDC_MSGBOX_TEXT));
      seen.Owner = GetWindow(box, GW_OWNER);
      seen.OwnerEnabled = seen.Owner && IsWindowEnabled(seen.Owner);
      act(box);
      return true;
    });
  }
  void ClickChild(HWND box, int id) {
    HWND b = GetDlgItem(box, id);
    ASSERT_NE(b, nullptr);
    TRect r;
    GetWindowRect(b, &r);
    host.Click(r.Left + 5, r.Top + 5);
  }
};

TEST_F(DialogsTest, AnExceptionInAClickHandlerIsShownInABoxAndTheProgramGoesOn) {
  TForm* f = MakeForm();
  auto* failing = Put<TButton>(f, 10, 10, 100, 25);
  auto* working = Put<TButton>(f, 10, 50, 100, 25);
  failing->OnClick = [](TComponent*) { throw std::runtime_error("Файл не найден"); };
  int clicks = 0;
  working->OnClick = [&](TComponent*) { ++clicks; };
  f->Show();
  Pump();

  TSeenBox seen;
  Drive(seen, [&](HWND) { host.Key(VK_RETURN); });
  ClickAt(failing, 20, 10);
  EXPECT_EQ(seen.Count, 1);
  EXPECT_EQ(seen.Caption, "Проверка");  // the application's title
  EXPECT_EQ(seen.Text, "Файл не найден.");
  EXPECT_EQ(seen.Owner, f->Handle());
  EXPECT_FALSE(seen.OwnerEnabled);
  // The box is gone, the form is usable again.
  EXPECT_FALSE(IsWindow(seen.Box));
  EXPECT_TRUE(IsWindowEnabled(f->Handle()));
  EXPECT_TRUE(f->Visible());
  EXPECT_FALSE(app->Terminated());
  ClickAt(working, 20, 10);
  EXPECT_EQ(clicks, 1);
  // The same fault again shows a second box: the report is not used up.
  ClickAt(failing, 20, 10);
  EXPECT_EQ(seen.Count, 2);
}

TEST_F(DialogsTest, ErrorsRaisedWhileTheReportIsUpGoToStderrInsteadOfAnotherBox) {
  TForm* f = MakeForm();
  auto* failing = Put<TButton>(f, 10, 10, 100, 25);
  failing->OnClick = [](TComponent*) { throw std::runtime_error("Сбой"); };
  f->Show();
  Pump();
  int boxes = 0;
  host.SetIdleHandler([&]() {
    HWND box = Box();
    if (!box) return false;
    ++boxes;
    // Something fails while the report is up: no second box over the first.
    try {
      throw std::runtime_error("Сбой при показе");
    } catch (...) {
      app->HandleException(nullptr);
    }
    EXPECT_EQ(Box(), box);
    host.Key(VK_RETURN);
    return true;
  });
  testing::internal::CaptureStderr();
  ClickAt(failing, 20, 10);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(boxes, 1);
  EXPECT_NE(err.find("Сбой при показе"), std::string::npos);
  EXPECT_EQ(Box(), nullptr);
  EXPECT_TRUE(IsWindowEnabled(f->Handle()));
}

TEST_F(DialogsTest, WithoutAHostTheReportGoesToStderr) {
  THost* saved = GetHost();
  SetHost(nullptr);
  testing::internal::CaptureStderr();
  app->ShowException(std::runtime_error("Нет памяти"));
  std::string err = testing::internal::GetCapturedStderr();
  SetHost(saved);
  EXPECT_EQ(err, "Проверка: Нет памяти.\n");
}

TEST_F(DialogsTest, MessageDlgAnswersWithTheModalResultOfTheButtonChosen) {
  TForm* f = MakeForm();
  f->Show();
  Pump();
  TSeenBox seen;
  Drive(seen, [&](HWND box) { ClickChild(box, IDNO); });
  EXPECT_EQ(MessageDlg("Сохранить изменения?", mtConfirmation, mbYesNoCancel, 0), mrNo);
  EXPECT_EQ(seen.Caption, "Подтверждение");
  EXPECT_EQ(seen.Text, "Сохранить изменения?");
  EXPECT_EQ(seen.Owner, f->Handle());

  Drive(seen, [&](HWND) { host.Key(VK_ESCAPE); });
  EXPECT_EQ(MessageDlg("Продолжить?", mtWarning, mbOKCancel, 0), mrCancel);
  EXPECT_EQ(seen.Caption, "Предупреждение");
  Drive(seen, [&](HWND) { host.Key(VK_RETURN); });
  EXPECT_EQ(MessageDlg("Готово", mtInformation, mbOK, 0), mrOk);
  EXPECT_EQ(seen.Caption, "Информация");
  Drive(seen, [&](HWND box) { ClickChild(box, IDRETRY); });
  EXPECT_EQ(MessageDlg("Диск занят", mtError, mbAbortRetryIgnore, 0), mrRetry);
  EXPECT_EQ(seen.Caption, "Ошибка");

  Drive(seen, [&](HWND) { host.Key(VK_RETURN); });
  ShowMessage("Снимок сохранён");
  EXPECT_EQ(seen.Caption, "Проверка");
  EXPECT_EQ(seen.Text, "Снимок сохранён");
  Drive(seen, [&](HWND box) { ClickChild(box, IDYES); });
  EXPECT_EQ(app->MessageBox("Заменить файл?", "Файл есть", MB_YESNO), IDYES);
  EXPECT_EQ(seen.Caption, "Файл есть");
  // With no form on the screen the box has no owner and still answers.
  f->Hide();
  Pump();
  Drive(seen, [&](HWND) { host.Key(VK_RETURN); });
  EXPECT_EQ(app->MessageBox("Без формы", ""), IDOK);
  EXPECT_EQ(seen.Owner, nullptr);
  EXPECT_EQ(seen.Caption, "Проверка");
}

TEST_F(DialogsTest, ButtonSetsBecomeTheSmallestRowThatHoldsThem) {
  struct Case {
    TMsgDlgButtons Buttons;
    UINT Row;
  } cases[] = {
      {0, MB_OK},
      {mbOK, MB_OK},
      {mbOKCancel, MB_OKCANCEL},
      {mbCancel, MB_OKCANCEL},
      {mbYes, MB_YESNO},
      {mbYesNo, MB_YESNO},
      {mbNo | mbCancel, MB_YESNOCANCEL},
      {mbYesNoCancel, MB_YESNOCANCEL},
      {mbRetry | mbCancel, MB_RETRYCANCEL},
      {mbRetry, MB_RETRYCANCEL},
      {mbIgnore, MB_ABORTRETRYIGNORE},
      {mbAbortRetryIgnore, MB_ABORTRETRYIGNORE},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MessageDlgStyle(mtCustom, c.Buttons), c.Row) << "buttons " << c.Buttons;
  EXPECT_EQ(MessageDlgStyle(mtError, mbOK), MB_OK | MB_ICONERROR);
  EXPECT_EQ(MessageDlgStyle(mtConfirmation, mbYesNo), MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(MessageDlgStyle(mtWarning, mbOK) & MB_ICONMASK, MB_ICONWARNING);
  EXPECT_EQ(MessageDlgStyle(mtInformation, mbOK) & MB_ICONMASK, MB_ICONINFORMATION);
}

}  // namespace
}  // namespace vm::test
