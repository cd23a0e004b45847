// The properties reader on any bytes, and the typed look-ups the diagnostics make.
#include <cstddef>
#include <cstdint>

#include "basis/properties.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput::startOnce();
  fuzzinput::ScratchFile input("input.properties", fuzzinput::bytes(data, size));
  fuzzinput::expectNoCrash([&] {
    TProperties properties;
    properties.loadProperties(input.path());
    properties.getInteger("system.debug.errorlevel", 4);
    properties.getBoolean("system.debug.errorsystemout", true);
    properties.getProperty("system.debug.errorfile", "");
  });
  return 0;
}
