// libjpeg-turbo with nothing of Velmora around it: the baseline the photo
// program's recompression is measured against.
#pragma once

#include <cstddef>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
#include <stdlib.h>

#include <cstdint>
#include <vector>

namespace vm::bench {

// libjpeg-turbo alone: decode to RGB, encode at `quality` with the defaults.
[[gnu::noinline]] inline std::vector<std::uint8_t> BareDecodeEncode(
    const std::vector<std::uint8_t>& file, int quality) {
  jpeg_decompress_struct d{};
  jpeg_error_mgr je{};
  d.err = jpeg_std_error(&je);
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, file.data(), file.size());
  jpeg_read_header(&d, TRUE);
  d.out_color_space = JCS_RGB;
  jpeg_start_decompress(&d);
  std::size_t stride = std::size_t(d.output_width) * 3;
  std::vector<std::uint8_t> pixels(stride * d.output_height);
  while (d.output_scanline < d.output_height) {
    JSAMPROW row = pixels.data() + stride * d.output_scanline;
    jpeg_read_scanlines(&d, &row, 1);
  }
  jpeg_finish_decompress(&d);
  jpeg_compress_struct c{};
  c.err = jpeg_std_error(&je);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = d.output_width;
  c.image_height = d.output_height;
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = pixels.data() + stride * c.next_scanline;
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  std::vector<std::uint8_t> result(out, out + size);
  free(out);
  jpeg_destroy_compress(&c);
  jpeg_destroy_decompress(&d);
  return result;
}

}  // namespace vm::bench
