#include "skin/subclass/SpinWnd.h"

#include <algorithm>

#include "platform/controls/ControlDefs.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/SectionPaint.h"
#include "skin/paint/SkinText.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/state/CommonData.h"
#include "toolkit/Colors.h"

namespace vm {

bool TnxSpinWnd::Horizontal() const {
  return (Style() & UDS_HORZ) != 0;
}

// The halves the control itself uses: up on top (right with UDS_HORZ).
TRect TnxSpinWnd::ArrowRect(int arrow) const {
  TRect c;
  GetClientRect(Handle(), &c);
  if (Horizontal()) {
    const int mid = c.Width() / 2;
    return arrow == 1 ? TRect{mid, 0, c.Right, c.Bottom} : TRect{0, 0, mid, c.Bottom};
  }
  const int mid = c.Height() / 2;
  return arrow == 1 ? TRect{0, 0, c.Right, mid} : TRect{0, mid, c.Right, c.Bottom};
}

int TnxSpinWnd::ArrowAt(TPoint p) const {
  if (ArrowRect(1).Contains(p)) return 1;
  if (ArrowRect(2).Contains(p)) return 2;
  return 0;
}

int TnxSpinWnd::ArrowState(int arrow) const {
  if (!IsWindowEnabled(Handle())) return 0;
  if (PressedArrow() == arrow) return 2;
  if (hot_ == arrow && (pressed_ == 0 || pressed_ == arrow)) return 1;
  return 0;
}

void TnxSpinWnd::SetArrows(int hot, int pressed, bool over) {
  if (hot == hot_ && pressed == pressed_ && over == pressedOver_) return;
  hot_ = hot;
  pressed_ = pressed;
  pressedOver_ = pressed != 0 && over;
  Invalidate();
}

bool TnxSpinWnd::HandleMessage(TMessage& m) {
  const HWND h = Handle();
  const TPoint at{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  auto passOn = [&]() {
    CommonHandling(m);
    return IsWindow(h) && !Detached();
  };
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      // Held only when the control took the mouse for the press.
      if (!passOn()) return true;
      const int arrow = ArrowAt(at);
      if (GetCapture() == h && arrow) {
        byKey_ = false;
        SetArrows(arrow, arrow, true);
      }
      return true;
    }
    case WM_MOUSEMOVE: {
      if (!passOn()) return true;
      const int arrow = ArrowAt(at);
      if (pressed_ && !byKey_)
        SetArrows(arrow, pressed_, arrow == pressed_);
      else
        SetArrows(arrow, pressed_, pressedOver_);
      return true;
    }
    case WM_MOUSELEAVE:
      if (!passOn()) return true;
      SetArrows(0, pressed_, pressedOver_);
      return true;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      if (!passOn()) return true;
      if (pressed_ && !byKey_ && GetCapture() != h) SetArrows(hot_, 0, false);
      return true;
    case WM_KEYDOWN:
    case WM_KEYUP: {
      const bool horz = Horizontal();
      int arrow = 0;
      if (m.WParam == WPARAM(VK_UP) || (horz && m.WParam == WPARAM(VK_RIGHT))) arrow = 1;
      if (m.WParam == WPARAM(VK_DOWN) || (horz && m.WParam == WPARAM(VK_LEFT))) arrow = 2;
      if (!passOn()) return true;
      if (!arrow || !(Style() & UDS_ARROWKEYS) || (pressed_ && !byKey_)) return true;
      byKey_ = m.Msg == WM_KEYDOWN;
      SetArrows(hot_, m.Msg == WM_KEYDOWN ? arrow : 0, m.Msg == WM_KEYDOWN);
      return true;
    }
    case WM_ENABLE:
      if (!passOn()) return true;
      if (!m.WParam) {
        byKey_ = false;
        SetArrows(0, 0, false);
      }
      Invalidate();
      return true;
    default:
      return false;
  }
}

void TnxSpinWnd::PaintContent(TBitmap& cache, const BackgroundInfo& background) {
  TsSkinManager* m = SkinManager();
  TsCommonData* data = SkinData();
  const bool enabled = IsWindowEnabled(Handle());
  const bool horz = Horizontal();
  for (int arrow : {1, 2}) {
    const TRect r = ArrowRect(arrow).Intersect(TRect{0, 0, cache.Width(), cache.Height()});
    if (r.IsEmpty()) continue;
    const int state = ArrowState(arrow);
    PaintSectionItem(data->SectionIndex, data->SkinSection(), background, -1, -1, m, cache,
                     TPoint{WndPos().X + r.Left, WndPos().Y + r.Top}, r, state, true);
    // A solid triangle as the platform's: t rows, 2t - 1 pixels at its base,
    // a third of the button's shorter side, at least 3 rows where it fits.
    const int along = (horz ? r.Width() : r.Height()) - 4;
    const int across = (horz ? r.Height() : r.Width()) - 4;
    const int t = std::max(
        1, std::min({along / 2, (across + 1) / 2, std::max(3, std::min(along, across) / 3)}));
    const int base = 2 * t - 1;
    int x0 = r.Left + (r.Width() - (horz ? t : base)) / 2;
    int y0 = r.Top + (r.Height() - (horz ? base : t)) / 2;
    if (state == 2) {
      ++x0;
      ++y0;
    }
    const TsTextColors colours = SectionTextColors(m, data->SectionIndex, enabled, state != 0);
    const TColor colour = ColorToRGB(colours.Main);
    TDC dc(cache);
    for (int k = 0; k < t; ++k) {
      if (!horz) {
        const int y = arrow == 1 ? y0 + k : y0 + t - 1 - k;
        dc.FillRect(TRect{x0 + t - 1 - k, y, x0 + t + k, y + 1}, colour);
      } else {
        const int x = arrow == 1 ? x0 + t - 1 - k : x0 + k;
        dc.FillRect(TRect{x, y0 + t - 1 - k, x + 1, y0 + t + k}, colour);
      }
    }
  }
}

}  // namespace vm
