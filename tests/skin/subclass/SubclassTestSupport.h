// Shared set-up of the subclass tests: the skinned-controls fixture (headless
// host, application, announcer, the built-in skin) plus a dialog-like form
// whose picture (what skinned children read behind them) is a gradient the
// form also shows, with an edit, a default OK button and a Cancel button.
#pragma once

#include <cmath>
#include <memory>
#include <string>

#include "platform/controls/ControlDefs.h"
#include "skin/state/CommonData.h"
#include "skin/state/SkinCommand.h"
#include "skin/subclass/BtnWnd.h"
#include "tests/skin/controls/ControlsTestSupport.h"
#include "toolkit/Button.h"
#include "toolkit/Canvas.h"
#include "toolkit/Edit.h"

namespace vm::test {

// A form that answers command 5 with a picture of its own, as a skinned
// frame does with its cache, and paints that picture as its face; it tells
// its children to see through to it (command 19).
class TBackdropForm : public TForm {
 public:
  explicit TBackdropForm(TComponent* owner) : TForm(owner) {
    OnPaint = [this](TComponent*) {
      if (Backdrop.Width() > 0)
        Canvas()->Handle()->BitBlt(0, 0, Backdrop.Width(), Backdrop.Height(), Backdrop, 0, 0,
                                   SRCCOPY);
    };
  }
  TBitmap Backdrop{0, 0};
  bool AnswerBackground = true;

  void WndProc(TMessage& m) override {
    if (m.Msg == SM_NIRVEXCMD && CommandOf(m.WParam) == CmdGetBackground && AnswerBackground &&
        Backdrop.Width() > 0) {
      BackgroundAnswer = BackgroundInfo{&Backdrop, 0, 0, 1};
      m.Result = 1;
      return;
    }
    // A gradient is no plain colour: children read the picture itself.
    if (m.Msg == SM_NIRVEXCMD && CommandOf(m.WParam) == CmdQuerySeeThrough && AnswerBackground) {
      m.Result = m.LParam = 1;
      return;
    }
    TForm::WndProc(m);
  }
};

// A push-button subclass that counts the enter and leave commands it gets.
class TCountingBtnWnd : public TnxBtnWnd {
 public:
  using TnxBtnWnd::TnxBtnWnd;
  int Enters = 0;
  int Leaves = 0;
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_NIRVEXCMD && CommandOf(m.WParam) == CmdMouseEnter) ++Enters;
    if (m.Msg == SM_NIRVEXCMD && CommandOf(m.WParam) == CmdMouseLeave) ++Leaves;
    TnxBtnWnd::WndProc(m);
  }
};

// Whether two pictures are equal pixel for pixel.
inline bool SamePicture(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
  return true;
}

class TSubclassTest : public TControlsTest {
 protected:
  // The dialog: an edit at the left, OK (default) and Cancel buttons.
  void MakeDialog(int width = 220, int height = 52) {
    LoadBuiltinSkin();
    dialog = Create<TBackdropForm>(app.get());
    dialog->SetName("Dialog");
    dialog->SetBorderStyle(bsNone);
    dialog->SetBounds(0, 0, width, height);
    dialog->Font()->SetName("Tahoma");
    dialog->Font()->SetHeight(-11);
    dialog->Backdrop = TBitmap(width, height);
    // A vertical gradient of the skin's blues: every blend with it shows.
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        dialog->Backdrop.SetPixel(x, y, RGB(190 + y / 2, 210 + y / 4, 240 - y));
    edit = Create<TEdit>(dialog);
    edit->SetName("Edit1");
    edit->SetParent(dialog);
    edit->SetBounds(8, 14, 40, 21);
    ok = MakeButton("OKBtn", "OK", 56);
    ok->SetDefault(true);
    cancel = MakeButton("CancelBtn", "Отмена", 138);
    cancel->SetCancel(true);
    dialog->Show();
    Pump();
    edit->SetFocus();
    Pump();
  }

  TButton* MakeButton(const std::string& name, const std::string& caption, int left) {
    auto* b = Create<TButton>(dialog);
    b->SetName(name);
    b->SetParent(dialog);
    b->SetBounds(left, 12, 75, 25);
    b->SetCaption(caption);
    return b;
  }

  // The skin state and push-button subclass the adapter would give a button.
  struct TAttached {
    std::unique_ptr<TsCommonData> Data;
    std::unique_ptr<TnxBtnWnd> Wnd;
    void Reset() {
      Wnd.reset();
      Data.reset();
    }
  };
  template <class T = TnxBtnWnd>
  TAttached Attach(TButton* b, const std::string& section = "BUTTON") {
    TAttached a;
    a.Data = std::make_unique<TsCommonData>(b, true);
    a.Data->ControlType = 227;
    a.Data->SetSkinSection(section);
    a.Wnd = std::make_unique<T>(b->Handle(), true, section, nullptr, a.Data.get());
    return a;
  }

  // Screen point at the centre of a control.
  static TPoint Centre(TControl* c) {
    TPoint p = c->ClientOrigin();
    return {p.X + c->Width() / 2, p.Y + c->Height() / 2};
  }

  void CompareSubclassGolden(const std::string& name, const TBitmap& actual) {
    if (const char* bin = std::getenv("VELMORA_BINARY_DIR")) {
      const fs::path out = fs::path(bin) / "golden-actual";
      fs::create_directories(out);
      SavePngFile((out / ("subclass-" + name + ".png")).string(), actual);
    }
    test::ExpectGolden(actual, SourceDir() / "tests/skin/subclass/golden" / (name + ".png"), name);
  }

  TBackdropForm* dialog = nullptr;
  TEdit* edit = nullptr;
  TButton* ok = nullptr;
  TButton* cancel = nullptr;
};

}  // namespace vm::test
