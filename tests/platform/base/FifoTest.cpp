// The message queues' first-in, first-out list: against std::deque over a
// long random run of every operation the queues use, including the moments
// its taken items are dropped; and room kept once grown.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <random>

#include "platform/base/Fifo.h"

namespace vm {
namespace {

TEST(Fifo, FollowsADequeThroughEveryOperation) {
  TFifo<int> fifo;
  std::deque<int> model;
  std::mt19937 rng(7);
  int next = 0;
  for (int step = 0; step < 20000; ++step) {
    const unsigned op = rng() % 10;
    // Bursts of pushes and pops make the list grow past the point where
    // taken items are dropped, and drain completely now and then.
    if (op < 4 || model.empty()) {
      const int n = int(rng() % 90) + 1;
      for (int i = 0; i < n; ++i) {
        fifo.push_back(next);
        model.push_back(next++);
      }
    } else if (op < 7) {
      const std::size_t n = std::min<std::size_t>(model.size(), rng() % 100 + 1);
      for (std::size_t i = 0; i < n; ++i) {
        ASSERT_EQ(fifo.front(), model.front());
        fifo.pop_front();
        model.pop_front();
      }
    } else if (op == 7) {
      // Erasing the first item and one in the middle, as a filtered search does.
      const std::size_t at = rng() % model.size();
      auto it = fifo.erase(fifo.begin() + std::ptrdiff_t(at));
      auto mit = model.erase(model.begin() + std::ptrdiff_t(at));
      ASSERT_EQ(it - fifo.begin(), mit - model.begin());
      if (mit != model.end()) {
        ASSERT_EQ(*it, *mit);
      }
    } else if (op == 8) {
      // Inserting a run in front, as translated characters go in.
      auto pos = fifo.begin();
      auto mpos = model.begin();
      for (int i = 0; i < 3; ++i) {
        pos = fifo.insert(pos, -next) + 1;
        mpos = model.insert(mpos, -next) + 1;
        ++next;
      }
    } else {
      // Removing by a condition, as killing a timer drops its messages.
      const int mod = int(rng() % 5) + 2;
      fifo.erase(std::remove_if(fifo.begin(), fifo.end(), [&](int v) { return v % mod == 0; }),
                 fifo.end());
      model.erase(std::remove_if(model.begin(), model.end(), [&](int v) { return v % mod == 0; }),
                  model.end());
    }
    ASSERT_EQ(fifo.size(), model.size()) << "step " << step;
    ASSERT_EQ(fifo.empty(), model.empty());
    ASSERT_TRUE(std::equal(fifo.begin(), fifo.end(), model.begin(), model.end()))
        << "step " << step;
  }
  fifo.clear();
  EXPECT_TRUE(fifo.empty());
  EXPECT_EQ(fifo.begin(), fifo.end());
}

TEST(Fifo, KeepsItsRoomWhenDrainedAndRefilled) {
  TFifo<std::uint64_t> fifo;
  for (int i = 0; i < 40; ++i) fifo.push_back(std::uint64_t(i));
  const std::uint64_t* room = &fifo.front();
  for (int round = 0; round < 100; ++round) {
    while (!fifo.empty()) fifo.pop_front();
    for (int i = 0; i < 40; ++i) fifo.push_back(std::uint64_t(round + i));
    ASSERT_EQ(&fifo.front(), room) << "round " << round;
    ASSERT_EQ(fifo.front(), std::uint64_t(round));
  }
}

}  // namespace
}  // namespace vm
