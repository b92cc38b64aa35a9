// Reading and writing the platform's device-independent bitmap files (BMP).
//
// Read: 1, 4 and 8 bits with a palette (optionally RLE8 or RLE4 compressed),
// 16 bits (5-5-5, or 5-6-5 and other masks through BI_BITFIELDS), 24 and 32
// bits; bottom-up and top-down files; headers of 12 (core), 40, 52, 56, 108
// and 124 bytes. Anything malformed (wrong magic, impossible size, truncated
// pixels, palette index out of range, ...) throws TBmpError with a message;
// nothing is allocated for a size the file cannot hold.
//
// Write: 24 bits, and 8 bits with a palette of the bitmap's own colours.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"

namespace vm {

class TBmpError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class TBmpRowOrder {
  AsFile,  // bottom-up when the file is (the usual case), top-down otherwise
  TopDown,
  BottomUp,
};

// What the file said about itself.
struct TBmpInfo {
  int Width = 0;
  int Height = 0;  // always positive
  int BitCount = 0;
  bool TopDownFile = false;
  std::uint32_t Compression = 0;  // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
  std::vector<TColor> Palette;    // for 1, 4 and 8 bits
};

// Decodes a BMP file held in memory into a 24-bit bitmap (32-bit with the
// file's alpha when keepAlpha is set and the file has 32 bits per pixel).
TBitmap ReadBmp(std::span<const std::uint8_t> file, TBmpRowOrder order = TBmpRowOrder::AsFile,
                TBmpInfo* info = nullptr, bool keepAlpha = false);
// The picture size a BMP file declares (height made positive), read from its
// first 26 bytes alone, so that a caller with a limit of its own can refuse a
// huge picture before reading the rest of the file. False when the bytes are
// not the start of a BMP file.
bool PeekBmpSize(std::span<const std::uint8_t> head, std::int64_t& width, std::int64_t& height);
// Reads a file from disk; a file that cannot be opened throws TBmpError too.
TBitmap LoadBmpFile(const std::string& path, TBmpRowOrder order = TBmpRowOrder::AsFile,
                    TBmpInfo* info = nullptr);

// Encodes a bitmap as a bottom-up 24-bit BMP file.
std::vector<std::uint8_t> WriteBmp24(const TBitmap& bmp);
// Encodes a bitmap as a bottom-up 8-bit BMP with a palette of its distinct
// colours (in order of first appearance, top row first). Throws TBmpError when
// the bitmap has more than 256 colours.
std::vector<std::uint8_t> WriteBmp8(const TBitmap& bmp);
// Writes the encoded bytes to a file; throws TBmpError when that fails.
void SaveBmpFile(const std::string& path, const TBitmap& bmp, int bitCount = 24);

}  // namespace vm
