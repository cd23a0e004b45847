// The records of a 2.0 database: artists, labels, titles (title_2_0.h) and
// carriers (sound_carrier_2_0.h), each with a name and an integer id by which
// the other records refer to it. They are plain objects that read and write
// their own fields on an open record file, in the stored order of the 2.0
// format.
#pragma once

#include <cstdint>
#include <string>

#include "data/legacy/records/record_file.h"

namespace legacy {

// The stored fields of the 2.0 records, in order, for every form a record
// takes: the records read and write themselves through it, and the
// conversion straight from the file's bytes walks views of them with it. `f`
// takes each field as int32, text, number or ids (a title's carrier ids).
struct Layout2_0 {
  template <class R, class F>
  static void identifier(R& r, F& f) {
    f.int32(r.id);
    f.text(r.name);
    f.number(r.date);
  }
  template <class R, class F>
  static void title(R& r, F& f) {
    identifier(r, f);
    f.text(r.url);
    f.ids(r.carrierIds);
    f.int32(r.artistId);
  }
  template <class R, class F>
  static void carrier(R& r, F& f) {
    identifier(r, f);
    f.int32(r.labelId);
    f.number(r.release);
    f.text(r.notes);
    f.text(r.type);
  }
};

}  // namespace legacy

class TIdentifier2_0 {
 public:
  // The date is the time of construction.
  TIdentifier2_0(std::string name, int32_t id);
  // Empty, with id noId() and date 0, to be read.
  explicit TIdentifier2_0(legacy::ForReading) : id(noId()), date(0) {}
  virtual ~TIdentifier2_0() = default;
  TIdentifier2_0(const TIdentifier2_0&) = delete;
  TIdentifier2_0& operator=(const TIdentifier2_0&) = delete;

  // Stored as Layout2_0 says: id, name, date.
  virtual void writeTo(legacy::RecordFile& file) const;
  virtual void readFrom(legacy::RecordFile& file);

  // The id that stands for no record: references use it for "none", and
  // lists give it to the records they create before reading them.
  static constexpr int32_t noId() { return -1; }

  std::string name;
  int32_t id;
  double date;  // creation stamp: read and written, never converted
};

class TArtist2_0 : public TIdentifier2_0 {
 public:
  using TIdentifier2_0::TIdentifier2_0;
};

class TMusicLabel2_0 : public TIdentifier2_0 {
 public:
  using TIdentifier2_0::TIdentifier2_0;
};

// One carrier id of a title.
class TIDWrapper2_0 {
 public:
  explicit TIDWrapper2_0(int32_t id) : id(id) {}
  int32_t id;
};
