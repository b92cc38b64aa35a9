// Shared set-up of the skin state tests: a headless host with an application,
// a skin folder written for the test, a manager that announces through the
// window announcer, and small skinned controls and forms that record every
// skin command they hear.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/host/headless/HeadlessHost.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/state/CommonData.h"
#include "skin/state/ControlPaint.h"
#include "skin/state/SkinCommand.h"
#include "skin/state/WindowAnnouncer.h"
#include "toolkit/Application.h"
#include "toolkit/CustomControl.h"
#include "toolkit/Form.h"
#include "toolkit/GraphicControl.h"

namespace vm::test {

// What the receivers heard, in order: "<name>:<command>".
inline std::vector<std::string>& Heard() {
  static std::vector<std::string> log;
  return log;
}

// The commands one receiver heard, in order.
inline std::vector<int> HeardBy(const std::string& name) {
  std::vector<int> out;
  for (const std::string& e : Heard())
    if (e.rfind(name + ":", 0) == 0) out.push_back(std::stoi(e.substr(name.size() + 1)));
  return out;
}

// The four commands of a skin change (queries and the rest left out).
inline std::vector<int> Changes(const std::vector<int>& all) {
  std::vector<int> out;
  for (int c : all)
    if (c == CmdNewSkin || c == CmdRemoveSkin || c == CmdRefresh || c == CmdUpdate)
      out.push_back(c);
  return out;
}

// Called for every command a receiver hears, before it handles it.
inline std::function<void(const std::string&, int)>& OnHeard() {
  static std::function<void(const std::string&, int)> f;
  return f;
}

inline void Record(const std::string& name, const TMessage& m) {
  if (m.Msg != SM_NIRVEXCMD) return;
  const int c = CommandOf(m.WParam);
  Heard().push_back(name + ":" + std::to_string(c));
  if (OnHeard()) OnHeard()(name, c);
}

// A windowed skinned control: its state's cache painted with the section.
class TSkinnedBox : public TCustomControl {
 public:
  TSkinnedBox(TComponent* owner, int controlType = 51)
      : TCustomControl(owner), SkinData(this, true) {
    SkinData.ControlType = controlType;
    tabStop_ = true;
  }
  std::string ClassName() const override { return "TSkinnedBox"; }
  void WndProc(TMessage& m) override {
    Record(Name(), m);
    if (SkinData.HandleMessage(m)) return;
    TCustomControl::WndProc(m);
    // A refreshed or updated control repaints in its current look.
    if (m.Msg == SM_NIRVEXCMD &&
        (CommandOf(m.WParam) == CmdRefresh || CommandOf(m.WParam) == CmdUpdate))
      Invalidate();
  }
  TsCommonData SkinData;

