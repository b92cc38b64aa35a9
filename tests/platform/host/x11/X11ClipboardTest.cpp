// The CLIPBOARD selection against another program: xclip reads what the
// host offers (as UTF8_STRING, STRING and TARGETS) and offers text the host
// reads. The host keeps pumping its events while xclip waits for an answer,
// exactly as the program's message loop would.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/host/x11/X11Host.h"
#include "tests/platform/host/x11/XvfbServer.h"

namespace vm {
namespace {

bool HaveXclip() {
  return system("command -v xclip > /dev/null 2>&1") == 0;
}

// A child process running xclip on the test's display, with its standard
// input and output on pipes.
class TXclip {
 public:
  TXclip(const std::string& display, std::vector<std::string> args) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      close(in[1]);
      close(out[0]);
      setenv("DISPLAY", display.c_str(), 1);
      std::vector<char*> argv;
      argv.push_back(const_cast<char*>("xclip"));
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execvp("xclip", argv.data());
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    in_ = in[1];
    out_ = out[0];
    fcntl(out_, F_SETFL, O_NONBLOCK);
  }
  ~TXclip() {
    if (in_ >= 0) close(in_);
    if (out_ >= 0) close(out_);
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  void Write(const std::string& text) {
    if (write(in_, text.data(), text.size()) != ssize_t(text.size())) ADD_FAILURE() << "write";
    close(in_);
    in_ = -1;
  }
  // Pumps the host until xclip ends (at most a generous safety bound, so a
  // broken host fails the test instead of hanging it); returns its output.
  std::optional<std::string> Finish(THost& host) {
    std::string output;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < giveUp) {
      host.WaitEvents(20);
      char buf[256];
      ssize_t n;
      while ((n = read(out_, buf, sizeof buf)) > 0) output.append(buf, std::size_t(n));
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        while ((n = read(out_, buf, sizeof buf)) > 0) output.append(buf, std::size_t(n));
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
        return output;
      }
    }
    return std::nullopt;
  }
  int Pid() const { return pid_; }

 private:
  int pid_ = -1;
  int in_ = -1, out_ = -1;
  bool exited_ = false;
};

class X11ClipboardTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = new test::TXvfbServer(320, 240); }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override {
    if (!server_->Running()) GTEST_SKIP() << server_->Error();
    if (!HaveXclip()) GTEST_SKIP() << "xclip is not installed (scripts/deps.sh installs it)";
    host_ = std::make_unique<TX11Host>(server_->Display().c_str());
  }
  std::optional<std::string> Read(const char* target) {
    TXclip x(server_->Display(), {"-selection", "clipboard", "-o", "-t", target});
    return x.Finish(*host_);
  }

  static test::TXvfbServer* server_;
  std::unique_ptr<TX11Host> host_;
};
test::TXvfbServer* X11ClipboardTest::server_ = nullptr;

TEST_F(X11ClipboardTest, AnotherProgramReadsWhatTheHostOffers) {
  host_->SetClipboardText("café Привет\r\nвторая");
  EXPECT_EQ(Read("UTF8_STRING"), std::optional<std::string>("café Привет\r\nвторая"));
  // Latin-1 for old readers: what it lacks becomes "?".
  EXPECT_EQ(Read("STRING"), std::optional<std::string>("caf\xE9 ??????\r\n??????"));
  std::optional<std::string> targets = Read("TARGETS");
  ASSERT_TRUE(targets);
  EXPECT_NE(targets->find("UTF8_STRING"), std::string::npos);
  EXPECT_NE(targets->find("STRING"), std::string::npos);
  // A target the host does not offer is refused, not answered with garbage.
  EXPECT_EQ(Read("image/png"), std::nullopt);
  // The host reads its own text without a round trip.
  EXPECT_EQ(host_->ClipboardText(), std::optional<std::string>("café Привет\r\nвторая"));
}

TEST_F(X11ClipboardTest, TheHostReadsAnotherProgramsTextAndLosesOwnership) {
  host_->SetClipboardText("ours");
  // xclip takes the clipboard and serves it until it is ended.
  TXclip x(server_->Display(), {"-selection", "clipboard", "-i", "-quiet"});
  x.Write("из xclip");
  std::optional<std::string> got;
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < giveUp) {
    host_->WaitEvents(20);  // the SelectionClear arrives here
    got = host_->ClipboardText();
    if (got && *got != "ours") break;
  }
  EXPECT_EQ(got, std::optional<std::string>("из xclip"));
}

TEST_F(X11ClipboardTest, AnEmptyClipboardReadsAsNothing) {
  // A fresh server: nobody owns the clipboard.
  test::TXvfbServer fresh(64, 64);
  if (!fresh.Running()) GTEST_SKIP() << fresh.Error();
  TX11Host other(fresh.Display().c_str());
  EXPECT_EQ(other.ClipboardText(), std::nullopt);
}

}  // namespace
}  // namespace vm
