// RecordIndex, a 1.5 or 2.0 database read straight from the file's bytes for
// its conversion instead of loaded as records. The whole file is read into
// one buffer (a large one by a thread of its own) and walked once, while it
// arrives, as the list readers read it (the version's Layout names the
// fields), keeping only flat arrays of ids and offsets:
//
//   artists, labels  id -> name of the first record of the id
//   carriers         the offset of each, in stored order
//   titles           for each carrier id the carrier list names, the offsets
//                    of its titles in list order, each once however often a
//                    title names the carrier (a counting sort, the carriers'
//                    groups in list order)
//
// Records are handed out as RecordView, views into the buffer that live as
// long as the index. Anything the records' load would fail on, and every
// look-up that would fail, raises AbandonedIndex: the conversion then takes
// the way of the loaded records from the start, which reports it.
//
// A reader that only counts (voskodb info) maps the file instead of reading
// it into memory, and lets go of the pages it has read once they make a few
// megabytes: it stays small whatever the file's size. (The conversion reads
// the titles in their carriers' order, which may be any order of the file:
// it reads the file whole, since a mapping that let go of its pages would
// read most of them again and again.)
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "basis/byte_cursor.h"
#include "platform/file_in_memory.h"
#include "platform/little_endian.h"

namespace legacy {

// Raised where the bytes leave what the index can take for certain.
struct AbandonedIndex {};

// A title's carrier ids in the buffer: `count` ids from offset `at`.
struct IdsView {
  size_t at = 0;
  int32_t count = 0;
};

// Any record of either version, as views into the buffer; the fields a
// version does not store keep their initial values.
struct RecordView {
  int32_t id = -1;
  std::string_view name;
  double date = 0;
  std::string_view url;
  IdsView carrierIds;
  int32_t artistId = -1;
  int32_t labelId = -1;
  double release = 0;
  std::string_view notes;
  std::string_view type;
};

// The fields of a layout taken from the bytes as the record file's readers
// take them: the container's int32, text and number, and a title's carrier
// ids as a count (none for 0 or below) and that many int32. The first field
// the bytes cannot hold ends the walk: ok() turns false and stays so.
class ByteFields : public ByteCursor {
 public:
  using ByteCursor::ByteCursor;

  void ids(IdsView& value) {
    int32_t n = 0;
    count(n);
    value = {position(), 0};
    if (n != 0 && skip(kInt32Size * static_cast<size_t>(n))) value.count = n;
  }
};

// Ids to the position of the first of them in a list: a plain array over the
// range of the ids where they lie close together (as ids handed out one
// after the other do), else one flat open-addressed table.
// The range of ids that lie close enough together for a plain array over it
// (at most a few times the room of a table of them): its lowest id and its
// span; a span of 0 for ids further apart, or none.
struct IdRange {
  int64_t lowest = 0;
  size_t span = 0;
};
IdRange closeRange(const std::vector<int32_t>& ids);

class IdTable {
 public:
  // REQUIRES: ids outlives the table and does not change.
  void build(const std::vector<int32_t>& ids);
  // Fetches where find(id) looks first in a table of ids far apart (the one
  // kind worth it: an array over close ids is read in order anyway).
  void prefetch(int32_t id) const { __builtin_prefetch(&slots_[hash(id)]); }
  // The position of the first `id` in the ids, or -1.
  int32_t find(int32_t id) const {
    if (!dense_.empty()) {
      const uint64_t at = static_cast<uint64_t>(static_cast<int64_t>(id) - lowest_);
      return at < dense_.size() ? dense_[at] : -1;
    }
    for (uint32_t slot = hash(id);; slot = (slot + 1) & mask_) {
      const uint32_t entry = slots_[slot];
      if (entry == 0) return -1;
      if ((*ids_)[entry - 1] == id) return static_cast<int32_t>(entry - 1);
    }
  }

 private:
  uint32_t hash(int32_t id) const { return (static_cast<uint32_t>(id) * 0x9E3779B1u) >> shift_; }

