#include "data/legacy/v2_5_3/config_2_5_3.h"

TConfig2_5_3::TConfig2_5_3(const std::string& name) { create(name); }
