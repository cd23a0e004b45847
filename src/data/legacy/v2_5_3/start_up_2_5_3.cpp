#include "data/legacy/v2_5_3/start_up_2_5_3.h"

#include "data/legacy/objects/object_conversion.h"
#include "data/legacy/v2_5_3/sound_carriers_2_5_3.h"

void legacy2_5_3StartUp() { objectFormatStartUp<Format2_5_3>(); }
