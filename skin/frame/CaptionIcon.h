// The icon at the left of a skinned caption.
//
// Without a glyph of the frame's title icon the form's own icon is drawn,
// else the application's, else the skin engine's default icon (the program's
// icon, given to the engine at start-up), else a plain application icon that
// the engine draws itself. A title icon glyph replaces all of them: it is
// stretched to its rectangle with magenta as its transparent colour.
#pragma once

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Types.h"
#include "skin/frame/TitleButtons.h"
#include "toolkit/Form.h"
#include "toolkit/Icon.h"

namespace vm {

// The engine's default icon, shown by forms when neither they nor the
// application have one. Empty until the program gives it one.
tk::TIcon& EngineDefaultIcon();

// The plain application icon of the given size, 32-bit with alpha: a small
// window with a blue caption. Used when no other icon is available.
TBitmap StandardApplicationIcon(int size);

// The icon side for a caption of height h: 0 below 9, 8 up to 16, 16 up to
// 27, else 32.
int CaptionIconSide(int h);

// Draws the caption icon into the frame cache. iconRect is the icon's place in
// window coordinates (its size the frame's icon size); captionHeight and
// topAreaHeight are the frame's metrics. Only pixels inside the cache are
// touched.
void PaintCaptionIcon(TBitmap& cache, const TCustomForm& form, const TsTitleIcon& icon,
                      const TRect& iconRect, int captionHeight, int topAreaHeight);

// Draws the caption icon of a window that is no form of the program (a
// platform dialog): its own small icon, else its large one, else the
// application's, the engine's default or the plain application icon, each
// stretched to iconRect.
void PaintWindowIcon(TBitmap& cache, HWND window, const TRect& iconRect);

}  // namespace vm
