// Large databases of every old format, made up from a seed, for the
// benchmarks: carriers with texts of the lengths real collections have, and
// titles spread over them as the old applications stored them.
//
// For 1.5 and 2.0 titles are stored apart from their carriers, in an order
// unrelated to the carriers'; a fifth of the carriers are samplers, and one
// title in ten is on a second carrier as well. The same seed gives the same
// bytes.
//
// An awkward shape fills the same database with everything the formats may
// legally hold and the conversion takes: texts of any bytes (control bytes and
// zeros included) or empty, any double as a date (0, negative, NaN, infinite,
// far beyond the year 9999), the ids -1, 0 and both ends of the 32-bit range
// and duplicate ids, titles on no carrier, on one carrier twice or on carriers
// that do not exist, carriers without titles, records of nothing but zero
// fields, and bytes after the last list of the 1.5 and 2.0 files. Readers and
// rescues are tested on those, not only on tidy collections.
#pragma once

#include <cstdint>
#include <string>

namespace sample {

struct GeneratedShape {
  int32_t carriers = 0;
  int32_t titlesPerCarrier = 0;
  uint32_t seed = 1;
  bool awkward = false;
};

// Writes a database of `version` ("1.5", "2.0", "2.5", "2.5.3" or "2.5.5")
// to path. Raises std::invalid_argument for another version.
void writeGeneratedDatabase(const std::string& version, const GeneratedShape& shape, const std::string& path);

}  // namespace sample
