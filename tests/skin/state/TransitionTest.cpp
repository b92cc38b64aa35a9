// Whole-window transitions on the headless host: the old picture captured
// from the program's own drawing, the output window laid over the window,
// the new look rendered off-screen and cross-faded in timed frames.
#include <memory>

#include "skin/state/FadeTimer.h"
#include "skin/state/Transition.h"
#include "tests/skin/state/StateTestSupport.h"
#include "toolkit/Panel.h"

namespace vm::test {
namespace {

constexpr TColor Red = RGB(255, 0, 0);
constexpr TColor Blue = RGB(0, 0, 255);

// A skinned box that prints itself from its cache.
class TPrintingBox : public TSkinnedBox {
 public:
  using TSkinnedBox::TSkinnedBox;
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_PRINTCLIENT) {
      if (SkinData.CacheInvalid) {
        SkinData.PrepareCache();
        PaintControlItem(SkinData, SkinData.GetParentBackground(), true, true,
                         SkinData.CacheBmp.get(), {Left(), Top()}, ClientRect(), 0);
        SkinData.CacheInvalid = false;
      }
      reinterpret_cast<HDC>(m.WParam)->BitBlt(0, 0, Width(), Height(), *SkinData.CacheBmp, 0, 0,
                                              SRCCOPY);
      return;
    }
    if (m.Msg == SM_NIRVEXCMD && CommandOf(m.WParam) == CmdQueryHandled) {
      m.Result = m.LParam = 1;
      return;
    }
    TSkinnedBox::WndProc(m);
  }
};

// A window that hears command 3 after every frame and looks at the output
// window and the covered form at that moment.
class TWatcher : public TForm {
 public:
  explicit TWatcher(TComponent* owner) : TForm(owner) {}
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_NIRVEXCMD && CommandOf(m.WParam) == CmdRefresh && OnFrame) OnFrame();
    TForm::WndProc(m);
  }
  std::function<void()> OnFrame;
};

// Per channel: clamp(((old - new) * a + new * 256) >> 8).
TColor Mixed(TColor o, TColor n, int a) {
  auto ch = [a](int x, int y) { return std::clamp(((x - y) * a + y * 256) >> 8, 0, 255); };
  return RGB(ch(GetRValue(o), GetRValue(n)), ch(GetGValue(o), GetGValue(n)),
             ch(GetBValue(o), GetBValue(n)));
}

class TransitionTest : public TSkinStateTest {
 protected:
  void SetUp() override {
    TSkinStateTest::SetUp();
    Manager().SetSkinName("Test");
    form = MakeForm<TRecordingForm>("Form");
    box = Put<TPrintingBox>(form, "Box", 10, 20, 60, 40);
    box->SkinData.SetSkinSection("PANEL");  // red
    panel = Put<TPanel>(form, "Plain", 100, 20, 50, 30);
    panel->SetColor(RGB(0, 128, 0));
    form->Show();
    Pump();
    watcher = MakeForm<TWatcher>("Watcher");
    watcher->HandleNeeded();
    CompanionWindow = watcher->Handle();
  }
  void TearDown() override {
    CompanionWindow = nullptr;
    TSkinStateTest::TearDown();
  }
  // A pixel of a window's store at a point of a control, relative to `top`'s window.
  TColor StorePixel(HWND window, TControl* c, int x, int y) {
    const TBitmap* store = GetWindowStore(window);
    TRect wr;
    GetWindowRect(window, &wr);
    const TPoint p = c->ClientToScreen({x, y});
    return store ? store->GetPixel(p.X - wr.Left, p.Y - wr.Top) : TColor(0xFFFFFFFF);
  }

  TRecordingForm* form = nullptr;
  TPrintingBox* box = nullptr;
  TPanel* panel = nullptr;
  TWatcher* watcher = nullptr;
};

