// A private X server for tests and benchmarks: starts Xvfb on a display
// number the server picks itself (-displayfd), so that parallel runs never
// collide, and stops it again in the destructor.
#pragma once

#include <string>

namespace vm::test {

class TXvfbServer {
 public:
  // Starts Xvfb with one screen of width x height x depth. Running() tells
  // whether it came up; Error() says why not (Xvfb missing, no answer).
  explicit TXvfbServer(int width = 1280, int height = 1024, int depth = 24);
  ~TXvfbServer();
  TXvfbServer(const TXvfbServer&) = delete;
  TXvfbServer& operator=(const TXvfbServer&) = delete;

  bool Running() const { return pid_ > 0 && !display_.empty(); }
  const std::string& Display() const { return display_; }  // ":N"
  const std::string& Error() const { return error_; }

 private:
  int pid_ = -1;
  std::string display_;
  std::string error_;
};

}  // namespace vm::test
