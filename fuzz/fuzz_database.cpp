// The current (2.5.7) database reader on any bytes after its header.
#include <cstddef>
#include <cstdint>
#include <string>

#include "data/sound_carriers.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput::startOnce();
  TSoundCarriers carriers;
  fuzzinput::ScratchFile input("input.vsk",
                               carriers.fileHeader() + std::string(fuzzinput::bytes(data, size)));
  fuzzinput::expectNoCrash([&] { carriers.load(input.path()); });
  return 0;
}
