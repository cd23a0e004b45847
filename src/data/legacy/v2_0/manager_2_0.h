// TManager2_0: a whole 2.0 database in memory (see relational_manager.h) and
// the 2.0 file header.
#pragma once

#include <string>

#include "data/legacy/records/relational_manager.h"
#include "data/legacy/v2_0/config_2_0.h"
#include "data/legacy/v2_0/identifier_list_2_0.h"

namespace legacy {

struct Format2_0 {
  using Artists = TArtistList2_0;
  using Labels = TLabelList2_0;
  using Titles = TTitleList2_0;
  using Carriers = TCarrierList2_0;
  using Config = TConfig2_0;
  using Layout = Layout2_0;
  // "[Application:Vosko.Type:SoundCarrier-Database.Version:2.0]", 58 bytes.
  static std::string header() { return "[Application:Vosko.Type:SoundCarrier-Database.Version:2.0]"; }
};

}  // namespace legacy

class TManager2_0 : public legacy::RelationalManager<legacy::Format2_0> {
 public:
  using RelationalManager::RelationalManager;
};
