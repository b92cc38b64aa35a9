// Building a form's layout in code, one control per line, so that the
// constructor of a form reads like its stored layout:
//
//   Bevel1 = Place<TBevel>(this, this, "Bevel1", {8, 8, 281, 105},
//                          [](TBevel& b) { b.SetShape(bsFrame); });
//   sLabel1 = Place<TLabel>(this, this, "sLabel1", {87, 22},
//                           [](TLabel& l) { l.SetCaption("Качество изображения:"); });
//   OKBtn = Place<TButton>(this, this, "OKBtn", {126, 119, 75, 25}, [](TButton& b) {
//     b.SetCaption("OK");
//     b.SetDefault(true);
//     b.SetModalResult(mrOk);
//   });
//
// The control is named, given its bounds, set up (before it gets a parent,
// so that its window is made once with the final properties), and then put
// on its parent. Tab order follows the order of the lines, as in a stored
// layout; SetTabOrder changes it afterwards.
#pragma once

#include <functional>
#include <string>

#include "toolkit/WinControl.h"

namespace vm {

// Position and size in the parent's client area; a size of -1 keeps the
// control's own default (and labels with AutoSize measure themselves).
struct TPlacement {
  int Left = 0;
  int Top = 0;
  int Width = -1;
  int Height = -1;
};

template <class T>
T* Place(TComponent* owner, TWinControl* parent, const std::string& name, TPlacement at,
         const std::function<void(T&)>& setup = {}) {
  T* c = Create<T>(owner);
  try {
    c->SetName(name);
    c->SetBounds(at.Left, at.Top, at.Width < 0 ? c->Width() : at.Width,
                 at.Height < 0 ? c->Height() : at.Height);
    if (setup) setup(*c);
    c->SetParent(parent);
  } catch (...) {
    delete c;
    throw;
  }
  return c;
}

}  // namespace vm
