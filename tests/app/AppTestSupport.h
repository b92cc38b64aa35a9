// A scratch folder per test, files written and read whole, and the reference
// command-line tools run through the shell.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vm::test {

class TScratch {
 public:
  TScratch() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "vm_app_XXXXXX").string();
    char* dir = mkdtemp(tmpl.data());
    if (!dir) throw std::runtime_error("mkdtemp failed");
    path_ = std::string(dir) + "/";
  }
  ~TScratch() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TScratch(const TScratch&) = delete;
  TScratch& operator=(const TScratch&) = delete;
  // Ends in a separator.
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

inline std::vector<std::uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteAll(const std::string& path, const std::vector<std::uint8_t>& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

// Runs a shell command; fails the test when it does not exit with 0.
inline void Shell(const std::string& command) {
  int rc = std::system(command.c_str());
  ASSERT_EQ(rc, 0) << command;
}

inline std::string Quote(const std::string& s) {
  return "'" + s + "'";
}

}  // namespace vm::test
