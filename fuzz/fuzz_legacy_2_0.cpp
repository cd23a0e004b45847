// The 2.0 reader and conversion on any bytes after the 2.0 header.
#include <memory>

#include "data/legacy/v2_0/convert_2_0.h"
#include "fuzz_legacy.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput::convertAfterHeader(legacy::Format2_0::header(), data, size,
                                [](const std::string& in, const std::string& out) {
                                  convert2_0(std::make_unique<TManager2_0>(""), in, out);
                                });
  return 0;
}
