// The record classes of the formats 1.5 and 2.0, for the tools that write
// such databases: the lists of the format and the class of each record.
#pragma once

#include "data/legacy/v1_5/identifier_list_1_5.h"
#include "data/legacy/v1_5/manager_1_5.h"
#include "data/legacy/v2_0/identifier_list_2_0.h"
#include "data/legacy/v2_0/manager_2_0.h"

namespace sample {

struct Records2_0 {
  using Format = legacy::Format2_0;
  using Artist = TArtist2_0;
  using Label = TMusicLabel2_0;
  using Title = TTitle2_0;
  using Carrier = TSoundCarrier2_0;
  static constexpr bool kDated = true;  // records carry a date; titles name their artist
};

struct Records1_5 {
  using Format = legacy::Format1_5;
  using Artist = TArtist1_5;
  using Label = TMusicLabel1_5;
  using Title = TTitle1_5;
  using Carrier = TSoundCarrier1_5;
  static constexpr bool kDated = false;  // carriers name their artist
};

}  // namespace sample
