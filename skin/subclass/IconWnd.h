// TnxIconWnd: a platform icon or bitmap static (a message box's symbol, a
// file dialog's picture preview) painted from a skin section ("CHECKBOX"):
// the picture where the platform puts it (top-left, or centred with
// SS_CENTERIMAGE) over what lies behind the window instead of the classic
// face colour, inside a sunken border of the skin's border colour when the
// style has one. A static of another type that lands here (the platform
// tells them apart by bits the icon types share) is painted as a static.
#pragma once

#include "skin/subclass/StaticWnd.h"

namespace vm {

class TnxIconWnd : public TnxStaticWnd {
 public:
  using TnxStaticWnd::TnxStaticWnd;

 protected:
  void PaintContent(TBitmap& cache, const BackgroundInfo& background) override;
};

}  // namespace vm
