// TTitle2_5_3, one title (track) of a carrier in the database format 2.5.3: the
// object-file title (title_template.h) as format_2_5_3.h describes it.
#pragma once

#include "data/legacy/objects/title_template.h"
#include "data/legacy/v2_5_3/format_2_5_3.h"

using TTitle2_5_3 = TTitleOf<Format2_5_3>;

extern template class TTitleOf<Format2_5_3>;
