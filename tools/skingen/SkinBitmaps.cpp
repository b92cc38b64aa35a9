#include "tools/skingen/SkinBitmaps.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <stdexcept>

#include "platform/base/FileBytes.h"
#include "tools/skingen/SkinArt.h"

namespace vm {

namespace {

constexpr TColor Magenta = 0x00FF00FF;

int Channel(float v) {
  return int(std::lround(std::clamp(v, 0.0f, 255.0f)));
}

// Marks the fully transparent pixels of a cell that connect to its edge. Only these
// are "outside" the element; transparent pixels enclosed by it (the inside of a
// caption strip or of a highlight frame) are not.
std::vector<bool> Outside(const TRaster& cell) {
  const int w = cell.Width(), h = cell.Height();
  std::vector<bool> out(std::size_t(w) * h, false);
  std::vector<std::pair<int, int>> stack;
  auto push = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    const std::size_t i = std::size_t(y) * w + x;
    if (out[i] || cell.At(x, y).A > 0.5f / 255) return;
    out[i] = true;
    stack.push_back({x, y});
  };
  for (int x = 0; x < w; ++x) push(x, 0), push(x, h - 1);
  for (int y = 0; y < h; ++y) push(0, y), push(w - 1, y);
  while (!stack.empty()) {
    auto [x, y] = stack.back();
    stack.pop_back();
    push(x + 1, y), push(x - 1, y), push(x, y + 1), push(x, y - 1);
  }
  return out;
}

// Copies one painted cell into the image. Without a mask row, soft edges are blended
// with the element's usual background and nearly empty pixels become magenta. With a
// mask row the picture keeps its colour and the row below gets the coverage as grey
// (black opaque, white transparent); magenta marks only the pixels outside the
// element, because painters replace magenta corner pixels with what lies behind the
// window and the form frame cuts them out of the window's region.
void PutCell(TRgbImage& out, const TRaster& cell, int x0, int y0, int maskType, TRgbF matte) {
  const std::vector<bool> outside = maskType == 0 ? std::vector<bool>() : Outside(cell);
  for (int y = 0; y < cell.Height(); ++y) {
    for (int x = 0; x < cell.Width(); ++x) {
      const TRgbaF& p = cell.At(x, y);
      if (maskType == 0) {
        if (p.A < 0.2f) continue;  // stays magenta
        out.Set(x0 + x, y0 + y, Channel(p.R * p.A + matte.R * (1 - p.A)),
                Channel(p.G * p.A + matte.G * (1 - p.A)), Channel(p.B * p.A + matte.B * (1 - p.A)));
      } else {
        const int grey = Channel(255 * (1 - p.A));
        if (!outside[std::size_t(y) * cell.Width() + x]) {
          if (grey < 255)
            out.Set(x0 + x, y0 + y, Channel(p.R), Channel(p.G), Channel(p.B));
          else
            out.Set(x0 + x, y0 + y, Channel(matte.R), Channel(matte.G), Channel(matte.B));
        }
        out.Set(x0 + x, y0 + y + cell.Height(), grey, grey, grey, true);
      }
    }
  }
}

struct TColorCount {
  TColor Color;
  std::uint64_t Count;
};

int Ch(TColor c, int axis) {
  return int((c >> (8 * axis)) & 0xFF);
}

// Weighted median cut over the distinct colours.
std::vector<TColor> MedianCut(std::vector<TColorCount> colors, std::size_t wanted) {
  std::vector<std::vector<TColorCount>> boxes;
  if (!colors.empty()) boxes.push_back(std::move(colors));
  auto longest = [](const std::vector<TColorCount>& box, int& axisOut) {
    int best = -1;
    for (int axis = 0; axis < 3; ++axis) {
      int lo = 255, hi = 0;
      for (const auto& c : box)
        lo = std::min(lo, Ch(c.Color, axis)), hi = std::max(hi, Ch(c.Color, axis));
      if (hi - lo > best) best = hi - lo, axisOut = axis;
    }
    return best;
  };
  while (boxes.size() < wanted) {
    int pick = -1, pickAxis = 0;
    double pickScore = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      if (boxes[i].size() < 2) continue;
      int axis = 0;
      const int range = longest(boxes[i], axis);
      std::uint64_t total = 0;
      for (const auto& c : boxes[i]) total += c.Count;
      const double score = double(range) * std::sqrt(double(total));
      if (range > 0 && score > pickScore) pickScore = score, pick = int(i), pickAxis = axis;
    }
    if (pick < 0) break;
    auto& box = boxes[std::size_t(pick)];
    std::sort(box.begin(), box.end(), [&](const TColorCount& a, const TColorCount& b) {
      return Ch(a.Color, pickAxis) < Ch(b.Color, pickAxis);
    });
    std::uint64_t total = 0, run = 0;
    for (const auto& c : box) total += c.Count;
    std::size_t cut = 1;
    for (std::size_t i = 0; i + 1 < box.size(); ++i) {
      run += box[i].Count;
      cut = i + 1;
      if (run * 2 >= total) break;
    }
    std::vector<TColorCount> upper(box.begin() + std::ptrdiff_t(cut), box.end());
    box.resize(cut);
    boxes.push_back(std::move(upper));
  }
  std::vector<TColor> out;
  for (const auto& box : boxes) {
    double sum[3] = {0, 0, 0}, n = 0;
    for (const auto& c : box) {
      for (int axis = 0; axis < 3; ++axis) sum[axis] += double(Ch(c.Color, axis)) * double(c.Count);
      n += double(c.Count);
    }
    TColor mean = 0;
    for (int axis = 0; axis < 3; ++axis) mean |= TColor(std::lround(sum[axis] / n)) << (8 * axis);
    if (mean == Magenta) mean = 0x00FE00FF;  // never let a picture colour turn into the key
    out.push_back(mean);
  }
  return out;
}

