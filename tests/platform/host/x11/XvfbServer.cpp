#include "tests/platform/host/x11/XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace vm::test {

namespace {

// Waits up to timeoutMs for the child to end; true when it did.
bool WaitChild(int pid, int timeoutMs) {
  for (int waited = 0; waited <= timeoutMs; waited += 10) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

}  // namespace

TXvfbServer::TXvfbServer(int width, int height, int depth) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    error_ = "cannot create a pipe";
    return;
  }
  const std::string screen =
      std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth);
  pid_ = fork();
  if (pid_ == 0) {
    // The child keeps only the write end, as the descriptor Xvfb reports on.
    close(fds[0]);
    int fd = dup(fds[1]);  // dup clears close-on-exec
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, 1);
      dup2(null, 2);
    }
    const std::string fdText = std::to_string(fd);
    execlp("Xvfb", "Xvfb", "-displayfd", fdText.c_str(), "-screen", "0", screen.c_str(),
           "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  if (pid_ < 0) {
    close(fds[0]);
    error_ = "cannot fork";
    return;
  }
  // Xvfb writes the display number once it accepts connections.
  std::string number;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char buf[32];
    ssize_t n = read(fds[0], buf, sizeof buf);
    if (n <= 0) break;
    number.append(buf, std::size_t(n));
    if (number.find('\n') != std::string::npos) break;
  }
  close(fds[0]);
  while (!number.empty() && (number.back() == '\n' || number.back() == '\r')) number.pop_back();
  if (number.empty()) {
    error_ = "Xvfb did not start (is the xvfb package installed?)";
    kill(pid_, SIGKILL);
    WaitChild(pid_, 2000);
    pid_ = -1;
    return;
  }
  display_ = ":" + number;
}

TXvfbServer::~TXvfbServer() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  if (!WaitChild(pid_, 3000)) {
    kill(pid_, SIGKILL);
    WaitChild(pid_, 3000);
  }
}

}  // namespace vm::test
