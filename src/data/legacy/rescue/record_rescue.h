// Rescue of the record files (1.5, 2.0): every list read record by record, a
// damaged record skipped, what is left converted as the conversion of the
// undamaged file converts it.
#pragma once

#include <string>

#include "data/rescue_report.h"

// Writes what `in`, read as a database of `version` ("1.5" or "2.0"), still
// holds to the new current database `out` (put in place only when complete)
// and says what was rescued and lost. Raises IOException when `in` cannot be
// read, or nothing of it could be rescued (then `out` is not written).
RescueReport rescueRecordDatabase(const std::string& version, const std::string& in, const std::string& out);
