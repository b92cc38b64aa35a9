// JPEG decoding to 24- and 32-bit bitmaps and encoding of 24-bit pixels,
// through libjpeg-turbo. Every library error becomes a TJpegError with the
// library's message. Decoding enforces limits of its own (pixel count, memory,
// number of progressive scans, data too short for the declared size), because
// the library trusts the file's header; every decoding path applies them.
//
// Pixels go straight between the library and the bitmap's B, G, R rows (the
// library's extended colour spaces), so decoding and encoding copy nothing per
// pixel. CMYK and YCCK files are the exception: the library cannot convert
// them, so they are decoded to CMYK and converted here, rounding exactly as
// libjpeg-turbo's own `djpeg -ppm` does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"

namespace vm {

// What went wrong, so that a caller can tell the user in words of its own;
// the message keeps the library's details.
enum class TJpegFault {
  Damaged,       // the data breaks off or contradicts itself
  NotJpeg,       // no JPEG start marker
  TooLarge,      // beyond the limits or the memory
  Unsupported,   // a kind of JPEG this build cannot decode (12-bit samples)
  TooManyScans,  // a progressive file with more scans than allowed
  Encoder,       // encoding failed
  File,          // the file could not be read or written
};

class TJpegError : public std::runtime_error {
 public:
  explicit TJpegError(const std::string& message, TJpegFault fault = TJpegFault::Damaged)
      : std::runtime_error(message), fault_(fault) {}
  TJpegFault Fault() const { return fault_; }

 private:
  TJpegFault fault_;
};

// The fault in the user's words (Russian), for error messages.
std::string JpegFaultText(TJpegFault fault);

struct TJpegLimits {
  std::int64_t MaxPixels = MaxBitmapPixels;  // width x height
  long MaxMemory = 512L << 20;               // the library's working memory
  int MaxScans = 200;                        // progressive scans
};

struct TJpegInfo {
  int Width = 0;
  int Height = 0;
  int Components = 0;  // 1 grey, 3 colour, 4 CMYK/YCCK
  bool Progressive = false;
};

// Reads only the header: no pixel memory is taken, nothing is decoded.
TJpegInfo ReadJpegInfo(std::span<const std::uint8_t> file);

// Decodes to a top-down bitmap of the given format (24-bit B, G, R or 32-bit
// B, G, R, 255). Greyscale, YCbCr, RGB, CMYK and YCCK files, baseline or
// progressive, all come out in colour; 12-bit files are reported as
// unsupported. A picture beyond the limits is refused before any pixel memory
// is taken.
TBitmap DecodeJpeg(std::span<const std::uint8_t> file, const TJpegLimits& limits = {},
                   TPixelFormat format = TPixelFormat::pf24bit);
TBitmap LoadJpegFile(const std::string& path, const TJpegLimits& limits = {});

// A reduced decode for previews: the library scales by 1/2, 1/4 or 1/8 while
// decoding (never a full decode and a shrink). The factor is the largest whose
// result still covers what a picture fitted into maxWidth x maxHeight needs
// (aspect kept, never enlarged), so the caller shrinks the result the rest of
// the way. Width and Height are the picture's full size.
struct TJpegPreview {
  TBitmap Bitmap;
  int Width = 0;
  int Height = 0;
  int ScaleDenom = 1;  // 1, 2, 4 or 8
};
TJpegPreview DecodeJpegScaled(std::span<const std::uint8_t> file, int maxWidth, int maxHeight,
                              const TJpegLimits& limits = {});
// The factor DecodeJpegScaled uses for a picture of the given size.
int JpegPreviewScaleDenom(int width, int height, int maxWidth, int maxHeight);

// Row-streaming encoder: Begin, then exactly `height` rows of `width` B, G, R
// triples (B, G, R, X quads for pf32bit) top to bottom, then Finish for the
// file's bytes. The library's
// defaults at a quality of 1-100 (clamped) with baseline tables, colour,
// sequential: the same bytes as `cjpeg -quality Q -baseline` from the same
// pixels. A caller can produce rows one by one (a scaled picture) without
// holding a second full-size bitmap. Any error throws TJpegError and leaves the
// encoder ready for a new Begin.
class TJpegEncoder {
 public:
  TJpegEncoder();
  ~TJpegEncoder();
  TJpegEncoder(const TJpegEncoder&) = delete;
  TJpegEncoder& operator=(const TJpegEncoder&) = delete;

  void Begin(int width, int height, int quality, TPixelFormat format = TPixelFormat::pf24bit);
  // `bgr` holds at least width * 3 (or 4) bytes.
  void WriteRow(std::span<const std::uint8_t> bgr);
  // The rows still expected before Finish.
  int RowsLeft() const;
  std::vector<std::uint8_t> Finish();

 private:
  struct TState;
  std::unique_ptr<TState> state_;
};

// Encodes a whole bitmap (24- or 32-bit, either row order) as above.
std::vector<std::uint8_t> EncodeJpeg(const TBitmap& bitmap, int quality);
void SaveJpegFile(const std::string& path, const TBitmap& bitmap, int quality);

}  // namespace vm
