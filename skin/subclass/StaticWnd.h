// TnxStaticWnd: a platform static control painted from a skin section
// ("CHECKBOX" for the statics of a platform dialog): its text in the
// section's font colours over what lies behind it, laid out exactly as the
// platform lays it out (alignment, word wrap, ellipses, prefixes), greyed
// with the section's disabled colour when the window is disabled; frames
// and etched lines in the skin's border colour and a sunken border as a
// one-pixel frame of that colour. Clicks, notifications and text changes
// stay the control's own.
#pragma once

#include "skin/subclass/SkinPaintWnd.h"

namespace vm {

class TnxStaticWnd : public TnxSkinPaintWnd {
 public:
  using TnxSkinPaintWnd::TnxSkinPaintWnd;

  // The DrawText flags the platform writes a text static's caption with.
  static std::uint32_t TextFlags(DWORD style);

 protected:
  void PaintContent(TBitmap& cache, const BackgroundInfo& background) override;
  bool ChangesLook(UINT message) const override;
  // The client rectangle inside a sunken border (drawn here when the style has it).
  TRect ContentRect(TBitmap& cache);
};

}  // namespace vm
