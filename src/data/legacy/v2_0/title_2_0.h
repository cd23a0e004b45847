// TTitle2_0, a title record of a 2.0 database: besides its identifier, its
// url, the carriers it is on and its artist, all by id.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/legacy/v2_0/identifier_2_0.h"

class TTitle2_0 : public TIdentifier2_0 {
 public:
  using TIdentifier2_0::TIdentifier2_0;

  // Stored as id, name, date, url, the count and the carrier ids, artistId.
  void writeTo(legacy::RecordFile& file) const override;
  void readFrom(legacy::RecordFile& file) override;

  std::string url;
  std::vector<TIDWrapper2_0> carrierIds;  // the carriers the title is on, as stored
  int32_t artistId = noId();
};
