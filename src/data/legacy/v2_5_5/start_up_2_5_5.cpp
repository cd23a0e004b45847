#include "data/legacy/v2_5_5/start_up_2_5_5.h"

#include "data/legacy/objects/object_conversion.h"
#include "data/legacy/v2_5_5/sound_carriers_2_5_5.h"

void legacy2_5_5StartUp() { objectFormatStartUp<Format2_5_5>(); }
