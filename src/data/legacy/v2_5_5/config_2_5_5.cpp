#include "data/legacy/v2_5_5/config_2_5_5.h"

TConfig2_5_5::TConfig2_5_5(const std::string& name) { create(name); }
