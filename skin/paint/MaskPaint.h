// Painting of skin images (mask records): nine-part borders that stretch or
// tile to any size, single state images, textures, button glyphs, and the scan
// of transparent border corners that shapes a window.
//
// An image holds one frame per control state side by side; with MaskType >= 1
// a mask half below the image gives per-channel opacity (black opaque, white
// transparent). Magenta pixels are "not there": they are skipped, or replaced
// by what lies behind (a BackgroundInfo) or by the engine's KeyFillColor.
//
// Every function here clips to the bitmaps it reads and writes; bad records
// (rectangles outside their bitmap, image counts below 1, borders wider than
// the target, states past the last frame) paint what fits and nothing else.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Types.h"
#include "skin/data/SkinTypes.h"
#include "skin/paint/pixels/BackgroundInfo.h"
#include "skin/paint/pixels/PixelOps.h"

namespace vm {

// Bits of StretchMode for nine-part borders.
enum : int {
  smStretchMiddle = 1,  // sides and centre are stretched (half-tone); otherwise tiled
  smSkipNormal = 2,     // nothing is painted for state 0
  smPaintCentre = 4,    // the centre piece is painted when the caller asks for it
};

// Texture drawing modes (the StretchMode of a texture mask).
enum : int {
  tmTile = 0,         // tile the whole rectangle, cutting the last row and column
  tmStretch = 1,      // stretch the tile over the whole rectangle
  tmTopRow = 2,       // one row of tiles along the top
  tmLeftColumn = 3,   // one column of tiles down the left side
  tmStretchTop = 4,   // tile stretched to the width, keeping its height, at the top
  tmStretchLeft = 5,  // tile stretched to the height, keeping its width, at the left
  tmBottomRow = 6,    // one row of tiles along the bottom
  tmRightColumn = 7,  // one column of tiles down the right side (also any other value)
  tmWholeTiles = 10,  // masked textures only: whole tiles, leftovers from behind
};

// The area a texture left for the caller to fill; AllPainted when nothing is left.
constexpr TRect AllPainted{-1, -1, -1, -1};

// Frame geometry of a mask record: frame width W = width(R) div ImageCount,
// frame height H = height(R) div (MaskType + 1). Valid is false for records
// that cannot be painted (ImageCount < 1, MaskType < 0, empty frames).
struct TMaskFrame {
  bool Valid = false;
  int W = 0;
  int H = 0;
  int Count = 0;  // ImageCount

  static TMaskFrame Of(const TsMaskData& mask);
  // The state clamped to 0 .. ImageCount - 1.
  int ClampState(int state) const;
  // Left column of a state's frame in the source bitmap.
  int FrameLeft(const TsMaskData& mask, int state) const;
};

// The bitmap a mask's pixels lie in: its own Image, else the master bitmap of
// its manager; null when neither exists.
const TBitmap* MaskSourceBitmap(const TsMaskData& mask);

// Paints one state of a border image over rect of a 24-bit bitmap: corners at
// their own size, sides and centre tiled (or stretched, bit smStretchMiddle,
// for images without mask half). Borders wider than rect are shrunk to fit.
// Nothing is painted for state 0 with bit smSkipNormal, for a rect narrower or
// lower than 2 pixels, or for a mask without manager. Nothing outside rect is
// touched.
void PaintNinePart(TBitmap& bitmap, TRect rect, bool fillCentre, bool useBackground, int state,
                   const TsMaskData& mask, BackgroundInfo background);

// Copies one piece of a masked image (MaskType >= 1): sourceRect of source,
// blended through its mask H rows below, into destRect of bitmap. Magenta
// source pixels take the background (useBackground with a ready background),
// or KeyFillColor when no background is ready; see MaskPaint.cpp.
void CopyMaskedPiece(TRect destRect, TRect sourceRect, TBitmap& bitmap, const TsMaskData& mask,
                     bool useBackground, BackgroundInfo background, const TBitmap& source);

// Draws frame `state` of an image with its top-left at point. Mode 1 is the
// normal look; any other mode the light (half-transparent) look.
void PaintStateImage(TBitmap& bitmap, TPoint point, int state, const TsMaskData& mask,
                     int mode = 1);

// Fills rect with a texture: ownBitmap (tiled) when it is a non-empty picture,
// else the mask's whole rectangle R as the tile, drawn by mode. Returns the
// area left unpainted, or AllPainted.
TRect DrawTexture(TBitmap& bitmap, TRect rect, const TBitmap* ownBitmap, int mode,
                  const TsMaskData& mask);

// Tiles a masked texture (MaskType >= 1) over rect; mode tmTile or
// tmWholeTiles. Returns the area left unpainted, or AllPainted.
TRect TileMaskedTexture(TBitmap& bitmap, TRect rect, BackgroundInfo background, int mode,
                        const TsMaskData& mask);

// One tile of a masked texture: CopyMaskedPiece whose magenta pixels take the
// background pixel or, without a ready background, KeyFillColor.
void CopyMaskedTile(TRect destRect, TRect sourceRect, TBitmap& bitmap, const TsMaskData& mask,
                    BackgroundInfo background);

// Draws a button glyph (one image, or glyphCount images side by side) at
// destRect's top-left. Its transparent colour is its pixel in the bottom row.
// blend is a percentage of what stays visible of the destination.
void PaintGlyph(const TBitmap& glyph, TBitmap& dest, TRect destRect, bool down, int blend,
                int state, TsDisabledKind disabledKind, bool greyWhenNormal, bool enabled,
                int glyphCount);

// Appends the runs of magenta pixels in the corner pieces of frame 0, one
// rectangle one pixel high per run, for a window region: the top border rows
// (bottomEdge false) or the bottom ones, left pieces at their column, right
// pieces at formWidth - W + column, rows at y0 + row within the band.
void CollectKeyRuns(std::vector<TRect>& rects, int formWidth, const TsMaskData& mask,
                    bool bottomEdge, int y0);

}  // namespace vm
