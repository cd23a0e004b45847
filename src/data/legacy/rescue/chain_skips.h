// ChainSkips: where a walk of a given number of steps along a chain of
// places ends, for a rescue that asks this of many walks over the same
// places.
//
// A stored list is such a chain: each element ends where the next may
// begin, so each place leads to at most one next place. To tell whether a
// carrier reads whole at a place, the rescue walks its titles: as many
// steps as the carrier's count says, which must end exactly at its block's
// end. A damaged run can hold many places that look like carriers (a text
// may hold any bytes) whose walks run over the same long list of titles; a
// walk title by title would make the scan of that run take the square of
// its length.
//
// So walks leave skips behind, as a skip list has them: a place is a stop
// of level k with chance 1/16^k, told by a hash of the place alone, and each
// walk notes, for the stops it passes, how many steps lead to the next stop
// of the same level or above. A later walk that reaches a stop jumps from
// stop to stop, on the highest level that does not overshoot, so a walk of
// n steps over places walked before takes some sixteen steps for each level,
// about 16 * log16(n) steps in all, whichever walk went there first.
//
// The skips are kept in a table of fixed size that forgets a skip when
// another takes its slot: the memory is bounded, and a forgotten skip is
// only found again by walking.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// Walks of a given length along a chain of places, sped up by the skips of
// the walks before.
class ChainSkips {
 public:
  // The place after `place`, or none where the chain breaks there. It must
  // give the same answer whenever it is asked, until clear().
  using Next = std::function<std::optional<size_t>(size_t place)>;

  explicit ChainSkips(Next next) : next_(std::move(next)) {}

  // Where `steps` steps from `from` end; none when the chain breaks first or
  // a step would start at or beyond `bound` (a place beyond `bound` can
  // only be reached by the last step).
  std::optional<size_t> walk(size_t from, int64_t steps, size_t bound);
  // Forgets every skip: for when the places lead elsewhere from now on.
  void clear();

  // How many places were asked of `next` so far: what the walks cost.
  int64_t asked() const { return asked_; }

 private:
  struct Skip {
    size_t from = 0;
    size_t to = 0;
    int64_t steps = 0;
    int level = -1;  // -1: an empty slot
  };
  static constexpr int kLevels = 8;
  static constexpr size_t kSlots = size_t{1} << 18;

  static int levelOf(size_t place);
  static size_t slotOf(size_t place, int level);
  const Skip* find(size_t place, int level) const;
  void note(size_t from, size_t to, int64_t steps, int level);

  Next next_;
  std::vector<Skip> skips_;  // made at the first note
  int64_t asked_ = 0;
};
