#include "platform/gfx/JpegCodec.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <csetjmp>
#include <cstring>
#include <fstream>
#include <memory>

namespace vm {

namespace {

// The error manager: error_exit must not return, so it jumps back to the
// setjmp in a function whose locals have no destructors; that function then
// reports failure and the caller throws.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  cinfo->err->format_message(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void EmitMessage(j_common_ptr, int) {}  // warnings are not errors; stay quiet

struct ScanMonitor {
  jpeg_progress_mgr pub;
  int maxScans;
  bool tooMany;
};

void ProgressMonitor(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  auto* mon = reinterpret_cast<ScanMonitor*>(cinfo->progress);
  if (d->input_scan_number > mon->maxScans) {
    mon->tooMany = true;
    // Stops the decode through the error path.
    ERREXIT(cinfo, JERR_NOT_COMPILED);
  }
}

enum class Step { Ok, LibError, TooLarge, Unsupported, TooManyScans };

// All work with the library happens here, between setjmp and the return:
// nothing with a destructor lives in this frame. `out` is sized from the
// header through the callback before any scan line is read.
struct DecodeJob {
  const std::uint8_t* data;
  std::size_t size;
  TJpegLimits limits;
  bool headerOnly;
  TJpegInfo info;
  TBitmap* out;
  std::vector<std::uint8_t>* row;  // one scan line of width * components
};

// Sizes the output and the row buffer from the header. Exceptions must not
// cross the library's frames, so a failure is reported as false.
bool Prepare(DecodeJob& job, std::size_t rowBytes) noexcept {
  try {
    job.out->Reset(job.info.Width, job.info.Height, TPixelFormat::pf24bit, false);
    job.row->assign(rowBytes, 0);
    return true;
  } catch (...) {
    return false;
  }
}

Step RunDecode(DecodeJob& job, ErrorManager& err, ScanMonitor& mon) {
  jpeg_decompress_struct cinfo;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.emit_message = EmitMessage;
  err.message[0] = 0;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return mon.tooMany ? Step::TooManyScans : Step::LibError;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.mem->max_memory_to_use = job.limits.MaxMemory;
  mon.pub.progress_monitor = ProgressMonitor;
  cinfo.progress = &mon.pub;
  jpeg_mem_src(&cinfo, job.data, static_cast<unsigned long>(job.size));
  jpeg_read_header(&cinfo, TRUE);
  job.info.Width = int(cinfo.image_width);
  job.info.Height = int(cinfo.image_height);
  job.info.Components = cinfo.num_components;
  job.info.Progressive = cinfo.progressive_mode != 0;
  if (job.headerOnly) {
    jpeg_destroy_decompress(&cinfo);
    return Step::Ok;
  }
  if (cinfo.data_precision != 8) {
    jpeg_destroy_decompress(&cinfo);
    return Step::Unsupported;
  }
  std::int64_t pixels = std::int64_t(cinfo.image_width) * std::int64_t(cinfo.image_height);
  if (cinfo.image_width > unsigned(MaxBitmapSide) || cinfo.image_height > unsigned(MaxBitmapSide) ||
      pixels > job.limits.MaxPixels) {
    jpeg_destroy_decompress(&cinfo);
    return Step::TooLarge;
  }
  bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  bool inverted = cmyk && cinfo.saw_Adobe_marker;
  if (cmyk)
    cinfo.out_color_space = JCS_CMYK;
  else if (cinfo.jpeg_color_space == JCS_GRAYSCALE)
    cinfo.out_color_space = JCS_GRAYSCALE;
  else
    cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  const int comps = cinfo.output_components;
  if (int(cinfo.output_width) != job.info.Width || int(cinfo.output_height) != job.info.Height ||
      !Prepare(job, std::size_t(cinfo.output_width) * std::size_t(comps))) {
    jpeg_destroy_decompress(&cinfo);
    return Step::TooLarge;
  }
  std::uint8_t* row = job.row->data();
  const int width = int(cinfo.output_width);
  while (cinfo.output_scanline < cinfo.output_height) {
    int y = int(cinfo.output_scanline);
    JSAMPROW rows[1] = {row};
    if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) break;
    std::uint8_t* dst = job.out->ScanLine(y);
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* s = row + std::size_t(x) * std::size_t(comps);
      std::uint8_t r, g, b;
      if (comps == 1) {
        r = g = b = s[0];
      } else if (comps == 4) {
        int c = s[0], m = s[1], ye = s[2], k = s[3];
        if (inverted) {
          // Adobe writes CMYK inverted: the values already read as 255 - ink.
          r = std::uint8_t(c * k / 255);
          g = std::uint8_t(m * k / 255);
          b = std::uint8_t(ye * k / 255);
        } else {
          r = std::uint8_t((255 - c) * (255 - k) / 255);
          g = std::uint8_t((255 - m) * (255 - k) / 255);
          b = std::uint8_t((255 - ye) * (255 - k) / 255);
        }
      } else {
        r = s[0];
        g = s[1];
        b = s[2];
      }
      dst[3 * x] = b;
      dst[3 * x + 1] = g;
      dst[3 * x + 2] = r;
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return Step::Ok;
}

TBitmap Decode(std::span<const std::uint8_t> file, const TJpegLimits& limits, bool headerOnly,
               TJpegInfo* info) {
  if (file.size() < 4) throw TJpegError("Not a JPEG file: too short");
  TBitmap bitmap;
  std::vector<std::uint8_t> rowBuffer;
  DecodeJob job{};
  job.data = file.data();
  job.size = file.size();
  job.limits = limits;
  job.headerOnly = headerOnly;
  job.out = &bitmap;
  job.row = &rowBuffer;
  ErrorManager err;
  ScanMonitor mon{};
  mon.maxScans = limits.MaxScans;
  Step step = RunDecode(job, err, mon);
  switch (step) {
    case Step::Ok:
      break;
    case Step::LibError:
      throw TJpegError(std::string("JPEG error: ") + err.message);
    case Step::TooLarge:
      throw TJpegError("JPEG image too large: " + std::to_string(job.info.Width) + " x " +
                       std::to_string(job.info.Height));
    case Step::Unsupported:
      throw TJpegError("Unsupported JPEG: only 8-bit samples can be decoded");
    case Step::TooManyScans:
      throw TJpegError("JPEG error: too many progressive scans");
  }
  if (info) *info = job.info;
  return bitmap;
}

// Encoding: the same error discipline.
struct EncodeJob {
  const TBitmap* in;
  int quality;
  unsigned char* outBuffer;
  unsigned long outSize;
  std::uint8_t* row;
};

bool RunEncode(EncodeJob& job, ErrorManager& err) {
  jpeg_compress_struct cinfo;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.emit_message = EmitMessage;
  err.message[0] = 0;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &job.outBuffer, &job.outSize);
  cinfo.image_width = JDIMENSION(job.in->Width());
  cinfo.image_height = JDIMENSION(job.in->Height());
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, job.quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  const int width = job.in->Width();
  const int bpp = job.in->BytesPerPixel();
  while (cinfo.next_scanline < cinfo.image_height) {
    const std::uint8_t* src = job.in->ScanLine(int(cinfo.next_scanline));
    for (int x = 0; x < width; ++x) {
      job.row[3 * x] = src[bpp * x + 2];
      job.row[3 * x + 1] = src[bpp * x + 1];
      job.row[3 * x + 2] = src[bpp * x];
    }
    JSAMPROW rows[1] = {job.row};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw TJpegError("Cannot open file \"" + path + "\"");
  return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
}

}  // namespace

TJpegInfo ReadJpegInfo(std::span<const std::uint8_t> file) {
  TJpegInfo info;
  Decode(file, {}, true, &info);
  return info;
}

TBitmap DecodeJpeg(std::span<const std::uint8_t> file, const TJpegLimits& limits) {
  return Decode(file, limits, false, nullptr);
}

TBitmap LoadJpegFile(const std::string& path, const TJpegLimits& limits) {
  std::vector<std::uint8_t> bytes = ReadWholeFile(path);
  return DecodeJpeg(bytes, limits);
}

std::vector<std::uint8_t> EncodeJpeg(const TBitmap& bitmap, int quality) {
  if (bitmap.Empty()) throw TJpegError("Cannot encode an empty picture");
  std::vector<std::uint8_t> row(std::size_t(bitmap.Width()) * 3);
  EncodeJob job{&bitmap, quality < 1 ? 1 : (quality > 100 ? 100 : quality), nullptr, 0, row.data()};
  ErrorManager err;
  bool ok = RunEncode(job, err);
  std::vector<std::uint8_t> out;
  if (ok && job.outBuffer) out.assign(job.outBuffer, job.outBuffer + job.outSize);
  std::free(job.outBuffer);
  if (!ok) throw TJpegError(std::string("JPEG error: ") + err.message);
  return out;
}

void SaveJpegFile(const std::string& path, const TBitmap& bitmap, int quality) {
  std::vector<std::uint8_t> bytes = EncodeJpeg(bitmap, quality);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out ||
      !out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())))
    throw TJpegError("Cannot write file \"" + path + "\"");
}

}  // namespace vm
