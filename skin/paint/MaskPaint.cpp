#include "skin/paint/MaskPaint.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/gfx/Region.h"
#include "platform/gfx/Stretch.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"

namespace vm {

namespace {

// Raw row access to a bitmap: start of row 0, signed row step, bytes per pixel.
template <typename Byte>
struct TRows {
  Byte* Start = nullptr;
  std::ptrdiff_t Step = 0;
  int W = 0;
  int H = 0;
  int Bpp = 3;

  Byte* At(int x, int y) const { return Start + y * Step + std::ptrdiff_t(x) * Bpp; }
};

TRows<std::uint8_t> RowsOf(TBitmap& b) {
  return {b.Start(), b.RowStep(), b.Width(), b.Height(), b.BytesPerPixel()};
}
TRows<const std::uint8_t> RowsOf(const TBitmap& b) {
  return {b.Start(), b.RowStep(), b.Width(), b.Height(), b.BytesPerPixel()};
}

bool IsKeyPixel(const std::uint8_t* p) {
  return p[0] == 0xFF && p[1] == 0x00 && p[2] == 0xFF;
}

void PutColor(std::uint8_t* d, TColor c) {
  d[0] = std::uint8_t(GetBValue(c));
  d[1] = std::uint8_t(GetGValue(c));
  d[2] = std::uint8_t(GetRValue(c));
}

// The background of a piece, when it holds a picture that can be read.
struct TBackReader {
  bool Ready = false;
  TRows<const std::uint8_t> Rows;
  int OffsetX = 0;
  int OffsetY = 0;

