#include "data/legacy/records/record_index.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace legacy {

IdRange closeRange(const std::vector<int32_t>& ids) {
  if (ids.empty()) return {};
  const auto [low, high] = std::minmax_element(ids.begin(), ids.end());
  const int64_t span = static_cast<int64_t>(*high) - *low + 1;
  if (span > 4 * static_cast<int64_t>(ids.size()) + 1024) return {};
  return {*low, static_cast<size_t>(span)};
}

void IdTable::build(const std::vector<int32_t>& ids) {
  ids_ = &ids;
  dense_.clear();
  if (ids.empty()) return;
  if (const IdRange range = closeRange(ids); range.span != 0) {
    lowest_ = range.lowest;
    dense_.assign(range.span, -1);
    for (size_t i = ids.size(); i-- > 0;)
      dense_[static_cast<size_t>(ids[i] - lowest_)] = static_cast<int32_t>(i);
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
  // Carrier ids handed out one after the other are grouped by their place
  // in their range, with no look-up; others through a table of the carriers.
  const IdRange range = closeRange(carrierIds_);
  slotsBySpan_ = range.span != 0;
  lowestId_ = range.lowest;
  slots_ = slotsBySpan_ ? range.span : carrierIds_.size();
  if (!slotsBySpan_) carriers_.build(carrierIds_);
  // Each title's slot in place of its id: -1 for a title naming no carrier
  // of the list, kOther for one naming none or several, whose slots follow
  // in otherSlots, each once however often the title names it.
  constexpr int32_t kOther = -2;
  std::vector<int32_t>& slot = titles.soleId;
  std::vector<uint32_t> otherSlots;
  otherSlots.reserve(titles.otherIds.size());
  {
    size_t other = 0;
    for (size_t t = 0; t < slot.size(); ++t) {
      if (!slotsBySpan_ && t + kAhead < slot.size()) carriers_.prefetch(slot[t + kAhead]);
      if (other < titles.others.size() && titles.others[other] == t) {
        slot[t] = kOther;
        ++other;
      } else {
        slot[t] = slotOf(slot[t]);
      }
    }
    // A title naming a few is checked against its own slots, one naming many
    // against the last title noted under each slot.
    constexpr size_t kFew = 8;
    std::vector<uint32_t> last;
    size_t from = 0;
    for (size_t o = 0; o < titles.others.size(); ++o) {
      const size_t to = titles.othersIdsEnd[o];
      const size_t own = otherSlots.size();
      if (to - from > kFew && last.empty()) last.assign(slots_, UINT32_MAX);
      for (size_t i = from; i < to; ++i) {
        const int32_t s = slotOf(titles.otherIds[i]);
        if (s < 0) continue;
        const auto u = static_cast<uint32_t>(s);
        if (to - from > kFew) {
          if (last[u] == o) continue;
          last[u] = static_cast<uint32_t>(o);
        } else if (std::find(otherSlots.begin() + static_cast<std::ptrdiff_t>(own), otherSlots.end(), u) !=
                   otherSlots.end()) {
          continue;
        }
        otherSlots.push_back(u);
      }
      titles.othersIdsEnd[o] =
          static_cast<uint32_t>(otherSlots.size());  // from here on, the end of its slots
      from = to;
    }
  }
  // A counting sort puts the titles of each slot together, in list order,
  // and the slots in the order of their carriers in the list, so that the
  // carriers take their titles in about the order they lie here; the counts
  // and places are scattered, so each is fetched a few titles before it is needed.
  const auto eachNote = [&](auto&& note, auto&& far, auto&& near) {
    size_t other = 0;
    uint32_t from = 0;
    for (size_t t = 0; t < slot.size(); ++t) {
      if (t + kAhead < slot.size() && slot[t + kAhead] >= 0) far(static_cast<uint32_t>(slot[t + kAhead]));
      if (t + kAhead / 2 < slot.size() && slot[t + kAhead / 2] >= 0)
        near(static_cast<uint32_t>(slot[t + kAhead / 2]));
      if (slot[t] >= 0) {
        note(static_cast<uint32_t>(slot[t]), titles.at[t]);
      } else if (slot[t] == kOther) {
        const uint32_t to = titles.othersIdsEnd[other++];
        for (uint32_t i = from; i < to; ++i) note(otherSlots[i], titles.at[t]);
        from = to;
      }
    }
  };
  std::vector<uint32_t> next(slots_, 0);
  eachNote([&](uint32_t s, uint32_t) { ++next[s]; }, [&](uint32_t s) { __builtin_prefetch(&next[s], 1); },
           [](uint32_t) {});
  groupStart_.assign(slots_, UINT32_MAX);
  uint32_t placed = 0;
  const auto place = [&](size_t s) {
    if (groupStart_[s] != UINT32_MAX) return;
    groupStart_[s] = placed;
    placed += next[s];
  };
  for (const int32_t id : carrierIds_) place(static_cast<size_t>(slotOf(id)));
  // Titles of ids no carrier has, which nothing asks for, come last.
  for (size_t s = 0; s < slots_; ++s) place(s);
  titleAt_.resize(placed);
  next = groupStart_;
  eachNote([&](uint32_t s, uint32_t at) { titleAt_[next[s]++] = at; },
           [&](uint32_t s) { __builtin_prefetch(&next[s], 1); },
           [&](uint32_t s) { __builtin_prefetch(&titleAt_[next[s]], 1); });
  groupEnd_ = std::move(next);
  titles = TitleNotes();
}

std::string_view RecordBytes::Names::nameOf(int32_t id) const {
  const int32_t position = table.find(id);
  if (position >= 0) return names[static_cast<size_t>(position)];
  if (id == -1) return {};
  throw AbandonedIndex();
}

std::string_view RecordBytes::artistName(int32_t id) const {
  const std::string_view name = artists_.nameOf(id);
  if (!name.empty()) noteRead(static_cast<size_t>(name.data() - data_), name.size());
  return name;
}

std::string_view RecordBytes::labelName(int32_t id) const {
  const std::string_view name = labels_.nameOf(id);
  if (!name.empty()) noteRead(static_cast<size_t>(name.data() - data_), name.size());
  return name;
}

RecordBytes::RecordBytes(const std::string& path, std::string_view header, bool mapped) {
  if (mapped) {
    // Whatever keeps the file from being mapped is reported by the loaded way.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw AbandonedIndex();
    struct stat st {};
    void* p = MAP_FAILED;
    // Offsets are kept in 32 bits: a larger file takes the other way.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= static_cast<off_t>(header.size()) &&
        static_cast<uint64_t>(st.st_size) <= UINT32_MAX)
      p = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (p == MAP_FAILED) throw AbandonedIndex();
    ::madvise(p, static_cast<size_t>(st.st_size), MADV_SEQUENTIAL);
    mapping_ = p;
    data_ = static_cast<const char*>(p);
    size_ = static_cast<size_t>(st.st_size);
    pagesRead_.assign(((size_ >> kPageBits) + 64) / 64, 0);
  } else {
    file_.emplace(path, UINT32_MAX);
    data_ = file_->data();
    size_ = file_->size();
  }
  // Offsets are kept in 32 bits: a larger file takes the other way, before it is read.
  if (size_ < header.size()) throw AbandonedIndex();
  size_t ready = 0;
  while (ready < header.size()) ready = arrived(ready);
  if (std::memcmp(data_, header.data(), header.size()) != 0) throw AbandonedIndex();
  start_ = header.size();
}

RecordBytes::~RecordBytes() {
  if (mapping_ != nullptr) ::munmap(mapping_, size_);
}

void RecordBytes::notePages(size_t first, size_t last) const {
  for (size_t page = first; page <= last; ++page) {
    uint64_t& word = pagesRead_[page / 64];
    const uint64_t bit = uint64_t{1} << (page % 64);
    if ((word & bit) != 0) continue;
    word |= bit;
    if (++held_ >= kHeldPages) letGo();
  }
}

void RecordBytes::letGo() const {
  if (mapping_ == nullptr) return;
  // The pages stay in the system's cache; the mapping reads them from there again.
  ::madvise(mapping_, size_, MADV_DONTNEED);
  std::fill(pagesRead_.begin(), pagesRead_.end(), 0);
  held_ = 0;
}

}  // namespace legacy
