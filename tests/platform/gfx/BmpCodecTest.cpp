#include "platform/gfx/BmpCodec.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace vm {
namespace {

void Put16(std::vector<std::uint8_t>& v, std::uint32_t x) {
  v.push_back(std::uint8_t(x));
  v.push_back(std::uint8_t(x >> 8));
}
void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(std::uint8_t(x >> (8 * i)));
}

// Builds a BMP file the way other programs write them, independent of the
// codec's own writer: 40-byte header, optional masks and palette, then rows.
struct TFileSpec {
  int Width = 5, Height = 3, Bits = 24;
  bool TopDown = false;
  std::uint32_t Compression = 0;
  std::vector<std::uint32_t> Masks;
  std::vector<TColor> Palette;
  std::uint32_t ColorsUsed = 0;
};

std::vector<std::uint8_t> MakeFile(const TFileSpec& s,
                                   const std::vector<std::vector<std::uint8_t>>& rows) {
  std::vector<std::uint8_t> body;
  for (std::uint32_t m : s.Masks) Put32(body, m);
  for (TColor c : s.Palette)
    body.insert(body.end(), {std::uint8_t(GetBValue(c)), std::uint8_t(GetGValue(c)),
                             std::uint8_t(GetRValue(c)), 0});
  const std::uint32_t offset = 14 + 40 + std::uint32_t(body.size());
  std::vector<std::uint8_t> f{'B', 'M'};
  Put32(f, 0);
  Put32(f, 0);
  Put32(f, offset);
  Put32(f, 40);
  Put32(f, std::uint32_t(s.Width));
  Put32(f, std::uint32_t(s.TopDown ? -s.Height : s.Height));
  Put16(f, 1);
  Put16(f, std::uint32_t(s.Bits));
  Put32(f, s.Compression);
  Put32(f, 0);
  Put32(f, 0);
  Put32(f, 0);
  Put32(f, s.ColorsUsed);
  Put32(f, 0);
  f.insert(f.end(), body.begin(), body.end());
  for (const auto& r : rows) f.insert(f.end(), r.begin(), r.end());
  return f;
}

// The test picture: pixel (x, y) of a w x h image, top row first.
TColor Pixel(int x, int y) {
  return RGB(x * 40, y * 80, (x + y) * 16);
}

// Rows of the picture in file order, packed at the given depth.
std::vector<std::vector<std::uint8_t>> Rows(const TFileSpec& s, const std::vector<TColor>& pal) {
  std::vector<std::vector<std::uint8_t>> rows;
  const int stride = ((s.Width * s.Bits + 31) / 32) * 4;
  for (int r = 0; r < s.Height; ++r) {
    const int y = s.TopDown ? r : s.Height - 1 - r;
    std::vector<std::uint8_t> row(std::size_t(stride), 0);
    for (int x = 0; x < s.Width; ++x) {
      const TColor c = Pixel(x, y);
      if (s.Bits <= 8) {
        const int idx = (x + y) % int(pal.size());
        const int perByte = 8 / s.Bits;
        row[std::size_t(x / perByte)] |= std::uint8_t(idx << (8 - s.Bits * (x % perByte + 1)));
      } else if (s.Bits == 16) {
        const bool b565 = !s.Masks.empty();
        std::uint32_t v =
            b565 ? ((GetRValue(c) >> 3) << 11) | ((GetGValue(c) >> 2) << 5) | (GetBValue(c) >> 3)
                 : ((GetRValue(c) >> 3) << 10) | ((GetGValue(c) >> 3) << 5) | (GetBValue(c) >> 3);
        row[std::size_t(2 * x)] = std::uint8_t(v);
        row[std::size_t(2 * x + 1)] = std::uint8_t(v >> 8);
      } else {
        const int bpp = s.Bits / 8;
        row[std::size_t(bpp * x)] = std::uint8_t(GetBValue(c));
        row[std::size_t(bpp * x + 1)] = std::uint8_t(GetGValue(c));
        row[std::size_t(bpp * x + 2)] = std::uint8_t(GetRValue(c));
        if (bpp == 4) row[std::size_t(bpp * x + 3)] = std::uint8_t(x * 50);
      }
    }
    rows.push_back(row);
  }
  return rows;
}

