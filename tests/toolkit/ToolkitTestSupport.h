// Shared set-up for the toolkit tests: a headless host and an application
// object for each test, and small real controls the tests place on forms.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/host/headless/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "toolkit/Application.h"
#include "toolkit/CustomControl.h"
#include "toolkit/Form.h"
#include "toolkit/GraphicControl.h"
#include "toolkit/HintWindow.h"
#include "toolkit/Screen.h"

namespace vm::test {

// A windowless control that fills its bounds with its Color.
class TSwatch : public TGraphicControl {
 public:
  explicit TSwatch(TComponent* owner) : TGraphicControl(owner) {}
  std::string ClassName() const override { return "TSwatch"; }
  int Paints = 0;

 protected:
  void Paint() override {
    ++Paints;
    PaintDC()->FillRect(ClientRect(), Color());
  }
};

// A windowed control that takes the focus by Tab and fills itself with its Color.
class TBox : public TCustomControl {
 public:
  explicit TBox(TComponent* owner) : TCustomControl(owner) { tabStop_ = true; }
  std::string ClassName() const override { return "TBox"; }

 protected:
  void Paint() override { PaintDC()->FillRect(ClientRect(), Color()); }
};

class TToolkitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetHost(&host);
    app = std::make_unique<TApplication>();
    app->SetTitle("Проверка");
  }
  void TearDown() override {
    app.reset();
    SetHost(nullptr);
  }
  void Pump() { Application->ProcessMessages(); }
  // A visible form with a client area of w x h at (x, y).
  TForm* MakeForm(int x = 100, int y = 100, int w = 300, int h = 200) {
    auto* f = Create<TForm>(app.get());
    f->SetBounds(x, y, 10, 10);
    f->SetClientSize(w, h);
    return f;
  }
  template <class T>
  T* Put(TWinControl* parent, int x, int y, int w, int h) {
    auto* c = Create<T>(parent->Owner() ? parent->Owner() : parent);
    c->SetBounds(x, y, w, h);
    c->SetParent(parent);
    return c;
  }
  // Screen position of a point in a control's client area.
  TPoint At(TControl* c, int x, int y) { return c->ClientToScreen({x, y}); }
  void ClickAt(TControl* c, int x, int y) {
    TPoint p = At(c, x, y);
    host.Click(p.X, p.Y);
    Pump();
  }
  // The pixel a form shows at a client point.
  TColor PixelAt(TForm* f, int x, int y) {
    PresentWindows();
    TPoint p = At(f, x, y);
    TBitmap shot = host.Screenshot();
    return shot.GetPixel(p.X, p.Y);
  }

  THeadlessHost host;
  std::unique_ptr<TApplication> app;
};

}  // namespace vm::test