  std::vector<int32_t> dense_;  // position by id - lowest_, -1 for none
  int64_t lowest_ = 0;
  const std::vector<int32_t>* ids_ = nullptr;
  std::vector<uint32_t> slots_ = std::vector<uint32_t>(2, 0);  // position + 1; 0 is free
  uint32_t mask_ = 1;
  uint32_t shift_ = 31;
};

// What an index holds apart from its version's layout.
class RecordBytes {
 public:
  RecordBytes(const RecordBytes&) = delete;
  RecordBytes& operator=(const RecordBytes&) = delete;

  int32_t size() const { return static_cast<int32_t>(carrierAt_.size()); }
  // The records of the other lists, as many as loading them makes.
  int32_t titleCount() const { return titleCount_; }
  int32_t artistCount() const { return static_cast<int32_t>(artists_.ids.size()); }
  int32_t labelCount() const { return static_cast<int32_t>(labels_.ids.size()); }

  // A name as the lists' look-ups find it: the first record of the id; the
  // empty name for -1 when no record has it. Any other id no record has
  // abandons the index.
  std::string_view artistName(int32_t id) const;
  std::string_view labelName(int32_t id) const;

 protected:
  // Starts reading the file at path whole, or maps it where `mapped`, and
  // checks its header; start() is then the first byte behind it.
  RecordBytes(const std::string& path, std::string_view header, bool mapped);
  ~RecordBytes();

  // Every byte of the file; only those arrived() tells of are there yet.
  std::string_view bytes() const { return {data_, size_}; }
  size_t start() const { return start_; }
  // Waits until more than `have` bytes are there (all, when `have` is all);
  // raises EInOutError when the file cannot be read to its end.
  size_t arrived(size_t have) { return file_ ? file_->arrived(have) : size_; }
  // Notes that the bytes [at, at + length) of a mapped file were read; once
  // the pages read make kHeldPages, the mapping lets go of them all. A file
  // read in stays as it is.
  void noteRead(size_t at, size_t length) const {
    if (mapping_ != nullptr && length != 0) notePages(at >> kPageBits, (at + length - 1) >> kPageBits);
  }
  void letGo() const;

  struct Names {
    std::vector<int32_t> ids;
    std::vector<std::string_view> names;
    IdTable table;

    void add(const RecordView& record) {
      ids.push_back(record.id);
      names.push_back(record.name);
    }
    std::string_view nameOf(int32_t id) const;
  };

  // What the first walk notes of the titles, in list order: where each is,
  // the one carrier id of a title naming one, and for every other title
  // (naming none or several) its position and its ids, copied out of the
  // file so that the grouping reads them in order.
  struct TitleNotes {
    std::vector<uint32_t> at;
    std::vector<int32_t> soleId;  // 0 for a title in `others`
    std::vector<uint32_t> others;
    std::vector<uint32_t> othersIdsEnd;  // where the ids of each end in otherIds
    std::vector<int32_t> otherIds;
  };
  // Groups the titles from their notes, which it frees: the titles naming a
  // carrier id are titleAt_[groupStart_[s], groupEnd_[s]) for its slot s.
  void groupTitles(TitleNotes& notes);
  // The slot of a carrier id: the id's place in the range of the carrier ids
  // where they lie close together (a slot no carrier has stays unasked), else
  // the position of the first carrier with the id; -1 for an id no carrier has.
  int32_t slotOf(int32_t id) const {
    if (!slotsBySpan_) return carriers_.find(id);
    const uint64_t at = static_cast<uint64_t>(static_cast<int64_t>(id) - lowestId_);
    return at < slots_ ? static_cast<int32_t>(at) : -1;
  }
  std::vector<uint32_t> titleAt_;
  std::vector<uint32_t> groupStart_;
  std::vector<uint32_t> groupEnd_;
  bool slotsBySpan_ = false;
  int64_t lowestId_ = 0;
  size_t slots_ = 0;