TColor Expected(const TFileSpec& s, const std::vector<TColor>& pal, int x, int y) {
  const TColor c = Pixel(x, y);
  if (s.Bits <= 8) return pal[std::size_t((x + y) % int(pal.size()))];
  if (s.Bits == 16) {
    auto expand = [](int v, int bits) {
      return (v * 255 + ((1 << bits) - 1) / 2) / ((1 << bits) - 1);
    };
    if (!s.Masks.empty())
      return RGB(expand(GetRValue(c) >> 3, 5), expand(GetGValue(c) >> 2, 6),
                 expand(GetBValue(c) >> 3, 5));
    return RGB(expand(GetRValue(c) >> 3, 5), expand(GetGValue(c) >> 3, 5),
               expand(GetBValue(c) >> 3, 5));
  }
  return c;
}

TEST(Bmp, ReadsEveryDepthInBothRowOrders) {
  const std::vector<TColor> pal16 = {
      RGB(0, 0, 0),  RGB(255, 0, 0), RGB(0, 255, 0),    RGB(0, 0, 255),
      RGB(9, 9, 9),  RGB(1, 2, 3),   RGB(200, 100, 50), RGB(7, 7, 7),
      RGB(70, 0, 7), RGB(0, 70, 7),  RGB(3, 3, 90),     RGB(4, 4, 4),
      RGB(5, 5, 5),  RGB(6, 6, 6),   RGB(77, 77, 77),   RGB(250, 250, 250)};
  for (int bits : {1, 4, 8, 16, 160, 24, 32})
    for (bool topDown : {false, true})
      for (int width : {1, 5, 9, 33}) {
        TFileSpec s;
        s.Width = width;
        s.Height = 3;
        s.TopDown = topDown;
        s.Bits = bits == 160 ? 16 : bits;
        if (bits == 160) {
          s.Compression = 3;
          s.Masks = {0xF800, 0x07E0, 0x001F};
        }
        std::vector<TColor> pal;
        if (s.Bits <= 8) {
          pal.assign(pal16.begin(), pal16.begin() + (s.Bits == 1 ? 2 : s.Bits == 4 ? 16 : 11));
          s.Palette = pal;
          s.ColorsUsed = s.Bits == 8 ? 11 : 0;
        }
        const auto file = MakeFile(s, Rows(s, pal));
        TBmpInfo info;
        const TBitmap bmp = ReadBmp(file, TBmpRowOrder::AsFile, &info);
        SCOPED_TRACE("bits " + std::to_string(bits) + " width " + std::to_string(width) +
                     (topDown ? " top-down" : " bottom-up"));
        ASSERT_EQ(bmp.Width(), width);
        ASSERT_EQ(bmp.Height(), 3);
        EXPECT_EQ(bmp.BottomUp(), !topDown);
        EXPECT_EQ(info.BitCount, s.Bits);
        EXPECT_EQ(info.TopDownFile, topDown);
        for (int y = 0; y < 3; ++y)
          for (int x = 0; x < width; ++x)
            ASSERT_EQ(bmp.GetPixel(x, y), Expected(s, pal, x, y)) << x << "," << y;
        // Bottom-up memory keeps the file's row layout byte for byte (24-bit case).
        if (s.Bits == 24 && !topDown) {
          EXPECT_EQ(0, std::memcmp(bmp.Data(), file.data() + 54, bmp.DataSize()));
        }
        // Forced orders give the same picture.
        EXPECT_TRUE(ReadBmp(file, TBmpRowOrder::TopDown).SamePixels(bmp));
        EXPECT_TRUE(ReadBmp(file, TBmpRowOrder::BottomUp).SamePixels(bmp));
        if (s.Bits == 32) {
          const TBitmap alpha = ReadBmp(file, TBmpRowOrder::AsFile, nullptr, true);
          ASSERT_EQ(alpha.PixelFormat(), TPixelFormat::pf32bit);
          EXPECT_EQ(alpha.GetAlpha(width - 1, 0), std::uint8_t((width - 1) * 50));
        }
      }
}

