#include "data/config.h"

TConfig::TConfig(const std::string& name) { create(name); }

std::vector<TConfig::Value> TConfig::extraValues() {
  return {{"cddbHost", &cddbHost, kDefaultCddbHost},
          {"cddbPort", &cddbPort, kDefaultCddbPort},
          {"buildTitleIndex", &buildTitleIndex, true}};
}
