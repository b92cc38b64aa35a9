// Painting of a skinned control's look from its skin state: the section's
// background and item in the control's state, the colour of what lies behind
// it, the refill of transparent border corners from the parent's picture and
// the caption in the section's font colours.
//
// Every entry point leaves the engine-wide KeyFillColor and ParentColor
// unset when it returns.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DC.h"
#include "platform/gfx/Types.h"
#include "skin/paint/pixels/BackgroundInfo.h"

namespace vm {

class TsCommonData;
class TControl;

// The section's background layers for the control's state. A custom colour
// (CustomColor) is the form's colour for a form frame's state, the owner
// control's colour otherwise.
void PaintControlBackground(const TsCommonData& data, BackgroundInfo background, int state,
                            TBitmap& bitmap, TPoint position, TRect rect);

// The control's whole item: background, the border in the state (a state-0
// border whose StretchMode has bit 2 is left out), then the corner images.
// Nothing without a bitmap, with an invalid section or a rect outside it.
void PaintControlItem(const TsCommonData& data, BackgroundInfo background, bool fillCentre,
                      bool useBackground, TBitmap* bitmap, TPoint position, TRect rect, int state);

// Sets ParentColor to the colour the parent shows its children (command 21),
// or to the parent's own colour when it does not answer; returns it resolved.
TColor AskParentColour(TControl* parent);

// Corner pieces for RefillCorners (see SectionPaint.h): cnTopLeft, cnBottomLeft,
// cnTopRight, cnBottomRight, cnAll.
void RefillCorners(TsCommonData& data, int state, int corners);
void RefillAllCorners(TsCommonData& data, int state);

// The owner's caption in the section's font colours, clipped to rect: in the
// owner's font (underlined for a hot "WEBBUTTON"), contours and main colour
// unless CustomFont, the disabled mix when not enabled, the font's own
// colour without a skin.
void WriteControlText(const TsCommonData& data, TDC& canvas, std::string_view text, bool enabled,
                      bool hot, int state, std::uint32_t format, TRect rect);

}  // namespace vm