  Names artists_;
  Names labels_;
  std::vector<int32_t> carrierIds_;
  std::vector<uint32_t> carrierAt_;
  IdTable carriers_;
  int32_t titleCount_ = 0;

 private:
  static constexpr size_t kPageBits = 12;
  static constexpr size_t kHeldPages = 4096;  // 16 MiB
  void notePages(size_t first, size_t last) const;

  std::optional<platform::FileInMemory> file_;
  void* mapping_ = nullptr;
  const char* data_ = nullptr;
  size_t size_ = 0;
  size_t start_ = 0;
  // The pages of the mapping read since it last let go, one bit each.
  mutable std::vector<uint64_t> pagesRead_;
  mutable size_t held_ = 0;
};

template <class Layout>
class RecordIndex : public RecordBytes {
 public:
  // Reads (or maps, see above) and indexes the database at `path`; raises
  // AbandonedIndex (or the file's own failure) for anything the index does
  // not take.
  RecordIndex(const std::string& path, std::string_view header, bool mapped = false);

  // The carrier at `index` in stored order. The carriers are asked for in
  // order, between the scattered reads of their titles: the next is fetched now.
  RecordView carrier(int32_t index) const {
    const auto at = static_cast<size_t>(index);
    if (at + 1 < carrierAt_.size()) {
      const char* next = bytes().data() + carrierAt_[at + 1];
      for (int line = 0; line < 3; ++line) __builtin_prefetch(next + 64 * line);
    }
    return parse(carrierAt_[at], CarrierFields());
  }

  // The titles of a carrier of this index, as titlesOfCarrier gives them.
  class Titles {
   public:
    class iterator {
     public:
      iterator(const RecordIndex& index, const uint32_t* at) : index_(&index), at_(at) {}
      RecordView operator*() const {
        index_->prefetchTitleAfter(at_);
        return index_->parse(*at_, TitleFields());
      }
      iterator& operator++() {
        ++at_;
        return *this;
      }
      bool operator!=(const iterator& other) const { return at_ != other.at_; }

     private:
      const RecordIndex* index_;
      const uint32_t* at_;
    };
    Titles(const RecordIndex& index, const uint32_t* begin, const uint32_t* end)
        : index_(index), begin_(begin), end_(end) {}
    iterator begin() const { return {index_, begin_}; }
    iterator end() const { return {index_, end_}; }
    bool empty() const { return begin_ == end_; }
    int32_t size() const { return static_cast<int32_t>(end_ - begin_); }

   private:
    const RecordIndex& index_;
    const uint32_t* begin_;
    const uint32_t* end_;
  };
  Titles titlesOf(const RecordView& carrier) const {
    const auto slot = static_cast<size_t>(slotOf(carrier.id));
    return {*this, titleAt_.data() + groupStart_[slot], titleAt_.data() + groupEnd_[slot]};
  }

 private:
  // The titles lie where the file put them, scattered over the buffer; the
  // carriers ask for them in about the order of titleAt_, so one a few ahead
  // is fetched while the current one is read: its first two cache lines,
  // which hold all of a common title.
  static constexpr size_t kAhead = 16;
  void prefetchTitleAfter(const uint32_t* at) const {
    const size_t next = static_cast<size_t>(at - titleAt_.data()) + kAhead;
    if (next < titleAt_.size()) {
      const char* title = bytes().data() + titleAt_[next];
      __builtin_prefetch(title);
      __builtin_prefetch(title + 64);
    }
  }

  // The layout's records, as the walks take them.
  struct IdentifierFields {
    void operator()(RecordView& r, ByteFields& f) const { Layout::identifier(r, f); }
  };
  struct TitleFields {
    void operator()(RecordView& r, ByteFields& f) const { Layout::title(r, f); }
  };
  struct CarrierFields {
    void operator()(RecordView& r, ByteFields& f) const { Layout::carrier(r, f); }
  };

  // The record at `offset`, already read once without a failure.
  template <class Fields>
  RecordView parse(size_t offset, Fields fields) const {
    RecordView record;
    ByteFields in(bytes(), offset);
    fields(record, in);
    noteRead(offset, in.position() - offset);
    return record;
  }

