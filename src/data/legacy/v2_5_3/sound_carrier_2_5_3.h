// TSoundCarrier2_5_3, one sound carrier of the database format 2.5.3 with its
// titles: the object-file carrier (sound_carrier_template.h) as
// format_2_5_3.h describes it.
#pragma once

#include "data/legacy/objects/sound_carrier_template.h"
#include "data/legacy/v2_5_3/title_2_5_3.h"

using TSoundCarrier2_5_3 = TSoundCarrierOf<Format2_5_3>;

extern template class TSoundCarrierOf<Format2_5_3>;
