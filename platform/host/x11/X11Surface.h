// The host's copy of one top-level window's backing store, kept in the X
// server's pixel format so that it can be put on screen without converting
// again. Dirty rectangles of the store are converted into it and presented;
// an Expose is answered from it alone, without asking the program to paint.
//
// The image lives in a MIT-SHM segment when the server shares memory with us
// and in ordinary memory otherwise (XPutImage then copies through the socket).
//
// When the store's pixels already have the server's layout (a 32-bit store
// on the usual 32-bit B, G, R, X visual, a 24-bit store on a packed 24-bit
// one), nothing is converted: the rows are copied as they are into the shared
// image, and without shared memory they are put straight from the store and
// no copy is kept at all (an Expose then asks the window system to present
// the rectangle again).
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

  // Makes the surface width x height; keeps nothing of the old contents.
  // The image itself is made by the first Update.
  void Resize(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Shared() const { return shared_; }

  // True when store's rows can go to the server as they are: its pixel
  // layout is the server's, its rows run top-down and shared memory is not
  // in use. Such stores are put with PutDirect and the surface keeps no image.
  bool Direct(const TBitmap& store) const;
  // True when the surface holds an image of the last presented store (an
  // Expose can be answered from it).
  bool Keeps() const { return image_ != nullptr; }

  // Converts r of store (24 or 32 bits, either row order) into the image,
  // making the image first when there is none. r is clipped to both the
  // store and the image.
  void Update(const TBitmap& store, TRect r);
  // Puts r of the image into the window.
  void Put(::Window window, ::GC gc, TRect r);
  // Puts r of a Direct store into the window straight from its rows. The
  // store is not kept: Xlib has copied the rectangle when this returns.
  void PutDirect(::Window window, ::GC gc, const TBitmap& store, TRect r);
  // Waits until the server has read every shared image put so far, so that
  // the next Update does not change pixels it is still copying. Costs a
  // round trip only when nothing the server sent since the last put shows
  // that it has got that far.
  void Sync();

 private:
  void Release();
  void Create();
  bool CreateShared(int width, int height);
  void CreatePlain(int width, int height);
  // Bytes per pixel of store rows that the server takes unchanged (0: none).
  int SameLayoutBytes() const;

  TX11Display& display_;
  XImage* image_ = nullptr;
  XShmSegmentInfo shm_{};
  bool shared_ = false;
  bool pending_ = false;          // a shared put the server may still be reading
  unsigned long putRequest_ = 0;  // the request number of the last shared put
  int width_ = 0;
  int height_ = 0;
  // How to build a pixel of the visual from 8-bit channels.
  int redShift_ = 16, greenShift_ = 8, blueShift_ = 0;
  int redBits_ = 8, greenBits_ = 8, blueBits_ = 8;
  bool fastBgrx_ = false;   // 32-bit little-endian pixels with memory order B, G, R, X
  bool packedBgr_ = false;  // 24-bit little-endian pixels: the 24-bit store's own format
};

}  // namespace vm
