// Device contexts: drawing state bound to a bitmap.
//
// Coordinates pass through three levels:
//   logical --(window origin, viewport origin)--> device --(device origin)--> bitmap
// device = logical - WindowOrg + ViewportOrg, bitmap = device + DeviceOrigin.
// The window system sets the device origin and the visible region when it
// hands out a context for a child window (the child's (0, 0) and the part of
// it that may be painted); paint code then moves the viewport origin and
// narrows the clip region in its own coordinates. Pixels are written only
// inside bitmap ∩ visible region ∩ clip region.
//
// SaveDC pushes the state that paint code may change (colours, modes, font,
// origins, clip region); RestoreDC pops it. The device origin and visible
// region belong to the window system and are not part of that state.
//
// Function-style wrappers with the platform's names and flag values follow the
// class, for code that is written in the platform's terms.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Gradient.h"
#include "platform/gfx/Region.h"
#include "platform/gfx/Stretch.h"
#include "platform/gfx/Types.h"

namespace vm {

// Background modes.
enum : int { TRANSPARENT = 1, OPAQUE = 2 };
// Stretch modes (BLACKONWHITE and WHITEONBLACK act as COLORONCOLOR on colour bitmaps).
enum : int {
  BLACKONWHITE = 1,
  WHITEONBLACK = 2,
  COLORONCOLOR = 3,
  HALFTONE = 4,
  STRETCH_DELETESCANS = 3,
  STRETCH_HALFTONE = 4
};

// Raster operations of block and stretch copies.
enum : std::uint32_t {
  SRCCOPY = 0x00CC0020,
  SRCPAINT = 0x00EE0086,    // dest | src
  SRCAND = 0x008800C6,      // dest & src
  SRCINVERT = 0x00660046,   // dest ^ src
  NOTSRCCOPY = 0x00330008,  // ~src
  DSTINVERT = 0x00550009,   // ~dest
  PATCOPY = 0x00F00021,     // brush colour
  BLACKNESS = 0x00000042,
  WHITENESS = 0x00FF0062,
};

// DrawText flags.
enum : std::uint32_t {
  DT_TOP = 0x0,
  DT_LEFT = 0x0,
  DT_CENTER = 0x1,
  DT_RIGHT = 0x2,
  DT_VCENTER = 0x4,
  DT_BOTTOM = 0x8,
  DT_WORDBREAK = 0x10,
  DT_SINGLELINE = 0x20,
  DT_EXPANDTABS = 0x40,
  DT_TABSTOP = 0x80,
  DT_NOCLIP = 0x100,
  DT_EXTERNALLEADING = 0x200,
  DT_CALCRECT = 0x400,
  DT_NOPREFIX = 0x800,
  DT_INTERNAL = 0x1000,
  DT_EDITCONTROL = 0x2000,
  DT_PATH_ELLIPSIS = 0x4000,
  DT_END_ELLIPSIS = 0x8000,
  DT_MODIFYSTRING = 0x10000,
  DT_RTLREADING = 0x20000,
  DT_WORD_ELLIPSIS = 0x40000,
  DT_HIDEPREFIX = 0x100000,
  DT_PREFIXONLY = 0x200000,
};

// An 8 x 8 one-bit pattern: bit (7 - x % 8) of row y % 8 marks pixel (x, y)
// (the platform's pattern-brush layout).
using TPattern8 = std::uint8_t[8];
// Every other pixel, (0, 0) set: the checkerboard of scroll tracks, dithered
// faces and dotted focus rectangles.
inline constexpr TPattern8 CheckerPattern = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};

// GetPixel's answer for a point outside the clip.
constexpr TColor CLR_INVALID = 0xFFFFFFFF;
// As a pen or brush colour: draw no outline, or leave the inside unfilled.
constexpr TColor CLR_NONE = 0xFFFFFFFF;

