// The measures of a skinned form's frame: border, caption, menu line, where
// the client area sits in the window and where the caption icon goes.
//
// None of them is stored in the form: the platform keeps computing the
// non-client area from its own metrics, and the skinned frame paints over
// exactly that area, so every value here is read from the platform's metrics
// and the window's current geometry each time it is needed.
#pragma once

#include "platform/gfx/Types.h"
#include "platform/win/WinApi.h"
#include "toolkit/Form.h"

namespace vm {

struct TsFrameMetrics {
  bool HasBorder = false;
  bool Minimized = false;
  bool Maximized = false;
  int BorderWidth = 0;   // left and right
  int BorderHeight = 0;  // top and bottom
  int CaptionHeight = 0;
  int MenuLineHeight = 0;  // one row of the menu bar; 0 without main menu
  int ClientLeft = 0;      // the client area's offset inside the window
  int ClientTop = 0;
  int ClientWidth = 0;
  int ClientHeight = 0;
  int TopAreaHeight = 0;  // everything above the client area
  int FrameWidth = 0;     // the window's outer size
  int WindowHeight = 0;
  bool IconShown = false;
  TSize IconSize{};
  TRect IconRect{};
};

// What a frame's measures depend on besides the window's geometry.
struct TsFrameStyle {
  TFormBorderStyle BorderStyle = bsSizeable;
  bool MDIChild = false;
  bool HasMenu = false;
  // The frame's choice to draw an icon at all, and the title icon's own size
  // (0: from the caption height).
  bool ShowAppIcon = true;
  int TitleIconWidth = 0;
  int TitleIconHeight = 0;
};

// The measures of a window as it is now. Without a window (h nullptr) the
// window and client sizes given are used, the client placed inside the
// border and caption.
TsFrameMetrics MeasureWindowFrame(HWND h, const TsFrameStyle& style, TSize windowSize = {},
                                  TSize clientSize = {});

// The border style a window's frame has by its styles: a tool window,
// sizeable or not; a sizing frame; a modal dialog frame; a caption (which
// brings a dialog frame); or none.
TFormBorderStyle BorderStyleOfWindow(DWORD style, DWORD exStyle);

// The measures of the form as it is now. titleIconWidth / titleIconHeight are
// the title icon's own size (0: from the caption height); showAppIcon is the
// frame's choice to draw an icon at all.
TsFrameMetrics MeasureFrame(const TCustomForm& form, bool showAppIcon, int titleIconWidth = 0,
                            int titleIconHeight = 0);

}  // namespace vm
