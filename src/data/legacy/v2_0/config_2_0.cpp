#include "data/legacy/v2_0/config_2_0.h"

TConfig2_0::TConfig2_0(const std::string& keyName) { open(keyName); }

void TConfig2_0::restoreDefaults() {
  database = "mylib.vsk";
  columnOrder = "K\xFCnstler:138.";
  nameColumnWidth = 165;
  detailsWidth = 270;
  width = 613;
  height = 560;
  exitFlag = false;
  titleColumnWidth = 73;
  artistColumnWidth = 73;
  urlColumnWidth = 50;
}

std::vector<TConfig2_0::Setting> TConfig2_0::settings() {
  return {{"database", &database},
          {"columnOrder", &columnOrder},
          {"nameColumnWidth", &nameColumnWidth},
          {"height", &height},
          {"width", &width},
          {"detailsWidth", &detailsWidth},
          {"exitFlag", &exitFlag},
          {"titleColumnWidth", &titleColumnWidth},
          {"artistColumnWidth", &artistColumnWidth},
          {"urlColumnWidth", &urlColumnWidth}};
}
