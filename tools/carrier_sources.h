// Where each carrier of an undamaged database comes from: the bytes its
// conversion reads. A damage that changes none of them leaves the carrier as
// the conversion of the whole file writes it, and a rescue must give it so.
//
// In the object files (2.5, 2.5.3, 2.5.5 and the current 2.5.7) a carrier is
// one stored object with its titles. In the record files (1.5, 2.0) it is its
// carrier record, the title records that name its id, and the label and
// artist records these refer to; besides, a damaged record that still reads
// whole may take up another id (an artist's or label's, which then names
// other carriers' artists and labels, or a title's carrier ids, which then
// add it to other carriers), and so reaches those carriers too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sample {

// Bytes [begin, end) of a file.
struct ByteRun {
  size_t begin = 0;
  size_t end = 0;
};

class CarrierSources {
 public:
  // Reads the whole database `bytes` of `version` ("1.5", "2.0", "2.5",
  // "2.5.3", "2.5.5" or "2.5.7"); raises std::invalid_argument for another
  // version or bytes that are no whole database of it.
  CarrierSources(const std::string& version, std::string_view bytes);

  size_t carriers() const { return carrierRecords_.size(); }

  // For each carrier in the file's order, whether the damage reaches what
  // its conversion reads. `damaged` is the file after the damage, `changed`
  // the runs of bytes it changed, in the file's order and apart (a cut is
  // the run from the cut to the old end).
  std::vector<bool> reached(std::string_view damaged, const std::vector<ByteRun>& changed) const;

 private:
  enum Kind { kArtist, kLabel, kTitle, kCarrier };
  struct Record {
    ByteRun run;
    int32_t id = -1;
    int32_t artistId = -1;            // a 2.0 title's, a 1.5 carrier's
    int32_t labelId = -1;             // a carrier's
    std::vector<int32_t> carrierIds;  // a title's
  };

  // The record of the kind at `at`, as the format's reader takes it; false
  // when the bytes do not hold one whole.
  bool readRecord(std::string_view bytes, size_t at, Kind kind, Record& record) const;
  void readRecordFile(std::string_view bytes);
  void readObjectFile(std::string_view bytes);

  bool recordFile_ = false;
  bool dated_ = false;            // 2.0: records carry a date, titles their artist
  std::vector<Record> names_[2];  // artists, labels
  std::vector<Record> titles_;
  std::vector<Record> carrierRecords_;  // in the object files only the run is set
};

}  // namespace sample
