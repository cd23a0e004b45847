#include "data/legacy/v2_5/config_2_5.h"

TConfig2_5::TConfig2_5(const std::string& name) { create(name); }
