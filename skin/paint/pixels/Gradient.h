// Multi-band gradients: the text form of skin descriptions, its parsed array
// and the painter.
//
// Text: fields separated by ';' (runs of separators count as one; leading and
// trailing ones give no field), read five per band: colour 1, colour 2,
// percent, mode and a skipped field. Numbers are signed decimal or, with a
// leading '$', hexadecimal. An incomplete last group is ignored.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/base/Exceptions.h"
#include "platform/gfx/Types.h"

namespace vm {

// One band; five 32-bit fields in this order (20 bytes).
struct GradientItem {
  std::int32_t Color1 = 0;   // $00BBGGRR at the start of the band
  std::int32_t Color2 = 0;   // $00BBGGRR at the end of the band
  std::int32_t Percent = 0;  // share of the whole length, at most 100
  std::int32_t Mode = 0;     // first item only: 0 vertical, 1 horizontal, 2 four triangles
  std::int32_t Reserved = 0;
};
static_assert(sizeof(GradientItem) == 20);

// Empty means no gradient.
using TsGradArray = std::vector<GradientItem>;

// A field that is not a number raises EConvertError (platform/base/Exceptions.h).

// Converts one field as a signed 32-bit integer: decimal, or hexadecimal with
// a leading '$'. Throws EConvertError with a message naming the text.
std::int32_t StrToInt(std::string_view text);

// Parses a gradient text into array (see above). Percent is capped at 100;
// an absent or empty text gives an empty array.
// A field that is not a number throws EConvertError; the array then has its
// new length with the bands before the failing field filled.
void ParseGradient(std::string_view text, TsGradArray& array);

// Paints the gradient into a 24-bit bitmap over rect (Right and Bottom
// exclusive, cut to the bitmap). The first item's Mode picks vertical (0),
// horizontal (1) or four triangles (2); other modes and an empty array paint
// nothing.
void PaintGradient(TBitmap& bitmap, TRect rect, const TsGradArray& array);

}  // namespace vm
