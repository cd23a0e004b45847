// TTitle2_5_5, one title (track) of a carrier in the database format 2.5.5: the
// object-file title (title_template.h) as format_2_5_5.h describes it.
#pragma once

#include "data/legacy/objects/title_template.h"
#include "data/legacy/v2_5_5/format_2_5_5.h"

using TTitle2_5_5 = TTitleOf<Format2_5_5>;

extern template class TTitleOf<Format2_5_5>;
