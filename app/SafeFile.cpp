#include "app/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/base/Exceptions.h"

namespace vm::app {

namespace {

[[noreturn]] void Fail(const std::string& path, int error) {
  throw Exception("Не удалось записать файл \"" + path + "\": " + SystemErrorText(error));
}

mode_t NewFileMode(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

void WriteFileSafely(const std::string& path, std::span<const std::uint8_t> data) {
  std::size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty()) Fail(path, EISDIR);
  std::string temp = folder + "." + name + ".XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) Fail(path, errno);

  int error = 0;
  const std::uint8_t* p = data.data();
  std::size_t left = data.size();
  while (left > 0 && error == 0) {
    ssize_t n = write(fd, p, left);
    if (n < 0) {
      if (errno != EINTR) error = errno;
    } else {
      p += n;
      left -= std::size_t(n);
    }
  }
  if (error == 0 && fchmod(fd, NewFileMode(path)) != 0) error = errno;
  if (error == 0 && fsync(fd) != 0) error = errno;
  if (close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && rename(temp.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    unlink(temp.c_str());
    Fail(path, error);
  }
}

}  // namespace vm::app
