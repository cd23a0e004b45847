// TConfig1_5: the 1.5 application's settings in the current user's registry,
// kept as those of 2.0 are (see data/legacy/records/registry_config.h) with one
// value fewer (no artist column) and defaults of their own.
#pragma once

#include <string>

#include "data/legacy/records/registry_config.h"

class TConfig1_5 : public legacy::RegistryConfig {
 public:
  // Reads the configuration keyName, or stores the defaults under it.
  explicit TConfig1_5(const std::string& keyName);

 protected:
  // In the order of reading, writing and deleting, with their defaults:
  // database "mylib.vsk", columnOrder "Künstler:106.Release:106.",
  // nameColumnWidth 107, detailsWidth 270, width 604, height 496,
  // exitFlag false, titleColumnWidth 98, urlColumnWidth 98.
  registrysettings::Table settings() override;
};
