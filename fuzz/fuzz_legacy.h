// The frame of the legacy-format targets: the input after the format's
// header, converted by the version's routine into a current database in the
// scratch directory, as convertVOSKO would do it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"

namespace fuzzinput {

// `convert(input, output)` runs the version's conversion on the two paths.
template <class Convert>
void convertAfterHeader(const std::string& header, const uint8_t* data, size_t size, Convert convert) {
  startOnce();
  ScratchFile input("input.vsk", header + std::string(bytes(data, size)));
  ScratchFile output("output.vsk");
  expectNoCrash([&] { convert(input.path(), output.path()); });
}

}  // namespace fuzzinput
