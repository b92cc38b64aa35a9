#include "platform/gfx/Region.h"

#include <gtest/gtest.h>

#include <bitset>
#include <climits>
#include <ostream>
#include <random>
#include <thread>
#include <utility>

namespace vm {

// Readable failure messages: the rectangle list.
void PrintTo(const TRegion& r, std::ostream* os) {
  *os << "{";
  for (const TRect& x : r.Rects())
    *os << " (" << x.Left << "," << x.Top << ")-(" << x.Right << "," << x.Bottom << ")";
  *os << " }";
}

namespace {

// Brute-force membership over a small grid, the reference for every operation.
bool Covers(const std::vector<TRect>& rects, int x, int y) {
  for (const TRect& r : rects)
    if (r.Contains({x, y})) return true;
  return false;
}

void ExpectCanonical(const TRegion& rgn) {
  const auto& rs = rgn.Rects();
  for (std::size_t i = 0; i < rs.size(); ++i) {
    EXPECT_FALSE(rs[i].IsEmpty());
    for (std::size_t j = i + 1; j < rs.size(); ++j) EXPECT_TRUE(rs[i].Intersect(rs[j]).IsEmpty());
    if (i > 0) {
      const TRect& p = rs[i - 1];
      // Sorted by band, then left; rectangles of one band do not touch.
      EXPECT_TRUE(p.Top < rs[i].Top || (p.Top == rs[i].Top && p.Right < rs[i].Left));
      if (p.Top == rs[i].Top) {
        EXPECT_EQ(p.Bottom, rs[i].Bottom);
      }
    }
  }
}

TEST(Region, OperationsMatchPixelSets) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> coord(0, 12);
  auto randomRects = [&](int n) {
    std::vector<TRect> v;
    for (int i = 0; i < n; ++i) {
      int l = coord(rng), t = coord(rng);
      v.push_back({l, t, l + coord(rng) % 6, t + coord(rng) % 6});
    }
    return v;
  };
  for (int round = 0; round < 200; ++round) {
    const auto ra = randomRects(4), rb = randomRects(3);
    const TRegion a = TRegion::FromRects(ra), b = TRegion::FromRects(rb);
    const TRegion u = TRegion(a).Union(b), i = TRegion(a).Intersect(b), d = TRegion(a).Subtract(b),
                  x = TRegion(a).Xor(b);
    for (const TRegion* r : {&a, &b, &u, &i, &d, &x}) ExpectCanonical(*r);
    for (int y = -1; y < 20; ++y)
      for (int px = -1; px < 20; ++px) {
        const bool ia = Covers(ra, px, y), ib = Covers(rb, px, y);
        ASSERT_EQ(a.Contains(px, y), ia);
        ASSERT_EQ(u.Contains(px, y), ia || ib);
        ASSERT_EQ(i.Contains(px, y), ia && ib);
        ASSERT_EQ(d.Contains(px, y), ia && !ib);
        ASSERT_EQ(x.Contains(px, y), ia != ib);
      }
  }
}

TEST(Region, CanonicalFormMakesEqualityExact) {
  // The same L shape built two ways.
  const TRegion a = TRegion::FromRects({{0, 0, 10, 5}, {0, 5, 4, 10}});
  const TRegion b = TRegion::FromRects({{0, 0, 4, 10}, {4, 0, 10, 5}});
  EXPECT_EQ(a, b);
  EXPECT_EQ(a.Rects().size(), 2u);
  // Touching rectangles merge into one.
  EXPECT_EQ(TRegion::FromRects({{0, 0, 5, 5}, {5, 0, 9, 5}, {0, 5, 9, 7}}),
            TRegion(TRect{0, 0, 9, 7}));
  EXPECT_EQ(TRegion(TRect{0, 0, 9, 7}).Complexity(), SIMPLEREGION);
  EXPECT_EQ(a.Complexity(), COMPLEXREGION);
}

TEST(Region, EmptyBoundsOffsetAndIntersects) {
  TRegion empty;
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_EQ(empty.Complexity(), NULLREGION);
  EXPECT_EQ(empty.Bounds(), TRect{});
  EXPECT_TRUE(TRegion(TRect{5, 5, 5, 9}).IsEmpty());  // zero width
  EXPECT_TRUE(TRegion(TRect{5, 5, 2, 9}).IsEmpty());  // inverted

  TRegion hole(TRect{0, 0, 10, 10});
  hole.Subtract(TRect{3, 3, 7, 7});
  EXPECT_EQ(hole.Rects().size(), 4u);
  EXPECT_EQ(hole.Bounds(), (TRect{0, 0, 10, 10}));
  EXPECT_FALSE(hole.Contains(5, 5));
  EXPECT_FALSE(hole.Intersects({4, 4, 6, 6}));
  EXPECT_TRUE(hole.Intersects({6, 6, 8, 8}));
  // Exclusive right and bottom edges.
  EXPECT_FALSE(hole.Contains(10, 0));
  EXPECT_FALSE(hole.Contains(0, 10));
  hole.Offset(-20, 100);
  EXPECT_EQ(hole.Bounds(), (TRect{-20, 100, -10, 110}));
  EXPECT_TRUE(hole.Contains(-20, 100));
  EXPECT_THROW(TRegion::Combine(hole, hole, 9), std::invalid_argument);
}

// ---------------------------------------------------------------- pixel-set reference
// Regions on a 32 x 32 grid as pixel sets, and the canonical rectangle list a
// pixel set must produce: per row the runs of set pixels; consecutive rows
// with the same runs form one band.
constexpr int kGrid = 32;
using TPixels = std::bitset<kGrid * kGrid>;

TPixels PixelsOf(const TRect& r) {
  TPixels p;
  for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, kGrid); ++y)
    for (int x = std::max(r.Left, 0); x < std::min(r.Right, kGrid); ++x) p.set(y * kGrid + x);
  return p;
}

