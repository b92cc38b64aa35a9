#include "skin/subclass/DlgPanelWnd.h"

namespace vm {

void TnxDlgPanelWnd::PaintContent(TBitmap& cache, const BackgroundInfo& background) {
  (void)background;
  const std::string& text = WndText();
  if (text.empty()) return;
  TDC dc(cache);
  WriteText(dc, text, IsWindowEnabled(Handle()), false,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS,
            TRect{0, 0, cache.Width(), cache.Height()});
}

}  // namespace vm
