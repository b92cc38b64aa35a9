// Speed of section and mask painting, each next to a memcpy of the bytes the
// painter writes, measured in the same run.
//
// The skin model is built by hand with the geometry of the built-in skin's
// BUTTON, FORM and FORMTITLE sections (same mask rectangles, border widths,
// stretch bits and transparency), so the pixel work equals the real one.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/gfx/DC.h"
#include "platform/gfx/Font.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/MaskPaint.h"
#include "skin/paint/SectionPaint.h"
#include "skin/paint/SkinText.h"
#include "tests/bench/common/CopyBaseline.h"

namespace vm {
namespace {

// The main window's outer size: the 713 x 510 client area with a 3-pixel
// fixed frame, a 19-pixel caption and a 19-pixel menu bar.
constexpr int FormWidth = 719;
constexpr int FormHeight = 554;

struct TBenchSkin {
  TsSkinManager manager;
  int button = -1, form = -1, title = -1;
  int buttonMask = -1, formMask = -1;

  TBenchSkin() {
    auto master = std::make_shared<TBitmap>(276, 102, TPixelFormat::pf24bit, true);
    for (int y = 0; y < 102; ++y)
      for (int x = 0; x < 276; ++x)
        master->SetPixel(x, y, RGB(100 + (x * 7) % 150, 120 + (y * 5) % 130, 200));
    // Rounded corners: a few magenta pixels in each border frame's corners.
    for (int s = 0; s < 3; ++s)
      for (int i = 0; i < 3; ++i) master->SetPixel(66 + s * 21 + i, 71, 0xFF00FF);
    master->SetPixel(12, 0, 0xFF00FF);
    manager.MasterBitmap = master;

    button = AddSection("BUTTON", RGB(210, 227, 250), 100);
    form = AddSection("FORM", RGB(210, 227, 250), 0);
    title = AddSection("FORMTITLE", RGB(210, 227, 250), 0);
    TsGeneralData& t = manager.gd[std::size_t(title)];
    t.GradientPercent = t.HotGradientPercent = 100;
    ParseGradient("16777215;16511722;40;0;0;16511722;16442322;60;0;0", t.GradientArray);
    t.HotGradientArray = t.GradientArray;
    t.FontColor = {10852487, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
    t.HotFontColor = {7228729, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 16511722};

    buttonMask = AddMask("BUTTON", {66, 71, 129, 92}, 3, 10, 5);
    formMask = AddMask("FORM", {12, 0, 24, 13}, 1, 5, 1);
    manager.ma[std::size_t(formMask)].WR = manager.ma[std::size_t(formMask)].WB = 6;
  }
  int AddSection(const char* name, TColor color, int transparency) {
    TsGeneralData gd;
    gd.SectionName = name;
    gd.Color = gd.HotColor = color;
    gd.Transparency = gd.HotTransparency = transparency;
    manager.gd.push_back(gd);
    return int(manager.gd.size()) - 1;
  }
  int AddMask(const char* section, TRect r, int count, int border, int stretch) {
    TsMaskData md;
    md.SectionName = section;
    md.PropertyName = "BORDERSMASK";
    md.R = r;
    md.ImageCount = std::int16_t(count);
    md.WL = md.WT = md.WR = md.WB = std::int16_t(border);
    md.StretchMode = std::int16_t(stretch);
    md.Manager = &manager;
    manager.ma.push_back(md);
    return int(manager.ma.size()) - 1;
  }
};

TBenchSkin& Skin() {
  static TBenchSkin skin;
  return skin;
}

void Memcpy(benchmark::State& state, const TBitmap& like) {
  bench::TCopyBaseline copy(like.DataSize());
  for (auto _ : state) {
    copy.Copy();
    benchmark::DoNotOptimize(copy.Destination());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(copy.Size()));
}

void BM_SectionItemButton(benchmark::State& state) {
  TBenchSkin& s = Skin();
  TBitmap parent(713, 510);
  parent.Fill(RGB(210, 227, 250));
  TBitmap cache(49, 41);
  const BackgroundInfo back{&parent, 8, 8, 1};
  for (auto _ : state) {
    PaintSectionItem(s.button, "BUTTON", back, -1, -1, &s.manager, cache, {}, {0, 0, 49, 41},
                     int(state.range(0)), true);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(cache.DataSize()));
}
BENCHMARK(BM_SectionItemButton)->Arg(0)->Arg(1);
void BM_MemcpyButton(benchmark::State& state) {
  Memcpy(state, TBitmap(49, 41));
}
BENCHMARK(BM_MemcpyButton);

void BM_SectionItemForm(benchmark::State& state) {
  TBenchSkin& s = Skin();
  TBitmap cache(FormWidth, FormHeight);
  for (auto _ : state) {
    PaintSectionItem(s.form, "FORM", {}, -1, -1, &s.manager, cache, {},
                     {0, 0, FormWidth, FormHeight}, 0, true);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(cache.DataSize()));
}
BENCHMARK(BM_SectionItemForm);
void BM_MemcpyForm(benchmark::State& state) {
  Memcpy(state, TBitmap(FormWidth, FormHeight));
}
BENCHMARK(BM_MemcpyForm);

// A 300 x 200 nine-part image: the BUTTON frame (one-pixel middle pieces)
// with sides and centre tiled (arg 0) or stretched (arg 1, which repeats the
// one pixel), and a 40 x 30 frame with a 20 x 10 middle stretched (arg 2,
// interpolated).
void BM_NinePart(benchmark::State& state) {
  TBenchSkin& s = Skin();
  TsMaskData md = s.manager.ma[std::size_t(s.buttonMask)];
  md.StretchMode = std::int16_t(smPaintCentre | (state.range(0) ? smStretchMiddle : 0));
  if (state.range(0) == 2) {
    md.R = TRect{130, 10, 170, 40};
    md.ImageCount = 1;
  }
  TBitmap target(300, 200);
  for (auto _ : state) {
    PaintNinePart(target, {0, 0, 300, 200}, true, false, 1, md, {});
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(target.DataSize()));
}
BENCHMARK(BM_NinePart)->Arg(0)->Arg(1)->Arg(2);
void BM_MemcpyNinePart(benchmark::State& state) {
  Memcpy(state, TBitmap(300, 200));
}
BENCHMARK(BM_MemcpyNinePart);

// The main window's caption in the title section's colours with a contour
// below it (the hot set), bold Tahoma 8 point.
void BM_ContouredCaption(benchmark::State& state) {
  TBenchSkin& s = Skin();
  TBitmap strip(FormWidth, 22);
  strip.Fill(RGB(210, 227, 250));
  TDC dc(strip);
  dc.SelectFont(TFont::Get(TFontDesc{"Tahoma", -11, true}));
  for (auto _ : state) {
    WriteSectionText(dc, "Velmora v8.0", true, &s.manager, state.range(0) != 0, s.title,
                     DT_LEFT | DT_VCENTER | DT_SINGLELINE, {26, 3, 600, 22});
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(strip.DataSize()));
}
BENCHMARK(BM_ContouredCaption)->Arg(0)->Arg(1);
void BM_MemcpyCaption(benchmark::State& state) {
  Memcpy(state, TBitmap(FormWidth, 22));
}
BENCHMARK(BM_MemcpyCaption);

}  // namespace
}  // namespace vm

BENCHMARK_MAIN();