std::string ErrorOf(const std::vector<std::uint8_t>& f) {
  try {
    ReadBmp(f);
  } catch (const TBmpError& e) {
    return e.what();
  }
  return "";
}

TEST(Bmp, DecodesRunLengthData) {
  TFileSpec s;
  s.Width = 6;
  s.Height = 3;
  s.Bits = 8;
  s.Compression = 1;
  s.Palette = {RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 255, 0)};
  s.ColorsUsed = 4;
  // Bottom row: 4 x colour 1, 1 x colour 2, 1 x colour 3; row 1: move right 2,
  // 2 x colour 2; top row: absolute 3, 3, 3 (padded), then 3 x colour 3; end.
  const std::vector<std::vector<std::uint8_t>> data = {
      {4, 1, 1, 2, 1, 3, 0, 0, 0, 2, 2, 0, 2, 2, 0, 0, 0, 3, 3, 3, 3, 0, 3, 3, 0, 1}};
  const TBitmap bmp = ReadBmp(MakeFile(s, data));
  const TColor expect[3][6] = {{3, 3, 3, 3, 3, 3}, {0, 0, 2, 2, 0, 0}, {1, 1, 1, 1, 2, 3}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(bmp.GetPixel(x, y), s.Palette[expect[y][x]]) << x << "," << y;
  // A stream without its end mark is truncated.
  EXPECT_THROW(ReadBmp(MakeFile(s, {{4, 1, 0, 0}})), TBmpError);
}

TEST(Bmp, RunLengthDataOutsideThePictureIsRefused) {
  TFileSpec s;
  s.Width = 6;
  s.Height = 3;
  s.Bits = 8;
  s.Compression = 1;
  s.Palette = {RGB(0, 0, 0), RGB(255, 0, 0)};
  s.ColorsUsed = 2;
  auto error = [&](std::vector<std::uint8_t> stream) { return ErrorOf(MakeFile(s, {stream})); };
  // A run that ends exactly on the right edge, a move onto the edge, and an
  // end of line after the top row without an end mark are all fine.
  EXPECT_EQ(error({6, 1, 0, 0, 0, 2, 6, 0, 0, 0, 3, 1, 0, 0}), "");
  // Runs past the right edge (encoded and absolute, 8 and 4 bits), a move
  // past the right edge or the top.
  EXPECT_NE(error({7, 1, 0, 1}).find("outside"), std::string::npos);
  EXPECT_NE(error({4, 1, 3, 1, 0, 1}).find("outside"), std::string::npos);
  EXPECT_NE(error({0, 3, 1, 1, 1, 0, 0, 4, 1, 1, 1, 1, 0, 1}).find("outside"), std::string::npos);
  EXPECT_NE(error({0, 2, 7, 0, 0, 1}).find("leaves"), std::string::npos);
  EXPECT_NE(error({0, 2, 0, 3, 0, 1}).find("leaves"), std::string::npos);
  s.Bits = 4;
  s.Compression = 2;
  EXPECT_EQ(error({6, 0x11, 0, 1}), "");
  EXPECT_NE(error({7, 0x11, 0, 1}).find("outside"), std::string::npos);
  EXPECT_NE(error({0, 7, 0x11, 0x11, 0x11, 0x10, 0, 1}).find("outside"), std::string::npos);
}

TEST(Bmp, RunLengthSizeCheckCountsOnlyTheStream) {
  // 1000 x 1000 pixels from an end mark followed by 10 KB of padding: the
  // padding describes no pixels, so the file cannot fill the picture.
  TFileSpec s;
  s.Width = 1000;
  s.Height = 1000;
  s.Bits = 8;
  s.Compression = 1;
  s.Palette = {RGB(9, 9, 9)};
  s.ColorsUsed = 1;
  std::vector<std::uint8_t> padded = {0, 1};
  padded.resize(10002, 0);
  EXPECT_NE(ErrorOf(MakeFile(s, {padded})).find("run-length data of 2 bytes cannot fill"),
            std::string::npos);
  // A stream that does describe its rows decodes, padding or not.
  s.Width = 300;
  s.Height = 300;
  std::vector<std::uint8_t> rows;
  for (int y = 0; y < 300; ++y) rows.insert(rows.end(), {255, 0, 45, 0, 0, 0});
  rows.insert(rows.end(), {0, 1});
  rows.resize(rows.size() + 5000, 0);
  const TBitmap b = ReadBmp(MakeFile(s, {rows}));
  EXPECT_EQ(b.GetPixel(299, 0), RGB(9, 9, 9));
}