  // A stored list from `position`: its count, then each record, handed to
  // visit(offset, record); returns the position behind the list. `ready`
  // is how many bytes are there, and grows as the walk needs.
  template <class Fields, class Visit>
  size_t walkList(size_t position, size_t& ready, Fields fields, Visit visit);
};

template <class Layout>
template <class Fields, class Visit>
size_t RecordIndex<Layout>::walkList(size_t position, size_t& ready, Fields fields, Visit visit) {
  // The file arrives while it is walked: a record running past the bytes
  // there so far is read again once more came, and fails only at the end.
  const auto take = [&](size_t at, auto&& read) {
    for (;;) {
      ByteFields in(bytes().substr(0, ready), at);
      read(in);
      if (in.ok()) {
        noteRead(at, in.position() - at);
        return in.position();
      }
      if (ready == bytes().size()) throw AbandonedIndex();
      ready = arrived(ready);
    }
  };
  int32_t count = 0;
  size_t at = take(position, [&](ByteFields& in) { in.int32(count); });
  for (int32_t i = 0; i < count; ++i) {
    RecordView record;
    const size_t end = take(at, [&](ByteFields& in) {
      record = RecordView();
      fields(record, in);
    });
    visit(at, record);
    at = end;
  }
  return at;
}

template <class Layout>
RecordIndex<Layout>::RecordIndex(const std::string& path, std::string_view header, bool mapped)
    : RecordBytes(path, header, mapped) {
  // A file of the header alone is an empty database.
  if (start() == bytes().size()) return;
  const IdentifierFields identifier;
  const TitleFields title;
  size_t ready = start();
  size_t at = walkList(start(), ready, identifier, [&](size_t, const RecordView& r) { artists_.add(r); });
  at = walkList(at, ready, identifier, [&](size_t, const RecordView& r) { labels_.add(r); });
  // What the grouping below needs of the titles once the carriers are known,
  // so that it does not read the titles again.
  TitleNotes notes;
  while (ready < bytes().size() && ready - at < 4) ready = arrived(ready);
  if (ready - at >= 4) {
    // As many as the list says, within what the bytes left can hold (a title takes 16 at least).
    const auto declared = static_cast<int32_t>(platform::decodeFixed32(bytes().data() + at));
    const size_t room =
        std::min<size_t>(declared > 0 ? static_cast<size_t>(declared) : 0, (bytes().size() - at) / 16);
    notes.at.reserve(room);
    notes.soleId.reserve(room);
  }
  at = walkList(at, ready, title, [&](size_t offset, const RecordView& r) {
    const char* ids = bytes().data() + r.carrierIds.at;
    if (r.carrierIds.count == 1) {
      notes.soleId.push_back(static_cast<int32_t>(platform::decodeFixed32(ids)));
    } else {
      notes.soleId.push_back(0);
      notes.others.push_back(static_cast<uint32_t>(notes.at.size()));
      for (int32_t i = 0; i < r.carrierIds.count; ++i) {
        notes.otherIds.push_back(
            static_cast<int32_t>(platform::decodeFixed32(ids + 4 * static_cast<size_t>(i))));
      }
      notes.othersIdsEnd.push_back(static_cast<uint32_t>(notes.otherIds.size()));
    }
    notes.at.push_back(static_cast<uint32_t>(offset));
  });
  titleCount_ = static_cast<int32_t>(notes.at.size());
  walkList(at, ready, CarrierFields(), [&](size_t offset, const RecordView& r) {
    carrierIds_.push_back(r.id);
    carrierAt_.push_back(static_cast<uint32_t>(offset));
  });
  // The rest of the file too: one that cannot be read to its end takes the other way, which reports it.
  while (ready < bytes().size()) ready = arrived(ready);
  artists_.table.build(artists_.ids);
  labels_.table.build(labels_.ids);
  groupTitles(notes);
  letGo();
}

}  // namespace legacy
