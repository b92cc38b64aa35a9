// What the two skinned glyph buttons (TsBitBtn, TsSpeedButton) share: their
// look options, the caption measure, the glyph painted from a strip or from
// an image list, the caption with its focus frame, and which mouse
// transitions fade.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DC.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/state/AnimatEvents.h"
#include "toolkit/Bitmap.h"
#include "toolkit/ButtonGlyph.h"
#include "toolkit/ComponentLink.h"
#include "toolkit/ImageList.h"

namespace vm {

class TsCommonData;
class TComponent;
class TControl;
struct TMessage;

// How a single-cell glyph looks while its button is disabled.
enum TsDisabledGlyphFlag : std::uint8_t { dgBlended = 1, dgGrayed = 2 };
using TsDisabledGlyphKind = std::uint8_t;  // a set of TsDisabledGlyphFlag bits

// The mouse transitions of a glyph button that fade (the engine's one set,
// skin/state/AnimatEvents.h); aeGlobalDef defers to the manager's set.
using TsAnimatEvents = TnxAnimatEvents;

// Raised after a glyph button's cache is complete, before it is shown.
using TsPaintEvent = std::function<void(TControl* sender, TBitmap& cache)>;

// The look options both glyph buttons publish, with their defaults.
struct TsGlyphButtonLook {
  TAlignment Alignment = taCenter;
  int Blend = 0;
  TsDisabledGlyphKind DisabledGlyphKind = dgBlended;
  TsDisabledKind DisabledKind = dkBlended;
  bool Grayed = false;
  int ImageIndex = -1;
  bool ShowCaption = true;
  bool DrawOverBorder = true;
  int TextOffset = 0;
  TAlignment TextAlignment = taCenter;
  TsAnimatEvents AnimatEvents = aeGlobalDef;
};

// The DrawText flags of a caption alignment.
std::uint32_t CaptionAlignFlags(TAlignment alignment);

// Measures the caption with the control's font on the canvas: 0 x 0 when
// maxWidth is 0 or less or the text is empty.
TSize MeasureCaption(TDC& canvas, const TControl& control, const std::string& text, int maxWidth,
                     std::uint32_t flags);

// The size of one glyph cell: from the strip when it has pixels, else from
// the image list when the index is inside it, else 0 x 0.
TSize GlyphCellSize(const tk::TBitmap* glyph, int numGlyphs, const tk::TImageList* images,
                    int imageIndex);

struct TsGlyphPaint {
  TRect Rect;
  bool Down = false;  // the button is held down (Down, or a down state)
  int State = 0;      // 0 normal, 1 hot, 2 pressed
  bool Enabled = true;
  bool Active = false;         // hot or focused by the rule of the skin state
  bool KeyFromBottom = false;  // an image's key is its bottom-left pixel (speed button)
};

// Paints the glyph of the strip (when it has pixels) or of the image list
// into the cache.
void PaintButtonGlyph(TBitmap& cache, const TsGlyphPaint& p, const TsGlyphButtonLook& look,
                      const tk::TBitmap* glyph, int numGlyphs, const tk::TImageList* images);

// Writes the caption in the section's colours; with focusMargin >= 0 a
// dotted focus frame goes around it grown by that margin.
void PaintButtonCaption(const TsCommonData& data, TBitmap& cache, const std::string& text,
                        TRect rect, int state, bool enabled, std::uint32_t flags, int focusMargin);

// The engine-wide painting colours (KeyFillColor, ParentColor) unset while a
// glyph button builds its picture, and again when it is done.
struct TsEngineColours {
  TsEngineColours() { Reset(); }
  ~TsEngineColours() { Reset(); }
  TsEngineColours(const TsEngineColours&) = delete;
  TsEngineColours& operator=(const TsEngineColours&) = delete;
  static void Reset();
};

// The application's hints switched off while a mouse button is held on a
// glyph button, the setting given back after.
class TsHintsOff {
 public:
  TsHintsOff();
  ~TsHintsOff();
  TsHintsOff(const TsHintsOff&) = delete;
  TsHintsOff& operator=(const TsHintsOff&) = delete;

 private:
  bool saved_;
};

// Whether a mouse-enter or mouse-leave concerns the button itself (LParam 0
// or the button) rather than one of its children.
bool IsOwnMouseMessage(const TControl& button, const TMessage& m);
// Without a skin: the button's own mouse-enter or mouse-leave moves its
// MouseAbove mark and raises OnMouseEnter or OnMouseLeave. Returns false when
// the handler freed the button.
bool FollowPlainMouse(TControl& button, TsCommonData& data, const TMessage& m,
                      const std::function<void(TComponent*)>& onEnter,
                      const std::function<void(TComponent*)>& onLeave);

// Rebuilds a two-cell strip (image and disabled image) from the list, for the
// plain look without a skin. Nothing when the index lies outside the list.
bool GlyphStripFromImages(tk::TBitmap& strip, const tk::TImageList& images, int index,
                          TsDisabledGlyphKind kind);

}  // namespace vm
