// The 1.5 and 2.0 conversions straight from the file's bytes against the
// conversion of the loaded records: on any bytes after a version's header
// (the first byte picks 1.5 or 2.0), whatever the first converts the second
// must convert to the same bytes; what the first declines it must leave
// unwritten. Failures are always the second's to report. One manager per
// version serves every run, so the settings store is read once.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "data/legacy/v1_5/convert_1_5.h"
#include "data/legacy/v2_0/convert_2_0.h"
#include "fuzz_input.h"

namespace {

template <class Manager, class Bytes, class Loaded>
void compare(const std::string& header, const uint8_t* data, size_t size, Bytes bytes, Loaded loaded) {
  using namespace fuzzinput;
  static Manager& manager = *new Manager("");
  ScratchFile input("input.vsk", header + std::string(fuzzinput::bytes(data, size)));
  ScratchFile direct("bytes.vsk");
  ScratchFile whole("loaded.vsk");
  if (!bytes(input.path(), direct.path())) {
    if (contents(direct.path()) != "<none>") finding("a declined database left an output");
    return;
  }
  try {
    loaded(manager, input.path(), whole.path());
  } catch (const std::exception&) {
    finding("converted from the bytes what the loaded records refuse");
  }
  if (contents(direct.path()) != contents(whole.path())) finding("the two conversions wrote different bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput::startOnce();
  if (size == 0) return 0;
  if (data[0] % 2 == 0) {
    compare<TManager1_5>(legacy::Format1_5::header(), data + 1, size - 1, convertBytes1_5, convertLoaded1_5);
  } else {
    compare<TManager2_0>(legacy::Format2_0::header(), data + 1, size - 1, convertBytes2_0, convertLoaded2_0);
  }
  return 0;
}
