#include "data/legacy/v1_5/config_1_5.h"

TConfig1_5::TConfig1_5(const std::string& keyName) { open(keyName); }

void TConfig1_5::restoreDefaults() {
  database = "mylib.vsk";
  columnOrder = "K\xFCnstler:106.Release:106.";
  nameColumnWidth = 107;
  detailsWidth = 270;
  width = 604;
  height = 496;
  exitFlag = false;
  titleColumnWidth = 98;
  urlColumnWidth = 98;
}

std::vector<TConfig1_5::Setting> TConfig1_5::settings() {
  return {{"database", &database},
          {"columnOrder", &columnOrder},
          {"nameColumnWidth", &nameColumnWidth},
          {"height", &height},
          {"width", &width},
          {"detailsWidth", &detailsWidth},
          {"exitFlag", &exitFlag},
          {"titleColumnWidth", &titleColumnWidth},
          {"urlColumnWidth", &urlColumnWidth}};
}
