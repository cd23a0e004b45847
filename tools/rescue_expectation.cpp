#include "rescue_expectation.h"

#include <algorithm>

#include "basis/byte_cursor.h"

namespace sample {
namespace {

bool readTitle(ByteCursor& block, std::string_view bytes, std::vector<std::string>& titles) {
  const size_t at = block.position();
  ByteCursor title;
  if (!block.className("TTitle") || !block.block(title)) return false;
  // The name, the artist and the url come before the track number.
  if (!title.skipText() || !title.skipText() || !title.skipText() || title.size() < ByteCursor::kInt32Size)
    return false;
  std::string stored(bytes.substr(at, block.position() - at));
  std::fill_n(stored.begin() + static_cast<std::ptrdiff_t>(title.position() - at), ByteCursor::kInt32Size,
              '\0');
  titles.push_back(std::move(stored));
  return true;
}

}  // namespace

bool readCurrent(std::string_view bytes, std::vector<StoredCarrier>& carriers) {
  carriers.clear();
  const size_t header = bytes.find(']');
  if (header == std::string_view::npos) return false;
  ByteCursor in(bytes, header + 1);
  ByteCursor root;
  int32_t count = 0;
  if (!in.block(root) || !in.empty() || !root.int32(count)) return false;
  for (int32_t i = 0; i < count; ++i) {
    StoredCarrier c;
    const size_t at = root.position();
    ByteCursor block;
    ByteCursor toc;
    if (!root.className("TSoundCarrier") || !root.block(block)) return false;
    const size_t blockAt = block.position();
    // The name, then label, artist, type, release, notes, content type and
    // both images, then the tables of contents.
    if (!block.text(c.name) || !block.skipText() || !block.skipText() || !block.skipText() ||
        !block.skip(ByteCursor::kDoubleSize))
      return false;
    for (int text = 0; text < 4; ++text) block.skipText();
    if (!block.className("TTOCList") || !block.block(toc)) return false;
    c.head = bytes.substr(blockAt, block.position() - blockAt);
    int32_t titles = 0;
    if (!block.int32(titles)) return false;
    for (int32_t t = 0; t < titles; ++t) {
      if (!readTitle(block, bytes, c.titles)) return false;
    }
    if (!block.empty()) return false;
    c.bytes = bytes.substr(at, root.position() - at);
    carriers.push_back(std::move(c));
  }
  return root.empty();
}

RescueExpectation::RescueExpectation(std::vector<StoredCarrier> carriers) : carriers_(std::move(carriers)) {
  for (size_t k = 0; k < carriers_.size(); ++k) {
    whole_.emplace(carriers_[k].bytes, k);
    named_.emplace(carriers_[k].name, k);
    for (const std::string& title : carriers_[k].titles) titles_.insert(title);
  }
}

void RescueExpectation::tally(const std::vector<StoredCarrier>& got, const std::vector<bool>& reached,
                              RescueTally& tally, int64_t& invented) const {
  std::vector<int64_t> match(got.size(), -1);
  std::vector<bool> rescued(carriers_.size(), false);
  size_t next = 0;
  for (size_t i = 0; i < got.size(); ++i) {
    const auto it = whole_.find(got[i].bytes);
    if (it == whole_.end() || it->second < next) continue;
    match[i] = static_cast<int64_t>(it->second);
    rescued[it->second] = true;
    next = it->second + 1;
  }
  for (size_t k = 0; k < carriers_.size(); ++k) {
    if (reached[k]) continue;
    ++tally.intact;
    if (rescued[k]) ++tally.rescued;
  }
  for (size_t i = 0; i < got.size();) {
    if (match[i] >= 0) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < got.size() && match[end] < 0) ++end;
    const size_t from = i == 0 ? 0 : static_cast<size_t>(match[i - 1]) + 1;
    const size_t to = end == got.size() ? carriers_.size() : static_cast<size_t>(match[end]);
    invented += inventedBetween(got, i, end, from, to, reached);
    i = end;
  }
}
int64_t RescueExpectation::inventedBetween(const std::vector<StoredCarrier>& got, size_t first, size_t last,
                                           size_t from, size_t to, const std::vector<bool>& reached) const {
  int64_t invented = 0;
  std::vector<bool> claimed(to - from, false);
  std::vector<size_t> unnamed;
  for (size_t i = first; i < last; ++i) {
    const StoredCarrier& c = got[i];
    size_t k = to;
    for (auto [it, end] = named_.equal_range(c.name); it != end; ++it) {
      if (it->second >= from && it->second < to && !claimed[it->second - from]) k = it->second;
    }
    if (k == to) {
      unnamed.push_back(i);
      continue;
    }
    claimed[k - from] = true;
    if (reached[k]) continue;
    const StoredCarrier& original = carriers_[k];
    for (const std::string& title : c.titles) {
      if (std::find(original.titles.begin(), original.titles.end(), title) == original.titles.end())
        ++invented;
    }
    if (c.head != original.head) ++invented;
  }
  // A carrier whose name the damage changed stands for one it reached.
  size_t spare = 0;
  for (size_t k = from; k < to; ++k) spare += reached[k] && !claimed[k - from] ? 1 : 0;
  for (const size_t i : unnamed) {
    if (spare > 0) {
      --spare;
      continue;
    }
    ++invented;
    for (const std::string& title : got[i].titles) invented += titles_.count(title) == 0 ? 1 : 0;
  }
  return invented;
}
}  // namespace sample
