#include "skin/subclass/TransPanelWnd.h"

namespace vm {

void TnxTransPanelWnd::PaintContent(TBitmap& cache, const BackgroundInfo& background) {
  // The section's item already copied what lies behind; a parent without a
  // picture of its own gave its colour.
  (void)cache;
  (void)background;
}

}  // namespace vm
