// The 1.5 reader and conversion on any bytes after the 1.5 header.
#include <memory>

#include "data/legacy/v1_5/convert_1_5.h"
#include "fuzz_legacy.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput::convertAfterHeader(legacy::Format1_5::header(), data, size,
                                [](const std::string& in, const std::string& out) {
                                  convert1_5(std::make_unique<TManager1_5>(""), in, out);
                                });
  return 0;
}
