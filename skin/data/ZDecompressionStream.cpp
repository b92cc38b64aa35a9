#include "skin/data/ZDecompressionStream.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace vm {

struct TZDecompressionStream::State {
  z_stream z{};
  // Left uninitialised: it is only ever read after the source filled it.
  std::unique_ptr<std::uint8_t[]> buffer{new std::uint8_t[BlockSize]};
};

TZDecompressionStream::TZDecompressionStream(TStream& source)
    : source_(source), state_(std::make_unique<State>()) {
  state_->z.next_in = state_->buffer.get();
  state_->z.avail_in = 0;
  if (inflateInit(&state_->z) != Z_OK) throw EZDecompressionError("Decompression error");
}

TZDecompressionStream::~TZDecompressionStream() {
  inflateEnd(&state_->z);
}

std::size_t TZDecompressionStream::Read(void* buffer, std::size_t count) {
  if (finished_ || count == 0) return 0;
  z_stream& z = state_->z;
  auto* out = static_cast<Bytef*>(buffer);
  std::size_t done = 0;
  while (done < count && !finished_) {
    if (z.avail_in == 0) {
      std::size_t got = source_.Read(state_->buffer.get(), BlockSize);
      if (got == 0) throw EZDecompressionError("Decompression error: data ends inside a stream");
      z.next_in = state_->buffer.get();
      z.avail_in = uInt(got);
    }
    std::size_t want = count - done;
    uInt chunk = want > (1u << 30) ? (1u << 30) : uInt(want);
    z.next_out = out + done;
    z.avail_out = chunk;
    int rc = inflate(&z, Z_NO_FLUSH);
    done += chunk - z.avail_out;
    if (rc == Z_STREAM_END) {
      finished_ = true;
      // Give back what was read ahead: the next entry starts right here.
      if (z.avail_in) source_.SetPosition(source_.Position() - std::int64_t(z.avail_in));
      z.avail_in = 0;
    } else if (rc != Z_OK && rc != Z_BUF_ERROR) {
      throw EZDecompressionError(std::string("Decompression error: ") +
                                 (z.msg ? z.msg : "corrupt data"));
    } else if (rc == Z_BUF_ERROR && z.avail_in != 0 && z.avail_out != 0) {
      throw EZDecompressionError("Decompression error: no progress");
    }
  }
  return done;
}

void TZDecompressionStream::ReadBuffer(void* buffer, std::size_t count) {
  if (Read(buffer, count) != count) throw EReadError("Stream read error");
}

std::uint64_t TZDecompressionStream::SkipToEnd() {
  return Skip(UINT64_MAX);
}

std::uint64_t TZDecompressionStream::Skip(std::uint64_t limit) {
  std::uint8_t scratch[4096];
  std::uint64_t total = 0;
  // One more read after the limit lets a stream that ends exactly there
  // report its end (the trailer produces no output).
  while (!finished_) {
    std::size_t want = std::size_t(std::min<std::uint64_t>(sizeof scratch, limit - total));
    if (want == 0) {
      // Only the trailer may follow: a one-byte read shows whether it does.
      std::uint8_t probe;
      if (Read(&probe, 1) != 0) ++total;
      break;
    }
    total += Read(scratch, want);
  }
  return total;
}

std::vector<std::uint8_t> ZCompress(const std::uint8_t* data, std::size_t size, int level) {
  uLongf bound = compressBound(uLong(size));
  std::vector<std::uint8_t> out(bound);
  if (compress2(out.data(), &bound, data, uLong(size), level) != Z_OK)
    throw std::runtime_error("Compression error");
  out.resize(bound);
  return out;
}

}  // namespace vm
