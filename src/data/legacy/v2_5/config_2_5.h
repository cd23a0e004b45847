// TConfig2_5, the library application's settings as version 2.5 kept
// them: the eleven values of abstract_config.h under
// Software\Tarquo\Vosko\<keyName> of the current user's settings store, with
// their defaults, and no disc-server or title-index settings. The converter
// never makes one.
#pragma once

#include <string>

#include "data/abstract_config.h"

class TConfig2_5 : public TAbstractConfig {
 public:
  VOSKO_CLASS_NAME(TConfig2_5)

  // Reads the configuration `name`; when its key is new or holds a value
  // that cannot be read, takes the defaults and stores them.
  explicit TConfig2_5(const std::string& name);
};
