#include "skin/data/MemoryStream.h"

#include <cstring>
#include <fstream>

namespace vm {

void TStream::ReadBuffer(void* buffer, std::size_t count) {
  if (Read(buffer, count) != count) throw EReadError("Stream read error");
}

std::int32_t TStream::ReadInt32() {
  std::uint8_t b[4];
  ReadBuffer(b, 4);
  return std::int32_t(std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) |
                      (std::uint32_t(b[2]) << 16) | (std::uint32_t(b[3]) << 24));
}

TMemoryStream TMemoryStream::View(const std::uint8_t* data, std::size_t size) {
  TMemoryStream s;
  s.view_ = data;
  s.viewSize_ = data ? size : 0;
  return s;
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
  std::size_t avail = size() - pos_;
  if (count > avail) count = avail;
  if (count) std::memcpy(buffer, Memory() + pos_, count);
  pos_ += count;
  return count;
}

void TMemoryStream::SetPosition(std::int64_t position) {
  if (position < 0) position = 0;
  if (position > std::int64_t(size())) position = std::int64_t(size());
  pos_ = std::size_t(position);
}

void TMemoryStream::Write(const void* data, std::size_t count) {
  if (view_) throw std::logic_error("Cannot write to a read-only memory stream");
  if (!count) return;
  const auto* p = static_cast<const std::uint8_t*>(data);
  owned_.insert(owned_.end(), p, p + count);
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw std::runtime_error("Cannot open file \"" + fileName + "\"");
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  if (size < 0) throw std::runtime_error("Cannot read file \"" + fileName + "\"");
  in.seekg(0, std::ios::beg);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (size && !in.read(reinterpret_cast<char*>(bytes.data()), size))
    throw std::runtime_error("Cannot read file \"" + fileName + "\"");
  owned_ = std::move(bytes);
  view_ = nullptr;
  viewSize_ = 0;
  pos_ = 0;
}

}  // namespace vm
