// An XML file read into the sound-carrier database.
#include "data/sound_carriers.h"
#include "fuzz_xml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput::xmlToModel<TSoundCarriers>(data, size);
  return 0;
}
