#include "data/legacy/rescue/chain_skips.h"

#include <algorithm>
#include <array>
#include <bit>

namespace {

// A place's bits well mixed (the finaliser of MurmurHash3), so that stops
// fall evenly whatever the lengths of the elements.
uint64_t mix(uint64_t x) {
  x ^= x >> 33;
  x *= 0xFF51AFD7ED558CCDull;
  x ^= x >> 33;
  x *= 0xC4CEB9FE1A85EC53ull;
  x ^= x >> 33;
  return x;
}

// Four bits a level: a stop of level k or above comes once in 16^k places.
constexpr int kBitsPerLevel = 4;

}  // namespace

int ChainSkips::levelOf(size_t place) {
  return std::min(kLevels, std::countr_zero(mix(place)) / kBitsPerLevel);
}

size_t ChainSkips::slotOf(size_t place, int level) {
  return static_cast<size_t>(mix(place * kLevels + static_cast<size_t>(level))) & (kSlots - 1);
}

const ChainSkips::Skip* ChainSkips::find(size_t place, int level) const {
  if (skips_.empty()) return nullptr;
  const Skip& skip = skips_[slotOf(place, level)];
  return skip.level == level && skip.from == place ? &skip : nullptr;
}

void ChainSkips::note(size_t from, size_t to, int64_t steps, int level) {
  if (skips_.empty()) skips_.resize(kSlots);
  skips_[slotOf(from, level)] = {from, to, steps, level};
}

void ChainSkips::clear() { skips_.clear(); }

std::optional<size_t> ChainSkips::walk(size_t from, int64_t steps, size_t bound) {
  // The last stop of each level (index: level - 1) passed on this walk with
  // nothing of that level skipped since, and the steps taken up to it.
  struct Open {
    size_t place = 0;
    int64_t done = -1;  // -1: none
  };
  std::array<Open, kLevels> open{};
  size_t at = from;
  int64_t done = 0;
  // Arriving at a place: skips to it from the stops before, and it a stop.
  auto arrive = [&](size_t place) {
    const int level = levelOf(place);
    for (int k = 1; k <= level; ++k) {
      Open& o = open[static_cast<size_t>(k - 1)];
      if (o.done >= 0) note(o.place, place, done - o.done, k);
      o = {place, done};
    }
  };
  arrive(at);
  while (done < steps) {
    const Skip* jump = nullptr;
    for (int k = levelOf(at); k >= 1 && jump == nullptr; --k) {
      const Skip* skip = find(at, k);
      // Only the last step may end beyond the bound; a skip's places on the
      // way lie before its end.
      if (skip != nullptr && skip->steps <= steps - done && skip->to <= bound) jump = skip;
    }
    if (jump != nullptr) {
      // Stops of lower levels were passed unseen: their skips are not known.
      for (int k = 1; k < jump->level; ++k) open[static_cast<size_t>(k - 1)].done = -1;
      at = jump->to;
      done += jump->steps;
      arrive(at);
      continue;
    }
    if (at >= bound) return std::nullopt;
    ++asked_;
    const std::optional<size_t> next = next_(at);
    if (!next) return std::nullopt;
    at = *next;
    ++done;
    arrive(at);
  }
  return at;
}
