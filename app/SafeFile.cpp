#include "app/SafeFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/base/Exceptions.h"

namespace vm::app {

namespace {

constexpr const char* TempPrefix = ".velmora-";

[[noreturn]] void Fail(const std::string& path, int error) {
  throw Exception("Не удалось записать файл \"" + path + "\": " + SystemErrorText(error));
}

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file a save to `path` replaces: symbolic links are followed to their
// final target, which may not exist yet (a dangling link gets its target
// created).
std::string FinalTarget(const std::string& path) {
  std::string at = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return at;
    std::string link(4096, '\0');
    const ssize_t n = readlink(at.c_str(), link.data(), link.size());
    if (n < 0 || std::size_t(n) >= link.size()) Fail(path, n < 0 ? errno : ENAMETOOLONG);
    link.resize(std::size_t(n));
    at = link.front() == '/' ? link : FolderOf(at) + link;
  }
  Fail(path, ELOOP);
}

int WriteAll(int fd, std::span<const std::uint8_t> data) {
  const std::uint8_t* p = data.data();
  std::size_t left = data.size();
  while (left > 0) {
    const ssize_t n = write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    p += n;
    left -= std::size_t(n);
  }
  return 0;
}

// A name for the temporary in `folder`, unused at the time of asking.
std::string TempName(const std::string& folder) {
  return folder + TempPrefix + std::to_string(getpid()) + "-XXXXXX";
}

}  // namespace

void WriteFileSafely(const std::string& path, std::span<const std::uint8_t> data) {
  const std::string target = FinalTarget(path);
  const std::string folder = FolderOf(target);
  if (target.empty() || target.back() == '/') Fail(path, EISDIR);

  // The existing file: a folder cannot be replaced, and a file the user may
  // not write is refused as a plain write would refuse it.
  mode_t mode;
  struct stat st {};
  if (stat(target.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) Fail(path, EISDIR);
    if (!S_ISREG(st.st_mode)) Fail(path, EINVAL);
    const int probe = open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (probe < 0) Fail(path, errno);
    close(probe);
    mode = st.st_mode & 07777;
  } else {
    if (errno != ENOENT) Fail(path, errno);
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }

  // Unnamed first: nothing is visible in the folder until the content is
  // complete, so a kill while writing leaves nothing behind.
  const std::string dir = folder.empty() ? "." : folder;
  std::string temp;
  bool named = false;
  int fd = open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (fd < 0) {
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT)
      Fail(path, errno);
    if (errno == ENOENT) Fail(path, ENOENT);
    temp = TempName(folder);
    fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) Fail(path, errno);
    named = true;
  }

  int error = WriteAll(fd, data);
  if (error == 0 && fchmod(fd, mode) != 0) error = errno;
  if (error == 0 && fsync(fd) != 0) error = errno;
  if (error == 0 && !named) {
    // Complete and on the disk: now it gets a (temporary) name.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100 && !named && error == 0; ++attempt) {
      temp = TempName(folder);
      const int probe = mkstemp(temp.data());  // reserves a unique name
      if (probe < 0) {
        error = errno;
        break;
      }
      close(probe);
      unlink(temp.c_str());
      if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0)
        named = true;
      else if (errno != EEXIST)
        error = errno;
    }
    if (!named && error == 0) error = EEXIST;
  }
  if (close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    if (named) unlink(temp.c_str());
    Fail(path, error);
  }
  // The rename itself reaches the disk with the folder.
  const int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    fsync(dfd);
    close(dfd);
  }
}

void RemoveStaleTemporaries(const std::string& folder) {
  DIR* d = opendir(folder.empty() ? "." : folder.c_str());
  if (!d) return;
  const std::size_t prefix = std::strlen(TempPrefix);
  while (dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name.compare(0, prefix, TempPrefix) != 0) continue;
    // ".velmora-<pid>-XXXXXX": only a process that has ended leaves one for good.
    char* end = nullptr;
    const long pid = std::strtol(name.c_str() + prefix, &end, 10);
    if (pid <= 0 || !end || *end != '-' || std::strlen(end + 1) != 6) continue;
    if (pid == getpid() || kill(pid_t(pid), 0) == 0 || errno != ESRCH) continue;
    unlinkat(dirfd(d), name.c_str(), 0);
  }
  closedir(d);
}

}  // namespace vm::app
