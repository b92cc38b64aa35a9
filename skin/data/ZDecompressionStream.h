// A zlib decompression stream over a source stream. It reads compressed input
// from the source in blocks of 65,536 bytes and inflates on demand. When the
// zlib stream ends while read-ahead input remains, the source is moved back by
// the unconsumed bytes, so that the next data (the next container entry)
// starts exactly where the source then stands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>

#include "skin/data/MemoryStream.h"

namespace vm {

// A corrupt or incomplete zlib stream ("decompression error").
class EZDecompressionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TZDecompressionStream {
 public:
  static constexpr std::size_t BlockSize = 65536;

  explicit TZDecompressionStream(TStream& source);
  ~TZDecompressionStream();
  TZDecompressionStream(const TZDecompressionStream&) = delete;
  TZDecompressionStream& operator=(const TZDecompressionStream&) = delete;

  // Inflates up to `count` bytes; fewer only when the zlib stream has ended.
  // Throws EZDecompressionError for corrupt data or input ending early.
  std::size_t Read(void* buffer, std::size_t count);
  // Reads exactly `count` bytes; EReadError when the zlib stream ends first.
  void ReadBuffer(void* buffer, std::size_t count);
  bool Finished() const { return finished_; }
  // Inflates until the end of the zlib stream (reads and checks the trailer),
  // discarding output; returns the number of bytes discarded.
  std::uint64_t SkipToEnd();
  // As SkipToEnd, but stops after discarding `limit` bytes; Finished() then
  // tells whether the end was reached.
  std::uint64_t Skip(std::uint64_t limit);

 private:
  struct State;
  TStream& source_;
  std::unique_ptr<State> state_;
  bool finished_ = false;
};

// Compresses bytes into one complete zlib stream (used by the container writer).
// The default level (-1) is zlib's default, whose streams start 0x78 0x9C.
std::vector<std::uint8_t> ZCompress(const std::uint8_t* data, std::size_t size, int level = -1);

}  // namespace vm