class TDC {
 public:
  // A context on the whole bitmap: device origin (0, 0), visible region = the
  // bitmap, following it when the bitmap changes size.
  explicit TDC(TBitmap& target);
  // A context for a part of the bitmap: device (0, 0) is bitmap point
  // deviceOrigin; visible is in device coordinates.
  TDC(TBitmap& target, TPoint deviceOrigin, const TRegion& visible);
  TDC(const TDC&) = delete;
  TDC& operator=(const TDC&) = delete;

  // Makes the context as new, for a part of a bitmap as the second
  // constructor does, but with the visible region given in bitmap
  // coordinates. The window system hands out released contexts again this
  // way, so that their buffers (saved states, regions) are reused.
  void ResetOnBitmap(TBitmap& target, TPoint deviceOrigin, const TRegion& bitmapVisible);

  TBitmap& Bitmap() { return *target_; }
  const TBitmap& Bitmap() const { return *target_; }

  // --- Window-system level (not saved by SaveDC) ---
  TPoint DeviceOrigin() const { return deviceOrigin_; }
  void SetDeviceOrigin(TPoint p);
  const TRegion& VisibleRegion() const {
    if (wholeBitmap_) EffectiveClip();  // brings the region up to the bitmap's size
    return visible_;
  }
  void SetVisibleRegion(const TRegion& deviceRgn);

  // --- Coordinates ---
  TPoint ViewportOrg() const { return state_.ViewportOrg; }
  // Both return the previous value.
  TPoint SetViewportOrg(TPoint p);
  TPoint OffsetViewportOrg(int dx, int dy);
  TPoint WindowOrg() const { return state_.WindowOrg; }
  TPoint SetWindowOrg(TPoint p);
  TPoint OffsetWindowOrg(int dx, int dy);
  // Logical to bitmap coordinates and back.
  TPoint LogicalToBitmap(TPoint p) const;
  TRect LogicalToBitmap(const TRect& r) const;
  TPoint BitmapToLogical(TPoint p) const;
  // Logical to device coordinates and back (device = the window's own).
  TPoint LPtoDP(TPoint p) const;
  TPoint DPtoLP(TPoint p) const;

  // --- Clipping (each returns NULLREGION, SIMPLEREGION or COMPLEXREGION of the result) ---
  // Rectangles in logical coordinates.
  int IntersectClipRect(const TRect& r);
  int ExcludeClipRect(const TRect& r);
  // Region in device coordinates; nullptr removes the clip region (RGN_COPY),
  // otherwise combined with the current clip by mode (RGN_AND, RGN_OR, ...).
  int SelectClipRgn(const TRegion* deviceRgn, int mode = RGN_COPY);
  // Moves the clip region by (dx, dy) device pixels.
  int OffsetClipRgn(int dx, int dy);
  // The clip region in device coordinates, if one is selected.
  std::optional<TRegion> GetClipRgn() const { return state_.Clip; }
  // Bounds of what can be painted, in logical coordinates (empty when nothing can).
  TRect ClipBox() const;
  // Whether any pixel of the logical rectangle can be painted.
  bool RectVisible(const TRect& r) const;
  bool PtVisible(TPoint p) const;
  // The region pixels are written to, in bitmap coordinates.
  const TRegion& EffectiveClip() const;

  // --- What has been drawn ---
  // The bitmap rectangle holding every pixel that drawing through this
  // context may have changed (empty when nothing was drawn). The window
  // system presents only that part of what a context could reach.
  TRect PaintedBounds() const { return painted_; }
  // For code that writes into Bitmap() itself: notes a bitmap rectangle (cut
  // to the clip) as drawn.
  void NotePainted(const TRect& bitmapArea) const;

  // --- Saved states ---
  // Returns the new depth (1 for the first save).
  int SaveDC();
  // level > 0: back to the state saved at that depth; level < 0: that many
  // saves back. Returns false (changing nothing) for a level that does not exist.
  bool RestoreDC(int level = -1);
  int SaveDepth() const { return int(saved_.size()); }

