// The frame of the 1.5 and 2.0 conversions, written once over a version's
// Format (relational_manager.h) and its rules. The rules convert one carrier
// from a source of records and are templated over it, so that they are
// stated once for both sources:
//
//   RecordIndex<Layout>     views into the file's bytes (record_index.h)
//   LoadedRecords<Manager>  the records of a loaded manager
//
// Either way the new database is streamed through TCarrierWriter, carrier by
// carrier and title by title, so nothing of it is held. A source offers
// size(), carrier(i), titlesOf(carrier) (a range of title records),
// artistName(id) and labelName(id); the rules are called as
// rules(source, carrier, writer) and write the carrier from beginCarrier to
// endCarrier.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "data/carrier_writer.h"
#include "data/legacy/records/record_index.h"

namespace legacy {

// The titles of a loaded carrier as records, as RecordIndex hands them out.
template <class Title>
class LoadedTitles {
 public:
  using Pointers = std::vector<const Title*>;

  class iterator {
   public:
    explicit iterator(typename Pointers::const_iterator at) : at_(at) {}
    const Title& operator*() const { return **at_; }
    iterator& operator++() {
      ++at_;
      return *this;
    }
    bool operator!=(const iterator& other) const { return at_ != other.at_; }

   private:
    typename Pointers::const_iterator at_;
  };

  explicit LoadedTitles(Pointers titles) : titles_(std::move(titles)) {}
  iterator begin() const { return iterator(titles_.begin()); }
  iterator end() const { return iterator(titles_.end()); }
  bool empty() const { return titles_.empty(); }
  int32_t size() const { return static_cast<int32_t>(titles_.size()); }

 private:
  Pointers titles_;
};

// The records of a loaded manager as a source; look-ups fail as the lists' do.
template <class Manager>
class LoadedRecords {
 public:
  explicit LoadedRecords(const Manager& manager) : manager_(manager) {}

  int32_t size() const { return manager_.carriers().size(); }
  const auto& carrier(int32_t index) const { return *manager_.carriers().get(index); }
  template <class Carrier>
  auto titlesOf(const Carrier& carrier) const {
    return LoadedTitles(manager_.titles().titlesOfCarrier(carrier.id));
  }
  std::string artistName(int32_t id) const { return manager_.artists().nameOf(id); }
  std::string labelName(int32_t id) const { return manager_.labels().nameOf(id); }

 private:
  const Manager& manager_;
};

// The fields a 1.5 and a 2.0 carrier carry over as they are, with the name
// of its label; its artist is each version's own rule.
template <class Carrier, class Name>
void copyCarrierFields(const Carrier& old, const Name& label, TSoundCarrier& carrier) {
  carrier.name.assign(old.name);
  carrier.label.assign(label);
  carrier.type.assign(old.type);
  carrier.release = old.release;
  carrier.notes.assign(old.notes);
}

// Writes the converted carriers of `source` to `output`; nothing is put in
// place unless every carrier converts.
template <class Source, class Rules>
void writeConverted(const Source& source, const CarrierTarget& output, Rules rules) {
  TCarrierWriter out(output, source.size());
  for (int32_t i = 0; i < source.size(); ++i) rules(source, source.carrier(i), out);
  out.close();
}

// The conversion straight from the bytes of `inputFile`: true when it wrote
// `output`; false, with nothing written, for anything it does not take
// (see record_index.h) and for any failure, which the conversion of the
// loaded records then meets and reports. A failure of the target's
// consumer is raised.
template <class Format, class Rules>
bool convertFromBytes(const std::string& inputFile, const CarrierTarget& output, Rules rules) {
  try {
    const RecordIndex<typename Format::Layout> index(inputFile, Format::header());
    writeConverted(index, output, rules);
    return true;
  } catch (...) {
    if (output.consumerFailed()) throw;
    return false;
  }
}

// The conversion of the loaded records: loads `inputFile` into the manager
// (or the lists alone, RelationalLists) and writes what the rules make of
// it; every failure is reported as the lists and the writer raise it.
template <class Manager, class Rules>
void convertLoaded(Manager& manager, const std::string& inputFile, const CarrierTarget& output, Rules rules) {
  manager.setFileName(inputFile);
  manager.load();
  writeConverted(LoadedRecords<Manager>(manager), output, rules);
}

// What the converter runs: the bytes first, and the loaded records for
// anything they do not take. The manager resolves the file name.
template <class Format, class Manager, class Rules>
void convertRelational(Manager& manager, const std::string& inputFile, const CarrierTarget& output,
                       Rules rules) {
  manager.setFileName(inputFile);
  if (convertFromBytes<Format>(manager.getFileName(), output, rules)) return;
  convertLoaded(manager, inputFile, output, rules);
}

}  // namespace legacy