TEST(Bmp, MalformedFilesGiveClearErrors) {
  TFileSpec s;
  s.Width = 4;
  s.Height = 2;
  const auto good = MakeFile(s, Rows(s, {}));
  ASSERT_NO_THROW(ReadBmp(good));

  auto with = [&](std::size_t at, std::uint32_t v, int bytes = 4) {
    auto f = good;
    for (int i = 0; i < bytes; ++i) f[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
    return f;
  };
  EXPECT_NE(ErrorOf(with(0, 'X', 1)).find("signature"), std::string::npos);
  EXPECT_NE(ErrorOf(with(14, 8)).find("header size"), std::string::npos);
  EXPECT_NE(ErrorOf(with(10, 20)).find("inside the header"), std::string::npos);
  EXPECT_NE(ErrorOf(with(26, 2, 2)).find("plane"), std::string::npos);
  EXPECT_NE(ErrorOf(with(18, 0)).find("width"), std::string::npos);
  EXPECT_NE(ErrorOf(with(22, 0)).find("height"), std::string::npos);
  EXPECT_NE(ErrorOf(with(22, 0x80000000u)).find("height"), std::string::npos);
  EXPECT_NE(ErrorOf(with(28, 7, 2)).find("bit count"), std::string::npos);
  EXPECT_NE(ErrorOf(with(30, 9)).find("compression"), std::string::npos);
  // Impossible sizes are refused before any allocation.
  auto huge = with(18, 60000);
  for (int i = 0; i < 4; ++i) huge[22 + std::size_t(i)] = std::uint8_t(60000 >> (8 * i));
  EXPECT_NE(ErrorOf(huge).find("too large"), std::string::npos);
  // A big but allowed size whose pixels the file does not hold.
  EXPECT_NE(ErrorOf(with(18, 4000)).find("truncated"), std::string::npos);
  // The largest allowed size in a tiny file is refused before 800 MB are reserved for it.
  auto big = with(18, 16384);
  for (int i = 0; i < 4; ++i) big[22 + std::size_t(i)] = std::uint8_t(16384 >> (8 * i));
  EXPECT_NE(ErrorOf(big).find("truncated"), std::string::npos);
  auto bigRle = big;
  bigRle[28] = 8;  // 8 bits, RLE8, palette of one colour
  bigRle[30] = 1;
  bigRle[46] = 1;
  bigRle[10] = 58;  // pixels after the one palette entry
  bigRle[58] = 0;   // ... which end at once
  bigRle[59] = 1;
  EXPECT_NE(ErrorOf(bigRle).find("cannot fill"), std::string::npos);
  auto cut = good;
  cut.pop_back();
  EXPECT_NE(ErrorOf(cut).find("truncated"), std::string::npos);
  EXPECT_NE(ErrorOf({'B', 'M', 0}).find("short"), std::string::npos);
  EXPECT_NE(ErrorOf({}).find("short"), std::string::npos);

  // Palette problems: more colours than the depth allows, and indexes past the palette.
  TFileSpec p;
  p.Width = 2;
  p.Height = 1;
  p.Bits = 4;
  p.Palette = {RGB(1, 1, 1), RGB(2, 2, 2)};
  p.ColorsUsed = 2;
  EXPECT_NO_THROW(ReadBmp(MakeFile(p, {{0x01, 0, 0, 0}})));
  EXPECT_NE(ErrorOf(MakeFile(p, {{0x12, 0, 0, 0}})).find("palette index 2"), std::string::npos);
  p.ColorsUsed = 17;
  EXPECT_NE(ErrorOf(MakeFile(p, {{0x01, 0, 0, 0}})).find("palette"), std::string::npos);
  EXPECT_THROW(LoadBmpFile("/nonexistent/x.bmp"), TBmpError);
}

TEST(Bmp, PaletteIndexesPastThePaletteAreCaughtAnywhereInARow) {
  // 8-bit rows are copied through a table with the row's last pixel taken
  // apart: a bad index is found in the middle and at the end alike.
  TFileSpec p;
  p.Width = 5;
  p.Height = 2;
  p.Bits = 8;
  p.Palette = {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9)};
  p.ColorsUsed = 3;
  const std::vector<std::uint8_t> good = {2, 1, 0, 1, 2, 0, 0, 0};
  EXPECT_NO_THROW(ReadBmp(MakeFile(p, {good, good})));
  for (std::size_t at : {std::size_t(0), std::size_t(2), std::size_t(4)}) {
    auto bad = good;
    bad[at] = 3;
    EXPECT_NE(ErrorOf(MakeFile(p, {good, bad})).find("palette index 3"), std::string::npos) << at;
  }
  // A full 256-colour palette has no index past it.
  TFileSpec full = p;
  full.Width = 1;
  full.Height = 1;
  full.Palette.assign(256, RGB(10, 20, 30));
  full.Palette[255] = RGB(40, 50, 60);
  full.ColorsUsed = 0;
  EXPECT_EQ(ReadBmp(MakeFile(full, {{255, 0, 0, 0}})).GetPixel(0, 0), RGB(40, 50, 60));
}

