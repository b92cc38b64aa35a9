// A skinned surface is drawn as one "item" of a skin section in one state:
// the section's background (colour, texture and gradient, optionally see-
// through to what lies behind), its four corner images and its nine-part
// border. These functions compose those layers into a 24-bit bitmap, normally
// a control's cache. The control-level painters (which know a control's skin
// state) are thin layers over them: they set KeyFillColor / ParentColor, call
// PaintSectionBackground, PaintSectionBorder and PaintCornerImages, and reset
// the two colours.
//
// The item painters (PaintSectionItem, PaintSectionToDC, PaintBorderItem)
// leave KeyFillColor and ParentColor unset (KeyColor); the building blocks
// read them as their caller set them.
// Invalid section or mask indexes, missing bitmaps and rectangles outside the
// bitmap paint nothing and report nothing.
#pragma once

#include <string_view>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DC.h"
#include "platform/gfx/Types.h"
#include "skin/data/SkinTypes.h"
#include "skin/paint/pixels/BackgroundInfo.h"

namespace vm {

class TsSkinManager;

// The values of one state of a section: state 0 reads the normal column,
// every other state the hot one.
struct TsStateLook {
  TColor Color = 0;         // resolved to $00BBGGRR
  int ImagePercent = 0;     // texture strength
  int GradientPercent = 0;  // gradient strength
  int Transparency = 0;     // see-through
  const TsGradArray* Gradient = nullptr;
  const char* PatternKey = "PATTERN";  // or "HOTPATTERN"

  static TsStateLook Of(const TsGeneralData& gd, int state);
};

// The manager to paint with: the given one, or the program's default manager.
TsSkinManager* PaintManager(TsSkinManager* manager);

// Whether rect lies inside the bitmap (non-negative Left and Top, Right and
// Bottom within the size) and is not empty.
bool RectInsideBitmap(const TBitmap& bitmap, const TRect& rect);

// The background layers of a section item into rect of bitmap. position is
// where rect lies relative to the background's origin. customColour replaces
// the section colour and switches texture, gradient and see-through off unless
// it is KeyColor. hotTexture / texture are mask indexes, -1 for a look-up of
// "HOTPATTERN" / "PATTERN" by name.
void PaintSectionBackground(int sectionIndex, std::string_view sectionName,
                            BackgroundInfo background, TColor customColour, int hotTexture,
                            int texture, TsSkinManager* manager, TBitmap& bitmap, TPoint position,
                            TRect rect, int state);

// The section's corner images ("IMGTOPLEFT", "IMGTOPRIGHT", "IMGBTMLEFT",
// "IMGBTMRIGHT"), each drawn in the state's frame at its corner of rect.
void PaintCornerImages(int sectionIndex, std::string_view sectionName, TsSkinManager* manager,
                       TBitmap& bitmap, TRect rect, int state);

// The border mask borderIndex as a nine-part image over rect, with the
// background offsets moved by position. Nothing for an invalid index.
void PaintSectionBorder(int borderIndex, TsSkinManager* manager, TBitmap& bitmap, TPoint position,
                        TRect rect, int state, bool fillCentre, bool useBackground,
                        BackgroundInfo background);

// A whole item where no control state exists (menus, title buttons):
// background, corner images, then the section's "BORDERSMASK" border.
void PaintSectionItem(int sectionIndex, std::string_view sectionName, BackgroundInfo background,
                      int hotTexture, int texture, TsSkinManager* manager, TBitmap& bitmap,
                      TPoint position, TRect rect, int state, bool fillCentre);

// PaintSectionItem into a temporary bitmap of rect's size, then copied to the
// device context at rect. Nothing for an empty rect or a negative Left or Top.
void PaintSectionToDC(int sectionIndex, std::string_view sectionName, BackgroundInfo background,
                      TsSkinManager* manager, TDC& dc, TPoint position, TRect rect, int state,
                      bool fillCentre);

// Background with explicit texture indexes (no look-up by name, the background
// bitmap always copied for see-through, no whole-tile pass), then the border
// mask given by index. Nothing when rect reaches outside the bitmap.
void PaintBorderItem(int sectionIndex, int borderIndex, int texture, TsSkinManager* manager,
                     TBitmap& bitmap, TPoint position, TRect rect, int state, bool fillCentre,
                     BackgroundInfo background, std::string_view sectionName, int hotTexture);

// Corner pieces of a border for RefillCornerPieces (a set of bits).
enum : int { cnTopLeft = 1, cnBottomLeft = 2, cnTopRight = 4, cnBottomRight = 8, cnAll = 15 };

// Re-fills the transparent parts of a border's corner pieces in a finished
// picture (a control's cache) from what lies behind it: every pixel of a
// selected corner whose source pixel in the state's frame is magenta takes the
// background pixel at (OffsetX + x, OffsetY + y) when ParentColor is unset and
// the background is ready, else ParentColor, else (no ready background)
// KeyFillColor when set; other pixels stay. Corners have the border's stored
// widths and sit at the picture's corners. A border of ImageCount 0 with its
// own picture counts as three frames with a mask half.
void RefillCornerPieces(TBitmap& picture, const TsMaskData& border, int state, int corners,
                        BackgroundInfo background);

}  // namespace vm
