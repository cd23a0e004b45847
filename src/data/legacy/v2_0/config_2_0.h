// TConfig2_0: the 2.0 application's settings in the current user's registry
// (see registry_config.h for the procedure and the key path). The converter
// reads none of them, but every 2.0 manager creates one.
#pragma once

#include <cstdint>
#include <string>

#include "data/legacy/records/registry_config.h"

class TConfig2_0 : public legacy::RegistryConfig {
 public:
  // Reads the configuration keyName, or stores the defaults under it.
  explicit TConfig2_0(const std::string& keyName);

  int32_t artistColumnWidth = 0;

 protected:
  // In the order of reading, writing and deleting, with their defaults:
  // database "mylib.vsk", columnOrder "Künstler:138.", nameColumnWidth 165,
  // detailsWidth 270, width 613, height 560, exitFlag false, titleColumnWidth 73,
  // artistColumnWidth 73, urlColumnWidth 50.
  registrysettings::Table settings() override;
};
