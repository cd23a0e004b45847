// The records of a 1.5 database: as in 2.0 (data/legacy/v2_0/identifier_2_0.h)
// but without creation dates, with titles that have no artist and carriers
// that name their artist themselves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/legacy/records/record_file.h"

namespace legacy {

// The stored fields of the 1.5 records, in order, for every form a record
// takes: the records below read and write themselves through it, and the
// conversion straight from the file's bytes walks views of them with it. `f`
// takes each field as int32, text, number or ids (a title's carrier ids).
struct Layout1_5 {
  template <class R, class F>
  static void identifier(R& r, F& f) {
    f.int32(r.id);
    f.text(r.name);
  }
  template <class R, class F>
  static void title(R& r, F& f) {
    identifier(r, f);
    f.text(r.url);
    f.ids(r.carrierIds);
  }
  template <class R, class F>
  static void carrier(R& r, F& f) {
    identifier(r, f);
    f.int32(r.artistId);
    f.int32(r.labelId);
    f.number(r.release);
    f.text(r.notes);
    f.text(r.type);
  }
};

}  // namespace legacy

class TIdentifier1_5 {
 public:
  TIdentifier1_5(std::string name, int32_t id) : name(std::move(name)), id(id) {}
  // Empty, with id noId(), to be read.
  explicit TIdentifier1_5(legacy::ForReading) : id(noId()) {}
  virtual ~TIdentifier1_5() = default;
  TIdentifier1_5(const TIdentifier1_5&) = delete;
  TIdentifier1_5& operator=(const TIdentifier1_5&) = delete;

  // Stored as Layout1_5 says: id, name.
  virtual void writeTo(legacy::RecordFile& file) const;
  virtual void readFrom(legacy::RecordFile& file);

  // The id that stands for no record.
  static constexpr int32_t noId() { return -1; }

  std::string name;
  int32_t id;
};

class TArtist1_5 : public TIdentifier1_5 {
 public:
  using TIdentifier1_5::TIdentifier1_5;
};

class TMusicLabel1_5 : public TIdentifier1_5 {
 public:
  using TIdentifier1_5::TIdentifier1_5;
};

// One carrier id of a title.
class TIDWrapper1_5 {
 public:
  explicit TIDWrapper1_5(int32_t id) : id(id) {}
  int32_t id;
};

// A 1.5 title takes its artist from its carrier.
class TTitle1_5 : public TIdentifier1_5 {
 public:
  using TIdentifier1_5::TIdentifier1_5;

  // Stored as id, name, url, the count and the carrier ids.
  void writeTo(legacy::RecordFile& file) const override;
  void readFrom(legacy::RecordFile& file) override;

  std::string url;
  std::vector<TIDWrapper1_5> carrierIds;  // the carriers the title is on, as stored
};

class TSoundCarrier1_5 : public TIdentifier1_5 {
 public:
  // The release date is the time of construction.
  TSoundCarrier1_5(std::string name, int32_t id);
  // Release 0, to be read.
  explicit TSoundCarrier1_5(legacy::ForReading tag) : TIdentifier1_5(tag), release(0) {}

  // Stored as id, name, artistId, labelId, release, notes, type.
  void writeTo(legacy::RecordFile& file) const override;
  void readFrom(legacy::RecordFile& file) override;

  int32_t artistId = noId();
  int32_t labelId = noId();
  double release;
  std::string notes;
  std::string type;
};
