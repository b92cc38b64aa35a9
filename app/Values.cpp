#include "app/Values.h"

#include "app/SafeFile.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

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

namespace {

// Whether `folder` (ending in a separator) can serve as this user's working
// folder: it exists, belongs to the user and the user may write in it; or it
// does not exist yet and the folder above it would let the user make it (the
// program does not make it: until it exists, edits fail and stay pending).
bool UsableBesideProgram(const std::string& folder) {
  struct stat st {};
  std::string path = folder.substr(0, folder.size() - 1);
  if (stat(path.c_str(), &st) == 0)
    return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && access(path.c_str(), W_OK | X_OK) == 0;
  if (errno != ENOENT) return false;
  // A bare name's parent is the working folder. (Read through a pointer: GCC 12
  // at -O3 warns falsely on assigning a literal to the substring.)
  const std::string parent = path.substr(0, path.rfind('/') + 1);
  return access(parent.empty() ? "." : parent.c_str(), W_OK | X_OK) == 0;
}

// Makes every missing folder of `path` (absolute, ending in a separator);
// the ones made get mode 0700.
void MakeFolders(const std::string& path) {
  for (std::size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1))
    mkdir(path.substr(0, at).c_str(), 0700);
}

}  // namespace

std::string UserWorkFolder() {
  std::string base;
  const char* cache = std::getenv("XDG_CACHE_HOME");
  // Relative values are to be ignored.
  if (cache && cache[0] == '/') {
    base = cache;
  } else {
    const char* home = std::getenv("HOME");
    std::string h = home && home[0] == '/' ? home : "";
    if (h.empty())
      if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_dir) h = pw->pw_dir;
    base = (h.empty() ? std::string("/tmp") : h) + "/.cache";
  }
  if (base.back() != '/') base += '/';
  return base + "velmora/Temp/";
}

std::string ChooseWorkFolder(const std::string& exeFolder) {
  const std::string beside = exeFolder + "Temp/";
  if (UsableBesideProgram(beside)) return beside;
  const std::string own = UserWorkFolder();
  MakeFolders(own);
  // Pictures the user opens pass through it: nobody else may look.
  chmod(own.substr(0, own.size() - 1).c_str(), 0700);
  return own;
}

void SetCreationDefaults(const std::string& exeFolder) {
  WorkDir = ChooseWorkFolder(exeFolder);
  // Temporaries of a save that was killed between writing and renaming.
  RemoveStaleTemporaries(WorkDir);
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
