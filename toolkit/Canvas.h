// TCanvas: drawing with a pen, a brush and a font on a platform device
// context. A canvas either owns its context (a bitmap's canvas) or is given
// one (a control's canvas during painting: SetHandle with the window's DC,
// SetHandle(nullptr) when painting ends). A canvas without a context asks
// CreateHandle() for one before drawing; when none can be had, drawing raises
// EInvalidOperation instead of writing nowhere.
//
// Before each operation the pen, brush and font are put into the context:
// lines and outlines use the pen (nothing for psClear), areas and the text
// background use the brush (nothing for bsClear, and text is then drawn
// without a background), text uses the font and its colour. Colours may be
// system colours. Coordinates are the context's logical coordinates.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/gfx/DC.h"
#include "toolkit/Brush.h"
#include "toolkit/Font.h"
#include "toolkit/Pen.h"

namespace vm::tk {

class TGraphic;

class TCanvas {
 public:
  TCanvas();
  virtual ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  virtual std::string ClassName() const { return "TCanvas"; }

  // The device context; creates it through CreateHandle when there is none.
  HDC Handle();
  bool HandleAllocated() const { return dc_ != nullptr; }
  // Uses a context owned elsewhere (or none). The caller keeps it alive while set.
  void SetHandle(HDC dc);

  TFont& Font() { return *font_; }
  TPen& Pen() { return *pen_; }
  TBrush& Brush() { return *brush_; }
  // The raster operation of CopyRect (SRCCOPY by default).
  std::uint32_t CopyMode() const { return copyMode_; }
  void SetCopyMode(std::uint32_t rop) { copyMode_ = rop; }

  // --- Text ---
  // One line with its cell's top-left at (x, y); the pen moves to its end.
  void TextOut(int x, int y, std::string_view text);
  // Fills rect with the brush (unless clear) and draws text at (x, y) clipped to rect.
  void TextRect(const TRect& rect, int x, int y, std::string_view text);
  TSize TextExtent(std::string_view text);
  int TextWidth(std::string_view text) { return TextExtent(text).cx; }
  int TextHeight(std::string_view text) { return TextExtent(text).cy; }

  // --- Pictures ---
  // Draws a graphic at its own size with its top-left at (x, y). A null or
  // empty graphic draws nothing.
  void Draw(int x, int y, TGraphic* graphic);
  // Draws a graphic scaled into rect (rows and columns dropped or repeated).
  void StretchDraw(const TRect& rect, TGraphic* graphic);
  // Copies source's rectangle into dest (scaling when the sizes differ) with CopyMode.
  void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);

  // --- Shapes ---
  void FillRect(const TRect& rect);
  // A one-pixel frame in the brush colour just inside rect.
  void FrameRect(const TRect& rect);
  // Outline with the pen (Width pixels inside the rectangle), inside with the brush.
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void MoveTo(int x, int y);
  // A line from the pen position to (x, y), without its last point.
  void LineTo(int x, int y);
  TPoint PenPos();
  void SetPenPos(TPoint p) { MoveTo(p.X, p.Y); }
  void Polyline(const TPoint* points, int count);
  void Polygon(const TPoint* points, int count);

  // --- Pixels ---
  // CLR_INVALID outside what can be painted.
  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor color);

  // Bounds of what can be painted, in logical coordinates.
  TRect ClipRect();

  // Fired after every drawing operation (a bitmap marks itself changed).
  std::function<void()> OnChange;

 protected:
  // Called when drawing starts without a context; a derived canvas gets one
  // here (SetHandle) from its window.
  virtual void CreateHandle() {}
  // Sets an owned context (a bitmap's canvas).
  void SetOwnedHandle(std::unique_ptr<TDC> dc);
  friend class TBitmap;

 private:
  TDC& Required();
  void PreparePen(TDC& dc);
  void PrepareBrush(TDC& dc);
  void PrepareText(TDC& dc);
  void Changed() {
    if (OnChange) OnChange();
  }
  void StyledLine(TDC& dc, TPoint a, TPoint b);

  std::unique_ptr<TFont> font_;
  std::unique_ptr<TPen> pen_;
  std::unique_ptr<TBrush> brush_;
  std::unique_ptr<TDC> owned_;
  TDC* dc_ = nullptr;
  std::uint32_t copyMode_ = SRCCOPY;
  int patternPhase_ = 0;  // position within a dashed pen's pattern along a polyline
};

}  // namespace vm::tk
