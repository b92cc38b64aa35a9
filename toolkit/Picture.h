// TPicture: holds one graphic of any kind and loads a file into the kind its
// extension names.
//
// The kinds are found in a process-wide registry of file extensions, each
// with a description (for file dialog filters) and a function that makes an
// empty graphic. "bmp" ("Bitmaps") and "ico" ("Icons") are always there; the program registers
// "jpg" and "jpeg" as "JPEG Image File" at start with RegisterJpegFileFormats.
// Extensions compare without regard to ASCII case. A file whose extension is
// not registered raises EInvalidGraphic naming the extension. A load that
// fails for any reason leaves the picture as it was.
//
// OnChange fires when the picture gets another graphic and whenever the held
// graphic changes (drawing on a bitmap's canvas, a JPEG's Compress, ...).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/Graphic.h"

namespace vm::tk {

class TBitmap;

using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

struct TFileFormat {
  std::string Extension;  // lower case, without the dot
  std::string Description;
  std::string ClassName;  // of the graphics the factory makes
  TGraphicFactory Create;
};

class TPicture {
 public:
  TPicture();
  ~TPicture();
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  std::string ClassName() const { return "TPicture"; }

  // The held graphic, or nullptr.
  TGraphic* Graphic() const { return graphic_.get(); }
  // Holds a copy of the given graphic (a graphic of the same kind, assigned
  // from it); nullptr empties the picture.
  void SetGraphic(const TGraphic* graphic);
  // Takes ownership of a graphic without copying it.
  void TakeGraphic(std::unique_ptr<TGraphic> graphic);
  // The held graphic as a bitmap; when the picture holds another kind (or
  // nothing), it is replaced by an empty bitmap first.
  TBitmap& Bitmap();

  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }

  void LoadFromFile(const std::string& fileName);
  // Saves the held graphic in its own format (whatever the name's extension);
  // an empty picture raises EInvalidGraphicOperation.
  void SaveToFile(const std::string& fileName);

  // Copies another picture's graphic (nothing: the picture becomes empty).
  void Assign(const TPicture& source);

  std::function<void(TPicture*)> OnChange;

  // --- The registry ---
  // Adds or replaces an extension (given with or without the dot; stored in
  // lower case). An empty extension or a missing factory raises EConvertError.
  static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                 const std::string& className, TGraphicFactory create);
  static void UnregisterFileFormat(const std::string& extension);
  // The registered formats in registration order.
  static std::vector<TFileFormat> FileFormats();
  // The registered format for a file name's extension, if any.
  static std::optional<TFileFormat> FindFileFormat(const std::string& fileName);
  // A file dialog filter of every registered format, or of those whose
  // graphics have the given class name: "Все (*.bmp;*.jpg)|*.bmp;*.jpg|Bitmaps (*.bmp)|*.bmp|...".
  static std::string GraphicFilter(const std::string& className = "");

 private:
  void Changed();
  void Attach();

  std::unique_ptr<TGraphic> graphic_;
};

// Registers "jpg" and "jpeg" as "JPEG Image File" (TJPEGImage). Calling it
// again changes nothing.
void RegisterJpegFileFormats();

// The extension of a file name in lower case without the dot ("" when the
// name has none); only the last path component is looked at.
std::string FileExtension(const std::string& fileName);

}  // namespace vm::tk
