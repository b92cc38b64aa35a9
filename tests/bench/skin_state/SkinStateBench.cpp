// Announcing a skin to the program's windows: the built-in skin loaded and
// announced to a form with 20 skinned buttons (the commands alone, and with
// the framed form's redraw that repaints every button from a fresh cache),
// next to loading the same skin with no windows to tell. Run with
// --benchmark_repetitions and --benchmark_enable_random_interleaving so the
// baseline is measured interleaved in the same run.
#include <benchmark/benchmark.h>

#include <memory>

#include "platform/host/headless/HeadlessHost.h"
#include "skin/data/BuiltinSkin.h"
#include "skin/data/SkinManager.h"
#include "skin/state/CommonData.h"
#include "skin/state/ControlPaint.h"
#include "skin/state/SkinCommand.h"
#include "skin/state/WindowAnnouncer.h"
#include "toolkit/Application.h"
#include "toolkit/CustomControl.h"
#include "toolkit/Form.h"

namespace {

using namespace vm;

// A skinned button face: its item painted into the cache when stale.
class TBenchButton : public TCustomControl {
 public:
  explicit TBenchButton(TComponent* owner) : TCustomControl(owner), SkinData(this, true) {
    SkinData.ControlType = 94;
  }
  void WndProc(TMessage& m) override {
    if (SkinData.HandleMessage(m)) return;
    TCustomControl::WndProc(m);
  }
  TsCommonData SkinData;

 protected:
  void Paint() override {
    if (!SkinData.IsSkinned(true)) return;
    if (SkinData.CacheInvalid) {
      SkinData.PrepareCache();
      PaintControlItem(SkinData, SkinData.GetParentBackground(), true, true,
                       SkinData.CacheBmp.get(), {Left(), Top()}, ClientRect(), 0);
      SkinData.CacheInvalid = false;
    }
    PaintDC()->BitBlt(0, 0, Width(), Height(), *SkinData.CacheBmp, 0, 0, SRCCOPY);
  }
};

// A form with a stand-in frame, so that the announcement redraws it.
class TBenchFramedForm : public TForm, public TsFrameOwner {
 public:
  explicit TBenchFramedForm(TComponent* owner) : TForm(owner) { RegisterSkinnedForm(this); }
  ~TBenchFramedForm() override { UnregisterSkinnedForm(this); }
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_NIRVEXCMD && CommandOf(m.WParam) == CmdQueryHandled) {
      m.Result = m.LParam = 1;
      return;
    }
    if (m.Msg == SM_NIRVEXCMD && CommandOf(m.WParam) == CmdGetFormFrame) {
      m.Result = reinterpret_cast<LRESULT>(static_cast<TsFrameOwner*>(this));
      return;
    }
    TForm::WndProc(m);
  }
  TCustomForm* FrameForm() const override { return const_cast<TBenchFramedForm*>(this); }
  TsSkinManager* FrameManager() const override { return DefaultManager(); }
  void FreeFrameCache() override {}
  void FrameCommand(int, TsSkinManager*) override {}
};

std::unique_ptr<TsSkinManager> MakeManager() {
  auto m = std::make_unique<TsSkinManager>();
  m->SetSkinDirectory("/nonexistent-velmora-bench");
  TsStoredSkin& s = m->InternalSkins().Add();
  s.Name = BuiltinSkinName;
  auto bytes = BuiltinSkinContainer();
  s.Data.assign(bytes.begin(), bytes.end());
  return m;
}

void BM_LoadSkinAlone(benchmark::State& state) {
  auto manager = MakeManager();
  for (auto _ : state) {
    manager->SetSkinName(BuiltinSkinName);
    benchmark::DoNotOptimize(manager->gd.data());
  }
}
BENCHMARK(BM_LoadSkinAlone)->Unit(benchmark::kMicrosecond);

template <class Form>
void Announce(benchmark::State& state) {
  THeadlessHost host;
  SetHost(&host);
  {
    TApplication app;
    TsWindowAnnouncer announcer;
    auto manager = MakeManager();
    auto* form = new Form(&app);
    form->SetBounds(20, 20, 520, 260);
    std::vector<TBenchButton*> buttons;
    for (int i = 0; i < 20; ++i) {
      auto* b = Create<TBenchButton>(form);
      b->SetBounds(10 + (i % 5) * 100, 10 + (i / 5) * 50, 90, 40);
      b->SetParent(form);
      buttons.push_back(b);
    }
    form->Show();
    app.ProcessMessages();
    for (auto _ : state) {
      manager->SetSkinName(BuiltinSkinName);
      app.ProcessMessages();
      benchmark::DoNotOptimize(buttons[19]->SkinData.SectionIndex);
    }
    if (!buttons[19]->SkinData.IsSkinned(true)) state.SkipWithError("the buttons were not skinned");
    manager.reset();
  }
  SetHost(nullptr);
}

void BM_AnnounceTo20Controls(benchmark::State& state) {
  Announce<TForm>(state);
}
BENCHMARK(BM_AnnounceTo20Controls)->Unit(benchmark::kMicrosecond);

void BM_AnnounceTo20ControlsWithRedraw(benchmark::State& state) {
  Announce<TBenchFramedForm>(state);
}
BENCHMARK(BM_AnnounceTo20ControlsWithRedraw)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
