// ChainSkips: walks with skips end where walks step by step end, and walks
// over places walked before take a small share of the steps.
#include "data/legacy/rescue/chain_skips.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

// Places 0 to `size`: each leads 1 to 5 places on, except where `breaks` says it breaks.
std::optional<size_t> step(size_t place, size_t size, size_t breaks) {
  if (place >= size || (breaks > 0 && place % breaks == breaks - 1)) return std::nullopt;
  return place + 1 + (place * 7) % 5;
}

std::optional<size_t> plainWalk(size_t from, int64_t steps, size_t bound, size_t size, size_t breaks) {
  size_t at = from;
  for (int64_t i = 0; i < steps; ++i) {
    if (at >= bound) return std::nullopt;
    const std::optional<size_t> next = step(at, size, breaks);
    if (!next) return std::nullopt;
    at = *next;
  }
  return at;
}

TEST(ChainSkipsTest, HandMadeWalks) {
  // 0 -> 3 -> 5 -> 9, which breaks.
  auto next = [](size_t place) -> std::optional<size_t> {
    if (place == 0) return 3;
    if (place == 3) return 5;
    if (place == 5) return 9;
    return std::nullopt;
  };
  struct Case {
    size_t from;
    int64_t steps;
    size_t bound;
    std::optional<size_t> end;
  };
  const Case cases[] = {
      {0, 0, 0, 0},               // no step: where it starts, whatever the bound
      {0, 2, 100, 5},             //
      {0, 3, 9, 9},               // the last step may end at the bound
      {0, 3, 8, 9},               // and beyond it
      {0, 3, 5, std::nullopt},    // but no step starts there
      {0, 4, 100, std::nullopt},  // the chain breaks at 9
      {3, 1, 4, 5},
  };
  ChainSkips skips(next);
  for (const Case& c : cases) {
    EXPECT_EQ(skips.walk(c.from, c.steps, c.bound), c.end) << c.from << " " << c.steps << " " << c.bound;
  }
}

TEST(ChainSkipsTest, WalksWithSkipsEndWhereWalksStepByStepEnd) {
  struct Case {
    size_t size;
    size_t breaks;  // every this many places the chain breaks; 0: never
  };
  for (const Case& c : {Case{3000, 0}, Case{3000, 701}, Case{3000, 53}}) {
    ChainSkips skips([&](size_t place) { return step(place, c.size, c.breaks); });
    for (size_t from = 0; from < c.size; from += 7) {
      for (const int64_t steps : {int64_t{0}, int64_t{1}, int64_t{17}, int64_t{300}, int64_t{2000}}) {
        for (const size_t bound : {c.size, from + 400, from + 1}) {
          ASSERT_EQ(skips.walk(from, steps, bound), plainWalk(from, steps, bound, c.size, c.breaks))
              << "size " << c.size << " breaks " << c.breaks << " from " << from << " steps " << steps
              << " bound " << bound;
        }
      }
    }
  }
}

TEST(ChainSkipsTest, WalksOverPlacesWalkedBeforeTakeFewSteps) {
  const size_t size = 20000;
  ChainSkips skips([&](size_t place) { return step(place, size, 0); });
  // The places of the chain from 0, then a walk from each to the chain's end.
  std::vector<std::pair<size_t, int64_t>> places;
  size_t end = 0;
  for (; end < size; end = *step(end, size, 0)) places.emplace_back(end, 0);
  for (size_t i = 0; i < places.size(); ++i) places[i].second = static_cast<int64_t>(places.size() - i);
  int64_t plain = 0;
  for (const auto& [from, steps] : places) {
    ASSERT_EQ(skips.walk(from, steps, size), std::optional<size_t>(end));
    plain += steps;
  }
  // Step by step these walks ask some 32 million places; with skips a few dozen each.
  EXPECT_LT(skips.asked(), plain / 50);
  EXPECT_LT(skips.asked(), static_cast<int64_t>(places.size()) * 100);
}

}  // namespace
