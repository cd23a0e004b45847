// The 2.5 reader and conversion on any bytes after the 2.5 header.
#include <memory>

#include "data/legacy/v2_5/convert_2_5.h"
#include "data/legacy/v2_5/title_2_5.h"
#include "fuzz_legacy.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput::convertAfterHeader(TTitle2_5::kFileHeader, data, size,
                                [](const std::string& in, const std::string& out) {
                                  convert2_5(std::make_unique<TSoundCarriers2_5>(), in, out);
                                });
  return 0;
}