std::uint32_t Le32(const std::vector<std::uint8_t>& d, std::size_t at) {
  return std::uint32_t(d[at]) | std::uint32_t(d[at + 1]) << 8 | std::uint32_t(d[at + 2]) << 16 |
         std::uint32_t(d[at + 3]) << 24;
}

std::uint16_t Le16(const std::vector<std::uint8_t>& d, std::size_t at) {
  return std::uint16_t(d[at] | d[at + 1] << 8);
}

void Put32(std::vector<std::uint8_t>& d, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) d.push_back(std::uint8_t(v >> (8 * i)));
}

void Put16(std::vector<std::uint8_t>& d, std::uint16_t v) {
  d.push_back(std::uint8_t(v));
  d.push_back(std::uint8_t(v >> 8));
}

}  // namespace

TRgbImage::TRgbImage(int w, int h)
    : Width(w), Height(h), Rgb(std::size_t(w) * h * 3), IsMask(std::size_t(w) * h, false) {
  for (std::size_t i = 0; i < Rgb.size(); i += 3) Rgb[i] = 255, Rgb[i + 1] = 0, Rgb[i + 2] = 255;
}

void TRgbImage::Set(int x, int y, int r, int g, int b, bool mask) {
  if (x < 0 || y < 0 || x >= Width || y >= Height)
    throw std::out_of_range("pixel outside the image");
  const std::size_t i = std::size_t(y) * Width + x;
  Rgb[3 * i] = std::uint8_t(r);
  Rgb[3 * i + 1] = std::uint8_t(g);
  Rgb[3 * i + 2] = std::uint8_t(b);
  IsMask[i] = mask;
}

TColor TRgbImage::Get(int x, int y) const {
  const std::size_t i = (std::size_t(y) * Width + x) * 3;
  return RGB(Rgb[i], Rgb[i + 1], Rgb[i + 2]);
}

TRgbImage RenderMaster(const TSkinLayout& layout, const TSkinShape& shape) {
  TRgbImage out(MasterWidth, MasterHeight);
  for (const auto& img : layout.Images()) {
    const TRect r = layout.ImageRect(img.Name);
    for (int s = 0; s < img.Count; ++s)
      PutCell(out, PaintSkinCell(img.Name, s, img.CellW, img.CellH, shape), r.Left + s * img.CellW,
              r.Top, img.MaskType, SkinMatte(img.Name));
  }
  return out;
}

TRgbImage RenderHugeButton(const TSkinShape& shape) {
  TRgbImage out(288, 192);
  for (int s = 0; s < 3; ++s)
    PutCell(out, PaintHugeButtonCell(s, shape), s * 96, 0, 1, SkinMatte("button"));
  return out;
}

