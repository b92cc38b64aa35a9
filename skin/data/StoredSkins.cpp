#include "skin/data/StoredSkins.h"

#include <stdexcept>

#include "skin/data/MemIniFile.h"
#include "skin/data/SkinDescription.h"

namespace vm {

TsFontColors ParseStoredFontColors(std::string_view text) {
  TsFontColors colours{0, clNoContour, clNoContour, clNoContour, clNoContour};
  if (WordCount(text, " ") != 5) return colours;
  TsFontColors parsed{};
  for (int i = 0; i < 5; ++i) {
    int value;
    if (!TryStrToInt(ExtractWord(i + 1, text, " "), value)) return colours;
    parsed[std::size_t(i)] = TColor(value);
  }
  return parsed;
}

std::vector<std::uint8_t> TsStoredSkin::WriteData() const {
  std::vector<std::uint8_t> out;
  out.reserve(Data.size() + 4);
  auto n = std::uint32_t(Data.size());
  for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(n >> (8 * i)));
  out.insert(out.end(), Data.begin(), Data.end());
  return out;
}

std::size_t TsStoredSkin::ReadData(const std::uint8_t* bytes, std::size_t size) {
  if (size < 4) throw std::runtime_error("Stored skin data: length missing");
  std::uint32_t n = std::uint32_t(bytes[0]) | (std::uint32_t(bytes[1]) << 8) |
                    (std::uint32_t(bytes[2]) << 16) | (std::uint32_t(bytes[3]) << 24);
  if (n > 0x7FFFFFFFu || std::size_t(n) > size - 4)
    throw std::runtime_error("Stored skin data: length larger than the data");
  Data.assign(bytes + 4, bytes + 4 + n);
  return 4 + std::size_t(n);
}

TsStoredSkin& TsStoredSkins::Add() {
  items_.push_back(std::make_unique<TsStoredSkin>());
  return *items_.back();
}

void TsStoredSkins::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
}

int TsStoredSkins::IndexOf(std::string_view name) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i]->Name == name) return int(i);
  return -1;
}

void TsStoredSkins::Assign(const TsStoredSkins& other) {
  if (&other == this) return;
  std::vector<std::unique_ptr<TsStoredSkin>> copy;
  copy.reserve(other.items_.size());
  for (const auto& item : other.items_) copy.push_back(std::make_unique<TsStoredSkin>(*item));
  items_ = std::move(copy);
}

}  // namespace vm