  // --- Attributes ---
  TColor TextColor() const { return state_.TextColor; }
  TColor SetTextColor(TColor c);  // returns the previous value, likewise below
  TColor BkColor() const { return state_.BkColor; }
  TColor SetBkColor(TColor c);
  int BkMode() const { return state_.BkMode; }
  int SetBkMode(int mode);
  TColor PenColor() const { return state_.PenColor; }
  TColor SetPenColor(TColor c);
  TColor BrushColor() const { return state_.BrushColor; }
  TColor SetBrushColor(TColor c);
  int StretchBltMode() const { return state_.StretchMode; }
  int SetStretchBltMode(int mode);
  const std::shared_ptr<const TFont>& Font() const { return state_.Font; }
  std::shared_ptr<const TFont> SelectFont(std::shared_ptr<const TFont> font);
  TPoint CurrentPosition() const { return state_.Pen; }

  // --- Drawing (logical coordinates; colours may be system colours) ---
  void FillRect(const TRect& r, TColor c);
  void FillRgn(const TRegion& logicalRgn, TColor c);
  // One-pixel outline just inside r.
  void FrameRect(const TRect& r, TColor c);
  // The pixels of r marked in an 8 x 8 pattern whose (0, 0) lies on logical
  // point origin get fg; the others get bg, or keep what they hold when bg is
  // CLR_NONE. A pattern brush, drawn row by row.
  void FillPattern(const TRect& r, const TPattern8& pattern, TPoint origin, TColor fg,
                   TColor bg = CLR_NONE);
  // Inverts the pixels of r marked in the pattern (origin as above).
  void InvertPattern(const TRect& r, const TPattern8& pattern, TPoint origin);
  // Fills the pixels of the w x h block at logical (x, y) whose byte in mask
  // (row j at mask + j * stride) is not zero.
  void FillMasked(int x, int y, int w, int h, const std::uint8_t* mask, std::ptrdiff_t stride,
                  TColor c);
  // Fills r with one colour per column (colours[i] for column r.Left + i;
  // the span holds r's width): one row is composed, the others copied.
  void FillColumns(const TRect& r, std::span<const TColor> colours);
  // Block copy of src's w x h at (sx, sy) to logical (x, y), leaving out every
  // pixel of the transparent colour key (compared on its red, green and blue).
  void TransparentBlt(int x, int y, int w, int h, const TBitmap& src, int sx, int sy, TColor key);
  // A 32-bit picture with alpha scaled into logical rectangle r, each pixel
  // taking the source pixel nearest its centre ((2i + 1) * width / (2 * r's
  // width)) and blended by its alpha: (s * a + d * (255 - a) + 127) / 255.
  // Pictures without alpha draw nothing. Icons are drawn this way.
  void DrawAlphaImage(const TRect& r, const TBitmap& image);
  // Returns the colour set, or CLR_INVALID when the point is clipped.
  TColor SetPixel(int x, int y, TColor c);
  // CLR_INVALID outside the clip.
  TColor GetPixel(int x, int y) const;
  // One-pixel lines through the points in the pen colour; the last point is
  // not drawn, as on the platform.
  void Polyline(const TPoint* points, int count);
  void MoveTo(int x, int y);
  // Line from the current position to (x, y), excluding (x, y).
  void LineTo(int x, int y);
  // A closed polygon: the inside (pixel centres inside by the even-odd rule)
  // in the brush colour, then the one-pixel outline through every point in the
  // pen colour. Either colour may be CLR_NONE.
  void Polygon(const TPoint* points, int count);
  // The outline of r just inside it in the pen colour, the rest in the brush colour.
  void Rectangle(const TRect& r);

