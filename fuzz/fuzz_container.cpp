// The binary container and the 2.5.5 and 2.5.7 readers on any bytes: every
// input must load or fail with an exception, never crash or leak.
#include <cstddef>
#include <cstdint>
#include <exception>

#include "basis/hashtable.h"
#include "basis/string_value.h"
#include "data/legacy/v2_5_5/sound_carriers_2_5_5.h"
#include "data/sound_carriers.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput::startOnce();
  std::string path = fuzzinput::writeInput(data, size, ".vsk");
  try {
    TSoundCarriers current;
    // The header is checked first; most inputs would stop there without it.
    current.load(path);
  } catch (const std::exception&) {
  }
  std::string withHeader = TSoundCarriers2_5_5().fileHeader() + std::string(reinterpret_cast<const char*>(data), size);
  path = fuzzinput::writeInput(reinterpret_cast<const uint8_t*>(withHeader.data()), withHeader.size(), ".vsk");
  try {
    THashtable map(true);
    map.put(new TString("TTitle"), new TString("TTitle2_5_5"));
    map.put(new TString("TSoundCarrier"), new TString("TSoundCarrier2_5_5"));
    TSoundCarriers2_5_5 legacy;
    legacy.load(path, &map);
  } catch (const std::exception&) {
  }
  return 0;
}
