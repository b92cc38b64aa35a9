#include "app/Values.h"

#include <sys/stat.h>
#include <unistd.h>

#include <limits>

namespace vm::app {

std::string WorkDir;
std::int32_t Quality = 0;
std::int32_t RequestedLength = 0;
std::int32_t RequestedWidth = 0;
bool PendingQuality = false;
bool PendingResize = false;
bool Modified = false;

std::string ExecutableFolder() {
  std::string path(4096, '\0');
  ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (n <= 0) return "./";
  path.resize(std::size_t(n));
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

void SetCreationDefaults(const std::string& exeFolder) {
  WorkDir = exeFolder + "Temp/";
  Quality = 100;
  RequestedLength = 0;
  RequestedWidth = 0;
  PendingQuality = false;
  PendingResize = false;
}

void ResetEditingState() {
  Quality = 100;
  Modified = false;
}

std::string BackupPath() {
  return WorkDir + "beckup.jpg";
}
std::string BackupMeasurePath() {
  return WorkDir + "/beckup.jpg";
}
std::string WorkCopyPath() {
  return WorkDir + "/tmp.jpg";
}
std::string ResizeWritePath() {
  return WorkDir + "tmp.jpg";
}

std::int32_t EntrySize(const std::string& path) {
  struct stat st {};
  // A dangling link is still an entry: fall back to the link itself.
  if (stat(path.c_str(), &st) != 0 && lstat(path.c_str(), &st) != 0) return -1;
  if (st.st_size > std::numeric_limits<std::int32_t>::max())
    return std::numeric_limits<std::int32_t>::max();
  return std::int32_t(st.st_size);
}

std::int32_t Kilobytes(std::int32_t bytes) {
  return bytes / 1024;
}

std::string SizeLineText() {
  std::int32_t size = EntrySize(Modified ? WorkCopyPath() : BackupMeasurePath());
  return "Размер изображения: " + std::to_string(Kilobytes(size)) + " Кб";
}

}  // namespace vm::app
