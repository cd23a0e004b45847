// TSoundCarriers2_5, the sound-carrier database of format 2.5: the
// object-file database (sound_carriers_template.h) as format_2_5.h
// describes it; its file begins with the 58-byte header of that format.
#pragma once

#include "data/legacy/objects/sound_carriers_template.h"
#include "data/legacy/v2_5/sound_carrier_2_5.h"

using TSoundCarriers2_5 = TSoundCarriersOf<Format2_5>;

extern template class TSoundCarriersOf<Format2_5>;
