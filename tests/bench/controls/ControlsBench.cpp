// Typing into a 2,000-line memo on the headless host: one key (key down,
// character, key up) with everything it causes (the edit, the repaint of the
// memo, the present), next to a plain repaint and present of the same memo
// in the same run. Run with --benchmark_repetitions and compare medians.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/controls/Controls.h"
#include "platform/gfx/Font.h"
#include "platform/host/headless/HeadlessHost.h"
#include "platform/win/WinApi.h"

namespace vm {
namespace {

struct TMemoScene {
  THeadlessHost host;
  HWND top = nullptr;
  HWND memo = nullptr;
  explicit TMemoScene(DWORD extraStyle) {
    PinFontConfiguration();
    SetHost(&host);
    RegisterStandardControls();
    WNDCLASS wc;
    wc.lpszClassName = "BenchParent";
    wc.lpfnWndProc = &DefWindowProc;
    RegisterClass(wc);
    top = CreateWindowEx(0, "BenchParent", "Memo", WS_OVERLAPPEDWINDOW, 10, 10, 713, 510, nullptr);
    std::string text;
    for (int i = 0; i < 2000; ++i)
      text += "Строка " + std::to_string(i) + ": the quick brown fox jumps over the dog\r\n";
    memo = CreateWindowEx(WS_EX_CLIENTEDGE, "Edit", text,
                          WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | extraStyle, 8, 8,
                          690, 460, top, 1);
    SendMessage(memo, EM_LIMITTEXT, 0);
    ShowWindow(top, SW_SHOW);
    SetFocus(memo);
    // The caret in the middle of the text, scrolled there.
    const LRESULT mid = SendMessage(memo, EM_LINEINDEX, 1000);
    SendMessage(memo, EM_SETSEL, WPARAM(mid + 10), LPARAM(mid + 10));
    SendMessage(memo, EM_SCROLLCARET);
    ProcessPendingMessages();
  }
  ~TMemoScene() {
    SetHost(nullptr);
    UnregisterClass("BenchParent");
  }
};

void TypeKeys(benchmark::State& state, DWORD extraStyle) {
  TMemoScene scene(extraStyle);
  int i = 0;
  for (auto _ : state) {
    // Type and erase in turn, so the text stays the same size.
    if (i++ % 2 == 0)
      scene.host.Key('A');
    else
      scene.host.Key(VK_BACK);
    ProcessPendingMessages();
  }
}

void BM_TypeKey_WrappedMemo(benchmark::State& state) {
  TypeKeys(state, 0);
}
void BM_TypeKey_ScrollingMemo(benchmark::State& state) {
  TypeKeys(state, ES_AUTOHSCROLL);
}

void BM_RepaintMemo(benchmark::State& state) {
  TMemoScene scene(0);
  for (auto _ : state) {
    InvalidateRect(scene.memo, nullptr, true);
    ProcessPendingMessages();
  }
}

BENCHMARK(BM_RepaintMemo);
BENCHMARK(BM_TypeKey_WrappedMemo);
BENCHMARK(BM_TypeKey_ScrollingMemo);

}  // namespace
}  // namespace vm

BENCHMARK_MAIN();
