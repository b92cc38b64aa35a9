#include "platform/base/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>

namespace vm {
namespace {

// Closes the descriptor on every path out.
struct TFd {
  int Fd;
  ~TFd() {
    if (Fd >= 0) ::close(Fd);
  }
};

[[noreturn]] void Fail(const std::string& path, TFileReadFault fault, int error,
                       const std::string& reason) {
  const char* verb = fault == TFileReadFault::Read ? "прочитать" : "открыть";
  throw EFileReadError("Не удалось " + std::string(verb) + " файл \"" + path + "\": " + reason,
                       fault, error);
}

}  // namespace

std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::uint64_t maxBytes) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer; the type check
  // below refuses it anyway.
  TFd fd{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
  if (fd.Fd < 0) {
    const int error = errno;
    Fail(path, TFileReadFault::Open, error, SystemErrorText(error));
  }
  struct stat st {};
  if (::fstat(fd.Fd, &st) != 0) {
    const int error = errno;
    Fail(path, TFileReadFault::Read, error, SystemErrorText(error));
  }
  if (S_ISDIR(st.st_mode)) Fail(path, TFileReadFault::NotAFile, EISDIR, SystemErrorText(EISDIR));
  if (!S_ISREG(st.st_mode)) Fail(path, TFileReadFault::NotAFile, 0, "это не файл");
  const auto declared = static_cast<std::uint64_t>(st.st_size);
  if (declared > maxBytes) Fail(path, TFileReadFault::TooLarge, EFBIG, SystemErrorText(EFBIG));

  const std::uint64_t past =
      maxBytes < std::numeric_limits<std::uint64_t>::max() ? maxBytes + 1 : maxBytes;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(declared));
  std::size_t got = 0;
  for (;;) {
    if (got == bytes.size()) {
      // The file may have grown since fstat: look for more, up to the limit.
      if (bytes.size() > maxBytes) Fail(path, TFileReadFault::TooLarge, EFBIG, SystemErrorText(EFBIG));
      bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(past, bytes.size() + 65536)));
      if (got == bytes.size()) break;
    }
    const ssize_t n = ::read(fd.Fd, bytes.data() + got, bytes.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      Fail(path, TFileReadFault::Read, error, SystemErrorText(error));
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  if (got > maxBytes) Fail(path, TFileReadFault::TooLarge, EFBIG, SystemErrorText(EFBIG));
  bytes.resize(got);
  return bytes;
}

}  // namespace vm
