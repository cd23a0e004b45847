#include "data/legacy/v2_5/convert_2_5.h"

#include "data/legacy/objects/object_conversion.h"

void convert2_5(std::unique_ptr<TSoundCarriers2_5> source, const std::string& inputFile,
                const CarrierTarget& output) {
  convertObjectDatabase<Format2_5>(std::move(source), inputFile, output);
}
