// TJPEGImage: a JPEG picture that keeps the file's encoded bytes.
//
// Loading reads the whole file and its header only: Width and Height come
// from the header, and a file that is not a JPEG, or declares a picture
// beyond the decoder's limits (see JpegCodec.h), is refused at once with
// EInvalidGraphic, leaving the picture as it was. The pixels are decoded on
// the first draw or pixel access and kept. Saving writes the encoded bytes
// back unchanged; a picture without encoded bytes (one assigned from a
// bitmap) is encoded at that moment from its pixels as 24-bit RGB with the
// library's defaults and jpeg_set_quality(CompressionQuality, TRUE): baseline
// tables, colour, sequential. The encoded bytes are then kept.
//
// The encoded bytes are immutable and shared: Assign of another JPEG picture
// shares them and copies the decoded pixels (if any); Compress replaces this
// picture's bytes with a new encoding of its pixels at CompressionQuality and
// leaves other pictures that shared the old bytes untouched. The pixels stay
// what they were (the picture before the new encoding's losses), as they do
// after an encode on save.
//
// A decode that fails is reported by Pixels() on every call (the error is
// remembered, the decode is not retried). Drawing reports it once, by raising
// from the first draw; later draws draw nothing, so a picture that cannot be
// shown does not raise again on every repaint.
//
// Memory: the decode writes straight into the one full-size pixel store (no
// second full-size copy); the encoded bytes are held once however many
// pictures share them.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "toolkit/Graphic.h"

namespace vm::tk {

class TJPEGImage : public TGraphic {
 public:
  TJPEGImage() = default;
  ~TJPEGImage() override;

  std::string ClassName() const override { return "TJPEGImage"; }

  bool Empty() const override { return !data_ && pixels_.Empty(); }
  int Width() const override { return pixels_.Empty() ? width_ : pixels_.Width(); }
  int Height() const override { return pixels_.Empty() ? height_ : pixels_.Height(); }
  // A JPEG picture has the size of its data: both raise EInvalidGraphicOperation.
  void SetWidth(int width) override;
  void SetHeight(int height) override;

  // 1 to 100 (values outside are clamped); 90 by default.
  int CompressionQuality() const { return quality_; }
  void SetCompressionQuality(int quality);
  // Always false: pictures are encoded in colour.
  bool Grayscale() const { return false; }

  // Re-encodes the pixels (decoding first if needed) at CompressionQuality.
  void Compress();
  // Decodes now if not yet decoded; raises EInvalidGraphic when the decode fails.
  void DIBNeeded();
  // Encodes now if there are no encoded bytes; raises EInvalidGraphicOperation
  // for an empty picture.
  void JPEGNeeded();

  // The decoded pixels (top-down, 24-bit B, G, R), decoding on first use.
  const vm::TBitmap& Pixels();
  const vm::TBitmap* DecodedPixels() override { return &Pixels(); }
  bool HasPixels() const { return !pixels_.Empty(); }
  // The encoded bytes; empty when the picture has none (yet).
  std::span<const std::uint8_t> Data() const;
  bool SharesDataWith(const TJPEGImage& other) const { return data_ && data_ == other.data_; }

  void LoadFromFile(const std::string& fileName) override;
  void LoadFromStream(std::istream& stream) override;
  void SaveToStream(std::ostream& stream) override;
  void LoadFromBytes(std::vector<std::uint8_t> bytes);
  // The encoded bytes, encoding first when needed.
  std::vector<std::uint8_t> SaveToBytes();

  // Takes a TJPEGImage (shared bytes, copied pixels, quality) or a TBitmap
  // (its pixels as 24-bit; the encoded bytes are dropped). Other kinds raise
  // EConvertError.
  void Assign(const TGraphic& source) override;

 protected:
  void Draw(TCanvas& canvas, const TRect& rect) override;

 private:
  using TData = std::shared_ptr<const std::vector<std::uint8_t>>;

  TData data_;
  int width_ = 0;  // from the header of data_
  int height_ = 0;
  vm::TBitmap pixels_;
  int quality_ = 90;
  std::string decodeError_;    // the message of a failed decode of data_
  bool drawReported_ = false;  // the failure was raised from a draw already
};

}  // namespace vm::tk
