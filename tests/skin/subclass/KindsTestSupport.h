// Shared set-up of the tests of the subclass kinds: a borderless form whose
// picture (what skinned children read behind them) is a gradient of the
// skin's blues, plain platform windows made on it, the kinds' subclass
// objects made through the registry the dialog provider uses, and cut-outs
// of screenshots for small golden pictures.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/frame/CtrlAdapter.h"
#include "skin/subclass/AdapterKinds.h"
#include "skin/subclass/SubclassKinds.h"
#include "tests/skin/subclass/SubclassTestSupport.h"

namespace vm::test {

// The backdrop form with a probe that sees its messages first (true: answered).
class TProbeForm : public TBackdropForm {
 public:
  using TBackdropForm::TBackdropForm;
  std::function<bool(TMessage&)> Probe;
  void WndProc(TMessage& m) override {
    if (Probe && Probe(m)) return;
    TBackdropForm::WndProc(m);
  }
};

class TKindsTest : public TSubclassTest {
 protected:
  void SetUp() override {
    TSubclassTest::SetUp();
    RegisterAdapterSubclasses();
  }
  void TearDown() override {
    subclasses.clear();
    for (int k = 0; k < ThirdPartyListCount; ++k)
      RegisterAdapterSubclass(TThirdPartyKind(k), nullptr);
    TSubclassTest::TearDown();
  }

  // The form alone, with the gradient as its picture.
  void MakeBackdrop(int width, int height) {
    LoadBuiltinSkin();
    probe = Create<TProbeForm>(app.get());
    dialog = probe;
    dialog->SetName("Backdrop" + std::to_string(++backdrops));
    dialog->SetBorderStyle(bsNone);
    dialog->SetBounds(0, 0, width, height);
    dialog->Font()->SetName("Tahoma");
    dialog->Font()->SetHeight(-11);
    dialog->Backdrop = TBitmap(width, height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        dialog->Backdrop.SetPixel(x, y, RGB(190 + (y % 64) / 2, 210 + (y % 64) / 4, 240 - y % 64));
    dialog->Show();
    Pump();
  }

  // A plain platform window on the form.
  HWND Child(const char* cls, const std::string& text, DWORD style, int x, int y, int w, int h,
             int id = 0) {
    return CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, dialog->Handle(),
                          id);
  }

  // The kind's subclass object on the window, kept until the test ends.
  TnxMainWnd* Skin(TnxKind kind, HWND window, const std::string& section) {
    subclasses.push_back(MakeSubclass(kind, window, section, nullptr));
    return subclasses.back().get();
  }

  // rect of the form's screenshot.
  TBitmap Cut(const TBitmap& shot, const TRect& r) {
    TBitmap out(r.Width(), r.Height());
    TDC dc(out);
    dc.BitBlt(0, 0, r.Width(), r.Height(), shot, r.Left, r.Top, SRCCOPY);
    return out;
  }
  // The window's own rectangle in the form's screenshot.
  TBitmap CutWindow(const TBitmap& shot, HWND window) {
    TRect r, f;
    GetWindowRect(window, &r);
    GetWindowRect(dialog->Handle(), &f);
    return Cut(shot, r.Offset(-f.Left, -f.Top));
  }
  TPoint CentreOf(HWND window) {
    TRect r;
    GetWindowRect(window, &r);
    return {r.Left + r.Width() / 2, r.Top + r.Height() / 2};
  }

  std::vector<std::unique_ptr<TnxMainWnd>> subclasses;
  TProbeForm* probe = nullptr;
  int backdrops = 0;
};

}  // namespace vm::test
