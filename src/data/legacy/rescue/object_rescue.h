// Rescue of the object files (2.5, 2.5.3, 2.5.5 and the current 2.5.7): every
// carrier whose bytes still read whole, converted as the conversion of the
// undamaged file converts it. A file the conversion reads whole comes out as
// its conversion, byte for byte.
//
// The file is read through a window (mapped_input.h): a file of any size
// takes a few megabytes beyond the carrier being read, and the time grows
// with the file's size.
#pragma once

#include <string>

#include "data/rescue_report.h"

// Writes what `in`, read as a database of `version` ("2.5", "2.5.3", "2.5.5"
// or "2.5.7"), still holds to the new current database `out` (put in place
// only when complete) and says what was rescued and lost. Raises IOException
// when `in` cannot be read, or nothing of it could be rescued (then `out` is
// not written).
RescueReport rescueObjectDatabase(const std::string& version, const std::string& in, const std::string& out);

// What rescueObjectDatabase would find in `in`, without writing anything: the
// same report, with no carrier rescued where nothing can be. Raises
// IOException only when `in` cannot be read.
RescueReport analyseObjectDatabase(const std::string& version, const std::string& in);