 protected:
  void Paint() override {
    if (!SkinData.IsSkinned(true)) {
      PaintDC()->FillRect(ClientRect(), Color());
      return;
    }
    if (SkinData.CacheInvalid) {
      SkinData.PrepareCache();
      PaintControlItem(SkinData, SkinData.GetParentBackground(), true, true,
                       SkinData.CacheBmp.get(), {Left(), Top()}, ClientRect(), 0);
      SkinData.CacheInvalid = false;
    }
    PaintDC()->BitBlt(0, 0, Width(), Height(), *SkinData.CacheBmp, 0, 0, SRCCOPY);
  }
};

// A windowless skinned control.
class TSkinnedSpot : public TGraphicControl {
 public:
  explicit TSkinnedSpot(TComponent* owner) : TGraphicControl(owner), SkinData(this, true) {
    SkinData.ControlType = 92;
  }
  std::string ClassName() const override { return "TSkinnedSpot"; }
  void WndProc(TMessage& m) override {
    Record(Name(), m);
    if (!SkinData.HandleMessage(m)) TGraphicControl::WndProc(m);
  }
  TsCommonData SkinData;
};

// A form that records what it hears.
class TRecordingForm : public TForm {
 public:
  explicit TRecordingForm(TComponent* owner) : TForm(owner) {}
  void WndProc(TMessage& m) override {
    Record(Name(), m);
    TForm::WndProc(m);
  }
};

// A form with a stand-in frame: it answers command 7 (so the walk over the
// application's forms leaves it to the registry) and command 4 with itself,
// registers while alive and records what the announcement asks of it.
class TFramedForm : public TForm, public TsFrameOwner {
 public:
  explicit TFramedForm(TComponent* owner) : TForm(owner) { RegisterSkinnedForm(this); }
  ~TFramedForm() override { UnregisterSkinnedForm(this); }
  void WndProc(TMessage& m) override {
    Record(Name(), m);
    if (m.Msg == WM_SETREDRAW) Steps.push_back(m.WParam ? "redraw+" : "redraw-");
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
  TCustomForm* FrameForm() const override { return const_cast<TFramedForm*>(this); }
  TsSkinManager* FrameManager() const override { return DefaultManager(); }
  void FreeFrameCache() override {}
  void FrameCommand(int, TsSkinManager*) override {}
  void RefreshFrame() override { Steps.push_back("frame"); }
  void PlaySkinChangeAnimation(int time) override {
    Steps.push_back("animation " + std::to_string(time));
  }
  std::vector<std::string> Steps;
};

// A skin folder: sections with plain colours, one see-through section.
inline const char* TestSkinText =
    "[GLOBALINFO]\r\nVERSION=5.43\r\nCOLOR=16777215\r\n\r\n"
    "[PANEL]\r\nCOLOR=255\r\nFONTCOLOR=0\r\n\r\n"
    "[SPEEDBUTTON]\r\nCOLOR=65280\r\n\r\n"
    "[EDIT]\r\nCOLOR=16711680\r\nFONTCOLOR=65535\r\n\r\n"
    "[STATUSBAR]\r\nCOLOR=8421504\r\n\r\n"
    "[GLASS]\r\nCOLOR=0\r\nTRANSPARENCY=25\r\n\r\n"
    "[WHITE]\r\nCOLOR=16777215\r\nFONTCOLOR=0\r\n";

class TSkinStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    dir = std::filesystem::temp_directory_path() /
          ("velmora-state-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    std::filesystem::remove_all(dir);
    WriteSkin("Test", TestSkinText);
    SetHost(&host);
    app = std::make_unique<TApplication>();
    Heard().clear();
    OnHeard() = nullptr;
    announcer = std::make_unique<TsWindowAnnouncer>();
  }
  void TearDown() override {
    OnHeard() = nullptr;
    manager.reset();
    app.reset();
    announcer.reset();
    SetHost(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  void WriteSkin(const std::string& name, const std::string& text) {
    std::filesystem::create_directories(dir / name);
    std::ofstream(dir / name / "Options.dat", std::ios::binary) << text;
  }
  // A manager over the test folder; no skin loaded yet.
  TsSkinManager& Manager() {
    if (!manager) {
      manager = std::make_unique<TsSkinManager>();
      manager->SetSkinDirectory(dir.string());
    }
    return *manager;
  }
  template <class T>
  T* MakeForm(const std::string& name) {
    auto* f = Create<T>(app.get());
    f->SetName(name);
    f->SetBounds(50, 50, 320, 240);
    return f;
  }
  template <class T>
  T* Put(TWinControl* parent, const std::string& name, int x, int y, int w, int h) {
    auto* c = Create<T>(parent);
    c->SetName(name);
    c->SetBounds(x, y, w, h);
    c->SetParent(parent);
    return c;
  }
  void Pump() { Application->ProcessMessages(); }

  std::filesystem::path dir;
  THeadlessHost host;
  std::unique_ptr<TApplication> app;
  std::unique_ptr<TsWindowAnnouncer> announcer;
  std::unique_ptr<TsSkinManager> manager;
};

}  // namespace vm::test
