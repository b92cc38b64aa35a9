// The classic look's drawing primitives, with the platform's names and flag
// values: 3-D edges (DrawEdge), frame controls (check boxes, radio buttons,
// push buttons, scroll arrows, the size grip, caption buttons) and the dotted
// focus rectangle. The non-client frame and every control draw with these,
// so there is one source for each edge's colours.
//
// Colours are the system colours of platform/gfx/SysColors.h at the time of
// the call. Rectangles are logical coordinates of the context, exclusive
// right and bottom edges. Empty rectangles draw nothing.
#pragma once

#include <cstdint>

#include "platform/gfx/DC.h"
#include "platform/gfx/Types.h"

namespace vm {

// ---- DrawEdge: edge kinds (an outer and an inner one-pixel ring) ----
inline constexpr std::uint32_t BDR_RAISEDOUTER = 0x0001;
inline constexpr std::uint32_t BDR_SUNKENOUTER = 0x0002;
inline constexpr std::uint32_t BDR_RAISEDINNER = 0x0004;
inline constexpr std::uint32_t BDR_SUNKENINNER = 0x0008;
inline constexpr std::uint32_t BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
inline constexpr std::uint32_t BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER;
inline constexpr std::uint32_t EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr std::uint32_t EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr std::uint32_t EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
inline constexpr std::uint32_t EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

// ---- DrawEdge: which sides and how ----
inline constexpr std::uint32_t BF_LEFT = 0x0001;
inline constexpr std::uint32_t BF_TOP = 0x0002;
inline constexpr std::uint32_t BF_RIGHT = 0x0004;
inline constexpr std::uint32_t BF_BOTTOM = 0x0008;
inline constexpr std::uint32_t BF_TOPLEFT = BF_TOP | BF_LEFT;
inline constexpr std::uint32_t BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
inline constexpr std::uint32_t BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
// fills the inside (button face; window colour with BF_MONO)
inline constexpr std::uint32_t BF_MIDDLE = 0x0800;
// push-button colours: the brighter and darker lines outside
inline constexpr std::uint32_t BF_SOFT = 0x1000;
inline constexpr std::uint32_t BF_ADJUST = 0x2000;  // shrinks the rectangle by the edges drawn
inline constexpr std::uint32_t BF_FLAT = 0x4000;    // a flat frame: shadow outside, face inside
// a one-colour frame: window frame outside, window inside
inline constexpr std::uint32_t BF_MONO = 0x8000;

// Draws the edge along the chosen sides. With BF_ADJUST *rc becomes the
// inside. Returns false for a null context or rectangle.
bool DrawEdge(HDC dc, TRect* rc, std::uint32_t edge, std::uint32_t flags);

// The one-pixel two-colour ring DrawEdge draws each edge with, in colours of
// the caller's choosing (panels, menu items, bevels): top and left in
// topLeft, bottom and right in bottomRight, which owns the two corners the
// colours share. Only the chosen sides are drawn.
void Draw3DRing(HDC dc, const TRect& r, TColor topLeft, TColor bottomRight,
                std::uint32_t sides = BF_RECT);

// ---- DrawFrameControl: types ----
inline constexpr std::uint32_t DFC_CAPTION = 1;
inline constexpr std::uint32_t DFC_MENU = 2;
inline constexpr std::uint32_t DFC_SCROLL = 3;
inline constexpr std::uint32_t DFC_BUTTON = 4;

// ---- DrawFrameControl: parts (low byte, by type) and states ----
inline constexpr std::uint32_t DFCS_CAPTIONCLOSE = 0x0000;
inline constexpr std::uint32_t DFCS_CAPTIONMIN = 0x0001;
inline constexpr std::uint32_t DFCS_CAPTIONMAX = 0x0002;
inline constexpr std::uint32_t DFCS_CAPTIONRESTORE = 0x0003;
inline constexpr std::uint32_t DFCS_CAPTIONHELP = 0x0004;

inline constexpr std::uint32_t DFCS_MENUARROW = 0x0000;
inline constexpr std::uint32_t DFCS_MENUCHECK = 0x0001;
inline constexpr std::uint32_t DFCS_MENUBULLET = 0x0002;
inline constexpr std::uint32_t DFCS_MENUARROWRIGHT = 0x0004;

inline constexpr std::uint32_t DFCS_SCROLLUP = 0x0000;
inline constexpr std::uint32_t DFCS_SCROLLDOWN = 0x0001;
inline constexpr std::uint32_t DFCS_SCROLLLEFT = 0x0002;
inline constexpr std::uint32_t DFCS_SCROLLRIGHT = 0x0003;
inline constexpr std::uint32_t DFCS_SCROLLCOMBOBOX = 0x0005;
inline constexpr std::uint32_t DFCS_SCROLLSIZEGRIP = 0x0008;
inline constexpr std::uint32_t DFCS_SCROLLSIZEGRIPRIGHT = 0x0010;

inline constexpr std::uint32_t DFCS_BUTTONCHECK = 0x0000;
inline constexpr std::uint32_t DFCS_BUTTONRADIOIMAGE = 0x0001;
inline constexpr std::uint32_t DFCS_BUTTONRADIOMASK = 0x0002;
inline constexpr std::uint32_t DFCS_BUTTONRADIO = 0x0004;
inline constexpr std::uint32_t DFCS_BUTTON3STATE = 0x0008;
inline constexpr std::uint32_t DFCS_BUTTONPUSH = 0x0010;

inline constexpr std::uint32_t DFCS_INACTIVE = 0x0100;
inline constexpr std::uint32_t DFCS_PUSHED = 0x0200;
inline constexpr std::uint32_t DFCS_CHECKED = 0x0400;
// leaves the background (menu glyphs, check box insides)
inline constexpr std::uint32_t DFCS_TRANSPARENT = 0x0800;
inline constexpr std::uint32_t DFCS_HOT = 0x1000;
// push buttons: *rc becomes the inside of the edge
inline constexpr std::uint32_t DFCS_ADJUSTRECT = 0x2000;
inline constexpr std::uint32_t DFCS_FLAT = 0x4000;
inline constexpr std::uint32_t DFCS_MONO = 0x8000;

// Draws a frame control filling *rc (check boxes and radio buttons: a square
// of the shorter side, centred). Returns false for a null context or
// rectangle, or an unknown type.
bool DrawFrameControl(HDC dc, TRect* rc, std::uint32_t type, std::uint32_t state);

// Inverts every other pixel along the inside of *rc (a one-pixel dotted
// ring starting at the top-left corner): drawing it twice restores the
// pixels, which is how the focus rectangle is removed.
bool DrawFocusRect(HDC dc, const TRect* rc);

}  // namespace vm
