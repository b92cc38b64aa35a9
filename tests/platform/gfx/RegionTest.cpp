#include "platform/gfx/Region.h"

#include <gtest/gtest.h>

#include <random>

namespace vm {
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

}  // namespace
}  // namespace vm
