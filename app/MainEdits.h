// The edits the main window carries out when it becomes active: recompression
// of the shown picture at `Quality`, then a proportional resize to the
// requested side, each through the work copy. Nothing here needs a window: the
// main form hands over its picture view as a TPictureView.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/JpegCodec.h"

namespace vm::app {

// The picture shown by the main window, as far as the edits need it.
class TPictureView {
 public:
  virtual ~TPictureView() = default;
  // The decoded pixels of the shown picture (24- or 32-bit, B, G, R).
  virtual const TBitmap& ShownPixels() = 0;
  // Shows the JPEG file at `path`; throws and keeps the old picture on failure.
  virtual void LoadFromFile(const std::string& path) = 0;
};

// A shown picture held in memory: the file's bytes and their decoded pixels.
class TShownPicture : public TPictureView {
 public:
  const TBitmap& ShownPixels() override { return pixels_; }
  void LoadFromFile(const std::string& path) override;
  const std::vector<std::uint8_t>& Data() const { return data_; }
  bool Empty() const { return pixels_.Empty(); }

 private:
  std::vector<std::uint8_t> data_;
  TBitmap pixels_;
};

// The limits a picture must meet to be opened or edited.
TJpegLimits PictureLimits();

// Reads and decodes a JPEG file within PictureLimits(); the error names the
// file. `data` receives the file's bytes.
TBitmap ReadPictureFile(const std::string& path, std::vector<std::uint8_t>& data);

struct TPixelSize {
  int Width = 0;
  int Height = 0;
  bool operator==(const TPixelSize&) const = default;
};

// The size a W x H picture gets: a picture taller than wide is scaled to
// `requestedLength` high, any other to `requestedWidth` wide; both sides by
// the same factor, rounded half to even. A side rounding to 0 (or below)
// keeps 1 pixel. Throws when the result would be beyond the bitmap limits.
TPixelSize ProportionalSize(int width, int height, std::int32_t requestedLength,
                            std::int32_t requestedWidth);

// The picture encoded anew at `quality` (libjpeg defaults, baseline tables,
// colour, sequential).
std::vector<std::uint8_t> Recompress(const TBitmap& pixels, int quality);

// The picture sampled to newWidth x newHeight by nearest neighbour at pixel
// centres (a centre on a boundary takes the lower source pixel) and encoded
// at `quality`. Rows go to the encoder one by one; no scaled bitmap is made.
std::vector<std::uint8_t> EncodeSampled(const TBitmap& pixels, int newWidth, int newHeight,
                                        int quality = 90);

// The main window's pending edits, in order: recompression if PendingQuality,
// then resize if PendingResize. Each clears its flag once done. An error is
// thrown on to the caller's error report with the flag left set, so the edit
// is tried again at the next activation; a failed recompression skips the
// resize. A resize reloads the view from the work copy even when it failed.
void RunPendingEdits(TPictureView& view);

}  // namespace vm::app
