// TManager1_5: a whole 1.5 database in memory (see
// data/legacy/records/relational_manager.h) and the 1.5 file header, which
// carries no version.
#pragma once

#include <string>

#include "data/legacy/records/relational_manager.h"
#include "data/legacy/v1_5/config_1_5.h"
#include "data/legacy/v1_5/identifier_list_1_5.h"

namespace legacy {

struct Format1_5 {
  using Artists = TArtistList1_5;
  using Labels = TLabelList1_5;
  using Titles = TTitleList1_5;
  using Carriers = TCarrierList1_5;
  using Config = TConfig1_5;
  using Layout = Layout1_5;
  // "[Application:Vosko.Type:SoundCarrier-Database]", 46 bytes.
  static std::string header() { return "[Application:Vosko.Type:SoundCarrier-Database]"; }
};

}  // namespace legacy

class TManager1_5 : public legacy::RelationalManager<legacy::Format1_5> {
 public:
  using RelationalManager::RelationalManager;
};
