// Start-up time of the photo program against a minimal X client (xmessage),
// on a private Xvfb, in the same run: the two programs are started in turn
// (the order swapped every round) and each is timed from its start until its
// first window is completely painted, then stopped. Prints the median wall
// time to the first pixel and to the finished window, and the median CPU time
// (user + system, of the process up to the moment it is stopped) of each, and
// their ratios. Asserts nothing.
//
//   bench_startup VELMORA_BINARY [ROUNDS]   (xmessage from PATH)
//
// "On the screen" is read from the server: the first top-level window the
// process maps, then a pixel near the middle of its top edge that is no
// longer the black of the bare root. The program's windows have no
// background of their own, so that pixel changes only when the program has
// put its picture there; xmessage's window has a background, which the
// server paints as it maps the window. "Completely painted" is the last
// change of the window's whole image before it stays the same for
// QuietMs; the process is stopped only then, so its CPU time covers all of
// its painting (and nothing but idle waiting after it).
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct TSample {
  double FirstMs = 0;  // wall time to the first pixel
  double WallMs = 0;   // wall time to the completely painted window
  double CpuMs = 0;
};

// How long the window's image must stay unchanged to count as finished.
constexpr int QuietMs = 400;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  if (v.empty()) return 0;
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

pid_t Spawn(const std::vector<std::string>& argv, const std::string& display) {
  pid_t pid = fork();
  if (pid == 0) {
    setenv("DISPLAY", display.c_str(), 1);
    int devnull = open("/dev/null", O_WRONLY);
    if (devnull >= 0) {
      dup2(devnull, 1);
      dup2(devnull, 2);
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  return pid;
}

// Starts a private server; returns its display name (":N") or "" on failure.
std::string StartXvfb(pid_t* pid) {
  int fds[2];
  if (pipe(fds) != 0) return "";
  *pid = fork();
  if (*pid == 0) {
    close(fds[0]);
    dup2(fds[1], 3);
    int devnull = open("/dev/null", O_WRONLY);
    if (devnull >= 0) {
      dup2(devnull, 1);
      dup2(devnull, 2);
    }
    execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
           "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  char buf[32] = {};
  std::size_t got = 0;
  pollfd p{fds[0], POLLIN, 0};
  while (got < sizeof buf - 1 && poll(&p, 1, 10000) > 0) {
    ssize_t r = read(fds[0], buf + got, sizeof buf - 1 - got);
    if (r <= 0) break;
    got += std::size_t(r);
    if (std::find(buf, buf + got, '\n') != buf + got) break;
  }
  close(fds[0]);
  if (!got) return "";
  std::string name = ":";  // appended, not prepended: GCC 12 at -O3 warns falsely on the latter
  name += std::to_string(std::atoi(buf));
  return name;
}

bool Painted(Display* dpy, Window w) {
  XWindowAttributes a{};
  if (!XGetWindowAttributes(dpy, w, &a) || a.map_state != IsViewable) return false;
  XImage* img = XGetImage(dpy, w, a.width / 2, std::min(8, a.height - 1), 1, 1, AllPlanes, ZPixmap);
  if (!img) return false;
  unsigned long pixel = XGetPixel(img, 0, 0);
  XDestroyImage(img);
  return (pixel & 0xFFFFFF) != 0;
}

// The whole window's pixels, or empty when it cannot be read (unmapped, gone).
std::vector<char> Image(Display* dpy, Window w) {
  XWindowAttributes a{};
  if (!XGetWindowAttributes(dpy, w, &a) || a.map_state != IsViewable) return {};
  XImage* img = XGetImage(dpy, w, 0, 0, unsigned(a.width), unsigned(a.height), AllPlanes, ZPixmap);
  if (!img) return {};
  std::vector<char> bytes(img->data, img->data + std::size_t(img->bytes_per_line) * img->height);
  XDestroyImage(img);
  return bytes;
}

int IgnoreErrors(Display*, XErrorEvent*) {
  return 0;  // a window that went between the map and the look
}

// One start: until the first mapped top-level window shows its pixels, then
// until its whole image has stopped changing.
bool TimeOne(Display* dpy, const std::vector<std::string>& argv, const std::string& display,
             TSample* out) {
  XSync(dpy, True);  // forget what earlier runs left in the queue
  const auto start = Clock::now();
  pid_t pid = Spawn(argv, display);
  if (pid < 0) return false;
  Window mapped = 0;
  bool ok = false;
  const auto limit = start + std::chrono::seconds(20);
  auto first = start;
  while (Clock::now() < limit) {
    while (XPending(dpy)) {
      XEvent ev;
      XNextEvent(dpy, &ev);
      if (ev.type == MapNotify && !mapped && !ev.xmap.override_redirect) mapped = ev.xmap.window;
    }
    if (mapped && Painted(dpy, mapped)) {
      first = Clock::now();
      ok = true;
      break;
    }
    pollfd p{ConnectionNumber(dpy), POLLIN, 0};
    poll(&p, 1, mapped ? 0 : 1);  // once mapped, look at the pixels without pause
  }
  auto end = first;
  if (ok) {
    // Read the whole window every few milliseconds; the last change before a
    // quiet spell is the moment the window was finished.
    std::vector<char> last = Image(dpy, mapped);
    auto changed = Clock::now();
    while (Clock::now() < limit && Clock::now() - changed < std::chrono::milliseconds(QuietMs)) {
      poll(nullptr, 0, 5);
      std::vector<char> now = Image(dpy, mapped);
      if (now != last) {
        last = std::move(now);
        changed = Clock::now();
      }
    }
    end = changed;
    ok = Clock::now() < limit;
  }
  kill(pid, SIGKILL);
  int status = 0;
  rusage use{};
  wait4(pid, &status, 0, &use);
  out->FirstMs = std::chrono::duration<double, std::milli>(first - start).count();
  out->WallMs = std::chrono::duration<double, std::milli>(end - start).count();
  out->CpuMs = (use.ru_utime.tv_sec + use.ru_stime.tv_sec) * 1000.0 +
               (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1000.0;
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_startup VELMORA_BINARY [ROUNDS]\n");
    return 2;
  }
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
  pid_t xvfb = 0;
  const std::string display = StartXvfb(&xvfb);
  if (display.empty()) {
    std::fprintf(stderr, "bench_startup: Xvfb did not start\n");
    return 1;
  }
  Display* dpy = XOpenDisplay(display.c_str());
  if (!dpy) {
    std::fprintf(stderr, "bench_startup: cannot open %s\n", display.c_str());
    kill(xvfb, SIGTERM);
    return 1;
  }
  XSetErrorHandler(IgnoreErrors);
  XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);

  const std::vector<std::string> velmora{argv[1]};
  const std::vector<std::string> xmessage{"xmessage", "Velmora"};
  std::vector<double> vFirst, vWall, vCpu, xFirst, xWall, xCpu;
  int failures = 0;
  // One warm-up start of each fills the page cache and the font caches.
  TSample s;
  TimeOne(dpy, velmora, display, &s);
  TimeOne(dpy, xmessage, display, &s);
  for (int r = 0; r < rounds; ++r) {
    for (int k = 0; k < 2; ++k) {
      const bool first = (r + k) % 2 == 0;
      const auto& which = first ? velmora : xmessage;
      if (!TimeOne(dpy, which, display, &s)) {
        ++failures;
        continue;
      }
      (first ? vFirst : xFirst).push_back(s.FirstMs);
      (first ? vWall : xWall).push_back(s.WallMs);
      (first ? vCpu : xCpu).push_back(s.CpuMs);
    }
  }
  XCloseDisplay(dpy);
  kill(xvfb, SIGTERM);
  waitpid(xvfb, nullptr, 0);

  const double vf = Median(vFirst), xf = Median(xFirst);
  const double vw = Median(vWall), xw = Median(xWall), vc = Median(vCpu), xc = Median(xCpu);
  auto ratio = [](double a, double b) { return b > 0 ? a / b : 0; };
  std::printf("start to completely painted window, medians of %d interleaved rounds\n", rounds);
  std::printf("  %-10s first pixel %8.1f ms   finished %8.1f ms   cpu %8.1f ms\n", "velmora", vf,
              vw, vc);
  std::printf("  %-10s first pixel %8.1f ms   finished %8.1f ms   cpu %8.1f ms\n", "xmessage", xf,
              xw, xc);
  std::printf("  ratio      first pixel %8.2f x    finished %8.2f x    cpu %8.2f x\n",
              ratio(vf, xf), ratio(vw, xw), ratio(vc, xc));
  if (failures) std::printf("  %d starts showed no window within 20 s\n", failures);
  return failures ? 1 : 0;
}