TIndexedImage Quantise(const TRgbImage& image) {
  TIndexedImage out;
  out.Width = image.Width;
  out.Height = image.Height;
  out.Pixels.resize(std::size_t(image.Width) * image.Height);

  std::map<TColor, std::uint64_t> counts;
  std::map<TColor, bool> greys;
  bool hasMagenta = false;
  const std::size_t n = out.Pixels.size();
  for (std::size_t i = 0; i < n; ++i) {
    const TColor c = RGB(image.Rgb[3 * i], image.Rgb[3 * i + 1], image.Rgb[3 * i + 2]);
    if (c == Magenta)
      hasMagenta = true;
    else if (image.IsMask[i])
      greys[c] = true;
    else
      ++counts[c];
  }
  // Mask greys are reduced to 32 exact levels so they never compete with picture colours.
  std::vector<TColor> palette;
  if (hasMagenta) palette.push_back(Magenta);
  auto level = [](TColor c) {
    const int g = Ch(c, 0);
    const int q = std::min(255, int(std::lround(g / (255.0 / 31))) * 255 / 31);
    return RGB(q, q, q);
  };
  std::map<TColor, bool> greyLevels;
  for (auto& [c, _] : greys) greyLevels[level(c)] = true;
  for (auto& [c, _] : greyLevels) palette.push_back(c);

  std::vector<TColorCount> colors;
  for (auto& [c, k] : counts) colors.push_back({c, k});
  const std::size_t room = 256 - palette.size();
  std::vector<TColor> picture;
  if (colors.size() <= room) {
    for (auto& c : colors) picture.push_back(c.Color);
  } else {
    picture = MedianCut(colors, room);
  }
  const std::size_t firstPicture = palette.size();
  palette.insert(palette.end(), picture.begin(), picture.end());
  out.Palette = palette;

  std::map<TColor, std::uint8_t> nearest;
  auto indexOf = [&](TColor c, std::size_t from) {
    long best = -1;
    std::size_t bestIndex = from;
    for (std::size_t k = from; k < palette.size(); ++k) {
      if (palette[k] == Magenta) continue;
      long d = 0;
      for (int axis = 0; axis < 3; ++axis) {
        const long e = long(Ch(c, axis)) - long(Ch(palette[k], axis));
        d += e * e;
      }
      if (best < 0 || d < best) best = d, bestIndex = k;
    }
    return std::uint8_t(bestIndex);
  };
  for (std::size_t i = 0; i < n; ++i) {
    const TColor c = RGB(image.Rgb[3 * i], image.Rgb[3 * i + 1], image.Rgb[3 * i + 2]);
    if (c == Magenta) {
      out.Pixels[i] = 0;
    } else if (image.IsMask[i]) {
      const TColor g = level(c);
      out.Pixels[i] = std::uint8_t(std::find(palette.begin(), palette.end(), g) - palette.begin());
    } else {
      auto it = nearest.find(c);
      if (it == nearest.end()) {
        // Picture pixels prefer the picture colours, but an exact grey of the mask
        // levels is as good a match.
        it = nearest.emplace(c, indexOf(c, hasMagenta ? 1 : 0)).first;
      }
      out.Pixels[i] = it->second;
    }
  }
  (void)firstPicture;
  return out;
}

std::vector<std::uint8_t> EncodeBmp8(const TIndexedImage& image) {
  if (image.Palette.empty() || image.Palette.size() > 256)
    throw std::runtime_error("BMP: palette must hold 1 to 256 colours");
  const std::uint32_t stride = (std::uint32_t(image.Width) + 3) & ~3u;
  const std::uint32_t paletteBytes = std::uint32_t(image.Palette.size()) * 4;
  const std::uint32_t offset = 14 + 40 + paletteBytes;
  const std::uint32_t imageBytes = stride * std::uint32_t(image.Height);
  std::vector<std::uint8_t> d;
  d.reserve(offset + imageBytes);
  d.push_back('B');
  d.push_back('M');
  Put32(d, offset + imageBytes);
  Put32(d, 0);
  Put32(d, offset);
  Put32(d, 40);
  Put32(d, std::uint32_t(image.Width));
  Put32(d, std::uint32_t(image.Height));  // positive: rows stored bottom-up
  Put16(d, 1);
  Put16(d, 8);
  Put32(d, 0);  // no compression
  Put32(d, imageBytes);
  Put32(d, 2835);  // 72 dots per inch
  Put32(d, 2835);
  Put32(d, std::uint32_t(image.Palette.size()));
  Put32(d, 0);
  for (TColor c : image.Palette) {
    d.push_back(std::uint8_t(GetBValue(c)));
    d.push_back(std::uint8_t(GetGValue(c)));
    d.push_back(std::uint8_t(GetRValue(c)));
    d.push_back(0);
  }
  for (int y = image.Height - 1; y >= 0; --y) {
    const auto row = image.Pixels.begin() + std::ptrdiff_t(y) * image.Width;
    d.insert(d.end(), row, row + image.Width);
    for (std::uint32_t pad = std::uint32_t(image.Width); pad < stride; ++pad) d.push_back(0);
  }
  return d;
}