  // Block copy of w x h from src's logical (sx, sy) to logical (x, y); src may be this DC.
  // Returns false for an unsupported raster operation.
  bool BitBlt(int x, int y, int w, int h, const TDC& src, int sx, int sy,
              std::uint32_t rop = SRCCOPY);
  bool BitBlt(int x, int y, int w, int h, const TBitmap& src, int sx, int sy,
              std::uint32_t rop = SRCCOPY);
  // Scaled copy in the current stretch mode (HALFTONE smooth, others nearest).
  // Only SRCCOPY scales; other operations with equal sizes act as BitBlt.
  bool StretchBlt(int x, int y, int w, int h, const TDC& src, int sx, int sy, int sw, int sh,
                  std::uint32_t rop = SRCCOPY);
  bool StretchBlt(int x, int y, int w, int h, const TBitmap& src, int sx, int sy, int sw, int sh,
                  std::uint32_t rop = SRCCOPY);

  // Gradient fill with vertices in logical coordinates (see Gradient.h).
  bool GradientFill(const TRIVERTEX* vertices, std::uint32_t vertexCount, const void* mesh,
                    std::uint32_t meshCount, std::uint32_t mode);

  // --- Text (UTF-8) in the selected font (the default font when none) ---
  // Draws a single line with its cell's top-left at (x, y); in OPAQUE mode the
  // cell is first filled with the background colour.
  void TextOut(int x, int y, std::string_view text);
  // Width and cell height of a single line; no prefix or tab handling.
  TSize GetTextExtent(std::string_view text) const;
  // Lays out and draws text within r with DT_* flags. With DT_CALCRECT nothing
  // is drawn and r's right and bottom are set to the extent of the text.
  // Lines break at CR LF, LF or CR (not with DT_SINGLELINE) and, with
  // DT_WORDBREAK, at spaces; a word wider than the line keeps a line of its
  // own. DT_VCENTER and DT_BOTTOM act on single lines only. DT_WORD_ELLIPSIS
  // and DT_PATH_ELLIPSIS shorten at the end like DT_END_ELLIPSIS. Without
  // DT_NOPREFIX, "&x" underlines x and "&&" is an ampersand.
  // Returns the height of the text (0 for an empty text); for a single line
  // with DT_VCENTER or DT_BOTTOM, the distance from r.Top to the text's bottom.
  int DrawText(std::string_view text, TRect& r, std::uint32_t flags);
  TTextMetric GetTextMetrics() const;

 private:
  struct TState {
    TPoint ViewportOrg;
    TPoint WindowOrg;
    std::optional<TRegion> Clip;  // device coordinates
    TColor TextColor = clBlack;
    TColor BkColor = clWhite;
    int BkMode = OPAQUE;
    TColor PenColor = clBlack;
    TColor BrushColor = clWhite;
    int StretchMode = BLACKONWHITE;
    std::shared_ptr<const TFont> Font;
    TPoint Pen;
    // Names the clip region: changed with every change of Clip, kept by
    // SaveDC and RestoreDC, so a restored state finds its effective clip.
    std::uint64_t ClipId = 0;
  };

  // The clip region of the current state changed.
  void ClipChanged();
  // The visible region, the device origin or the bitmap changed.
  void InvalidateClip() {
    clipValid_ = false;
    spareValid_ = false;
  }
  int ClipComplexity() const { return EffectiveClip().Complexity(); }
  const TFont& CurrentFont() const;
  void DrawLine(TPoint a, TPoint b);
  bool Blit(int x, int y, int w, int h, const TBitmap& src, int bsx, int bsy, int sw, int sh,
            std::uint32_t rop, bool stretch);
  // Calls f(y, left, right) for each run of pixels of a bitmap rectangle
  // that the clip lets through.
  template <class F>
  void ForEachSpan(const TRect& bitmapArea, F&& f) const;

  TBitmap* target_;
  TPoint deviceOrigin_;
  mutable TRegion visible_;   // device coordinates
  bool wholeBitmap_ = false;  // visible_ is the bitmap itself, whatever its size
  TState state_;
  std::vector<TState> saved_;
  // The effective clip (bitmap coordinates) of the state whose ClipId is
  // effectiveId_, and the one before it: a clip narrowed between SaveDC and
  // RestoreDC finds the outer clip still computed after the restore.
  mutable TRegion effective_;
  mutable std::uint64_t effectiveId_ = 0;
  mutable bool clipValid_ = false;
  mutable TRegion spare_;
  mutable std::uint64_t spareId_ = 0;
  mutable bool spareValid_ = false;
  std::uint64_t nextClipId_ = 1;
  mutable TSize clipForSize_;  // bitmap size effective_ was computed for
  mutable TRect clipBounds_;   // effective_'s bounds
  mutable TRect painted_;      // bitmap coordinates
};

