// Source and destination of a memcpy baseline, cut from one buffer with the
// destination half a page further on modulo 4 KiB. Two buffers allocated one
// after the other from the heap lie their size plus a 16-byte header apart,
// so the destination sits just past the source modulo 4 KiB; glibc copies a
// few kilobytes with the string-move instruction, which on this kind of
// processor crawls at such a distance (12 KiB in 5-7 us instead of 0.15 us).
// That measures the instruction's bad case, not copying.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vm::bench {

class TCopyBaseline {
 public:
  explicit TCopyBaseline(std::size_t bytes) : n_(bytes), buffer_(2 * bytes + 3 * Page) {
    std::uint8_t* const base =
        buffer_.data() + (Page - reinterpret_cast<std::uintptr_t>(buffer_.data()) % Page) % Page;
    src_ = base;
    dst_ = base + (n_ + Page - 1) / Page * Page + Page / 2;
    for (std::size_t i = 0; i < n_; ++i) src_[i] = std::uint8_t(i * 37 + 11);
    std::memset(dst_, 0x5A, n_);
  }
  void Copy() { std::memcpy(dst_, src_, n_); }
  std::uint8_t* Destination() { return dst_; }
  std::size_t Size() const { return n_; }

 private:
  static constexpr std::size_t Page = 4096;
  std::size_t n_;
  std::vector<std::uint8_t> buffer_;
  std::uint8_t* src_;
  std::uint8_t* dst_;
};

}  // namespace vm::bench
