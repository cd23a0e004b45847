// TSoundCarrier2_0, a carrier record of a 2.0 database: besides its
// identifier, its label by id, its release date, notes and type.
#pragma once

#include <cstdint>
#include <string>

#include "data/legacy/v2_0/identifier_2_0.h"

// A carrier has no artist of its own: the converter derives it from the titles.
class TSoundCarrier2_0 : public TIdentifier2_0 {
 public:
  // The release date is the time of construction.
  TSoundCarrier2_0(std::string name, int32_t id);
  explicit TSoundCarrier2_0(legacy::ForReading tag) : TIdentifier2_0(tag), release(0) {}

  // Stored as id, name, date, labelId, release, notes, type.
  void writeTo(legacy::RecordFile& file) const override;
  void readFrom(legacy::RecordFile& file) override;

  int32_t labelId = noId();
  double release;
  std::string notes;
  std::string type;
};