// Saves a context's state for the lifetime of the object.
class TDCSaver {
 public:
  explicit TDCSaver(TDC& dc) : dc_(dc), level_(dc.SaveDC()) {}
  ~TDCSaver() { dc_.RestoreDC(level_); }
  TDCSaver(const TDCSaver&) = delete;
  TDCSaver& operator=(const TDCSaver&) = delete;

 private:
  TDC& dc_;
  int level_;
};

// ---- The platform's function names over TDC ----
using HDC = TDC*;

// Fills with a colour (the platform passes a brush; here the brush is its colour).
inline int FillRect(HDC dc, const TRect* r, TColor c) {
  if (!dc || !r) return 0;
  dc->FillRect(*r, c);
  return 1;
}
inline int FrameRect(HDC dc, const TRect* r, TColor c) {
  if (!dc || !r) return 0;
  dc->FrameRect(*r, c);
  return 1;
}
inline bool BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy,
                   std::uint32_t rop) {
  if (!dst) return false;
  if (!src) {
    if (rop != PATCOPY && rop != BLACKNESS && rop != WHITENESS && rop != DSTINVERT) return false;
    return dst->BitBlt(x, y, w, h, *dst, 0, 0, rop);
  }
  return dst->BitBlt(x, y, w, h, *src, sx, sy, rop);
}
inline bool StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                       std::uint32_t rop) {
  return dst && src && dst->StretchBlt(x, y, w, h, *src, sx, sy, sw, sh, rop);
}
inline int SetStretchBltMode(HDC dc, int mode) {
  return dc ? dc->SetStretchBltMode(mode) : 0;
}
inline int GetStretchBltMode(HDC dc) {
  return dc ? dc->StretchBltMode() : 0;
}
inline bool Polyline(HDC dc, const TPoint* pts, int count) {
  if (!dc || !pts || count < 0) return false;
  dc->Polyline(pts, count);
  return true;
}
inline bool Polygon(HDC dc, const TPoint* pts, int count) {
  if (!dc || !pts || count < 2) return false;
  dc->Polygon(pts, count);
  return true;
}
inline bool Rectangle(HDC dc, int l, int t, int r, int b) {
  if (!dc) return false;
  dc->Rectangle(TRect{l, t, r, b});
  return true;
}
inline bool MoveToEx(HDC dc, int x, int y, TPoint* prev) {
  if (!dc) return false;
  if (prev) *prev = dc->CurrentPosition();
  dc->MoveTo(x, y);
  return true;
}
inline bool LineTo(HDC dc, int x, int y) {
  if (!dc) return false;
  dc->LineTo(x, y);
  return true;
}
inline TColor SetPixel(HDC dc, int x, int y, TColor c) {
  return dc ? dc->SetPixel(x, y, c) : CLR_INVALID;
}
inline TColor GetPixel(HDC dc, int x, int y) {
  return dc ? dc->GetPixel(x, y) : CLR_INVALID;
}
inline bool GradientFill(HDC dc, const TRIVERTEX* v, std::uint32_t nv, const void* mesh,
                         std::uint32_t nm, std::uint32_t mode) {
  return dc && dc->GradientFill(v, nv, mesh, nm, mode);
}
inline int DrawText(HDC dc, std::string_view text, TRect* r, std::uint32_t flags) {
  return dc && r ? dc->DrawText(text, *r, flags) : 0;
}
inline bool TextOut(HDC dc, int x, int y, std::string_view text) {
  if (!dc) return false;
  dc->TextOut(x, y, text);
  return true;
}
inline bool GetTextExtentPoint32(HDC dc, std::string_view text, TSize* size) {
  if (!dc || !size) return false;
  *size = dc->GetTextExtent(text);
  return true;
}
inline bool GetTextMetrics(HDC dc, TTextMetric* tm) {
  if (!dc || !tm) return false;
  *tm = dc->GetTextMetrics();
  return true;
}
inline TColor SetTextColor(HDC dc, TColor c) {
  return dc ? dc->SetTextColor(c) : CLR_INVALID;
}
inline TColor GetTextColor(HDC dc) {
  return dc ? dc->TextColor() : CLR_INVALID;
}
inline TColor SetBkColor(HDC dc, TColor c) {
  return dc ? dc->SetBkColor(c) : CLR_INVALID;
}
inline TColor GetBkColor(HDC dc) {
  return dc ? dc->BkColor() : CLR_INVALID;
}
inline int SetBkMode(HDC dc, int mode) {
  return dc ? dc->SetBkMode(mode) : 0;
}
inline int GetBkMode(HDC dc) {
  return dc ? dc->BkMode() : 0;
}
inline int SaveDC(HDC dc) {
  return dc ? dc->SaveDC() : 0;
}
inline bool RestoreDC(HDC dc, int level) {
  return dc && dc->RestoreDC(level);
}
inline int IntersectClipRect(HDC dc, int l, int t, int r, int b) {
  return dc ? dc->IntersectClipRect(TRect{l, t, r, b}) : RGN_ERROR;
}
inline int ExcludeClipRect(HDC dc, int l, int t, int r, int b) {
  return dc ? dc->ExcludeClipRect(TRect{l, t, r, b}) : RGN_ERROR;
}
inline int SelectClipRgn(HDC dc, const TRegion* rgn) {
  return dc ? dc->SelectClipRgn(rgn, RGN_COPY) : RGN_ERROR;
}
inline int ExtSelectClipRgn(HDC dc, const TRegion* rgn, int mode) {
  return dc ? dc->SelectClipRgn(rgn, mode) : RGN_ERROR;
}
inline int GetClipBox(HDC dc, TRect* r) {
  if (!dc || !r) return RGN_ERROR;
  *r = dc->ClipBox();
  return dc->EffectiveClip().Complexity();
}
inline bool RectVisible(HDC dc, const TRect* r) {
  return dc && r && dc->RectVisible(*r);
}
inline bool SetViewportOrgEx(HDC dc, int x, int y, TPoint* prev) {
  if (!dc) return false;
  TPoint old = dc->SetViewportOrg({x, y});
  if (prev) *prev = old;
  return true;
}
inline bool OffsetViewportOrgEx(HDC dc, int dx, int dy, TPoint* prev) {
  if (!dc) return false;
  TPoint old = dc->OffsetViewportOrg(dx, dy);
  if (prev) *prev = old;
  return true;
}
inline bool GetViewportOrgEx(HDC dc, TPoint* p) {
  if (!dc || !p) return false;
  *p = dc->ViewportOrg();
  return true;
}
inline bool SetWindowOrgEx(HDC dc, int x, int y, TPoint* prev) {
  if (!dc) return false;
  TPoint old = dc->SetWindowOrg({x, y});
  if (prev) *prev = old;
  return true;
}
inline bool GetWindowOrgEx(HDC dc, TPoint* p) {
  if (!dc || !p) return false;
  *p = dc->WindowOrg();
  return true;
}
// Region helpers with the platform's names (regions are values here).
inline int CombineRgn(TRegion* dst, const TRegion* a, const TRegion* b, int mode) {
  if (!dst || !a || (mode != RGN_COPY && !b)) return RGN_ERROR;
  *dst = TRegion::Combine(*a, b ? *b : TRegion(), mode);
  return dst->Complexity();
}
inline bool PtInRegion(const TRegion* rgn, int x, int y) {
  return rgn && rgn->Contains(x, y);
}

}  // namespace vm
