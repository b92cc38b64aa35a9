// TnxSkinPaintWnd: the common paint path of the subclass kinds that draw a
// whole window from the skin (statics, check boxes, group boxes, panels,
// spin buttons, tool and status bars, size grips).
//
// While the skin is active and the window's section exists, the window's
// own painting never shows: erasing is answered, and WM_PAINT and
// WM_PRINTCLIENT rebuild the cache (the section's item over what lies behind
// the window, then the kind's content) and copy it to the window. Every
// other message keeps the control's own handling; the messages that change
// what the control shows (enabling, text, font, focus, and the kind's own
// state messages) are passed on first and then repaint the window. Without
// a skin or without the section the window keeps its platform look.
//
// The cache is built before the window's paint context is taken: building
// it asks the parent for its picture and colour, and a window destroyed in
// that exchange is simply not painted.
#pragma once

#include <string_view>

#include "skin/paint/pixels/BackgroundInfo.h"
#include "skin/subclass/MainWnd.h"

namespace vm {

class TDC;

class TnxSkinPaintWnd : public TnxMainWnd {
 public:
  using TnxMainWnd::TnxMainWnd;

  void WndProc(TMessage& message) override;
  // Whether the skin paints the window now (active skin, its section there).
  virtual bool Skinned() const;

 protected:
  void PrepareCache() override;

  // The kind's look over the section item already in the cache.
  virtual void PaintContent(TBitmap& cache, const BackgroundInfo& background) = 0;
  // The state the section item is painted in (0 normal, 1 hot, 2 pressed).
  virtual int ItemState() const { return 0; }
  // The part of the cache the section item covers; the rest shows what lies
  // behind the window. An empty rectangle paints no item at all.
  virtual TRect ItemRect() const;
  // Whether the message changes what the window shows: it is passed on and
  // the window repainted afterwards.
  virtual bool ChangesLook(UINT message) const;
  // Copies the finished cache to the window's context (the whole cache by
  // default; a group box copies its frame only).
  virtual void CopyCache(TDC& dc, const TBitmap& cache);
  // The kind's own message handling before the common one; true when the
  // message was answered.
  virtual bool HandleMessage(TMessage& message) {
    (void)message;
    return false;
  }

  // What every kind does with a message (the kind's HandleMessage calls it
  // to pass a message on before looking at the result).
  void CommonHandling(TMessage& message);
  // Marks the cache stale and asks for a paint.
  void Invalidate();
  // The window's style bits.
  DWORD Style() const;
  // The mouse is over the window (commands 29 and 30 of the hot window).
  bool MouseOver() const;
  // The owner control's font, or the window's (the platform's dialog font
  // when it has none), selected into the canvas.
  void SelectWindowFont(TDC& canvas) const;
  // Text in the section's colours (the disabled mix when not enabled).
  void WriteText(TDC& canvas, std::string_view text, bool enabled, bool hot, std::uint32_t format,
                 const TRect& rect) const;
  // Copies what lies behind the window into rect of the cache: the parent's
  // picture when it gave one, else its colour, else the section's colour.
  void FillBehind(TBitmap& cache, const BackgroundInfo& background, const TRect& rect) const;
  // Magenta (key colour) pixels of rect show what lies behind the window.
  void ShowThroughKeyPixels(TBitmap& cache, const BackgroundInfo& background,
                            const TRect& rect) const;
  // A one-pixel frame in the skin's border colour.
  void FrameInBorderColour(TBitmap& cache, const TRect& rect) const;
  // A mask of the skin's GLOBALINFO section by name, or -1.
  int GlobalMask(std::string_view name) const;

 private:
  void Paint(HDC given);
  void TrackMouse(TMessage& message);
};

}  // namespace vm
