#include "data/legacy/records/record_index.h"

#include <algorithm>
#include <cstring>

#include "platform/os_file.h"

namespace legacy {

void IdTable::build(const std::vector<int32_t>& ids) {
  ids_ = &ids;
  dense_.clear();
  if (ids.empty()) return;
  const auto [low, high] = std::minmax_element(ids.begin(), ids.end());
  // Close together: the array takes at most a few times the room of the table.
  if (static_cast<int64_t>(*high) - *low < 4 * static_cast<int64_t>(ids.size()) + 1024) {
    lowest_ = *low;
    dense_.assign(static_cast<size_t>(static_cast<int64_t>(*high) - *low + 1), -1);
    for (size_t i = ids.size(); i-- > 0;) dense_[static_cast<size_t>(ids[i] - lowest_)] = static_cast<int32_t>(i);
    return;
  }
  // At most half full, so that a probe ends soon.
  uint32_t bits = 1;
  while ((size_t{1} << bits) < 2 * ids.size()) ++bits;
  slots_.assign(size_t{1} << bits, 0);
  mask_ = static_cast<uint32_t>(slots_.size() - 1);
  shift_ = 32 - bits;
  for (size_t i = 0; i < ids.size(); ++i) {
    uint32_t slot = hash(ids[i]);
    while (slots_[slot] != 0 && ids[slots_[slot] - 1] != ids[i]) slot = (slot + 1) & mask_;
    // A later record of an id never wins.
    if (slots_[slot] == 0) slots_[slot] = static_cast<uint32_t>(i + 1);
  }
}

void RecordBytes::groupTitles(TitleNotes& titles) {
  constexpr size_t kAhead = 16;
  const size_t groups = carrierAt_.size();
  const char* bytes = this->bytes().data();
  const auto idAt = [&](size_t at) { return static_cast<int32_t>(platform::decodeFixed32(bytes + at)); };
  // Each title is noted under each group it names, once however often it
  // names it; a counting sort then puts the notes in group order, keeping
  // list order within a group.
  std::vector<uint32_t> noteGroup;
  std::vector<uint32_t> noteTitle;
  noteGroup.reserve(titles.at.size());  // most titles are on one carrier
  noteTitle.reserve(titles.at.size());
  {
    // The last title noted under each group, for titles naming many carriers;
    // one naming a few is checked against its own notes.
    constexpr int32_t kFew = 8;
    std::vector<uint32_t> last;
    size_t other = 0;
    for (size_t t = 0; t < titles.at.size(); ++t) {
      // The look-up of a carrier a few titles on is fetched now.
      if (t + kAhead < titles.at.size()) carriers_.prefetch(titles.soleId[t + kAhead]);
      if (other == titles.others.size() || titles.others[other].first != t) {
        const int32_t group = carriers_.find(titles.soleId[t]);
        if (group >= 0) {
          noteGroup.push_back(static_cast<uint32_t>(group));
          noteTitle.push_back(titles.at[t]);
        }
        continue;
      }
      const size_t ids = titles.others[other++].second;
      const int32_t count = idAt(ids);
      if (count > kFew && last.empty()) last.assign(groups, UINT32_MAX);
      const size_t own = noteGroup.size();
      for (int32_t i = 0; i < count; ++i) {
        const int32_t group = carriers_.find(idAt(ids + 4 + 4 * static_cast<size_t>(i)));
        if (group < 0) continue;
        if (count > kFew) {
          if (last[static_cast<size_t>(group)] == t) continue;
          last[static_cast<size_t>(group)] = static_cast<uint32_t>(t);
        } else if (std::find(noteGroup.begin() + static_cast<std::ptrdiff_t>(own), noteGroup.end(),
                             static_cast<uint32_t>(group)) != noteGroup.end()) {
          continue;
        }
        noteGroup.push_back(static_cast<uint32_t>(group));
        noteTitle.push_back(titles.at[t]);
      }
    }
  }
  titles = TitleNotes();
  // The counts and places of the groups are scattered: each is fetched a few
  // notes before it is needed.
  const size_t notes = noteGroup.size();
  groupStart_.assign(groups + 1, 0);
  for (size_t n = 0; n < notes; ++n) {
    if (n + kAhead < notes) __builtin_prefetch(&groupStart_[noteGroup[n + kAhead] + 1], 1);
    ++groupStart_[noteGroup[n] + 1];
  }
  for (size_t g = 0; g < groups; ++g) groupStart_[g + 1] += groupStart_[g];
  titleAt_.resize(notes);
  std::vector<uint32_t> next(groupStart_.begin(), groupStart_.end() - 1);
  for (size_t n = 0; n < notes; ++n) {
    if (n + kAhead < notes) __builtin_prefetch(&next[noteGroup[n + kAhead]], 1);
    if (n + kAhead / 2 < notes) __builtin_prefetch(&titleAt_[next[noteGroup[n + kAhead / 2]]], 1);
    titleAt_[next[noteGroup[n]]++] = noteTitle[n];
  }
}

std::string_view RecordBytes::Names::nameOf(int32_t id) const {
  const int32_t position = table.find(id);
  if (position >= 0) return names[static_cast<size_t>(position)];
  if (id == -1) return {};
  throw AbandonedIndex();
}

RecordBytes::RecordBytes(const std::string& path, std::string_view header) {
  platform::OsFile in;
  in.openRead(path);
  const int64_t size = in.size();
  // Offsets are kept in 32 bits; a larger file takes the other way.
  if (size < static_cast<int64_t>(header.size()) || size > static_cast<int64_t>(UINT32_MAX)) throw AbandonedIndex();
  data_ = platform::LargeBuffer(static_cast<size_t>(size));
  // A read moves all it can; fewer bytes mean the file ended or failed.
  const size_t got = in.read(data_.data(), data_.size());
  if (got != data_.size() || std::memcmp(data_.data(), header.data(), header.size()) != 0) throw AbandonedIndex();
  start_ = header.size();
}

}  // namespace legacy
