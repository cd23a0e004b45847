// Rescue of the object files (2.5, 2.5.3, 2.5.5 and the current 2.5.7): every
// carrier whose bytes still read whole, converted as the conversion of the
// undamaged file converts it.
#pragma once

#include <string>

#include "data/rescue_report.h"

// Writes what `in`, read as a database of `version` ("2.5", "2.5.3", "2.5.5"
// or "2.5.7"), still holds to the new current database `out` (put in place
// only when complete) and says what was rescued and lost. Raises IOException
// when `in` cannot be read, or nothing of it could be rescued (then `out` is
// not written).
RescueReport rescueObjectDatabase(const std::string& version, const std::string& in, const std::string& out);
