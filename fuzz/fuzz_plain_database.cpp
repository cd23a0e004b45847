// The carrier-by-carrier conversion of the object-file formats against the
// conversion that loads the whole file: on any bytes after a version's header
// (the first byte picks 2.5, 2.5.3 or 2.5.5), whatever the first converts,
// the second must convert to the same bytes; what the first declines it must
// leave unwritten. Failures are always the second's to report.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "data/legacy/objects/object_conversion.h"
#include "data/legacy/v2_5/format_2_5.h"
#include "data/legacy/v2_5/sound_carriers_2_5.h"
#include "data/legacy/v2_5_3/format_2_5_3.h"
#include "data/legacy/v2_5_3/sound_carriers_2_5_3.h"
#include "data/legacy/v2_5_5/format_2_5_5.h"
#include "data/legacy/v2_5_5/sound_carriers_2_5_5.h"
#include "fuzz_input.h"

namespace {

template <class Format>
void compare(const uint8_t* data, size_t size) {
  using namespace fuzzinput;
  ScratchFile input("input.vsk", std::string(Format::kFileHeader) + std::string(bytes(data, size)));
  ScratchFile plain("plain.vsk");
  ScratchFile whole("whole.vsk");
  if (!objectconversion::convertPlainDatabase<Format>(input.path(), plain.path())) {
    if (contents(plain.path()) != "<none>") finding("a declined database left an output");
    return;
  }
  try {
    objectconversion::convertWholeDatabase<Format>(std::make_unique<TSoundCarriersOf<Format>>(), input.path(),
                                                   whole.path());
  } catch (const std::exception&) {
    finding("converted carrier by carrier what the whole-file conversion refuses");
  }
  if (contents(plain.path()) != contents(whole.path())) finding("the two conversions wrote different bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput::startOnce();
  if (size == 0) return 0;
  switch (data[0] % 3) {
    case 0:
      compare<Format2_5>(data + 1, size - 1);
      break;
    case 1:
      compare<Format2_5_3>(data + 1, size - 1);
      break;
    default:
      compare<Format2_5_5>(data + 1, size - 1);
      break;
  }
  return 0;
}
