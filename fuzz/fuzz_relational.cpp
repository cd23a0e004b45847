// The 2.0 and 1.5 readers and conversions on any bytes after their headers.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>

#include "data/legacy/v1_5/convert_1_5.h"
#include "data/legacy/v2_0/convert_2_0.h"
#include "fuzz_input.h"

namespace {

template <class Manager, class Convert>
void convertWithHeader(const std::string& header, const uint8_t* data, size_t size, Convert convert) {
  std::string bytes = header + std::string(reinterpret_cast<const char*>(data), size);
  std::string in = fuzzinput::writeInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), ".old");
  std::string out = "/tmp/vosko-fuzz-" + std::to_string(getpid()) + ".out";
  try {
    convert(std::make_unique<Manager>(""), in, out);
  } catch (const std::exception&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput::startOnce();
  convertWithHeader<TManager2_0>("[Application:Vosko.Type:SoundCarrier-Database.Version:2.0]", data, size,
                                 convert2_0);
  convertWithHeader<TManager1_5>("[Application:Vosko.Type:SoundCarrier-Database]", data, size, convert1_5);
  return 0;
}