  explicit TBackReader(const BackgroundInfo& bg) {
    if (!bg.Ready || !bg.Bitmap || bg.Bitmap->Empty()) return;
    Rows = RowsOf(*bg.Bitmap);
    OffsetX = bg.OffsetX;
    OffsetY = bg.OffsetY;
    Ready = true;
  }
  // The background pixel behind destination (dx, dy), or null outside the
  // background bitmap.
  const std::uint8_t* Behind(int dx, int dy) const {
    const std::int64_t bx = std::int64_t(OffsetX) + dx;
    const std::int64_t by = std::int64_t(OffsetY) + dy;
    if (bx < 0 || by < 0 || bx >= Rows.W || by >= Rows.H) return nullptr;
    return Rows.At(int(bx), int(by));
  }
};

// Makes a destination piece and its same-sized source piece fit inside clip:
// both are first cut to the smaller of the two sizes, then every edge of the
// destination that lies outside clip moves in, and the source edge with it.
// Returns false when nothing is left.
bool ClipPair(TRect& dst, TRect& src, const TRect& clip) {
  const int w = std::min(dst.Width(), src.Width());
  const int h = std::min(dst.Height(), src.Height());
  if (w <= 0 || h <= 0) return false;
  dst = Bounds(dst.Left, dst.Top, w, h);
  src = Bounds(src.Left, src.Top, w, h);
  if (dst.Left < clip.Left) src.Left += clip.Left - dst.Left, dst.Left = clip.Left;
  if (dst.Top < clip.Top) src.Top += clip.Top - dst.Top, dst.Top = clip.Top;
  if (dst.Right > clip.Right) src.Right -= dst.Right - clip.Right, dst.Right = clip.Right;
  if (dst.Bottom > clip.Bottom) src.Bottom -= dst.Bottom - clip.Bottom, dst.Bottom = clip.Bottom;
  return !dst.IsEmpty();
}

// Inclusive form of an exclusive rectangle, for the key-colour copies.
TRect Inclusive(const TRect& r) {
  return {r.Left, r.Top, r.Right - 1, r.Bottom - 1};
}

// Steps tiles of size `tile` from start while the next whole tile still ends
// before `end`, then one last cut tile up to end. A tile below 1 pixel places
// nothing (the stepping could not advance).
template <typename F>
void TileRun(int start, int end, int tile, F&& place) {
  if (tile < 1 || end <= start) return;
  int pos = start;
  while (pos < end - tile) {
    place(pos, tile);
    pos += tile;
  }
  place(pos, end - pos);
}

// TileRun limited to the tiles that meet [from, to): the same places and
// sizes, without walking the tiles before `from` one by one.
template <typename F>
void TileRunWithin(int start, int end, int tile, int from, int to, F&& place) {
  if (tile < 1 || end <= start || to <= from) return;
  // Whole tiles are those at start + k * tile with k < whole; the last, cut
  // one is at start + whole * tile.
  const std::int64_t whole = std::max<std::int64_t>((std::int64_t(end) - start - 1) / tile, 0);
  const std::int64_t k0 = std::clamp<std::int64_t>((std::int64_t(from) - start) / tile, 0, whole);
  for (std::int64_t k = k0; k <= whole; ++k) {
    const std::int64_t pos = start + k * tile;
    if (pos >= to) break;
    place(int(pos), k < whole ? tile : int(end - pos));
  }
}

// Tiles the source piece over the destination area: row bands of the piece's
// height, each tiled left to right, the last band and column cut.
template <typename F>
void TileArea(const TRect& area, int tileW, int tileH, F&& place) {
  TileRun(area.Top, area.Bottom, tileH, [&](int y, int h) {
    TileRun(area.Left, area.Right, tileW, [&](int x, int w) { place(Bounds(x, y, w, h)); });
  });
}

// Fills area (cut to clip, which lies inside the bitmap) as if the source
// piece were tiled from area's top-left: column x takes piece column
// (x - area.Left) mod width, row y piece row (y - area.Top) mod height. This
// is what stepping whole tiles and then one cut tile gives, done a row at a
// time so that one-pixel pieces cost no more than large ones. Source pixels
// outside the source bitmap (or whose rows `extraRows` below are outside it)
// leave their destination unchanged. op(dest, source, sourceY, count) writes
// one run.
template <typename Op>
void TileRows(TBitmap& bitmap, const TRect& area, const TRect& piece, const TRect& clip,
              const TBitmap& source, int extraRows, Op&& op) {
  const int tw = piece.Width(), th = piece.Height();
  if (tw < 1 || th < 1) return;
  const TRect a = area.Intersect(clip);
  if (a.IsEmpty()) return;
  const int sx0 = std::max(piece.Left, 0), sx1 = std::min(piece.Right, source.Width());
  const int sy0 = std::max(piece.Top, 0), sy1 = std::min(piece.Bottom, source.Height() - extraRows);
  if (sx0 >= sx1 || sy0 >= sy1) return;
  const TRows<std::uint8_t> d = RowsOf(bitmap);
  const TRows<const std::uint8_t> s = RowsOf(source);
  for (int y = a.Top; y < a.Bottom; ++y) {
    const int sy = piece.Top + (y - area.Top) % th;
    if (sy < sy0 || sy >= sy1) continue;
    for (int x = a.Left; x < a.Right;) {
      const int off = (x - area.Left) % tw;
      const int sx = piece.Left + off;
      const int n = std::min(tw - off, a.Right - x);
      const int lo = std::max(sx, sx0), hi = std::min(sx + n, sx1);
      if (lo < hi) op(d.At(x + (lo - sx), y), s.At(lo, sy), lo, sy, hi - lo);
      x += n;
    }
  }
}

// Plain copy of a run of source pixels (24- or 32-bit) into a 24-bit row.
void CopyRun(std::uint8_t* dp, const std::uint8_t* sp, int bpp, int n) {
  if (bpp == 3) {
    std::memcpy(dp, sp, std::size_t(n) * 3);
    return;
  }
  for (int i = 0; i < n; ++i, dp += 3, sp += bpp) dp[0] = sp[0], dp[1] = sp[1], dp[2] = sp[2];
}

// Plain tiling (see TileRows). When the piece lies inside a 24-bit source,
// each row gets one period from the source and then repeats it from itself
// in doubling chunks, which keeps narrow pieces as cheap as a row copy.
void TileCopy(TBitmap& bitmap, const TRect& area, const TRect& piece, const TRect& clip,
              const TBitmap& source) {
  const int tw = piece.Width(), th = piece.Height();
  const int bpp = source.BytesPerPixel();
  const bool inside = piece.Left >= 0 && piece.Top >= 0 && piece.Right <= source.Width() &&
                      piece.Bottom <= source.Height();
  if (!inside || bpp != 3) {
    TileRows(bitmap, area, piece, clip, source, 0,
             [&](std::uint8_t* dp, const std::uint8_t* sp, int, int, int n) {
               CopyRun(dp, sp, bpp, n);
             });
    return;
  }
  if (tw < 1 || th < 1) return;
  const TRect a = area.Intersect(clip);
  if (a.IsEmpty()) return;
  const TRows<std::uint8_t> d = RowsOf(bitmap);
  const TRows<const std::uint8_t> s = RowsOf(source);
  const int total = a.Width();
  const int phase = (a.Left - area.Left) % tw;
  const int first = std::min(total, tw - phase);
  const int second = std::min(total, tw) - first;
  for (int y = a.Top; y < a.Bottom; ++y) {
    const int sy = piece.Top + (y - area.Top) % th;
    std::uint8_t* dp = d.At(a.Left, y);
    std::memcpy(dp, s.At(piece.Left + phase, sy), std::size_t(first) * 3);
    if (second > 0) std::memcpy(dp + first * 3, s.At(piece.Left, sy), std::size_t(second) * 3);
    for (int done = first + second; done < total;) {
      const int chunk = std::min(done, total - done);
      std::memcpy(dp + std::size_t(done) * 3, dp, std::size_t(chunk) * 3);
      done += chunk;
    }
  }
}

}  // namespace

TMaskFrame TMaskFrame::Of(const TsMaskData& mask) {
  TMaskFrame f;
  if (mask.ImageCount < 1 || mask.MaskType < 0) return f;
  f.Count = mask.ImageCount;
  f.W = mask.R.Width() / mask.ImageCount;
  f.H = mask.R.Height() / (mask.MaskType + 1);
  f.Valid = f.W > 0 && f.H > 0;
  return f;
}

int TMaskFrame::ClampState(int state) const {
  return std::clamp(state, 0, std::max(Count - 1, 0));
}

int TMaskFrame::FrameLeft(const TsMaskData& mask, int state) const {
  return mask.R.Left + ClampState(state) * W;
}

const TBitmap* MaskSourceBitmap(const TsMaskData& mask) {
  if (mask.Image && !mask.Image->Empty()) return mask.Image.get();
  if (mask.Manager && mask.Manager->MasterBitmap && !mask.Manager->MasterBitmap->Empty())
    return mask.Manager->MasterBitmap.get();
  return nullptr;
}

void CopyMaskedPiece(TRect destRect, TRect sourceRect, TBitmap& bitmap, const TsMaskData& mask,
                     bool useBackground, BackgroundInfo background, const TBitmap& source) {
  const TMaskFrame f = TMaskFrame::Of(mask);
  if (!f.Valid || mask.MaskType < 1) return;
  if (bitmap.PixelFormat() != TPixelFormat::pf24bit || bitmap.Empty() || source.Empty()) return;

  int w = std::min(destRect.Width(), sourceRect.Width());
  int h = std::min(destRect.Height(), sourceRect.Height());
  int dl = destRect.Left, dt = destRect.Top, sl = sourceRect.Left, st = sourceRect.Top;
  // A negative left or top moves the other rectangle along and shrinks the copy.
  if (dl < 0) sl -= dl, w += dl, dl = 0;
  if (sl < 0) dl -= sl, w += sl, sl = 0;
  if (dt < 0) st -= dt, h += dt, dt = 0;
  if (st < 0) dt -= st, h += st, st = 0;
  // Stay inside the destination, and inside the source for both the image rows
  // and the mask rows H below them.
  w = std::min({w, bitmap.Width() - dl, source.Width() - sl});
  h = std::min({h, bitmap.Height() - dt, source.Height() - st - f.H});
  if (w <= 0 || h <= 0) return;

  const TRows<std::uint8_t> d = RowsOf(bitmap);
  const TRows<const std::uint8_t> s = RowsOf(source);
  const TBackReader back(background);
  const bool fillKey = !back.Ready && useBackground;
  const bool fromBack = back.Ready && useBackground;
  const bool haveFill = KeyFillColor != KeyColor;

  for (int y = 0; y < h; ++y) {
    std::uint8_t* dp = d.At(dl, dt + y);
    const std::uint8_t* sp = s.At(sl, st + y);
    const std::uint8_t* mp = s.At(sl, st + y + f.H);
    for (int x = 0; x < w; ++x, dp += 3, sp += s.Bpp, mp += s.Bpp) {
      if ((fromBack || fillKey) && IsKeyPixel(sp)) {
        if (fromBack) {
          // Outside the background there is nothing to show: keep the pixel.
          if (const std::uint8_t* bp = back.Behind(dl + x, dt + y)) {
            dp[0] = bp[0], dp[1] = bp[1], dp[2] = bp[2];
          }
        } else if (haveFill) {
          PutColor(dp, KeyFillColor);
        } else {
          // No fill colour: keep the key so that later steps still see it.
          dp[0] = 0xFF, dp[1] = 0x00, dp[2] = 0xFF;
        }
        continue;
      }
      dp[0] = MaskBlendByte(dp[0], sp[0], mp[0]);
      dp[1] = MaskBlendByte(dp[1], sp[1], mp[1]);
      dp[2] = MaskBlendByte(dp[2], sp[2], mp[2]);
    }
  }
}

void PaintNinePart(TBitmap& bitmap, TRect rect, bool fillCentre, bool useBackground, int state,
                   const TsMaskData& mask, BackgroundInfo background) {
  if (!mask.Manager) return;
  if (state == 0 && (mask.StretchMode & smSkipNormal)) return;
  if (rect.Width() < 2 || rect.Height() < 2) return;
  if (bitmap.PixelFormat() != TPixelFormat::pf24bit || bitmap.Empty()) return;
  const TBitmap* source = MaskSourceBitmap(mask);
  const TMaskFrame f = TMaskFrame::Of(mask);
  if (!source || !f.Valid) return;
  // Nothing outside rect is touched, even when the borders are wider than it.
  const TRect clip = rect.Intersect(TRect{0, 0, bitmap.Width(), bitmap.Height()});
  if (clip.IsEmpty()) return;

  // Border widths as stored, shrunk to fit a small rectangle: the excess is
  // taken from both sides, and an odd width takes one more from the right.
  int bl = mask.WL, bt = mask.WT, br = mask.WR, bb = mask.WB;
  auto fit = [](int size, int& a, int& b) {
    if (size < a + b) {
      const int excess = (a + b - size) / 2;
      a -= excess;
      b -= excess;
      if (size % 2 != 0) --b;
    }
    a = std::max(a, 0);
    b = std::max(b, 0);
  };
  fit(rect.Width(), bl, br);
  fit(rect.Height(), bt, bb);

  const int cw = std::max(f.W - bl - br, 0);
  const int ch = std::max(f.H - bt - bb, 0);
  const int fx = f.FrameLeft(mask, state);
  const int fy = mask.R.Top;

  // Source pieces of the frame and their places in rect.
  const TRect sTL = Bounds(fx, fy, bl, bt), sT = Bounds(fx + bl, fy, cw, bt),
              sTR = Bounds(fx + bl + cw, fy, br, bt);
  const TRect sL = Bounds(fx, fy + bt, bl, ch), sC = Bounds(fx + bl, fy + bt, cw, ch),
              sR = Bounds(fx + bl + cw, fy + bt, br, ch);
  const TRect sBL = Bounds(fx, fy + f.H - bb, bl, bb), sB = Bounds(fx + bl, fy + f.H - bb, cw, bb),
              sBR = Bounds(fx + bl + cw, fy + f.H - bb, br, bb);

  const int L = rect.Left, T = rect.Top, R = rect.Right, B = rect.Bottom;
  const TRect dTL = Bounds(L, T, bl, bt), dTR = Bounds(R - br, T, br, bt);
  const TRect dBL = Bounds(L, B - bb, bl, bb), dBR = Bounds(R - br, B - bb, br, bb);
  const TRect dT{L + bl, T, R - br, T + bt}, dB{L + bl, B - bb, R - br, B};
  const TRect dL{L, T + bt, L + bl, B - bb}, dR{R - br, T + bt, R, B - bb};
  const TRect dC{L + bl, T + bt, R - br, B - bb};
  const bool centre = fillCentre && (mask.StretchMode & smPaintCentre);

  if (mask.MaskType >= 1) {
    auto masked = [&](TRect d, TRect s, bool useBack, const BackgroundInfo& back) {
      if (ClipPair(d, s, clip)) CopyMaskedPiece(d, s, bitmap, mask, useBack, back, *source);
    };
    // Sides and centre of masked images are always tiled, without background:
    // every pixel, magenta included, is blended through its mask.
    const int bpp = source->BytesPerPixel();
    const TRows<const std::uint8_t> src = RowsOf(*source);
    auto tiled = [&](const TRect& area, const TRect& piece) {
      TileRows(bitmap, area, piece, clip, *source, f.H,
               [&](std::uint8_t* dp, const std::uint8_t* sp, int sx, int sy, int n) {
                 const std::uint8_t* mp = src.At(sx, sy + f.H);
                 if (bpp == 3) {
                   MaskBlendRow(dp, sp, mp, n * 3);
                   return;
                 }
                 for (int i = 0; i < n; ++i, dp += 3, sp += bpp, mp += bpp)
                   for (int c = 0; c < 3; ++c) dp[c] = MaskBlendByte(dp[c], sp[c], mp[c]);
               });
    };
    masked(dTL, sTL, useBackground, background);
    masked(dTR, sTR, useBackground, background);
    masked(dBL, sBL, useBackground, background);
    masked(dBR, sBR, useBackground, background);
    tiled(dT, sT);
    tiled(dB, sB);
    tiled(dL, sL);
    tiled(dR, sR);
    if (centre) tiled(dC, sC);
    return;
  }

  // Without mask half: corners skip (or show the background behind) their
  // magenta pixels; sides and centre are plain copies.
  auto corner = [&](TRect d, TRect s) {
    if (ClipPair(d, s, clip))
      CopyRectWithBackground(bitmap, *source, d.Left, d.Top, useBackground, background, KeyColor,
                             Inclusive(s));
  };
  corner(dTL, sTL);
  corner(dTR, sTR);
  corner(dBL, sBL);
  corner(dBR, sBR);

  const TRegion clipRgn(clip);
  if (mask.StretchMode & smStretchMiddle) {
    auto stretch = [&](const TRect& d, const TRect& s) {
      if (d.IsEmpty() || s.IsEmpty()) return;
      // Along an axis where the piece is one pixel thick or already has the
      // target size there is nothing to interpolate: repeat or copy it.
      if ((s.Width() == 1 || s.Width() == d.Width()) &&
          (s.Height() == 1 || s.Height() == d.Height())) {
        TileCopy(bitmap, d, s, clip, *source);
        return;
      }
      StretchBitmapRect(bitmap, d.Left, d.Top, d.Width(), d.Height(), *source, s.Left, s.Top,
                        s.Width(), s.Height(), TStretchMode::Halftone, clipRgn);
    };
    // Left and right sides stretch only vertically, top and bottom only
    // horizontally: their thickness is the piece's own.
    stretch(Bounds(dT.Left, dT.Top, dT.Width(), sT.Height()), sT);
    stretch(Bounds(dB.Left, dB.Top, dB.Width(), sB.Height()), sB);
    stretch(Bounds(dL.Left, dL.Top, sL.Width(), dL.Height()), sL);
    stretch(Bounds(dR.Left, dR.Top, sR.Width(), dR.Height()), sR);
    if (centre) stretch(dC, sC);
    return;
  }
  auto tiled = [&](const TRect& area, const TRect& piece) {
    TileCopy(bitmap, area, piece, clip, *source);
  };
  tiled(dT, sT);
  tiled(dB, sB);
  tiled(dL, sL);
  tiled(dR, sR);
  if (centre) tiled(dC, sC);
}

void PaintStateImage(TBitmap& bitmap, TPoint point, int state, const TsMaskData& mask, int mode) {
  const TBitmap* source = MaskSourceBitmap(mask);
  const TMaskFrame f = TMaskFrame::Of(mask);
  if (!source || !f.Valid) return;
  if (bitmap.PixelFormat() != TPixelFormat::pf24bit || bitmap.Empty()) return;

  TRect src = Bounds(f.FrameLeft(mask, state), mask.R.Top, f.W, f.H);
  // A point left of or above the bitmap cuts the frame on that side.
  if (point.X < 0) src.Left -= point.X, point.X = 0;
  if (point.Y < 0) src.Top -= point.Y, point.Y = 0;
  if (src.IsEmpty()) return;

  if (mask.MaskType >= 1) {
    int sl = src.Left, st = src.Top;
    int w = src.Width(), h = src.Height();
    if (sl < 0) point.X -= sl, w += sl, sl = 0;
    if (st < 0) point.Y -= st, h += st, st = 0;
    w = std::min({w, bitmap.Width() - point.X, source->Width() - sl});
    h = std::min({h, bitmap.Height() - point.Y, source->Height() - st - f.H});
    if (w <= 0 || h <= 0) return;
    const TRows<std::uint8_t> d = RowsOf(bitmap);
    const TRows<const std::uint8_t> s = RowsOf(*source);
    for (int y = 0; y < h; ++y) {
      std::uint8_t* dp = d.At(point.X, point.Y + y);
      const std::uint8_t* sp = s.At(sl, st + y);
      const std::uint8_t* mp = s.At(sl, st + y + f.H);
      for (int x = 0; x < w; ++x, dp += 3, sp += s.Bpp, mp += s.Bpp) {
        if (IsKeyPixel(sp)) continue;
        for (int c = 0; c < 3; ++c)
          dp[c] = mode == 1 ? MaskBlendByte(dp[c], sp[c], mp[c])
                            : MaskBlendLightByte(dp[c], sp[c], mp[c]);
      }
    }
    return;
  }
  if (mask.Image) {
    CopyRectWithKey(bitmap, *source, point.X, point.Y, KeyColor, Inclusive(src));
  } else if (mode == 1) {
    CopyRectWithBackground(bitmap, *source, point.X, point.Y, false, BackgroundInfo{}, KeyColor,
                           Inclusive(src));
  } else {
    BlendBitmapRect(bitmap, point.X, point.Y, KeyColor, 0.5, Inclusive(src), *source);
  }
}

TRect DrawTexture(TBitmap& bitmap, TRect rect, const TBitmap* ownBitmap, int mode,
                  const TsMaskData& mask) {
  if (rect.IsEmpty() || bitmap.Empty()) return AllPainted;
  if (bitmap.PixelFormat() != TPixelFormat::pf24bit) return rect;
  const TRect clipRect = rect.Intersect(TRect{0, 0, bitmap.Width(), bitmap.Height()});
  const TRegion clip(clipRect);
  auto tileOver = [&](const TBitmap& src, const TRect& tile, const TRect& area) {
    TileCopy(bitmap, area, tile, clipRect, src);
  };

  if (ownBitmap && !ownBitmap->Empty()) {
    tileOver(*ownBitmap, TRect{0, 0, ownBitmap->Width(), ownBitmap->Height()}, rect);
    return AllPainted;
  }
  const TBitmap* source = MaskSourceBitmap(mask);
  if (!source) return rect;
  // The tile is what of R exists in the bitmap; with nothing there the caller
  // fills the whole rectangle.
  const TRect tile = mask.R.Intersect(TRect{0, 0, source->Width(), source->Height()});
  if (tile.IsEmpty()) return rect;
  const int tw = tile.Width(), th = tile.Height();
  auto stretchTo = [&](const TRect& d) {
    StretchBitmapRect(bitmap, d.Left, d.Top, d.Width(), d.Height(), *source, tile.Left, tile.Top,
                      tw, th, TStretchMode::Halftone, clip);
  };
  const int L = rect.Left, T = rect.Top, R = rect.Right, B = rect.Bottom;
  auto rest = [](const TRect& r) { return r.IsEmpty() ? AllPainted : r; };

  switch (mode) {
    case tmTile:
      tileOver(*source, tile, rect);
      return AllPainted;
    case tmStretch:
      stretchTo(rect);
      return AllPainted;
    case tmTopRow:
      tileOver(*source, tile, TRect{L, T, R, std::min(B, T + th)});
      return rest(TRect{L, T + th, R, B});
    case tmLeftColumn:
      tileOver(*source, tile, TRect{L, T, std::min(R, L + tw), B});
      return rest(TRect{L + tw, T, R, B});
    case tmStretchTop:
      stretchTo(TRect{L, T, R, T + th});
      return rest(TRect{L, T + th, R, B});
    case tmStretchLeft:
      stretchTo(TRect{L, T, L + tw, B});
      return rest(TRect{L + tw, T, R, B});
    case tmBottomRow: {
      // Tiles are placed from the row's own top, so the bottom edge shows whole tiles.
      tileOver(*source, tile, TRect{L, B - th, R, B});
      return rest(TRect{L, T, R, B - th});
    }
    default:
      tileOver(*source, tile, TRect{R - tw, T, R, B});
      return rest(TRect{L, T, R - tw, B});
  }
}

void CopyMaskedTile(TRect destRect, TRect sourceRect, TBitmap& bitmap, const TsMaskData& mask,
                    BackgroundInfo background) {
  if (const TBitmap* source = MaskSourceBitmap(mask))
    CopyMaskedPiece(destRect, sourceRect, bitmap, mask, true, background, *source);
}

TRect TileMaskedTexture(TBitmap& bitmap, TRect rect, BackgroundInfo background, int mode,
                        const TsMaskData& mask) {
  const TMaskFrame f = TMaskFrame::Of(mask);
  if (!f.Valid || mask.MaskType < 1 || !MaskSourceBitmap(mask)) return rect;
  if (bitmap.PixelFormat() != TPixelFormat::pf24bit || bitmap.Empty()) return rect;
  const TRect clip = rect.Intersect(TRect{0, 0, bitmap.Width(), bitmap.Height()});
  if (clip.IsEmpty()) return AllPainted;
  const TRect tile = Bounds(mask.R.Left, mask.R.Top, f.W, f.H);
  auto place = [&](const TRect& d) {
    TRect dd = d, ss = Bounds(tile.Left, tile.Top, d.Width(), d.Height());
    if (ClipPair(dd, ss, clip)) CopyMaskedTile(dd, ss, bitmap, mask, background);
  };

  if (mode == tmTile) {
    // The last row of tiles is cut at the bottom edge like the last column,
    // so that no stale pixels are left under a result of "all painted".
    TileRunWithin(rect.Top, rect.Bottom, f.H, clip.Top, clip.Bottom, [&](int y, int h) {
      TileRunWithin(rect.Left, rect.Right, f.W, clip.Left, clip.Right,
                    [&](int x, int w) { place(Bounds(x, y, w, h)); });
    });
    return AllPainted;
  }
  if (mode != tmWholeTiles) return rect;

  // Only whole tiles; the strips right of and below them show what lies
  // behind, or the fill colour. Every tile that fits whole is placed, also
  // the last one of a rectangle that is an exact multiple of the tile (a
  // rectangle one tile wide gets its tile rather than only what is behind).
  const int cols = std::max(rect.Width() / f.W, 0), rows = std::max(rect.Height() / f.H, 0);
  // Only the tiles that meet the bitmap are visited.
  auto firstTile = [](int clipStart, int start, int size, int count) {
    return int(std::clamp<std::int64_t>((std::int64_t(clipStart) - start) / size, 0, count));
  };
  const int i0 = firstTile(clip.Left, rect.Left, f.W, cols);
  const int j0 = firstTile(clip.Top, rect.Top, f.H, rows);
  for (int i = i0; i < cols && rect.Left + std::int64_t(i) * f.W < clip.Right; ++i)
    for (int j = j0; j < rows && rect.Top + std::int64_t(j) * f.H < clip.Bottom; ++j)
      place(Bounds(rect.Left + i * f.W, rect.Top + j * f.H, f.W, f.H));
  const int xEnd = rect.Left + cols * f.W, yEnd = rect.Top + rows * f.H;
  const TRect strips[2] = {TRect{xEnd, rect.Top, rect.Right, rect.Bottom},
                           TRect{rect.Left, yEnd, xEnd, rect.Bottom}};
  const TBackReader back(background);
  const TRows<std::uint8_t> d = RowsOf(bitmap);
  for (const TRect& strip : strips) {
    const TRect s = strip.Intersect(clip);
    if (s.IsEmpty()) continue;
    for (int y = s.Top; y < s.Bottom; ++y) {
      for (int x = s.Left; x < s.Right; ++x) {
        if (back.Ready) {
          if (const std::uint8_t* bp = back.Behind(x, y)) {
            std::uint8_t* dp = d.At(x, y);
            dp[0] = bp[0], dp[1] = bp[1], dp[2] = bp[2];
          }
        } else {
          // Without a fill colour this writes the key colour itself, so the
          // strips never keep stale pixels and later steps can recognise them.
          PutColor(d.At(x, y), KeyFillColor);
        }
      }
    }
  }
  return AllPainted;
}

void PaintGlyph(const TBitmap& glyph, TBitmap& dest, TRect destRect, bool down, int blend,
                int state, TsDisabledKind disabledKind, bool greyWhenNormal, bool enabled,
                int glyphCount) {
  if (glyph.Empty() || dest.Empty() || dest.PixelFormat() != TPixelFormat::pf24bit) return;
  // A 24-bit working copy, so that greying never touches the caller's picture.
  TBitmap work(glyph.Width(), glyph.Height());
  CopyBitmapRect(work, 0, 0, glyph.Width(), glyph.Height(), glyph, 0, 0,
                 TRegion(TRect{0, 0, glyph.Width(), glyph.Height()}));
  const double fraction = blend / 100.0;
  const int x = destRect.Left, y = destRect.Top;
  const int bottom = work.Height() - 1;

  if (glyphCount <= 1) {
    const TColor key = work.GetPixel(0, bottom);
    if (enabled) {
      if (state == 0 && greyWhenNormal) GreyBitmap(work);
      if (state != 0 || blend < 1) {
        CopyBitmapWithKey(dest, work, x, y, key);
      } else {
        // The source rectangle is inclusive: the glyph's size of destRect
        // covers its last column and row too.
        BlendBitmapRect(dest, x, y, key, fraction, TRect{0, 0, destRect.Width(), destRect.Height()},
                        work);
      }
    } else {
      if (disabledKind & dkGrayed) GreyBitmap(work);
      if (disabledKind & dkBlended) {
        BlendBitmapRect(dest, x, y, key, 0.5, TRect{0, 0, work.Width() - 1, bottom}, work);
      } else {
        CopyBitmapWithKey(dest, work, x, y, key);
      }
    }
    return;
  }

  const int gw = work.Width() / glyphCount;
  if (gw < 1) return;
  int index = 0;
  if (!enabled) {
    index = 1;
  } else if (state == 1) {
    index = glyphCount >= 5 ? 4 : 0;
  } else if (state == 2) {
    index = (down && glyphCount >= 4) ? 3 : (glyphCount >= 3 ? 2 : 0);
  }
  const TRect src{index * gw, 0, (index + 1) * gw - 1, bottom};
  if (!enabled && state == 0 && blend > 0) {
    BlendBitmapRect(dest, x, y, work.GetPixel(0, bottom), fraction, src, work);
  } else {
    const TColor key = work.GetPixel(enabled ? index * gw : 0, bottom);
    CopyRectWithBackground(dest, work, x, y, false, BackgroundInfo{}, key, src);
  }
}

void CollectKeyRuns(std::vector<TRect>& rects, int formWidth, const TsMaskData& mask,
                    bool bottomEdge, int y0) {
  const TBitmap* source = MaskSourceBitmap(mask);
  const TMaskFrame f = TMaskFrame::Of(mask);
  if (!source || !f.Valid) return;
  const int band = bottomEdge ? mask.WB : mask.WT;
  if (band <= 0) return;
  const int top = bottomEdge ? mask.R.Top + f.H - band : mask.R.Top;
  if (top < 0 || top + band > source->Height()) return;  // the bitmap is too low for the band
  const TRows<const std::uint8_t> s = RowsOf(*source);
  const int fx = mask.R.Left;

  // One part of a row: columns [from, from + count) of the frame; x of a run
  // start is xBase + column within the frame.
  auto scan = [&](int row, int from, int count, int xBase) {
    int runStart = -1;
    for (int c = from; c <= from + count; ++c) {
      const int sx = fx + c;
      const bool key = c < from + count && sx >= 0 && sx < s.W && IsKeyPixel(s.At(sx, top + row));
      if (key && runStart < 0) runStart = c;
      if (!key && runStart >= 0) {
        rects.push_back(TRect{xBase + runStart, y0 + row, xBase + c, y0 + row + 1});
        runStart = -1;
      }
    }
  };
  for (int row = 0; row < band; ++row) {
    if (mask.WL > 0) scan(row, 0, std::min<int>(mask.WL, f.W), 0);
    if (mask.WR > 0) {
      const int wr = std::min<int>(mask.WR, f.W);
      scan(row, f.W - wr, wr, formWidth - f.W);
    }
  }
}

}  // namespace vm
