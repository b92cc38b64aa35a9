#include "platform/fs/PlatformPath.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace vm {

namespace {

bool IsAbsolute(const char* path) {
  return path && path[0] == '/';
}

std::string WithoutTrailingSlashes(std::string s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (IsAbsolute(home)) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && IsAbsolute(pw->pw_dir)) return pw->pw_dir;
  return "/tmp";
}

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

}  // namespace

std::string UserDataFolder() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  std::string base =
      IsAbsolute(xdg) ? std::string(xdg) : WithoutTrailingSlashes(HomeFolder()) + "/.local/share";
  base = WithoutTrailingSlashes(base);
  if (base == "/") base.clear();
  return base + "/velmora/";
}

bool IsDrivePath(std::string_view name) {
  if (name.size() < 2 || name[1] != ':') return false;
  const char c = name[0];
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string PlatformToHostPath(std::string_view name) {
  if (!IsDrivePath(name)) {
    std::string p(name);
    for (char& c : p)
      if (c == '\\') c = '/';
    return p;
  }
  std::string out = UserDataFolder();
  const char letter = char(name[0] & ~0x20);  // upper case
  if (letter != 'C') out += std::string(1, letter) + "/";
  // The parts below the drive's root; ".." at the root stays at the root.
  std::vector<std::string_view> parts;
  std::string_view rest = name.substr(2);
  std::size_t i = 0;
  while (i < rest.size()) {
    std::size_t end = i;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    std::string_view part = rest.substr(i, end - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = end + 1;
  }
  for (std::size_t k = 0; k < parts.size(); ++k) {
    if (k) out += '/';
    out += parts[k];
  }
  // "c:\Skins\" keeps its trailing separator; "c:\Skins" has none.
  if (!parts.empty() && IsSeparator(rest.back())) out += '/';
  return out;
}

bool EnsureDataFolder(const std::string& hostFolder, std::string* why) {
  const std::string root = UserDataFolder();
  const std::string target = WithoutTrailingSlashes(hostFolder);
  if (target + "/" != root && target.rfind(root, 0) != 0) {
    if (why) *why = hostFolder + ": not inside " + root;
    return false;
  }
  // Every missing folder from the top down, so that a fresh account gets
  // ~/.local/share as well; folders that exist are left as they are.
  std::size_t at = 1;
  while (true) {
    std::size_t slash = target.find('/', at);
    const std::string folder = target.substr(0, slash);
    struct stat st {};
    if (stat(folder.c_str(), &st) == 0) {
      if (!S_ISDIR(st.st_mode)) {
        if (why) *why = folder + ": " + std::strerror(ENOTDIR);
        return false;
      }
    } else if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
      if (why) *why = folder + ": " + std::strerror(errno);
      return false;
    }
    if (slash == std::string::npos) return true;
    at = slash + 1;
  }
}

}  // namespace vm
