// TConfig, the library application's settings: the database files it opens,
// the sizes of its window and list columns, the order of the list columns,
// the disc-information (CDDB) server and two switches. They live in the
// current user's settings store under Software\Tarquo\Vosko\<keyName>
// (procedure and shared values in abstract_config.h); after the eleven
// shared values come "cddbHost" (string), "cddbPort" (integer) and
// "buildTitleIndex" (boolean). A TSoundCarriers made with a configuration
// name owns one; the converter never makes one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/abstract_config.h"
#include "platform/export.h"

// The library application's settings in the current user's settings store.
class VOSKO_API TConfig : public TAbstractConfig {
 public:
  VOSKO_CLASS_NAME(TConfig)

  // A public server of the freedb disc-information protocol.
  static constexpr const char* kDefaultCddbHost = "gnudb.gnudb.org";
  static constexpr int32_t kDefaultCddbPort = 80;

  // Reads the configuration `name`; when its key is new or holds a value
  // that cannot be read, takes the defaults and stores them.
  explicit TConfig(const std::string& name);

  std::string cddbHost;
  int32_t cddbPort = 0;
  bool buildTitleIndex = false;

 protected:
  // After the shared values, with their defaults: cddbHost "gnudb.gnudb.org",
  // cddbPort 80 and buildTitleIndex true.
  std::vector<Value> extraValues() override;
};
