#include "data/legacy/v2_5_3/convert_2_5_3.h"

#include "data/legacy/objects/object_conversion.h"

void convert2_5_3(std::unique_ptr<TSoundCarriers2_5_3> source, const std::string& inputFile,
                  const CarrierTarget& output) {
  convertObjectDatabase<Format2_5_3>(std::move(source), inputFile, output);
}
