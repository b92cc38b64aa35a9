// A dialog skinned the way the program's dialogs are: the manager's hook
// gives it a frame, the frame's adapter gives its plain OK and Cancel buttons
// the push-button subclass, and switching skinning off gives everything back.
#include "skin/frame/CtrlAdapter.h"
#include "skin/state/SkinCommand.h"
#include "skin/subclass/AdapterKinds.h"
#include "skin/subclass/BtnWnd.h"
#include "tests/skin/frame/FrameTestSupport.h"
#include "toolkit/Button.h"
#include "toolkit/Label.h"

namespace vm::test {
namespace {

class SkinnedDialog : public TFrameTest {
 protected:
  void SetUp() override {
    TFrameTest::SetUp();
    RegisterAdapterSubclasses();
  }
  void TearDown() override {
    RegisterAdapterSubclass(tpButton, nullptr);
    TFrameTest::TearDown();
  }
  // The quality dialog's buttons and a platform label on a dialog form.
  TForm* MakeDialog() {
    auto* f = Create<TForm>(app.get());
    f->SetName("Dialog");
    f->SetBorderStyle(bsDialog);
    f->SetBorderIcons(biSystemMenu);
    f->SetCaption("Изменение качества");
    f->Font()->SetName("Tahoma");
    f->Font()->SetHeight(-11);
    f->SetClientSize(297, 60);
    f->SetLeft(40);
    f->SetTop(30);
    label = Create<TLabel>(f);
    label->SetParent(f);
    label->SetBounds(8, 8, 120, 13);
    label->SetCaption("Качество изображения:");
    ok = Create<TButton>(f);
    ok->SetParent(f);
    ok->SetBounds(126, 28, 75, 25);
    ok->SetCaption("OK");
    ok->SetDefault(true);
    cancel = Create<TButton>(f);
    cancel->SetParent(f);
    cancel->SetBounds(214, 28, 75, 25);
    cancel->SetCaption("Отмена");
    cancel->SetCancel(true);
    f->Show();
    Pump();
    return f;
  }
  void CompareDialogGolden(const std::string& name, const TBitmap& actual) {
    if (const char* bin = std::getenv("VELMORA_BINARY_DIR")) {
      const fs::path out = fs::path(bin) / "golden-actual";
      fs::create_directories(out);
      SavePngFile((out / ("subclass-" + name + ".png")).string(), actual);
    }
    test::ExpectGolden(actual, SourceDir() / "tests/skin/subclass/golden" / (name + ".png"), name);
  }
  TLabel* label = nullptr;
  TButton* ok = nullptr;
  TButton* cancel = nullptr;
};

TEST_F(SkinnedDialog, TheFramesAdapterSkinsThePlainButtonsAndGivesThemBack) {
  LoadBuiltinSkin();
  TForm* dialog = MakeDialog();
  TsSkinProvider* provider = ProviderOf(dialog);
  ASSERT_NE(provider, nullptr);
  ASSERT_TRUE(provider->Adapter());
  EXPECT_EQ(provider->Adapter()->ItemCount(), 2);
  for (TButton* b : {ok, cancel})
    EXPECT_NE(dynamic_cast<TnxBtnWnd*>(SubclassOf(b->Handle())), nullptr) << b->Caption();
  EXPECT_TRUE(label->Transparent());
  EXPECT_EQ(label->Font()->Color(), manager->GlobalFontColor());
  // The picture shows the buttons alone (what a transparent label shows
  // behind its text is the frame's client painting, not the adapter's).
  delete label;
  label = nullptr;
  host.MouseMove(0, 0);
  Pump();
  const TBitmap first = Shot(dialog);
  CompareDialogGolden("dialog-buttons", first);

  // A button made later is found when its window appears.
  auto* later = Create<TButton>(dialog);
  later->SetParent(dialog);
  later->SetBounds(8, 28, 75, 25);
  later->SetCaption("Ещё");
  later->HandleNeeded();
  Pump();
  EXPECT_NE(dynamic_cast<TnxBtnWnd*>(SubclassOf(later->Handle())), nullptr);
  delete later;

  // Skinning off: the adapter goes with its items, the buttons are plain.
  manager->SetActive(false);
  Pump();
  // (the run-time provider itself goes with the hook)
  provider = ProviderOf(dialog);
  EXPECT_TRUE(!provider || !provider->Adapter());
  for (TButton* b : {ok, cancel}) {
    EXPECT_EQ(SubclassOf(b->Handle()), nullptr);
    EXPECT_FALSE(QueryControl(b, CmdQueryHandled));
  }
  // And on again: the next activation gives the form a frame, and its
  // buttons are taken once more.
  manager->SetActive(true);
  dialog->Hide();
  dialog->Show();
  Pump();
  provider = ProviderOf(dialog);
  ASSERT_NE(provider, nullptr);
  ASSERT_TRUE(provider->Adapter());
  for (TButton* b : {ok, cancel})
    EXPECT_NE(dynamic_cast<TnxBtnWnd*>(SubclassOf(b->Handle())), nullptr) << b->Caption();
  // The buttons look exactly as before (the frame's corners are the frame's).
  const TBitmap again = Shot(dialog);
  for (TButton* b : {ok, cancel}) {
    const TPoint p = b->ClientOrigin();
    TRect w;
    GetWindowRect(dialog->Handle(), &w);
    for (int y = 0; y < b->Height(); ++y)
      for (int x = 0; x < b->Width(); ++x) {
        const int sx = p.X - w.Left + x, sy = p.Y - w.Top + y;
        ASSERT_EQ(again.GetPixel(sx, sy), first.GetPixel(sx, sy))
            << b->Caption() << " " << x << "," << y;
      }
  }
}

}  // namespace
}  // namespace vm::test
