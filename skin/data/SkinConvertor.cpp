#include "skin/data/SkinConvertor.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

#include <zlib.h>

#include "skin/data/MemIniFile.h"
#include "skin/data/SkinLimits.h"
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
// The first piece of an entry's buffer; later pieces double it.
constexpr std::size_t FirstChunk = 64 * 1024;
// How far past its declared size an entry is inflated to find where its
// stream ends (and so where the next entry begins).
constexpr std::uint64_t MaxOverrun = 1 << 20;

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
  auto reject = [this](const std::string& text) {
    ShowSkinWarning(text);
    images_.clear();
    options_.reset();
    return false;
  };
  auto damaged = [&reject](const std::string& what) {
    return reject("The skin container is damaged: " + what);
  };

  src.SetPosition(0);
  char magic[4];
  if (src.Read(magic, 4) != 4 || std::string_view(magic, 4) != "NXzf")
    return reject(SNotPackedSkin);
  if (src.Remaining() < 4) return damaged("it ends before its entry count");
  std::int32_t count = src.ReadInt32();
  if (count < 0) return damaged("its entry count " + std::to_string(count) + " is negative");
  if (count == 0) return true;
  // Every entry needs at least 8 header bytes and a 2-byte zlib header.
  if (std::int64_t(count) * 10 > src.Remaining())
    return damaged("its entry count " + std::to_string(count) + " needs more than the " +
                   std::to_string(src.Remaining()) + " bytes left");

  const std::string optionsName = "OPTIONS.DAT";
  for (std::int32_t i = 0; i < count; ++i) {
    const std::string number = "entry " + std::to_string(i + 1);
    if (src.Remaining() < 4) return damaged(number + " is missing");
    std::int32_t nameLength = src.ReadInt32();
    if (nameLength < 0 || nameLength > MaxNameLength || nameLength > src.Remaining() - 4)
      return damaged(number + " has an impossible name length " + std::to_string(nameLength));
    std::string rawName(std::size_t(nameLength), '\0');
    src.ReadBuffer(rawName.data(), rawName.size());
    std::string name = Cp1251ToUtf8(rawName);
    const std::string entry = number + " \"" + name + "\"";
    std::int32_t size = src.ReadInt32();
    std::int64_t left = src.Remaining();
    if (size < 0 || size > MaxEntrySize)
      return damaged(entry + " declares an impossible size of " + std::to_string(size) + " bytes");
    if (left < 2 || size > left * MaxInflateRatio)
      return damaged(entry + " declares " + std::to_string(size) + " bytes, more than the " +
                     std::to_string(left) + " bytes left can hold");

    // Entries a skin never needs that large are refused before anything is
    // inflated for them.
    const bool isOptions = UpperCaseAscii(name) == optionsName;
    const std::uint64_t limit = isOptions ? MaxSkinDescriptionBytes : MaxSkinPictureBytes;
    if (std::uint64_t(size) > limit) ThrowFileTooLarge(name, std::uint64_t(size), limit);

    auto data = std::make_unique<TMemoryStream>();
    bool restUnreadable = false;
    {
      TZDecompressionStream z(src);
      // The buffer grows as inflated data arrives, so a size the stream
      // does not back costs nothing before the stream runs dry.
      std::vector<std::uint8_t>& bytes = data->Bytes();
      std::size_t have = 0, want = std::size_t(size);
      while (have < want) {
        std::size_t step = std::min(want - have, std::max(have, FirstChunk));
        bytes.resize(have + step);
        std::size_t got = z.Read(bytes.data() + have, step);
        have += got;
        if (got < step) {
          bytes.resize(have);
          throw EReadError("Stream read error: " + entry + " ends after " + std::to_string(have) +
                           " of its declared " + std::to_string(size) + " bytes");
        }
      }
      // Normally this only reads and checks the trailer: a stream whose
      // Adler-32 check fails is damaged and throws like any corrupt data. An
      // entry longer than declared keeps its declared bytes; the next entry
      // starts after the end of this stream, which is looked for a bounded
      // distance ahead.
      z.Skip(MaxOverrun);
      restUnreadable = !z.Finished();
    }

    if (isOptions) {
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
    if (restUnreadable) {
      // Where the next entry begins is unknown: what was read is kept, the
      // rest is not guessed at.
      if (i + 1 < count)
        ShowSkinWarning("The skin container is damaged: " + entry + " holds more than its " +
                        "declared " + std::to_string(size) + " bytes; the " +
                        std::to_string(count - i - 1) + " entries after it are not read");
      break;
    }
  }
  return true;
}

TnxSkinConvertor::Image* TnxSkinConvertor::FindImage(std::string_view name) {
  for (auto& image : images_) {
    if (UpperCaseAscii(image->Name) == name) {
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
  const std::uintmax_t fileSize = std::filesystem::file_size(fileName, ec);
  if (!ec && fileSize > MaxSkinContainerBytes)
    ThrowFileTooLarge(std::filesystem::path(fileName).filename().string(), fileSize,
                      MaxSkinContainerBytes);
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
    std::vector<std::uint8_t> z = ZCompress(e.Bytes.data(), e.Bytes.size(), Z_DEFAULT_COMPRESSION);
    out.insert(out.end(), z.begin(), z.end());
  }
  return out;
}

}  // namespace vm
