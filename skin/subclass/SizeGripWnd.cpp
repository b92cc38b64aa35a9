#include "skin/subclass/SizeGripWnd.h"

#include "skin/data/SkinManager.h"
#include "skin/paint/MaskPaint.h"

namespace vm {

bool TnxSizeGripWnd::Skinned() const {
  return (Style() & (SBS_SIZEBOX | SBS_SIZEGRIP)) != 0 && TnxSkinPaintWnd::Skinned();
}

void TnxSizeGripWnd::PaintContent(TBitmap& cache, const BackgroundInfo& background) {
  (void)background;
  TsSkinManager* m = SkinManager();
  int grip = GlobalMask("GRIPIMAGE");
  if (!m->IsValidMaskIndex(grip)) {
    const int form = m->FindSectionIndex("FORM");
    grip = form >= 0 ? m->FindMaskIndex(form, "FORM", "GRIPIMAGE") : -1;
  }
  if (!m->IsValidMaskIndex(grip)) return;
  const TSize size = m->MaskStateSize(grip);
  if (size.cx <= 0 || size.cy <= 0) return;
  PaintStateImage(cache, TPoint{cache.Width() - size.cx, cache.Height() - size.cy}, 0,
                  m->ma[std::size_t(grip)]);
}

}  // namespace vm
