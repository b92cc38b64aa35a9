// The photo program's edits as the running program does them (the main
// window's activation on the headless host), each beside its baseline from
// the same process:
//
//   bench_app_program recompress FILE [QUALITY]
//     one recompression (encode the shown pixels, write the work copy, show it
//     decoded), then libjpeg-turbo's bare decode + encode of the work copy it
//     wrote (the same amount of decoding and encoding: a file of that quality
//     decoded, a picture of that size encoded at it).
//     Count the instructions of each with callgrind, one run per function:
//       valgrind --tool=callgrind --toggle-collect='vm::app::RunPendingEdits*' ...
//       valgrind --tool=callgrind --toggle-collect='vm::bench::BareDecodeEncode*' ...
//   bench_app_program resize FILE WIDTH
//     the peak resident memory during one resize, beside the size of the
//     decoded picture the view holds.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "app/Main.h"
#include "app/Program.h"
#include "app/Values.h"
#include "platform/host/headless/HeadlessHost.h"
#include "skin/data/SkinManager.h"
#include "tests/bench/app/BareJpeg.h"

namespace {

using namespace vm;
using namespace vm::app;

// A field of /proc/self/status in kB ("VmHWM", "VmRSS").
long StatusKb(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::string key = std::string(field) + ":";
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + key.size());
  return -1;
}

// Starts the peak of resident memory again from the current size.
void ResetPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 && !(argc == 3 && std::strcmp(argv[1], "recompress") == 0)) {
    std::fprintf(stderr,
                 "usage: bench_app_program recompress FILE [QUALITY] | resize FILE WIDTH\n");
    return 2;
  }
  const std::string mode = argv[1], file = argv[2];
  char tmpl[] = "/tmp/vm_app_program_bench_XXXXXX";
  if (!mkdtemp(tmpl)) return 1;
  const std::string dir = std::string(tmpl) + "/";
  mkdir((dir + "Temp").c_str(), 0755);

  THeadlessHost host;
  SetHost(&host);
  SetProgramFolder(dir);
  PrepareProcess();
  int status = 0;
  {
    auto application = CreateProgram();
    frmMain->Show();
    application->ProcessMessages();
    frmMain->LoadPicture(file);
    if (mode == "recompress") {
      Quality = argc > 3 ? std::atoi(argv[3]) : 75;
      Modified = true;
      PendingQuality = true;
      frmMain->FormActivate(frmMain);
      // The same work as the recompression: an encode at the quality and a
      // decode of a file of that quality (the work copy just written).
      std::ifstream in(WorkCopyPath(), std::ios::binary);
      std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
      std::vector<std::uint8_t> bare = vm::bench::BareDecodeEncode(bytes, Quality);
      std::printf("recompressed %dx%d at %d: %zu bytes (bare: %zu bytes)\n",
                  frmMain->Image1->Width(), frmMain->Image1->Height(), Quality,
                  std::size_t(EntrySize(WorkCopyPath())), bare.size());
      status = PendingQuality ? 1 : 0;
    } else if (mode == "resize") {
      const long decodedKb = long(frmMain->Image1->Width()) * frmMain->Image1->Height() * 3 / 1024;
      const long before = StatusKb("VmRSS");
      ResetPeak();
      RequestedWidth = RequestedLength = std::atoi(argv[3]);
      Modified = true;
      PendingResize = true;
      frmMain->FormActivate(frmMain);
      const long peak = StatusKb("VmHWM");
      std::printf(
          "resize to %dx%d: resident before %ld kB, peak during the resize %ld kB "
          "(+%ld kB); decoded picture %ld kB; target 1.5 x decoded + 16 MiB = %ld kB\n",
          frmMain->Image1->Width(), frmMain->Image1->Height(), before, peak, peak - before,
          decodedKb, decodedKb * 3 / 2 + 16 * 1024);
      status = PendingResize ? 1 : 0;
    }
  }
  FinishProcess();
  SetProgramFolder("");
  SetHost(nullptr);
  std::system(("rm -rf " + dir).c_str());
  return status;
}
