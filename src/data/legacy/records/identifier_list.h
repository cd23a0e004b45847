// The lists of the 1.5 and 2.0 databases, shared by both versions as
// templates over their record classes. A list owns its records and keeps
// them in stored order; a record is read-only once it is in a list, which
// lets the list keep its look-ups in indexes instead of scanning:
//
//   IdentifierList<Identifier>  owning list, reading and writing, the position
//                               of the first record of an id
//   RecordList<Base, Record>    a Base list that creates and hands out Records
//   TitleList<Base, Title>      a list of titles: the titles of each carrier,
//                               and on writing, titles on no carrier dropped
//
// Each version derives its own look-ups (and their messages) from
// IdentifierList and names its concrete lists after RecordList and TitleList.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "data/legacy/records/record_file.h"
#include "platform/exception.h"

namespace legacy {

template <class Identifier>
class IdentifierList {
 public:
  using RecordType = Identifier;

  virtual ~IdentifierList() = default;
  IdentifierList(const IdentifierList&) = delete;
  IdentifierList& operator=(const IdentifierList&) = delete;

  // Replaces the records by those stored: a count, then the records. A count
  // of 0 or below is an empty list; one beyond the records there fails with
  // the read error when the bytes run out.
  void readFrom(RecordFile& file) {
    clear();
    int32_t count = RecordIO::readInt(file);
    // Room for the records that the bytes left can hold (a 2.0 record takes
    // at least 16), so the room taken stays within the size of the file.
    if (count > 0) {
      auto room = static_cast<size_t>(std::min<int64_t>(count, file.remaining() / 16));
      records_.reserve(room);
      firstById_.reserve(room);
    }
    for (int32_t i = 0; i < count; ++i) {
      std::unique_ptr<Identifier> record = create_();
      record->readFrom(file);
      addRecord(std::move(record));
    }
  }

  // The count, then each record.
  virtual void writeTo(RecordFile& file) {
    RecordIO::writeInt(file, size());
    for (const auto& record : records_) record->writeTo(file);
  }

  // An index out of range raises the platform's list index error.
  const Identifier* get(int32_t index) const {
    if (index < 0 || index >= size()) platform::throwListIndexError(index);
    return records_[static_cast<size_t>(index)].get();
  }
  int32_t size() const { return static_cast<int32_t>(records_.size()); }

  // Frees every record.
  void clear() {
    records_.clear();
    firstById_.clear();
    ++changes_;
  }

  // Position of the first record with the id, or -1 when no record has it.
  int32_t positionOf(int32_t id) const {
    auto it = firstById_.find(id);
    return it == firstById_.end() ? -1 : it->second;
  }

 protected:
  using Factory = std::unique_ptr<Identifier> (*)();

  // create makes the empty record (name empty, id -1) that readFrom fills.
  explicit IdentifierList(Factory create) : create_(create) {}

  void addRecord(std::unique_ptr<Identifier> record) {
    firstById_.try_emplace(record->id, size());  // a later duplicate id never wins
    records_.push_back(std::move(record));
    ++changes_;
  }

  // Removes and frees the records for which drop is true, keeping the order of the rest.
  template <class Predicate>
  void removeIf(Predicate drop) {
    std::vector<std::unique_ptr<Identifier>> kept;
    for (auto& record : records_) {
      if (!drop(static_cast<const Identifier&>(*record))) kept.push_back(std::move(record));
    }
    clear();
    for (auto& record : kept) addRecord(std::move(record));
  }

  // Counts the changes, so that indexes built on the records know when they are stale.
  uint64_t changes() const { return changes_; }

 private:
  Factory create_;
  std::vector<std::unique_ptr<Identifier>> records_;
  std::unordered_map<int32_t, int32_t> firstById_;
  uint64_t changes_ = 0;
};

template <class Base, class Record>
class RecordList : public Base {
 public:
  RecordList() : Base(&createRecord) {}

  void add(std::unique_ptr<Record> record) { Base::addRecord(std::move(record)); }
  // REQUIRES: records only ever enter through add and readFrom, so each is a Record.
  const Record* get(int32_t index) const { return static_cast<const Record*>(Base::get(index)); }

 private:
  static std::unique_ptr<typename Base::RecordType> createRecord() {
    return std::make_unique<Record>(ForReading());
  }
};

template <class Base, class Title>
class TitleList : public RecordList<Base, Title> {
 public:
  // Titles on no carrier are not stored: they are removed and freed first.
  void writeTo(RecordFile& file) override {
    this->removeIf([](const typename Base::RecordType& record) {
      return static_cast<const Title&>(record).carrierIds.empty();
    });
    Base::writeTo(file);
  }

  // The titles whose carrier ids contain carrierId, in list order, each once
  // however often it names the carrier; not owned by the caller.
  std::vector<const Title*> titlesOfCarrier(int32_t carrierId) const {
    if (indexedAt_ != this->changes()) buildIndex();
    auto it = byCarrier_.find(carrierId);
    return it == byCarrier_.end() ? std::vector<const Title*>() : it->second;
  }

 private:
  // One pass over all titles serves the titles of every carrier.
  void buildIndex() const {
    byCarrier_.clear();
    for (int32_t i = 0; i < this->size(); ++i) {
      const Title* title = this->get(i);
      for (const auto& carrier : title->carrierIds) {
        std::vector<const Title*>& titles = byCarrier_[carrier.id];
        // This title's entries are made together, so a repeat is the last one.
        if (titles.empty() || titles.back() != title) titles.push_back(title);
      }
    }
    indexedAt_ = this->changes();
  }

  mutable std::unordered_map<int32_t, std::vector<const Title*>> byCarrier_;
  mutable uint64_t indexedAt_ = ~uint64_t{0};
};

}  // namespace legacy