std::vector<TRect> CanonicalOf(const TPixels& p) {
  std::vector<TRect> out;
  std::vector<std::pair<int, int>> prevRuns;
  std::size_t prevStart = 0;
  for (int y = 0; y <= kGrid; ++y) {
    std::vector<std::pair<int, int>> runs;
    for (int x = 0; y < kGrid && x < kGrid;) {
      if (!p.test(y * kGrid + x)) {
        ++x;
        continue;
      }
      const int l = x;
      while (x < kGrid && p.test(y * kGrid + x)) ++x;
      runs.push_back({l, x});
    }
    if (!prevRuns.empty() && runs == prevRuns) {
      for (std::size_t k = prevStart; k < out.size(); ++k) ++out[k].Bottom;
      continue;
    }
    prevStart = out.size();
    for (auto [l, r] : runs) out.push_back({l, y, r, y + 1});
    prevRuns = std::move(runs);
  }
  return out;
}

TRect BoundsOf(const std::vector<TRect>& rs) {
  if (rs.empty()) return {};
  TRect b = rs.front();
  for (const TRect& r : rs)
    b = {std::min(b.Left, r.Left), std::min(b.Top, r.Top), std::max(b.Right, r.Right),
         std::max(b.Bottom, r.Bottom)};
  return b;
}

// A region with its pixel set, built by random unions and cuts; up to about
// twenty rectangles, so both inline and heap storage are exercised.
struct TSample {
  TRegion Rgn;
  TPixels Px;
};

TSample RandomSample(std::mt19937& rng) {
  std::uniform_int_distribution<int> coord(0, kGrid - 1), size(0, 12), count(0, 9), kind(0, 3);
  TSample s;
  const int n = count(rng);
  for (int i = 0; i < n; ++i) {
    const int l = coord(rng), t = coord(rng);
    const TRect r{l, t, std::min(l + size(rng), kGrid), std::min(t + size(rng), kGrid)};
    if (kind(rng) == 0 && i > 0) {
      s.Rgn.Subtract(r);
      s.Px &= ~PixelsOf(r);
    } else {
      s.Rgn.Union(r);
      s.Px |= PixelsOf(r);
    }
  }
  return s;
}

