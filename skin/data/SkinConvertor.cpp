#include "skin/data/SkinConvertor.h"

#include <filesystem>
#include <iostream>

#include "skin/data/MemIniFile.h"
#include "skin/data/ZDecompressionStream.h"

namespace vm {

const char* const SNotPackedSkin = "Loaded data is not packed NirvexSkin file";

namespace {

TSkinMessageFunc& MessageFunc() {
  static TSkinMessageFunc func;
  return func;
}

// Deflate cannot expand data by more than about 1032 : 1; a declared size
// beyond that for the bytes left is a lie, and nothing is allocated for it.
constexpr std::int64_t MaxInflateRatio = 1040;
// No single entry of a skin needs more than this.
constexpr std::int64_t MaxEntrySize = std::int64_t(256) << 20;
constexpr std::int32_t MaxNameLength = 4096;

}  // namespace

void SetSkinMessageFunc(TSkinMessageFunc func) {
  MessageFunc() = std::move(func);
}

void ShowSkinWarning(const std::string& text) {
  if (MessageFunc())
    MessageFunc()(text, "Warning");
  else
    std::cerr << "Warning: " << text << '\n';
}

std::string UpperCaseAscii(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return s;
}

void TnxSkinConvertor::SetSource(std::unique_ptr<TStream> source) {
  ownedSource_ = std::move(source);
  source_ = ownedSource_.get();
}

void TnxSkinConvertor::SetBorrowedSource(TStream* source) {
  ownedSource_.reset();
  source_ = source;
}

void TnxSkinConvertor::ReleaseSource() {
  ownedSource_.reset();
  source_ = nullptr;
}

bool TnxSkinConvertor::Parse() {
  if (!source_) return false;
  TStream& src = *source_;
  auto reject = [this] {
    ShowSkinWarning(SNotPackedSkin);
    images_.clear();
    options_.reset();
    return false;
  };

  src.SetPosition(0);
  char magic[4];
  if (src.Read(magic, 4) != 4 || std::string_view(magic, 4) != "NXzf") return reject();
  if (src.Remaining() < 4) return reject();
  std::int32_t count = src.ReadInt32();
  if (count <= 0) return count == 0 ? true : reject();
  // Every entry needs at least 8 header bytes and a 2-byte zlib header.
  if (std::int64_t(count) * 10 > src.Remaining()) return reject();

  const std::string optionsName = "OPTIONS.DAT";
  for (std::int32_t i = 0; i < count; ++i) {
    if (src.Remaining() < 4) return reject();
    std::int32_t nameLength = src.ReadInt32();
    if (nameLength < 0 || nameLength > MaxNameLength || nameLength > src.Remaining() - 4)
      return reject();
    std::string rawName(std::size_t(nameLength), '\0');
    src.ReadBuffer(rawName.data(), rawName.size());
    std::int32_t size = src.ReadInt32();
    std::int64_t left = src.Remaining();
    if (size < 0 || size > MaxEntrySize || size > left * MaxInflateRatio || left < 2)
      return reject();

    auto data = std::make_unique<TMemoryStream>();
    std::vector<std::uint8_t>& bytes = data->Bytes();
    bytes.resize(std::size_t(size));
    {
      TZDecompressionStream z(src);
      z.ReadBuffer(bytes.data(), bytes.size());
      // Read past the Adler-32 trailer so the source stands on the next entry.
      if (z.SkipToEnd() != 0)
        throw EZDecompressionError("Decompression error: entry longer than its declared size");
    }

    std::string name = Cp1251ToUtf8(rawName);
    if (UpperCaseAscii(name) == optionsName) {
      // A later description replaces an earlier one.
      options_ = std::move(data);
    } else {
      auto image = std::make_unique<Image>();
      std::string upper = UpperCaseAscii(name);
      image->IsBitmap = upper.size() >= 4 && upper.compare(upper.size() - 4, 4, ".BMP") == 0;
      image->Name = std::move(name);
      image->Data = std::move(*data);
      images_.push_back(std::move(image));
    }
  }
  return true;
}

TnxSkinConvertor::Image* TnxSkinConvertor::FindImage(std::string_view upperName) {
  for (auto& image : images_) {
    if (UpperCaseAscii(image->Name) == upperName) {
      image->Data.SetPosition(0);
      return image.get();
    }
  }
  return nullptr;
}

void TnxSkinConvertor::Clear() {
  while (!images_.empty()) images_.pop_back();
  options_.reset();
  ownedSource_.reset();
  source_ = nullptr;
}

bool ExtractPackedData(const std::string& fileName, std::unique_ptr<TnxSkinConvertor>& slot,
                       bool freeSource) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(fileName, ec)) return false;
  if (slot)
    slot->Clear();
  else
    slot = std::make_unique<TnxSkinConvertor>();
  auto source = std::make_unique<TMemoryStream>();
  source->LoadFromFile(fileName);
  slot->SetSource(std::move(source));
  bool ok = slot->Parse();
  if (freeSource) slot->ReleaseSource();
  return ok;
}

std::vector<std::uint8_t> WritePackedSkin(const std::vector<TPackedEntry>& entries) {
  std::vector<std::uint8_t> out{'N', 'X', 'z', 'f'};
  auto put32 = [&out](std::int64_t value) {
    if (value < 0 || value > 0x7FFFFFFF) throw std::length_error("Entry too large for a container");
    auto v = std::uint32_t(value);
    for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
  };
  put32(std::int64_t(entries.size()));
  for (const TPackedEntry& e : entries) {
    std::string name = Utf8ToCp1251(e.Name);
    put32(std::int64_t(name.size()));
    out.insert(out.end(), name.begin(), name.end());
    put32(std::int64_t(e.Bytes.size()));
    std::vector<std::uint8_t> z = ZCompress(e.Bytes.data(), e.Bytes.size());
    out.insert(out.end(), z.begin(), z.end());
  }
  return out;
}

}  // namespace vm
