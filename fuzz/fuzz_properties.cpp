// The properties reader on any bytes.
#include <cstddef>
#include <cstdint>
#include <exception>

#include "basis/properties.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput::startOnce();
  std::string path = fuzzinput::writeInput(data, size, ".properties");
  try {
    TProperties properties;
    properties.loadProperties(path);
    properties.getInteger("system.debug.errorlevel", 4);
    properties.getBoolean("system.debug.errorsystemout", true);
  } catch (const std::exception&) {
  }
  return 0;
}