TEST_F(TransitionTest, AFormCrossFadesFromItsCapturedToItsNewLook) {
  PresentWindows();
  ASSERT_EQ(StorePixel(form->Handle(), box, 5, 5), Red);

  BeginTransition(form);
  const TBitmap* old = TransitionSnapshot();
  TOutputWindow* out = TransitionOutput();
  ASSERT_NE(old, nullptr);
  ASSERT_NE(out, nullptr);
  EXPECT_TRUE(old->SamePixels(*GetWindowStore(form->Handle())));
  // A pop-up of the application window exactly over the form, not activated.
  TRect fr, orr;
  GetWindowRect(form->Handle(), &fr);
  GetWindowRect(out->Handle(), &orr);
  EXPECT_EQ(orr, fr);
  EXPECT_TRUE(IsWindowVisible(out->Handle()));
  EXPECT_EQ(GetParent(out->Handle()), Application->Handle());
  EXPECT_EQ(GetActiveWindow(), form->Handle());
  EXPECT_EQ(GetWindowText(out->Handle()), "nxOutputWindow");
  EXPECT_EQ(out->Color(), TColor(0x800080));

  // A second preparation keeps the first picture.
  BeginTransition(form);
  EXPECT_EQ(TransitionSnapshot(), old);

  // The new look: the box turns blue, which nothing has painted yet.
  box->SkinData.SetSkinSection("EDIT");
  std::vector<TColor> frames, formMeanwhile, plain;
  watcher->OnFrame = [&] {
    frames.push_back(StorePixel(out->Handle(), box, 5, 5));
    plain.push_back(StorePixel(out->Handle(), panel, 5, 5));
    formMeanwhile.push_back(StorePixel(form->Handle(), box, 5, 5));
  };
  const std::uint64_t before = host.Now();
  RunTransition(form, 16);

  // Time 16: three frames with old weights 255, 128 and 1, 8 ms apart.
  EXPECT_EQ(frames, (std::vector<TColor>{Mixed(Red, Blue, 255), Mixed(Red, Blue, 128),
                                         Mixed(Red, Blue, 1)}));
  EXPECT_EQ(plain, (std::vector<TColor>(3, RGB(0, 128, 0))));
  EXPECT_EQ(formMeanwhile, (std::vector<TColor>(3, Red))) << "rendered off-screen";
  EXPECT_EQ(host.Now() - before, 16u);
  EXPECT_EQ(TransitionOutput(), nullptr);
  EXPECT_EQ(TransitionSnapshot(), nullptr);
  EXPECT_EQ(RenderingContext, nullptr);
  PresentWindows();
  EXPECT_EQ(StorePixel(form->Handle(), box, 5, 5), Blue);
  EXPECT_EQ(StorePixel(form->Handle(), panel, 5, 5), RGB(0, 128, 0));
}

TEST_F(TransitionTest, AChildControlIsCoveredInItsParentAndShortTimesJump) {
  BeginTransition(box);
  TOutputWindow* out = TransitionOutput();
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out->Parent(), form);
  EXPECT_EQ(out->BoundsRect(), box->BoundsRect());
  EXPECT_EQ(GetWindow(out->Handle(), GW_HWNDNEXT), box->Handle()) << "directly above the box";
  EXPECT_TRUE(IsWindowVisible(out->Handle()));
  EXPECT_EQ(TransitionSnapshot()->GetPixel(0, 0), Red);

  box->SkinData.SetSkinSection("EDIT");
  int frames = 0;
  watcher->OnFrame = [&] { ++frames; };
  const std::uint64_t before = host.Now();
  RunTransition(box, 7);
  EXPECT_EQ(frames, 0);
  EXPECT_EQ(host.Now(), before);
  EXPECT_EQ(TransitionOutput(), nullptr);
  EXPECT_EQ(form->ControlCount(), 2);
  PresentWindows();
  EXPECT_EQ(StorePixel(form->Handle(), box, 1, 1), Blue);

  // Run without Begin: prepared on the spot; time 8 gives two frames.
  box->SkinData.SetSkinSection("PANEL");
  RunTransition(box, 8);
  EXPECT_EQ(frames, 2);
}

TEST_F(TransitionTest, ControlTreesRenderOffScreenWithTheirChildren) {
  auto* inner = Put<TPanel>(panel, "Inner", 5, 5, 10, 10);
  inner->SetColor(RGB(9, 9, 9));
  Pump();
  TBitmap shot(form->Width(), form->Height());
  PaintControlTree(shot, form);
  PresentWindows();
  EXPECT_TRUE(shot.SamePixels(*GetWindowStore(form->Handle())));

  // Invisible controls render nothing.
  TBitmap none(20, 20);
  none.Fill(RGB(1, 2, 3));
  panel->SetVisible(false);
  PaintControlTree(none, panel);
  EXPECT_EQ(none.GetPixel(10, 10), RGB(1, 2, 3));
}

}  // namespace
}  // namespace vm::test
