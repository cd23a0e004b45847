#include "data/config.h"

TConfig::TConfig(const std::string& name) { create(name); }

void TConfig::restoreDefaults() {
  TAbstractConfig::restoreDefaults();
  cddbHost = kDefaultCddbHost;
  cddbPort = kDefaultCddbPort;
  buildTitleIndex = true;
}

std::vector<TConfig::Value> TConfig::extraValues() {
  return {{"cddbHost", &cddbHost}, {"cddbPort", &cddbPort}, {"buildTitleIndex", &buildTitleIndex}};
}