TIndexedImage DecodeBmp8(const std::vector<std::uint8_t>& d) {
  auto fail = [](const char* why) { throw std::runtime_error(std::string("BMP: ") + why); };
  if (d.size() < 14 + 40) fail("file too short");
  if (d[0] != 'B' || d[1] != 'M') fail("missing BM signature");
  const std::uint32_t offset = Le32(d, 10);
  const std::uint32_t headerSize = Le32(d, 14);
  if (headerSize < 40 || std::uint64_t(headerSize) + 14 > offset || offset > d.size())
    fail("bad header size or pixel offset");
  const std::int32_t width = std::int32_t(Le32(d, 18));
  const std::int32_t height = std::int32_t(Le32(d, 22));
  if (Le16(d, 26) != 1) fail("planes must be 1");
  if (Le16(d, 28) != 8) fail("not 8 bits per pixel");
  if (Le32(d, 30) != 0) fail("compressed BMP");
  if (width <= 0 || height == 0 || height == INT32_MIN) fail("bad dimensions");
  std::uint32_t colors = Le32(d, 46);
  if (colors == 0) colors = 256;
  if (colors > 256) fail("palette larger than 256 colours");
  if (14 + std::uint64_t(headerSize) + 4ull * colors > offset) fail("palette overlaps the pixels");
  const bool bottomUp = height > 0;
  const std::uint64_t h = bottomUp ? std::uint64_t(height) : std::uint64_t(-std::int64_t(height));
  const std::uint64_t stride = (std::uint64_t(width) + 3) & ~3ull;
  if (offset + stride * h > d.size()) fail("pixel data truncated");
  TIndexedImage out;
  out.Width = width;
  out.Height = int(h);
  for (std::uint32_t i = 0; i < colors; ++i) {
    const std::size_t at = 14 + headerSize + 4 * i;
    out.Palette.push_back(RGB(d[at + 2], d[at + 1], d[at]));
  }
  out.Pixels.resize(std::size_t(width) * h);
  for (std::uint64_t y = 0; y < h; ++y) {
    const std::uint64_t srcRow = bottomUp ? h - 1 - y : y;
    for (std::int32_t x = 0; x < width; ++x) {
      const std::uint8_t v = d[offset + srcRow * stride + std::uint64_t(x)];
      if (v >= colors) fail("pixel index beyond the palette");
      out.Pixels[y * std::uint64_t(width) + std::uint64_t(x)] = v;
    }
  }
  return out;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& data) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
  if (!f) throw std::runtime_error("cannot write " + path);
}

std::vector<std::uint8_t> ReadFile(const std::string& path) { return ReadWholeFile(path); }

namespace {

// libpng reports errors by longjmp; this function holds no objects with destructors,
// so jumping back into it is safe.
bool WritePngRows(FILE* file, png_structp png, png_infop info, int w, int h, png_bytep* rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

void WritePngPreview(const std::string& path, const TIndexedImage& image, int scale) {
  TRgbImage rgb(image.Width, image.Height);
  for (int y = 0; y < image.Height; ++y)
    for (int x = 0; x < image.Width; ++x) {
      const TColor c = image.ColorAt(x, y);
      rgb.Set(x, y, GetRValue(c), GetGValue(c), GetBValue(c));
    }
  WritePngPreview(path, rgb, scale);
}

void WritePngPreview(const std::string& path, const TRgbImage& image, int scale) {
  const int w = image.Width * scale, h = image.Height * scale;
  std::vector<png_byte> pixels(std::size_t(w) * h * 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const TColor c = image.Get(x / scale, y / scale);
      png_byte* p = &pixels[(std::size_t(y) * w + x) * 3];
      p[0] = png_byte(GetRValue(c));
      p[1] = png_byte(GetGValue(c));
      p[2] = png_byte(GetBValue(c));
    }
  std::vector<png_bytep> rows(static_cast<std::size_t>(h));
  for (int y = 0; y < h; ++y) rows[std::size_t(y)] = &pixels[std::size_t(y) * w * 3];

  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!file) throw std::runtime_error("cannot write " + path);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool ok = png && info && WritePngRows(file.get(), png, info, w, h, rows.data());
  png_destroy_write_struct(&png, &info);
  if (!ok) throw std::runtime_error("PNG: cannot write " + path);
}

}  // namespace vm
