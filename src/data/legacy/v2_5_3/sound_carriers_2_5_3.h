// TSoundCarriers2_5_3, the sound-carrier database of format 2.5.3: the
// object-file database (sound_carriers_template.h) as format_2_5_3.h
// describes it; its file begins with the 60-byte header of that format.
#pragma once

#include "data/legacy/objects/sound_carriers_template.h"
#include "data/legacy/v2_5_3/sound_carrier_2_5_3.h"

using TSoundCarriers2_5_3 = TSoundCarriersOf<Format2_5_3>;

extern template class TSoundCarriersOf<Format2_5_3>;
