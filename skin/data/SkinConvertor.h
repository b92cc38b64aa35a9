// TnxSkinConvertor: the reader of packed skin containers, and their writer.
//
// A container is the magic "NXzf", a 32-bit entry count, then per entry a
// 32-bit name length, the name (code page 1251), the 32-bit uncompressed size
// and one complete zlib stream; all integers signed little-endian. The entry
// named "Options.dat" (any letter case) is the skin description; every other
// entry is an image.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "skin/data/MemoryStream.h"

namespace vm {

// Shows a warning to the user. The default writes to standard error; the
// program installs its message box, tests install a recorder.
using TSkinMessageFunc = std::function<void(const std::string& text, const std::string& caption)>;
void SetSkinMessageFunc(TSkinMessageFunc func);
void ShowSkinWarning(const std::string& text);

// The warning shown for data that is not a container.
extern const char* const SNotPackedSkin;

class TnxSkinConvertor {
 public:
  struct Image {
    std::string Name;  // as stored, converted to UTF-8
    bool IsBitmap = false;
    TMemoryStream Data;
  };

  TnxSkinConvertor() = default;
  ~TnxSkinConvertor() { Clear(); }
  TnxSkinConvertor(const TnxSkinConvertor&) = delete;
  TnxSkinConvertor& operator=(const TnxSkinConvertor&) = delete;

  // The container to read: owned, or borrowed (the caller keeps it alive and
  // calls ReleaseSource after parsing).
  void SetSource(std::unique_ptr<TStream> source);
  void SetBorrowedSource(TStream* source);
  void ReleaseSource();
  TStream* Source() const { return source_; }

  // Reads the container. Returns false, after showing the warning and
  // clearing, when the data is not a well-formed container (wrong magic, or
  // header fields that are negative, larger than the data, or cut off). A
  // corrupt zlib stream throws EZDecompressionError and one that ends before
  // its declared size throws EReadError.
  bool Parse();

  // Images in container order; the description is not among them.
  int ImageCount() const { return int(images_.size()); }
  Image& Images(int index) { return *images_.at(std::size_t(index)); }
  // The first image whose stored name, ASCII letters upper-cased, equals
  // `name` exactly (the request is not upper-cased: "MASTER.BMP" finds a
  // stored "Master.bmp", "Master.bmp" finds nothing); nullptr when none. Its
  // data stream is rewound to 0.
  Image* FindImage(std::string_view name);

  // The description's bytes, or nullptr when the container had none.
  TMemoryStream* Options() const { return options_.get(); }

  // Frees the images (last first), the description and an owned source.
  void Clear();

 private:
  std::vector<std::unique_ptr<Image>> images_;
  std::unique_ptr<TMemoryStream> options_;
  std::unique_ptr<TStream> ownedSource_;
  TStream* source_ = nullptr;
};

// Reads the container file into the convertor in `slot` (reusing it after
// Clear, or creating one). Does nothing when the file does not exist. With
// `freeSource` the loaded file bytes are released after parsing. Returns the
// result of Parse (false also when the file is missing).
bool ExtractPackedData(const std::string& fileName, std::unique_ptr<TnxSkinConvertor>& slot,
                       bool freeSource);

// One file for the writer.
struct TPackedEntry {
  std::string Name;  // UTF-8; stored in code page 1251
  std::vector<std::uint8_t> Bytes;
};
// Writes a complete container of the entries in order.
std::vector<std::uint8_t> WritePackedSkin(const std::vector<TPackedEntry>& entries);

// ASCII letters upper-cased, everything else kept.
std::string UpperCaseAscii(std::string_view text);

}  // namespace vm
