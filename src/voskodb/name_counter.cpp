#include "voskodb/name_counter.h"

#include <algorithm>
#include <map>
#include <optional>

namespace {

constexpr uint64_t kC1 = 0x87c37b91114253d5ULL;
constexpr uint64_t kC2 = 0x4cf5ad432745937fULL;

constexpr uint64_t rotl(uint64_t x, int r) { return (x << r) | (x >> (64 - r)); }

constexpr uint64_t fmix(uint64_t k) {
  k ^= k >> 33;
  k *= 0xff51afd7ed558ccdULL;
  k ^= k >> 33;
  k *= 0xc4ceb9fe1a85ec53ULL;
  return k ^ (k >> 33);
}

// `count` bytes from `p`, least significant first.
uint64_t littleEndian(const char* p, size_t count) {
  uint64_t value = 0;
  for (size_t i = count; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(p[i]);
  return value;
}

uint64_t mixFirst(uint64_t k) { return rotl(k * kC1, 31) * kC2; }
uint64_t mixSecond(uint64_t k) { return rotl(k * kC2, 33) * kC1; }

constexpr size_t kFirstSlots = 1024;

// Which of `slices` slices a key falls in: its high half decides, a
// tally places keys by their low half.
uint64_t sliceOf(const NameKey& key, uint64_t slices) { return key.high % slices; }

// The second pass over a slice: the names whose keys' counts in `tally`
// may be among the `top` highest, counted by their bytes.
class TopNames {
 public:
  // REQUIRES: tally.size() > 0.
  TopNames(const NameTally& tally, size_t top)
      : tally_(tally), top_(top), threshold_(tally.nthHighestCount(top)) {}

  // One more carrier of `name`, whose key is `key`.
  void add(std::string_view name, const NameKey& key) {
    const uint32_t keyCount = tally_.count(key);
    if (keyCount < threshold_) return;
    Names& kept = keyCount > threshold_ ? above_ : tied_;
    auto it = kept.find(name);
    if (it == kept.end()) {
      // Of the names tied at the threshold only the smallest can be listed.
      // A name turned away or dropped is larger than every name kept and
      // stays so, so that each name kept is counted from its first carrier.
      if (&kept == &tied_ && tied_.size() == top_) {
        if (name >= tied_.rbegin()->first) return;
        tied_.erase(std::prev(tied_.end()));
      }
      it = kept.emplace(std::string(name), Kept{0, keyCount}).first;
    }
    ++it->second.carriers;
  }

  // False when a name kept counted other than its key.
  bool verified() const {
    for (const Names* kept : {&above_, &tied_}) {
      for (const auto& [name, k] : *kept) {
        if (k.carriers != k.keyCount) return false;
      }
    }
    return true;
  }

  void appendTo(std::vector<NameCount>& names) const {
    for (const Names* kept : {&above_, &tied_}) {
      for (const auto& [name, k] : *kept) names.push_back({name, k.carriers});
    }
  }

 private:
  struct Kept {
    int64_t carriers = 0;
    uint32_t keyCount = 0;
  };
  using Names = std::map<std::string, Kept, std::less<>>;

  const NameTally& tally_;
  const size_t top_;
  const uint32_t threshold_;  // the top-th highest count
  // The names above the threshold, and the smallest of those at it.
  Names above_, tied_;
};

// `names` most carriers first, equal counts in the order of their bytes, cut to `top`.
void rank(std::vector<NameCount>& names, size_t top) {
  std::sort(names.begin(), names.end(), [](const NameCount& a, const NameCount& b) {
    return a.carriers != b.carriers ? a.carriers > b.carriers : a.name < b.name;
  });
  if (names.size() > top) names.resize(top);
}

}  // namespace

NameKey nameKey(std::string_view text, uint64_t seed) {
  uint64_t h1 = seed, h2 = seed;
  const size_t blocks = text.size() / 16;
  for (size_t i = 0; i < blocks; ++i) {
    const char* block = text.data() + i * 16;
    h1 ^= mixFirst(littleEndian(block, 8));
    h1 = (rotl(h1, 27) + h2) * 5 + 0x52dce729;
    h2 ^= mixSecond(littleEndian(block + 8, 8));
    h2 = (rotl(h2, 31) + h1) * 5 + 0x38495ab5;
  }
  const char* tail = text.data() + blocks * 16;
  const size_t rest = text.size() % 16;
  if (rest > 8) h2 ^= mixSecond(littleEndian(tail + 8, rest - 8));
  if (rest > 0) h1 ^= mixFirst(littleEndian(tail, std::min<size_t>(rest, 8)));
  h1 ^= text.size();
  h2 ^= text.size();
  h1 += h2;
  h2 += h1;
  h1 = fmix(h1);
  h2 = fmix(h2);
  h1 += h2;
  h2 += h1;
  return {h1, h2};
}

NameTally::NameTally(size_t maxKeys) : slots_(kFirstSlots), maxKeys_(maxKeys) {}

size_t NameTally::find(const NameKey& key) const {
  const size_t mask = slots_.size() - 1;
  size_t i = key.low & mask;
  while (slots_[i].count != 0 && !(slots_[i].key == key)) i = (i + 1) & mask;
  return i;
}

void NameTally::grow() {
  std::vector<Slot> old(slots_.size() * 2);
  old.swap(slots_);
  for (const Slot& s : old) {
    if (s.count != 0) slots_[find(s.key)] = s;
  }
}

bool NameTally::add(const NameKey& key) {
  size_t i = find(key);
  if (slots_[i].count == 0) {
    if (size_ >= maxKeys_) return false;
    if ((size_ + 1) * 4 > slots_.size() * 3) {
      grow();
      i = find(key);
    }
    slots_[i].key = key;
    ++size_;
  }
  ++slots_[i].count;
  return true;
}

uint32_t NameTally::count(const NameKey& key) const { return slots_[find(key)].count; }

uint32_t NameTally::nthHighestCount(size_t n) const {
  std::vector<uint32_t> counts;
  counts.reserve(size_);
  for (const Slot& s : slots_) {
    if (s.count != 0) counts.push_back(s.count);
  }
  const size_t at = std::min(n, counts.size()) - 1;
  std::nth_element(counts.begin(), counts.begin() + static_cast<std::ptrdiff_t>(at), counts.end(),
                   std::greater<>());
  return counts[at];
}

NameCounter::NameCounter(size_t fields, size_t top, size_t maxKeys)
    : fields_(fields), top_(top), maxKeys_(maxKeys) {}

bool NameCounter::count(uint64_t seed, const Pass& pass, std::vector<NameSummary>& summaries) const {
  // When a slice overflows, four times as many start again: that wastes
  // fewer passes than doubling on a collection many times too large.
  for (uint64_t slices = 1;; slices *= 4) {
    summaries.assign(fields_, NameSummary());
    bool full = false;
    for (uint64_t slice = 0; slice < slices && !full; ++slice) {
      std::vector<NameTally> tallies(fields_, NameTally(maxKeys_));
      full = !tally(seed, slices, slice, pass, tallies);
      if (!full && !takeTop(seed, slices, slice, pass, tallies, summaries)) return false;
    }
    if (!full) return true;
  }
}

bool NameCounter::tally(uint64_t seed, uint64_t slices, uint64_t slice, const Pass& pass,
                        std::vector<NameTally>& tallies) const {
  bool full = false;
  pass(
      [&](size_t field, std::string_view name) {
        const NameKey key = nameKey(name, seed);
        if (sliceOf(key, slices) == slice && !tallies[field].add(key)) full = true;
      },
      [&] {
        tallies.assign(fields_, NameTally(maxKeys_));
        full = false;
      });
  return !full;
}

bool NameCounter::takeTop(uint64_t seed, uint64_t slices, uint64_t slice, const Pass& pass,
                          const std::vector<NameTally>& tallies, std::vector<NameSummary>& summaries) const {
  std::vector<std::optional<TopNames>> tops(fields_);
  auto start = [&] {
    for (size_t f = 0; f < fields_; ++f) {
      if (tallies[f].size() > 0) tops[f].emplace(tallies[f], top_);
    }
  };
  start();
  pass(
      [&](size_t field, std::string_view name) {
        const NameKey key = nameKey(name, seed);
        // A name not tallied (the collection changed) counts for nothing.
        if (sliceOf(key, slices) == slice && tops[field]) tops[field]->add(name, key);
      },
      start);
  for (size_t f = 0; f < fields_; ++f) {
    if (!tops[f]) continue;
    if (!tops[f]->verified()) return false;
    summaries[f].distinct += static_cast<int64_t>(tallies[f].size());
    tops[f]->appendTo(summaries[f].top);
    rank(summaries[f].top, top_);
  }
  return true;
}
