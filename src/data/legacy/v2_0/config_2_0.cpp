#include "data/legacy/v2_0/config_2_0.h"

TConfig2_0::TConfig2_0(const std::string& keyName) { open(keyName); }

registrysettings::Table TConfig2_0::settings() {
  return {{"database", &database, "mylib.vsk"},
          {"columnOrder", &columnOrder, "K\xFCnstler:138."},
          {"nameColumnWidth", &nameColumnWidth, 165},
          {"height", &height, 560},
          {"width", &width, 613},
          {"detailsWidth", &detailsWidth, 270},
          {"exitFlag", &exitFlag, false},
          {"titleColumnWidth", &titleColumnWidth, 73},
          {"artistColumnWidth", &artistColumnWidth, 73},
          {"urlColumnWidth", &urlColumnWidth, 50}};
}