void ExpectMatches(const TRegion& rgn, const TPixels& px, const char* what) {
  const std::vector<TRect> want = CanonicalOf(px);
  const std::vector<TRect> got(rgn.Rects().begin(), rgn.Rects().end());
  ASSERT_EQ(got, want) << what;
  ASSERT_EQ(rgn.Bounds(), BoundsOf(want)) << what;
  ASSERT_EQ(rgn.IsEmpty(), want.empty()) << what;
}

TEST(Region, RandomCombinationsGiveTheCanonicalListOfTheirPixels) {
  std::mt19937 rng(20261209);
  std::uniform_int_distribution<int> coord(-2, kGrid + 1), size(0, 14);
  for (int round = 0; round < 1000; ++round) {
    const TSample a = RandomSample(rng), b = RandomSample(rng);
    ExpectMatches(a.Rgn, a.Px, "built");
    ExpectMatches(TRegion(a.Rgn).Union(b.Rgn), a.Px | b.Px, "union");
    ExpectMatches(TRegion(a.Rgn).Intersect(b.Rgn), a.Px & b.Px, "intersect");
    ExpectMatches(TRegion(a.Rgn).Subtract(b.Rgn), a.Px & ~b.Px, "subtract");
    ExpectMatches(TRegion(a.Rgn).Xor(b.Rgn), a.Px ^ b.Px, "xor");
    ExpectMatches(TRegion::Combine(a.Rgn, b.Rgn, RGN_DIFF), a.Px & ~b.Px, "combine");

    const int l = coord(rng), t = coord(rng);
    const TRect q{l, t, l + size(rng), t + size(rng)};
    const TPixels qp = PixelsOf(q);
    ExpectMatches(TRegion(a.Rgn).Intersect(q), a.Px & qp, "intersect rect");
    ExpectMatches(TRegion(a.Rgn).Subtract(q), a.Px & ~qp, "subtract rect");
    // The reference knows only the grid.
    ExpectMatches(TRegion(a.Rgn).Union(q.Intersect({0, 0, kGrid, kGrid})), a.Px | qp, "union rect");
    ASSERT_EQ(a.Rgn.Intersects(q), (a.Px & qp).any());
    // A one-rectangle region intersected with a complex one reads only the
    // rows it covers.
    ExpectMatches(TRegion(q).Intersect(a.Rgn), a.Px & qp, "rect intersect");
    // The rows query returns whole bands, and every band meeting the rows.
    const auto rows = a.Rgn.RectsInRows(q.Top, q.Bottom);
    std::size_t meeting = 0;
    for (const TRect& r : a.Rgn.Rects()) meeting += r.Top < q.Bottom && q.Top < r.Bottom;
    ASSERT_EQ(rows.size(), q.Top < q.Bottom ? meeting : 0u);
    for (const TRect& r : rows) ASSERT_TRUE(r.Top < q.Bottom && q.Top < r.Bottom);
    for (int k = 0; k < 8; ++k) {
      const int x = coord(rng), y = coord(rng);
      const bool in = x >= 0 && y >= 0 && x < kGrid && y < kGrid && a.Px.test(y * kGrid + x);
      ASSERT_EQ(a.Rgn.Contains(x, y), in);
    }
    ASSERT_EQ(a.Rgn == b.Rgn, a.Px == b.Px);
  }
}

TEST(Region, CombiningARegionWithItselfOrAnEmptyOne) {
  std::mt19937 rng(5);
  for (int round = 0; round < 200; ++round) {
    const TSample s = RandomSample(rng);
    TRegion r = s.Rgn;
    ExpectMatches(r.Intersect(r), s.Px, "r & r");
    ExpectMatches(r.Union(r), s.Px, "r | r");
    ExpectMatches(r.Intersect(r.Bounds()), s.Px, "r & bounds");
    ExpectMatches(TRegion(r).Subtract(r), TPixels{}, "r - r");
    ExpectMatches(TRegion(r).Xor(r), TPixels{}, "r ^ r");

    const TRegion empty;
    ExpectMatches(TRegion(r).Union(empty), s.Px, "r | 0");
    ExpectMatches(TRegion(empty).Union(r), s.Px, "0 | r");
    ExpectMatches(TRegion(r).Subtract(empty), s.Px, "r - 0");
    ExpectMatches(TRegion(empty).Subtract(r), TPixels{}, "0 - r");
    ExpectMatches(TRegion(r).Xor(empty), s.Px, "r ^ 0");
    ExpectMatches(TRegion(empty).Xor(r), s.Px, "0 ^ r");
    ExpectMatches(TRegion(r).Intersect(empty), TPixels{}, "r & 0");
    ExpectMatches(TRegion(r).Intersect(TRect{4, 4, 4, 9}), TPixels{}, "r & empty rect");
  }
}

