// The binary debug-file reader on any bytes after its header.
#include <cstddef>
#include <cstdint>
#include <string>

#include "debug/binary_reader.h"
#include "debug/debug_entries.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput::startOnce();
  fuzzinput::ScratchFile input("input.dbg",
                               TDebugEntries::kFileHeader + std::string(fuzzinput::bytes(data, size)));
  fuzzinput::expectNoCrash([&] {
    if (auto entries = TBinaryReader(input.path()).read()) entries->toString();
  });
  return 0;
}
