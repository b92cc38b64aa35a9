#include "platform/host/x11/X11Surface.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/host/x11/X11Display.h"
#include "platform/host/x11/X11PixelConvert.h"

namespace vm {

namespace {

void MaskShape(unsigned long mask, int& shift, int& bits) {
  if (mask == 0) {
    shift = 0;
    bits = 0;
    return;
  }
  shift = std::countr_zero(mask);
  bits = std::popcount(mask);
}

// An 8-bit channel value in a channel of bits bits (5 or 6 on 16-bit
// visuals, 10 on deep ones), rounded to the nearest level.
unsigned long Scale(std::uint8_t v, int bits) {
  if (bits == 8) return v;
  const unsigned long top = (1ul << bits) - 1;
  return (v * top + 127) / 255;
}

// X coordinates and sizes are 16-bit on the wire.
constexpr int MaxSide = 32767;

}  // namespace

TX11Surface::TX11Surface(TX11Display& display) : display_(display) {
  ::Visual* v = display.XVisual();
  MaskShape(v->red_mask, redShift_, redBits_);
  MaskShape(v->green_mask, greenShift_, greenBits_);
  MaskShape(v->blue_mask, blueShift_, blueBits_);
  // The image format of the visual's depth, as every image made for it will
  // have it (the list comes with the connection: no round trip).
  int bitsPerPixel = 0, count = 0;
  if (XPixmapFormatValues* formats = XListPixmapFormats(display.Handle(), &count)) {
    for (int i = 0; i < count; ++i)
      if (formats[i].depth == display.Depth()) bitsPerPixel = formats[i].bits_per_pixel;
    XFree(formats);
  }
  const bool bgrMasks = ImageByteOrder(display.Handle()) == LSBFirst && v->red_mask == 0xFF0000 &&
                        v->green_mask == 0xFF00 && v->blue_mask == 0xFF;
  fastBgrx_ = bgrMasks && bitsPerPixel == 32;
  packedBgr_ = bgrMasks && bitsPerPixel == 24;
}

TX11Surface::~TX11Surface() {
  Release();
}

void TX11Surface::Release() {
  if (!image_) return;
  if (shared_) {
    Sync();
    XShmDetach(display_.Handle(), &shm_);
    XSync(display_.Handle(), False);
    image_->data = nullptr;
    XDestroyImage(image_);
    shmdt(shm_.shmaddr);
    shm_ = {};
  } else {
    std::free(image_->data);
    image_->data = nullptr;
    XDestroyImage(image_);
  }
  image_ = nullptr;
  shared_ = false;
  pending_ = false;
  width_ = height_ = 0;
}

bool TX11Surface::CreateShared(int width, int height) {
  Display* dpy = display_.Handle();
  XImage* img = XShmCreateImage(dpy, display_.XVisual(), unsigned(display_.Depth()), ZPixmap,
                                nullptr, &shm_, unsigned(width), unsigned(height));
  if (!img) return false;
  std::size_t bytes = std::size_t(img->bytes_per_line) * std::size_t(height);
  shm_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (shm_.shmid < 0) {
    XDestroyImage(img);
    return false;
  }
  void* addr = shmat(shm_.shmid, nullptr, 0);
  if (addr == reinterpret_cast<void*>(-1)) {
    shmctl(shm_.shmid, IPC_RMID, nullptr);
    XDestroyImage(img);
    return false;
  }
  shm_.shmaddr = img->data = static_cast<char*>(addr);
  shm_.readOnly = False;
  int error = display_.Trap([&] { XShmAttach(dpy, &shm_); });
  // The segment disappears once both sides have detached.
  shmctl(shm_.shmid, IPC_RMID, nullptr);
  if (error != 0) {
    img->data = nullptr;
    XDestroyImage(img);
    shmdt(addr);
    shm_ = {};
    // A server that cannot attach never will: stop trying for every window.
    display_.DisableShm();
    return false;
  }
  image_ = img;
  shared_ = true;
  return true;
}

void TX11Surface::CreatePlain(int width, int height) {
  Display* dpy = display_.Handle();
  XImage* img = XCreateImage(dpy, display_.XVisual(), unsigned(display_.Depth()), ZPixmap, 0,
                             nullptr, unsigned(width), unsigned(height), 32, 0);
  if (!img) throw std::bad_alloc();
  std::size_t bytes = std::size_t(img->bytes_per_line) * std::size_t(height);
  img->data = static_cast<char*>(std::calloc(bytes, 1));
  if (!img->data) {
    XDestroyImage(img);
    throw std::bad_alloc();
  }
  image_ = img;
  shared_ = false;
}

void TX11Surface::Resize(int width, int height) {
  width = std::clamp(width, 1, MaxSide);
  height = std::clamp(height, 1, MaxSide);
  if (width == width_ && height == height_) return;
  Release();
  width_ = width;
  height_ = height;
}

void TX11Surface::Create() {
  if (image_ || width_ <= 0 || height_ <= 0) return;
  if (!(display_.UseShm() && CreateShared(width_, height_))) CreatePlain(width_, height_);
}

int TX11Surface::SameLayoutBytes() const {
  return fastBgrx_ ? 4 : packedBgr_ ? 3 : 0;
}

bool TX11Surface::Direct(const TBitmap& store) const {
  return !display_.UseShm() && !store.Empty() && !store.BottomUp() &&
         store.BytesPerPixel() == SameLayoutBytes();
}

void TX11Surface::PutDirect(::Window window, ::GC gc, const TBitmap& store, TRect r) {
  r = r.Intersect({0, 0, std::min(width_, store.Width()), std::min(height_, store.Height())});
  if (r.IsEmpty() || !Direct(store)) return;
  if (image_) {
    // An image kept from earlier presents would answer Exposes with old pixels.
    const int width = width_, height = height_;
    Release();
    width_ = width;
    height_ = height;
  }
  // An image header over the store's own rows (padded to four bytes, the
  // scan-line pad servers use): Xlib sends rows in the server's layout as
  // they are, and has copied or written out the rectangle when it returns.
  XImage header{};
  header.width = store.Width();
  header.height = store.Height();
  header.format = ZPixmap;
  header.data = reinterpret_cast<char*>(const_cast<std::uint8_t*>(store.Start()));
  header.byte_order = LSBFirst;
  header.bitmap_unit = 32;
  header.bitmap_bit_order = LSBFirst;
  header.bitmap_pad = 32;
  header.depth = display_.Depth();
  header.bytes_per_line = store.Stride();
  header.bits_per_pixel = store.BytesPerPixel() * 8;
  header.red_mask = 0xFF0000;
  header.green_mask = 0xFF00;
  header.blue_mask = 0xFF;
  if (!XInitImage(&header)) return;
  XPutImage(display_.Handle(), window, gc, &header, r.Left, r.Top, r.Left, r.Top,
            unsigned(r.Width()), unsigned(r.Height()));
}

void TX11Surface::Update(const TBitmap& store, TRect r) {
  if (store.Empty()) return;
  r = r.Intersect({0, 0, std::min(width_, store.Width()), std::min(height_, store.Height())});
  if (r.IsEmpty()) return;
  Create();
  if (!image_) return;
  Sync();
  const int bpp = store.BytesPerPixel();
  for (int y = r.Top; y < r.Bottom; ++y) {
    const std::uint8_t* src = store.ScanLine(y) + std::size_t(r.Left) * std::size_t(bpp);
    if (packedBgr_ && bpp == 3) {
      // The server takes the store's own bytes: rows are copied unchanged.
      std::memcpy(reinterpret_cast<std::uint8_t*>(image_->data) +
                      std::size_t(y) * std::size_t(image_->bytes_per_line) +
                      std::size_t(r.Left) * 3,
                  src, std::size_t(r.Width()) * 3);
    } else if (fastBgrx_) {
      auto* dst = reinterpret_cast<std::uint8_t*>(image_->data) +
                  std::size_t(y) * std::size_t(image_->bytes_per_line) + std::size_t(r.Left) * 4;
      const int n = r.Width();
      if (bpp == 4)
        std::memcpy(dst, src, std::size_t(n) * 4);
      else
        BgrToBgrx(src, dst, n);
    } else {
      for (int x = r.Left; x < r.Right; ++x, src += bpp) {
        const unsigned long pixel = Scale(src[2], redBits_) << redShift_ |
                                    Scale(src[1], greenBits_) << greenShift_ |
                                    Scale(src[0], blueBits_) << blueShift_;
        XPutPixel(image_, x, y, pixel);
      }
    }
  }
}

void TX11Surface::Put(::Window window, ::GC gc, TRect r) {
  if (!image_) return;
  r = r.Intersect({0, 0, width_, height_});
  if (r.IsEmpty()) return;
  if (shared_) {
    putRequest_ = NextRequest(display_.Handle());
    XShmPutImage(display_.Handle(), window, gc, image_, r.Left, r.Top, r.Left, r.Top,
                 unsigned(r.Width()), unsigned(r.Height()), False);
    pending_ = true;
  } else {
    XPutImage(display_.Handle(), window, gc, image_, r.Left, r.Top, r.Left, r.Top,
              unsigned(r.Width()), unsigned(r.Height()));
  }
}

void TX11Surface::Sync() {
  if (!pending_) return;
  // The server carries out requests in order and copies a shared image
  // while it carries out the put: any reply, event or error it sent for a
  // later request shows that the put is done. The event loop and the
  // program's own round trips usually have read one by now; only when not
  // does a round trip make sure. (Request numbers are 64-bit in Xlib.)
  if (LastKnownRequestProcessed(display_.Handle()) < putRequest_) XSync(display_.Handle(), False);
  pending_ = false;
}

}  // namespace vm
