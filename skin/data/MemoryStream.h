// Byte streams used by the skin loader: an abstract stream with a position and
// an in-memory stream that owns (or only views) its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace vm {

// Raised when fewer bytes than requested can be read ("stream read error").
class EReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TStream {
 public:
  virtual ~TStream() = default;
  // Reads up to `count` bytes; returns how many were read.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  virtual std::int64_t Position() const = 0;
  // Positions outside 0..Size() are clamped.
  virtual void SetPosition(std::int64_t position) = 0;
  virtual std::int64_t Size() const = 0;

  // Reads exactly `count` bytes or throws EReadError.
  void ReadBuffer(void* buffer, std::size_t count);
  // A 32-bit signed little-endian integer; EReadError past the end.
  std::int32_t ReadInt32();
  std::int64_t Remaining() const { return Size() - Position(); }
};

// Bytes in memory. A view over bytes owned elsewhere never writes or frees them.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> bytes) : owned_(std::move(bytes)) {}
  // A read-only view; the bytes must outlive the stream.
  static TMemoryStream View(const std::uint8_t* data, std::size_t size);

  std::size_t Read(void* buffer, std::size_t count) override;
  std::int64_t Position() const override { return std::int64_t(pos_); }
  void SetPosition(std::int64_t position) override;
  std::int64_t Size() const override { return std::int64_t(size()); }

  // Appends at the end (owned streams only).
  void Write(const void* data, std::size_t count);
  const std::uint8_t* Memory() const { return view_ ? view_ : owned_.data(); }
  std::vector<std::uint8_t>& Bytes() { return owned_; }
  std::string Text() const { return std::string(reinterpret_cast<const char*>(Memory()), size()); }

  // Loads a whole file; throws std::runtime_error when it cannot be read.
  void LoadFromFile(const std::string& fileName);

 private:
  std::size_t size() const { return view_ ? viewSize_ : owned_.size(); }

  std::vector<std::uint8_t> owned_;
  const std::uint8_t* view_ = nullptr;
  std::size_t viewSize_ = 0;
  std::size_t pos_ = 0;
};

}  // namespace vm
