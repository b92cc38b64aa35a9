// The host's copy of one top-level window's backing store, kept in the X
// server's pixel format so that it can be put on screen without converting
// again. Dirty rectangles of the store are converted into it and presented;
// an Expose is answered from it alone, without asking the program to paint.
//
// The image lives in a MIT-SHM segment when the server shares memory with us
// and in ordinary memory otherwise (XPutImage then copies through the socket).
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Types.h"

namespace vm {

class TX11Display;

class TX11Surface {
 public:
  explicit TX11Surface(TX11Display& display);
  ~TX11Surface();
  TX11Surface(const TX11Surface&) = delete;
  TX11Surface& operator=(const TX11Surface&) = delete;

  // Makes the image width x height; keeps nothing of the old contents.
  void Resize(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Shared() const { return shared_; }

  // Converts r of store (24 or 32 bits, either row order) into the image.
  // r is clipped to both the store and the image.
  void Update(const TBitmap& store, TRect r);
  // Puts r of the image into the window.
  void Put(::Window window, ::GC gc, TRect r);
  // Waits until the server has read every shared image put so far, so that
  // the next Update does not change pixels it is still copying.
  void Sync();

 private:
  void Release();
  bool CreateShared(int width, int height);
  void CreatePlain(int width, int height);

  TX11Display& display_;
  XImage* image_ = nullptr;
  XShmSegmentInfo shm_{};
  bool shared_ = false;
  bool pending_ = false;  // a shared put the server may still be reading
  int width_ = 0;
  int height_ = 0;
  // How to build a pixel of the visual from 8-bit channels.
  int redShift_ = 16, greenShift_ = 8, blueShift_ = 0;
  int redBits_ = 8, greenBits_ = 8, blueBits_ = 8;
  bool fastBgrx_ = false;   // 32-bit little-endian pixels with memory order B, G, R, X
  bool packedBgr_ = false;  // 24-bit little-endian pixels: the 24-bit store's own format
};

}  // namespace vm
