#include "platform/gfx/JpegCodec.h"
#include "platform/base/FileBytes.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>

namespace vm {

namespace {

// The error manager: error_exit must not return, so it jumps back to the
// setjmp of the step that called the library. Every such step is a small
// function whose locals have no destructors (jumping over a destructor is
// undefined); it reports failure and its caller throws.
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

void InitErrors(ErrorManager& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.emit_message = EmitMessage;
  err.message[0] = 0;
}

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

// ---------------------------------------------------------------- decoding

struct Decompressor {
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  ScanMonitor mon{};
  Decompressor() {
    cinfo.err = &err.pub;
    InitErrors(err);
  }
  ~Decompressor() { jpeg_destroy_decompress(&cinfo); }  // safe on a zeroed struct
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;
};

// The library steps. Each returns false after a library error.
bool OpenStep(Decompressor& d, const std::uint8_t* data, std::size_t size, long maxMemory) {
  if (setjmp(d.err.jump)) return false;
  jpeg_create_decompress(&d.cinfo);
  d.cinfo.mem->max_memory_to_use = maxMemory;
  d.cinfo.progress = &d.mon.pub;
  jpeg_mem_src(&d.cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&d.cinfo, TRUE);
  return true;
}

bool CalcStep(Decompressor& d) {
  if (setjmp(d.err.jump)) return false;
  jpeg_calc_output_dimensions(&d.cinfo);
  return true;
}

bool StartStep(Decompressor& d) {
  if (setjmp(d.err.jump)) return false;
  jpeg_start_decompress(&d.cinfo);
  return true;
}

bool ReadStep(Decompressor& d, JSAMPARRAY rows, int count, int* got) {
  if (setjmp(d.err.jump)) return false;
  *got = int(jpeg_read_scanlines(&d.cinfo, rows, JDIMENSION(count)));
  return true;
}

// Buffered-image steps, for previews of progressive files.
bool ConsumeStep(Decompressor& d, int* status) {
  if (setjmp(d.err.jump)) return false;
  *status = jpeg_consume_input(&d.cinfo);
  return true;
}

bool StartOutputStep(Decompressor& d) {
  if (setjmp(d.err.jump)) return false;
  jpeg_start_output(&d.cinfo, d.cinfo.input_scan_number);
  return true;
}

bool FinishOutputStep(Decompressor& d) {
  if (setjmp(d.err.jump)) return false;
  jpeg_finish_output(&d.cinfo);
  return true;
}

bool FinishStep(Decompressor& d) {
  if (setjmp(d.err.jump)) return false;
  jpeg_finish_decompress(&d.cinfo);
  return true;
}

// The fault behind a library error code.
TJpegFault LibraryFault(int code) {
  switch (code) {
    case JERR_NO_SOI:
      return TJpegFault::NotJpeg;
    case JERR_BAD_PRECISION:
    case JERR_CONVERSION_NOTIMPL:
    case JERR_NOT_COMPILED:
    case JERR_NOTIMPL:
      return TJpegFault::Unsupported;
    case JERR_OUT_OF_MEMORY:
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW:
      return TJpegFault::TooLarge;
    default:
      return TJpegFault::Damaged;
  }
}

[[noreturn]] void ThrowLibrary(const Decompressor& d) {
  if (d.mon.tooMany)
    throw TJpegError("JPEG error: too many progressive scans", TJpegFault::TooManyScans);
  throw TJpegError(std::string("JPEG error: ") + d.err.message, LibraryFault(d.err.pub.msg_code));
}

void Open(Decompressor& d, std::span<const std::uint8_t> file, const TJpegLimits& limits) {
  if (file.size() < 4) throw TJpegError("Not a JPEG file: too short", TJpegFault::NotJpeg);
  d.mon.pub.progress_monitor = ProgressMonitor;
  d.mon.maxScans = limits.MaxScans;
  if (!OpenStep(d, file.data(), file.size(), limits.MaxMemory)) ThrowLibrary(d);
}

TJpegInfo InfoOf(const jpeg_decompress_struct& cinfo) {
  TJpegInfo info;
  info.Width = int(cinfo.image_width);
  info.Height = int(cinfo.image_height);
  info.Components = cinfo.num_components;
  info.Progressive = cinfo.progressive_mode != 0;
  return info;
}

// Everything that can be refused from the header alone, before any pixel
// memory is taken or any scan decoded.
void CheckLimits(const jpeg_decompress_struct& cinfo, std::size_t fileSize,
                 const TJpegLimits& limits) {
  if (cinfo.data_precision != 8)
    throw TJpegError("Unsupported JPEG: only 8-bit samples can be decoded",
                     TJpegFault::Unsupported);
  const std::int64_t pixels = std::int64_t(cinfo.image_width) * std::int64_t(cinfo.image_height);
  if (cinfo.image_width > unsigned(MaxBitmapSide) || cinfo.image_height > unsigned(MaxBitmapSide) ||
      pixels > limits.MaxPixels)
    throw TJpegError("JPEG image too large: " + std::to_string(cinfo.image_width) + " x " +
                         std::to_string(cinfo.image_height),
                     TJpegFault::TooLarge);
  // Huffman coding spends at least one bit on every block of the first scan
  // of each component, so a file holds at least (blocks of its smallest
  // component) / 8 bytes. A short file declaring a huge size would otherwise
  // cost seconds and hundreds of megabytes to decode into grey.
  //
  // Arithmetic coding has no such floor in theory: its decoder reads zeros
  // once the data ends, and its encoder drops trailing zero bytes, so a few
  // hundred bytes can stand for any size of flat grey. Photographs never
  // come near: they spend bits on every block. Above ArithmeticFreePixels
  // (a picture whose decode costs tens of megabytes at most) an
  // arithmetic-coded file must hold a bit for every eight blocks of its
  // smallest component; only such degenerate flat pictures are refused.
  if (cinfo.num_components > 0) {
    std::int64_t fewest = INT64_MAX;
    for (int c = 0; c < cinfo.num_components; ++c) {
      const jpeg_component_info& comp = cinfo.comp_info[c];
      fewest = std::min(fewest, std::int64_t(comp.width_in_blocks) * comp.height_in_blocks);
    }
    constexpr std::int64_t ArithmeticFreePixels = std::int64_t(4096) * 4096;
    const std::int64_t needed = !cinfo.arith_code               ? fewest / 8
                                : pixels > ArithmeticFreePixels ? fewest / 64
                                                                : 0;
    if (std::int64_t(fileSize) < needed)
      throw TJpegError("JPEG error: " + std::to_string(fileSize) + " bytes cannot hold a " +
                       std::to_string(cinfo.image_width) + " x " +
                       std::to_string(cinfo.image_height) + " picture");
  }
}

// libjpeg-turbo's djpeg writes CMYK as R = C * K / 255 rounded, for every CMYK
// or YCCK file: print software stores the samples inverted (255 is no ink)
// and marks its files with an Adobe segment, and a file without one is read
// the same way.
// (2ck + 255) / 510 is that rounding in integers: c * k / 255 is never exactly
// halfway between two integers, so the double arithmetic djpeg uses has no ties.
inline std::uint8_t InkTimesKey(unsigned ink, unsigned key) {
  return std::uint8_t((2 * ink * key + 255) / 510);
}

void CmykRowToBgr(const std::uint8_t* src, std::uint8_t* dst, int width, int bpp) {
  for (int x = 0; x < width; ++x, src += 4, dst += bpp) {
    const unsigned k = src[3];
    dst[0] = InkTimesKey(src[2], k);
    dst[1] = InkTimesKey(src[1], k);
    dst[2] = InkTimesKey(src[0], k);
    if (bpp == 4) dst[3] = 0xFF;
  }
}

// Row and column of each coefficient in zigzag order, as row * 8 + column.
constexpr std::uint8_t ZigzagToNatural[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// True once a progressive file has sent (at some precision) every coefficient
// the reduced inverse DCTs use: an n x n output block uses the n x n lowest
// frequencies of its component.
bool HasCoefficientsForScaledBlocks(const jpeg_decompress_struct& cinfo) {
  for (int c = 0; c < cinfo.num_components; ++c) {
    const int n = cinfo.comp_info[c].DCT_scaled_size;
    for (int k = 0; k < 64; ++k)
      if (ZigzagToNatural[k] / 8 < n && ZigzagToNatural[k] % 8 < n && cinfo.coef_bits[c][k] < 0)
        return false;
  }
  return true;
}

// Decodes the opened file at 1/denom of its size into a new bitmap.
//
// At 1/8 a block of the picture becomes one pixel (or a few, for subsampled
// colour), made of its lowest frequencies only. A progressive file sends
// those in its first scans, usually at full or nearly full precision, and the
// rest of the file, most of it, changes at most their lowest bits (a level or
// two of the preview). So previews of progressive files stop reading once
// those coefficients have arrived (lowOnly).
TBitmap DecodeOpened(Decompressor& d, std::size_t fileSize, const TJpegLimits& limits,
                     TPixelFormat format, int denom, bool lowOnly = false) {
  jpeg_decompress_struct& cinfo = d.cinfo;
  CheckLimits(cinfo, fileSize, limits);
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  const int bpp = format == TPixelFormat::pf24bit ? 3 : 4;
  if (cmyk)
    cinfo.out_color_space = JCS_CMYK;
  else
    cinfo.out_color_space = bpp == 3 ? JCS_EXT_BGR : JCS_EXT_BGRX;
  cinfo.scale_num = 1;
  cinfo.scale_denom = unsigned(denom);
  lowOnly = lowOnly && denom == 8 && cinfo.progressive_mode;
  if (lowOnly) {
    cinfo.buffered_image = TRUE;
    cinfo.do_block_smoothing = FALSE;  // guesses the missing terms: not worth it for a preview
  }
  if (!CalcStep(d)) ThrowLibrary(d);
  const int width = int(cinfo.output_width);
  const int height = int(cinfo.output_height);
  TBitmap bitmap;
  std::vector<std::uint8_t> cmykRows;
  const int batch = std::max(1, cinfo.rec_outbuf_height);
  try {
    bitmap.Reset(width, height, format, false);
    if (cmyk) cmykRows.resize(std::size_t(width) * 4 * std::size_t(batch));
  } catch (const std::exception&) {
    throw TJpegError("JPEG image too large: not enough memory for " +
                         std::to_string(cinfo.image_width) + " x " +
                         std::to_string(cinfo.image_height),
                     TJpegFault::TooLarge);
  }
  if (!StartStep(d)) ThrowLibrary(d);
  if (lowOnly) {
    int status = JPEG_REACHED_SOS;
    while (!(status == JPEG_SCAN_COMPLETED && HasCoefficientsForScaledBlocks(cinfo)) &&
           status != JPEG_REACHED_EOI && status != JPEG_SUSPENDED)
      if (!ConsumeStep(d, &status)) ThrowLibrary(d);
    if (!StartOutputStep(d)) ThrowLibrary(d);
  }
  if (int(cinfo.output_width) != width || int(cinfo.output_height) != height ||
      cinfo.output_components != (cmyk ? 4 : bpp))
    throw TJpegError("JPEG error: unexpected output layout");
  JSAMPROW rows[16];
  const int perCall = std::min(batch, 16);
  while (int(cinfo.output_scanline) < height) {
    const int y = int(cinfo.output_scanline);
    const int count = std::min(perCall, height - y);
    for (int i = 0; i < count; ++i)
      rows[i] =
          cmyk ? cmykRows.data() + std::size_t(i) * std::size_t(width) * 4 : bitmap.ScanLine(y + i);
    int got = 0;
    if (!ReadStep(d, rows, count, &got)) ThrowLibrary(d);
    if (got <= 0) break;  // cannot happen with a memory source; never spin
    if (cmyk)
      for (int i = 0; i < got; ++i) CmykRowToBgr(rows[i], bitmap.ScanLine(y + i), width, bpp);
  }
  if (lowOnly) {
    // The rest of the file is left unread; destroying the decompressor ends it.
    if (!FinishOutputStep(d)) ThrowLibrary(d);
    return bitmap;
  }
  if (!FinishStep(d)) ThrowLibrary(d);
  return bitmap;
}

// Reads a file in one piece. No JPEG the limits accept comes near 1 GiB, so a
// larger file (or anything that is not a regular file) is refused before its
// bytes are read.
std::vector<std::uint8_t> ReadJpegFile(const std::string& path) {
  try {
    return ReadWholeFile(path);
  } catch (const EFileReadError& e) {
    throw TJpegError(e.Message(), TJpegFault::File);
  }
}

}  // namespace

TJpegInfo ReadJpegInfo(std::span<const std::uint8_t> file) {
  Decompressor d;
  Open(d, file, {});
  return InfoOf(d.cinfo);
}

TBitmap DecodeJpeg(std::span<const std::uint8_t> file, const TJpegLimits& limits,
                   TPixelFormat format) {
  Decompressor d;
  Open(d, file, limits);
  return DecodeOpened(d, file.size(), limits, format, 1);
}

TBitmap LoadJpegFile(const std::string& path, const TJpegLimits& limits) {
  std::vector<std::uint8_t> bytes = ReadJpegFile(path);
  return DecodeJpeg(bytes, limits);
}

int JpegPreviewScaleDenom(int width, int height, int maxWidth, int maxHeight) {
  // The picture fitted into the box has the scale s = min(maxW / W, maxH / H),
  // at most 1. Decoding at 1/d covers it while d * s <= 1, that is while
  // d * maxW <= W or d * maxH <= H.
  if (width <= 0 || height <= 0) return 1;
  maxWidth = std::max(maxWidth, 1);
  maxHeight = std::max(maxHeight, 1);
  for (int d : {8, 4, 2})
    if (std::int64_t(d) * maxWidth <= width || std::int64_t(d) * maxHeight <= height) return d;
  return 1;
}

TJpegPreview DecodeJpegScaled(std::span<const std::uint8_t> file, int maxWidth, int maxHeight,
                              const TJpegLimits& limits) {
  Decompressor d;
  Open(d, file, limits);
  TJpegPreview preview;
  preview.Width = int(d.cinfo.image_width);
  preview.Height = int(d.cinfo.image_height);
  preview.ScaleDenom = JpegPreviewScaleDenom(preview.Width, preview.Height, maxWidth, maxHeight);
  preview.Bitmap =
      DecodeOpened(d, file.size(), limits, TPixelFormat::pf24bit, preview.ScaleDenom, true);
  return preview;
}

// ---------------------------------------------------------------- encoding

namespace {

// The destination: a byte vector that doubles when full. Growing may fail;
// that must not throw through the library, so it becomes a library error.
struct VectorDestination {
  jpeg_destination_mgr pub;
  std::vector<std::uint8_t>* out;
};

void InitDestination(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<VectorDestination*>(cinfo->dest);
  dest->pub.next_output_byte = dest->out->data();
  dest->pub.free_in_buffer = dest->out->size();
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<VectorDestination*>(cinfo->dest);
  std::vector<std::uint8_t>& out = *dest->out;
  const std::size_t used = out.size();
  bool grown = false;
  try {
    out.resize(used * 2);
    grown = true;
  } catch (...) {
  }
  if (!grown) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 20);
  dest->pub.next_output_byte = out.data() + used;
  dest->pub.free_in_buffer = out.size() - used;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<VectorDestination*>(cinfo->dest);
  dest->out->resize(dest->out->size() - dest->pub.free_in_buffer);
}

}  // namespace

struct TJpegEncoder::TState {
  jpeg_compress_struct cinfo{};
  ErrorManager err{};
  VectorDestination dest{};
  std::vector<std::uint8_t> out;
  bool created = false;
  bool active = false;
  int width = 0;
  int height = 0;
  int bpp = 3;
  TState() {
    cinfo.err = &err.pub;
    InitErrors(err);
  }
  ~TState() { jpeg_destroy_compress(&cinfo); }
};

namespace {

bool CreateCompressStep(jpeg_compress_struct& cinfo, ErrorManager& err) {
  if (setjmp(err.jump)) return false;
  jpeg_create_compress(&cinfo);
  return true;
}

bool BeginStep(jpeg_compress_struct& cinfo, ErrorManager& err, int width, int height, int bpp,
               int quality) {
  if (setjmp(err.jump)) return false;
  cinfo.image_width = JDIMENSION(width);
  cinfo.image_height = JDIMENSION(height);
  cinfo.input_components = bpp;
  cinfo.in_color_space = bpp == 3 ? JCS_EXT_BGR : JCS_EXT_BGRX;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  return true;
}

bool WriteStep(jpeg_compress_struct& cinfo, ErrorManager& err, JSAMPROW row) {
  if (setjmp(err.jump)) return false;
  JSAMPROW rows[1] = {row};
  jpeg_write_scanlines(&cinfo, rows, 1);
  return true;
}

bool FinishCompressStep(jpeg_compress_struct& cinfo, ErrorManager& err) {
  if (setjmp(err.jump)) return false;
  jpeg_finish_compress(&cinfo);
  return true;
}

}  // namespace

TJpegEncoder::TJpegEncoder() : state_(std::make_unique<TState>()) {}
TJpegEncoder::~TJpegEncoder() = default;

void TJpegEncoder::Begin(int width, int height, int quality, TPixelFormat format) {
  TState& s = *state_;
  if (s.active) {
    jpeg_abort_compress(&s.cinfo);
    s.active = false;
  }
  if (width <= 0 || height <= 0 || width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION)
    throw TJpegError("Cannot encode a picture of " + std::to_string(width) + " x " +
                         std::to_string(height) + " pixels",
                     TJpegFault::Encoder);
  if (!s.created) {
    if (!CreateCompressStep(s.cinfo, s.err))
      throw TJpegError(std::string("JPEG error: ") + s.err.message, TJpegFault::Encoder);
    s.created = true;
    s.dest.pub.init_destination = InitDestination;
    s.dest.pub.empty_output_buffer = EmptyOutputBuffer;
    s.dest.pub.term_destination = TermDestination;
    s.dest.out = &s.out;
    s.cinfo.dest = &s.dest.pub;
  }
  s.width = width;
  s.height = height;
  s.bpp = format == TPixelFormat::pf24bit ? 3 : 4;
  // A first guess of the output size; the destination doubles it as needed.
  s.out.clear();
  s.out.resize(std::clamp<std::size_t>(std::size_t(width) * std::size_t(height) / 4, 4096,
                                       std::size_t(1) << 24));
  quality = std::clamp(quality, 1, 100);
  s.active = true;
  if (!BeginStep(s.cinfo, s.err, width, height, s.bpp, quality)) {
    jpeg_abort_compress(&s.cinfo);
    s.active = false;
    throw TJpegError(std::string("JPEG error: ") + s.err.message, TJpegFault::Encoder);
  }
}

int TJpegEncoder::RowsLeft() const {
  const TState& s = *state_;
  return s.active ? s.height - int(s.cinfo.next_scanline) : 0;
}

void TJpegEncoder::WriteRow(std::span<const std::uint8_t> bgr) {
  TState& s = *state_;
  if (!s.active) throw TJpegError("JPEG encoder: no picture begun", TJpegFault::Encoder);
  if (RowsLeft() <= 0)
    throw TJpegError("JPEG encoder: every row has been written", TJpegFault::Encoder);
  if (bgr.size() < std::size_t(s.width) * std::size_t(s.bpp))
    throw TJpegError("JPEG encoder: row shorter than the picture's width", TJpegFault::Encoder);
  // The library does not write through the row pointer.
  if (!WriteStep(s.cinfo, s.err, const_cast<JSAMPROW>(bgr.data()))) {
    jpeg_abort_compress(&s.cinfo);
    s.active = false;
    throw TJpegError(std::string("JPEG error: ") + s.err.message, TJpegFault::Encoder);
  }
}

std::vector<std::uint8_t> TJpegEncoder::Finish() {
  TState& s = *state_;
  if (!s.active) throw TJpegError("JPEG encoder: no picture begun", TJpegFault::Encoder);
  if (RowsLeft() > 0) {
    const int left = RowsLeft();
    jpeg_abort_compress(&s.cinfo);
    s.active = false;
    throw TJpegError("JPEG encoder: " + std::to_string(left) + " rows missing",
                     TJpegFault::Encoder);
  }
  s.active = false;
  if (!FinishCompressStep(s.cinfo, s.err)) {
    jpeg_abort_compress(&s.cinfo);
    throw TJpegError(std::string("JPEG error: ") + s.err.message, TJpegFault::Encoder);
  }
  std::vector<std::uint8_t> result;
  result.swap(s.out);
  return result;
}

std::vector<std::uint8_t> EncodeJpeg(const TBitmap& bitmap, int quality) {
  if (bitmap.Empty()) throw TJpegError("Cannot encode an empty picture", TJpegFault::Encoder);
  TJpegEncoder encoder;
  encoder.Begin(bitmap.Width(), bitmap.Height(), quality, bitmap.PixelFormat());
  const std::size_t rowBytes = std::size_t(bitmap.Width()) * std::size_t(bitmap.BytesPerPixel());
  for (int y = 0; y < bitmap.Height(); ++y) encoder.WriteRow({bitmap.ScanLine(y), rowBytes});
  return encoder.Finish();
}

void SaveJpegFile(const std::string& path, const TBitmap& bitmap, int quality) {
  std::vector<std::uint8_t> bytes = EncodeJpeg(bitmap, quality);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out ||
      !out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())))
    throw TJpegError("Cannot write file \"" + path + "\"", TJpegFault::File);
}

std::string JpegFaultText(TJpegFault fault) {
  switch (fault) {
    case TJpegFault::NotJpeg:
      return "файл не является изображением JPEG";
    case TJpegFault::TooLarge:
      return "изображение слишком велико, для него не хватает памяти";
    case TJpegFault::Unsupported:
      return "такой вид JPEG не поддерживается (например, 12-битные отсчёты)";
    case TJpegFault::TooManyScans:
      return "в прогрессивном изображении слишком много проходов";
    case TJpegFault::Encoder:
      return "не удалось сжать изображение в JPEG";
    case TJpegFault::File:
      return "не удалось прочитать или записать файл";
    case TJpegFault::Damaged:
      break;
  }
  return "данные изображения повреждены или файл не полон";
}

}  // namespace vm
