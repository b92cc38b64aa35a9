// The photo program's edits beside their baselines, measured in the same run:
// - recompression of a 12-megapixel photo (encode the shown pixels, write the
//   work copy, show it decoded) beside libjpeg-turbo's bare decode plus encode;
// - resize to 768 x 576 and to 8000 x 6000 (decode, sample, encode at 90,
//   write) beside ImageMagick's `convert -sample` run as a process.
// CPU time (own, or the child's for the process), interleaved, medians of 7.
// Prints a table; exits 0. Needs /usr/bin/convert.
#include <cstddef>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/MainEdits.h"
#include "app/Values.h"
#include "platform/gfx/JpegCodec.h"
#include "tests/bench/app/BareJpeg.h"

namespace {

using namespace vm;
using namespace vm::app;
using vm::bench::BareDecodeEncode;

double SelfCpu() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

double ChildrenCpu() {
  rusage ru{};
  getrusage(RUSAGE_CHILDREN, &ru);
  return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
         double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) * 1e-6;
}

double TimeSelf(const std::function<void()>& f) {
  double t = SelfCpu();
  f();
  return SelfCpu() - t;
}

double TimeChild(const std::string& command) {
  double t = ChildrenCpu();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
  return ChildrenCpu() - t;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::vector<std::uint8_t> data;
  TBitmap b = ReadPictureFile(path, data);
  return data;
}

}  // namespace

int main() {
  char tmpl[] = "/tmp/vm_app_bench_XXXXXX";
  if (!mkdtemp(tmpl)) return 1;
  const std::string dir = std::string(tmpl) + "/";
  SetCreationDefaults(dir);
  mkdir(WorkDir.c_str(), 0755);
  const std::string photo = dir + "photo.jpg";
  if (std::system(("/usr/bin/convert -seed 7 -size 4000x3000 plasma:fractal -quality 90 " + photo)
                      .c_str()) != 0)
    return 1;
  const std::vector<std::uint8_t> file = ReadFile(photo);
  constexpr int Runs = 7;

  std::vector<double> ours, bare;
  for (int i = 0; i < Runs; ++i) {
    TShownPicture view;
    view.LoadFromFile(photo);
    ours.push_back(TimeSelf([&] {
      Quality = 75;
      PendingQuality = true;
      RunPendingEdits(view);
    }));
    bare.push_back(TimeSelf([&] { BareDecodeEncode(file, 75); }));
  }
  std::printf(
      "recompress 4000x3000 q75 (encode+write+reload): %8.1f ms   bare decode+encode: %8.1f ms   "
      "ratio %.3f\n",
      Median(ours) * 1e3, Median(bare) * 1e3, Median(ours) / Median(bare));

  for (auto [w, h] : {std::pair{768, 576}, {8000, 6000}}) {
    std::vector<double> mine, im;
    for (int i = 0; i < Runs; ++i) {
      mine.push_back(TimeSelf([&] {
        TShownPicture view;
        view.LoadFromFile(photo);
        RequestedWidth = w;
        PendingResize = true;
        RunPendingEdits(view);
      }));
      im.push_back(TimeChild("/usr/bin/convert " + photo + " -sample " + std::to_string(w) + "x" +
                             std::to_string(h) + "! -quality 90 " + dir + "im.jpg"));
    }
    std::printf(
        "resize to %dx%d (decode+sample+encode+write+reload): %8.1f ms   convert -sample: %8.1f ms "
        "  ratio %.3f\n",
        w, h, Median(mine) * 1e3, Median(im) * 1e3, Median(mine) / Median(im));
  }
  std::system(("rm -rf " + dir).c_str());
  return 0;
}
