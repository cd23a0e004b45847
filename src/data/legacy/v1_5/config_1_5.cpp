#include "data/legacy/v1_5/config_1_5.h"

TConfig1_5::TConfig1_5(const std::string& keyName) { open(keyName); }

registrysettings::Table TConfig1_5::settings() {
  return {{"database", &database, "mylib.vsk"},
          {"columnOrder", &columnOrder, "K\xFCnstler:106.Release:106."},
          {"nameColumnWidth", &nameColumnWidth, 107},
          {"height", &height, 496},
          {"width", &width, 604},
          {"detailsWidth", &detailsWidth, 270},
          {"exitFlag", &exitFlag, false},
          {"titleColumnWidth", &titleColumnWidth, 98},
          {"urlColumnWidth", &urlColumnWidth, 98}};
}
