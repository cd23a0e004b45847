// Counting names in a bounded memory, for voskodb stats: how many distinct
// artists a collection names and which ten appear on the most carriers,
// whatever the number and the length of the names.
//
// A NameTally counts names by a 128-bit hash of their bytes (NameKey), 24
// bytes a name however long it is, and holds at most kMaxKeys of them (12
// MB): a collection with more distinct names is counted in slices, each
// slice the names whose key falls in it, one pass over the collection per
// slice. Two names sharing a key would be counted as one; with 128 bits
// that takes some 2^64 distinct names to become likely.
//
// The names themselves are read on a second pass over each slice: of the
// names whose keys' counts may be among the ten highest, those above the
// tenth count and the smallest ten of those at it are kept and counted by
// their bytes. A name whose own count differs from its key's tells that
// two names shared the key (or that the collection changed between the
// passes): NameCounter::count then says so, and the caller counts again
// with another seed, so that the top names are exactly right.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct NameKey {
  uint64_t low = 0;
  uint64_t high = 0;
  bool operator==(const NameKey&) const = default;
};

// The 128-bit hash of `text` (MurmurHash3 x64 128) with `seed`.
NameKey nameKey(std::string_view text, uint64_t seed);

// Counts per key in a table of open addressing that grows as keys come, up
// to `maxKeys` keys.
class NameTally {
 public:
  // 2^19 slots of 24 bytes at most, three quarters of them used.
  static constexpr size_t kMaxKeys = (size_t{1} << 19) / 4 * 3;

  explicit NameTally(size_t maxKeys = kMaxKeys);

  // Counts one more for `key`; false, counting nothing, when the key is new
  // and the tally holds its maximum already.
  bool add(const NameKey& key);
  // The count of `key`, 0 when it was never added.
  uint32_t count(const NameKey& key) const;
  size_t size() const { return size_; }
  // The n-th highest count (n from 1), or the lowest when fewer keys are held.
  // REQUIRES: size() > 0.
  uint32_t nthHighestCount(size_t n) const;

 private:
  struct Slot {
    NameKey key;
    uint32_t count = 0;  // 0: empty
  };
  size_t find(const NameKey& key) const;  // the slot holding key, or the empty one where it would go
  void grow();

  std::vector<Slot> slots_;
  size_t size_ = 0;
  size_t maxKeys_;
};

// A name and the carriers it appears on.
struct NameCount {
  std::string name;
  int64_t carriers = 0;
};

// What stats shows of the names of one field: how many are distinct, and
// the top ones, most carriers first, equal counts in the order of the
// names' bytes.
struct NameSummary {
  int64_t distinct = 0;
  std::vector<NameCount> top;
};

// Counts the names of several fields (artists, labels) over as many passes
// over a collection as its size needs.
class NameCounter {
 public:
  // A name of field `field` (0 ..) on one more carrier.
  using Each = std::function<void(size_t field, std::string_view name)>;
  // One pass over the collection, handing each carrier's names to `each`,
  // a name once per carrier; `restart` when it starts over.
  using Pass = std::function<void(const Each& each, const std::function<void()>& restart)>;

  // `top` names of each of `fields` fields, in slices of at most `maxKeys`
  // names a field.
  NameCounter(size_t fields, size_t top, size_t maxKeys = NameTally::kMaxKeys);

  // Counts with keys of `seed`; false when a name kept counted other than
  // its key. Then `summaries` are not complete.
  bool count(uint64_t seed, const Pass& pass, std::vector<NameSummary>& summaries) const;

 private:
  // The first pass over a slice: its keys into `tallies`; false when one
  // could not hold them.
  bool tally(uint64_t seed, uint64_t slices, uint64_t slice, const Pass& pass,
             std::vector<NameTally>& tallies) const;
  // The second pass: the slice's names that may be among the top join
  // `summaries`; false as count().
  bool takeTop(uint64_t seed, uint64_t slices, uint64_t slice, const Pass& pass,
               const std::vector<NameTally>& tallies, std::vector<NameSummary>& summaries) const;

  size_t fields_;
  size_t top_;
  size_t maxKeys_;
};
