// TSoundCarrier2_5_5, one sound carrier of the database format 2.5.5 with its
// titles: the object-file carrier (sound_carrier_template.h) as
// format_2_5_5.h describes it.
#pragma once

#include "data/legacy/objects/sound_carrier_template.h"
#include "data/legacy/v2_5_5/title_2_5_5.h"

using TSoundCarrier2_5_5 = TSoundCarrierOf<Format2_5_5>;

extern template class TSoundCarrierOf<Format2_5_5>;