TEST(Bmp, RowPaddingOfADecodedPictureIsZero) {
  // The reader leaves pixel memory unfilled before writing every pixel; the
  // padding after each row must still be defined.
  TFileSpec s;
  s.Width = 5;
  s.Height = 3;
  for (int bits : {8, 24}) {
    s.Bits = bits;
    std::vector<TColor> pal = {RGB(255, 255, 255)};
    s.Palette = bits == 8 ? pal : std::vector<TColor>{};
    s.ColorsUsed = bits == 8 ? 1 : 0;
    std::vector<std::vector<std::uint8_t>> rows = Rows(s, pal);
    for (auto& r : rows)
      if (bits == 24) std::fill(r.begin(), r.end(), 0xFF);
    const TBitmap bmp = ReadBmp(MakeFile(s, rows));
    for (int y = 0; y < bmp.Height(); ++y)
      for (int i = 15; i < bmp.Stride(); ++i) EXPECT_EQ(bmp.ScanLine(y)[i], 0) << bits << " " << y;
    EXPECT_TRUE(TBitmap::Unfilled(0, 0).Empty());
  }
}

TEST(Bmp, WritersRoundTripThroughTheReader) {
  for (bool bottomUp : {false, true})
    for (auto fmt : {TPixelFormat::pf24bit, TPixelFormat::pf32bit}) {
      TBitmap src(7, 5, fmt, bottomUp);
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) src.SetPixel(x, y, Pixel(x, y));
      const auto f24 = WriteBmp24(src);
      EXPECT_EQ(f24.size(), 54u + 5 * 24);
      const TBitmap back = ReadBmp(f24);
      EXPECT_TRUE(back.BottomUp());
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) ASSERT_EQ(back.GetPixel(x, y), Pixel(x, y));
      TBmpInfo info;
      const TBitmap back8 = ReadBmp(WriteBmp8(src), TBmpRowOrder::AsFile, &info);
      EXPECT_EQ(info.BitCount, 8);
      EXPECT_EQ(info.Palette.size(), 35u);  // every pixel of the picture differs
      EXPECT_TRUE(back8.SamePixels(back));
    }
  TBitmap many(300, 1);
  for (int x = 0; x < 300; ++x) many.SetPixel(x, 0, RGB(x & 0xFF, x >> 8, 0));
  EXPECT_THROW(WriteBmp8(many), TBmpError);
  EXPECT_THROW(WriteBmp24(TBitmap()), TBmpError);

  const std::string path = std::string(::testing::TempDir()) + "velmora-bmp-test.bmp";
  TBitmap pic(3, 2);
  pic.Fill(RGB(1, 2, 3));
  SaveBmpFile(path, pic, 8);
  EXPECT_TRUE(LoadBmpFile(path).SamePixels(pic));
  std::remove(path.c_str());
}

}  // namespace
}  // namespace vm
