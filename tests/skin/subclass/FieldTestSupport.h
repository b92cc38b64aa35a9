// Shared set-up of the text field, combo box and list view subclass tests:
// platform windows made straight on a backdrop form, as a platform dialog
// makes its children (no toolkit control behind them), pieces of the form's
// picture cut out and stacked for golden pictures, and a form that destroys
// a child while the child asks it for what lies behind.
#pragma once

#include <vector>

#include "skin/frame/CtrlAdapter.h"
#include "skin/subclass/AdapterKinds.h"
#include "skin/subclass/SubclassKinds.h"
#include "tests/skin/subclass/SubclassTestSupport.h"

namespace vm::test {

// A backdrop form that destroys one child window the first time that child
// (or its painter) asks what lies behind it.
class TDestroyingForm : public TBackdropForm {
 public:
  using TBackdropForm::TBackdropForm;
  HWND Victim = nullptr;
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_NIRVEXCMD && CommandOf(m.WParam) == CmdGetBackground && Victim) {
      const HWND v = Victim;
      Victim = nullptr;
      DestroyWindow(v);
    }
    TBackdropForm::WndProc(m);
  }
};

class TFieldTest : public TSubclassTest {
 protected:
  void SetUp() override {
    TSubclassTest::SetUp();
    RegisterAdapterSubclasses();
  }
  void TearDown() override {
    for (TThirdPartyKind k : {tpButton, tpEdit, tpComboBox, tpListView})
      RegisterAdapterSubclass(k, nullptr);
    for (TnxKind k : {nkPushButton, nkEdit, nkComboBox, nkListView})
      RegisterSubclassKind(k, nullptr);
    TSubclassTest::TearDown();
  }

  // The backdrop form with the built-in skin, nothing on it yet.
  template <class Form = TBackdropForm>
  Form* MakeBackdrop(int width, int height) {
    LoadBuiltinSkin();
    auto* f = Create<Form>(app.get());
    f->SetName("Dialog");
    f->SetBorderStyle(bsNone);
    f->SetBounds(0, 0, width, height);
    f->Backdrop = TBitmap(width, height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        f->Backdrop.SetPixel(x, y, RGB(190 + y / 4, 210 + y / 8, 240 - y / 2));
    f->Show();
    dialog = f;
    Pump();
    return f;
  }

  // A platform child of the form with the dialog font, as a dialog makes it.
  HWND Child(const char* cls, std::string_view text, DWORD style, TRect r, DWORD ex = 0) {
    HWND c = CreateWindowEx(ex, cls, text, WS_CHILD | WS_VISIBLE | style, r.Left, r.Top, r.Width(),
                            r.Height(), dialog->Handle(), ++lastId);
    if (c)
      SendMessage(c, WM_SETFONT,
                  WPARAM(reinterpret_cast<std::uintptr_t>(GetStockFont(DEFAULT_GUI_FONT))), 0);
    return c;
  }

  // The window's rectangle in the form's picture, grown by margin.
  TRect PlaceOf(HWND h, int margin = 2) const {
    TRect r, f;
    GetWindowRect(h, &r);
    GetWindowRect(dialog->Handle(), &f);
    return TRect{r.Left - f.Left - margin, r.Top - f.Top - margin, r.Right - f.Left + margin,
                 r.Bottom - f.Top + margin};
  }
  static TBitmap Crop(const TBitmap& b, TRect r) {
    TBitmap out(r.Width(), r.Height());
    CopyBitmapRect(out, 0, 0, r.Width(), r.Height(), b, r.Left, r.Top,
                   TRegion(TRect{0, 0, r.Width(), r.Height()}));
    return out;
  }
  // Pictures one below the other, two white rows between them.
  static TBitmap Stack(const std::vector<TBitmap>& parts) {
    int w = 0, h = 0;
    for (const TBitmap& p : parts) {
      w = std::max(w, p.Width());
      h += p.Height() + 2;
    }
    TBitmap out(w, std::max(h - 2, 1));
    out.Fill(0xFFFFFF);
    int y = 0;
    for (const TBitmap& p : parts) {
      CopyBitmapRect(out, 0, y, p.Width(), p.Height(), p, 0, 0,
                     TRegion(TRect{0, 0, out.Width(), out.Height()}));
      y += p.Height() + 2;
    }
    return out;
  }
  // The window's piece of the form's picture.
  TBitmap PieceOf(HWND h, int margin = 2) { return Crop(Shot(dialog), PlaceOf(h, margin)); }
  // The mouse far from every child.
  void MouseAway() {
    host.MouseMove(dialog->Width() - 2, dialog->Height() - 2);
    Pump();
  }
  static TPoint ScreenCentre(HWND h) {
    TRect r;
    GetWindowRect(h, &r);
    return {r.Left + r.Width() / 2, r.Top + r.Height() / 2};
  }

  int lastId = 100;
};

}  // namespace vm::test