TEST(Region, BandsThatEndUpEqualMerge) {
  // Two bands with different columns, cut by a rectangle to the same columns.
  TRegion r = TRegion::FromRects({{0, 0, 10, 4}, {0, 4, 20, 8}});
  ASSERT_EQ(r.Rects().size(), 2u);
  r.Intersect(TRect{2, 2, 8, 6});
  ASSERT_EQ(r.Rects().size(), 1u);
  EXPECT_EQ(r.Rects()[0], (TRect{2, 2, 8, 6}));

  // A hole filled again leaves one rectangle, not five.
  TRegion hole(TRect{0, 0, 30, 30});
  hole.Subtract(TRect{10, 10, 20, 20});
  hole.Union(TRect{10, 10, 20, 20});
  EXPECT_EQ(hole, TRegion(TRect{0, 0, 30, 30}));
  EXPECT_EQ(hole.Rects().size(), 1u);

  // Side by side within a band: the columns touch and become one.
  TRegion row(TRect{0, 0, 5, 3});
  row.Union(TRect{5, 0, 9, 3});
  EXPECT_EQ(row, TRegion(TRect{0, 0, 9, 3}));
  // A band below touching one of the two bands above merges with it only.
  TRegion steps = TRegion::FromRects({{0, 0, 4, 2}, {0, 2, 8, 4}});
  steps.Union(TRect{0, 4, 8, 6});
  EXPECT_EQ(steps, TRegion::FromRects({{0, 0, 4, 2}, {0, 2, 8, 6}}));
  EXPECT_EQ(steps.Rects().size(), 2u);
}

bool StoredInside(const TRegion& r) {
  const auto* p = reinterpret_cast<const unsigned char*>(r.Rects().data());
  const auto* o = reinterpret_cast<const unsigned char*>(&r);
  return p >= o && p < o + sizeof(TRegion);
}

TEST(Region, SpillsToTheHeapAndBackKeepingCopiesAndMovesExact) {
  // A checkerboard of 4 x 4 cells on a 6-pixel pitch: 16 rectangles.
  TRegion board;
  TPixels px;
  for (int i = 0; i < 16; ++i) {
    const TRect cell = Bounds((i % 4) * 6, (i / 4) * 6 + (i % 2) * 3, 3, 3);
    board.Union(cell);
    px |= PixelsOf(cell);
  }
  ExpectMatches(board, px, "board");
  ASSERT_GT(board.Rects().size(), std::size_t(TRegion::kInlineRects));
  EXPECT_FALSE(StoredInside(board));
  EXPECT_TRUE(StoredInside(TRegion(TRect{0, 0, 5, 5})));

  TRegion copy = board;
  EXPECT_EQ(copy, board);
  TRegion small = TRegion::FromRects({{0, 0, 2, 2}, {4, 4, 6, 6}});
  TRegion smallCopy = small;
  EXPECT_TRUE(StoredInside(smallCopy));
  copy = small;  // a heap region given small contents
  EXPECT_EQ(copy, small);
  small = board;  // an inline region given large contents
  EXPECT_EQ(small, board);
  TRegion moved = std::move(small);
  EXPECT_EQ(moved, board);
  EXPECT_TRUE(small.IsEmpty());
  small = std::move(smallCopy);  // a moved-from region takes new contents
  EXPECT_EQ(small, copy);
  moved = std::move(moved);
  EXPECT_EQ(moved, board);
  TRegion& self = copy;
  copy = self;
  EXPECT_EQ(copy, small);

  // Shrinking to a few rectangles and growing again keeps every result exact.
  TRegion r = board;
  r.Intersect(TRect{0, 0, 9, 9});
  ExpectMatches(r, px & PixelsOf({0, 0, 9, 9}), "shrunk");
  r.Union(board);
  ExpectMatches(r, px, "grown");
  r.Clear();
  EXPECT_TRUE(r.IsEmpty());
  EXPECT_EQ(r.Bounds(), TRect{});
  r.Union(TRect{1, 1, 2, 2});
  ExpectMatches(r, PixelsOf({1, 1, 2, 2}), "after clear");
}

