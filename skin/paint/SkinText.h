// Skinned text: captions in a section's font colours with up to four contour
// copies (one pixel left, up, right and down of the text, drawn before it in
// that order, so the main colour is always on top), the disabled colour
// between font and background colour, and the small text helpers every
// skinned control uses.
//
// Text is UTF-8. The canvas is a device context; its font is used as set.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/gfx/DC.h"
#include "platform/gfx/Types.h"

namespace vm {

class TsSkinManager;

// Horizontal alignment of a caption, in the toolkit's order.
enum : int { alignLeft = 0, alignRight = 1, alignCentre = 2 };

// Share of the font colour in disabled text (the rest is the section colour).
constexpr double DisabledTextFraction = 0.4;

// The colours text is drawn in, in drawing order: the four contour passes
// (left, top, right, bottom; clNoContour when a pass is not drawn) and the
// main colour. Disabled text has no contours.
struct TsTextColors {
  TColor Contour[4];
  TColor Main;
};

// The colours of a section's text for a state. Without a valid section every
// contour is off and the main colour is clNoContour.
TsTextColors SectionTextColors(TsSkinManager* manager, int sectionIndex, bool enabled, bool hot);

// Draws the passes of colors: each contour that is not clNoContour with rect
// shifted by (-1, 0), (0, -1), (+1, 0), (0, +1), then the main text in rect.
void DrawContouredText(TDC& canvas, std::string_view text, const TsTextColors& colors,
                       std::uint32_t format, const TRect& rect);

// A section's caption without control state: the manager defaults to the
// program's default manager; nothing is drawn for an invalid section or an
// empty text; the background mode becomes transparent; format is used as
// given.
void WriteSectionText(TDC& canvas, std::string_view text, bool enabled, TsSkinManager* manager,
                      bool hot, int sectionIndex, std::uint32_t format, TRect rect);

// The text itself when it fits in maxWidth pixels; else the longest prefix
// that fits followed by "..."; an empty text when maxWidth <= 0 or nothing
// fits. Characters are removed whole (UTF-8 code points).
std::string FitText(TDC& canvas, std::string_view text, int maxWidth);

// DrawText flags for an alignment (alignLeft, alignRight, alignCentre):
// vertically centred, tabs expanded; right-to-left reading swaps left and
// right and adds DT_RTLREADING.
std::uint32_t TextAlignFlags(int alignment, bool rightToLeft = false);

// Thin wrappers over the canvas' measuring and drawing.
int TextWidth(TDC& canvas, std::string_view text);
TSize TextExtent(TDC& canvas, std::string_view text);
int DrawTextIn(TDC& canvas, std::string_view text, TRect rect, std::uint32_t format);

}  // namespace vm
