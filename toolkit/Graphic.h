// TGraphic: the base of every picture kind (TBitmap, TJPEGImage, TIcon). A
// graphic has a size, can be read from and written to files and streams in
// its own format, can take another graphic's picture through Assign, and
// draws itself on a canvas (TCanvas::Draw and StretchDraw call Draw).
// OnChange fires whenever the picture changes, so that a TPicture, and the
// control that shows it, can repaint.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Types.h"

namespace vm::tk {

class TCanvas;

class TGraphic {
 public:
  TGraphic() = default;
  virtual ~TGraphic() = default;
  TGraphic(const TGraphic&) = delete;
  TGraphic& operator=(const TGraphic&) = delete;

  virtual std::string ClassName() const { return "TGraphic"; }

  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Pictures that cannot change size raise EInvalidGraphicOperation.
  virtual void SetWidth(int width) = 0;
  virtual void SetHeight(int height) = 0;

  // Whether drawing leaves the background visible through the picture's
  // transparent parts.
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool value);
  // Set by every change of the picture; cleared by the user.
  bool Modified() const { return modified_; }
  void SetModified(bool value) { modified_ = value; }

  // Files: the whole file is read or written; a file that cannot be opened
  // raises EFOpenError, one that cannot be created EFCreateError. A failed
  // load leaves the graphic as it was.
  virtual void LoadFromFile(const std::string& fileName);
  virtual void SaveToFile(const std::string& fileName);
  // Streams: loading reads the rest of the stream.
  virtual void LoadFromStream(std::istream& stream) = 0;
  virtual void SaveToStream(std::ostream& stream) = 0;

  // Takes source's picture. A source of a kind this graphic cannot take
  // raises EConvertError naming both classes.
  virtual void Assign(const TGraphic& source);

  // The picture's pixels, decoded now when the graphic keeps its file's
  // encoded bytes (a damaged picture raises here); an empty bitmap for an
  // empty graphic, and nullptr for kinds without one picture to show (icons
  // hold several). What a bitmap copies in Assign and what the photo
  // program edits.
  virtual const vm::TBitmap* DecodedPixels() { return nullptr; }

  std::function<void(TGraphic*)> OnChange;

 protected:
  friend class TCanvas;
  // Draws the picture into rect (scaled when rect's size differs).
  virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;
  // Marks the picture modified and fires OnChange.
  void Changed();
  // Raises EConvertError: "Cannot assign a <source> to a <this>".
  [[noreturn]] void AssignError(const TGraphic& source) const;
  // Reads a whole file or stream into memory; the errors as described above.
  static std::vector<std::uint8_t> ReadFileBytes(const std::string& fileName);
  static std::vector<std::uint8_t> ReadStreamBytes(std::istream& stream);
  static void WriteStreamBytes(std::ostream& stream, const std::uint8_t* data, std::size_t size);

 private:
  bool transparent_ = false;
  bool modified_ = false;
};

}  // namespace vm::tk
