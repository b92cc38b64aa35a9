// The JPEG codec on a 12-megapixel photo, each path next to libjpeg-turbo
// driven bare (no bitmap, one reused row) on the same file in the same run:
//   preview decode (scaled by the library) vs the bare full decode,
//   decode into the bitmap's B, G, R rows vs RGB rows swapped pixel by pixel,
//   decode + encode through the codec vs bare decode + encode.
// Run with --benchmark_repetitions=N --benchmark_enable_random_interleaving
// and compare the medians. Nothing here asserts a time.
#include <benchmark/benchmark.h>

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <cstdlib>
#include <vector>

#include "platform/gfx/JpegCodec.h"

namespace vm {
namespace {

constexpr int PhotoW = 4000, PhotoH = 3000;

// A synthesised photograph: smooth gradients with noise in every pixel, so
// the entropy coder has as much to do as with a camera picture. Encoded once
// at quality 90.
const std::vector<std::uint8_t>& PhotoJpeg() {
  static const std::vector<std::uint8_t> bytes = [] {
    TJpegEncoder encoder;
    encoder.Begin(PhotoW, PhotoH, 90);
    std::vector<std::uint8_t> row(std::size_t(PhotoW) * 3);
    unsigned s = 1;
    for (int y = 0; y < PhotoH; ++y) {
      for (int x = 0; x < PhotoW; ++x) {
        s = s * 1103515245u + 12345u;
        const int n = int((s >> 16) & 15) - 8;
        row[3 * std::size_t(x)] = std::uint8_t(std::clamp(x * 255 / PhotoW + n, 0, 255));
        row[3 * std::size_t(x) + 1] = std::uint8_t(std::clamp(y * 255 / PhotoH + n, 0, 255));
        row[3 * std::size_t(x) + 2] =
            std::uint8_t(std::clamp(128 + ((x / 40 + y / 30) % 7) * 12 + n, 0, 255));
      }
      encoder.WriteRow(row);
    }
    return encoder.Finish();
  }();
  return bytes;
}

// The bare library: decode every row into one reused buffer. Errors cannot
// occur on this file; the default handler would exit.
void BareDecode(const std::vector<std::uint8_t>& file, J_COLOR_SPACE space,
                std::vector<std::uint8_t>* keep, int* width, int* height) {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = space;
  jpeg_start_decompress(&cinfo);
  const std::size_t rowBytes = std::size_t(cinfo.output_width) * 3;
  *width = int(cinfo.output_width);
  *height = int(cinfo.output_height);
  std::vector<std::uint8_t> row(rowBytes);
  if (keep) keep->resize(rowBytes * cinfo.output_height);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW rows[1] = {keep ? keep->data() + rowBytes * cinfo.output_scanline : row.data()};
    jpeg_read_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
}

std::vector<std::uint8_t> BareEncode(const std::vector<std::uint8_t>& rgb, int w, int h, int q,
                                     bool progressive = false) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = JDIMENSION(w);
  cinfo.image_height = JDIMENSION(h);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, q, TRUE);
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW rows[1] = {
        const_cast<JSAMPROW>(rgb.data() + std::size_t(w) * 3 * cinfo.next_scanline)};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<std::uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

// The same photo as a progressive file (the library's usual ten scans).
const std::vector<std::uint8_t>& ProgressivePhotoJpeg() {
  static const std::vector<std::uint8_t> bytes = [] {
    std::vector<std::uint8_t> rgb;
    int w = 0, h = 0;
    BareDecode(PhotoJpeg(), JCS_RGB, &rgb, &w, &h);
    return BareEncode(rgb, w, h, 90, true);
  }();
  return bytes;
}

void BM_BareFullDecode(benchmark::State& state) {
  const auto& file = PhotoJpeg();
  int w = 0, h = 0;
  for (auto _ : state) BareDecode(file, JCS_RGB, nullptr, &w, &h);
  state.SetLabel(std::to_string(w) + " x " + std::to_string(h));
}
BENCHMARK(BM_BareFullDecode)->Unit(benchmark::kMillisecond);

void BM_PreviewDecode(benchmark::State& state) {
  // The file dialog's preview pane: a box of about 300 x 300 pixels.
  const auto& file = PhotoJpeg();
  TJpegPreview p;
  for (auto _ : state) {
    p = DecodeJpegScaled(file, 300, 300);
    benchmark::DoNotOptimize(p.Bitmap.Data());
  }
  state.SetLabel("1/" + std::to_string(p.ScaleDenom) + ": " + std::to_string(p.Bitmap.Width()) +
                 " x " + std::to_string(p.Bitmap.Height()));
}
BENCHMARK(BM_PreviewDecode)->Unit(benchmark::kMillisecond);

void BM_BareFullDecodeProgressive(benchmark::State& state) {
  const auto& file = ProgressivePhotoJpeg();
  int w = 0, h = 0;
  for (auto _ : state) BareDecode(file, JCS_RGB, nullptr, &w, &h);
}
BENCHMARK(BM_BareFullDecodeProgressive)->Unit(benchmark::kMillisecond);

void BM_PreviewDecodeProgressive(benchmark::State& state) {
  // A progressive file's preview reads only its first scans.
  const auto& file = ProgressivePhotoJpeg();
  TJpegPreview p;
  for (auto _ : state) {
    p = DecodeJpegScaled(file, 300, 300);
    benchmark::DoNotOptimize(p.Bitmap.Data());
  }
}
BENCHMARK(BM_PreviewDecodeProgressive)->Unit(benchmark::kMillisecond);

void BM_DecodeToBitmap(benchmark::State& state) {
  // What opening a picture costs: a new bitmap filled straight from the library.
  const auto& file = PhotoJpeg();
  for (auto _ : state) {
    TBitmap b = DecodeJpeg(file);
    benchmark::DoNotOptimize(b.Data());
  }
}
BENCHMARK(BM_DecodeToBitmap)->Unit(benchmark::kMillisecond);

void BM_DecodeRgbAndSwap(benchmark::State& state) {
  // The previous way: RGB rows from the library, then each pixel swapped
  // into a new bitmap.
  const auto& file = PhotoJpeg();
  for (auto _ : state) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const int width = int(cinfo.output_width);
    TBitmap b(width, int(cinfo.output_height));
    std::vector<std::uint8_t> row(std::size_t(width) * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
      const int y = int(cinfo.output_scanline);
      JSAMPROW rows[1] = {row.data()};
      jpeg_read_scanlines(&cinfo, rows, 1);
      std::uint8_t* dst = b.ScanLine(y);
      for (int x = 0; x < width; ++x) {
        dst[3 * x] = row[3 * std::size_t(x) + 2];
        dst[3 * x + 1] = row[3 * std::size_t(x) + 1];
        dst[3 * x + 2] = row[3 * std::size_t(x)];
      }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    benchmark::DoNotOptimize(b.Data());
  }
}
BENCHMARK(BM_DecodeRgbAndSwap)->Unit(benchmark::kMillisecond);

void BM_Recompress(benchmark::State& state) {
  // Decode to the bitmap, encode it at quality 75: the recompression's codec work.
  const auto& file = PhotoJpeg();
  std::size_t size = 0;
  for (auto _ : state) size = EncodeJpeg(DecodeJpeg(file), 75).size();
  state.SetLabel(std::to_string(size / 1024) + " KB");
}
BENCHMARK(BM_Recompress)->Unit(benchmark::kMillisecond);

void BM_BareDecodeEncode(benchmark::State& state) {
  const auto& file = PhotoJpeg();
  std::size_t size = 0;
  for (auto _ : state) {
    // A new buffer each time, as the codec's new bitmap.
    std::vector<std::uint8_t> rgb;
    int w = 0, h = 0;
    BareDecode(file, JCS_RGB, &rgb, &w, &h);
    size = BareEncode(rgb, w, h, 75).size();
  }
  state.SetLabel(std::to_string(size / 1024) + " KB");
}
BENCHMARK(BM_BareDecodeEncode)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vm

// The photo is made before any benchmark runs, so that instruction counts of
// one benchmark (valgrind --tool=callgrind --toggle-collect='*BM_Recompress*')
// hold only its own work.
int main(int argc, char** argv) {
  std::printf("12-megapixel photo at quality 90: %zu bytes, progressive %zu bytes\n",
              vm::PhotoJpeg().size(), vm::ProgressivePhotoJpeg().size());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
