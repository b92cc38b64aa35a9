#include "platform/gfx/SysColors.h"

#include <array>

namespace vm {
namespace {

// A classic light desktop palette.
std::array<TColor, COLOR_COUNT> sysColors = {
    RGB(212, 208, 200),  // SCROLLBAR
    RGB(58, 110, 165),   // BACKGROUND
    RGB(10, 36, 106),    // ACTIVECAPTION
    RGB(128, 128, 128),  // INACTIVECAPTION
    RGB(212, 208, 200),  // MENU
    RGB(255, 255, 255),  // WINDOW
    RGB(0, 0, 0),        // WINDOWFRAME
    RGB(0, 0, 0),        // MENUTEXT
    RGB(0, 0, 0),        // WINDOWTEXT
    RGB(255, 255, 255),  // CAPTIONTEXT
    RGB(212, 208, 200),  // ACTIVEBORDER
    RGB(212, 208, 200),  // INACTIVEBORDER
    RGB(128, 128, 128),  // APPWORKSPACE
    RGB(10, 36, 106),    // HIGHLIGHT
    RGB(255, 255, 255),  // HIGHLIGHTTEXT
    RGB(212, 208, 200),  // BTNFACE
    RGB(128, 128, 128),  // BTNSHADOW
    RGB(128, 128, 128),  // GRAYTEXT
    RGB(0, 0, 0),        // BTNTEXT
    RGB(212, 208, 200),  // INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // BTNHIGHLIGHT
    RGB(64, 64, 64),     // 3DDKSHADOW
    RGB(212, 208, 200),  // 3DLIGHT
    RGB(0, 0, 0),        // INFOTEXT
    RGB(255, 255, 225),  // INFOBK
    RGB(181, 181, 181),  // 25 (unused)
    RGB(0, 0, 128),      // HOTLIGHT
    RGB(166, 202, 240),  // GRADIENTACTIVECAPTION
    RGB(192, 192, 192),  // GRADIENTINACTIVECAPTION
    RGB(49, 106, 197),   // MENUHILIGHT
    RGB(236, 233, 216),  // MENUBAR
};

}  // namespace

TColor GetSysColor(int index) {
  if (index < 0 || index >= COLOR_COUNT) return 0;
  return sysColors[std::size_t(index)];
}

void SetSysColor(int index, TColor value) {
  if (index >= 0 && index < COLOR_COUNT) sysColors[std::size_t(index)] = value & 0xFFFFFF;
}

TColor ColorToRGB(TColor c) {
  if ((c >> 24) == 0xFF) return GetSysColor(int(c & 0xFF));
  return c & 0xFFFFFF;
}

}  // namespace vm