TEST(Region, CoordinatesAtTheEndsOfTheRange) {
  const TRect all{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  TRegion r(all);
  r.Subtract(TRect{-5, -5, 5, 5});
  EXPECT_EQ(r.Rects().size(), 4u);
  EXPECT_EQ(r.Bounds(), all);
  EXPECT_FALSE(r.Contains(0, 0));
  EXPECT_TRUE(r.Contains(INT_MIN, INT_MIN));
  EXPECT_TRUE(r.Contains(INT_MAX - 1, INT_MAX - 1));
  r.Union(TRect{-5, -5, 5, 5});
  EXPECT_EQ(r, TRegion(all));
  EXPECT_EQ(TRegion(all).Xor(TRegion(TRect{0, INT_MIN, INT_MAX, INT_MAX})),
            TRegion(TRect{INT_MIN, INT_MIN, 0, INT_MAX}));

  // Moving past the end of the range loses what would lie beyond it instead
  // of wrapping around to the other side.
  TRegion edge =
      TRegion::FromRects({{INT_MAX - 10, 0, INT_MAX - 6, 4}, {INT_MAX - 4, 0, INT_MAX, 4}});
  edge.Offset(5, 0);
  EXPECT_EQ(edge, TRegion(TRect{INT_MAX - 5, 0, INT_MAX - 1, 4}));
  TRegion low(TRect{INT_MIN + 2, INT_MIN + 2, INT_MIN + 8, INT_MIN + 8});
  low.Offset(-4, -5);
  EXPECT_EQ(low, TRegion(TRect{INT_MIN, INT_MIN, INT_MIN + 4, INT_MIN + 3}));
  low.Offset(0, -10);
  EXPECT_TRUE(low.IsEmpty());
  // Columns cut away can leave two bands alike; they merge.
  TRegion bands = TRegion::FromRects({{0, 0, 4, 2}, {INT_MAX - 2, 0, INT_MAX, 2}, {0, 2, 4, 4}});
  ASSERT_EQ(bands.Rects().size(), 3u);
  bands.Offset(3, 0);
  EXPECT_EQ(bands, TRegion(TRect{3, 0, 7, 4}));
}

// Regions combined by an object that a thread destroys after the combination
// buffer's own clean-up has run: the combination must not use the freed
// buffer (the sanitizers catch it) and must still be right.
bool gLateResultRight = false;

TRegion Comb(int n) {
  TRegion r;
  for (int i = 0; i < n; ++i) r.Union(Bounds(i * 4, i % 3, 2, 5));
  return r;
}

struct TLateUser {
  ~TLateUser() {
    TRegion r = Comb(40);
    r.Subtract(Comb(40));
    TRegion u = Comb(40);
    u.Union(TRect{0, 0, 200, 20});
    gLateResultRight = r.IsEmpty() && u == TRegion(TRect{0, 0, 200, 20});
  }
};

TEST(Region, CombinesInObjectsDestroyedAtThreadExit) {
  std::thread([] {
    thread_local TLateUser user;  // constructed first, destroyed last
    (void)&user;
    TRegion r = Comb(30);
    r.Xor(Comb(31));  // the thread's buffer comes into use here
    EXPECT_EQ(r, TRegion(Bounds(120, 0, 2, 5)));
  }).join();
  EXPECT_TRUE(gLateResultRight);
}

}  // namespace
}  // namespace vm
