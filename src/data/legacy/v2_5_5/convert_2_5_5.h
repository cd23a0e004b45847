// convert2_5_5, the conversion of a database of format 2.5.5 into a current
// (2.5.7) database, as the version dispatch calls it for "2.5.5".
#pragma once

#include <memory>
#include <string>

#include "data/carrier_writer.h"
#include "data/legacy/v2_5_5/sound_carriers_2_5_5.h"

// Reads `inputFile` into `source` (stored names "TTitle", "TSoundCarrier"
// and "TSoundCarriers" read as the 2.5.5 classes) and writes the converted
// database to `output` (a file, or a consumer of its carriers). Takes
// ownership of `source` and frees it before returning, also when it raises;
// the output is put in place only after the whole input was read.
void convert2_5_5(std::unique_ptr<TSoundCarriers2_5_5> source, const std::string& inputFile,
                  const CarrierTarget& output);
